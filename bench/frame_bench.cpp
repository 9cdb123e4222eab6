// frame_bench: what one frame of the whole panel costs.
//
//   frame_bench [Google Benchmark options]        the timed benchmarks below
//   frame_bench --callgrind-frames N              N frames inside counted_frames(), for
//                                                 valgrind --tool=callgrind --toggle-collect
//
// The panel is every gauge of every module in the build folder (all 36 once every module is
// built), each placed as the aircraft's panel configuration places it (the bench's panel
// scenario, which also sets the aircraft's cruise tokens), or, for a gauge the scenario does
// not know, at the origin. Benchmarks:
//   panel_frame            one update/generate/draw cycle of every gauge through the host
//                          emulator, nothing rendered;
//   panel_frame_host_only  the same cycle with every module callback detached (element value
//                          callbacks and gauge callbacks): the host's own bookkeeping. The
//                          difference is the modules' share of a frame;
//   panel_render           a frame and the whole panel drawn by the bench's compositor;
//   panel_blit             the same bitmaps plainly copied to the same places (converted
//                          once, no turning, no see-through keying, no text).
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/host.h"
#include "tools/bench/compositor.h"
#include "tools/bench/scenario.h"
#include "tools/soak/roster.h"

namespace {

struct Placed {
    panel::Gauge* gauge;
    int x, y, width;
};

// The panel, set up once for all benchmarks.
class Panel {
public:
    Panel() {
        host_.set_op_logging(false);
        bench::Scenario scenario;
        std::ifstream in(PANEL_SCENARIO);
        if (in) scenario = bench::parse_scenario(in, PANEL_SCENARIO);
        // The scenario's placements and tokens, for gauges whose module is built.
        for (const bench::Step& step : scenario.steps) {
            if (step.kind == bench::Step::place) {
                const bench::Placement& p = scenario.placements[step.placement];
                panel::Module* m = module(p.module);
                if (m == nullptr || m->find(p.gauge) == nullptr) continue;
                panel::Gauge& g = host_.place(*m, p.gauge, p.parameter);
                placed_.push_back({&g, p.x, p.y, p.width.value_or(g.size().x)});
            } else if (step.kind == bench::Step::token) {
                const bool hex = step.value.rfind("0x", 0) == 0;
                if (host_.token_is_integer(step.id) || hex)
                    host_.set_token_u32(step.id, static_cast<uint32_t>(strtoul(step.value.c_str(), nullptr, 0)));
                else
                    host_.set_token(step.id, strtod(step.value.c_str(), nullptr));
            }
        }
        // Every other gauge of every built module.
        for (const std::string& d : soak::deliverable_modules(GAUGE_MODULE_DIR)) {
            panel::Module* m = module(d);
            for (GAUGEHDR* h : m->gauges()) {
                bool placed = false;
                for (const Placed& p : placed_) placed = placed || p.gauge->header() == h;
                if (!placed) {
                    panel::Gauge& g = host_.place(*m, h->gauge_name);
                    placed_.push_back({&g, 0, 0, g.size().x});
                }
            }
        }
        for (const Placed& p : placed_) {
            width_ = std::max(width_, p.x + p.width);
            const PIXPOINT s = p.gauge->size();
            height_ = std::max(height_, p.y + (s.x > 0 ? s.y * p.width / s.x : s.y));
        }
        host_.frame(10);
    }

    panel::Host& host() { return host_; }
    const std::vector<Placed>& placed() const { return placed_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int element_count() const {
        int n = 0;
        for (const Placed& p : placed_) n += static_cast<int>(p.gauge->elements().size());
        return n;
    }

    // Runs `work` with every module callback the host would call during a frame detached,
    // then puts them back.
    template <class Work>
    void without_module_callbacks(Work work) {
        struct Saved {
            void** slot;
            void* value;
        };
        std::vector<Saved> saved;
        auto detach = [&](auto& field) {
            saved.push_back({reinterpret_cast<void**>(&field), reinterpret_cast<void*>(field)});
            field = nullptr;
        };
        for (const Placed& p : placed_) {
            GAUGEHDR* h = p.gauge->header();
            if (h->version != GAUGE_VERSION_610) detach(h->gauge_callback);
            for (panel::ElementState& e : p.gauge->elements()) {
                switch (e.type) {
                    case ELEMENT_TYPE_NEEDLE:
                        if (h->version == GAUGE_VERSION_610) detach(reinterpret_cast<ELEMENT_NEEDLE*>(e.record)->callback);
                        else detach(reinterpret_cast<ELEMENT_NEEDLE_700*>(e.record)->callback);
                        break;
                    case ELEMENT_TYPE_STRING: detach(reinterpret_cast<ELEMENT_STRING*>(e.record)->callback); break;
                    case ELEMENT_TYPE_ICON: detach(reinterpret_cast<ELEMENT_ICON*>(e.record)->callback); break;
                    default: break;
                }
            }
        }
        work();
        for (const Saved& s : saved) *s.slot = s.value;
    }

private:
    panel::Module* module(const std::string& deliverable) {
        auto it = modules_.find(deliverable);
        if (it != modules_.end()) return it->second;
        const std::string path = std::string(GAUGE_MODULE_DIR) + "/" + deliverable + ".so";
        panel::Module* m = nullptr;
        if (FILE* f = fopen(path.c_str(), "rb")) {
            fclose(f);
            m = &host_.load(path);
        }
        modules_[deliverable] = m;
        return m;
    }

    panel::Host host_;
    std::map<std::string, panel::Module*> modules_;
    std::vector<Placed> placed_;
    int width_ = 1, height_ = 1;
};

Panel& the_panel() {
    static Panel* panel = new Panel;
    return *panel;
}

void counters(benchmark::State& state) {
    state.counters["gauges"] = static_cast<double>(the_panel().placed().size());
    state.counters["elements"] = the_panel().element_count();
    state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void panel_frame(benchmark::State& state) {
    panel::Host& host = the_panel().host();
    for (auto _ : state) host.frame();
    counters(state);
}
BENCHMARK(panel_frame);

void panel_frame_host_only(benchmark::State& state) {
    panel::Host& host = the_panel().host();
    the_panel().without_module_callbacks([&] {
        for (auto _ : state) host.frame();
    });
    counters(state);
}
BENCHMARK(panel_frame_host_only);

// Draws every gauge at its place on the panel, scaled to its shown width.
template <class DrawGauge>
void draw_panel(cairo_t* cr, DrawGauge draw) {
    cairo_set_source_rgb(cr, 0x4B / 255.0, 0x4F / 255.0, 0x54 / 255.0);
    cairo_paint(cr);
    for (const Placed& p : the_panel().placed()) {
        const PIXPOINT size = p.gauge->size();
        cairo_save(cr);
        cairo_translate(cr, p.x, p.y);
        if (size.x > 0 && p.width != size.x) cairo_scale(cr, static_cast<double>(p.width) / size.x, static_cast<double>(p.width) / size.x);
        draw(cr, p);
        cairo_restore(cr);
    }
}

void panel_render(benchmark::State& state) {
    Panel& panel = the_panel();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, panel.width(), panel.height());
    cairo_t* cr = cairo_create(surface);
    for (auto _ : state) {
        panel.host().frame();
        draw_panel(cr, [&](cairo_t* c, const Placed& p) { bench::draw_gauge(c, *p.gauge, panel.host().selection()); });
        cairo_surface_flush(surface);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    counters(state);
}
BENCHMARK(panel_render)->Unit(benchmark::kMicrosecond);

// The bitmaps the compositor would draw for a gauge now, each converted once.
class BitmapCache {
public:
    ~BitmapCache() {
        for (auto& [image, surface] : surfaces_) cairo_surface_destroy(surface);
    }
    cairo_surface_t* surface(const panel::HOST_IMAGE* image) {
        auto it = surfaces_.find(image);
        if (it != surfaces_.end()) return it->second;
        const panel::Bitmap& b = *image->bitmap;
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, b.width, b.height);
        unsigned char* data = cairo_image_surface_get_data(s);
        const int stride = cairo_image_surface_get_stride(s);
        for (int y = 0; y < b.height; ++y) memcpy(data + static_cast<size_t>(y) * stride, &b.pixels[static_cast<size_t>(y) * b.width], 4 * static_cast<size_t>(b.width));
        cairo_surface_mark_dirty(s);
        surfaces_[image] = s;
        return s;
    }

private:
    std::map<const panel::HOST_IMAGE*, cairo_surface_t*> surfaces_;
};

void blit_gauge(cairo_t* cr, panel::Gauge& gauge, BitmapCache& cache) {
    std::vector<panel::ElementState>& elements = gauge.elements();
    std::vector<bool> left_out(elements.size(), false);
    for (size_t i = 0; i < elements.size(); ++i) {
        const panel::ElementState& e = elements[i];
        left_out[i] = e.hidden() || (e.parent >= 0 && left_out[static_cast<size_t>(e.parent)]);
        if (left_out[i]) continue;
        const panel::HOST_IMAGE* image = e.image;
        PIXPOINT at = e.record->position;
        if (e.type == ELEMENT_TYPE_ICON)
            image = e.icon_index >= 0 && static_cast<size_t>(e.icon_index) < e.pictures.size() ? e.pictures[e.icon_index] : nullptr;
        if (e.type == ELEMENT_TYPE_NEEDLE) at = {at.x - e.record->offset.x, at.y - e.record->offset.y};
        if (image == nullptr || image->bitmap == nullptr) continue;
        cairo_set_source_surface(cr, cache.surface(image), at.x, at.y);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
    }
}

void panel_blit(benchmark::State& state) {
    Panel& panel = the_panel();
    BitmapCache cache;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, panel.width(), panel.height());
    cairo_t* cr = cairo_create(surface);
    for (auto _ : state) {
        panel.host().frame();
        draw_panel(cr, [&](cairo_t* c, const Placed& p) { blit_gauge(c, *p.gauge, cache); });
        cairo_surface_flush(surface);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    counters(state);
}
BENCHMARK(panel_blit)->Unit(benchmark::kMicrosecond);

}  // namespace

// The frames callgrind counts: collection is switched on for this function only.
extern "C" __attribute__((noinline)) void counted_frames(panel::Host* host, int frames) {
    for (int i = 0; i < frames; ++i) host->frame();
}

int main(int argc, char** argv) {
    try {
        if (argc == 3 && strcmp(argv[1], "--callgrind-frames") == 0) {
            Panel& panel = the_panel();
            counted_frames(&panel.host(), atoi(argv[2]));
            printf("gauges %zu\n", panel.placed().size());
            return 0;
        }
        benchmark::Initialize(&argc, argv);
        if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
        benchmark::AddCustomContext("gauges", std::to_string(the_panel().placed().size()));
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
    } catch (const std::exception& e) {
        fprintf(stderr, "frame_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
