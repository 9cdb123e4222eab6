// Engine gauges: fuel pressure (VARN_KD_FUEL_PRESS) and left tank fuel quantity (tq36_lfuel).
// Each is a wide arc dial in a rectangular housing; the needle turns about a pivot low in
// the housing, and a cover plate drawn over the needle hides the pivot and carries the
// instrument's legend.
#include <math.h>

#include "art/dial.h"
#include "art/drawings.h"

namespace art {
namespace {

// The housing both engine gauges share: a bevelled case with a dial window and four screws.
struct Housing {
    int width, height;
    double window_inset;  // dial window inside the case
    double corner;        // case corner radius
};

void draw_housing(cairo_t* cr, const Housing& h) {
    plate(cr, 0, 0, h.width, h.height, h.corner, 0x232427);
    const double i = h.window_inset;
    rounded_rect(cr, i, i, h.width - 2 * i, h.height - 2 * i, h.corner * 0.6);
    set(cr, colour::dial);
    cairo_fill_preserve(cr);
    set(cr, 0x050505);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    const double s = i / 2 + 0.5;
    screw(cr, s, s, i / 2 - 0.5);
    screw(cr, h.width - s, s, i / 2 - 0.5, 1.9);
    screw(cr, s, h.height - s, i / 2 - 0.5, 2.4);
    screw(cr, h.width - s, h.height - s, i / 2 - 0.5, 0.9);
}

// The plate over the lower strip of a dial, from `top` down, in the face's coordinates.
void draw_cover_plate(cairo_t* cr, const Housing& h, double top, const char* line1, const char* line2) {
    draw_housing(cr, h);
    const double i = h.window_inset;
    cairo_rectangle(cr, i - 1, top, h.width - 2 * i + 2, h.height - top - i + 1);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, top, 0, h.height - i);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.20, 0.21, 0.22);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.12, 0.125, 0.13);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Lit upper edge of the plate.
    cairo_move_to(cr, i - 1, top + 0.5);
    cairo_line_to(cr, h.width - i + 1, top + 0.5);
    set(cr, 0x5A5E63);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    const double mid = (top + h.height - i) / 2;
    text(cr, h.width / 2.0, mid - 6, line1, 11, colour::marking);
    text(cr, h.width / 2.0, mid + 8, line2, 8, 0xB8BBBF, Align::centre, false);
}

// --- Fuel pressure -------------------------------------------------------------------------

constexpr Housing fuel_pressure_housing{204, 162, 9, 10};

struct FuelPressureDial {
    double major_step = 10, minor_step = 1, medium_step = 5;
    double top = 30;                        // last marked value
    double green_from = 10, green_to = 25;  // normal operating range
    double red_line = 30;                   // maximum
    double r_tick_out = 116, r_major_in = 103, r_medium_in = 107, r_minor_in = 110;
    double r_numeral = 92;
};
constexpr FuelPressureDial fuel_pressure_dial;

// --- Fuel quantity -------------------------------------------------------------------------

constexpr Housing fuel_quantity_housing{200, 163, 8, 16};

struct FuelQuantityDial {
    double full = 40;
    double major_step = 10, minor_step = 2.5;
    double red_to = 2.5;  // unusable fuel
    double r_tick_out = 99, r_major_in = 86, r_minor_in = 92;
    double r_numeral = 74;
};
constexpr FuelQuantityDial fuel_quantity_dial;

}  // namespace

void fuel_pressure_face(Canvas& c) {
    Paint p(c);
    cairo_t* cr = p.cr;
    const FuelPressureDial& d = fuel_pressure_dial;
    const NeedleScale& s = scales::fuel_pressure;
    draw_housing(cr, fuel_pressure_housing);
    scale_band(cr, s, d.green_from, d.green_to, d.r_minor_in - 1, d.r_tick_out, colour::green_arc);
    scale_ticks(cr, s, 0, d.top, d.minor_step, d.r_minor_in, d.r_tick_out, 1.0, colour::marking);
    scale_ticks(cr, s, 0, d.top, d.medium_step, d.r_medium_in, d.r_tick_out, 1.6, colour::marking);
    scale_ticks(cr, s, 0, d.top, d.major_step, d.r_major_in, d.r_tick_out, 2.4, colour::marking);
    radial(cr, {s.pivot_x, s.pivot_y}, s.angle(d.red_line), d.r_major_in - 2, d.r_tick_out + 1, 3.0, colour::red_mark);
    for (double v = 0; v <= d.top; v += d.major_step)
        scale_label(cr, s, v, d.r_numeral, std::to_string(static_cast<int>(v)), 14, colour::marking);
    text(cr, s.pivot_x, 98, "PSI", 9, 0xB8BBBF);
}

void fuel_pressure_needle(Canvas& c) { draw_needle(c, scales::fuel_pressure_needle, 0xF4F4F0, colour::dial); }

void fuel_pressure_cover(Canvas& c) {
    Paint p(c);
    cairo_translate(p.cr, 0, -scales::fuel_pressure_cover_y);
    draw_cover_plate(p.cr, fuel_pressure_housing, scales::fuel_pressure_cover_y, "FUEL PRESS", "ENGINE");
}

void fuel_quantity_face(Canvas& c) {
    Paint p(c);
    cairo_t* cr = p.cr;
    const FuelQuantityDial& d = fuel_quantity_dial;
    const NeedleScale& s = scales::fuel_quantity;
    draw_housing(cr, fuel_quantity_housing);
    scale_band(cr, s, 0, d.red_to, d.r_minor_in - 1, d.r_tick_out, colour::red_mark);
    scale_ticks(cr, s, 0, d.full, d.minor_step, d.r_minor_in, d.r_tick_out, 1.2, colour::marking);
    scale_ticks(cr, s, 0, d.full, d.major_step, d.r_major_in, d.r_tick_out, 2.4, colour::marking);
    for (double v = 0; v <= d.full; v += d.major_step)
        scale_label(cr, s, v, d.r_numeral, std::to_string(static_cast<int>(v)), 14, colour::marking);
    text(cr, s.pivot_x, 92, "FUEL", 11, colour::marking);
}

void fuel_quantity_needle(Canvas& c) { draw_needle(c, scales::fuel_quantity_needle, 0xF4F4F0, colour::dial); }

void fuel_quantity_cover(Canvas& c) {
    Paint p(c);
    cairo_translate(p.cr, 0, -scales::fuel_quantity_cover_y);
    draw_cover_plate(p.cr, fuel_quantity_housing, scales::fuel_quantity_cover_y, "LEFT TANK", "U.S. GALLONS");
}

}  // namespace art
