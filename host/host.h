// The panel host emulator: our stand-in for the simulator's panel system.
//
// It loads a gauge module as the simulator loads a .gau (here a native loadable module),
// writes its function table into the module's ImportTable, places gauges by name, drives
// their routines, element trees, gauge callbacks and mouse lists, keeps the simulated
// aircraft's token variables and applies the key events the gauges fire. Tests and the panel
// bench drive it like a pilot: frames, clicks and holds at gauge pixels.
//
// Only one Host exists at a time: the host's function table carries no context, so its
// operations reach the live Host through a process-wide pointer.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/records.h"
#include "host/bitmap.h"

namespace panel {

// A contract violation the host detected while module code ran (a text buffer overrun, an
// unterminated string, an operation on a tree that was never installed, ...).
struct HostFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The host's record of a loaded bitmap. Modules read only bytes 4 to 11 (the size).
struct HOST_IMAGE {
    uint32_t tag;           // 'IMG1'
    PIXPOINT size;          // bytes 4 to 11: width and height in pixels
    const Bitmap* bitmap;   // the decoded pixels, for drawing
};

// Every key event a gauge or the host fired, in order.
struct Event {
    uint32_t id;
    uint32_t value;
    bool operator==(const Event&) const = default;
};

// One call of a host operation, as a module made it.
struct OpCall {
    std::string op;               // operation name, e.g. "element_list_install"
    const void* subject;          // root element or mouse list
    const void* gauge;            // gauge header (mouse operations)
    const void* size;             // size pointer (mouse_list_install)
};

// What the host knows about one element of an installed tree, and what it would draw.
struct ElementState {
    ELEMENT_HEADER* record = nullptr;
    int parent = -1;              // index of the parent in the tree, -1 for the root
    int depth = 0;
    uint32_t type = 0;
    // Bitmaps loaded at install: the element's own image (static image, needle) or the icon's
    // pictures (nullptr where the module supplies no bitmap).
    HOST_IMAGE* image = nullptr;
    std::vector<HOST_IMAGE*> pictures;
    // Text buffer of a string: max_chars + 1 bytes, then guard bytes.
    std::vector<char> text_buffer;
    // Results of the last evaluation.
    int evaluations = 0;
    double value = 0.0;           // needle value, icon value, string callback result
    double point_x = 0.0;         // where a needle aims (interpolated on its scale)
    double point_y = 0.0;
    int icon_index = -1;          // -1: no picture drawn
    std::string text;             // string text as the callback wrote it

    bool hidden() const { return (record->image_flags & IMAGE_HIDDEN) != 0; }
};

class Module;

// A gauge the panel placed.
class Gauge {
public:
    GAUGEHDR* header() const { return header_; }
    uint32_t version() const { return header_->version; }
    const std::string& name() const { return name_; }
    Module& module() const { return *module_; }
    ELEMENT_HEADER* root() const { return header_->elements_list[0]; }
    // The installed tree of this gauge's root: elements in drawing order (pre-order).
    std::vector<ElementState>& elements() const;
    ElementState& element(size_t index) const { return elements().at(index); }
    // The gauge's size in pixels: its root bitmap's size.
    PIXPOINT size() const;
    // The active mouse list: the registered list (610) or the header's list (700/800).
    MOUSERECT* mouse_list() const;
    bool killed() const { return killed_; }

private:
    friend class Host;
    Module* module_ = nullptr;
    GAUGEHDR* header_ = nullptr;
    std::string name_;
    std::optional<std::string> parameter_;
    bool killed_ = false;
};

// A loaded gauge module.
class Module {
public:
    const std::string& path() const { return path_; }
    void* handle() const { return handle_; }           // also the module's resource handle
    LINKAGE_HEAD* linkage() const { return linkage_; }
    IMPORT_TABLE* import_table() const { return import_table_; }
    // The gauge headers listed in Linkage, in order.
    std::vector<GAUGEHDR*> gauges() const;
    GAUGEHDR* find(const std::string& gauge_name) const;

private:
    friend class Host;
    std::string path_;
    void* handle_ = nullptr;
    LINKAGE_HEAD* linkage_ = nullptr;
    IMPORT_TABLE* import_table_ = nullptr;
};

enum class Press { single, repeat };

// What one click did.
struct ClickResult {
    int area = -1;                // index of the mouse record that acted, -1 for none
    bool handled = false;         // a handler ran or an event was fired
};

class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The live host (for the host operations), or nullptr.
    static Host* current();

    // --- modules and gauges -----------------------------------------------------------
    // Loads a module: writes the host table into ImportTable, then calls module_init.
    Module& load(const std::string& path);
    // Kills the module's remaining gauges, calls module_deinit and unloads it.
    void unload(Module& module);
    // Places a gauge by name with an optional parameter text. Version 610: query, install
    // (resource handle), initialize. Version 700/800: the parameter text is written, service
    // 2 is sent with the resource handle, then the host installs and initialises the tree
    // that the header carries.
    Gauge& place(Module& module, const std::string& gauge_name,
                 std::optional<std::string> parameter = std::nullopt);
    // Ends a gauge. Version 610: its kill routine. Version 700/800: service 12, then the
    // host kills the tree.
    void kill(Gauge& gauge);
    const std::vector<std::unique_ptr<Gauge>>& gauges() const { return gauges_; }

    // --- running ---------------------------------------------------------------------
    // One update/generate/draw cycle of every live gauge in placement order; version
    // 700/800 gauges get service 6 before their update.
    void frame(int count = 1);
    // Sends a service id to a gauge's callback (if it has one).
    void service(Gauge& gauge, int32_t service_id, GAUGE_EXTRA_DATA extra = 0);
    // Hook run at the start of every frame (the aircraft model's clocks).
    void on_frame(std::function<void(Host&)> hook) { frame_hooks_.push_back(std::move(hook)); }
    uint64_t frames() const { return frames_; }

    // --- mouse -----------------------------------------------------------------------
    // A left-button press at gauge pixel (x, y).
    ClickResult click(Gauge& gauge, int x, int y) { return mouse(gauge, x, y, Press::single); }
    // A repeat while the button stays held.
    ClickResult repeat(Gauge& gauge, int x, int y) { return mouse(gauge, x, y, Press::repeat); }
    // Press, then `repeats` repeats, one frame before each repeat.
    void hold(Gauge& gauge, int x, int y, int repeats);
    ClickResult mouse(Gauge& gauge, int x, int y, Press press);
    // The help id of the innermost parent area under (x, y); 0 outside every parent.
    int32_t help_id_at(Gauge& gauge, int x, int y);
    // The cursor of the child area under (x, y), or CURSOR_NONE.
    int32_t cursor_at(Gauge& gauge, int x, int y);

    // --- simulated aircraft ----------------------------------------------------------
    void set_token(int32_t id, double value);
    // Integer tokens hold their value in the first 4 bytes of the token record's value.
    void set_token_u32(int32_t id, uint32_t value);
    double token(int32_t id) const;
    uint32_t token_u32(int32_t id) const;
    bool token_is_integer(int32_t id) const;
    // Declares how a token is held (integer or double); the aircraft model does this.
    void declare_integer_token(int32_t id, uint32_t initial);
    // What the model does when a key event arrives.
    void on_event(uint32_t event_id, std::function<void(Host&, uint32_t value)> apply) {
        event_models_[event_id] = std::move(apply);
    }
    // Fires a key event as the host or a gauge would: logged, then applied.
    void fire_event(uint32_t event_id, uint32_t value);
    const std::vector<Event>& events() const { return events_; }
    void clear_events() { events_.clear(); }
    // Room for `n` events, so that logging them allocates nothing (allocation-counting runs).
    void reserve_events(size_t n) { events_.reserve(n); }

    // The host's current selection (radio digit highlighting).
    void set_selection(int32_t id) { selection_ = id; }
    int32_t selection() const { return selection_; }

    // --- inspection ------------------------------------------------------------------
    // The mouse list clicks reach: the registered list (610) or the header's (700/800).
    MOUSERECT* active_mouse_list(Gauge& gauge);
    const std::vector<OpCall>& ops() const { return ops_; }
    void clear_ops() { ops_.clear(); }
    // Logging of host operations is on by default; long runs turn it off so that the log
    // does not grow without bound (and a frame allocates nothing).
    void set_op_logging(bool on) { log_ops_ = on; }
    // Tree installed for a root element, or nullptr.
    std::vector<ElementState>* tree(ELEMENT_HEADER* root);
    // Faults detected so far (each also raised as HostFault by the call that ran the code).
    const std::vector<std::string>& faults() const { return faults_; }
    // Where a needle aims for `value` on its scale (clamped to the table's ends).
    static void interpolate(const NONLINEARITY* table, uint32_t count, double value,
                            double* x, double* y);

    // --- host operations (called through PANELS by module code) ----------------------
    void op_element_list_query(ELEMENT_HEADER* root);
    void op_element_list_install(ELEMENT_HEADER* root, GAUGE_RESOURCE_HANDLE resources);
    void op_element_list_initialize(ELEMENT_HEADER* root);
    void op_element_list_update(ELEMENT_HEADER* root);
    void op_element_list_generate(ELEMENT_HEADER* root, uint32_t phase);
    void op_element_list_plot(ELEMENT_HEADER* root);
    void op_element_list_kill(ELEMENT_HEADER* root);
    void op_mouse_list_install(MOUSERECT* list, GAUGEHDR* gauge, PIXPOINT* size);
    void op_mouse_list_register(MOUSERECT* list, GAUGEHDR* gauge);
    void op_mouse_list_unregister(MOUSERECT* list, GAUGEHDR* gauge);
    void op_trigger_key_event(uint32_t event_id, uint32_t value);
    void op_initialize_var(MODULE_VAR* var);
    void op_lookup_var(MODULE_VAR* var);

private:
    struct Tree {
        GAUGE_RESOURCE_HANDLE resources = nullptr;
        std::vector<ElementState> elements;
        std::vector<std::unique_ptr<HOST_IMAGE>> images;
        std::vector<std::unique_ptr<Bitmap>> bitmaps;
    };
    struct MouseRegistration {
        MOUSERECT* list = nullptr;
        PIXPOINT* size = nullptr;
        bool registered = false;
    };
    struct Token {
        bool integer = false;
        double n = 0.0;
        uint32_t u = 0;
    };

    void fault(const std::string& what);
    void log_op(const char* op, const void* subject, const void* gauge, const void* size) {
        if (log_ops_) ops_.push_back({op, subject, gauge, size});
    }
    void raise_faults(size_t before);
    HOST_IMAGE* load_image(Tree& tree, int32_t resource_id);
    void build_tree(Tree& tree, ELEMENT_HEADER* element, int parent, int depth, int guard);
    void release_tree(ELEMENT_HEADER* root);
    void evaluate(ElementState& e);
    void refresh(MODULE_VAR& var);
    double numeric(const MODULE_VAR& var) const;
    void check_guard(ElementState& e);
    Gauge* gauge_of_header(GAUGEHDR* header);

    std::vector<std::unique_ptr<Module>> modules_;
    std::vector<std::unique_ptr<Gauge>> gauges_;
    std::map<ELEMENT_HEADER*, std::unique_ptr<Tree>> trees_;
    std::map<GAUGEHDR*, MouseRegistration> mouse_;
    std::map<int32_t, Token> tokens_;
    std::map<uint32_t, std::function<void(Host&, uint32_t)>> event_models_;
    std::vector<std::function<void(Host&)>> frame_hooks_;
    std::vector<Event> events_;
    std::vector<OpCall> ops_;
    std::vector<std::string> faults_;
    int32_t selection_ = 0;
    bool log_ops_ = true;
    uint64_t frames_ = 0;
};

// Installs the simulated aircraft's behaviour (token kinds, event effects, clocks).
void install_aircraft_model(Host& host);

}  // namespace panel
