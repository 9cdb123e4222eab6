// The stand-ins' shared state and the test control over it.
#include <algorithm>
#include <stdexcept>

#include "platform/stand_in.h"

namespace platform {
namespace {
// A name whose first character is not "C" and whose fourth is not "2": class "FS98MAIN".
constexpr const char* kDefaultExecutable = "D:\\Flight Simulator 98\\FLTSIM98.EXE";
}  // namespace

namespace detail {

State& state() {
    static State* s = [] {
        auto* fresh = new State;
        fresh->executable_path = kDefaultExecutable;
        return fresh;
    }();
    return *s;
}

bool enter(const char* function, int serial, const std::string& text) {
    State& s = state();
    bool fail = false;
    if (!s.armed_function.empty() && s.armed_function == function && --s.armed_countdown == 0) {
        fail = true;
        s.armed_function.clear();
        s.delivered = true;
    }
    s.calls.push_back({function, serial, text, fail});
    return fail;
}

void refuse() {
    State& s = state();
    if (!s.calls.empty()) s.calls.back().failed = true;
}

void misuse(const std::string& what) { state().misuse.push_back(what); }

int new_serial() { return state().next_serial++; }

}  // namespace detail

using detail::state;

void reset() {
    detail::State& s = state();
    s = detail::State{};
    s.executable_path = kDefaultExecutable;
}

void set_executable_path(const std::string& path) { state().executable_path = path; }

HWND add_window(const std::string& window_class, const std::string& title) {
    detail::State& s = state();
    s.windows.push_back({window_class, title});
    return reinterpret_cast<HWND>(&s.windows.back());
}

const std::vector<std::string>& failable_functions() {
    static const std::vector<std::string> names = {
        "GetModuleFileNameA", "FindWindowA",
        "FindResourceA", "LoadResource", "LockResource", "SizeofResource", "FreeResource",
        "GlobalAlloc", "GlobalLock", "GlobalFree",
        "mmioOpenA", "mmioDescend", "mmioRead", "mmioAscend", "mmioClose",
        "DirectSoundCreate", "IDirectSound::SetCooperativeLevel", "IDirectSound::CreateSoundBuffer",
        "IDirectSoundBuffer::Lock", "IDirectSoundBuffer::Unlock", "IDirectSoundBuffer::SetCurrentPosition",
        "IDirectSoundBuffer::Play",
    };
    return names;
}

void fail_call(const std::string& function, int nth) {
    const auto& names = failable_functions();
    if (std::find(names.begin(), names.end(), function) == names.end())
        throw std::invalid_argument("the stand-ins cannot make " + function + " fail");
    if (nth < 1) throw std::invalid_argument("calls are counted from 1");
    detail::State& s = state();
    s.armed_function = function;
    s.armed_countdown = nth;
    s.delivered = false;
}

bool failure_delivered() { return state().delivered; }

const std::vector<Call>& calls() { return state().calls; }

std::vector<Call> calls_of(const std::string& function) {
    std::vector<Call> out;
    for (const Call& c : state().calls)
        if (c.function == function) out.push_back(c);
    return out;
}

void clear_calls() { state().calls.clear(); }

std::vector<DeviceRecord> devices() {
    std::vector<DeviceRecord> out;
    for (const detail::Device& d : state().devices) out.push_back(d.record);
    return out;
}

std::vector<BufferRecord> buffers() {
    std::vector<BufferRecord> out;
    for (const detail::Buffer& b : state().buffers) out.push_back(b.record);
    return out;
}

std::vector<MemoryFileRecord> memory_files() {
    std::vector<MemoryFileRecord> out;
    for (const detail::MemoryFile& f : state().files) out.push_back(f.record);
    return out;
}

std::vector<LiveObject> live_objects() {
    const detail::State& s = state();
    std::vector<LiveObject> out;
    auto add = [&](Kind kind, int serial, const std::string& what) {
        out.push_back({kind, serial, what + " #" + std::to_string(serial)});
    };
    for (const auto& d : s.devices)
        if (!d.record.released) add(Kind::device, d.record.serial, "DirectSound device");
    for (const auto& b : s.buffers)
        if (!b.record.released)
            add(Kind::buffer, b.record.serial, "sound buffer of " + std::to_string(b.record.data.size()) + " bytes");
    for (const auto& f : s.files)
        if (!f.record.closed) add(Kind::memory_file, f.record.serial, "open memory file");
    for (const auto& m : s.blocks)
        if (!m.freed) add(Kind::memory_block, m.serial, "memory block of " + std::to_string(m.bytes.size()) + " bytes");
    for (const auto& r : s.loaded_resources)
        if (!r.freed) add(Kind::loaded_resource, r.serial, "loaded resource");
    return out;
}

size_t live_count(Kind kind) {
    size_t n = 0;
    for (const LiveObject& o : live_objects()) n += o.kind == kind;
    return n;
}

const std::vector<std::string>& misuse() { return state().misuse; }

}  // namespace platform
