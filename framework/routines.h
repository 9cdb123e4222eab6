// The standard gauge routines, generated once for every gauge that uses them.
//
// A version-610 gauge drives its own element tree and hands its mouse list to the host at
// install; a version-700/800 gauge carries its mouse list in its header, and its routines
// only forward the element-list operations.
#pragma once

#include "framework/host_calls.h"

namespace gauge {

// The bitmap size the host recorded for the root during element_list_install: bytes 4 to 11
// of the host's image record. Read only after the install of the same call.
inline PIXPOINT* root_bitmap_size(ELEMENT_HEADER* root) {
    void* image = reinterpret_cast<ELEMENT_STATIC_IMAGE*>(root)->image;
    return reinterpret_cast<PIXPOINT*>(static_cast<char*>(image) + 4);
}

// Version-610 routines of the gauge `Header` with mouse list `Mouse`. `Vars` are the
// module-level token records: prepared at initialize, refreshed at every update.
template <GAUGEHDR* Header, MOUSERECT* Mouse, MODULE_VAR*... Vars>
struct routines_610 {
    static ELEMENT_HEADER* root() { return Header->elements_list[0]; }

    static void GAUGE_CALL query() { host::element_list_query(root()); }
    static void GAUGE_CALL install(GAUGE_RESOURCE_HANDLE resources) {
        host::element_list_install(root(), resources);
        host::mouse_list_install(Mouse, Header, root_bitmap_size(root()));
        host::mouse_list_register(Mouse, Header);
    }
    static void GAUGE_CALL initialize() {
        host::element_list_initialize(root());
        (host::initialize_var(Vars), ...);
    }
    static void GAUGE_CALL update() {
        host::element_list_update(root());
        (host::lookup_var(Vars), ...);
    }
    static void GAUGE_CALL generate(uint32_t phase) { host::element_list_generate(root(), phase); }
    static void GAUGE_CALL draw() { host::element_list_plot(root()); }
    static void GAUGE_CALL kill() {
        host::mouse_list_unregister(Mouse, Header);
        host::element_list_kill(root());
    }
};

// Version-700/800 routines that work on the root of the first gauge listed in the module's
// `Linkage`, whichever gauge they are called for.
template <auto* Linkage>
struct routines_first_gauge {
    static ELEMENT_HEADER* root() { return Linkage->gauges[0]->elements_list[0]; }

    static void GAUGE_CALL query() { host::element_list_query(root()); }
    static void GAUGE_CALL install(GAUGE_RESOURCE_HANDLE resources) { host::element_list_install(root(), resources); }
    static void GAUGE_CALL initialize() { host::element_list_initialize(root()); }
    static void GAUGE_CALL update() { host::element_list_update(root()); }
    static void GAUGE_CALL generate(uint32_t phase) { host::element_list_generate(root(), phase); }
    static void GAUGE_CALL draw() { host::element_list_plot(root()); }
    static void GAUGE_CALL kill() { host::element_list_kill(root()); }
};

// Fills the seven routine fields of a GAUGEHDR initialiser from a routines struct.
#define GAUGE_ROUTINES(R) R::query, R::install, R::initialize, R::update, R::generate, R::draw, R::kill

// A version-610 header: its name, element list, routines R and nominal width; no mouse list
// in the header (the install routine hands it over), no callback, every other field 0.
template <class R>
constexpr GAUGEHDR header_610(const char* gauge_name, ELEMENT_HEADER** elements_list, uint32_t size_x_mm) {
    return {GAUGE_VERSION_610, gauge_name, elements_list, GAUGE_ROUTINES(R), 0, size_x_mm, 0, {}, nullptr, nullptr};
}

}  // namespace gauge
