// The radio stack as the simulator holds it.
#include <stdint.h>

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

// A NAV or COM radio. Its active frequency token holds four BCD digits of the frequency
// above 100 MHz in 10 kHz units (113.40 MHz is 0x1340). COM radios tune 25 kHz channels:
// a last digit of 2 or 7 stands for 25 or 75 kHz (118.025 MHz is 0x1802).
struct Radio {
    int32_t token;
    uint32_t initial;              // frequency at start
    int32_t low_mhz, high_mhz;     // whole MHz above 100 that the radio tunes
    int32_t channel_khz;           // fraction step: 50 kHz NAV, 25 kHz COM
    uint32_t whole_down_event;     // then whole up, fraction down, fraction up
    uint32_t set_event;            // value: the new frequency in the token's form
};

constexpr Radio kRadios[] = {
    {24, 0x1050, 8, 17, 50, 65640, 65708},   // NAV1, 108.00 to 117.95, starts at 110.50
    {27, 0x1390, 8, 17, 50, 65644, 65709},   // NAV2, starts at 113.90
    {23, 0x2280, 18, 36, 25, 65636, 65707},  // COM, 118.000 to 136.975, starts at 122.800
};

// The token's frequency in kHz above 100 MHz, its 25 kHz channel restored. Digit groups
// above 9 are weighted as they stand; the steps below bring any result back into the band.
int32_t frequency_khz(uint32_t bcd, const Radio& radio) {
    int32_t tens_of_khz = 0;
    for (int shift = 12; shift >= 0; shift -= 4) tens_of_khz = tens_of_khz * 10 + static_cast<int32_t>((bcd >> shift) & 0xF);
    const uint32_t last = bcd & 0xF;
    const bool quarter = radio.channel_khz == 25 && (last == 2 || last == 7);
    return tens_of_khz * 10 + (quarter ? 5 : 0);
}

// Back to the token's form: the 1 kHz digit is dropped (118.025 MHz becomes 0x1802).
uint32_t frequency_bcd(int32_t khz) {
    int32_t tens_of_khz = khz / 10;
    uint32_t bcd = 0;
    for (int shift = 0; shift <= 12; shift += 4, tens_of_khz /= 10) bcd |= static_cast<uint32_t>(tens_of_khz % 10) << shift;
    return bcd;
}

int32_t wrap(int32_t value, int32_t low, int32_t high) {
    const int32_t span = high - low + 1;
    return low + (((value - low) % span) + span) % span;
}

// The whole-MHz knob steps the MHz round the band and keeps the fraction; the fraction knob
// steps one channel round the MHz without carrying into it, as a real radio's inner knob
// does. A fraction off the channel raster first falls to the channel below it.
uint32_t step_whole(uint32_t bcd, const Radio& radio, int32_t direction) {
    const int32_t khz = frequency_khz(bcd, radio);
    const int32_t mhz = wrap(khz / 1000 + direction, radio.low_mhz, radio.high_mhz);
    return frequency_bcd(mhz * 1000 + khz % 1000);
}

uint32_t step_fraction(uint32_t bcd, const Radio& radio, int32_t direction) {
    const int32_t khz = frequency_khz(bcd, radio);
    const int32_t channels = 1000 / radio.channel_khz;
    const int32_t channel = wrap(khz % 1000 / radio.channel_khz + direction, 0, channels - 1);
    const int32_t mhz = wrap(khz / 1000, radio.low_mhz, radio.high_mhz);
    return frequency_bcd(mhz * 1000 + channel * radio.channel_khz);
}

void install_radio(Host& host, const Radio& radio) {
    host.declare_integer_token(radio.token, radio.initial);
    const int32_t token = radio.token;
    const int32_t directions[] = {-1, +1};
    for (int d = 0; d < 2; ++d) {
        const int32_t direction = directions[d];
        host.on_event(radio.whole_down_event + d, [&radio, token, direction](Host& h, uint32_t) {
            h.set_token_u32(token, step_whole(h.token_u32(token), radio, direction));
        });
        host.on_event(radio.whole_down_event + 2 + d, [&radio, token, direction](Host& h, uint32_t) {
            h.set_token_u32(token, step_fraction(h.token_u32(token), radio, direction));
        });
    }
    // The set event tunes what it is given: four BCD digits.
    host.on_event(radio.set_event, [token](Host& h, uint32_t value) { h.set_token_u32(token, value & 0xFFFF); });
    // The NAV knob-push events (65842, 65843) change nothing here; the host logs every event.
}

}  // namespace

void install_radio_model(Host& host) {
    host.declare_integer_token(kTransponderCode, 0x1200);
    for (int k = 0; k < 4; ++k) {
        host.on_event(kTransponderDigitEvent + k, [k](Host& h, uint32_t) {
            h.set_token_u32(kTransponderCode, advance_transponder_digit(h.token_u32(kTransponderCode), k));
        });
    }
    for (const Radio& radio : kRadios) install_radio(host, radio);
}

}  // namespace panel
