// A look inside a loaded native gauge module, the way a debugger looks at a process: its
// module-level variables found by name in the module file's symbol table, and a copy of its
// writable data that compares equal across loads at different addresses.
//
// Module state is private to the module (anonymous namespaces, hidden visibility), so the
// soak driver and the robustness tests read it here instead of through any export: the
// modules stay exactly as they ship.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <string_view>
#include <vector>

namespace soak {

// One data object of the module.
struct ModuleVariable {
    std::string name;       // demangled, e.g. "(anonymous namespace)::test_countdown<3ul>"
    std::string base_name;  // unqualified, template arguments dropped: "test_countdown"
    uintptr_t address;      // where it lives in this load
    size_t size;            // bytes
};

class ModuleImage {
public:
    // `handle` is the module's dlopen handle (the host's module handle). Throws
    // std::runtime_error if the module file cannot be read or has no symbol table.
    explicit ModuleImage(void* handle);

    const std::string& path() const { return path_; }
    uintptr_t load_base() const { return base_; }
    const std::vector<ModuleVariable>& variables() const { return variables_; }
    // Every variable with this unqualified name (several for a variable template or the
    // same name in different namespaces), in address order.
    std::vector<const ModuleVariable*> named(std::string_view base_name) const;

    // The module's writable data as it stands now, every pointer into the module replaced by
    // its offset from the load base, so that two loads compare equal byte for byte whatever
    // address each was mapped at.
    std::vector<uint8_t> writable_data() const;
    // Where two such copies first differ, for messages: the byte's address and the variable
    // that holds it. Empty when they are equal.
    std::string first_difference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) const;

private:
    struct Range {
        uintptr_t begin, end;
    };
    std::string path_;
    uintptr_t base_ = 0;
    Range span_{};                 // the whole mapped module
    std::vector<Range> writable_;  // its writable segments
    std::vector<ModuleVariable> variables_;
};

// The unqualified name of a demangled C++ name: "a::b<c::d>::e<1>" gives "e".
std::string unqualified_name(std::string_view demangled);

}  // namespace soak
