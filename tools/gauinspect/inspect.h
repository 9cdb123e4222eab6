// One inspection of a .gau file: the PE image, the records followed from Linkage, the
// return check of every routine the records name, and the report built from them.
#pragma once

#include <stdint.h>

#include <optional>
#include <string>
#include <vector>

#include "tools/gauinspect/code_scan.h"
#include "tools/gauinspect/gau_records.h"
#include "tools/gauinspect/json.h"
#include "tools/gauinspect/pe_image.h"

namespace gauinspect {

// Argument bytes a routine of each kind must pop on return (standard calling convention).
struct RoutineKind {
    const char* role;
    uint32_t argument_bytes;
};
// "entry point" 12, "module_init"/"module_deinit" 0, the seven gauge routines 0 (install
// and generate 4), "gauge callback" 12, "mouse handler" 8, "needle callback" and
// "icon callback" 4, "string callback" 8.
std::optional<uint32_t> argument_bytes(const std::string& role);

// One routine named by the records, with every role it is named in.
struct RoutineCheck {
    uint32_t address = 0;                // virtual address
    std::vector<std::string> roles;      // distinct roles, e.g. "install", "mouse handler"
    std::vector<std::string> named_by;   // where, e.g. "gauge VARN_tessary_XPDR"
    std::optional<uint32_t> expected;    // bytes the roles call for (unset when they disagree)
    ReturnScan scan;
    bool ok = false;
};

struct BitmapInfo {
    int32_t width = 0, height = 0;
    uint16_t bit_depth = 0;
    uint32_t compression = 0;
};

struct WaveInfo {
    uint16_t format_tag = 0, channels = 0, block_align = 0, bits_per_sample = 0;
    uint32_t samples_per_second = 0, bytes_per_second = 0, data_bytes = 0;
};

struct Inspection {
    std::string file_name;
    bool readable = false;   // a PE32 image whose headers could be followed
    PeImage image;
    bool records_read = false;
    ModuleRecords records;
    std::vector<Problem> problems;
    std::vector<RoutineCheck> routines;
    Json report;

    size_t count(const char* severity) const;
    // 0: nothing wrong; 1: problems of severity "error"; 2: not a readable PE32 image.
    int exit_code() const;
};

Inspection inspect(std::vector<uint8_t> file, const std::string& file_name);

// The bitmap header of a BITMAP resource, when its bytes hold one.
std::optional<BitmapInfo> bitmap_info(const std::vector<uint8_t>& bytes);
// The format and data length of a RIFF/WAVE resource, when its bytes hold one.
std::optional<WaveInfo> wave_info(const std::vector<uint8_t>& bytes);

}  // namespace gauinspect
