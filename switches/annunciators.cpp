// The six annunciator lamps with their press-to-test, and the "De-Ice Press" switch that
// starts the timed de-ice pressure cycle the de-ice lamp follows.
//
// A lamp's icon is the lit bitmap over the unlit root: the value 0.0 draws it, -1.0 draws
// nothing. Timed effects count evaluations of the lamp (press-to-test, the held switch) or,
// for the de-ice cycle, the host's tick counter. None of these gauges fires a key event or
// plays the click.
#include "switches/panel.h"

namespace switches {
namespace {

constexpr double kLit = 0.0;
constexpr double kDark = -1.0;
// Evaluations a press (or a repeat while held) keeps a lamp or the switch lit.
constexpr int32_t kHoldEvaluations = 18;

constexpr double kLowSuction = 4.0;      // below it the vacuum-driven systems do not work
constexpr double kLowVoltage = 26.0;

// ---------------------------------------------------------------------------------------
// The de-ice pressure cycle.

constexpr double kCycleLength = 18.0;     // the cycle ends when its time reaches this
constexpr double kPressureShown = 2.0;    // the lamp lights once the time is above this
constexpr double kTimePerTick = 0.05555555555555555;  // 1/18

// Read only by the periodic call, and kept for the life of the module: the tick record
// still holds the previous call's tick when the next call starts.
constexpr int32_t kTickToken = 1;      // advanced by the host
constexpr int32_t kRateToken = 336;    // multiplier of elapsed ticks
constexpr int32_t kSuctionToken = 353;
constinit MODULE_VAR tick_var = token_record(kTickToken);
constinit MODULE_VAR rate_var = token_record(kRateToken);
constinit MODULE_VAR suction_var = token_record(kSuctionToken);

constinit int32_t deice_switch_hold = 0;

// Pressed and on every repeat while held: the cycle starts again from 0.
int32_t GAUGE_CALL deice_press(PIXPOINT*, uint32_t) {
    deice_switch_hold = kHoldEvaluations;
    deice_cycle_armed = 1;
    deice_cycle_time = 0.0;
    return 0;
}

double GAUGE_CALL deice_switch_value(ELEMENT_ICON*) {
    if (deice_switch_hold > 0) {
        --deice_switch_hold;
        return 1.0;
    }
    return 0.0;
}

// Once per update cycle. The tick is followed on every call, armed or not, so a cycle
// always counts from the previous call's tick; ticks with low suction do not count.
void advance_deice_cycle() {
    deice_last_tick = tick_var.value.n;
    host::lookup_var(&tick_var);
    const double tick = tick_var.value.n;
    if (deice_cycle_armed == 0) return;
    host::lookup_var(&suction_var);
    if (suction_var.value.n < kLowSuction) return;
    host::lookup_var(&rate_var);
    const double rate = rate_var.value.n;
    if (tick > deice_last_tick) deice_cycle_time = (tick - deice_last_tick) * rate * kTimePerTick + deice_cycle_time;
    if (deice_cycle_time >= kCycleLength) {
        deice_cycle_time = 0.0;
        deice_cycle_armed = 0;
    }
}

void GAUGE_CALL deice_press_service(GAUGEHDR*, int32_t service_id, GAUGE_EXTRA_DATA) {
    if (service_id == SERVICE_PERIODIC) advance_deice_cycle();
}

// ---------------------------------------------------------------------------------------
// The lamps. v is the lamp icon's own token value.

bool suction_lamp(double v) { return v < kLowSuction; }
bool voltage_lamp(double v) { return v < kLowVoltage; }
bool alternator1_lamp(double v) { return v < kLowVoltage || alt1_on == 0; }
bool alternator2_lamp(double v) { return v < kLowVoltage || alt2_on == 0; }
bool cabin_altitude_lamp(double v) { return v < -1.0; }  // no token: lit only under test
bool deice_pressure_lamp(double v) {
    if (v < kLowSuction) return false;
    if (deice_cycle_armed == 0) return false;
    return deice_cycle_time > kPressureShown;
}

struct annunciator {
    const char* name;
    int32_t token;
    bool (*lit)(double v);
};

constexpr annunciator kAnnunciators[] = {
    {"Suction Annunciator", kSuctionToken, suction_lamp},
    {"Voltage Annunciator", 753, voltage_lamp},
    {"Alternator1 Annunciator", 761, alternator1_lamp},
    {"Alternator2 Annunciator", 761, alternator2_lamp},
    {"Cabine Altitude Annunciator", 0, cabin_altitude_lamp},
    {"De-Ice Press Annunciator", kSuctionToken, deice_pressure_lamp},
};
constexpr size_t kAnnunciatorCount = std::size(kAnnunciators);
static_assert(kAnnunciatorCount == std::tuple_size_v<decltype(annunciator_headers)>);

template <size_t I>
constinit int32_t test_countdown = 0;

// Pressed and on every repeat while held.
template <size_t I>
int32_t GAUGE_CALL lamp_test(PIXPOINT*, uint32_t) {
    test_countdown<I> = kHoldEvaluations;
    return 0;
}

// A running test lights the lamp whatever the token says.
template <size_t I>
double GAUGE_CALL lamp_value(ELEMENT_ICON* icon) {
    if (test_countdown<I> > 0) {
        --test_countdown<I>;
        return kLit;
    }
    return kAnnunciators[I].lit(icon->source_var.value.n) ? kLit : kDark;
}

constinit FAILURE_RECORD lamp_failures[] = {{2, 0, 0}, {20, 3, 0}, {0, 0, 0}};

struct lamp_records {
    ELEMENT_HEADER* elements_list[2];
    ELEMENT_STATIC_IMAGE_700 root;
    ELEMENT_HEADER* root_children[2];
    ELEMENT_ICON icon;
    MOUSERECT mouse[4];
};

extern std::array<lamp_records, kAnnunciatorCount> lamps;

template <size_t I>
constexpr lamp_records make_lamp() {
    GAUGEHDR* gauge = &annunciator_headers[I].head;
    lamp_records& self = lamps[I];
    return {
        {&self.root.header, nullptr},
        static_image(1150, gauge, 0x3, self.root_children),
        {&self.icon.header, nullptr},
        icon(1160, 1, gauge, 0x7, kAnnunciators[I].token, lamp_value<I>, lamp_failures),
        {
            mouse::parent(),
            mouse::child({0, 0, 40, 40}, CURSOR_HAND, MOUSE_LEFT_HELD, lamp_test<I>),
            mouse::parent_end(),
            mouse::list_end(),
        },
    };
}

constinit std::array<lamp_records, kAnnunciatorCount> lamps =
    generate<lamp_records, kAnnunciatorCount>([](auto i) { return make_lamp<decltype(i)::value>(); });

// "De-Ice Press" records.
extern ELEMENT_ICON deice_switch_icon;
constinit ELEMENT_HEADER* deice_switch_children[] = {&deice_switch_icon.header, nullptr};
constinit ELEMENT_STATIC_IMAGE_700 deice_switch_root =
    static_image(10, &deice_press_header.head, 0x3, deice_switch_children);
constinit ELEMENT_ICON deice_switch_icon =
    icon(10, 2, &deice_press_header.head, 0x3, kSuctionToken, deice_switch_value);
constinit ELEMENT_HEADER* deice_switch_list[] = {&deice_switch_root.header, nullptr};
constinit MOUSERECT deice_switch_mouse[] = {
    mouse::parent(),
    mouse::child({0, 0, 36, 36}, CURSOR_HAND, MOUSE_LEFT_HELD, deice_press),
    mouse::parent_end(),
    mouse::list_end(),
};

}  // namespace

constinit std::array<GAUGEHDR_700, 6> annunciator_headers =
    generate<GAUGEHDR_700, kAnnunciatorCount>([](auto i) {
        constexpr size_t I = decltype(i)::value;
        return gauge_header(kAnnunciators[I].name, lamps[I].elements_list, 28, lamps[I].mouse, nullptr);
    });

constinit GAUGEHDR_700 deice_press_header =
    gauge_header("De-Ice Press", deice_switch_list, 36, deice_switch_mouse, deice_press_service);

}  // namespace switches
