// Opening sessions on a bitfile or on one of the images stored in the device's flash.
#pragma once

#include <cstdint>

namespace zyostrel::sessions {

// Signature of an open entry: the FPGA runtime's, or the graphical host's own.
using OpenEntry = int32_t (*)(const char* imagePath, const char* signature,
                              const char* resourceName, uint32_t attribute, uint32_t* session);

// True when text is exactly one of the stored image names.
bool isStoredImageName(const char* text) noexcept;

// Attribute word handed to the open entry for a caller's path and attribute.
uint32_t openAttributeWord(const char* imagePath, uint32_t attribute) noexcept;

// Opens through openEntry: a null path opens the default stored image, an exact image name
// opens that image, anything else is passed as a bitfile path.
int32_t openWithImage(OpenEntry openEntry, const char* resourceName, const char* imagePath,
                      uint32_t attribute, uint32_t* session);

}  // namespace zyostrel::sessions
