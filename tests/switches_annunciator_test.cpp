// The six annunciator lamps with press-to-test, and the de-ice pressure cycle that the
// "De-Ice Press" switch starts, driven through the host emulator's frames and tick counter.
#include "tests/switches_support.h"

namespace {

using testing_support::Pixel;
using testing_support::SwitchPanelTest;

constexpr int32_t kSuction = 353;
constexpr int32_t kBusVolts = 753;
constexpr int32_t kAlternatorVolts = 761;
constexpr int32_t kTick = 1;
constexpr int32_t kRate = 336;
constexpr int kLit = 0;    // icon index of a lit lamp
constexpr int kDark = -1;  // no picture: the unlit root shows

const char* const kLamps[] = {"Suction Annunciator", "Voltage Annunciator", "Alternator1 Annunciator",
                              "Alternator2 Annunciator", "Cabine Altitude Annunciator", "De-Ice Press Annunciator"};

class Annunciators : public SwitchPanelTest {
protected:
    // Every lamp's rule says dark: suction, bus and alternator healthy, no de-ice cycle.
    void healthy() {
        host.set_token(kSuction, 5.0);
        host.set_token(kBusVolts, 28.0);
        host.set_token(kAlternatorVolts, 28.0);
    }
    // Frames until the lamp shows `state`, at most `limit`.
    int frames_until(panel::Gauge& lamp, int state, int limit = 1000) {
        int n = 1;
        while (shown(lamp) != state && n < limit) ++n;
        return n;
    }
};

// ---------------------------------------------------------------------------------------
// Lamp rules.

struct LampCase {
    const char* lamp;
    int32_t token;  // 0: the lamp has none
    double value;
    bool lit;
};

void PrintTo(const LampCase& c, std::ostream* os) { *os << c.lamp << " at " << c.value; }

class LampRule : public Annunciators, public ::testing::WithParamInterface<LampCase> {};

// Both alternator flags are on at load and no de-ice cycle runs.
TEST_P(LampRule, LitOrDarkByItsToken) {
    const LampCase& c = GetParam();
    panel::Gauge& lamp = add(c.lamp);
    if (c.token != 0) host.set_token(c.token, c.value);
    EXPECT_EQ(shown(lamp), c.lit ? kLit : kDark);
    EXPECT_EQ(lamp.element(1).value, c.lit ? 0.0 : -1.0);
    EXPECT_EQ(shown(lamp), c.lit ? kLit : kDark) << "the rule holds on every evaluation";
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LampRule,
    ::testing::Values(LampCase{"Suction Annunciator", kSuction, 3.999, true},
                      LampCase{"Suction Annunciator", kSuction, 4.0, false},
                      LampCase{"Suction Annunciator", kSuction, 0.0, true},
                      LampCase{"Voltage Annunciator", kBusVolts, 25.999, true},
                      LampCase{"Voltage Annunciator", kBusVolts, 26.0, false},
                      LampCase{"Voltage Annunciator", kBusVolts, 28.0, false},
                      LampCase{"Alternator1 Annunciator", kAlternatorVolts, 25.999, true},
                      LampCase{"Alternator1 Annunciator", kAlternatorVolts, 26.0, false},
                      LampCase{"Alternator2 Annunciator", kAlternatorVolts, 25.999, true},
                      LampCase{"Alternator2 Annunciator", kAlternatorVolts, 26.0, false},
                      LampCase{"Cabine Altitude Annunciator", 0, 0.0, false},
                      LampCase{"De-Ice Press Annunciator", kSuction, 10.0, false}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

struct FlagCase {
    const char* what;
    double alternator_switch;   // token 363 while "Alt_Bat_2" runs
    std::vector<Pixel> clicks;  // on "Alt_Bat_2"
    bool lamp1_lit, lamp2_lit;
};

void PrintTo(const FlagCase& c, std::ostream* os) { *os << c.what; }

class AlternatorFlags : public Annunciators, public ::testing::WithParamInterface<FlagCase> {};

// With 28 V on the alternator, each alternator lamp lights when its flag is off.
TEST_P(AlternatorFlags, LampLitWhenItsAlternatorIsOff) {
    const FlagCase& c = GetParam();
    healthy();
    host.set_token(363, c.alternator_switch);
    panel::Gauge& master = add("Alt_Bat_2");
    panel::Gauge& lamp1 = add("Alternator1 Annunciator");
    panel::Gauge& lamp2 = add("Alternator2 Annunciator");
    host.frame();
    for (Pixel p : c.clicks) host.click(master, p.x, p.y);
    host.frame();
    EXPECT_EQ(lamp1.element(1).icon_index, c.lamp1_lit ? kLit : kDark);
    EXPECT_EQ(lamp2.element(1).icon_index, c.lamp2_lit ? kLit : kDark);
}

constexpr Pixel kAlt1{13, 67};
constexpr Pixel kAlt2{32, 67};

INSTANTIATE_TEST_SUITE_P(
    Flags, AlternatorFlags,
    ::testing::Values(FlagCase{"both on", 1.0, {}, false, false}, FlagCase{"ALT 1 off", 1.0, {kAlt1}, true, false},
                      FlagCase{"ALT 2 off", 1.0, {kAlt2}, false, true},
                      FlagCase{"simulator alternator off", 0.0, {}, true, true}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// ---------------------------------------------------------------------------------------
// Press-to-test.

class PressToTest : public Annunciators, public ::testing::WithParamInterface<const char*> {};

// One press lights the lamp for exactly 18 evaluations, whatever its token says.
TEST_P(PressToTest, SinglePressLightsEighteenEvaluations) {
    healthy();
    panel::Gauge& lamp = add(GetParam());
    EXPECT_EQ(shown(lamp), kDark);
    host.click(lamp, 39, 39);
    int lit = 0;
    while (shown(lamp) == kLit && lit < 100) ++lit;
    EXPECT_EQ(lit, 18);
    EXPECT_EQ(shown(lamp), kDark);
    EXPECT_TRUE(host.events().empty());
    EXPECT_EQ(all_clicks(), 0u);
}

// Held, every repeat re-arms the count: lit all through the hold and 18 evaluations after.
TEST_P(PressToTest, HeldPressKeepsTheLampLit) {
    healthy();
    panel::Gauge& lamp = add(GetParam());
    host.hold(lamp, 0, 0, 40);
    EXPECT_EQ(lamp.element(1).evaluations, 40);
    EXPECT_EQ(lamp.element(1).icon_index, kLit);
    EXPECT_EQ(frames_until(lamp, kDark), 19);
}

INSTANTIATE_TEST_SUITE_P(Lamps, PressToTest, ::testing::ValuesIn(kLamps), [](const auto& info) {
    std::string name = info.param;
    for (char& c : name)
        if (c == ' ' || c == '-') c = '_';
    return name;
});

TEST_F(Annunciators, LampRecords) {
    for (const char* name : kLamps) {
        SCOPED_TRACE(name);
        panel::Gauge& g = add(name);
        ASSERT_EQ(g.elements().size(), 2u);
        EXPECT_EQ(g.size().x, 40);
        EXPECT_EQ(g.size().y, 40);
        EXPECT_EQ(g.element(0).record->image_flags, 0x3u);
        EXPECT_EQ(g.element(0).record->failures, nullptr);
        const ELEMENT_HEADER* icon = g.element(1).record;
        EXPECT_EQ(icon->image_flags, 0x7u);
        EXPECT_EQ(reinterpret_cast<const ELEMENT_ICON*>(icon)->picture_count, 1);
        ASSERT_NE(icon->failures, nullptr);
        const FAILURE_RECORD* f = icon->failures;
        EXPECT_EQ((std::vector<int>{f[0].key, f[0].action, f[1].key, f[1].action, f[2].key}),
                  (std::vector<int>{2, 0, 20, 3, 0}));
        const MOUSERECT* m = g.header()->mouse_rect;
        EXPECT_EQ(m[0].help_id, 0);
        EXPECT_EQ(m[1].mouse_flags, MOUSE_LEFT_HELD);
        EXPECT_EQ(host.cursor_at(g, 39, 39), CURSOR_HAND);
        EXPECT_EQ(m[2].kind, MOUSE_PARENT_END);
        EXPECT_EQ(m[3].kind, MOUSE_END_OF_LIST);
        host.kill(g);
    }
}

// ---------------------------------------------------------------------------------------
// The de-ice pressure cycle: a press arms it; with suction at 4 or more each tick adds
// rate / 18; the lamp is lit while the time is above 2 and the cycle ends at 18.

class DeiceCycle : public Annunciators {
protected:
    void SetUp() override {
        Annunciators::SetUp();
        host.set_token(kSuction, 5.0);
        // The switch first: in each frame its periodic call advances the cycle before the
        // lamp is evaluated.
        press_switch = &add("De-Ice Press");
        lamp = &add("De-Ice Press Annunciator");
        host.frame(3);
    }
    void press() { host.click(*press_switch, 18, 18); }
    panel::Gauge* press_switch = nullptr;
    panel::Gauge* lamp = nullptr;
};

struct RateCase {
    double rate;
    int lit_after;   // ticks: the time first exceeds 2
    int ends_after;  // ticks: the time reaches 18
};

void PrintTo(const RateCase& c, std::ostream* os) { *os << "rate " << c.rate; }

class DeiceRate : public DeiceCycle, public ::testing::WithParamInterface<RateCase> {};

// Up to the rounding of the repeated additions, the lamp lights once the ticks since the
// press exceed 36 / rate, and the cycle ends at 324 / rate.
TEST_P(DeiceRate, LampFollowsTheCycle) {
    const RateCase& c = GetParam();
    host.set_token(kRate, c.rate);
    EXPECT_EQ(shown(*lamp), kDark) << "no cycle before the press";
    press();
    const int lit = frames_until(*lamp, kLit);
    EXPECT_NEAR(lit, c.lit_after, 1);
    const int dark = frames_until(*lamp, kDark);
    EXPECT_NEAR(lit + dark, c.ends_after, 1);
    EXPECT_EQ(frames_until(*lamp, kLit, 400), 400) << "the cycle is over until the next press";
}

INSTANTIATE_TEST_SUITE_P(Rates, DeiceRate,
                         ::testing::Values(RateCase{1.0, 37, 324}, RateCase{2.0, 19, 162}),
                         [](const auto& info) { return "rate" + std::to_string(static_cast<int>(info.param.rate)); });

// Ticks with suction below 4 do not count: the cycle neither advances nor ends, and resumes
// from the tick of the previous call once suction is back.
TEST_F(DeiceCycle, LowSuctionPausesTheCycle) {
    press();
    host.frame(20);
    host.set_token(kSuction, 3.0);
    EXPECT_EQ(frames_until(*lamp, kLit, 400), 400);
    host.set_token(kSuction, 5.0);
    EXPECT_NEAR(frames_until(*lamp, kLit), 17, 1);
    EXPECT_NEAR(frames_until(*lamp, kDark), 324 - 37, 2);
}

// Suction low while the time is above 2: dark at once; at exactly 4.0 the lamp stays lit.
TEST_F(DeiceCycle, LampNeedsSuction) {
    press();
    frames_until(*lamp, kLit);
    host.set_token(kSuction, 4.0);
    EXPECT_EQ(shown(*lamp), kLit);
    host.set_token(kSuction, 3.99);
    EXPECT_EQ(shown(*lamp), kDark);
    host.set_token(kSuction, 4.0);
    EXPECT_EQ(shown(*lamp), kLit);
}

// A press while the cycle runs starts it again from 0: dark until the time passes 2 again.
TEST_F(DeiceCycle, PressAgainRestarts) {
    press();
    const int first = frames_until(*lamp, kLit);
    host.frame(50);
    press();
    EXPECT_EQ(shown(*lamp), kDark);
    EXPECT_EQ(frames_until(*lamp, kLit) + 1, first);
}

// A tick that does not increase (the host's counter restarted) adds nothing for that call;
// the cycle counts on from there.
TEST_F(DeiceCycle, TickGoingBackAddsNothing) {
    press();
    const int undisturbed = frames_until(*lamp, kLit);
    frames_until(*lamp, kDark);
    press();
    host.frame(10);
    host.set_token(kTick, 0.0);
    EXPECT_EQ(10 + frames_until(*lamp, kLit), undisturbed + 1);
}

// The switch shows held for the press and 18 evaluations after; every repeat while held
// restarts the cycle, so its time runs from the last repeat.
TEST_F(DeiceCycle, HeldSwitch) {
    host.hold(*press_switch, 0, 35, 60);
    EXPECT_EQ(press_switch->element(1).icon_index, 1);
    EXPECT_EQ(lamp->element(1).icon_index, kDark) << "each repeat set the time back to 0";
    int held = 0;
    while (shown(*press_switch) == 1 && held < 100) ++held;
    EXPECT_EQ(held, 18);
    EXPECT_NEAR(held + 1 + frames_until(*lamp, kLit), 37, 1);
    EXPECT_TRUE(host.events().empty());
    EXPECT_EQ(all_clicks(), 0u);
}

TEST_F(DeiceCycle, SwitchRecords) {
    EXPECT_EQ(press_switch->size().x, 36);
    EXPECT_EQ(press_switch->size().y, 56);
    EXPECT_EQ(reinterpret_cast<ELEMENT_ICON*>(press_switch->element(1).record)->picture_count, 2);
    EXPECT_EQ(press_switch->header()->mouse_rect[1].mouse_flags, MOUSE_LEFT_HELD);
    EXPECT_EQ(shown(*press_switch), 0);
    EXPECT_FALSE(host.click(*press_switch, 18, 36).handled) << "the lower part of the switch does not react";
    EXPECT_FALSE(has_click_buffer(*press_switch));
}

}  // namespace
