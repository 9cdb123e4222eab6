#include "tools/gauinspect/native_records.h"

#include <dlfcn.h>
#include <string.h>

#include <map>

#include "framework/records.h"
#include "host/host.h"

namespace gauinspect {

namespace {

template <class T>
Addr addr_of(T* p) {
    return static_cast<Addr>(reinterpret_cast<uintptr_t>(p));
}
template <class R, class... A>
Addr addr_of(R(GAUGE_CALL* fn)(A...)) {
    return static_cast<Addr>(reinterpret_cast<uintptr_t>(fn));
}

VarRecord var_of(const MODULE_VAR& v) {
    VarRecord r;
    r.id = v.id;
    r.host_link = addr_of(v.host_link);
    r.host_kind = v.host_kind;
    memcpy(&r.value_bits, &v.value, sizeof r.value_bits);
    r.host_tail[0] = v.host_tail[0];
    r.host_tail[1] = v.host_tail[1];
    return r;
}

template <class T, size_t N>
bool nonzero(const T (&words)[N]) {
    for (const T& w : words)
        if (w) return true;
    return false;
}

class NativeRecordSource : public RecordSource {
public:
    NativeRecordSource(void* handle, const std::map<size_t, uintptr_t>& mouse_offsets)
        : handle_(handle), mouse_offsets_(mouse_offsets) {
        Dl_info info{};
        if (void* l = dlsym(handle, "Linkage"); l && dladdr(l, &info)) base_ = reinterpret_cast<uintptr_t>(info.dli_fbase);
    }

    bool read_linkage(ModuleRecords& m) override {
        auto* imports = static_cast<IMPORT_TABLE*>(dlsym(handle_, "ImportTable"));
        if (imports) {
            m.import_ids[0] = imports->panels.id;
            m.import_pointers[0] = addr_of(imports->panels.table);
            m.import_ids[1] = imports->end.id;
            m.import_pointers[1] = addr_of(imports->end.table);
        } else {
            problem("error", "the module does not export ImportTable");
        }
        auto* l = static_cast<LINKAGE_HEAD*>(dlsym(handle_, "Linkage"));
        if (l == nullptr) {
            m.fault = "the module does not export Linkage";
            return false;
        }
        m.module_id = l->module_id;
        m.module_init = addr_of(l->module_init);
        m.module_deinit = addr_of(l->module_deinit);
        m.flags = l->flags;
        m.status = l->status;
        m.version = l->version;
        m.gauges_addr = addr_of(&l->gauges[0]);
        return true;
    }

    bool read_list_pointer(Addr list, size_t index, Addr* out) override {
        auto* entry = reinterpret_cast<void* const*>(list) + index;
        if (!inside(entry, sizeof *entry)) return false;
        *out = addr_of(*entry);
        return true;
    }

    bool read_gauge(Addr at, GaugeRecord& g) override {
        auto* h = reinterpret_cast<GAUGEHDR*>(at);
        if (!inside(h, sizeof *h)) return false;
        g.version = h->version;
        g.name_addr = addr_of(h->gauge_name);
        g.elements_list_addr = addr_of(h->elements_list);
        g.routines[QUERY] = addr_of(h->query);
        g.routines[INSTALL] = addr_of(h->install);
        g.routines[INITIALIZE] = addr_of(h->initialize);
        g.routines[UPDATE] = addr_of(h->update);
        g.routines[GENERATE] = addr_of(h->generate);
        g.routines[DRAW] = addr_of(h->draw);
        g.routines[KILL] = addr_of(h->kill);
        g.reserved_40 = h->reserved_40;
        g.size_x_mm = h->size_x_mm;
        g.size_y_mm = h->size_y_mm;
        for (int i = 0; i < 7; ++i) g.reserved_52[i] = h->reserved_52[i];
        g.mouse_rect = addr_of(h->mouse_rect);
        g.gauge_callback = addr_of(h->gauge_callback);
        if (h->version == 700) extended(reinterpret_cast<GAUGEHDR_700*>(h), g);
        if (h->version == 800) extended(reinterpret_cast<GAUGEHDR_800*>(h), g);
        return true;
    }

    bool read_element(Addr at, uint32_t version, ElementRecord& e) override {
        auto* h = reinterpret_cast<ELEMENT_HEADER*>(at);
        if (!inside(h, sizeof *h)) return false;
        const bool v610 = version == 610;
        switch (h->type) {
        case ELEMENT_TYPE_STATIC_IMAGE:
            if (v610) return static_image(reinterpret_cast<ELEMENT_STATIC_IMAGE*>(h), e);
            return static_image(reinterpret_cast<ELEMENT_STATIC_IMAGE_700*>(h), e);
        case ELEMENT_TYPE_NEEDLE:
            if (v610) return needle(reinterpret_cast<ELEMENT_NEEDLE*>(h), nullptr, e);
            return needle(&reinterpret_cast<ELEMENT_NEEDLE_700*>(h)->needle, reinterpret_cast<ELEMENT_NEEDLE_700*>(h), e);
        case ELEMENT_TYPE_STRING:
            if (!v610) {
                e.fault = "string element in a version-" + std::to_string(version) + " header: its layout is not known";
                return false;
            }
            return string(reinterpret_cast<ELEMENT_STRING*>(h), e);
        case ELEMENT_TYPE_ICON:
            if (v610) {
                e.fault = "icon element in a version-610 header: its layout is not known";
                return false;
            }
            return icon(reinterpret_cast<ELEMENT_ICON*>(h), e);
        default:
            e.fault = "unknown element type " + std::to_string(h->type);
            return false;
        }
    }

    bool read_failure(Addr list, size_t index, FailureRecord& out) override {
        auto* r = reinterpret_cast<FAILURE_RECORD*>(list) + index;
        if (!inside(r, sizeof *r)) return false;
        out = {r->key, r->action, r->zero};
        return true;
    }

    bool read_highlight(Addr list, size_t index, HighlightRecord& out) override {
        auto* r = reinterpret_cast<HIGHLIGHT_RECORD*>(list) + index;
        if (!inside(r, sizeof *r)) return false;
        out = {r->selection_id, r->first, r->last};
        return true;
    }

    bool read_scale_point(Addr table, size_t index, ScalePoint& out) override {
        auto* p = reinterpret_cast<NONLINEARITY*>(table) + index;
        if (!inside(p, sizeof *p)) return false;
        out.x = p->x;
        out.y = p->y;
        out.value = p->value;
        memcpy(&out.host_bits, &p->host_owned, sizeof out.host_bits);
        return true;
    }

    bool read_mouse(Addr list, size_t index, MouseRecord& out) override {
        auto* r = reinterpret_cast<MOUSERECT*>(list) + index;
        if (!inside(r, sizeof *r)) return false;
        out.kind = r->kind;
        out.box[0] = r->box.x;
        out.box[1] = r->box.y;
        out.box[2] = r->box.width;
        out.box[3] = r->box.height;
        out.cursor = r->cursor;
        out.help_id = r->help_id;
        out.mouse_flags = r->mouse_flags;
        out.event_id = r->event_id;
        out.handler = addr_of(r->handler);
        out.reserved = r->reserved;
        return true;
    }

    std::optional<std::string> read_text(Addr at) override {
        const char* p = reinterpret_cast<const char*>(at);
        std::string out;
        for (size_t i = 0; i < 256; ++i) {
            if (!inside(p + i, 1)) return std::nullopt;
            if (p[i] == '\0') return out;
            out += p[i];
        }
        return std::nullopt;
    }

    Addr mouse_list_610(const GaugeRecord& g, std::string* why) override {
        // The walker meets gauges in Linkage order; the host run recorded them the same way.
        const size_t index = gauge_index(g.addr);
        auto it = mouse_offsets_.find(index);
        if (it == mouse_offsets_.end()) {
            *why = "the install routine hands over no mouse list";
            return 0;
        }
        return static_cast<Addr>(base_ + it->second);
    }

private:
    // True when the whole range lies in this module's mapping.
    bool inside(const void* p, size_t size) const {
        if (p == nullptr) return false;
        Dl_info first{}, last{};
        if (!dladdr(p, &first) || !dladdr(static_cast<const char*>(p) + size - 1, &last)) return false;
        return reinterpret_cast<uintptr_t>(first.dli_fbase) == base_ && reinterpret_cast<uintptr_t>(last.dli_fbase) == base_;
    }

    size_t gauge_index(Addr header) {
        auto* l = static_cast<LINKAGE_HEAD*>(dlsym(handle_, "Linkage"));
        for (size_t i = 0; l && i < 1024 && l->gauges[i]; ++i)
            if (addr_of(l->gauges[i]) == header) return i;
        return SIZE_MAX;
    }

    template <class H>
    void extended(H* h, GaugeRecord& g) {
        if (!inside(h, sizeof *h)) return;
        g.extended = true;
        g.user_data = h->user_data;
        g.parameter_string = addr_of(h->parameter_string);
        g.reserved_tail_words = sizeof h->reserved_96 / sizeof h->reserved_96[0];
        g.reserved_tail_zero = !nonzero(h->reserved_96);
    }

    void header(const ELEMENT_HEADER& h, ElementRecord& e) {
        e.type = h.type;
        e.resource_id = h.resource_id;
        e.position[0] = h.position.x;
        e.position[1] = h.position.y;
        e.offset[0] = h.offset.x;
        e.offset[1] = h.offset.y;
        e.gauge_header = addr_of(h.gauge_header);
        e.children_addr = addr_of(h.children);
        e.failures.addr = addr_of(h.failures);
        e.image_flags = h.image_flags;
        e.reserved[0] = h.reserved[0];
        e.reserved[1] = h.reserved[1];
        if (nonzero(h.host_owned_16)) e.host_owned_nonzero.push_back("host_owned_16");
        if (h.host_owned_36) e.host_owned_nonzero.push_back("host_owned_36");
    }

    template <class T>
    bool static_image(T* s, ElementRecord& e) {
        if (!inside(s, sizeof *s)) return false;
        header(s->header, e);
        if (s->image) e.host_owned_nonzero.push_back("image");
        if (nonzero(s->host_owned)) e.host_owned_nonzero.push_back("host_owned");
        return true;
    }

    bool needle(ELEMENT_NEEDLE* n, ELEMENT_NEEDLE_700* n700, ElementRecord& e) {
        if (!inside(n, n700 ? sizeof *n700 : sizeof *n)) return false;
        header(n->header, e);
        NeedleBody& b = e.needle.emplace();
        b.source_var = var_of(n->source_var);
        b.callback_610 = addr_of(n->callback);
        b.scale_words[0] = n->scale_words[0];
        b.scale_words[1] = n->scale_words[1];
        b.nonlinearity.addr = addr_of(n->nonlinearity);
        b.nonlinearity_count = n->nonlinearity_count;
        if (nonzero(n->host_owned_92)) e.host_owned_nonzero.push_back("host_owned_92");
        if (nonzero(n->host_owned_120)) e.host_owned_nonzero.push_back("host_owned_120");
        if (n700) {
            b.callback_700 = addr_of(n700->callback);
            if (nonzero(n700->host_owned_228)) e.host_owned_nonzero.push_back("host_owned_228");
        }
        return true;
    }

    bool string(ELEMENT_STRING* s, ElementRecord& e) {
        if (!inside(s, sizeof *s)) return false;
        header(s->header, e);
        StringBody& b = e.string.emplace();
        for (int i = 0; i < 3; ++i) b.source_vars[i] = var_of(s->source_vars[i]);
        b.callback = addr_of(s->callback);
        b.box_size[0] = s->box_size.x;
        b.box_size[1] = s->box_size.y;
        b.text_color = s->text_color;
        b.background_color = s->background_color;
        b.highlight_color = s->highlight_color;
        const size_t len = strnlen(s->font_name, sizeof s->font_name);
        b.font_name.assign(s->font_name, len);
        b.font_name_padded = len < sizeof s->font_name;
        for (size_t i = len; i < sizeof s->font_name; ++i) b.font_name_padded &= s->font_name[i] == '\0';
        b.font_weight = s->font_weight;
        b.font_charset = s->font_charset;
        b.text_format = s->text_format;
        b.max_chars = s->max_chars;
        b.highlights.addr = addr_of(s->highlight_list);
        if (nonzero(s->host_owned_144)) e.host_owned_nonzero.push_back("host_owned_144");
        if (s->text) e.host_owned_nonzero.push_back("text");
        if (s->host_owned_188) e.host_owned_nonzero.push_back("host_owned_188");
        if (nonzero(s->host_owned_200)) e.host_owned_nonzero.push_back("host_owned_200");
        if (nonzero(s->host_owned_220)) e.host_owned_nonzero.push_back("host_owned_220");
        if (s->host_owned_296) e.host_owned_nonzero.push_back("host_owned_296");
        if (nonzero(s->host_owned_304)) e.host_owned_nonzero.push_back("host_owned_304");
        return true;
    }

    bool icon(ELEMENT_ICON* c, ElementRecord& e) {
        if (!inside(c, sizeof *c)) return false;
        header(c->header, e);
        IconBody& b = e.icon.emplace();
        b.source_var = var_of(c->source_var);
        b.value_factor = c->value_factor;
        b.picture_count = c->picture_count;
        b.callback = addr_of(c->callback);
        if (nonzero(c->host_owned_88)) e.host_owned_nonzero.push_back("host_owned_88");
        if (c->host_owned_108) e.host_owned_nonzero.push_back("host_owned_108");
        if (nonzero(c->host_owned_116)) e.host_owned_nonzero.push_back("host_owned_116");
        return true;
    }

    void* handle_;
    uintptr_t base_ = 0;
    const std::map<size_t, uintptr_t>& mouse_offsets_;
};

uintptr_t module_base(const void* inside_module) {
    Dl_info info{};
    return dladdr(inside_module, &info) ? reinterpret_cast<uintptr_t>(info.dli_fbase) : 0;
}

}  // namespace

NativeRead read_native_module(const std::string& path) {
    NativeRead result;
    // First load: the host places each version-610 gauge; the list its install routine hands
    // to mouse_list_install is kept as an offset into the module, which the second load maps
    // afresh.
    std::map<size_t, uintptr_t> mouse_offsets;
    try {
        panel::Host host;
        panel::Module& m = host.load(path);
        const uintptr_t base = module_base(m.linkage());
        const std::vector<GAUGEHDR*> gauges = m.gauges();
        for (size_t i = 0; i < gauges.size(); ++i) {
            if (gauges[i]->version != 610) continue;
            host.clear_ops();
            try {
                panel::Gauge& g = host.place(m, gauges[i]->gauge_name);
                for (const panel::OpCall& op : host.ops())
                    if (op.op == "mouse_list_install" && op.gauge == gauges[i] && op.subject)
                        mouse_offsets[i] = reinterpret_cast<uintptr_t>(op.subject) - base;
                host.kill(g);
            } catch (const std::exception& e) {
                result.problems.push_back({"error", std::string("gauge ") + gauges[i]->gauge_name, std::string("placing it failed: ") + e.what()});
            }
        }
    } catch (const std::exception& e) {
        result.error = std::string("the host could not load the module: ") + e.what();
        return result;
    }

    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        result.error = std::string("dlopen: ") + dlerror();
        return result;
    }
    {
        NativeRecordSource source(handle, mouse_offsets);
        result.records = walk_module(source);
        for (Problem& p : source.problems) result.problems.push_back(std::move(p));
    }
    dlclose(handle);
    return result;
}

}  // namespace gauinspect
