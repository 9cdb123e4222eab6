#include "tools/soak/roster.h"

#include <dirent.h>

#include <algorithm>
#include <stdexcept>

namespace soak {
namespace {
// Modules built beside the deliverables that exist only for the host emulator's own tests.
const char* const kTestModules[] = {"probe_fixture", "sound_fixture"};
}  // namespace

std::vector<std::string> deliverable_modules(const std::string& dir) {
    DIR* d = opendir(dir.c_str());
    if (d == nullptr) throw std::runtime_error("cannot list " + dir);
    std::vector<std::string> out;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name.size() < 4 || name.compare(name.size() - 3, 3, ".so") != 0 || name.rfind("lib", 0) == 0) continue;
        name.resize(name.size() - 3);
        if (std::find(std::begin(kTestModules), std::end(kTestModules), name) != std::end(kTestModules)) continue;
        out.push_back(name);
    }
    closedir(d);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<MOUSE_BOX> click_areas(panel::Gauge& gauge) {
    std::vector<MOUSE_BOX> areas;
    const MOUSERECT* list = gauge.mouse_list();
    if (list == nullptr) return areas;
    const PIXPOINT size = gauge.size();
    const MOUSE_BOX whole{0, 0, size.x, size.y};
    std::vector<MOUSE_BOX> parents;
    for (int i = 0; i < 4096 && list[i].kind != MOUSE_END_OF_LIST; ++i) {
        const MOUSERECT& r = list[i];
        const MOUSE_BOX origin = parents.empty() ? whole : parents.back();
        const MOUSE_BOX box{origin.x + r.box.x, origin.y + r.box.y, r.box.width, r.box.height};
        if (r.kind == MOUSE_PARENT_BEGIN) {
            const bool outer_whole = parents.empty() && r.box.x == 0 && r.box.y == 0 && r.box.width == 0 && r.box.height == 0;
            parents.push_back(outer_whole ? whole : box);
        } else if (r.kind == MOUSE_PARENT_END) {
            if (!parents.empty()) parents.pop_back();
        } else if (r.kind == MOUSE_CHILD && box.width > 0 && box.height > 0) {
            areas.push_back(box);
        }
    }
    return areas;
}

}  // namespace soak
