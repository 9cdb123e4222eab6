#include "tools/gauinspect/gau_records.h"

#include <stdio.h>
#include <string.h>

#include <set>

#include "tools/gauinspect/json.h"

namespace gauinspect {

const char* const kRoutineNames[ROUTINE_COUNT] = {"query", "install", "initialize", "update",
                                                  "generate", "draw", "kill"};

namespace {

// Bounds on everything a module can make the walker follow. Our modules stay far below.
constexpr size_t kMaxGauges = 1024;
constexpr size_t kMaxElementsListEntries = 64;
constexpr int kMaxDepth = 16;
constexpr size_t kMaxChildren = 256;
constexpr size_t kMaxElementsPerGauge = 4096;
constexpr size_t kMaxListRecords = 256;
constexpr uint32_t kMaxScalePoints = 4096;
constexpr size_t kMaxMouseRecords = 4096;

struct GaugeWalk {
    RecordSource& source;
    GaugeRecord& gauge;
    std::string gauge_where;
    std::set<Addr> visited;
    size_t element_count = 0;

    void set_where(const std::string& path) { source.where = gauge_where + (path.empty() ? "" : " / element " + path); }

    template <class T, class Read, class IsEnd>
    RecordList<T> read_list(Addr at, size_t limit, Read read, IsEnd is_end, const char* what) {
        RecordList<T> list;
        list.addr = at;
        if (at == 0) return list;
        for (size_t i = 0;; ++i) {
            if (i >= limit) {
                list.fault = "no end record within " + std::to_string(limit) + " records";
                break;
            }
            T record;
            if (!read(at, i, record)) {
                list.fault = "record " + std::to_string(i) + " cannot be read";
                break;
            }
            if (is_end(record)) break;
            list.items.push_back(record);
        }
        if (!list.fault.empty()) source.problem("error", std::string(what) + " at " + hex(at) + ": " + list.fault);
        return list;
    }

    void check_needle(const ElementRecord& e) {
        const NeedleBody& n = *e.needle;
        if (n.nonlinearity.addr == 0 && n.nonlinearity_count != 0)
            source.problem("error", "needle has " + std::to_string(n.nonlinearity_count) + " scale points but no table");
        if (n.nonlinearity.addr != 0 && n.nonlinearity_count == 0) source.problem("warning", "needle has an empty scale table");
        for (size_t i = 1; i < n.nonlinearity.items.size(); ++i)
            if (n.nonlinearity.items[i].value < n.nonlinearity.items[i - 1].value)
                source.problem("warning", "needle scale values do not ascend at entry " + std::to_string(i));
        if (e.offset[0] == 0 && e.offset[1] == 0) source.problem("warning", "needle pivots at (0, 0) of its bitmap");
        if (gauge.version != 610 && n.callback_610 != 0)
            source.problem("warning", "needle of a version " + std::to_string(gauge.version) + " header sets the version-610 callback field");
    }

    void check_string(const ElementRecord& e) {
        const StringBody& s = *e.string;
        if (s.max_chars <= 0) source.problem("warning", "string shows " + std::to_string(s.max_chars) + " characters");
        if (s.callback == 0) source.problem("warning", "string has no callback: nothing writes its text");
        if (!s.font_name_padded) source.problem("warning", "font name is not a null-padded text");
        if (e.resource_id != -1) source.problem("warning", "string names bitmap resource " + std::to_string(e.resource_id));
        for (const HighlightRecord& h : s.highlights.items)
            if (h.first < 0 || h.last < h.first || h.last >= s.max_chars)
                source.problem("warning", "highlight of selection " + std::to_string(h.selection_id) + " covers characters " +
                                              std::to_string(h.first) + " to " + std::to_string(h.last) + " of " +
                                              std::to_string(s.max_chars));
    }

    ElementRecord walk_element(Addr at, int depth, const std::string& path) {
        set_where(path);
        ElementRecord e;
        e.addr = at;
        if (!visited.insert(at).second) {
            e.fault = "element reached a second time (a loop or a shared element)";
        } else if (depth > kMaxDepth) {
            e.fault = "tree deeper than " + std::to_string(kMaxDepth) + " levels";
        } else if (++element_count > kMaxElementsPerGauge) {
            e.fault = "more than " + std::to_string(kMaxElementsPerGauge) + " elements";
        } else if (!source.read_element(at, gauge.version, e)) {
            if (e.fault.empty()) e.fault = "element cannot be read at " + hex(at);
        }
        if (!e.fault.empty()) {
            source.problem("error", e.fault);
            return e;
        }
        if (e.gauge_header != gauge.addr)
            source.problem("warning", e.gauge_header ? "element names another gauge header" : "element names no gauge header");
        if (!e.host_owned_nonzero.empty()) {
            std::string names;
            for (const std::string& n : e.host_owned_nonzero) names += (names.empty() ? "" : ", ") + n;
            source.problem("warning", "host-owned fields are not zero in the module: " + names);
        }
        if (e.reserved[0] || e.reserved[1]) source.problem("warning", "reserved element words are not zero");
        e.failures = read_list<FailureRecord>(
            e.failures.addr, kMaxListRecords,
            [&](Addr a, size_t i, FailureRecord& r) { return source.read_failure(a, i, r); },
            [](const FailureRecord& r) { return r.key == 0; }, "failure list");
        if (e.needle) {
            NeedleBody& n = *e.needle;
            set_where(path);
            if (n.nonlinearity_count > kMaxScalePoints) {
                n.nonlinearity.fault = "scale of " + std::to_string(n.nonlinearity_count) + " points not read";
                source.problem("error", n.nonlinearity.fault);
            } else if (n.nonlinearity.addr != 0) {
                for (uint32_t i = 0; i < n.nonlinearity_count; ++i) {
                    ScalePoint p;
                    if (!source.read_scale_point(n.nonlinearity.addr, i, p)) {
                        n.nonlinearity.fault = "scale point " + std::to_string(i) + " cannot be read";
                        source.problem("error", n.nonlinearity.fault);
                        break;
                    }
                    n.nonlinearity.items.push_back(p);
                }
            }
            check_needle(e);
        }
        if (e.string) {
            e.string->highlights = read_list<HighlightRecord>(
                e.string->highlights.addr, kMaxListRecords,
                [&](Addr a, size_t i, HighlightRecord& r) { return source.read_highlight(a, i, r); },
                [](const HighlightRecord& r) { return r.selection_id == 0 && r.first == -1 && r.last == -1; },
                "highlight list");
            check_string(e);
        }
        if (e.icon) {
            if (e.icon->picture_count <= 0) source.problem("warning", "icon has " + std::to_string(e.icon->picture_count) + " pictures");
            if (e.icon->value_factor != 1.0) source.problem("warning", "icon value factor is not 1.0");
        }
        if (e.children_addr != 0) {
            for (size_t i = 0;; ++i) {
                set_where(path);
                if (i >= kMaxChildren) {
                    e.children_fault = "child list has no null within " + std::to_string(kMaxChildren) + " entries";
                    break;
                }
                Addr child = 0;
                if (!source.read_list_pointer(e.children_addr, i, &child)) {
                    e.children_fault = "child list entry " + std::to_string(i) + " cannot be read";
                    break;
                }
                if (child == 0) break;
                e.children.push_back(walk_element(child, depth + 1, path + "." + std::to_string(i)));
            }
            set_where(path);
            if (!e.children_fault.empty()) source.problem("error", e.children_fault);
        }
        return e;
    }

    void walk_mouse() {
        source.where = gauge_where + " / mouse list";
        Addr list = 0;
        if (gauge.version == 610) {
            std::string why;
            list = source.mouse_list_610(gauge, &why);
            gauge.mouse_source = list ? "install routine" : "";
            if (!list) gauge.mouse_fault = why.empty() ? "the install routine hands over no mouse list" : why;
        } else {
            list = gauge.mouse_rect;
            gauge.mouse_source = list ? "header" : "";
            if (!list) gauge.mouse_fault = "the header carries no mouse list";
        }
        if (!list) {
            source.problem("warning", gauge.mouse_fault);
            return;
        }
        gauge.mouse = read_list<MouseRecord>(
            list, kMaxMouseRecords, [&](Addr a, size_t i, MouseRecord& r) { return source.read_mouse(a, i, r); },
            [](const MouseRecord& r) { return r.kind == 0; }, "mouse list");
        int open = 0;
        for (size_t i = 0; i < gauge.mouse.items.size(); ++i) {
            const MouseRecord& r = gauge.mouse.items[i];
            const std::string at = "mouse record " + std::to_string(i) + ": ";
            if (i == 0 && (r.kind != 1 || r.box[0] || r.box[1] || r.box[2] || r.box[3]))
                source.problem("warning", at + "the list does not begin with the whole-gauge parent (0, 0, 0, 0)");
            if (r.kind == 1) {
                ++open;
            } else if (r.kind == 3) {
                if (--open < 0) source.problem("warning", at + "ends a parent that was never begun");
            } else if (r.kind == 2) {
                if (open <= 0) source.problem("warning", at + "child area outside every parent");
                if (r.handler == 0 && r.event_id == 0) source.problem("warning", at + "clickable area with neither handler nor event");
                if (r.box[2] <= 0 || r.box[3] <= 0) source.problem("warning", at + "clickable area of no size");
            } else {
                source.problem("warning", at + "unknown kind " + std::to_string(r.kind));
            }
        }
        if (gauge.mouse.fault.empty() && open > 0) source.problem("warning", std::to_string(open) + " parent area(s) never ended");
    }
};

void walk_gauge(RecordSource& source, Addr at, size_t index, ModuleRecords& m) {
    GaugeRecord& g = m.gauges.emplace_back();
    g.addr = at;
    source.where = "gauge " + std::to_string(index);
    if (!source.read_gauge(at, g)) {
        if (g.fault.empty()) g.fault = "header cannot be read at " + hex(at);
        source.problem("error", g.fault);
        return;
    }
    if (g.name_addr == 0) {
        source.problem("error", "the header has no gauge name");
    } else {
        g.name = source.read_text(g.name_addr);
        if (!g.name) source.problem("error", "the gauge name is not a readable text");
        else source.where = "gauge " + *g.name;
    }
    GaugeWalk walk{source, g, source.where, {}, 0};
    if (g.version != 610 && g.version != 700 && g.version != 800) {
        source.problem("warning", "unknown header version " + std::to_string(g.version) +
                                      ": its element tree and mouse list are not read");
        return;
    }
    for (int r = 0; r < ROUTINE_COUNT; ++r)
        if (g.routines[r] == 0) source.problem("error", std::string("the ") + kRoutineNames[r] + " routine is null");
    if (g.reserved_40 || g.size_y_mm) source.problem("warning", "reserved header words (offsets 40, 48) are not zero");
    for (uint32_t w : g.reserved_52)
        if (w) {
            source.problem("warning", "reserved header words (offsets 52 to 79) are not zero");
            break;
        }
    if (g.version == 610 && (g.mouse_rect || g.gauge_callback))
        source.problem("warning", "a version-610 header sets mouse_rect or gauge_callback, which the host ignores");
    if (g.extended) {
        if (g.user_data) source.problem("warning", "user_data is not zero");
        if (g.parameter_string) source.problem("warning", "parameter_string is set in the module; the host writes it");
        if (!g.reserved_tail_zero) source.problem("warning", "reserved words after parameter_string are not zero");
    }

    if (g.elements_list_addr == 0) {
        source.problem("error", "elements_list is null");
    } else {
        for (size_t i = 0;; ++i) {
            if (i >= kMaxElementsListEntries) {
                g.elements_list_fault = "elements_list has no null within " + std::to_string(kMaxElementsListEntries) + " entries";
                break;
            }
            Addr e = 0;
            if (!source.read_list_pointer(g.elements_list_addr, i, &e)) {
                g.elements_list_fault = "elements_list entry " + std::to_string(i) + " cannot be read";
                break;
            }
            if (e == 0) break;
            g.elements_list.push_back(e);
        }
        if (!g.elements_list_fault.empty()) source.problem("error", g.elements_list_fault);
        if (g.elements_list.empty() && g.elements_list_fault.empty()) source.problem("error", "elements_list holds no root element");
        if (g.elements_list.size() > 1)
            source.problem("warning", "elements_list holds " + std::to_string(g.elements_list.size()) +
                                          " elements before its null; the host draws from the first");
    }
    if (!g.elements_list.empty()) {
        g.root = walk.walk_element(g.elements_list[0], 0, "0");
        source.where = walk.gauge_where;
        if (g.root->fault.empty() && g.root->type != 0) source.problem("warning", "the root element is not a static image");
    }
    walk.walk_mouse();
}

}  // namespace

std::string element_kind(uint32_t type) {
    switch (type) {
    case 0: return "static-image";
    case 1: return "needle";
    case 2: return "string";
    case 4: return "icon";
    default: return "type-" + std::to_string(type);
    }
}

ModuleRecords walk_module(RecordSource& source) {
    ModuleRecords m;
    source.where = "Linkage";
    if (!source.read_linkage(m)) {
        if (m.fault.empty()) m.fault = "Linkage cannot be read";
        source.problem("error", m.fault);
        return m;
    }
    if (m.module_id != 0x13) source.problem("warning", "module_id is " + hex(m.module_id) + ", not 0x13");
    if (m.module_init == 0 || m.module_deinit == 0) source.problem("error", "module_init or module_deinit is null");
    if (m.flags || m.status) source.problem("warning", "flags or status are not zero");
    source.where = "ImportTable";
    if (m.import_ids[0] != 0x0F) source.problem("error", "entry 1 has id " + hex(m.import_ids[0]) + ", not 0x0f");
    if (m.import_pointers[0] != 0) source.problem("warning", "entry 1 already holds a table pointer; the host writes it");
    if (m.import_ids[1] != 0 || m.import_pointers[1] != 0) source.problem("error", "entry 2 is not the end entry {0, null}");

    source.where = "Linkage";
    if (m.gauges_addr == 0) {
        m.gauges_fault = "no gauge list";
    } else {
        for (size_t i = 0;; ++i) {
            if (i >= kMaxGauges) {
                m.gauges_fault = "the gauge list has no null within " + std::to_string(kMaxGauges) + " entries";
                break;
            }
            Addr g = 0;
            source.where = "Linkage";
            if (!source.read_list_pointer(m.gauges_addr, i, &g)) {
                m.gauges_fault = "gauge list entry " + std::to_string(i) + " cannot be read";
                break;
            }
            if (g == 0) break;
            walk_gauge(source, g, i, m);
        }
    }
    source.where = "Linkage";
    if (!m.gauges_fault.empty()) source.problem("error", m.gauges_fault);
    if (m.gauges.empty() && m.gauges_fault.empty()) source.problem("warning", "the module lists no gauge");
    return m;
}

// ---------------------------------------------------------------------------------------
// Canonical text.

namespace {

class Canon {
public:
    std::string out;

    // The n-th distinct address of a kind, in the order first met: "fn3", "failures2".
    std::string label(const char* kind, Addr a) {
        if (a == 0) return "null";
        auto& labels = labels_[kind];
        auto it = labels.find(a);
        if (it == labels.end()) it = labels.emplace(a, labels.size() + 1).first;
        return std::string(kind) + std::to_string(it->second);
    }
    // A data pointer that names a gauge header: "gauge[2]", or an identity when it names none.
    std::string gauge_ref(Addr a) {
        for (size_t i = 0; i < gauges_.size(); ++i)
            if (gauges_[i] == a) return "gauge[" + std::to_string(i) + "]";
        return label("data", a);
    }
    std::vector<Addr> gauges_;

    void line(int depth, const std::string& text) {
        out.append(static_cast<size_t>(2 * depth), ' ');
        out += text;
        out += '\n';
    }

    static std::string num(int64_t v) { return std::to_string(v); }
    static std::string real(double d) {
        char buf[40];
        snprintf(buf, sizeof buf, "%.17g", d);
        return buf;
    }
    static std::string quoted(const std::string& s) {
        std::string out = "\"";
        for (unsigned char c : s) {
            if (c < 0x20 || c >= 0x7f || c == '"' || c == '\\') {
                char buf[8];
                snprintf(buf, sizeof buf, "\\x%02x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
        return out + "\"";
    }
    std::string var(const VarRecord& v) {
        return "{id=" + num(v.id) + " link=" + (v.host_link ? "set" : "null") + " kind=" + num(v.host_kind) +
               " value=" + hex(v.value_bits) + " tail=" + num(v.host_tail[0]) + "," + num(v.host_tail[1]) + "}";
    }
    template <class T, class F>
    std::string list(const RecordList<T>& l, const char* kind, F item) {
        std::string s = label(kind, l.addr);
        if (l.addr == 0) return s;
        s += " [";
        for (size_t i = 0; i < l.items.size(); ++i) s += (i ? " " : "") + item(l.items[i]);
        s += "]";
        if (!l.fault.empty()) s += " fault=" + quoted(l.fault);
        return s;
    }

    void element(const ElementRecord& e, int depth) {
        const std::string id = label("element", e.addr);
        if (!e.fault.empty()) return line(depth, id + " fault=" + quoted(e.fault));
        line(depth, id + " " + element_kind(e.type) + " resource=" + num(e.resource_id) + " position=" + num(e.position[0]) +
                        "," + num(e.position[1]) + " offset=" + num(e.offset[0]) + "," + num(e.offset[1]) +
                        " gauge=" + gauge_ref(e.gauge_header) + " image_flags=" + hex(e.image_flags) +
                        " reserved=" + num(e.reserved[0]) + "," + num(e.reserved[1]));
        std::string host = "host_owned_nonzero=[";
        for (size_t i = 0; i < e.host_owned_nonzero.size(); ++i) host += (i ? " " : "") + e.host_owned_nonzero[i];
        line(depth + 1, host + "]");
        line(depth + 1, "failures=" + list(e.failures, "failures", [](const FailureRecord& f) {
                            return "{" + num(f.key) + "," + num(f.action) + "," + num(f.zero) + "}";
                        }));
        if (e.needle) {
            const NeedleBody& n = *e.needle;
            line(depth + 1, "source_var=" + var(n.source_var));
            // Labels are handed out in reading order, so each is taken in its own statement.
            const std::string callback_610 = label("fn", n.callback_610);
            const std::string callback_700 = n.callback_700 ? label("fn", *n.callback_700) : "absent";
            line(depth + 1, "callback_610=" + callback_610 + " callback_700=" + callback_700 +
                                " scale_words=" + num(n.scale_words[0]) + "," + num(n.scale_words[1]) +
                                " nonlinearity_count=" + num(n.nonlinearity_count));
            line(depth + 1, "nonlinearity=" + list(n.nonlinearity, "scale", [](const ScalePoint& p) {
                                return "{" + num(p.x) + "," + num(p.y) + "," + real(p.value) + "," + hex(p.host_bits) + "}";
                            }));
        }
        if (e.string) {
            const StringBody& s = *e.string;
            for (int i = 0; i < 3; ++i) line(depth + 1, "source_vars[" + num(i) + "]=" + var(s.source_vars[i]));
            line(depth + 1, "callback=" + label("fn", s.callback) + " box=" + num(s.box_size[0]) + "," + num(s.box_size[1]) +
                                " colors=" + hex(s.text_color, 6) + "," + hex(s.background_color, 6) + "," +
                                hex(s.highlight_color, 6));
            line(depth + 1, "font=" + quoted(s.font_name) + (s.font_name_padded ? " padded" : " unpadded") +
                                " weight=" + num(s.font_weight) + " charset=" + num(s.font_charset) +
                                " format=" + hex(s.text_format) + " max_chars=" + num(s.max_chars));
            line(depth + 1, "highlights=" + list(s.highlights, "highlights", [](const HighlightRecord& h) {
                                return "{" + num(h.selection_id) + "," + num(h.first) + "," + num(h.last) + "}";
                            }));
        }
        if (e.icon) {
            const IconBody& c = *e.icon;
            line(depth + 1, "source_var=" + var(c.source_var));
            line(depth + 1, "callback=" + label("fn", c.callback) + " value_factor=" + real(c.value_factor) +
                                " picture_count=" + num(c.picture_count));
        }
        line(depth + 1, "children=" + label("children", e.children_addr) + " count=" + num(static_cast<int64_t>(e.children.size())) +
                            (e.children_fault.empty() ? "" : " fault=" + quoted(e.children_fault)));
        for (const ElementRecord& c : e.children) element(c, depth + 2);
    }

    void gauge(const GaugeRecord& g, size_t index) {
        const std::string head = "gauge[" + std::to_string(index) + "]";
        if (!g.fault.empty()) return line(0, head + " fault=" + quoted(g.fault));
        line(0, head + " version=" + num(g.version) + " name=" + (g.name ? quoted(*g.name) : g.name_addr ? "unreadable" : "null"));
        std::string routines = "routines:";
        for (int r = 0; r < ROUTINE_COUNT; ++r) routines += std::string(" ") + kRoutineNames[r] + "=" + label("fn", g.routines[r]);
        line(1, routines);
        std::string reserved;
        for (uint32_t w : g.reserved_52) reserved += (reserved.empty() ? "" : ",") + num(w);
        line(1, "reserved_40=" + num(g.reserved_40) + " size_x_mm=" + num(g.size_x_mm) + " size_y_mm=" + num(g.size_y_mm) +
                    " reserved_52=" + reserved);
        const std::string mouse_rect = label("mouse", g.mouse_rect);
        const std::string callback = label("fn", g.gauge_callback);
        line(1, "mouse_rect=" + mouse_rect + " gauge_callback=" + callback);
        if (g.extended)
            line(1, "user_data=" + num(g.user_data) + " parameter_string=" + (g.parameter_string ? "set" : "null") +
                        " reserved_tail=" + num(g.reserved_tail_words) + (g.reserved_tail_zero ? " zero" : " nonzero"));
        std::string list = "elements_list=[";
        for (size_t i = 0; i < g.elements_list.size(); ++i) list += (i ? " " : "") + label("element", g.elements_list[i]);
        line(1, list + "]" + (g.elements_list_fault.empty() ? "" : " fault=" + quoted(g.elements_list_fault)));
        if (g.root) element(*g.root, 1);
        line(1, "mouse from " + (g.mouse_source.empty() ? std::string("nowhere") : g.mouse_source) + ": " +
                    label("mouse", g.mouse.addr) + (g.mouse.fault.empty() ? "" : " fault=" + quoted(g.mouse.fault)));
        for (const MouseRecord& r : g.mouse.items)
            line(2, "kind=" + num(r.kind) + " box=" + num(r.box[0]) + "," + num(r.box[1]) + "," + num(r.box[2]) + "," +
                        num(r.box[3]) + " cursor=" + num(r.cursor) + " help=" + num(r.help_id) + " flags=" +
                        hex(r.mouse_flags) + " event=" + num(r.event_id) + " handler=" + label("fn", r.handler) +
                        " reserved=" + num(r.reserved));
    }

private:
    std::map<std::string, std::map<Addr, size_t>> labels_;
};

}  // namespace

std::string canonical_text(const ModuleRecords& m) {
    Canon c;
    if (!m.fault.empty()) {
        c.line(0, "fault=" + Canon::quoted(m.fault));
        return c.out;
    }
    for (const GaugeRecord& g : m.gauges) c.gauges_.push_back(g.addr);
    c.line(0, "ImportTable {" + hex(m.import_ids[0]) + ", " + (m.import_pointers[0] ? "set" : "null") + "} {" +
                  hex(m.import_ids[1]) + ", " + (m.import_pointers[1] ? "set" : "null") + "}");
    const std::string init = c.label("fn", m.module_init);
    const std::string deinit = c.label("fn", m.module_deinit);
    c.line(0, "Linkage module_id=" + hex(m.module_id) + " module_init=" + init +
                  " module_deinit=" + deinit + " flags=" + Canon::num(m.flags) +
                  " status=" + Canon::num(m.status) + " version=" + hex(m.version) +
                  " gauges=" + Canon::num(static_cast<int64_t>(m.gauges.size())) +
                  (m.gauges_fault.empty() ? "" : " fault=" + Canon::quoted(m.gauges_fault)));
    for (size_t i = 0; i < m.gauges.size(); ++i) c.gauge(m.gauges[i], i);
    return c.out;
}

}  // namespace gauinspect
