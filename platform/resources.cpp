#include "platform/resources.h"

#include <dlfcn.h>
#include <string.h>

namespace platform {
namespace {

uint32_t read_u32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24; }
uint16_t read_u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Reads a type or name field: 0xFFFF then a 16-bit id, or a null-terminated UTF-16 text.
bool read_key(const uint8_t* header, size_t header_size, size_t* at, bool* is_id, uint16_t* id,
              std::string* text) {
    if (*at + 2 > header_size) return false;
    if (read_u16(header + *at) == 0xFFFF) {
        if (*at + 4 > header_size) return false;
        *is_id = true;
        *id = read_u16(header + *at + 2);
        *at += 4;
        return true;
    }
    *is_id = false;
    text->clear();
    for (;;) {
        if (*at + 2 > header_size) return false;
        uint16_t c = read_u16(header + *at);
        *at += 2;
        if (c == 0) return true;
        text->push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
}

bool key_matches(const ResourceKey& key, bool is_id, uint16_t id, const std::string& text) {
    if (key.text == nullptr) return is_id && id == key.id;
    return !is_id && strcasecmp(key.text, text.c_str()) == 0;
}

}  // namespace

bool for_each_resource(const uint8_t* image, size_t size,
                       const std::function<void(const ResourceEntry&)>& visit) {
    size_t at = 0;
    while (at < size) {
        if (size - at < 8) return false;
        const uint32_t data_size = read_u32(image + at);
        const uint32_t header_size = read_u32(image + at + 4);
        if (header_size < 8 || header_size > size - at || data_size > size - at - header_size) return false;
        const uint8_t* header = image + at;
        ResourceEntry entry{};
        size_t field = 8;
        if (!read_key(header, header_size, &field, &entry.type_is_id, &entry.type_id, &entry.type_name) ||
            !read_key(header, header_size, &field, &entry.name_is_id, &entry.name_id, &entry.name_text)) {
            return false;
        }
        entry.bytes = {header + header_size, data_size};
        // The leading empty entry of every image carries no data.
        if (data_size != 0 || !(entry.type_is_id && entry.type_id == 0)) visit(entry);
        const size_t next = at + header_size + ((data_size + 3u) & ~size_t{3});
        if (next <= at) return false;
        at = next;
    }
    return true;
}

bool find_resource(const uint8_t* image, size_t size, ResourceKey type, ResourceKey name,
                   ResourceBytes* out) {
    bool found = false;
    for_each_resource(image, size, [&](const ResourceEntry& e) {
        if (found) return;
        if (key_matches(type, e.type_is_id, e.type_id, e.type_name) &&
            key_matches(name, e.name_is_id, e.name_id, e.name_text)) {
            *out = e.bytes;
            found = true;
        }
    });
    return found;
}

bool module_resource_image(void* module_handle, const uint8_t** image, size_t* size) {
    if (module_handle == nullptr) return false;
    auto* descriptor = static_cast<const NATIVE_RESOURCE_IMAGE*>(dlsym(module_handle, "gauge_resources"));
    if (descriptor == nullptr || descriptor->end < descriptor->begin) return false;
    *image = descriptor->begin;
    *size = static_cast<size_t>(descriptor->end - descriptor->begin);
    return true;
}

bool find_module_resource(void* module_handle, ResourceKey type, ResourceKey name, ResourceBytes* out) {
    const uint8_t* image = nullptr;
    size_t size = 0;
    return module_resource_image(module_handle, &image, &size) && find_resource(image, size, type, name, out);
}

}  // namespace platform
