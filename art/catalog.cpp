#include "art/catalog.h"

namespace art {
namespace {

// Until each instrument has its own drawing: a plain panel-grey plate with a darker rim.
void plain_plate(Canvas& c) {
    c.fill_rect(0, 0, c.width, c.height, 0x3A3A3A);
    c.frame_rect(0, 0, c.width, c.height, 0x1C1C1C);
}

}  // namespace

const std::vector<Picture>& catalog() {
    static const std::vector<Picture> pictures = {
        // Radio heads
        {"xpdr_face.bmp", 154, 163, plain_plate},          // transponder 4096
        {"nav_face.bmp", 154, 163, plain_plate},           // NAV 4096
        {"nav_knob.bmp", 62, 62, plain_plate},             // NAV 8192, knob second position
        {"com_face.bmp", 154, 163, plain_plate},           // COM 4096
        {"com_knob.bmp", 55, 56, plain_plate},             // COM 12288, knob second position
        // Engine gauges
        {"fuel_press_face.bmp", 204, 162, plain_plate},    // 4096
        {"fuel_press_needle.bmp", 120, 9, plain_plate},    // 8192
        {"fuel_press_cover.bmp", 204, 51, plain_plate},    // 12288
        {"fuel_qty_face.bmp", 200, 163, plain_plate},      // 256
        {"fuel_qty_needle.bmp", 100, 16, plain_plate},     // 4352
        {"fuel_qty_cover.bmp", 200, 50, plain_plate},      // 4608
        // Switch panel
        {"sw_toggle_off.bmp", 36, 56, plain_plate},        // 10
        {"sw_toggle_on.bmp", 36, 56, plain_plate},         // 11
        {"sw_navgps_0.bmp", 30, 36, plain_plate},          // 330
        {"sw_navgps_1.bmp", 30, 36, plain_plate},          // 331
        {"sw_auxpump_0.bmp", 72, 104, plain_plate},        // 1010 pump off
        {"sw_auxpump_1.bmp", 72, 104, plain_plate},        // 1011 pump on
        {"sw_auxpump_2.bmp", 72, 104, plain_plate},        // 1012 emergency half held
        {"sw_altbat1_0.bmp", 62, 104, plain_plate},        // 1020..1023: 2 x ALT + BAT
        {"sw_altbat1_1.bmp", 62, 104, plain_plate},
        {"sw_altbat1_2.bmp", 62, 104, plain_plate},
        {"sw_altbat1_3.bmp", 62, 104, plain_plate},
        {"sw_altbat2_0.bmp", 81, 104, plain_plate},        // 1030..1037: 4 x ALT1 + 2 x ALT2 + BAT
        {"sw_altbat2_1.bmp", 81, 104, plain_plate},
        {"sw_altbat2_2.bmp", 81, 104, plain_plate},
        {"sw_altbat2_3.bmp", 81, 104, plain_plate},
        {"sw_altbat2_4.bmp", 81, 104, plain_plate},
        {"sw_altbat2_5.bmp", 81, 104, plain_plate},
        {"sw_altbat2_6.bmp", 81, 104, plain_plate},
        {"sw_altbat2_7.bmp", 81, 104, plain_plate},
        {"sw_magneto_face.bmp", 98, 98, plain_plate},      // 1040
        {"sw_magneto_0.bmp", 98, 98, plain_plate},         // 1041..1045: OFF, R, L, BOTH, START
        {"sw_magneto_1.bmp", 98, 98, plain_plate},
        {"sw_magneto_2.bmp", 98, 98, plain_plate},
        {"sw_magneto_3.bmp", 98, 98, plain_plate},
        {"sw_magneto_4.bmp", 98, 98, plain_plate},
        {"sw_deice_amps_dial.bmp", 108, 108, plain_plate}, // 1050
        {"sw_deice_amps_needle.bmp", 40, 6, plain_plate},  // 1060
        {"sw_deice_amps_cover.bmp", 108, 108, plain_plate},// 1070
        {"sw_ammeter_dial.bmp", 300, 164, plain_plate},    // 1100
        {"sw_ammeter_needle.bmp", 75, 8, plain_plate},     // 1110
        {"sw_ammeter_cover.bmp", 300, 164, plain_plate},   // 1120
        {"sw_voltamp1_0.bmp", 100, 70, plain_plate},       // 1130..1132: ALT, BAT, VOLT
        {"sw_voltamp1_1.bmp", 100, 70, plain_plate},
        {"sw_voltamp1_2.bmp", 100, 70, plain_plate},
        {"sw_voltamp2_0.bmp", 100, 70, plain_plate},       // 1140..1143: ALT 1, ALT 2, BAT, VOLT
        {"sw_voltamp2_1.bmp", 100, 70, plain_plate},
        {"sw_voltamp2_2.bmp", 100, 70, plain_plate},
        {"sw_voltamp2_3.bmp", 100, 70, plain_plate},
        {"sw_annunciator_off.bmp", 40, 40, plain_plate},   // 1150
        {"sw_annunciator_on.bmp", 40, 40, plain_plate},    // 1160
        {"sw_avionics_0.bmp", 59, 75, plain_plate},        // 1170
        {"sw_avionics_root.bmp", 59, 75, plain_plate},     // 1180
        // Test fixture module only.
        {"probe_plate.bmp", 100, 80, plain_plate},
    };
    return pictures;
}

}  // namespace art
