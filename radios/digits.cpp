#include "radios/digits.h"

namespace radio {
namespace {

constexpr uint32_t digit(uint32_t bcd, int position) { return (bcd >> (4 * position)) & 0xFu; }

}  // namespace

void bcd_to_text(uint32_t bcd, char* out) {
    out[0] = static_cast<char>(digit(bcd, 4) + '0');
    out[1] = static_cast<char>(digit(bcd, 3) + '0');
    out[2] = static_cast<char>(digit(bcd, 2) + '0');
    out[3] = '.';
    out[4] = static_cast<char>(digit(bcd, 1) + '0');
    out[5] = static_cast<char>(digit(bcd, 0) + '0');
    out[6] = '\0';
}

void bcd_to_int(uint32_t bcd, int32_t* out) {
    *out = 0;
    *out += static_cast<int32_t>(digit(bcd, 4)) * 10000;
    *out += static_cast<int32_t>(digit(bcd, 3)) * 1000;
    *out += static_cast<int32_t>(digit(bcd, 2)) * 100;
    *out += static_cast<int32_t>(digit(bcd, 1)) * 10;
    *out += static_cast<int32_t>(digit(bcd, 0));
}

void int_to_bcd(int32_t value, uint32_t* out) {
    *out = 0;
    int32_t rest = value;
    int position = 4;
    for (int32_t weight = 10000; weight >= 10; weight /= 10, --position) {
        // Each digit is kept as a signed byte; for 0 to 99 999 every digit is 0 to 9.
        const int8_t d = static_cast<int8_t>(rest / weight);
        rest -= d * weight;
        *out |= static_cast<uint32_t>(static_cast<int32_t>(d)) << (4 * position);
    }
    *out |= static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(rest)));
}

}  // namespace radio
