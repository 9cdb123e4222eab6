// Stand-in for DirectSound: device and secondary buffer objects that keep what was asked of
// them. It refuses what the platform refuses (a buffer before the cooperative level, a
// description or format out of range, a lock outside the buffer, a play with a reserved
// value) and records misuse the platform would punish later (an unlock that does not match
// the lock, a call on a released object, a device released while its buffers live: the
// platform frees those buffers with it).
#include <string.h>

#include "platform/stand_in.h"

using namespace platform::detail;

namespace {

constexpr HRESULT kInvalidParam = static_cast<HRESULT>(0x80070057);
constexpr HRESULT kNoDriver = static_cast<HRESULT>(0x88780078);
constexpr HRESULT kNoAggregation = static_cast<HRESULT>(0x80040110);
constexpr HRESULT kPriorityLevelNeeded = static_cast<HRESULT>(0x88780046);
constexpr HRESULT kBufferLost = static_cast<HRESULT>(0x88780096);
constexpr HRESULT kGeneric = static_cast<HRESULT>(0x80004005);
constexpr DWORD kSmallestBuffer = 4;
constexpr DWORD kLargestBuffer = 0x0FFFFFFF;

Device* device_of(IDirectSound* iface, const char* function) {
    for (Device& d : state().devices) {
        if (&d.iface != iface) continue;
        if (d.record.released) {
            platform::detail::misuse(std::string(function) + " on released device #" + std::to_string(d.record.serial));
            return nullptr;
        }
        return &d;
    }
    platform::detail::misuse(std::string(function) + " on an object that is not a device");
    return nullptr;
}

Buffer* buffer_of(IDirectSoundBuffer* iface, const char* function) {
    for (Buffer& b : state().buffers) {
        if (&b.iface != iface) continue;
        if (b.record.released) {
            platform::detail::misuse(std::string(function) + " on released buffer #" + std::to_string(b.record.serial));
            return nullptr;
        }
        return &b;
    }
    platform::detail::misuse(std::string(function) + " on an object that is not a sound buffer");
    return nullptr;
}

bool valid_pcm(const WAVEFORMATEX& f) {
    return f.format_tag == WAVE_FORMAT_PCM && (f.channels == 1 || f.channels == 2) &&
           (f.bits_per_sample == 8 || f.bits_per_sample == 16) && f.samples_per_sec >= 100 &&
           f.samples_per_sec <= 200000 && f.block_align == f.channels * f.bits_per_sample / 8 &&
           f.avg_bytes_per_sec == f.samples_per_sec * f.block_align;
}

ULONG release_buffer(IDirectSoundBuffer* self) {
    Buffer* b = buffer_of(self, "IDirectSoundBuffer::Release");
    enter("IDirectSoundBuffer::Release", b ? b->record.serial : 0);
    if (b == nullptr) return 0;
    if (--b->references == 0) b->record.released = true;
    return static_cast<ULONG>(b->references);
}

HRESULT lock(IDirectSoundBuffer* self, DWORD offset, DWORD bytes, void** first, DWORD* first_bytes, void** second,
             DWORD* second_bytes, DWORD flags) {
    Buffer* b = buffer_of(self, "IDirectSoundBuffer::Lock");
    if (enter("IDirectSoundBuffer::Lock", b ? b->record.serial : 0) || b == nullptr) return kGeneric;
    b->record.locks.push_back({offset, bytes, flags});
    const DWORD size = static_cast<DWORD>(b->record.data.size());
    if (flags & DSBLOCK_ENTIREBUFFER) bytes = size;
    if (flags & DSBLOCK_FROMWRITECURSOR) offset = b->position;
    if (b->locked || first == nullptr || first_bytes == nullptr || offset >= size || bytes == 0 || bytes > size) {
        refuse();
        return kInvalidParam;
    }
    // From the offset to the end of the buffer, then wrapping round to its start.
    uint8_t* data = b->record.data.data();
    const DWORD run = bytes < size - offset ? bytes : size - offset;
    *first = data + offset;
    *first_bytes = run;
    void* wrapped = nullptr;
    DWORD wrapped_bytes = 0;
    if (run < bytes) {
        if (second == nullptr || second_bytes == nullptr) {
            refuse();
            return kInvalidParam;
        }
        wrapped = data;
        wrapped_bytes = bytes - run;
    }
    if (second != nullptr) *second = wrapped;
    if (second_bytes != nullptr) *second_bytes = wrapped_bytes;
    b->locked = true;
    b->locked_first = *first;
    b->locked_second = wrapped;
    return DS_OK;
}

HRESULT play(IDirectSoundBuffer* self, DWORD reserved, DWORD priority, DWORD flags) {
    Buffer* b = buffer_of(self, "IDirectSoundBuffer::Play");
    if (enter("IDirectSoundBuffer::Play", b ? b->record.serial : 0, std::to_string(flags)) || b == nullptr)
        return kBufferLost;
    b->record.plays.push_back({reserved, priority, flags, b->position});
    // The priority is for buffers whose voice is chosen at play time, which these are not.
    if (reserved != 0 || priority != 0 || (flags & ~DSBPLAY_LOOPING) != 0) {
        refuse();
        return kInvalidParam;
    }
    return DS_OK;
}

HRESULT set_position(IDirectSoundBuffer* self, DWORD position) {
    Buffer* b = buffer_of(self, "IDirectSoundBuffer::SetCurrentPosition");
    if (enter("IDirectSoundBuffer::SetCurrentPosition", b ? b->record.serial : 0) || b == nullptr) return kGeneric;
    b->record.positions.push_back(position);
    if (position >= b->record.data.size()) {
        refuse();
        return kInvalidParam;
    }
    b->position = position;
    return DS_OK;
}

HRESULT unlock(IDirectSoundBuffer* self, void* first, DWORD, void* second, DWORD) {
    Buffer* b = buffer_of(self, "IDirectSoundBuffer::Unlock");
    if (enter("IDirectSoundBuffer::Unlock", b ? b->record.serial : 0) || b == nullptr) return kGeneric;
    ++b->record.unlocks;
    if (!b->locked || first != b->locked_first || second != b->locked_second) {
        platform::detail::misuse("IDirectSoundBuffer::Unlock of buffer #" + std::to_string(b->record.serial) +
                                 " does not match its lock");
        refuse();
        return kInvalidParam;
    }
    b->locked = false;
    return DS_OK;
}

constexpr IDirectSoundBufferVtbl kBufferMethods = {
    .QueryInterface = nullptr, .AddRef = nullptr, .Release = release_buffer, .GetCaps = nullptr,
    .GetCurrentPosition = nullptr, .GetFormat = nullptr, .GetVolume = nullptr, .GetPan = nullptr,
    .GetFrequency = nullptr, .GetStatus = nullptr, .Initialize = nullptr, .Lock = lock, .Play = play,
    .SetCurrentPosition = set_position, .SetFormat = nullptr, .SetVolume = nullptr, .SetPan = nullptr,
    .SetFrequency = nullptr, .Stop = nullptr, .Unlock = unlock, .Restore = nullptr,
};

ULONG release_device(IDirectSound* self) {
    Device* d = device_of(self, "IDirectSound::Release");
    enter("IDirectSound::Release", d ? d->record.serial : 0);
    if (d == nullptr) return 0;
    if (--d->references > 0) return static_cast<ULONG>(d->references);
    d->record.released = true;
    for (Buffer& b : state().buffers) {
        if (b.device != d || b.record.released) continue;
        platform::detail::misuse("device #" + std::to_string(d->record.serial) + " released before its buffer #" +
                                 std::to_string(b.record.serial));
        b.record.released = true;  // the platform takes the device's buffers with it
    }
    return 0;
}

HRESULT create_buffer(IDirectSound* self, const DSBUFFERDESC* description, IDirectSoundBuffer** out, void* outer) {
    Device* d = device_of(self, "IDirectSound::CreateSoundBuffer");
    if (out != nullptr) *out = nullptr;
    if (enter("IDirectSound::CreateSoundBuffer", d ? d->record.serial : 0) || d == nullptr) return kGeneric;
    if (out == nullptr || description == nullptr || outer != nullptr) {
        refuse();
        return outer != nullptr ? kNoAggregation : kInvalidParam;
    }
    if (!d->record.cooperative) {
        refuse();
        return kPriorityLevelNeeded;
    }
    const DSBUFFERDESC& desc = *description;
    if (desc.size != sizeof(DSBUFFERDESC) || (desc.flags & DSBCAPS_PRIMARYBUFFER) != 0 || desc.reserved != 0 ||
        desc.buffer_bytes < kSmallestBuffer || desc.buffer_bytes > kLargestBuffer || desc.format == nullptr ||
        !valid_pcm(*desc.format)) {
        refuse();
        return kInvalidParam;
    }
    State& s = state();
    s.buffers.push_back(Buffer{});
    Buffer& b = s.buffers.back();
    b.iface.vtbl = &kBufferMethods;
    b.device = d;
    b.record.serial = new_serial();
    b.record.device = d->record.serial;
    b.record.description = desc;
    b.record.format = *desc.format;
    // Fresh buffer memory holds silence for nobody: a pattern, so that an incomplete copy shows.
    b.record.data.assign(desc.buffer_bytes, 0xCD);
    s.calls.back().object = b.record.serial;
    *out = &b.iface;
    return DS_OK;
}

HRESULT set_cooperative_level(IDirectSound* self, HWND window, DWORD level) {
    Device* d = device_of(self, "IDirectSound::SetCooperativeLevel");
    if (enter("IDirectSound::SetCooperativeLevel", d ? d->record.serial : 0) || d == nullptr) return kInvalidParam;
    d->record.window = window;
    d->record.level = level;
    if (level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) {
        refuse();
        return kInvalidParam;
    }
    d->record.cooperative = true;
    return DS_OK;
}

constexpr IDirectSoundVtbl kDeviceMethods = {
    .QueryInterface = nullptr, .AddRef = nullptr, .Release = release_device, .CreateSoundBuffer = create_buffer,
    .GetCaps = nullptr, .DuplicateSoundBuffer = nullptr, .SetCooperativeLevel = set_cooperative_level,
    .Compact = nullptr, .GetSpeakerConfig = nullptr, .SetSpeakerConfig = nullptr, .Initialize = nullptr,
};

}  // namespace

extern "C" HRESULT DirectSoundCreate(const GUID* device, IDirectSound** out, void* outer) {
    if (out != nullptr) *out = nullptr;
    if (enter("DirectSoundCreate")) return kNoDriver;
    if (out == nullptr || outer != nullptr) {
        refuse();
        return outer != nullptr ? kNoAggregation : kInvalidParam;
    }
    State& s = state();
    s.devices.push_back(Device{});
    Device& d = s.devices.back();
    d.iface.vtbl = &kDeviceMethods;
    d.record.serial = new_serial();
    d.record.default_device = device == nullptr;
    s.calls.back().object = d.record.serial;
    *out = &d.iface;
    return DS_OK;
}
