// bitfile inspect: the registers, FIFOs and data types a bitfile offers the host.
#include <string>
#include <vector>

#include "BitfileReader.h"
#include "Commands.h"
#include "Context.h"
#include "Files.h"
#include "zyostrelapi.h"

namespace ostrel::commands {
namespace {

// The emulated runtime reads bitfiles of at most this size; real ones are far smaller.
constexpr uint64_t kLargestBitfile = 128u * 1024u * 1024u;

void addSummary(cJSON* out, const BitfileSummary& summary) {
    addString(out, "signature", summary.signature);
    addString(out, "bitfileVersion", summary.bitfileVersion);
    addString(out, "targetClass", summary.targetClass);
    addString(out, "vi", summary.viName);
    cJSON* registers = addArray(out, "registers");
    for (const BitfileRegister& entry : summary.registers) {
        cJSON* item = appendObject(registers);
        addString(item, "name", entry.name);
        addHex(item, "offset", entry.offset, 4);
        addString(item, "access", entry.indicator ? "indicator" : "control");
        addString(item, "type", entry.type);
        addBool(item, "array", entry.array);
        addBool(item, "accessMayTimeout", entry.accessMayTimeout);
    }
    cJSON* fifos = addArray(out, "fifos");
    for (const BitfileFifo& fifo : summary.fifos) {
        cJSON* item = appendObject(fifos);
        addString(item, "name", fifo.name);
        addNumber(item, "number", fifo.number);
        addString(item, "implementation", fifo.implementation);
        addString(item, "type", fifo.type);
        addNumber(item, "elements", fifo.elements);
        addBool(item, "userVisible", fifo.userVisible);
    }
}

void runInspect(Context& context, const Arguments& arguments) {
    const std::string& path = arguments.operands[0];
    addString(context.result(), "file", path);
    std::vector<uint8_t> bytes;
    try {
        bytes = readFile(path, kLargestBitfile);
    } catch (const Failure& failure) {
        throw Failure{
            ZYOSTREL_Status_BitfileUnreadable, failure.step,
            describeStatus(0, ZYOSTREL_Status_BitfileUnreadable) + "\n" + failure.description};
    }
    try {
        addSummary(context.result(), readBitfile(std::string(bytes.begin(), bytes.end())));
    } catch (const BitfileError& error) {
        throw Failure{ZYOSTREL_Status_BitfileMalformed, "read " + path,
                      describeStatus(0, ZYOSTREL_Status_BitfileMalformed) + "\n" + error.what()};
    }
}

}  // namespace

std::vector<Command> bitfiles() {
    return {
        {"bitfile inspect",
         "FILE",
         "Lists a bitfile's identity, its host-visible registers (offset, indicator or control, "
         "data type) and its DMA FIFOs (number, direction, data type, depth).",
         1,
         1,
         {},
         runInspect},
    };
}

}  // namespace ostrel::commands
