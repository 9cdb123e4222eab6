// The electrical switches, lights, magnetos and clocks as the simulator holds them.
#include <algorithm>
#include <memory>

#include "host/aircraft.h"

namespace panel {
namespace {

// Toggle events and the switch token each one flips between 0 and 1.
struct switch_toggle {
    uint32_t event;
    int32_t token;
};

constexpr switch_toggle kSwitchToggles[] = {
    {65751, 14},   // landing lights
    {65858, 13},   // pitot heat
    {66379, 619},  // navigation lights
    {65560, 11},   // strobe lights
    {66240, 369},  // taxi lights
    {66239, 368},  // beacon
    {65750, 10},   // panel lights
    {65571, 742},  // propeller de-ice
    {66290, 778},  // standby vacuum
    {66293, 740},  // avionics master
    {66375, 848},  // navigation source, NAV or GPS
    {66339, 367},  // auxiliary fuel pump
    {66241, 364},  // battery master
    {66242, 363},  // alternator
};

constexpr int32_t kTickToken = 1;      // advances by one every frame
constexpr int32_t kRateToken = 336;    // simulation rate multiplier
constexpr int32_t kLeftMagneto = 399;
constexpr int32_t kRightMagneto = 400;
constexpr int32_t kStarter = 401;
constexpr uint32_t kMagnetoTowardsOff = 65634;
constexpr uint32_t kMagnetoTowardsStart = 65635;

// Key positions of the magneto switch, in the order the key turns.
enum magneto_position { kOff, kRight, kLeft, kBoth, kStart };

magneto_position magneto_at(const Host& h) {
    if (h.token(kStarter) == 1.0) return kStart;
    const bool left = h.token(kLeftMagneto) != 0.0;
    const bool right = h.token(kRightMagneto) != 0.0;
    return left && right ? kBoth : left ? kLeft : right ? kRight : kOff;
}

void turn_magneto(Host& h, int position) {
    h.set_token(kRightMagneto, position == kRight || position >= kBoth ? 1.0 : 0.0);
    h.set_token(kLeftMagneto, position >= kLeft ? 1.0 : 0.0);
    h.set_token(kStarter, position == kStart ? 1.0 : 0.0);
}

// START springs back to BOTH unless the key is held there: while held, the host repeats the
// towards-START event every frame.
struct starter_key {
    bool held = false;
    uint64_t last_frame = 0;  // frame during which the last towards-START event arrived
};

}  // namespace

void install_switch_model(Host& host) {
    for (const switch_toggle& t : kSwitchToggles) {
        host.set_token(t.token, 0.0);
        host.on_event(t.event, [token = t.token](Host& h, uint32_t) {
            h.set_token(token, h.token(token) == 0.0 ? 1.0 : 0.0);
        });
    }

    host.set_token(kTickToken, 0.0);
    host.set_token(kRateToken, 1.0);

    auto key = std::make_shared<starter_key>();
    host.on_event(kMagnetoTowardsStart, [key](Host& h, uint32_t) {
        const int position = std::min<int>(magneto_at(h) + 1, kStart);
        turn_magneto(h, position);
        key->held = position == kStart;
        key->last_frame = h.frames();
    });
    host.on_event(kMagnetoTowardsOff, [key](Host& h, uint32_t) {
        turn_magneto(h, std::max<int>(magneto_at(h) - 1, kOff));
        key->held = false;
    });
    host.on_frame([key](Host& h) {
        h.set_token(kTickToken, h.token(kTickToken) + 1.0);
        if (key->held && key->last_frame + 1 < h.frames()) {
            key->held = false;
            if (magneto_at(h) == kStart) turn_magneto(h, kBoth);
        }
    });
}

}  // namespace panel
