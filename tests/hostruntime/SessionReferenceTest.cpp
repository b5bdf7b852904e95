// Synchronisation references: registration with the session-key registry, the stored key,
// and the release of registrations whose session lost its reference.
#include <gtest/gtest.h>

#include "sessions/SyncReferences.h"
#include "support/EmulatorFixture.h"
#include "zyemu/registry.h"

namespace {

using namespace zytest;
using zyostrel::sessions::kSyncAttributeTable;
using zyostrel::sessions::kSyncTableA;
using zyostrel::sessions::kSyncTableB;
using zyostrel::sessions::kSyncTableC;
using zyostrel::sessions::kSyncTableD;

constexpr uint32_t kReferenceId = 0x10000007;

class SessionReferenceTest : public SessionTest {
protected:
    static int64_t storedReference(const char* resource) {
        int64_t value = -1;
        EXPECT_EQ(zyemu_get_attribute_i64(resource, kReferenceId, "", &value), 0);
        return value;
    }
    static bool registered(uint32_t key) {
        ZyAjelTablePair pairs[ZYAJEL_TABLE_COUNT];
        return zyajel_find(key, pairs) == 0;
    }
};

TEST_F(SessionReferenceTest, FirstCallRegistersTheFiveTablesAndStoresTheKey) {
    const size_t before = zyajel_registration_total();
    uint32_t key = 0;
    ASSERT_STATUS(0, zyOstrel_GetSessionReference(session, &key));
    ASSERT_NE(key, 0u);
    EXPECT_EQ(zyajel_registration_total(), before + 1);
    EXPECT_EQ(storedReference(ZYEMU_RESOURCE_DEFAULT), key);

    ZyAjelTablePair pairs[ZYAJEL_TABLE_COUNT];
    ASSERT_EQ(zyajel_find(key, pairs), 0);
    const void* order[] = {&kSyncAttributeTable, &kSyncTableD, &kSyncTableC, &kSyncTableB,
                           &kSyncTableA};
    for (int i = 0; i < ZYAJEL_TABLE_COUNT; ++i) {
        EXPECT_EQ(pairs[i].table, order[i]) << "table " << i;
        EXPECT_EQ(pairs[i].context, session) << "table " << i;
    }
    uint32_t capacity = 0, version = 0, flags = 9, reserved = 9;
    ASSERT_EQ(zyajel_registration_words(key, &capacity, &version, &flags, &reserved), 0);
    EXPECT_EQ(capacity, 0x1000000u);
    EXPECT_EQ(version, 0x1000000u);
    EXPECT_EQ(flags, 0u);
    EXPECT_EQ(reserved, 0u);

    // Method 0 of the synchronisation interface goes first, as a bare 20-byte record.
    const std::vector<ZyEmuCall> sent = calls();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent[0].interfaceNumber, 260u);
    EXPECT_EQ(sent[0].method, 0u);
    EXPECT_EQ(sent[0].inputSize, 20u);
}

TEST_F(SessionReferenceTest, SecondCallReturnsTheStoredKeyWithoutRegistering) {
    uint32_t first = 0;
    ASSERT_STATUS(0, zyOstrel_GetSessionReference(session, &first));
    const size_t before = zyajel_registration_total();
    zyemu_clear_log();
    uint32_t second = 0;
    ASSERT_STATUS(0, zyOstrel_GetSessionReference(session, &second));
    EXPECT_EQ(second, first);
    EXPECT_EQ(zyajel_registration_total(), before);
    // Only method 0 and the read: nothing is written back.
    const std::vector<AttributeCall> expected = {{721, kReferenceId, ""}};
    EXPECT_EQ(attributeCalls(), expected);
}

TEST_F(SessionReferenceTest, ZeroedReferenceRegistersAnewAndReleasesTheOldKey) {
    uint32_t first = 0;
    ASSERT_STATUS(0, zyOstrel_GetSessionReference(session, &first));
    ASSERT_EQ(zyemu_set_attribute_i64(ZYEMU_RESOURCE_DEFAULT, kReferenceId, "", 0), 0);
    uint32_t second = 0;
    ASSERT_STATUS(0, zyOstrel_GetSessionReference(session, &second));
    EXPECT_NE(second, first);
    EXPECT_FALSE(registered(first));
    EXPECT_TRUE(registered(second));
    EXPECT_EQ(storedReference(ZYEMU_RESOURCE_DEFAULT), second);
}

TEST_F(SessionReferenceTest, PurgeReleasesZeroedAndClosedSessionsOnly) {
    uint32_t second = 0, third = 0;
    ASSERT_STATUS(0, zyOstrel_OpenSession(ZYEMU_RESOURCE_SECOND, nullptr, 0, &second));
    ASSERT_STATUS(0, zyOstrel_OpenSession(ZYEMU_RESOURCE_THIRD, nullptr, 0, &third));
    uint32_t keyKept = 0, keyZeroed = 0, keyClosed = 0;
    ASSERT_STATUS(0, zyOstrel_GetSessionReference(session, &keyKept));
    ASSERT_STATUS(0, zyOstrel_GetSessionReference(second, &keyZeroed), second);
    ASSERT_STATUS(0, zyOstrel_GetSessionReference(third, &keyClosed), third);

    ASSERT_EQ(zyemu_set_attribute_i64(ZYEMU_RESOURCE_SECOND, kReferenceId, "", 0), 0);
    EXPECT_STATUS(0, zyOstrel_CloseSession(third, 0), third);
    // Another registration runs the purge; the second session then registers anew.
    uint32_t again = 0;
    ASSERT_STATUS(0, zyOstrel_GetSessionReference(second, &again), second);

    EXPECT_TRUE(registered(keyKept));
    EXPECT_FALSE(registered(keyZeroed));
    EXPECT_FALSE(registered(keyClosed));
    EXPECT_TRUE(registered(again));
    EXPECT_STATUS(0, zyOstrel_CloseSession(second, 0), second);
}

TEST_F(SessionReferenceTest, DeviceFailuresStopBeforeRegistering) {
    const size_t before = zyajel_registration_total();
    uint32_t key = 12345;

    const int32_t prepare = Fault::method(260, 0).status(-50400).add();
    EXPECT_STATUS(-50400, zyOstrel_GetSessionReference(session, &key));
    EXPECT_EQ(key, 12345u);
    EXPECT_EQ(zyemu_fault_hits(prepare), 1u);
    zyemu_clear_faults();

    Fault::attribute(kReferenceId, 721).status(-61230).add();
    EXPECT_STATUS(-61230, zyOstrel_GetSessionReference(session, &key));
    EXPECT_EQ(key, 12345u);
    // A warning on the read counts as a failure too: the value read is not trusted.
    zyemu_clear_faults();
    Fault::attribute(kReferenceId, 721).status(7).add();
    EXPECT_STATUS(7, zyOstrel_GetSessionReference(session, &key));
    EXPECT_EQ(zyajel_registration_total(), before);
}

TEST_F(SessionReferenceTest, FailedRegistrationIsReportedAndNothingIsStored) {
    zyajel_fail_next_registration(-52000);
    uint32_t key = 99;
    EXPECT_STATUS(-52000, zyOstrel_GetSessionReference(session, &key));
    EXPECT_EQ(key, 0u) << "the value read";
    EXPECT_EQ(storedReference(ZYEMU_RESOURCE_DEFAULT), 0);
    // The next call registers.
    ASSERT_STATUS(0, zyOstrel_GetSessionReference(session, &key));
    EXPECT_NE(key, 0u);
    EXPECT_TRUE(registered(key));
}

TEST_F(SessionReferenceTest, NoKeyWithOnlyAWarningIsAFailure) {
    zyajel_fail_next_registration(5);
    uint32_t key = 99;
    EXPECT_STATUS(-304400, zyOstrel_GetSessionReference(session, &key));
    EXPECT_EQ(storedReference(ZYEMU_RESOURCE_DEFAULT), 0);
}

TEST_F(SessionReferenceTest, RejectsNullOutputAndSimulatedSessions) {
    EXPECT_STATUS(-52005, zyOstrel_GetSessionReference(session, nullptr));
    uint32_t key = 5;
    EXPECT_STATUS(-1, zyOstrel_GetSessionReference(simulated, &key), simulated);
    EXPECT_EQ(key, 5u);
}

}  // namespace
