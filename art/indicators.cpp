// Switch panel indicators: the propeller de-ice ammeter, the ammeter/voltmeter with the oil
// pressure gauge, and the two volt/amp selector knobs.
#include <math.h>

#include <string>
#include <vector>

#include "art/dial.h"
#include "art/drawings.h"

namespace art {
namespace {

// --- Propeller de-ice ammeter ---------------------------------------------------------------

struct PropDeiceDial {
    Point centre{54, 54};
    double case_r = 53.5, bezel_width = 6;
    double full = 28, minor_step = 2, major_step = 14;
    double green_from = 14, green_to = 20;
    double r_tick_in = 31, r_major_in = 28, r_tick_out = 37;
    double r_numeral = 44;
    double hub_r = 5;
};
constexpr PropDeiceDial deice;

// --- Ammeter / voltmeter and oil pressure -----------------------------------------------------

struct AmmeterDial {
    double amps_from = -20, amps_to = 60, amps_minor = 5, amps_major = 20;
    // The voltmeter position reads (volts - 15) x 4 on the ampere marks.
    double volts[3] = {20, 25, 30};
    double r_tick_in = 60, r_major_in = 55, r_tick_out = 68;
    double r_numeral = 80, r_volts = 47;
};
constexpr AmmeterDial amps;

struct OilDial {
    // psi marks; the needle's table is in pounds per square foot.
    double numerals[4] = {0, 10, 50, 100};
    double minor_step = 5, major_step = 10, top = 100;
    double green_from = 60, green_to = 90;
    double red_lines[2] = {10, 100};
    double r_tick_in = 60, r_major_in = 55, r_tick_out = 68;
    double r_numeral = 80, r_inner_numeral = 47;
};
constexpr OilDial oil;

constexpr int kAmmeterWidth = 300, kAmmeterHeight = 164;
constexpr double kAmmeterCoverTop = 97;  // the cover plate hides the pivots below this

void ammeter_housing(cairo_t* cr) {
    plate(cr, 0, 0, kAmmeterWidth, kAmmeterHeight, 10, 0x232427);
    for (double x : {7.0, 153.0}) {
        rounded_rect(cr, x, 7, 140, kAmmeterHeight - 14, 8);
        set(cr, colour::dial);
        cairo_fill_preserve(cr);
        set(cr, 0x050505);
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
    }
}

std::string number(double v) { return std::to_string(static_cast<int>(lround(v))); }

// --- Volt/amp selector knobs -----------------------------------------------------------------

struct SelectorLayout {
    Point knob{66.5, 44};
    double knob_r = 15;
    double label_r = 26;
};
constexpr SelectorLayout selector_layout;

void volt_amp_selector(Canvas& c, const std::vector<const char*>& positions, const std::vector<double>& degrees,
                       int selected) {
    Paint p(c, colour::panel);
    cairo_t* cr = p.cr;
    plate(cr, 0, 0, c.width, c.height, 5, colour::plate);
    text(cr, 16, 40, "AMPS", 6.5, colour::marking);
    text(cr, 16, 49, "VOLTS", 6.5, colour::marking);
    text(cr, 16, 58, "SELECT", 5, 0xC8CBCF);
    const Point k = selector_layout.knob;
    for (size_t i = 0; i < positions.size(); ++i) {
        const double a = degrees[i] * M_PI / 180 - M_PI / 2;
        radial(cr, k, a, selector_layout.knob_r + 1.5, selector_layout.knob_r + 4.5, 1.2, colour::marking);
        const Point at = polar(k, a, selector_layout.label_r + 3);
        text(cr, at.x, at.y, positions[i], 6.5, colour::marking);
    }
    // A pointer knob: a round skirt and a bar with its white index.
    const double angle = degrees[selected] * M_PI / 180;
    knob(cr, k.x, k.y, selector_layout.knob_r, angle, 0x2A2C30, 28);
    cairo_save(cr);
    cairo_translate(cr, k.x, k.y);
    cairo_rotate(cr, angle);
    // The bar tapers to its pointing end.
    const double front = -selector_layout.knob_r + 1, back = selector_layout.knob_r * 0.6;
    cairo_move_to(cr, -2, front);
    cairo_line_to(cr, 2, front);
    cairo_line_to(cr, 4.5, back - 3);
    cairo_arc(cr, 0, back - 3, 4.5, 0, M_PI);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(-4, 0, 4, 0);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.12, 0.12, 0.13);
    cairo_pattern_add_color_stop_rgb(g, 0.4, 0.36, 0.37, 0.40);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.10, 0.10, 0.11);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_move_to(cr, 0, -selector_layout.knob_r + 2);
    cairo_line_to(cr, 0, -3);
    set(cr, colour::marking);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace

void prop_deice_dial(Canvas& c) {
    Paint p(c, colour::panel);
    cairo_t* cr = p.cr;
    const NeedleScale& s = scales::prop_deice;
    circle(cr, deice.centre.x, deice.centre.y, deice.case_r);
    set(cr, colour::dial);
    cairo_fill(cr);
    bezel(cr, deice.centre.x, deice.centre.y, deice.case_r, deice.bezel_width);
    scale_band(cr, s, deice.green_from, deice.green_to, deice.r_tick_in - 1, deice.r_tick_out, colour::green_arc);
    scale_ticks(cr, s, 0, deice.full, deice.minor_step, deice.r_tick_in, deice.r_tick_out, 1.0, colour::marking);
    scale_ticks(cr, s, 0, deice.full, deice.major_step, deice.r_major_in, deice.r_tick_out, 2.0, colour::marking);
    radial(cr, {s.pivot_x, s.pivot_y}, s.angle(deice.full), deice.r_major_in, deice.r_tick_out + 1, 2.4, colour::red_mark);
    for (double v = 0; v <= deice.full; v += deice.major_step)
        scale_label(cr, s, v, deice.r_numeral, number(v), 8, colour::marking);
    text(cr, 54, 72, "PROP", 7, colour::marking);
    text(cr, 54, 81, "DE-ICE", 7, colour::marking);
    text(cr, 54, 90, "AMPS", 6, 0xB8BBBF);
}

void prop_deice_needle(Canvas& c) { draw_needle(c, scales::prop_deice_needle, 0xF4F4F0, colour::dial); }

void prop_deice_cover(Canvas& c) {
    // The hub cap over the needle's pivot; the rest of the dial shows through.
    Paint p(c, colour::dial);
    cairo_t* cr = p.cr;
    const NeedleScale& s = scales::prop_deice;
    circle(cr, s.pivot_x + 0.5, s.pivot_y + 0.5, deice.hub_r);
    cairo_pattern_t* g = cairo_pattern_create_radial(s.pivot_x - 1, s.pivot_y - 1, 0.5, s.pivot_x, s.pivot_y, deice.hub_r);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.55, 0.57, 0.60);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.12, 0.12, 0.13);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
}

void ammeter_dial(Canvas& c) {
    Paint p(c, colour::panel);
    cairo_t* cr = p.cr;
    ammeter_housing(cr);
    // Left: amperes, with the voltmeter's marks outside in amber.
    const NeedleScale& a = scales::ammeter;
    scale_ticks(cr, a, amps.amps_from, amps.amps_to, amps.amps_minor, amps.r_tick_in, amps.r_tick_out, 1.0, colour::marking);
    scale_ticks(cr, a, amps.amps_from, amps.amps_to, amps.amps_major, amps.r_major_in, amps.r_tick_out, 2.2, colour::marking);
    for (double v = amps.amps_from; v <= amps.amps_to; v += amps.amps_major)
        scale_label(cr, a, v, amps.r_numeral, number(v), 10, colour::marking);
    for (double volts : amps.volts) {
        const double on_scale = (volts - 15.0) * 4.0;
        radial(cr, {a.pivot_x, a.pivot_y}, a.angle(on_scale), amps.r_major_in - 4, amps.r_major_in - 1, 2.0, colour::amber);
        scale_label(cr, a, on_scale, amps.r_volts, number(volts), 9, colour::amber);
    }
    // Legends either side of the pivot, clear of the needle's sweep.
    text(cr, a.pivot_x - 48, 86, "AMPS", 8, colour::marking);
    text(cr, a.pivot_x + 48, 86, "VOLTS", 7, colour::amber);

    // Right: oil pressure in psi.
    const NeedleScale& o = scales::oil_pressure;
    const double psf = scales::psf_per_psi;
    scale_band(cr, o, oil.green_from * psf, oil.green_to * psf, oil.r_tick_in - 1, oil.r_tick_out, colour::green_arc);
    scale_ticks(cr, o, 0, oil.top * psf, oil.minor_step * psf, oil.r_tick_in, oil.r_tick_out, 1.0, colour::marking);
    for (double v : oil.numerals)
        radial(cr, {o.pivot_x, o.pivot_y}, o.angle(v * psf), oil.r_major_in, oil.r_tick_out, 2.2, colour::marking);
    for (double v : oil.red_lines)
        radial(cr, {o.pivot_x, o.pivot_y}, o.angle(v * psf), oil.r_major_in - 1, oil.r_tick_out + 1, 2.6, colour::red_mark);
    // 0 and 10 stand close together: 0 inside the scale, 10 outside.
    scale_label(cr, o, 0, oil.r_inner_numeral, "0", 10, colour::marking);
    scale_label(cr, o, 10 * psf, oil.r_numeral, "10", 10, colour::marking);
    scale_label(cr, o, 50 * psf, oil.r_numeral, "50", 10, colour::marking);
    scale_label(cr, o, 100 * psf, oil.r_numeral, "100", 10, colour::marking);
    text(cr, o.pivot_x - 46, 86, "OIL", 8, colour::marking);
    text(cr, o.pivot_x + 46, 86, "PSI", 8, colour::marking);
}

void ammeter_needle(Canvas& c) { draw_needle(c, scales::ammeter_needle, 0xF4F4F0, colour::dial); }

void ammeter_cover(Canvas& c) {
    // The lower plate over both pivots; above it the dials and needles show.
    Paint p(c, colour::dial);
    cairo_t* cr = p.cr;
    cairo_rectangle(cr, 0, kAmmeterCoverTop, kAmmeterWidth, kAmmeterHeight - kAmmeterCoverTop);
    cairo_clip(cr);
    ammeter_housing(cr);
    for (double x : {7.0, 153.0}) {
        cairo_rectangle(cr, x - 1, kAmmeterCoverTop, 142, kAmmeterHeight - 7 - kAmmeterCoverTop + 1);
        cairo_pattern_t* g = cairo_pattern_create_linear(0, kAmmeterCoverTop, 0, kAmmeterHeight);
        cairo_pattern_add_color_stop_rgb(g, 0, 0.20, 0.21, 0.22);
        cairo_pattern_add_color_stop_rgb(g, 1, 0.11, 0.115, 0.12);
        cairo_set_source(cr, g);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        cairo_move_to(cr, x - 1, kAmmeterCoverTop + 0.5);
        cairo_line_to(cr, x + 141, kAmmeterCoverTop + 0.5);
        set(cr, 0x5A5E63);
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
    }
    text(cr, 82, 122, "AMMETER", 9, colour::marking);
    text(cr, 82, 136, "VOLTMETER", 7, colour::amber);
    text(cr, 218, 122, "OIL PRESS", 9, colour::marking);
    text(cr, 218, 136, "ENGINE", 7, 0xB8BBBF);
    for (Point s : {Point{14, 150}, Point{140, 150}, Point{160, 150}, Point{286, 150}}) screw(cr, s.x, s.y, 3.5);
}

void volt_amp_knob_1(Canvas& c, int position) {
    volt_amp_selector(c, {"ALT", "BAT", "VOLT"}, {-50, 0, 50}, position);
}

void volt_amp_knob_2(Canvas& c, int position) {
    volt_amp_selector(c, {"ALT 1", "ALT 2", "BAT", "VOLT"}, {-60, -20, 20, 60}, position);
}

}  // namespace art
