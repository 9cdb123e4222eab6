// The inspector on mutated and truncated copies of every shipped module: it reports, it
// never crashes. Built with AddressSanitizer and UBSan, so a read outside a buffer or an
// overflow fails the run even where the output would look fine. Seeded and bounded: the
// same mutations every run.
#include <gtest/gtest.h>
#include <string.h>

#include <random>

#include "tests/gauinspect_support.h"
#include "tools/gauinspect/inspect.h"

namespace {

using namespace gauinspect;
using inspector_support::built;
using inspector_support::read_file;
using inspector_support::shipped_path;

constexpr int kRounds = 200;  // per mutation kind and module

// Values a corrupted pointer or count is likely to hold.
uint32_t odd_value(std::mt19937& rng, const Inspection& pristine) {
    const uint32_t base = pristine.image.image_base();
    switch (rng() % 7) {
    case 0: return 0;
    case 1: return 0xFFFFFFFFu;
    case 2: return 0x80000000u;
    case 3: return rng() % 1024;
    case 4: return base + rng() % (pristine.image.image_size() + 64);  // inside the image, or just past it
    case 5: return base - 4;
    default: return rng();
    }
}

struct Outcome {
    Inspection in;
    std::string json, text, canonical;
};

Outcome run(std::vector<uint8_t> bytes) {
    Outcome o{inspect(std::move(bytes), "mutant.gau"), {}, {}, {}};
    o.json = o.in.report.to_json();
    o.text = o.in.report.to_text();
    if (o.in.records_read) o.canonical = canonical_text(o.in.records);
    return o;
}

void expect_sound(const Outcome& o, const std::string& what) {
    const int code = o.in.exit_code();
    EXPECT_TRUE(code == 0 || code == 1 || code == 2) << what;
    if (!o.in.readable) EXPECT_GT(o.in.count("error"), 0u) << what << ": unreadable without an error";
    EXPECT_FALSE(o.json.empty()) << what;
}

class InspectorFuzz : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        if (!built(GetParam())) GTEST_SKIP() << GetParam() << " is not part of this build yet";
        ASSERT_TRUE(read_file(shipped_path(GetParam()), &original)) << "run make first";
        pristine = inspect(original, "pristine.gau");
        ASSERT_EQ(pristine.exit_code(), 0);
        rng.seed(static_cast<uint32_t>(std::hash<std::string>{}(GetParam())));
    }
    // The end of the last section's data: a file cut before it is truncated.
    size_t end_of_data() const {
        size_t end = 0;
        for (const Section& s : pristine.image.sections())
            end = std::max<size_t>(end, static_cast<size_t>(s.raw_offset) + s.declared_raw_size);
        return end;
    }
    std::vector<uint8_t> original;
    Inspection pristine;
    std::mt19937 rng;
};

// A file cut anywhere before its data ends is never reported clean.
TEST_P(InspectorFuzz, TruncatedCopiesAreReportedAsBroken) {
    const size_t end = end_of_data();
    for (int i = 0; i < kRounds; ++i) {
        const size_t length = rng() % end;
        std::vector<uint8_t> cut(original.begin(), original.begin() + static_cast<long>(length));
        const Outcome o = run(std::move(cut));
        expect_sound(o, "cut at " + std::to_string(length));
        EXPECT_NE(o.in.exit_code(), 0) << "cut at " << length << " of " << end << " reported clean";
    }
}

// Random bytes changed anywhere in the file: headers, tables, code, records.
TEST_P(InspectorFuzz, ByteFlipsAnywhereAreReportedNotCrashedOn) {
    for (int i = 0; i < kRounds; ++i) {
        std::vector<uint8_t> mutant = original;
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int k = 0; k < flips; ++k) mutant[rng() % mutant.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
        expect_sound(run(std::move(mutant)), "round " + std::to_string(i));
    }
}

// Words of the record sections (where Linkage and everything it reaches live) replaced by
// pointers, counts and kinds a broken or hostile module might hold.
TEST_P(InspectorFuzz, OddRecordWordsAreReportedNotCrashedOn) {
    std::vector<const Section*> data;
    for (const Section& s : pristine.image.sections())
        if (!s.executable() && s.raw_size >= 4 && s.name != ".rsrc" && s.name != ".reloc") data.push_back(&s);
    ASSERT_FALSE(data.empty());
    for (int i = 0; i < kRounds; ++i) {
        std::vector<uint8_t> mutant = original;
        const int words = 1 + static_cast<int>(rng() % 6);
        for (int k = 0; k < words; ++k) {
            const Section& s = *data[rng() % data.size()];
            const uint32_t at = s.raw_offset + 4 * (rng() % (s.raw_size / 4));
            const uint32_t value = odd_value(rng, pristine);
            memcpy(&mutant[at], &value, 4);
        }
        expect_sound(run(std::move(mutant)), "round " + std::to_string(i));
    }
}

// The image headers, directories and resource tree: the parts a loader reads first.
TEST_P(InspectorFuzz, OddHeaderAndDirectoryWordsAreReportedNotCrashedOn) {
    std::vector<std::pair<uint32_t, uint32_t>> regions = {{0, 1024}};
    for (const Section& s : pristine.image.sections())
        if (s.name == ".rsrc" || s.name == ".edata" || s.name == ".idata" || s.name == ".reloc")
            regions.emplace_back(s.raw_offset, std::min<uint32_t>(s.raw_size, 1024));
    for (int i = 0; i < kRounds; ++i) {
        std::vector<uint8_t> mutant = original;
        const auto [begin, size] = regions[rng() % regions.size()];
        const uint32_t at = begin + 2 * (rng() % (size / 2 - 1));
        const uint32_t value = odd_value(rng, pristine);
        memcpy(&mutant[at], &value, std::min<size_t>(4, mutant.size() - at));
        expect_sound(run(std::move(mutant)), "round " + std::to_string(i) + " at " + hex(at));
    }
}

INSTANTIATE_TEST_SUITE_P(Deliverables, InspectorFuzz, ::testing::ValuesIn(inspector_support::deliverables()),
                         [](const auto& info) { return info.param; });

}  // namespace
