// Knobs, selectors and indicators of the switch panel: the two volt/amp knobs and their
// shared selector, the ammeter/voltmeter with its oil-pressure needle, the propeller de-ice
// ammeter and the magneto key switch, driven through the host emulator.
#include <sstream>

#include "tests/switches_support.h"

namespace {

using testing_support::Pixel;
using testing_support::SwitchPanelTest;

constexpr int32_t kAlternatorAmps = 762;
constexpr int32_t kBatteryAmps = 751;
constexpr int32_t kBusVolts = 753;
constexpr int32_t kOilPressure = 418;
constexpr int32_t kPropDeice = 742;

// Knob halves inside the knob's own area (34, 13, 66, 56).
constexpr Pixel kKnobLeft{50, 40};
constexpr Pixel kKnobRight{83, 40};
// "Alt_Bat_2" halves.
constexpr Pixel kAlt1{13, 67};
constexpr Pixel kAlt2{32, 67};

class Indicators : public SwitchPanelTest {
protected:
    // Clicks written as "2L 1R ...": knob 1 or 2, left or right half.
    void turn(const std::string& clicks) {
        std::istringstream in(clicks);
        std::string step;
        while (in >> step) {
            panel::Gauge& knob = add_once(step[0] == '1' ? "Volt_Amp_Knob_1" : "Volt_Amp_Knob_2");
            const Pixel p = step[1] == 'L' ? kKnobLeft : kKnobRight;
            EXPECT_TRUE(host.click(knob, p.x, p.y).handled) << step;
        }
    }
    panel::Gauge& add_once(const std::string& name) {
        for (auto& g : host.gauges())
            if (g->name() == name && !g->killed()) return *g;
        return add(name);
    }
};

// ---------------------------------------------------------------------------------------
// Volt/amp knobs: one selector, 0 ALT 1, 1 ALT 2, 2 BAT, 3 VOLT. Knob 2 shows it as it is;
// knob 1 (ALT, BAT, VOLT) one less, so ALT 1 draws no knob 1 picture.

struct KnobCase {
    const char* clicks;
    int selector;
};

void PrintTo(const KnobCase& c, std::ostream* os) { *os << "\"" << c.clicks << "\""; }

class Knobs : public Indicators, public ::testing::WithParamInterface<KnobCase> {};

TEST_P(Knobs, SelectorAfterClicks) {
    const KnobCase& c = GetParam();
    panel::Gauge& knob1 = add_once("Volt_Amp_Knob_1");
    panel::Gauge& knob2 = add_once("Volt_Amp_Knob_2");
    turn(c.clicks);
    host.frame();
    EXPECT_EQ(knob2.element(1).value, c.selector);
    EXPECT_EQ(knob2.element(1).icon_index, c.selector);
    EXPECT_EQ(knob1.element(1).value, c.selector - 1);
    EXPECT_EQ(knob1.element(1).icon_index, c.selector - 1);
    EXPECT_TRUE(host.events().empty());
    EXPECT_EQ(all_clicks(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, Knobs,
    ::testing::Values(KnobCase{"", 2}, KnobCase{"2L 2L", 0}, KnobCase{"2L 2L 2L", 0}, KnobCase{"2L 2R", 2},
                      KnobCase{"1R", 3}, KnobCase{"1R 2R 1R", 3}, KnobCase{"2R 2R", 3}, KnobCase{"1L", 1},
                      KnobCase{"1L 1L", 1}, KnobCase{"2L 2L 1L", 1}, KnobCase{"2L 2L 1R", 1},
                      KnobCase{"1L 2L", 0}, KnobCase{"1R 1L 1L 1L", 1}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(Indicators, KnobAreasAndRecords) {
    struct Knob {
        const char* name;
        int root_bitmap;
        bool fourth_picture;
    };
    for (Knob k : {Knob{"Volt_Amp_Knob_1", 1130, false}, Knob{"Volt_Amp_Knob_2", 1140, true}}) {
        SCOPED_TRACE(k.name);
        panel::Gauge& g = add(k.name);
        EXPECT_EQ(g.size().x, 100);
        EXPECT_EQ(g.size().y, 70);
        EXPECT_EQ(g.element(0).record->resource_id, k.root_bitmap);
        EXPECT_EQ(g.element(1).record->resource_id, k.root_bitmap) << "picture 0 is the root bitmap";
        for (const panel::ElementState& e : g.elements()) EXPECT_EQ(e.record->image_flags, 0x3u);
        ASSERT_EQ(g.element(1).pictures.size(), 4u);
        EXPECT_EQ(g.element(1).pictures[3] != nullptr, k.fourth_picture);
        // Down arrow on x 34 to 66, up arrow on 67 to 99, y 13 to 68; nothing else reacts.
        EXPECT_EQ(host.cursor_at(g, 34, 13), CURSOR_DOWN_ARROW);
        EXPECT_EQ(host.cursor_at(g, 66, 68), CURSOR_DOWN_ARROW);
        EXPECT_EQ(host.cursor_at(g, 67, 13), CURSOR_UP_ARROW);
        EXPECT_EQ(host.cursor_at(g, 99, 68), CURSOR_UP_ARROW);
        for (Pixel p : {Pixel{33, 40}, Pixel{50, 12}, Pixel{50, 69}, Pixel{10, 10}})
            EXPECT_FALSE(host.click(g, p.x, p.y).handled) << p.x << "," << p.y;
        EXPECT_EQ(host.help_id_at(g, 50, 40), 0);
        EXPECT_EQ(host.repeat(g, kKnobRight.x, kKnobRight.y).handled, false) << "one step per press";
        host.kill(g);
    }
}

// ---------------------------------------------------------------------------------------
// Ammeter/voltmeter: the left needle shows what the selector chooses.

struct AmmeterCase {
    const char* what;
    const char* knob_clicks;
    std::vector<Pixel> alternator_clicks;  // on "Alt_Bat_2", with the simulator's alternator on
    double expected;
    int32_t token;  // the needle's token number afterwards
};

void PrintTo(const AmmeterCase& c, std::ostream* os) { *os << c.what; }

class Ammeter : public Indicators, public ::testing::WithParamInterface<AmmeterCase> {};

// Alternator 20 A, battery -7.5 A, bus 28 V, no de-ice load.
TEST_P(Ammeter, LeftNeedleRows) {
    const AmmeterCase& c = GetParam();
    host.set_token(363, 1.0);
    host.set_token(kAlternatorAmps, 20.0);
    host.set_token(kBatteryAmps, -7.5);
    host.set_token(kBusVolts, 28.0);
    panel::Gauge& master = add("Alt_Bat_2");
    panel::Gauge& meter = add("Amps_Oil_Pressure_Indicator");
    for (Pixel p : c.alternator_clicks) host.click(master, p.x, p.y);
    turn(c.knob_clicks);
    host.frame(2);  // the first evaluation after a change still reads the old token
    EXPECT_DOUBLE_EQ(meter.element(1).value, c.expected);
    EXPECT_EQ(reinterpret_cast<ELEMENT_NEEDLE*>(meter.element(1).record)->source_var.id, c.token);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Ammeter,
    ::testing::Values(AmmeterCase{"BAT", "", {}, -7.5, kBatteryAmps},
                      AmmeterCase{"VOLT at 28 V", "2R", {}, 52.0, kBusVolts},
                      AmmeterCase{"ALT 1, both on", "2L 2L", {}, 10.0, kAlternatorAmps},
                      AmmeterCase{"ALT 1, ALT 2 off", "2L 2L", {kAlt2}, 20.0, kAlternatorAmps},
                      AmmeterCase{"ALT 1, ALT 1 off", "2L 2L", {kAlt1}, 0.0, kAlternatorAmps},
                      AmmeterCase{"ALT 2, both on", "2L", {}, 10.0, kAlternatorAmps},
                      AmmeterCase{"ALT 2, ALT 1 off", "2L", {kAlt1}, 20.0, kAlternatorAmps},
                      AmmeterCase{"ALT 2, ALT 2 off", "2L", {kAlt2}, 0.0, kAlternatorAmps},
                      AmmeterCase{"knob 1 ALT is the ALT 2 row", "1L", {kAlt2}, 0.0, kAlternatorAmps}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// VOLT reads 20 V at the 20 mark, 25 V at 40 and 30 V at 60.
TEST_F(Indicators, VoltmeterScale) {
    panel::Gauge& meter = add("Amps_Oil_Pressure_Indicator");
    turn("2R");
    host.frame();
    for (auto [volts, mark] : {std::pair{20.0, 20.0}, {25.0, 40.0}, {30.0, 60.0}, {15.0, 0.0}}) {
        host.set_token(kBusVolts, volts);
        EXPECT_DOUBLE_EQ(value_after_frame(meter), mark) << volts;
    }
}

// A new selector position applies its formula once to the old token's value.
TEST_F(Indicators, SelectorChangeLagsOneEvaluation) {
    host.set_token(kBatteryAmps, 10.0);
    host.set_token(kBusVolts, 28.0);
    panel::Gauge& meter = add("Amps_Oil_Pressure_Indicator");
    EXPECT_DOUBLE_EQ(value_after_frame(meter), 10.0);
    turn("2R");
    EXPECT_DOUBLE_EQ(value_after_frame(meter), (10.0 - 15.0) * 4.0);
    EXPECT_DOUBLE_EQ(value_after_frame(meter), 52.0);
    turn("2L");
    EXPECT_DOUBLE_EQ(value_after_frame(meter), 28.0);
    EXPECT_DOUBLE_EQ(value_after_frame(meter), 10.0);
}

// Half of the propeller de-ice reading loads the alternators; the ALT positions add it.
TEST_F(Indicators, AmmeterAddsTheDeiceLoad) {
    host.set_token(363, 1.0);
    host.set_token(kAlternatorAmps, 20.0);
    host.set_token(kBusVolts, 28.0);
    host.set_token(kPropDeice, 1.0);
    panel::Gauge& deice = add("Prop_De_Ice_Amps");  // evaluated before the ammeter in each frame
    panel::Gauge& meter = add("Amps_Oil_Pressure_Indicator");
    turn("2L 2L");
    host.frame(2);
    for (int n = 0; n < 5; ++n) {
        host.frame();
        const double share = deice.element(1).value * 0.5;
        EXPECT_GT(share, 0.0);
        EXPECT_DOUBLE_EQ(meter.element(1).value, (20.0 + share) * 0.5);
    }
    host.set_token(kBatteryAmps, 3.0);
    turn("2R 2R");
    host.frame(2);
    EXPECT_DOUBLE_EQ(meter.element(1).value, 3.0) << "BAT adds no load";
}

struct ScaleCase {
    size_t needle;  // 1 ammeter, 2 oil pressure
    int32_t token;
    double value;
    double x, y;
};

void PrintTo(const ScaleCase& c, std::ostream* os) { *os << "needle " << c.needle << " at " << c.value; }

class NeedleScales : public Indicators, public ::testing::WithParamInterface<ScaleCase> {};

// Values beyond the marks hold the needle at the end marks.
TEST_P(NeedleScales, PointsAt) {
    const ScaleCase& c = GetParam();
    panel::Gauge& meter = add("Amps_Oil_Pressure_Indicator");
    host.set_token(c.token, c.value);
    host.frame();
    EXPECT_DOUBLE_EQ(meter.element(c.needle).value, c.value);
    EXPECT_DOUBLE_EQ(meter.element(c.needle).point_x, c.x);
    EXPECT_DOUBLE_EQ(meter.element(c.needle).point_y, c.y);
}

INSTANTIATE_TEST_SUITE_P(
    Points, NeedleScales,
    ::testing::Values(ScaleCase{1, kBatteryAmps, -40.0, 43, 50}, ScaleCase{1, kBatteryAmps, -30.0, 43, 50},
                      ScaleCase{1, kBatteryAmps, -20.0, 43, 50}, ScaleCase{1, kBatteryAmps, -10.0, 53.5, 50},
                      ScaleCase{1, kBatteryAmps, 0.0, 64, 50}, ScaleCase{1, kBatteryAmps, 20.0, 82, 50},
                      ScaleCase{1, kBatteryAmps, 30.0, 90.5, 50}, ScaleCase{1, kBatteryAmps, 40.0, 99, 50},
                      ScaleCase{1, kBatteryAmps, 60.0, 121, 50}, ScaleCase{1, kBatteryAmps, 70.0, 121, 50},
                      ScaleCase{1, kBatteryAmps, 80.0, 121, 50}, ScaleCase{2, kOilPressure, -2880.0, 174, 43},
                      ScaleCase{2, kOilPressure, -1000.0, 174, 43}, ScaleCase{2, kOilPressure, 0.0, 174, 43},
                      ScaleCase{2, kOilPressure, 1440.0, 185, 43}, ScaleCase{2, kOilPressure, 4320.0, 201.5, 43},
                      ScaleCase{2, kOilPressure, 7200.0, 218, 43}, ScaleCase{2, kOilPressure, 14400.0, 262, 43},
                      ScaleCase{2, kOilPressure, 15000.0, 262, 43}, ScaleCase{2, kOilPressure, 15840.0, 262, 43}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

struct OilEngineCase {
    std::optional<std::string> parameter;
    int32_t token;
};

void PrintTo(const OilEngineCase& c, std::ostream* os) { *os << (c.parameter ? *c.parameter : "no text"); }

class OilPressureEngine : public Indicators, public ::testing::WithParamInterface<OilEngineCase> {};

// The parameter text moves the oil-pressure needle to the engine it names; the ammeter needle
// keeps its token.
TEST_P(OilPressureEngine, NeedleShowsTheNamedEngine) {
    const OilEngineCase& c = GetParam();
    for (int32_t engine_token : {418, 457, 496, 535}) host.set_token(engine_token, engine_token * 10.0);
    host.set_token(kBatteryAmps, 12.0);
    panel::Gauge& meter = add("Amps_Oil_Pressure_Indicator", c.parameter);
    EXPECT_EQ(reinterpret_cast<ELEMENT_NEEDLE*>(meter.element(2).record)->source_var.id, c.token);
    EXPECT_EQ(reinterpret_cast<ELEMENT_NEEDLE*>(meter.element(1).record)->source_var.id, kBatteryAmps);
    host.frame();
    EXPECT_EQ(meter.element(2).value, c.token * 10.0);
    EXPECT_EQ(meter.element(1).value, 12.0);
}

INSTANTIATE_TEST_SUITE_P(Engines, OilPressureEngine,
                         ::testing::Values(OilEngineCase{std::nullopt, 418}, OilEngineCase{"", 418},
                                           OilEngineCase{"1", 418}, OilEngineCase{"2", 457},
                                           OilEngineCase{"3", 496}, OilEngineCase{"4", 535},
                                           OilEngineCase{"12", 418}, OilEngineCase{"32", 457}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

// Placed again while the module stays loaded, the gauge names the engine of its new text,
// not one engine further on from the last placement.
TEST_F(Indicators, OilPressureEngineOnEachPlacement) {
    for (auto [parameter, token] : std::vector<std::pair<std::optional<std::string>, int32_t>>{
             {"2", 457}, {"2", 457}, {std::nullopt, 418}, {"4", 535}, {"3", 496}}) {
        panel::Gauge& meter = add("Amps_Oil_Pressure_Indicator", parameter);
        EXPECT_EQ(reinterpret_cast<ELEMENT_NEEDLE*>(meter.element(2).record)->source_var.id, token)
            << (parameter ? *parameter : "no text");
        host.frame();
        host.kill(meter);
    }
    // The ammeter needle's record as the callback left it (ALT), then a new placement.
    turn("2L");
    panel::Gauge& meter = add("Amps_Oil_Pressure_Indicator", "2");
    host.frame();
    host.kill(meter);
    panel::Gauge& again = add("Amps_Oil_Pressure_Indicator", "2");
    EXPECT_EQ(reinterpret_cast<ELEMENT_NEEDLE*>(again.element(1).record)->source_var.id, kBatteryAmps);
}

TEST_F(Indicators, AmmeterRecords) {
    panel::Gauge& g = add("Amps_Oil_Pressure_Indicator");
    ASSERT_EQ(g.elements().size(), 4u);
    EXPECT_EQ(g.size().x, 300);
    EXPECT_EQ(g.size().y, 164);
    const std::vector<uint32_t> types = {ELEMENT_TYPE_STATIC_IMAGE, ELEMENT_TYPE_NEEDLE, ELEMENT_TYPE_NEEDLE,
                                         ELEMENT_TYPE_STATIC_IMAGE};
    const std::vector<int32_t> bitmaps = {1100, 1110, 1110, 1120};
    const std::vector<uint32_t> flags = {0x4003, 0x4083, 0x4083, 0x3};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const panel::ElementState& e = g.element(i);
        EXPECT_EQ(e.type, types[i]);
        EXPECT_EQ(e.depth, static_cast<int>(i)) << "each element is the single child of the one before";
        EXPECT_EQ(e.record->resource_id, bitmaps[i]);
        EXPECT_EQ(e.record->image_flags, flags[i]);
    }
    for (size_t i : {1u, 2u}) {
        auto* needle = reinterpret_cast<ELEMENT_NEEDLE*>(g.element(i).record);
        EXPECT_EQ(needle->header.position.x, i == 1 ? 82 : 218);
        EXPECT_EQ(needle->header.position.y, 108);
        EXPECT_EQ(needle->header.offset.x, 3);
        EXPECT_EQ(needle->header.offset.y, 4);
        EXPECT_EQ(needle->nonlinearity_count, i == 1 ? 7u : 6u);
        EXPECT_EQ(needle->scale_words[0], 0u);
        EXPECT_EQ(needle->scale_words[1], 0u);
        const FAILURE_RECORD* f = needle->header.failures;
        ASSERT_NE(f, nullptr);
        EXPECT_EQ((std::vector<int>{f[0].key, f[0].action, f[1].key, f[1].action, f[2].key}),
                  (std::vector<int>{2, 0, 20, 2, 0}));
    }
    EXPECT_EQ(reinterpret_cast<ELEMENT_NEEDLE_700*>(g.element(2).record)->callback, nullptr);
    // Tooltips only: amperes/volts on the left half, oil pressure on the right.
    EXPECT_EQ(host.help_id_at(g, 0, 0), 43787);
    EXPECT_EQ(host.help_id_at(g, 149, 163), 43787);
    EXPECT_EQ(host.help_id_at(g, 150, 0), 43854);
    EXPECT_EQ(host.help_id_at(g, 299, 163), 43854);
    EXPECT_FALSE(host.click(g, 100, 100).handled);
}

// ---------------------------------------------------------------------------------------
// Propeller de-ice ammeter: with de-ice on it closes 3 % of the gap to the bus voltage per
// evaluation; off, it falls by 9 %.

class PropDeiceAmps : public Indicators {
protected:
    void SetUp() override {
        Indicators::SetUp();
        host.set_token(kBusVolts, 28.0);
        gauge = &add("Prop_De_Ice_Amps");
    }
    double reading() { return value_after_frame(*gauge); }
    panel::Gauge* gauge = nullptr;
};

TEST_F(PropDeiceAmps, SwitchedOnFromRest) {
    EXPECT_EQ(reading(), 0.0);
    host.set_token(kPropDeice, 1.0);
    EXPECT_NEAR(reading(), 0.84, 1e-12);
    EXPECT_NEAR(reading(), 1.6548, 1e-12);
    EXPECT_NEAR(reading(), 2.445156, 1e-12);
}

TEST_F(PropDeiceAmps, SwitchedOffAtFullReading) {
    host.set_token(kPropDeice, 1.0);
    host.frame(1500);
    EXPECT_NEAR(gauge->element(1).value, 28.0, 1e-9);
    EXPECT_NEAR(gauge->element(1).point_x, 68.0, 1e-6);
    EXPECT_NEAR(gauge->element(1).point_y, 33.0, 1e-6);
    host.set_token(kPropDeice, 0.0);
    EXPECT_NEAR(reading(), 25.48, 1e-9);
    EXPECT_NEAR(reading(), 23.1868, 1e-9);
}

// Only exactly 1.0 is on.
TEST_F(PropDeiceAmps, SwitchTokenNotExactlyOneIsOff) {
    host.set_token(kPropDeice, 1.0);
    const double on = reading();
    host.set_token(kPropDeice, 0.5);
    EXPECT_DOUBLE_EQ(reading(), on * 0.91);
}

TEST_F(PropDeiceAmps, Records) {
    ASSERT_EQ(gauge->elements().size(), 3u);
    EXPECT_EQ(gauge->size().x, 108);
    EXPECT_EQ(gauge->size().y, 108);
    EXPECT_EQ(gauge->element(0).record->image_flags, 0x8003u);
    auto* needle = reinterpret_cast<ELEMENT_NEEDLE*>(gauge->element(1).record);
    EXPECT_EQ(needle->header.resource_id, 1060);
    EXPECT_EQ(needle->header.image_flags, 0x4083u);
    EXPECT_EQ(needle->header.position.x, 54);
    EXPECT_EQ(needle->header.position.y, 56);
    EXPECT_EQ(needle->header.offset.x, 4);
    EXPECT_EQ(needle->header.offset.y, 3);
    const FAILURE_RECORD* f = needle->header.failures;
    ASSERT_NE(f, nullptr);
    EXPECT_EQ((std::vector<int>{f[0].key, f[0].action, f[1].key, f[1].action, f[2].key}),
              (std::vector<int>{20, 2, 2, 0, 0}));
    EXPECT_EQ(gauge->element(2).parent, 1) << "the cover is the needle's child";
    EXPECT_EQ(gauge->element(2).record->resource_id, 1070);
    EXPECT_EQ(gauge->element(2).record->image_flags, 0x3u);
    reading();
    EXPECT_DOUBLE_EQ(gauge->element(1).point_x, 35.0);
    EXPECT_DOUBLE_EQ(gauge->element(1).point_y, 40.0);
    EXPECT_EQ(host.help_id_at(*gauge, 54, 54), 0);
    EXPECT_FALSE(host.click(*gauge, 54, 54).handled);
}

// ---------------------------------------------------------------------------------------
// Magneto: pictures OFF, R, L, BOTH, START; the host fires the key events itself.

struct MagnetoCase {
    double left, right, starter;
    int index;
};

void PrintTo(const MagnetoCase& c, std::ostream* os) {
    *os << "L " << c.left << " R " << c.right << " starter " << c.starter;
}

class MagnetoPicture : public Indicators, public ::testing::WithParamInterface<MagnetoCase> {};

TEST_P(MagnetoPicture, FromTheTokens) {
    const MagnetoCase& c = GetParam();
    panel::Gauge& g = add("Magneto");
    host.set_token(399, c.left);
    host.set_token(400, c.right);
    host.set_token(401, c.starter);
    EXPECT_EQ(shown(g), c.index);
}

INSTANTIATE_TEST_SUITE_P(Tokens, MagnetoPicture,
                         ::testing::Values(MagnetoCase{0, 0, 0, 0}, MagnetoCase{0, 1, 0, 1}, MagnetoCase{1, 0, 0, 2},
                                           MagnetoCase{1, 1, 0, 3}, MagnetoCase{0, 0, 1, 4}, MagnetoCase{1, 1, 1, 4},
                                           MagnetoCase{1, 1, 0.5, 3}),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

class Magneto : public Indicators {
protected:
    void SetUp() override {
        Indicators::SetUp();
        key = &add("Magneto");
    }
    void towards_start() { host.click(*key, 70, 50); }
    void towards_off() { host.click(*key, 20, 50); }
    panel::Gauge* key = nullptr;
};

// The key turns one position per click; START springs back to BOTH once released.
TEST_F(Magneto, KeyPositions) {
    EXPECT_EQ(shown(*key), 0);
    std::vector<int> seen;
    for (int n = 0; n < 4; ++n) {
        towards_start();
        seen.push_back(shown(*key));
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(shown(*key), 3) << "released: back to BOTH";
    seen.clear();
    for (int n = 0; n < 4; ++n) {
        towards_off();
        seen.push_back(shown(*key));
    }
    EXPECT_EQ(seen, (std::vector<int>{2, 1, 0, 0}));
    EXPECT_EQ(event_ids(), (std::vector<uint32_t>{65635, 65635, 65635, 65635, 65634, 65634, 65634, 65634}));
    for (const panel::Event& e : host.events()) EXPECT_EQ(e.value, 0u);
    EXPECT_EQ(all_clicks(), 0u);
}

// Held on START, the host repeats the event and the key stays there.
TEST_F(Magneto, HeldAtStart) {
    host.set_token(399, 1.0);
    host.set_token(400, 1.0);
    host.hold(*key, 98 - 1, 97, 20);
    EXPECT_EQ(key->element(1).icon_index, 4);
    EXPECT_EQ(event_ids(), std::vector<uint32_t>(21, 65635));
    EXPECT_EQ(shown(*key), 4);
    EXPECT_EQ(shown(*key), 3);
}

TEST_F(Magneto, AreasAndRecords) {
    EXPECT_EQ(key->size().x, 98);
    EXPECT_EQ(key->size().y, 98);
    EXPECT_EQ(key->element(1).record->resource_id, 1041);
    EXPECT_EQ(reinterpret_cast<ELEMENT_ICON*>(key->element(1).record)->picture_count, 5);
    for (const panel::ElementState& e : key->elements()) EXPECT_EQ(e.record->image_flags, 0x3u);
    EXPECT_EQ(host.cursor_at(*key, 48, 0), CURSOR_DOWN_ARROW);
    EXPECT_EQ(host.cursor_at(*key, 49, 97), CURSOR_UP_ARROW);
    EXPECT_EQ(host.help_id_at(*key, 49, 49), 43845);
    for (const MOUSERECT* m = key->header()->mouse_rect + 1; m->kind == MOUSE_CHILD; ++m) {
        EXPECT_EQ(m->handler, nullptr);
        EXPECT_EQ(m->mouse_flags, MOUSE_LEFT_HELD);
    }
}

}  // namespace
