#include "host/host.h"

#include <dlfcn.h>
#include <math.h>
#include <string.h>

#include <algorithm>

#include "platform/resources.h"

namespace panel {
namespace {

Host* g_host = nullptr;

Host& live() {
    if (g_host == nullptr) abort();  // a module called the host after it went away
    return *g_host;
}

// The host's function table: each operation forwards to the live Host.
PANELS make_panels() {
    PANELS p{};
    p.element_list_query = [](ELEMENT_HEADER* r) GAUGE_CALL -> uint32_t { live().op_element_list_query(r); return 1; };
    p.element_list_install = [](ELEMENT_HEADER* r, GAUGE_RESOURCE_HANDLE h) GAUGE_CALL -> uint32_t { live().op_element_list_install(r, h); return 1; };
    p.element_list_initialize = [](ELEMENT_HEADER* r) GAUGE_CALL -> uint32_t { live().op_element_list_initialize(r); return 1; };
    p.element_list_update = [](ELEMENT_HEADER* r) GAUGE_CALL -> uint32_t { live().op_element_list_update(r); return 1; };
    p.element_list_generate = [](ELEMENT_HEADER* r, uint32_t phase) GAUGE_CALL -> uint32_t { live().op_element_list_generate(r, phase); return 1; };
    p.element_list_plot = [](ELEMENT_HEADER* r) GAUGE_CALL -> uint32_t { live().op_element_list_plot(r); return 1; };
    p.element_list_kill = [](ELEMENT_HEADER* r) GAUGE_CALL -> uint32_t { live().op_element_list_kill(r); return 1; };
    p.mouse_list_install = [](MOUSERECT* m, GAUGEHDR* g, PIXPOINT* s) GAUGE_CALL -> uint32_t { live().op_mouse_list_install(m, g, s); return 1; };
    p.mouse_list_register = [](MOUSERECT* m, GAUGEHDR* g) GAUGE_CALL -> uint32_t { live().op_mouse_list_register(m, g); return 1; };
    p.mouse_list_unregister = [](MOUSERECT* m, GAUGEHDR* g) GAUGE_CALL -> uint32_t { live().op_mouse_list_unregister(m, g); return 1; };
    p.trigger_key_event = [](uint32_t e, uint32_t v) GAUGE_CALL -> uint32_t { live().op_trigger_key_event(e, v); return 1; };
    p.initialize_var = [](MODULE_VAR* v) GAUGE_CALL -> uint32_t { live().op_initialize_var(v); return 1; };
    p.lookup_var = [](MODULE_VAR* v) GAUGE_CALL -> uint32_t { live().op_lookup_var(v); return 1; };
    return p;
}

PANELS g_panels = make_panels();

constexpr size_t kGuardBytes = 16;
constexpr char kGuardFill = static_cast<char>(0xA5);
constexpr uint32_t kImageTag = 0x31474D49;  // "IMG1"
constexpr int kMaxDepth = 16;
constexpr int kMaxChildren = 256;
constexpr int kMaxMouseRecords = 4096;
constexpr int kMaxMouseNesting = 16;
constexpr int kMaxGauges = 1024;

struct Area {
    int x, y, w, h;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

std::string hex(const void* p) {
    char buf[32];
    snprintf(buf, sizeof buf, "%p", p);
    return buf;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Gauge and module views

std::vector<ElementState>& Gauge::elements() const {
    Host* host = Host::current();
    std::vector<ElementState>* tree = host ? host->tree(root()) : nullptr;
    if (tree == nullptr) throw HostFault("gauge " + name_ + " has no installed element tree");
    return *tree;
}

PIXPOINT Gauge::size() const {
    const ElementState& r = elements().front();
    return r.image ? r.image->size : PIXPOINT{0, 0};
}

MOUSERECT* Gauge::mouse_list() const {
    Host* host = Host::current();
    return host ? host->active_mouse_list(const_cast<Gauge&>(*this)) : nullptr;
}

std::vector<GAUGEHDR*> Module::gauges() const {
    std::vector<GAUGEHDR*> out;
    for (int i = 0; i < kMaxGauges && linkage_->gauges[i] != nullptr; ++i) out.push_back(linkage_->gauges[i]);
    return out;
}

GAUGEHDR* Module::find(const std::string& gauge_name) const {
    for (GAUGEHDR* g : gauges())
        if (g->gauge_name != nullptr && gauge_name == g->gauge_name) return g;
    return nullptr;
}

// ---------------------------------------------------------------------------------------
// Life of the host, modules and gauges

Host::Host() {
    if (g_host != nullptr) throw std::logic_error("only one panel host may exist at a time");
    g_host = this;
    install_aircraft_model(*this);
}

Host::~Host() {
    while (!modules_.empty()) {
        try {
            unload(*modules_.back());
        } catch (...) {
            modules_.pop_back();
        }
    }
    g_host = nullptr;
}

Host* Host::current() { return g_host; }

Module& Host::load(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) throw std::runtime_error("cannot load " + path + ": " + dlerror());
    auto* linkage = static_cast<LINKAGE_HEAD*>(dlsym(handle, "Linkage"));
    auto* imports = static_cast<IMPORT_TABLE*>(dlsym(handle, "ImportTable"));
    if (linkage == nullptr || imports == nullptr) {
        dlclose(handle);
        throw std::runtime_error(path + " does not export Linkage and ImportTable");
    }
    if (imports->panels.id != IMPORT_PANELS_ID) {
        dlclose(handle);
        throw std::runtime_error(path + ": ImportTable does not ask for the panel table");
    }
    auto module = std::make_unique<Module>();
    module->path_ = path;
    module->handle_ = handle;
    module->linkage_ = linkage;
    module->import_table_ = imports;
    imports->panels.table = &g_panels;  // before anything in the module runs
    const size_t before = faults_.size();
    if (linkage->module_init != nullptr) linkage->module_init();
    modules_.push_back(std::move(module));
    raise_faults(before);
    return *modules_.back();
}

void Host::unload(Module& module) {
    for (auto& g : gauges_)
        if (g->module_ == &module && !g->killed_) kill(*g);
    std::erase_if(gauges_, [&](const std::unique_ptr<Gauge>& g) { return g->module_ == &module; });
    if (module.linkage_->module_deinit != nullptr) module.linkage_->module_deinit();
    for (GAUGEHDR* h : module.gauges()) mouse_.erase(h);
    void* handle = module.handle_;
    std::erase_if(modules_, [&](const std::unique_ptr<Module>& m) { return m.get() == &module; });
    dlclose(handle);
}

Gauge& Host::place(Module& module, const std::string& gauge_name, std::optional<std::string> parameter) {
    GAUGEHDR* header = module.find(gauge_name);
    if (header == nullptr) throw std::runtime_error("module " + module.path() + " has no gauge " + gauge_name);
    auto gauge = std::make_unique<Gauge>();
    gauge->module_ = &module;
    gauge->header_ = header;
    gauge->name_ = gauge_name;
    gauge->parameter_ = std::move(parameter);
    Gauge& g = *gauge;
    gauges_.push_back(std::move(gauge));

    const size_t before = faults_.size();
    if (header->version == GAUGE_VERSION_610) {
        header->query();
        header->install(module.handle());
        header->initialize();
    } else if (header->version == GAUGE_VERSION_700 || header->version == GAUGE_VERSION_800) {
        auto* extended = reinterpret_cast<GAUGEHDR_700*>(header);
        extended->parameter_string = g.parameter_ ? g.parameter_->c_str() : nullptr;
        service(g, SERVICE_SETUP, reinterpret_cast<GAUGE_EXTRA_DATA>(module.handle()));
        op_element_list_install(g.root(), module.handle());
        op_element_list_initialize(g.root());
    } else {
        fault("gauge " + gauge_name + " has unknown header version " + std::to_string(header->version));
    }
    raise_faults(before);
    return g;
}

void Host::kill(Gauge& g) {
    if (g.killed_) return;
    const size_t before = faults_.size();
    GAUGEHDR* header = g.header_;
    if (header->version == GAUGE_VERSION_610) {
        header->kill();
    } else {
        service(g, SERVICE_END);
        op_element_list_kill(g.root());
        reinterpret_cast<GAUGEHDR_700*>(header)->parameter_string = nullptr;
    }
    g.killed_ = true;
    // Whatever the gauge left installed goes with it.
    if (trees_.count(g.root()) != 0) release_tree(g.root());
    mouse_.erase(header);
    raise_faults(before);
}

// ---------------------------------------------------------------------------------------
// Running

void Host::frame(int count) {
    for (int i = 0; i < count; ++i) {
        ++frames_;
        for (auto& hook : frame_hooks_) hook(*this);
        const size_t before = faults_.size();
        for (size_t n = 0; n < gauges_.size(); ++n) {
            Gauge& g = *gauges_[n];
            if (g.killed_) continue;
            GAUGEHDR* h = g.header_;
            if (h->version == GAUGE_VERSION_610) {
                h->update();
                h->generate(0);
                h->draw();
            } else {
                service(g, SERVICE_PERIODIC);
                op_element_list_update(g.root());
                op_element_list_generate(g.root(), 0);
                op_element_list_plot(g.root());
            }
        }
        raise_faults(before);
    }
}

void Host::service(Gauge& g, int32_t service_id, GAUGE_EXTRA_DATA extra) {
    GAUGEHDR* h = g.header_;
    if (h->version < GAUGE_VERSION_700 || h->gauge_callback == nullptr) return;
    const size_t before = faults_.size();
    h->gauge_callback(h, service_id, extra);
    raise_faults(before);
}

// ---------------------------------------------------------------------------------------
// Mouse

MOUSERECT* Host::active_mouse_list(Gauge& g) {
    if (g.killed_) return nullptr;
    if (g.version() != GAUGE_VERSION_610) return g.header_->mouse_rect;
    auto it = mouse_.find(g.header_);
    return it != mouse_.end() && it->second.registered ? it->second.list : nullptr;
}

namespace {
// Walks a flat mouse list, giving each record its area in gauge pixels (parents and
// children; child boxes are relative to the innermost open parent, the outermost parent's
// (0, 0, 0, 0) box is the whole gauge) and the number of parents open around it. Stops at
// the end record, at an unknown kind (reported), or when `visit` returns false.
template <class Visit>
bool walk_mouse_list(const MOUSERECT* list, PIXPOINT size, Visit visit) {
    // Open parents; deeper nesting than this is refused as malformed. A fixed stack keeps a
    // click free of allocations.
    Area parents[kMaxMouseNesting];
    int open = 0;
    const Area whole{0, 0, size.x, size.y};
    for (int i = 0; i < kMaxMouseRecords; ++i) {
        const MOUSERECT& r = list[i];
        const Area origin = open == 0 ? whole : parents[open - 1];
        const Area area{origin.x + r.box.x, origin.y + r.box.y, r.box.width, r.box.height};
        switch (r.kind) {
            case MOUSE_END_OF_LIST:
                return true;
            case MOUSE_PARENT_BEGIN: {
                if (open == kMaxMouseNesting) return false;
                const bool outermost_whole = open == 0 && r.box.x == 0 && r.box.y == 0 &&
                                             r.box.width == 0 && r.box.height == 0;
                parents[open++] = outermost_whole ? whole : area;
                if (!visit(i, r, parents[open - 1], open)) return true;
                break;
            }
            case MOUSE_PARENT_END:
                if (open > 0) --open;
                break;
            case MOUSE_CHILD:
                if (!visit(i, r, area, open)) return true;
                break;
            default:
                return false;
        }
    }
    return true;
}
}  // namespace

ClickResult Host::mouse(Gauge& g, int x, int y, Press press) {
    ClickResult result;
    MOUSERECT* list = active_mouse_list(g);
    if (list == nullptr) return result;
    const size_t before = faults_.size();
    const MOUSERECT* hit = nullptr;
    Area hit_area{};
    const bool well_formed = walk_mouse_list(list, g.size(), [&](int i, const MOUSERECT& r, const Area& area, int) {
        if (r.kind != MOUSE_CHILD || !area.contains(x, y)) return true;
        const uint32_t wanted = press == Press::single ? MOUSE_LEFT_SINGLE : MOUSE_LEFT_REPEAT;
        if ((r.mouse_flags & wanted) == 0) return true;
        result.area = i;
        hit = &r;
        hit_area = area;
        return false;
    });
    if (!well_formed) fault("mouse list of " + g.name() + " holds a record of unknown kind or nests too deep");
    if (hit != nullptr && hit->handler != nullptr) {
        PIXPOINT at{x - hit_area.x, y - hit_area.y};
        hit->handler(&at, press == Press::single ? MOUSE_LEFT_SINGLE : MOUSE_LEFT_HELD);
        result.handled = true;
    } else if (hit != nullptr && hit->event_id != 0) {
        fire_event(hit->event_id, 0);
        result.handled = true;
    }
    raise_faults(before);
    return result;
}

void Host::hold(Gauge& g, int x, int y, int repeats) {
    click(g, x, y);
    for (int i = 0; i < repeats; ++i) {
        frame();
        repeat(g, x, y);
    }
}

int32_t Host::help_id_at(Gauge& g, int x, int y) {
    MOUSERECT* list = active_mouse_list(g);
    if (list == nullptr) return 0;
    // under[d]: the point lies inside the open parent at depth d and all around it.
    bool under[kMaxMouseNesting + 1] = {true};
    int32_t help = 0;
    int deepest = 0;
    walk_mouse_list(list, g.size(), [&](int, const MOUSERECT& r, const Area& area, int depth) {
        if (r.kind != MOUSE_PARENT_BEGIN) return true;
        under[depth] = under[depth - 1] && area.contains(x, y);
        if (under[depth] && depth > deepest) {
            deepest = depth;
            help = r.help_id;
        }
        return true;
    });
    return help;
}

int32_t Host::cursor_at(Gauge& g, int x, int y) {
    MOUSERECT* list = active_mouse_list(g);
    int32_t cursor = CURSOR_NONE;
    if (list == nullptr) return cursor;
    walk_mouse_list(list, g.size(), [&](int, const MOUSERECT& r, const Area& area, int) {
        if (r.kind != MOUSE_CHILD || !area.contains(x, y)) return true;
        cursor = r.cursor;
        return false;
    });
    return cursor;
}

// ---------------------------------------------------------------------------------------
// Tokens and events

void Host::set_token(int32_t id, double value) {
    Token& t = tokens_[id];
    t.integer = false;
    t.n = value;
}

void Host::set_token_u32(int32_t id, uint32_t value) {
    Token& t = tokens_[id];
    t.integer = true;
    t.u = value;
}

void Host::declare_integer_token(int32_t id, uint32_t initial) { set_token_u32(id, initial); }

double Host::token(int32_t id) const {
    auto it = tokens_.find(id);
    if (it == tokens_.end()) return 0.0;
    return it->second.integer ? static_cast<double>(it->second.u) : it->second.n;
}

uint32_t Host::token_u32(int32_t id) const {
    auto it = tokens_.find(id);
    if (it == tokens_.end()) return 0;
    if (it->second.integer) return it->second.u;
    const double n = it->second.n;
    return n >= 0.0 && n < 4294967296.0 ? static_cast<uint32_t>(n) : 0;
}

bool Host::token_is_integer(int32_t id) const {
    auto it = tokens_.find(id);
    return it != tokens_.end() && it->second.integer;
}

void Host::fire_event(uint32_t event_id, uint32_t value) {
    events_.push_back({event_id, value});
    auto it = event_models_.find(event_id);
    if (it != event_models_.end()) it->second(*this, value);
}

// ---------------------------------------------------------------------------------------
// Host operations

void Host::fault(const std::string& what) { faults_.push_back(what); }

void Host::raise_faults(size_t before) {
    if (faults_.size() > before) throw HostFault(faults_[before]);
}

std::vector<ElementState>* Host::tree(ELEMENT_HEADER* root) {
    auto it = trees_.find(root);
    return it == trees_.end() ? nullptr : &it->second->elements;
}

HOST_IMAGE* Host::load_image(Tree& tree, int32_t resource_id) {
    if (resource_id < 0 || resource_id > 0xFFFF) return nullptr;
    platform::ResourceBytes bytes;
    if (!platform::find_module_resource(tree.resources, {platform::RES_TYPE_BITMAP, nullptr},
                                        {static_cast<uint16_t>(resource_id), nullptr}, &bytes)) {
        return nullptr;
    }
    auto bitmap = std::make_unique<Bitmap>();
    std::string error;
    if (!decode_dib(bytes.data, bytes.size, bitmap.get(), &error)) {
        fault("bitmap " + std::to_string(resource_id) + ": " + error);
        return nullptr;
    }
    auto image = std::make_unique<HOST_IMAGE>(HOST_IMAGE{kImageTag, {bitmap->width, bitmap->height}, bitmap.get()});
    tree.bitmaps.push_back(std::move(bitmap));
    tree.images.push_back(std::move(image));
    return tree.images.back().get();
}

void Host::build_tree(Tree& tree, ELEMENT_HEADER* element, int parent, int depth, int guard) {
    if (depth > kMaxDepth || guard > 4096) {
        fault("element tree deeper than " + std::to_string(kMaxDepth) + " levels (a cycle?)");
        return;
    }
    ElementState e;
    e.record = element;
    e.parent = parent;
    e.depth = depth;
    e.type = element->type;
    switch (element->type) {
        case ELEMENT_TYPE_STATIC_IMAGE:
            e.image = load_image(tree, element->resource_id);
            if (e.image == nullptr) fault("static image " + std::to_string(element->resource_id) + " has no bitmap");
            break;
        case ELEMENT_TYPE_NEEDLE:
            e.image = load_image(tree, element->resource_id);
            if (e.image == nullptr) fault("needle " + std::to_string(element->resource_id) + " has no bitmap");
            break;
        case ELEMENT_TYPE_ICON: {
            const int32_t count = reinterpret_cast<ELEMENT_ICON*>(element)->picture_count;
            for (int32_t n = 0; n < std::min(count, 256); ++n) e.pictures.push_back(load_image(tree, element->resource_id + n));
            break;
        }
        case ELEMENT_TYPE_STRING: {
            const int32_t max_chars = reinterpret_cast<ELEMENT_STRING*>(element)->max_chars;
            const size_t usable = static_cast<size_t>(std::clamp(max_chars, 0, 4096)) + 1;
            e.text_buffer.assign(usable, '\0');
            e.text_buffer.resize(usable + kGuardBytes, kGuardFill);
            break;
        }
        default:
            fault("element " + hex(element) + " has unknown type " + std::to_string(element->type));
            break;
    }
    const int index = static_cast<int>(tree.elements.size());
    tree.elements.push_back(std::move(e));
    if (element->children == nullptr) return;
    for (int c = 0; c < kMaxChildren && element->children[c] != nullptr; ++c)
        build_tree(tree, element->children[c], index, depth + 1, guard + 1);
}

void Host::release_tree(ELEMENT_HEADER* root) {
    auto it = trees_.find(root);
    if (it == trees_.end()) return;
    for (ElementState& e : it->second->elements) {
        if (e.type == ELEMENT_TYPE_STATIC_IMAGE) reinterpret_cast<ELEMENT_STATIC_IMAGE*>(e.record)->image = nullptr;
        if (e.type == ELEMENT_TYPE_STRING) reinterpret_cast<ELEMENT_STRING*>(e.record)->text = nullptr;
    }
    trees_.erase(it);
}

void Host::op_element_list_query(ELEMENT_HEADER* root) {
    log_op("element_list_query", root, nullptr, nullptr);
    if (root == nullptr) fault("element_list_query without a root");
}

void Host::op_element_list_install(ELEMENT_HEADER* root, GAUGE_RESOURCE_HANDLE resources) {
    log_op("element_list_install", root, nullptr, nullptr);
    if (root == nullptr) return fault("element_list_install without a root");
    release_tree(root);
    auto tree = std::make_unique<Tree>();
    tree->resources = resources;
    build_tree(*tree, root, -1, 0, 0);
    for (ElementState& e : tree->elements) {
        if (e.type == ELEMENT_TYPE_STATIC_IMAGE) reinterpret_cast<ELEMENT_STATIC_IMAGE*>(e.record)->image = e.image;
        if (e.type == ELEMENT_TYPE_STRING) reinterpret_cast<ELEMENT_STRING*>(e.record)->text = e.text_buffer.data();
    }
    trees_[root] = std::move(tree);
}

void Host::op_element_list_initialize(ELEMENT_HEADER* root) {
    log_op("element_list_initialize", root, nullptr, nullptr);
    if (tree(root) == nullptr) fault("element_list_initialize of a tree that was never installed");
}

void Host::refresh(MODULE_VAR& var) {
    auto it = tokens_.find(var.id);
    if (it != tokens_.end() && it->second.integer) {
        var.value.n = 0.0;
        var.value.u = it->second.u;
    } else {
        var.value.n = it == tokens_.end() ? 0.0 : it->second.n;
    }
}

double Host::numeric(const MODULE_VAR& var) const {
    return token_is_integer(var.id) ? static_cast<double>(var.value.u) : var.value.n;
}

void Host::check_guard(ElementState& e) {
    const size_t usable = e.text_buffer.size() - kGuardBytes;
    for (size_t i = usable; i < e.text_buffer.size(); ++i) {
        if (e.text_buffer[i] != kGuardFill) {
            fault("string element " + hex(e.record) + " overran its text buffer of " + std::to_string(usable) + " bytes");
            std::fill(e.text_buffer.begin() + static_cast<long>(usable), e.text_buffer.end(), kGuardFill);
            break;
        }
    }
    const char* text = e.text_buffer.data();
    const void* nul = memchr(text, '\0', usable);
    if (nul == nullptr) {
        fault("string element " + hex(e.record) + " left its text without a terminating null");
        e.text.assign(text, usable);
    } else {
        e.text.assign(text, static_cast<const char*>(nul));
    }
}

void Host::evaluate(ElementState& e) {
    ++e.evaluations;
    const uint32_t version = e.record->gauge_header ? e.record->gauge_header->version : GAUGE_VERSION_610;
    switch (e.type) {
        case ELEMENT_TYPE_NEEDLE: {
            auto* needle = reinterpret_cast<ELEMENT_NEEDLE*>(e.record);
            refresh(needle->source_var);
            if (version == GAUGE_VERSION_610) {
                e.value = needle->callback ? needle->callback(&needle->source_var) : numeric(needle->source_var);
            } else {
                auto* needle700 = reinterpret_cast<ELEMENT_NEEDLE_700*>(e.record);
                e.value = needle700->callback ? needle700->callback(needle700) : numeric(needle->source_var);
            }
            interpolate(needle->nonlinearity, needle->nonlinearity_count, e.value, &e.point_x, &e.point_y);
            break;
        }
        case ELEMENT_TYPE_STRING: {
            auto* string = reinterpret_cast<ELEMENT_STRING*>(e.record);
            for (MODULE_VAR& var : string->source_vars) refresh(var);
            const double argument = numeric(string->source_vars[0]);
            e.value = string->callback ? string->callback(argument) : argument;
            check_guard(e);
            break;
        }
        case ELEMENT_TYPE_ICON: {
            auto* icon = reinterpret_cast<ELEMENT_ICON*>(e.record);
            refresh(icon->source_var);
            e.value = icon->callback ? icon->callback(icon) : numeric(icon->source_var);
            const double index = e.value * icon->value_factor;
            e.icon_index = index >= 0.0 && index < icon->picture_count ? static_cast<int>(index) : -1;
            break;
        }
        default:
            break;
    }
}

void Host::op_element_list_update(ELEMENT_HEADER* root) {
    log_op("element_list_update", root, nullptr, nullptr);
    auto it = trees_.find(root);
    if (it == trees_.end()) return fault("element_list_update of a tree that was never installed");
    // Index, not reference: a callback never changes the tree's shape, but stay safe.
    for (size_t i = 0; i < it->second->elements.size(); ++i) evaluate(it->second->elements[i]);
}

void Host::op_element_list_generate(ELEMENT_HEADER* root, uint32_t) {
    log_op("element_list_generate", root, nullptr, nullptr);
    if (tree(root) == nullptr) fault("element_list_generate of a tree that was never installed");
}

void Host::op_element_list_plot(ELEMENT_HEADER* root) {
    log_op("element_list_plot", root, nullptr, nullptr);
    if (tree(root) == nullptr) fault("element_list_plot of a tree that was never installed");
}

void Host::op_element_list_kill(ELEMENT_HEADER* root) {
    log_op("element_list_kill", root, nullptr, nullptr);
    if (tree(root) == nullptr) return fault("element_list_kill of a tree that was never installed");
    release_tree(root);
}

void Host::op_mouse_list_install(MOUSERECT* list, GAUGEHDR* gauge, PIXPOINT* size) {
    log_op("mouse_list_install", list, gauge, size);
    if (list == nullptr || gauge == nullptr) return fault("mouse_list_install without list or gauge");
    mouse_[gauge] = {list, size, false};
}

void Host::op_mouse_list_register(MOUSERECT* list, GAUGEHDR* gauge) {
    log_op("mouse_list_register", list, gauge, nullptr);
    auto it = mouse_.find(gauge);
    if (it == mouse_.end() || it->second.list != list) return fault("mouse_list_register of a list that was never installed");
    it->second.registered = true;
}

void Host::op_mouse_list_unregister(MOUSERECT* list, GAUGEHDR* gauge) {
    log_op("mouse_list_unregister", list, gauge, nullptr);
    auto it = mouse_.find(gauge);
    if (it == mouse_.end() || it->second.list != list || !it->second.registered)
        return fault("mouse_list_unregister of a list that is not registered");
    it->second.registered = false;
}

void Host::op_trigger_key_event(uint32_t event_id, uint32_t value) { fire_event(event_id, value); }

void Host::op_initialize_var(MODULE_VAR* var) {
    if (var == nullptr) return fault("initialize_var without a record");
    var->host_kind = 1;
    refresh(*var);
}

void Host::op_lookup_var(MODULE_VAR* var) {
    if (var == nullptr) return fault("lookup_var without a record");
    refresh(*var);
}

void Host::interpolate(const NONLINEARITY* table, uint32_t count, double value, double* x, double* y) {
    if (table == nullptr || count == 0) {
        *x = *y = 0.0;
        return;
    }
    const NONLINEARITY& first = table[0];
    const NONLINEARITY& last = table[count - 1];
    if (!(value > first.value)) {  // below the scale, or not a number
        *x = first.x;
        *y = first.y;
        return;
    }
    if (value >= last.value) {
        *x = last.x;
        *y = last.y;
        return;
    }
    for (uint32_t i = 0; i + 1 < count; ++i) {
        const NONLINEARITY& a = table[i];
        const NONLINEARITY& b = table[i + 1];
        if (value >= a.value && value <= b.value) {
            const double t = b.value > a.value ? (value - a.value) / (b.value - a.value) : 0.0;
            *x = a.x + (b.x - a.x) * t;
            *y = a.y + (b.y - a.y) * t;
            return;
        }
    }
    *x = last.x;
    *y = last.y;
}

}  // namespace panel
