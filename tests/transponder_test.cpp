// The transponder head, driven through the host emulator like a pilot's clicks.
#include "tests/support.h"

namespace {

using testing_support::PanelTest;

constexpr int32_t kCode = 38;

class Transponder : public PanelTest {
protected:
    void SetUp() override { gauge = &place("VARN_TESSARY_XPDR", "VARN_tessary_XPDR"); }
    // The four digit strings as the host would draw them.
    std::string display() {
        host.frame();
        std::string shown;
        for (size_t i = 1; i <= 4; ++i) shown += gauge->element(i).text;
        return shown;
    }
    panel::Gauge* gauge = nullptr;
};

TEST_F(Transponder, ShowsTheCodeDigitByDigit) {
    host.set_token_u32(kCode, 0x1200);
    EXPECT_EQ(display(), "1200");
    host.set_token_u32(kCode, 0x7654);
    EXPECT_EQ(display(), "7654");
}

TEST_F(Transponder, BitsAboveTheFourDigitsNeverShow) {
    host.set_token_u32(kCode, 0xFFF10234);
    EXPECT_EQ(display(), "0234");
}

// A group from 10 to 15 would print two characters; the string holds one. The host's guard
// bytes would fail the frame on any overrun.
TEST_F(Transponder, DigitsAboveNineStayInsideTheirOneCharacterBuffer) {
    host.set_token_u32(kCode, 0xABCD);
    EXPECT_NO_THROW(EXPECT_EQ(display(), "1111"));
    EXPECT_TRUE(host.faults().empty());
    host.set_token_u32(kCode, 0x9F0F);
    EXPECT_EQ(display(), "9101");
}

struct ClickCase {
    const char* what;
    uint32_t code;
    int x, y;
    std::vector<uint32_t> events;
    const char* shown_after;
};

void PrintTo(const ClickCase& c, std::ostream* os) { *os << c.what; }

class TransponderClicks : public Transponder, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(TransponderClicks, StepTheDigitUnderTheCursor) {
    const ClickCase& c = GetParam();
    host.set_token_u32(kCode, c.code);
    host.frame();
    host.click(*gauge, c.x, c.y);
    EXPECT_EQ(event_ids(), c.events) << c.what;
    for (const panel::Event& e : host.events()) EXPECT_EQ(e.value, 0u);
    EXPECT_EQ(display(), c.shown_after) << c.what;
}

const std::vector<uint32_t> seven(uint32_t id) { return std::vector<uint32_t>(7, id); }

INSTANTIATE_TEST_SUITE_P(
    Areas, TransponderClicks,
    ::testing::Values(
        ClickCase{"digit 2 up wraps 7 to 0", 0x7777, 56, 40, {65652}, "7077"},
        ClickCase{"digit 4 down is seven steps up", 0x0000, 136, 70, seven(65654), "0007"},
        ClickCase{"digit 1 up", 0x1200, 6, 35, {65651}, "2200"},
        ClickCase{"digit 1 up, last pixel", 0x1200, 25, 59, {65651}, "2200"},
        ClickCase{"digit 3 up", 0x1200, 86, 50, {65653}, "1210"},
        ClickCase{"digit 4 up", 0x1200, 145, 35, {65654}, "1201"},
        ClickCase{"digit 1 down", 0x1200, 6, 65, seven(65651), "0200"},
        ClickCase{"digit 2 down", 0x1200, 65, 89, seven(65652), "1100"},
        ClickCase{"digit 3 down", 0x5555, 90, 80, seven(65653), "5545"},
        ClickCase{"left of digit 1", 0x1200, 5, 40, {}, "1200"},
        ClickCase{"between the columns", 0x1200, 26, 40, {}, "1200"},
        ClickCase{"on the digit above the up area", 0x1200, 56, 34, {}, "1200"},
        ClickCase{"gap between up and down", 0x1200, 56, 62, {}, "1200"},
        ClickCase{"below the down area", 0x1200, 56, 90, {}, "1200"},
        ClickCase{"mode knob drawn on the face", 0x1200, 77, 130, {}, "1200"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(Transponder, HoldingAnAreaStepsOnlyOnce) {
    host.set_token_u32(kCode, 0x1200);
    host.hold(*gauge, 16, 40, 5);
    EXPECT_EQ(event_ids(), std::vector<uint32_t>{65651});
}

TEST_F(Transponder, NoHelpTextAnywhere) {
    EXPECT_EQ(host.help_id_at(*gauge, 10, 10), 0);
    EXPECT_EQ(host.cursor_at(*gauge, 16, 40), CURSOR_UP_ARROW);
    EXPECT_EQ(host.cursor_at(*gauge, 16, 70), CURSOR_DOWN_ARROW);
}

// The digit strings as the host reads them: positions, colours, font and highlight ids.
TEST_F(Transponder, DigitStringRecords) {
    for (int k = 1; k <= 4; ++k) {
        auto* s = reinterpret_cast<ELEMENT_STRING*>(gauge->element(k).record);
        SCOPED_TRACE(k);
        EXPECT_EQ(gauge->element(k).parent, 0);
        EXPECT_EQ(s->header.position.x, 6 + 40 * (k - 1));
        EXPECT_EQ(s->header.position.y, 16);
        EXPECT_EQ(s->header.resource_id, -1);
        EXPECT_EQ(s->header.image_flags, 0x5u);
        EXPECT_EQ(s->box_size.x, 20);
        EXPECT_EQ(s->box_size.y, 35);
        EXPECT_EQ(s->source_vars[0].id, 38);
        EXPECT_EQ(s->text_color, 0x0000FFu);
        EXPECT_EQ(s->background_color, 0u);
        EXPECT_EQ(s->highlight_color, 0x00FFFFu);
        EXPECT_STREQ(s->font_name, "Arial");
        EXPECT_EQ(s->font_weight, 400);
        EXPECT_EQ(s->font_charset, 1);
        EXPECT_EQ(s->text_format, 0x25u);
        EXPECT_EQ(s->max_chars, 1);
        ASSERT_NE(s->highlight_list, nullptr);
        EXPECT_EQ(s->highlight_list[0].selection_id, 9 + k);
        EXPECT_EQ(s->highlight_list[0].first, 0);
        EXPECT_EQ(s->highlight_list[0].last, 0);
        EXPECT_EQ(s->highlight_list[1].selection_id, 0);
        EXPECT_EQ(s->highlight_list[1].first, -1);
        EXPECT_EQ(s->highlight_list[1].last, -1);
        const FAILURE_RECORD* f = s->header.failures;
        ASSERT_NE(f, nullptr);
        EXPECT_EQ((std::vector<int>{f[0].key, f[0].action, f[1].key, f[1].action, f[2].key, f[2].action, f[3].key}),
                  (std::vector<int>{9, 0, 1, 2, 10, 1, 0}));
    }
    EXPECT_EQ(gauge->element(0).record->image_flags, 0x4001u);
    EXPECT_EQ(gauge->element(0).record->resource_id, 4096);
    EXPECT_EQ(gauge->header()->size_x_mm, 70u);
}

}  // namespace
