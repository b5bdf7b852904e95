// The callback tables, driven the way a synchronisation component does: found through the
// registry by the session's key, then called with the registered context.
#include <gtest/gtest.h>

#include <string>

#include "sessions/SyncReferences.h"
#include "status/Status.h"
#include "support/EmulatorFixture.h"
#include "zyemu/registry.h"

namespace {

using namespace zytest;
using namespace zyostrel::sessions;

class SyncTablesTest : public SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        uint32_t key = 0;
        ASSERT_STATUS(0, zyOstrel_GetSessionReference(session, &key));
        ASSERT_EQ(zyajel_find(key, pairs), 0);
        context = pairs[0].context;
        zyemu_clear_log();
    }
    template <class Table>
    const Table& table(SyncTableSlot slot) const {
        return *static_cast<const Table*>(pairs[static_cast<int>(slot)].table);
    }

    ZyAjelTablePair pairs[ZYAJEL_TABLE_COUNT]{};
    SyncContext context = 0;
    zyerr::Status status;
};

TEST_F(SyncTablesTest, MethodTablesSendTheirArgumentsFromOffset20) {
    const auto& a = table<SyncTableA>(SyncTableSlot::A);
    const auto& c = table<SyncTableC>(SyncTableSlot::C);
    EXPECT_EQ(a.method6(context, 11, 22, &status), 0);
    EXPECT_EQ(fieldsAt<uint32_t>(lastCall(), {16, 20, 24}), (std::vector<uint32_t>{6, 11, 22}));
    EXPECT_EQ(a.method7(context, 1.5, 2.5, &status), 0);
    EXPECT_EQ(fieldsAt<double>(lastCall(), {20, 28}), (std::vector<double>{1.5, 2.5}));
    EXPECT_EQ(a.method8(context, 0.25, 0.5, &status), 0);
    EXPECT_EQ(a.method9(context, 1.0, &status), 0);
    EXPECT_EQ(fieldAt<double>(lastCall(), 20), 1.0);

    // Table C's order is 2, 3, 1, 4, 5; method 5 reports what the others left.
    const uint32_t methods[] = {2, 3, 1, 4};
    int32_t (*const ops[])(SyncContext, uint32_t, SyncStatus*) = {c.method2, c.method3, c.method1,
                                                                  c.method4};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ops[i](context, 100u + static_cast<uint32_t>(i), &status), 0);
        EXPECT_EQ(lastCall().method, methods[i]);
        EXPECT_EQ(fieldAt<uint32_t>(lastCall(), 20), 100u + static_cast<uint32_t>(i));
    }
    uint32_t first = 0, second = 0;
    EXPECT_EQ(c.method5(context, 1, &first, &second, &status), 0.25 + 0.5 + 1.0);
    EXPECT_EQ(first, 100u + 1);
    EXPECT_EQ(second, 101u);
    EXPECT_EQ(c.method5(context, 0, nullptr, nullptr, &status), 1.75);
    EXPECT_EQ(status.code, 0);
}

TEST_F(SyncTablesTest, ArmStartAndDoneFollowTheDevice) {
    const auto& b = table<SyncTableB>(SyncTableSlot::B);
    const auto& d = table<SyncTableD>(SyncTableSlot::D);
    EXPECT_EQ(d.method12(context, &status), 0);
    uint8_t armed = 0;
    EXPECT_EQ(b.method13(context, &armed, &status), 0);
    EXPECT_EQ(armed, 1);
    EXPECT_EQ(d.method10(context, &status), 0);
    EXPECT_EQ(d.method11(context, &status), 0);
    EXPECT_EQ(d.method12(context, &status), 1);
    EXPECT_EQ(b.method14(context, &status), 0);
    EXPECT_EQ(d.method12(context, &status), 0);
    EXPECT_EQ(lastCall().method, 12u);
}

TEST_F(SyncTablesTest, FailuresAreElaboratedAndGiveZeroResults) {
    const auto& b = table<SyncTableB>(SyncTableSlot::B);
    const auto& c = table<SyncTableC>(SyncTableSlot::C);
    Fault::interface(260).status(-50400).add();
    uint8_t armed = 0;
    EXPECT_EQ(b.method13(context, &armed, &status), -50400);
    EXPECT_EQ(armed, 1) << "set before the command, whatever its result";
    EXPECT_EQ(status.code, -50400);
    uint32_t first = 7, second = 7;
    EXPECT_EQ(c.method5(context, 0, &first, &second, &status), 0.0);
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(second, 0u);
}

TEST_F(SyncTablesTest, AttributeTableSendsTheChannelTextUnchanged) {
    const auto& t = table<SyncAttributeTable>(SyncTableSlot::Attribute);
    // "AI0-AI1" would be two names to the name grammar; the callbacks pass it as it is.
    t.setInt32(context, "AI0-AI1", 0x10000020, 3, &status);
    ASSERT_EQ(attributeCalls().size(), 1u);
    EXPECT_EQ(attributeCalls()[0].qualifier, "AI0-AI1");
    status.code = 0;
    zyemu_clear_log();
    EXPECT_EQ(t.setInt32(context, "", 0x10000020, 3, &status), 0);
    EXPECT_EQ(t.getInt32(context, "", 0x10000020, &status), 3);
    EXPECT_EQ(t.setUInt64(context, "", 0x50000000, 0x123456789ull, &status), 0);
    EXPECT_EQ(t.getUInt64(context, "", 0x50000000, &status), 0x123456789ull);
    const char* texts[] = {"PFI0", "PFI1"};
    EXPECT_EQ(t.setStringList(context, "", 0x3000000C, texts, 2, &status), 0);
    std::string received;
    auto receiver = [](void* out, const char* text, int32_t length, SyncStatus*) {
        static_cast<std::string*>(out)->assign(text, static_cast<size_t>(length));
    };
    EXPECT_EQ(t.getString(context, "", 0x3000000C, receiver, &received, &status), 0);
    EXPECT_EQ(received, "PFI0");
    EXPECT_EQ(t.setStringList(context, "", 0x3000000C, texts, 0, &status), 0);
    EXPECT_EQ(t.getString(context, "", 0x3000000C, receiver, &received, &status), 0);
    EXPECT_EQ(received, "");
    const std::vector<AttributeCall> expected = {
        {722, 0x10000020, "", "3"},
        {721, 0x10000020, ""},
        {722, 0x50000000, "", "0x123456789"},
        {721, 0x50000000, ""},
        {722, 0x3000000C, "", "PFI0"},
        {721, 0x3000000C, ""},
        {722, 0x3000000C, "", ""},
        {721, 0x3000000C, ""},
    };
    EXPECT_EQ(attributeCalls(), expected);
    EXPECT_EQ(status.code, 0);
}

TEST_F(SyncTablesTest, QueryAnswersWhetherTheInstrumentHasTheAttribute) {
    const auto& t = table<SyncAttributeTable>(SyncTableSlot::Attribute);
    EXPECT_EQ(t.query(context, "", 0x10000020, &status), 1);
    EXPECT_EQ(t.query(context, "", 0x1000FFFF, &status), 0);
    EXPECT_EQ(status.code, 0);
}

TEST_F(SyncTablesTest, AttributeGettersGiveZeroAfterAFailure) {
    const auto& t = table<SyncAttributeTable>(SyncTableSlot::Attribute);
    ASSERT_EQ(t.setInt32(context, "", 0x10000020, 3, &status), 0);
    Fault::attribute(0x10000020, 721).status(-61230).add();
    EXPECT_EQ(t.getInt32(context, "", 0x10000020, &status), 0);
    EXPECT_EQ(status.code, -61230);
}

}  // namespace
