// Bench scenarios: a small text file that places gauges, sets the aircraft's tokens, clicks,
// runs frames and is then rendered.
//
//   # a comment                      (blank lines and comments are ignored)
//   gauge00=M470_Switches!Landing_Lights, 40, 300, 36[, parameter text]
//                                    place a gauge as the panel configuration does: module
//                                    (deliverable name), gauge name, panel x and y, and
//                                    optionally the width it is shown at (default: its
//                                    bitmap's width) and the parameter text
//   token 14 1                       set a token (integer tokens take 0x.. hex too)
//   select 6                         the host's current selection (highlighted characters)
//   frames 3                         run frames
//   click gauge00 18 20              a left click at a gauge pixel
//   hold gauge00 18 20 5             press, then 5 repeats a frame apart
//   service gauge00 14               send a service id to the gauge's callback
//   panel 1210 470 #4B4F54           the panel's size and colour (default: just big enough,
//                                    transparent)
//   label 40 370 7 LAND              a placard painted on the panel: x and y of its centre,
//                                    size in pixels, text
//
// Steps run in file order. Before rendering, one frame runs if the scenario ran none.
// A panel configuration's window section reads as a scenario too: its gaugeNN lines place
// the gauges, and section headers, // comments and its other settings are passed over.
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/bench/compositor.h"

namespace bench {

struct ScenarioError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// With RunOptions::skip_missing: every gauge of the scenario was left out.
struct NothingPlaced : ScenarioError {
    using ScenarioError::ScenarioError;
};

struct Placement {
    std::string key;     // "gauge00"
    std::string module;  // deliverable name
    std::string gauge;   // gauge name
    int x = 0, y = 0;
    std::optional<int> width;
    std::optional<std::string> parameter;
};

struct Label {
    double x = 0, y = 0, size = 0;
    std::string text;
};

struct Step {
    enum Kind { place, token, select, frames, click, hold, service };
    Kind kind = frames;
    int line = 0;
    size_t placement = 0;  // place: index into Scenario::placements
    std::string gauge;     // click, hold, service: the placement's key
    int32_t id = 0;        // token number, selection, service id
    std::string value;     // token value as written
    int x = 0, y = 0, count = 0;
};

struct Scenario {
    std::string name;  // for messages: the file it came from
    std::vector<Placement> placements;
    std::vector<Label> labels;
    std::vector<Step> steps;
    std::optional<int> panel_width, panel_height;
    std::optional<uint32_t> panel_colour;  // 0xRRGGBB
};

// Reads a scenario. Throws ScenarioError("name:line: what is wrong").
Scenario parse_scenario(std::istream& in, const std::string& name);

struct RunOptions {
    std::string module_dir;      // where the native modules (<deliverable>.so) are
    bool skip_missing = false;   // leave out gauges whose module is not built (with a warning)
    double scale = 1.0;          // of the whole picture
    std::ostream* warnings = nullptr;
};

// A placement as it was shown: its width resolved.
struct Shown {
    Placement placement;
    int width = 0, height = 0;  // on the panel
};

struct Result {
    Image picture;
    std::vector<Shown> shown;  // placements that were drawn, in order
    int panel_width = 0, panel_height = 0;
};

// Runs the scenario on a fresh panel host and renders the panel. Throws ScenarioError for a
// step that cannot run (an unknown gauge, a module that is not there, a host fault).
Result run_scenario(const Scenario& scenario, const RunOptions& options);

// The placements in the host's panel configuration form, one window holding them all.
std::string panel_cfg(const Result& result, const std::string& title);

}  // namespace bench
