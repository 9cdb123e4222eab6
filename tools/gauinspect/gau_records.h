// The records a host reads from a gauge module, as plain values: the module's Linkage and
// ImportTable, every gauge header, element tree and mouse list.
//
// Two readers fill this model: one from a .gau file (byte offsets of the host's 32-bit
// layout, pointers followed through sections and base relocations), one from a native
// module in memory (the typed records of the framework). One walker drives both through the
// RecordSource interface, and canonical_text() prints the result in a form where the two
// can be compared: addresses are replaced by identities (the n-th distinct function, the
// gauge a pointer names, the n-th distinct failure list...).
#pragma once

#include <stdint.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace gauinspect {

// An address as the reader saw it (a virtual address of the image, or a native pointer);
// 0 is null.
using Addr = uint64_t;

struct VarRecord {
    int32_t id = 0;
    Addr host_link = 0;
    uint32_t host_kind = 0;
    uint64_t value_bits = 0;
    uint32_t host_tail[2] = {};
};

struct FailureRecord {
    int32_t key = 0;
    int32_t action = 0;
    uint32_t zero = 0;
};

struct HighlightRecord {
    int32_t selection_id = 0;
    int32_t first = 0;
    int32_t last = 0;
};

struct ScalePoint {
    int32_t x = 0, y = 0;
    double value = 0.0;
    uint64_t host_bits = 0;
};

struct MouseRecord {
    int32_t kind = 0;
    int32_t box[4] = {};  // x, y, width, height
    int32_t cursor = 0;
    int32_t help_id = 0;
    uint32_t mouse_flags = 0;
    uint32_t event_id = 0;
    Addr handler = 0;
    uint32_t reserved = 0;
};

// A list read from the module: where it is, what it holds and whether it could be read to
// its end record.
template <class T>
struct RecordList {
    Addr addr = 0;
    std::vector<T> items;
    std::string fault;  // empty when read to its end; else why the read stopped
};

struct NeedleBody {
    VarRecord source_var;
    Addr callback_610 = 0;       // the version-610 callback field (0 in 700/800 needles)
    uint32_t scale_words[2] = {};
    uint32_t nonlinearity_count = 0;
    RecordList<ScalePoint> nonlinearity;
    std::optional<Addr> callback_700;  // version 700/800 needles only
};

struct StringBody {
    VarRecord source_vars[3];
    Addr callback = 0;
    int32_t box_size[2] = {};
    uint32_t text_color = 0, background_color = 0, highlight_color = 0;
    std::string font_name;           // up to the first null
    bool font_name_padded = false;   // terminated, and null after the text to byte 32
    int32_t font_weight = 0, font_charset = 0;
    uint32_t text_format = 0;
    int32_t max_chars = 0;
    RecordList<HighlightRecord> highlights;
};

struct IconBody {
    VarRecord source_var;
    double value_factor = 0.0;
    int32_t picture_count = 0;
    Addr callback = 0;
};

struct ElementRecord {
    Addr addr = 0;
    std::string fault;               // why the element could not be read, or empty
    uint32_t type = 0;
    int32_t resource_id = 0;
    int32_t position[2] = {};
    int32_t offset[2] = {};
    Addr gauge_header = 0;
    uint32_t image_flags = 0;
    uint32_t reserved[2] = {};
    RecordList<FailureRecord> failures;
    // Names of host-owned fields that are not zero in the module.
    std::vector<std::string> host_owned_nonzero;
    std::optional<NeedleBody> needle;
    std::optional<StringBody> string;
    std::optional<IconBody> icon;
    Addr children_addr = 0;
    std::string children_fault;
    std::vector<ElementRecord> children;
};

enum Routine { QUERY, INSTALL, INITIALIZE, UPDATE, GENERATE, DRAW, KILL, ROUTINE_COUNT };
extern const char* const kRoutineNames[ROUTINE_COUNT];

struct GaugeRecord {
    Addr addr = 0;
    std::string fault;
    uint32_t version = 0;
    Addr name_addr = 0;
    std::optional<std::string> name;
    Addr elements_list_addr = 0;
    std::vector<Addr> elements_list;  // entries before the null
    std::string elements_list_fault;
    Addr routines[ROUTINE_COUNT] = {};
    uint32_t reserved_40 = 0;
    uint32_t size_x_mm = 0;
    uint32_t size_y_mm = 0;
    uint32_t reserved_52[7] = {};
    Addr mouse_rect = 0;
    Addr gauge_callback = 0;
    bool extended = false;           // version 700/800 header
    uint32_t user_data = 0;
    Addr parameter_string = 0;
    uint32_t reserved_tail_words = 0;
    bool reserved_tail_zero = true;
    std::optional<ElementRecord> root;
    std::string mouse_source;        // "header", "install routine" or empty
    std::string mouse_fault;         // why no mouse list could be found
    RecordList<MouseRecord> mouse;
};

struct ModuleRecords {
    std::string fault;               // why Linkage could not be followed, or empty
    uint32_t import_ids[2] = {};
    Addr import_pointers[2] = {};
    uint32_t module_id = 0;
    Addr module_init = 0, module_deinit = 0;
    uint32_t flags = 0, status = 0, version = 0;
    Addr gauges_addr = 0;
    std::vector<GaugeRecord> gauges;
    std::string gauges_fault;
};

// Where the walker is, for messages: "gauge Landing_Lights / element 3".
struct Problem {
    std::string severity;  // "error" or "warning"
    std::string where;
    std::string what;
};

// What a reader offers the walker. Each read copies one record at `at`; false when the
// record cannot be read there (outside the module, unmapped...). The reader may add
// problems of its own (a pointer without base relocation, a routine outside the code).
class RecordSource {
public:
    virtual ~RecordSource() = default;
    // Linkage and ImportTable, and the address of the gauges pointer list.
    virtual bool read_linkage(ModuleRecords& m) = 0;
    // Entry `index` of a null-terminated pointer list at `list`.
    virtual bool read_list_pointer(Addr list, size_t index, Addr* out) = 0;
    virtual bool read_gauge(Addr at, GaugeRecord& g) = 0;
    // An element laid out for header `version` (610, 700 or 800).
    virtual bool read_element(Addr at, uint32_t version, ElementRecord& e) = 0;
    virtual bool read_failure(Addr list, size_t index, FailureRecord& out) = 0;
    virtual bool read_highlight(Addr list, size_t index, HighlightRecord& out) = 0;
    virtual bool read_scale_point(Addr table, size_t index, ScalePoint& out) = 0;
    virtual bool read_mouse(Addr list, size_t index, MouseRecord& out) = 0;
    virtual std::optional<std::string> read_text(Addr at) = 0;
    // The mouse list that a version-610 gauge's install routine hands to the host, or 0.
    virtual Addr mouse_list_610(const GaugeRecord& g, std::string* why) = 0;

    // Problems found while reading; `where` is the walker's current position.
    std::vector<Problem> problems;
    std::string where;
    void problem(const std::string& severity, const std::string& what) { problems.push_back({severity, where, what}); }
};

// Follows Linkage through the whole module: every gauge header, element tree and mouse
// list, with bounds on every list and a guard against loops. Structural oddities that a
// host would trip over are added to source.problems.
ModuleRecords walk_module(RecordSource& source);

// The comparable text form of the records.
std::string canonical_text(const ModuleRecords& m);

// Element kinds by type number, for messages: "static image", "needle"...
std::string element_kind(uint32_t type);

}  // namespace gauinspect
