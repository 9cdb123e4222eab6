// The click sound player of the switch panel.
//
// Each clicking gauge loads the click sample from the module's "WAVE" resource into its own
// DirectSound device and secondary buffer at service 2, plays that buffer once per click and
// releases both at service 12. The first failure anywhere turns sound off for the rest of the
// module's life; nothing is reported, and the switches keep working silently.
//
// Built without the C runtime: bytes are copied with plain loops, and every record passed to
// the platform is filled field by field.
#include "switches/sound.h"

#include "platform/win32.h"

namespace sound {

int32_t sound_enabled = 1;

namespace {

constexpr FOURCC kWaveForm = make_fourcc('W', 'A', 'V', 'E');
constexpr FOURCC kFormatChunk = make_fourcc('f', 'm', 't', ' ');
constexpr FOURCC kDataChunk = make_fourcc('d', 'a', 't', 'a');
// Largest sample the module accepts; mmioRead counts in signed 32 bits.
constexpr uint32_t kLargestSample = 0x7FFFFFFF;

// Host main-window classes: the Combat Flight Simulator family, and the others.
constexpr const char* kCombatWindowClass = "MSCFSMAIN";
constexpr const char* kWindowClass = "FS98MAIN";

void copy_bytes(uint8_t* to, const uint8_t* from, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) to[i] = from[i];
}

// Gives up the object a slot holds and empties the slot.
template <class Interface>
void release_object(Interface** slot) {
    Interface* object = *slot;
    *slot = nullptr;
    if (object != nullptr) object->vtbl->Release(object);
}

// The sample once it has left the resource: its format and its bytes in a temporary block
// of movable memory.
struct Sample {
    WAVEFORMATEX format;
    HGLOBAL block;
    uint8_t* bytes;
    uint32_t size;
};

void free_block(Sample& sample) {
    if (sample.block == nullptr) return;
    GlobalUnlock(sample.block);
    GlobalFree(sample.block);
    sample.block = nullptr;
    sample.bytes = nullptr;
}

// Reads the format and the data of a RIFF "WAVE" file: the "fmt " chunk, then the "data"
// chunk behind it. True with the sample in its temporary block; false with no block held.
bool read_wave_file(HMMIO file, Sample& sample) {
    MMCKINFO form;
    form.id = 0;
    form.size = 0;
    form.form_type = kWaveForm;
    form.data_offset = 0;
    form.flags = 0;
    if (mmioDescend(file, &form, nullptr, MMIO_FINDRIFF) != 0) return false;

    MMCKINFO chunk;
    chunk.id = kFormatChunk;
    chunk.size = 0;
    chunk.form_type = 0;
    chunk.data_offset = 0;
    chunk.flags = 0;
    if (mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK) != 0) return false;
    // The whole record, its extension size included: with a 16-byte "fmt " chunk the last
    // two bytes come from the next chunk's header, which PCM playback ignores.
    constexpr LONG kFormatBytes = sizeof(WAVEFORMATEX);
    if (mmioRead(file, reinterpret_cast<char*>(&sample.format), kFormatBytes) != kFormatBytes) return false;
    if (mmioAscend(file, &chunk, 0) != 0) return false;

    // The search for the data starts behind the format chunk.
    chunk.id = kDataChunk;
    if (mmioDescend(file, &chunk, &form, MMIO_FINDCHUNK) != 0) return false;
    if (chunk.size == 0 || chunk.size > kLargestSample) return false;

    sample.block = GlobalAlloc(GMEM_MOVEABLE, chunk.size);
    if (sample.block == nullptr) return false;
    sample.bytes = static_cast<uint8_t*>(GlobalLock(sample.block));
    if (sample.bytes == nullptr) {
        GlobalFree(sample.block);
        sample.block = nullptr;
        return false;
    }
    // A chunk that claims more bytes than the file holds reads short: never play the rest
    // of the block, which holds whatever the memory held before.
    if (mmioRead(file, reinterpret_cast<char*>(sample.bytes), static_cast<LONG>(chunk.size)) !=
        static_cast<LONG>(chunk.size)) {
        free_block(sample);
        return false;
    }
    sample.size = chunk.size;
    return true;
}

// Finds the "WAVE" resource `resource_id` of the module and reads it as a memory file.
// Whatever succeeds or fails, the memory file is closed and the resource released.
bool read_wave_resource(HMODULE module, int32_t resource_id, Sample& sample) {
    HRSRC found = FindResourceA(module, integer_resource(resource_id), "WAVE");
    if (found == nullptr) return false;
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) return false;
    bool read = false;
    void* bytes = LockResource(loaded);
    const DWORD size = SizeofResource(module, found);
    if (bytes != nullptr) {
        MMIOINFO io;
        io.flags = 0;
        io.io_proc_id = FOURCC_MEM;
        io.io_proc = nullptr;
        io.error = 0;
        io.task = nullptr;
        io.buffer_size = static_cast<LONG>(size);
        io.buffer = static_cast<char*>(bytes);
        io.next = nullptr;
        io.end_read = nullptr;
        io.end_write = nullptr;
        io.buffer_offset = 0;
        io.disk_offset = 0;
        io.info[0] = io.info[1] = io.info[2] = 0;
        io.reserved1 = 0;
        io.reserved2 = 0;
        io.handle = nullptr;
        HMMIO file = mmioOpenA(nullptr, &io, MMIO_READWRITE | MMIO_ALLOCBUF);
        if (file != nullptr) {
            read = read_wave_file(file, sample);
            mmioClose(file, 0);
        }
    }
    FreeResource(loaded);
    return read;
}

// Creates the secondary buffer for the sample and copies the sample into it, play position
// at the start. False with the buffer slot left as it is (the caller releases it).
bool fill_buffer(IDirectSound* device, IDirectSoundBuffer** buffer, Sample& sample) {
    DSBUFFERDESC description;
    description.size = sizeof(DSBUFFERDESC);
    description.flags = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_GLOBALFOCUS;
    description.buffer_bytes = sample.size;
    description.reserved = 0;
    description.format = &sample.format;
    description.algorithm_3d.data1 = 0;
    description.algorithm_3d.data2 = 0;
    description.algorithm_3d.data3 = 0;
    for (uint8_t& b : description.algorithm_3d.data4) b = 0;
    if (device->vtbl->CreateSoundBuffer(device, &description, buffer, nullptr) != DS_OK) {
        *buffer = nullptr;  // a refused buffer never existed
        return false;
    }
    if (*buffer == nullptr) return false;

    IDirectSoundBuffer* b = *buffer;
    void* first = nullptr;
    DWORD first_bytes = 0;
    void* second = nullptr;
    DWORD second_bytes = 0;
    if (b->vtbl->Lock(b, 0, sample.size, &first, &first_bytes, &second, &second_bytes, 0) != DS_OK) return false;
    // The whole buffer comes back as the first region; a second region takes any rest.
    uint32_t copied = 0;
    if (first != nullptr) {
        copied = first_bytes < sample.size ? first_bytes : sample.size;
        copy_bytes(static_cast<uint8_t*>(first), sample.bytes, copied);
    }
    if (second != nullptr && copied < sample.size) {
        const uint32_t rest = sample.size - copied;
        copy_bytes(static_cast<uint8_t*>(second), sample.bytes + copied, second_bytes < rest ? second_bytes : rest);
    }
    if (b->vtbl->Unlock(b, first, first_bytes, second, second_bytes) != DS_OK) return false;
    return b->vtbl->SetCurrentPosition(b, 0) == DS_OK;
}

}  // namespace

HWND find_host_window() {
    char path[MAX_PATH_CHARS];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH_CHARS);
    // A path cut at the buffer's end may come back without its terminating null, and a
    // failed call leaves the buffer as it was: end the text at what was written.
    if (length >= MAX_PATH_CHARS) length = MAX_PATH_CHARS - 1;
    path[length] = '\0';

    char drive[MAX_DRIVE_CHARS];
    char directory[MAX_DIR_CHARS];
    char name[MAX_FNAME_CHARS];
    char extension[MAX_EXT_CHARS];
    _splitpath(path, drive, directory, name, extension);

    // The fourth character counts only if the name is that long.
    const bool combat = name[0] == 'C' ||
                        (name[0] != '\0' && name[1] != '\0' && name[2] != '\0' && name[3] == '2');
    return FindWindowA(combat ? kCombatWindowClass : kWindowClass, nullptr);
}

int32_t sound_create_device(HWND window, IDirectSound** device) {
    *device = nullptr;
    if (DirectSoundCreate(nullptr, device, nullptr) != DS_OK || *device == nullptr) {
        *device = nullptr;
        sound_enabled = 0;
        return 0;
    }
    if ((*device)->vtbl->SetCooperativeLevel(*device, window, DSSCL_NORMAL) != DS_OK) {
        release_object(device);
        sound_enabled = 0;
        return 0;
    }
    return 1;
}

uint32_t sound_load_wave(IDirectSound** device, IDirectSoundBuffer** buffer, int32_t resource_id,
                         GAUGE_RESOURCE_HANDLE resources) {
    if (sound_enabled == 0) return 0;
    *buffer = nullptr;
    Sample sample;
    sample.block = nullptr;
    sample.bytes = nullptr;
    sample.size = 0;
    bool loaded = *device != nullptr && read_wave_resource(static_cast<HMODULE>(resources), resource_id, sample);
    if (loaded) {
        loaded = fill_buffer(*device, buffer, sample);
        // The buffer holds its own copy; the temporary block goes either way.
        free_block(sample);
    }
    if (!loaded) {
        release_object(buffer);
        sound_enabled = 0;
        return 0;
    }
    return sample.size;
}

int32_t sound_play(IDirectSoundBuffer** buffer, uint32_t flags) {
    if (sound_enabled == 0 || *buffer == nullptr) return 0;
    if ((*buffer)->vtbl->Play(*buffer, 0, 0, flags) != DS_OK) {
        sound_enabled = 0;
        release_object(buffer);
        return 0;
    }
    return 1;
}

// While sound is off, nothing is released: the objects stay as the failure left them.
void sound_release(IDirectSound** device) {
    if (sound_enabled == 0 || *device == nullptr) return;
    release_object(device);
}

void sound_release(IDirectSoundBuffer** buffer) {
    if (sound_enabled == 0 || *buffer == nullptr) return;
    release_object(buffer);
}

void click_sound_setup(click_sound_slot& slot, GAUGE_EXTRA_DATA resource_handle, int32_t resource_id) {
    // A gauge the panel shows twice gets its set-up twice: give back what the slot holds
    // before it is filled again, or the first device and buffer would be held for good.
    click_sound_teardown(slot);
    slot.resources = reinterpret_cast<GAUGE_RESOURCE_HANDLE>(resource_handle);
    slot.window = find_host_window();
    sound_create_device(slot.window, &slot.device);
    sound_load_wave(&slot.device, &slot.buffer, resource_id, slot.resources);
}

void click_sound_teardown(click_sound_slot& slot) {
    sound_release(&slot.buffer);
    sound_release(&slot.device);
}

}  // namespace sound
