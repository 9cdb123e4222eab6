// The simulated aircraft behind the panel host emulator: which tokens it holds as integers,
// how it applies the key events the gauges fire, and its clocks. One function per system;
// install_aircraft_model runs them all when a Host starts.
#pragma once

#include "host/host.h"

namespace panel {

// Transponder, NAV and COM radios.
void install_radio_model(Host& host);

// Electrical switches, lights, magnetos and the tick counter (the switch panel).
void install_switch_model(Host& host);

}  // namespace panel
