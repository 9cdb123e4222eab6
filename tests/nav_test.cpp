// The NAV receiver heads, driven through the host emulator by clicking pixels of the face.
// Every case runs against both modules: receiver 2 must use its own token and events.
#include <tuple>

#include "tests/radio_support.h"

namespace {

using namespace radio_support;
using testing_support::PanelTest;

struct Receiver {
    const char* deliverable;
    const char* gauge;
    int32_t token;        // active frequency
    int32_t other_token;  // the other receiver's, which this head must ignore
    int32_t mhz_selection, fraction_selection;
    uint32_t whole_down, whole_up, fraction_down, fraction_up, set, knob_push;
};

const Receiver kNav1{"tessary_nav1", "VARN_TESSARY_NAV1", 24, 27, 6, 7, 65640, 65641, 65642, 65643, 65708, 65842};
const Receiver kNav2{"tessary_nav2", "VARN_TESSARY_NAV2", 27, 24, 8, 9, 65644, 65645, 65646, 65647, 65709, 65843};

void PrintTo(const Receiver& r, std::ostream* os) { *os << r.gauge; }

const auto kReceivers = ::testing::Values(kNav1, kNav2);

class NavHead : public PanelTest {
protected:
    void open(const Receiver& receiver) {
        r = receiver;
        gauge = &place(r.deliverable, r.gauge);
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
    // Puts a frequency into the standby through the transfer button, then tunes the active
    // frequency to `active`; the event log starts empty.
    void set_frequencies(uint32_t active, uint32_t standby) {
        host.set_token_u32(r.token, standby);
        click(kTransfer);
        host.set_token_u32(r.token, active);
        host.frame();
        host.clear_events();
    }
    std::vector<panel::Event> events() const { return host.events(); }

    Receiver r{};
    panel::Gauge* gauge = nullptr;
};

class NavReceiver : public NavHead, public ::testing::WithParamInterface<Receiver> {
protected:
    void SetUp() override { open(GetParam()); }
};

TEST_P(NavReceiver, AtLoadTheStandbyIs108AndTheKnobPictureHidden) {
    EXPECT_EQ(standby_text(), "108.00");
    EXPECT_FALSE(overlay_shown());
    host.set_token_u32(r.token, 0x1340);
    host.set_token_u32(r.other_token, 0x1795);
    EXPECT_EQ(active_text(), "113.40");
    EXPECT_TRUE(events().empty());
}

TEST_P(NavReceiver, TransferTunesTheStandbyAndKeepsTheActive) {
    host.set_token_u32(r.token, 0x1340);
    host.frame();
    click(kTransfer);
    EXPECT_EQ(events(), (std::vector<panel::Event>{{r.set, 0x0800}}));
    EXPECT_EQ(standby_text(), "113.40");
    EXPECT_EQ(active_text(), "108.00");
    // And back again.
    host.clear_events();
    click(kTransfer);
    EXPECT_EQ(events(), (std::vector<panel::Event>{{r.set, 0x1340}}));
    EXPECT_EQ(standby_text(), "108.00");
    EXPECT_EQ(active_text(), "113.40");
}

// Each push fires the receiver's push event once and flips the knob's second picture.
TEST_P(NavReceiver, KnobPushTogglesTheSecondPicture) {
    click(kKnobCentre);
    EXPECT_EQ(events(), (std::vector<panel::Event>{{r.knob_push, 0}}));
    EXPECT_TRUE(overlay_shown());
    click(kKnobCentre);
    EXPECT_FALSE(overlay_shown());
    click(kKnobCentre);
    EXPECT_TRUE(overlay_shown());
    EXPECT_EQ(events().size(), 3u);
}

TEST_P(NavReceiver, HoldingTheCentrePushesOnceHoldingASideRepeats) {
    host.hold(*gauge, kKnobCentre.x, kKnobCentre.y, 4);
    EXPECT_EQ(events(), (std::vector<panel::Event>{{r.knob_push, 0}}));
    EXPECT_TRUE(overlay_shown());

    host.set_token_u32(r.token, 0x1340);
    host.clear_events();
    host.hold(*gauge, kKnobRight.x, kKnobRight.y, 3);
    EXPECT_EQ(events(), (std::vector<panel::Event>{{r.set, 0x1345}, {r.set, 0x1350}, {r.set, 0x1355}, {r.set, 0x1360}}));
    host.clear_events();
    host.hold(*gauge, kKnobLeft.x, kKnobLeft.y, 1);
    EXPECT_EQ(events(), (std::vector<panel::Event>{{r.set, 0x1355}, {r.set, 0x1350}}));
    EXPECT_EQ(active_text(), "113.50");
}

TEST_P(NavReceiver, StandbyAndTransferAreasDoNotRepeat) {
    host.hold(*gauge, kStandbyFractionUp.x, kStandbyFractionUp.y, 3);
    EXPECT_EQ(standby_text(), "108.05");
    host.hold(*gauge, kTransfer.x, kTransfer.y, 3);
    EXPECT_EQ(events().size(), 1u);
}

TEST_P(NavReceiver, EveryAreaShowsItsCursor) {
    const std::pair<Spot, int32_t> cursors[] = {
        {kActiveWholeDown, CURSOR_DOWN_ARROW}, {kActiveWholeUp, CURSOR_UP_ARROW},
        {kStandbyFractionDown, CURSOR_DOWN_ARROW}, {kStandbyFractionUp, CURSOR_UP_ARROW},
        {kTransfer, CURSOR_HAND}, {kKnobLeft, CURSOR_DOWN_ARROW}, {kKnobCentre, CURSOR_HAND},
        {kKnobRight, CURSOR_UP_ARROW}, {dead_spots().front(), CURSOR_NONE},
    };
    for (const auto& [spot, cursor] : cursors) EXPECT_EQ(host.cursor_at(*gauge, spot.x, spot.y), cursor) << spot.name;
    EXPECT_EQ(host.help_id_at(*gauge, 60, 60), 0);
}

// Whatever the host holds, the displays print what the conversions give and stay inside
// their buffers (the host's guard bytes would fail the frame).
TEST_P(NavReceiver, UnexpectedTokenValuesNeverOverrunTheDisplays) {
    const std::pair<uint32_t, const char*> shown[] = {
        {0xFFFFFFFF, "???.??"}, {0x00000A0B, "10:.0;"}, {0x00F21795, "317.95"}, {0x7FF01795, "117.95"}, {0, "100.00"},
    };
    for (const auto& [token, text] : shown) {
        host.set_token_u32(r.token, token);
        EXPECT_NO_THROW(EXPECT_EQ(active_text(), text));
    }
    // Transferred into the standby, the value shows as it stands; the next step brings it
    // back into the band.
    host.set_token_u32(r.token, 0xFFFFFFFF);
    click(kTransfer);
    EXPECT_EQ(standby_text(), "???.??");
    click(kStandbyFractionUp);
    EXPECT_EQ(standby_text(), "117.95");
    // The knob's steps run without fault.
    host.set_token_u32(r.token, 0xFFFFFFFF);
    click(kKnobRight);
    EXPECT_EQ(active_text(), "108.00");
    EXPECT_TRUE(host.faults().empty());
}

// The records as the host reads them.
TEST_P(NavReceiver, ElementTree) {
    const std::vector<panel::ElementState>& tree = gauge->elements();
    ASSERT_EQ(tree.size(), 4u);
    for (const panel::ElementState& e : tree) expect_head_element(e.record, gauge->header());

    const ELEMENT_HEADER* face = tree[0].record;
    EXPECT_EQ(face->type, ELEMENT_TYPE_STATIC_IMAGE);
    EXPECT_EQ(face->resource_id, 4096);
    EXPECT_EQ(face->image_flags, 0x4001u);
    EXPECT_EQ(face->position.x, 0);
    EXPECT_EQ(face->position.y, 0);
    EXPECT_EQ(gauge->size().x, 154);
    EXPECT_EQ(gauge->size().y, 163);

    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(tree[i].parent, 0);
        EXPECT_EQ(tree[i].record->children, nullptr);
    }
    auto* active = reinterpret_cast<const ELEMENT_STRING*>(tree[1].record);
    auto* standby = reinterpret_cast<const ELEMENT_STRING*>(tree[2].record);
    expect_frequency_display(active, 16, r.token, 0x00FFFF);
    expect_frequency_display(standby, 48, 1, 0x0064FF);
    EXPECT_EQ(highlight_triples(active->highlight_list),
              (std::vector<int32_t>{r.mhz_selection, 0, 2, r.fraction_selection, 4, 5, 0, -1, -1}));
    EXPECT_EQ(standby->highlight_list, nullptr);

    const ELEMENT_HEADER* knob = tree[3].record;
    EXPECT_EQ(knob->type, ELEMENT_TYPE_STATIC_IMAGE);
    EXPECT_EQ(knob->resource_id, 8192);
    EXPECT_EQ(knob->image_flags, 0x40000002u);
    EXPECT_EQ(knob->position.x, 90);
    EXPECT_EQ(knob->position.y, 90);
    ASSERT_NE(tree[3].image, nullptr);
    EXPECT_EQ(tree[3].image->size.x, 62);
    EXPECT_EQ(tree[3].image->size.y, 62);
}

TEST_P(NavReceiver, MouseListHeaderAndVersion) {
    expect_mouse_list(gauge->mouse_list(),
                      face_areas({MOUSE_CHILD, {130, 90, 20, 50}, CURSOR_UP_ARROW, 0x20200000},
                                 {MOUSE_CHILD, {110, 90, 20, 50}, CURSOR_HAND, 0x20000000}));
    EXPECT_EQ(gauge->header()->size_x_mm, 70u);
    EXPECT_TRUE(version_resource_holds(gauge->module(), "0.2.0"));
    EXPECT_TRUE(version_resource_holds(gauge->module(), r.gauge)) << "product name";
}

INSTANTIATE_TEST_SUITE_P(BothReceivers, NavReceiver, kReceivers,
                         [](const auto& info) { return std::string(info.param.deliverable); });

// ---------------------------------------------------------------------------------------
// Tables of clicks, each run against both receivers.

struct StandbyCase {
    const char* what;
    uint32_t standby;  // BCD form before the click
    Spot spot;
    const char* shown;
};
void PrintTo(const StandbyCase& c, std::ostream* os) { *os << c.what; }

class NavStandby : public NavHead, public ::testing::WithParamInterface<std::tuple<Receiver, StandbyCase>> {};

// The standby steps here, stopping at the band edges; the simulator hears nothing.
TEST_P(NavStandby, StepsStopAtTheBandEdges) {
    const auto& [receiver, c] = GetParam();
    open(receiver);
    const uint32_t active = 0x1340;
    set_frequencies(active, c.standby);
    click(c.spot);
    EXPECT_EQ(standby_text(), c.shown);
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(host.token_u32(r.token), active);
}

INSTANTIATE_TEST_SUITE_P(
    Areas, NavStandby,
    ::testing::Combine(
        kReceivers,
        ::testing::Values(
            StandbyCase{"fraction up at the top stays", 0x1795, kStandbyFractionUp, "117.95"},
            StandbyCase{"fraction down at the bottom stays", 0x0800, kStandbyFractionDown, "108.00"},
            StandbyCase{"whole down below the band stops at 108.00", 0x0850, kStandbyWholeDown, "108.00"},
            StandbyCase{"whole up above the band stops at 117.95", 0x1750, kStandbyWholeUp, "117.95"},
            StandbyCase{"fraction up carries into the MHz", 0x0895, kStandbyFractionUp, "109.00"},
            StandbyCase{"fraction down borrows from the MHz", 0x0900, kStandbyFractionDown, "108.95"},
            StandbyCase{"whole up keeps the fraction", 0x1025, kStandbyWholeUp, "111.25"},
            StandbyCase{"whole down keeps the fraction", 0x1125, kStandbyWholeDown, "110.25"},
            StandbyCase{"whole up to the last MHz", 0x1695, kStandbyWholeUp, "117.95"},
            StandbyCase{"fraction up in the MHz", 0x1340, kStandbyFractionUp, "113.45"})),
    [](const auto& info) { return std::string(std::get<0>(info.param).deliverable) + "_case" + std::to_string(info.index); });

struct KnobCase {
    const char* what;
    uint32_t active;
    Spot spot;
    uint32_t sent;  // value of the set event
};
void PrintTo(const KnobCase& c, std::ostream* os) { *os << c.what; }

class NavKnob : public NavHead, public ::testing::WithParamInterface<std::tuple<Receiver, KnobCase>> {};

// The knob tunes the active frequency by 50 kHz channels round the band with the set event;
// the standby stays.
TEST_P(NavKnob, StepsTheActiveFrequencyRoundTheBand) {
    const auto& [receiver, c] = GetParam();
    open(receiver);
    set_frequencies(c.active, 0x1125);
    click(c.spot);
    EXPECT_EQ(events(), (std::vector<panel::Event>{{r.set, c.sent}}));
    EXPECT_EQ(host.token_u32(r.token), c.sent);
    EXPECT_EQ(standby_text(), "111.25");
}

INSTANTIATE_TEST_SUITE_P(
    Thirds, NavKnob,
    ::testing::Combine(
        kReceivers,
        ::testing::Values(
            KnobCase{"down at the bottom wraps to the top", 0x0800, kKnobLeft, 0x1795},
            KnobCase{"up at the top wraps to the bottom", 0x1795, kKnobRight, 0x0800},
            KnobCase{"up carries into the MHz", 0x0895, kKnobRight, 0x0900},
            KnobCase{"down borrows from the MHz", 0x0900, kKnobLeft, 0x0895},
            KnobCase{"up one channel", 0x1340, kKnobRight, 0x1345},
            KnobCase{"down one channel", 0x1340, kKnobLeft, 0x1335},
            KnobCase{"down from below the band wraps to the top", 0x0500, kKnobLeft, 0x1795},
            KnobCase{"up from above the band wraps to the bottom", 0x1800, kKnobRight, 0x0800},
            // An active frequency the simulator never tuned: the step down still wraps
            // to the top of the band instead of sending a negative number.
            KnobCase{"down from 000.00 wraps to the top", 0x0000, kKnobLeft, 0x1795},
            KnobCase{"down from 000.03 wraps to the top", 0x0003, kKnobLeft, 0x1795})),
    [](const auto& info) { return std::string(std::get<0>(info.param).deliverable) + "_case" + std::to_string(info.index); });

struct ActiveCase {
    const char* what;
    uint32_t active;
    Spot spot;
    int event;  // 0 whole down, 1 whole up, 2 fraction down, 3 fraction up
    const char* shown;
};
void PrintTo(const ActiveCase& c, std::ostream* os) { *os << c.what; }

class NavActive : public NavHead, public ::testing::WithParamInterface<std::tuple<Receiver, ActiveCase>> {};

// The areas under the active digits fire the receiver's step events with value 0; the
// simulator steps and the display follows its token.
TEST_P(NavActive, AsksTheSimulatorToStep) {
    const auto& [receiver, c] = GetParam();
    open(receiver);
    set_frequencies(c.active, 0x0800);
    click(c.spot);
    const uint32_t ids[] = {r.whole_down, r.whole_up, r.fraction_down, r.fraction_up};
    EXPECT_EQ(events(), (std::vector<panel::Event>{{ids[c.event], 0}}));
    EXPECT_EQ(active_text(), c.shown);
    EXPECT_EQ(standby_text(), "108.00");
}

INSTANTIATE_TEST_SUITE_P(
    Areas, NavActive,
    ::testing::Combine(
        kReceivers,
        ::testing::Values(
            ActiveCase{"whole down", 0x1340, kActiveWholeDown, 0, "112.40"},
            ActiveCase{"whole up", 0x1340, kActiveWholeUp, 1, "114.40"},
            ActiveCase{"fraction down", 0x1340, kActiveFractionDown, 2, "113.35"},
            ActiveCase{"fraction up", 0x1340, kActiveFractionUp, 3, "113.45"},
            ActiveCase{"whole down at the bottom wraps", 0x0850, kActiveWholeDown, 0, "117.50"},
            ActiveCase{"whole up at the top wraps", 0x1795, kActiveWholeUp, 1, "108.95"},
            ActiveCase{"fraction up wraps inside the MHz", 0x1395, kActiveFractionUp, 3, "113.00"},
            ActiveCase{"fraction down wraps inside the MHz", 0x1300, kActiveFractionDown, 2, "113.95"})),
    [](const auto& info) { return std::string(std::get<0>(info.param).deliverable) + "_case" + std::to_string(info.index); });

class NavDeadSpots : public NavHead, public ::testing::WithParamInterface<std::tuple<Receiver, Spot>> {};

// The drawn mode selector, push buttons and the displays themselves are not clickable.
TEST_P(NavDeadSpots, ClickDoesNothing) {
    const auto& [receiver, spot] = GetParam();
    open(receiver);
    set_frequencies(0x1340, 0x1125);
    const panel::ClickResult result = click(spot);
    EXPECT_FALSE(result.handled);
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(standby_text(), "111.25");
    EXPECT_EQ(active_text(), "113.40");
    EXPECT_FALSE(overlay_shown());
}

INSTANTIATE_TEST_SUITE_P(Face, NavDeadSpots, ::testing::Combine(kReceivers, ::testing::ValuesIn(dead_spots())),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).deliverable) + "_spot" + std::to_string(info.index);
                         });

}  // namespace
