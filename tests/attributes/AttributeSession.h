// A session on the emulated instrument for attribute and stream tests, closed at the end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/EmulatorFixture.h"
#include "zyostrelapi.h"

namespace zytest {

class SessionTest : public EmulatorTest {
protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session), 0);
        zyemu_clear_log();
    }
    void TearDown() override {
        zyOstrel_CloseSession(session, 0);
        EmulatorTest::TearDown();
    }

    // A session handle that marks a simulation; no runtime session stands behind it.
    static constexpr uint32_t kSimulated = 0x2000u | 0x1u;

    // The text of a fixed-size field of a logged record, up to its first NUL.
    static std::string textAt(const ZyEmuCall& call, size_t offset, size_t size) {
        std::string text;
        for (size_t i = offset; i < offset + size && i < call.inputSize && call.input[i] != 0;
             ++i) {
            text.push_back(static_cast<char>(call.input[i]));
        }
        return text;
    }

    // Adds a fault on the call at position index of the log (0 = first after the log was
    // cleared) that runs the command and answers status instead.
    static int32_t failCall(uint64_t index, int32_t status,
                            uint32_t action = ZYEMU_FAULT_AFTER_RUNNING) {
        ZyEmuFault fault{};
        fault.match = ZYEMU_MATCH_CALL_INDEX;
        fault.callIndex = index;
        fault.action = action;
        fault.status = status;
        return zyemu_add_fault(&fault);
    }

    static uint64_t addressOf(const void* pointer) {
        return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(pointer));
    }

    // Adds a fault that answers every command of the method with status and the reply bytes
    // (kept alive by the caller) instead of carrying it out.
    static int32_t answerMethod(uint32_t method, int32_t status, const void* reply,
                                size_t replySize) {
        ZyEmuFault fault{};
        fault.match = ZYEMU_MATCH_METHOD;
        fault.method = method;
        fault.action = ZYEMU_FAULT_REPLACE;
        fault.status = status;
        fault.reply = reply;
        fault.replySize = replySize;
        return zyemu_add_fault(&fault);
    }

    uint32_t session = 0;
};

}  // namespace zytest
