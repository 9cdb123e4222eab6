// What a panel is made of, found at run time: the deliverable modules in a folder and the
// click areas of a placed gauge. Shared by the soak driver, the robustness tests and the
// frame benchmark, so that each module joins them as soon as it is built.
#pragma once

#include <string>
#include <vector>

#include "host/host.h"

namespace soak {

// Names (without ".so") of the gauge modules in `dir`, sorted: every "<name>.so" except
// shared libraries ("lib*.so") and the test-only modules.
std::vector<std::string> deliverable_modules(const std::string& dir);

// Every child rectangle of the gauge's active mouse list, in gauge pixels, in list order:
// child boxes are relative to the innermost open parent, and an outermost parent of
// (0, 0, 0, 0) is the whole gauge. Empty rectangles are left out.
std::vector<MOUSE_BOX> click_areas(panel::Gauge& gauge);

}  // namespace soak
