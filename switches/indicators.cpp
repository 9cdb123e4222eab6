// Knobs, selectors and indicators: the two volt/amp selector knobs sharing one position,
// the ammeter/voltmeter with its oil-pressure needle, the propeller de-ice ammeter and the
// magneto key switch. None of them fires a key event from module code or plays the click.
#include "switches/panel.h"

namespace switches {
namespace {

constexpr int32_t kAlternatorAmps = 762;
constexpr int32_t kBatteryAmps = 751;
constexpr int32_t kBusVolts = 753;
constexpr int32_t kOilPressure = 418;  // pounds per square foot, 1440 = 10 psi
constexpr int32_t kPropDeiceSwitch = 742;
constexpr int32_t kLeftMagneto = 399;
constexpr int32_t kRightMagneto = 400;
constexpr int32_t kStarter = 401;
constexpr uint32_t kMagnetoTowardsOff = 65634;
constexpr uint32_t kMagnetoTowardsStart = 65635;

enum selector_position : int32_t { kAlt1 = 0, kAlt2 = 1, kBattery = 2, kVolts = 3 };

// ---------------------------------------------------------------------------------------
// Volt/amp selector knobs. Knob 2 has all four positions (ALT 1, ALT 2, BAT, VOLT); knob 1
// has ALT, BAT, VOLT and shows the ALT 2 row as its ALT: selector 0 draws no knob 1 picture.

int32_t GAUGE_CALL knob_right(PIXPOINT*, uint32_t) {
    if (volt_amp_selector < kVolts) ++volt_amp_selector;
    return 0;
}

int32_t GAUGE_CALL knob1_left(PIXPOINT*, uint32_t) {
    --volt_amp_selector;
    if (volt_amp_selector < kAlt2) volt_amp_selector = kAlt2;
    return 0;
}

int32_t GAUGE_CALL knob2_left(PIXPOINT*, uint32_t) {
    if (volt_amp_selector > kAlt1) --volt_amp_selector;
    return 0;
}

double GAUGE_CALL knob1_value(ELEMENT_ICON*) { return volt_amp_selector - 1; }
double GAUGE_CALL knob2_value(ELEMENT_ICON*) { return volt_amp_selector; }

struct knob {
    const char* name;
    int32_t first_bitmap;
    MOUSE_HANDLER left;
    ICON_CALLBACK value;
};

constexpr knob kKnobs[] = {
    {"Volt_Amp_Knob_1", 1130, knob1_left, knob1_value},
    {"Volt_Amp_Knob_2", 1140, knob2_left, knob2_value},
};
constexpr size_t kKnobCount = std::size(kKnobs);
static_assert(kKnobCount == std::tuple_size_v<decltype(volt_amp_knob_headers)>);

struct knob_records {
    ELEMENT_HEADER* elements_list[2];
    ELEMENT_STATIC_IMAGE_700 root;
    ELEMENT_HEADER* root_children[2];
    ELEMENT_ICON icon;
    MOUSERECT mouse[7];
};

extern std::array<knob_records, kKnobCount> knobs;

template <size_t I>
constexpr knob_records make_knob() {
    constexpr knob k = kKnobs[I];
    GAUGEHDR* gauge = &volt_amp_knob_headers[I].head;
    knob_records& self = knobs[I];
    return {
        {&self.root.header, nullptr},
        static_image(k.first_bitmap, gauge, 0x3, self.root_children),
        {&self.icon.header, nullptr},
        icon(k.first_bitmap, 4, gauge, 0x3, 0, k.value),
        {
            mouse::parent(),
            mouse::parent(0, {34, 13, 66, 56}),  // the knob itself
            mouse::child({0, 0, 33, 56}, CURSOR_DOWN_ARROW, MOUSE_LEFT_SINGLE, k.left),
            mouse::child({33, 0, 33, 56}, CURSOR_UP_ARROW, MOUSE_LEFT_SINGLE, knob_right),
            mouse::parent_end(),
            mouse::parent_end(),
            mouse::list_end(),
        },
    };
}

constinit std::array<knob_records, kKnobCount> knobs =
    generate<knob_records, kKnobCount>([](auto i) { return make_knob<decltype(i)::value>(); });

// ---------------------------------------------------------------------------------------
// "Amps_Oil_Pressure_Indicator": the left needle shows what the selector chooses, the right
// one the oil pressure of the engine that the gauge's parameter text names.

// An ALT position: the alternator load plus the propeller de-ice share, split between the
// alternators that are on; 0 when the shown alternator is off.
double alternator_amps(double amps, int32_t shown_on, int32_t other_on) {
    const double load = amps + prop_deice_load_share;
    if (shown_on == 0) return 0.0;
    if (other_on == 0) return load;
    return load * 0.5;
}

// v is the value of the token the record held before this call: the host read it first.
// The token number is rewritten for the next evaluation, so a changed selector applies its
// formula once to the old token's value.
double GAUGE_CALL ammeter_value(ELEMENT_NEEDLE_700* needle) {
    MODULE_VAR& var = needle->needle.source_var;
    const double v = var.value.n;
    switch (volt_amp_selector) {
        case kAlt1:
            var.id = kAlternatorAmps;
            return alternator_amps(v, alt1_on, alt2_on);
        case kAlt2:
            var.id = kAlternatorAmps;
            return alternator_amps(v, alt2_on, alt1_on);
        case kVolts:
            var.id = kBusVolts;
            return (v - 15.0) * 4.0;  // 20 V at the 20 mark, 25 V at 40, 30 V at 60
        default:
            var.id = kBatteryAmps;
            return v;
    }
}

// The tokens the needles are built with, at depths 1 (ammeter) and 2 (oil pressure) below
// the root. Service 2 moves each from its built-in token, not from whatever its record holds
// now, so a gauge placed again while the module stays loaded names the right engine
// instead of stepping one engine further each time.
constexpr int32_t kNeedleTokens[] = {kBatteryAmps, kOilPressure};

void GAUGE_CALL ammeter_service(GAUGEHDR* gauge, int32_t service_id, GAUGE_EXTRA_DATA) {
    if (service_id != SERVICE_SETUP || gauge == nullptr) return;
    ELEMENT_HEADER* root = gauge->elements_list[0];
    for (int depth = 1; depth <= 2; ++depth) {
        ELEMENT_HEADER* element = element_at_depth(root, depth);
        if (element == nullptr) return;
        reinterpret_cast<ELEMENT_NEEDLE*>(element)->source_var.id = instance_token(kNeedleTokens[depth - 1], gauge);
    }
}

constinit FAILURE_RECORD ammeter_failures[] = {{2, 0, 0}, {20, 2, 0}, {0, 0, 0}};

// -40 to -20 all point at the -20 mark, 60 to 80 at the 60 mark.
constinit NONLINEARITY ammeter_scale[] = {
    {43, 50, -40.0, 0.0}, {43, 50, -20.0, 0.0}, {64, 50, 0.0, 0.0},   {82, 50, 20.0, 0.0},
    {99, 50, 40.0, 0.0},  {121, 50, 60.0, 0.0}, {121, 50, 80.0, 0.0},
};
// -2880 to 0 all point at the 0 mark, 14400 to 15840 at the 100 psi mark.
constinit NONLINEARITY oil_pressure_scale[] = {
    {174, 43, -2880.0, 0.0}, {174, 43, 0.0, 0.0},      {185, 43, 1440.0, 0.0},
    {218, 43, 7200.0, 0.0},  {262, 43, 14400.0, 0.0}, {262, 43, 15840.0, 0.0},
};

extern ELEMENT_NEEDLE_700 ammeter_needle;
extern ELEMENT_NEEDLE_700 oil_pressure_needle;
extern ELEMENT_STATIC_IMAGE_700 ammeter_cover;
constinit ELEMENT_HEADER* ammeter_root_children[] = {&ammeter_needle.needle.header, nullptr};
constinit ELEMENT_HEADER* ammeter_needle_children[] = {&oil_pressure_needle.needle.header, nullptr};
constinit ELEMENT_HEADER* oil_pressure_needle_children[] = {&ammeter_cover.header, nullptr};

constinit ELEMENT_STATIC_IMAGE_700 ammeter_root =
    static_image(1100, &ammeter_header.head, 0x4003, ammeter_root_children);
constinit ELEMENT_NEEDLE_700 ammeter_needle =
    needle({1110, {82, 108}, {3, 4}, 0x4083, ammeter_failures, kBatteryAmps}, ammeter_scale, &ammeter_header.head,
           ammeter_needle_children, ammeter_value);
constinit ELEMENT_NEEDLE_700 oil_pressure_needle =
    needle({1110, {218, 108}, {3, 4}, 0x4083, ammeter_failures, kOilPressure}, oil_pressure_scale,
           &ammeter_header.head, oil_pressure_needle_children, nullptr);
constinit ELEMENT_STATIC_IMAGE_700 ammeter_cover = static_image(1120, &ammeter_header.head, 0x3);
constinit ELEMENT_HEADER* ammeter_list[] = {&ammeter_root.header, nullptr};

// Tooltips only: amperes/volts on the left half, oil pressure on the right.
constinit MOUSERECT ammeter_mouse[] = {
    mouse::parent(),
    mouse::parent(43787, {0, 0, 150, 164}),
    mouse::parent_end(),
    mouse::parent(43854, {150, 0, 150, 164}),
    mouse::parent_end(),
    mouse::parent_end(),
    mouse::list_end(),
};

// ---------------------------------------------------------------------------------------
// "Prop_De_Ice_Amps": with de-ice on the reading closes 3 % of its gap to the bus voltage
// value per evaluation, with de-ice off it falls by 9 %; half of it loads the alternators.

double GAUGE_CALL prop_deice_value(ELEMENT_NEEDLE_700* needle) {
    const double volts = needle->needle.source_var.value.n;
    const double amps = read_token(kPropDeiceSwitch) == 1.0 ? volts * 0.03 + prop_deice_amps * 0.97
                                                            : prop_deice_amps * 0.91;
    prop_deice_amps = amps;
    prop_deice_load_share = amps * 0.5;
    return amps;
}

constinit FAILURE_RECORD prop_deice_failures[] = {{20, 2, 0}, {2, 0, 0}, {0, 0, 0}};
constinit NONLINEARITY prop_deice_scale[] = {{35, 40, 0.0, 0.0}, {68, 33, 28.0, 0.0}};

extern ELEMENT_NEEDLE_700 prop_deice_needle;
extern ELEMENT_STATIC_IMAGE_700 prop_deice_cover;
constinit ELEMENT_HEADER* prop_deice_root_children[] = {&prop_deice_needle.needle.header, nullptr};
constinit ELEMENT_HEADER* prop_deice_needle_children[] = {&prop_deice_cover.header, nullptr};
constinit ELEMENT_STATIC_IMAGE_700 prop_deice_root =
    static_image(1050, &prop_deice_amps_header.head, 0x8003, prop_deice_root_children);
constinit ELEMENT_NEEDLE_700 prop_deice_needle =
    needle({1060, {54, 56}, {4, 3}, 0x4083, prop_deice_failures, kBusVolts}, prop_deice_scale,
           &prop_deice_amps_header.head, prop_deice_needle_children, prop_deice_value);
constinit ELEMENT_STATIC_IMAGE_700 prop_deice_cover = static_image(1070, &prop_deice_amps_header.head, 0x3);
constinit ELEMENT_HEADER* prop_deice_list[] = {&prop_deice_root.header, nullptr};
constinit MOUSERECT prop_deice_mouse[] = {mouse::parent(), mouse::parent_end(), mouse::list_end()};

// ---------------------------------------------------------------------------------------
// "Magneto": the host fires the key events itself, repeated while the button is held.
// Pictures OFF, R, L, BOTH, START.

constexpr double kStartPicture = 4.0;

double GAUGE_CALL magneto_value(ELEMENT_ICON* icon) {
    const double left = read_token(kLeftMagneto);
    const double starter = read_token(kStarter);
    if (starter == 1.0) return kStartPicture;
    return 2.0 * left + icon->source_var.value.n;
}

extern ELEMENT_ICON magneto_icon;
constinit ELEMENT_HEADER* magneto_children[] = {&magneto_icon.header, nullptr};
constinit ELEMENT_STATIC_IMAGE_700 magneto_root = static_image(1040, &magneto_header.head, 0x3, magneto_children);
constinit ELEMENT_ICON magneto_icon = icon(1041, 5, &magneto_header.head, 0x3, kRightMagneto, magneto_value);
constinit ELEMENT_HEADER* magneto_list[] = {&magneto_root.header, nullptr};
constinit MOUSERECT magneto_mouse[] = {
    mouse::parent(43845),
    mouse::event_child({0, 0, 49, 98}, CURSOR_DOWN_ARROW, MOUSE_LEFT_HELD, kMagnetoTowardsOff),
    mouse::event_child({49, 0, 49, 98}, CURSOR_UP_ARROW, MOUSE_LEFT_HELD, kMagnetoTowardsStart),
    mouse::parent_end(),
    mouse::list_end(),
};

}  // namespace

constinit std::array<GAUGEHDR_700, 2> volt_amp_knob_headers =
    generate<GAUGEHDR_700, kKnobCount>([](auto i) {
        constexpr size_t I = decltype(i)::value;
        return gauge_header(kKnobs[I].name, knobs[I].elements_list, 33, knobs[I].mouse, nullptr);
    });

constinit GAUGEHDR_700 ammeter_header =
    gauge_header("Amps_Oil_Pressure_Indicator", ammeter_list, 100, ammeter_mouse, ammeter_service);

constinit GAUGEHDR_700 prop_deice_amps_header =
    gauge_header("Prop_De_Ice_Amps", prop_deice_list, 100, prop_deice_mouse, nullptr);

constinit GAUGEHDR_700 magneto_header = gauge_header("Magneto", magneto_list, 36, magneto_mouse, nullptr);

}  // namespace switches
