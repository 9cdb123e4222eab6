// A bounds-checked reader of 32-bit Windows images (PE32), as much of the format as a panel
// host touches when it loads a .gau: headers, sections, exports, imports, base relocations
// and resources. Every read is checked against the file; a malformed file yields errors,
// never a read outside the buffer.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace gauinspect {

struct Section {
    std::string name;
    uint32_t virtual_address = 0;  // RVA
    uint32_t virtual_size = 0;
    uint32_t raw_offset = 0;       // in the file
    uint32_t raw_size = 0;         // bytes present in the file (clipped to the file)
    uint32_t declared_raw_size = 0;
    uint32_t characteristics = 0;
    bool executable() const { return (characteristics & 0x20000000u) != 0 || (characteristics & 0x20u) != 0; }
    bool writable() const { return (characteristics & 0x80000000u) != 0; }
    // Bytes the section occupies once loaded.
    uint32_t mapped_size() const { return virtual_size ? virtual_size : declared_raw_size; }
};

struct Export {
    std::string name;   // empty for an export by ordinal only
    uint32_t ordinal = 0;
    uint32_t rva = 0;
    std::string forwarder;  // set when the export forwards to another DLL
};

struct ImportedFunction {
    std::string name;   // empty when imported by ordinal
    uint32_t ordinal = 0;
    uint16_t hint = 0;
};

struct ImportedDll {
    std::string dll;
    std::vector<ImportedFunction> functions;
};

// A resource type or name: an integer id or a text.
struct ResourceId {
    bool is_name = false;
    uint32_t id = 0;
    std::string name;
    std::string text() const;  // "2" or "WAVE"
};

struct Resource {
    ResourceId type;
    ResourceId name;
    uint32_t language = 0;
    uint32_t rva = 0;
    uint32_t size = 0;
    uint32_t codepage = 0;
};

struct VersionInfo {
    bool present = false;
    uint16_t file_version[4] = {};
    uint16_t product_version[4] = {};
    uint32_t file_flags = 0, file_os = 0, file_type = 0, file_subtype = 0;
    std::vector<std::pair<std::string, std::string>> strings;  // StringFileInfo, in order
    std::vector<uint32_t> translations;                        // VarFileInfo "Translation"
};

class PeImage {
public:
    // Parses `file`. Returns false when the file is not a PE32 image that can be followed at
    // all; errors() says why. A readable image may still carry errors (a broken directory)
    // and warnings; the parts that could be read are available.
    bool parse(std::vector<uint8_t> file);

    const std::vector<std::string>& errors() const { return errors_; }
    const std::vector<std::string>& warnings() const { return warnings_; }
    const std::vector<uint8_t>& file() const { return file_; }

    uint16_t machine() const { return machine_; }
    uint16_t characteristics() const { return characteristics_; }
    uint16_t dll_characteristics() const { return dll_characteristics_; }
    uint16_t subsystem() const { return subsystem_; }
    uint32_t image_base() const { return image_base_; }
    uint32_t image_size() const { return image_size_; }
    uint32_t entry_point() const { return entry_point_; }  // RVA, 0 for none
    uint32_t timestamp() const { return timestamp_; }
    const std::vector<Section>& sections() const { return sections_; }
    const std::vector<Export>& exports() const { return exports_; }
    const std::string& export_dll_name() const { return export_dll_name_; }
    const std::vector<ImportedDll>& imports() const { return imports_; }
    const std::vector<Resource>& resources() const { return resources_; }
    const VersionInfo& version() const { return version_; }
    // RVAs of the 32-bit words the loader rebases (type HIGHLOW entries).
    const std::set<uint32_t>& relocations() const { return relocations_; }
    bool has_relocation(uint32_t rva) const { return relocations_.count(rva) != 0; }

    // The section holding `rva` once loaded, or nullptr.
    const Section* section_of(uint32_t rva) const;
    // Copies `size` bytes of the loaded image at `rva`. Bytes a section holds beyond its raw
    // data read as zero, as the loader maps them. False when any byte lies outside every
    // section.
    bool read(uint32_t rva, void* out, size_t size) const;
    // True when `read` of the same range would succeed.
    bool readable(uint32_t rva, size_t size) const;
    bool read_u32(uint32_t rva, uint32_t* out) const { return read(rva, out, 4); }
    bool read_u16(uint32_t rva, uint16_t* out) const { return read(rva, out, 2); }
    // A null-terminated text of at most `limit` bytes at `rva`.
    std::optional<std::string> read_text(uint32_t rva, size_t limit = 256) const;
    // The file offset of the loaded byte at `rva`, when it comes from the file.
    std::optional<uint32_t> file_offset(uint32_t rva) const;
    // An absolute address of the loaded image as an RVA, when it lies inside the image.
    std::optional<uint32_t> rva_of(uint32_t va) const;
    bool executable(uint32_t rva) const;

    // The bytes of a resource, or nullopt when its data lies outside the image.
    std::optional<std::vector<uint8_t>> resource_bytes(const Resource& r) const;

private:
    void parse_exports(uint32_t rva, uint32_t size);
    void parse_imports(uint32_t rva, uint32_t size);
    void parse_relocations(uint32_t rva, uint32_t size);
    void parse_resources(uint32_t rva, uint32_t size);
    void parse_resource_dir(uint32_t base, uint32_t offset, int level, Resource path,
                            std::set<uint32_t>& seen);
    ResourceId resource_id(uint32_t base, uint32_t raw);
    void parse_version();
    void error(std::string what) { errors_.push_back(std::move(what)); }
    void warn(std::string what) { warnings_.push_back(std::move(what)); }

    std::vector<uint8_t> file_;
    std::vector<std::string> errors_;
    std::vector<std::string> warnings_;
    uint16_t machine_ = 0, characteristics_ = 0, dll_characteristics_ = 0, subsystem_ = 0;
    uint32_t image_base_ = 0, image_size_ = 0, entry_point_ = 0, timestamp_ = 0;
    std::vector<Section> sections_;
    std::vector<Export> exports_;
    std::string export_dll_name_;
    std::vector<ImportedDll> imports_;
    std::vector<Resource> resources_;
    VersionInfo version_;
    std::set<uint32_t> relocations_;
};

// Names of the COFF characteristics and DLL characteristics bits that are set.
std::vector<std::string> characteristic_names(uint16_t bits);
std::vector<std::string> dll_characteristic_names(uint16_t bits);
std::string machine_name(uint16_t machine);

}  // namespace gauinspect
