#include "framework/module.h"

// The host writes its function table into entry 1 before it calls anything in the module.
extern "C" {
GAUGE_EXPORT constinit IMPORT_TABLE ImportTable = {{IMPORT_PANELS_ID, nullptr}, {0, nullptr}};
}

namespace gauge {
// Nothing to set up or tear down at module level: all state is statically initialised.
void GAUGE_CALL module_init() {}
void GAUGE_CALL module_deinit() {}
}  // namespace gauge

#if defined(_WIN32)
// The library entry point: success for every notification, nothing else. No C runtime
// start-up code runs before or after it.
extern "C" int GAUGE_CALL DllMain(void*, uint32_t, void*) { return 1; }
#endif
