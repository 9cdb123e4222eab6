// Needle dials: scale marks placed on the rays the host aims the needle along, and the
// needle bitmaps themselves.
#pragma once

#include "art/paint.h"
#include "art/scales.h"

namespace art {

// Ticks every `step` from `from` to `to` (inclusive), between radii r_in and r_out.
void scale_ticks(cairo_t* cr, const NeedleScale& s, double from, double to, double step,
                 double r_in, double r_out, double width, Rgb c);
// A numeral (or any legend) on the ray of `value`, centred at `radius` from the pivot.
void scale_label(cairo_t* cr, const NeedleScale& s, double value, double radius,
                 const std::string& label, double size, Rgb c);
// A coloured arc between two values (green and yellow ranges).
void scale_band(cairo_t* cr, const NeedleScale& s, double from, double to, double r_in,
                double r_out, Rgb c);

// A needle bitmap: a tapered pointer from the pivot to the right edge with a short tail and
// a hub at the pivot, on unpainted (see-through) ground.
void draw_needle(Canvas& canvas, const NeedleShape& shape, Rgb colour, Rgb matte);

}  // namespace art
