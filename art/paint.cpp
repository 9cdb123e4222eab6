#include "art/paint.h"

#include <math.h>

#include <algorithm>

namespace art {
namespace {

constexpr const char* kFace = "Liberation Sans";  // metric twin of Arial
// Below this coverage (of 255) a pixel counts as unpainted ground.
constexpr uint32_t kMinCoverage = 64;

double red(Rgb c) { return ((c >> 16) & 0xFF) / 255.0; }
double green(Rgb c) { return ((c >> 8) & 0xFF) / 255.0; }
double blue(Rgb c) { return (c & 0xFF) / 255.0; }

void stop(cairo_pattern_t* p, double at, Rgb c, double alpha = 1.0) {
    cairo_pattern_add_color_stop_rgba(p, at, red(c), green(c), blue(c), alpha);
}

}  // namespace

Paint::Paint(Canvas& canvas, Rgb matte)
    : cr(nullptr), canvas_(canvas), matte_(matte),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, canvas.width, canvas.height)) {
    const_cast<cairo_t*&>(cr) = cairo_create(surface_);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

Paint::~Paint() {
    commit();
    cairo_destroy(cr);
    cairo_surface_destroy(surface_);
}

void Paint::commit() {
    if (committed_) return;
    committed_ = true;
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    for (int y = 0; y < canvas_.height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < canvas_.width; ++x) {
            const uint32_t p = row[x];  // premultiplied ARGB
            const uint32_t a = p >> 24;
            if (a < kMinCoverage) {
                canvas_.set(x, y, kTransparent);
                continue;
            }
            // Over the matte: premultiplied colour + matte x (1 - coverage).
            auto channel = [&](int shift) {
                const uint32_t painted = (p >> shift) & 0xFF;
                const uint32_t under = (matte_ >> shift) & 0xFF;
                return std::min<uint32_t>(255, painted + (under * (255 - a) + 127) / 255);
            };
            Rgb c = channel(16) << 16 | channel(8) << 8 | channel(0);
            if (c == kTransparent) c = kNearBlack;
            canvas_.set(x, y, c);
        }
    }
}

void set(cairo_t* cr, Rgb c, double alpha) { cairo_set_source_rgba(cr, red(c), green(c), blue(c), alpha); }

Rgb mix(Rgb a, Rgb b, double amount) {
    auto ch = [&](int shift) {
        const double x = ((a >> shift) & 0xFF) * (1.0 - amount) + ((b >> shift) & 0xFF) * amount;
        return static_cast<Rgb>(lround(std::min(255.0, std::max(0.0, x))));
    };
    return ch(16) << 16 | ch(8) << 8 | ch(0);
}

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void circle(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_close_path(cr);
}

void fill_all(cairo_t* cr, Rgb c) {
    cairo_save(cr);
    set(cr, c);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_restore(cr);
}

void text(cairo_t* cr, double x, double y, const std::string& s, double size, Rgb c, Align align, bool bold) {
    cairo_save(cr);
    cairo_select_font_face(cr, kFace, CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    double left = x;
    if (align == Align::centre) left = x - e.x_advance / 2;
    if (align == Align::right) left = x - e.x_advance;
    const double cap_height = 0.716 * size;  // Arial's capital height
    cairo_move_to(cr, left, y + cap_height / 2);
    set(cr, c);
    cairo_show_text(cr, s.c_str());
    cairo_restore(cr);
}

void screw(cairo_t* cr, double cx, double cy, double r, double slot_angle) {
    cairo_save(cr);
    circle(cr, cx, cy, r);
    cairo_pattern_t* g = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    stop(g, 0, 0xB9BEC4);
    stop(g, 1, 0x4A4E53);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    set(cr, 0x202224);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    const double dx = cos(slot_angle) * r * 0.75, dy = sin(slot_angle) * r * 0.75;
    cairo_move_to(cr, cx - dx, cy - dy);
    cairo_line_to(cr, cx + dx, cy + dy);
    set(cr, 0x1A1B1D);
    cairo_set_line_width(cr, std::max(1.0, r * 0.35));
    cairo_stroke(cr);
    cairo_restore(cr);
}

void plate(cairo_t* cr, double x, double y, double w, double h, double r, Rgb face) {
    cairo_save(cr);
    rounded_rect(cr, x, y, w, h, r);
    cairo_pattern_t* g = cairo_pattern_create_linear(x, y, x, y + h);
    stop(g, 0, mix(face, 0xFFFFFF, 0.08));
    stop(g, 1, mix(face, 0x000000, 0.15));
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Bevel: light along the top and left, shadow along the bottom and right.
    cairo_set_line_width(cr, 1.0);
    rounded_rect(cr, x + 0.5, y + 0.5, w - 1, h - 1, r);
    set(cr, mix(face, 0x000000, 0.45));
    cairo_stroke(cr);
    rounded_rect(cr, x + 1.5, y + 1.5, w - 3, h - 3, std::max(0.5, r - 1));
    cairo_pattern_t* edge = cairo_pattern_create_linear(x, y, x + w, y + h);
    stop(edge, 0, mix(face, 0xFFFFFF, 0.25));
    stop(edge, 1, mix(face, 0x000000, 0.1));
    cairo_set_source(cr, edge);
    cairo_stroke(cr);
    cairo_pattern_destroy(edge);
    cairo_restore(cr);
}

void bezel(cairo_t* cr, double cx, double cy, double r, double width) {
    cairo_save(cr);
    circle(cr, cx, cy, r);
    circle(cr, cx, cy, r - width);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_pattern_t* g = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    stop(g, 0, 0x5C6166);
    stop(g, 0.5, 0x2A2D30);
    stop(g, 1, 0x151618);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    cairo_set_line_width(cr, 1.0);
    circle(cr, cx, cy, r - width + 0.5);
    set(cr, 0x0E0E0F);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void knob(cairo_t* cr, double cx, double cy, double r, double angle, Rgb body, int ridges) {
    cairo_save(cr);
    // Grip ridges around the rim.
    circle(cr, cx, cy, r);
    set(cr, mix(body, 0x000000, 0.5));
    cairo_fill(cr);
    for (int i = 0; i < ridges; ++i) {
        const double a = 2 * M_PI * i / ridges;
        cairo_move_to(cr, cx + cos(a) * (r - 2.2), cy + sin(a) * (r - 2.2));
        cairo_line_to(cr, cx + cos(a) * (r - 0.3), cy + sin(a) * (r - 0.3));
    }
    set(cr, mix(body, 0xFFFFFF, 0.35));
    cairo_set_line_width(cr, std::max(0.9, r * 0.09));
    cairo_stroke(cr);
    // Body with light from the upper left.
    circle(cr, cx, cy, r - 2);
    cairo_pattern_t* g = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, r * 0.1, cx, cy, r);
    stop(g, 0, mix(body, 0xFFFFFF, 0.35));
    stop(g, 1, mix(body, 0x000000, 0.3));
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Index line.
    const double s = angle - M_PI / 2;
    cairo_move_to(cr, cx + cos(s) * r * 0.25, cy + sin(s) * r * 0.25);
    cairo_line_to(cr, cx + cos(s) * (r - 2.5), cy + sin(s) * (r - 2.5));
    set(cr, colour::marking);
    cairo_set_line_width(cr, std::max(1.2, r * 0.12));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void push_button(cairo_t* cr, double cx, double cy, double r, const std::string& legend) {
    cairo_save(cr);
    circle(cr, cx, cy, r + 1);
    set(cr, 0x0E0E0F);
    cairo_fill(cr);
    circle(cr, cx, cy, r);
    cairo_pattern_t* g = cairo_pattern_create_linear(cx, cy - r, cx, cy + r);
    stop(g, 0, 0x55595E);
    stop(g, 1, 0x25272A);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    text(cr, cx, cy, legend, r * 0.8, colour::marking);
    cairo_restore(cr);
}

double heading(Point from, Point to) { return atan2(to.y - from.y, to.x - from.x); }

Point polar(Point c, double angle, double radius) { return {c.x + cos(angle) * radius, c.y + sin(angle) * radius}; }

void radial(cairo_t* cr, Point c, double angle, double r_in, double r_out, double width, Rgb col) {
    cairo_save(cr);
    const Point a = polar(c, angle, r_in), b = polar(c, angle, r_out);
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
    set(cr, col);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void band(cairo_t* cr, Point c, double a0, double a1, double r_in, double r_out, Rgb col) {
    cairo_save(cr);
    cairo_new_sub_path(cr);
    cairo_arc(cr, c.x, c.y, r_out, a0, a1);
    cairo_arc_negative(cr, c.x, c.y, r_in, a1, a0);
    cairo_close_path(cr);
    set(cr, col);
    cairo_fill(cr);
    cairo_restore(cr);
}

}  // namespace art
