// The click sound player, driven through the host emulator on the sound fixture module's
// gauges and observed through the platform stand-ins.
#include <algorithm>
#include <set>

#include "tests/sound_support.h"

namespace {

using testing_support::Held;
using testing_support::SoundTest;

constexpr const char* kFixture = "sound_fixture";
constexpr uint32_t kClickA = 9101;
constexpr uint32_t kClickB = 9102;
constexpr uint32_t kCreateResult = 9201;
constexpr uint32_t kLoadResult = 9202;
constexpr uint32_t kPlayResult = 9203;
constexpr uint32_t kEnabledReport = 9204;

class ClickSound : public SoundTest {
protected:
    panel::Gauge& gauge(const std::string& name) { return place(kFixture, name); }
    void click(panel::Gauge& g) { host.click(g, 50, 40); }
    std::vector<uint8_t> click_data() {
        return testing_support::expect_click_sample(testing_support::wave_resource(load_once(kFixture), 500));
    }
    // Unloads the fixture: every gauge still placed gets service 12 first.
    void unload() { host.unload(load_once(kFixture)); }
};

TEST_F(ClickSound, SetUpMakesOneDeviceAndOneFilledBufferPerGauge) {
    gauge("Clicker_A");
    gauge("Clicker_B");

    const auto devices = platform::devices();
    ASSERT_EQ(devices.size(), 2u);
    for (const platform::DeviceRecord& d : devices) {
        EXPECT_TRUE(d.default_device);
        EXPECT_TRUE(d.cooperative);
        EXPECT_EQ(d.level, DSSCL_NORMAL);
        EXPECT_EQ(d.window, fs98_window);
    }
    const auto buffers = platform::buffers();
    ASSERT_EQ(buffers.size(), 2u);
    const std::vector<uint8_t> sample = click_data();
    for (size_t i = 0; i < buffers.size(); ++i) {
        const platform::BufferRecord& b = buffers[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(b.device, devices[i].serial);
        EXPECT_EQ(b.description.flags, 0x80E0u);
        EXPECT_EQ(b.description.buffer_bytes, 3828u);
        EXPECT_EQ(b.format.format_tag, WAVE_FORMAT_PCM);
        EXPECT_EQ(b.format.channels, 1);
        EXPECT_EQ(b.format.samples_per_sec, 22050u);
        EXPECT_EQ(b.format.avg_bytes_per_sec, 44100u);
        EXPECT_EQ(b.format.block_align, 2);
        EXPECT_EQ(b.format.bits_per_sample, 16);
        EXPECT_EQ(b.data, sample);
        ASSERT_EQ(b.locks.size(), 1u);
        EXPECT_EQ(b.locks[0].offset, 0u);
        EXPECT_EQ(b.locks[0].bytes, 3828u);
        EXPECT_EQ(b.unlocks, 1);
        EXPECT_EQ(b.positions, std::vector<DWORD>{0});
        EXPECT_TRUE(b.plays.empty());
    }
    // The sample was read from the resource bytes through a memory file.
    for (const platform::MemoryFileRecord& f : platform::memory_files()) {
        EXPECT_EQ(f.io_proc_id, FOURCC_MEM);
        EXPECT_EQ(f.open_flags, 0x10002u);
        EXPECT_EQ(f.buffer_size, 3872);
        EXPECT_TRUE(f.other_fields_zero);
    }
    // Only the gauges' devices and buffers are held: file, temporary memory and resource went.
    EXPECT_EQ(testing_support::held(), (Held{2, 2, 0, 0, 0})) << testing_support::describe_live();
    EXPECT_TRUE(platform::misuse().empty());
}

TEST_F(ClickSound, EachClickFiresItsEventThenPlaysItsOwnBufferOnce) {
    panel::Gauge& a = gauge("Clicker_A");
    panel::Gauge& b = gauge("Clicker_B");
    click(a);
    click(a);
    click(b);

    EXPECT_EQ(event_ids(), (std::vector<uint32_t>{kClickA, kClickA, kClickB}));
    EXPECT_EQ(plays_per_buffer(), (std::vector<size_t>{2, 1}));
    for (const platform::BufferRecord& buffer : platform::buffers()) {
        for (const platform::PlayRecord& p : buffer.plays) {
            EXPECT_EQ(p.reserved, 0u);
            EXPECT_EQ(p.priority, 0u);
            EXPECT_EQ(p.flags, 0u);  // once, not looping
        }
        EXPECT_EQ(buffer.positions, std::vector<DWORD>{0}) << "a click never moves the play position";
    }
}

TEST_F(ClickSound, TearDownReleasesTheBufferThenTheDeviceAndLaterClicksPlayNothing) {
    panel::Gauge& a = gauge("Clicker_A");
    gauge("Clicker_B");
    const int buffer_a = platform::buffers()[0].serial;
    const int device_a = platform::devices()[0].serial;
    platform::clear_calls();

    host.service(a, SERVICE_END);
    const auto released = platform::calls();
    ASSERT_EQ(released.size(), 2u);
    EXPECT_EQ(released[0].function, "IDirectSoundBuffer::Release");
    EXPECT_EQ(released[0].object, buffer_a);
    EXPECT_EQ(released[1].function, "IDirectSound::Release");
    EXPECT_EQ(released[1].object, device_a);
    EXPECT_EQ(testing_support::held(), (Held{1, 1, 0, 0, 0}));

    // The slot is empty: the switch still fires its event, and nothing reaches the platform.
    platform::clear_calls();
    click(a);
    EXPECT_EQ(event_ids(), std::vector<uint32_t>{kClickA});
    EXPECT_TRUE(platform::calls().empty());
    host.kill(a);
    EXPECT_TRUE(platform::calls().empty()) << "a second tear-down has nothing left to release";
    EXPECT_TRUE(platform::misuse().empty());
}

TEST_F(ClickSound, NothingIsLeftAfterACleanSetUpAndTearDown) {
    panel::Gauge& a = gauge("Clicker_A");
    panel::Gauge& b = gauge("Clicker_B");
    gauge("Results");
    click(a);
    click(b);
    unload();
    EXPECT_TRUE(platform::live_objects().empty()) << testing_support::describe_live();
    EXPECT_TRUE(platform::misuse().empty());
    EXPECT_EQ(platform::calls_of("IDirectSoundBuffer::Release").size(), 3u);
    EXPECT_EQ(platform::calls_of("IDirectSound::Release").size(), 3u);
}

TEST_F(ClickSound, OperationsReportTheirResults) {
    panel::Gauge& results = gauge("Results");
    EXPECT_EQ(event_values(kCreateResult), std::vector<uint32_t>{1});
    EXPECT_EQ(event_values(kLoadResult), std::vector<uint32_t>{3828});
    click(results);
    host.service(results, SERVICE_RESYNC);
    EXPECT_EQ(event_values(kPlayResult), std::vector<uint32_t>{1});
    EXPECT_EQ(event_values(kEnabledReport), std::vector<uint32_t>{1});

    // A refused play turns sound off: that click and every later one report 0, and the later
    // ones never reach the platform.
    host.clear_events();
    platform::fail_call("IDirectSoundBuffer::Play");
    click(results);
    click(results);
    host.service(results, SERVICE_RESYNC);
    EXPECT_EQ(event_values(kPlayResult), (std::vector<uint32_t>{0, 0}));
    EXPECT_EQ(event_values(kEnabledReport), std::vector<uint32_t>{0});
    EXPECT_EQ(platform::calls_of("IDirectSoundBuffer::Play").size(), 2u);

    // Sound stays off: a new set-up still creates a device, but the load touches nothing.
    host.clear_events();
    platform::clear_calls();
    host.service(results, SERVICE_SETUP, reinterpret_cast<GAUGE_EXTRA_DATA>(load_once(kFixture).handle()));
    EXPECT_EQ(event_values(kCreateResult), std::vector<uint32_t>{1});
    EXPECT_EQ(event_values(kLoadResult), std::vector<uint32_t>{0});
    EXPECT_EQ(platform::calls_of("DirectSoundCreate").size(), 1u);
    EXPECT_TRUE(platform::calls_of("FindResourceA").empty());
}

// --- failures ------------------------------------------------------------------------------

// When the failure strikes: during the first gauge's set-up, the second gauge's set-up (the
// first one succeeded), or the first click.
enum class Stage { first_setup, second_setup, first_click };

struct FailurePoint {
    const char* function;
    int nth;
    Stage stage;
    bool silences;   // sound goes off for good
    Held left;       // what is still held after the module is unloaded
};

void PrintTo(const FailurePoint& f, std::ostream* os) { *os << f.function << " #" << f.nth; }

// A failed load holds nothing of its own; sound off, tear-down releases nothing, so each
// gauge's device (and a buffer made before the failure) stays.
constexpr Held kBothDevices{2, 0, 0, 0, 0};

const std::vector<FailurePoint> kFailurePoints = {
    // Results the set-up does not rely on.
    {"GetModuleFileNameA", 1, Stage::first_setup, false, {}},
    {"FindWindowA", 1, Stage::first_setup, false, {}},
    {"mmioClose", 1, Stage::first_setup, false, {0, 0, 1, 0, 0}},
    {"FreeResource", 1, Stage::first_setup, false, {0, 0, 0, 0, 1}},
    {"GlobalFree", 1, Stage::first_setup, false, {0, 0, 0, 1, 0}},
    // The device: the failing gauge ends up without one; the second gauge still makes its own.
    {"DirectSoundCreate", 1, Stage::first_setup, true, {1, 0, 0, 0, 0}},
    {"IDirectSound::SetCooperativeLevel", 1, Stage::first_setup, true, {1, 0, 0, 0, 0}},
    // The load.
    {"FindResourceA", 1, Stage::first_setup, true, kBothDevices},
    {"LoadResource", 1, Stage::first_setup, true, kBothDevices},
    {"LockResource", 1, Stage::first_setup, true, kBothDevices},
    {"SizeofResource", 1, Stage::first_setup, true, kBothDevices},
    {"mmioOpenA", 1, Stage::first_setup, true, kBothDevices},
    {"mmioDescend", 1, Stage::first_setup, true, kBothDevices},  // the RIFF form
    {"mmioDescend", 2, Stage::first_setup, true, kBothDevices},  // "fmt "
    {"mmioDescend", 3, Stage::first_setup, true, kBothDevices},  // "data"
    {"mmioRead", 1, Stage::first_setup, true, kBothDevices},     // the format
    {"mmioRead", 2, Stage::first_setup, true, kBothDevices},     // the sample
    {"mmioAscend", 1, Stage::first_setup, true, kBothDevices},
    {"GlobalAlloc", 1, Stage::first_setup, true, kBothDevices},
    {"GlobalLock", 1, Stage::first_setup, true, kBothDevices},
    {"IDirectSound::CreateSoundBuffer", 1, Stage::first_setup, true, kBothDevices},
    {"IDirectSoundBuffer::Lock", 1, Stage::first_setup, true, kBothDevices},
    {"IDirectSoundBuffer::Unlock", 1, Stage::first_setup, true, kBothDevices},
    {"IDirectSoundBuffer::SetCurrentPosition", 1, Stage::first_setup, true, kBothDevices},
    // The first gauge's sound was ready; it goes quiet with the second gauge's failure.
    {"IDirectSound::CreateSoundBuffer", 1, Stage::second_setup, true, {2, 1, 0, 0, 0}},
    {"mmioRead", 2, Stage::second_setup, true, {2, 1, 0, 0, 0}},
    // A refused play: that buffer goes, the other gauge's stays.
    {"IDirectSoundBuffer::Play", 1, Stage::first_click, true, {2, 1, 0, 0, 0}},
};

class ClickSoundFailure : public ClickSound, public ::testing::WithParamInterface<FailurePoint> {};

TEST_P(ClickSoundFailure, SwitchesKeepWorkingAndSoundStaysOffForGood) {
    const FailurePoint& f = GetParam();
    if (f.stage == Stage::first_setup) platform::fail_call(f.function, f.nth);
    panel::Gauge& a = gauge("Clicker_A");
    if (f.stage == Stage::second_setup) platform::fail_call(f.function, f.nth);
    panel::Gauge& b = gauge("Clicker_B");
    if (f.stage == Stage::first_click) platform::fail_call(f.function, f.nth);
    click(a);
    click(b);
    click(a);

    ASSERT_TRUE(platform::failure_delivered()) << "the failure point was never reached";
    EXPECT_EQ(event_ids(), (std::vector<uint32_t>{kClickA, kClickB, kClickA}));
    EXPECT_EQ(total_plays(), f.silences ? 0u : 3u);
    // Once off, no gauge asks for a buffer or a play again.
    if (f.silences) EXPECT_LE(platform::calls_of("IDirectSoundBuffer::Play").size(), 1u);

    unload();
    EXPECT_EQ(testing_support::held(), f.left) << testing_support::describe_live();
    EXPECT_TRUE(platform::misuse().empty()) << platform::misuse().front();
}

INSTANTIATE_TEST_SUITE_P(EveryPoint, ClickSoundFailure, ::testing::ValuesIn(kFailurePoints),
                         [](const auto& info) { return "point" + std::to_string(info.index); });

// Every platform call a clicking gauge makes that can fail has its row above.
TEST_F(ClickSound, EveryFailingCallOfAClickingGaugeIsCovered) {
    panel::Gauge& a = gauge("Clicker_A");
    click(a);
    host.kill(a);
    const auto& failable = platform::failable_functions();
    std::set<std::string> covered;
    for (const FailurePoint& f : kFailurePoints) covered.insert(f.function);
    for (const platform::Call& c : platform::calls()) {
        if (std::find(failable.begin(), failable.end(), c.function) == failable.end()) continue;
        EXPECT_EQ(covered.count(c.function), 1u) << c.function << " can fail but has no failure row";
    }
}

// With no host main window the null window goes to the cooperative level; the stand-in
// accepts it, as a permissive platform would.
TEST_F(ClickSound, MissingHostWindowIsPassedOnAsNull) {
    platform::reset();
    panel::Gauge& a = gauge("Clicker_A");
    ASSERT_EQ(platform::devices().size(), 1u);
    EXPECT_EQ(platform::devices()[0].window, nullptr);
    click(a);
    EXPECT_EQ(total_plays(), 1u);
}

// --- the host window, by the executable's name ------------------------------------------------

struct NameCase {
    const char* path;
    bool combat;   // looked up by class "MSCFSMAIN"
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.path; }

class HostWindowByName : public ClickSound, public ::testing::WithParamInterface<NameCase> {};

TEST_P(HostWindowByName, ClassFollowsTheFileName) {
    platform::set_executable_path(GetParam().path);
    gauge("Clicker_A");
    const auto lookups = platform::calls_of("FindWindowA");
    ASSERT_EQ(lookups.size(), 1u);
    EXPECT_EQ(lookups[0].text, GetParam().combat ? "MSCFSMAIN" : "FS98MAIN");
    ASSERT_EQ(platform::devices().size(), 1u);
    EXPECT_EQ(platform::devices()[0].window, GetParam().combat ? combat_window : fs98_window);
}

INSTANTIATE_TEST_SUITE_P(
    Names, HostWindowByName,
    ::testing::Values(NameCase{"D:\\FS98\\FLTSIM98.EXE", false},
                      NameCase{"C:\\Games\\CFS2\\CFS2.EXE", true},            // first character "C"
                      NameCase{"E:\\sim\\abc2.exe", true},                    // fourth character "2"
                      NameCase{"E:\\sim\\cfs2.exe", true},                    // fourth, whatever the first
                      NameCase{"C:\\Program Files\\FS2000\\FS2000.EXE", false},  // "2" third only
                      NameCase{"E:\\sim\\x2.exe", false},                     // "2" second only
                      NameCase{"E:\\sim\\cfs1.exe", false},                   // "c" is not "C"
                      NameCase{"E:\\Combat\\sim.exe", false},                 // only the name counts
                      NameCase{"E:\\sim\\ab2", false},                        // too short for a fourth
                      NameCase{"abc2", true},
                      NameCase{"", false}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// A path longer than the 260-byte buffer comes back cut and unterminated: the name is split
// from the first 259 characters, never from whatever lies behind the buffer.
TEST_F(ClickSound, TruncatedExecutablePathIsTerminatedBeforeSplitting) {
    const std::string path = "D:\\Combat" + std::string(300, 'a') + "\\x.exe";
    platform::set_executable_path(path);
    panel::Gauge& a = gauge("Clicker_A");
    const auto splits = platform::calls_of("_splitpath");
    ASSERT_EQ(splits.size(), 1u);
    EXPECT_EQ(splits[0].text, path.substr(0, 259));
    EXPECT_EQ(platform::calls_of("FindWindowA").at(0).text, "MSCFSMAIN");
    click(a);
    EXPECT_EQ(total_plays(), 1u);
}

// --- sample files -------------------------------------------------------------------------------

struct SampleCase {
    const char* gauge;
    const char* what;
    std::vector<uint8_t> loads;  // the buffer's bytes, or empty when the load must fail
};

void PrintTo(const SampleCase& c, std::ostream* os) { *os << c.what; }

class SampleFiles : public ClickSound, public ::testing::WithParamInterface<SampleCase> {};

TEST_P(SampleFiles, LoadOnlyAWellFormedSample) {
    const SampleCase& c = GetParam();
    panel::Gauge& odd = gauge(c.gauge);
    panel::Gauge& a = gauge("Clicker_A");
    click(odd);
    click(a);
    if (!c.loads.empty()) {
        ASSERT_EQ(platform::buffers().size(), 2u);
        EXPECT_EQ(platform::buffers()[0].data, c.loads);
        EXPECT_EQ(plays_per_buffer(), (std::vector<size_t>{1, 1}));
    } else {
        // No buffer was ever made, so nothing could play from memory the file never filled;
        // the later gauge's load does nothing at all.
        EXPECT_TRUE(platform::buffers().empty());
        EXPECT_EQ(platform::calls_of("FindResourceA").size(), 1u);
    }
    unload();
    const Held left = c.loads.empty() ? Held{2, 0, 0, 0, 0} : Held{};
    EXPECT_EQ(testing_support::held(), left) << testing_support::describe_live();
    EXPECT_TRUE(platform::misuse().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, SampleFiles,
    ::testing::Values(SampleCase{"Sample_504", "chunks between format and data are skipped", {2, 1, 4, 3}},
                      SampleCase{"Sample_501", "data before the format", {}},
                      SampleCase{"Sample_502", "data claims more bytes than the file holds", {}},
                      SampleCase{"Sample_503", "a RIFF form other than WAVE", {}},
                      SampleCase{"Sample_599", "no such resource", {}}),
    [](const auto& info) { return std::string(info.param.gauge); });

// The short read of a "data" chunk longer than its file is what stops the load: the block
// was allocated and read into, then given back.
TEST_F(ClickSound, ShortSampleReadIsAFailure) {
    gauge("Sample_502");
    const auto reads = platform::calls_of("mmioRead");
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[1].text, "3828");
    EXPECT_EQ(platform::calls_of("GlobalFree").size(), 1u);
    EXPECT_TRUE(platform::calls_of("IDirectSound::CreateSoundBuffer").empty());
}

}  // namespace
