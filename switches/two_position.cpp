// The sixteen two-position switches of the panel: toggles that mirror a simulator switch,
// toggles that keep their position inside the module, the NAV/GPS source switch and the
// auxiliary fuel pump's split rocker with its momentary emergency half.
//
// Each switch is a root bitmap with one icon over it; the picture follows the state, and a
// click changes the state only through a host key event (or, for a module-only switch, the
// module's own variable). Every switch but NAV/GPS plays the click.
#include "switches/panel.h"

namespace switches {
namespace {

// ---------------------------------------------------------------------------------------
// The clicking toggles: one description each, records and handlers generated from it.

struct toggle_switch {
    const char* name;
    int32_t root_bitmap;
    int32_t first_bitmap;  // icon index 0 (off); index 1 is the next bitmap
    int32_t token;         // the simulator switch shown; 0 for a module-only switch
    uint32_t event;        // the toggle the click fires; 0 for a module-only switch
    int32_t help_id;
    MOUSE_BOX area;        // where a click toggles

    constexpr bool module_only() const { return event == 0; }
};

constexpr MOUSE_BOX kWholeToggle = {0, 0, 36, 56};
constexpr uint32_t kToggleSizeMm = 36;

constexpr toggle_switch kToggles[] = {
    {"Landing_Lights", 11, 10, 14, 65751, 43838, kWholeToggle},
    {"Pitot_Heat", 11, 10, 13, 65858, 43863, kWholeToggle},
    {"Nav_Lights", 11, 10, 619, 66379, 43839, kWholeToggle},
    {"Strobe_Lights", 11, 10, 11, 65560, 43842, kWholeToggle},
    {"Taxi_Lights", 11, 10, 369, 66240, 43843, kWholeToggle},
    {"Beacon_Lights", 11, 10, 368, 66239, 43837, kWholeToggle},
    {"Panel_Lights", 11, 10, 10, 65750, 43840, kWholeToggle},
    {"Dummy_Switch1", 10, 10, 0, 0, 0, kWholeToggle},
    {"Dummy_Switch2", 10, 10, 0, 0, 0, kWholeToggle},
    {"Dummy_Switch3", 10, 10, 0, 0, 0, kWholeToggle},
    {"Stall_Heat", 10, 10, 0, 0, 0, kWholeToggle},
    {"Prop_Deice", 11, 10, 742, 65571, 44161, kWholeToggle},
    {"Stby_Vac", 11, 10, 778, 66290, 44160, kWholeToggle},
    // The rocker has no second picture (no bitmap 1171): at index 1 the icon draws nothing
    // and the root shows the rocker on.
    {"Avionics Switch", 1180, 1170, 740, 66293, 43791, {20, 14, 27, 44}},
};
constexpr size_t kToggleCount = std::size(kToggles);
static_assert(kToggleCount == std::tuple_size_v<decltype(toggle_headers)>);

template <size_t I>
constinit sound::click_sound_slot toggle_slot = {};

// Position of a module-only switch, 0 or 1; nothing outside the module sees it.
template <size_t I>
constinit int32_t dummy_state = 0;

template <size_t I>
int32_t GAUGE_CALL toggle_click(PIXPOINT*, uint32_t) {
    constexpr toggle_switch s = kToggles[I];
    if constexpr (s.module_only()) {
        dummy_state<I> = dummy_state<I> == 0 ? 1 : 0;
    } else {
        host::trigger_key_event(s.event, 0);
    }
    sound::click(toggle_slot<I>);
    return 0;
}

template <size_t I>
double GAUGE_CALL dummy_value(ELEMENT_ICON*) {
    return dummy_state<I>;
}

template <size_t I>
void GAUGE_CALL toggle_service(GAUGEHDR*, int32_t service_id, GAUGE_EXTRA_DATA extra) {
    clicking_gauge_service(toggle_slot<I>, service_id, extra);
}

struct toggle_records {
    ELEMENT_HEADER* elements_list[2];
    ELEMENT_STATIC_IMAGE_700 root;
    ELEMENT_HEADER* root_children[2];
    ELEMENT_ICON icon;
    MOUSERECT mouse[4];
};

extern std::array<toggle_records, kToggleCount> toggles;

template <size_t I>
constexpr toggle_records make_toggle() {
    constexpr toggle_switch s = kToggles[I];
    GAUGEHDR* gauge = &toggle_headers[I].head;
    toggle_records& self = toggles[I];
    ICON_CALLBACK value = nullptr;
    if constexpr (s.module_only()) value = dummy_value<I>;
    return {
        {&self.root.header, nullptr},
        static_image(s.root_bitmap, gauge, 0x3, self.root_children),
        {&self.icon.header, nullptr},
        icon(s.first_bitmap, 2, gauge, 0x3, s.token, value),
        {
            mouse::parent(s.help_id),
            mouse::child(s.area, CURSOR_HAND, MOUSE_LEFT_SINGLE, toggle_click<I>),
            mouse::parent_end(),
            mouse::list_end(),
        },
    };
}

constinit std::array<toggle_records, kToggleCount> toggles =
    generate<toggle_records, kToggleCount>([](auto i) { return make_toggle<decltype(i)::value>(); });

// ---------------------------------------------------------------------------------------
// "Nav GPS Switch": the host fires the source toggle itself; no module code, no click.

constexpr int32_t kNavSourceToken = 848;
constexpr uint32_t kNavSourceToggle = 66375;

extern ELEMENT_ICON nav_gps_icon;
constinit ELEMENT_HEADER* nav_gps_children[] = {&nav_gps_icon.header, nullptr};
constinit ELEMENT_STATIC_IMAGE_700 nav_gps_root = static_image(330, &nav_gps_header.head, 0x3, nav_gps_children);
constinit ELEMENT_ICON nav_gps_icon = icon(330, 2, &nav_gps_header.head, 0x3, kNavSourceToken, nullptr);
constinit ELEMENT_HEADER* nav_gps_list[] = {&nav_gps_root.header, nullptr};
constinit MOUSERECT nav_gps_mouse[] = {
    mouse::parent(43853),
    mouse::event_child({0, 0, 30, 36}, CURSOR_HAND, MOUSE_LEFT_SINGLE, kNavSourceToggle),
    mouse::parent_end(),
    mouse::list_end(),
};

// ---------------------------------------------------------------------------------------
// "Aux_Fuel_Pump": the start half toggles the pump; the emergency half switches it on if it
// is off and shows the held picture while pressed and for 17 evaluations after.

constexpr int32_t kAuxPumpToken = 367;
constexpr uint32_t kAuxPumpToggle = 66339;
constexpr int32_t kEmergencyHold = 18;
constexpr double kEmergencyPicture = 2.0;

constinit int32_t emerg_hold = 0;
constinit sound::click_sound_slot aux_pump_slot = {};

int32_t GAUGE_CALL aux_pump_toggle(PIXPOINT*, uint32_t) {
    host::trigger_key_event(kAuxPumpToggle, 0);
    sound::click(aux_pump_slot);
    return 0;
}

// Pressed and on every repeat while held: re-arms the hold.
int32_t GAUGE_CALL aux_pump_emergency(PIXPOINT* point, uint32_t flags) {
    if (read_token(kAuxPumpToken) == 0.0) aux_pump_toggle(point, flags);
    emerg_hold = kEmergencyHold;
    return 0;
}

// The hold rests at 1: the callback never lowers it below 2.
double GAUGE_CALL aux_pump_value(ELEMENT_ICON* icon) {
    if (emerg_hold >= 2) {
        --emerg_hold;
        return kEmergencyPicture;
    }
    return icon->source_var.value.n;
}

void GAUGE_CALL aux_pump_service(GAUGEHDR*, int32_t service_id, GAUGE_EXTRA_DATA extra) {
    clicking_gauge_service(aux_pump_slot, service_id, extra);
}

extern ELEMENT_ICON aux_pump_icon;
constinit ELEMENT_HEADER* aux_pump_children[] = {&aux_pump_icon.header, nullptr};
constinit ELEMENT_STATIC_IMAGE_700 aux_pump_root =
    static_image(1010, &aux_fuel_pump_header.head, 0x3, aux_pump_children);
constinit ELEMENT_ICON aux_pump_icon =
    icon(1010, 3, &aux_fuel_pump_header.head, 0x3, kAuxPumpToken, aux_pump_value);
constinit ELEMENT_HEADER* aux_pump_list[] = {&aux_pump_root.header, nullptr};
constinit MOUSERECT aux_pump_mouse[] = {
    mouse::parent(43796),
    mouse::child({36, 36, 22, 66}, CURSOR_HAND, MOUSE_LEFT_SINGLE, aux_pump_toggle),
    mouse::child({14, 36, 22, 22}, CURSOR_HAND, MOUSE_LEFT_HELD, aux_pump_emergency),
    mouse::parent_end(),
    mouse::list_end(),
};

}  // namespace

constinit std::array<GAUGEHDR_700, kToggleCount> toggle_headers =
    generate<GAUGEHDR_700, kToggleCount>([](auto i) {
        constexpr size_t I = decltype(i)::value;
        return gauge_header(kToggles[I].name, toggles[I].elements_list, kToggleSizeMm, toggles[I].mouse,
                            toggle_service<I>);
    });

constinit GAUGEHDR_700 nav_gps_header = gauge_header("Nav GPS Switch", nav_gps_list, 30, nav_gps_mouse, nullptr);

constinit GAUGEHDR_700 aux_fuel_pump_header =
    gauge_header("Aux_Fuel_Pump", aux_pump_list, 36, aux_pump_mouse, aux_pump_service);

}  // namespace switches
