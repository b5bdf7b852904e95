// One session on the default instrument around each emulator test.
#pragma once

#include "support/EmulatorFixture.h"
#include "zyostrelapi.h"

namespace zytest {

class OneSessionTest : public EmulatorTest {
protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session), 0);
    }
    void TearDown() override {
        zyemu_clear_faults();
        EXPECT_EQ(zyOstrel_CloseSession(session, 0), 0);
        EmulatorTest::TearDown();
    }

    // A fault answering status on calls of one direct function.
    static ZyEmuFault functionFault(uint32_t functionNumber, int32_t status) {
        ZyEmuFault fault{};
        fault.match = ZYEMU_MATCH_FUNCTION;
        fault.functionNumber = functionNumber;
        fault.status = status;
        return fault;
    }

    uint32_t session = 0;
};

}  // namespace zytest
