// i2c, qsfp and route: the devices behind the instrument and its signal routes.
#include <cstdio>
#include <string>
#include <vector>

#include "Commands.h"
#include "Context.h"
#include "zyostrelapi.h"

namespace ostrel::commands {
namespace {

// ---- I2C -------------------------------------------------------------------------------

// The operands every I2C command starts with: RESOURCE BUS ADDRESS.
struct I2cTarget {
    uint64_t bus;
    int32_t address;
};

I2cTarget i2cTarget(const Arguments& arguments, cJSON* out) {
    const I2cTarget target{
        parseUnsigned(arguments.operands[1], "bus", UINT32_MAX),
        static_cast<int32_t>(parseUnsigned(arguments.operands[2], "address", 0xFFFF))};
    addString(out, "resource", arguments.operands[0]);
    addNumber(out, "bus", static_cast<double>(target.bus));
    addHex(out, "address", static_cast<uint64_t>(target.address), 2);
    return target;
}

std::vector<uint8_t> bytesFrom(const Arguments& arguments, std::size_t first) {
    std::vector<uint8_t> bytes;
    for (std::size_t i = first; i < arguments.operands.size(); ++i) {
        bytes.push_back(static_cast<uint8_t>(parseUnsigned(arguments.operands[i], "byte", 0xFF)));
    }
    if (bytes.size() > ZYOSTREL_I2C_MAX_WRITE) {
        throw UsageError("at most " + std::to_string(ZYOSTREL_I2C_MAX_WRITE) + " bytes");
    }
    return bytes;
}

std::size_t readCount(const std::string& text) {
    return static_cast<std::size_t>(parseUnsigned(text, "count", ZYOSTREL_I2C_MAX_READ));
}

void addBytes(cJSON* out, const char* key, const uint8_t* bytes, std::size_t count) {
    cJSON* list = addArray(out, key);
    std::string hex;
    char text[4];
    for (std::size_t i = 0; i < count; ++i) {
        appendNumber(list, bytes[i]);
        std::snprintf(text, sizeof text, i == 0 ? "%02X" : " %02X", bytes[i]);
        hex += text;
    }
    addString(out, (std::string(key) + "Hex").c_str(), hex);
}

void runI2cRead(Context& context, const Arguments& arguments) {
    cJSON* out = context.result();
    const I2cTarget target = i2cTarget(arguments, out);
    std::vector<uint8_t> data(readCount(arguments.operands[3]) + 1);
    Session session(context, arguments.operands[0]);
    size_t read = 0;
    session.check(zyOstrel_ReadI2C(session.handle(), target.bus, target.address, data.data(),
                                   data.size() - 1, 0, &read),
                  "I2C read");
    addBytes(out, "read", data.data(), read);
    session.close();
}

void runI2cWrite(Context& context, const Arguments& arguments) {
    cJSON* out = context.result();
    const I2cTarget target = i2cTarget(arguments, out);
    const std::vector<uint8_t> data = bytesFrom(arguments, 3);
    Session session(context, arguments.operands[0]);
    size_t written = 0;
    session.check(zyOstrel_WriteI2C(session.handle(), target.bus, target.address, data.data(),
                                    data.size(), 0, &written),
                  "I2C write");
    addNumber(out, "bytesWritten", static_cast<double>(written));
    session.close();
}

void runI2cTransfer(Context& context, const Arguments& arguments) {
    cJSON* out = context.result();
    const I2cTarget target = i2cTarget(arguments, out);
    std::vector<uint8_t> data(readCount(arguments.operands[3]) + 1);
    const std::vector<uint8_t> write = bytesFrom(arguments, 4);
    Session session(context, arguments.operands[0]);
    size_t written = 0;
    size_t read = 0;
    session.check(
        zyOstrel_TransferI2C(session.handle(), target.bus, target.address, write.data(),
                             write.size(), data.data(), data.size() - 1, 0, &written, &read),
        "I2C transfer");
    addNumber(out, "bytesWritten", static_cast<double>(written));
    addBytes(out, "read", data.data(), read);
    session.close();
}

// ---- QSFP ------------------------------------------------------------------------------

int32_t portOf(const Arguments& arguments, cJSON* out) {
    const auto port = static_cast<int32_t>(parseUnsigned(arguments.operands[1], "port", 0xFF));
    addString(out, "resource", arguments.operands[0]);
    addNumber(out, "port", port);
    return port;
}

void runQsfpPresent(Context& context, const Arguments& arguments) {
    const int32_t port = portOf(arguments, context.result());
    Session session(context, arguments.operands[0]);
    uint32_t present = 0;
    session.check(zyOstrel_QSFPGetModulePresent(session.handle(), port, &present),
                  "QSFP module presence");
    addBool(context.result(), "modulePresent", present != 0);
    session.close();
}

void runQsfpRead(Context& context, const Arguments& arguments) {
    cJSON* out = context.result();
    const int32_t port = portOf(arguments, out);
    const auto first = static_cast<int32_t>(parseUnsigned(arguments.operands[2], "register", 0xFF));
    const std::size_t count =
        arguments.operands.size() > 3
            ? static_cast<std::size_t>(parseUnsigned(arguments.operands[3], "count", 256 - first))
            : 1;
    addHex(out, "register", static_cast<uint64_t>(first), 2);
    Session session(context, arguments.operands[0]);
    std::vector<uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) {
        session.check(
            zyOstrel_QSFPRead(session.handle(), port, first + static_cast<int32_t>(i), &bytes[i]),
            "QSFP read");
    }
    addBytes(out, "read", bytes.data(), bytes.size());
    session.close();
}

void runQsfpWrite(Context& context, const Arguments& arguments) {
    cJSON* out = context.result();
    const int32_t port = portOf(arguments, out);
    const auto reg = static_cast<int32_t>(parseUnsigned(arguments.operands[2], "register", 0xFF));
    const auto value = static_cast<int32_t>(parseUnsigned(arguments.operands[3], "value", 0xFF));
    addHex(out, "register", static_cast<uint64_t>(reg), 2);
    addHex(out, "value", static_cast<uint64_t>(value), 2);
    Session session(context, arguments.operands[0]);
    session.check(zyOstrel_QSFPWrite(session.handle(), port, reg, value), "QSFP write");
    session.close();
}

void runQsfpReset(Context& context, const Arguments& arguments) {
    addString(context.result(), "resource", arguments.operands[0]);
    Session session(context, arguments.operands[0]);
    session.check(zyOstrel_QSFPResetPorts(session.handle()), "QSFP reset");
    addBool(context.result(), "reset", true);
    session.close();
}

void runQsfpLowPower(Context& context, const Arguments& arguments) {
    const bool enable = parseSwitch(arguments.operands[1], "low-power mode");
    addString(context.result(), "resource", arguments.operands[0]);
    addBool(context.result(), "lowPower", enable);
    Session session(context, arguments.operands[0]);
    session.check(zyOstrel_QSFPEnableLowPowerMode(session.handle(), enable ? 1 : 0),
                  "QSFP low-power mode");
    session.close();
}

// ---- Routes ----------------------------------------------------------------------------

void runRouteAdd(Context& context, const Arguments& arguments) {
    cJSON* out = context.result();
    addString(out, "resource", arguments.operands[0]);
    addString(out, "source", arguments.operands[1]);
    addString(out, "destination", arguments.operands[2]);
    Session session(context, arguments.operands[0]);
    uint32_t routeId = 0;
    session.check(zyOstrel_RouteSignal(session.handle(), arguments.operands[1].c_str(),
                                       arguments.operands[2].c_str(), &routeId),
                  "route " + arguments.operands[1] + " to " + arguments.operands[2]);
    addNumber(out, "routeId", routeId);
    session.close();
}

void runRouteRemove(Context& context, const Arguments& arguments) {
    const auto routeId =
        static_cast<uint32_t>(parseUnsigned(arguments.operands[1], "route", UINT32_MAX));
    addString(context.result(), "resource", arguments.operands[0]);
    addNumber(context.result(), "routeId", routeId);
    Session session(context, arguments.operands[0]);
    session.check(zyOstrel_UnrouteSignal(session.handle(), routeId), "unroute");
    session.close();
}

}  // namespace

std::vector<Command> devices() {
    return {
        {"i2c read",
         "RESOURCE BUS ADDRESS COUNT",
         "Reads COUNT bytes (at most 255) from the I2C device at ADDRESS on BUS.",
         4,
         4,
         {},
         runI2cRead},
        {"i2c write",
         "RESOURCE BUS ADDRESS BYTE...",
         "Writes bytes (such as 0x10 0x41) to the I2C device at ADDRESS on BUS.",
         4,
         kAnyNumber,
         {},
         runI2cWrite},
        {"i2c transfer",
         "RESOURCE BUS ADDRESS COUNT BYTE...",
         "Writes bytes, then reads COUNT bytes, in one I2C transfer (a register address, then "
         "its contents).",
         5,
         kAnyNumber,
         {},
         runI2cTransfer},
        {"qsfp present",
         "RESOURCE PORT",
         "Tells whether a module sits in the QSFP port.",
         2,
         2,
         {},
         runQsfpPresent},
        {"qsfp read",
         "RESOURCE PORT REGISTER [COUNT]",
         "Reads COUNT bytes (1) of the module's register map from REGISTER on.",
         3,
         4,
         {},
         runQsfpRead},
        {"qsfp write",
         "RESOURCE PORT REGISTER VALUE",
         "Writes one byte of the module's register map.",
         4,
         4,
         {},
         runQsfpWrite},
        {"qsfp reset",
         "RESOURCE",
         "Resets the modules of every QSFP port.",
         1,
         1,
         {},
         runQsfpReset},
        {"qsfp low-power",
         "RESOURCE on|off",
         "Puts the QSFP modules into low-power mode, or takes them out of it.",
         2,
         2,
         {},
         runQsfpLowPower},
        {"route add",
         "RESOURCE SOURCE DESTINATION",
         "Routes a signal from one terminal to another (PFI0 PXI_Trig0) and prints the route's "
         "identifier.",
         3,
         3,
         {},
         runRouteAdd},
        {"route remove",
         "RESOURCE ROUTE",
         "Removes the route with that identifier.",
         2,
         2,
         {},
         runRouteRemove},
    };
}

}  // namespace ostrel::commands
