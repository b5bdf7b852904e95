// Sessions on several emulated instruments for the DSP reset tests, and what the emulator
// holds of their handshake registers and reset sources afterwards.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "support/EmulatorFixture.h"

namespace zytest {

inline constexpr uint32_t kSendingTerminalId = 0x3000000A;
inline constexpr uint32_t kResetSourceId = 0x3000000B;

class DspResetTest : public EmulatorTest {
protected:
    void TearDown() override {
        zyemu_clear_faults();
        for (uint32_t opened : sessions) EXPECT_STATUS(0, zyOstrel_CloseSession(opened, 0), opened);
        EmulatorTest::TearDown();
    }

    // Opens one session on the stored default image of each of count instruments: the three
    // ready-made ones, then added ones.
    void openSessions(size_t count) {
        for (size_t i = 0; i < count; ++i) {
            const std::string resource = "ostrel" + std::to_string(i);
            if (i >= 3) {
                ASSERT_EQ(zyemu_add_resource(resource.c_str()), 0);
            }
            uint32_t opened = 0;
            ASSERT_STATUS(0, zyOstrel_OpenSession(resource.c_str(), nullptr, 0, &opened), 0);
            resources.push_back(resource);
            sessions.push_back(opened);
        }
        zyemu_clear_log();
    }

    // Adds both handshake registers of dspIndex to every instrument in use.
    void defineRegisters(int32_t dspIndex) {
        const std::string index = std::to_string(dspIndex);
        for (const std::string& resource : resources) {
            ASSERT_EQ(zyemu_define_register(resource.c_str(),
                                            ("ostrel.dsp.reset.state " + index).c_str(), 0x9000, 3),
                      0);
            ASSERT_EQ(zyemu_define_register(resource.c_str(),
                                            ("ostrel.dsp.reset.request state " + index).c_str(),
                                            0x9004, 3),
                      0);
        }
    }

    int32_t reset(int32_t dspIndex = 0) {
        description[0] = '\0';
        return zyOstrel_ResetDspSynchronously(sessions.data(), sessions.size(), dspIndex,
                                              sizeof description, description);
    }

    // {request, state} of one session's handshake registers.
    std::vector<int> registersOf(size_t position, int32_t dspIndex = 0) const {
        uint8_t request = 0xEE, state = 0xEE;
        EXPECT_EQ(zyemu_get_dsp_reset(sessions[position], dspIndex, &request, &state), 0);
        return {request, state};
    }
    std::string textOf(size_t position, uint32_t attribute, const char* channel = "0") const {
        char text[512] = "(unread)";
        EXPECT_GE(zyemu_get_attribute_text(resources[position].c_str(), attribute, channel, text,
                                           sizeof text),
                  0);
        return text;
    }
    std::string sourceOf(size_t position, const char* channel = "0") const {
        return textOf(position, kResetSourceId, channel);
    }

    // Every session has request 0 and no source the call filled in stays filled.
    void expectLeftIdle(int32_t dspIndex = 0) const {
        const std::string channel = std::to_string(dspIndex);
        for (size_t i = 0; i < sessions.size(); ++i) {
            EXPECT_EQ(registersOf(i, dspIndex)[0], 0) << "request of session " << i;
            EXPECT_EQ(sourceOf(i, channel.c_str()), "") << "source of session " << i;
        }
    }

    // The state values read from one session's state register, in order.
    static std::vector<int> statesRead(uint32_t session) {
        std::vector<int> values;
        for (const ZyEmuCall& call : callsOf(ZYEMU_ENTRY_READ_U8)) {
            if (call.session == session) values.push_back(static_cast<int>(call.value));
        }
        return values;
    }

    std::string sessionIndexLine(size_t index) const {
        return "Session index: " + std::to_string(index);
    }

    std::vector<std::string> resources;
    std::vector<uint32_t> sessions;
    char description[2048] = {};
};

inline double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace zytest
