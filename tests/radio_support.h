// What the NAV and COM head tests share: where a pilot clicks on the face, the face's mouse
// list as the host must see it, and the module's version strings.
#pragma once

#include <string.h>

#include <string>
#include <vector>

#include "platform/resources.h"
#include "tests/support.h"

namespace radio_support {

struct Spot {
    const char* name;
    int x, y;
};
inline void PrintTo(const Spot& s, std::ostream* os) { *os << s.name << " (" << s.x << ", " << s.y << ")"; }

// One pixel inside each click area of the face.
constexpr Spot kActiveWholeDown{"active whole-MHz down", 15, 45};
constexpr Spot kActiveWholeUp{"active whole-MHz up", 35, 45};
constexpr Spot kActiveFractionDown{"active fraction down", 90, 45};
constexpr Spot kActiveFractionUp{"active fraction up", 105, 45};
constexpr Spot kStandbyWholeDown{"standby whole-MHz down", 15, 75};
constexpr Spot kStandbyWholeUp{"standby whole-MHz up", 35, 75};
constexpr Spot kStandbyFractionDown{"standby fraction down", 90, 75};
constexpr Spot kStandbyFractionUp{"standby fraction up", 105, 75};
constexpr Spot kTransfer{"transfer", 130, 40};
constexpr Spot kKnobLeft{"knob left third", 100, 115};
constexpr Spot kKnobCentre{"knob centre", 120, 115};
constexpr Spot kKnobRight{"knob right third", 140, 115};

// Pixels with no click area: the drawn mode selector and push buttons at the lower left,
// the displays themselves, and the gaps next to the areas.
inline const std::vector<Spot>& dead_spots() {
    static const std::vector<Spot> spots = {
        {"mode selector", 30, 120},   {"left push button", 55, 135}, {"right push button", 75, 135},
        {"active digits", 60, 25},    {"standby digits", 60, 60},    {"between MHz and fraction", 60, 45},
        {"left of the MHz areas", 9, 45}, {"right of the fraction areas", 116, 75},
        {"above the transfer button", 130, 29}, {"below the knob", 120, 140}, {"right of the knob", 150, 115},
    };
    return spots;
}

// The fields of one mouse record that the host acts on.
struct Area {
    int32_t kind;
    MOUSE_BOX box;
    int32_t cursor;
    uint32_t flags;
};

// The face's areas in array order, with the knob's centre and right third in the given order.
inline std::vector<Area> face_areas(const Area& knob_second, const Area& knob_third) {
    const int32_t up = CURSOR_UP_ARROW, down = CURSOR_DOWN_ARROW;
    return {
        {MOUSE_PARENT_BEGIN, {0, 0, 0, 0}, CURSOR_NONE, 0},
        {MOUSE_CHILD, {30, 40, 20, 15}, up, 0x20000000},
        {MOUSE_CHILD, {10, 40, 20, 15}, down, 0x20000000},
        {MOUSE_CHILD, {100, 40, 15, 15}, up, 0x20000000},
        {MOUSE_CHILD, {85, 40, 15, 15}, down, 0x20000000},
        {MOUSE_CHILD, {30, 70, 20, 15}, up, 0x20000000},
        {MOUSE_CHILD, {10, 70, 20, 15}, down, 0x20000000},
        {MOUSE_CHILD, {100, 70, 15, 15}, up, 0x20000000},
        {MOUSE_CHILD, {85, 70, 15, 15}, down, 0x20000000},
        {MOUSE_CHILD, {120, 30, 20, 20}, CURSOR_HAND, 0x20000000},
        {MOUSE_CHILD, {90, 90, 20, 50}, down, 0x20200000},
        knob_second,
        knob_third,
        {MOUSE_PARENT_END, {0, 0, 0, 0}, CURSOR_NONE, 0},
        {MOUSE_END_OF_LIST, {0, 0, 0, 0}, CURSOR_NONE, 0},
    };
}

// Compares a mouse list record by record: children carry a handler, nothing carries a help
// id or a host event.
inline void expect_mouse_list(const MOUSERECT* list, const std::vector<Area>& expected) {
    ASSERT_NE(list, nullptr);
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("mouse record " + std::to_string(i));
        const MOUSERECT& r = list[i];
        const Area& e = expected[i];
        EXPECT_EQ(r.kind, e.kind);
        EXPECT_EQ((std::vector<int32_t>{r.box.x, r.box.y, r.box.width, r.box.height}),
                  (std::vector<int32_t>{e.box.x, e.box.y, e.box.width, e.box.height}));
        EXPECT_EQ(r.cursor, e.cursor);
        EXPECT_EQ(r.mouse_flags, e.flags);
        EXPECT_EQ(r.help_id, 0);
        EXPECT_EQ(r.event_id, 0u);
        EXPECT_EQ(r.reserved, 0u);
        EXPECT_EQ(r.handler != nullptr, e.kind == MOUSE_CHILD);
    }
}

// True if the module's version resource holds `text` (stored as UTF-16).
inline bool version_resource_holds(panel::Module& module, const std::string& text) {
    platform::ResourceBytes bytes;
    if (!platform::find_module_resource(module.handle(), {platform::RES_TYPE_VERSION, nullptr}, {1, nullptr}, &bytes))
        return false;
    std::string wide;
    for (char c : text) {
        wide += c;
        wide += '\0';
    }
    const std::string block(reinterpret_cast<const char*>(bytes.data), bytes.size);
    return block.find(wide) != std::string::npos;
}

// Checks a display string's record (position, box, colours, font, six characters).
inline void expect_frequency_display(const ELEMENT_STRING* s, int32_t y, int32_t token, uint32_t highlight_color) {
    EXPECT_EQ(s->header.type, ELEMENT_TYPE_STRING);
    EXPECT_EQ(s->header.resource_id, -1);
    EXPECT_EQ(s->header.position.x, 6);
    EXPECT_EQ(s->header.position.y, y);
    EXPECT_EQ(s->header.image_flags, 0x5u);
    EXPECT_EQ(s->source_vars[0].id, token);
    EXPECT_EQ(s->source_vars[1].id, 0);
    EXPECT_EQ(s->source_vars[2].id, 0);
    EXPECT_NE(s->callback, nullptr);
    EXPECT_EQ(s->box_size.x, 115);
    EXPECT_EQ(s->box_size.y, 25);
    EXPECT_EQ(s->text_color, 0x0000FFu);
    EXPECT_EQ(s->background_color, 0u);
    EXPECT_EQ(s->highlight_color, highlight_color);
    EXPECT_STREQ(s->font_name, "Arial");
    EXPECT_EQ(s->font_weight, 400);
    EXPECT_EQ(s->font_charset, 1);
    EXPECT_EQ(s->text_format, 0x25u);
    EXPECT_EQ(s->max_chars, 6);
}

// Every element of a head: failure keys 9, 1, 10 with actions 0, 2, 1, and its gauge.
inline void expect_head_element(const ELEMENT_HEADER* e, const GAUGEHDR* gauge) {
    EXPECT_EQ(e->gauge_header, gauge);
    const FAILURE_RECORD* f = e->failures;
    ASSERT_NE(f, nullptr);
    EXPECT_EQ((std::vector<int>{f[0].key, f[0].action, f[1].key, f[1].action, f[2].key, f[2].action, f[3].key}),
              (std::vector<int>{9, 0, 1, 2, 10, 1, 0}));
    EXPECT_EQ(e->reserved[0], 0u);
    EXPECT_EQ(e->reserved[1], 0u);
}

// A highlight list as (selection, first, last) triples, end record included.
inline std::vector<int32_t> highlight_triples(const HIGHLIGHT_RECORD* list) {
    std::vector<int32_t> out;
    for (int i = 0; list != nullptr && i < 8; ++i) {
        out.insert(out.end(), {list[i].selection_id, list[i].first, list[i].last});
        if (list[i].selection_id == 0) break;
    }
    return out;
}

}  // namespace radio_support
