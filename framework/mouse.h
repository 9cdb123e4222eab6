// Builders for mouse-area records, so every list reads as the areas it describes.
#pragma once

#include "framework/records.h"

namespace mouse {

// Begins a parent area; the outermost parent's box (0, 0, 0, 0) is the whole gauge.
constexpr MOUSERECT parent(int32_t help_id = 0, MOUSE_BOX box = {0, 0, 0, 0}) {
    return {MOUSE_PARENT_BEGIN, box, CURSOR_NONE, help_id, 0, 0, nullptr, 0};
}

// A clickable area that calls `handler`.
constexpr MOUSERECT child(MOUSE_BOX box, int32_t cursor, uint32_t flags, MOUSE_HANDLER handler) {
    return {MOUSE_CHILD, box, cursor, 0, flags, 0, handler, 0};
}

// A clickable area without handler: the host fires `event_id` itself.
constexpr MOUSERECT event_child(MOUSE_BOX box, int32_t cursor, uint32_t flags, uint32_t event_id) {
    return {MOUSE_CHILD, box, cursor, 0, flags, event_id, nullptr, 0};
}

constexpr MOUSERECT parent_end() { return {MOUSE_PARENT_END, {0, 0, 0, 0}, CURSOR_NONE, 0, 0, 0, nullptr, 0}; }
constexpr MOUSERECT list_end() { return {MOUSE_END_OF_LIST, {0, 0, 0, 0}, CURSOR_NONE, 0, 0, 0, nullptr, 0}; }

}  // namespace mouse
