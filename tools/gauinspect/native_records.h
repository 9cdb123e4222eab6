// The records of a native gauge module (the .so twin of a .gau), read in memory through the
// framework's typed records: the host's view of the module as our panel host emulator
// loads it. Its canonical text must equal the one read from the Windows binary.
#pragma once

#include <string>
#include <vector>

#include "tools/gauinspect/gau_records.h"

namespace gauinspect {

struct NativeRead {
    std::string error;       // set when the module could not be loaded at all
    ModuleRecords records;
    std::vector<Problem> problems;
};

// Loads the module at `path` twice: once into a panel host that places each version-610
// gauge, to learn the mouse list its install routine hands over; then fresh, as stored,
// to read every record before any host wrote into it.
NativeRead read_native_module(const std::string& path);

}  // namespace gauinspect
