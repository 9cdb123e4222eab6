// Shared by the inspector tests: the shipped .gau files and their bytes.
#pragma once

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace inspector_support {

// The seven deliverables.
inline const std::vector<std::string>& deliverables() {
    static const std::vector<std::string> all = {"VARN_TESSARY_XPDR", "tessary_nav1", "tessary_nav2", "tessary_com",
                                                 "VARN_KD_FUEL_PRESS", "tq36_lfuel", "M470_Switches"};
    return all;
}

// True when this build defines the deliverable's module (modules land one by one).
inline bool built(const std::string& deliverable) {
    std::stringstream list(GAUGE_BUILT_MODULES);
    for (std::string name; std::getline(list, name, ',');)
        if (name == deliverable) return true;
    return false;
}

inline std::string shipped_path(const std::string& deliverable) {
    return std::string(GAUGE_DIST_DIR) + "/gauges/" + deliverable + ".gau";
}

inline bool read_file(const std::string& path, std::vector<uint8_t>* out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

}  // namespace inspector_support
