// Fuel pressure indicator "VARN_KD_FUEL_PRESS": one needle over the dial face, its outer
// end showing above a cover plate that hides the pivot. The host reports the engine's fuel
// pressure in token 152 at 1024 to a dial unit; the needle callback brings it to dial units
// and the scale table places it. The gauge has no clickable area: its mouse list is only the
// outer parent, which carries the host's help text for the instrument.
#include "framework/module.h"
#include "framework/mouse.h"
#include "framework/routines.h"

namespace {

constexpr int32_t kFuelPressureToken = 152;
constexpr double kTokenPerDialUnit = 1024.0;
constexpr int32_t kHelpFuelPressure = 42502;

extern GAUGEHDR fuel_pressure_header;

// Token 152 in dial units. No clamping: the scale table and the host decide where a reading
// off the dial comes to rest.
double GAUGE_CALL fuel_pressure_value(MODULE_VAR* source_var) {
    return source_var->value.n / kTokenPerDialUnit;
}

// A static image of this gauge: its bitmap, where it sits, and what hangs below it.
constexpr ELEMENT_STATIC_IMAGE plate(int32_t resource_id, PIXPOINT position, ELEMENT_HEADER** children) {
    return ELEMENT_STATIC_IMAGE{
        .header = {.type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = resource_id, .position = position,
                   .host_owned_16 = {}, .offset = {0, 0}, .gauge_header = &fuel_pressure_header,
                   .host_owned_36 = nullptr, .children = children, .failures = nullptr,
                   .image_flags = 0x4001, .reserved = {}},
        .image = nullptr,
        .host_owned = {},
    };
}

// The cover plate hides the dial's lower strip, pivot included; it is the needle's child so
// that the host draws it over the needle.
constinit ELEMENT_STATIC_IMAGE cover = plate(12288, {0, 111}, nullptr);
constinit ELEMENT_HEADER* needle_children[] = {&cover.header, nullptr};

constinit FAILURE_RECORD needle_failures[] = {{2, 0, 0}, {10, 1, 0}, {0, 0, 0}};

// 0 at the upper left, 20 and 30 along the top. The last mark lies just past 30 but stands
// for 9999, so readings above 30 barely move the needle on.
constinit NONLINEARITY pressure_scale[] = {
    {31, 29, 0.0, 0.0},
    {133, 30, 20.0, 0.0},
    {178, 30, 30.0, 0.0},
    {186, 30, 9999.0, 0.0},
};

constinit ELEMENT_NEEDLE needle = {
    .header = {.type = ELEMENT_TYPE_NEEDLE, .resource_id = 8192, .position = {103, 155},
               .host_owned_16 = {}, .offset = {3, 5}, .gauge_header = &fuel_pressure_header,
               .host_owned_36 = nullptr, .children = needle_children, .failures = needle_failures,
               .image_flags = 0x4003, .reserved = {}},
    .source_var = {kFuelPressureToken, nullptr, 0, {0.0}, {0, 0}},
    .callback = fuel_pressure_value,
    .host_owned_92 = {},
    .scale_words = {1, 1},
    .nonlinearity = pressure_scale,
    .nonlinearity_count = sizeof pressure_scale / sizeof pressure_scale[0],
    .host_owned_120 = {},
};
constinit ELEMENT_HEADER* face_children[] = {&needle.header, nullptr};

constinit ELEMENT_STATIC_IMAGE face = plate(4096, {0, 0}, face_children);
constinit ELEMENT_HEADER* elements_list[] = {&face.header, nullptr};

constinit MOUSERECT fuel_pressure_mouse[] = {
    mouse::parent(kHelpFuelPressure),
    mouse::parent_end(),
    mouse::list_end(),
};

using routines = gauge::routines_610<&fuel_pressure_header, fuel_pressure_mouse>;

constinit GAUGEHDR fuel_pressure_header = gauge::header_610<routines>("VARN_KD_FUEL_PRESS", elements_list, 40);

}  // namespace

extern "C" {
GAUGE_LINKAGE(1) = {LINKAGE_MODULE_ID, gauge::module_init, gauge::module_deinit, 0, 0, 0,
                    {&fuel_pressure_header, nullptr}};
}
