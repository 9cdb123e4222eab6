#include "art/dial.h"

#include <math.h>

namespace art {
namespace {
Point pivot(const NeedleScale& s) { return {s.pivot_x, s.pivot_y}; }
}  // namespace

void scale_ticks(cairo_t* cr, const NeedleScale& s, double from, double to, double step,
                 double r_in, double r_out, double width, Rgb c) {
    const int n = static_cast<int>(lround((to - from) / step));
    for (int i = 0; i <= n; ++i) radial(cr, pivot(s), s.angle(from + i * step), r_in, r_out, width, c);
}

void scale_label(cairo_t* cr, const NeedleScale& s, double value, double radius,
                 const std::string& label, double size, Rgb c) {
    const Point at = polar(pivot(s), s.angle(value), radius);
    text(cr, at.x, at.y, label, size, c);
}

void scale_band(cairo_t* cr, const NeedleScale& s, double from, double to, double r_in,
                double r_out, Rgb c) {
    // Follow the scale in small steps: between table points the angle is not linear in value.
    const int steps = 48;
    cairo_save(cr);
    cairo_new_path(cr);
    for (int i = 0; i <= steps; ++i) {
        const Point p = polar(pivot(s), s.angle(from + (to - from) * i / steps), r_out);
        i == 0 ? cairo_move_to(cr, p.x, p.y) : cairo_line_to(cr, p.x, p.y);
    }
    for (int i = steps; i >= 0; --i) {
        const Point p = polar(pivot(s), s.angle(from + (to - from) * i / steps), r_in);
        cairo_line_to(cr, p.x, p.y);
    }
    cairo_close_path(cr);
    set(cr, c);
    cairo_fill(cr);
    cairo_restore(cr);
}

void draw_needle(Canvas& canvas, const NeedleShape& n, Rgb colour, Rgb matte) {
    Paint p(canvas, matte);
    cairo_t* cr = p.cr;
    const double cx = n.pivot_x + 0.5, cy = n.pivot_y + 0.5;
    const double half = std::max(1.2, n.height * 0.22);  // half width at the pivot
    const double tip = canvas.width;
    // Pointer: tapers from the hub to a fine tip at the right edge.
    cairo_move_to(cr, cx, cy - half);
    cairo_line_to(cr, tip - 0.2, cy - 0.5);
    cairo_line_to(cr, tip - 0.2, cy + 0.5);
    cairo_line_to(cr, cx, cy + half);
    cairo_close_path(cr);
    set(cr, colour);
    cairo_fill(cr);
    // Tail behind the pivot, as far as the bitmap allows.
    if (n.pivot_x > 0) {
        cairo_rectangle(cr, 0, cy - half, cx, 2 * half);
        set(cr, mix(colour, 0x000000, 0.3));
        cairo_fill(cr);
    }
    // Hub.
    circle(cr, cx, cy, std::min(n.height / 2.0, half * 2.2));
    set(cr, 0x2A2C2F);
    cairo_fill(cr);
}

}  // namespace art
