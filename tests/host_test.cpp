// The panel host emulator's own rules, checked with a small probe module.
#include <math.h>

#include "tests/support.h"

namespace {

using testing_support::PanelTest;

class HostChecks : public PanelTest {};

TEST_F(HostChecks, StringThatFitsItsBufferIsRead) {
    panel::Gauge& g = place("probe_fixture", "probe");
    host.set_token(9000, 3);  // exactly max_chars characters and the null
    host.frame();
    EXPECT_EQ(g.element(1).text, "xxx");
}

TEST_F(HostChecks, TextBufferOverrunFailsLoudly) {
    place("probe_fixture", "probe");
    host.set_token(9000, 4);
    EXPECT_THROW(host.frame(), panel::HostFault);
    ASSERT_FALSE(host.faults().empty());
    EXPECT_NE(host.faults().front().find("overran"), std::string::npos);
}

struct MouseCase {
    int x, y;
    panel::Press press;
    std::vector<uint32_t> events;
};

void PrintTo(const MouseCase& c, std::ostream* os) {
    *os << (c.press == panel::Press::single ? "press" : "repeat") << " at " << c.x << "," << c.y;
}

class NestedMouse : public PanelTest, public ::testing::WithParamInterface<MouseCase> {};

// Children of a nested parent are offset by the parent: (33, 0, 33, 56) under
// (34, 13, 66, 56) covers gauge pixels x 67 to 99, y 13 to 68.
TEST_P(NestedMouse, ClickReachesTheAreaUnderThePoint) {
    const MouseCase& c = GetParam();
    panel::Gauge& g = place("probe_fixture", "nested");
    host.mouse(g, c.x, c.y, c.press);
    EXPECT_EQ(event_ids(), c.events);
}

INSTANTIATE_TEST_SUITE_P(
    Areas, NestedMouse,
    ::testing::Values(MouseCase{67, 13, panel::Press::single, {2}}, MouseCase{99, 68, panel::Press::single, {2}},
                      MouseCase{100, 13, panel::Press::single, {}}, MouseCase{67, 69, panel::Press::single, {}},
                      MouseCase{66, 13, panel::Press::single, {1}}, MouseCase{34, 13, panel::Press::single, {1}},
                      MouseCase{33, 13, panel::Press::single, {}}, MouseCase{67, 13, panel::Press::repeat, {}},
                      MouseCase{5, 5, panel::Press::single, {3}}, MouseCase{5, 5, panel::Press::repeat, {3}}));

TEST_F(HostChecks, HelpIdIsTheInnermostParentUnderTheCursor) {
    panel::Gauge& nested = place("probe_fixture", "nested");
    EXPECT_EQ(host.help_id_at(nested, 5, 75), 4242);
    EXPECT_EQ(host.help_id_at(nested, 50, 20), 0);
    EXPECT_EQ(host.help_id_at(nested, 11, 75), 0);
    panel::Gauge& probe = place("probe_fixture", "probe");
    EXPECT_EQ(host.help_id_at(probe, 0, 0), 7);
    EXPECT_EQ(host.help_id_at(probe, 99, 79), 7);
    EXPECT_EQ(host.help_id_at(probe, 100, 79), 0);
}

TEST_F(HostChecks, KilledGaugeTakesNoClicks) {
    panel::Gauge& g = place("probe_fixture", "nested");
    host.kill(g);
    EXPECT_EQ(host.click(g, 5, 5).area, -1);
    EXPECT_TRUE(host.events().empty());
}

struct ScaleCase {
    double value, x, y;
};

TEST(NeedleScale, AimsAtTheInterpolatedPointAndClampsAtTheEnds) {
    const NONLINEARITY table[] = {{31, 29, 0.0, 0.0}, {133, 30, 20.0, 0.0}, {133, 30, 25.0, 0.0}, {186, 40, 9999.0, 0.0}};
    const ScaleCase cases[] = {
        {0.0, 31, 29},     {10.0, 82, 29.5},  {20.0, 133, 30},   {22.5, 133, 30},
        {-5.0, 31, 29},    {1e9, 186, 40},    {NAN, 31, 29},     {9999.0, 186, 40},
        {-INFINITY, 31, 29}, {INFINITY, 186, 40},
    };
    for (const ScaleCase& c : cases) {
        double x = -1, y = -1;
        panel::Host::interpolate(table, 4, c.value, &x, &y);
        EXPECT_DOUBLE_EQ(x, c.x) << "value " << c.value;
        EXPECT_DOUBLE_EQ(y, c.y) << "value " << c.value;
    }
}

}  // namespace
