// A test-only module that plays the switch click exactly as the switch panel does, on a few
// version-700 gauges of its own:
// - "Clicker_A", "Clicker_B": a clicking gauge's life: click sound set-up at service 2,
//   tear-down at service 12; a click fires the gauge's key event (value 0), then plays.
// - "Sample_<id>": the same, with the sample taken from "WAVE" resource <id> (odd files).
// - "Results": calls the sound operations one by one and fires each result as the value of
//   a key event (create, load, play); on service 14 it reports sound_enabled the same way.
#include <array>
#include <utility>

#include "framework/module.h"
#include "framework/mouse.h"
#include "framework/routines.h"
#include "switches/sound.h"

namespace {

struct FixtureGauge {
    const char* name;
    uint32_t click_event;   // fired by a click, before the sound
    int32_t sample;         // "WAVE" resource loaded at set-up
};

// The last gauge is "Results"; the others click.
constexpr FixtureGauge kGauges[] = {
    {"Clicker_A", 9101, sound::kClickResource},
    {"Clicker_B", 9102, sound::kClickResource},
    {"Sample_501", 9103, 501},
    {"Sample_502", 9104, 502},
    {"Sample_503", 9105, 503},
    {"Sample_504", 9106, 504},
    {"Sample_599", 9107, 599},
    {"Results", 9200, sound::kClickResource},
};
constexpr int kAll = sizeof kGauges / sizeof kGauges[0];
constexpr int kResults = kAll - 1;

enum : uint32_t {
    kCreateResult = 9201,
    kLoadResult = 9202,
    kPlayResult = 9203,
    kEnabledReport = 9204,
};

extern std::array<GAUGEHDR_700, kAll> headers;

constinit sound::click_sound_slot slots[kAll] = {};

template <int I>
void GAUGE_CALL clicker_service(GAUGEHDR*, int32_t service_id, GAUGE_EXTRA_DATA extra) {
    if (service_id == SERVICE_SETUP) sound::click_sound_setup(slots[I], extra, kGauges[I].sample);
    else if (service_id == SERVICE_END) sound::click_sound_teardown(slots[I]);
}

template <int I>
int32_t GAUGE_CALL clicker_press(PIXPOINT*, uint32_t) {
    host::trigger_key_event(kGauges[I].click_event, 0);
    sound::click(slots[I]);
    return 0;
}

constinit IDirectSound* results_device = nullptr;
constinit IDirectSoundBuffer* results_buffer = nullptr;

void GAUGE_CALL results_service(GAUGEHDR*, int32_t service_id, GAUGE_EXTRA_DATA extra) {
    if (service_id == SERVICE_SETUP) {
        const int32_t created = sound::sound_create_device(sound::find_host_window(), &results_device);
        host::trigger_key_event(kCreateResult, static_cast<uint32_t>(created));
        host::trigger_key_event(kLoadResult,
                                sound::sound_load_wave(&results_device, &results_buffer, sound::kClickResource,
                                                       reinterpret_cast<GAUGE_RESOURCE_HANDLE>(extra)));
    } else if (service_id == SERVICE_END) {
        sound::sound_release(&results_buffer);
        sound::sound_release(&results_device);
    } else if (service_id == SERVICE_RESYNC) {
        host::trigger_key_event(kEnabledReport, static_cast<uint32_t>(sound::sound_enabled));
    }
}

int32_t GAUGE_CALL results_press(PIXPOINT*, uint32_t) {
    host::trigger_key_event(kGauges[kResults].click_event, 0);
    host::trigger_key_event(kPlayResult, static_cast<uint32_t>(sound::sound_play(&results_buffer, 0)));
    return 0;
}

template <int I>
constexpr MOUSE_HANDLER press_of() {
    if constexpr (I == kResults) return results_press;
    else return clicker_press<I>;
}
template <int I>
constexpr GAUGE_CALLBACK service_of() {
    if constexpr (I == kResults) return results_service;
    else return clicker_service<I>;
}

// Each gauge drives its own root: the plate (100x80), with one click area over all of it.
template <int I>
struct own_root {
    static ELEMENT_HEADER* root() { return headers[I].head.elements_list[0]; }
    static void GAUGE_CALL query() { host::element_list_query(root()); }
    static void GAUGE_CALL install(GAUGE_RESOURCE_HANDLE resources) { host::element_list_install(root(), resources); }
    static void GAUGE_CALL initialize() { host::element_list_initialize(root()); }
    static void GAUGE_CALL update() { host::element_list_update(root()); }
    static void GAUGE_CALL generate(uint32_t phase) { host::element_list_generate(root(), phase); }
    static void GAUGE_CALL draw() { host::element_list_plot(root()); }
    static void GAUGE_CALL kill() { host::element_list_kill(root()); }
};

using Indices = std::make_integer_sequence<int, kAll>;

template <int... I>
constexpr std::array<ELEMENT_STATIC_IMAGE_700, kAll> make_roots(std::integer_sequence<int, I...>) {
    return {{{{ELEMENT_TYPE_STATIC_IMAGE, 100, {0, 0}, {}, {0, 0}, &headers[I].head, nullptr, nullptr, nullptr, 0, {}},
              nullptr,
              {}}...}};
}
constinit std::array<ELEMENT_STATIC_IMAGE_700, kAll> roots = make_roots(Indices{});

template <int... I>
constexpr std::array<std::array<ELEMENT_HEADER*, 2>, kAll> make_element_lists(std::integer_sequence<int, I...>) {
    return {{{&roots[I].header, nullptr}...}};
}
constinit std::array<std::array<ELEMENT_HEADER*, 2>, kAll> element_lists = make_element_lists(Indices{});

template <int... I>
constexpr std::array<std::array<MOUSERECT, 4>, kAll> make_mouse_lists(std::integer_sequence<int, I...>) {
    return {{{mouse::parent(), mouse::child({0, 0, 100, 80}, CURSOR_HAND, MOUSE_LEFT_SINGLE, press_of<I>()),
              mouse::parent_end(), mouse::list_end()}...}};
}
constinit std::array<std::array<MOUSERECT, 4>, kAll> mouse_lists = make_mouse_lists(Indices{});

template <int... I>
constexpr std::array<GAUGEHDR_700, kAll> make_headers(std::integer_sequence<int, I...>) {
    return {{{{GAUGE_VERSION_700, kGauges[I].name, element_lists[I].data(), GAUGE_ROUTINES(own_root<I>), 0, 28, 0,
               {}, mouse_lists[I].data(), service_of<I>()},
              0,
              nullptr,
              {}}...}};
}
constinit std::array<GAUGEHDR_700, kAll> headers = make_headers(Indices{});

template <int... I>
constexpr LINKAGE<kAll> make_linkage(std::integer_sequence<int, I...>) {
    return {LINKAGE_MODULE_ID, gauge::module_init, gauge::module_deinit, 0, 0, 0, {&headers[I].head..., nullptr}};
}

}  // namespace

extern "C" {
GAUGE_LINKAGE(kAll) = make_linkage(Indices{});
}
