// The split battery/alternator master switches and the alternator interlock of the
// two-alternator form, clicked at their pixels through the host emulator.
#include "tests/switches_support.h"

namespace {

using testing_support::Pixel;
using testing_support::SwitchPanelTest;

constexpr int32_t kAlternator = 363;
constexpr int32_t kBattery = 364;
constexpr uint32_t kAlternatorToggle = 66242;
constexpr uint32_t kBatteryToggle = 66241;

// "Alt_Bat_1": ALT (2, 35, 21, 66), BAT (23, 35, 36, 66).
constexpr Pixel kAlt{12, 68};
constexpr Pixel kBat{41, 68};
// "Alt_Bat_2": ALT 1 (3, 33, 20, 68), ALT 2 (23, 33, 19, 68), BAT (42, 33, 36, 68).
constexpr Pixel kAlt1{13, 67};
constexpr Pixel kAlt2{32, 67};
constexpr Pixel kBat2{60, 67};

class MasterSwitch : public SwitchPanelTest {
protected:
    void click(panel::Gauge& g, Pixel p) { host.click(g, p.x, p.y); }
};

struct OneAlternatorPicture {
    double alternator, battery;
    int index;
};

// Index 2 x alternator + battery.
TEST_F(MasterSwitch, OneAlternatorPictureFollowsBothTokens) {
    panel::Gauge& g = add("Alt_Bat_1");
    for (OneAlternatorPicture c : {OneAlternatorPicture{0, 0, 0}, OneAlternatorPicture{0, 1, 1},
                                   OneAlternatorPicture{1, 0, 2}, OneAlternatorPicture{1, 1, 3}}) {
        host.set_token(kAlternator, c.alternator);
        host.set_token(kBattery, c.battery);
        EXPECT_EQ(shown(g), c.index) << "alternator " << c.alternator << ", battery " << c.battery;
    }
}

TEST_F(MasterSwitch, OneAlternatorHalvesToggleTheirSwitchesAndClick) {
    panel::Gauge& g = add("Alt_Bat_1");
    click(g, kAlt);
    EXPECT_EQ(host.events(), (std::vector<panel::Event>{{kAlternatorToggle, 0}}));
    EXPECT_EQ(shown(g), 2);
    click(g, kBat);
    EXPECT_EQ(event_ids(), (std::vector<uint32_t>{kAlternatorToggle, kBatteryToggle}));
    EXPECT_EQ(host.events().back().value, 0u);
    EXPECT_EQ(shown(g), 3);
    click(g, kAlt);
    EXPECT_EQ(shown(g), 1);
    EXPECT_EQ(clicks(g), 3u);
}

struct AreaCase {
    const char* gauge;
    Pixel at;
    std::vector<uint32_t> events;
};

void PrintTo(const AreaCase& c, std::ostream* os) { *os << c.gauge << " at " << c.at.x << "," << c.at.y; }

class MasterAreas : public MasterSwitch, public ::testing::WithParamInterface<AreaCase> {};

// Neighbouring halves share an edge; nothing acts above or beside the switch. Flags start
// at 1 with the alternator off, so an ALT click on "Alt_Bat_2" only turns its flag off.
TEST_P(MasterAreas, HalfUnderThePixel) {
    const AreaCase& c = GetParam();
    panel::Gauge& g = add(c.gauge);
    host.set_token(kAlternator, 1.0);
    host.click(g, c.at.x, c.at.y);
    EXPECT_EQ(event_ids(), c.events);
    EXPECT_EQ(clicks(g), host.cursor_at(g, c.at.x, c.at.y) == CURSOR_HAND ? 1u : 0u);
    EXPECT_EQ(host.help_id_at(g, c.at.x, c.at.y), 43851);
}

INSTANTIATE_TEST_SUITE_P(
    Pixels, MasterAreas,
    ::testing::Values(AreaCase{"Alt_Bat_1", {2, 35}, {kAlternatorToggle}}, AreaCase{"Alt_Bat_1", {22, 100}, {kAlternatorToggle}},
                      AreaCase{"Alt_Bat_1", {23, 35}, {kBatteryToggle}}, AreaCase{"Alt_Bat_1", {58, 100}, {kBatteryToggle}},
                      AreaCase{"Alt_Bat_1", {1, 50}, {}}, AreaCase{"Alt_Bat_1", {59, 50}, {}},
                      AreaCase{"Alt_Bat_1", {12, 34}, {}}, AreaCase{"Alt_Bat_1", {12, 101}, {}},
                      AreaCase{"Alt_Bat_2", {3, 33}, {}}, AreaCase{"Alt_Bat_2", {22, 100}, {}},
                      AreaCase{"Alt_Bat_2", {42, 33}, {kBatteryToggle}}, AreaCase{"Alt_Bat_2", {77, 100}, {kBatteryToggle}},
                      AreaCase{"Alt_Bat_2", {2, 50}, {}}, AreaCase{"Alt_Bat_2", {78, 50}, {}},
                      AreaCase{"Alt_Bat_2", {30, 32}, {}}, AreaCase{"Alt_Bat_2", {30, 101}, {}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// Which half a pixel of "Alt_Bat_2" belongs to, seen through the flags: with the alternator
// on and both flags on, ALT 1 off shows 2 and ALT 2 off shows 4.
TEST_F(MasterSwitch, TwoAlternatorHalvesShareTheirEdges) {
    host.set_token(kAlternator, 1.0);
    panel::Gauge& g = add("Alt_Bat_2");
    host.click(g, 22, 33);
    EXPECT_EQ(shown(g), 2) << "x = 22 is ALT 1";
    host.click(g, 22, 33);
    host.click(g, 23, 100);
    EXPECT_EQ(shown(g), 4) << "x = 23 is ALT 2";
    host.click(g, 41, 100);
    EXPECT_EQ(shown(g), 6) << "x = 41 is ALT 2";
    EXPECT_TRUE(host.events().empty());
    EXPECT_EQ(clicks(g), 4u);
}

TEST_F(MasterSwitch, Records) {
    struct Shape {
        const char* name;
        int root_bitmap, width, pictures;
    };
    for (Shape s : {Shape{"Alt_Bat_1", 1020, 62, 4}, Shape{"Alt_Bat_2", 1030, 81, 8}}) {
        SCOPED_TRACE(s.name);
        panel::Gauge& g = add(s.name);
        ASSERT_EQ(g.elements().size(), 2u);
        EXPECT_EQ(g.size().x, s.width);
        EXPECT_EQ(g.size().y, 104);
        for (const panel::ElementState& e : g.elements()) {
            EXPECT_EQ(e.record->image_flags, 0x3u);
            EXPECT_EQ(e.record->failures, nullptr);
        }
        auto* icon = reinterpret_cast<ELEMENT_ICON*>(g.element(1).record);
        EXPECT_EQ(icon->picture_count, s.pictures);
        for (size_t n = 0; n < g.element(1).pictures.size(); ++n) EXPECT_NE(g.element(1).pictures[n], nullptr) << n;
        for (const MOUSERECT* m = g.header()->mouse_rect + 1; m->kind == MOUSE_CHILD; ++m) {
            EXPECT_EQ(m->cursor, CURSOR_HAND);
            EXPECT_EQ(m->mouse_flags, MOUSE_LEFT_SINGLE);
            EXPECT_EQ(m->help_id, 0);
        }
    }
}

// ---------------------------------------------------------------------------------------
// The two-alternator interlock. Index = 4 x ALT 1 + 2 x ALT 2 + battery.

// Loaded with the simulator's alternator off: the first evaluation clears both flags; ALT 2
// then switches the alternator on alone, and off again.
TEST_F(MasterSwitch, LoadWithTheAlternatorOff) {
    panel::Gauge& g = add("Alt_Bat_2");
    EXPECT_EQ(shown(g), 0);
    click(g, kAlt2);
    EXPECT_EQ(host.events(), (std::vector<panel::Event>{{kAlternatorToggle, 0}}));
    EXPECT_EQ(host.token(kAlternator), 1.0);
    EXPECT_EQ(shown(g), 2);
    click(g, kAlt2);
    EXPECT_EQ(event_ids(), (std::vector<uint32_t>{kAlternatorToggle, kAlternatorToggle}));
    EXPECT_EQ(shown(g), 0);
    EXPECT_EQ(clicks(g), 2u);
}

// Both on: turning ALT 1 off leaves the simulator's switch alone; turning ALT 2 off as well
// switches it off, once.
TEST_F(MasterSwitch, LastAlternatorOffSwitchesTheSimulatorOff) {
    host.set_token(kAlternator, 1.0);
    panel::Gauge& g = add("Alt_Bat_2");
    EXPECT_EQ(shown(g), 6);
    click(g, kAlt1);
    EXPECT_TRUE(host.events().empty());
    EXPECT_EQ(shown(g), 2);
    click(g, kAlt2);
    EXPECT_EQ(host.events(), (std::vector<panel::Event>{{kAlternatorToggle, 0}}));
    EXPECT_EQ(host.token(kAlternator), 0.0);
    EXPECT_EQ(shown(g), 0);
    EXPECT_EQ(clicks(g), 2u);
}

// A flag going on while the simulator's alternator is already on fires nothing.
TEST_F(MasterSwitch, FlagOnWithTheAlternatorAlreadyOn) {
    host.set_token(kAlternator, 1.0);
    panel::Gauge& g = add("Alt_Bat_2");
    click(g, kAlt1);
    click(g, kAlt1);
    EXPECT_TRUE(host.events().empty());
    EXPECT_EQ(shown(g), 6);
    EXPECT_EQ(clicks(g), 2u);
}

// A token that is neither 0 nor 1: no half fires the toggle; the picture counts it as on.
TEST_F(MasterSwitch, HalfwayAlternatorTokenNeverFires) {
    host.set_token(kAlternator, 0.5);
    panel::Gauge& g = add("Alt_Bat_2");
    EXPECT_EQ(shown(g), 6);
    click(g, kAlt1);
    click(g, kAlt2);
    EXPECT_EQ(shown(g), 4) << "both flags off with the alternator on: alternator 1 takes it over";
    click(g, kAlt1);
    click(g, kAlt2);
    EXPECT_EQ(shown(g), 2);
    EXPECT_TRUE(host.events().empty());
    EXPECT_EQ(clicks(g), 4u);
}

// Switched on elsewhere while both flags are off: alternator 1 takes it over.
TEST_F(MasterSwitch, AlternatorSwitchedOnElsewhere) {
    panel::Gauge& g = add("Alt_Bat_2");
    EXPECT_EQ(shown(g), 0);
    host.fire_event(kAlternatorToggle, 0);
    host.set_token(kBattery, 1.0);
    EXPECT_EQ(shown(g), 5);
}

TEST_F(MasterSwitch, TwoAlternatorBatteryHalf) {
    panel::Gauge& g = add("Alt_Bat_2");
    click(g, kBat2);
    EXPECT_EQ(host.events(), (std::vector<panel::Event>{{kBatteryToggle, 0}}));
    EXPECT_EQ(shown(g), 1);
    EXPECT_EQ(clicks(g), 1u);
}

// Each gauge plays its own click.
TEST_F(MasterSwitch, EachGaugeClicksItsOwnBuffer) {
    panel::Gauge& one = add("Alt_Bat_1");
    panel::Gauge& two = add("Alt_Bat_2");
    click(one, kBat);
    click(one, kAlt);
    click(two, kAlt1);
    EXPECT_EQ(clicks(one), 2u);
    EXPECT_EQ(clicks(two), 1u);
}

// Service 14: "Alt_Bat_1" sets ALT 1 on and ALT 2 off, "Alt_Bat_2" both to the simulator's
// switch; the gauge called later decides. Other service ids change nothing.
TEST_F(MasterSwitch, ResynchronisationOnService14) {
    panel::Gauge& one = add("Alt_Bat_1");
    panel::Gauge& two = add("Alt_Bat_2");
    host.set_token(kAlternator, 1.0);
    EXPECT_EQ(shown(two), 6);

    host.service(one, 14);
    EXPECT_EQ(shown(two), 4);
    host.service(two, 14);
    EXPECT_EQ(shown(two), 6);
    host.service(two, 14);
    host.service(one, 14);
    EXPECT_EQ(shown(two), 4);

    for (int32_t ignored : {0, 1, 3, 6, 13, 15}) {
        host.service(one, ignored);
        host.service(two, ignored);
    }
    EXPECT_EQ(shown(two), 4);

    // With the alternator off, "Alt_Bat_2" clears both flags: switched on afterwards, before
    // any evaluation, alternator 1 alone takes it over.
    host.click(two, kAlt2.x, kAlt2.y);  // flags 1, 1; the simulator's switch stays on
    host.set_token(kAlternator, 0.0);
    host.service(two, 14);
    host.set_token(kAlternator, 1.0);
    EXPECT_EQ(shown(two), 4);
    EXPECT_TRUE(host.events().empty());
}

}  // namespace
