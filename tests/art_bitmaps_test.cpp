// The art as the modules carry it: every bitmap an element names is in its module's
// resources at its size as an 8-bit palette bitmap, the dials' marks follow the needles'
// scales, and a switch's pictures hide the root they are drawn over.
#include <map>
#include <set>

#include "art/scales.h"
#include "platform/resources.h"
#include "tests/support.h"

namespace {

using testing_support::PanelTest;

struct Size {
    int width, height;
    bool operator==(const Size&) const = default;
};

struct ModuleArt {
    const char* deliverable;
    std::map<int32_t, Size> bitmaps;  // every bitmap of the module, by resource id
    std::set<int32_t> absent;         // named by an element but deliberately not supplied
};

void PrintTo(const ModuleArt& m, std::ostream* os) { *os << m.deliverable; }

// Consecutive ids from `first`, all of one size.
void run(std::map<int32_t, Size>& into, int32_t first, int count, Size size) {
    for (int i = 0; i < count; ++i) into[first + i] = size;
}

std::map<int32_t, Size> switch_panel_bitmaps() {
    std::map<int32_t, Size> b;
    run(b, 10, 2, {36, 56});
    run(b, 330, 2, {30, 36});
    run(b, 1010, 3, {72, 104});
    run(b, 1020, 4, {62, 104});
    run(b, 1030, 8, {81, 104});
    run(b, 1040, 6, {98, 98});
    b[1050] = {108, 108};
    b[1060] = {40, 6};
    b[1070] = {108, 108};
    b[1100] = {300, 164};
    b[1110] = {75, 8};
    b[1120] = {300, 164};
    run(b, 1130, 3, {100, 70});
    run(b, 1140, 4, {100, 70});
    b[1150] = {40, 40};
    b[1160] = {40, 40};
    b[1170] = {59, 75};
    b[1180] = {59, 75};
    return b;
}

const std::vector<ModuleArt>& modules() {
    static const std::vector<ModuleArt> all = {
        {"VARN_TESSARY_XPDR", {{4096, {154, 163}}}, {}},
        {"tessary_nav1", {{4096, {154, 163}}, {8192, {62, 62}}}, {}},
        {"tessary_nav2", {{4096, {154, 163}}, {8192, {62, 62}}}, {}},
        {"tessary_com", {{4096, {154, 163}}, {12288, {55, 56}}}, {}},
        {"VARN_KD_FUEL_PRESS", {{4096, {204, 162}}, {8192, {120, 9}}, {12288, {204, 51}}}, {}},
        {"tq36_lfuel", {{256, {200, 163}}, {4352, {100, 16}}, {4608, {200, 50}}}, {}},
        {"M470_Switches", switch_panel_bitmaps(), {1133, 1171}},
    };
    return all;
}

class ModuleArtTest : public PanelTest {
protected:
    // Places every gauge of the module; the host loads each element's bitmaps.
    std::vector<panel::Gauge*> place_all(const std::string& deliverable) {
        panel::Module& m = load_once(deliverable);
        std::vector<panel::Gauge*> gauges;
        for (GAUGEHDR* h : m.gauges()) gauges.push_back(&host.place(m, h->gauge_name));
        return gauges;
    }
};

class ModuleBitmaps : public ModuleArtTest, public ::testing::WithParamInterface<ModuleArt> {};

TEST_P(ModuleBitmaps, EveryNamedBitmapIsSuppliedAtItsSizeWithAPalette) {
    const ModuleArt& art = GetParam();
    std::set<int32_t> named;
    for (panel::Gauge* g : place_all(art.deliverable)) {
        for (const panel::ElementState& e : g->elements()) {
            if (e.type == ELEMENT_TYPE_STATIC_IMAGE || e.type == ELEMENT_TYPE_NEEDLE) named.insert(e.record->resource_id);
            if (e.type == ELEMENT_TYPE_ICON)
                for (size_t n = 0; n < e.pictures.size(); ++n) named.insert(e.record->resource_id + static_cast<int32_t>(n));
        }
    }
    std::set<int32_t> expected = art.absent;
    for (auto& [id, _] : art.bitmaps) expected.insert(id);
    EXPECT_EQ(named, expected) << "bitmap ids named by the module's elements";

    panel::Module& m = load_once(art.deliverable);
    for (int32_t id : named) {
        platform::ResourceBytes bytes;
        const bool found = platform::find_module_resource(m.handle(), {platform::RES_TYPE_BITMAP, nullptr},
                                                          {static_cast<uint16_t>(id), nullptr}, &bytes);
        if (art.absent.count(id)) {
            EXPECT_FALSE(found) << "bitmap " << id << " is not to be supplied";
            continue;
        }
        ASSERT_TRUE(found) << "bitmap " << id;
        panel::Bitmap b;
        std::string error;
        ASSERT_TRUE(panel::decode_dib(bytes.data, bytes.size, &b, &error)) << id << ": " << error;
        EXPECT_EQ((Size{b.width, b.height}), art.bitmaps.at(id)) << "bitmap " << id;
        EXPECT_EQ(b.bits_per_pixel, 8) << "bitmap " << id;
        EXPECT_LE(b.palette.size(), 256u) << "bitmap " << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, ModuleBitmaps, ::testing::ValuesIn(modules()),
                         [](const auto& info) { return std::string(info.param.deliverable); });

// --- dials and needles --------------------------------------------------------------------------

struct DialCase {
    const char* what;
    const char* deliverable;
    const char* gauge;
    const art::NeedleScale* scale;
    const art::NeedleShape* needle;
};

void PrintTo(const DialCase& c, std::ostream* os) { *os << c.what; }

class DialMarks : public PanelTest, public ::testing::WithParamInterface<DialCase> {};

// The dial is drawn from the art's copy of the needle's scale; it must be the module's table
// point for point, turning about the same pivot, with a needle bitmap of the drawn shape.
TEST_P(DialMarks, FollowTheModulesNeedleScale) {
    const DialCase& c = GetParam();
    panel::Gauge& g = place(c.deliverable, c.gauge);
    const panel::ElementState* needle = nullptr;
    for (const panel::ElementState& e : g.elements())
        if (e.type == ELEMENT_TYPE_NEEDLE && e.record->position.x == c.scale->pivot_x && e.record->position.y == c.scale->pivot_y)
            needle = &e;
    ASSERT_NE(needle, nullptr) << "no needle turns about (" << c.scale->pivot_x << ", " << c.scale->pivot_y << ")";
    const auto* record = reinterpret_cast<const ELEMENT_NEEDLE*>(needle->record);
    ASSERT_EQ(record->nonlinearity_count, c.scale->points.size());
    for (size_t i = 0; i < c.scale->points.size(); ++i) {
        EXPECT_EQ(record->nonlinearity[i].x, c.scale->points[i].x) << "entry " << i;
        EXPECT_EQ(record->nonlinearity[i].y, c.scale->points[i].y) << "entry " << i;
        EXPECT_EQ(record->nonlinearity[i].value, c.scale->points[i].value) << "entry " << i;
    }
    EXPECT_EQ(record->header.offset.x, c.needle->pivot_x);
    EXPECT_EQ(record->header.offset.y, c.needle->pivot_y);
    EXPECT_EQ(needle->image->size.x, c.needle->width);
    EXPECT_EQ(needle->image->size.y, c.needle->height);
}

INSTANTIATE_TEST_SUITE_P(
    Needles, DialMarks,
    ::testing::Values(
        DialCase{"fuel pressure", "VARN_KD_FUEL_PRESS", "VARN_KD_FUEL_PRESS", &art::scales::fuel_pressure,
                 &art::scales::fuel_pressure_needle},
        DialCase{"fuel quantity", "tq36_lfuel", "tq36_lfuel", &art::scales::fuel_quantity, &art::scales::fuel_quantity_needle},
        DialCase{"ammeter", "M470_Switches", "Amps_Oil_Pressure_Indicator", &art::scales::ammeter, &art::scales::ammeter_needle},
        DialCase{"oil pressure", "M470_Switches", "Amps_Oil_Pressure_Indicator", &art::scales::oil_pressure,
                 &art::scales::ammeter_needle},
        DialCase{"propeller de-ice", "M470_Switches", "Prop_De_Ice_Amps", &art::scales::prop_deice,
                 &art::scales::prop_deice_needle}));

// --- switch pictures --------------------------------------------------------------------------

class SwitchPictures : public ModuleArtTest {};

// Each picture of a switch is a whole view of the switch, drawn over the root: wherever the
// root paints, the picture paints too (pure black would let the root's lever or rocker show
// through). The magneto is the exception by design: its pictures are the key alone, turned
// over the face with its legends.
TEST_F(SwitchPictures, HideTheRootTheyAreDrawnOver) {
    int checked = 0;
    for (panel::Gauge* g : place_all("M470_Switches")) {
        if (g->name() == "Magneto") continue;
        const panel::ElementState& root = g->element(0);
        for (const panel::ElementState& e : g->elements()) {
            if (e.type != ELEMENT_TYPE_ICON) continue;
            for (size_t n = 0; n < e.pictures.size(); ++n) {
                if (e.pictures[n] == nullptr) continue;
                const panel::Bitmap& pic = *e.pictures[n]->bitmap;
                const panel::Bitmap& under = *root.image->bitmap;
                ASSERT_EQ(pic.width, under.width) << g->name();
                ASSERT_EQ(pic.height, under.height) << g->name();
                int leaks = 0;
                for (int y = 0; y < pic.height; ++y)
                    for (int x = 0; x < pic.width; ++x)
                        leaks += (pic.at(x, y) & 0xFFFFFF) == 0 && (under.at(x, y) & 0xFFFFFF) != 0;
                EXPECT_EQ(leaks, 0) << g->name() << ", picture " << e.record->resource_id + static_cast<int32_t>(n);
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 0);
}

}  // namespace
