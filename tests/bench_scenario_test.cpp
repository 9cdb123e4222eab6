// Bench scenarios: reading them, running them on a host, laying out the panel, and the panel
// configuration written from them.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/support.h"
#include "tools/bench/scenario.h"

namespace {

bench::Scenario parse(const std::string& text) {
    std::istringstream in(text);
    return bench::parse_scenario(in, "test.scn");
}

bench::RunOptions options() {
    bench::RunOptions o;
    o.module_dir = GAUGE_MODULE_DIR;
    return o;
}

TEST(BenchScenario, ReadsPlacementsAsThePanelConfigurationWritesThem) {
    const bench::Scenario s = parse(
        "# comment\n"
        "gauge00=M470_Switches!Nav GPS Switch, 10, 20\n"
        "gauge01 = VARN_TESSARY_XPDR!VARN_tessary_XPDR, 30, 40, 77\n"
        "gauge02=M470_Switches!Amps_Oil_Pressure_Indicator, 1, 2, 150, engine 2, left\n"
        "label 5 6 7.5 STBY  VAC\n");
    ASSERT_EQ(s.placements.size(), 3u);
    EXPECT_EQ(s.placements[0].module, "M470_Switches");
    EXPECT_EQ(s.placements[0].gauge, "Nav GPS Switch");
    EXPECT_EQ(s.placements[0].x, 10);
    EXPECT_EQ(s.placements[0].y, 20);
    EXPECT_FALSE(s.placements[0].width.has_value());
    EXPECT_FALSE(s.placements[0].parameter.has_value());
    EXPECT_EQ(s.placements[1].key, "gauge01");
    EXPECT_EQ(s.placements[1].width, 77);
    EXPECT_EQ(s.placements[2].parameter, "engine 2, left");
    ASSERT_EQ(s.labels.size(), 1u);
    EXPECT_EQ(s.labels[0].text, "STBY  VAC");
    EXPECT_DOUBLE_EQ(s.labels[0].size, 7.5);
}

TEST(BenchScenario, AcceptsAPanelConfigurationWindow) {
    const bench::Scenario s = parse(
        "// written by hand\n"
        "[Window Titles]\n"
        "Window00=Main Panel\n"
        "[Window00]\n"
        "size_mm=640,480\n"
        "gauge00=tq36_lfuel!tq36_lfuel, 0, 0, 200\n");
    ASSERT_EQ(s.placements.size(), 1u);
    EXPECT_EQ(s.placements[0].gauge, "tq36_lfuel");
}

struct BadCase {
    const char* text;
    const char* message;  // expected in the error, with the line number
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.text; }

class BadScenario : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadScenario, IsRefusedNamingTheLine) {
    try {
        parse(GetParam().text);
        FAIL() << "accepted";
    } catch (const bench::ScenarioError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().message), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadScenario,
    ::testing::Values(
        BadCase{"gauge00=tq36_lfuel!tq36_lfuel, 0, 0\nfly 3\n", "test.scn:2: unknown command 'fly'"},
        BadCase{"gauge00=tq36_lfuel, 0, 0\n", "test.scn:1: a gauge is placed as"},
        BadCase{"gauge00=tq36_lfuel!tq36_lfuel, 0\n", "test.scn:1: gauge tq36_lfuel needs x and y"},
        BadCase{"gauge00=tq36_lfuel!tq36_lfuel, 0, zero\n", "test.scn:1: bad y 'zero'"},
        BadCase{"gauge00=tq36_lfuel!tq36_lfuel, 0, 0, -5\n", "test.scn:1: width must be positive"},
        BadCase{"gauge00=tq36_lfuel!tq36_lfuel, 0, 0\ngauge00=tq36_lfuel!tq36_lfuel, 9, 9\n", "test.scn:2: gauge00 is placed twice"},
        BadCase{"click gauge00 1 2\ngauge00=tq36_lfuel!tq36_lfuel, 0, 0\n", "test.scn:1: no gauge gauge00 is placed before"},
        BadCase{"gauge00=tq36_lfuel!tq36_lfuel, 0, 0\ntoken 304 lots\n", "test.scn:2: bad token value 'lots'"},
        BadCase{"gauge00=tq36_lfuel!tq36_lfuel, 0, 0\ntoken 304\n", "test.scn:2: usage: token"},
        BadCase{"gauge00=tq36_lfuel!tq36_lfuel, 0, 0\nframes -1\n", "test.scn:2: frame count must not be negative"},
        BadCase{"gauge00=tq36_lfuel!tq36_lfuel, 0, 0\npanel 100 100 grey\n", "test.scn:2: colours are written #RRGGBB"},
        BadCase{"# nothing here\n", "test.scn: places no gauge"}));

TEST(BenchScenario, UnknownGaugeOrModuleStopsTheRunAtItsLine) {
    const bench::Scenario wrong_gauge = parse("token 304 3\ngauge00=tq36_lfuel!tq36_rfuel, 0, 0\n");
    try {
        bench::run_scenario(wrong_gauge, options());
        FAIL() << "ran";
    } catch (const bench::ScenarioError& e) {
        EXPECT_NE(std::string(e.what()).find("test.scn:2: module tq36_lfuel has no gauge \"tq36_rfuel\""), std::string::npos)
            << e.what();
    }
    const bench::Scenario no_module = parse("gauge00=tq99_nothing!tq99, 0, 0\n");
    EXPECT_THROW(bench::run_scenario(no_module, options()), bench::ScenarioError);
}

// With skip_missing, gauges of modules that are not built are left out with a warning and
// the rest of the panel is drawn; a scenario left with nothing says so.
TEST(BenchScenario, SkippingMissingModulesDrawsTheRest) {
    bench::RunOptions o = options();
    o.skip_missing = true;
    std::ostringstream warnings;
    o.warnings = &warnings;
    const bench::Result r = bench::run_scenario(parse("gauge00=tq99_nothing!tq99, 0, 0\n"
                                                      "click gauge00 5 5\n"
                                                      "gauge01=VARN_TESSARY_XPDR!VARN_tessary_XPDR, 0, 0\n"),
                                                o);
    ASSERT_EQ(r.shown.size(), 1u);
    EXPECT_EQ(r.shown[0].placement.gauge, "VARN_tessary_XPDR");
    EXPECT_NE(warnings.str().find("tq99_nothing is not built"), std::string::npos) << warnings.str();
    EXPECT_THROW(bench::run_scenario(parse("gauge00=tq99_nothing!tq99, 0, 0\n"), o), bench::NothingPlaced);
}

// A gauge is drawn at its panel position, scaled to its width with its height in proportion;
// placards and the panel colour lie under it.
TEST(BenchScenario, LaysTheGaugesOutOnThePanel) {
    const bench::Result r = bench::run_scenario(parse("panel 200 130 #204060\n"
                                                      "gauge00=VARN_TESSARY_XPDR!VARN_tessary_XPDR, 10, 20, 77\n"
                                                      "label 150 100 12 XPDR\n"),
                                                options());
    ASSERT_EQ(r.picture.width, 200);
    ASSERT_EQ(r.picture.height, 130);
    ASSERT_EQ(r.shown.size(), 1u);
    EXPECT_EQ(r.shown[0].width, 77);
    EXPECT_EQ(r.shown[0].height, 82);  // 163 x 77 / 154, rounded
    const uint32_t panel_colour = 0xFF204060;
    EXPECT_EQ(r.picture.at(5, 5), panel_colour);
    EXPECT_EQ(r.picture.at(9, 50), panel_colour);
    EXPECT_EQ(r.picture.at(88, 50), panel_colour);
    EXPECT_EQ(r.picture.at(50, 103), panel_colour);
    EXPECT_EQ(r.picture.at(50, 19), panel_colour);
    for (auto [x, y] : {std::pair{10, 20}, {86, 20}, {10, 101}, {86, 101}, {48, 60}})
        EXPECT_NE(r.picture.at(x, y), panel_colour) << x << ", " << y;
    int placard = 0;
    for (int y = 94; y < 106; ++y)
        for (int x = 130; x < 170; ++x) placard += r.picture.at(x, y) != panel_colour;
    EXPECT_GT(placard, 20);

    // Without a panel line the picture is just big enough, and transparent around the gauges.
    const bench::Result bare = bench::run_scenario(parse("gauge00=VARN_TESSARY_XPDR!VARN_tessary_XPDR, 5, 0\n"), options());
    EXPECT_EQ(bare.picture.width, 159);
    EXPECT_EQ(bare.picture.height, 163);
    EXPECT_EQ(bare.picture.alpha(2, 80), 0u);
}

// Steps run in order: a click acts on what the tokens say at that moment, and the picture
// shows the state after the last frame.
TEST(BenchScenario, RunsTheStepsInOrder) {
    const bench::Result before = bench::run_scenario(parse("gauge00=VARN_TESSARY_XPDR!VARN_tessary_XPDR, 0, 0\n"
                                                           "token 38 0x1200\n"),
                                                     options());
    const bench::Result after = bench::run_scenario(parse("gauge00=VARN_TESSARY_XPDR!VARN_tessary_XPDR, 0, 0\n"
                                                          "token 38 0x1200\n"
                                                          "click gauge00 56 40\n"
                                                          "frames 1\n"),
                                                    options());
    // Digit 2 stepped from 2 to 3; digit 1 untouched.
    auto box = [](const bench::Image& p, int k) {
        std::vector<uint32_t> v;
        for (int y = 16; y < 51; ++y)
            for (int x = 6 + 40 * (k - 1); x < 26 + 40 * (k - 1); ++x) v.push_back(p.at(x, y));
        return v;
    };
    EXPECT_EQ(box(before.picture, 1), box(after.picture, 1));
    EXPECT_NE(box(before.picture, 2), box(after.picture, 2));
}

// The panel configuration written from a run places the same gauges at the same places,
// widths resolved, and reads back as the same layout.
TEST(BenchScenario, PanelConfigurationReadsBackAsTheSameLayout) {
    const bench::Result r = bench::run_scenario(parse("gauge00=VARN_TESSARY_XPDR!VARN_tessary_XPDR, 10, 20\n"
                                                      "gauge07=tq36_lfuel!tq36_lfuel, 200, 0, 100\n"),
                                                options());
    const std::string cfg = bench::panel_cfg(r, "test");
    EXPECT_NE(cfg.find("[Window00]\n"), std::string::npos) << cfg;
    EXPECT_NE(cfg.find("gauge00=VARN_TESSARY_XPDR!VARN_tessary_XPDR, 10, 20, 154\n"), std::string::npos) << cfg;
    EXPECT_NE(cfg.find("gauge01=tq36_lfuel!tq36_lfuel, 200, 0, 100\n"), std::string::npos) << cfg;
    const bench::Scenario back = parse(cfg);
    ASSERT_EQ(back.placements.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(back.placements[i].module, r.shown[i].placement.module);
        EXPECT_EQ(back.placements[i].gauge, r.shown[i].placement.gauge);
        EXPECT_EQ(back.placements[i].x, r.shown[i].placement.x);
        EXPECT_EQ(back.placements[i].y, r.shown[i].placement.y);
        EXPECT_EQ(back.placements[i].width, r.shown[i].width);
    }
}

}  // namespace
