// The FPGA images stored in an instrument's flash and the registers they define.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "Instrument.h"

namespace zyemu {

// The flash slot a stored image name names (golden 0, default 1, user 2); empty for any other
// name.
std::optional<uint32_t> storedImageSlot(const std::string& name);

// True when name is one of the three stored image names.
inline bool isStoredImageName(const std::string& name) { return storedImageSlot(name).has_value(); }

// Registers of the images shipped in every instrument's flash.
const std::map<std::string, RegisterDefinition>& storedImageRegisters();

}  // namespace zyemu
