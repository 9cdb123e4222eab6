// Helpers for the switch panel tests: one M470_Switches module per test, the platform
// stand-ins reset with the host main window present, and each clicking gauge's own click
// buffer found by the order in which the gauges were placed.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/control.h"
#include "tests/support.h"

namespace testing_support {

inline constexpr const char* kSwitchModule = "M470_Switches";

// Centre of a mouse box given in gauge pixels.
struct Pixel {
    int x, y;
};

class SwitchPanelTest : public PanelTest {
protected:
    void SetUp() override {
        platform::reset();
        platform::add_window("FS98MAIN");
    }

    // Places a switch-panel gauge; a clicking gauge makes its click buffer during service 2.
    panel::Gauge& add(const std::string& gauge, std::optional<std::string> parameter = std::nullopt) {
        const size_t before = platform::buffers().size();
        panel::Gauge& g = place(kSwitchModule, gauge, std::move(parameter));
        const auto after = platform::buffers();
        if (after.size() > before) buffer_of_[&g] = after.back().serial;
        return g;
    }

    // True when the gauge made its own click buffer at placement.
    bool has_click_buffer(panel::Gauge& g) const { return buffer_of_.count(&g) != 0; }

    // Plays requested on the gauge's own click buffer so far.
    size_t clicks(panel::Gauge& g) const {
        auto it = buffer_of_.find(&g);
        if (it == buffer_of_.end()) return 0;
        for (const platform::BufferRecord& b : platform::buffers())
            if (b.serial == it->second) return b.plays.size();
        return 0;
    }

    // Plays requested on any buffer.
    static size_t all_clicks() {
        size_t n = 0;
        for (const platform::BufferRecord& b : platform::buffers()) n += b.plays.size();
        return n;
    }

    // One more frame, then what the element shows.
    int shown(panel::Gauge& g, size_t element = 1) {
        host.frame();
        return g.element(element).icon_index;
    }
    double value_after_frame(panel::Gauge& g, size_t element = 1) {
        host.frame();
        return g.element(element).value;
    }

private:
    std::map<const panel::Gauge*, int> buffer_of_;
};

}  // namespace testing_support
