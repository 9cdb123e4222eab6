// A small RGB drawing surface for the gauge art, written out as 8-bit palette bitmaps.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace art {

// 0x00RRGGBB
using Rgb = uint32_t;

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // row-major, top row first

    Canvas(int w, int h, Rgb fill = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    void set(int x, int y, Rgb c) {
        if (x >= 0 && y >= 0 && x < width && y < height) pixels[static_cast<size_t>(y) * width + x] = c;
    }
    Rgb get(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    void fill_rect(int x, int y, int w, int h, Rgb c) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) set(i, j, c);
    }
    void frame_rect(int x, int y, int w, int h, Rgb c) {
        for (int i = x; i < x + w; ++i) { set(i, y, c); set(i, y + h - 1, c); }
        for (int j = y; j < y + h; ++j) { set(x, j, c); set(x + w - 1, j, c); }
    }
};

// Writes `canvas` as an uncompressed 8-bit palette BMP. Colours beyond 256 are reduced to
// the nearest of a fixed palette. Returns false if the file cannot be written.
bool write_bmp8(const std::string& path, const Canvas& canvas);

}  // namespace art
