// The switch panel module M470_Switches: what its 30 gauges share.
//
// Every gauge header names the same seven routines, which work on the root of the first
// gauge in Linkage ("Landing_Lights") whatever gauge the host calls them for. Gauges meet
// only through the module-level state below; each family of gauges (two-position switches,
// master switches, annunciators, knobs and indicators) keeps its own records and private
// state in its own source file and exports only its gauge headers for the roster.
#pragma once

#include <stddef.h>

#include <array>
#include <utility>

#include "framework/host_calls.h"
#include "framework/module.h"
#include "framework/mouse.h"
#include "framework/routines.h"
#include "switches/instance.h"
#include "switches/sound.h"

inline constexpr unsigned kSwitchPanelGauges = 30;

extern "C" GAUGE_EXPORT LINKAGE<kSwitchPanelGauges> Linkage;

namespace switches {

// The seven gauge routines that every header of the module names.
using shared_routines = gauge::routines_first_gauge<&Linkage>;

// ---------------------------------------------------------------------------------------
// Module-level state shared between gauges (static initial values; nothing resets it while
// the module stays loaded).

extern int32_t alt1_on;               // alternator 1 flag of the master switches, 0 or 1
extern int32_t alt2_on;               // alternator 2 flag
extern int32_t volt_amp_selector;     // 0 ALT 1, 1 ALT 2, 2 BAT, 3 VOLT
extern double prop_deice_amps;        // filtered propeller de-ice current
extern double prop_deice_load_share;  // the part of it the ALT positions of the ammeter add
extern int32_t deice_cycle_armed;     // a de-ice pressure cycle runs
extern double deice_cycle_time;       // its accumulated time
extern double deice_last_tick;        // the tick the previous periodic call read

// The current value of a token other than an element's own: a fresh token record on the
// stack (only the id set), looked up, read as a double. Nothing is kept between calls.
double read_token(int32_t token);

// ---------------------------------------------------------------------------------------
// The gauge headers of each family, in roster order within the family.

extern std::array<GAUGEHDR_700, 14> toggle_headers;  // Landing_Lights .. Stby_Vac, Avionics Switch
extern GAUGEHDR_700 aux_fuel_pump_header;
extern GAUGEHDR_700 nav_gps_header;
extern std::array<GAUGEHDR_700, 2> alt_bat_headers;  // Alt_Bat_1, Alt_Bat_2
extern GAUGEHDR_700 magneto_header;
extern GAUGEHDR_700 prop_deice_amps_header;
extern GAUGEHDR_700 ammeter_header;
extern std::array<GAUGEHDR_700, 2> volt_amp_knob_headers;
extern std::array<GAUGEHDR_700, 6> annunciator_headers;
extern GAUGEHDR_700 deice_press_header;

// ---------------------------------------------------------------------------------------
// Record builders, so that each family describes its gauges once and generates the records.

// An array of N records, the n-th made by make(std::integral_constant<size_t, n>).
template <class T, size_t N, class Make>
constexpr std::array<T, N> generate(Make make) {
    return [&]<size_t... I>(std::index_sequence<I...>) {
        return std::array<T, N>{make(std::integral_constant<size_t, I>{})...};
    }(std::make_index_sequence<N>{});
}

constexpr MODULE_VAR token_record(int32_t token) { return {token, nullptr, 0, {0.0}, {0, 0}}; }

constexpr ELEMENT_HEADER element_header(uint32_t type, int32_t bitmap, GAUGEHDR* gauge, uint32_t image_flags,
                                        ELEMENT_HEADER** children, FAILURE_RECORD* failures = nullptr,
                                        PIXPOINT position = {0, 0}, PIXPOINT offset = {0, 0}) {
    return {type, bitmap, position, {0, 0}, offset, gauge, nullptr, children, failures, image_flags, {0, 0}};
}

constexpr ELEMENT_STATIC_IMAGE_700 static_image(int32_t bitmap, GAUGEHDR* gauge, uint32_t image_flags,
                                                ELEMENT_HEADER** children = nullptr) {
    return {element_header(ELEMENT_TYPE_STATIC_IMAGE, bitmap, gauge, image_flags, children), nullptr, {}};
}

// An icon whose picture n is bitmap first_bitmap + n, drawn from its token or its callback.
constexpr ELEMENT_ICON icon(int32_t first_bitmap, int32_t picture_count, GAUGEHDR* gauge, uint32_t image_flags,
                            int32_t token, ICON_CALLBACK callback, FAILURE_RECORD* failures = nullptr) {
    return {element_header(ELEMENT_TYPE_ICON, first_bitmap, gauge, image_flags, nullptr, failures),
            token_record(token), {}, 1.0, 0, picture_count, {}, callback};
}

struct needle_shape {
    int32_t bitmap;
    PIXPOINT position;      // where the pivot sits on the gauge
    PIXPOINT pivot;         // the pivot inside the needle bitmap
    uint32_t image_flags;
    FAILURE_RECORD* failures;
    int32_t token;
};

// A needle turning through `scale`, entries in ascending order of value.
template <size_t Entries>
constexpr ELEMENT_NEEDLE_700 needle(const needle_shape& s, NONLINEARITY (&scale)[Entries], GAUGEHDR* gauge,
                                    ELEMENT_HEADER** children, NEEDLE_CALLBACK_700 callback) {
    return {{element_header(ELEMENT_TYPE_NEEDLE, s.bitmap, gauge, s.image_flags, children, s.failures,
                            s.position, s.pivot),
             token_record(s.token), nullptr, {}, {0, 0}, scale, static_cast<uint32_t>(Entries), {}},
            callback, {}};
}

constexpr GAUGEHDR_700 gauge_header(const char* name, ELEMENT_HEADER** elements_list, uint32_t size_x_mm,
                                    MOUSERECT* mouse_rect, GAUGE_CALLBACK callback) {
    return {{GAUGE_VERSION_700, name, elements_list, GAUGE_ROUTINES(shared_routines), 0, size_x_mm, 0, {},
             mouse_rect, callback},
            0, nullptr, {}};
}

// Services 2 and 12 of a clicking gauge: set up and tear down its click sound.
inline void clicking_gauge_service(sound::click_sound_slot& slot, int32_t service_id, GAUGE_EXTRA_DATA extra) {
    if (service_id == SERVICE_SETUP) sound::click_sound_setup(slot, extra);
    else if (service_id == SERVICE_END) sound::click_sound_teardown(slot);
}

}  // namespace switches
