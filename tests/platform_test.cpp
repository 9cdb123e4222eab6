// The Windows stand-ins themselves: the sound tests trust them to behave like the platform
// (a real RIFF walker, movable memory, resources by module handle) and to tell on the caller
// (failures on demand, objects never released, misuse).
#include <stdexcept>

#include "tests/sound_support.h"

namespace {

using testing_support::Held;

class Platform : public ::testing::Test {
protected:
    void SetUp() override { platform::reset(); }
};

// --- RIFF files in memory -------------------------------------------------------------------

// Builds a file from chunks: id, then size and data (odd sizes padded with one zero byte).
struct RiffBuilder {
    std::vector<uint8_t> bytes;
    RiffBuilder& id(const char* four) {
        bytes.insert(bytes.end(), four, four + 4);
        return *this;
    }
    RiffBuilder& u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    RiffBuilder& chunk(const char* four, const std::vector<uint8_t>& data) {
        id(four).u32(static_cast<uint32_t>(data.size()));
        bytes.insert(bytes.end(), data.begin(), data.end());
        if (data.size() % 2) bytes.push_back(0);
        return *this;
    }
};

class MemoryFile : public Platform {
protected:
    // RIFF "WAVE" { "fmt " (3 bytes, padded), "data" (4 bytes) }, then a "data" chunk outside it.
    void SetUp() override {
        Platform::SetUp();
        file = RiffBuilder{}
                   .id("RIFF").u32(4 + 12 + 12).id("WAVE")
                   .chunk("fmt ", {1, 2, 3})
                   .chunk("data", {10, 11, 12, 13})
                   .chunk("data", {20, 21, 22, 23})
                   .bytes;
        MMIOINFO io{};
        io.io_proc_id = FOURCC_MEM;
        io.buffer = reinterpret_cast<char*>(file.data());
        io.buffer_size = static_cast<LONG>(file.size());
        handle = mmioOpenA(nullptr, &io, MMIO_READWRITE | MMIO_ALLOCBUF);
        ASSERT_NE(handle, nullptr);
    }
    MMCKINFO find_form(const char* form) {
        MMCKINFO riff{};
        riff.form_type = make_fourcc(form[0], form[1], form[2], form[3]);
        last_result = mmioDescend(handle, &riff, nullptr, MMIO_FINDRIFF);
        return riff;
    }
    MMCKINFO find_chunk(const char* id, const MMCKINFO* parent) {
        MMCKINFO chunk{};
        chunk.id = make_fourcc(id[0], id[1], id[2], id[3]);
        last_result = mmioDescend(handle, &chunk, parent, MMIO_FINDCHUNK);
        return chunk;
    }
    std::vector<uint8_t> read(LONG n) {
        std::vector<uint8_t> out(static_cast<size_t>(n));
        const LONG got = mmioRead(handle, reinterpret_cast<char*>(out.data()), n);
        out.resize(got < 0 ? 0 : static_cast<size_t>(got));
        return out;
    }

    std::vector<uint8_t> file;
    HMMIO handle = nullptr;
    MMRESULT last_result = 0;
};

TEST_F(MemoryFile, DescendsToTheFormThenToChunksInsideIt) {
    const MMCKINFO riff = find_form("WAVE");
    ASSERT_EQ(last_result, 0u);
    EXPECT_EQ(riff.id, FOURCC_RIFF);
    EXPECT_EQ(riff.size, 28u);
    EXPECT_EQ(riff.data_offset, 8u);

    // "data" lies behind the padded 3-byte "fmt " chunk.
    const MMCKINFO data = find_chunk("data", &riff);
    ASSERT_EQ(last_result, 0u);
    EXPECT_EQ(data.size, 4u);
    EXPECT_EQ(data.data_offset, 32u);
    EXPECT_EQ(read(4), (std::vector<uint8_t>{10, 11, 12, 13}));
}

TEST_F(MemoryFile, SearchInsideAParentStopsAtItsEnd) {
    const MMCKINFO riff = find_form("WAVE");
    find_chunk("data", &riff);
    ASSERT_EQ(last_result, 0u);
    MMCKINFO first_data{};
    first_data.size = 4;
    first_data.data_offset = 32;
    ASSERT_EQ(mmioAscend(handle, &first_data, 0), 0u);
    // The second "data" chunk follows the form: not inside it, but found in the whole file.
    find_chunk("data", &riff);
    EXPECT_EQ(last_result, static_cast<MMRESULT>(MMIOERR_CHUNKNOTFOUND));
}

TEST_F(MemoryFile, AscendingOutOfAnOddChunkSkipsItsPadByte) {
    const MMCKINFO riff = find_form("WAVE");
    MMCKINFO fmt = find_chunk("fmt ", &riff);
    ASSERT_EQ(last_result, 0u);
    EXPECT_EQ(read(2), (std::vector<uint8_t>{1, 2}));
    ASSERT_EQ(mmioAscend(handle, &fmt, 0), 0u);
    MMCKINFO next{};
    ASSERT_EQ(mmioDescend(handle, &next, &riff, 0), 0u);  // the chunk right here
    EXPECT_EQ(next.id, make_fourcc('d', 'a', 't', 'a'));
}

TEST_F(MemoryFile, WrongFormIsNotFound) {
    find_form("AVI ");
    EXPECT_EQ(last_result, static_cast<MMRESULT>(MMIOERR_CHUNKNOTFOUND));
}

TEST_F(MemoryFile, ReadsStopAtTheEndOfTheFile) {
    const MMCKINFO riff = find_form("WAVE");
    find_chunk("data", &riff);
    EXPECT_EQ(read(100).size(), 16u);  // its 4 bytes and the whole chunk behind it
    EXPECT_EQ(read(1).size(), 0u);
}

TEST_F(MemoryFile, StaysOpenUntilClosedAndIsDeadAfterwards) {
    EXPECT_EQ(testing_support::held(), (Held{0, 0, 1, 0, 0}));
    EXPECT_EQ(mmioClose(handle, 0), 0u);
    EXPECT_EQ(testing_support::held(), Held{});
    char byte;
    EXPECT_EQ(mmioRead(handle, &byte, 1), -1);
    EXPECT_EQ(platform::misuse().size(), 1u);
}

TEST_F(Platform, OnlyMemoryFilesOpen) {
    uint8_t bytes[4] = {};
    struct Case {
        const char* what;
        FOURCC procedure;
        char* buffer;
        LONG size;
    } cases[] = {
        {"a disk file", 0, reinterpret_cast<char*>(bytes), 4},
        {"no buffer", FOURCC_MEM, nullptr, 4},
        {"an empty buffer", FOURCC_MEM, reinterpret_cast<char*>(bytes), 0},
    };
    for (const Case& c : cases) {
        MMIOINFO io{};
        io.io_proc_id = c.procedure;
        io.buffer = c.buffer;
        io.buffer_size = c.size;
        EXPECT_EQ(mmioOpenA(const_cast<char*>("click.wav"), &io, 0), nullptr) << c.what;
        EXPECT_NE(io.error, 0u) << c.what;
    }
    EXPECT_EQ(testing_support::held(), Held{});
}

// --- memory, resources, process, windows ---------------------------------------------------------

TEST_F(Platform, MovableMemoryIsHeldUntilFreed) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 8);
    ASSERT_NE(block, nullptr);
    auto* bytes = static_cast<uint8_t*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr);
    EXPECT_NE(static_cast<void*>(bytes), static_cast<void*>(block)) << "a movable block's handle is not its memory";
    EXPECT_EQ(bytes[0], 0xCD) << "fresh memory is not zeroed unless asked";
    EXPECT_EQ(testing_support::held(), (Held{0, 0, 0, 1, 0}));
    EXPECT_EQ(GlobalUnlock(block), 0);
    EXPECT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(testing_support::held(), Held{});
    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_EQ(platform::misuse().size(), 1u);

    HGLOBAL zeroed = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4);
    EXPECT_EQ(static_cast<uint8_t*>(GlobalLock(zeroed))[3], 0);
}

TEST_F(Platform, ResourcesAreFoundThroughTheModuleHandle) {
    panel::Host host;
    panel::Module& module = host.load(testing_support::module_path("sound_fixture"));
    auto* handle = static_cast<HMODULE>(module.handle());

    HRSRC wave = FindResourceA(handle, integer_resource(500), "wave");  // type names ignore case
    ASSERT_NE(wave, nullptr);
    EXPECT_EQ(SizeofResource(handle, wave), 3872u);
    HGLOBAL loaded = LoadResource(handle, wave);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(bytes, bytes + 4), "RIFF");
    EXPECT_EQ(testing_support::held(), (Held{0, 0, 0, 0, 1}));
    FreeResource(loaded);
    EXPECT_EQ(testing_support::held(), Held{});

    EXPECT_NE(FindResourceA(handle, integer_resource(100), integer_resource(2)), nullptr);  // the bitmap
    EXPECT_EQ(FindResourceA(handle, integer_resource(100), "WAVE"), nullptr);
    EXPECT_EQ(FindResourceA(handle, integer_resource(500), integer_resource(2)), nullptr);
}

struct PathCase {
    size_t length;
    DWORD result;
    bool terminated;
};

TEST_F(Platform, ExecutablePathIsCutAtTheBufferWithoutATerminatorWhenTooLong) {
    for (const PathCase& c : {PathCase{259, 259, true}, PathCase{260, 260, false}, PathCase{300, 260, false}}) {
        const std::string path = "C:\\" + std::string(c.length - 3, 'a');
        platform::set_executable_path(path);
        char buffer[261];
        buffer[260] = '#';
        buffer[c.length < 260 ? c.length : 259] = '#';
        EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 260), c.result) << c.length;
        EXPECT_EQ(std::string(buffer, c.result), path.substr(0, c.result)) << c.length;
        EXPECT_EQ(buffer[c.result] == '\0', c.terminated) << c.length;
    }
}

TEST_F(Platform, SplitPathParts) {
    struct Case {
        const char* path;
        const char* drive;
        const char* dir;
        const char* name;
        const char* ext;
    } cases[] = {
        {"C:\\FS98\\FLTSIM98.EXE", "C:", "\\FS98\\", "FLTSIM98", ".EXE"},
        {"D:/v1.2/sim", "D:", "/v1.2/", "sim", ""},
        {"sim.tar.gz", "", "", "sim.tar", ".gz"},
        {"\\\\server\\share\\", "", "\\\\server\\share\\", "", ""},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        char drive[MAX_DRIVE_CHARS], dir[MAX_DIR_CHARS], name[MAX_FNAME_CHARS], ext[MAX_EXT_CHARS];
        _splitpath(c.path, drive, dir, name, ext);
        EXPECT_STREQ(drive, c.drive) << c.path;
        EXPECT_STREQ(dir, c.dir) << c.path;
        EXPECT_STREQ(name, c.name) << c.path;
        EXPECT_STREQ(ext, c.ext) << c.path;
    }
    // Parts longer than their buffers are cut to fit.
    char name[MAX_FNAME_CHARS];
    _splitpath((std::string(400, 'n') + ".exe").c_str(), nullptr, nullptr, name, nullptr);
    EXPECT_EQ(std::string(name), std::string(255, 'n'));
}

TEST_F(Platform, WindowsAreFoundByClassAndTitle) {
    HWND main = platform::add_window("FS98MAIN", "Flight Simulator");
    EXPECT_EQ(FindWindowA("fs98main", nullptr), main);
    EXPECT_EQ(FindWindowA("FS98MAIN", "Flight Simulator"), main);
    EXPECT_EQ(FindWindowA("FS98MAIN", "Other"), nullptr);
    EXPECT_EQ(FindWindowA("MSCFSMAIN", nullptr), nullptr);
}

// --- failures on demand ----------------------------------------------------------------------------

TEST_F(Platform, TheNthCallFailsAndOnlyThatOne) {
    platform::set_executable_path("C:\\x.exe");
    platform::fail_call("GetModuleFileNameA", 2);
    char path[260];
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, 260), 8u);
    EXPECT_FALSE(platform::failure_delivered());
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, 260), 0u);
    EXPECT_TRUE(platform::failure_delivered());
    EXPECT_EQ(GetModuleFileNameA(nullptr, path, 260), 8u);
    const auto log = platform::calls_of("GetModuleFileNameA");
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(std::vector<bool>({log[0].failed, log[1].failed, log[2].failed}),
              std::vector<bool>({false, true, false}));
}

TEST_F(Platform, ArmingAFailureReplacesThePreviousOne) {
    platform::fail_call("GlobalAlloc");
    platform::fail_call("FindWindowA");
    EXPECT_NE(GlobalAlloc(GMEM_MOVEABLE, 4), nullptr);
    EXPECT_FALSE(platform::failure_delivered());
    EXPECT_THROW(platform::fail_call("GlobalUnlock"), std::invalid_argument);
    EXPECT_THROW(platform::fail_call("Sleep"), std::invalid_argument);
}

// --- DirectSound ------------------------------------------------------------------------------------

class Sound : public Platform {
protected:
    void SetUp() override {
        Platform::SetUp();
        ASSERT_EQ(DirectSoundCreate(nullptr, &device, nullptr), DS_OK);
        format = {WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
        description = {sizeof(DSBUFFERDESC), 0x80E0, 16, 0, &format, {}};
    }
    HRESULT create(IDirectSoundBuffer** buffer) {
        return device->vtbl->CreateSoundBuffer(device, &description, buffer, nullptr);
    }
    IDirectSound* device = nullptr;
    WAVEFORMATEX format{};
    DSBUFFERDESC description{};
};

TEST_F(Sound, BuffersNeedTheCooperativeLevelFirst) {
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_NE(create(&buffer), DS_OK);
    EXPECT_EQ(buffer, nullptr);
    ASSERT_EQ(device->vtbl->SetCooperativeLevel(device, nullptr, DSSCL_NORMAL), DS_OK);
    EXPECT_EQ(create(&buffer), DS_OK);
    EXPECT_NE(buffer, nullptr);
}

TEST_F(Sound, RefusesDescriptionsOutOfRange) {
    ASSERT_EQ(device->vtbl->SetCooperativeLevel(device, nullptr, DSSCL_NORMAL), DS_OK);
    struct Case {
        const char* what;
        void (*spoil)(DSBUFFERDESC&, WAVEFORMATEX&);
    } cases[] = {
        {"wrong record size", [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.size = 20; }},
        {"primary buffer", [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.flags |= DSBCAPS_PRIMARYBUFFER; }},
        {"too small", [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.buffer_bytes = 3; }},
        {"no format", [](DSBUFFERDESC& d, WAVEFORMATEX&) { d.format = nullptr; }},
        {"not PCM", [](DSBUFFERDESC&, WAVEFORMATEX& f) { f.format_tag = 2; }},
        {"block alignment off", [](DSBUFFERDESC&, WAVEFORMATEX& f) { f.block_align = 4; }},
        {"byte rate off", [](DSBUFFERDESC&, WAVEFORMATEX& f) { f.avg_bytes_per_sec = 22050; }},
    };
    for (const Case& c : cases) {
        DSBUFFERDESC d = description;
        WAVEFORMATEX f = format;
        if (d.format != nullptr) d.format = &f;
        c.spoil(d, f);
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_NE(device->vtbl->CreateSoundBuffer(device, &d, &buffer, nullptr), DS_OK) << c.what;
        EXPECT_EQ(buffer, nullptr) << c.what;
    }
    EXPECT_EQ(platform::live_count(platform::Kind::buffer), 0u);
}

TEST_F(Sound, LockUnlockAndPlayAreRecorded) {
    ASSERT_EQ(device->vtbl->SetCooperativeLevel(device, nullptr, DSSCL_NORMAL), DS_OK);
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(create(&buffer), DS_OK);
    void* first = nullptr;
    void* second = nullptr;
    DWORD first_bytes = 0, second_bytes = 0;
    EXPECT_NE(buffer->vtbl->Lock(buffer, 16, 4, &first, &first_bytes, &second, &second_bytes, 0), DS_OK);
    ASSERT_EQ(buffer->vtbl->Lock(buffer, 0, 16, &first, &first_bytes, &second, &second_bytes, 0), DS_OK);
    EXPECT_EQ(first_bytes, 16u);
    EXPECT_EQ(second, nullptr);
    static_cast<uint8_t*>(first)[15] = 7;
    EXPECT_EQ(buffer->vtbl->Unlock(buffer, first, first_bytes, second, second_bytes), DS_OK);
    EXPECT_EQ(buffer->vtbl->SetCurrentPosition(buffer, 6), DS_OK);
    EXPECT_EQ(buffer->vtbl->Play(buffer, 0, 0, 0), DS_OK);
    EXPECT_NE(buffer->vtbl->Play(buffer, 1, 0, 0), DS_OK) << "the reserved argument must be 0";

    const platform::BufferRecord b = platform::buffers().at(0);
    EXPECT_EQ(b.data.at(15), 7);
    EXPECT_EQ(b.positions, std::vector<DWORD>{6});
    ASSERT_EQ(b.plays.size(), 2u);
    EXPECT_EQ(b.plays[0].position, 6u);
    EXPECT_TRUE(platform::misuse().empty());
}

TEST_F(Sound, UnlockMustMatchTheLock) {
    ASSERT_EQ(device->vtbl->SetCooperativeLevel(device, nullptr, DSSCL_NORMAL), DS_OK);
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(create(&buffer), DS_OK);
    uint8_t elsewhere[16];
    EXPECT_NE(buffer->vtbl->Unlock(buffer, elsewhere, 16, nullptr, 0), DS_OK);
    EXPECT_EQ(platform::misuse().size(), 1u);
}

TEST_F(Sound, ReleasingTheDeviceFirstTakesItsBuffersAndIsMisuse) {
    ASSERT_EQ(device->vtbl->SetCooperativeLevel(device, nullptr, DSSCL_NORMAL), DS_OK);
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(create(&buffer), DS_OK);
    EXPECT_EQ(testing_support::held(), (Held{1, 1, 0, 0, 0}));
    device->vtbl->Release(device);
    EXPECT_EQ(testing_support::held(), Held{});
    ASSERT_EQ(platform::misuse().size(), 1u);
    // The buffer is gone with its device: using it is caught, not a crash.
    EXPECT_NE(buffer->vtbl->Play(buffer, 0, 0, 0), DS_OK);
    EXPECT_EQ(platform::misuse().size(), 2u);
}

TEST_F(Sound, ObjectsAreHeldUntilReleased) {
    ASSERT_EQ(device->vtbl->SetCooperativeLevel(device, nullptr, DSSCL_NORMAL), DS_OK);
    IDirectSoundBuffer* buffer = nullptr;
    ASSERT_EQ(create(&buffer), DS_OK);
    buffer->vtbl->Release(buffer);
    EXPECT_EQ(testing_support::held(), (Held{1, 0, 0, 0, 0}));
    device->vtbl->Release(device);
    EXPECT_TRUE(platform::live_objects().empty());
    EXPECT_TRUE(platform::misuse().empty());
}

}  // namespace
