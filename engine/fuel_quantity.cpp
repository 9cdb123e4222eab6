// Left tank fuel quantity indicator "tq36_lfuel": one needle over a 0 to 40 dial, its pivot
// hidden by a cover plate. The host reports the left tank's quantity in dial units in token
// 304; the needle callback keeps the reading on the dial. A version-800 gauge: the header
// carries its mouse list (no clickable area, no help text) and a gauge callback, and the
// routines find the tree through the module's Linkage.
#include "framework/module.h"
#include "framework/mouse.h"
#include "framework/routines.h"

extern "C" {
GAUGE_EXPORT extern LINKAGE<1> Linkage;
}

namespace {

constexpr int32_t kLeftTankToken = 304;
constexpr double kEmpty = 0.0;
constexpr double kFull = 40.0;

extern GAUGEHDR_800 fuel_quantity_header;

// The quantity, held on the dial: above full reads full; below empty, and a reading that is
// not a number at all, read empty.
double GAUGE_CALL fuel_quantity_value(ELEMENT_NEEDLE_700* needle) {
    const double quantity = needle->needle.source_var.value.n;
    if (quantity > kFull) return kFull;
    if (!(quantity >= kEmpty)) return kEmpty;
    return quantity;
}

// The gauge keeps nothing that a service could set up or release.
void GAUGE_CALL fuel_quantity_service(GAUGEHDR*, int32_t, GAUGE_EXTRA_DATA) {}

// No failure of the host is tied to any element; each still has its own empty list.
enum { kFace, kNeedle, kCover, kElementCount };
constinit FAILURE_RECORD no_failures[kElementCount][1] = {};

constexpr ELEMENT_HEADER element_header(uint32_t type, int32_t resource_id, PIXPOINT position,
                                        PIXPOINT offset, ELEMENT_HEADER** children,
                                        FAILURE_RECORD* failures) {
    return ELEMENT_HEADER{.type = type, .resource_id = resource_id, .position = position,
                          .host_owned_16 = {}, .offset = offset,
                          .gauge_header = &fuel_quantity_header.head, .host_owned_36 = nullptr,
                          .children = children, .failures = failures, .image_flags = 0x4083,
                          .reserved = {}};
}

constexpr ELEMENT_STATIC_IMAGE_700 plate(int32_t resource_id, PIXPOINT position, ELEMENT_HEADER** children,
                                         FAILURE_RECORD* failures) {
    return ELEMENT_STATIC_IMAGE_700{
        .header = element_header(ELEMENT_TYPE_STATIC_IMAGE, resource_id, position, {0, 0}, children, failures),
        .image = nullptr,
        .host_owned = {},
    };
}

// The cover plate hides the dial's lower strip, pivot included; it is the needle's child so
// that the host draws it over the needle.
constinit ELEMENT_STATIC_IMAGE_700 cover = plate(4608, {0, 112}, nullptr, no_failures[kCover]);
constinit ELEMENT_HEADER* needle_children[] = {&cover.header, nullptr};

// Empty at the upper left, full at the upper right.
constinit NONLINEARITY quantity_scale[] = {
    {16, 43, kEmpty, 0.0},
    {183, 44, kFull, 0.0},
};

// The pivot is the middle of the needle bitmap's left edge.
constinit ELEMENT_NEEDLE_700 needle = {
    .needle = {
        .header = element_header(ELEMENT_TYPE_NEEDLE, 4352, {99, 129}, {0, 8}, needle_children,
                                 no_failures[kNeedle]),
        .source_var = {kLeftTankToken, nullptr, 0, {0.0}, {0, 0}},
        .callback = nullptr,
        .host_owned_92 = {},
        .scale_words = {0, 0},
        .nonlinearity = quantity_scale,
        .nonlinearity_count = sizeof quantity_scale / sizeof quantity_scale[0],
        .host_owned_120 = {},
    },
    .callback = fuel_quantity_value,
    .host_owned_228 = {},
};
constinit ELEMENT_HEADER* face_children[] = {&needle.needle.header, nullptr};

constinit ELEMENT_STATIC_IMAGE_700 face = plate(256, {0, 0}, face_children, no_failures[kFace]);
constinit ELEMENT_HEADER* elements_list[] = {&face.header, nullptr};

constinit MOUSERECT fuel_quantity_mouse[] = {
    mouse::parent(),
    mouse::parent_end(),
    mouse::list_end(),
};

using routines = gauge::routines_first_gauge<&Linkage>;

constinit GAUGEHDR_800 fuel_quantity_header = {
    .head = {
        .version = GAUGE_VERSION_800,
        .gauge_name = "tq36_lfuel",
        .elements_list = elements_list,
        .query = routines::query,
        .install = routines::install,
        .initialize = routines::initialize,
        .update = routines::update,
        .generate = routines::generate,
        .draw = routines::draw,
        .kill = routines::kill,
        .reserved_40 = 0,
        .size_x_mm = 100,
        .size_y_mm = 0,
        .reserved_52 = {},
        .mouse_rect = fuel_quantity_mouse,
        .gauge_callback = fuel_quantity_service,
    },
    .user_data = 0,
    .parameter_string = nullptr,
    .reserved_96 = {},
};

}  // namespace

extern "C" {
GAUGE_LINKAGE(1) = {LINKAGE_MODULE_ID, gauge::module_init, gauge::module_deinit, 0, 0, 0x800,
                    {&fuel_quantity_header.head, nullptr}};
}
