// Reading the code of a routine that the records name: how many argument bytes each of its
// returns pops, and which rebased addresses it uses.
#pragma once

#include <stdint.h>

#include <set>
#include <string>
#include <vector>

#include "tools/gauinspect/pe_image.h"

namespace gauinspect {

struct ReturnScan {
    std::set<uint32_t> popped;          // argument bytes removed by the returns found (ret N)
    std::vector<std::string> unresolved;  // paths the scan could not follow to a return
    size_t instructions = 0;
};

// Follows every path of the routine at `rva` (conditional branches, jumps, jump tables whose
// entries are rebased code addresses, tail jumps into other routines) and collects the bytes
// popped by each return it reaches. Calls are assumed to return.
ReturnScan scan_returns(const PeImage& image, uint32_t rva);

// The rebased addresses (immediate operands with a base relocation) that the routine at
// `rva` uses, and those of the routines it calls directly, `call_depth` calls deep.
std::vector<uint32_t> relocated_immediates(const PeImage& image, uint32_t rva, int call_depth);

}  // namespace gauinspect
