// What the panel host draws for a gauge: its element tree composited from the gauge's last
// evaluation, the way the simulator's panel system would put it on screen.
//
// Drawing rules:
//   - the root first, then each element's children in list order after their parent, so a
//     child covers its parent; an element whose hide bit is set is not drawn, and neither is
//     anything hanging from it;
//   - static images at their position; needles turned about their pivot (the element's
//     offset inside the needle bitmap, placed at the element's position) to aim at the point
//     the host interpolated on the needle's scale; icons draw the picture of their index, and
//     nothing for -1.0 or for a picture the module does not supply;
//   - strings fill their box with the background colour and draw the text the callback
//     wrote, in the record's font (Arial is drawn with its metric twin Liberation Sans, the
//     text cell as high as the box), colours and DrawText format flags; characters listed in
//     the highlight record of the host's current selection take the highlight colour;
//   - in an element whose image flags carry IMAGE_TRANSPARENT_BLACK, pure black (0,0,0)
//     pixels are see-through (panel::is_see_through).
#pragma once

#include <cairo.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "host/host.h"

namespace bench {

// An RGBA picture, 0xAARRGGBB per pixel (not premultiplied), top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    uint32_t rgb(int x, int y) const { return at(x, y) & 0xFFFFFF; }
    uint32_t alpha(int x, int y) const { return at(x, y) >> 24; }
};

// The gauge as the host draws it now, at its root bitmap's size; transparent where nothing
// is drawn. `selection` is the host's current selection (highlighted characters).
Image render_gauge(panel::Gauge& gauge, int32_t selection);

// Draws the gauge with its root's top left corner at the origin of `cr`.
void draw_gauge(cairo_t* cr, panel::Gauge& gauge, int32_t selection);

// Element `index` of the gauge's tree drawn alone, hidden or not, on a transparent picture
// of the gauge's size.
Image render_element(panel::Gauge& gauge, size_t index, int32_t selection);

// Copies a Cairo image surface into an Image, and back.
Image to_image(cairo_surface_t* surface);
cairo_surface_t* to_surface(const Image& image);

// Writes a PNG. Returns false if it cannot be written.
bool write_png(const Image& image, const std::string& path);

}  // namespace bench
