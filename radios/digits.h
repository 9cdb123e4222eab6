// Conversions between the host's binary-coded decimal radio frequencies, plain integers and
// the displayed text. A BCD value carries five decimal digits, one per 4-bit group of its
// low 20 bits (digit 4, weight 10 000, in bits 16 to 19; digit 0 in bits 0 to 3); bits 20
// to 31 are ignored. No conversion checks that a group holds 0 to 9.
//
// Written once and compiled into every radio module that uses it, so each module carries
// its own copy.
#pragma once

#include <stdint.h>

namespace radio {

// Writes exactly seven bytes: digits 4, 3 and 2, ".", digits 1 and 0, and a null. Each digit
// character is its group's value added to '0' (a group above 9 prints as the character that
// follows '9'). `out` must hold at least seven bytes.
void bcd_to_text(uint32_t bcd, char* out);

// Stores the weighted sum of the five digits through `out`.
void bcd_to_int(uint32_t bcd, int32_t* out);

// Stores the five-digit BCD form of `value` through `out`. Callers clamp their values into
// their band first: only 0 to 99 999 have a BCD form.
void int_to_bcd(int32_t value, uint32_t* out);

}  // namespace radio
