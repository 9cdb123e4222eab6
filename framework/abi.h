// Basic ABI vocabulary shared by every gauge module and by the panel host emulator.
//
// The simulator's panel host is a 32-bit Windows program: every entry point it calls in a
// module, and every operation of its function table, uses the standard calling convention
// (32-bit stack arguments, removed by the callee). The Windows build therefore spells that
// convention out; the native Linux build, used for tests and the panel bench, calls through
// the same declarations with the platform's ordinary convention.
#pragma once

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define GAUGE_CALL __stdcall
#define GAUGE_EXPORT  // exports are listed in the module definition file
#else
#define GAUGE_CALL
#define GAUGE_EXPORT __attribute__((visibility("default")))
#endif
// Exported records are defined inside extern "C" { } with GAUGE_EXPORT, so that their names
// stay undecorated.

// True in every build where the host's records are laid out exactly as the host reads them:
// 32-bit pointers (the MinGW i686 build). The layout checks below run there.
#define GAUGE_LAYOUT_IS_HOST_LAYOUT (UINTPTR_MAX == 0xFFFFFFFFu)

// Pins one field's offset in the host's 32-bit layout; a no-op where pointers are wider.
#define GAUGE_ASSERT_OFFSET(type, field, value)                                        \
    static_assert(!GAUGE_LAYOUT_IS_HOST_LAYOUT || offsetof(type, field) == (value),     \
                  #type "." #field " must sit at byte " #value)
#define GAUGE_ASSERT_SIZE(type, value)                                                  \
    static_assert(!GAUGE_LAYOUT_IS_HOST_LAYOUT || sizeof(type) == (value),              \
                  #type " must be " #value " bytes long")

// Handle through which the module's own resources are found (the module instance on
// Windows, the loaded library's handle natively). Passed on unchanged by the modules.
typedef void* GAUGE_RESOURCE_HANDLE;

// Extra data of a gauge callback: 32 bits on the host; wide enough for a handle natively.
typedef uintptr_t GAUGE_EXTRA_DATA;
