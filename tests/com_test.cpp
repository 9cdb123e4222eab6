// The COM transceiver head, driven through the host emulator by clicking pixels of the face.
#include "tests/radio_support.h"

namespace {

using namespace radio_support;
using testing_support::PanelTest;

constexpr int32_t kToken = 23;
constexpr uint32_t kWholeDown = 65636, kWholeUp = 65637, kFractionDown = 65638, kFractionUp = 65639;
constexpr uint32_t kSet = 65707;

class ComHead : public PanelTest {
protected:
    void SetUp() override {
        gauge = &place("tessary_com", "VARN_TESSARY_COM");
        host.frame();
    }
    std::string active_text() {
        host.frame();
        return gauge->element(1).text;
    }
    std::string standby_text() {
        host.frame();
        return gauge->element(2).text;
    }
    bool overlay_shown() { return !gauge->element(3).hidden(); }
    panel::ClickResult click(const Spot& s) { return host.click(*gauge, s.x, s.y); }
    void clicks(const std::vector<Spot>& spots) {
        for (const Spot& s : spots) click(s);
    }
    // Puts a host-form frequency into the standby through the transfer button, then tunes
    // the active frequency; the event log starts empty.
    void set_frequencies(uint32_t active, uint32_t standby_host_form) {
        host.set_token_u32(kToken, standby_host_form);
        click(kTransfer);
        host.set_token_u32(kToken, active);
        host.frame();
        host.clear_events();
    }
    // The standby as the simulator would receive it: transfers it and reads the set event.
    uint32_t standby_sent() {
        host.clear_events();
        click(kTransfer);
        return host.events().empty() ? 0xFFFFFFFF : host.events().back().value;
    }
    std::vector<panel::Event> events() const { return host.events(); }

    panel::Gauge* gauge = nullptr;
};

TEST_F(ComHead, AtLoadTheStandbyIs118WithA25KhzStepAndTheKnobPictureHidden) {
    EXPECT_EQ(standby_text(), "118.00");
    EXPECT_FALSE(overlay_shown());
    host.set_token_u32(kToken, 0x2280);
    EXPECT_EQ(active_text(), "122.80");
    // A 25 kHz step: one knob step up from 118.000 goes out as 118.025.
    host.set_token_u32(kToken, 0x1800);
    click(kKnobRight);
    EXPECT_EQ(events(), (std::vector<panel::Event>{{kSet, 0x1802}}));
}

TEST_F(ComHead, TransferBeforeAnyChangeSends118) {
    host.set_token_u32(kToken, 0x2280);
    click(kTransfer);
    EXPECT_EQ(events(), (std::vector<panel::Event>{{kSet, 0x1800}}));
    EXPECT_EQ(standby_text(), "122.80");
    EXPECT_EQ(active_text(), "118.00");
}

// The standby keeps the 25 kHz channel that the host form marks with a last digit of 7.
TEST_F(ComHead, TransferRestoresTheQuarterChannel) {
    host.set_token_u32(kToken, 0x1807);
    click(kTransfer);
    EXPECT_EQ(events(), (std::vector<panel::Event>{{kSet, 0x1800}}));
    EXPECT_EQ(standby_text(), "118.07");
    // 118.075 + 25 kHz is 118.100 (118.070 would give 118.095).
    click(kStandbyFractionUp);
    EXPECT_EQ(standby_text(), "118.10");
    EXPECT_EQ(standby_sent(), 0x1810u);
}

struct StandbyCase {
    const char* what;
    uint32_t standby;      // host form, put into the standby by a transfer
    int knob_pushes;       // 1 switches to the 50 kHz step
    std::vector<Spot> spots;
    const char* shown;
    uint32_t sent;         // the standby as a later transfer sends it
};
void PrintTo(const StandbyCase& c, std::ostream* os) { *os << c.what; }

class ComStandby : public ComHead, public ::testing::WithParamInterface<StandbyCase> {};

// The standby steps here by a MHz or by the channel step, stopping at 118.000 and 137.000.
TEST_P(ComStandby, StepsStopAtTheBandEdges) {
    const StandbyCase& c = GetParam();
    set_frequencies(0x2280, c.standby);
    for (int i = 0; i < c.knob_pushes; ++i) click(kKnobCentre);
    clicks(c.spots);
    EXPECT_EQ(standby_text(), c.shown);
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(standby_sent(), c.sent);
}

INSTANTIATE_TEST_SUITE_P(
    Areas, ComStandby,
    ::testing::Values(
        StandbyCase{"fraction up by 25 kHz", 0x1800, 0, {kStandbyFractionUp}, "118.02", 0x1802},
        StandbyCase{"four fraction steps reach 118.100", 0x1800, 0,
                    {kStandbyFractionUp, kStandbyFractionUp, kStandbyFractionUp, kStandbyFractionUp}, "118.10", 0x1810},
        StandbyCase{"fraction up by 50 kHz", 0x1800, 1, {kStandbyFractionUp}, "118.05", 0x1805},
        StandbyCase{"fraction up at 137.000 stays", 0x3650, 0, {kStandbyWholeUp, kStandbyFractionUp}, "137.00", 0x3700},
        StandbyCase{"whole up from 136.500 stops at 137.000", 0x3650, 0, {kStandbyWholeUp}, "137.00", 0x3700},
        StandbyCase{"whole down from 118.500 stops at 118.000", 0x1850, 0, {kStandbyWholeDown}, "118.00", 0x1800},
        StandbyCase{"fraction down from 118.025 by 50 kHz stops at 118.000", 0x1802, 1, {kStandbyFractionDown},
                    "118.00", 0x1800},
        StandbyCase{"fraction down borrows from the MHz", 0x1900, 0, {kStandbyFractionDown}, "118.97", 0x1897},
        StandbyCase{"whole up keeps the fraction", 0x2282, 0, {kStandbyWholeUp}, "123.82", 0x2382},
        StandbyCase{"whole down keeps the fraction", 0x2282, 0, {kStandbyWholeDown}, "121.82", 0x2182},
        // A standby taken from an untuned active frequency (000.00): a MHz step down stops
        // at the bottom of the band rather than jumping to its top.
        StandbyCase{"whole down from 100.000 stops at 118.000", 0x0000, 0, {kStandbyWholeDown}, "118.00", 0x1800},
        StandbyCase{"fraction down from 100.000 stops at 118.000", 0x0000, 0, {kStandbyFractionDown}, "118.00", 0x1800},
        StandbyCase{"whole up from 100.000 stops at 118.000", 0x0000, 0, {kStandbyWholeUp}, "118.00", 0x1800}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

struct KnobCase {
    const char* what;
    uint32_t active;
    int knob_pushes;
    Spot spot;
    uint32_t sent;
};
void PrintTo(const KnobCase& c, std::ostream* os) { *os << c.what; }

class ComKnob : public ComHead, public ::testing::WithParamInterface<KnobCase> {};

// The knob tunes the active frequency one channel round 118.000 to 136.975 MHz with the set
// event, dropping the 1 kHz digit; the standby stays.
TEST_P(ComKnob, StepsTheActiveFrequencyRoundTheBand) {
    const KnobCase& c = GetParam();
    set_frequencies(c.active, 0x2282);
    for (int i = 0; i < c.knob_pushes; ++i) click(kKnobCentre);
    click(c.spot);
    EXPECT_EQ(events(), (std::vector<panel::Event>{{kSet, c.sent}}));
    EXPECT_EQ(host.token_u32(kToken), c.sent);
    EXPECT_EQ(standby_sent(), 0x2282u);
}

INSTANTIATE_TEST_SUITE_P(
    Thirds, ComKnob,
    ::testing::Values(
        KnobCase{"up 25 kHz from 118.025", 0x1802, 0, kKnobRight, 0x1805},
        KnobCase{"down 25 kHz from 118.025", 0x1802, 0, kKnobLeft, 0x1800},
        KnobCase{"up 50 kHz from 118.025", 0x1802, 1, kKnobRight, 0x1807},
        KnobCase{"down 25 kHz at the bottom wraps to 136.975", 0x1800, 0, kKnobLeft, 0x3697},
        KnobCase{"down 50 kHz at the bottom wraps to 136.950", 0x1800, 1, kKnobLeft, 0x3695},
        KnobCase{"up 25 kHz at 136.975 wraps to 118.000", 0x3697, 0, kKnobRight, 0x1800},
        KnobCase{"up 50 kHz at 136.975 wraps to 118.000", 0x3697, 1, kKnobRight, 0x1800},
        KnobCase{"up 50 kHz at 136.950 wraps to 118.000", 0x3695, 1, kKnobRight, 0x1800},
        KnobCase{"up from 122.975 carries into the MHz", 0x2297, 0, kKnobRight, 0x2300},
        KnobCase{"down from 123.000 borrows from the MHz", 0x2300, 0, kKnobLeft, 0x2297},
        // An active frequency the simulator never tuned: the step down still wraps to the
        // top of the band instead of sending a negative number.
        KnobCase{"down from 000.00 wraps to 136.975", 0x0000, 0, kKnobLeft, 0x3697},
        KnobCase{"down from 000.00 by 50 kHz wraps to 136.950", 0x0000, 1, kKnobLeft, 0x3695}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// The knob's centre switches the channel step and the knob's second picture; no event.
TEST_F(ComHead, KnobCentreSwitchesTheChannelStep) {
    host.set_token_u32(kToken, 0x1800);
    click(kKnobCentre);
    EXPECT_FALSE(overlay_shown()) << "the first push sets 50 kHz and leaves the picture hidden";
    click(kKnobRight);
    click(kKnobCentre);
    EXPECT_TRUE(overlay_shown());
    click(kKnobRight);
    EXPECT_EQ(events(), (std::vector<panel::Event>{{kSet, 0x1805}, {kSet, 0x1807}}));
    click(kKnobCentre);
    EXPECT_FALSE(overlay_shown());
}

// All three knob thirds repeat while held; the centre switches the step at every repeat.
TEST_F(ComHead, HoldingTheKnobRepeats) {
    host.hold(*gauge, kKnobCentre.x, kKnobCentre.y, 2);  // 25 -> 50 -> 25 -> 50
    EXPECT_TRUE(events().empty());
    EXPECT_FALSE(overlay_shown());
    host.set_token_u32(kToken, 0x1800);
    host.hold(*gauge, kKnobRight.x, kKnobRight.y, 2);
    EXPECT_EQ(events(), (std::vector<panel::Event>{{kSet, 0x1805}, {kSet, 0x1810}, {kSet, 0x1815}}));
    host.clear_events();
    host.hold(*gauge, kKnobCentre.x, kKnobCentre.y, 0);  // back to 25 kHz, picture shown
    EXPECT_TRUE(overlay_shown());
    host.hold(*gauge, kKnobLeft.x, kKnobLeft.y, 1);
    EXPECT_EQ(events(), (std::vector<panel::Event>{{kSet, 0x1812}, {kSet, 0x1810}}));
    EXPECT_EQ(active_text(), "118.10");
}

TEST_F(ComHead, StandbyAndTransferAreasDoNotRepeat) {
    host.hold(*gauge, kStandbyWholeUp.x, kStandbyWholeUp.y, 3);
    EXPECT_EQ(standby_text(), "119.00");
    host.hold(*gauge, kTransfer.x, kTransfer.y, 3);
    EXPECT_EQ(events().size(), 1u);
}

struct ActiveCase {
    const char* what;
    uint32_t active;
    Spot spot;
    uint32_t event;
    const char* shown;
};
void PrintTo(const ActiveCase& c, std::ostream* os) { *os << c.what; }

class ComActive : public ComHead, public ::testing::WithParamInterface<ActiveCase> {};

// The areas under the active digits fire the COM step events with value 0; the simulator
// steps in 25 kHz channels and the display follows its token.
TEST_P(ComActive, AsksTheSimulatorToStep) {
    const ActiveCase& c = GetParam();
    set_frequencies(c.active, 0x1800);
    click(c.spot);
    EXPECT_EQ(events(), (std::vector<panel::Event>{{c.event, 0}}));
    EXPECT_EQ(active_text(), c.shown);
    EXPECT_EQ(standby_text(), "118.00");
}

INSTANTIATE_TEST_SUITE_P(
    Areas, ComActive,
    ::testing::Values(
        ActiveCase{"whole down", 0x2280, kActiveWholeDown, kWholeDown, "121.80"},
        ActiveCase{"whole up", 0x2280, kActiveWholeUp, kWholeUp, "123.80"},
        ActiveCase{"fraction down", 0x2280, kActiveFractionDown, kFractionDown, "122.77"},
        ActiveCase{"fraction up", 0x2280, kActiveFractionUp, kFractionUp, "122.82"},
        ActiveCase{"fraction up from a quarter channel", 0x1802, kActiveFractionUp, kFractionUp, "118.05"},
        ActiveCase{"fraction down wraps inside the MHz", 0x1800, kActiveFractionDown, kFractionDown, "118.97"},
        ActiveCase{"fraction up wraps inside the MHz", 0x1897, kActiveFractionUp, kFractionUp, "118.00"},
        ActiveCase{"whole down at the bottom wraps", 0x1850, kActiveWholeDown, kWholeDown, "136.50"},
        ActiveCase{"whole up at the top wraps", 0x3697, kActiveWholeUp, kWholeUp, "118.97"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

class ComDeadSpots : public ComHead, public ::testing::WithParamInterface<Spot> {};

// The drawn mode selector, push buttons and the displays themselves are not clickable.
TEST_P(ComDeadSpots, ClickDoesNothing) {
    set_frequencies(0x2280, 0x1802);
    const panel::ClickResult result = click(GetParam());
    EXPECT_FALSE(result.handled);
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(active_text(), "122.80");
    EXPECT_EQ(standby_text(), "118.02");
    EXPECT_FALSE(overlay_shown());
}

INSTANTIATE_TEST_SUITE_P(Face, ComDeadSpots, ::testing::ValuesIn(dead_spots()),
                         [](const auto& info) { return "spot" + std::to_string(info.index); });

// Whatever the host holds, the displays print what the conversions give and stay inside
// their buffers (the host's guard bytes would fail the frame).
TEST_F(ComHead, UnexpectedTokenValuesNeverOverrunTheDisplays) {
    const std::pair<uint32_t, const char*> shown[] = {
        {0xFFFFFFFF, "???.??"}, {0x00000A0B, "10:.0;"}, {0x00F21802, "318.02"}, {0x7FF01802, "118.02"}, {0, "100.00"},
    };
    for (const auto& [token, text] : shown) {
        host.set_token_u32(kToken, token);
        EXPECT_NO_THROW(EXPECT_EQ(active_text(), text));
    }
    // Transferred into the standby it shows from its host form; the next step brings it back
    // into the band.
    host.set_token_u32(kToken, 0x0000FFFF);
    click(kTransfer);
    EXPECT_EQ(standby_text(), "1??.??");
    click(kStandbyFractionDown);
    EXPECT_EQ(standby_text(), "137.00");
    host.set_token_u32(kToken, 0xFFFFFFFF);
    click(kKnobRight);
    EXPECT_EQ(active_text(), "118.00");
    EXPECT_TRUE(host.faults().empty());
}

TEST_F(ComHead, ElementTree) {
    const std::vector<panel::ElementState>& tree = gauge->elements();
    ASSERT_EQ(tree.size(), 4u);
    for (const panel::ElementState& e : tree) expect_head_element(e.record, gauge->header());

    const ELEMENT_HEADER* face = tree[0].record;
    EXPECT_EQ(face->type, ELEMENT_TYPE_STATIC_IMAGE);
    EXPECT_EQ(face->resource_id, 4096);
    EXPECT_EQ(face->image_flags, 0x4002u);
    EXPECT_EQ(gauge->size().x, 154);
    EXPECT_EQ(gauge->size().y, 163);

    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(tree[i].parent, 0);
        EXPECT_EQ(tree[i].record->children, nullptr);
    }
    auto* active = reinterpret_cast<const ELEMENT_STRING*>(tree[1].record);
    auto* standby = reinterpret_cast<const ELEMENT_STRING*>(tree[2].record);
    expect_frequency_display(active, 16, kToken, 0x00FFFF);
    expect_frequency_display(standby, 48, 1, 0x0064FF);
    EXPECT_EQ(highlight_triples(active->highlight_list), (std::vector<int32_t>{4, 0, 2, 5, 4, 5, 0, -1, -1}));
    EXPECT_EQ(standby->highlight_list, nullptr);

    const ELEMENT_HEADER* knob = tree[3].record;
    EXPECT_EQ(knob->type, ELEMENT_TYPE_STATIC_IMAGE);
    EXPECT_EQ(knob->resource_id, 12288);
    EXPECT_EQ(knob->image_flags, 0x40000002u);
    EXPECT_EQ(knob->position.x, 90);
    EXPECT_EQ(knob->position.y, 90);
    ASSERT_NE(tree[3].image, nullptr);
    EXPECT_EQ(tree[3].image->size.x, 55);
    EXPECT_EQ(tree[3].image->size.y, 56);
}

TEST_F(ComHead, MouseListHeaderAndVersion) {
    expect_mouse_list(gauge->mouse_list(),
                      face_areas({MOUSE_CHILD, {110, 90, 20, 50}, CURSOR_HAND, 0x20200000},
                                 {MOUSE_CHILD, {130, 90, 20, 50}, CURSOR_UP_ARROW, 0x20200000}));
    EXPECT_EQ(gauge->header()->size_x_mm, 70u);
    EXPECT_TRUE(version_resource_holds(gauge->module(), "0.2.0"));
    EXPECT_TRUE(version_resource_holds(gauge->module(), "VARN_TESSARY_COM")) << "product name";
}

// The module keeps its state while loaded and starts afresh at the next load.
TEST(ComReload, StateStartsAfreshAtTheNextLoad) {
    for (int load = 0; load < 2; ++load) {
        panel::Host host;
        panel::Module& m = host.load(testing_support::module_path("tessary_com"));
        panel::Gauge& g = host.place(m, "VARN_TESSARY_COM");
        host.frame();
        EXPECT_EQ(g.element(2).text, "118.00") << "load " << load;
        EXPECT_TRUE(g.element(3).hidden()) << "load " << load;
        host.click(g, kStandbyWholeUp.x, kStandbyWholeUp.y);
        host.click(g, kKnobCentre.x, kKnobCentre.y);
        host.click(g, kKnobCentre.x, kKnobCentre.y);
        host.frame();
        EXPECT_EQ(g.element(2).text, "119.00");
        EXPECT_FALSE(g.element(3).hidden());
    }
}

}  // namespace
