// Bitmaps as the host loads them from a module's resources (device-independent bitmaps
// without the file header).
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "framework/records.h"

namespace panel {

// How the host draws an element's bitmap pixel: pure black (0,0,0) is see-through in
// elements whose image flags carry IMAGE_TRANSPARENT_BLACK (needles, icons, overlays and
// covers), and an ordinary colour everywhere else. The art paints its dark areas near-black.
constexpr uint32_t kSeeThroughBlack = 0x000000;
inline bool is_see_through(uint32_t image_flags, uint32_t rgb) {
    return (image_flags & IMAGE_TRANSPARENT_BLACK) != 0 && (rgb & 0xFFFFFF) == kSeeThroughBlack;
}

struct Bitmap {
    int width = 0;
    int height = 0;
    int bits_per_pixel = 0;
    std::vector<uint32_t> palette;  // 0x00RRGGBB, for palette bitmaps
    std::vector<uint32_t> pixels;   // 0x00RRGGBB, row-major, top row first

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Decodes an uncompressed 8-bit (or 1/4/24/32-bit) device-independent bitmap. Returns false
// and leaves `error` set for anything else or for truncated data.
bool decode_dib(const uint8_t* data, size_t size, Bitmap* out, std::string* error);

}  // namespace panel
