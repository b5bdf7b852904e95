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

void addSummary(cJSON* out, const BitfileSummary& summary) {
    addBitfileIdentity(out, summary);
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
        fail(ZYOSTREL_Status_BitfileUnreadable, 0, failure.step, failure.description);
    }
    addSummary(context.result(),
               summarizeBitfile(std::string(bytes.begin(), bytes.end()), "read " + path));
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
