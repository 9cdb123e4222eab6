// Engine-instance token renumbering: lets a gauge show another engine's token when its
// parameter text names an engine (1 to 4), and walks a gauge's element chain to find the
// elements whose tokens move.
#pragma once

#include "framework/records.h"

namespace switches {

// The token numbers of engine 1 that have copies for engines 2 to 4. In every range the
// copies follow the range directly, block after block, so the stride is the range's length.
struct instance_range {
    int32_t first;
    int32_t last;  // inclusive
};
inline constexpr instance_range kInstanceRanges[] = {
    {127, 161}, {390, 428}, {558, 567}, {608, 608}, {624, 642},
    {700, 707}, {732, 733}, {761, 762}, {801, 801},
};

// How far the engine-2 copy of `token` lies from it; 0 for a token that is never moved.
constexpr int32_t instance_token_stride(int32_t token) {
    for (const instance_range& r : kInstanceRanges)
        if (token >= r.first && token <= r.last) return r.last - r.first + 1;
    return 0;
}

constexpr bool text_contains(const char* text, char c) {
    for (; *text != '\0'; ++text)
        if (*text == c) return true;
    return false;
}

// `token` moved to the engine that the gauge's parameter text names. The digits are tested
// in the order 1, 2, 3, 4, each over the whole text, so the first of them that occurs
// anywhere decides; engine 1, no digit, or no text leave the token where it is.
inline int32_t instance_token(int32_t token, const GAUGEHDR* gauge) {
    if (gauge == nullptr) return token;
    const char* parameter = reinterpret_cast<const GAUGEHDR_700*>(gauge)->parameter_string;
    if (parameter == nullptr || text_contains(parameter, '1')) return token;
    int32_t engine = 0;  // engines after the first
    if (text_contains(parameter, '2')) engine = 1;
    else if (text_contains(parameter, '3')) engine = 2;
    else if (text_contains(parameter, '4')) engine = 3;
    return token + engine * instance_token_stride(token);
}

// The element reached from `root` by stepping n times to the first child; null when the
// root is absent or a children list on the way is absent or empty.
inline ELEMENT_HEADER* element_at_depth(ELEMENT_HEADER* root, int n) {
    ELEMENT_HEADER* element = root;
    for (int i = 0; i < n && element != nullptr; ++i)
        element = element->children != nullptr ? element->children[0] : nullptr;
    return element;
}

}  // namespace switches
