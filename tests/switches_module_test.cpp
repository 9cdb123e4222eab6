// The switch panel module as a whole: its roster, the routines every header shares, its
// bitmaps and sample, and the engine-instance token renumbering.
#include <set>

#include "host/bitmap.h"
#include "platform/resources.h"
#include "switches/instance.h"
#include "tests/switches_support.h"

namespace {

using testing_support::SwitchPanelTest;

// One row of the roster, in Linkage order.
struct RosterRow {
    const char* name;
    uint32_t size_x_mm;
    int32_t root_bitmap;
    uint32_t drawn_type;         // the element over the root
    int32_t drawn_bitmap;        // its (first) bitmap
    int32_t drawn_token;         // the token in its record as stored
    bool drawn_callback;
    bool gauge_callback;
    std::set<int32_t> tooltips;  // nonzero help ids of the mouse list
};

void PrintTo(const RosterRow& r, std::ostream* os) { *os << r.name; }

constexpr uint32_t kIcon = ELEMENT_TYPE_ICON;
constexpr uint32_t kNeedle = ELEMENT_TYPE_NEEDLE;

const std::vector<RosterRow>& roster() {
    static const std::vector<RosterRow> rows = {
        {"Landing_Lights", 36, 11, kIcon, 10, 14, false, true, {43838}},
        {"Pitot_Heat", 36, 11, kIcon, 10, 13, false, true, {43863}},
        {"Nav_Lights", 36, 11, kIcon, 10, 619, false, true, {43839}},
        {"Strobe_Lights", 36, 11, kIcon, 10, 11, false, true, {43842}},
        {"Taxi_Lights", 36, 11, kIcon, 10, 369, false, true, {43843}},
        {"Beacon_Lights", 36, 11, kIcon, 10, 368, false, true, {43837}},
        {"Panel_Lights", 36, 11, kIcon, 10, 10, false, true, {43840}},
        {"Dummy_Switch1", 36, 10, kIcon, 10, 0, true, true, {}},
        {"Dummy_Switch2", 36, 10, kIcon, 10, 0, true, true, {}},
        {"Dummy_Switch3", 36, 10, kIcon, 10, 0, true, true, {}},
        {"Stall_Heat", 36, 10, kIcon, 10, 0, true, true, {}},
        {"Prop_Deice", 36, 11, kIcon, 10, 742, false, true, {44161}},
        {"Stby_Vac", 36, 11, kIcon, 10, 778, false, true, {44160}},
        {"Aux_Fuel_Pump", 36, 1010, kIcon, 1010, 367, true, true, {43796}},
        {"Alt_Bat_1", 36, 1020, kIcon, 1020, 363, true, true, {43851}},
        {"Alt_Bat_2", 36, 1030, kIcon, 1030, 363, true, true, {43851}},
        {"Magneto", 36, 1040, kIcon, 1041, 400, true, false, {43845}},
        {"Prop_De_Ice_Amps", 100, 1050, kNeedle, 1060, 753, true, false, {}},
        {"Nav GPS Switch", 30, 330, kIcon, 330, 848, false, false, {43853}},
        {"Amps_Oil_Pressure_Indicator", 100, 1100, kNeedle, 1110, 751, true, true, {43787, 43854}},
        {"Volt_Amp_Knob_1", 33, 1130, kIcon, 1130, 0, true, false, {}},
        {"Volt_Amp_Knob_2", 33, 1140, kIcon, 1140, 0, true, false, {}},
        {"Suction Annunciator", 28, 1150, kIcon, 1160, 353, true, false, {}},
        {"Voltage Annunciator", 28, 1150, kIcon, 1160, 753, true, false, {}},
        {"Alternator1 Annunciator", 28, 1150, kIcon, 1160, 761, true, false, {}},
        {"Alternator2 Annunciator", 28, 1150, kIcon, 1160, 761, true, false, {}},
        {"Cabine Altitude Annunciator", 28, 1150, kIcon, 1160, 0, true, false, {}},
        {"De-Ice Press Annunciator", 28, 1150, kIcon, 1160, 353, true, false, {}},
        {"De-Ice Press", 36, 10, kIcon, 10, 353, true, true, {}},
        {"Avionics Switch", 36, 1180, kIcon, 1170, 740, false, true, {43791}},
    };
    return rows;
}

std::set<int32_t> tooltips_of(const MOUSERECT* list) {
    std::set<int32_t> ids;
    for (int i = 0; list[i].kind != MOUSE_END_OF_LIST; ++i)
        if (list[i].help_id != 0) ids.insert(list[i].help_id);
    return ids;
}

class SwitchModule : public SwitchPanelTest {};

// The 30 headers in roster order: version 700, the roster's names and sizes, each with its
// own tree and mouse list, and all naming one set of seven routines.
TEST_F(SwitchModule, HeadersFollowTheRoster) {
    panel::Module& m = load_once(testing_support::kSwitchModule);
    const std::vector<GAUGEHDR*> headers = m.gauges();
    ASSERT_EQ(headers.size(), roster().size());
    const GAUGEHDR* first = headers.front();
    std::set<const void*> roots;
    for (size_t i = 0; i < headers.size(); ++i) {
        const GAUGEHDR* h = headers[i];
        const RosterRow& row = roster()[i];
        SCOPED_TRACE(row.name);
        EXPECT_STREQ(h->gauge_name, row.name);
        EXPECT_EQ(h->version, 700u);
        EXPECT_EQ(h->size_x_mm, row.size_x_mm);
        EXPECT_EQ(h->gauge_callback != nullptr, row.gauge_callback);
        ASSERT_NE(h->mouse_rect, nullptr);
        EXPECT_EQ(tooltips_of(h->mouse_rect), row.tooltips);
        roots.insert(h->elements_list[0]);
        EXPECT_EQ(h->query, first->query);
        EXPECT_EQ(h->install, first->install);
        EXPECT_EQ(h->initialize, first->initialize);
        EXPECT_EQ(h->update, first->update);
        EXPECT_EQ(h->generate, first->generate);
        EXPECT_EQ(h->draw, first->draw);
        EXPECT_EQ(h->kill, first->kill);
        const auto* ext = reinterpret_cast<const GAUGEHDR_700*>(h);
        for (uint32_t w : ext->reserved_96) EXPECT_EQ(w, 0u);
    }
    EXPECT_EQ(roots.size(), headers.size()) << "every gauge has a root of its own";
}

// What the host installs for each gauge: the root bitmap at its size, and the element drawn
// over it with its bitmaps, token and callback.
class RosterTrees : public SwitchPanelTest, public ::testing::WithParamInterface<RosterRow> {};

TEST_P(RosterTrees, RootAndDrawnElement) {
    const RosterRow& row = GetParam();
    panel::Gauge& g = add(row.name);
    const panel::ElementState& root = g.element(0);
    EXPECT_EQ(root.type, ELEMENT_TYPE_STATIC_IMAGE);
    EXPECT_EQ(root.record->resource_id, row.root_bitmap);
    EXPECT_EQ(root.record->gauge_header, g.header());
    ASSERT_GE(g.elements().size(), 2u);
    const panel::ElementState& drawn = g.element(1);
    EXPECT_EQ(drawn.parent, 0);
    EXPECT_EQ(drawn.type, row.drawn_type);
    EXPECT_EQ(drawn.record->resource_id, row.drawn_bitmap);
    EXPECT_EQ(drawn.record->gauge_header, g.header());
    if (row.drawn_type == ELEMENT_TYPE_ICON) {
        auto* icon = reinterpret_cast<ELEMENT_ICON*>(drawn.record);
        EXPECT_EQ(icon->source_var.id, row.drawn_token);
        EXPECT_EQ(icon->callback != nullptr, row.drawn_callback);
        EXPECT_EQ(icon->value_factor, 1.0);
    } else {
        auto* needle = reinterpret_cast<ELEMENT_NEEDLE_700*>(drawn.record);
        EXPECT_EQ(needle->needle.source_var.id, row.drawn_token);
        EXPECT_EQ(needle->callback != nullptr, row.drawn_callback);
        EXPECT_EQ(needle->needle.callback, nullptr) << "version-700 needles carry their callback at 224";
    }
    host.frame();
    for (const panel::ElementState& e : g.elements()) EXPECT_EQ(e.evaluations, 1);
}

INSTANTIATE_TEST_SUITE_P(Roster, RosterTrees, ::testing::ValuesIn(roster()), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name)
        if (c == ' ' || c == '-') c = '_';
    return name;
});

// The shared routines work on the root of "Landing_Lights", whichever header the host
// calls them through.
TEST_F(SwitchModule, SharedRoutinesWorkOnTheFirstGaugesRoot) {
    panel::Module& m = load_once(testing_support::kSwitchModule);
    ELEMENT_HEADER* landing_root = m.gauges().front()->elements_list[0];
    for (GAUGEHDR* h : m.gauges()) {
        SCOPED_TRACE(h->gauge_name);
        host.clear_ops();
        h->query();
        h->install(m.handle());
        ASSERT_NE(host.tree(landing_root), nullptr);
        EXPECT_EQ(host.tree(h->elements_list[0]) != nullptr, h == m.gauges().front());
        h->initialize();
        h->update();
        h->generate(0);
        h->draw();
        h->kill();
        EXPECT_EQ(host.tree(landing_root), nullptr);
        std::vector<std::string> order;
        for (const panel::OpCall& op : host.ops()) {
            order.push_back(op.op);
            EXPECT_EQ(op.subject, landing_root) << op.op;
        }
        EXPECT_EQ(order, (std::vector<std::string>{"element_list_query", "element_list_install",
                                                   "element_list_initialize", "element_list_update",
                                                   "element_list_generate", "element_list_plot",
                                                   "element_list_kill"}));
    }
    EXPECT_TRUE(host.events().empty());
}

// Every bitmap the gauges name, at its pixel size and 8 bits deep; 1133 and 1171 are not
// supplied; the click sample is resource 500 of type "WAVE".
TEST_F(SwitchModule, ResourcesOfTheModule) {
    struct Size {
        int w, h;
    };
    std::map<int, Size> bitmaps = {{10, {36, 56}}, {11, {36, 56}}, {330, {30, 36}}, {331, {30, 36}},
                                   {1040, {98, 98}}, {1050, {108, 108}}, {1060, {40, 6}}, {1070, {108, 108}},
                                   {1100, {300, 164}}, {1110, {75, 8}}, {1120, {300, 164}}, {1150, {40, 40}},
                                   {1160, {40, 40}}, {1170, {59, 75}}, {1180, {59, 75}}};
    for (int id = 1010; id <= 1012; ++id) bitmaps[id] = {72, 104};
    for (int id = 1020; id <= 1023; ++id) bitmaps[id] = {62, 104};
    for (int id = 1030; id <= 1037; ++id) bitmaps[id] = {81, 104};
    for (int id = 1041; id <= 1045; ++id) bitmaps[id] = {98, 98};
    for (int id = 1130; id <= 1132; ++id) bitmaps[id] = {100, 70};
    for (int id = 1140; id <= 1143; ++id) bitmaps[id] = {100, 70};

    panel::Module& m = load_once(testing_support::kSwitchModule);
    for (const auto& [id, size] : bitmaps) {
        SCOPED_TRACE(id);
        platform::ResourceBytes bytes;
        ASSERT_TRUE(platform::find_module_resource(m.handle(), {platform::RES_TYPE_BITMAP, nullptr},
                                                   {static_cast<uint16_t>(id), nullptr}, &bytes));
        panel::Bitmap bitmap;
        std::string error;
        ASSERT_TRUE(panel::decode_dib(bytes.data, bytes.size, &bitmap, &error)) << error;
        EXPECT_EQ(bitmap.width, size.w);
        EXPECT_EQ(bitmap.height, size.h);
        EXPECT_EQ(bitmap.bits_per_pixel, 8);
    }
    size_t bitmap_count = 0;
    const uint8_t* image = nullptr;
    size_t image_size = 0;
    ASSERT_TRUE(platform::module_resource_image(m.handle(), &image, &image_size));
    platform::for_each_resource(image, image_size, [&](const platform::ResourceEntry& e) {
        if (e.type_is_id && e.type_id == platform::RES_TYPE_BITMAP) ++bitmap_count;
    });
    EXPECT_EQ(bitmap_count, bitmaps.size()) << "no bitmap beyond those the gauges name (no 1133, no 1171)";

    platform::ResourceBytes wave;
    ASSERT_TRUE(platform::find_module_resource(m.handle(), {0, "WAVE"}, {500, nullptr}, &wave));
    ASSERT_GE(wave.size, 12u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(wave.data), 4), "RIFF");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(wave.data) + 8, 4), "WAVE");
}

// ---------------------------------------------------------------------------------------
// Engine-instance token renumbering.

struct InstanceCase {
    int32_t token;
    const char* parameter;  // null: the gauge has no parameter text
    int32_t expected;
};

void PrintTo(const InstanceCase& c, std::ostream* os) {
    *os << c.token << " with " << (c.parameter ? "\"" + std::string(c.parameter) + "\"" : "no text");
}

class InstanceToken : public ::testing::TestWithParam<InstanceCase> {};

TEST_P(InstanceToken, MovesToTheNamedEngine) {
    const InstanceCase& c = GetParam();
    GAUGEHDR_700 gauge{};
    gauge.parameter_string = c.parameter;
    EXPECT_EQ(switches::instance_token(c.token, &gauge.head), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstanceToken,
    ::testing::Values(
        // The text decides the engine: the first of 1, 2, 3, 4 present anywhere.
        InstanceCase{418, nullptr, 418}, InstanceCase{418, "", 418}, InstanceCase{418, "0", 418},
        InstanceCase{418, "1", 418}, InstanceCase{418, "2", 457}, InstanceCase{418, "3", 496},
        InstanceCase{418, "4", 535}, InstanceCase{418, "12", 418}, InstanceCase{418, "21", 418},
        InstanceCase{418, "32", 457}, InstanceCase{418, "43", 496}, InstanceCase{418, "engine 4", 535},
        InstanceCase{418, "x9y", 418},
        // Each range moves by its own length; tokens just outside it never move.
        InstanceCase{126, "2", 126}, InstanceCase{127, "2", 162}, InstanceCase{161, "2", 196},
        InstanceCase{162, "2", 162}, InstanceCase{389, "4", 389}, InstanceCase{390, "4", 507},
        InstanceCase{428, "2", 467}, InstanceCase{429, "2", 429}, InstanceCase{557, "3", 557},
        InstanceCase{558, "3", 578}, InstanceCase{567, "2", 577}, InstanceCase{568, "2", 568},
        InstanceCase{607, "2", 607}, InstanceCase{608, "4", 611}, InstanceCase{609, "2", 609},
        InstanceCase{623, "2", 623}, InstanceCase{624, "2", 643}, InstanceCase{642, "3", 680},
        InstanceCase{643, "2", 643}, InstanceCase{699, "2", 699}, InstanceCase{700, "4", 724},
        InstanceCase{707, "2", 715}, InstanceCase{708, "2", 708}, InstanceCase{731, "2", 731},
        InstanceCase{732, "3", 736}, InstanceCase{733, "2", 735}, InstanceCase{734, "2", 734},
        InstanceCase{760, "2", 760}, InstanceCase{761, "2", 763}, InstanceCase{762, "4", 768},
        InstanceCase{763, "2", 763}, InstanceCase{800, "2", 800}, InstanceCase{801, "3", 803},
        InstanceCase{802, "2", 802}, InstanceCase{751, "2", 751}, InstanceCase{751, "4", 751}));

TEST(InstanceTokenWithoutGauge, LeavesTheTokenAlone) { EXPECT_EQ(switches::instance_token(418, nullptr), 418); }

// element_at_depth follows first children only, and stops at a missing or empty list.
TEST(ElementAtDepth, StepsThroughFirstChildren) {
    ELEMENT_HEADER leaf{}, sibling{}, middle{}, root{}, lonely{};
    ELEMENT_HEADER* empty_list[] = {nullptr};
    ELEMENT_HEADER* middle_children[] = {&leaf, &sibling, nullptr};
    ELEMENT_HEADER* root_children[] = {&middle, nullptr};
    middle.children = middle_children;
    root.children = root_children;
    lonely.children = empty_list;

    EXPECT_EQ(switches::element_at_depth(&root, 0), &root);
    EXPECT_EQ(switches::element_at_depth(&root, 1), &middle);
    EXPECT_EQ(switches::element_at_depth(&root, 2), &leaf);
    EXPECT_EQ(switches::element_at_depth(&root, 3), nullptr) << "the leaf has no children list";
    EXPECT_EQ(switches::element_at_depth(&lonely, 1), nullptr) << "an empty children list";
    EXPECT_EQ(switches::element_at_depth(&lonely, 0), &lonely);
    EXPECT_EQ(switches::element_at_depth(nullptr, 0), nullptr);
    EXPECT_EQ(switches::element_at_depth(nullptr, 2), nullptr);
}

}  // namespace
