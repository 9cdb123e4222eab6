#include "tools/gauinspect/inspect.h"

#include <string.h>

#include <algorithm>
#include <map>

#include "tools/gauinspect/pe_records.h"

namespace gauinspect {

namespace {

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

const RoutineKind kKinds[] = {
    {"entry point", 12},   {"module_init", 0},     {"module_deinit", 0},   {"query", 0},
    {"install", 4},        {"initialize", 0},      {"update", 0},          {"generate", 4},
    {"draw", 0},           {"kill", 0},            {"gauge callback", 12}, {"mouse handler", 8},
    {"needle callback", 4}, {"icon callback", 4},  {"string callback", 8},
};

std::string addr_text(Addr a) { return a ? hex(a, 8) : "null"; }

// Collects the routines the records name, each once, with its roles.
class RoutineTable {
public:
    void add(Addr address, const std::string& role, const std::string& by) {
        if (address == 0 || address > 0xFFFFFFFFull) return;
        auto [it, fresh] = index_.emplace(static_cast<uint32_t>(address), checks_.size());
        if (fresh) checks_.push_back(RoutineCheck{static_cast<uint32_t>(address), {}, {}, {}, {}, false});
        RoutineCheck& c = checks_[it->second];
        if (std::find(c.roles.begin(), c.roles.end(), role) == c.roles.end()) c.roles.push_back(role);
        if (std::find(c.named_by.begin(), c.named_by.end(), by) == c.named_by.end()) c.named_by.push_back(by);
    }
    std::vector<RoutineCheck> take() { return std::move(checks_); }

private:
    std::map<uint32_t, size_t> index_;
    std::vector<RoutineCheck> checks_;
};

void collect_element_routines(const ElementRecord& e, uint32_t version, const std::string& by, RoutineTable& t) {
    if (!e.fault.empty()) return;
    if (e.needle) t.add(version == 610 ? e.needle->callback_610 : e.needle->callback_700.value_or(0), "needle callback", by);
    if (e.string) t.add(e.string->callback, "string callback", by);
    if (e.icon) t.add(e.icon->callback, "icon callback", by);
    for (const ElementRecord& c : e.children) collect_element_routines(c, version, by, t);
}

class ReportBuilder {
public:
    explicit ReportBuilder(Inspection& in) : in_(in) {
        for (const Resource& r : in.image.resources())
            if (!r.type.is_name && r.type.id == 2 && !r.name.is_name) bitmaps_.emplace(r.name.id, &r);
    }

    Json pe() {
        const PeImage& im = in_.image;
        Json j = Json::object();
        j.set("machine", machine_name(im.machine()) + " (" + hex(im.machine(), 4) + ")");
        Json ch = Json::array();
        for (const std::string& n : characteristic_names(im.characteristics())) ch.push(n);
        j.set("characteristics", ch);
        Json dch = Json::array();
        for (const std::string& n : dll_characteristic_names(im.dll_characteristics())) dch.push(n);
        j.set("dll_characteristics", dch);
        j.set("subsystem", static_cast<unsigned>(im.subsystem()));
        j.set("image_base", hex(im.image_base(), 8));
        j.set("image_size", im.image_size());
        j.set("entry_point", im.entry_point() ? hex(im.image_base() + static_cast<uint64_t>(im.entry_point()), 8) : "none");
        j.set("base_relocations", static_cast<unsigned long>(im.relocations().size()));
        Json sections = Json::array();
        for (const Section& s : im.sections()) {
            Json o = Json::object();
            o.set("name", s.name);
            o.set("address", hex(im.image_base() + static_cast<uint64_t>(s.virtual_address), 8));
            o.set("virtual_size", s.virtual_size);
            o.set("raw_size", s.declared_raw_size);
            o.set("flags", std::string(s.executable() ? "code" : "data") + (s.writable() ? ", writable" : ""));
            sections.push(o);
        }
        j.set("sections", sections);
        return j;
    }

    Json exports() {
        Json j = Json::array();
        for (const Export& e : in_.image.exports()) {
            Json o = Json::object();
            o.set("name", e.name);
            o.set("ordinal", e.ordinal);
            o.set("address", hex(in_.image.image_base() + static_cast<uint64_t>(e.rva), 8));
            const Section* s = in_.image.section_of(e.rva);
            o.set("section", s ? s->name : "none");
            if (!e.forwarder.empty()) o.set("forwarder", e.forwarder);
            j.push(o);
        }
        return j;
    }

    Json imports() {
        Json j = Json::array();
        for (const ImportedDll& d : in_.image.imports()) {
            Json o = Json::object();
            o.set("dll", d.dll);
            Json fns = Json::array();
            for (const ImportedFunction& f : d.functions) fns.push(f.name.empty() ? "#" + std::to_string(f.ordinal) : f.name);
            o.set("functions", fns);
            j.push(o);
        }
        return j;
    }

    Json resources() {
        Json j = Json::array();
        for (const Resource& r : in_.image.resources()) {
            Json o = Json::object();
            o.set("type", type_name(r.type));
            o.set("id", r.name.is_name ? Json(r.name.name) : Json(r.name.id));
            o.set("language", r.language);
            o.set("size", r.size);
            auto bytes = in_.image.resource_bytes(r);
            if (!r.type.is_name && r.type.id == 2) {
                if (auto b = bytes ? bitmap_info(*bytes) : std::nullopt) {
                    o.set("width", b->width);
                    o.set("height", b->height);
                    o.set("bit_depth", static_cast<unsigned>(b->bit_depth));
                    if (b->compression) o.set("compression", b->compression);
                } else {
                    problem("error", "resource BITMAP " + r.name.text(), "no bitmap header");
                }
            }
            if (r.type.is_name && r.type.name == "WAVE") {
                if (auto w = bytes ? wave_info(*bytes) : std::nullopt) {
                    o.set("format_tag", static_cast<unsigned>(w->format_tag));
                    o.set("channels", static_cast<unsigned>(w->channels));
                    o.set("samples_per_second", w->samples_per_second);
                    o.set("bits_per_sample", static_cast<unsigned>(w->bits_per_sample));
                    o.set("data_bytes", w->data_bytes);
                } else {
                    problem("warning", "resource WAVE " + r.name.text(), "not a RIFF/WAVE sample with fmt and data chunks");
                }
            }
            j.push(o);
        }
        return j;
    }

    Json version() {
        const VersionInfo& v = in_.image.version();
        if (!v.present) return nullptr;
        Json j = Json::object();
        auto four = [](const uint16_t* p) {
            return std::to_string(p[0]) + "." + std::to_string(p[1]) + "." + std::to_string(p[2]) + "." + std::to_string(p[3]);
        };
        j.set("file_version", four(v.file_version));
        j.set("product_version", four(v.product_version));
        j.set("file_os", hex(v.file_os));
        j.set("file_type", hex(v.file_type));
        Json strings = Json::object();
        for (const auto& [k, s] : v.strings) strings.set(k, s);
        j.set("strings", strings);
        Json tr = Json::array();
        for (uint32_t t : v.translations) tr.push(hex(t, 8));
        j.set("translations", tr);
        return j;
    }

    // The token of an element; its host-owned fields show only when the module set them.
    void token(Json& j, const VarRecord& v) {
        j.set("token", v.id);
        if (v.host_link || v.host_kind || v.value_bits || v.host_tail[0] || v.host_tail[1])
            j.set("token_host_fields", "set in the module");
    }

    Json bitmap_ref(int32_t id) {
        auto it = bitmaps_.find(static_cast<uint32_t>(id));
        if (id < 0 || it == bitmaps_.end()) return "missing";
        auto bytes = in_.image.resource_bytes(*it->second);
        auto b = bytes ? bitmap_info(*bytes) : std::nullopt;
        if (!b) return "unreadable";
        return std::to_string(b->width) + " x " + std::to_string(b->height) + ", " + std::to_string(b->bit_depth) + " bit";
    }

    Json element(const ElementRecord& e, const std::string& where, int depth_path) {
        Json j = Json::object();
        j.set("address", addr_text(e.addr));
        if (!e.fault.empty()) {
            j.set("fault", e.fault);
            return j;
        }
        j.set("kind", element_kind(e.type));
        j.set("resource_id", e.resource_id);
        if (e.type == 0 || e.type == 1) {
            Json b = bitmap_ref(e.resource_id);
            if (b.kind() == Json::Kind::string && (b.str() == "missing" || b.str() == "unreadable"))
                problem("error", where, element_kind(e.type) + ": bitmap resource " + std::to_string(e.resource_id) + " is " + b.str());
            j.set("bitmap", b);
        }
        j.set("position", pair(e.position));
        j.set("offset", pair(e.offset));
        j.set("image_flags", hex(e.image_flags));
        j.set("failures", failure_list(e.failures));
        if (!e.host_owned_nonzero.empty()) {
            Json h = Json::array();
            for (const std::string& n : e.host_owned_nonzero) h.push(n);
            j.set("host_owned_nonzero", h);
        }
        if (e.needle) {
            const NeedleBody& n = *e.needle;
            token(j, n.source_var);
            j.set("callback", addr_text(n.callback_700 ? *n.callback_700 : n.callback_610));
            if (n.callback_700 && n.callback_610) j.set("callback_610_field", addr_text(n.callback_610));
            Json words = Json::array();
            words.push(n.scale_words[0]);
            words.push(n.scale_words[1]);
            j.set("scale_words", words);
            Json table = Json::array();
            for (const ScalePoint& p : n.nonlinearity.items) {
                Json o = Json::array();
                o.push(p.x);
                o.push(p.y);
                o.push(p.value);
                table.push(o);
            }
            j.set("nonlinearity", table);
            if (!n.nonlinearity.fault.empty()) j.set("nonlinearity_fault", n.nonlinearity.fault);
        }
        if (e.string) {
            const StringBody& s = *e.string;
            Json tokens = Json::array();
            for (const VarRecord& v : s.source_vars) tokens.push(v.id);
            j.set("tokens", tokens);
            j.set("callback", addr_text(s.callback));
            j.set("box", pair(s.box_size));
            j.set("text_color", hex(s.text_color, 6));
            j.set("background_color", hex(s.background_color, 6));
            j.set("highlight_color", hex(s.highlight_color, 6));
            j.set("font", s.font_name);
            j.set("font_weight", s.font_weight);
            j.set("font_charset", s.font_charset);
            j.set("text_format", hex(s.text_format));
            j.set("max_chars", s.max_chars);
            if (s.highlights.addr == 0) {
                j.set("highlights", nullptr);
            } else {
                Json h = Json::array();
                for (const HighlightRecord& r : s.highlights.items) {
                    Json o = Json::array();
                    o.push(r.selection_id);
                    o.push(r.first);
                    o.push(r.last);
                    h.push(o);
                }
                j.set("highlights", h);
            }
        }
        if (e.icon) {
            const IconBody& c = *e.icon;
            token(j, c.source_var);
            j.set("callback", addr_text(c.callback));
            j.set("value_factor", c.value_factor);
            j.set("picture_count", c.picture_count);
            Json pictures = Json::array();
            Json missing = Json::array();
            for (int32_t n = 0; n < std::min(c.picture_count, 1024); ++n) {
                const int64_t id = static_cast<int64_t>(e.resource_id) + n;
                if (id >= 0 && id <= 0xFFFF && bitmaps_.count(static_cast<uint32_t>(id))) pictures.push(bitmap_ref(static_cast<int32_t>(id)));
                else missing.push(static_cast<long long>(id));
            }
            j.set("pictures", pictures);
            // Pictures the module does not supply draw nothing.
            if (!missing.empty()) j.set("pictures_not_supplied", missing);
        }
        if (e.children_addr) {
            Json children = Json::array();
            for (size_t i = 0; i < e.children.size(); ++i)
                children.push(element(e.children[i], where, depth_path + 1));
            j.set("children", children);
            if (!e.children_fault.empty()) j.set("children_fault", e.children_fault);
        }
        return j;
    }

    Json gauge(const GaugeRecord& g) {
        Json j = Json::object();
        j.set("address", addr_text(g.addr));
        if (!g.fault.empty()) {
            j.set("fault", g.fault);
            return j;
        }
        const std::string where = "gauge " + (g.name ? *g.name : addr_text(g.addr));
        j.set("name", g.name ? Json(*g.name) : Json(nullptr));
        j.set("version", g.version);
        j.set("size_x_mm", g.size_x_mm);
        j.set("size_y_mm", g.size_y_mm);
        Json routines = Json::object();
        for (int r = 0; r < ROUTINE_COUNT; ++r) routines.set(kRoutineNames[r], addr_text(g.routines[r]));
        j.set("routines", routines);
        j.set("mouse_rect", addr_text(g.mouse_rect));
        j.set("gauge_callback", addr_text(g.gauge_callback));
        if (g.extended) {
            j.set("user_data", g.user_data);
            j.set("parameter_string", addr_text(g.parameter_string));
        }
        Json list = Json::array();
        for (Addr a : g.elements_list) list.push(addr_text(a));
        j.set("elements_list", list);
        if (g.root) j.set("elements", element(*g.root, where, 0));
        Json mouse = Json::object();
        mouse.set("source", g.mouse_source.empty() ? Json(nullptr) : Json(g.mouse_source));
        mouse.set("address", addr_text(g.mouse.addr));
        if (!g.mouse_fault.empty()) mouse.set("fault", g.mouse_fault);
        if (!g.mouse.fault.empty()) mouse.set("fault", g.mouse.fault);
        Json areas = Json::array();
        std::vector<std::pair<int32_t, int32_t>> origin{{0, 0}};
        for (const MouseRecord& r : g.mouse.items) {
            Json o = Json::object();
            static const char* kinds[] = {"end", "parent", "child", "end parent"};
            o.set("kind", r.kind >= 0 && r.kind <= 3 ? Json(kinds[r.kind]) : Json(r.kind));
            Json box = Json::array();
            for (int32_t v : r.box) box.push(v);
            o.set("box", box);
            // The box in gauge pixels: child boxes are relative to the innermost open parent.
            const auto [ox, oy] = origin.back();
            Json abs = Json::array();
            abs.push(static_cast<long long>(ox) + r.box[0]);
            abs.push(static_cast<long long>(oy) + r.box[1]);
            abs.push(static_cast<long long>(ox) + r.box[0] + r.box[2] - 1);
            abs.push(static_cast<long long>(oy) + r.box[1] + r.box[3] - 1);
            if (r.kind == 2 || (r.kind == 1 && origin.size() > 1)) o.set("gauge_pixels", abs);
            if (r.kind == 1 && origin.size() < 64) origin.emplace_back(ox + r.box[0], oy + r.box[1]);
            if (r.kind == 3 && origin.size() > 1) origin.pop_back();
            o.set("cursor", r.cursor);
            o.set("help_id", r.help_id);
            o.set("mouse_flags", hex(r.mouse_flags));
            o.set("event_id", r.event_id);
            o.set("handler", addr_text(r.handler));
            if (r.reserved) o.set("reserved", r.reserved);
            areas.push(o);
        }
        mouse.set("records", areas);
        j.set("mouse", mouse);
        return j;
    }

    Json module() {
        const ModuleRecords& m = in_.records;
        Json j = Json::object();
        if (!m.fault.empty()) {
            j.set("fault", m.fault);
            return j;
        }
        Json it = Json::array();
        for (int i = 0; i < 2; ++i) {
            Json e = Json::array();
            e.push(hex(m.import_ids[i]));
            e.push(addr_text(m.import_pointers[i]));
            it.push(e);
        }
        j.set("import_table", it);
        j.set("module_id", hex(m.module_id));
        j.set("module_init", addr_text(m.module_init));
        j.set("module_deinit", addr_text(m.module_deinit));
        j.set("flags", m.flags);
        j.set("status", m.status);
        j.set("version", hex(m.version));
        Json gauges = Json::array();
        for (const GaugeRecord& g : m.gauges) gauges.push(gauge(g));
        j.set("gauges", gauges);
        if (!m.gauges_fault.empty()) j.set("gauges_fault", m.gauges_fault);
        return j;
    }

    Json routines() {
        Json j = Json::array();
        for (const RoutineCheck& c : in_.routines) {
            Json o = Json::object();
            o.set("address", hex(c.address, 8));
            Json roles = Json::array();
            for (const std::string& r : c.roles) roles.push(r);
            o.set("roles", roles);
            o.set("named_by", c.named_by.size() == 1 ? Json(c.named_by[0])
                                                      : Json(c.named_by[0] + " and " + std::to_string(c.named_by.size() - 1) + " more"));
            o.set("expected_ret", c.expected ? Json(*c.expected) : Json("roles disagree"));
            Json popped = Json::array();
            for (uint32_t p : c.scan.popped) popped.push(p);
            o.set("ret", popped);
            if (!c.scan.unresolved.empty()) {
                Json u = Json::array();
                for (const std::string& s : c.scan.unresolved) u.push(s);
                o.set("unresolved", u);
            }
            o.set("ok", c.ok);
            j.push(o);
        }
        return j;
    }

    void problem(const std::string& severity, const std::string& where, const std::string& what) {
        in_.problems.push_back({severity, where, what});
    }

private:
    static Json pair(const int32_t* p) {
        Json j = Json::array();
        j.push(p[0]);
        j.push(p[1]);
        return j;
    }
    static std::string type_name(const ResourceId& t) {
        if (t.is_name) return t.name;
        static const std::map<uint32_t, const char*> names = {
            {1, "CURSOR"}, {2, "BITMAP"}, {3, "ICON"}, {4, "MENU"}, {5, "DIALOG"}, {6, "STRING"},
            {10, "RCDATA"}, {14, "GROUP_ICON"}, {16, "VERSION"}, {24, "MANIFEST"}};
        auto it = names.find(t.id);
        return it == names.end() ? std::to_string(t.id) : it->second;
    }
    static Json failure_list(const RecordList<FailureRecord>& l) {
        if (l.addr == 0) return nullptr;
        Json j = Json::array();
        for (const FailureRecord& f : l.items) {
            Json o = Json::array();
            o.push(f.key);
            o.push(f.action);
            j.push(o);
        }
        return j;
    }

    Inspection& in_;
    std::map<uint32_t, const Resource*> bitmaps_;
};

}  // namespace

std::optional<uint32_t> argument_bytes(const std::string& role) {
    for (const RoutineKind& k : kKinds)
        if (role == k.role) return k.argument_bytes;
    return std::nullopt;
}

std::optional<BitmapInfo> bitmap_info(const std::vector<uint8_t>& b) {
    if (b.size() < 12) return std::nullopt;
    const uint32_t header = le32(b.data());
    BitmapInfo info;
    if (header == 12) {  // the old core header: 16-bit sizes
        info.width = le16(&b[4]);
        info.height = le16(&b[6]);
        info.bit_depth = le16(&b[10]);
        return info;
    }
    if (header < 40 || b.size() < 40) return std::nullopt;
    info.width = static_cast<int32_t>(le32(&b[4]));
    const int32_t h = static_cast<int32_t>(le32(&b[8]));
    info.height = h == INT32_MIN ? h : (h < 0 ? -h : h);  // negative: rows stored top-down
    info.bit_depth = le16(&b[14]);
    info.compression = le32(&b[16]);
    return info;
}

std::optional<WaveInfo> wave_info(const std::vector<uint8_t>& b) {
    if (b.size() < 12 || memcmp(b.data(), "RIFF", 4) != 0 || memcmp(&b[8], "WAVE", 4) != 0) return std::nullopt;
    const uint64_t end = std::min<uint64_t>(b.size(), 8ull + le32(&b[4]));
    WaveInfo w;
    bool fmt = false, data = false;
    for (uint64_t at = 12; at + 8 <= end;) {
        const uint32_t size = le32(&b[at + 4]);
        if (at + 8 + size > end) return std::nullopt;
        if (memcmp(&b[at], "fmt ", 4) == 0 && size >= 16) {
            const uint8_t* f = &b[at + 8];
            w.format_tag = le16(f);
            w.channels = le16(f + 2);
            w.samples_per_second = le32(f + 4);
            w.bytes_per_second = le32(f + 8);
            w.block_align = le16(f + 12);
            w.bits_per_sample = le16(f + 14);
            fmt = true;
        } else if (memcmp(&b[at], "data", 4) == 0) {
            w.data_bytes = size;
            data = true;
        }
        at += 8ull + size + (size & 1);
    }
    if (!fmt || !data) return std::nullopt;
    return w;
}

size_t Inspection::count(const char* severity) const {
    return static_cast<size_t>(std::count_if(problems.begin(), problems.end(),
                                             [&](const Problem& p) { return p.severity == severity; }));
}

int Inspection::exit_code() const {
    if (!readable) return 2;
    return count("error") ? 1 : 0;
}

Inspection inspect(std::vector<uint8_t> file, const std::string& file_name) {
    Inspection in;
    in.file_name = file_name;
    const size_t file_size = file.size();
    in.readable = in.image.parse(std::move(file));
    for (const std::string& e : in.image.errors()) in.problems.push_back({"error", "file", e});
    for (const std::string& w : in.image.warnings()) in.problems.push_back({"warning", "file", w});

    in.report.set("file", file_name);
    in.report.set("size", static_cast<unsigned long>(file_size));
    in.report.set("summary", Json::object());
    in.report.set("problems", Json::array());
    if (!in.readable) {
        Json& summary = in.report["summary"];
        summary.set("readable", false);
        summary.set("errors", static_cast<unsigned long>(in.count("error")));
        summary.set("warnings", static_cast<unsigned long>(in.count("warning")));
        Json problems = Json::array();
        for (const Problem& p : in.problems) problems.push(p.severity + ": " + p.where + ": " + p.what);
        in.report.set("problems", problems);
        return in;
    }

    PeRecordSource source(in.image);
    in.records = walk_module(source);
    in.records_read = in.records.fault.empty();
    for (Problem& p : source.problems) in.problems.push_back(std::move(p));

    // Every routine the records name, checked against what its kind must pop.
    RoutineTable table;
    if (in.image.entry_point()) table.add(in.image.image_base() + static_cast<Addr>(in.image.entry_point()), "entry point", "the image");
    if (in.records_read) {
        table.add(in.records.module_init, "module_init", "Linkage");
        table.add(in.records.module_deinit, "module_deinit", "Linkage");
        for (const GaugeRecord& g : in.records.gauges) {
            if (!g.fault.empty()) continue;
            const std::string by = "gauge " + (g.name ? *g.name : addr_text(g.addr));
            for (int r = 0; r < ROUTINE_COUNT; ++r) table.add(g.routines[r], kRoutineNames[r], by);
            if (g.version == 700 || g.version == 800) table.add(g.gauge_callback, "gauge callback", by);
            if (g.root) collect_element_routines(*g.root, g.version, by, table);
            for (const MouseRecord& r : g.mouse.items) table.add(r.handler, "mouse handler", by);
        }
    }
    in.routines = table.take();
    for (RoutineCheck& c : in.routines) {
        std::set<uint32_t> wanted;
        for (const std::string& role : c.roles) wanted.insert(*argument_bytes(role));
        if (wanted.size() == 1) c.expected = *wanted.begin();
        const auto rva = in.image.rva_of(c.address);
        if (rva && in.image.executable(*rva)) c.scan = scan_returns(in.image, *rva);
        else c.scan.unresolved.push_back("not in the module's code");
        c.ok = c.expected && c.scan.unresolved.empty() && c.scan.popped.size() == 1 && *c.scan.popped.begin() == *c.expected;
        if (!c.ok) {
            std::string roles;
            for (const std::string& r : c.roles) roles += (roles.empty() ? "" : ", ") + r;
            std::string got;
            for (uint32_t p : c.scan.popped) got += (got.empty() ? "" : ", ") + std::to_string(p);
            std::string what = roles + ": ";
            if (!c.expected) what += "named in roles that pop different argument sizes";
            else if (c.scan.popped.empty()) what += "no return found";
            else what += "returns with ret " + got + ", its kind pops " + std::to_string(*c.expected);
            for (const std::string& u : c.scan.unresolved) what += "; " + u;
            in.problems.push_back({"error", "routine at " + hex(c.address, 8) + " (" + c.named_by.front() + ")", what});
        }
    }

    ReportBuilder b(in);
    in.report.set("pe", b.pe());
    in.report.set("exports", b.exports());
    in.report.set("imports", b.imports());
    in.report.set("resources", b.resources());
    in.report.set("version_resource", b.version());
    in.report.set("module", b.module());
    in.report.set("routine_returns", b.routines());

    Json& summary = in.report["summary"];
    summary.set("readable", true);
    summary.set("gauges", static_cast<unsigned long>(in.records.gauges.size()));
    summary.set("errors", static_cast<unsigned long>(in.count("error")));
    summary.set("warnings", static_cast<unsigned long>(in.count("warning")));
    Json problems = Json::array();
    for (const Problem& p : in.problems) problems.push(p.severity + ": " + p.where + ": " + p.what);
    in.report.set("problems", problems);
    return in;
}

}  // namespace gauinspect
