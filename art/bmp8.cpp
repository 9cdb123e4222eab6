#include <stdio.h>

#include <algorithm>
#include <map>

#include "art/canvas.h"

namespace art {
namespace {

constexpr Rgb kSeeThrough = 0x000000;  // pure black: see-through where the host is asked to

void put_u16(std::vector<uint8_t>& out, uint32_t v) { out.push_back(v & 0xFF); out.push_back((v >> 8) & 0xFF); }
void put_u32(std::vector<uint8_t>& out, uint32_t v) { put_u16(out, v & 0xFFFF); put_u16(out, v >> 16); }

int channel(Rgb c, int k) { return static_cast<int>((c >> (16 - 8 * k)) & 0xFF); }

struct Entry {
    Rgb colour;
    uint32_t count;
};

// Median cut: splits the picture's colours into boxes, each box becoming one palette entry
// (its pixel-weighted mean), always splitting the box with the widest spread along one
// channel at its weighted median.
std::vector<Rgb> median_cut(std::vector<Entry> colours, size_t wanted) {
    struct Span {
        size_t begin, end;
        int axis = 0, spread = 0;
    };
    auto measure = [&](Span& s) {
        s.spread = -1;
        for (int k = 0; k < 3; ++k) {
            int lo = 255, hi = 0;
            for (size_t i = s.begin; i < s.end; ++i) {
                lo = std::min(lo, channel(colours[i].colour, k));
                hi = std::max(hi, channel(colours[i].colour, k));
            }
            if (hi - lo > s.spread) { s.spread = hi - lo; s.axis = k; }
        }
    };
    std::vector<Span> spans{{0, colours.size()}};
    measure(spans[0]);
    while (spans.size() < wanted) {
        auto widest = std::max_element(spans.begin(), spans.end(),
                                       [](const Span& a, const Span& b) { return a.spread < b.spread; });
        if (widest->spread <= 0) break;
        Span s = *widest;
        std::sort(colours.begin() + static_cast<long>(s.begin), colours.begin() + static_cast<long>(s.end),
                  [&](const Entry& a, const Entry& b) { return channel(a.colour, s.axis) < channel(b.colour, s.axis); });
        uint64_t total = 0;
        for (size_t i = s.begin; i < s.end; ++i) total += colours[i].count;
        uint64_t running = 0;
        size_t cut = s.begin + 1;
        for (size_t i = s.begin; i < s.end - 1; ++i) {
            running += colours[i].count;
            cut = i + 1;
            if (running * 2 >= total) break;
        }
        Span a{s.begin, cut}, b{cut, s.end};
        measure(a);
        measure(b);
        *widest = a;
        spans.push_back(b);
    }
    std::vector<Rgb> palette;
    for (const Span& s : spans) {
        double sum[3] = {0, 0, 0};
        double n = 0;
        for (size_t i = s.begin; i < s.end; ++i) {
            for (int k = 0; k < 3; ++k) sum[k] += channel(colours[i].colour, k) * static_cast<double>(colours[i].count);
            n += colours[i].count;
        }
        Rgb c = 0;
        for (int k = 0; k < 3; ++k) c = c << 8 | static_cast<Rgb>(sum[k] / n + 0.5);
        palette.push_back(c == kSeeThrough ? 0x010101 : c);  // painted pixels never turn see-through
    }
    return palette;
}

// The picture's own colours when they fit in 256; otherwise a median-cut palette. Pure
// black, when the picture has it, keeps an exact entry of its own: it is the see-through
// colour, and no painted colour may fall onto it or away from it.
std::vector<Rgb> choose_palette(const Canvas& c) {
    std::map<Rgb, uint32_t> histogram;
    for (Rgb p : c.pixels) ++histogram[p & 0xFFFFFF];
    std::vector<Rgb> palette;
    if (histogram.size() <= 256) {
        for (auto& [rgb, _] : histogram) palette.push_back(rgb);
        return palette;
    }
    const bool see_through = histogram.erase(kSeeThrough) != 0;
    std::vector<Entry> colours;
    for (auto& [rgb, count] : histogram) colours.push_back({rgb, count});
    if (see_through) palette.push_back(kSeeThrough);
    for (Rgb p : median_cut(std::move(colours), see_through ? 255 : 256)) palette.push_back(p);
    return palette;
}

int nearest(const std::vector<Rgb>& palette, Rgb c) {
    int best = -1;
    long best_d = 0;
    for (size_t i = 0; i < palette.size(); ++i) {
        // Only pure black maps to pure black, and pure black to nothing else.
        if ((palette[i] == kSeeThrough) != (c == kSeeThrough)) continue;
        long d = 0;
        for (int k = 0; k < 3; ++k) {
            const long delta = channel(palette[i], k) - channel(c, k);
            d += delta * delta;
        }
        if (best < 0 || d < best_d) { best_d = d; best = static_cast<int>(i); }
        if (d == 0) break;
    }
    return best < 0 ? 0 : best;
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
