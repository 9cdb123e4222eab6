// Stand-ins for the kernel, window and run-time library functions: module resources (found
// in a native module's embedded resource image through its handle), movable memory, the host
// executable's path, top-level windows by class, and path splitting.
#include <string.h>
#include <strings.h>

#include "platform/resources.h"
#include "platform/stand_in.h"

using namespace platform::detail;

namespace {

// Fill of fresh memory that was not asked to be zeroed, so that reading it shows.
constexpr uint8_t kUninitialised = 0xCD;

LoadedResource* loaded_of(HGLOBAL handle, const char* function) {
    for (LoadedResource& r : state().loaded_resources) {
        if (reinterpret_cast<HGLOBAL>(&r) != handle) continue;
        if (r.freed) {
            platform::detail::misuse(std::string(function) + " on freed resource #" + std::to_string(r.serial));
            return nullptr;
        }
        return &r;
    }
    platform::detail::misuse(std::string(function) + " on a handle that is not a loaded resource");
    return nullptr;
}

const FoundResource* found_of(HRSRC handle, const char* function) {
    for (const FoundResource& f : state().found_resources)
        if (reinterpret_cast<HRSRC>(const_cast<FoundResource*>(&f)) == handle) return &f;
    platform::detail::misuse(std::string(function) + " on a handle that FindResourceA did not return");
    return nullptr;
}

// A movable block's handle is the block record; a fixed block's handle is its memory.
Block* block_of(HGLOBAL handle, const char* function) {
    for (Block& b : state().blocks) {
        const bool match = (b.flags & GMEM_MOVEABLE) ? reinterpret_cast<HGLOBAL>(&b) == handle
                                                     : reinterpret_cast<HGLOBAL>(b.bytes.data()) == handle;
        if (!match) continue;
        if (b.freed) {
            platform::detail::misuse(std::string(function) + " on freed memory block #" + std::to_string(b.serial));
            return nullptr;
        }
        return &b;
    }
    platform::detail::misuse(std::string(function) + " on a handle that GlobalAlloc did not return");
    return nullptr;
}

// Copies `count` characters and a null into `to`, cut to fit `capacity` (null included).
void put_part(char* to, size_t capacity, const char* from, size_t count) {
    if (to == nullptr) return;
    if (count > capacity - 1) count = capacity - 1;
    memcpy(to, from, count);
    to[count] = '\0';
}

}  // namespace

extern "C" {

HRSRC FindResourceA(HMODULE module, const char* name, const char* type) {
    const std::string what = is_integer_resource(name) ? std::to_string(reinterpret_cast<uintptr_t>(name)) : name;
    if (enter("FindResourceA", 0, what)) return nullptr;
    auto key = [](const char* k) {
        platform::ResourceKey out;
        if (is_integer_resource(k)) out.id = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(k));
        else out.text = k;
        return out;
    };
    platform::ResourceBytes bytes;
    if (!platform::find_module_resource(module, key(type), key(name), &bytes)) {
        refuse();
        return nullptr;
    }
    state().found_resources.push_back({module, bytes.data, bytes.size});
    return reinterpret_cast<HRSRC>(&state().found_resources.back());
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    const FoundResource* found = found_of(resource, "LoadResource");
    if (enter("LoadResource") || found == nullptr) return nullptr;
    state().loaded_resources.push_back({new_serial(), found});
    state().calls.back().object = state().loaded_resources.back().serial;
    return reinterpret_cast<HGLOBAL>(&state().loaded_resources.back());
}

void* LockResource(HGLOBAL loaded) {
    LoadedResource* r = loaded_of(loaded, "LockResource");
    if (enter("LockResource", r ? r->serial : 0) || r == nullptr) return nullptr;
    return const_cast<uint8_t*>(r->found->bytes);
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
    const FoundResource* found = found_of(resource, "SizeofResource");
    if (enter("SizeofResource") || found == nullptr) return 0;
    return found->size;
}

BOOL FreeResource(HGLOBAL loaded) {
    LoadedResource* r = loaded_of(loaded, "FreeResource");
    if (enter("FreeResource", r ? r->serial : 0) || r == nullptr) return 0;
    r->freed = true;
    return 1;
}

HGLOBAL GlobalAlloc(UINT flags, size_t bytes) {
    if (enter("GlobalAlloc", 0, std::to_string(bytes))) return nullptr;
    State& s = state();
    s.blocks.push_back({new_serial(), flags, {}});
    Block& b = s.blocks.back();
    b.bytes.assign(bytes, (flags & GMEM_ZEROINIT) ? 0 : kUninitialised);
    s.calls.back().object = b.serial;
    return (flags & GMEM_MOVEABLE) ? reinterpret_cast<HGLOBAL>(&b) : reinterpret_cast<HGLOBAL>(b.bytes.data());
}

void* GlobalLock(HGLOBAL handle) {
    Block* b = block_of(handle, "GlobalLock");
    if (enter("GlobalLock", b ? b->serial : 0) || b == nullptr) return nullptr;
    if (b->bytes.empty()) {
        refuse();
        return nullptr;  // a block of no bytes has no memory to lock
    }
    ++b->locks;
    return b->bytes.data();
}

BOOL GlobalUnlock(HGLOBAL handle) {
    Block* b = block_of(handle, "GlobalUnlock");
    enter("GlobalUnlock", b ? b->serial : 0);
    if (b == nullptr) return 0;
    if (b->locks == 0) {
        platform::detail::misuse("GlobalUnlock of memory block #" + std::to_string(b->serial) + ", which is not locked");
        return 0;
    }
    return --b->locks > 0;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
    Block* b = block_of(handle, "GlobalFree");
    if (enter("GlobalFree", b ? b->serial : 0) || b == nullptr) return handle;
    b->freed = true;
    return nullptr;
}

// Older systems' behaviour, the harshest: a path that does not fit is cut at `size`
// characters and left without a terminating null.
DWORD GetModuleFileNameA(HMODULE module, char* path, DWORD size) {
    if (enter("GetModuleFileNameA") || module != nullptr) return 0;
    const std::string& exe = state().executable_path;
    if (exe.size() >= size) {
        memcpy(path, exe.data(), size);
        return size;
    }
    memcpy(path, exe.c_str(), exe.size() + 1);
    return static_cast<DWORD>(exe.size());
}

HWND FindWindowA(const char* window_class, const char* title) {
    if (enter("FindWindowA", 0, window_class ? window_class : "")) return nullptr;
    for (Window& w : state().windows) {
        if (window_class != nullptr && strcasecmp(window_class, w.window_class.c_str()) != 0) continue;
        if (title != nullptr && w.title != title) continue;
        return reinterpret_cast<HWND>(&w);
    }
    refuse();
    return nullptr;
}

// The run-time library's rules: a drive is a letter and a colon; the directory runs to the
// last slash or backslash; the extension starts at the last dot after it.
void _splitpath(const char* path, char* drive, char* dir, char* name, char* ext) {
    enter("_splitpath", 0, path);
    const char* p = path;
    if (p[0] != '\0' && p[1] == ':') {
        put_part(drive, MAX_DRIVE_CHARS, p, 2);
        p += 2;
    } else {
        put_part(drive, MAX_DRIVE_CHARS, p, 0);
    }
    const char* last_slash = nullptr;
    const char* last_dot = nullptr;
    for (const char* c = p; *c != '\0'; ++c) {
        if (*c == '\\' || *c == '/') last_slash = c;
        else if (*c == '.') last_dot = c;
    }
    const char* name_start = last_slash ? last_slash + 1 : p;
    put_part(dir, MAX_DIR_CHARS, p, static_cast<size_t>(name_start - p));
    const char* end = p + strlen(p);
    const char* name_end = (last_dot != nullptr && last_dot >= name_start) ? last_dot : end;
    put_part(name, MAX_FNAME_CHARS, name_start, static_cast<size_t>(name_end - name_start));
    put_part(ext, MAX_EXT_CHARS, name_end, static_cast<size_t>(end - name_end));
}

}  // extern "C"
