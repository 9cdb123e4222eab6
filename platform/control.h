// Test control of the native Windows stand-ins (platform/win32.h).
//
// The stand-ins live in the shared gauge_platform library, so a test and every module it
// loads see one instance. A test sets the host executable's path and the windows that
// exist, makes one chosen call fail, and afterwards reads what was asked of the platform:
// every call in order, the DirectSound devices and buffers with everything done to them, and
// the objects and memory still held (a leak is an object created and never released).
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "platform/win32.h"

namespace platform {

// Forgets every object, record, window and armed failure; the executable path goes back to
// a default whose name picks the "FS98MAIN" window class.
void reset();

// --- the host process and its windows ----------------------------------------------------
void set_executable_path(const std::string& path);
// Registers a top-level window of `window_class` (looked up without regard to case) with the
// title `title`; returns its handle.
HWND add_window(const std::string& window_class, const std::string& title = "");

// --- failures ------------------------------------------------------------------------------
// Makes the `nth` call of `function` from now on fail, the way that function reports a
// failure; one failure is armed at a time, and arming replaces the previous one. Names are
// the function names, with the interface for methods ("IDirectSoundBuffer::Play").
// Throws std::invalid_argument for a function that cannot be made to fail.
void fail_call(const std::string& function, int nth = 1);
// True once the armed failure has been delivered to a caller.
bool failure_delivered();
// Every function fail_call accepts.
const std::vector<std::string>& failable_functions();

// --- what was asked --------------------------------------------------------------------------
struct Call {
    std::string function;
    int object = 0;          // serial number of the object the call made or worked on, 0 if none
    std::string text;        // the text argument, where the call has one (class, path)
    bool failed = false;     // the call reported a failure
};
const std::vector<Call>& calls();
// The calls of one function, in order.
std::vector<Call> calls_of(const std::string& function);
void clear_calls();

struct DeviceRecord {
    int serial = 0;
    bool default_device = false;   // created without a device identifier
    bool cooperative = false;      // a cooperative level was accepted
    HWND window = nullptr;         // window and level of the last SetCooperativeLevel
    DWORD level = 0;
    bool released = false;
};

struct LockRecord {
    DWORD offset, bytes, flags;
};
struct PlayRecord {
    DWORD reserved, priority, flags;
    DWORD position;                // play position when the request came
};

struct BufferRecord {
    int serial = 0;
    int device = 0;                // serial of the device that made it
    DSBUFFERDESC description{};    // as passed (the format pointer is the caller's)
    WAVEFORMATEX format{};         // the format record it pointed to
    std::vector<uint8_t> data;     // the buffer's contents now
    std::vector<LockRecord> locks;
    int unlocks = 0;
    std::vector<DWORD> positions;  // every SetCurrentPosition
    std::vector<PlayRecord> plays;
    bool released = false;
};

struct MemoryFileRecord {
    int serial = 0;
    FOURCC io_proc_id = 0;
    DWORD open_flags = 0;
    const void* buffer = nullptr;
    LONG buffer_size = 0;
    bool other_fields_zero = false;  // every other field of the I/O information record
    bool closed = false;
};

std::vector<DeviceRecord> devices();
std::vector<BufferRecord> buffers();
std::vector<MemoryFileRecord> memory_files();

// --- what is still held ------------------------------------------------------------------------
enum class Kind { device, buffer, memory_file, memory_block, loaded_resource };
struct LiveObject {
    Kind kind;
    int serial;
    std::string what;              // for messages: kind, serial and what it holds
};
std::vector<LiveObject> live_objects();
size_t live_count(Kind kind);

// Misuse the stand-ins detected (a call on a released object, an unlock without its lock, a
// device released before its buffers, ...), in order.
const std::vector<std::string>& misuse();

}  // namespace platform
