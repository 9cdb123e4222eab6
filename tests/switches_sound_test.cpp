// The click sound of the switch panel across its 30 gauges: which gauges set it up, what
// each click plays, how one failure silences the whole panel while every switch keeps
// working, and that a clean tear-down leaves nothing behind.
#include <map>

#include "tests/sound_support.h"

namespace {

using testing_support::Held;
using testing_support::SoundTest;

constexpr const char* kModule = "M470_Switches";

struct RosterGauge {
    const char* name;
    bool clicks;         // owns a click sound slot
    int x, y;            // a point on one of its click areas (clicking gauges)
    uint32_t event;      // the key event that click fires; 0 for a module-only switch
};

// In roster order. Alt_Bat_1 and Alt_Bat_2 are clicked on their BAT part, whose event never
// depends on the alternator flags.
const std::vector<RosterGauge> kRoster = {
    {"Landing_Lights", true, 18, 28, 65751},
    {"Pitot_Heat", true, 18, 28, 65858},
    {"Nav_Lights", true, 18, 28, 66379},
    {"Strobe_Lights", true, 18, 28, 65560},
    {"Taxi_Lights", true, 18, 28, 66240},
    {"Beacon_Lights", true, 18, 28, 66239},
    {"Panel_Lights", true, 18, 28, 65750},
    {"Dummy_Switch1", true, 18, 28, 0},
    {"Dummy_Switch2", true, 18, 28, 0},
    {"Dummy_Switch3", true, 18, 28, 0},
    {"Stall_Heat", true, 18, 28, 0},
    {"Prop_Deice", true, 18, 28, 65571},
    {"Stby_Vac", true, 18, 28, 66290},
    {"Aux_Fuel_Pump", true, 47, 69, 66339},
    {"Alt_Bat_1", true, 40, 60, 66241},
    {"Alt_Bat_2", true, 60, 60, 66241},
    {"Magneto", false, 0, 0, 0},
    {"Prop_De_Ice_Amps", false, 0, 0, 0},
    {"Nav GPS Switch", false, 0, 0, 0},
    {"Amps_Oil_Pressure_Indicator", false, 0, 0, 0},
    {"Volt_Amp_Knob_1", false, 0, 0, 0},
    {"Volt_Amp_Knob_2", false, 0, 0, 0},
    {"Suction Annunciator", false, 0, 0, 0},
    {"Voltage Annunciator", false, 0, 0, 0},
    {"Alternator1 Annunciator", false, 0, 0, 0},
    {"Alternator2 Annunciator", false, 0, 0, 0},
    {"Cabine Altitude Annunciator", false, 0, 0, 0},
    {"De-Ice Press Annunciator", false, 0, 0, 0},
    {"De-Ice Press", false, 0, 0, 0},
    {"Avionics Switch", true, 33, 36, 66293},
};

class SwitchPanelSound : public SoundTest {
protected:
    // Places every gauge of the roster; a clicking gauge's buffer is the one made while it
    // was placed.
    void place_all() {
        for (const RosterGauge& r : kRoster) {
            const size_t before = platform::buffers().size();
            panel::Gauge& g = place(kModule, r.name);
            gauges[r.name] = &g;
            if (platform::buffers().size() > before) buffer_of[r.name] = platform::buffers().back().serial;
        }
    }
    size_t plays_of(const std::string& gauge) const {
        auto it = buffer_of.find(gauge);
        if (it == buffer_of.end()) return 0;
        for (const platform::BufferRecord& b : platform::buffers())
            if (b.serial == it->second) return b.plays.size();
        return 0;
    }
    void unload() { host.unload(load_once(kModule)); }

    std::map<std::string, panel::Gauge*> gauges;
    std::map<std::string, int> buffer_of;
};

TEST_F(SwitchPanelSound, ShipsTheClickSample) {
    testing_support::expect_click_sample(testing_support::wave_resource(load_once(kModule), 500));
}

TEST_F(SwitchPanelSound, OnlyTheSeventeenClickingGaugesSetUpSound) {
    const std::vector<uint8_t> sample =
        testing_support::expect_click_sample(testing_support::wave_resource(load_once(kModule), 500));
    for (const RosterGauge& r : kRoster) {
        SCOPED_TRACE(r.name);
        platform::clear_calls();
        const size_t buffers_before = platform::buffers().size();
        place(kModule, r.name);
        if (!r.clicks) {
            EXPECT_TRUE(platform::calls().empty()) << "first call: " << platform::calls().front().function;
            continue;
        }
        ASSERT_EQ(platform::calls_of("DirectSoundCreate").size(), 1u);
        ASSERT_EQ(platform::buffers().size(), buffers_before + 1);
        const platform::BufferRecord b = platform::buffers().back();
        EXPECT_EQ(b.description.buffer_bytes, 3828u);
        EXPECT_EQ(b.description.flags, 0x80E0u);
        EXPECT_EQ(b.data, sample);
        EXPECT_EQ(b.positions, std::vector<DWORD>{0});
        EXPECT_EQ(platform::devices().back().window, fs98_window);
        EXPECT_EQ(platform::devices().back().level, DSSCL_NORMAL);
    }
    EXPECT_EQ(testing_support::held(), (Held{17, 17, 0, 0, 0})) << testing_support::describe_live();
}

TEST_F(SwitchPanelSound, EachClickPlaysOnlyItsOwnGaugesBufferOnce) {
    place_all();
    size_t total = 0;
    for (const RosterGauge& r : kRoster) {
        if (!r.clicks) continue;
        SCOPED_TRACE(r.name);
        host.click(*gauges[r.name], r.x, r.y);
        ++total;
        EXPECT_EQ(plays_of(r.name), 1u);
        EXPECT_EQ(total_plays(), total);
    }
    for (const platform::BufferRecord& b : platform::buffers())
        for (const platform::PlayRecord& p : b.plays) EXPECT_EQ(p.flags, 0u);
}

// Every click area of the other 13 gauges, their frames and services: not one platform call.
TEST_F(SwitchPanelSound, OtherGaugesNeverTouchSound) {
    for (const RosterGauge& r : kRoster) {
        if (r.clicks) continue;
        SCOPED_TRACE(r.name);
        platform::clear_calls();
        panel::Gauge& g = place(kModule, r.name);
        // Boxes are relative to the innermost open parent.
        std::vector<PIXPOINT> origin = {{0, 0}};
        for (const MOUSERECT* m = g.mouse_list(); m->kind != MOUSE_END_OF_LIST; ++m) {
            if (m->kind == MOUSE_PARENT_BEGIN) origin.push_back({origin.back().x + m->box.x, origin.back().y + m->box.y});
            else if (m->kind == MOUSE_PARENT_END) origin.pop_back();
            else if (m->kind == MOUSE_CHILD && (m->mouse_flags & MOUSE_LEFT_SINGLE) != 0)
                EXPECT_TRUE(host.click(g, origin.back().x + m->box.x + m->box.width / 2,
                                       origin.back().y + m->box.y + m->box.height / 2)
                                .handled);
        }
        host.frame(20);
        host.service(g, SERVICE_RESYNC);
        host.kill(g);
        EXPECT_TRUE(platform::calls().empty()) << "first call: " << platform::calls().front().function;
    }
}

TEST_F(SwitchPanelSound, CleanTearDownReleasesEveryBufferBeforeItsDeviceAndLeavesNothing) {
    place_all();
    for (const RosterGauge& r : kRoster)
        if (r.clicks) host.click(*gauges[r.name], r.x, r.y);
    platform::clear_calls();
    unload();

    std::map<int, int> device_of_buffer;
    for (const platform::BufferRecord& b : platform::buffers()) device_of_buffer[b.serial] = b.device;
    std::map<int, size_t> released_at;
    const auto log = platform::calls();
    for (size_t i = 0; i < log.size(); ++i) released_at[log[i].object] = i;
    for (const auto& [buffer, device] : device_of_buffer) {
        ASSERT_TRUE(released_at.count(buffer) && released_at.count(device));
        EXPECT_LT(released_at[buffer], released_at[device]);
    }
    EXPECT_EQ(platform::calls_of("IDirectSoundBuffer::Release").size(), 17u);
    EXPECT_EQ(platform::calls_of("IDirectSound::Release").size(), 17u);
    EXPECT_TRUE(platform::live_objects().empty()) << testing_support::describe_live();
    EXPECT_TRUE(platform::misuse().empty());
}

TEST_F(SwitchPanelSound, CombatSimulatorWindowForEveryGauge) {
    platform::set_executable_path("C:\\Program Files\\Microsoft Games\\CFS2\\CFS2.EXE");
    place_all();
    ASSERT_EQ(platform::devices().size(), 17u);
    for (const platform::DeviceRecord& d : platform::devices()) EXPECT_EQ(d.window, combat_window);
}

// --- one failure silences the panel ------------------------------------------------------------

struct PanelFailure {
    const char* what;
    const char* function;
    int nth;
    bool before_placing;   // armed before the gauges are placed, else before the clicks
    Held left;             // still held after the module is unloaded
};

void PrintTo(const PanelFailure& f, std::ostream* os) { *os << f.what; }

class SwitchPanelSoundFailure : public SwitchPanelSound, public ::testing::WithParamInterface<PanelFailure> {};

TEST_P(SwitchPanelSoundFailure, EverySwitchWorksSilently) {
    const PanelFailure& f = GetParam();
    if (f.before_placing) platform::fail_call(f.function, f.nth);
    place_all();
    if (!f.before_placing) platform::fail_call(f.function, f.nth);
    host.frame();
    for (const RosterGauge& r : kRoster) {
        if (!r.clicks) continue;
        SCOPED_TRACE(r.name);
        panel::Gauge& g = *gauges[r.name];
        const int shown_before = g.element(1).icon_index;
        host.clear_events();
        host.click(g, r.x, r.y);
        host.frame();
        if (r.event != 0) {
            EXPECT_EQ(event_ids(), std::vector<uint32_t>{r.event});
        } else {
            EXPECT_NE(g.element(1).icon_index, shown_before) << "a module-only switch still flips";
        }
    }
    ASSERT_TRUE(platform::failure_delivered());
    EXPECT_EQ(total_plays(), 0u);
    unload();
    EXPECT_EQ(testing_support::held(), f.left) << testing_support::describe_live();
    EXPECT_TRUE(platform::misuse().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Points, SwitchPanelSoundFailure,
    ::testing::Values(
        // The later gauges still create their devices; nobody loads a buffer.
        PanelFailure{"no sound device", "DirectSoundCreate", 1, true, {16, 0, 0, 0, 0}},
        // Taxi_Lights' buffer is refused; the four before it keep theirs, unreleased.
        PanelFailure{"fifth buffer refused", "IDirectSound::CreateSoundBuffer", 5, true, {17, 4, 0, 0, 0}},
        // Landing_Lights' play fails: its buffer goes, every other one stays.
        PanelFailure{"first play refused", "IDirectSoundBuffer::Play", 1, false, {17, 16, 0, 0, 0}}),
    [](const auto& info) { return "point" + std::to_string(info.index); });

}  // namespace
