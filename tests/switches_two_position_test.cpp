// The two-position switches of the switch panel, clicked at their pixels through the host
// emulator: mirrored toggles, module-only toggles, the NAV/GPS source switch and the
// auxiliary fuel pump with its emergency half.
#include "tests/switches_support.h"

namespace {

using testing_support::Pixel;
using testing_support::SwitchPanelTest;

class TwoPosition : public SwitchPanelTest {};

// ---------------------------------------------------------------------------------------
// Toggles that mirror a simulator switch.

struct MirroredSwitch {
    const char* name;
    int32_t token;
    uint32_t event;
    int32_t help_id;
    MOUSE_BOX area;  // in gauge pixels
};

void PrintTo(const MirroredSwitch& s, std::ostream* os) { *os << s.name; }

constexpr MOUSE_BOX kWhole = {0, 0, 36, 56};

class MirroredToggle : public SwitchPanelTest, public ::testing::WithParamInterface<MirroredSwitch> {};

// Whatever the token says, one click fires the toggle once with value 0 and plays the
// gauge's own click once; the picture follows the simulator's switch.
TEST_P(MirroredToggle, ClickFiresItsToggleAndClicks) {
    const MirroredSwitch& s = GetParam();
    panel::Gauge& g = add(s.name);
    ASSERT_TRUE(has_click_buffer(g));
    const Pixel centre{s.area.x + s.area.width / 2, s.area.y + s.area.height / 2};
    size_t expected_clicks = 0;
    for (double before : {0.0, 1.0, 0.5}) {
        SCOPED_TRACE(before);
        host.set_token(s.token, before);
        EXPECT_EQ(shown(g), before == 1.0 ? 1 : 0);
        host.clear_events();
        host.click(g, centre.x, centre.y);
        EXPECT_EQ(host.events(), (std::vector<panel::Event>{{s.event, 0}}));
        EXPECT_EQ(clicks(g), ++expected_clicks);
        EXPECT_EQ(all_clicks(), expected_clicks) << "only the gauge's own buffer plays";
        EXPECT_EQ(shown(g), host.token(s.token) == 0.0 ? 0 : 1);
    }
    EXPECT_EQ(host.help_id_at(g, centre.x, centre.y), s.help_id);
    EXPECT_EQ(host.cursor_at(g, centre.x, centre.y), CURSOR_HAND);
}

// The click area's edges: its corner pixels act, the pixels just outside it do not.
TEST_P(MirroredToggle, ClickAreaEdges) {
    const MirroredSwitch& s = GetParam();
    panel::Gauge& g = add(s.name);
    const MOUSE_BOX& a = s.area;
    const int right = a.x + a.width - 1;
    const int bottom = a.y + a.height - 1;
    for (Pixel inside : {Pixel{a.x, a.y}, Pixel{right, bottom}}) EXPECT_TRUE(host.click(g, inside.x, inside.y).handled);
    for (Pixel outside : {Pixel{a.x - 1, a.y}, Pixel{a.x, a.y - 1}, Pixel{right + 1, bottom}, Pixel{right, bottom + 1}})
        EXPECT_FALSE(host.click(g, outside.x, outside.y).handled) << outside.x << "," << outside.y;
    EXPECT_EQ(host.events().size(), 2u);
    EXPECT_EQ(clicks(g), 2u);
}

// A held button toggles once: the area reacts to presses only.
TEST_P(MirroredToggle, HoldingTogglesOnce) {
    const MirroredSwitch& s = GetParam();
    panel::Gauge& g = add(s.name);
    host.hold(g, s.area.x + 1, s.area.y + 1, 4);
    EXPECT_EQ(event_ids(), std::vector<uint32_t>{s.event});
    EXPECT_EQ(clicks(g), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, MirroredToggle,
    ::testing::Values(MirroredSwitch{"Landing_Lights", 14, 65751, 43838, kWhole},
                      MirroredSwitch{"Pitot_Heat", 13, 65858, 43863, kWhole},
                      MirroredSwitch{"Nav_Lights", 619, 66379, 43839, kWhole},
                      MirroredSwitch{"Strobe_Lights", 11, 65560, 43842, kWhole},
                      MirroredSwitch{"Taxi_Lights", 369, 66240, 43843, kWhole},
                      MirroredSwitch{"Beacon_Lights", 368, 66239, 43837, kWhole},
                      MirroredSwitch{"Panel_Lights", 10, 65750, 43840, kWhole},
                      MirroredSwitch{"Prop_Deice", 742, 65571, 44161, kWhole},
                      MirroredSwitch{"Stby_Vac", 778, 66290, 44160, kWhole},
                      MirroredSwitch{"Avionics Switch", 740, 66293, 43791, {20, 14, 27, 44}}),
    [](const auto& info) { return "row" + std::to_string(info.index); });

// Records shared by every toggle: root and icon at (0, 0), flags 0x3, no failures, two
// pictures; the parent carries the tooltip, the one child the hand cursor and handler.
TEST_F(TwoPosition, ToggleRecords) {
    for (const char* name : {"Landing_Lights", "Pitot_Heat", "Nav_Lights", "Strobe_Lights", "Taxi_Lights",
                             "Beacon_Lights", "Panel_Lights", "Dummy_Switch1", "Dummy_Switch2", "Dummy_Switch3",
                             "Stall_Heat", "Prop_Deice", "Stby_Vac", "Avionics Switch", "Nav GPS Switch"}) {
        SCOPED_TRACE(name);
        panel::Gauge& g = add(name);
        ASSERT_EQ(g.elements().size(), 2u);
        for (const panel::ElementState& e : g.elements()) {
            EXPECT_EQ(e.record->image_flags, 0x3u);
            EXPECT_EQ(e.record->failures, nullptr);
            EXPECT_EQ(e.record->position.x, 0);
            EXPECT_EQ(e.record->position.y, 0);
        }
        EXPECT_EQ(g.element(1).record->children, nullptr);
        EXPECT_EQ(reinterpret_cast<ELEMENT_ICON*>(g.element(1).record)->picture_count, 2);
        const MOUSERECT* m = g.header()->mouse_rect;
        EXPECT_EQ(m[0].kind, MOUSE_PARENT_BEGIN);
        EXPECT_EQ(m[0].cursor, CURSOR_NONE);
        EXPECT_EQ(m[1].kind, MOUSE_CHILD);
        EXPECT_EQ(m[1].help_id, 0);
        EXPECT_EQ(m[1].mouse_flags, MOUSE_LEFT_SINGLE);
        EXPECT_EQ(m[2].kind, MOUSE_PARENT_END);
        EXPECT_EQ(m[3].kind, MOUSE_END_OF_LIST);
        host.kill(g);
    }
}

// At index 1 the avionics rocker's icon has no picture (no bitmap 1171), so its root shows.
TEST_F(TwoPosition, AvionicsOnShowsItsRoot) {
    panel::Gauge& g = add("Avionics Switch");
    host.set_token(740, 1.0);
    EXPECT_EQ(shown(g), 1);
    ASSERT_EQ(g.element(1).pictures.size(), 2u);
    EXPECT_NE(g.element(1).pictures[0], nullptr);
    EXPECT_EQ(g.element(1).pictures[1], nullptr);
    EXPECT_EQ(g.size().x, 59);
    EXPECT_EQ(g.size().y, 75);
}

// ---------------------------------------------------------------------------------------
// Toggles that keep their position in the module.

class ModuleOnlyToggle : public SwitchPanelTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ModuleOnlyToggle, FlipsItsOwnStateAndClicks) {
    panel::Gauge& g = add(GetParam());
    EXPECT_EQ(reinterpret_cast<ELEMENT_ICON*>(g.element(1).record)->source_var.id, 0);
    EXPECT_EQ(value_after_frame(g), 0.0);
    const std::vector<double> after_each_click = {1.0, 0.0, 1.0};
    for (size_t n = 0; n < after_each_click.size(); ++n) {
        host.click(g, 18, 28);
        EXPECT_EQ(value_after_frame(g), after_each_click[n]) << "click " << n + 1;
        EXPECT_EQ(g.element(1).icon_index, static_cast<int>(after_each_click[n]));
        EXPECT_EQ(clicks(g), n + 1);
    }
    EXPECT_TRUE(host.events().empty());
    EXPECT_EQ(host.help_id_at(g, 18, 28), 0);
}

INSTANTIATE_TEST_SUITE_P(Switches, ModuleOnlyToggle,
                         ::testing::Values("Dummy_Switch1", "Dummy_Switch2", "Dummy_Switch3", "Stall_Heat"),
                         [](const auto& info) { return std::string(info.param); });

// Each module-only switch has a state of its own.
TEST_F(TwoPosition, ModuleOnlySwitchesDoNotShareState) {
    panel::Gauge& first = add("Dummy_Switch1");
    panel::Gauge& stall = add("Stall_Heat");
    host.click(first, 5, 5);
    host.frame();
    EXPECT_EQ(first.element(1).value, 1.0);
    EXPECT_EQ(stall.element(1).value, 0.0);
    EXPECT_EQ(clicks(first), 1u);
    EXPECT_EQ(clicks(stall), 0u);
}

// ---------------------------------------------------------------------------------------
// NAV/GPS source: the host fires the toggle itself; no module code, no click sound.

TEST_F(TwoPosition, NavGpsSwitchIsTheHostsOwnEvent) {
    panel::Gauge& g = add("Nav GPS Switch");
    EXPECT_FALSE(has_click_buffer(g));
    EXPECT_TRUE(platform::devices().empty()) << "no sound set-up for this gauge";
    EXPECT_EQ(g.size().x, 30);
    EXPECT_EQ(g.size().y, 36);
    EXPECT_EQ(shown(g), 0);
    host.click(g, 29, 35);
    EXPECT_EQ(host.events(), (std::vector<panel::Event>{{66375, 0}}));
    EXPECT_EQ(shown(g), 1);
    EXPECT_EQ(all_clicks(), 0u);
    EXPECT_EQ(host.help_id_at(g, 15, 18), 43853);
    EXPECT_EQ(g.header()->mouse_rect[1].handler, nullptr);
}

// ---------------------------------------------------------------------------------------
// Auxiliary fuel pump: start half (36, 36, 22, 66) toggles the pump; emergency half
// (14, 36, 22, 22) switches it on when off and shows the held picture.

constexpr int32_t kPumpToken = 367;
constexpr uint32_t kPumpToggle = 66339;
constexpr Pixel kStartHalf{47, 69};
constexpr Pixel kEmergencyHalf{25, 47};
constexpr int kEmergencyPicture = 2;

class AuxFuelPump : public SwitchPanelTest {
protected:
    void SetUp() override {
        SwitchPanelTest::SetUp();
        pump = &add("Aux_Fuel_Pump");
    }
    // Frames until the icon stops showing the emergency picture.
    int emergency_frames() {
        int n = 0;
        while (shown(*pump) == kEmergencyPicture && n < 100) ++n;
        return n;
    }
    panel::Gauge* pump = nullptr;
};

TEST_F(AuxFuelPump, StartHalfTogglesThePump) {
    EXPECT_EQ(shown(*pump), 0);
    host.click(*pump, kStartHalf.x, kStartHalf.y);
    EXPECT_EQ(host.events(), (std::vector<panel::Event>{{kPumpToggle, 0}}));
    EXPECT_EQ(clicks(*pump), 1u);
    EXPECT_EQ(shown(*pump), 1);
    host.click(*pump, kStartHalf.x, kStartHalf.y);
    EXPECT_EQ(shown(*pump), 0);
    EXPECT_EQ(clicks(*pump), 2u);
    EXPECT_EQ(host.help_id_at(*pump, kStartHalf.x, kStartHalf.y), 43796);
}

struct EmergencyCase {
    const char* what;
    double pump_before;
    std::vector<uint32_t> events;
    size_t clicks;
    int shown_after_hold;  // the pump's picture once the emergency picture has gone
};

void PrintTo(const EmergencyCase& c, std::ostream* os) { *os << c.what; }

class AuxPumpEmergency : public AuxFuelPump, public ::testing::WithParamInterface<EmergencyCase> {};

// One press: 17 evaluations of the emergency picture, then the pump as the token says. The
// pump is switched on (event and click) only when its token reads exactly 0.
TEST_P(AuxPumpEmergency, SinglePress) {
    const EmergencyCase& c = GetParam();
    host.set_token(kPumpToken, c.pump_before);
    host.frame();
    host.click(*pump, kEmergencyHalf.x, kEmergencyHalf.y);
    EXPECT_EQ(event_ids(), c.events);
    EXPECT_EQ(clicks(*pump), c.clicks);
    EXPECT_EQ(emergency_frames(), 17);
    EXPECT_EQ(pump->element(1).icon_index, c.shown_after_hold);
    EXPECT_EQ(event_ids(), c.events) << "nothing more while the picture runs down";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AuxPumpEmergency,
    ::testing::Values(EmergencyCase{"pump off: switched on", 0.0, {kPumpToggle}, 1, 1},
                      EmergencyCase{"pump on: left on, silent", 1.0, {}, 0, 1},
                      EmergencyCase{"pump token 0.5: no event", 0.5, {}, 0, 0}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// Held: every repeat re-arms the picture; the pump is switched on by the press only.
TEST_F(AuxFuelPump, HeldEmergencyHalf) {
    host.hold(*pump, kEmergencyHalf.x, kEmergencyHalf.y, 30);
    EXPECT_EQ(pump->element(1).icon_index, kEmergencyPicture) << "still held after 30 frames";
    EXPECT_EQ(event_ids(), std::vector<uint32_t>{kPumpToggle});
    EXPECT_EQ(clicks(*pump), 1u);
    EXPECT_EQ(emergency_frames(), 17);
    EXPECT_EQ(pump->element(1).icon_index, 1);
}

// A press during the run-down starts it again from 18; the start half does not touch it.
TEST_F(AuxFuelPump, PressAgainRestartsThePicture) {
    host.click(*pump, kEmergencyHalf.x, kEmergencyHalf.y);
    host.frame(10);
    host.click(*pump, kEmergencyHalf.x, kEmergencyHalf.y);
    host.click(*pump, kStartHalf.x, kStartHalf.y);
    EXPECT_EQ(emergency_frames(), 17);
    EXPECT_EQ(pump->element(1).icon_index, 0) << "the start half switched the pump off again";
    EXPECT_EQ(event_ids(), (std::vector<uint32_t>{kPumpToggle, kPumpToggle}));
}

TEST_F(AuxFuelPump, Records) {
    ASSERT_EQ(pump->elements().size(), 2u);
    EXPECT_EQ(pump->size().x, 72);
    EXPECT_EQ(pump->size().y, 104);
    for (const panel::ElementState& e : pump->elements()) EXPECT_EQ(e.record->image_flags, 0x3u);
    EXPECT_EQ(reinterpret_cast<ELEMENT_ICON*>(pump->element(1).record)->picture_count, 3);
    const MOUSERECT* m = pump->header()->mouse_rect;
    EXPECT_EQ(m[1].mouse_flags, MOUSE_LEFT_SINGLE);
    EXPECT_EQ(m[2].mouse_flags, MOUSE_LEFT_HELD);
    EXPECT_EQ(host.cursor_at(*pump, kEmergencyHalf.x, kEmergencyHalf.y), CURSOR_HAND);
    EXPECT_EQ(m[3].kind, MOUSE_PARENT_END);
    EXPECT_EQ(m[4].kind, MOUSE_END_OF_LIST);
    // The halves share the edge x = 36; nothing above y = 36 reacts.
    EXPECT_FALSE(host.click(*pump, 40, 35).handled);
    EXPECT_FALSE(host.click(*pump, 13, 40).handled);
    EXPECT_FALSE(host.click(*pump, 25, 58).handled);
    EXPECT_TRUE(host.click(*pump, 35, 57).handled);
    EXPECT_TRUE(host.click(*pump, 57, 101).handled);
}

}  // namespace
