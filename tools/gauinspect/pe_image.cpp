#include "tools/gauinspect/pe_image.h"

#include <string.h>

#include <algorithm>
#include <functional>

#include "tools/gauinspect/json.h"

namespace gauinspect {

namespace {

// Limits that keep a hostile file from making the reader work without end. Real modules are
// far below each.
constexpr uint32_t kMaxSections = 96;
constexpr uint32_t kMaxExports = 4096;
constexpr uint32_t kMaxImportDlls = 256;
constexpr uint32_t kMaxImportsPerDll = 4096;
constexpr uint32_t kMaxResources = 65536;
constexpr uint32_t kMaxResourceBytes = 64u << 20;
constexpr uint32_t kMaxResourceEntriesPerDir = 4096;
constexpr size_t kMaxNameLength = 512;

uint16_t le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// UTF-16LE code units to UTF-8 (unpaired surrogates become U+FFFD).
std::string utf8_of(const std::vector<uint16_t>& units) {
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

std::string ResourceId::text() const { return is_name ? name : std::to_string(id); }

std::string machine_name(uint16_t machine) {
    switch (machine) {
    case 0x14c: return "i386";
    case 0x8664: return "x86-64";
    case 0x1c0: return "arm";
    case 0x1c4: return "armnt";
    case 0xaa64: return "arm64";
    case 0x200: return "ia64";
    default: return "unknown";
    }
}

std::vector<std::string> characteristic_names(uint16_t bits) {
    static const std::pair<uint16_t, const char*> names[] = {
        {0x0001, "relocs-stripped"}, {0x0002, "executable-image"}, {0x0004, "line-nums-stripped"},
        {0x0008, "local-syms-stripped"}, {0x0010, "aggressive-ws-trim"}, {0x0020, "large-address-aware"},
        {0x0080, "bytes-reversed-lo"}, {0x0100, "32bit-machine"}, {0x0200, "debug-stripped"},
        {0x0400, "removable-run-from-swap"}, {0x0800, "net-run-from-swap"}, {0x1000, "system"},
        {0x2000, "dll"}, {0x4000, "up-system-only"}, {0x8000, "bytes-reversed-hi"},
    };
    std::vector<std::string> out;
    for (auto [bit, name] : names)
        if (bits & bit) out.push_back(name);
    if (bits & 0x0040) out.push_back("bit-0x40");
    return out;
}

std::vector<std::string> dll_characteristic_names(uint16_t bits) {
    static const std::pair<uint16_t, const char*> names[] = {
        {0x0020, "high-entropy-va"}, {0x0040, "dynamic-base"}, {0x0080, "force-integrity"},
        {0x0100, "nx-compat"}, {0x0200, "no-isolation"}, {0x0400, "no-seh"}, {0x0800, "no-bind"},
        {0x1000, "appcontainer"}, {0x2000, "wdm-driver"}, {0x4000, "guard-cf"},
        {0x8000, "terminal-server-aware"},
    };
    std::vector<std::string> out;
    for (auto [bit, name] : names)
        if (bits & bit) out.push_back(name);
    if (bits & 0x001F) out.push_back("reserved-bits-" + hex(bits & 0x1F));
    return out;
}

const Section* PeImage::section_of(uint32_t rva) const {
    for (const Section& s : sections_) {
        const uint64_t begin = s.virtual_address;
        const uint64_t end = begin + s.mapped_size();
        if (rva >= begin && rva < end) return &s;
    }
    return nullptr;
}

bool PeImage::readable(uint32_t rva, size_t size) const {
    if (size == 0) return true;
    const Section* s = section_of(rva);
    return s != nullptr && static_cast<uint64_t>(rva) - s->virtual_address + size <= s->mapped_size();
}

bool PeImage::read(uint32_t rva, void* out, size_t size) const {
    if (size == 0) return true;
    if (!readable(rva, size)) return false;
    const Section* s = section_of(rva);
    const uint64_t within = static_cast<uint64_t>(rva) - s->virtual_address;
    auto* dst = static_cast<uint8_t*>(out);
    memset(dst, 0, size);
    // Bytes present in the file; the rest of the section reads as zero.
    if (within < s->raw_size) {
        const uint64_t present = std::min<uint64_t>(size, s->raw_size - within);
        memcpy(dst, file_.data() + s->raw_offset + within, static_cast<size_t>(present));
    }
    return true;
}

std::optional<std::string> PeImage::read_text(uint32_t rva, size_t limit) const {
    const Section* s = section_of(rva);
    if (s == nullptr) return std::nullopt;
    const uint64_t within = static_cast<uint64_t>(rva) - s->virtual_address;
    const uint64_t left = s->mapped_size() - within;  // a text does not run across sections
    std::string out;
    for (uint64_t i = 0; i < limit && i < left; ++i) {
        const uint64_t at = within + i;
        const char c = at < s->raw_size ? static_cast<char>(file_[s->raw_offset + at]) : '\0';
        if (c == '\0') return out;
        out += c;
    }
    return std::nullopt;  // no terminator within the limit
}

std::optional<uint32_t> PeImage::file_offset(uint32_t rva) const {
    const Section* s = section_of(rva);
    if (s == nullptr) return std::nullopt;
    const uint32_t within = rva - s->virtual_address;
    if (within >= s->raw_size) return std::nullopt;
    return s->raw_offset + within;
}

std::optional<uint32_t> PeImage::rva_of(uint32_t va) const {
    if (va < image_base_) return std::nullopt;
    const uint32_t rva = va - image_base_;
    if (rva >= image_size_ || section_of(rva) == nullptr) return std::nullopt;
    return rva;
}

bool PeImage::executable(uint32_t rva) const {
    const Section* s = section_of(rva);
    return s != nullptr && s->executable();
}

std::optional<std::vector<uint8_t>> PeImage::resource_bytes(const Resource& r) const {
    // Checked before anything is allocated: a size field may say anything.
    if (r.size > kMaxResourceBytes || !readable(r.rva, r.size)) return std::nullopt;
    std::vector<uint8_t> bytes(r.size);
    if (!read(r.rva, bytes.data(), bytes.size())) return std::nullopt;
    return bytes;
}

bool PeImage::parse(std::vector<uint8_t> file) {
    file_ = std::move(file);
    const size_t n = file_.size();
    const uint8_t* f = file_.data();
    if (n < 64) return error("file is " + std::to_string(n) + " bytes long: too short for an MZ header"), false;
    if (f[0] != 'M' || f[1] != 'Z') return error("no MZ signature at the start of the file"), false;
    const uint32_t pe = le32(f + 0x3c);
    if (static_cast<uint64_t>(pe) + 24 > n)
        return error("PE header offset " + hex(pe) + " lies past the end of the file"), false;
    if (memcmp(f + pe, "PE\0\0", 4) != 0) return error("no PE signature at offset " + hex(pe)), false;

    const uint8_t* coff = f + pe + 4;
    machine_ = le16(coff);
    const uint32_t section_count = le16(coff + 2);
    timestamp_ = le32(coff + 4);
    const uint32_t optional_size = le16(coff + 16);
    characteristics_ = le16(coff + 18);
    if (machine_ != 0x14c) error("machine " + hex(machine_) + " (" + machine_name(machine_) + "), not i386");
    if (!(characteristics_ & 0x2000)) error("the image is not marked as a DLL");
    if (!(characteristics_ & 0x0002)) error("the image is not marked executable");

    const uint64_t opt = static_cast<uint64_t>(pe) + 24;
    if (optional_size < 96 || opt + optional_size > n)
        return error("optional header (" + std::to_string(optional_size) + " bytes) is too short or runs past the file"), false;
    const uint8_t* o = f + opt;
    if (le16(o) != 0x10b) return error("optional header magic " + hex(le16(o)) + ", not PE32 (0x10b)"), false;
    entry_point_ = le32(o + 16);
    image_base_ = le32(o + 28);
    image_size_ = le32(o + 56);
    subsystem_ = le16(o + 68);
    dll_characteristics_ = le16(o + 70);
    const uint32_t directory_count = std::min<uint32_t>(le32(o + 92), (optional_size - 96) / 8);
    auto directory = [&](uint32_t i, uint32_t* rva, uint32_t* size) {
        if (i >= directory_count) return false;
        *rva = le32(o + 96 + 8 * i);
        *size = le32(o + 96 + 8 * i + 4);
        return *rva != 0 && *size != 0;
    };

    const uint64_t table = opt + optional_size;
    if (section_count > kMaxSections) return error("the image declares " + std::to_string(section_count) + " sections"), false;
    if (table + 40ull * section_count > n) return error("the section table runs past the end of the file"), false;
    for (uint32_t i = 0; i < section_count; ++i) {
        const uint8_t* s = f + table + 40ull * i;
        Section sec;
        sec.name.assign(reinterpret_cast<const char*>(s), strnlen(reinterpret_cast<const char*>(s), 8));
        sec.virtual_size = le32(s + 8);
        sec.virtual_address = le32(s + 12);
        sec.declared_raw_size = le32(s + 16);
        sec.raw_offset = le32(s + 20);
        sec.characteristics = le32(s + 36);
        sec.raw_size = sec.declared_raw_size;
        if (sec.raw_size != 0 && sec.raw_offset >= n) {
            error("section " + sec.name + ": raw data at " + hex(sec.raw_offset) + " lies past the end of the file");
            sec.raw_size = 0;
        } else if (static_cast<uint64_t>(sec.raw_offset) + sec.raw_size > n) {
            error("section " + sec.name + ": raw data runs past the end of the file (truncated)");
            sec.raw_size = static_cast<uint32_t>(n - sec.raw_offset);
        }
        // The loader maps at most virtual_size bytes of the raw data.
        if (sec.virtual_size != 0 && sec.raw_size > sec.virtual_size) sec.raw_size = sec.virtual_size;
        if (static_cast<uint64_t>(sec.virtual_address) + sec.mapped_size() > image_size_)
            warn("section " + sec.name + " reaches beyond the declared image size");
        for (const Section& other : sections_) {
            const uint64_t a0 = sec.virtual_address, a1 = a0 + sec.mapped_size();
            const uint64_t b0 = other.virtual_address, b1 = b0 + other.mapped_size();
            if (a0 < b1 && b0 < a1) error("sections " + other.name + " and " + sec.name + " overlap");
        }
        sections_.push_back(sec);
    }
    if (entry_point_ != 0 && !executable(entry_point_))
        error("the entry point " + hex(entry_point_) + " is not in an executable section");

    uint32_t rva = 0, size = 0;
    if (directory(0, &rva, &size)) parse_exports(rva, size);
    if (directory(1, &rva, &size)) parse_imports(rva, size);
    if (directory(5, &rva, &size)) parse_relocations(rva, size);
    else if (!(characteristics_ & 0x0001)) warn("the image carries no base relocations: it loads only at its preferred base");
    if (directory(2, &rva, &size)) parse_resources(rva, size);
    parse_version();
    return true;
}

void PeImage::parse_exports(uint32_t rva, uint32_t size) {
    uint8_t d[40];
    if (!read(rva, d, sizeof d)) return error("the export directory lies outside the image");
    const uint32_t name_rva = le32(d + 12), base = le32(d + 16);
    const uint32_t functions = le32(d + 20), names = le32(d + 24);
    const uint32_t functions_rva = le32(d + 28), names_rva = le32(d + 32), ordinals_rva = le32(d + 36);
    if (auto name = read_text(name_rva, kMaxNameLength)) export_dll_name_ = *name;
    if (functions > kMaxExports || names > kMaxExports)
        return error("the export directory declares " + std::to_string(std::max(functions, names)) + " entries");
    std::vector<std::string> name_of(functions);
    for (uint32_t i = 0; i < names; ++i) {
        uint32_t text_rva = 0;
        uint16_t index = 0;
        if (!read_u32(names_rva + 4 * i, &text_rva) || !read_u16(ordinals_rva + 2 * i, &index))
            return error("the export name table lies outside the image");
        auto text = read_text(text_rva, kMaxNameLength);
        if (!text) {
            error("export name " + std::to_string(i) + " is not a readable text");
            continue;
        }
        if (index >= functions) {
            error("export " + *text + " names function " + std::to_string(index) + " of " + std::to_string(functions));
            continue;
        }
        name_of[index] = *text;
    }
    for (uint32_t i = 0; i < functions; ++i) {
        uint32_t target = 0;
        if (!read_u32(functions_rva + 4 * i, &target)) return error("the export address table lies outside the image");
        if (target == 0) continue;
        Export e{name_of[i], base + i, target, {}};
        if (target >= rva && static_cast<uint64_t>(target) < static_cast<uint64_t>(rva) + size) {
            e.forwarder = read_text(target, kMaxNameLength).value_or("?");
        } else if (section_of(target) == nullptr) {
            error("export " + (e.name.empty() ? "#" + std::to_string(e.ordinal) : e.name) + " points outside the image");
        }
        exports_.push_back(std::move(e));
    }
}

void PeImage::parse_imports(uint32_t rva, uint32_t) {
    for (uint32_t i = 0;; ++i) {
        if (i >= kMaxImportDlls) return error("the import directory does not end");
        uint8_t d[20];
        if (!read(rva + 20 * i, d, sizeof d)) return error("the import directory lies outside the image");
        const uint32_t lookup = le32(d), name_rva = le32(d + 12), thunks = le32(d + 16);
        if (lookup == 0 && name_rva == 0 && thunks == 0) break;
        ImportedDll dll;
        auto name = read_text(name_rva, kMaxNameLength);
        if (!name) {
            error("import " + std::to_string(i) + ": the DLL name is not a readable text");
            continue;
        }
        dll.dll = *name;
        const uint32_t list = lookup ? lookup : thunks;
        for (uint32_t k = 0;; ++k) {
            if (k >= kMaxImportsPerDll) {
                error("the import list of " + dll.dll + " does not end");
                break;
            }
            uint32_t entry = 0;
            if (!read_u32(list + 4 * k, &entry)) {
                error("the import list of " + dll.dll + " lies outside the image");
                break;
            }
            if (entry == 0) break;
            ImportedFunction fn;
            if (entry & 0x80000000u) {
                fn.ordinal = entry & 0xFFFF;
            } else {
                auto text = read_text(entry + 2, kMaxNameLength);
                if (!text || !read_u16(entry, &fn.hint)) {
                    error("import " + std::to_string(k) + " of " + dll.dll + " has no readable name");
                    continue;
                }
                fn.name = *text;
            }
            dll.functions.push_back(std::move(fn));
        }
        imports_.push_back(std::move(dll));
    }
}

void PeImage::parse_relocations(uint32_t rva, uint32_t size) {
    uint64_t at = rva;
    const uint64_t end = static_cast<uint64_t>(rva) + size;
    std::set<uint32_t> odd_types;
    while (at + 8 <= end) {
        uint32_t page = 0, block = 0;
        if (!read_u32(static_cast<uint32_t>(at), &page) || !read_u32(static_cast<uint32_t>(at + 4), &block))
            return error("the base relocation table lies outside the image");
        if (block < 8 || at + block > end)
            return error("base relocation block at " + hex(at) + " has a bad length " + std::to_string(block));
        for (uint32_t k = 0; k < (block - 8) / 2; ++k) {
            uint16_t entry = 0;
            if (!read_u16(static_cast<uint32_t>(at + 8 + 2 * k), &entry)) return error("the base relocation table lies outside the image");
            const uint32_t type = entry >> 12;
            if (type == 3) {
                relocations_.insert(page + (entry & 0xFFF));
            } else if (type != 0) {
                odd_types.insert(type);
            }
        }
        at += block;
    }
    for (uint32_t type : odd_types) warn("base relocations of type " + std::to_string(type) + " are not applied by this reader");
}

ResourceId PeImage::resource_id(uint32_t base, uint32_t raw) {
    ResourceId id;
    if (!(raw & 0x80000000u)) {
        id.id = raw;
        return id;
    }
    id.is_name = true;
    const uint32_t at = base + (raw & 0x7FFFFFFFu);
    uint16_t length = 0;
    if (!read_u16(at, &length)) {
        error("a resource name lies outside the image");
        id.name = "?";
        return id;
    }
    std::vector<uint16_t> units;
    for (uint32_t i = 0; i < std::min<uint32_t>(length, kMaxNameLength); ++i) {
        uint16_t u = 0;
        if (!read_u16(at + 2 + 2 * i, &u)) {
            error("a resource name runs outside the image");
            break;
        }
        units.push_back(u);
    }
    id.name = utf8_of(units);
    return id;
}

void PeImage::parse_resource_dir(uint32_t base, uint32_t offset, int level, Resource path,
                                 std::set<uint32_t>& seen) {
    if (!seen.insert(offset).second) return error("resource directory at " + hex(base + offset) + " is reached twice (a loop)");
    uint8_t d[16];
    if (!read(base + offset, d, sizeof d)) return error("resource directory at " + hex(base + offset) + " lies outside the image");
    const uint32_t count = static_cast<uint32_t>(le16(d + 12)) + le16(d + 14);
    if (count > kMaxResourceEntriesPerDir) return error("resource directory with " + std::to_string(count) + " entries");
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t e[8];
        if (!read(base + offset + 16 + 8 * i, e, sizeof e)) return error("resource directory entries lie outside the image");
        const uint32_t raw_id = le32(e), target = le32(e + 4);
        Resource here = path;
        const ResourceId id = resource_id(base, raw_id);
        if (level == 0) here.type = id;
        else if (level == 1) here.name = id;
        else here.language = id.id;
        if (target & 0x80000000u) {
            if (level >= 2) {
                error("resource directory nested deeper than type, name and language");
                continue;
            }
            parse_resource_dir(base, target & 0x7FFFFFFFu, level + 1, here, seen);
        } else {
            if (level != 2) warn("resource " + here.type.text() + "/" + here.name.text() + " has data above the language level");
            uint8_t leaf[16];
            if (!read(base + target, leaf, sizeof leaf)) {
                error("resource data entry at " + hex(base + target) + " lies outside the image");
                continue;
            }
            here.rva = le32(leaf);
            here.size = le32(leaf + 4);
            here.codepage = le32(leaf + 8);
            if (resources_.size() >= kMaxResources) return error("too many resources");
            if (here.size > kMaxResourceBytes)
                error("resource " + here.type.text() + "/" + here.name.text() + " claims " + std::to_string(here.size) + " bytes");
            else if (!readable(here.rva, here.size))
                error("resource " + here.type.text() + "/" + here.name.text() + ": its " + std::to_string(here.size) +
                      " bytes lie outside the image");
            resources_.push_back(std::move(here));
        }
    }
}

void PeImage::parse_resources(uint32_t rva, uint32_t) {
    std::set<uint32_t> seen;
    parse_resource_dir(rva, 0, 0, Resource{}, seen);
}

namespace {

// One node of a version resource: {length, value length, type, key, value, children}.
struct VersionNode {
    std::string key;
    uint16_t type = 0;
    size_t value_begin = 0, value_size = 0;
    std::vector<VersionNode> children;
};

bool parse_version_node(const std::vector<uint8_t>& b, size_t at, size_t limit, int depth, VersionNode* out,
                        size_t* next) {
    if (depth > 4 || at + 6 > limit) return false;
    const uint16_t length = le16(&b[at]);
    const uint16_t value_length = le16(&b[at + 2]);
    out->type = le16(&b[at + 4]);
    if (length < 6 || at + length > limit) return false;
    const size_t end = at + length;
    size_t p = at + 6;
    std::vector<uint16_t> key;
    for (;;) {
        if (p + 2 > end || key.size() > kMaxNameLength) return false;
        const uint16_t u = le16(&b[p]);
        p += 2;
        if (u == 0) break;
        key.push_back(u);
    }
    out->key = utf8_of(key);
    p = (p + 3) & ~size_t{3};
    const size_t value_bytes = out->type == 1 ? size_t{value_length} * 2 : value_length;
    if (p + value_bytes > end) {
        // A text value whose length counts bytes rather than characters still fits.
        if (out->type == 1 && p + value_length <= end) {
            out->value_begin = p;
            out->value_size = value_length;
            *next = (end + 3) & ~size_t{3};
            return true;
        }
        return false;
    }
    out->value_begin = p;
    out->value_size = value_bytes;
    p = (p + value_bytes + 3) & ~size_t{3};
    while (p + 6 <= end) {
        VersionNode child;
        size_t after = 0;
        if (!parse_version_node(b, p, end, depth + 1, &child, &after)) return false;
        out->children.push_back(std::move(child));
        if (after <= p) return false;
        p = after;
    }
    *next = (end + 3) & ~size_t{3};
    return true;
}

std::string version_text(const std::vector<uint8_t>& b, const VersionNode& n) {
    std::vector<uint16_t> units;
    for (size_t i = 0; i + 2 <= n.value_size && n.value_begin + i + 2 <= b.size(); i += 2) {
        const uint16_t u = le16(&b[n.value_begin + i]);
        if (u == 0) break;
        units.push_back(u);
    }
    return utf8_of(units);
}

}  // namespace

void PeImage::parse_version() {
    for (const Resource& r : resources_) {
        if (r.type.is_name || r.type.id != 16) continue;
        auto bytes = resource_bytes(r);
        if (!bytes) return;
        VersionNode root;
        size_t next = 0;
        if (!parse_version_node(*bytes, 0, bytes->size(), 0, &root, &next) || root.key != "VS_VERSION_INFO")
            return error("the version resource is malformed");
        version_.present = true;
        if (root.value_size >= 52 && le32(&(*bytes)[root.value_begin]) == 0xFEEF04BDu) {
            const uint8_t* v = &(*bytes)[root.value_begin];
            const uint32_t fms = le32(v + 8), fls = le32(v + 12), pms = le32(v + 16), pls = le32(v + 20);
            const uint16_t file[4] = {uint16_t(fms >> 16), uint16_t(fms), uint16_t(fls >> 16), uint16_t(fls)};
            const uint16_t product[4] = {uint16_t(pms >> 16), uint16_t(pms), uint16_t(pls >> 16), uint16_t(pls)};
            std::copy(file, file + 4, version_.file_version);
            std::copy(product, product + 4, version_.product_version);
            version_.file_flags = le32(v + 28);
            version_.file_os = le32(v + 32);
            version_.file_type = le32(v + 36);
            version_.file_subtype = le32(v + 40);
        } else {
            warn("the version resource has no fixed file information");
        }
        for (const VersionNode& block : root.children) {
            if (block.key == "StringFileInfo") {
                for (const VersionNode& table : block.children)
                    for (const VersionNode& s : table.children)
                        version_.strings.emplace_back(s.key, version_text(*bytes, s));
            } else if (block.key == "VarFileInfo") {
                for (const VersionNode& var : block.children)
                    for (size_t i = 0; i + 4 <= var.value_size; i += 4)
                        version_.translations.push_back(le32(&(*bytes)[var.value_begin + i]));
            }
        }
        return;
    }
}

}  // namespace gauinspect
