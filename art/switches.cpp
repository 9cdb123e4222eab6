// Switch panel switches: toggles, rockers, the split master switches, the magneto key and
// the annunciator lamps.
//
// A switch's pictures are drawn over its root picture (an icon over the root bitmap), and
// each picture must hide the root completely where it paints. So every picture of a switch
// paints the same mounting plate, and only the ground around the plate stays see-through.
#include <math.h>

#include <string>

#include "art/drawings.h"
#include "art/paint.h"

namespace art {
namespace {

struct Box {
    double x, y, w, h;
    double cx() const { return x + w / 2; }
    double cy() const { return y + h / 2; }
};

constexpr Rgb kLegend = colour::marking;
constexpr Rgb kSmallLegend = 0xC8CBCF;

void mounting_plate(cairo_t* cr, const Canvas& c, double radius) {
    plate(cr, 0, 0, c.width, c.height, radius, colour::plate);
}

// --- Toggle switches -----------------------------------------------------------------------

struct Toggle {
    Point nut;
    double nut_r;
    double lever_reach;  // from the nut centre to the middle of the ball end
    double ball_r;
};

// A bat-handle toggle seen from the front: the nut, and the lever thrown up or down.
void toggle_lever(cairo_t* cr, const Toggle& t, bool up) {
    // Nut: a chrome ring with a dark bore.
    circle(cr, t.nut.x, t.nut.y, t.nut_r);
    cairo_pattern_t* g = cairo_pattern_create_linear(t.nut.x - t.nut_r, t.nut.y - t.nut_r, t.nut.x + t.nut_r, t.nut.y + t.nut_r);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.85, 0.86, 0.88);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.30, 0.31, 0.33);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    circle(cr, t.nut.x, t.nut.y, t.nut_r * 0.55);
    set(cr, 0x151617);
    cairo_fill(cr);
    // Lever: widens from the bore to the ball end.
    const double dir = up ? -1 : 1;
    const double end_y = t.nut.y + dir * t.lever_reach;
    const double base = t.nut_r * 0.35, top = t.ball_r * 0.75;
    cairo_move_to(cr, t.nut.x - base, t.nut.y);
    cairo_line_to(cr, t.nut.x - top, end_y);
    cairo_line_to(cr, t.nut.x + top, end_y);
    cairo_line_to(cr, t.nut.x + base, t.nut.y);
    cairo_close_path(cr);
    g = cairo_pattern_create_linear(t.nut.x - top, 0, t.nut.x + top, 0);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.45, 0.47, 0.50);
    cairo_pattern_add_color_stop_rgb(g, 0.4, 0.95, 0.96, 0.97);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.35, 0.36, 0.38);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Ball end with a highlight.
    circle(cr, t.nut.x, end_y, t.ball_r);
    g = cairo_pattern_create_radial(t.nut.x - t.ball_r * 0.35, end_y - t.ball_r * 0.35, t.ball_r * 0.1, t.nut.x, end_y, t.ball_r);
    cairo_pattern_add_color_stop_rgb(g, 0, 1, 1, 1);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.42, 0.44, 0.47);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

constexpr Toggle kToggle{{18, 28}, 7, 14, 4.2};

void toggle(Canvas& c, bool on) {
    Paint p(c, colour::panel);
    cairo_t* cr = p.cr;
    mounting_plate(cr, c, 4);
    text(cr, 18, 6, "ON", 6, kSmallLegend);
    text(cr, 18, 51, "OFF", 6, kSmallLegend);
    toggle_lever(cr, kToggle, on);
}

constexpr Toggle kNavGpsToggle{{15, 18}, 4.5, 9, 2.8};

void nav_gps(Canvas& c, bool gps) {
    Paint p(c, colour::panel);
    cairo_t* cr = p.cr;
    mounting_plate(cr, c, 3);
    text(cr, 15, 4.5, "NAV", 5.5, kSmallLegend);
    text(cr, 15, 32, "GPS", 5.5, kSmallLegend);
    toggle_lever(cr, kNavGpsToggle, !gps);
}

// --- Rockers -------------------------------------------------------------------------------

// A rocker in its bezel; `top_in` when its upper end is pressed in (on).
void rocker(cairo_t* cr, Box b, bool top_in, Rgb body, const std::string& legend = "", bool stripe = false) {
    rounded_rect(cr, b.x - 1.5, b.y - 1.5, b.w + 3, b.h + 3, 2.5);
    set(cr, 0x0C0C0D);
    cairo_fill(cr);
    rounded_rect(cr, b.x, b.y, b.w, b.h, 1.5);
    set(cr, body);
    cairo_fill_preserve(cr);
    // The pressed end falls away into shadow; the raised end catches the light.
    cairo_pattern_t* g = cairo_pattern_create_linear(0, b.y, 0, b.y + b.h);
    const double in = top_in ? 0.0 : 1.0, out = 1.0 - in;  // ends of the gradient
    cairo_pattern_add_color_stop_rgba(g, in, 0, 0, 0, 0.75);
    cairo_pattern_add_color_stop_rgba(g, 0.5 + (in - 0.5) * 0.08, 0, 0, 0, 0.35);
    cairo_pattern_add_color_stop_rgba(g, 0.5 - (in - 0.5) * 0.08, 1, 1, 1, 0.35);
    cairo_pattern_add_color_stop_rgba(g, out, 1, 1, 1, 0.08);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // The crease across the middle.
    cairo_move_to(cr, b.x + 1, b.cy());
    cairo_line_to(cr, b.x + b.w - 1, b.cy());
    set(cr, 0x000000, 0.35);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    if (stripe) {
        // A white bar on the upper end marks "on".
        cairo_rectangle(cr, b.x + b.w * 0.25, b.y + 4, b.w * 0.5, 2.2);
        set(cr, kLegend, top_in ? 0.75 : 1.0);
        cairo_fill(cr);
    }
    if (!legend.empty()) {
        const double size = std::min(7.0, b.w / (0.62 * legend.size() + 0.4));
        text(cr, b.cx(), b.y + b.h * (top_in ? 0.34 : 0.26), legend, size, kLegend, Align::centre);
    }
}

struct AuxPumpLayout {
    Box emergency{14.5, 36, 21, 66};  // the momentary half (its upper part is the click area)
    Box pump{36.5, 36, 21, 66};       // the pump on/off half
};
constexpr AuxPumpLayout aux_pump_layout;

void aux_pump(Canvas& c, bool pump_on, bool emergency_held) {
    Paint p(c, colour::panel);
    cairo_t* cr = p.cr;
    mounting_plate(cr, c, 4);
    text(cr, 36, 8, "AUX FUEL", 7, kLegend);
    text(cr, 36, 17, "PUMP", 7, kLegend);
    text(cr, aux_pump_layout.emergency.cx(), 28, "EMER", 6, kSmallLegend);
    text(cr, aux_pump_layout.pump.cx(), 28, "ON", 6, kSmallLegend);
    rocker(cr, aux_pump_layout.emergency, emergency_held, colour::master_red, "", true);
    rocker(cr, aux_pump_layout.pump, pump_on, 0x303236, "", true);
}

// Split master switch: the alternator rockers and the battery rocker side by side.
struct MasterLayout {
    const char* legends[3];
    Box rockers[3];
    int count;
};
constexpr MasterLayout kMaster1{{"ALT", "BAT"}, {{2.5, 36, 20, 64}, {23.5, 36, 35, 64}}, 2};
constexpr MasterLayout kMaster2{{"ALT 1", "ALT 2", "BAT"}, {{3.5, 34, 19, 66}, {23.5, 34, 18, 66}, {42.5, 34, 35, 66}}, 3};

void master(Canvas& c, const MasterLayout& m, const bool on[3]) {
    Paint p(c, colour::panel);
    cairo_t* cr = p.cr;
    mounting_plate(cr, c, 4);
    text(cr, c.width / 2.0, 10, "MASTER", 8, kLegend);
    for (int i = 0; i < m.count; ++i) {
        text(cr, m.rockers[i].cx(), 25, m.legends[i], m.count == 3 && i < 2 ? 5.5 : 6.5, kSmallLegend);
        rocker(cr, m.rockers[i], on[i], colour::master_red, "", true);
    }
}

constexpr Box kAvionicsRocker{21, 15, 25, 42};

void avionics(Canvas& c, bool on) {
    Paint p(c, colour::panel);
    cairo_t* cr = p.cr;
    mounting_plate(cr, c, 4);
    text(cr, 29.5, 7, "AVIONICS", 7, kLegend);
    text(cr, 11, 22, "ON", 6, kSmallLegend);
    text(cr, 11, 50, "OFF", 6, kSmallLegend);
    rocker(cr, kAvionicsRocker, on, 0x303236, "", true);
    text(cr, 29.5, 67, "MASTER", 7, kLegend);
}

// --- Magneto key switch --------------------------------------------------------------------

struct MagnetoLayout {
    Point lock{49, 53};
    double cylinder_r = 15;
    double label_r = 33, tick_in = 20, tick_out = 24;
    // Key positions in degrees from straight up, clockwise: OFF, R, L, BOTH, START.
    double angles[5] = {-62, -31, 0, 31, 66};
    const char* names[5] = {"OFF", "R", "L", "BOTH", "START"};
};
constexpr MagnetoLayout magneto;

double key_angle(int position) { return magneto.angles[position] * M_PI / 180; }

}  // namespace

void toggle_off(Canvas& c) { toggle(c, false); }
void toggle_on(Canvas& c) { toggle(c, true); }
void nav_gps_nav(Canvas& c) { nav_gps(c, false); }
void nav_gps_gps(Canvas& c) { nav_gps(c, true); }
void aux_pump_off(Canvas& c) { aux_pump(c, false, false); }
void aux_pump_on(Canvas& c) { aux_pump(c, true, false); }
// Pressing the emergency half switches the pump on, so both halves stand pressed in.
void aux_pump_emergency(Canvas& c) { aux_pump(c, true, true); }

void master_1(Canvas& c, bool alt, bool bat) {
    const bool on[3] = {alt, bat, false};
    master(c, kMaster1, on);
}

void master_2(Canvas& c, bool alt1, bool alt2, bool bat) {
    const bool on[3] = {alt1, alt2, bat};
    master(c, kMaster2, on);
}

void avionics_off(Canvas& c) { avionics(c, false); }
void avionics_on(Canvas& c) { avionics(c, true); }

void magneto_face(Canvas& c) {
    Paint p(c, colour::panel);
    cairo_t* cr = p.cr;
    mounting_plate(cr, c, 6);
    const Point lock = magneto.lock;
    for (int i = 0; i < 5; ++i) {
        const double a = key_angle(i) - M_PI / 2;
        radial(cr, lock, a, magneto.tick_in, magneto.tick_out, 1.5, i == 4 ? colour::red_mark : kLegend);
        const Point at = polar(lock, a, magneto.label_r);
        text(cr, at.x, at.y, magneto.names[i], i == 4 ? 7.5 : 8, i == 4 ? colour::red_mark : kLegend);
    }
    text(cr, 49, 89, "MAGNETOS", 7, kSmallLegend);
    // Lock cylinder with its keyway.
    circle(cr, lock.x, lock.y, magneto.cylinder_r + 1.5);
    set(cr, 0x0D0D0E);
    cairo_fill(cr);
    circle(cr, lock.x, lock.y, magneto.cylinder_r);
    cairo_pattern_t* g = cairo_pattern_create_radial(lock.x - 5, lock.y - 5, 2, lock.x, lock.y, magneto.cylinder_r);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.88, 0.89, 0.90);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.38, 0.40, 0.42);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    circle(cr, lock.x, lock.y, 5);
    set(cr, 0x1A1B1C);
    cairo_fill(cr);
}

void magneto_key(Canvas& c, int position) {
    // Only the key is painted: the face with its legends shows around it.
    Paint p(c, colour::chrome_dark);
    cairo_t* cr = p.cr;
    const Point lock = magneto.lock;
    cairo_translate(cr, lock.x, lock.y);
    cairo_rotate(cr, key_angle(position));
    // The key's head: a flat bow standing across the lock, long axis along the key angle.
    rounded_rect(cr, -6.5, -22, 13, 44, 6);
    cairo_pattern_t* g = cairo_pattern_create_linear(-6.5, 0, 6.5, 0);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.32, 0.33, 0.35);
    cairo_pattern_add_color_stop_rgb(g, 0.35, 0.93, 0.94, 0.95);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.36, 0.37, 0.39);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    set(cr, 0x1C1D1F);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    // Ring hole in the upper end, index notch in the lower end.
    circle(cr, 0, -14, 3.2);
    set(cr, 0x2A2B2D);
    cairo_fill(cr);
    cairo_move_to(cr, 0, -4);
    cairo_line_to(cr, 0, -10);
    set(cr, 0xB01E22);
    cairo_set_line_width(cr, 2.0);
    cairo_stroke(cr);
}

// --- Annunciator lamp ----------------------------------------------------------------------

void annunciator(Canvas& c, bool lit) {
    Paint p(c, colour::panel);
    cairo_t* cr = p.cr;
    plate(cr, 0, 0, 40, 40, 3, 0x1C1D1F);
    const Box lens{5, 5, 30, 30};
    rounded_rect(cr, lens.x - 1, lens.y - 1, lens.w + 2, lens.h + 2, 3);
    set(cr, 0x060606);
    cairo_fill(cr);
    rounded_rect(cr, lens.x, lens.y, lens.w, lens.h, 2.5);
    cairo_pattern_t* g = cairo_pattern_create_radial(lens.cx(), lens.cy(), 2, lens.cx(), lens.cy(), lens.w * 0.75);
    if (lit) {
        cairo_pattern_add_color_stop_rgb(g, 0, 1.0, 0.93, 0.62);
        cairo_pattern_add_color_stop_rgb(g, 0.55, 1.0, 0.70, 0.12);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.85, 0.42, 0.05);
    } else {
        cairo_pattern_add_color_stop_rgb(g, 0, 0.36, 0.24, 0.10);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.20, 0.12, 0.05);
    }
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Fresnel ribs of the lens.
    for (double y = lens.y + 4; y < lens.y + lens.h - 2; y += 4) {
        cairo_move_to(cr, lens.x + 2, y);
        cairo_line_to(cr, lens.x + lens.w - 2, y);
    }
    set(cr, lit ? 0xFFF2C0 : 0x000000, lit ? 0.35 : 0.3);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    // Glint on the glass.
    rounded_rect(cr, lens.x + 3, lens.y + 2.5, lens.w - 6, 5, 2);
    set(cr, 0xFFFFFF, lit ? 0.35 : 0.12);
    cairo_fill(cr);
}

void annunciator_unlit(Canvas& c) { annunciator(c, false); }
void annunciator_lit(Canvas& c) { annunciator(c, true); }

}  // namespace art
