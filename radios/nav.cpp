// NAV receiver head "VARN_TESSARY_NAV1" or "VARN_TESSARY_NAV2" (built once per receiver, with
// NAV_RECEIVER set to 1 or 2). It shows the receiver's active frequency, which the simulator
// owns, and a standby frequency that the gauge keeps itself, both in the band 108.00 to
// 117.95 MHz. Clicks under the active digits ask the simulator to step them; clicks under
// the standby digits step the standby here; the transfer button swaps the two; the tuning
// knob steps the active frequency by 50 kHz channels, wrapping round the band, and its
// centre is the receiver's knob push, which also shows or hides the knob's second picture.
#include "framework/module.h"
#include "framework/routines.h"
#include "radios/digits.h"
#include "radios/radio_head.h"

#if !defined(NAV_RECEIVER) || (NAV_RECEIVER != 1 && NAV_RECEIVER != 2)
#error "NAV_RECEIVER must be 1 or 2"
#endif

namespace {

// The simulator's numbers of one receiver: all that differs between the two NAV modules.
struct Receiver {
    const char* gauge_name;
    int32_t active_token;          // active frequency, BCD form
    int32_t mhz_selection;         // selection ids that highlight the active display's digits
    int32_t fraction_selection;
    uint32_t whole_down_event;     // step the active frequency (the simulator applies them)
    uint32_t whole_up_event;
    uint32_t fraction_down_event;
    uint32_t fraction_up_event;
    uint32_t set_event;            // set the active frequency; value: BCD form
    uint32_t knob_push_event;      // value 0
};

constexpr Receiver kReceivers[] = {
    {"VARN_TESSARY_NAV1", 24, 6, 7, 65640, 65641, 65642, 65643, 65708, 65842},
    {"VARN_TESSARY_NAV2", 27, 8, 9, 65644, 65645, 65646, 65647, 65709, 65843},
};
constexpr Receiver kReceiver = kReceivers[NAV_RECEIVER - 1];

// Frequencies as integers in 10 kHz units above 100 MHz (117.95 MHz is 1795); the BCD form
// holds the same four digits.
constexpr int32_t kBandLow = 800;    // 108.00 MHz
constexpr int32_t kBandHigh = 1795;  // 117.95 MHz
constexpr int32_t kMhz = 100;
constexpr int32_t kChannel = 5;      // 50 kHz
constexpr uint32_t kStandbyAtLoad = 0x0800;

// The displays put the hundreds digit 1 in front of the four digits.
constexpr uint32_t kHundredsDigit = 0x10000;

constexpr int32_t kFaceBitmap = 4096;
constexpr int32_t kKnobBitmap = 8192;
constexpr uint32_t kFaceFlags = 0x4001;

extern GAUGEHDR nav_header;
extern ELEMENT_STRING active_display;
extern ELEMENT_STRING standby_display;
extern ELEMENT_STATIC_IMAGE knob_overlay;

constinit MODULE_VAR active_frequency_var = radio_head::token(kReceiver.active_token);
constinit uint32_t standby_frequency = kStandbyAtLoad;
constinit int32_t knob_toggle = 0;  // 1 while the knob's second picture is shown

// The simulator's active frequency as it stands now (BCD form, low 32 bits of the token).
uint32_t active_frequency() {
    host::lookup_var(&active_frequency_var);
    return active_frequency_var.value.u;
}

double GAUGE_CALL active_frequency_text(double value) {
    radio::bcd_to_text(active_frequency() | kHundredsDigit, active_display.text);
    return value;
}

double GAUGE_CALL standby_frequency_text(double value) {
    radio::bcd_to_text(standby_frequency | kHundredsDigit, standby_display.text);
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

// Areas under the standby digits: steps that stop at the band edges. Fraction steps carry
// into the MHz digits; a MHz step that would leave the band stops at the edge.
template <int32_t Step>
int32_t GAUGE_CALL standby_step(PIXPOINT*, uint32_t) {
    int32_t v;
    radio::bcd_to_int(standby_frequency, &v);
    v += Step;
    if (v > kBandHigh) v = kBandHigh;
    if (v < kBandLow) v = kBandLow;
    radio::int_to_bcd(v, &standby_frequency);
    return 1;
}

// The standby takes the active frequency as the simulator holds it; the simulator is told
// to tune the former standby.
int32_t GAUGE_CALL transfer_frequencies(PIXPOINT*, uint32_t) {
    const uint32_t active = active_frequency();
    const uint32_t former_standby = standby_frequency;
    standby_frequency = active;
    host::trigger_key_event(kReceiver.set_event, former_standby);
    return 1;
}

// The knob's outer thirds tune the active frequency one channel down or up, wrapping round
// the band. A step down from below the band (even from 000.00, a frequency the simulator
// never tuned) wraps to the top of the band: the comparison is signed, so a result below
// zero never goes out as a frequency.
int32_t GAUGE_CALL knob_step_down(PIXPOINT*, uint32_t) {
    int32_t v;
    radio::bcd_to_int(active_frequency(), &v);
    v -= kChannel;
    if (v < kBandLow) v = kBandHigh;
    uint32_t bcd;
    radio::int_to_bcd(v, &bcd);
    host::trigger_key_event(kReceiver.set_event, bcd);
    return 1;
}

int32_t GAUGE_CALL knob_step_up(PIXPOINT*, uint32_t) {
    int32_t v;
    radio::bcd_to_int(active_frequency(), &v);
    v += kChannel;
    if (v > kBandHigh) v = kBandLow;
    uint32_t bcd;
    radio::int_to_bcd(v, &bcd);
    host::trigger_key_event(kReceiver.set_event, bcd);
    return 1;
}

// The knob's centre: the receiver's push event, and the knob's second picture shown after
// every odd push, hidden after every even one.
int32_t GAUGE_CALL knob_push(PIXPOINT*, uint32_t) {
    host::trigger_key_event(kReceiver.knob_push_event, 0);
    if (knob_toggle == 0) {
        knob_overlay.header.image_flags &= ~IMAGE_HIDDEN;
        knob_toggle = 1;
    } else {
        knob_overlay.header.image_flags |= IMAGE_HIDDEN;
        knob_toggle = 0;
    }
    return 1;
}

constexpr MOUSE_HANDLER active_whole_down = active_step<kReceiver.whole_down_event>;
constexpr MOUSE_HANDLER active_whole_up = active_step<kReceiver.whole_up_event>;
constexpr MOUSE_HANDLER active_fraction_down = active_step<kReceiver.fraction_down_event>;
constexpr MOUSE_HANDLER active_fraction_up = active_step<kReceiver.fraction_up_event>;
constexpr MOUSE_HANDLER standby_whole_down = standby_step<-kMhz>;
constexpr MOUSE_HANDLER standby_whole_up = standby_step<+kMhz>;
constexpr MOUSE_HANDLER standby_fraction_down = standby_step<-kChannel>;
constexpr MOUSE_HANDLER standby_fraction_up = standby_step<+kChannel>;

// Selection ids highlight the MHz digits (characters 0 to 2) and the fraction digits (4, 5).
constinit HIGHLIGHT_RECORD active_highlight[] = {
    {kReceiver.mhz_selection, 0, 2}, {kReceiver.fraction_selection, 4, 5}, {0, -1, -1}};

constinit ELEMENT_STRING active_display =
    radio_head::frequency_display(&nav_header, radio_head::kActiveDisplayAt, kReceiver.active_token,
                                  active_frequency_text, radio_head::kYellow, active_highlight);
constinit ELEMENT_STRING standby_display =
    radio_head::frequency_display(&nav_header, radio_head::kStandbyDisplayAt, radio_head::kStandbyDisplayToken,
                                  standby_frequency_text, radio_head::kOrange, nullptr);
constinit ELEMENT_STATIC_IMAGE knob_overlay =
    radio_head::image(&nav_header, kKnobBitmap, radio_head::kKnobOverlayAt, radio_head::kKnobOverlayFlags, nullptr);

constinit ELEMENT_HEADER* face_children[] = {&active_display.header, &standby_display.header,
                                             &knob_overlay.header, nullptr};
constinit ELEMENT_STATIC_IMAGE face = radio_head::image(&nav_header, kFaceBitmap, {0, 0}, kFaceFlags, face_children);

constinit ELEMENT_HEADER* elements_list[] = {&face.header, nullptr};

// The knob's centre reacts to a press only: holding it pushes once.
constinit MOUSERECT nav_mouse[] = {
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
    radio_head::knob_right(knob_step_up),
    radio_head::knob_centre(MOUSE_LEFT_SINGLE, knob_push),
    mouse::parent_end(),
    mouse::list_end(),
};

using routines = gauge::routines_610<&nav_header, nav_mouse, &active_frequency_var>;

constinit GAUGEHDR nav_header = gauge::header_610<routines>(kReceiver.gauge_name, elements_list, 70);

}  // namespace

extern "C" {
GAUGE_LINKAGE(1) = {LINKAGE_MODULE_ID, gauge::module_init, gauge::module_deinit, 0, 0, 0,
                    {&nav_header, nullptr}};
}
