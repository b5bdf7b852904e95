// The stdint module seen from scripts: exact 64-bit values where Lua numbers would round.
#include <gtest/gtest.h>

#include <string>

#include "ScriptState.h"

namespace {

struct Case {
    const char* chunk;
    const char* expected;
};

class StdintTest : public ::testing::Test {
protected:
    // A script error is expected as "error: " and its message, which Lua puts after the
    // position of the failing call.
    void expectAll(std::initializer_list<Case> cases) {
        for (const Case& item : cases) {
            std::string result =
                script_.run(std::string("local s = require('stdint') ") + item.chunk);
            const std::size_t position = result.find(": ", 7);
            if (result.rfind("error: ", 0) == 0 && position != std::string::npos) {
                result.erase(7, position + 2 - 7);
            }
            EXPECT_EQ(result, item.expected) << item.chunk;
        }
    }
    zytest::ScriptState script_;
};

TEST_F(StdintTest, PrintsTheLimitsExactly) {
    expectAll({
        {"return s.u64('18446744073709551615')", "18446744073709551615"},
        {"return s.u64('18446744073709551615'):hexstring()", "ffffffffffffffff"},
        {"return s.i64(-1):hexstring()", "ffffffffffffffff"},
        {"return s.i64('-9223372036854775808')", "-9223372036854775808"},
        {"return s.i64('9223372036854775807')", "9223372036854775807"},
        {"return s.i64('-9223372036854775808'):hexstring()", "8000000000000000"},
        {"return s.u64(0):hexstring()", "0"},
        {"return s.u64(2^63)", "9223372036854775808"},
        {"return s.u64(2^63 + 2^11)", "9223372036854777856"},
        {"return s.u64(-1)", "18446744073709551615"},
        {"return s.i64(-2.9)", "-2"},
        {"return s.u64(7.9)", "7"},
        {"return s.u64()", "0"},
        {"return s.i64(1, 2)", "0"},
        {"return getmetatable(s.u64(1)) == getmetatable(s.u64(2))", "true"},
    });
}

TEST_F(StdintTest, ArithmeticWrapsModulo2To64) {
    expectAll({
        {"local v = s.u64(1) + 2 return tostring(v) .. ' ' .. tostring(getmetatable(v) == "
         "getmetatable(s.u64(0)))",
         "3 true"},
        {"return s.u64('18446744073709551615') + 1", "0"},
        {"return s.u64(0) - 1", "18446744073709551615"},
        {"return s.i64('9223372036854775807') + 1", "-9223372036854775808"},
        {"return s.u64('4294967296') * s.u64('4294967296')", "0"},
        {"return -s.u64(1)", "18446744073709551615"},
        {"return -s.i64('-9223372036854775808')", "-9223372036854775808"},
        {"return s.u64('18446744073709551615') / 2", "9223372036854775807"},
        {"return s.i64(-7) / 2", "-3"},
        {"return s.i64(-7) % 2", "-1"},
        {"return s.u64(7) % 3", "1"},
        {"return s.i64('-9223372036854775808') % -1", "0"},
    });
}

TEST_F(StdintTest, ComparesUnsignedAndSignedValues) {
    expectAll({
        {"return s.u64(1) < s.u64(2)", "true"},
        {"return s.i64(-1) < s.i64(0)", "true"},
        {"return s.u64(-1) < s.u64(0)", "false"},
        {"return s.u64(2) <= s.u64(2)", "true"},
        {"return s.u64('18446744073709551615') == s.u64(-1)", "true"},
        {"return s.i64(5) == s.i64(6)", "false"},
    });
}

TEST_F(StdintTest, RejectsBadArgumentsWithScriptErrors) {
    expectAll({
        {"return s.u64({})", "error: u64 constructor arg must be a number or a string"},
        {"return s.i64(true)", "error: i64 constructor arg must be a number or a string"},
        {"return s.u64('abc')", "error: Unable to parse a number out of \"abc\""},
        {"return s.u64('18446744073709551616')",
         "error: Unable to parse a number out of \"18446744073709551616\""},
        {"return s.u64(1) + {}", "error: Can't get a u64 from argument"},
        {"return s.i64(1) + 'x'", "error: Can't get a i64 from argument"},
        {"return s.u64(1) / 0", "error: u64 division by zero"},
        {"return s.i64(1) % s.i64(0)", "error: i64 division by zero"},
        {"return s.i64('-9223372036854775808') / -1", "error: i64 division overflows"},
        {"return s.u64(2^64)", "error: number out of the u64 range"},
        {"return s.i64(0/0)", "error: number out of the i64 range"},
    });
    // A value of the other kind fails the metatable check.
    EXPECT_NE(
        script_.run("local s = require('stdint') return s.u64(1) + s.i64(1)").rfind("error: ", 0),
        std::string::npos);
}

}  // namespace
