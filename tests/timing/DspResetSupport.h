// Sessions on several emulated instruments for the DSP reset tests, and what the emulator
// holds of their handshake registers and reset sources.
#pragma once

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

    // One session on the default image of each of count instruments ("ostrel0", ...).
    void openSessions(size_t count) {
        for (size_t i = 0; i < count; ++i) {
            resources.push_back("ostrel" + std::to_string(i));
            if (i >= 3) {
                ASSERT_EQ(zyemu_add_resource(resources[i].c_str()), 0);
            }
            sessions.push_back(0);
            ASSERT_STATUS(0, zyOstrel_OpenSession(resources[i].c_str(), nullptr, 0, &sessions[i]),
                          0);
        }
        zyemu_clear_log();
    }

    int32_t reset(int32_t dspIndex = 0, size_t count = 0) {
        description[0] = '\0';
        return zyOstrel_ResetDspSynchronously(sessions.data(), count ? count : sessions.size(),
                                              dspIndex, sizeof description, description);
    }

    // {request, state} of one session's handshake registers.
    std::vector<int> registersOf(size_t position, int32_t dspIndex = 0) const {
        uint8_t request = 0xEE, state = 0xEE;
        EXPECT_EQ(zyemu_get_dsp_reset(sessions[position], dspIndex, &request, &state), 0);
        return {request, state};
    }
    std::string sourceOf(size_t position, const std::string& channel = "0") const {
        char text[512] = "(unread)";
        zyemu_get_attribute_text(resources[position].c_str(), kResetSourceId, channel.c_str(), text,
                                 sizeof text);
        return text;
    }

    // Every session has request and state 0 and no source the call filled in stays filled.
    void expectLeftIdle(int32_t dspIndex = 0) const {
        for (size_t i = 0; i < sessions.size(); ++i) {
            EXPECT_EQ(registersOf(i, dspIndex), (std::vector<int>{0, 0})) << "session " << i;
            EXPECT_EQ(sourceOf(i, std::to_string(dspIndex)), "") << "session " << i;
        }
    }

    static std::string indexLine(size_t index) { return "Session index: " + std::to_string(index); }

    std::vector<std::string> resources;
    std::vector<uint32_t> sessions;
    char description[2048] = {};
};

}  // namespace zytest
