// The inspector on broken modules: each case breaks one thing in a copy of the shipped
// transponder and expects the inspector to name it, with the right verdict, and to go on
// reading what it still can.
#include <gtest/gtest.h>
#include <string.h>

#include <functional>

#include "tests/gauinspect_support.h"
#include "tools/gauinspect/inspect.h"

namespace {

using namespace gauinspect;

// A copy of the transponder module and its pristine inspection, to find what to break.
struct Patch {
    std::vector<uint8_t> bytes;
    Inspection pristine;

    const GaugeRecord& gauge() const { return pristine.records.gauges.at(0); }
    const ElementRecord& root() const { return *gauge().root; }
    uint32_t offset_of(Addr va) const {
        auto at = pristine.image.file_offset(static_cast<uint32_t>(va - pristine.image.image_base()));
        if (!at) throw std::runtime_error("address " + hex(va) + " is not in the file");
        return *at;
    }
    void put32(uint32_t file_offset, uint32_t value) { memcpy(&bytes.at(file_offset + 3) - 3, &value, 4); }
    void put32_at(Addr va, uint32_t value) { put32(offset_of(va), value); }
    uint32_t pe_header() const {
        uint32_t pe;
        memcpy(&pe, &bytes.at(0x3c), 4);
        return pe;
    }
    uint32_t linkage() const {
        for (const Export& e : pristine.image.exports())
            if (e.name == "Linkage") return pristine.image.image_base() + e.rva;
        throw std::runtime_error("no Linkage");
    }
    // File offset of the first `pattern` inside the routine at `va` (within 256 bytes).
    uint32_t find_in_routine(Addr va, const std::vector<uint8_t>& pattern) const {
        const uint32_t start = offset_of(va);
        for (uint32_t i = start; i < start + 256 && i + pattern.size() <= bytes.size(); ++i)
            if (std::equal(pattern.begin(), pattern.end(), bytes.begin() + i)) return i;
        throw std::runtime_error("pattern not found in routine " + hex(va));
    }
};

struct FaultCase {
    const char* name;
    std::function<void(Patch&)> breakit;
    int exit_code;            // 2 unreadable, 1 errors, 0 warnings only
    const char* severity;     // of the problem that names the fault
    const char* names_it;     // text in that problem
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }

const std::vector<FaultCase>& cases() {
    static const std::vector<FaultCase> all = {
        {"EmptyFile", [](Patch& p) { p.bytes.clear(); }, 2, "error", "too short for an MZ header"},
        {"NoMzSignature", [](Patch& p) { p.bytes[0] = 'X'; }, 2, "error", "no MZ signature"},
        {"PeHeaderPastTheEnd", [](Patch& p) { p.put32(0x3c, 0x7FFFFFF0u); }, 2, "error", "lies past the end of the file"},
        {"SectionTablePastTheEnd",
         [](Patch& p) {
             p.bytes[p.pe_header() + 6] = 90;  // section count
             p.bytes.resize(p.pe_header() + 24 + 224 + 40 * 20);
         },
         2, "error", "section table runs past the end"},
        {"X8664Machine", [](Patch& p) { p.bytes[p.pe_header() + 4] = 0x64, p.bytes[p.pe_header() + 5] = 0x86; }, 1, "error",
         "not i386"},
        {"CutOffInsideItsSections", [](Patch& p) { p.bytes.resize(p.bytes.size() / 2); }, 1, "error", "truncated"},
        {"LinkageNotExported",
         [](Patch& p) {
             const std::string name = "Linkage";
             auto it = std::search(p.bytes.begin(), p.bytes.end(), name.begin(), name.end());
             it[6] = 'f';
         },
         1, "error", "does not export Linkage"},
        {"GaugePointerOutsideTheModule", [](Patch& p) { p.put32_at(p.linkage() + 24, 0x10); }, 1, "error",
         "points outside the module"},
        {"ElementTreeLoopsBackToTheRoot", [](Patch& p) { p.put32_at(p.root().children_addr + 4, static_cast<uint32_t>(p.root().addr)); },
         1, "error", "reached a second time"},
        {"ChildListWithoutNull",
         [](Patch& p) {
             // Every entry after the four digits names the first digit again.
             for (int i = 4; i < 300; ++i) {
                 auto at = p.pristine.image.file_offset(
                     static_cast<uint32_t>(p.root().children_addr + 4 * i - p.pristine.image.image_base()));
                 if (!at || *at + 4 > p.bytes.size()) break;
                 p.put32(*at, static_cast<uint32_t>(p.root().children[0].addr));
             }
         },
         1, "error", "reached a second time"},
        {"InstallPopsEightBytes",
         [](Patch& p) { p.bytes[p.find_in_routine(p.gauge().routines[INSTALL], {0xC2, 0x04, 0x00}) + 1] = 0x08; }, 1,
         "error", "returns with ret 8, its kind pops 4"},
        {"StringCallbackPopsNothing",
         [](Patch& p) {
             const Addr callback = p.root().children[0].string->callback;
             const uint32_t at = p.find_in_routine(callback, {0xC2, 0x08, 0x00});
             p.bytes[at] = 0xC3;  // plain ret
             p.bytes[at + 1] = 0x90, p.bytes[at + 2] = 0x90;
         },
         1, "error", "returns with ret 0, its kind pops 8"},
        {"InstallLeavesThroughAPointer",
         [](Patch& p) {
             // jmp dword ptr [Linkage + 4]: where it returns cannot be read from the module.
             const uint32_t at = p.offset_of(p.gauge().routines[INSTALL]);
             p.bytes[at] = 0xFF, p.bytes[at + 1] = 0x25;
             p.put32(at + 2, p.linkage() + 4);
         },
         1, "error", "jump through a pointer"},
        {"QueryRoutineInData", [](Patch& p) { p.put32_at(p.gauge().addr + 12, p.linkage()); }, 1, "error",
         "points outside the module's code"},
        {"RelocationBlockOfBadLength",
         [](Patch& p) {
             for (const Section& s : p.pristine.image.sections())
                 if (s.name == ".reloc") p.put32(s.raw_offset + 4, 3);
         },
         1, "error", "bad length"},
        {"UnknownHeaderVersion", [](Patch& p) { p.put32_at(p.gauge().addr, 900); }, 0, "warning",
         "unknown header version 900"},
        {"FontNameFillsItsField",
         [](Patch& p) { memset(&p.bytes.at(p.offset_of(p.root().children[0].addr + 248)), 'A', 32); }, 0, "warning",
         "font name is not a null-padded text"},
        {"HostOwnedTextPointerSet",
         [](Patch& p) { p.put32_at(p.root().children[0].addr + 184, 0x1234); }, 0, "warning",
         "host-owned fields are not zero in the module: text"},
        {"ParentNeverEnded",
         [](Patch& p) {
             // The record that ends the whole-gauge parent begins another one instead.
             const GaugeRecord& g = p.gauge();
             p.put32_at(g.mouse.addr + 44 * (g.mouse.items.size() - 1), 1);
         },
         0, "warning", "2 parent area(s) never ended"},
    };
    return all;
}

class InspectorFaults : public ::testing::TestWithParam<FaultCase> {};

TEST_P(InspectorFaults, NamesTheFaultAndGivesTheVerdict) {
    Patch p;
    ASSERT_TRUE(inspector_support::read_file(inspector_support::shipped_path("VARN_TESSARY_XPDR"), &p.bytes))
        << "run make first";
    p.pristine = inspect(p.bytes, "pristine.gau");
    ASSERT_EQ(p.pristine.exit_code(), 0);
    GetParam().breakit(p);
    const Inspection in = inspect(p.bytes, "broken.gau");

    std::string all;
    bool named = false;
    for (const Problem& q : in.problems) {
        all += "\n  " + q.severity + ": " + q.where + ": " + q.what;
        named |= q.severity == GetParam().severity && q.what.find(GetParam().names_it) != std::string::npos;
    }
    EXPECT_TRUE(named) << "no " << GetParam().severity << " naming \"" << GetParam().names_it << "\" among:" << all;
    EXPECT_EQ(in.exit_code(), GetParam().exit_code) << all;
    // The report still renders in both forms.
    EXPECT_NE(in.report.to_json().find("\"problems\""), std::string::npos);
    EXPECT_FALSE(in.report.to_text().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, InspectorFaults, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
