// Loading and unloading the whole panel again and again, the way a simulator does whenever
// an aircraft is chosen: every module of the build folder, every gauge of its Linkage, frames
// and clicks with the click sound on, kill and unload. Nothing may stay behind (no platform
// object, no heap block), and each new load must start from the module's static initial
// values, whatever the previous load did to them.
#include <malloc.h>

#include <algorithm>
#include <map>

#include "platform/control.h"
#include "tests/support.h"
#include "tools/soak/module_image.h"
#include "tools/soak/roster.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
// The sanitizer runtime's count of the heap in use.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

using testing_support::module_path;

constexpr int kCycles = 1000;
// Cycles after which the heap has settled: the loader and the C++ runtime keep a little of
// what the first loads took, and now and then a few hundred bytes more.
constexpr int kWarmUpCycles = 100;
// A heap block is 16 bytes at least: a leak of one block in every other cycle after the
// warm-up grows the heap by more than this.
constexpr size_t kHeapGrowthAllowed = (kCycles - kWarmUpCycles) * 8;

// The heap in use, in bytes (not counting what the allocator keeps cached).
size_t heap_in_use() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

std::string live_objects_text() {
    std::string out;
    for (const platform::LiveObject& o : platform::live_objects()) out += "\n  " + o.what;
    return out;
}

// A sound-capable platform: the default executable name looks for the "FS98MAIN" window.
void prepare_platform() {
    platform::reset();
    platform::add_window("FS98MAIN");
}

class LoadUnloadCycles : public ::testing::Test {
protected:
    void SetUp() override {
        prepare_platform();
        modules = soak::deliverable_modules(GAUGE_MODULE_DIR);
        ASSERT_FALSE(modules.empty());
    }
    void TearDown() override { platform::reset(); }

    std::vector<std::string> modules;
};

// One cycle: every module loaded, each checked against its first load, every gauge placed,
// frames, a press on every click area, a frame, every gauge killed, everything unloaded.
// Returns what the cycle learnt; `initial` holds each module's writable data at first load.
struct CycleResult {
    int clicks = 0;
    int plays = 0;                 // play requests the click sound made
    bool sound_stayed_on = true;   // every module with a sound flag still had it at 1
};

CycleResult run_cycle(const std::vector<std::string>& modules, std::map<std::string, std::vector<uint8_t>>& initial,
                      bool first) {
    CycleResult result;
    panel::Host host;
    host.set_op_logging(false);
    std::vector<std::pair<std::string, std::unique_ptr<soak::ModuleImage>>> loaded;
    for (const std::string& d : modules) {
        panel::Module& m = host.load(module_path(d));
        auto image = std::make_unique<soak::ModuleImage>(m.handle());
        std::vector<uint8_t> data = image->writable_data();
        if (first) {
            initial[d] = std::move(data);
        } else {
            const std::string difference = image->first_difference(initial[d], data);
            EXPECT_EQ(difference, "") << d << " did not start from its static initial values";
        }
        for (GAUGEHDR* h : m.gauges()) host.place(m, h->gauge_name);
        loaded.emplace_back(d, std::move(image));
    }
    host.frame(2);
    for (const auto& g : host.gauges()) {
        for (const MOUSE_BOX& a : soak::click_areas(*g)) {
            host.click(*g, a.x + a.width / 2, a.y + a.height / 2);
            ++result.clicks;
        }
    }
    host.frame();
    for (const platform::BufferRecord& b : platform::buffers()) result.plays += static_cast<int>(b.plays.size());
    for (auto& [name, image] : loaded) {
        // The comparison at load has teeth only if using a module leaves its mark.
        if (first) EXPECT_NE(image->first_difference(initial[name], image->writable_data()), "") << name;
        for (const soak::ModuleVariable* v : image->named("sound_enabled"))
            if (*reinterpret_cast<const int32_t*>(v->address) != 1) result.sound_stayed_on = false;
    }
    for (const auto& g : host.gauges()) host.kill(*g);
    return result;
}

TEST_F(LoadUnloadCycles, EveryLoadStartsAfreshAndLeavesNothingBehind) {
    std::map<std::string, std::vector<uint8_t>> initial;
    size_t heap_after_warm_up = 0, heap_after_last = 0;
    int total_plays = 0;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        const CycleResult r = run_cycle(modules, initial, cycle == 0);
        ASSERT_FALSE(HasFailure());
        ASSERT_GT(r.clicks, 0);
        EXPECT_TRUE(r.sound_stayed_on) << "the click sound went off with nothing failing";
        total_plays += r.plays;
        // The host has unloaded every module: each object the click sound took is given back.
        ASSERT_TRUE(platform::live_objects().empty()) << live_objects_text();
        ASSERT_TRUE(platform::misuse().empty()) << platform::misuse().front();
        prepare_platform();
        if (cycle == kWarmUpCycles - 1) heap_after_warm_up = heap_in_use();
        if (cycle == kCycles - 1) heap_after_last = heap_in_use();
    }
    // With the switch panel present its clicks must have sounded, or "sound on" proved nothing.
    const bool has_switches = std::find(modules.begin(), modules.end(), "M470_Switches") != modules.end();
    if (has_switches) EXPECT_GT(total_plays, 0);
    // The same work a thousand times over ends with the heap about where it stood after the
    // warm-up: whatever a cycle takes, it gives back.
    EXPECT_LT(heap_after_last, heap_after_warm_up + kHeapGrowthAllowed)
        << "heap grew by " << heap_after_last - heap_after_warm_up << " bytes in " << kCycles - kWarmUpCycles << " cycles";
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0) << "LeakSanitizer found leaks (reported above)";
#endif
}

// A panel may show one gauge twice (two windows), and its set-up then comes twice for the
// same header and the same click sound slot. The second set-up must give back what the
// first took, and the gauge must still click.
TEST_F(LoadUnloadCycles, AGaugeSetUpTwiceHoldsOneSound) {
    for (const std::string& d : modules) {
        panel::Host host;
        panel::Module& m = host.load(module_path(d));
        for (GAUGEHDR* h : m.gauges()) {
            SCOPED_TRACE(std::string(d) + " " + h->gauge_name);
            panel::Gauge& g = host.place(m, h->gauge_name);
            const size_t devices = platform::live_count(platform::Kind::device);
            const size_t buffers = platform::live_count(platform::Kind::buffer);
            host.service(g, SERVICE_SETUP, reinterpret_cast<GAUGE_EXTRA_DATA>(m.handle()));
            EXPECT_EQ(platform::live_count(platform::Kind::device), devices);
            EXPECT_EQ(platform::live_count(platform::Kind::buffer), buffers);
            int plays_before = 0, plays_after = 0;
            for (const platform::BufferRecord& b : platform::buffers()) plays_before += static_cast<int>(b.plays.size());
            for (const MOUSE_BOX& a : soak::click_areas(g)) host.click(g, a.x + a.width / 2, a.y + a.height / 2);
            for (const platform::BufferRecord& b : platform::buffers()) plays_after += static_cast<int>(b.plays.size());
            if (buffers > 0) EXPECT_GT(plays_after, plays_before) << "the gauge fell silent";
            host.kill(g);
        }
        host.unload(m);
        EXPECT_TRUE(platform::live_objects().empty()) << d << live_objects_text();
        EXPECT_TRUE(platform::misuse().empty()) << platform::misuse().front();
        prepare_platform();
    }
}

}  // namespace
