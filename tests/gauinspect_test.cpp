// The shipped .gau files, read by the inspector as the simulator's host reads them, against
// the native modules that the host emulator drives in every other test.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>

#include "art/catalog.h"
#include "tests/gauinspect_support.h"
#include "tests/support.h"
#include "tools/gauinspect/inspect.h"
#include "tools/gauinspect/native_records.h"
#include "tools/gauinspect/pe_records.h"

namespace {

using namespace gauinspect;
using inspector_support::built;
using inspector_support::read_file;
using inspector_support::shipped_path;

struct Shipped {
    const char* deliverable;
    const char* resource_script;      // relative to the source tree
    std::set<std::string> imports;    // what it may import, "dll!function" with the DLL in lower case
};

// Only the switch panel calls the platform (its click sound); every other module calls
// nothing but the host's table.
const std::vector<Shipped>& shipped() {
    static const std::vector<Shipped> all = {
        {"VARN_TESSARY_XPDR", "radios/transponder.rc", {}},
        {"tessary_nav1", "radios/nav.rc", {}},
        {"tessary_nav2", "radios/nav.rc", {}},
        {"tessary_com", "radios/com.rc", {}},
        {"VARN_KD_FUEL_PRESS", "engine/fuel_pressure.rc", {}},
        {"tq36_lfuel", "engine/fuel_quantity.rc", {}},
        {"M470_Switches",
         "switches/switches.rc",
         {"dsound.dll!DirectSoundCreate", "winmm.dll!mmioOpenA", "winmm.dll!mmioDescend", "winmm.dll!mmioRead",
          "winmm.dll!mmioAscend", "winmm.dll!mmioClose", "kernel32.dll!FindResourceA", "kernel32.dll!LoadResource",
          "kernel32.dll!LockResource", "kernel32.dll!SizeofResource", "kernel32.dll!FreeResource",
          "kernel32.dll!GlobalAlloc", "kernel32.dll!GlobalLock", "kernel32.dll!GlobalUnlock", "kernel32.dll!GlobalFree",
          "kernel32.dll!GetModuleFileNameA", "user32.dll!FindWindowA", "msvcrt.dll!_splitpath"}},
    };
    return all;
}

void PrintTo(const Shipped& s, std::ostream* os) { *os << s.deliverable; }

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(tolower(c)); });
    return s;
}

std::string listing(const std::vector<Problem>& problems) {
    std::string out;
    for (const Problem& p : problems) out += "\n  " + p.severity + ": " + p.where + ": " + p.what;
    return out;
}

class ShippedModule : public ::testing::TestWithParam<Shipped> {
protected:
    void SetUp() override {
        if (!built(GetParam().deliverable)) GTEST_SKIP() << GetParam().deliverable << " is not part of this build yet";
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(read_file(shipped_path(GetParam().deliverable), &bytes))
            << shipped_path(GetParam().deliverable) << " is missing: run make first";
        in = inspect(std::move(bytes), std::string(GetParam().deliverable) + ".gau");
        ASSERT_TRUE(in.readable) << listing(in.problems);
    }
    Inspection in;
};

TEST_P(ShippedModule, ReadsCleanlyAsAnI386DllExportingOnlyItsTwoRecords) {
    EXPECT_EQ(in.image.machine(), 0x14c);
    EXPECT_TRUE(in.image.characteristics() & 0x2000) << "not marked as a DLL";
    EXPECT_TRUE(in.problems.empty()) << listing(in.problems);

    std::set<std::string> exports;
    for (const Export& e : in.image.exports()) exports.insert(e.name);
    EXPECT_EQ(exports, (std::set<std::string>{"ImportTable", "Linkage"}));

    std::set<std::string> allowed;
    for (const std::string& a : GetParam().imports) allowed.insert(lower(a.substr(0, a.find('!'))) + a.substr(a.find('!')));
    for (const ImportedDll& dll : in.image.imports())
        for (const ImportedFunction& fn : dll.functions)
            EXPECT_TRUE(allowed.count(lower(dll.dll) + "!" + fn.name)) << "imports " << dll.dll << "!" << fn.name;
}

// One comparison over everything the host reads: the Windows binary's records, followed
// through its sections and relocations, against the native module's typed records.
TEST_P(ShippedModule, CarriesTheSameRecordsAsTheNativeModule) {
    ASSERT_TRUE(in.records_read) << in.records.fault;
    ASSERT_FALSE(in.records.gauges.empty());
    for (const GaugeRecord& g : in.records.gauges) {
        EXPECT_TRUE(g.fault.empty() && g.root.has_value()) << g.fault;
        EXPECT_FALSE(g.mouse_source.empty()) << (g.name ? *g.name : "?") << ": " << g.mouse_fault;
    }
    const NativeRead native = read_native_module(testing_support::module_path(GetParam().deliverable));
    ASSERT_TRUE(native.error.empty()) << native.error;
    EXPECT_TRUE(native.problems.empty()) << listing(native.problems);
    EXPECT_EQ(canonical_text(in.records), canonical_text(native.records));
}

TEST_P(ShippedModule, EveryNamedRoutinePopsTheArgumentsOfItsKind) {
    std::set<std::string> roles;
    for (const RoutineCheck& c : in.routines) {
        roles.insert(c.roles.begin(), c.roles.end());
        std::string popped;
        for (uint32_t p : c.scan.popped) popped += " " + std::to_string(p);
        EXPECT_TRUE(c.ok) << hex(c.address) << " (" << c.roles.front() << ", " << c.named_by.front() << ") pops" << popped;
    }
    for (const char* role : {"entry point", "module_init", "module_deinit", "query", "install", "initialize", "update",
                             "generate", "draw", "kill"})
        EXPECT_TRUE(roles.count(role)) << "no routine checked as " << role;
}

TEST_P(ShippedModule, EveryBitmapHasItsDrawnSize) {
    std::ifstream script(std::string(GAUGE_SOURCE_DIR) + "/" + GetParam().resource_script);
    ASSERT_TRUE(script) << GetParam().resource_script;
    const std::regex bitmap_line(R"(^\s*(\d+)\s+BITMAP\s+\"([^\"]+)\")");
    std::map<uint32_t, std::string> file_of;
    for (std::string line; std::getline(script, line);)
        if (std::smatch m; std::regex_search(line, m, bitmap_line)) file_of[std::stoul(m[1])] = m[2];

    std::set<uint32_t> shipped_ids;
    for (const Resource& r : in.image.resources()) {
        if (r.type.is_name || r.type.id != 2) continue;
        shipped_ids.insert(r.name.id);
        ASSERT_TRUE(file_of.count(r.name.id)) << "bitmap " << r.name.id << " is not in " << GetParam().resource_script;
        const auto& catalog = art::catalog();
        auto picture = std::find_if(catalog.begin(), catalog.end(),
                                    [&](const art::Picture& p) { return p.file == file_of[r.name.id]; });
        ASSERT_NE(picture, catalog.end()) << file_of[r.name.id] << " is not in the art catalogue";
        const auto bytes = in.image.resource_bytes(r);
        ASSERT_TRUE(bytes);
        const auto info = bitmap_info(*bytes);
        ASSERT_TRUE(info) << "bitmap " << r.name.id;
        EXPECT_EQ(info->width, picture->width) << "bitmap " << r.name.id << " " << picture->file;
        EXPECT_EQ(info->height, picture->height) << "bitmap " << r.name.id << " " << picture->file;
    }
    std::set<uint32_t> scripted;
    for (const auto& [id, file] : file_of) scripted.insert(id);
    EXPECT_EQ(shipped_ids, scripted);
}

// `make` leaves the report of each shipped module in dist/reports; it must describe the
// binary that ships beside it.
TEST_P(ShippedModule, ReportInDistDescribesTheShippedBinary) {
    const std::string base = std::string(GAUGE_DIST_DIR) + "/reports/" + GetParam().deliverable;
    std::vector<uint8_t> json, text;
    ASSERT_TRUE(read_file(base + ".json", &json)) << base << ".json is missing: run make";
    ASSERT_TRUE(read_file(base + ".txt", &text)) << base << ".txt is missing: run make";
    EXPECT_EQ(std::string(json.begin(), json.end()), in.report.to_json());
    const std::string report(text.begin(), text.end());
    EXPECT_NE(report.find(in.report.to_text()), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Deliverables, ShippedModule, ::testing::ValuesIn(shipped()),
                         [](const auto& info) { return std::string(info.param.deliverable); });

// The comparison is worth something only if a single changed field shows in it.
TEST(CanonicalForm, ShowsASingleChangedFieldOfTheBinary) {
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(read_file(shipped_path("VARN_TESSARY_XPDR"), &bytes));
    const Inspection pristine = inspect(bytes, "x.gau");
    ASSERT_TRUE(pristine.records_read);
    const GaugeRecord& g = pristine.records.gauges.at(0);
    ASSERT_GE(g.mouse.items.size(), 2u);
    // The width of the first click area (record 1, offset 12 of a MOUSERECT).
    const auto at = pristine.image.file_offset(static_cast<uint32_t>(g.mouse.addr + 44 + 12 - pristine.image.image_base()));
    ASSERT_TRUE(at);
    bytes[*at] ^= 0x01;
    const Inspection changed = inspect(bytes, "x.gau");

    const std::string before = canonical_text(pristine.records), after = canonical_text(changed.records);
    std::vector<std::string> a, b;
    std::stringstream sa(before), sb(after);
    for (std::string l; std::getline(sa, l);) a.push_back(l);
    for (std::string l; std::getline(sb, l);) b.push_back(l);
    ASSERT_EQ(a.size(), b.size());
    std::vector<std::string> differing;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) differing.push_back(b[i]);
    ASSERT_EQ(differing.size(), 1u);
    EXPECT_NE(differing[0].find("box=6,35,21,25"), std::string::npos) << differing[0];
}

}  // namespace
