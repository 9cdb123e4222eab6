#include "art/catalog.h"

#include "art/drawings.h"

namespace art {
namespace {

// The test fixture's plate: panel grey with a darker rim.
void plain_plate(Canvas& c) {
    c.fill_rect(0, 0, c.width, c.height, 0x3A3A3A);
    c.frame_rect(0, 0, c.width, c.height, 0x1C1C1C);
}

}  // namespace

const std::vector<Picture>& catalog() {
    static const std::vector<Picture> pictures = {
        // Radio heads
        {"xpdr_face.bmp", 154, 163, transponder_face},                        // transponder 4096
        {"nav_face.bmp", 154, 163, nav_face},                                 // NAV 4096
        {"nav_knob.bmp", 62, 62, nav_knob_second_position},                   // NAV 8192, knob second position
        {"com_face.bmp", 154, 163, com_face},                                 // COM 4096
        {"com_knob.bmp", 55, 56, com_knob_second_position},                   // COM 12288, knob second position
        // Engine gauges
        {"fuel_press_face.bmp", 204, 162, fuel_pressure_face},                // 4096
        {"fuel_press_needle.bmp", 120, 9, fuel_pressure_needle},              // 8192
        {"fuel_press_cover.bmp", 204, 51, fuel_pressure_cover},               // 12288
        {"fuel_qty_face.bmp", 200, 163, fuel_quantity_face},                  // 256
        {"fuel_qty_needle.bmp", 100, 16, fuel_quantity_needle},               // 4352
        {"fuel_qty_cover.bmp", 200, 50, fuel_quantity_cover},                 // 4608
        // Switch panel
        {"sw_toggle_off.bmp", 36, 56, toggle_off},                            // 10
        {"sw_toggle_on.bmp", 36, 56, toggle_on},                              // 11
        {"sw_navgps_0.bmp", 30, 36, nav_gps_nav},                             // 330
        {"sw_navgps_1.bmp", 30, 36, nav_gps_gps},                             // 331
        {"sw_auxpump_0.bmp", 72, 104, aux_pump_off},                          // 1010 pump off
        {"sw_auxpump_1.bmp", 72, 104, aux_pump_on},                           // 1011 pump on
        {"sw_auxpump_2.bmp", 72, 104, aux_pump_emergency},                    // 1012 emergency half held
        {"sw_altbat1_0.bmp", 62, 104, [](Canvas& c) { master_1(c, false, false); }}, // 1020..1023: 2 x ALT + BAT
        {"sw_altbat1_1.bmp", 62, 104, [](Canvas& c) { master_1(c, false, true); }},
        {"sw_altbat1_2.bmp", 62, 104, [](Canvas& c) { master_1(c, true, false); }},
        {"sw_altbat1_3.bmp", 62, 104, [](Canvas& c) { master_1(c, true, true); }},
        {"sw_altbat2_0.bmp", 81, 104, [](Canvas& c) { master_2(c, false, false, false); }}, // 1030..1037: 4 x ALT1 + 2 x ALT2 + BAT
        {"sw_altbat2_1.bmp", 81, 104, [](Canvas& c) { master_2(c, false, false, true); }},
        {"sw_altbat2_2.bmp", 81, 104, [](Canvas& c) { master_2(c, false, true, false); }},
        {"sw_altbat2_3.bmp", 81, 104, [](Canvas& c) { master_2(c, false, true, true); }},
        {"sw_altbat2_4.bmp", 81, 104, [](Canvas& c) { master_2(c, true, false, false); }},
        {"sw_altbat2_5.bmp", 81, 104, [](Canvas& c) { master_2(c, true, false, true); }},
        {"sw_altbat2_6.bmp", 81, 104, [](Canvas& c) { master_2(c, true, true, false); }},
        {"sw_altbat2_7.bmp", 81, 104, [](Canvas& c) { master_2(c, true, true, true); }},
        {"sw_magneto_face.bmp", 98, 98, magneto_face},                        // 1040
        {"sw_magneto_0.bmp", 98, 98, [](Canvas& c) { magneto_key(c, 0); }},   // 1041..1045: OFF, R, L, BOTH, START
        {"sw_magneto_1.bmp", 98, 98, [](Canvas& c) { magneto_key(c, 1); }},
        {"sw_magneto_2.bmp", 98, 98, [](Canvas& c) { magneto_key(c, 2); }},
        {"sw_magneto_3.bmp", 98, 98, [](Canvas& c) { magneto_key(c, 3); }},
        {"sw_magneto_4.bmp", 98, 98, [](Canvas& c) { magneto_key(c, 4); }},
        {"sw_deice_amps_dial.bmp", 108, 108, prop_deice_dial},                // 1050
        {"sw_deice_amps_needle.bmp", 40, 6, prop_deice_needle},               // 1060
        {"sw_deice_amps_cover.bmp", 108, 108, prop_deice_cover},              // 1070
        {"sw_ammeter_dial.bmp", 300, 164, ammeter_dial},                      // 1100
        {"sw_ammeter_needle.bmp", 75, 8, ammeter_needle},                     // 1110
        {"sw_ammeter_cover.bmp", 300, 164, ammeter_cover},                    // 1120
        {"sw_voltamp1_0.bmp", 100, 70, [](Canvas& c) { volt_amp_knob_1(c, 0); }}, // 1130..1132: ALT, BAT, VOLT
        {"sw_voltamp1_1.bmp", 100, 70, [](Canvas& c) { volt_amp_knob_1(c, 1); }},
        {"sw_voltamp1_2.bmp", 100, 70, [](Canvas& c) { volt_amp_knob_1(c, 2); }},
        {"sw_voltamp2_0.bmp", 100, 70, [](Canvas& c) { volt_amp_knob_2(c, 0); }}, // 1140..1143: ALT 1, ALT 2, BAT, VOLT
        {"sw_voltamp2_1.bmp", 100, 70, [](Canvas& c) { volt_amp_knob_2(c, 1); }},
        {"sw_voltamp2_2.bmp", 100, 70, [](Canvas& c) { volt_amp_knob_2(c, 2); }},
        {"sw_voltamp2_3.bmp", 100, 70, [](Canvas& c) { volt_amp_knob_2(c, 3); }},
        {"sw_annunciator_off.bmp", 40, 40, annunciator_unlit},                // 1150
        {"sw_annunciator_on.bmp", 40, 40, annunciator_lit},                   // 1160
        {"sw_avionics_0.bmp", 59, 75, avionics_off},                          // 1170
        {"sw_avionics_root.bmp", 59, 75, avionics_on},                        // 1180
        // Test fixture module only.
        {"probe_plate.bmp", 100, 80, plain_plate},
    };
    return pictures;
}

}  // namespace art
