// The face shared by the NAV and COM radio heads: a 154 x 163 face with the active frequency
// across the top, the standby frequency below it, click areas at the lower edge of each
// display, a transfer button at the upper right and a concentric tuning knob at the lower
// right with a second picture drawn over it. Each head builds its records from these pieces
// and supplies its own handlers, tokens and bitmaps.
#pragma once

#include "framework/mouse.h"
#include "framework/records.h"

namespace radio_head {

constexpr PIXPOINT kActiveDisplayAt = {6, 16};
constexpr PIXPOINT kStandbyDisplayAt = {6, 48};
constexpr PIXPOINT kKnobOverlayAt = {90, 90};

// Token that ties the standby display to a host variable; its callback never reads it.
constexpr int32_t kStandbyDisplayToken = 1;

constexpr uint32_t kRed = 0x0000FF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kYellow = 0x00FFFF;   // highlight of the active frequency
constexpr uint32_t kOrange = 0x0064FF;   // highlight of the standby frequency

// Six characters: three MHz digits, the point, two fraction digits.
constexpr int32_t kFrequencyChars = 6;

// Image flags of the knob's second picture: drawn with black transparent, hidden at load.
constexpr uint32_t kKnobOverlayFlags = IMAGE_HIDDEN | IMAGE_TRANSPARENT_BLACK;

// Every element of a head fails the same way. Each module holds its own copy.
inline constinit FAILURE_RECORD failures[] = {{9, 0, 0}, {1, 2, 0}, {10, 1, 0}, {0, 0, 0}};

constexpr MODULE_VAR token(int32_t id) { return {id, nullptr, 0, {0.0}, {0, 0}}; }

// A frequency display: a red-on-black text string of six characters.
constexpr ELEMENT_STRING frequency_display(GAUGEHDR* gauge, PIXPOINT at,
                                           int32_t source_token, STRING_CALLBACK_610 callback,
                                           uint32_t highlight_color, HIGHLIGHT_RECORD* highlight) {
    return ELEMENT_STRING{
        .header = {.type = ELEMENT_TYPE_STRING, .resource_id = -1, .position = at,
                   .host_owned_16 = {}, .offset = {0, 0}, .gauge_header = gauge,
                   .host_owned_36 = nullptr, .children = nullptr, .failures = failures,
                   .image_flags = 0x5, .reserved = {}},
        .source_vars = {token(source_token), token(0), token(0)},
        .host_owned_144 = {},
        .callback = callback,
        .text = nullptr,
        .host_owned_188 = 0,
        .box_size = {115, 25},
        .host_owned_200 = {},
        .text_color = kRed,
        .background_color = kBlack,
        .highlight_color = highlight_color,
        .host_owned_220 = {},
        .font_name = "Arial",
        .font_weight = 400,
        .font_charset = 1,
        .text_format = 0x25,
        .max_chars = kFrequencyChars,
        .host_owned_296 = 0,
        .highlight_list = highlight,
        .host_owned_304 = {},
    };
}

// A bitmap of the face: the face itself (the root, with children) or the knob's second picture.
constexpr ELEMENT_STATIC_IMAGE image(GAUGEHDR* gauge, int32_t resource_id,
                                     PIXPOINT at, uint32_t flags, ELEMENT_HEADER** children) {
    return ELEMENT_STATIC_IMAGE{
        .header = {.type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = resource_id, .position = at,
                   .host_owned_16 = {}, .offset = {0, 0}, .gauge_header = gauge,
                   .host_owned_36 = nullptr, .children = children, .failures = failures,
                   .image_flags = flags, .reserved = {}},
        .image = nullptr,
        .host_owned = {},
    };
}

// Click areas. Under each display: whole-MHz down (x 10 to 29) and up (x 30 to 49) under the
// MHz digits, fraction down (x 85 to 99) and up (x 100 to 114) under the fraction digits.
constexpr int32_t kActiveAreasY = 40;
constexpr int32_t kStandbyAreasY = 70;

constexpr MOUSERECT whole_up(int32_t y, MOUSE_HANDLER h) {
    return mouse::child({30, y, 20, 15}, CURSOR_UP_ARROW, MOUSE_LEFT_SINGLE, h);
}
constexpr MOUSERECT whole_down(int32_t y, MOUSE_HANDLER h) {
    return mouse::child({10, y, 20, 15}, CURSOR_DOWN_ARROW, MOUSE_LEFT_SINGLE, h);
}
constexpr MOUSERECT fraction_up(int32_t y, MOUSE_HANDLER h) {
    return mouse::child({100, y, 15, 15}, CURSOR_UP_ARROW, MOUSE_LEFT_SINGLE, h);
}
constexpr MOUSERECT fraction_down(int32_t y, MOUSE_HANDLER h) {
    return mouse::child({85, y, 15, 15}, CURSOR_DOWN_ARROW, MOUSE_LEFT_SINGLE, h);
}
constexpr MOUSERECT transfer(MOUSE_HANDLER h) {
    return mouse::child({120, 30, 20, 20}, CURSOR_HAND, MOUSE_LEFT_SINGLE, h);
}

// The knob, split into thirds: left steps down, right steps up (both repeat while held),
// the centre is the knob's push (its flags differ between the heads).
constexpr MOUSERECT knob_left(MOUSE_HANDLER h) {
    return mouse::child({90, 90, 20, 50}, CURSOR_DOWN_ARROW, MOUSE_LEFT_HELD, h);
}
constexpr MOUSERECT knob_right(MOUSE_HANDLER h) {
    return mouse::child({130, 90, 20, 50}, CURSOR_UP_ARROW, MOUSE_LEFT_HELD, h);
}
constexpr MOUSERECT knob_centre(uint32_t flags, MOUSE_HANDLER h) {
    return mouse::child({110, 90, 20, 50}, CURSOR_HAND, flags, h);
}

}  // namespace radio_head
