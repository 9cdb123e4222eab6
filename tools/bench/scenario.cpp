#include "tools/bench/scenario.h"

#include <dirent.h>
#include <errno.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace bench {
namespace {

constexpr const char* kPlacardFace = "Liberation Sans";
constexpr uint32_t kPlacardColour = 0xE8E8E4;

std::string trim(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    const size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

std::vector<std::string> words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t i = 0; i <= s.size(); ++i) {
        if (i == s.size() || s[i] == sep) {
            out.push_back(trim(s.substr(start, i - start)));
            start = i + 1;
        }
    }
    return out;
}

struct Reader {
    const std::string& name;
    int line;
    [[noreturn]] void fail(const std::string& what) const {
        throw ScenarioError(name + ":" + std::to_string(line) + ": " + what);
    }
    long integer(const std::string& s, const char* what) const {
        char* end = nullptr;
        errno = 0;
        const long v = strtol(s.c_str(), &end, 0);
        if (s.empty() || *end != '\0' || errno != 0 || v < INT32_MIN || v > INT32_MAX)
            fail(std::string("bad ") + what + " '" + s + "'");
        return v;
    }
    double number(const std::string& s, const char* what) const {
        char* end = nullptr;
        const double v = strtod(s.c_str(), &end);
        if (s.empty() || *end != '\0' || !std::isfinite(v)) fail(std::string("bad ") + what + " '" + s + "'");
        return v;
    }
    void arity(const std::vector<std::string>& w, size_t n, const char* usage) const {
        if (w.size() != n) fail(std::string("usage: ") + usage);
    }
};

bool is_gauge_key(const std::string& s) {
    if (s.size() < 6 || strncasecmp(s.c_str(), "gauge", 5) != 0) return false;
    return std::all_of(s.begin() + 5, s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

Placement parse_placement(const Reader& r, const std::string& key, const std::string& rest) {
    Placement p;
    p.key = key;
    // module!gauge name, x, y[, width[, parameter]]
    const size_t comma = rest.find(',');
    const std::string target = trim(rest.substr(0, comma));
    const size_t bang = target.find('!');
    if (bang == std::string::npos || bang == 0 || bang + 1 == target.size())
        r.fail("a gauge is placed as <module>!<gauge name>, x, y[, width[, parameter]]");
    p.module = trim(target.substr(0, bang));
    p.gauge = trim(target.substr(bang + 1));
    const std::vector<std::string> fields = comma == std::string::npos ? std::vector<std::string>{} : split(rest.substr(comma + 1), ',');
    if (fields.size() < 2) r.fail("gauge " + p.gauge + " needs x and y");
    p.x = static_cast<int>(r.integer(fields[0], "x"));
    p.y = static_cast<int>(r.integer(fields[1], "y"));
    if (fields.size() >= 3 && !fields[2].empty()) {
        p.width = static_cast<int>(r.integer(fields[2], "width"));
        if (*p.width <= 0) r.fail("width must be positive");
    }
    if (fields.size() >= 4) {
        // The parameter text is the rest of the line, commas and all.
        size_t at = comma;
        for (int i = 0; i < 3; ++i) at = rest.find(',', at + 1);
        p.parameter = trim(rest.substr(at + 1));
    }
    return p;
}

uint32_t parse_colour(const Reader& r, const std::string& s) {
    if (s.size() != 7 || s[0] != '#') r.fail("colours are written #RRGGBB");
    char* end = nullptr;
    const unsigned long v = strtoul(s.c_str() + 1, &end, 16);
    if (*end != '\0') r.fail("colours are written #RRGGBB");
    return static_cast<uint32_t>(v);
}

// The module file of a deliverable: <dir>/<name>.so, the name compared without regard to
// case as the simulator's file system does.
std::optional<std::string> find_module(const std::string& dir, const std::string& deliverable) {
    const std::string exact = dir + "/" + deliverable + ".so";
    struct stat st;
    if (stat(exact.c_str(), &st) == 0) return exact;
    DIR* d = opendir(dir.c_str());
    if (d == nullptr) return std::nullopt;
    std::optional<std::string> found;
    const std::string wanted = deliverable + ".so";
    while (dirent* e = readdir(d)) {
        if (strcasecmp(e->d_name, wanted.c_str()) == 0) {
            found = dir + "/" + e->d_name;
            break;
        }
    }
    closedir(d);
    return found;
}

void draw_placard(cairo_t* cr, const Label& l) {
    cairo_save(cr);
    cairo_select_font_face(cr, kPlacardFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, l.size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, l.text.c_str(), &e);
    cairo_move_to(cr, l.x - e.x_advance / 2, l.y + 0.716 * l.size / 2);
    cairo_set_source_rgb(cr, ((kPlacardColour >> 16) & 0xFF) / 255.0, ((kPlacardColour >> 8) & 0xFF) / 255.0,
                         (kPlacardColour & 0xFF) / 255.0);
    cairo_show_text(cr, l.text.c_str());
    cairo_restore(cr);
}

}  // namespace

Scenario parse_scenario(std::istream& in, const std::string& name) {
    Scenario s;
    s.name = name;
    Reader r{name, 0};
    for (std::string raw; std::getline(in, raw);) {
        ++r.line;
        const std::string line = trim(raw);
        if (line.empty() || line[0] == '#' || line[0] == ';' || line.rfind("//", 0) == 0) continue;
        if (line[0] == '[') continue;  // a panel configuration's section header
        const size_t eq = line.find('=');
        if (eq != std::string::npos && is_gauge_key(trim(line.substr(0, eq)))) {
            const std::string key = trim(line.substr(0, eq));
            for (const Placement& p : s.placements)
                if (strcasecmp(p.key.c_str(), key.c_str()) == 0) r.fail(key + " is placed twice");
            s.placements.push_back(parse_placement(r, key, line.substr(eq + 1)));
            Step step;
            step.kind = Step::place;
            step.line = r.line;
            step.placement = s.placements.size() - 1;
            s.steps.push_back(step);
            continue;
        }
        // The other settings of a panel configuration (size_mm=..., ident=...) say nothing
        // the bench draws.
        if (eq != std::string::npos && line.find_first_of(" \t") > eq) continue;
        const std::vector<std::string> w = words(line);
        const std::string& command = w[0];
        Step step;
        step.line = r.line;
        auto gauge_ref = [&](const std::string& key) {
            for (const Placement& p : s.placements)
                if (strcasecmp(p.key.c_str(), key.c_str()) == 0) return p.key;
            r.fail("no gauge " + key + " is placed before this line");
        };
        if (command == "token") {
            r.arity(w, 3, "token <number> <value>");
            step.kind = Step::token;
            step.id = static_cast<int32_t>(r.integer(w[1], "token number"));
            if (w[2].rfind("0x", 0) == 0) r.integer(w[2], "token value");
            else r.number(w[2], "token value");
            step.value = w[2];
        } else if (command == "select") {
            r.arity(w, 2, "select <selection id>");
            step.kind = Step::select;
            step.id = static_cast<int32_t>(r.integer(w[1], "selection id"));
        } else if (command == "frames") {
            r.arity(w, 2, "frames <count>");
            step.kind = Step::frames;
            step.count = static_cast<int>(r.integer(w[1], "frame count"));
            if (step.count < 0) r.fail("frame count must not be negative");
        } else if (command == "click" || command == "hold") {
            const bool hold = command == "hold";
            r.arity(w, hold ? 5 : 4, hold ? "hold <gaugeNN> <x> <y> <repeats>" : "click <gaugeNN> <x> <y>");
            step.kind = hold ? Step::hold : Step::click;
            step.gauge = gauge_ref(w[1]);
            step.x = static_cast<int>(r.integer(w[2], "x"));
            step.y = static_cast<int>(r.integer(w[3], "y"));
            if (hold) {
                step.count = static_cast<int>(r.integer(w[4], "repeat count"));
                if (step.count < 0) r.fail("repeat count must not be negative");
            }
        } else if (command == "service") {
            r.arity(w, 3, "service <gaugeNN> <service id>");
            step.kind = Step::service;
            step.gauge = gauge_ref(w[1]);
            step.id = static_cast<int32_t>(r.integer(w[2], "service id"));
        } else if (command == "panel") {
            if (w.size() != 3 && w.size() != 4) r.fail("usage: panel <width> <height> [#RRGGBB]");
            s.panel_width = static_cast<int>(r.integer(w[1], "panel width"));
            s.panel_height = static_cast<int>(r.integer(w[2], "panel height"));
            if (*s.panel_width <= 0 || *s.panel_height <= 0) r.fail("panel size must be positive");
            if (w.size() == 4) s.panel_colour = parse_colour(r, w[3]);
            continue;
        } else if (command == "label") {
            if (w.size() < 5) r.fail("usage: label <x> <y> <size> <text>");
            Label l;
            l.x = r.number(w[1], "x");
            l.y = r.number(w[2], "y");
            l.size = r.number(w[3], "size");
            // The text keeps its own spacing: everything after the fourth word.
            size_t at = 0;
            for (int i = 0; i < 4; ++i) {
                at = line.find_first_not_of(" \t", at);
                at = line.find_first_of(" \t", at);
            }
            l.text = trim(line.substr(at));
            s.labels.push_back(l);
            continue;
        } else {
            r.fail("unknown command '" + command + "'");
        }
        s.steps.push_back(step);
    }
    if (s.placements.empty()) throw ScenarioError(name + ": places no gauge");
    return s;
}

Result run_scenario(const Scenario& scenario, const RunOptions& options) {
    panel::Host host;
    std::map<std::string, panel::Module*> modules;     // by deliverable name as written
    std::map<std::string, panel::Gauge*> gauges;       // by placement key; null when left out
    std::vector<std::pair<const Placement*, panel::Gauge*>> order;
    std::set<std::string> missing;                     // modules left out
    bool ran_frame = false;
    auto warn = [&](const std::string& what) {
        if (options.warnings) *options.warnings << scenario.name << ": " << what << "\n";
    };

    for (const Step& step : scenario.steps) {
        const std::string where = scenario.name + ":" + std::to_string(step.line) + ": ";
        panel::Gauge* gauge = nullptr;
        if (!step.gauge.empty()) {
            gauge = gauges.at(step.gauge);
            if (gauge == nullptr) continue;  // its module was left out
        }
        try {
            switch (step.kind) {
                case Step::place: {
                    const Placement& p = scenario.placements[step.placement];
                    panel::Module*& module = modules[p.module];
                    if (module == nullptr) {
                        const std::optional<std::string> path = find_module(options.module_dir, p.module);
                        if (!path) {
                            if (!options.skip_missing)
                                throw ScenarioError(where + "module " + p.module + " is not in " + options.module_dir);
                            if (missing.insert(p.module).second) warn("module " + p.module + " is not built; its gauges are left out");
                            modules.erase(p.module);
                            gauges[p.key] = nullptr;
                            break;
                        }
                        module = &host.load(*path);
                    }
                    if (module->find(p.gauge) == nullptr)
                        throw ScenarioError(where + "module " + p.module + " has no gauge \"" + p.gauge + "\"");
                    panel::Gauge& g = host.place(*module, p.gauge, p.parameter);
                    gauges[p.key] = &g;
                    order.emplace_back(&p, &g);
                    break;
                }
                case Step::token:
                    if (host.token_is_integer(step.id)) {
                        host.set_token_u32(step.id, static_cast<uint32_t>(strtoul(step.value.c_str(), nullptr, 0)));
                    } else {
                        const bool hex = step.value.rfind("0x", 0) == 0;
                        host.set_token(step.id, hex ? static_cast<double>(strtoul(step.value.c_str(), nullptr, 0))
                                                    : strtod(step.value.c_str(), nullptr));
                    }
                    break;
                case Step::select: host.set_selection(step.id); break;
                case Step::frames:
                    host.frame(step.count);
                    ran_frame = ran_frame || step.count > 0;
                    break;
                case Step::click: host.click(*gauge, step.x, step.y); break;
                case Step::hold:
                    host.hold(*gauge, step.x, step.y, step.count);
                    ran_frame = ran_frame || step.count > 0;
                    break;
                case Step::service: host.service(*gauge, step.id); break;
            }
        } catch (const ScenarioError&) {
            throw;
        } catch (const std::exception& e) {
            throw ScenarioError(where + e.what());
        }
    }
    if (order.empty()) throw NothingPlaced(scenario.name + ": none of its gauges' modules is built");
    try {
        if (!ran_frame) host.frame();
    } catch (const std::exception& e) {
        throw ScenarioError(scenario.name + ": " + e.what());
    }

    Result result;
    for (auto& [p, g] : order) {
        const PIXPOINT size = g->size();
        Shown s{*p, p->width.value_or(size.x), 0};
        s.height = size.x > 0 ? static_cast<int>(lround(static_cast<double>(size.y) * s.width / size.x)) : 0;
        result.shown.push_back(s);
        result.panel_width = std::max(result.panel_width, p->x + s.width);
        result.panel_height = std::max(result.panel_height, p->y + s.height);
    }
    if (scenario.panel_width) result.panel_width = *scenario.panel_width;
    if (scenario.panel_height) result.panel_height = *scenario.panel_height;

    const double k = options.scale;
    cairo_surface_t* surface = cairo_image_surface_create(
        CAIRO_FORMAT_ARGB32, std::max(1, static_cast<int>(lround(result.panel_width * k))),
        std::max(1, static_cast<int>(lround(result.panel_height * k))));
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, k, k);
    if (scenario.panel_colour) {
        const uint32_t c = *scenario.panel_colour;
        cairo_set_source_rgb(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0);
        cairo_paint(cr);
    }
    for (const Label& l : scenario.labels) draw_placard(cr, l);
    for (size_t i = 0; i < order.size(); ++i) {
        panel::Gauge& g = *order[i].second;
        const Shown& s = result.shown[i];
        cairo_surface_t* gauge_surface = to_surface(render_gauge(g, host.selection()));
        cairo_save(cr);
        cairo_translate(cr, s.placement.x, s.placement.y);
        const PIXPOINT size = g.size();
        if (size.x > 0 && size.y > 0) cairo_scale(cr, static_cast<double>(s.width) / size.x, static_cast<double>(s.height) / size.y);
        cairo_set_source_surface(cr, gauge_surface, 0, 0);
        const bool native = s.width == size.x && k == 1.0;
        cairo_pattern_set_filter(cairo_get_source(cr), native ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_surface_destroy(gauge_surface);
    }
    cairo_destroy(cr);
    result.picture = to_image(surface);
    cairo_surface_destroy(surface);
    return result;
}

std::string panel_cfg(const Result& result, const std::string& title) {
    std::ostringstream out;
    out << "// " << title << "\n"
        << "// Gauges of the Tessary panel, laid out as in the panel picture.\n\n"
        << "[Window Titles]\nWindow00=Main Panel\n\n"
        << "[Window00]\n"
        << "size_mm=" << result.panel_width << "," << result.panel_height << "\n"
        << "visible=1\n"
        << "ident=MAIN_PANEL\n\n";
    int n = 0;
    for (const Shown& s : result.shown) {
        char key[16];
        snprintf(key, sizeof key, "gauge%02d", n++);
        out << key << "=" << s.placement.module << "!" << s.placement.gauge << ", " << s.placement.x << ", "
            << s.placement.y << ", " << s.width;
        if (s.placement.parameter) out << ", " << *s.placement.parameter;
        out << "\n";
    }
    return out.str();
}

}  // namespace bench
