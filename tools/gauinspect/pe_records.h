// The records of a .gau file, read as the host reads them once the module is loaded: from
// the exported Linkage and ImportTable through the module's sections, every pointer checked
// against the base relocations that make it valid wherever the module is loaded.
#pragma once

#include "tools/gauinspect/gau_records.h"
#include "tools/gauinspect/pe_image.h"

namespace gauinspect {

class PeRecordSource : public RecordSource {
public:
    explicit PeRecordSource(const PeImage& image) : image_(image) {}

    bool read_linkage(ModuleRecords& m) override;
    bool read_list_pointer(Addr list, size_t index, Addr* out) override;
    bool read_gauge(Addr at, GaugeRecord& g) override;
    bool read_element(Addr at, uint32_t version, ElementRecord& e) override;
    bool read_failure(Addr list, size_t index, FailureRecord& out) override;
    bool read_highlight(Addr list, size_t index, HighlightRecord& out) override;
    bool read_scale_point(Addr table, size_t index, ScalePoint& out) override;
    bool read_mouse(Addr list, size_t index, MouseRecord& out) override;
    std::optional<std::string> read_text(Addr at) override;
    Addr mouse_list_610(const GaugeRecord& g, std::string* why) override;

private:
    // What a pointer field may point to. Host-owned fields are the host's to write: a value
    // there is reported as such, not followed.
    enum class Points { data, code, host };
    struct Field {
        uint32_t offset;
        Points points;
        const char* name;
    };
    // Reads a record of `size` bytes at `va` and checks its pointer fields: each non-null one
    // must be rebased and point into the module (code pointers into code); any base
    // relocation elsewhere in the record would corrupt a plain number.
    bool record(Addr va, uint32_t size, uint8_t* out, std::initializer_list<Field> pointers, const char* what);

    const PeImage& image_;
};

// The exports that a gauge module must carry, as RVAs, or nullopt when absent.
std::optional<uint32_t> export_rva(const PeImage& image, const std::string& name);

}  // namespace gauinspect
