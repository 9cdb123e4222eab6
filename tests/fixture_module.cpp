// A test-only gauge module that exercises the host emulator's checks: a string whose
// callback writes as many characters as token 9000 says (to prove overruns are caught),
// and a version-700 gauge with nested mouse parents, an event area and a handler area.
#include "framework/module.h"
#include "framework/mouse.h"
#include "framework/routines.h"

namespace {

extern GAUGEHDR probe_header;
extern GAUGEHDR_700 nested_header;
extern ELEMENT_STRING probe_string;
extern MOUSERECT probe_mouse[];

constinit MODULE_VAR length_var = {9000, nullptr, 0, {0.0}, {0, 0}};

double GAUGE_CALL write_length(double value) {
    host::lookup_var(&length_var);
    const int n = static_cast<int>(length_var.value.n);
    for (int i = 0; i < n; ++i) probe_string.text[i] = 'x';
    if (n >= 0) probe_string.text[n] = '\0';
    return value;
}

constinit ELEMENT_STRING probe_string = {
    .header = {ELEMENT_TYPE_STRING, -1, {0, 0}, {}, {0, 0}, &probe_header, nullptr, nullptr, nullptr, 0x5, {}},
    .source_vars = {{9000, nullptr, 0, {0.0}, {}}, {}, {}},
    .host_owned_144 = {}, .callback = write_length, .text = nullptr, .host_owned_188 = 0,
    .box_size = {20, 10}, .host_owned_200 = {}, .text_color = 0, .background_color = 0,
    .highlight_color = 0, .host_owned_220 = {}, .font_name = "Arial", .font_weight = 400,
    .font_charset = 1, .text_format = 0x25, .max_chars = 3, .host_owned_296 = 0,
    .highlight_list = nullptr, .host_owned_304 = {},
};
constinit ELEMENT_HEADER* probe_children[] = {&probe_string.header, nullptr};
constinit ELEMENT_STATIC_IMAGE probe_root = {
    {ELEMENT_TYPE_STATIC_IMAGE, 100, {0, 0}, {}, {0, 0}, &probe_header, nullptr, probe_children, nullptr, 0, {}},
    nullptr, {}};
constinit ELEMENT_HEADER* probe_list[] = {&probe_root.header, nullptr};
constinit MOUSERECT probe_mouse[] = {mouse::parent(7), mouse::parent_end(), mouse::list_end()};

using probe_routines = gauge::routines_610<&probe_header, probe_mouse>;
constinit GAUGEHDR probe_header = {610, "probe", probe_list, GAUGE_ROUTINES(probe_routines), 0, 10, 0, {}, nullptr, nullptr};

// Version 700: a knob-like nested parent whose children fire events 1 (left) and 2 (right),
// and a held-repeat area with a handler that fires event 3.
int32_t GAUGE_CALL fire_three(PIXPOINT*, uint32_t) {
    host::trigger_key_event(3, 0);
    return 0;
}
constinit ELEMENT_STATIC_IMAGE_700 nested_root = {
    {ELEMENT_TYPE_STATIC_IMAGE, 100, {0, 0}, {}, {0, 0}, &nested_header.head, nullptr, nullptr, nullptr, 0, {}},
    nullptr, {}};
constinit ELEMENT_HEADER* nested_list[] = {&nested_root.header, nullptr};
constinit MOUSERECT nested_mouse[] = {
    mouse::parent(0),
    mouse::parent(0, {34, 13, 66, 56}),
    mouse::event_child({0, 0, 33, 56}, CURSOR_DOWN_ARROW, MOUSE_LEFT_SINGLE, 1),
    mouse::event_child({33, 0, 33, 56}, CURSOR_UP_ARROW, MOUSE_LEFT_SINGLE, 2),
    mouse::parent_end(),
    mouse::parent(4242, {0, 70, 10, 10}),
    mouse::parent_end(),
    mouse::child({0, 0, 30, 10}, CURSOR_HAND, MOUSE_LEFT_HELD, fire_three),
    mouse::parent_end(),
    mouse::list_end(),
};
constinit GAUGEHDR_700 nested_header = {
    {700, "nested", nested_list, GAUGE_ROUTINES(probe_routines), 0, 10, 0, {}, nested_mouse, nullptr}, 0, nullptr, {}};

}  // namespace

extern "C" {
GAUGE_LINKAGE(2) = {LINKAGE_MODULE_ID, gauge::module_init, gauge::module_deinit, 0, 0, 0,
                    {&probe_header, &nested_header.head, nullptr}};
}
