// Radio heads: the transponder face, the NAV and COM faces and the second position of their
// concentric tuning knob. The host draws the digits themselves (red on black) in the text
// boxes that sit in each face's display window; everything else is painted here.
#include <math.h>

#include <string>
#include <vector>

#include "art/drawings.h"
#include "art/paint.h"

namespace art {
namespace {

constexpr int kFaceWidth = 154, kFaceHeight = 163;
constexpr Rgb kBezel = 0x232427;

struct Box {
    double x, y, w, h;
    double cx() const { return x + w / 2; }
};

// A display window sunk into the bezel.
void display_window(cairo_t* cr, Box b) {
    rounded_rect(cr, b.x - 1, b.y - 1, b.w + 2, b.h + 2, 3);
    set(cr, 0x101112);
    cairo_fill(cr);
    rounded_rect(cr, b.x, b.y, b.w, b.h, 2);
    set(cr, colour::window);
    cairo_fill(cr);
    // Shadow of the bezel along the top edge of the glass.
    cairo_move_to(cr, b.x + 1, b.y + 0.5);
    cairo_line_to(cr, b.x + b.w - 1, b.y + 0.5);
    set(cr, 0x2A2B2D);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

// A small step arrow: pointing up when `up`, centred on (cx, cy).
void step_arrow(cairo_t* cr, double cx, double cy, double size, bool up, Rgb c = 0x9A9EA3) {
    const double h = size * 0.55, half = size / 2;
    if (up) {
        cairo_move_to(cr, cx, cy - h);
        cairo_line_to(cr, cx + half, cy + h);
        cairo_line_to(cr, cx - half, cy + h);
    } else {
        cairo_move_to(cr, cx, cy + h);
        cairo_line_to(cr, cx + half, cy - h);
        cairo_line_to(cr, cx - half, cy - h);
    }
    cairo_close_path(cr);
    set(cr, c);
    cairo_fill(cr);
}

void face_plate(cairo_t* cr) {
    fill_all(cr, kBezel);
    plate(cr, 0, 0, kFaceWidth, kFaceHeight, 5, kBezel);
    screw(cr, 6, 6, 3);
    screw(cr, kFaceWidth - 6, 6, 3, 2.0);
    screw(cr, 6, kFaceHeight - 6, 3, 1.2);
    screw(cr, kFaceWidth - 6, kFaceHeight - 6, 3, 2.6);
}

// A rotary selector with its positions labelled around it.
void selector(cairo_t* cr, double cx, double cy, double r, const std::vector<std::string>& positions,
              int selected, const char* title) {
    const double spread = 55.0 * M_PI / 180;  // between neighbouring positions
    const double first = -spread * (positions.size() - 1) / 2;
    for (size_t i = 0; i < positions.size(); ++i) {
        const double a = first + spread * i - M_PI / 2;
        radial(cr, {cx, cy}, a, r + 1.5, r + 4, 1.2, colour::marking);
        text(cr, cx + cos(a) * (r + 10), cy + sin(a) * (r + 9), positions[i], 7, colour::marking);
    }
    knob(cr, cx, cy, r, first + spread * selected, 0x2E3034, 18);
    if (title) text(cr, cx, cy + r + 8, title, 7, 0xB8BBBF);
}

// --- Transponder ---------------------------------------------------------------------------

struct TransponderLayout {
    Box window{3, 11, 148, 44};
    double first_column = 6, column_pitch = 40, column_width = 20;  // the digit boxes
    double up_arrow_y = 57.5;    // just under the window, inside each column's up area
    Box down_button{0, 69, 16, 16};  // x relative to the column
    Point mode_knob{30, 124};
    Point ident{84, 116};
    Point reply_lamp{118, 116};
};
constexpr TransponderLayout xpdr;

// --- NAV and COM ---------------------------------------------------------------------------

struct RadioLayout {
    Box active_window{3, 12, 119, 30};
    Box standby_window{3, 47, 119, 30};
    // Step areas under the displays: whole MHz (down, up), then the fraction (down, up).
    double step_x[4] = {20, 40, 92.5, 107.5};
    double active_step_y = 44.5, standby_step_y = 81;
    Box transfer{121, 31, 18, 18};
    Point mode_knob{26, 120};
    Point button_upper{64, 106}, button_lower{64, 138};
    double button_r = 9;
};
constexpr RadioLayout radio;

// The concentric tuning knob, outer and inner. In its second position the inner knob is
// pulled out: it stands larger and lighter on its shaft, its index turned.
struct TuningKnob {
    Point centre;
    double r;
};
constexpr TuningKnob nav_knob{{121, 121}, 29};
constexpr TuningKnob com_knob{{117.5, 118}, 26.5};

void tuning_knob(cairo_t* cr, const TuningKnob& k, bool second_position) {
    // Shadow ring, then the outer (MHz) knob.
    knob(cr, k.centre.x, k.centre.y, k.r, 0.0, 0x2A2C30, 30);
    circle(cr, k.centre.x, k.centre.y, k.r * 0.62);
    set(cr, 0x0F1011);
    cairo_fill(cr);
    if (second_position) {
        circle(cr, k.centre.x, k.centre.y, k.r * 0.6);
        set(cr, colour::chrome_dark);
        cairo_fill(cr);
        knob(cr, k.centre.x, k.centre.y, k.r * 0.55, M_PI / 3, 0x4A4E54, 20);
        circle(cr, k.centre.x, k.centre.y, k.r * 0.12);
        set(cr, colour::amber);
        cairo_fill(cr);
    } else {
        knob(cr, k.centre.x, k.centre.y, k.r * 0.5, 0.0, 0x303236, 20);
    }
}

void transfer_button(cairo_t* cr, Box b) {
    rounded_rect(cr, b.x - 1, b.y - 1, b.w + 2, b.h + 2, 3);
    set(cr, 0x0E0E0F);
    cairo_fill(cr);
    rounded_rect(cr, b.x, b.y, b.w, b.h, 2.5);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, b.y, 0, b.y + b.h);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.36, 0.37, 0.39);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.16, 0.17, 0.18);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Two opposed arrows.
    const double cx = b.cx(), cy = b.y + b.h / 2;
    set(cr, colour::marking);
    cairo_set_line_width(cr, 1.3);
    cairo_move_to(cr, cx - 5, cy - 3); cairo_line_to(cr, cx + 5, cy - 3); cairo_stroke(cr);
    cairo_move_to(cr, cx + 5, cy - 3); cairo_line_to(cr, cx + 2, cy - 6); cairo_line_to(cr, cx + 2, cy); cairo_close_path(cr); cairo_fill(cr);
    cairo_move_to(cr, cx + 5, cy + 3); cairo_line_to(cr, cx - 5, cy + 3); cairo_stroke(cr);
    cairo_move_to(cr, cx - 5, cy + 3); cairo_line_to(cr, cx - 2, cy); cairo_line_to(cr, cx - 2, cy + 6); cairo_close_path(cr); cairo_fill(cr);
}

void radio_face(Canvas& c, const char* label, const TuningKnob& k, const char* upper_button,
                const char* lower_button, const char* knob_legend) {
    Paint p(c, kBezel);
    cairo_t* cr = p.cr;
    face_plate(cr);
    display_window(cr, radio.active_window);
    display_window(cr, radio.standby_window);
    for (int i = 0; i < 4; ++i) {
        const bool up = i % 2 == 1;
        step_arrow(cr, radio.step_x[i], radio.active_step_y, 5, up);
        step_arrow(cr, radio.step_x[i], radio.standby_step_y, 6, up);
    }
    text(cr, 137, 20, label, 11, colour::marking);
    transfer_button(cr, radio.transfer);
    selector(cr, radio.mode_knob.x, radio.mode_knob.y, 11, {"OFF", "ON", "TST"}, 1, "MODE");
    push_button(cr, radio.button_upper.x, radio.button_upper.y, radio.button_r, upper_button);
    push_button(cr, radio.button_lower.x, radio.button_lower.y, radio.button_r, lower_button);
    tuning_knob(cr, k, false);
    text(cr, k.centre.x, 156, knob_legend, 6, 0x9A9EA3);
    text(cr, 30, 156, "TESSARY", 6, 0x9A9EA3);
}

void knob_overlay(Canvas& c, const TuningKnob& k) {
    // Only the knob is painted; the rest stays see-through over the face.
    Paint p(c, kBezel);
    cairo_translate(p.cr, -90, -90);  // the overlay sits at (90, 90) on the face
    tuning_knob(p.cr, k, true);
}

}  // namespace

void transponder_face(Canvas& c) {
    Paint p(c, kBezel);
    cairo_t* cr = p.cr;
    face_plate(cr);
    display_window(cr, xpdr.window);
    for (int k = 0; k < 4; ++k) {
        const double x = xpdr.first_column + xpdr.column_pitch * k;
        const double cx = x + xpdr.column_width / 2;
        step_arrow(cr, cx, xpdr.up_arrow_y, 6, true);
        const Box b{x + 2, xpdr.down_button.y, xpdr.down_button.w, xpdr.down_button.h};
        rounded_rect(cr, b.x, b.y, b.w, b.h, 2.5);
        set(cr, 0x303236);
        cairo_fill(cr);
        step_arrow(cr, cx, b.y + b.h / 2, 7, false, colour::marking);
    }
    selector(cr, xpdr.mode_knob.x, xpdr.mode_knob.y, 13, {"OFF", "SBY", "ON", "ALT", "TST"}, 3, nullptr);
    push_button(cr, xpdr.ident.x, xpdr.ident.y, 11, "IDT");
    circle(cr, xpdr.reply_lamp.x, xpdr.reply_lamp.y, 5);
    set(cr, 0x0E0E0F);
    cairo_fill(cr);
    circle(cr, xpdr.reply_lamp.x, xpdr.reply_lamp.y, 4);
    set(cr, 0x5A3A10);
    cairo_fill(cr);
    text(cr, xpdr.reply_lamp.x, xpdr.reply_lamp.y + 12, "REPLY", 6, 0x9A9EA3);
    text(cr, 100, 146, "TRANSPONDER", 9, colour::marking);
    text(cr, 100, 156, "TESSARY", 6, 0x9A9EA3);
}

void nav_face(Canvas& c) { radio_face(c, "NAV", nav_knob, "ID", "CHN", "PUSH ID"); }
void nav_knob_second_position(Canvas& c) { knob_overlay(c, nav_knob); }
void com_face(Canvas& c) { radio_face(c, "COM", com_knob, "MON", "CHN", "PUSH 25K"); }
void com_knob_second_position(Canvas& c) { knob_overlay(c, com_knob); }

}  // namespace art
