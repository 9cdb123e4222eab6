// The radios' digit conversions, from the same source the NAV and COM modules compile.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "radios/digits.h"

namespace {

struct TextCase {
    uint32_t bcd;
    const char* text;
};

// Digits 4 to 2, the point, digits 1 and 0; a group above 9 prints as the character that
// follows '9' by as much; bits 20 to 31 never show.
TEST(BcdToText, WritesSixCharactersAndANull) {
    const TextCase cases[] = {
        {0x11795, "117.95"},  {0x10800, "108.00"}, {0x0, "000.00"},      {0x211795, "117.95"},
        {0xFFF00000, "000.00"}, {0x12345, "123.45"}, {0xA, "000.0:"},     {0xF0000, "?00.00"},
        {0xFFFFF, "???.??"},  {0x1A0B0, "1:0.;0"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.text);
        char out[16];
        memset(out, 0x5A, sizeof out);
        radio::bcd_to_text(c.bcd, out);
        EXPECT_STREQ(out, c.text);
        // Exactly seven bytes: the rest of the buffer is untouched.
        for (size_t i = 7; i < sizeof out; ++i) EXPECT_EQ(out[i], 0x5A) << "byte " << i;
    }
}

struct IntCase {
    uint32_t bcd;
    int32_t value;
};

TEST(BcdToInt, WeighsTheFiveDigits) {
    const IntCase cases[] = {
        {0x1795, 1795}, {0x18025, 18025}, {0x99999, 99999}, {0x0, 0}, {0x0800, 800},
        // Bits above 19 are ignored; groups above 9 are weighed as they stand.
        {0x7F01795, 1795}, {0xA, 10}, {0xFFFFF, 166665},
    };
    for (const IntCase& c : cases) {
        int32_t out = -1;
        radio::bcd_to_int(c.bcd, &out);
        EXPECT_EQ(out, c.value) << std::hex << c.bcd;
    }
}

TEST(IntToBcd, GivesTheFiveDigitForm) {
    const IntCase cases[] = {
        {0x0800, 800}, {0x36975, 36975}, {0x0, 0}, {0x99999, 99999}, {0x1795, 1795}, {0x10000, 10000}, {0x9, 9},
    };
    for (const IntCase& c : cases) {
        uint32_t out = 0xDEADBEEF;  // overwritten, not merged into
        radio::int_to_bcd(c.value, &out);
        EXPECT_EQ(out, c.bcd) << c.value;
    }
}

// For every value the radios use, back and forth gives the value again, and the BCD form
// reads as the value's decimal digits.
TEST(Conversions, RoundTripEveryFiveDigitValue) {
    int mismatches = 0;
    for (int32_t v = 0; v <= 99999; ++v) {
        uint32_t bcd = 0;
        int32_t back = -1;
        radio::int_to_bcd(v, &bcd);
        radio::bcd_to_int(bcd, &back);
        char text[8];
        radio::bcd_to_text(bcd, text);
        char expected[16];
        snprintf(expected, sizeof expected, "%03d.%02d", v / 100, v % 100);
        if ((back != v || strcmp(text, expected) != 0) && ++mismatches <= 5)
            ADD_FAILURE() << v << " came back as " << back << ", text " << text;
    }
    EXPECT_EQ(mismatches, 0);
}

}  // namespace
