// A summary of a bitfile document: identity, host-visible registers and DMA FIFOs with their
// data types. The C API looks registers and FIFOs up by name only, so the tool reads the
// document itself to list them. Nothing is resolved or checked beyond what listing needs.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "Json.h"

namespace ostrel {

struct BitfileRegister {
    std::string name;
    uint32_t offset = 0;
    bool indicator = false;  // read by the host; otherwise a control the host writes
    bool array = false;
    bool accessMayTimeout = false;
    std::string type;  // "U32", "FXP<24,4> signed", ...
};

struct BitfileFifo {
    std::string name;
    uint32_t number = 0;
    uint32_t elements = 0;
    std::string implementation;  // "zyFpgaTargetToHost", ...
    std::string type;
    bool userVisible = false;
};

struct BitfileSummary {
    std::string bitfileVersion;
    std::string signature;
    std::string targetClass;
    std::string viName;
    std::vector<BitfileRegister> registers;  // internal registers left out
    std::vector<BitfileFifo> fifos;
};

// The document is not a bitfile: what is missing or malformed.
class BitfileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The emulated runtime reads bitfiles of at most this size; real ones are far smaller. The
// tool reads neither files nor metadata beyond it.
inline constexpr uint64_t kLargestBitfile = 128u * 1024u * 1024u;

BitfileSummary readBitfile(std::string text);

// readBitfile, with a document that is not a bitfile failing step as malformed.
BitfileSummary summarizeBitfile(std::string text, const std::string& step);

// The identity fields of a summary, added to out.
void addBitfileIdentity(cJSON* out, const BitfileSummary& summary);

}  // namespace ostrel
