// The radio stack as the simulator holds it.
#include "host/aircraft.h"

namespace panel {
namespace {

constexpr int32_t kTransponderCode = 38;  // four octal digits, one per 4-bit group
constexpr uint32_t kTransponderDigitEvent = 65651;  // 65651..65654: digits 1 (leftmost) to 4

// Adds one to digit k of a transponder code, 7 wrapping to 0, leaving the others alone.
uint32_t advance_transponder_digit(uint32_t code, int k) {
    const int shift = 12 - 4 * k;
    const uint32_t digit = (code >> shift) & 0xF;
    return (code & ~(0xFu << shift)) | (((digit + 1) % 8) << shift);
}

}  // namespace

void install_radio_model(Host& host) {
    host.declare_integer_token(kTransponderCode, 0x1200);
    for (int k = 0; k < 4; ++k) {
        host.on_event(kTransponderDigitEvent + k, [k](Host& h, uint32_t) {
            h.set_token_u32(kTransponderCode, advance_transponder_digit(h.token_u32(kTransponderCode), k));
        });
    }
}

}  // namespace panel
