// Shared state of the Windows stand-ins: the call log, the armed failure, and every object
// the stand-ins handed out. Objects stay allocated until reset(), released or not, so that a
// call on a released object is caught instead of touching freed memory.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/control.h"

namespace platform::detail {

struct Window {
    std::string window_class;
    std::string title;
};

struct FoundResource {
    HMODULE module;
    const uint8_t* bytes;
    uint32_t size;
};

struct LoadedResource {
    int serial;
    const FoundResource* found;
    bool freed = false;
};

struct Block {
    int serial;
    UINT flags;
    std::vector<uint8_t> bytes;
    int locks = 0;
    bool freed = false;
};

struct MemoryFile {
    MemoryFileRecord record;
    const uint8_t* bytes;
    uint32_t size;
    uint32_t position = 0;
};

struct Device {
    IDirectSound iface;            // first: the interface pointer is the object's address
    DeviceRecord record;
    int references = 1;
};

struct Buffer {
    IDirectSoundBuffer iface;      // first, as above
    BufferRecord record;
    Device* device;
    int references = 1;
    bool locked = false;
    void* locked_first = nullptr;
    void* locked_second = nullptr;
    DWORD position = 0;
};

struct State {
    std::vector<Call> calls;
    std::string armed_function;
    int armed_countdown = 0;
    bool delivered = false;
    std::vector<std::string> misuse;
    int next_serial = 1;

    std::string executable_path;
    std::deque<Window> windows;

    std::deque<FoundResource> found_resources;
    std::deque<LoadedResource> loaded_resources;
    std::deque<Block> blocks;
    std::deque<MemoryFile> files;
    std::deque<Device> devices;
    std::deque<Buffer> buffers;
};

State& state();

// Logs a call of `function` on object `serial`; true when the armed failure strikes it.
bool enter(const char* function, int serial = 0, const std::string& text = {});
// Marks the last logged call as failed (the stand-in refused it on its own account).
void refuse();
// Records misuse by the caller.
void misuse(const std::string& what);
int new_serial();

}  // namespace platform::detail
