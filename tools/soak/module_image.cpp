#include "tools/soak/module_image.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace soak {
namespace {

std::vector<char> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A bounds-checked view of a record inside the file.
template <class T>
const T* at(const std::vector<char>& file, uint64_t offset, uint64_t count = 1) {
    if (offset > file.size() || count > (file.size() - offset) / sizeof(T))
        throw std::runtime_error("module file is truncated or malformed");
    return reinterpret_cast<const T*>(file.data() + offset);
}

// Copies mapped module memory byte by byte, redzones between instrumented globals included:
// this is a raw look at the whole segment, not an access to any one variable.
__attribute__((no_sanitize("address"))) void copy_raw(uint8_t* to, uintptr_t from, size_t count) {
    const volatile uint8_t* source = reinterpret_cast<const volatile uint8_t*>(from);
    for (size_t i = 0; i < count; ++i) to[i] = source[i];
}

std::string demangle(const char* mangled) {
    int status = 0;
    char* text = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    if (status != 0 || text == nullptr) return mangled;
    std::string out(text);
    free(text);
    return out;
}

}  // namespace

std::string unqualified_name(std::string_view name) {
    // Drop template argument lists (nested ones included), then everything up to the last "::".
    std::string plain;
    int depth = 0;
    for (char c : name) {
        if (c == '<') ++depth;
        else if (c == '>' && depth > 0) --depth;
        else if (depth == 0) plain += c;
    }
    const size_t colon = plain.rfind("::");
    return colon == std::string::npos ? plain : plain.substr(colon + 2);
}

ModuleImage::ModuleImage(void* handle) {
    link_map* map = nullptr;
    if (handle == nullptr || dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr)
        throw std::runtime_error("not a loaded module");
    path_ = map->l_name;
    base_ = map->l_addr;

    const std::vector<char> file = read_file(path_);
    const auto* ehdr = at<Elf64_Ehdr>(file, 0);
    if (memcmp(ehdr->e_ident, ELFMAG, SELFMAG) != 0 || ehdr->e_ident[EI_CLASS] != ELFCLASS64)
        throw std::runtime_error(path_ + " is not a 64-bit ELF file");

    // Mapped span and writable segments, from the program headers.
    const auto* phdrs = at<Elf64_Phdr>(file, ehdr->e_phoff, ehdr->e_phnum);
    span_ = {UINTPTR_MAX, 0};
    for (int i = 0; i < ehdr->e_phnum; ++i) {
        const Elf64_Phdr& p = phdrs[i];
        if (p.p_type != PT_LOAD) continue;
        const Range r{base_ + p.p_vaddr, base_ + p.p_vaddr + p.p_memsz};
        span_.begin = std::min(span_.begin, r.begin);
        span_.end = std::max(span_.end, r.end);
        if (p.p_flags & PF_W) writable_.push_back(r);
    }

    // Data objects, from the full symbol table (local symbols included).
    const auto* shdrs = at<Elf64_Shdr>(file, ehdr->e_shoff, ehdr->e_shnum);
    bool found_table = false;
    for (int i = 0; i < ehdr->e_shnum; ++i) {
        const Elf64_Shdr& table = shdrs[i];
        if (table.sh_type != SHT_SYMTAB || table.sh_entsize != sizeof(Elf64_Sym)) continue;
        if (table.sh_link >= ehdr->e_shnum) throw std::runtime_error(path_ + ": bad symbol table link");
        found_table = true;
        const Elf64_Shdr& strings = shdrs[table.sh_link];
        const auto* names = at<char>(file, strings.sh_offset, strings.sh_size);
        const size_t count = table.sh_size / sizeof(Elf64_Sym);
        const auto* symbols = at<Elf64_Sym>(file, table.sh_offset, count);
        for (size_t s = 0; s < count; ++s) {
            const Elf64_Sym& sym = symbols[s];
            if (ELF64_ST_TYPE(sym.st_info) != STT_OBJECT || sym.st_shndx == SHN_UNDEF || sym.st_size == 0) continue;
            if (sym.st_name >= strings.sh_size) continue;
            const char* raw = names + sym.st_name;
            if (memchr(raw, '\0', strings.sh_size - sym.st_name) == nullptr) continue;
            ModuleVariable v;
            v.name = demangle(raw);
            v.base_name = unqualified_name(v.name);
            v.address = base_ + sym.st_value;
            v.size = sym.st_size;
            variables_.push_back(std::move(v));
        }
    }
    if (!found_table) throw std::runtime_error(path_ + " carries no symbol table (stripped?)");
    std::sort(variables_.begin(), variables_.end(),
              [](const ModuleVariable& a, const ModuleVariable& b) { return a.address < b.address; });
}

std::vector<const ModuleVariable*> ModuleImage::named(std::string_view base_name) const {
    std::vector<const ModuleVariable*> out;
    for (const ModuleVariable& v : variables_)
        if (v.base_name == base_name) out.push_back(&v);
    return out;
}

std::vector<uint8_t> ModuleImage::writable_data() const {
    std::vector<uint8_t> out;
    for (const Range& r : writable_) {
        const size_t first = out.size();
        out.resize(first + (r.end - r.begin));
        copy_raw(out.data() + first, r.begin, r.end - r.begin);
        // Pointers are 8-byte aligned in memory; rebase those that point into the module.
        for (uintptr_t a = (r.begin + 7) & ~uintptr_t{7}; a + 8 <= r.end; a += 8) {
            uint64_t word;
            memcpy(&word, out.data() + first + (a - r.begin), 8);
            if (word < span_.begin || word >= span_.end) continue;
            word -= base_;
            memcpy(out.data() + first + (a - r.begin), &word, 8);
        }
    }
    return out;
}

std::string ModuleImage::first_difference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) const {
    if (a.size() != b.size()) return "copies of different length";
    size_t offset = 0;
    while (offset < a.size() && a[offset] == b[offset]) ++offset;
    if (offset == a.size()) return {};
    // Back from the offset in the copy to the address in the module.
    size_t at = offset;
    uintptr_t address = 0;
    for (const Range& r : writable_) {
        if (at < r.end - r.begin) {
            address = r.begin + at;
            break;
        }
        at -= r.end - r.begin;
    }
    char where[64];
    snprintf(where, sizeof where, "byte at module offset 0x%zx", static_cast<size_t>(address - base_));
    for (const ModuleVariable& v : variables_)
        if (address >= v.address && address < v.address + v.size)
            return std::string(where) + " in " + v.name + " (+" + std::to_string(address - v.address) + ")";
    return std::string(where) + " outside any named variable";
}

}  // namespace soak
