// render_panel: renders gauges, or a whole panel, to PNG through the panel host emulator.
//
//   render_panel [--modules DIR] [--scale K] [--skip-missing] [--cfg FILE] -o OUT.png SCENARIO
//   render_panel [--modules DIR] [--scale K] [--skip-missing] --out-dir DIR SCENARIO...
//
// Each scenario (see tools/bench/scenario.h) runs on a fresh host; its picture goes to
// OUT.png, or to DIR/<scenario name>.png. --cfg also writes the placements of the (single)
// scenario in the panel configuration form. --skip-missing leaves out, with a warning, the
// gauges of modules that are not built.
#include <stdio.h>
#include <string.h>

#include <fstream>
#include <iostream>

#include "tools/bench/scenario.h"

namespace {

int usage() {
    fprintf(stderr,
            "usage: render_panel [--modules DIR] [--scale K] [--skip-missing] [--cfg FILE] -o OUT.png SCENARIO\n"
            "       render_panel [--modules DIR] [--scale K] [--skip-missing] --out-dir DIR SCENARIO...\n");
    return 2;
}

std::string stem(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = base.find_last_of('.');
    return dot == std::string::npos ? base : base.substr(0, dot);
}

}  // namespace

int main(int argc, char** argv) {
    bench::RunOptions options;
    options.module_dir = GAUGE_MODULE_DIR;
    options.warnings = &std::cerr;
    std::string out, out_dir, cfg;
    std::vector<std::string> scenarios;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) throw std::runtime_error(a + " needs a value");
            return argv[++i];
        };
        try {
            if (a == "--modules") options.module_dir = next();
            else if (a == "--scale") options.scale = std::stod(next());
            else if (a == "--skip-missing") options.skip_missing = true;
            else if (a == "--cfg") cfg = next();
            else if (a == "-o") out = next();
            else if (a == "--out-dir") out_dir = next();
            else if (a.rfind("-", 0) == 0) return usage();
            else scenarios.push_back(a);
        } catch (const std::exception& e) {
            fprintf(stderr, "render_panel: %s\n", e.what());
            return usage();
        }
    }
    if (scenarios.empty() || out.empty() == out_dir.empty() || (!out.empty() && scenarios.size() != 1) ||
        (!cfg.empty() && scenarios.size() != 1) || !(options.scale > 0 && options.scale <= 16))
        return usage();

    for (const std::string& path : scenarios) {
        try {
            std::ifstream in(path);
            if (!in) throw bench::ScenarioError(path + ": cannot be read");
            const bench::Scenario scenario = bench::parse_scenario(in, path);
            const bench::Result result = bench::run_scenario(scenario, options);
            const std::string png = out.empty() ? out_dir + "/" + stem(path) + ".png" : out;
            if (!bench::write_png(result.picture, png)) throw bench::ScenarioError(png + ": cannot be written");
            if (!cfg.empty()) {
                std::ofstream f(cfg);
                f << bench::panel_cfg(result, "panel.cfg example written by render_panel from " + path);
                if (!f.flush()) throw bench::ScenarioError(cfg + ": cannot be written");
            }
        } catch (const bench::NothingPlaced& e) {
            fprintf(stderr, "render_panel: %s; no picture\n", e.what());
        } catch (const std::exception& e) {
            fprintf(stderr, "render_panel: %s\n", e.what());
            return 1;
        }
    }
    return 0;
}
