#include "translator/script/StdintModule.h"

#include <lua.hpp>

#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <type_traits>

// Everything here runs between Lua's setjmp and a possible longjmp of luaL_error, so the
// functions hold only trivially destructible values: nothing is left undestroyed when a
// script error unwinds through them.

namespace zyxlator::script {
namespace {

constexpr double kTwoTo63 = 9223372036854775808.0;
constexpr double kTwoTo64 = 18446744073709551616.0;

struct Unsigned {
    using Value = uint64_t;
    static constexpr const char* kName = "u64";
    static constexpr const char* kDecimalFormat = "%" PRIu64;

    // Values at or above 2^63 do not fit the signed conversion, so the top bit is set by hand;
    // below 2^63 a negative number keeps its two's complement bits.
    static bool fromNumber(double number, Value& out) {
        if (std::isnan(number) || number >= kTwoTo64 || number < -kTwoTo63) return false;
        if (number >= kTwoTo63) {
            out = static_cast<uint64_t>(number - kTwoTo63) | (uint64_t{1} << 63);
        } else {
            out = static_cast<uint64_t>(static_cast<int64_t>(number));
        }
        return true;
    }
    static bool fromText(const char* text, Value& out) {
        char* end = nullptr;
        errno = 0;
        const unsigned long long parsed = std::strtoull(text, &end, 10);
        if (end == text || errno == ERANGE) return false;
        out = parsed;
        return true;
    }
    static Value remainder(Value a, Value b) { return a % b; }
};

struct Signed {
    using Value = int64_t;
    static constexpr const char* kName = "i64";
    static constexpr const char* kDecimalFormat = "%" PRIi64;

    static bool fromNumber(double number, Value& out) {
        if (std::isnan(number) || number >= kTwoTo63 || number < -kTwoTo63) return false;
        out = static_cast<int64_t>(number);
        return true;
    }
    static bool fromText(const char* text, Value& out) {
        char* end = nullptr;
        errno = 0;
        const long long parsed = std::strtoll(text, &end, 10);
        if (end == text || errno == ERANGE) return false;
        out = parsed;
        return true;
    }
    static Value remainder(Value a, Value b) { return b == -1 ? 0 : a % b; }
};

template <typename Kind>
typename Kind::Value* pushNew(lua_State* state, typename Kind::Value value) {
    auto* slot = static_cast<typename Kind::Value*>(lua_newuserdata(state, sizeof(value)));
    *slot = value;
    luaL_getmetatable(state, Kind::kName);
    lua_setmetatable(state, -2);
    return slot;
}

template <typename Kind>
typename Kind::Value numberOperand(lua_State* state, int index) {
    typename Kind::Value value = 0;
    if (!Kind::fromNumber(lua_tonumber(state, index), value)) {
        luaL_error(state, "number out of the %s range", Kind::kName);
    }
    return value;
}

// An operand of an arithmetic or comparison entry: a number, or a value of this kind (a value
// of the other kind fails the metatable check with a script error).
template <typename Kind>
typename Kind::Value operand(lua_State* state, int index) {
    switch (lua_type(state, index)) {
        case LUA_TNUMBER:
            return numberOperand<Kind>(state, index);
        case LUA_TUSERDATA:
            return *static_cast<typename Kind::Value*>(luaL_checkudata(state, index, Kind::kName));
        default:
            luaL_error(state, "Can't get a %s from argument", Kind::kName);
            return 0;
    }
}

template <typename Kind>
int construct(lua_State* state) {
    typename Kind::Value value = 0;
    if (lua_gettop(state) == 1) {
        switch (lua_type(state, 1)) {
            case LUA_TNUMBER:
                value = numberOperand<Kind>(state, 1);
                break;
            case LUA_TSTRING: {
                const char* text = lua_tostring(state, 1);
                if (!Kind::fromText(text, value)) {
                    return luaL_error(state, "Unable to parse a number out of \"%s\"", text);
                }
                break;
            }
            default:
                return luaL_error(state, "%s constructor arg must be a number or a string",
                                  Kind::kName);
        }
    }
    pushNew<Kind>(state, value);
    return 1;
}

// Wrapping arithmetic is done on the unsigned bits: signed overflow would be undefined.
template <typename Kind>
uint64_t bitsOf(lua_State* state, int index) {
    return static_cast<uint64_t>(operand<Kind>(state, index));
}

template <typename Kind>
int add(lua_State* state) {
    const uint64_t sum = bitsOf<Kind>(state, 1) + bitsOf<Kind>(state, 2);
    pushNew<Kind>(state, static_cast<typename Kind::Value>(sum));
    return 1;
}

template <typename Kind>
int subtract(lua_State* state) {
    const uint64_t difference = bitsOf<Kind>(state, 1) - bitsOf<Kind>(state, 2);
    pushNew<Kind>(state, static_cast<typename Kind::Value>(difference));
    return 1;
}

template <typename Kind>
int multiply(lua_State* state) {
    const uint64_t product = bitsOf<Kind>(state, 1) * bitsOf<Kind>(state, 2);
    pushNew<Kind>(state, static_cast<typename Kind::Value>(product));
    return 1;
}

template <typename Kind>
int negate(lua_State* state) {
    const uint64_t negated = uint64_t{0} - bitsOf<Kind>(state, 1);
    pushNew<Kind>(state, static_cast<typename Kind::Value>(negated));
    return 1;
}

template <typename Kind>
bool divisionOverflows(typename Kind::Value dividend, typename Kind::Value divisor) {
    if constexpr (std::is_signed_v<typename Kind::Value>) {
        return divisor == -1 && dividend == INT64_MIN;
    }
    return false;
}

template <typename Kind>
int divide(lua_State* state) {
    const typename Kind::Value dividend = operand<Kind>(state, 1);
    const typename Kind::Value divisor = operand<Kind>(state, 2);
    if (divisor == 0) return luaL_error(state, "%s division by zero", Kind::kName);
    if (divisionOverflows<Kind>(dividend, divisor)) {
        return luaL_error(state, "%s division overflows", Kind::kName);
    }
    // The one quotient that does not fit was refused above.
    pushNew<Kind>(state, dividend / divisor);
    return 1;
}

template <typename Kind>
int modulo(lua_State* state) {
    const typename Kind::Value dividend = operand<Kind>(state, 1);
    const typename Kind::Value divisor = operand<Kind>(state, 2);
    if (divisor == 0) return luaL_error(state, "%s division by zero", Kind::kName);
    pushNew<Kind>(state, Kind::remainder(dividend, divisor));
    return 1;
}

template <typename Kind>
int equal(lua_State* state) {
    lua_pushboolean(state, operand<Kind>(state, 1) == operand<Kind>(state, 2));
    return 1;
}

template <typename Kind>
int lessThan(lua_State* state) {
    lua_pushboolean(state, operand<Kind>(state, 1) < operand<Kind>(state, 2));
    return 1;
}

template <typename Kind>
int toString(lua_State* state) {
    char text[32];
    const int length =
        std::snprintf(text, sizeof(text), Kind::kDecimalFormat, operand<Kind>(state, 1));
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof(text)) {
        return luaL_error(state, "Failed to convert %s to string", Kind::kName);
    }
    lua_pushlstring(state, text, static_cast<std::size_t>(length));
    return 1;
}

template <typename Kind>
int hexString(lua_State* state) {
    char text[32];
    const int length = std::snprintf(text, sizeof(text), "%" PRIx64, bitsOf<Kind>(state, 1));
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof(text)) {
        return luaL_error(state, "Failed to print hex value of %s", Kind::kName);
    }
    lua_pushlstring(state, text, static_cast<std::size_t>(length));
    return 1;
}

template <typename Kind>
void registerMetatable(lua_State* state) {
    static const luaL_Reg entries[] = {
        {"__tostring", &toString<Kind>}, {"__add", &add<Kind>},    {"__sub", &subtract<Kind>},
        {"__mul", &multiply<Kind>},      {"__div", &divide<Kind>}, {"__mod", &modulo<Kind>},
        {"__unm", &negate<Kind>},        {"__eq", &equal<Kind>},   {"__lt", &lessThan<Kind>},
        {"hexstring", &hexString<Kind>}, {nullptr, nullptr},
    };
    luaL_newmetatable(state, Kind::kName);
    luaL_register(state, nullptr, entries);
    // Methods such as hexstring are found through the metatable itself.
    lua_pushvalue(state, -1);
    lua_setfield(state, -2, "__index");
    lua_pop(state, 1);
}

}  // namespace

int openStdint(lua_State* state) {
    static const luaL_Reg functions[] = {
        {"u64", &construct<Unsigned>},
        {"i64", &construct<Signed>},
        {nullptr, nullptr},
    };
    registerMetatable<Unsigned>(state);
    registerMetatable<Signed>(state);
    luaL_register(state, "stdint", functions);
    return 1;
}

}  // namespace zyxlator::script
