// The drawing layer of the art and the palette bitmap writer: what is left unpainted becomes
// the see-through pure black, painted black never does, and the 8-bit quantiser keeps both
// apart while staying close to the drawn colours.
#include <gtest/gtest.h>
#include <stdio.h>

#include <fstream>
#include <iterator>
#include <set>

#include "art/paint.h"
#include "host/bitmap.h"

namespace {

panel::Bitmap write_and_read(const art::Canvas& c, const std::string& name) {
    const std::string path = ::testing::TempDir() + name;
    EXPECT_TRUE(art::write_bmp8(path, c));
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    remove(path.c_str());
    panel::Bitmap b;
    std::string error;
    // The resource form is the file without its 14-byte file header.
    EXPECT_GT(file.size(), 14u);
    EXPECT_TRUE(panel::decode_dib(file.data() + 14, file.size() - 14, &b, &error)) << error;
    return b;
}

TEST(ArtPaint, UnpaintedGroundIsPureBlackAndPaintedBlackIsNot) {
    art::Canvas c(12, 12, 0x123456);
    {
        art::Paint p(c, 0x808080);
        cairo_rectangle(p.cr, 2, 2, 4, 4);
        art::set(p.cr, 0x000000);
        cairo_fill(p.cr);
        cairo_rectangle(p.cr, 8, 2, 2, 2);
        art::set(p.cr, 0xFF0000);
        cairo_fill(p.cr);
    }
    EXPECT_EQ(c.get(0, 0), art::kTransparent);
    EXPECT_EQ(c.get(11, 11), art::kTransparent);
    EXPECT_EQ(c.get(3, 3), art::kNearBlack);
    EXPECT_NE(art::kNearBlack, art::kTransparent);
    EXPECT_EQ(c.get(8, 2), 0xFF0000u);
}

// A half-covered edge pixel over unpainted ground takes the matte's colour in proportion; a
// barely touched one stays see-through.
TEST(ArtPaint, EdgesBlendWithTheMatte) {
    art::Canvas c(4, 1);
    {
        art::Paint p(c, 0x0000FF);
        cairo_rectangle(p.cr, 0, 0, 1.5, 1);   // pixel 1 half covered
        cairo_rectangle(p.cr, 2.9, 0, 0.1, 1); // pixel 2 barely touched
        art::set(p.cr, 0xFF0000);
        cairo_fill(p.cr);
    }
    EXPECT_EQ(c.get(0, 0), 0xFF0000u);
    const art::Rgb half = c.get(1, 0);
    EXPECT_NEAR(static_cast<int>(half >> 16), 128, 2);
    EXPECT_EQ((half >> 8) & 0xFF, 0u);
    EXPECT_NEAR(static_cast<int>(half & 0xFF), 127, 2);
    EXPECT_EQ(c.get(2, 0), art::kTransparent);
}

TEST(ArtBmp8, FewColoursAreKeptExactly) {
    art::Canvas c(7, 3);  // odd width: rows are padded to 4 bytes
    const art::Rgb colours[] = {0x000000, 0x0A0A0A, 0xFFFFFF, 0x123456, 0xFF0000, 0x00FF00, 0x0000FF};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) c.set(x, y, colours[(x + y) % 7]);
    const panel::Bitmap b = write_and_read(c, "few.bmp");
    ASSERT_EQ(b.width, 7);
    ASSERT_EQ(b.height, 3);
    EXPECT_EQ(b.bits_per_pixel, 8);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(b.at(x, y), c.get(x, y)) << x << ", " << y;
}

// Thousands of colours (a gradient, dark shades down to 1,1,1 and some pure black): reduced
// to 256, pure black stays exactly where it was and nowhere else, and every other colour
// stays close to what was drawn.
TEST(ArtBmp8, ManyColoursKeepPureBlackApart) {
    art::Canvas c(128, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x) c.set(x, y, static_cast<art::Rgb>((x * 2) << 16 | (y * 4) << 8 | ((x + y) & 0xFF)));
    for (int x = 0; x < 128; ++x) {
        c.set(x, 0, static_cast<art::Rgb>(x % 3 + 1) * 0x010101);  // near-blacks
        c.set(x, 63, art::kTransparent);
    }
    std::set<art::Rgb> distinct(c.pixels.begin(), c.pixels.end());
    ASSERT_GT(distinct.size(), 256u);
    const panel::Bitmap b = write_and_read(c, "many.bmp");
    EXPECT_EQ(b.bits_per_pixel, 8);
    int worst = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 128; ++x) {
            const art::Rgb drawn = c.get(x, y), stored = b.at(x, y);
            ASSERT_EQ(stored == art::kTransparent, drawn == art::kTransparent) << x << ", " << y;
            for (int shift : {16, 8, 0})
                worst = std::max(worst, std::abs(static_cast<int>((drawn >> shift) & 0xFF) - static_cast<int>((stored >> shift) & 0xFF)));
        }
    }
    EXPECT_LE(worst, 24);
}

}  // namespace
