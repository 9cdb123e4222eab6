// Every drawing of the panel, one function per bitmap (the catalogue names their files).
#pragma once

#include "art/canvas.h"

namespace art {

// Radio heads
void transponder_face(Canvas& c);
void nav_face(Canvas& c);
void nav_knob_second_position(Canvas& c);
void com_face(Canvas& c);
void com_knob_second_position(Canvas& c);

// Engine gauges
void fuel_pressure_face(Canvas& c);
void fuel_pressure_needle(Canvas& c);
void fuel_pressure_cover(Canvas& c);
void fuel_quantity_face(Canvas& c);
void fuel_quantity_needle(Canvas& c);
void fuel_quantity_cover(Canvas& c);

// Switch panel: switches
void toggle_off(Canvas& c);
void toggle_on(Canvas& c);
void nav_gps_nav(Canvas& c);
void nav_gps_gps(Canvas& c);
void aux_pump_off(Canvas& c);
void aux_pump_on(Canvas& c);
void aux_pump_emergency(Canvas& c);
void master_1(Canvas& c, bool alt, bool bat);
void master_2(Canvas& c, bool alt1, bool alt2, bool bat);
void avionics_off(Canvas& c);
void avionics_on(Canvas& c);
void magneto_face(Canvas& c);
void magneto_key(Canvas& c, int position);  // 0 OFF, 1 R, 2 L, 3 BOTH, 4 START
void annunciator_unlit(Canvas& c);
void annunciator_lit(Canvas& c);

// Switch panel: indicators and selectors
void prop_deice_dial(Canvas& c);
void prop_deice_needle(Canvas& c);
void prop_deice_cover(Canvas& c);
void ammeter_dial(Canvas& c);
void ammeter_needle(Canvas& c);
void ammeter_cover(Canvas& c);
void volt_amp_knob_1(Canvas& c, int position);  // 0 ALT, 1 BAT, 2 VOLT
void volt_amp_knob_2(Canvas& c, int position);  // 0 ALT 1, 1 ALT 2, 2 BAT, 3 VOLT

}  // namespace art
