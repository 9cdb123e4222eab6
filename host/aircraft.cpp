#include "host/aircraft.h"

namespace panel {

void install_aircraft_model(Host& host) {
    install_radio_model(host);
    install_switch_model(host);
}

}  // namespace panel
