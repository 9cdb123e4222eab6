// What every gauge module carries besides its gauges: the exported import record, the
// empty module init/deinit routines, and the library entry point.
#pragma once

#include "framework/records.h"

extern "C" IMPORT_TABLE ImportTable;

namespace gauge {
void GAUGE_CALL module_init();
void GAUGE_CALL module_deinit();
}  // namespace gauge

// Defines the exported Linkage record of a module listing `count` gauges; used inside
// extern "C" { }.
#define GAUGE_LINKAGE(count) GAUGE_EXPORT constinit LINKAGE<count> Linkage
