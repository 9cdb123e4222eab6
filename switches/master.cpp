// The split battery/alternator master switch, in a one-alternator form ("Alt_Bat_1") and a
// two-alternator form ("Alt_Bat_2").
//
// The simulator has one alternator switch. "Alt_Bat_1" mirrors it and the battery switch
// directly. "Alt_Bat_2" keeps a flag per alternator (alt1_on, alt2_on) and works the
// simulator's switch so that it is on while at least one flag is on: the toggle is fired
// only when the simulator's switch has to change. The flags also tell the annunciators and
// the ammeter which alternator is on. Every click of either gauge plays its own click.
#include "switches/panel.h"

namespace switches {
namespace {

constexpr int32_t kAlternatorToken = 363;
constexpr int32_t kBatteryToken = 364;
constexpr uint32_t kAlternatorToggle = 66242;
constexpr uint32_t kBatteryToggle = 66241;

enum master_gauge : size_t { kOneAlternator = 0, kTwoAlternators = 1 };

template <size_t G>
constinit sound::click_sound_slot master_slot = {};

template <size_t G>
void GAUGE_CALL master_service(GAUGEHDR*, int32_t service_id, GAUGE_EXTRA_DATA extra) {
    if (service_id != SERVICE_RESYNC) return clicking_gauge_service(master_slot<G>, service_id, extra);
    if constexpr (G == kOneAlternator) {
        alt1_on = 1;
        alt2_on = 0;
    } else {
        const int32_t on = read_token(kAlternatorToken) == 0.0 ? 0 : 1;
        alt1_on = on;
        alt2_on = on;
    }
}

template <size_t G>
int32_t GAUGE_CALL battery_click(PIXPOINT*, uint32_t) {
    host::trigger_key_event(kBatteryToggle, 0);
    sound::click(master_slot<G>);
    return 0;
}

// "Alt_Bat_1": index 2 x alternator + battery.
double GAUGE_CALL one_alternator_value(ELEMENT_ICON* icon) {
    const double battery = read_token(kBatteryToken);
    return 2.0 * icon->source_var.value.n + battery;
}

int32_t GAUGE_CALL one_alternator_click(PIXPOINT*, uint32_t) {
    host::trigger_key_event(kAlternatorToggle, 0);
    sound::click(master_slot<kOneAlternator>);
    return 0;
}

// "Alt_Bat_2": index 4 x ALT 1 + 2 x ALT 2 + battery. Keeps the flags in step with the
// simulator: its alternator off clears both; switched on elsewhere while both flags are off,
// alternator 1 takes it over.
double GAUGE_CALL two_alternator_value(ELEMENT_ICON* icon) {
    const double battery = read_token(kBatteryToken);
    const double alternator = icon->source_var.value.n;
    if (alternator == 0.0) {
        alt1_on = 0;
        alt2_on = 0;
    } else if (alt1_on == 0 && alt2_on == 0) {
        alt1_on = 1;
    }
    return static_cast<double>(4 * alt1_on + 2 * alt2_on) + battery;
}

// ALT 1 (Which = 1) and ALT 2 (Which = 2) halves of "Alt_Bat_2".
template <int Which>
int32_t GAUGE_CALL alternator_half_click(PIXPOINT*, uint32_t) {
    int32_t& mine = Which == 1 ? alt1_on : alt2_on;
    const int32_t& other = Which == 1 ? alt2_on : alt1_on;
    const double simulator = read_token(kAlternatorToken);
    mine = mine == 0 ? 1 : 0;
    const bool switch_on = mine == 1 && simulator == 0.0;
    const bool switch_off = mine == 0 && other == 0 && simulator == 1.0;
    if (switch_on || switch_off) host::trigger_key_event(kAlternatorToggle, 0);
    sound::click(master_slot<kTwoAlternators>);
    return 0;
}

// ---------------------------------------------------------------------------------------
// Records: a root, one icon over it, and one click area per half.

template <size_t Halves>
struct master_records {
    ELEMENT_HEADER* elements_list[2];
    ELEMENT_STATIC_IMAGE_700 root;
    ELEMENT_HEADER* root_children[2];
    ELEMENT_ICON icon;
    MOUSERECT mouse[Halves + 3];
};

struct master_half {
    MOUSE_BOX area;
    MOUSE_HANDLER click;
};

constexpr int32_t kMasterHelp = 43851;

template <size_t Halves>
constexpr master_records<Halves> make_master(master_records<Halves>& self, GAUGEHDR* gauge, int32_t first_bitmap,
                                             ICON_CALLBACK value, const master_half (&halves)[Halves]) {
    constexpr int32_t kPictures = 1 << Halves;  // every on/off combination of the halves
    return [&]<size_t... H>(std::index_sequence<H...>) {
        return master_records<Halves>{
            {&self.root.header, nullptr},
            static_image(first_bitmap, gauge, 0x3, self.root_children),
            {&self.icon.header, nullptr},
            icon(first_bitmap, kPictures, gauge, 0x3, kAlternatorToken, value),
            {
                mouse::parent(kMasterHelp),
                mouse::child(halves[H].area, CURSOR_HAND, MOUSE_LEFT_SINGLE, halves[H].click)...,
                mouse::parent_end(),
                mouse::list_end(),
            },
        };
    }(std::make_index_sequence<Halves>{});
}

extern master_records<2> one_alternator;
extern master_records<3> two_alternators;

constexpr master_half kOneAlternatorHalves[] = {
    {{2, 35, 21, 66}, one_alternator_click},
    {{23, 35, 36, 66}, battery_click<kOneAlternator>},
};
constexpr master_half kTwoAlternatorHalves[] = {
    {{3, 33, 20, 68}, alternator_half_click<1>},
    {{23, 33, 19, 68}, alternator_half_click<2>},
    {{42, 33, 36, 68}, battery_click<kTwoAlternators>},
};

constinit master_records<2> one_alternator =
    make_master(one_alternator, &alt_bat_headers[kOneAlternator].head, 1020, one_alternator_value, kOneAlternatorHalves);
constinit master_records<3> two_alternators = make_master(two_alternators, &alt_bat_headers[kTwoAlternators].head,
                                                          1030, two_alternator_value, kTwoAlternatorHalves);

}  // namespace

constinit std::array<GAUGEHDR_700, 2> alt_bat_headers = {
    gauge_header("Alt_Bat_1", one_alternator.elements_list, 36, one_alternator.mouse, master_service<kOneAlternator>),
    gauge_header("Alt_Bat_2", two_alternators.elements_list, 36, two_alternators.mouse, master_service<kTwoAlternators>),
};

}  // namespace switches
