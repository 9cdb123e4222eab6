// One-line forwarding wrappers to the host's operations.
//
// Every host operation a module calls goes through the table whose address the host wrote
// into the module's exported ImportTable before it called anything. Module code calls these
// wrappers and reads the same against the real simulator and against the panel host
// emulator. No module reads an operation's result.
#pragma once

#include "framework/records.h"

extern "C" IMPORT_TABLE ImportTable;

namespace host {

inline PANELS* table() { return ImportTable.panels.table; }

inline void element_list_query(ELEMENT_HEADER* root) { table()->element_list_query(root); }
inline void element_list_install(ELEMENT_HEADER* root, GAUGE_RESOURCE_HANDLE resources) { table()->element_list_install(root, resources); }
inline void element_list_initialize(ELEMENT_HEADER* root) { table()->element_list_initialize(root); }
inline void element_list_update(ELEMENT_HEADER* root) { table()->element_list_update(root); }
inline void element_list_generate(ELEMENT_HEADER* root, uint32_t phase) { table()->element_list_generate(root, phase); }
inline void element_list_plot(ELEMENT_HEADER* root) { table()->element_list_plot(root); }
inline void element_list_kill(ELEMENT_HEADER* root) { table()->element_list_kill(root); }
inline void mouse_list_install(MOUSERECT* list, GAUGEHDR* gauge, PIXPOINT* size) { table()->mouse_list_install(list, gauge, size); }
inline void mouse_list_register(MOUSERECT* list, GAUGEHDR* gauge) { table()->mouse_list_register(list, gauge); }
inline void mouse_list_unregister(MOUSERECT* list, GAUGEHDR* gauge) { table()->mouse_list_unregister(list, gauge); }
inline void trigger_key_event(uint32_t event_id, uint32_t value) { table()->trigger_key_event(event_id, value); }
inline void initialize_var(MODULE_VAR* var) { table()->initialize_var(var); }
inline void lookup_var(MODULE_VAR* var) { table()->lookup_var(var); }

}  // namespace host
