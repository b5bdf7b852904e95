#include "sessions/Sessions.h"

#include <cstring>

#include "channel/FpgaRuntime.h"
#include "zyostrelapi.h"

namespace zyostrel::sessions {
namespace {

constexpr const char* kStoredImageNames[] = {
    ZYOSTREL_IMAGE_DEFAULT,
    ZYOSTREL_IMAGE_USER,
    ZYOSTREL_IMAGE_GOLDEN,
};

}  // namespace

bool isStoredImageName(const char* text) noexcept {
    if (text == nullptr) return false;
    for (const char* name : kStoredImageNames) {
        if (std::strcmp(text, name) == 0) return true;
    }
    return false;
}

uint32_t openAttributeWord(const char* imagePath, uint32_t attribute) noexcept {
    uint32_t word = attribute | ZYFPGA_OPEN_ATTRIBUTE_LIBRARY;
    if (imagePath == nullptr || isStoredImageName(imagePath)) {
        word |= ZYFPGA_OPEN_ATTRIBUTE_STORED_IMAGE;
    }
    return word;
}

int32_t openWithImage(OpenEntry openEntry, const char* resourceName, const char* imagePath,
                      uint32_t attribute, uint32_t* session) {
    const char* path = imagePath != nullptr ? imagePath : ZYOSTREL_IMAGE_DEFAULT;
    return openEntry(path, nullptr, resourceName, openAttributeWord(imagePath, attribute), session);
}

}  // namespace zyostrel::sessions
