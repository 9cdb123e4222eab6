// A frame and a click allocate nothing: not in the modules, not in the host emulator.
//
// This test program replaces the heap's entry points (malloc and its family, which operator
// new also reaches) with counting ones; in a sanitizer build, where the sanitizer owns the
// heap, it installs the sanitizer's allocation hook instead. Module code therefore cannot
// allocate unseen, whether through new or straight through malloc. Each allocation made
// while counting is charged to the innermost caller outside the system libraries: a gauge
// module, the platform stand-ins (gauge_platform, whose call log records every DirectSound
// call it answers) or the host emulator and this test.
#include <dlfcn.h>
#include <errno.h>
#include <execinfo.h>
#include <link.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <array>
#include <string>

#include "platform/control.h"
#include "tests/support.h"
#include "tools/soak/roster.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime calls these hooks on every allocation and release of its heap.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                                         void (*free_hook)(const volatile void*));
#endif

namespace {

enum Owner { kModule, kPlatform, kHost, kOwners };
const char* const kOwnerNames[kOwners] = {"gauge module", "platform stand-ins", "host emulator"};

struct Counts {
    std::array<int, kOwners> by_owner{};
    std::array<std::string, kOwners> first_site;  // where each owner's first allocation came from
    int total() const { return by_owner[kModule] + by_owner[kPlatform] + by_owner[kHost]; }
    void clear() {
        by_owner.fill(0);
        for (std::string& s : first_site) s.clear();
    }
};

bool counting = false;
thread_local bool inside_hook = false;
Counts counts;

// Keeps the optimiser from removing an allocation whose result is never used.
template <class T>
T* escape(T* p) {
    asm volatile("" : : "g"(p) : "memory");
    return p;
}

bool has(const char* text, const char* part) { return text != nullptr && strstr(text, part) != nullptr; }

// The heap's entry points as they appear in a stack: ours, the C library's, the sanitizer's
// and the C++ runtime's operator new.
// The exported function `address` lies in, by its (mangled) name; null when the address is
// not inside any exported function (dladdr alone would name the nearest export before it).
const char* function_at(const void* address, Dl_info* info) {
    void* entry = nullptr;
    if (!dladdr1(address, info, &entry, RTLD_DL_SYMENT) || info->dli_sname == nullptr || entry == nullptr) return nullptr;
    const auto* symbol = static_cast<const ElfW(Sym)*>(entry);
    const auto at = reinterpret_cast<uintptr_t>(address);
    const auto start = reinterpret_cast<uintptr_t>(info->dli_saddr);
    return at >= start && at <= start + symbol->st_size ? info->dli_sname : nullptr;
}

bool is_allocation_entry(const char* function) {
    if (function == nullptr) return false;
    // operator new and new[] in all their forms
    if (strncmp(function, "_Znwm", 5) == 0 || strncmp(function, "_Znam", 5) == 0) return true;
    // the C heap, under its own names or as the sanitizer intercepts it
    if (strncmp(function, "__interceptor_", 14) == 0) function += 14;
    static const char* const names[] = {"malloc", "calloc", "realloc", "memalign", "aligned_alloc", "posix_memalign",
                                        "valloc", "pvalloc", "strdup", "strndup"};
    for (const char* n : names)
        if (strcmp(function, n) == 0) return true;
    return false;
}

// Standard library code compiled into whichever object used it first (a template such as
// std::string's constructor, which the dynamic linker may bind to the test program's copy):
// an allocation in it belongs to its caller.
bool is_standard_library(const char* function) {
    static const char* const prefixes[] = {"_ZNSt", "_ZNKSt", "_ZSt", "_ZN9__gnu_cxx", "_ZNK9__gnu_cxx"};
    for (const char* p : prefixes)
        if (function != nullptr && strncmp(function, p, strlen(p)) == 0) return true;
    return false;
}

bool is_system_library(const char* file) {
    static const char* const names[] = {"/libc.so", "/libc-", "/libstdc++", "/libgcc_s", "/libasan", "/libubsan",
                                        "/ld-linux", "/libm.so", "/libgtest"};
    for (const char* n : names)
        if (has(file, n)) return true;
    return false;
}

// Charges one allocation to the innermost caller below the heap's entry points that is not
// a system library.
__attribute__((noinline)) void note_allocation() {
    if (!counting || inside_hook) return;
    inside_hook = true;
    void* frames[64];
    const int n = backtrace(frames, 64);
    int first_caller = 0;
    for (int i = 0; i < n; ++i) {
        Dl_info info{};
        if (is_allocation_entry(function_at(frames[i], &info))) first_caller = i + 1;
    }
    Owner owner = kHost;
    void* site = nullptr;
    Dl_info site_info{};
    for (int i = first_caller; i < n; ++i) {
        Dl_info info{};
        const char* function = function_at(frames[i], &info);
        if (info.dli_fname == nullptr || is_system_library(info.dli_fname) || is_standard_library(function)) continue;
        if (has(info.dli_fname, "/libgauge_platform")) owner = kPlatform;
        else if (has(info.dli_fname, GAUGE_MODULE_DIR "/")) owner = kModule;
        site = frames[i];
        site_info = info;
        break;
    }
    if (site != nullptr && counts.first_site[owner].empty()) {
        // The object and the offset in it, for addr2line: the modules export no symbols.
        char offset[32];
        snprintf(offset, sizeof offset, " +0x%zx",
                 static_cast<size_t>(static_cast<char*>(site) - static_cast<char*>(site_info.dli_fbase)));
        counts.first_site[owner] = std::string(site_info.dli_fname) + offset;
    }
    ++counts.by_owner[owner];
    inside_hook = false;
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
namespace {
void malloc_hook(const volatile void*, size_t) { note_allocation(); }
void free_hook(const volatile void*) {}
[[maybe_unused]] const int hooks_installed = __sanitizer_install_malloc_and_free_hooks(malloc_hook, free_hook);
}  // namespace
#else
// The C library's own allocator, under the names it keeps for replacements like this one.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);

void* malloc(size_t n) {
    note_allocation();
    return __libc_malloc(n);
}
void* calloc(size_t count, size_t n) {
    note_allocation();
    return __libc_calloc(count, n);
}
void* realloc(void* p, size_t n) {
    note_allocation();
    return __libc_realloc(p, n);
}
void free(void* p) { __libc_free(p); }
void* memalign(size_t alignment, size_t n) {
    note_allocation();
    return __libc_memalign(alignment, n);
}
void* aligned_alloc(size_t alignment, size_t n) {
    note_allocation();
    return __libc_memalign(alignment, n);
}
int posix_memalign(void** out, size_t alignment, size_t n) {
    note_allocation();
    void* p = __libc_memalign(alignment, n);
    if (p == nullptr) return ENOMEM;
    *out = p;
    return 0;
}
void* valloc(size_t n) {
    note_allocation();
    return __libc_memalign(4096, n);
}
}
#endif

namespace {

using testing_support::module_path;

// Counts the allocations `work` makes.
template <class Work>
Counts count_allocations(Work work) {
    counts.clear();
    counting = true;
    work();
    counting = false;
    return counts;
}

std::string describe(const Counts& c) {
    std::string out;
    for (int o = 0; o < kOwners; ++o) out += std::string(o ? ", " : "") + kOwnerNames[o] + " " + std::to_string(c.by_owner[o]);
    for (int o = 0; o < kOwners; ++o)
        if (!c.first_site[o].empty() && o != kPlatform) out += std::string("; first ") + kOwnerNames[o] + " allocation at " + c.first_site[o];
    return out;
}

// The counter sees every way to the heap, and charges each to the right owner: otherwise a
// count of zero below would prove nothing.
TEST(CountingAllocator, SeesEveryEntryAndChargesTheCaller) {
    free(escape(malloc(8)));  // the stack walker loads what it needs on first use
    (void)count_allocations([] { free(escape(malloc(1))); });

    struct Case {
        const char* what;
        void (*allocate)();
        Owner owner;
    };
    const Case cases[] = {
        {"malloc", [] { free(escape(malloc(24))); }, kHost},
        {"calloc", [] { free(escape(calloc(3, 8))); }, kHost},
        {"realloc", [] { free(escape(realloc(nullptr, 40))); }, kHost},
        {"aligned_alloc", [] { free(escape(aligned_alloc(64, 64))); }, kHost},
        {"strdup (inside the C library)", [] { free(escape(strdup("a text to copy"))); }, kHost},
        {"operator new", [] { delete escape(new std::array<int, 9>); }, kHost},
        {"operator new[]", [] { delete[] escape(new int[11]); }, kHost},
        {"a long std::string", [] { std::string s(100, 'x'); escape(s.data()); }, kHost},
        {"the platform's movable memory", [] { GlobalFree(GlobalAlloc(GMEM_MOVEABLE, 100)); }, kPlatform},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Counts seen = count_allocations(c.allocate);
        EXPECT_GE(seen.by_owner[c.owner], 1) << describe(seen);
        EXPECT_EQ(seen.by_owner[kModule], 0) << describe(seen);
    }
    platform::reset();
}

// The whole panel placed with the click sound on, warmed up by one pass of everything that
// is then counted, so that the host's buffers (element texts, the event log, token records)
// have reached their size.
class AllocationFree : public ::testing::Test {
public:
    void SetUp() override {
        platform::reset();
        platform::add_window("FS98MAIN");
        host.set_op_logging(false);
        host.reserve_events(1 << 16);
        for (const std::string& d : soak::deliverable_modules(GAUGE_MODULE_DIR)) {
            panel::Module& m = host.load(module_path(d));
            for (GAUGEHDR* h : m.gauges()) host.place(m, h->gauge_name);
        }
        ASSERT_FALSE(host.gauges().empty());
        for (const auto& g : host.gauges())
            for (const MOUSE_BOX& a : soak::click_areas(*g)) areas.push_back({g.get(), a});
        ASSERT_FALSE(areas.empty());
        for (int pass = 0; pass < 2; ++pass) {
            host.frame(3);
            click_everywhere();
            hold_everywhere();
        }
        host.clear_events();
        platform::clear_calls();
    }
    void TearDown() override {
        counting = false;
        for (const auto& g : host.gauges()) host.kill(*g);
        platform::reset();
    }
    // Work the cases below count.
    void click_everywhere() {
        for (auto& [g, a] : areas) host.click(*g, a.x + a.width / 2, a.y + a.height / 2);
    }
    void hold_everywhere() {
        for (auto& [g, a] : areas) host.hold(*g, a.x, a.y, 2);
    }

    panel::Host host;
    std::vector<std::pair<panel::Gauge*, MOUSE_BOX>> areas;
};

TEST_F(AllocationFree, FramesAllocateNothingAtAll) {
    const Counts c = count_allocations([&] { host.frame(20); });
    EXPECT_EQ(c.total(), 0) << describe(c);
}

// Clicks fire key events, change module state and play the click sound. The stand-ins log
// each DirectSound call they answer (test bookkeeping of the platform, which allocates);
// nothing else may allocate.
TEST_F(AllocationFree, ClicksAndHoldsAllocateNothingOutsideThePlatformLog) {
    struct Case {
        const char* what;
        void (AllocationFree::*work)();
    };
    const Case cases[] = {
        {"a press on every click area", &AllocationFree::click_everywhere},
        {"a held press with repeats on every click area", &AllocationFree::hold_everywhere},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Counts seen = count_allocations([&] { (this->*c.work)(); });
        EXPECT_EQ(seen.by_owner[kModule], 0) << describe(seen);
        EXPECT_EQ(seen.by_owner[kHost], 0) << describe(seen);
        EXPECT_LE(seen.by_owner[kPlatform], 4 * static_cast<int>(platform::calls().size()) + 4) << describe(seen);
        EXPECT_FALSE(host.events().empty()) << "the clicks fired nothing: they did not reach the gauges";
        host.clear_events();
        platform::clear_calls();
    }
}

// Services the host sends every frame or on demand: none of them allocates either.
TEST_F(AllocationFree, PeriodicAndResyncServicesAllocateNothing) {
    const Counts c = count_allocations([&] {
        for (const auto& g : host.gauges()) {
            host.service(*g, SERVICE_PERIODIC);
            host.service(*g, SERVICE_RESYNC);
        }
    });
    EXPECT_EQ(c.total(), 0) << describe(c);
}

}  // namespace
