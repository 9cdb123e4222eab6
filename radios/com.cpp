// COM transceiver head "VARN_TESSARY_COM". The same face as the NAV heads, working in kHz:
// the simulator owns the active frequency (token 23, four BCD digits in 10 kHz units, where
// a last digit of 2 or 7 stands for a 25 kHz channel ending in 25 or 75 kHz), the gauge keeps
// a standby frequency with one more digit (1 kHz). Clicks under the active digits ask the
// simulator to step them; clicks under the standby digits step the standby here, between
// 118.000 and 137.000 MHz; the transfer button swaps the two; the knob's outer thirds step
// the active frequency by one channel, wrapping between 118.000 and 136.975 MHz, and its
// centre switches the channel step between 25 and 50 kHz.
#include "framework/module.h"
#include "framework/routines.h"
#include "radios/digits.h"
#include "radios/radio_head.h"

namespace {

constexpr int32_t kActiveToken = 23;
constexpr int32_t kMhzSelection = 4;
constexpr int32_t kFractionSelection = 5;

constexpr uint32_t kWholeDownEvent = 65636;
constexpr uint32_t kWholeUpEvent = 65637;
constexpr uint32_t kFractionDownEvent = 65638;
constexpr uint32_t kFractionUpEvent = 65639;
constexpr uint32_t kSetEvent = 65707;  // value: host form

// Frequencies as integers in kHz above 100 MHz (136.975 MHz is 36975); the standby's BCD
// form holds the same five digits.
constexpr int32_t kBandLow = 18000;     // 118.000 MHz
constexpr int32_t kStandbyTop = 37000;  // 137.000 MHz, the standby's upper stop
constexpr int32_t kKnobTop = 36975;     // 136.975 MHz, the highest channel the knob tunes
constexpr int32_t kMhz = 1000;
constexpr uint16_t kFineStep = 25;      // kHz
constexpr uint16_t kCoarseStep = 50;
constexpr uint32_t kStandbyAtLoad = 0x18000;

// Host form <-> standby form: one BCD digit (1 kHz) more in the standby.
constexpr int kKhzDigitBits = 4;
constexpr int32_t kQuarterKhz = 5;
// The displays put the hundreds digit 1 in front of the host form's four digits.
constexpr uint32_t kHundredsDigit = 0x10000;

constexpr int32_t kFaceBitmap = 4096;
constexpr int32_t kKnobBitmap = 12288;
constexpr uint32_t kFaceFlags = 0x4002;

extern GAUGEHDR com_header;
extern ELEMENT_STRING active_display;
extern ELEMENT_STRING standby_display;
extern ELEMENT_STATIC_IMAGE knob_overlay;

constinit MODULE_VAR active_frequency_var = radio_head::token(kActiveToken);
constinit uint32_t standby_frequency = kStandbyAtLoad;  // standby form
constinit uint16_t channel_step = kFineStep;            // kHz

// A host-form frequency whose last digit is 2 or 7 is a 25 kHz channel: 25 or 75 kHz.
bool ends_in_quarter(uint32_t host_form) {
    const uint32_t last = host_form & 0xF;
    return last == 2 || last == 7;
}

// The simulator's active frequency as it stands now (host form, low 32 bits of the token).
uint32_t active_frequency() {
    host::lookup_var(&active_frequency_var);
    return active_frequency_var.value.u;
}

double GAUGE_CALL active_frequency_text(double value) {
    radio::bcd_to_text(active_frequency() | kHundredsDigit, active_display.text);
    return value;
}

// The standby is shown from its host form: its 1 kHz digit never shows.
double GAUGE_CALL standby_frequency_text(double value) {
    radio::bcd_to_text((standby_frequency >> kKhzDigitBits) | kHundredsDigit, standby_display.text);
    return value;
}

// Areas under the active digits: the simulator steps its own frequency; the display follows
// through the token.
template <uint32_t Event>
int32_t GAUGE_CALL active_step(PIXPOINT*, uint32_t) {
    host::lookup_var(&active_frequency_var);
    host::trigger_key_event(Event, 0);
    return 1;
}

// Areas under the standby digits: steps that stop at 118.000 and 137.000 MHz. Fraction
// steps carry into the MHz digits; a MHz step that would leave the band stops at the edge.
// Both ends compare signed, so a MHz step down from a standby below 101.000 MHz (left only
// by transferring an active frequency the simulator never tuned) stops at 118.000 rather
// than jumping to 137.000.
void step_standby(int32_t step) {
    int32_t v;
    radio::bcd_to_int(standby_frequency, &v);
    v += step;
    if (v > kStandbyTop) v = kStandbyTop;
    if (v < kBandLow) v = kBandLow;
    radio::int_to_bcd(v, &standby_frequency);
}

int32_t GAUGE_CALL standby_whole_down(PIXPOINT*, uint32_t) {
    step_standby(-kMhz);
    return 1;
}
int32_t GAUGE_CALL standby_whole_up(PIXPOINT*, uint32_t) {
    step_standby(kMhz);
    return 1;
}
int32_t GAUGE_CALL standby_fraction_down(PIXPOINT*, uint32_t) {
    step_standby(-static_cast<int32_t>(channel_step));
    return 1;
}
int32_t GAUGE_CALL standby_fraction_up(PIXPOINT*, uint32_t) {
    step_standby(channel_step);
    return 1;
}

// The standby takes the active frequency with its 25 kHz channel restored; the simulator is
// told to tune the former standby without its 1 kHz digit.
int32_t GAUGE_CALL transfer_frequencies(PIXPOINT*, uint32_t) {
    const uint32_t active = active_frequency();
    const uint32_t former_standby = standby_frequency >> kKhzDigitBits;
    standby_frequency = active << kKhzDigitBits;
    if (ends_in_quarter(active)) standby_frequency += kQuarterKhz;
    host::trigger_key_event(kSetEvent, former_standby);
    return 1;
}

// The active frequency in kHz above 100 MHz, its 25 kHz channel restored.
int32_t active_khz() {
    const uint32_t active = active_frequency();
    int32_t v;
    radio::bcd_to_int(active, &v);
    v *= 10;
    if (ends_in_quarter(active)) v += kQuarterKhz;
    return v;
}

// Tunes the simulator to `khz`, dropping the 1 kHz digit (118.025 MHz goes out as 0x1802).
void set_active(int32_t khz) {
    uint32_t bcd;
    radio::int_to_bcd(khz, &bcd);
    host::trigger_key_event(kSetEvent, bcd >> kKhzDigitBits);
}

// The knob's outer thirds tune the active frequency one channel down or up, wrapping round
// 118.000 to 136.975 MHz. A step down from below the band (even from 000.00, a frequency the
// simulator never tuned) wraps to the top: the comparison is signed, so a result below zero
// never goes out as a frequency.
int32_t GAUGE_CALL knob_step_down(PIXPOINT*, uint32_t) {
    int32_t v = active_khz() - channel_step;
    if (v < kBandLow) v = kStandbyTop - channel_step;
    set_active(v);
    return 1;
}

int32_t GAUGE_CALL knob_step_up(PIXPOINT*, uint32_t) {
    int32_t v = active_khz() + channel_step;
    if (v > kKnobTop) v = kBandLow;
    set_active(v);
    return 1;
}

// The knob's centre switches the channel step: to 50 kHz with the knob's second picture
// hidden, back to 25 kHz with it shown. At load the step is 25 kHz and the picture hidden.
int32_t GAUGE_CALL knob_push(PIXPOINT*, uint32_t) {
    if (channel_step == kFineStep) {
        knob_overlay.header.image_flags |= IMAGE_HIDDEN;
        channel_step = kCoarseStep;
    } else {
        channel_step = kFineStep;
        knob_overlay.header.image_flags &= ~IMAGE_HIDDEN;
    }
    return 1;
}

constexpr MOUSE_HANDLER active_whole_down = active_step<kWholeDownEvent>;
constexpr MOUSE_HANDLER active_whole_up = active_step<kWholeUpEvent>;
constexpr MOUSE_HANDLER active_fraction_down = active_step<kFractionDownEvent>;
constexpr MOUSE_HANDLER active_fraction_up = active_step<kFractionUpEvent>;

// Selection ids highlight the MHz digits (characters 0 to 2) and the fraction digits (4, 5).
constinit HIGHLIGHT_RECORD active_highlight[] = {{kMhzSelection, 0, 2}, {kFractionSelection, 4, 5}, {0, -1, -1}};

constinit ELEMENT_STRING active_display =
    radio_head::frequency_display(&com_header, radio_head::kActiveDisplayAt, kActiveToken,
                                  active_frequency_text, radio_head::kYellow, active_highlight);
constinit ELEMENT_STRING standby_display =
    radio_head::frequency_display(&com_header, radio_head::kStandbyDisplayAt, radio_head::kStandbyDisplayToken,
                                  standby_frequency_text, radio_head::kOrange, nullptr);
constinit ELEMENT_STATIC_IMAGE knob_overlay =
    radio_head::image(&com_header, kKnobBitmap, radio_head::kKnobOverlayAt, radio_head::kKnobOverlayFlags, nullptr);

constinit ELEMENT_HEADER* face_children[] = {&active_display.header, &standby_display.header,
                                             &knob_overlay.header, nullptr};
constinit ELEMENT_STATIC_IMAGE face = radio_head::image(&com_header, kFaceBitmap, {0, 0}, kFaceFlags, face_children);

constinit ELEMENT_HEADER* elements_list[] = {&face.header, nullptr};

// The knob's centre repeats while held, and its record comes before the right-hand third's.
constinit MOUSERECT com_mouse[] = {
    mouse::parent(),
    radio_head::whole_up(radio_head::kActiveAreasY, active_whole_up),
    radio_head::whole_down(radio_head::kActiveAreasY, active_whole_down),
    radio_head::fraction_up(radio_head::kActiveAreasY, active_fraction_up),
    radio_head::fraction_down(radio_head::kActiveAreasY, active_fraction_down),
    radio_head::whole_up(radio_head::kStandbyAreasY, standby_whole_up),
    radio_head::whole_down(radio_head::kStandbyAreasY, standby_whole_down),
    radio_head::fraction_up(radio_head::kStandbyAreasY, standby_fraction_up),
    radio_head::fraction_down(radio_head::kStandbyAreasY, standby_fraction_down),
    radio_head::transfer(transfer_frequencies),
    radio_head::knob_left(knob_step_down),
    radio_head::knob_centre(MOUSE_LEFT_HELD, knob_push),
    radio_head::knob_right(knob_step_up),
    mouse::parent_end(),
    mouse::list_end(),
};

using routines = gauge::routines_610<&com_header, com_mouse, &active_frequency_var>;

constinit GAUGEHDR com_header = gauge::header_610<routines>("VARN_TESSARY_COM", elements_list, 70);

}  // namespace

extern "C" {
GAUGE_LINKAGE(1) = {LINKAGE_MODULE_ID, gauge::module_init, gauge::module_deinit, 0, 0, 0,
                    {&com_header, nullptr}};
}
