// Test fixture and helpers around the emulated instrument's control interface.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "zyemu/control.h"

namespace zytest {

// Every test starts on a freshly reset emulator and ends with no session left open.
class EmulatorTest : public ::testing::Test {
protected:
    void SetUp() override { zyemu_reset(); }
    void TearDown() override {
        EXPECT_EQ(zyemu_open_session_count(), 0u) << "a test left a session open";
        zyemu_reset();
    }

    static std::vector<ZyEmuCall> calls() {
        std::vector<ZyEmuCall> all(zyemu_call_count());
        for (size_t i = 0; i < all.size(); ++i) zyemu_get_call(i, &all[i]);
        return all;
    }

    static ZyEmuCall lastCall() {
        ZyEmuCall call{};
        const size_t count = zyemu_call_count();
        if (count != 0) zyemu_get_call(count - 1, &call);
        return call;
    }

    static std::vector<uint8_t> inputOf(const ZyEmuCall& call) {
        return std::vector<uint8_t>(call.input, call.input + call.inputSize);
    }
};

// A session on the default instrument and one on the simulated resource, opened before each
// test with an empty call log, closed after it.
class SessionPairTest : public EmulatorTest {
protected:
    void SetUp() override;
    void TearDown() override;

    uint32_t session = 0;
    uint32_t simulated = 0;
};

// Reads a little-endian value at an offset of a logged record.
template <class T>
T fieldAt(const ZyEmuCall& call, size_t offset) {
    T value{};
    if (offset + sizeof(T) <= call.inputSize) std::memcpy(&value, call.input + offset, sizeof(T));
    return value;
}

// The elaboration a session's last failing command left, for assertion messages.
inline std::string elaborationOf(uint32_t session) {
    char text[8192];
    if (zyemu_last_elaboration(session, text, sizeof text) < 0) return "(no session)";
    return text;
}

}  // namespace zytest

#include "zyostrelapi.h"

inline void zytest::SessionPairTest::SetUp() {
    EmulatorTest::SetUp();
    ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session), 0);
    ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_SIMULATED, nullptr, 0, &simulated), 0);
    zyemu_clear_log();
}

inline void zytest::SessionPairTest::TearDown() {
    EXPECT_EQ(zyOstrel_CloseSession(session, 0), 0);
    EXPECT_EQ(zyOstrel_CloseSession(simulated, 0), 0);
    EmulatorTest::TearDown();
}

// Asserts a status and prints the emulator's elaboration when it differs.
#define EXPECT_STATUS(expected, status, session) \
    EXPECT_EQ((expected), (status)) << "elaboration: " << ::zytest::elaborationOf(session)
