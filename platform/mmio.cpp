// Stand-in for multimedia file I/O on memory files: a file opened with the "MEM " procedure
// over a caller's buffer, walked as RIFF chunks.
//
// A chunk is an identifier, a 32-bit little-endian size and that many data bytes, padded to
// an even length. "RIFF" and "LIST" chunks start their data with a form or list type and hold
// further chunks after it. Descending finds a chunk from the current position, within the
// parent's data when a parent is given, and leaves the position at the chunk's data (after
// the form type of a RIFF or LIST chunk); ascending moves behind the chunk.
#include <string.h>

#include "platform/stand_in.h"

using namespace platform::detail;

namespace {

uint32_t read_u32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

MemoryFile* file_of(HMMIO handle, const char* function) {
    for (MemoryFile& f : state().files) {
        if (reinterpret_cast<HMMIO>(&f) != handle) continue;
        if (f.record.closed) {
            platform::detail::misuse(std::string(function) + " on closed memory file #" + std::to_string(f.record.serial));
            return nullptr;
        }
        return &f;
    }
    platform::detail::misuse(std::string(function) + " on a handle that mmioOpenA did not return");
    return nullptr;
}

bool other_fields_zero(const MMIOINFO& io) {
    return io.flags == 0 && io.io_proc == nullptr && io.error == 0 && io.task == nullptr && io.next == nullptr &&
           io.end_read == nullptr && io.end_write == nullptr && io.buffer_offset == 0 && io.disk_offset == 0 &&
           io.info[0] == 0 && io.info[1] == 0 && io.info[2] == 0 && io.reserved1 == 0 && io.reserved2 == 0 &&
           io.handle == nullptr;
}

bool has_form_type(FOURCC id) { return id == FOURCC_RIFF || id == FOURCC_LIST; }

}  // namespace

extern "C" {

// Only memory files: the "MEM " procedure over a buffer of at least one byte.
HMMIO mmioOpenA(char*, MMIOINFO* info, DWORD flags) {
    if (enter("mmioOpenA")) {
        if (info != nullptr) info->error = MMIOERR_OUTOFMEMORY;
        return nullptr;
    }
    if (info == nullptr || info->io_proc_id != FOURCC_MEM || info->buffer == nullptr || info->buffer_size <= 0) {
        if (info != nullptr) info->error = MMIOERR_FILENOTFOUND;
        refuse();
        return nullptr;
    }
    State& s = state();
    MemoryFile f{};
    f.record.serial = new_serial();
    f.record.io_proc_id = info->io_proc_id;
    f.record.open_flags = flags;
    f.record.buffer = info->buffer;
    f.record.buffer_size = info->buffer_size;
    f.record.other_fields_zero = other_fields_zero(*info);
    f.bytes = reinterpret_cast<const uint8_t*>(info->buffer);
    f.size = static_cast<uint32_t>(info->buffer_size);
    s.files.push_back(f);
    s.calls.back().object = f.record.serial;
    return reinterpret_cast<HMMIO>(&s.files.back());
}

MMRESULT mmioDescend(HMMIO handle, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags) {
    MemoryFile* f = file_of(handle, "mmioDescend");
    std::string wanted;
    if (chunk != nullptr) {
        const FOURCC w = (flags & (MMIO_FINDRIFF | MMIO_FINDLIST)) ? chunk->form_type : chunk->id;
        wanted.assign(reinterpret_cast<const char*>(&w), 4);
    }
    if (enter("mmioDescend", f ? f->record.serial : 0, wanted)) return MMIOERR_CHUNKNOTFOUND;
    if (f == nullptr || chunk == nullptr) return MMIOERR_CANNOTREAD;

    uint64_t end = f->size;
    if (parent != nullptr) {
        const uint64_t parent_end = uint64_t{parent->data_offset} + parent->size;
        if (parent_end < end) end = parent_end;
    }
    uint64_t at = f->position;
    while (at + 8 <= end) {
        const FOURCC id = read_u32(f->bytes + at);
        const uint32_t size = read_u32(f->bytes + at + 4);
        const uint64_t data = at + 8;
        FOURCC type = 0;
        if (has_form_type(id)) {
            if (data + 4 > f->size) break;
            type = read_u32(f->bytes + data);
        }
        bool match = false;
        if (flags & MMIO_FINDRIFF) match = id == FOURCC_RIFF && type == chunk->form_type;
        else if (flags & MMIO_FINDLIST) match = id == FOURCC_LIST && type == chunk->form_type;
        else if (flags & MMIO_FINDCHUNK) match = id == chunk->id;
        else match = true;  // the chunk at the current position
        if (match) {
            chunk->id = id;
            chunk->size = size;
            chunk->form_type = type;
            chunk->data_offset = static_cast<DWORD>(data);
            chunk->flags = 0;
            f->position = static_cast<uint32_t>(data + (has_form_type(id) ? 4 : 0));
            return 0;
        }
        at = data + size + (size & 1u);
    }
    f->position = static_cast<uint32_t>(end < f->size ? end : f->size);
    refuse();
    return MMIOERR_CHUNKNOTFOUND;
}

LONG mmioRead(HMMIO handle, char* to, LONG bytes) {
    MemoryFile* f = file_of(handle, "mmioRead");
    if (enter("mmioRead", f ? f->record.serial : 0, std::to_string(bytes)) || f == nullptr || bytes < 0) return -1;
    const uint32_t left = f->size - f->position;
    const uint32_t count = static_cast<uint32_t>(bytes) < left ? static_cast<uint32_t>(bytes) : left;
    memcpy(to, f->bytes + f->position, count);
    f->position += count;
    return static_cast<LONG>(count);
}

MMRESULT mmioAscend(HMMIO handle, MMCKINFO* chunk, UINT) {
    MemoryFile* f = file_of(handle, "mmioAscend");
    if (enter("mmioAscend", f ? f->record.serial : 0) || f == nullptr || chunk == nullptr) return MMIOERR_CANNOTSEEK;
    const uint64_t behind = uint64_t{chunk->data_offset} + chunk->size + (chunk->size & 1u);
    if (behind > f->size) {
        refuse();
        return MMIOERR_CANNOTSEEK;
    }
    f->position = static_cast<uint32_t>(behind);
    return 0;
}

MMRESULT mmioClose(HMMIO handle, UINT) {
    MemoryFile* f = file_of(handle, "mmioClose");
    if (enter("mmioClose", f ? f->record.serial : 0) || f == nullptr) return MMIOERR_CANNOTCLOSE;
    f->record.closed = true;
    return 0;
}

}  // extern "C"
