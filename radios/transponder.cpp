// Transponder head "VARN_tessary_XPDR": four octal code digits read from token 38, each
// stepped up or down by clicking above or below it. The code lives in the simulator; the
// gauge only fires the host's per-digit advance events.
#include "framework/module.h"
#include "framework/mouse.h"
#include "framework/routines.h"
#include "framework/text.h"

namespace {

constexpr int kDigits = 4;
constexpr int32_t kCodeToken = 38;
// Event that advances digit k (1 = leftmost) by one, 7 wrapping to 0.
constexpr uint32_t advance_event(int k) { return 65650u + static_cast<uint32_t>(k); }
// A step down is seven steps up, modulo 8.
constexpr int kStepsForDown = 7;

extern GAUGEHDR xpdr_header;
extern MOUSERECT xpdr_mouse[];
extern ELEMENT_STRING digit_elements[kDigits];

constinit MODULE_VAR transponder_code_var = {kCodeToken, nullptr, 0, {0.0}, {0, 0}};

template <int K>
double GAUGE_CALL digit_text(double value) {
    host::lookup_var(&transponder_code_var);
    const uint32_t digit = (transponder_code_var.value.u >> (12 - 4 * (K - 1))) & 0xFu;
    ELEMENT_STRING& element = digit_elements[K - 1];
    gauge::print_decimal(element.text, element.max_chars, static_cast<int32_t>(digit));
    return value;
}

template <int K>
int32_t GAUGE_CALL digit_up(PIXPOINT*, uint32_t) {
    host::trigger_key_event(advance_event(K), 0);
    return 1;
}

template <int K>
int32_t GAUGE_CALL digit_down(PIXPOINT*, uint32_t) {
    for (int i = 0; i < kStepsForDown; ++i) host::trigger_key_event(advance_event(K), 0);
    return 1;
}

constinit FAILURE_RECORD failures[] = {{9, 0, 0}, {1, 2, 0}, {10, 1, 0}, {0, 0, 0}};

// Highlight list of digit k: selection 9 + k marks its only character.
template <int K>
constinit HIGHLIGHT_RECORD digit_highlight[] = {{9 + K, 0, 0}, {0, -1, -1}};

// Digit columns are 40 pixels apart from x = 6.
constexpr int32_t column_x(int k) { return 6 + 40 * (k - 1); }

template <int K>
constexpr ELEMENT_STRING digit_element() {
    return ELEMENT_STRING{
        .header = {.type = ELEMENT_TYPE_STRING, .resource_id = -1, .position = {column_x(K), 16},
                   .host_owned_16 = {}, .offset = {0, 0}, .gauge_header = &xpdr_header,
                   .host_owned_36 = nullptr, .children = nullptr, .failures = failures,
                   .image_flags = 0x5, .reserved = {}},
        .source_vars = {{kCodeToken, nullptr, 0, {0.0}, {}}, {}, {}},
        .host_owned_144 = {},
        .callback = digit_text<K>,
        .text = nullptr,
        .host_owned_188 = 0,
        .box_size = {20, 35},
        .host_owned_200 = {},
        .text_color = 0x0000FF,
        .background_color = 0x000000,
        .highlight_color = 0x00FFFF,
        .host_owned_220 = {},
        .font_name = "Arial",
        .font_weight = 400,
        .font_charset = 1,
        .text_format = 0x25,
        .max_chars = 1,
        .host_owned_296 = 0,
        .highlight_list = digit_highlight<K>,
        .host_owned_304 = {},
    };
}

constinit ELEMENT_STRING digit_elements[kDigits] = {digit_element<1>(), digit_element<2>(),
                                                     digit_element<3>(), digit_element<4>()};

constinit ELEMENT_HEADER* root_children[] = {&digit_elements[0].header, &digit_elements[1].header,
                                            &digit_elements[2].header, &digit_elements[3].header,
                                            nullptr};

constinit ELEMENT_STATIC_IMAGE root = {
    .header = {.type = ELEMENT_TYPE_STATIC_IMAGE, .resource_id = 4096, .position = {0, 0},
               .host_owned_16 = {}, .offset = {0, 0}, .gauge_header = &xpdr_header,
               .host_owned_36 = nullptr, .children = root_children, .failures = failures,
               .image_flags = 0x4001, .reserved = {}},
    .image = nullptr,
    .host_owned = {},
};

constinit ELEMENT_HEADER* elements_list[] = {&root.header, nullptr};

constexpr MOUSERECT digit_area(int k, int32_t y, int32_t cursor, MOUSE_HANDLER handler) {
    return mouse::child({column_x(k), y, 20, 25}, cursor, MOUSE_LEFT_SINGLE, handler);
}

// Up areas overlap the lower part of each digit (y 35 to 59); down areas lie below (y 65 to 89).
constinit MOUSERECT xpdr_mouse[] = {
    mouse::parent(),
    digit_area(1, 35, CURSOR_UP_ARROW, digit_up<1>),
    digit_area(2, 35, CURSOR_UP_ARROW, digit_up<2>),
    digit_area(3, 35, CURSOR_UP_ARROW, digit_up<3>),
    digit_area(4, 35, CURSOR_UP_ARROW, digit_up<4>),
    digit_area(1, 65, CURSOR_DOWN_ARROW, digit_down<1>),
    digit_area(2, 65, CURSOR_DOWN_ARROW, digit_down<2>),
    digit_area(3, 65, CURSOR_DOWN_ARROW, digit_down<3>),
    digit_area(4, 65, CURSOR_DOWN_ARROW, digit_down<4>),
    mouse::parent_end(),
    mouse::list_end(),
};

using routines = gauge::routines_610<&xpdr_header, xpdr_mouse, &transponder_code_var>;

constinit GAUGEHDR xpdr_header = gauge::header_610<routines>("VARN_tessary_XPDR", elements_list, 70);

}  // namespace

extern "C" {
GAUGE_LINKAGE(1) = {LINKAGE_MODULE_ID, gauge::module_init, gauge::module_deinit, 0, 0, 0,
                    {&xpdr_header, nullptr}};
}
