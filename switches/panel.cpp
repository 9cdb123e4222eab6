// M470_Switches: the roster of the switch panel's 30 gauges, the state they share and the
// token reading every callback uses.
#include "switches/panel.h"

namespace switches {

constinit int32_t alt1_on = 1;
constinit int32_t alt2_on = 1;
constinit int32_t volt_amp_selector = 2;
constinit double prop_deice_amps = 0.0;
constinit double prop_deice_load_share = 0.0;
constinit int32_t deice_cycle_armed = 0;
constinit double deice_cycle_time = 0.0;
constinit double deice_last_tick = 0.0;

double read_token(int32_t token) {
    MODULE_VAR var = token_record(token);
    host::lookup_var(&var);
    return var.value.n;
}

}  // namespace switches

using namespace switches;

// The panel configuration finds each gauge by name; the order is the roster's. The shared
// routines work on the first entry's root.
extern "C" {
GAUGE_LINKAGE(kSwitchPanelGauges) = {
    LINKAGE_MODULE_ID,
    gauge::module_init,
    gauge::module_init,  // deinit: the same empty routine
    0,
    0,
    0,
    {
        &toggle_headers[0].head,           // Landing_Lights
        &toggle_headers[1].head,           // Pitot_Heat
        &toggle_headers[2].head,           // Nav_Lights
        &toggle_headers[3].head,           // Strobe_Lights
        &toggle_headers[4].head,           // Taxi_Lights
        &toggle_headers[5].head,           // Beacon_Lights
        &toggle_headers[6].head,           // Panel_Lights
        &toggle_headers[7].head,           // Dummy_Switch1
        &toggle_headers[8].head,           // Dummy_Switch2
        &toggle_headers[9].head,           // Dummy_Switch3
        &toggle_headers[10].head,          // Stall_Heat
        &toggle_headers[11].head,          // Prop_Deice
        &toggle_headers[12].head,          // Stby_Vac
        &aux_fuel_pump_header.head,        // Aux_Fuel_Pump
        &alt_bat_headers[0].head,          // Alt_Bat_1
        &alt_bat_headers[1].head,          // Alt_Bat_2
        &magneto_header.head,              // Magneto
        &prop_deice_amps_header.head,      // Prop_De_Ice_Amps
        &nav_gps_header.head,              // Nav GPS Switch
        &ammeter_header.head,              // Amps_Oil_Pressure_Indicator
        &volt_amp_knob_headers[0].head,    // Volt_Amp_Knob_1
        &volt_amp_knob_headers[1].head,    // Volt_Amp_Knob_2
        &annunciator_headers[0].head,      // Suction Annunciator
        &annunciator_headers[1].head,      // Voltage Annunciator
        &annunciator_headers[2].head,      // Alternator1 Annunciator
        &annunciator_headers[3].head,      // Alternator2 Annunciator
        &annunciator_headers[4].head,      // Cabine Altitude Annunciator
        &annunciator_headers[5].head,      // De-Ice Press Annunciator
        &deice_press_header.head,          // De-Ice Press
        &toggle_headers[13].head,          // Avionics Switch
        nullptr,
    },
};
}
