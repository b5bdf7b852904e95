// The FPGA images stored in an instrument's flash and the registers they define.
#pragma once

#include <map>
#include <string>

#include "Instrument.h"

namespace zyemu {

// True when name is one of the three stored image names.
bool isStoredImageName(const std::string& name);

// Registers of the images shipped in every instrument's flash.
const std::map<std::string, RegisterDefinition>& storedImageRegisters();

}  // namespace zyemu
