// panel_soak: a seeded soak of every gauge module through the panel host emulator.
//
//   panel_soak [--seed N] [--steps N] [--epoch N] [--modules DIR] [--trace]
//
// It loads every module it finds in DIR, places their gauges with random parameter texts and
// then, step after step, does what a careless host, a wild panel configuration and a failing
// sound card could do: frames, clicks, repeats and holds at any pixel, tokens set to anything
// (NaN, infinities, 1e308, denormals, negative numbers, impossible BCD), any service id, kills
// and re-placements, module unloads and reloads, and a failure of any one platform call of
// the click player. After every mouse event and every step it checks what must hold whatever
// the input: no host fault (text buffer guard bytes, unterminated strings, trees never
// installed), no misuse of the platform objects, and the modules' own state within bounds
// (radio standbys in their bands, flags 0 or 1, the selector 0..3, countdowns 0..18).
//
// Every choice comes from one generator seeded by --seed, so a run is repeated exactly by
// its seed and step count. Steps are grouped into epochs: each epoch starts a fresh host and
// fresh platform stand-ins and ends by unloading everything, when no object the click
// player took may still be held (unless a sound failure that turns sound off left them,
// which is the player's documented behaviour).
//
// Exit status 0 when every check held; 1 with the failing step and seed otherwise. Built
// with -DGAUGE_SANITIZE=ON, AddressSanitizer and UBSan abort the run on their first report.
#include <errno.h>
#include <math.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/host.h"
#include "platform/control.h"
#include "tools/soak/module_image.h"
#include "tools/soak/roster.h"

namespace {

// ---------------------------------------------------------------------------------------
// Reproducible randomness: splitmix64, with our own mappings to ranges so that a seed means
// the same run on every standard library.

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1 (n > 0)
    uint64_t below(uint64_t n) { return next() % n; }
    int32_t between(int32_t low, int32_t high) {  // inclusive
        return static_cast<int32_t>(low + static_cast<int64_t>(below(static_cast<uint64_t>(int64_t{high} - low + 1))));
    }
    bool percent(int p) { return below(100) < static_cast<uint64_t>(p); }
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    template <class T>
    const T& pick(const std::vector<T>& v) { return v[below(v.size())]; }

private:
    uint64_t state_;
};

// ---------------------------------------------------------------------------------------
// What must hold in each module, by variable name. The names are the modules' own; a module
// that is present but lacks a variable fails the run, so a rename cannot silently switch a
// check off.

enum class Rule {
    flag,          // 0 or 1
    selector,      // 0..3
    countdown,     // 0..18
    channel_step,  // 25 or 50
    nav_standby,   // four BCD digits, 108.00 to 117.95 MHz, or what a transfer copied
    com_standby,   // five BCD digits, 118.000 to 137.000 MHz, or what a transfer copied
    sound_flag,    // 0 or 1, and once 0 never 1 again while the module stays loaded
};

struct Invariant {
    const char* module;
    const char* variable;
    size_t size;            // bytes of one instance
    Rule rule;
    int32_t active_token;   // radios: the token of the active frequency
};

constexpr Invariant kInvariants[] = {
    {"tessary_nav1", "standby_frequency", 4, Rule::nav_standby, 24},
    {"tessary_nav2", "standby_frequency", 4, Rule::nav_standby, 27},
    {"tessary_com", "standby_frequency", 4, Rule::com_standby, 23},
    {"tessary_nav1", "knob_toggle", 4, Rule::flag, 0},
    {"tessary_nav2", "knob_toggle", 4, Rule::flag, 0},
    {"tessary_com", "channel_step", 2, Rule::channel_step, 0},
    {"M470_Switches", "alt1_on", 4, Rule::flag, 0},
    {"M470_Switches", "alt2_on", 4, Rule::flag, 0},
    {"M470_Switches", "volt_amp_selector", 4, Rule::selector, 0},
    {"M470_Switches", "deice_cycle_armed", 4, Rule::flag, 0},
    {"M470_Switches", "dummy_state", 4, Rule::flag, 0},
    {"M470_Switches", "test_countdown", 4, Rule::countdown, 0},
    {"M470_Switches", "deice_switch_hold", 4, Rule::countdown, 0},
    {"M470_Switches", "emerg_hold", 4, Rule::countdown, 0},
    {"M470_Switches", "sound_enabled", 4, Rule::sound_flag, 0},
};

// The knob overlay of a radio head is the element hidden at load; it changes together with
// the module's knob state.
struct OverlayRule {
    const char* module;
    const char* variable;    // knob_toggle (NAV) or channel_step (COM)
};
constexpr OverlayRule kOverlays[] = {
    {"tessary_nav1", "knob_toggle"},
    {"tessary_nav2", "knob_toggle"},
    {"tessary_com", "channel_step"},
};

bool valid_bcd(uint32_t v, int digits) {
    for (int d = 0; d < 8; ++d, v >>= 4)
        if ((d < digits && (v & 0xF) > 9) || (d >= digits && (v & 0xF) != 0)) return false;
    return true;
}

int32_t bcd_value(uint32_t v) {
    int32_t out = 0;
    for (int shift = 28; shift >= 0; shift -= 4) out = out * 10 + static_cast<int32_t>((v >> shift) & 0xF);
    return out;
}

// ---------------------------------------------------------------------------------------

struct Options {
    uint64_t seed = 1;
    uint64_t steps = 100000;
    uint64_t epoch = 5000;
    std::string modules = GAUGE_MODULE_DIR;
    bool trace = false;
};

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...) {
    char buf[1024];
    va_list args;
    va_start(args, fmt);
    vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

std::string describe(double v) { return format("%.17g", v); }

class Soak {
public:
    explicit Soak(const Options& options) : options_(options), random_(options.seed) {}
    int run();

private:
    struct Watched {
        const Invariant* invariant;
        uintptr_t address;
        std::string name;
        int64_t last = 0;
        std::optional<uint32_t> transferred;  // radios: the out-of-band value a transfer copied
    };
    struct Overlay {
        uintptr_t state;           // knob_toggle or channel_step
        size_t state_size;
        ELEMENT_HEADER* element;   // the overlay record
        bool is_com;
        int64_t last_state;
        bool last_hidden;
    };
    struct Placed {
        std::string name;
        panel::Gauge* gauge = nullptr;  // null while not placed
    };
    struct Loaded {
        std::string deliverable;
        std::string path;
        panel::Module* module = nullptr;
        std::unique_ptr<soak::ModuleImage> image;
        std::vector<Placed> gauges;
        std::vector<Watched> watched;
        std::vector<Overlay> overlays;
    };

    // epochs and modules
    void discover();
    void start_epoch();
    void end_epoch();
    void load(Loaded& m);
    void unload(Loaded& m);
    void place(Loaded& m, Placed& p);
    void watch(Loaded& m);

    // steps
    void step();
    void do_frames();
    void do_mouse();
    void do_token();
    void do_service();
    void do_replace();
    void do_reload();
    void do_sound_failure();

    // checks
    void check();
    void check_platform();
    void check_watched(Watched& w, Loaded& m);

    // choices
    Placed* random_live_gauge(Loaded** owner = nullptr);
    std::pair<int, int> random_point(panel::Gauge& g);
    std::optional<std::string> random_parameter();
    double random_double();
    uint32_t random_u32();
    int32_t random_token_id();
    uint32_t presented_low32(int32_t token) const;

    // Describes each action as it happens with --trace; the text is built only then.
    template <class Describe>
    void trace(Describe describe) {
        if (options_.trace) std::printf("%llu: %s\n", static_cast<unsigned long long>(step_), std::string(describe()).c_str());
    }
    void note_delivered_failure();

    Options options_;
    Random random_;
    std::vector<std::string> deliverables_;  // module file names without .so, sorted
    std::unique_ptr<panel::Host> host_;
    std::vector<Loaded> loaded_;
    std::vector<int32_t> record_tokens_;     // token ids the placed gauges' records name
    uint64_t step_ = 0;
    bool sound_failed_in_epoch_ = false;     // some module session turned sound off
    std::string armed_;                      // the platform call armed to fail, until it does
    bool failure_in_epoch_ = false;          // an armed failure struck during this epoch
    std::vector<std::string> failed_calls_;  // the platform calls it struck, this epoch
    bool failures_allowed_ = true;           // this epoch injects platform failures

    // statistics
    std::map<std::string, uint64_t> counts_;
    std::map<std::string, uint64_t> failures_delivered_;
    uint64_t epochs_ = 0, strict_leak_checks_ = 0, checks_ = 0;
};

// ---------------------------------------------------------------------------------------
// Epochs and modules

void Soak::discover() {
    deliverables_ = soak::deliverable_modules(options_.modules);
    if (deliverables_.empty()) throw std::runtime_error("no gauge modules in " + options_.modules);
}

void Soak::start_epoch() {
    ++epochs_;
    sound_failed_in_epoch_ = false;
    failure_in_epoch_ = false;
    failed_calls_.clear();
    armed_.clear();
    // A third of the epochs run on a platform that never fails, and end with the strict
    // leak check.
    failures_allowed_ = !random_.percent(35);
    platform::reset();
    // The host executable's name picks the window class the click player looks for; the
    // window may or may not be there.
    static const std::vector<std::string> executables = {
        "D:\\Flight Simulator 98\\FLTSIM98.EXE", "C:\\Program Files\\Combat Flight Simulator\\CFS.EXE",
        "C:\\FS2000\\FS2000.EXE", "E:\\games\\cfs2.exe", "C:\\x\\abc2.exe", "C:\\x\\ab2", "fs", "",
        "C:\\" + std::string(300, 'F') + ".EXE", "C:\\dir.with.dots\\noext"};
    platform::set_executable_path(random_.pick(executables));
    if (random_.percent(85)) platform::add_window("FS98MAIN");
    if (random_.percent(85)) platform::add_window("MSCFSMAIN");

    host_ = std::make_unique<panel::Host>();
    host_->set_op_logging(false);
    loaded_.clear();
    for (const std::string& d : deliverables_) {
        Loaded m;
        m.deliverable = d;
        m.path = options_.modules + "/" + d + ".so";
        loaded_.push_back(std::move(m));
    }
    for (Loaded& m : loaded_) load(m);
}

void Soak::end_epoch() {
    for (Loaded& m : loaded_) {
        for (Watched& w : m.watched)
            if (w.invariant->rule == Rule::sound_flag && w.last == 0) sound_failed_in_epoch_ = true;
    }
    loaded_.clear();
    host_.reset();  // kills every gauge (service 12) and unloads every module
    check_platform();
    note_delivered_failure();
    // After every module is gone nothing may be held, except what a failure explains:
    // sound that went off keeps the devices and buffers it held (the click player's tear-down
    // does nothing while sound is off), and a refused free leaves its object behind.
    const bool sound_off = sound_failed_in_epoch_;
    auto failed = [&](const char* call) {
        return std::find(failed_calls_.begin(), failed_calls_.end(), call) != failed_calls_.end();
    };
    std::string leaks;
    size_t held = 0;
    for (const platform::LiveObject& o : platform::live_objects()) {
        bool explained = false;
        switch (o.kind) {
            case platform::Kind::device:
            case platform::Kind::buffer: explained = sound_off; break;
            case platform::Kind::memory_block: explained = failed("GlobalFree"); break;
            case platform::Kind::memory_file: explained = failed("mmioClose"); break;
            case platform::Kind::loaded_resource: explained = failed("FreeResource"); break;
        }
        if (explained) ++held;
        else leaks += "\n  " + o.what;
    }
    if (!sound_off && !failure_in_epoch_) ++strict_leak_checks_;
    counts_["objects left held after a sound failure"] += held;
    if (!leaks.empty()) throw Failure("platform objects still held after every module was unloaded:" + leaks);
}

void Soak::load(Loaded& m) {
    m.module = &host_->load(m.path);
    m.image = std::make_unique<soak::ModuleImage>(m.module->handle());
    m.gauges.clear();
    for (GAUGEHDR* h : m.module->gauges()) m.gauges.push_back({h->gauge_name, nullptr});
    watch(m);
    // Usually the whole roster in Linkage order, as a panel configuration lists it; now and
    // then a part of it, or another order.
    std::vector<size_t> order(m.gauges.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    if (random_.percent(20))
        for (size_t i = order.size(); i > 1; --i) std::swap(order[i - 1], order[random_.below(i)]);
    const int skip = random_.percent(80) ? 0 : 30;
    for (size_t i : order)
        if (!random_.percent(skip)) place(m, m.gauges[i]);
}

void Soak::unload(Loaded& m) {
    for (Watched& w : m.watched)
        if (w.invariant->rule == Rule::sound_flag && w.last == 0) sound_failed_in_epoch_ = true;
    host_->unload(*m.module);
    m.module = nullptr;
    m.image.reset();
    m.watched.clear();
    m.overlays.clear();
    for (Placed& p : m.gauges) p.gauge = nullptr;
}

void Soak::place(Loaded& m, Placed& p) {
    const std::optional<std::string> parameter = random_parameter();
    trace([&] { return "place " + p.name + (parameter ? " with a parameter of " + std::to_string(parameter->size()) + " bytes" : ""); });
    p.gauge = &host_->place(*m.module, p.name, parameter);
    for (const panel::ElementState& e : p.gauge->elements()) {
        auto add = [&](int32_t id) {
            if (id != 0 && std::find(record_tokens_.begin(), record_tokens_.end(), id) == record_tokens_.end())
                record_tokens_.push_back(id);
        };
        if (e.type == ELEMENT_TYPE_NEEDLE) add(reinterpret_cast<ELEMENT_NEEDLE*>(e.record)->source_var.id);
        if (e.type == ELEMENT_TYPE_ICON) add(reinterpret_cast<ELEMENT_ICON*>(e.record)->source_var.id);
        if (e.type == ELEMENT_TYPE_STRING)
            for (const MODULE_VAR& v : reinterpret_cast<ELEMENT_STRING*>(e.record)->source_vars) add(v.id);
    }
    ++counts_["placements"];
}

// Finds the variables of the invariants table in a freshly loaded module, and its overlays.
void Soak::watch(Loaded& m) {
    for (const Invariant& inv : kInvariants) {
        if (m.deliverable != inv.module) continue;
        const auto found = m.image->named(inv.variable);
        if (found.empty()) throw Failure(m.deliverable + " has no variable named " + inv.variable + " to check");
        for (const soak::ModuleVariable* v : found) {
            if (v->size != inv.size)
                throw Failure(format("%s: %s is %zu bytes, expected %zu", m.deliverable.c_str(), v->name.c_str(), v->size, inv.size));
            m.watched.push_back({&inv, v->address, v->name, 0, std::nullopt});
        }
    }
    for (const OverlayRule& rule : kOverlays) {
        if (m.deliverable != rule.module) continue;
        const auto state = m.image->named(rule.variable);
        if (state.size() != 1) throw Failure(m.deliverable + ": expected one variable named " + rule.variable);
        // The records as loaded, before any gauge ran: the one element hidden at load.
        std::vector<ELEMENT_HEADER*> hidden;
        std::vector<ELEMENT_HEADER*> pending;
        for (GAUGEHDR* h : m.module->gauges()) pending.push_back(h->elements_list[0]);
        while (!pending.empty()) {
            ELEMENT_HEADER* e = pending.back();
            pending.pop_back();
            if (e->image_flags & IMAGE_HIDDEN) hidden.push_back(e);
            if (e->children)
                for (int c = 0; e->children[c] != nullptr; ++c) pending.push_back(e->children[c]);
        }
        if (hidden.size() != 1) throw Failure(format("%s: expected one element hidden at load, found %zu", m.deliverable.c_str(), hidden.size()));
        m.overlays.push_back({state.front()->address, state.front()->size, hidden.front(),
                              rule.variable == std::string("channel_step"), -1, true});
    }
    for (Watched& w : m.watched) w.last = -1;
    check();
}

// ---------------------------------------------------------------------------------------
// Steps

void Soak::step() {
    const uint64_t roll = random_.below(1000);
    if (roll < 250) do_frames();
    else if (roll < 600) do_mouse();
    else if (roll < 850) do_token();
    else if (roll < 930) do_service();
    else if (roll < 960) do_replace();
    else if (roll < 963) do_reload();
    else if (roll < 990) do_sound_failure();
    else {
        host_->set_selection(random_.percent(50) ? random_.between(0, 20) : static_cast<int32_t>(random_.next()));
        ++counts_["selections"];
    }
    check();
    if (host_->events().size() > 4096) host_->clear_events();
    if (platform::calls().size() > 4096) platform::clear_calls();
}

void Soak::do_frames() {
    const int n = random_.percent(80) ? 1 : random_.between(2, 40);
    trace([&] { return format("frames %d", n); });
    for (int i = 0; i < n; ++i) {
        host_->frame();
        check();
    }
    counts_["frames"] += n;
}

void Soak::do_mouse() {
    Loaded* m = nullptr;
    Placed* p = random_live_gauge(&m);
    if (p == nullptr) return;
    panel::Gauge& g = *p->gauge;
    const auto [x, y] = random_point(g);
    const int kind = static_cast<int>(random_.below(10));
    // Radios: what a transfer would copy, had this click been one.
    std::vector<std::pair<Watched*, uint32_t>> before;
    for (Watched& w : m->watched)
        if (w.invariant->rule == Rule::nav_standby || w.invariant->rule == Rule::com_standby)
            before.push_back({&w, presented_low32(w.invariant->active_token)});
    auto note_transfer = [&] {
        for (auto& [w, active] : before) {
            const uint32_t standby = *reinterpret_cast<const uint32_t*>(w->address);
            uint32_t copied = active;
            if (w->invariant->rule == Rule::com_standby)
                copied = (active << 4) + ((active & 0xF) == 2 || (active & 0xF) == 7 ? 5u : 0u);
            if (standby == copied && static_cast<int64_t>(standby) != w->last) {
                w->transferred = standby;
                ++counts_["standby transfers"];
            }
        }
    };
    if (kind < 6) {
        trace([&] { return format("click %s at (%d, %d)", p->name.c_str(), x, y); });
        host_->click(g, x, y);
        note_transfer();
        ++counts_["clicks"];
    } else if (kind < 7) {
        trace([&] { return format("repeat %s at (%d, %d)", p->name.c_str(), x, y); });
        host_->repeat(g, x, y);
        note_transfer();
        ++counts_["repeats"];
    } else {
        // A hold: the press, then a repeat before each of the following frames.
        const int repeats = random_.between(1, 30);
        trace([&] { return format("hold %s at (%d, %d) for %d repeats", p->name.c_str(), x, y, repeats); });
        host_->click(g, x, y);
        note_transfer();
        check();
        for (int i = 0; i < repeats; ++i) {
            host_->frame();
            check();
            for (auto& [w, active] : before) active = presented_low32(w->invariant->active_token);
            host_->repeat(g, x, y);
            note_transfer();
            check();
        }
        ++counts_["holds"];
    }
}

void Soak::do_token() {
    const int32_t id = random_token_id();
    const bool integer = host_->token_is_integer(id) ? random_.percent(85) : random_.percent(10);
    if (integer) {
        const uint32_t v = random_u32();
        trace([&] { return format("token %d := 0x%X", id, v); });
        host_->set_token_u32(id, v);
    } else {
        const double v = random_double();
        trace([&] { return "token " + std::to_string(id) + " := " + describe(v); });
        host_->set_token(id, v);
    }
    ++counts_["token changes"];
}

void Soak::do_service() {
    Loaded* m = nullptr;
    Placed* p = random_live_gauge(&m);
    if (p == nullptr) return;
    static const std::vector<int32_t> known = {SERVICE_SETUP, SERVICE_PERIODIC, SERVICE_END, SERVICE_RESYNC};
    const uint64_t roll = random_.below(10);
    const int32_t id = roll < 6 ? random_.pick(known) : roll < 8 ? random_.between(-2, 40) : static_cast<int32_t>(random_.next());
    // Service 2 carries the module's resource handle; other services carry anything.
    const GAUGE_EXTRA_DATA extra = id == SERVICE_SETUP ? reinterpret_cast<GAUGE_EXTRA_DATA>(m->module->handle())
                                                       : static_cast<GAUGE_EXTRA_DATA>(random_.next());
    trace([&] { return format("service %d to %s", id, p->name.c_str()); });
    host_->service(*p->gauge, id, extra);
    ++counts_["services"];
}

void Soak::do_replace() {
    Loaded* m = nullptr;
    Placed* p = random_live_gauge(&m);
    if (p == nullptr) return;
    trace([&] { return "kill " + p->name; });
    host_->kill(*p->gauge);
    p->gauge = nullptr;
    ++counts_["kills"];
    check();
    // Mostly back at once; otherwise some other gauge of the module that is not on the panel.
    if (random_.percent(70)) {
        place(*m, *p);
    } else {
        std::vector<Placed*> absent;
        for (Placed& q : m->gauges)
            if (q.gauge == nullptr) absent.push_back(&q);
        place(*m, *random_.pick(absent));
    }
}

void Soak::do_reload() {
    Loaded& m = loaded_[random_.below(loaded_.size())];
    trace([&] { return "reload " + m.deliverable; });
    unload(m);
    check_platform();
    load(m);
    ++counts_["reloads"];
}

void Soak::do_sound_failure() {
    // One failure at a time: leave an armed one until it strikes, now and then re-aim it.
    note_delivered_failure();
    if (!failures_allowed_) return;
    if (!armed_.empty() && !random_.percent(10)) return;
    const std::string& function = random_.pick(platform::failable_functions());
    const int nth = random_.percent(60) ? 1 : random_.between(2, 40);
    trace([&] { return format("arm failure of call %d of %s", nth, function.c_str()); });
    platform::fail_call(function, nth);
    armed_ = function;
    failures_delivered_[function];  // listed even if it never strikes
    ++counts_["failures armed"];
}

// ---------------------------------------------------------------------------------------
// Checks

void Soak::check() {
    ++checks_;
    if (!host_->faults().empty()) throw Failure("host fault: " + host_->faults().front());
    check_platform();
    for (Loaded& m : loaded_) {
        if (m.module == nullptr) continue;
        for (Watched& w : m.watched) check_watched(w, m);
        for (Overlay& o : m.overlays) {
            const int64_t state = o.state_size == 2 ? *reinterpret_cast<const uint16_t*>(o.state)
                                                    : *reinterpret_cast<const int32_t*>(o.state);
            const bool hidden = (o.element->image_flags & IMAGE_HIDDEN) != 0;
            if (!o.is_com && hidden != (state == 0))
                throw Failure(format("%s: knob overlay %s while knob_toggle is %lld", m.deliverable.c_str(),
                                     hidden ? "hidden" : "shown", static_cast<long long>(state)));
            if (o.is_com && state == 50 && !hidden)
                throw Failure(m.deliverable + ": knob overlay shown with the 50 kHz step");
            if (o.is_com && o.last_state >= 0 && state != o.last_state && hidden != (state == 50))
                throw Failure(m.deliverable + ": the channel step changed without the knob overlay");
            if (o.last_state >= 0 && state == o.last_state && hidden != o.last_hidden)
                throw Failure(m.deliverable + ": the knob overlay changed without the knob state");
            o.last_state = state;
            o.last_hidden = hidden;
        }
    }
    note_delivered_failure();
}

void Soak::note_delivered_failure() {
    if (armed_.empty() || !platform::failure_delivered()) return;
    ++failures_delivered_[armed_];
    failed_calls_.push_back(armed_);
    armed_.clear();
    failure_in_epoch_ = true;
}

void Soak::check_platform() {
    if (!platform::misuse().empty()) throw Failure("platform misuse: " + platform::misuse().front());
}

void Soak::check_watched(Watched& w, Loaded& m) {
    const Invariant& inv = *w.invariant;
    const int64_t v = inv.size == 2 ? int64_t{*reinterpret_cast<const uint16_t*>(w.address)}
                                    : inv.rule == Rule::nav_standby || inv.rule == Rule::com_standby
                                          ? int64_t{*reinterpret_cast<const uint32_t*>(w.address)}
                                          : int64_t{*reinterpret_cast<const int32_t*>(w.address)};
    auto fail = [&](const char* why) {
        throw Failure(format("%s: %s = %lld (0x%llX): %s", m.deliverable.c_str(), w.name.c_str(), static_cast<long long>(v),
                             static_cast<unsigned long long>(v), why));
    };
    switch (inv.rule) {
        case Rule::flag:
            if (v != 0 && v != 1) fail("not 0 or 1");
            break;
        case Rule::selector:
            if (v < 0 || v > 3) fail("outside 0..3");
            break;
        case Rule::countdown:
            if (v < 0 || v > 18) fail("outside 0..18");
            break;
        case Rule::channel_step:
            if (v != 25 && v != 50) fail("not 25 or 50");
            break;
        case Rule::sound_flag:
            if (v != 0 && v != 1) fail("not 0 or 1");
            if (w.last == 0 && v == 1) fail("sound came back on after it went off");
            break;
        case Rule::nav_standby:
        case Rule::com_standby: {
            const bool nav = inv.rule == Rule::nav_standby;
            const uint32_t u = static_cast<uint32_t>(v);
            const int32_t n = bcd_value(u);
            const bool in_band = valid_bcd(u, nav ? 4 : 5) && (nav ? n >= 800 && n <= 1795 : n >= 18000 && n <= 37000);
            if (!in_band && !(w.transferred && *w.transferred == u))
                fail(nav ? "outside 108.00 to 117.95 MHz, and not what a transfer copied"
                         : "outside 118.000 to 137.000 MHz, and not what a transfer copied");
            if (w.transferred && *w.transferred != u) w.transferred.reset();
            break;
        }
    }
    w.last = v;
}

// ---------------------------------------------------------------------------------------
// Choices

Soak::Placed* Soak::random_live_gauge(Loaded** owner) {
    // Uniform over live gauges, so the 30 switches get their share.
    size_t live = 0;
    for (Loaded& m : loaded_)
        for (Placed& p : m.gauges) live += p.gauge != nullptr;
    if (live == 0) return nullptr;
    size_t n = random_.below(live);
    for (Loaded& m : loaded_)
        for (Placed& p : m.gauges) {
            if (p.gauge == nullptr) continue;
            if (n-- == 0) {
                if (owner) *owner = &m;
                return &p;
            }
        }
    return nullptr;
}

std::pair<int, int> Soak::random_point(panel::Gauge& g) {
    const PIXPOINT size = g.size();
    const int w = std::max(size.x, 1), h = std::max(size.y, 1);
    const uint64_t roll = random_.below(100);
    if (roll < 60) {
        // Inside one of the gauge's click areas.
        const std::vector<MOUSE_BOX> areas = soak::click_areas(g);
        if (!areas.empty()) {
            const MOUSE_BOX& a = random_.pick(areas);
            return {a.x + random_.between(0, a.width - 1), a.y + random_.between(0, a.height - 1)};
        }
    }
    if (roll < 85) return {random_.between(0, w - 1), random_.between(0, h - 1)};
    if (roll < 95) return {random_.between(-10, w + 10), random_.between(-10, h + 10)};
    static const std::vector<int> extremes = {std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), -1, 0, 65535, -65536};
    return {random_.percent(50) ? random_.pick(extremes) : random_.between(0, w), random_.pick(extremes)};
}

std::optional<std::string> Soak::random_parameter() {
    const uint64_t roll = random_.below(100);
    if (roll < 25) return std::nullopt;
    if (roll < 40) return std::string();
    if (roll < 60) {
        static const std::vector<std::string> texts = {"1", "2", "3", "4", "0", "5", "9", "engine 3", "42", "4 2",
                                                       "x", "-1", "12", "0x2", "ENGINE4", " ", "\t3\n"};
        return random_.pick(texts);
    }
    std::string s;
    if (roll < 75) {
        s.resize(random_.between(1, 40));
        for (char& c : s) c = static_cast<char>(random_.between(32, 126));
    } else if (roll < 85) {
        s.resize(random_.between(1, 64));
        for (char& c : s) c = static_cast<char>(random_.between(1, 255));
    } else if (roll < 95) {
        s.resize(random_.between(1000, 70000));
        const bool digits = random_.percent(50);
        for (char& c : s) c = static_cast<char>(digits ? random_.between('0', '9') : random_.between(1, 255));
    } else {
        // Any bytes at all, nulls included: the gauge sees the text up to the first null.
        s.resize(random_.between(1, 32));
        for (char& c : s) c = static_cast<char>(random_.between(0, 255));
    }
    return s;
}

double Soak::random_double() {
    static const std::vector<double> special = {
        0.0, -0.0, 1.0, -1.0, 0.5, 2.0, 3.0, 4.0, 3.999999, 17.0, 18.0, 19.0, 25.9, 26.0, 36.0, 40.0, 100.0,
        std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::signaling_NaN(),
        std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
        1e308, -1e308, std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
        std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::denorm_min(),
        4.9e-310, -4.9e-310, 2147483647.0, 2147483648.0, -2147483648.0, -2147483649.0, 4294967295.0, 4294967296.0,
        1e15, -1e15, 9.2233720368547758e18, -9.2233720368547758e18, 1e300, 0x1.0p-1074 * 3};
    const uint64_t roll = random_.below(100);
    if (roll < 45) return random_.pick(special);
    if (roll < 65) return random_.between(-5, 60);
    if (roll < 80) return (random_.unit() - 0.5) * 2e6;
    if (roll < 90) return random_.unit() * 40.0;
    // Any bit pattern: NaNs with payloads, denormals, everything.
    const uint64_t bits = random_.next();
    double d;
    memcpy(&d, &bits, sizeof d);
    return d;
}

uint32_t Soak::random_u32() {
    static const std::vector<uint32_t> special = {0, 1, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0xFFFF, 0x9999, 0x99999,
                                                  0xFFFFF, 0x0800, 0x1795, 0x1800, 0x3697, 0x3700, 0x1802, 0x1807,
                                                  0x7777, 0x1200, 0xAAAA, 0x12345678u};
    const uint64_t roll = random_.below(100);
    if (roll < 40) return random_.pick(special);
    if (roll < 70) {  // valid BCD of four or five digits
        uint32_t v = 0;
        const int digits = random_.percent(50) ? 4 : 5;
        for (int d = 0; d < digits; ++d) v |= static_cast<uint32_t>(random_.between(0, 9)) << (4 * d);
        return v;
    }
    if (roll < 85) return static_cast<uint32_t>(random_.below(0x10000));  // any nibbles
    return static_cast<uint32_t>(random_.next());
}

int32_t Soak::random_token_id() {
    const uint64_t roll = random_.below(100);
    if (roll < 55 && !record_tokens_.empty()) return random_.pick(record_tokens_);
    if (roll < 97) return random_.between(0, 1023);
    return static_cast<int32_t>(random_.next());
}

// The low 32 bits of a token as lookup_var presents it: an integer token's value, or the
// first four bytes of a double.
uint32_t Soak::presented_low32(int32_t token) const {
    if (host_->token_is_integer(token)) return host_->token_u32(token);
    const double d = host_->token(token);
    uint32_t low;
    memcpy(&low, &d, sizeof low);
    return low;
}

// ---------------------------------------------------------------------------------------

int Soak::run() {
    discover();
    std::printf("panel_soak: seed %llu, %llu steps, epochs of %llu, modules:", static_cast<unsigned long long>(options_.seed),
                static_cast<unsigned long long>(options_.steps), static_cast<unsigned long long>(options_.epoch));
    for (const std::string& d : deliverables_) std::printf(" %s", d.c_str());
    std::printf("\n");
    std::fflush(stdout);
    const auto started = std::chrono::steady_clock::now();
    try {
        start_epoch();
        for (step_ = 1; step_ <= options_.steps; ++step_) {
            step();
            if (step_ % options_.epoch == 0 && step_ < options_.steps) {
                end_epoch();
                start_epoch();
            }
            if (!options_.trace && step_ % 1000000 == 0) {
                std::printf("  %llu steps\n", static_cast<unsigned long long>(step_));
                std::fflush(stdout);
            }
        }
        step_ = options_.steps;
        end_epoch();
    } catch (const std::exception& e) {
        std::printf("FAILED at step %llu (seed %llu): %s\n", static_cast<unsigned long long>(step_),
                    static_cast<unsigned long long>(options_.seed), e.what());
        std::printf("repeat with: panel_soak --seed %llu --steps %llu --trace\n", static_cast<unsigned long long>(options_.seed),
                    static_cast<unsigned long long>(step_));
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("passed: %llu steps in %.1f s, %llu epochs (%llu without any failure), %llu checks\n",
                static_cast<unsigned long long>(options_.steps), seconds, static_cast<unsigned long long>(epochs_),
                static_cast<unsigned long long>(strict_leak_checks_), static_cast<unsigned long long>(checks_));
    for (const auto& [what, n] : counts_) std::printf("  %-44s %llu\n", what.c_str(), static_cast<unsigned long long>(n));
    std::printf("  sound failures delivered, by platform call:\n");
    for (const auto& [function, n] : failures_delivered_)
        std::printf("    %-42s %llu\n", function.c_str(), static_cast<unsigned long long>(n));
    return 0;
}

bool parse_count(const char* text, uint64_t* out) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = strtoull(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0') return false;
    *out = v;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        if (arg == "--seed" && has_value && parse_count(argv[i + 1], &options.seed)) ++i;
        else if (arg == "--steps" && has_value && parse_count(argv[i + 1], &options.steps)) ++i;
        else if (arg == "--epoch" && has_value && parse_count(argv[i + 1], &options.epoch) && options.epoch > 0) ++i;
        else if (arg == "--modules" && has_value) options.modules = argv[++i];
        else if (arg == "--trace") options.trace = true;
        else {
            std::fprintf(stderr, "usage: %s [--seed N] [--steps N] [--epoch N] [--modules DIR] [--trace]\n", argv[0]);
            return 2;
        }
    }
    try {
        return Soak(options).run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "panel_soak: %s\n", e.what());
        return 2;
    }
}
