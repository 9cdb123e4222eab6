// The records a gauge module shares with the panel host, each declared once.
//
// Every record is laid out with 4-byte packing (doubles included), little-endian, 32-bit
// pointers and integers on the host. Field comments say who writes the field and when:
//   module          - statically initialised in the module, never changed by the host;
//   host@install    - written by the host during element_list_install / placement;
//   host@frame      - written by the host while it evaluates the gauge each frame;
//   host-owned      - belongs to the host; zero in the module.
// In the 32-bit build every offset and length below is pinned by a static_assert, so a
// wrong layout does not compile.
#pragma once

#include "framework/abi.h"

// The host reads 4-byte packed records (doubles included). Where pointers are 64 bits (the
// native build for tests and the bench) no host reads the bytes, and the records keep their
// natural alignment so that no pointer or double field sits misaligned.
#if GAUGE_LAYOUT_IS_HOST_LAYOUT
#pragma pack(push, 4)
#else
#pragma pack(push, 8)
#endif

struct GAUGEHDR;
struct ELEMENT_HEADER;
struct ELEMENT_NEEDLE_700;
struct ELEMENT_ICON;
struct MODULE_VAR;
struct MOUSERECT;

// A point or a size in pixels of the gauge's background bitmap, origin at its top left.
struct PIXPOINT {
    int32_t x;  // module (positions) or host@install (bitmap sizes)
    int32_t y;
};
GAUGE_ASSERT_SIZE(PIXPOINT, 8);

// ---------------------------------------------------------------------------------------
// Token record: how a module names a host variable and receives its value.

union MODULE_VAR_VALUE {
    double n;      // floating-point tokens
    uint32_t u;    // integer tokens: the value sits in the first 4 bytes
    int32_t i;
};

struct MODULE_VAR {
    int32_t id;              // module: token number
    void* host_link;         // host-owned: null in the module
    uint32_t host_kind;      // host-owned: 0 in the module
    MODULE_VAR_VALUE value;  // host@frame: written by lookup_var and each element update
    uint32_t host_tail[2];   // host-owned
};
GAUGE_ASSERT_OFFSET(MODULE_VAR, id, 0);
GAUGE_ASSERT_OFFSET(MODULE_VAR, host_link, 4);
GAUGE_ASSERT_OFFSET(MODULE_VAR, host_kind, 8);
GAUGE_ASSERT_OFFSET(MODULE_VAR, value, 12);
GAUGE_ASSERT_OFFSET(MODULE_VAR, host_tail, 20);
GAUGE_ASSERT_SIZE(MODULE_VAR, 28);

// ---------------------------------------------------------------------------------------
// Element value callbacks and mouse handlers (called by the host).

typedef double(GAUGE_CALL* NEEDLE_CALLBACK_610)(MODULE_VAR* source_var);
typedef double(GAUGE_CALL* NEEDLE_CALLBACK_700)(ELEMENT_NEEDLE_700* needle);
typedef double(GAUGE_CALL* ICON_CALLBACK)(ELEMENT_ICON* icon);
typedef double(GAUGE_CALL* STRING_CALLBACK_610)(double value);
typedef int32_t(GAUGE_CALL* MOUSE_HANDLER)(PIXPOINT* point, uint32_t mouse_flags);

// ---------------------------------------------------------------------------------------
// Element tree.

enum : uint32_t {
    ELEMENT_TYPE_STATIC_IMAGE = 0,
    ELEMENT_TYPE_NEEDLE = 1,
    ELEMENT_TYPE_STRING = 2,
    ELEMENT_TYPE_ICON = 4,
};

// Image flag bit that hides an element; a gauge sets or clears it at run time. Every other
// bit is a host drawing option passed on unchanged. Bit 0x2 asks the host to draw pure
// black as transparent.
enum : uint32_t {
    IMAGE_HIDDEN = 0x40000000u,
    IMAGE_TRANSPARENT_BLACK = 0x2u,
};

// One failure tie: while the host's failure `key` is active it applies `action`.
struct FAILURE_RECORD {
    int32_t key;      // module: host failure key; 0 ends the list
    int32_t action;   // module: host action
    uint32_t zero;    // module: 0
};
GAUGE_ASSERT_SIZE(FAILURE_RECORD, 12);

// Characters first..last (inclusive, from 0) of a string are drawn in its highlight colour
// while the host's current selection is `selection_id`. A list ends with {0, -1, -1}.
struct HIGHLIGHT_RECORD {
    int32_t selection_id;  // module
    int32_t first;         // module
    int32_t last;          // module
};
GAUGE_ASSERT_SIZE(HIGHLIGHT_RECORD, 12);

// One point of a needle scale: the needle aims at (x, y) for `value`; entries ascend by value.
struct NONLINEARITY {
    int32_t x;          // module
    int32_t y;          // module
    double value;       // module
    double host_owned;  // host-owned: 0.0 in the module
};
GAUGE_ASSERT_OFFSET(NONLINEARITY, value, 8);
GAUGE_ASSERT_OFFSET(NONLINEARITY, host_owned, 16);
GAUGE_ASSERT_SIZE(NONLINEARITY, 24);

// The first 60 bytes of every element.
struct ELEMENT_HEADER {
    uint32_t type;              // module: ELEMENT_TYPE_*
    int32_t resource_id;        // module: bitmap resource id; -1 for a string
    PIXPOINT position;          // module: placement (a needle: where its pivot sits)
    uint32_t host_owned_16[2];  // host-owned
    PIXPOINT offset;            // module: a needle's pivot inside its bitmap; else (0, 0)
    GAUGEHDR* gauge_header;     // module: the gauge this element belongs to
    void* host_owned_36;        // host-owned
    ELEMENT_HEADER** children;  // module: null-terminated list of children, or null
    FAILURE_RECORD* failures;   // module: failure list, or null
    uint32_t image_flags;       // module; the gauge may toggle IMAGE_HIDDEN at run time
    uint32_t reserved[2];       // module: 0
};
GAUGE_ASSERT_OFFSET(ELEMENT_HEADER, type, 0);
GAUGE_ASSERT_OFFSET(ELEMENT_HEADER, resource_id, 4);
GAUGE_ASSERT_OFFSET(ELEMENT_HEADER, position, 8);
GAUGE_ASSERT_OFFSET(ELEMENT_HEADER, host_owned_16, 16);
GAUGE_ASSERT_OFFSET(ELEMENT_HEADER, offset, 24);
GAUGE_ASSERT_OFFSET(ELEMENT_HEADER, gauge_header, 32);
GAUGE_ASSERT_OFFSET(ELEMENT_HEADER, host_owned_36, 36);
GAUGE_ASSERT_OFFSET(ELEMENT_HEADER, children, 40);
GAUGE_ASSERT_OFFSET(ELEMENT_HEADER, failures, 44);
GAUGE_ASSERT_OFFSET(ELEMENT_HEADER, image_flags, 48);
GAUGE_ASSERT_OFFSET(ELEMENT_HEADER, reserved, 52);
GAUGE_ASSERT_SIZE(ELEMENT_HEADER, 60);

// Static image, version-610 form. The root element of every gauge is one.
struct ELEMENT_STATIC_IMAGE {
    ELEMENT_HEADER header;
    void* image;                // host@install: the host's record of the loaded bitmap; its
                                // bytes 4 to 11 hold the bitmap's size as a PIXPOINT
    uint32_t host_owned[4];     // host-owned
};
GAUGE_ASSERT_OFFSET(ELEMENT_STATIC_IMAGE, image, 60);
GAUGE_ASSERT_SIZE(ELEMENT_STATIC_IMAGE, 80);

// Static image, version-700/800 form: the same fields, a longer host-owned tail.
struct ELEMENT_STATIC_IMAGE_700 {
    ELEMENT_HEADER header;
    void* image;                // host@install, as in ELEMENT_STATIC_IMAGE
    uint32_t host_owned[8];     // host-owned
};
GAUGE_ASSERT_OFFSET(ELEMENT_STATIC_IMAGE_700, image, 60);
GAUGE_ASSERT_SIZE(ELEMENT_STATIC_IMAGE_700, 96);

// Needle, version-610 form (and the first 224 bytes of the 700/800 form).
struct ELEMENT_NEEDLE {
    ELEMENT_HEADER header;
    MODULE_VAR source_var;           // module: token id; host@frame: its value
    NEEDLE_CALLBACK_610 callback;    // module: version-610 value callback, or null; 0 in 700/800
    uint32_t host_owned_92[3];       // host-owned
    uint32_t scale_words[2];         // module: 1, 1 in the fuel pressure needle; else 0, 0
    NONLINEARITY* nonlinearity;      // module: the needle's scale table
    uint32_t nonlinearity_count;     // module: entries in the table
    uint32_t host_owned_120[26];     // host-owned
};
GAUGE_ASSERT_OFFSET(ELEMENT_NEEDLE, source_var, 60);
GAUGE_ASSERT_OFFSET(ELEMENT_NEEDLE, callback, 88);
GAUGE_ASSERT_OFFSET(ELEMENT_NEEDLE, host_owned_92, 92);
GAUGE_ASSERT_OFFSET(ELEMENT_NEEDLE, scale_words, 104);
GAUGE_ASSERT_OFFSET(ELEMENT_NEEDLE, nonlinearity, 112);
GAUGE_ASSERT_OFFSET(ELEMENT_NEEDLE, nonlinearity_count, 116);
GAUGE_ASSERT_OFFSET(ELEMENT_NEEDLE, host_owned_120, 120);
GAUGE_ASSERT_SIZE(ELEMENT_NEEDLE, 224);

// Needle, version-700/800 form: the 610 body, then the value callback that takes the element.
struct ELEMENT_NEEDLE_700 {
    ELEMENT_NEEDLE needle;           // body as above; needle.callback stays 0
    NEEDLE_CALLBACK_700 callback;    // module: value callback, or null
    uint32_t host_owned_228[2];      // host-owned
};
GAUGE_ASSERT_OFFSET(ELEMENT_NEEDLE_700, callback, 224);
GAUGE_ASSERT_SIZE(ELEMENT_NEEDLE_700, 236);

// Text string (version 610 only). The callback writes at most max_chars characters and a
// terminating null into `text`; the host draws it in the box.
struct ELEMENT_STRING {
    ELEMENT_HEADER header;
    MODULE_VAR source_vars[3];       // module: token ids (0 where unused); host@frame: values
    uint32_t host_owned_144[9];      // host-owned
    STRING_CALLBACK_610 callback;    // module: value callback
    char* text;                      // host@install: buffer of at least max_chars + 1 bytes
    uint32_t host_owned_188;         // host-owned
    PIXPOINT box_size;               // module: width and height of the text box
    uint32_t host_owned_200[2];      // host-owned
    uint32_t text_color;             // module: COLORREF 0x00BBGGRR
    uint32_t background_color;       // module: COLORREF
    uint32_t highlight_color;        // module: COLORREF of highlighted characters
    uint32_t host_owned_220[7];      // host-owned
    char font_name[32];              // module: face name, null padded
    int32_t font_weight;             // module
    int32_t font_charset;            // module
    uint32_t text_format;            // module: DrawText format flags
    int32_t max_chars;               // module: characters shown
    uint32_t host_owned_296;         // host-owned
    HIGHLIGHT_RECORD* highlight_list;  // module: highlight list, or null
    uint32_t host_owned_304[2];      // host-owned
};
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, source_vars, 60);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, host_owned_144, 144);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, callback, 180);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, text, 184);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, host_owned_188, 188);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, box_size, 192);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, host_owned_200, 200);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, text_color, 208);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, background_color, 212);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, highlight_color, 216);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, host_owned_220, 220);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, font_name, 248);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, font_weight, 280);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, font_charset, 284);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, text_format, 288);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, max_chars, 292);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, host_owned_296, 296);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, highlight_list, 300);
GAUGE_ASSERT_OFFSET(ELEMENT_STRING, host_owned_304, 304);
GAUGE_ASSERT_SIZE(ELEMENT_STRING, 312);

// Multi-picture icon (version 700). Picture n is bitmap resource_id + n; the value -1.0
// draws no picture.
struct ELEMENT_ICON {
    ELEMENT_HEADER header;
    MODULE_VAR source_var;           // module: token id (0 when a callback supplies the value)
    uint32_t host_owned_88[3];       // host-owned
    double value_factor;             // module: 1.0 in every icon
    uint32_t host_owned_108;         // host-owned
    int32_t picture_count;           // module
    uint32_t host_owned_116[4];      // host-owned
    ICON_CALLBACK callback;          // module: value callback, or null
};
GAUGE_ASSERT_OFFSET(ELEMENT_ICON, source_var, 60);
GAUGE_ASSERT_OFFSET(ELEMENT_ICON, host_owned_88, 88);
GAUGE_ASSERT_OFFSET(ELEMENT_ICON, value_factor, 100);
GAUGE_ASSERT_OFFSET(ELEMENT_ICON, host_owned_108, 108);
GAUGE_ASSERT_OFFSET(ELEMENT_ICON, picture_count, 112);
GAUGE_ASSERT_OFFSET(ELEMENT_ICON, host_owned_116, 116);
GAUGE_ASSERT_OFFSET(ELEMENT_ICON, callback, 132);
GAUGE_ASSERT_SIZE(ELEMENT_ICON, 136);

// ---------------------------------------------------------------------------------------
// Mouse areas: a flat list of parents (kind 1 ... kind 3) and children (kind 2), ended by
// kind 0. Child boxes are relative to the innermost open parent; the outermost parent's box
// (0, 0, 0, 0) is the whole gauge.

enum : int32_t {
    MOUSE_END_OF_LIST = 0,
    MOUSE_PARENT_BEGIN = 1,
    MOUSE_CHILD = 2,
    MOUSE_PARENT_END = 3,
};

enum : int32_t {
    CURSOR_NONE = -1,
    CURSOR_UP_ARROW = 1,
    CURSOR_DOWN_ARROW = 2,
    CURSOR_HAND = 5,
};

enum : uint32_t {
    MOUSE_LEFT_SINGLE = 0x20000000u,   // a left-button press
    MOUSE_LEFT_REPEAT = 0x00200000u,   // repeated while the left button is held
    MOUSE_LEFT_HELD = MOUSE_LEFT_SINGLE | MOUSE_LEFT_REPEAT,
};

struct MOUSE_BOX {
    int32_t x, y, width, height;
};

struct MOUSERECT {
    int32_t kind;            // module: MOUSE_* kind
    MOUSE_BOX box;           // module: relative to the innermost open parent
    int32_t cursor;          // module: CURSOR_*
    int32_t help_id;         // module: host help text id, 0 for none
    uint32_t mouse_flags;    // module: clicks the area reacts to
    uint32_t event_id;       // module: key event the host fires itself, for an area without handler
    MOUSE_HANDLER handler;   // module: handler, or null
    uint32_t reserved;       // module: 0
};
GAUGE_ASSERT_OFFSET(MOUSERECT, kind, 0);
GAUGE_ASSERT_OFFSET(MOUSERECT, box, 4);
GAUGE_ASSERT_OFFSET(MOUSERECT, cursor, 20);
GAUGE_ASSERT_OFFSET(MOUSERECT, help_id, 24);
GAUGE_ASSERT_OFFSET(MOUSERECT, mouse_flags, 28);
GAUGE_ASSERT_OFFSET(MOUSERECT, event_id, 32);
GAUGE_ASSERT_OFFSET(MOUSERECT, handler, 36);
GAUGE_ASSERT_OFFSET(MOUSERECT, reserved, 40);
GAUGE_ASSERT_SIZE(MOUSERECT, 44);

// ---------------------------------------------------------------------------------------
// The host's function table. Each operation is the function pointer at a fixed byte offset;
// slots the modules never use are declared as padding. Results are never read by a module.

struct PANELS {
    void* unused_00[24];
    uint32_t(GAUGE_CALL* element_list_query)(ELEMENT_HEADER* root);                        // 0x60
    uint32_t(GAUGE_CALL* element_list_install)(ELEMENT_HEADER* root,
                                               GAUGE_RESOURCE_HANDLE resources);            // 0x64
    uint32_t(GAUGE_CALL* element_list_initialize)(ELEMENT_HEADER* root);                   // 0x68
    uint32_t(GAUGE_CALL* element_list_update)(ELEMENT_HEADER* root);                       // 0x6c
    uint32_t(GAUGE_CALL* element_list_generate)(ELEMENT_HEADER* root, uint32_t phase);     // 0x70
    uint32_t(GAUGE_CALL* element_list_plot)(ELEMENT_HEADER* root);                         // 0x74
    void* unused_78;
    uint32_t(GAUGE_CALL* element_list_kill)(ELEMENT_HEADER* root);                         // 0x7c
    uint32_t(GAUGE_CALL* mouse_list_install)(MOUSERECT* list, GAUGEHDR* gauge,
                                             PIXPOINT* size);                               // 0x80
    uint32_t(GAUGE_CALL* mouse_list_register)(MOUSERECT* list, GAUGEHDR* gauge);           // 0x84
    uint32_t(GAUGE_CALL* mouse_list_unregister)(MOUSERECT* list, GAUGEHDR* gauge);         // 0x88
    void* unused_8c;
    uint32_t(GAUGE_CALL* trigger_key_event)(uint32_t event_id, uint32_t value);             // 0x90
    void* unused_94;
    uint32_t(GAUGE_CALL* initialize_var)(MODULE_VAR* var);                                 // 0x98
    void* unused_9c;
    uint32_t(GAUGE_CALL* lookup_var)(MODULE_VAR* var);                                     // 0xa0
};
GAUGE_ASSERT_OFFSET(PANELS, element_list_query, 0x60);
GAUGE_ASSERT_OFFSET(PANELS, element_list_install, 0x64);
GAUGE_ASSERT_OFFSET(PANELS, element_list_initialize, 0x68);
GAUGE_ASSERT_OFFSET(PANELS, element_list_update, 0x6c);
GAUGE_ASSERT_OFFSET(PANELS, element_list_generate, 0x70);
GAUGE_ASSERT_OFFSET(PANELS, element_list_plot, 0x74);
GAUGE_ASSERT_OFFSET(PANELS, element_list_kill, 0x7c);
GAUGE_ASSERT_OFFSET(PANELS, mouse_list_install, 0x80);
GAUGE_ASSERT_OFFSET(PANELS, mouse_list_register, 0x84);
GAUGE_ASSERT_OFFSET(PANELS, mouse_list_unregister, 0x88);
GAUGE_ASSERT_OFFSET(PANELS, trigger_key_event, 0x90);
GAUGE_ASSERT_OFFSET(PANELS, initialize_var, 0x98);
GAUGE_ASSERT_OFFSET(PANELS, lookup_var, 0xa0);

// ---------------------------------------------------------------------------------------
// Gauge header and module records.

typedef void(GAUGE_CALL* GAUGE_ROUTINE)(void);
typedef void(GAUGE_CALL* GAUGE_INSTALL_ROUTINE)(GAUGE_RESOURCE_HANDLE resources);
typedef void(GAUGE_CALL* GAUGE_GENERATE_ROUTINE)(uint32_t phase);
typedef void(GAUGE_CALL* GAUGE_CALLBACK)(GAUGEHDR* gauge, int32_t service_id,
                                         GAUGE_EXTRA_DATA extra_data);
typedef void(GAUGE_CALL* MODULE_ROUTINE)(void);

// Gauge callback service ids acted on by the modules.
enum : int32_t {
    SERVICE_SETUP = 2,        // one-time set-up; extra data = the module's resource handle
    SERVICE_PERIODIC = 6,     // once per update cycle
    SERVICE_END = 12,         // end of the gauge
    SERVICE_RESYNC = 14,      // master switches resynchronise with the simulator
};

enum : uint32_t {
    GAUGE_VERSION_610 = 610,
    GAUGE_VERSION_700 = 700,
    GAUGE_VERSION_800 = 800,
};

// The gauge header: the complete version-610 header, and the first 88 bytes of the 700 and
// 800 forms.
struct GAUGEHDR {
    uint32_t version;                  // module: 610, 700 or 800
    const char* gauge_name;            // module: the name the panel configuration uses
    ELEMENT_HEADER** elements_list;    // module: {root, null}
    GAUGE_ROUTINE query;               // module
    GAUGE_INSTALL_ROUTINE install;     // module
    GAUGE_ROUTINE initialize;          // module
    GAUGE_ROUTINE update;              // module
    GAUGE_GENERATE_ROUTINE generate;   // module
    GAUGE_ROUTINE draw;                // module
    GAUGE_ROUTINE kill;                // module
    uint32_t reserved_40;              // module: 0
    uint32_t size_x_mm;                // module: nominal width on the panel
    uint32_t size_y_mm;                // module: 0
    uint32_t reserved_52[7];           // module: 0
    MOUSERECT* mouse_rect;             // module: 700/800 mouse list; 0 in 610
    GAUGE_CALLBACK gauge_callback;     // module: 700/800 gauge callback or null; 0 in 610
};
GAUGE_ASSERT_OFFSET(GAUGEHDR, version, 0);
GAUGE_ASSERT_OFFSET(GAUGEHDR, gauge_name, 4);
GAUGE_ASSERT_OFFSET(GAUGEHDR, elements_list, 8);
GAUGE_ASSERT_OFFSET(GAUGEHDR, query, 12);
GAUGE_ASSERT_OFFSET(GAUGEHDR, install, 16);
GAUGE_ASSERT_OFFSET(GAUGEHDR, initialize, 20);
GAUGE_ASSERT_OFFSET(GAUGEHDR, update, 24);
GAUGE_ASSERT_OFFSET(GAUGEHDR, generate, 28);
GAUGE_ASSERT_OFFSET(GAUGEHDR, draw, 32);
GAUGE_ASSERT_OFFSET(GAUGEHDR, kill, 36);
GAUGE_ASSERT_OFFSET(GAUGEHDR, reserved_40, 40);
GAUGE_ASSERT_OFFSET(GAUGEHDR, size_x_mm, 44);
GAUGE_ASSERT_OFFSET(GAUGEHDR, size_y_mm, 48);
GAUGE_ASSERT_OFFSET(GAUGEHDR, reserved_52, 52);
GAUGE_ASSERT_OFFSET(GAUGEHDR, mouse_rect, 80);
GAUGE_ASSERT_OFFSET(GAUGEHDR, gauge_callback, 84);
GAUGE_ASSERT_SIZE(GAUGEHDR, 88);

// Version 700 and 800 headers: the shared 88 bytes, then the parameter text and a reserved
// tail (116 bytes in all for 700, 196 for 800).
template <unsigned ReservedWords>
struct GAUGEHDR_EXTENDED {
    GAUGEHDR head;                     // as above
    uint32_t user_data;                // module: 0
    const char* parameter_string;      // host@install: the gauge's parameter text, before service 2
    uint32_t reserved_96[ReservedWords];  // module: 0
};
typedef GAUGEHDR_EXTENDED<5> GAUGEHDR_700;
typedef GAUGEHDR_EXTENDED<25> GAUGEHDR_800;
GAUGE_ASSERT_OFFSET(GAUGEHDR_700, user_data, 88);
GAUGE_ASSERT_OFFSET(GAUGEHDR_700, parameter_string, 92);
GAUGE_ASSERT_OFFSET(GAUGEHDR_700, reserved_96, 96);
GAUGE_ASSERT_SIZE(GAUGEHDR_700, 116);
GAUGE_ASSERT_OFFSET(GAUGEHDR_800, parameter_string, 92);
GAUGE_ASSERT_SIZE(GAUGEHDR_800, 196);

// The exported module record: fixed fields, then the gauge headers and a closing null.
template <unsigned GaugeCount>
struct LINKAGE {
    uint32_t module_id;                // module: 0x13
    MODULE_ROUTINE module_init;        // module: does nothing
    MODULE_ROUTINE module_deinit;      // module: does nothing
    uint32_t flags;                    // module: 0
    uint32_t status;                   // module: 0
    uint32_t version;                  // module: 0 (0x800 in a version-800 module)
    GAUGEHDR* gauges[GaugeCount + 1];  // module: the gauge headers, then null
};
// The part every linkage shares; the host reads the gauge pointers that follow it.
typedef LINKAGE<0> LINKAGE_HEAD;
GAUGE_ASSERT_OFFSET(LINKAGE_HEAD, module_id, 0);
GAUGE_ASSERT_OFFSET(LINKAGE_HEAD, module_init, 4);
GAUGE_ASSERT_OFFSET(LINKAGE_HEAD, module_deinit, 8);
GAUGE_ASSERT_OFFSET(LINKAGE_HEAD, flags, 12);
GAUGE_ASSERT_OFFSET(LINKAGE_HEAD, status, 16);
GAUGE_ASSERT_OFFSET(LINKAGE_HEAD, version, 20);
GAUGE_ASSERT_OFFSET(LINKAGE_HEAD, gauges, 24);
GAUGE_ASSERT_SIZE(LINKAGE<1>, 32);
GAUGE_ASSERT_SIZE(LINKAGE<30>, 148);

enum : uint32_t {
    LINKAGE_MODULE_ID = 0x13,
    IMPORT_PANELS_ID = 0x0F,
};

// The exported import record: {0x0F, host table} then {0, null}.
struct IMPORT_ENTRY {
    uint32_t id;      // module
    PANELS* table;    // host, before anything in the module runs (entry 1); null in the module
};
struct IMPORT_TABLE {
    IMPORT_ENTRY panels;  // {IMPORT_PANELS_ID, host table}
    IMPORT_ENTRY end;     // {0, null}
};
GAUGE_ASSERT_OFFSET(IMPORT_TABLE, panels.table, 4);
GAUGE_ASSERT_OFFSET(IMPORT_TABLE, end, 8);
GAUGE_ASSERT_SIZE(IMPORT_TABLE, 16);

#pragma pack(pop)
