// Bounded text output for string callbacks, without the C runtime.
#pragma once

#include <stdint.h>

namespace gauge {

// Prints `value` in decimal, as "%d" would, into `out`: at most `max_chars` characters and a
// terminating null, so a buffer of max_chars + 1 bytes is never overrun. Digits that do not
// fit are dropped from the right.
inline void print_decimal(char* out, int32_t max_chars, int32_t value) {
    if (out == nullptr) return;
    char digits[12];
    int n = 0;
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) digits[n++] = '-';
    int written = 0;
    while (n > 0 && written < max_chars) out[written++] = digits[--n];
    out[written] = '\0';
}

}  // namespace gauge
