#include "StoredImages.h"

namespace zyemu {

std::optional<uint32_t> storedImageSlot(const std::string& name) {
    static const std::map<std::string, uint32_t> slots = {
        {"/com::zy::ostrel::image::golden", 0},
        {"/com::zy::ostrel::image::default", 1},
        {"/com::zy::ostrel::image::user", 2},
    };
    const auto found = slots.find(name);
    if (found == slots.end()) return std::nullopt;
    return found->second;
}

const std::map<std::string, RegisterDefinition>& storedImageRegisters() {
    // The shipped images carry the adapter-module readiness indicators and one DSP reset
    // handshake pair.
    static const std::map<std::string, RegisterDefinition> registers = {
        {"ostrel.module.dram ready 0", {0x18000, 1}},
        {"ostrel.module.data valid 0", {0x18004, 1}},
        {"ostrel.dsp.reset.state 0", {0x18010, 3}},
        {"ostrel.dsp.reset.request state 0", {0x18014, 3}},
    };
    return registers;
}

}  // namespace zyemu
