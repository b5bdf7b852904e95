#include "attributes/TerminalNames.h"

#include "zyostrelapi.h"

namespace zyostrel::attributes {

std::int32_t resolveNames(ResolvedNames& list) noexcept {
    list.count = 0;
    list.ownedTexts.clear();
    return ZYOSTREL_Status_InvalidTerminalName;
}

const char* streamName(std::uint32_t) noexcept { return nullptr; }

std::int64_t analogChannelIndex(const char*) noexcept { return -1; }

bool isSiName(const char*) noexcept { return false; }

}  // namespace zyostrel::attributes
