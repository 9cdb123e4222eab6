#include "tools/gauinspect/code_scan.h"

#include <capstone/capstone.h>

#include <algorithm>
#include <functional>

#include "tools/gauinspect/json.h"

namespace gauinspect {

namespace {

// Bounds per routine: our routines are a few dozen instructions long.
constexpr size_t kMaxInstructions = 50000;
constexpr size_t kMaxJumpTableEntries = 1024;

class Disassembler {
public:
    Disassembler() {
        ok_ = cs_open(CS_ARCH_X86, CS_MODE_32, &handle_) == CS_ERR_OK;
        if (ok_) {
            cs_option(handle_, CS_OPT_DETAIL, CS_OPT_ON);
            insn_ = cs_malloc(handle_);
        }
    }
    ~Disassembler() {
        if (insn_) cs_free(insn_, 1);
        if (ok_) cs_close(&handle_);
    }
    Disassembler(const Disassembler&) = delete;
    Disassembler& operator=(const Disassembler&) = delete;

    // Decodes the instruction at `rva`; nullptr when it lies outside the code or does not decode.
    const cs_insn* decode(const PeImage& image, uint32_t rva) {
        if (!ok_ || !image.executable(rva)) return nullptr;
        const Section* s = image.section_of(rva);
        const uint64_t left = static_cast<uint64_t>(s->virtual_address) + s->mapped_size() - rva;
        uint8_t bytes[16];
        const size_t n = static_cast<size_t>(std::min<uint64_t>(sizeof bytes, left));
        if (!image.read(rva, bytes, n)) return nullptr;
        const uint8_t* code = bytes;
        size_t size = n;
        uint64_t address = static_cast<uint64_t>(image.image_base()) + rva;
        if (!cs_disasm_iter(handle_, &code, &size, &address, insn_)) return nullptr;
        return insn_;
    }
    bool in_group(const cs_insn* insn, uint8_t group) const { return cs_insn_group(handle_, insn, group); }

private:
    csh handle_ = 0;
    bool ok_ = false;
    cs_insn* insn_ = nullptr;
};

// Walks every instruction reachable from `start` inside one routine; `visit` sees each once
// and returns the RVAs where the routine goes on (none for a return).
void walk(const PeImage& image, uint32_t start, std::vector<std::string>& unresolved,
          const std::function<void(const cs_insn&, uint32_t rva, Disassembler&)>& visit_each,
          size_t* count) {
    Disassembler dis;
    std::set<uint32_t> seen;
    std::vector<uint32_t> work{start};
    auto note = [&](const std::string& what) {
        if (std::find(unresolved.begin(), unresolved.end(), what) == unresolved.end()) unresolved.push_back(what);
    };
    while (!work.empty()) {
        const uint32_t rva = work.back();
        work.pop_back();
        if (!seen.insert(rva).second) continue;
        if (seen.size() > kMaxInstructions) return note("more than " + std::to_string(kMaxInstructions) + " instructions");
        const cs_insn* insn = dis.decode(image, rva);
        if (insn == nullptr) {
            note(image.executable(rva) ? "no instruction decodes at " + hex(image.image_base() + rva)
                                       : "the path leaves the code at " + hex(image.image_base() + rva));
            continue;
        }
        ++*count;
        visit_each(*insn, rva, dis);
        const uint32_t next = rva + insn->size;
        const cs_x86& x86 = insn->detail->x86;
        const uint32_t id = insn->id;
        if (id == X86_INS_RET || id == X86_INS_RETF || id == X86_INS_IRET || id == X86_INS_IRETD) continue;
        if (id == X86_INS_INT3 || id == X86_INS_UD2 || id == X86_INS_HLT) continue;  // traps end the path
        if (id == X86_INS_LJMP) {
            note("far jump at " + hex(insn->address));
            continue;
        }
        if (dis.in_group(insn, X86_GRP_JUMP)) {
            const bool conditional = id != X86_INS_JMP;
            if (conditional) work.push_back(next);
            if (x86.op_count == 1 && x86.operands[0].type == X86_OP_IMM) {
                const uint64_t target = static_cast<uint64_t>(x86.operands[0].imm);
                const auto target_rva = target >= image.image_base()
                                            ? std::optional<uint32_t>(static_cast<uint32_t>(target - image.image_base()))
                                            : std::nullopt;
                if (target_rva && image.executable(*target_rva)) work.push_back(*target_rva);
                else note("jump out of the code at " + hex(insn->address));
                continue;
            }
            if (x86.op_count == 1 && x86.operands[0].type == X86_OP_MEM) {
                const x86_op_mem& mem = x86.operands[0].mem;
                const uint32_t disp_rva = rva + x86.encoding.disp_offset;
                const bool rebased = x86.encoding.disp_offset != 0 && image.has_relocation(disp_rva);
                if (mem.base == X86_REG_INVALID && mem.index != X86_REG_INVALID && mem.scale == 4 && rebased) {
                    // A jump table: consecutive rebased code addresses.
                    const uint32_t table = static_cast<uint32_t>(mem.disp) - image.image_base();
                    size_t entries = 0;
                    for (; entries < kMaxJumpTableEntries; ++entries) {
                        const uint32_t at = table + 4 * static_cast<uint32_t>(entries);
                        uint32_t target = 0;
                        if (!image.has_relocation(at) || !image.read_u32(at, &target)) break;
                        const auto target_rva = image.rva_of(target);
                        if (!target_rva || !image.executable(*target_rva)) break;
                        work.push_back(*target_rva);
                    }
                    if (entries == 0) note("jump table at " + hex(insn->address) + " has no code entries");
                    continue;
                }
                note("jump through a pointer at " + hex(insn->address) + ": the return is elsewhere");
                continue;
            }
            note("jump through a register at " + hex(insn->address));
            continue;
        }
        work.push_back(next);
    }
}

}  // namespace

ReturnScan scan_returns(const PeImage& image, uint32_t rva) {
    ReturnScan scan;
    walk(
        image, rva, scan.unresolved,
        [&](const cs_insn& insn, uint32_t, Disassembler&) {
            if (insn.id == X86_INS_RET || insn.id == X86_INS_RETF) {
                const cs_x86& x86 = insn.detail->x86;
                uint32_t popped = 0;
                if (x86.op_count == 1 && x86.operands[0].type == X86_OP_IMM)
                    popped = static_cast<uint32_t>(x86.operands[0].imm) & 0xFFFF;
                scan.popped.insert(popped);
                if (insn.id == X86_INS_RETF) scan.unresolved.push_back("far return at " + hex(insn.address));
            } else if (insn.id == X86_INS_IRET || insn.id == X86_INS_IRETD) {
                scan.unresolved.push_back("interrupt return at " + hex(insn.address));
            }
        },
        &scan.instructions);
    return scan;
}

std::vector<uint32_t> relocated_immediates(const PeImage& image, uint32_t rva, int call_depth) {
    std::vector<uint32_t> out;
    std::set<uint32_t> routines_seen;
    std::function<void(uint32_t, int)> scan = [&](uint32_t start, int depth) {
        if (!routines_seen.insert(start).second) return;
        std::vector<uint32_t> callees;
        std::vector<std::string> ignored;
        size_t count = 0;
        walk(
            image, start, ignored,
            [&](const cs_insn& insn, uint32_t at, Disassembler& dis) {
                const cs_x86& x86 = insn.detail->x86;
                if (dis.in_group(&insn, X86_GRP_CALL)) {
                    if (x86.op_count == 1 && x86.operands[0].type == X86_OP_IMM && x86.operands[0].imm >= image.image_base()) {
                        const uint32_t target = static_cast<uint32_t>(x86.operands[0].imm - image.image_base());
                        if (image.executable(target)) callees.push_back(target);
                    }
                    return;
                }
                if (x86.encoding.imm_offset == 0) return;
                for (uint8_t i = 0; i < x86.op_count; ++i) {
                    if (x86.operands[i].type != X86_OP_IMM) continue;
                    if (!image.has_relocation(at + x86.encoding.imm_offset)) continue;
                    const uint32_t value = static_cast<uint32_t>(x86.operands[i].imm);
                    if (std::find(out.begin(), out.end(), value) == out.end()) out.push_back(value);
                }
            },
            &count);
        if (depth > 0)
            for (uint32_t callee : callees) scan(callee, depth - 1);
    };
    scan(rva, call_depth);
    return out;
}

}  // namespace gauinspect
