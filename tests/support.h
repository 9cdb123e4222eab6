// Shared helpers for tests that drive gauge modules through the panel host emulator.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/host.h"

namespace testing_support {

// Path of a native module built from this tree, by deliverable name.
inline std::string module_path(const std::string& deliverable) {
    return std::string(GAUGE_MODULE_DIR) + "/" + deliverable + ".so";
}

// A fresh host per test; every module it loads starts from its static initial values.
class PanelTest : public ::testing::Test {
protected:
    panel::Module& load(const std::string& deliverable) { return host.load(module_path(deliverable)); }
    panel::Gauge& place(const std::string& deliverable, const std::string& gauge,
                        std::optional<std::string> parameter = std::nullopt) {
        return host.place(load_once(deliverable), gauge, std::move(parameter));
    }
    panel::Module& load_once(const std::string& deliverable) {
        for (auto& [name, module] : loaded_)
            if (name == deliverable) return *module;
        loaded_.emplace_back(deliverable, &load(deliverable));
        return *loaded_.back().second;
    }
    // Event ids fired since the log was last cleared.
    std::vector<uint32_t> event_ids() const {
        std::vector<uint32_t> ids;
        for (const panel::Event& e : host.events()) ids.push_back(e.id);
        return ids;
    }

    panel::Host host;

private:
    std::vector<std::pair<std::string, panel::Module*>> loaded_;
};

}  // namespace testing_support
