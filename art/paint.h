// Cairo drawing onto a Canvas, and the shapes every instrument is built from.
//
// Transparency. The panel host draws pure black (0,0,0) as see-through in every element
// whose image flags carry IMAGE_TRANSPARENT_BLACK (needles, icons, overlays, covers). So:
//   - a drawing starts on a fully transparent surface; whatever is left unpainted becomes
//     pure black, kTransparent, and the panel or the element beneath shows through;
//   - whatever is painted is never pure black: dark paint comes out as kNearBlack at worst.
// Anti-aliased edges over unpainted ground are blended with the drawing's matte, the colour
// the element is usually seen against, so that needle edges look right on their dial.
#pragma once

#include <cairo.h>

#include <string>

#include "art/canvas.h"

namespace art {

constexpr Rgb kTransparent = 0x000000;
constexpr Rgb kNearBlack = 0x0A0A0A;

// Colours shared by the instruments.
namespace colour {
constexpr Rgb dial = 0x141517;          // instrument dial faces
constexpr Rgb marking = 0xF2F2EE;       // scale marks, numerals and legends
constexpr Rgb panel = 0x4B4F54;         // the panel the gauges are mounted in
constexpr Rgb plate = 0x26282B;         // switch plates and radio bezels
constexpr Rgb plate_edge = 0x3C3F43;
constexpr Rgb window = 0x0C0C0C;        // radio display windows
constexpr Rgb chrome = 0xC9CDD2;
constexpr Rgb chrome_dark = 0x6E7378;
constexpr Rgb red_mark = 0xD8262A;
constexpr Rgb green_arc = 0x2FB34A;
constexpr Rgb yellow_arc = 0xE7C21E;
constexpr Rgb amber = 0xF2A81D;
constexpr Rgb master_red = 0xB3191E;     // the master switch rockers
}  // namespace colour

// A drawing on `canvas`: create it, draw with `cr`, and it is written into the canvas when
// it goes out of scope (or at commit()).
class Paint {
public:
    explicit Paint(Canvas& canvas, Rgb matte = colour::dial);
    ~Paint();
    Paint(const Paint&) = delete;
    Paint& operator=(const Paint&) = delete;
    void commit();

    cairo_t* const cr;

private:
    Canvas& canvas_;
    Rgb matte_;
    cairo_surface_t* surface_;
    bool committed_ = false;
};

struct Point {
    double x, y;
};

// --- colour and paths -------------------------------------------------------------------
void set(cairo_t* cr, Rgb c, double alpha = 1.0);
// A colour `amount` of the way from `a` to `b`.
Rgb mix(Rgb a, Rgb b, double amount);
void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r);
void circle(cairo_t* cr, double cx, double cy, double r);
// Fills the whole surface (an opaque picture).
void fill_all(cairo_t* cr, Rgb c);

// --- text (Liberation Sans, the Arial-metric face) -----------------------------------------
enum class Align { left, centre, right };
// Draws `s` centred on x (or starting or ending there), the middle of its capital height at
// y, so that a legend sits centred on the point it labels. `size` is the face's pixel size.
void text(cairo_t* cr, double x, double y, const std::string& s, double size, Rgb c,
          Align align = Align::centre, bool bold = true);

// --- hardware ---------------------------------------------------------------------------
// A slotted panel screw head.
void screw(cairo_t* cr, double cx, double cy, double r, double slot_angle = 0.6);
// A plate with a bevelled edge filling (x, y, w, h).
void plate(cairo_t* cr, double x, double y, double w, double h, double r, Rgb face = colour::plate);
// A round bezel ring (outer radius r, ring width `width`) around a dial.
void bezel(cairo_t* cr, double cx, double cy, double r, double width);
// A knurled round knob with a white index line at `angle` (radians, 0 = up, clockwise).
void knob(cairo_t* cr, double cx, double cy, double r, double angle, Rgb body = 0x2E3034,
          int ridges = 24);
// A round push button with a legend.
void push_button(cairo_t* cr, double cx, double cy, double r, const std::string& legend);

// --- dials ------------------------------------------------------------------------------
// Direction from `from` to `to` as an angle in radians (screen coordinates, y down).
double heading(Point from, Point to);
Point polar(Point centre, double angle, double radius);
// A radial line between two radii along `angle`.
void radial(cairo_t* cr, Point centre, double angle, double r_in, double r_out, double width, Rgb c);
// An arc band between two angles (clockwise on screen from a0 to a1 when a1 > a0).
void band(cairo_t* cr, Point centre, double a0, double a1, double r_in, double r_out, Rgb c);

}  // namespace art
