// Resources of a native gauge module.
//
// A native module carries the same compiled resources as its Windows twin: the resource
// compiler's output for the module's resource script, embedded byte for byte and exported
// as `gauge_resources`. A module handle (what the host passes as the resource handle) leads
// to that image; the entries are found by type and name like the Windows resource lookup.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <string>

// The exported descriptor of a native module's embedded resource image.
struct NATIVE_RESOURCE_IMAGE {
    const uint8_t* begin;
    const uint8_t* end;
};

namespace platform {

// Well-known integer resource types.
enum : uint16_t { RES_TYPE_BITMAP = 2, RES_TYPE_VERSION = 16 };

// A resource type or name: an integer id, or (when `text` is set) a name compared without
// regard to ASCII case.
struct ResourceKey {
    uint16_t id = 0;
    const char* text = nullptr;
};

struct ResourceBytes {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
};

// One entry of a compiled resource image, as listed by for_each_resource.
struct ResourceEntry {
    bool type_is_id;
    uint16_t type_id;
    std::string type_name;
    bool name_is_id;
    uint16_t name_id;
    std::string name_text;
    ResourceBytes bytes;
};

// Walks a compiled resource image (the resource compiler's .res form). Returns false if the
// image is malformed; entries seen before the fault have been visited.
bool for_each_resource(const uint8_t* image, size_t size,
                       const std::function<void(const ResourceEntry&)>& visit);

// Finds one resource in a compiled resource image.
bool find_resource(const uint8_t* image, size_t size, ResourceKey type, ResourceKey name,
                   ResourceBytes* out);

// The embedded resource image of the native module behind `module_handle` (a dlopen
// handle), or false if it carries none.
bool module_resource_image(void* module_handle, const uint8_t** image, size_t* size);

// Finds a resource of the native module behind `module_handle`.
bool find_module_resource(void* module_handle, ResourceKey type, ResourceKey name,
                          ResourceBytes* out);

}  // namespace platform
