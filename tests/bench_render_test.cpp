// The panel bench's compositor: what it draws for a gauge's element tree, checked pixel by
// pixel against the gauge's state and the module's own bitmaps.
#include <math.h>

#include "tests/support.h"
#include "tools/bench/compositor.h"

namespace {

using testing_support::PanelTest;

class BenchRender : public PanelTest {
protected:
    bench::Image render(panel::Gauge& g) { return bench::render_gauge(g, host.selection()); }

    struct Region {
        int x, y, width, height;
    };
    // The picture shows the element's bitmap, placed at (at_x, at_y), over `region` of the
    // bitmap (all of it by default); where the element asks, pure black is left to whatever
    // lies beneath.
    static void expect_shows_bitmap(const bench::Image& picture, const panel::Bitmap& b, uint32_t image_flags,
                                    int at_x, int at_y, const char* what, std::optional<Region> region = {}) {
        const Region r = region.value_or(Region{0, 0, b.width, b.height});
        int wrong = 0;
        for (int y = r.y; y < r.y + r.height; ++y) {
            for (int x = r.x; x < r.x + r.width; ++x) {
                const uint32_t want = b.at(x, y) & 0xFFFFFF;
                if (panel::is_see_through(image_flags, want)) continue;  // whatever lies beneath
                if (picture.rgb(at_x + x, at_y + y) != want || picture.alpha(at_x + x, at_y + y) != 255) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << what;
    }
};

// --- needles --------------------------------------------------------------------------------

struct NeedleCase {
    const char* what;
    const char* deliverable;
    const char* gauge;
    std::vector<std::pair<int32_t, double>> tokens;
    size_t needle;           // element index of the needle
    double aim_x, aim_y;     // the point of its scale the value stands for
};

void PrintTo(const NeedleCase& c, std::ostream* os) { *os << c.what; }

class NeedleTip : public BenchRender, public ::testing::WithParamInterface<NeedleCase> {};

// The drawn needle's tip lies on the ray from the pivot through the scale point, one needle
// length out from the pivot.
TEST_P(NeedleTip, LandsOnTheRayToItsScalePoint) {
    const NeedleCase& c = GetParam();
    for (auto [token, value] : c.tokens) host.set_token(token, value);
    panel::Gauge& g = place(c.deliverable, c.gauge);
    host.frame(2);
    const panel::ElementState& needle = g.element(c.needle);
    ASSERT_EQ(needle.type, ELEMENT_TYPE_NEEDLE);
    const bench::Image alone = bench::render_element(g, c.needle, 0);
    const double px = needle.record->position.x + 0.5, py = needle.record->position.y + 0.5;

    double tip_distance = -1, tip_x = 0, tip_y = 0;
    for (int y = 0; y < alone.height; ++y) {
        for (int x = 0; x < alone.width; ++x) {
            if (alone.alpha(x, y) < 128) continue;
            const double d = hypot(x + 0.5 - px, y + 0.5 - py);
            if (d > tip_distance) { tip_distance = d; tip_x = x + 0.5; tip_y = y + 0.5; }
        }
    }
    ASSERT_GT(tip_distance, 0) << "no needle drawn";
    const double length = needle.image->size.x - 1 - needle.record->offset.x;
    EXPECT_NEAR(tip_distance, length, 2.0) << "tip at (" << tip_x << ", " << tip_y << ")";
    const double drawn = atan2(tip_y - py, tip_x - px);
    const double wanted = atan2(c.aim_y + 0.5 - py, c.aim_x + 0.5 - px);
    EXPECT_NEAR(drawn * 180 / M_PI, wanted * 180 / M_PI, 2.0) << "tip at (" << tip_x << ", " << tip_y << ")";
}

constexpr double kPsfPerPsi = 144.0;

INSTANTIATE_TEST_SUITE_P(
    Gauges, NeedleTip,
    ::testing::Values(
        NeedleCase{"fuel pressure 0", "VARN_KD_FUEL_PRESS", "VARN_KD_FUEL_PRESS", {{152, 0}}, 1, 31, 29},
        NeedleCase{"fuel pressure 20", "VARN_KD_FUEL_PRESS", "VARN_KD_FUEL_PRESS", {{152, 20480}}, 1, 133, 30},
        NeedleCase{"fuel pressure 30", "VARN_KD_FUEL_PRESS", "VARN_KD_FUEL_PRESS", {{152, 30720}}, 1, 178, 30},
        NeedleCase{"fuel quantity empty", "tq36_lfuel", "tq36_lfuel", {{304, 0}}, 1, 16, 43},
        NeedleCase{"fuel quantity half", "tq36_lfuel", "tq36_lfuel", {{304, 20}}, 1, 99.5, 43.5},
        NeedleCase{"fuel quantity full", "tq36_lfuel", "tq36_lfuel", {{304, 40}}, 1, 183, 44},
        NeedleCase{"ammeter on BAT, +20 A", "M470_Switches", "Amps_Oil_Pressure_Indicator", {{751, 20}}, 1, 82, 50},
        NeedleCase{"ammeter on BAT, -20 A", "M470_Switches", "Amps_Oil_Pressure_Indicator", {{751, -20}}, 1, 43, 50},
        NeedleCase{"oil pressure 50 psi", "M470_Switches", "Amps_Oil_Pressure_Indicator", {{418, 50 * kPsfPerPsi}}, 2, 218, 43},
        NeedleCase{"oil pressure 100 psi", "M470_Switches", "Amps_Oil_Pressure_Indicator", {{418, 100 * kPsfPerPsi}}, 2, 262, 43},
        NeedleCase{"prop de-ice off", "M470_Switches", "Prop_De_Ice_Amps", {{742, 0}, {753, 28}}, 1, 35, 40}));

// --- hidden elements, icons, transparency ----------------------------------------------------

// The NAV knob's second picture is hidden at load, so the face's own knob shows; one push on
// the knob's centre shows it over the face.
TEST_F(BenchRender, HiddenOverlayIsNotDrawn) {
    panel::Gauge& g = place("tessary_nav1", "VARN_TESSARY_NAV1");
    host.frame();
    const panel::ElementState& face = g.element(0);
    const panel::ElementState& overlay = g.element(3);
    ASSERT_TRUE(overlay.hidden());
    const Region knob{90, 90, 62, 62};
    expect_shows_bitmap(render(g), *face.image->bitmap, face.record->image_flags, 0, 0, "face with the overlay hidden", knob);

    host.click(g, 120, 110);
    host.frame();
    ASSERT_FALSE(overlay.hidden());
    const bench::Image pushed = render(g);
    expect_shows_bitmap(pushed, *overlay.image->bitmap, overlay.record->image_flags, 90, 90, "overlay shown");
    // Around the round knob the overlay is see-through, so the face shows at its corners.
    EXPECT_EQ(pushed.rgb(90, 90), face.image->bitmap->at(90, 90) & 0xFFFFFF);
}

struct IconCase {
    const char* what;
    const char* gauge;
    std::vector<std::pair<int32_t, double>> tokens;
    int32_t shows;  // bitmap that the whole gauge shows
};

void PrintTo(const IconCase& c, std::ostream* os) { *os << c.what; }

class IconPicture : public BenchRender, public ::testing::WithParamInterface<IconCase> {};

// An icon draws its picture over the root; at -1.0, or at an index whose picture the module
// does not supply, it draws nothing and the root shows.
TEST_P(IconPicture, ShowsThePictureOfItsIndexOrTheRoot) {
    const IconCase& c = GetParam();
    panel::Gauge& g = place("M470_Switches", c.gauge);
    for (auto [token, value] : c.tokens) host.set_token(token, value);
    host.frame(2);
    const panel::ElementState& root = g.element(0);
    const panel::ElementState& icon = g.element(1);
    const panel::Bitmap* shows = nullptr;
    if (root.record->resource_id == c.shows) shows = root.image->bitmap;
    for (size_t n = 0; n < icon.pictures.size(); ++n)
        if (icon.record->resource_id + static_cast<int32_t>(n) == c.shows && icon.icon_index == static_cast<int>(n))
            shows = icon.pictures[n]->bitmap;
    ASSERT_NE(shows, nullptr) << "bitmap " << c.shows << " is neither the root nor the icon's current picture";
    expect_shows_bitmap(render(g), *shows, root.record->image_flags, 0, 0, c.what);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, IconPicture,
    ::testing::Values(
        IconCase{"annunciator dark (-1.0): the unlit root", "Suction Annunciator", {{353, 5.0}}, 1150},
        IconCase{"annunciator lit: the lit lamp over the root", "Suction Annunciator", {{353, 2.0}}, 1160},
        IconCase{"avionics on: no picture 1171, the root", "Avionics Switch", {{740, 1.0}}, 1180},
        IconCase{"avionics off: picture 1170", "Avionics Switch", {{740, 0.0}}, 1170},
        IconCase{"landing lights off over the 'on' root", "Landing_Lights", {{14, 0.0}}, 10}));

// Pure black is see-through only in elements that ask for it.
TEST_F(BenchRender, PureBlackIsSeeThroughOnlyWhereTheFlagAsks) {
    panel::Gauge& g = place("tq36_lfuel", "tq36_lfuel");
    host.frame();
    const panel::ElementState& face = g.element(0);
    ASSERT_NE(face.record->image_flags & IMAGE_TRANSPARENT_BLACK, 0u);
    ASSERT_EQ(face.image->bitmap->at(0, 0) & 0xFFFFFF, 0u) << "the face's rounded corner is unpainted";
    EXPECT_EQ(render(g).alpha(0, 0), 0u);
    EXPECT_EQ(render(g).alpha(100, 20), 255u);

    face.record->image_flags &= ~IMAGE_TRANSPARENT_BLACK;
    const bench::Image opaque = render(g);
    face.record->image_flags |= IMAGE_TRANSPARENT_BLACK;
    EXPECT_EQ(opaque.alpha(0, 0), 255u);
    EXPECT_EQ(opaque.rgb(0, 0), 0u);
}

// --- strings ----------------------------------------------------------------------------------

class TransponderText : public BenchRender {
protected:
    void SetUp() override {
        gauge = &place("VARN_TESSARY_XPDR", "VARN_tessary_XPDR");
        host.set_token_u32(38, 0x1200);
        host.frame();
    }
    struct Ink {
        int red = 0, yellow = 0, other = 0;
        double sum_x = 0, sum_y = 0;
        int min_x = 1 << 20, max_x = -1, min_y = 1 << 20, max_y = -1;
    };
    // The ink of digit k's box (20 x 35 at x = 6 + 40 (k - 1), y = 16).
    Ink ink(const bench::Image& p, int k) {
        Ink ink;
        for (int y = 16; y < 16 + 35; ++y) {
            for (int x = 6 + 40 * (k - 1); x < 26 + 40 * (k - 1); ++x) {
                const uint32_t c = p.rgb(x, y);
                const uint32_t r = c >> 16, gr = (c >> 8) & 0xFF, b = c & 0xFF;
                if (c == 0) continue;  // the black background
                if (b != 0) { ++ink.other; continue; }
                if (gr == 0) ++ink.red;
                else if (gr == r) ++ink.yellow;
                else { ++ink.other; continue; }
                if (r < 128) continue;  // faint edge
                ink.min_x = std::min(ink.min_x, x); ink.max_x = std::max(ink.max_x, x);
                ink.min_y = std::min(ink.min_y, y); ink.max_y = std::max(ink.max_y, y);
            }
        }
        return ink;
    }
    panel::Gauge* gauge = nullptr;
};

TEST_F(TransponderText, DigitsAreRedOnBlackCentredInTheirBoxes) {
    const bench::Image p = render(*gauge);
    for (int k = 1; k <= 4; ++k) {
        const Ink i = ink(p, k);
        EXPECT_GT(i.red, 40) << "digit " << k;
        EXPECT_EQ(i.yellow, 0) << "digit " << k;
        EXPECT_EQ(i.other, 0) << "digit " << k << ": only red on black";
        const double box_centre_x = 6 + 40 * (k - 1) + 10, box_centre_y = 16 + 17.5;
        EXPECT_NEAR((i.min_x + i.max_x + 1) / 2.0, box_centre_x, 1.5) << "digit " << k;
        EXPECT_NEAR((i.min_y + i.max_y + 1) / 2.0, box_centre_y, 2.5) << "digit " << k;
    }
    // "1", "2" and "0" are different glyphs; the two zeros are the same.
    auto glyph = [&](int k) {
        std::vector<uint32_t> g;
        for (int y = 16; y < 51; ++y)
            for (int x = 6 + 40 * (k - 1); x < 26 + 40 * (k - 1); ++x) g.push_back(p.rgb(x, y));
        return g;
    };
    EXPECT_NE(glyph(1), glyph(2));
    EXPECT_NE(glyph(2), glyph(3));
    EXPECT_EQ(glyph(3), glyph(4));
}

TEST_F(TransponderText, TheSelectedDigitTakesItsHighlightColour) {
    host.set_selection(11);  // digit 2
    const bench::Image p = render(*gauge);
    EXPECT_EQ(ink(p, 2).red, 0);
    EXPECT_GT(ink(p, 2).yellow, 40);
    for (int k : {1, 3, 4}) {
        EXPECT_EQ(ink(p, k).yellow, 0) << "digit " << k;
        EXPECT_GT(ink(p, k).red, 40) << "digit " << k;
    }
}

// A NAV display: six characters centred in a 115 x 25 box; the highlight list marks the MHz
// digits (characters 0 to 2) for one selection and the fraction (4 and 5) for another.
class RadioText : public BenchRender {
protected:
    void SetUp() override {
        gauge = &place("tessary_nav1", "VARN_TESSARY_NAV1");
        host.set_token_u32(24, 0x1340);
        host.frame();
        ASSERT_EQ(gauge->element(1).text, "113.40");
    }
    // Ink colour of each column of the active display (y 16 to 40): 'r' red, 'y' yellow,
    // ' ' none; and the inked extent.
    std::string columns(const bench::Image& p, int* left, int* right) {
        std::string out;
        *left = 1 << 20;
        *right = -1;
        for (int x = 6; x < 6 + 115; ++x) {
            char c = ' ';
            for (int y = 16; y < 16 + 25; ++y) {
                const uint32_t v = p.rgb(x, y);
                if ((v >> 16) < 128) continue;
                c = ((v >> 8) & 0xFF) > 128 ? 'y' : 'r';
            }
            if (c != ' ') { *left = std::min(*left, x); *right = std::max(*right, x); }
            out += c;
        }
        return out;
    }
    panel::Gauge* gauge = nullptr;
};

TEST_F(RadioText, IsCentredInItsBox) {
    int left, right;
    columns(render(*gauge), &left, &right);
    EXPECT_NEAR((left + right + 1) / 2.0, 6 + 115 / 2.0, 2.0);
    EXPECT_GT(right - left, 50) << "six characters at the box's height";
}

TEST_F(RadioText, HighlightsTheCharactersOfTheCurrentSelection) {
    struct Case {
        int32_t selection;
        const char* colours;  // the six glyphs 1 1 3 . 4 0
    } cases[] = {{0, "rrrrrr"}, {6, "yyyrrr"}, {7, "rrrryy"}, {8, "rrrrrr"}};
    for (const Case& c : cases) {
        host.set_selection(c.selection);
        int left, right;
        const std::string cols = columns(render(*gauge), &left, &right);
        // Glyph by glyph: split the inked columns at the gaps between glyphs.
        std::string glyphs;
        bool in = false;
        for (char ch : cols) {
            if (ch != ' ' && !in) glyphs += ch;
            in = ch != ' ';
        }
        EXPECT_EQ(glyphs, c.colours) << "selection " << c.selection << ": " << cols;
    }
}

}  // namespace
