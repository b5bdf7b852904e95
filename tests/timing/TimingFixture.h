// Sessions and attribute-record decoding for the timing tests.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "support/EmulatorFixture.h"
#include "zyostrelapi.h"

namespace zytest {

// One attribute command as the device received it.
struct AttributeCall {
    uint32_t method = 0;  // 721 get, 722 set, 723 restore default
    uint32_t id = 0;
    std::string qualifier;
    int64_t i64 = 0;
    double f64 = 0;
    std::string text;
    uint8_t boolean = 0;
};

class TimingTest : public SessionPairTest {
protected:
    static std::vector<AttributeCall> attributeCalls() {
        std::vector<AttributeCall> result;
        for (const ZyEmuCall& call : calls()) {
            if (call.functionNumber != 256 || call.interfaceNumber != 258) continue;
            AttributeCall decoded;
            decoded.method = call.method;
            decoded.id = fieldAt<uint32_t>(call, 20);
            decoded.qualifier = textAt(call, 28, 256);
            if (call.inputSize >= 565) {
                decoded.f64 = fieldAt<double>(call, 284);
                decoded.i64 = fieldAt<int64_t>(call, 292);
                decoded.text = textAt(call, 308, 256);
                decoded.boolean = fieldAt<uint8_t>(call, 564);
            }
            result.push_back(decoded);
        }
        return result;
    }

    static std::string textAt(const ZyEmuCall& call, size_t offset, size_t size) {
        if (offset + size > call.inputSize) return {};
        const char* field = reinterpret_cast<const char*>(call.input + offset);
        return std::string(field, strnlen(field, size));
    }

    // A fault answering status; the caller fills in what it matches.
    static ZyEmuFault makeFault(uint32_t match, int32_t status,
                                uint32_t action = ZYEMU_FAULT_REPLACE) {
        ZyEmuFault fault{};
        fault.match = match;
        fault.status = status;
        fault.action = action;
        return fault;
    }

    static void addFault(const ZyEmuFault& fault) { ASSERT_GT(zyemu_add_fault(&fault), 0); }

    // Makes attribute commands on id fail (or warn) with status.
    static void faultAttribute(uint32_t id, int32_t status, uint32_t method = 722,
                               uint32_t skip = 0) {
        ZyEmuFault fault = makeFault(ZYEMU_MATCH_ATTRIBUTE | ZYEMU_MATCH_METHOD, status);
        fault.attributeId = id;
        fault.method = method;
        fault.skip = skip;
        addFault(fault);
    }
};

}  // namespace zytest
