// info: what an instrument runs and how it is doing, in one look.
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "AttributeValues.h"
#include "BitfileReader.h"
#include "Commands.h"
#include "Context.h"
#include "zyostrelapi.h"

namespace ostrel::commands {
namespace {

// The attributes each section shows, under these keys.
struct Reading {
    const char* section;
    const char* key;
    uint32_t id;
};

const Reading kReadings[] = {
    {"identity", "serialNumber", ZYOSTREL_Attr_SerialNumber},
    {"identity", "busType", ZYOSTREL_Attr_BusType},
    {"identity", "bitfileIdentity", ZYOSTREL_Attr_BitfileIdentity},
    {"identity", "bitfileVendor", ZYOSTREL_Attr_BitfileVendor},
    {"identity", "bitfileVersion", ZYOSTREL_Attr_BitfileVersion},
    {"temperatures", "fpga", ZYOSTREL_Attr_FPGATemperature},
    {"temperatures", "adc", ZYOSTREL_Attr_ADCTemperature},
    {"power", "total", ZYOSTREL_Attr_TotalPower},
    {"power", "rail12V", ZYOSTREL_Attr_12VPower},
    {"power", "rail3V3", ZYOSTREL_Attr_3V3Power},
    {"power", "rail12VIo", ZYOSTREL_Attr_12VIOPower},
    {"power", "totalIo", ZYOSTREL_Attr_TotalIOPower},
    {"adapterModule", "enabled", ZYOSTREL_Attr_IOModuleEnabled},
    {"adapterModule", "ready", ZYOSTREL_Attr_IOReady},
    {"adapterModule", "error", ZYOSTREL_Attr_IOError},
};

// QSFP ports are probed from 0 until the instrument refuses a port number; at most this many.
constexpr int32_t kMostQsfpPorts = 8;

cJSON* sectionOf(cJSON* out, const char* name) {
    cJSON* section = cJSON_GetObjectItemCaseSensitive(out, name);
    return section != nullptr ? section : addObject(out, name);
}

void addBitfile(Session& session, cJSON* out) {
    size_t size = 0;
    session.check(zyOstrel_GetBitfileMetadata(session.handle(), &size, nullptr),
                  "get the bitfile metadata size");
    if (size > kLargestBitfile) {
        throw Failure{ZYOSTREL_Status_BitfileMalformed, "get the bitfile metadata",
                      "the instrument reports " + std::to_string(size) + " bytes of metadata"};
    }
    std::string text(size, '\0');
    session.check(zyOstrel_GetBitfileMetadata(session.handle(), &size, text.data()),
                  "get the bitfile metadata");
    cJSON* bitfile = addObject(out, "bitfile");
    addNumber(bitfile, "metadataBytes", static_cast<double>(size));
    const BitfileSummary summary = summarizeBitfile(std::move(text), "read the bitfile metadata");
    addBitfileIdentity(bitfile, summary);
    addNumber(bitfile, "registers", static_cast<double>(summary.registers.size()));
    addNumber(bitfile, "fifos", static_cast<double>(summary.fifos.size()));
}

void addLimits(Session& session, cJSON* out) {
    double limit = 0;
    session.check(zyOstrel_GetTemperatureLimit(session.handle(), &limit),
                  "get the temperature limit");
    addNumber(sectionOf(out, "temperatures"), "limit", limit);
    session.check(zyOstrel_GetPowerLimit(session.handle(), &limit), "get the power limit");
    addNumber(sectionOf(out, "power"), "limit", limit);
}

void addAdapterModule(Session& session, cJSON* out) {
    uint16_t field1 = 0, field2 = 0, field6 = 0;
    uint32_t field3 = 0, field4 = 0, revision = 0;
    uint8_t field5 = 0, slots = 0;
    session.check(zyOstrelMDK_readIoModuleInfo(session.handle(), &field1, &field2, &field3, &field4,
                                               &field5, &field6),
                  "read the adapter module information");
    cJSON* module = sectionOf(out, "adapterModule");
    cJSON* fields = addArray(module, "infoFields");
    for (const uint32_t field :
         {uint32_t{field1}, uint32_t{field2}, field3, field4, uint32_t{field5}, uint32_t{field6}}) {
        appendNumber(fields, field);
    }
    session.check(zyOstrelMDK_readIoModuleSlotsUsed(session.handle(), &slots),
                  "read the adapter module's slots");
    addNumber(module, "slotsUsed", slots);
    session.check(zyOstrel_GetOamFpgaRevision(session.handle(), 0, &revision),
                  "read the adapter FPGA revision");
    addHex(module, "fpgaRevision", revision, 8);
}

void addQsfpPorts(Session& session, cJSON* out) {
    cJSON* ports = addArray(out, "qsfpPorts");
    for (int32_t port = 0; port < kMostQsfpPorts; ++port) {
        uint32_t present = 0;
        if (zyOstrel_QSFPGetModulePresent(session.handle(), port, &present) != 0) break;
        cJSON* entry = appendObject(ports);
        addNumber(entry, "port", port);
        addBool(entry, "modulePresent", present != 0);
    }
}

void runInfo(Context& context, const Arguments& arguments) {
    const std::string& resource = arguments.operands[0];
    const char* image = arguments.value("--image");
    cJSON* out = context.result();
    addString(out, "resource", resource);
    Session session(context, resource, image);
    addHex(out, "session", session.handle(), 8);
    const bool simulated = (session.handle() & ZYOSTREL_SIMULATED_SESSION_BIT) != 0;
    addBool(out, "simulated", simulated);
    addBitfile(session, out);
    // A simulated session's attribute commands never reach an instrument; the direct requests
    // below do.
    if (!simulated) {
        for (const Reading& reading : kReadings) {
            readAttribute(session, "", attributeById(reading.id), sectionOf(out, reading.section),
                          reading.key);
        }
    }
    addLimits(session, out);
    addAdapterModule(session, out);
    addQsfpPorts(session, out);
    session.close();
}

}  // namespace

std::vector<Command> info() {
    return {
        {"info",
         "RESOURCE",
         "Shows the instrument: its identity, the bitfile it runs (from the bitfile's "
         "metadata), temperatures and power with their limits, the adapter module and which "
         "QSFP ports hold a module. A simulated session shows no attributes.",
         1,
         1,
         {{"--image", "PATH",
           "open the session on this bitfile or stored image name (default: the default "
           "image)"}},
         runInfo},
    };
}

}  // namespace ostrel::commands
