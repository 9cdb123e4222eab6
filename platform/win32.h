// The Windows functions and records the switch panel's click sound calls: DirectSound,
// multimedia file I/O on a memory file, module resources, movable memory and the host window
// lookup. Our own declarations, limited to what the modules use.
//
// Windows build: the real functions of dsound.dll, winmm.dll, kernel32.dll, user32.dll and
// msvcrt.dll, imported with their standard calling convention. Native build: plain C
// functions of our stand-ins in the gauge_platform library (platform/control.h drives them
// from tests). Record layouts are pinned in the 32-bit layout the platform uses.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "framework/abi.h"

#if defined(_WIN32)
#define WIN32_API __stdcall
#define WIN32_CRT __cdecl
#define WIN32_IMPORT __declspec(dllimport)
#else
#define WIN32_API
#define WIN32_CRT
#define WIN32_IMPORT
#endif

// ---------------------------------------------------------------------------------------
// Basic types and handles.

typedef int32_t HRESULT;   // 0 is success
typedef int32_t BOOL;
typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint32_t FOURCC;   // four characters, first character in the low byte
typedef uint32_t MMRESULT; // 0 is success

struct HWND__;
typedef HWND__* HWND;
struct HINSTANCE__;
typedef HINSTANCE__* HMODULE;
struct HRSRC__;
typedef HRSRC__* HRSRC;
struct HGLOBAL__;
typedef HGLOBAL__* HGLOBAL;
struct HMMIO__;
typedef HMMIO__* HMMIO;

struct GUID {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};
GAUGE_ASSERT_SIZE(GUID, 16);

constexpr FOURCC make_fourcc(char a, char b, char c, char d) {
    return static_cast<uint8_t>(a) | static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

// An integer resource id passed where a resource name is expected.
inline const char* integer_resource(int32_t id) {
    return reinterpret_cast<const char*>(static_cast<uintptr_t>(static_cast<uint16_t>(id)));
}
// True for a name made by integer_resource.
inline bool is_integer_resource(const char* name) { return (reinterpret_cast<uintptr_t>(name) >> 16) == 0; }

// ---------------------------------------------------------------------------------------
// Module resources, movable memory, process file name (kernel32.dll).

enum : UINT {
    GMEM_FIXED = 0x0,
    GMEM_MOVEABLE = 0x2,
    GMEM_ZEROINIT = 0x40,
};

// Length of a full path buffer, and of the parts _splitpath writes (terminator included).
enum : size_t { MAX_PATH_CHARS = 260, MAX_DRIVE_CHARS = 3, MAX_DIR_CHARS = 256, MAX_FNAME_CHARS = 256, MAX_EXT_CHARS = 256 };

extern "C" {
WIN32_IMPORT HRSRC WIN32_API FindResourceA(HMODULE module, const char* name, const char* type);
WIN32_IMPORT HGLOBAL WIN32_API LoadResource(HMODULE module, HRSRC resource);
WIN32_IMPORT void* WIN32_API LockResource(HGLOBAL loaded);
WIN32_IMPORT DWORD WIN32_API SizeofResource(HMODULE module, HRSRC resource);
WIN32_IMPORT BOOL WIN32_API FreeResource(HGLOBAL loaded);

WIN32_IMPORT HGLOBAL WIN32_API GlobalAlloc(UINT flags, size_t bytes);
WIN32_IMPORT void* WIN32_API GlobalLock(HGLOBAL block);
WIN32_IMPORT BOOL WIN32_API GlobalUnlock(HGLOBAL block);
WIN32_IMPORT HGLOBAL WIN32_API GlobalFree(HGLOBAL block);  // null on success

// Copies the executable's path (module null) into `path`. Returns the characters copied; a
// path that does not fit comes back cut at `size` characters, on older systems without a
// terminating null.
WIN32_IMPORT DWORD WIN32_API GetModuleFileNameA(HMODULE module, char* path, DWORD size);

// ---------------------------------------------------------------------------------------
// Window lookup (user32.dll).

WIN32_IMPORT HWND WIN32_API FindWindowA(const char* window_class, const char* title);

// ---------------------------------------------------------------------------------------
// Path splitting (msvcrt.dll). Each part is written null-terminated into its buffer
// (MAX_*_CHARS long); a null buffer skips that part.

WIN32_IMPORT void WIN32_CRT _splitpath(const char* path, char* drive, char* dir, char* name, char* ext);
}

// ---------------------------------------------------------------------------------------
// Multimedia file I/O (winmm.dll).

typedef LONG(WIN32_API* MMIOPROC)(char* info, UINT message, intptr_t param1, intptr_t param2);

// I/O information record of mmioOpenA.
struct MMIOINFO {
    DWORD flags;
    FOURCC io_proc_id;        // FOURCC_MEM: a file held in memory
    MMIOPROC io_proc;
    UINT error;               // why mmioOpenA failed
    void* task;
    LONG buffer_size;         // memory file: bytes at `buffer`
    char* buffer;             // memory file: its contents
    char* next;
    char* end_read;
    char* end_write;
    LONG buffer_offset;
    LONG disk_offset;
    DWORD info[3];
    DWORD reserved1;
    DWORD reserved2;
    HMMIO handle;
};
GAUGE_ASSERT_OFFSET(MMIOINFO, io_proc_id, 4);
GAUGE_ASSERT_OFFSET(MMIOINFO, error, 12);
GAUGE_ASSERT_OFFSET(MMIOINFO, buffer_size, 20);
GAUGE_ASSERT_OFFSET(MMIOINFO, buffer, 24);
GAUGE_ASSERT_OFFSET(MMIOINFO, info, 48);
GAUGE_ASSERT_OFFSET(MMIOINFO, handle, 68);
GAUGE_ASSERT_SIZE(MMIOINFO, 72);

// One RIFF chunk as mmioDescend finds it.
struct MMCKINFO {
    FOURCC id;                // chunk identifier
    DWORD size;               // bytes of the chunk's data (a RIFF form's type included)
    FOURCC form_type;         // RIFF and LIST chunks: the form or list type
    DWORD data_offset;        // file offset of the chunk's data
    DWORD flags;
};
static_assert(sizeof(MMCKINFO) == 20, "MMCKINFO is five 32-bit words");

constexpr FOURCC FOURCC_MEM = make_fourcc('M', 'E', 'M', ' ');
constexpr FOURCC FOURCC_RIFF = make_fourcc('R', 'I', 'F', 'F');
constexpr FOURCC FOURCC_LIST = make_fourcc('L', 'I', 'S', 'T');

enum : DWORD {
    MMIO_READ = 0x0,
    MMIO_WRITE = 0x1,
    MMIO_READWRITE = 0x2,
    MMIO_ALLOCBUF = 0x10000,
};
enum : UINT {
    MMIO_FINDCHUNK = 0x10,
    MMIO_FINDRIFF = 0x20,
    MMIO_FINDLIST = 0x40,
};
enum : MMRESULT {
    MMIOERR_FILENOTFOUND = 257,
    MMIOERR_OUTOFMEMORY = 258,
    MMIOERR_CANNOTCLOSE = 260,
    MMIOERR_CANNOTREAD = 261,
    MMIOERR_CANNOTSEEK = 264,
    MMIOERR_CHUNKNOTFOUND = 265,
};

extern "C" {
WIN32_IMPORT HMMIO WIN32_API mmioOpenA(char* file_name, MMIOINFO* info, DWORD flags);
WIN32_IMPORT MMRESULT WIN32_API mmioDescend(HMMIO file, MMCKINFO* chunk, const MMCKINFO* parent, UINT flags);
// Returns the bytes read (fewer at the end of the file), -1 on error.
WIN32_IMPORT LONG WIN32_API mmioRead(HMMIO file, char* to, LONG bytes);
WIN32_IMPORT MMRESULT WIN32_API mmioAscend(HMMIO file, MMCKINFO* chunk, UINT flags);
WIN32_IMPORT MMRESULT WIN32_API mmioClose(HMMIO file, UINT flags);
}

// ---------------------------------------------------------------------------------------
// DirectSound (dsound.dll).

#pragma pack(push, 1)
// Sample format of a sound buffer.
struct WAVEFORMATEX {
    uint16_t format_tag;      // 1: PCM
    uint16_t channels;
    uint32_t samples_per_sec;
    uint32_t avg_bytes_per_sec;
    uint16_t block_align;
    uint16_t bits_per_sample;
    uint16_t extra_size;      // bytes of format-specific data after the record; PCM ignores it
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18, "WAVEFORMATEX is 18 bytes, without padding");
static_assert(offsetof(WAVEFORMATEX, samples_per_sec) == 4 && offsetof(WAVEFORMATEX, block_align) == 12 &&
                  offsetof(WAVEFORMATEX, extra_size) == 16,
              "WAVEFORMATEX field offsets");

enum : uint16_t { WAVE_FORMAT_PCM = 1 };

// Description of a secondary buffer for CreateSoundBuffer.
struct DSBUFFERDESC {
    DWORD size;               // sizeof(DSBUFFERDESC)
    DWORD flags;              // DSBCAPS_*
    DWORD buffer_bytes;
    DWORD reserved;
    WAVEFORMATEX* format;
    GUID algorithm_3d;        // all zero: the default
};
GAUGE_ASSERT_OFFSET(DSBUFFERDESC, buffer_bytes, 8);
GAUGE_ASSERT_OFFSET(DSBUFFERDESC, format, 16);
GAUGE_ASSERT_OFFSET(DSBUFFERDESC, algorithm_3d, 20);
GAUGE_ASSERT_SIZE(DSBUFFERDESC, 36);

enum : DWORD {
    DSBCAPS_PRIMARYBUFFER = 0x1,
    DSBCAPS_CTRLFREQUENCY = 0x20,
    DSBCAPS_CTRLPAN = 0x40,
    DSBCAPS_CTRLVOLUME = 0x80,
    DSBCAPS_GLOBALFOCUS = 0x8000,
};
enum : DWORD { DSSCL_NORMAL = 1, DSSCL_PRIORITY = 2, DSSCL_EXCLUSIVE = 3, DSSCL_WRITEPRIMARY = 4 };
enum : DWORD { DSBLOCK_FROMWRITECURSOR = 0x1, DSBLOCK_ENTIREBUFFER = 0x2 };
enum : DWORD { DSBPLAY_LOOPING = 0x1 };
constexpr HRESULT DS_OK = 0;

struct IDirectSound;
struct IDirectSoundBuffer;

// The COM interfaces as their method tables, in the platform's slot order. Slots the modules
// never call are kept as untyped entries so that the ones they call sit where they must.
struct IDirectSoundVtbl {
    void* QueryInterface;
    void* AddRef;
    ULONG(WIN32_API* Release)(IDirectSound* self);
    HRESULT(WIN32_API* CreateSoundBuffer)(IDirectSound* self, const DSBUFFERDESC* description,
                                          IDirectSoundBuffer** buffer, void* outer);
    void* GetCaps;
    void* DuplicateSoundBuffer;
    HRESULT(WIN32_API* SetCooperativeLevel)(IDirectSound* self, HWND window, DWORD level);
    void* Compact;
    void* GetSpeakerConfig;
    void* SetSpeakerConfig;
    void* Initialize;
};
GAUGE_ASSERT_OFFSET(IDirectSoundVtbl, Release, 8);
GAUGE_ASSERT_OFFSET(IDirectSoundVtbl, CreateSoundBuffer, 12);
GAUGE_ASSERT_OFFSET(IDirectSoundVtbl, SetCooperativeLevel, 24);
GAUGE_ASSERT_SIZE(IDirectSoundVtbl, 44);

struct IDirectSound {
    const IDirectSoundVtbl* vtbl;
};

struct IDirectSoundBufferVtbl {
    void* QueryInterface;
    void* AddRef;
    ULONG(WIN32_API* Release)(IDirectSoundBuffer* self);
    void* GetCaps;
    void* GetCurrentPosition;
    void* GetFormat;
    void* GetVolume;
    void* GetPan;
    void* GetFrequency;
    void* GetStatus;
    void* Initialize;
    HRESULT(WIN32_API* Lock)(IDirectSoundBuffer* self, DWORD offset, DWORD bytes, void** first, DWORD* first_bytes,
                             void** second, DWORD* second_bytes, DWORD flags);
    HRESULT(WIN32_API* Play)(IDirectSoundBuffer* self, DWORD reserved, DWORD priority, DWORD flags);
    HRESULT(WIN32_API* SetCurrentPosition)(IDirectSoundBuffer* self, DWORD position);
    void* SetFormat;
    void* SetVolume;
    void* SetPan;
    void* SetFrequency;
    void* Stop;
    HRESULT(WIN32_API* Unlock)(IDirectSoundBuffer* self, void* first, DWORD first_bytes, void* second,
                               DWORD second_bytes);
    void* Restore;
};
GAUGE_ASSERT_OFFSET(IDirectSoundBufferVtbl, Release, 8);
GAUGE_ASSERT_OFFSET(IDirectSoundBufferVtbl, Lock, 44);
GAUGE_ASSERT_OFFSET(IDirectSoundBufferVtbl, Play, 48);
GAUGE_ASSERT_OFFSET(IDirectSoundBufferVtbl, SetCurrentPosition, 52);
GAUGE_ASSERT_OFFSET(IDirectSoundBufferVtbl, Unlock, 76);
GAUGE_ASSERT_SIZE(IDirectSoundBufferVtbl, 84);

struct IDirectSoundBuffer {
    const IDirectSoundBufferVtbl* vtbl;
};

extern "C" {
// Creates a device object for `device` (null: the default device); `outer` must be null.
WIN32_IMPORT HRESULT WIN32_API DirectSoundCreate(const GUID* device, IDirectSound** object, void* outer);
}
