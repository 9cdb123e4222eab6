#include "host/bitmap.h"

namespace panel {
namespace {
uint32_t u32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
}  // namespace

bool decode_dib(const uint8_t* data, size_t size, Bitmap* out, std::string* error) {
    auto fail = [&](const char* why) { *error = why; return false; };
    if (size < 40) return fail("bitmap header truncated");
    const uint32_t header = u32(data);
    if (header < 40 || header > size) return fail("unsupported bitmap header");
    const int32_t width = static_cast<int32_t>(u32(data + 4));
    const int32_t raw_height = static_cast<int32_t>(u32(data + 8));
    const int bpp = u16(data + 14);
    const uint32_t compression = u32(data + 16);
    uint32_t colours = u32(data + 32);
    if (compression != 0) return fail("compressed bitmaps are not supported");
    if (width <= 0 || raw_height == 0 || width > 16384 || raw_height > 16384 || raw_height < -16384)
        return fail("bitmap size out of range");
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return fail("unsupported bit depth");
    const bool top_down = raw_height < 0;
    const int height = top_down ? -raw_height : raw_height;
    if (bpp <= 8 && colours == 0) colours = 1u << bpp;
    if (bpp > 8) colours = 0;
    if (colours > 256) return fail("palette too large");
    const size_t palette_at = header;
    const size_t pixels_at = palette_at + static_cast<size_t>(colours) * 4;
    const size_t row = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
    if (pixels_at > size || row * height > size - pixels_at) return fail("bitmap data truncated");

    Bitmap b;
    b.width = width;
    b.height = height;
    b.bits_per_pixel = bpp;
    for (uint32_t i = 0; i < colours; ++i) {
        const uint8_t* c = data + palette_at + i * 4;
        b.palette.push_back(static_cast<uint32_t>(c[2]) << 16 | c[1] << 8 | c[0]);
    }
    b.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* src = data + pixels_at + row * (top_down ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            uint32_t rgb = 0;
            if (bpp <= 8) {
                const int per_byte = 8 / bpp;
                const uint8_t byte = src[x / per_byte];
                const int shift = (per_byte - 1 - x % per_byte) * bpp;
                const uint32_t index = (byte >> shift) & ((1u << bpp) - 1);
                rgb = index < b.palette.size() ? b.palette[index] : 0;
            } else {
                const uint8_t* p = src + x * (bpp / 8);
                rgb = static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
            }
            b.pixels[static_cast<size_t>(y) * width + x] = rgb;
        }
    }
    *out = std::move(b);
    return true;
}

}  // namespace panel
