// Test fixtures and helpers around the emulated instrument's control interface: sessions,
// injected faults, the call log, and status assertions that explain a failure.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <ostream>
#include <sstream>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "zyemu/control.h"
#include "zyostrelapi.h"

namespace zytest {

using Bytes = std::vector<uint8_t>;

// Reads a little-endian value at an offset of a logged record (zero past its end).
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

// One attribute command (interface 258) as the instrument received it. The value of a set
// is written as text: Booleans and Int32 in decimal, UInt64 in hex, Double as printed.
struct AttributeCall {
    uint32_t method;  // 721 get, 722 set, 723 restore default
    uint32_t id;
    std::string qualifier;
    std::string value = "";
    bool operator==(const AttributeCall& other) const {
        return std::tie(method, id, qualifier, value) ==
               std::tie(other.method, other.id, other.qualifier, other.value);
    }
};

inline std::ostream& operator<<(std::ostream& out, const AttributeCall& call) {
    return out << "{" << call.method << ", 0x" << std::hex << call.id << std::dec << ", \""
               << call.qualifier << "\", \"" << call.value << "\"}";
}

// A fault to inject, built from what it matches and what it answers, e.g.
// Fault::method(258, 722).status(-5).times(1).add(). Without afterRunning() the command
// is not carried out.
class Fault {
public:
    static Fault entry(uint32_t entry) {
        return Fault(ZYEMU_MATCH_ENTRY).set(&ZyEmuFault::entry, entry);
    }
    static Fault function(uint32_t number) {
        return Fault(ZYEMU_MATCH_FUNCTION).set(&ZyEmuFault::functionNumber, number);
    }
    static Fault interface(uint32_t number) {
        return Fault(ZYEMU_MATCH_INTERFACE).set(&ZyEmuFault::interfaceNumber, number);
    }
    static Fault method(uint32_t interfaceNumber, uint32_t method) {
        return interface(interfaceNumber).also(ZYEMU_MATCH_METHOD, &ZyEmuFault::method, method);
    }
    // An attribute command (721 get, 722 set) on one identifier.
    static Fault attribute(uint32_t id, uint32_t method) {
        return Fault(ZYEMU_MATCH_ATTRIBUTE | ZYEMU_MATCH_METHOD)
            .set(&ZyEmuFault::attributeId, id)
            .set(&ZyEmuFault::method, method);
    }
    // The call at a position of the log (0 = first since it was cleared).
    static Fault callAt(uint64_t index) {
        Fault fault(ZYEMU_MATCH_CALL_INDEX);
        fault.spec_.callIndex = index;
        return fault;
    }

    Fault& status(int32_t status) { return set(&ZyEmuFault::status, status); }
    Fault& afterRunning() { return set(&ZyEmuFault::action, uint32_t{ZYEMU_FAULT_AFTER_RUNNING}); }
    Fault& skip(uint32_t calls) { return set(&ZyEmuFault::skip, calls); }
    Fault& times(uint32_t count) { return set(&ZyEmuFault::count, count); }
    Fault& reply(Bytes bytes) {
        reply_ = std::move(bytes);
        return *this;
    }
    template <class T, class = std::enable_if_t<std::is_trivially_copyable_v<T>>>
    Fault& reply(const T& value) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(&value);
        return reply(Bytes(bytes, bytes + sizeof value));
    }

    // Adds the fault (the emulator keeps a copy of the reply); returns its identifier.
    int32_t add() {
        spec_.reply = reply_.empty() ? nullptr : reply_.data();
        spec_.replySize = reply_.size();
        const int32_t id = zyemu_add_fault(&spec_);
        EXPECT_GT(id, 0) << "the emulator refused the fault";
        return id;
    }

private:
    explicit Fault(uint32_t match) { spec_.match = match; }
    template <class T, class V>
    Fault& set(T ZyEmuFault::*field, V value) {
        spec_.*field = static_cast<T>(value);
        return *this;
    }
    template <class T, class V>
    Fault& also(uint32_t match, T ZyEmuFault::*field, V value) {
        spec_.match |= match;
        return set(field, value);
    }

    ZyEmuFault spec_{};
    Bytes reply_;
};

// Every test starts on a freshly reset emulator and ends with no session left open. The
// static members read the emulator's call log.
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
    // The calls of one runtime entry, in order.
    static std::vector<ZyEmuCall> callsOf(uint32_t entry) {
        std::vector<ZyEmuCall> found;
        for (const ZyEmuCall& call : calls()) {
            if (call.entry == entry) found.push_back(call);
        }
        return found;
    }
    static Bytes inputOf(const ZyEmuCall& call) {
        return Bytes(call.input, call.input + call.inputSize);
    }
    template <class T>
    static T fieldAt(const ZyEmuCall& call, size_t offset) {
        return zytest::fieldAt<T>(call, offset);
    }
    // The values of one type at several offsets, to compare a record's fields at once.
    template <class T>
    static std::vector<T> fieldsAt(const ZyEmuCall& call, std::initializer_list<size_t> offsets) {
        std::vector<T> values;
        for (size_t offset : offsets) values.push_back(fieldAt<T>(call, offset));
        return values;
    }
    // The text of a fixed-size field of a logged record, up to its first NUL.
    static std::string textAt(const ZyEmuCall& call, size_t offset, size_t size) {
        if (offset >= call.inputSize) return {};
        const char* field = reinterpret_cast<const char*>(call.input + offset);
        return std::string(field, strnlen(field, std::min<size_t>(size, call.inputSize - offset)));
    }
    // The attribute commands sent, in order: method, identifier at 20, qualifier at 28 and
    // the value of a set at the offset of its wire type (at 24).
    static std::vector<AttributeCall> attributeCalls() {
        std::vector<AttributeCall> found;
        for (const ZyEmuCall& call : calls()) {
            if (call.functionNumber != 256 || call.interfaceNumber != 258) continue;
            std::ostringstream value;
            if (call.method == 722) {
                switch (fieldAt<uint32_t>(call, 24)) {
                    case 0:
                        value << int{fieldAt<uint8_t>(call, 564)};
                        break;
                    case 1:
                        value << fieldAt<double>(call, 284);
                        break;
                    case 2:
                        value << fieldAt<int64_t>(call, 292);
                        break;
                    case 5:
                        value << "0x" << std::hex << fieldAt<uint64_t>(call, 300);
                        break;
                    default:
                        value << textAt(call, 308, 256);
                }
            }
            found.push_back(
                {call.method, fieldAt<uint32_t>(call, 20), textAt(call, 28, 256), value.str()});
        }
        return found;
    }
    static uint64_t addressOf(const void* pointer) {
        return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(pointer));
    }
};

// A session on the default instrument and one on the simulated resource, opened before each
// test with an empty call log and no faults, closed after it.
class SessionTest : public EmulatorTest {
protected:
    void SetUp() override;
    void TearDown() override;

    uint32_t session = 0;
    uint32_t simulated = 0;
};

}  // namespace zytest

// Asserts the status of a call on a session and prints the session's elaboration when it
// differs. The session defaults to the fixture's `session`: EXPECT_STATUS(0, call) or
// EXPECT_STATUS(0, call, otherSession).
#define ZYTEST_STATUS_(check, expected, status, on, ...) \
    check((expected), (status)) << "elaboration: " << ::zytest::elaborationOf(on)
#define EXPECT_STATUS(expected, ...) ZYTEST_STATUS_(EXPECT_EQ, expected, __VA_ARGS__, session, 0)
#define ASSERT_STATUS(expected, ...) ZYTEST_STATUS_(ASSERT_EQ, expected, __VA_ARGS__, session, 0)

inline void zytest::SessionTest::SetUp() {
    EmulatorTest::SetUp();
    ASSERT_STATUS(0, zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session));
    ASSERT_STATUS(0, zyOstrel_OpenSession(ZYEMU_RESOURCE_SIMULATED, nullptr, 0, &simulated));
    zyemu_clear_log();
}

inline void zytest::SessionTest::TearDown() {
    zyemu_clear_faults();
    EXPECT_STATUS(0, zyOstrel_CloseSession(session, 0));
    EXPECT_STATUS(0, zyOstrel_CloseSession(simulated, 0), simulated);
    EmulatorTest::TearDown();
}
