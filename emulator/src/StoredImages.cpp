#include "StoredImages.h"

namespace zyemu {

bool isStoredImageName(const std::string& name) {
    return name == "/com::zy::ostrel::image::default" || name == "/com::zy::ostrel::image::user" ||
           name == "/com::zy::ostrel::image::golden";
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
