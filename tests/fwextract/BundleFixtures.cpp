#include "fwextract/BundleFixtures.h"

namespace zytest {

std::vector<BundleFile> standardImages() {
    std::vector<uint8_t> fpga(3000);
    for (std::size_t i = 0; i < fpga.size(); ++i) fpga[i] = static_cast<uint8_t>(i * 7 + 1);
    return {{"images/fpga.bit", fpga},
            {"images/cpld.jed", bytesOf("CPLD image")},
            {"images/empty.bin", {}},
            {"oam/flash.bin", bytesOf("adapter flash image")}};
}

}  // namespace zytest
