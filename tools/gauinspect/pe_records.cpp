#include "tools/gauinspect/pe_records.h"

#include <string.h>

#include "tools/gauinspect/code_scan.h"
#include "tools/gauinspect/json.h"

namespace gauinspect {

namespace {

// Byte offsets of the host's 32-bit records (4-byte packing, little-endian).
namespace linkage_layout {
constexpr uint32_t module_id = 0, module_init = 4, module_deinit = 8, flags = 12, status = 16, version = 20, gauges = 24;
}
namespace header_layout {
constexpr uint32_t version = 0, gauge_name = 4, elements_list = 8, routines = 12, reserved_40 = 40, size_x_mm = 44,
                   size_y_mm = 48, reserved_52 = 52, mouse_rect = 80, gauge_callback = 84, length_610 = 88,
                   user_data = 88, parameter_string = 92, reserved_96 = 96, length_700 = 116, length_800 = 196;
}
namespace element_layout {
constexpr uint32_t type = 0, resource_id = 4, position = 8, offset = 24, gauge_header = 32, children = 40,
                   failures = 44, image_flags = 48, reserved = 52, body = 60;
}
constexpr uint32_t kVarLength = 28;
constexpr uint32_t kMouseLength = 44;

int32_t i32(const uint8_t* p) {
    int32_t v;
    memcpy(&v, p, 4);
    return v;
}
uint32_t u32(const uint8_t* p) {
    uint32_t v;
    memcpy(&v, p, 4);
    return v;
}
uint64_t u64(const uint8_t* p) {
    uint64_t v;
    memcpy(&v, p, 8);
    return v;
}
double f64(const uint8_t* p) {
    double v;
    memcpy(&v, p, 8);
    return v;
}

VarRecord var_at(const uint8_t* p) {
    VarRecord v;
    v.id = i32(p);
    v.host_link = u32(p + 4);
    v.host_kind = u32(p + 8);
    v.value_bits = u64(p + 12);
    v.host_tail[0] = u32(p + 20);
    v.host_tail[1] = u32(p + 24);
    return v;
}

bool any_nonzero(const uint8_t* record, uint32_t from, uint32_t to) {
    for (uint32_t i = from; i < to; ++i)
        if (record[i]) return true;
    return false;
}

}  // namespace

std::optional<uint32_t> export_rva(const PeImage& image, const std::string& name) {
    for (const Export& e : image.exports())
        if (e.name == name && e.forwarder.empty()) return e.rva;
    return std::nullopt;
}

bool PeRecordSource::record(Addr va, uint32_t size, uint8_t* out, std::initializer_list<Field> pointers, const char* what) {
    if (va > 0xFFFFFFFFull) return false;
    const auto rva = image_.rva_of(static_cast<uint32_t>(va));
    if (!rva || !image_.read(*rva, out, size)) return false;
    // A base relocation inside the record on anything but a pointer field would rebase a number.
    const auto& relocs = image_.relocations();
    for (auto it = relocs.lower_bound(*rva); it != relocs.end() && *it < *rva + size; ++it) {
        const uint32_t at = *it - *rva;
        bool is_pointer = false;
        for (const Field& f : pointers) is_pointer |= f.offset == at && f.offset + 4 <= size;
        if (!is_pointer)
            problem("error", std::string(what) + " at " + hex(va) + ": a base relocation rebases the plain field at +" +
                                 std::to_string(at));
    }
    for (const Field& f : pointers) {
        if (f.offset + 4 > size) continue;  // a field of a longer form of the record
        const uint32_t value = u32(out + f.offset);
        if (value == 0 || f.points == Points::host) continue;
        const std::string field = std::string(what) + "." + f.name;
        if (!image_.has_relocation(*rva + f.offset))
            problem("error", field + " = " + hex(value) + " has no base relocation: it is wrong wherever the module is not loaded at its preferred base");
        const auto target = image_.rva_of(value);
        if (!target) problem("error", field + " = " + hex(value) + " points outside the module");
        else if (f.points == Points::code && !image_.executable(*target))
            problem("error", field + " = " + hex(value) + " points outside the module's code");
        else if (f.points == Points::data && image_.executable(*target))
            problem("warning", field + " = " + hex(value) + " points into the module's code");
    }
    return true;
}

bool PeRecordSource::read_linkage(ModuleRecords& m) {
    const auto imports = export_rva(image_, "ImportTable");
    if (!imports) {
        where = "ImportTable";
        problem("error", "the module does not export ImportTable: the host cannot hand it its function table");
    } else {
        uint8_t b[16];
        if (!record(image_.image_base() + static_cast<Addr>(*imports), sizeof b, b,
                    {{4, Points::host, "entry1.table"}, {12, Points::data, "entry2.table"}}, "ImportTable")) {
            where = "ImportTable";
            problem("error", "ImportTable cannot be read");
        } else {
            m.import_ids[0] = u32(b);
            m.import_pointers[0] = u32(b + 4);
            m.import_ids[1] = u32(b + 8);
            m.import_pointers[1] = u32(b + 12);
        }
    }
    where = "Linkage";
    const auto linkage = export_rva(image_, "Linkage");
    if (!linkage) {
        m.fault = "the module does not export Linkage";
        return false;
    }
    using namespace linkage_layout;
    uint8_t b[24];
    const Addr va = image_.image_base() + static_cast<Addr>(*linkage);
    if (!record(va, sizeof b, b, {{module_init, Points::code, "module_init"}, {module_deinit, Points::code, "module_deinit"}},
                "Linkage"))
        return false;
    m.module_id = u32(b + module_id);
    m.module_init = u32(b + module_init);
    m.module_deinit = u32(b + module_deinit);
    m.flags = u32(b + flags);
    m.status = u32(b + status);
    m.version = u32(b + version);
    m.gauges_addr = va + gauges;
    return true;
}

bool PeRecordSource::read_list_pointer(Addr list, size_t index, Addr* out) {
    uint8_t b[4];
    if (!record(list + 4 * index, 4, b, {{0, Points::data, "entry"}}, "pointer list")) return false;
    *out = u32(b);
    return true;
}

bool PeRecordSource::read_gauge(Addr at, GaugeRecord& g) {
    using namespace header_layout;
    uint8_t b[length_800];
    uint8_t probe[4];
    if (!record(at, 4, probe, {}, "GAUGEHDR")) return false;
    const uint32_t v = u32(probe);
    const uint32_t length = v == 700 ? length_700 : v == 800 ? length_800 : length_610;
    if (!record(at, length, b,
                {{gauge_name, Points::data, "gauge_name"},
                 {elements_list, Points::data, "elements_list"},
                 {routines + 0, Points::code, "query"},
                 {routines + 4, Points::code, "install"},
                 {routines + 8, Points::code, "initialize"},
                 {routines + 12, Points::code, "update"},
                 {routines + 16, Points::code, "generate"},
                 {routines + 20, Points::code, "draw"},
                 {routines + 24, Points::code, "kill"},
                 {mouse_rect, Points::data, "mouse_rect"},
                 {gauge_callback, Points::code, "gauge_callback"},
                 {parameter_string, Points::host, "parameter_string"}},
                "GAUGEHDR")) {
        g.fault = "header of version " + std::to_string(v) + " (" + std::to_string(length) + " bytes) cannot be read at " + hex(at);
        return false;
    }
    g.version = v;
    g.name_addr = u32(b + gauge_name);
    g.elements_list_addr = u32(b + elements_list);
    for (int r = 0; r < ROUTINE_COUNT; ++r) g.routines[r] = u32(b + routines + 4 * r);
    g.reserved_40 = u32(b + reserved_40);
    g.size_x_mm = u32(b + size_x_mm);
    g.size_y_mm = u32(b + size_y_mm);
    for (int i = 0; i < 7; ++i) g.reserved_52[i] = u32(b + reserved_52 + 4 * i);
    g.mouse_rect = u32(b + mouse_rect);
    g.gauge_callback = u32(b + gauge_callback);
    if (length > length_610) {
        g.extended = true;
        g.user_data = u32(b + user_data);
        g.parameter_string = u32(b + parameter_string);
        g.reserved_tail_words = (length - reserved_96) / 4;
        g.reserved_tail_zero = !any_nonzero(b, reserved_96, length);
    }
    return true;
}

bool PeRecordSource::read_element(Addr at, uint32_t version, ElementRecord& e) {
    using namespace element_layout;
    // The type decides the record's length; the whole record is checked below.
    uint8_t head[4];
    if (at > 0xFFFFFFFFull) return false;
    const auto head_rva = image_.rva_of(static_cast<uint32_t>(at));
    if (!head_rva || !image_.read(*head_rva, head, sizeof head)) return false;
    const uint32_t t = u32(head + type);
    const bool v610 = version == 610;
    uint32_t length = 0;
    switch (t) {
    case 0: length = v610 ? 80 : 96; break;
    case 1: length = v610 ? 224 : 236; break;
    case 2:
        if (!v610) e.fault = "string element in a version-" + std::to_string(version) + " header: its layout is not known";
        length = 312;
        break;
    case 4:
        if (v610) e.fault = "icon element in a version-610 header: its layout is not known";
        length = 136;
        break;
    default: e.fault = "unknown element type " + std::to_string(t);
    }
    if (!e.fault.empty()) return false;

    uint8_t b[312];
    const char* what = t == 0 ? "static image" : t == 1 ? "needle" : t == 2 ? "string" : "icon";
    bool ok = false;
    const Field gauge_field{gauge_header, Points::data, "gauge_header"};
    const Field children_field{children, Points::data, "children"};
    const Field failures_field{failures, Points::data, "failures"};
    switch (t) {
    case 0:
        ok = record(at, length, b, {gauge_field, children_field, failures_field, {60, Points::host, "image"}}, what);
        break;
    case 1:
        ok = record(at, length, b,
                    {gauge_field, children_field, failures_field, {64, Points::host, "source_var.host_link"},
                     {88, Points::code, "callback"}, {112, Points::data, "nonlinearity"}, {224, Points::code, "callback_700"}},
                    what);
        break;
    case 2:
        ok = record(at, length, b,
                    {gauge_field, children_field, failures_field, {64, Points::host, "source_vars[0].host_link"},
                     {92, Points::host, "source_vars[1].host_link"}, {120, Points::host, "source_vars[2].host_link"},
                     {180, Points::code, "callback"}, {184, Points::host, "text"}, {300, Points::data, "highlight_list"}},
                    what);
        break;
    default:
        ok = record(at, length, b,
                    {gauge_field, children_field, failures_field, {64, Points::host, "source_var.host_link"},
                     {132, Points::code, "callback"}},
                    what);
    }
    if (!ok) {
        e.fault = std::string(what) + " of " + std::to_string(length) + " bytes cannot be read at " + hex(at);
        return false;
    }
    e.type = t;
    e.resource_id = i32(b + resource_id);
    e.position[0] = i32(b + position);
    e.position[1] = i32(b + position + 4);
    e.offset[0] = i32(b + offset);
    e.offset[1] = i32(b + offset + 4);
    e.gauge_header = u32(b + gauge_header);
    e.children_addr = u32(b + children);
    e.failures.addr = u32(b + failures);
    e.image_flags = u32(b + image_flags);
    e.reserved[0] = u32(b + reserved);
    e.reserved[1] = u32(b + reserved + 4);
    auto host = [&](uint32_t from, uint32_t to, const char* name) {
        if (any_nonzero(b, from, to)) e.host_owned_nonzero.push_back(name);
    };
    host(16, 24, "host_owned_16");
    host(36, 40, "host_owned_36");
    switch (t) {
    case 0:
        host(60, 64, "image");
        host(64, length, "host_owned");
        break;
    case 1: {
        NeedleBody& n = e.needle.emplace();
        n.source_var = var_at(b + 60);
        n.callback_610 = u32(b + 88);
        n.scale_words[0] = u32(b + 104);
        n.scale_words[1] = u32(b + 108);
        n.nonlinearity.addr = u32(b + 112);
        n.nonlinearity_count = u32(b + 116);
        host(92, 104, "host_owned_92");
        host(120, 224, "host_owned_120");
        if (!v610) {
            n.callback_700 = u32(b + 224);
            host(228, 236, "host_owned_228");
        }
        break;
    }
    case 2: {
        StringBody& s = e.string.emplace();
        for (int i = 0; i < 3; ++i) s.source_vars[i] = var_at(b + 60 + kVarLength * i);
        s.callback = u32(b + 180);
        s.box_size[0] = i32(b + 192);
        s.box_size[1] = i32(b + 196);
        s.text_color = u32(b + 208);
        s.background_color = u32(b + 212);
        s.highlight_color = u32(b + 216);
        const char* font = reinterpret_cast<const char*>(b + 248);
        const size_t len = strnlen(font, 32);
        s.font_name.assign(font, len);
        s.font_name_padded = len < 32 && !any_nonzero(b, 248 + static_cast<uint32_t>(len), 280);
        s.font_weight = i32(b + 280);
        s.font_charset = i32(b + 284);
        s.text_format = u32(b + 288);
        s.max_chars = i32(b + 292);
        s.highlights.addr = u32(b + 300);
        host(144, 180, "host_owned_144");
        host(184, 188, "text");
        host(188, 192, "host_owned_188");
        host(200, 208, "host_owned_200");
        host(220, 248, "host_owned_220");
        host(296, 300, "host_owned_296");
        host(304, 312, "host_owned_304");
        break;
    }
    default: {
        IconBody& c = e.icon.emplace();
        c.source_var = var_at(b + 60);
        c.value_factor = f64(b + 100);
        c.picture_count = i32(b + 112);
        c.callback = u32(b + 132);
        host(88, 100, "host_owned_88");
        host(108, 112, "host_owned_108");
        host(116, 132, "host_owned_116");
    }
    }
    return true;
}

bool PeRecordSource::read_failure(Addr list, size_t index, FailureRecord& out) {
    uint8_t b[12];
    if (!record(list + 12 * index, sizeof b, b, {}, "failure record")) return false;
    out = {i32(b), i32(b + 4), u32(b + 8)};
    return true;
}

bool PeRecordSource::read_highlight(Addr list, size_t index, HighlightRecord& out) {
    uint8_t b[12];
    if (!record(list + 12 * index, sizeof b, b, {}, "highlight record")) return false;
    out = {i32(b), i32(b + 4), i32(b + 8)};
    return true;
}

bool PeRecordSource::read_scale_point(Addr table, size_t index, ScalePoint& out) {
    uint8_t b[24];
    if (!record(table + 24 * index, sizeof b, b, {}, "NONLINEARITY")) return false;
    out = {i32(b), i32(b + 4), f64(b + 8), u64(b + 16)};
    return true;
}

bool PeRecordSource::read_mouse(Addr list, size_t index, MouseRecord& out) {
    uint8_t b[kMouseLength];
    if (!record(list + kMouseLength * index, sizeof b, b, {{36, Points::code, "handler"}}, "MOUSERECT")) return false;
    out.kind = i32(b);
    for (int i = 0; i < 4; ++i) out.box[i] = i32(b + 4 + 4 * i);
    out.cursor = i32(b + 20);
    out.help_id = i32(b + 24);
    out.mouse_flags = u32(b + 28);
    out.event_id = u32(b + 32);
    out.handler = u32(b + 36);
    out.reserved = u32(b + 40);
    return true;
}

std::optional<std::string> PeRecordSource::read_text(Addr at) {
    if (at > 0xFFFFFFFFull) return std::nullopt;
    const auto rva = image_.rva_of(static_cast<uint32_t>(at));
    if (!rva) return std::nullopt;
    return image_.read_text(*rva);
}

Addr PeRecordSource::mouse_list_610(const GaugeRecord& g, std::string* why) {
    const auto install = g.routines[INSTALL] <= 0xFFFFFFFFull ? image_.rva_of(static_cast<uint32_t>(g.routines[INSTALL]))
                                                              : std::nullopt;
    if (!install || !image_.executable(*install)) {
        *why = "the install routine is not in the module's code";
        return 0;
    }
    // The list the install routine hands to mouse_list_install: a rebased address it uses
    // that holds a well-formed mouse list (the whole-gauge parent first, an end record).
    // A list that is broken further on is still the one handed over: when no address holds
    // a well-formed list, one that begins like a mouse list is taken.
    std::vector<Addr> well_formed, begins_like_one;
    for (uint32_t va : relocated_immediates(image_, *install, 2)) {
        if (va == g.addr) continue;
        const auto rva = image_.rva_of(va);
        uint8_t first[kMouseLength];
        if (!rva || !image_.read(*rva, first, sizeof first)) continue;
        if (i32(first) != 1 || any_nonzero(first, 4, 20) || i32(first + 20) != -1) continue;
        begins_like_one.push_back(va);
        for (uint32_t i = 1; i < 4096; ++i) {
            uint8_t b[kMouseLength];
            if (!image_.read(*rva + kMouseLength * i, b, sizeof b)) break;
            const int32_t kind = i32(b);
            if (kind < 0 || kind > 3) break;
            if (kind == 0) {
                well_formed.push_back(va);
                break;
            }
        }
    }
    const std::vector<Addr>& found = well_formed.empty() ? begins_like_one : well_formed;
    if (found.size() == 1) return found[0];
    *why = found.empty() ? "no mouse list found among the addresses the install routine uses"
                         : std::to_string(found.size()) + " candidate mouse lists in the install routine";
    return 0;
}

}  // namespace gauinspect
