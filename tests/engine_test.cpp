// The engine gauges, driven through the host emulator: fuel pressure (a version-610 gauge)
// and left tank fuel quantity (a version-800 gauge).
#include <math.h>

#include "tests/support.h"

namespace {

using testing_support::PanelTest;

constexpr int32_t kFuelPressure = 152;
constexpr int32_t kLeftTank = 304;

std::pair<int32_t, int32_t> xy(const PIXPOINT& p) { return {p.x, p.y}; }

// One element as the host finds it in an installed tree (drawing order).
struct ElementShape {
    const char* role;
    uint32_t type;
    int32_t resource_id;
    std::pair<int32_t, int32_t> bitmap_size;
    std::pair<int32_t, int32_t> position;
    std::pair<int32_t, int32_t> offset;
    uint32_t image_flags;
    int parent;  // index in drawing order, -1 for the root
};

void expect_tree(panel::Gauge& g, const std::vector<ElementShape>& shapes) {
    const std::vector<panel::ElementState>& elements = g.elements();
    ASSERT_EQ(elements.size(), shapes.size());
    for (size_t i = 0; i < shapes.size(); ++i) {
        const ElementShape& s = shapes[i];
        const panel::ElementState& e = elements[i];
        SCOPED_TRACE(s.role);
        EXPECT_EQ(e.type, s.type);
        EXPECT_EQ(e.record->resource_id, s.resource_id);
        ASSERT_NE(e.image, nullptr) << "bitmap " << s.resource_id << " is not in the module";
        EXPECT_EQ(xy(e.image->size), s.bitmap_size);
        EXPECT_EQ(xy(e.record->position), s.position);
        EXPECT_EQ(xy(e.record->offset), s.offset);
        EXPECT_EQ(e.record->image_flags, s.image_flags);
        EXPECT_EQ(e.parent, s.parent);
        EXPECT_EQ(e.record->gauge_header, g.header());
        EXPECT_EQ(e.record->reserved[0], 0u);
        EXPECT_EQ(e.record->reserved[1], 0u);
    }
    EXPECT_EQ(elements.back().record->children, nullptr) << "the cover has no children";
}

// Where the needle stands after one frame with the token at a given value.
struct Reading {
    const char* what;
    double token;
    double value;   // what the gauge hands the host
    double x, y;    // the point on the dial the needle aims at
};

void PrintTo(const Reading& r, std::ostream* os) { *os << r.what; }

void expect_reading(panel::Host& host, panel::Gauge& g, int32_t token, const Reading& r) {
    host.set_token(token, r.token);
    host.frame();
    const panel::ElementState& needle = g.element(1);
    EXPECT_EQ(needle.value, r.value);
    EXPECT_DOUBLE_EQ(needle.point_x, r.x);
    EXPECT_DOUBLE_EQ(needle.point_y, r.y);
}

// ---------------------------------------------------------------------------------------
// Fuel pressure

class FuelPressure : public PanelTest {
protected:
    void SetUp() override { gauge = &place("VARN_KD_FUEL_PRESS", "VARN_KD_FUEL_PRESS"); }
    ELEMENT_NEEDLE* needle() { return reinterpret_cast<ELEMENT_NEEDLE*>(gauge->element(1).record); }
    panel::Gauge* gauge = nullptr;
};

class FuelPressureReadings : public FuelPressure, public ::testing::WithParamInterface<Reading> {};

TEST_P(FuelPressureReadings, TokenInDialUnitsOnTheScale) {
    expect_reading(host, *gauge, kFuelPressure, GetParam());
}

// Between the marks the needle moves in a straight line: 0 at (31, 29), 20 at (133, 30),
// 30 at (178, 30), 9999 at (186, 30).
constexpr double kUnit = 1024.0;
INSTANTIATE_TEST_SUITE_P(
    Scale, FuelPressureReadings,
    ::testing::Values(
        Reading{"zero", 0, 0.0, 31, 29},
        Reading{"ten units, halfway to the 20 mark", 10 * kUnit, 10.0, 82, 29.5},
        Reading{"the 20 mark", 20 * kUnit, 20.0, 133, 30},
        Reading{"the 30 mark", 30 * kUnit, 30.0, 178, 30},
        Reading{"one count short of a unit is not rounded", 1023, 0.9990234375,
                31 + 102 * (0.9990234375 / 20), 29 + 0.9990234375 / 20},
        Reading{"50 lies just past the 30 mark", 50 * kUnit, 50.0, 178 + 8 * (20.0 / 9969), 30},
        Reading{"the last mark is reached only at 9999", 9999 * kUnit, 9999.0, 186, 30},
        Reading{"a negative reading reaches the host unchanged", -2 * kUnit, -2.0, 31, 29}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(FuelPressure, RecordsAsTheHostReadsThem) {
    expect_tree(*gauge, {
        {"face", ELEMENT_TYPE_STATIC_IMAGE, 4096, {204, 162}, {0, 0}, {0, 0}, 0x4001, -1},
        {"needle", ELEMENT_TYPE_NEEDLE, 8192, {120, 9}, {103, 155}, {3, 5}, 0x4003, 0},
        {"cover", ELEMENT_TYPE_STATIC_IMAGE, 12288, {204, 51}, {0, 111}, {0, 0}, 0x4001, 1},
    });
    EXPECT_EQ(gauge->header()->size_x_mm, 40u);

    ELEMENT_NEEDLE* n = needle();
    EXPECT_EQ(n->source_var.id, kFuelPressure);
    EXPECT_NE(n->callback, nullptr);
    EXPECT_EQ(n->scale_words[0], 1u);
    EXPECT_EQ(n->scale_words[1], 1u);
    EXPECT_EQ(n->nonlinearity_count, 4u);
    for (uint32_t i = 0; i < n->nonlinearity_count; ++i) EXPECT_EQ(n->nonlinearity[i].host_owned, 0.0);

    // Failures tie only the needle: key 2 -> action 0, key 10 -> action 1.
    EXPECT_EQ(gauge->element(0).record->failures, nullptr);
    EXPECT_EQ(gauge->element(2).record->failures, nullptr);
    const FAILURE_RECORD* f = n->header.failures;
    ASSERT_NE(f, nullptr);
    EXPECT_EQ((std::vector<int32_t>{f[0].key, f[0].action, f[1].key, f[1].action, f[2].key}),
              (std::vector<int32_t>{2, 0, 10, 1, 0}));
    EXPECT_EQ(f[0].zero | f[1].zero | f[2].zero, 0u);
}

// Install hands the host the mouse list with the size of the face it has just loaded; kill
// withdraws the list before the tree goes.
TEST_F(FuelPressure, InstallHandsOverTheMouseListAndKillWithdrawsIt) {
    std::vector<std::string> order;
    for (const panel::OpCall& op : host.ops()) order.push_back(op.op);
    ASSERT_EQ(order, (std::vector<std::string>{"element_list_query", "element_list_install", "mouse_list_install",
                                               "mouse_list_register", "element_list_initialize"}));
    const panel::OpCall& install = host.ops()[2];
    EXPECT_EQ(install.gauge, gauge->header());
    EXPECT_EQ(install.subject, gauge->mouse_list());
    ASSERT_NE(install.size, nullptr);
    EXPECT_EQ(xy(*static_cast<const PIXPOINT*>(install.size)), std::make_pair(204, 162));

    const MOUSERECT* list = gauge->mouse_list();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ((std::vector<int32_t>{list[0].kind, list[1].kind, list[2].kind}),
              (std::vector<int32_t>{MOUSE_PARENT_BEGIN, MOUSE_PARENT_END, MOUSE_END_OF_LIST}));
    EXPECT_EQ(list[0].help_id, 42502);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const MOUSE_BOX& b = list[i].box;
        EXPECT_EQ((std::vector<int32_t>{b.x, b.y, b.width, b.height}), std::vector<int32_t>(4, 0));
        EXPECT_EQ(list[i].cursor, CURSOR_NONE);
        EXPECT_EQ(list[i].mouse_flags, 0u);
        EXPECT_EQ(list[i].event_id, 0u);
        EXPECT_EQ(list[i].handler, nullptr);
        if (i > 0) EXPECT_EQ(list[i].help_id, 0);
    }

    host.clear_ops();
    host.kill(*gauge);
    order.clear();
    for (const panel::OpCall& op : host.ops()) order.push_back(op.op);
    ASSERT_EQ(order, (std::vector<std::string>{"mouse_list_unregister", "element_list_kill"}));
    EXPECT_EQ(host.ops()[0].subject, list);
    EXPECT_EQ(host.ops()[0].gauge, gauge->header());
}

// The whole gauge carries the instrument's help text; nowhere does a click act.
TEST_F(FuelPressure, HelpEverywhereAndNoClickableArea) {
    host.set_token(kFuelPressure, 25 * kUnit);
    host.frame();
    const std::pair<int, int> points[] = {{0, 0}, {203, 161}, {103, 155}, {133, 30}, {60, 120}, {203, 0}};
    for (const auto& [x, y] : points) {
        SCOPED_TRACE(testing::Message() << "(" << x << ", " << y << ")");
        EXPECT_EQ(host.help_id_at(*gauge, x, y), 42502);
        EXPECT_EQ(host.cursor_at(*gauge, x, y), CURSOR_NONE);
        const panel::ClickResult click = host.click(*gauge, x, y);
        EXPECT_EQ(click.area, -1);
        EXPECT_FALSE(click.handled);
        host.hold(*gauge, x, y, 2);
    }
    EXPECT_TRUE(host.events().empty());
    EXPECT_EQ(host.help_id_at(*gauge, 204, 10), 0) << "right of the gauge";
    EXPECT_EQ(host.help_id_at(*gauge, 10, 162), 0) << "below the gauge";
    host.frame();
    EXPECT_EQ(gauge->element(1).value, 25.0);
}

// ---------------------------------------------------------------------------------------
// Fuel quantity

class FuelQuantity : public PanelTest {
protected:
    void SetUp() override { gauge = &place("tq36_lfuel", "tq36_lfuel"); }
    GAUGEHDR_800* header() { return reinterpret_cast<GAUGEHDR_800*>(gauge->header()); }
    ELEMENT_NEEDLE_700* needle() { return reinterpret_cast<ELEMENT_NEEDLE_700*>(gauge->element(1).record); }
    // Every byte of the gauge the host can see: header, element records, mouse list.
    std::vector<unsigned char> snapshot() {
        std::vector<unsigned char> bytes;
        auto add = [&](const void* p, size_t n) {
            const auto* b = static_cast<const unsigned char*>(p);
            bytes.insert(bytes.end(), b, b + n);
        };
        add(header(), sizeof(GAUGEHDR_800));
        for (const panel::ElementState& e : gauge->elements())
            add(e.record, e.type == ELEMENT_TYPE_NEEDLE ? sizeof(ELEMENT_NEEDLE_700) : sizeof(ELEMENT_STATIC_IMAGE_700));
        add(header()->head.mouse_rect, 3 * sizeof(MOUSERECT));
        return bytes;
    }
    panel::Gauge* gauge = nullptr;
};

class FuelQuantityReadings : public FuelQuantity, public ::testing::WithParamInterface<Reading> {};

TEST_P(FuelQuantityReadings, QuantityHeldOnTheDial) {
    expect_reading(host, *gauge, kLeftTank, GetParam());
}

// Empty at (16, 43), full (40) at (183, 44).
INSTANTIATE_TEST_SUITE_P(
    Scale, FuelQuantityReadings,
    ::testing::Values(
        Reading{"empty", 0.0, 0.0, 16, 43},
        Reading{"a fraction passes unchanged", 12.75, 12.75, 16 + 167 * (12.75 / 40), 43 + 12.75 / 40},
        Reading{"half", 20.0, 20.0, 99.5, 43.5},
        Reading{"full", 40.0, 40.0, 183, 44},
        Reading{"above full reads full", 40.5, 40.0, 183, 44},
        Reading{"below empty reads empty", -0.1, 0.0, 16, 43},
        Reading{"not a number reads empty", NAN, 0.0, 16, 43},
        Reading{"plus infinity reads full", INFINITY, 40.0, 183, 44},
        Reading{"minus infinity reads empty", -INFINITY, 0.0, 16, 43}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(FuelQuantity, RecordsAsTheHostReadsThem) {
    expect_tree(*gauge, {
        {"face", ELEMENT_TYPE_STATIC_IMAGE, 256, {200, 163}, {0, 0}, {0, 0}, 0x4083, -1},
        {"needle", ELEMENT_TYPE_NEEDLE, 4352, {100, 16}, {99, 129}, {0, 8}, 0x4083, 0},
        {"cover", ELEMENT_TYPE_STATIC_IMAGE, 4608, {200, 50}, {0, 112}, {0, 0}, 0x4083, 1},
    });
    GAUGEHDR_800* h = header();
    EXPECT_EQ(h->head.size_x_mm, 100u);
    EXPECT_NE(h->head.gauge_callback, nullptr);
    for (uint32_t w : h->reserved_96) EXPECT_EQ(w, 0u);

    // The value callback sits in the version-800 slot; the 610 slot and the 610-only words stay 0.
    ELEMENT_NEEDLE_700* n = needle();
    EXPECT_EQ(n->needle.source_var.id, kLeftTank);
    EXPECT_NE(n->callback, nullptr);
    EXPECT_EQ(n->needle.callback, nullptr);
    EXPECT_EQ(n->needle.scale_words[0], 0u);
    EXPECT_EQ(n->needle.scale_words[1], 0u);
    EXPECT_EQ(n->needle.nonlinearity_count, 2u);

    // Each element has a failure list of its own, holding only the end record.
    std::vector<const FAILURE_RECORD*> lists;
    for (const panel::ElementState& e : gauge->elements()) {
        const FAILURE_RECORD* f = e.record->failures;
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f[0].key, 0);
        EXPECT_EQ(f[0].action, 0);
        EXPECT_EQ(f[0].zero, 0u);
        lists.push_back(f);
    }
    EXPECT_TRUE(lists[0] != lists[1] && lists[1] != lists[2] && lists[0] != lists[2]);

    // The header's own mouse list: the outer parent, without help text, and the end records.
    const MOUSERECT* list = h->head.mouse_rect;
    ASSERT_NE(list, nullptr);
    EXPECT_EQ((std::vector<int32_t>{list[0].kind, list[1].kind, list[2].kind}),
              (std::vector<int32_t>{MOUSE_PARENT_BEGIN, MOUSE_PARENT_END, MOUSE_END_OF_LIST}));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list[i].help_id, 0);
        EXPECT_EQ(list[i].cursor, CURSOR_NONE);
        EXPECT_EQ(list[i].handler, nullptr);
        EXPECT_EQ(list[i].event_id, 0u);
    }
}

TEST_F(FuelQuantity, NoHelpTextAndNoClickableArea) {
    host.set_token(kLeftTank, 30.0);
    host.frame();
    const std::pair<int, int> points[] = {{0, 0}, {199, 162}, {99, 129}, {16, 43}, {183, 44}, {100, 80}};
    for (const auto& [x, y] : points) {
        SCOPED_TRACE(testing::Message() << "(" << x << ", " << y << ")");
        EXPECT_EQ(host.help_id_at(*gauge, x, y), 0);
        EXPECT_EQ(host.cursor_at(*gauge, x, y), CURSOR_NONE);
        const panel::ClickResult click = host.click(*gauge, x, y);
        EXPECT_EQ(click.area, -1);
        EXPECT_FALSE(click.handled);
        host.hold(*gauge, x, y, 2);
    }
    EXPECT_TRUE(host.events().empty());
    host.frame();
    EXPECT_EQ(gauge->element(1).value, 30.0);
}

// Whatever service the host sends, with whatever extra data, nothing the host can see moves.
TEST_F(FuelQuantity, NoServiceChangesTheGauge) {
    host.set_token(kLeftTank, 25.0);
    host.frame();
    const std::vector<unsigned char> before = snapshot();
    host.clear_ops();
    const GAUGE_EXTRA_DATA extras[] = {0, reinterpret_cast<GAUGE_EXTRA_DATA>(gauge->module().handle()), 0xFFFFFFFFu};
    for (int32_t id : {2, 6, 10, 12, 14, 0, 1, 3, 4, 5, 7, 8, 9, 11, 13, 15, 16, 99, -1, INT32_MAX, INT32_MIN}) {
        for (GAUGE_EXTRA_DATA extra : extras) {
            host.service(*gauge, id, extra);
            ASSERT_EQ(snapshot(), before) << "service " << id << ", extra " << extra;
        }
    }
    EXPECT_TRUE(host.ops().empty());
    EXPECT_TRUE(host.events().empty());
    host.frame();
    EXPECT_EQ(gauge->element(1).value, 25.0);
    EXPECT_FALSE(gauge->element(1).hidden());
}

// The host drives a version-800 tree itself; the routines, called directly, forward each
// operation on the root of the first gauge in Linkage and touch no mouse list.
TEST_F(FuelQuantity, RoutinesForwardOnTheRootFoundThroughLinkage) {
    panel::Module& module = gauge->module();
    host.kill(*gauge);
    host.clear_ops();
    GAUGEHDR* h = module.linkage()->gauges[0];
    ELEMENT_HEADER* root = h->elements_list[0];
    ASSERT_EQ(host.tree(root), nullptr);

    host.set_token(kLeftTank, 55.0);
    h->query();
    h->install(module.handle());
    ASSERT_NE(host.tree(root), nullptr);
    EXPECT_NE(reinterpret_cast<ELEMENT_STATIC_IMAGE_700*>(root)->image, nullptr);
    h->initialize();
    h->update();
    EXPECT_EQ(host.tree(root)->at(1).value, 40.0) << "update evaluates the needle";
    h->generate(1);
    h->draw();
    h->kill();
    EXPECT_EQ(host.tree(root), nullptr);

    std::vector<std::string> order;
    for (const panel::OpCall& op : host.ops()) {
        order.push_back(op.op);
        EXPECT_EQ(op.subject, root) << op.op;
    }
    EXPECT_EQ(order, (std::vector<std::string>{"element_list_query", "element_list_install", "element_list_initialize",
                                               "element_list_update", "element_list_generate", "element_list_plot",
                                               "element_list_kill"}));
    EXPECT_TRUE(host.faults().empty());
}

}  // namespace
