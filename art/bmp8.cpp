#include <stdio.h>

#include <map>

#include "art/canvas.h"

namespace art {
namespace {

void put_u16(std::vector<uint8_t>& out, uint32_t v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); }
void put_u32(std::vector<uint8_t>& out, uint32_t v) { put_u16(out, v & 0xFFFF); put_u16(out, v >> 16); }

// Palette of the picture's own colours when they fit in 256, else a 6x7x6 colour cube.
std::vector<Rgb> choose_palette(const Canvas& c) {
    std::map<Rgb, int> seen;
    for (Rgb p : c.pixels) {
        seen.emplace(p & 0xFFFFFF, 0);
        if (seen.size() > 256) break;
    }
    std::vector<Rgb> palette;
    if (seen.size() <= 256) {
        for (auto& [rgb, _] : seen) palette.push_back(rgb);
        return palette;
    }
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 7; ++g)
            for (int b = 0; b < 6; ++b) palette.push_back(static_cast<Rgb>((r * 51) << 16 | (g * 85 / 2) << 8 | (b * 51)));
    return palette;
}

int nearest(const std::vector<Rgb>& palette, Rgb c) {
    int best = 0;
    long best_d = -1;
    for (size_t i = 0; i < palette.size(); ++i) {
        long dr = static_cast<long>((palette[i] >> 16) & 0xFF) - ((c >> 16) & 0xFF);
        long dg = static_cast<long>((palette[i] >> 8) & 0xFF) - ((c >> 8) & 0xFF);
        long db = static_cast<long>(palette[i] & 0xFF) - (c & 0xFF);
        long d = dr * dr + dg * dg + db * db;
        if (best_d < 0 || d < best_d) { best_d = d; best = static_cast<int>(i); }
        if (d == 0) break;
    }
    return best;
}

}  // namespace

bool write_bmp8(const std::string& path, const Canvas& canvas) {
    const std::vector<Rgb> palette = choose_palette(canvas);
    const uint32_t row = (static_cast<uint32_t>(canvas.width) + 3u) & ~3u;
    const uint32_t pixel_bytes = row * static_cast<uint32_t>(canvas.height);
    const uint32_t palette_bytes = 256 * 4;
    const uint32_t offset = 14 + 40 + palette_bytes;
    std::vector<uint8_t> out;
    out.push_back('B'); out.push_back('M');
    put_u32(out, offset + pixel_bytes); put_u32(out, 0); put_u32(out, offset);
    put_u32(out, 40); put_u32(out, static_cast<uint32_t>(canvas.width)); put_u32(out, static_cast<uint32_t>(canvas.height));
    put_u16(out, 1); put_u16(out, 8); put_u32(out, 0); put_u32(out, pixel_bytes);
    put_u32(out, 2835); put_u32(out, 2835); put_u32(out, 256); put_u32(out, 0);
    for (size_t i = 0; i < 256; ++i) {
        Rgb c = i < palette.size() ? palette[i] : 0;
        out.push_back(c & 0xFF); out.push_back((c >> 8) & 0xFF); out.push_back((c >> 16) & 0xFF); out.push_back(0);
    }
    std::map<Rgb, int> cache;
    for (int y = canvas.height - 1; y >= 0; --y) {  // bottom-up rows
        for (int x = 0; x < canvas.width; ++x) {
            Rgb c = canvas.get(x, y) & 0xFFFFFF;
            auto it = cache.find(c);
            if (it == cache.end()) it = cache.emplace(c, nearest(palette, c)).first;
            out.push_back(static_cast<uint8_t>(it->second));
        }
        for (uint32_t pad = static_cast<uint32_t>(canvas.width); pad < row; ++pad) out.push_back(0);
    }
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = fwrite(out.data(), 1, out.size(), f) == out.size();
    return fclose(f) == 0 && ok;
}

}  // namespace art
