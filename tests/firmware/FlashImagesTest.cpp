// Flash slots, bitfile metadata and the adapter FPGA flash, against the emulated instrument.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "firmware/UpdateFixtures.h"
#include "support/TempPath.h"

namespace {

using zytest::Fault;
using zytest::flashState;

constexpr uint32_t kUser = ZYOSTREL_FLASH_SLOT_USER;

class FlashImages : public zytest::SessionTest {
protected:
    // A session running a bitfile document of its own, promoted into the user slot.
    std::string promoteDocument() {
        const std::string text = zytest::DocumentParts().text();
        uint32_t opened = 0;
        EXPECT_STATUS(0, zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, text.c_str(), 0, &opened));
        EXPECT_STATUS(0, zyOstrel_PromoteSessionToUserImage(opened), opened);
        EXPECT_STATUS(0, zyOstrel_CloseSession(opened, 0));
        zyemu_clear_log();
        return text;
    }
    // Reads a slot's metadata with the two calls a caller makes.
    std::string slotMetadata(uint32_t slot, int32_t expected = 0) {
        size_t size = 0;
        EXPECT_STATUS(expected,
                      zyOstrel_GetBitfileMetadataFromFlash(session, slot, &size, nullptr));
        std::string text(size, '\0');
        if (expected == 0) {
            EXPECT_STATUS(0, zyOstrel_GetBitfileMetadataFromFlash(session, slot, &size, &text[0]));
        }
        return text;
    }
};

TEST_F(FlashImages, RunningMetadataTakesTwoCallsAndNeverRereadsTheSize) {
    size_t size = 0;
    ASSERT_STATUS(0, zyOstrel_GetBitfileMetadata(session, &size, nullptr));
    ASSERT_GT(size, 0u);
    std::string text(size + 10, '#');
    size_t given = size + 10;
    ASSERT_STATUS(0, zyOstrel_GetBitfileMetadata(session, &given, &text[0]));
    EXPECT_EQ(given, size + 10);  // the caller's size is not overwritten
    EXPECT_NE(text.find("<SignatureRegister>"), std::string::npos);
    EXPECT_EQ(text.substr(size), std::string(10, '#'));
    const auto calls = callsOf(ZYEMU_ENTRY_CLIENT_CALL);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(std::vector<uint64_t>({calls[0].functionNumber, calls[1].functionNumber,
                                     calls[2].functionNumber, calls[2].outputSize}),
              std::vector<uint64_t>({18, 18, 19, size + 10}));
}

TEST_F(FlashImages, MetadataReadersRequireTheSizePointer) {
    char buffer[8];
    for (char* text : {static_cast<char*>(nullptr), buffer}) {
        EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter,
                      zyOstrel_GetBitfileMetadata(session, nullptr, text));
        EXPECT_STATUS(ZYOSTREL_Status_InvalidParameter,
                      zyOstrel_GetBitfileMetadataFromFlash(session, 1, nullptr, text));
    }
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(FlashImages, FailingSizeCallStopsBeforeTheDataCall) {
    Fault::function(27).status(-77).add();
    size_t size = 5;
    char buffer[5];
    EXPECT_STATUS(-77, zyOstrel_GetBitfileMetadataFromFlash(session, 1, &size, nullptr));
    EXPECT_EQ(size, 0u);  // the reply starts at 0
    EXPECT_STATUS(-77, zyOstrel_GetBitfileMetadataFromFlash(session, 1, &size, buffer));
    EXPECT_EQ(callsOf(ZYEMU_ENTRY_CLIENT_CALL).size(), 2u);
    zyemu_clear_faults();
    Fault::function(27).status(12).afterRunning().add();  // a warning is kept, not dropped
    EXPECT_STATUS(12, zyOstrel_GetBitfileMetadataFromFlash(session, 1, &size, buffer));
    EXPECT_EQ(lastCall().functionNumber, 28u);
}

TEST_F(FlashImages, PromotedSessionKeepsItsBitfileInTheSlot) {
    slotMetadata(kUser, ZYOSTREL_Status_UserImageMissing);
    const std::string text = promoteDocument();
    EXPECT_EQ(slotMetadata(kUser), text);
    EXPECT_EQ(flashState().slotWrites, 1u);
    EXPECT_STATUS(0, zyOstrel_ClearUserImage(session));
    EXPECT_EQ(fieldAt<uint32_t>(lastCall(), 0), kUser);
    slotMetadata(kUser, ZYOSTREL_Status_UserImageMissing);
    size_t size = 0;
    EXPECT_STATUS(ZYEMU_STATUS_INVALID_VALUE,
                  zyOstrel_GetBitfileMetadataFromFlash(session, 3, &size, nullptr));
}

TEST_F(FlashImages, UserAutoloadNeedsAUserImage) {
    EXPECT_STATUS(ZYOSTREL_Status_UserImageAutoloadUnavailable,
                  zyOstrel_SetUserAutoloadFlag(session, 1));
    EXPECT_EQ(callsOf(ZYEMU_ENTRY_CLIENT_CALL).size(), 1u);  // no set sent
    promoteDocument();
    EXPECT_STATUS(0, zyOstrel_SetUserAutoloadFlag(session, 5));
    const ZyEmuCall set = lastCall();
    EXPECT_EQ(set.functionNumber, 21u);
    EXPECT_EQ(fieldsAt<uint32_t>(set, {0, 4}), (std::vector<uint32_t>{kUser, 1}));
    EXPECT_EQ(flashState().slotAutoload[kUser], 1u);
    Fault::function(27).status(-9).times(1).add();
    EXPECT_STATUS(-9, zyOstrel_SetUserAutoloadFlag(session, 0));
}

TEST_F(FlashImages, AdapterFlashRecordAndRevision) {
    uint32_t revision = 99;
    EXPECT_STATUS(0, zyOstrel_GetOamFpgaRevision(session, 1, &revision));
    EXPECT_EQ(revision, 1u);
    EXPECT_EQ(zyOstrel_GetOamFpgaRevision(0x7777, 1, &revision), ZYEMU_STATUS_INVALID_SESSION);
    EXPECT_EQ(revision, 0u);  // written whatever the status

    const uint8_t image[6] = {7, 0, 0, 0, 0xAB, 0xCD};
    EXPECT_STATUS(0, zyOstrel_WriteOamFpgaFlash(session, 1, 0x11, 0x22, image, sizeof image));
    const ZyEmuCall write = lastCall();
    EXPECT_EQ(write.functionNumber, 42u);
    EXPECT_EQ(fieldsAt<uint32_t>(write, {0, 4, 8, 12}), (std::vector<uint32_t>{1, 0x11, 0x22, 6}));
    EXPECT_EQ(inputOf(write), (zytest::Bytes{1, 0, 0, 0, 0x11, 0, 0, 0, 0x22, 0,    0,
                                             0, 6, 0, 0, 0,    7, 0, 0, 0,    0xAB, 0xCD}));
    EXPECT_STATUS(0, zyOstrel_GetOamFpgaRevision(session, 1, &revision));
    EXPECT_EQ(revision, 7u);

    EXPECT_STATUS(0, zyOstrel_WriteOamFpgaFlash(session, 0, 1, 2, image, 0));
    EXPECT_EQ(lastCall().inputSize, 16u);
    EXPECT_EQ(fieldAt<uint32_t>(lastCall(), 12), 0u);
    zyemu_clear_log();
    EXPECT_EQ(zyOstrel_WriteOamFpgaFlash(session, 0, 1, 2, nullptr, 0),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyOstrel_WriteOamFpgaFlash(session, 0, 1, 2, image, size_t{1} << 32),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyOstrel_GetOamFpgaRevision(session, 0, nullptr), ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyemu_call_count(), 0u);
}

TEST_F(FlashImages, TreeSerializationRequest) {
    uint8_t reply[32];
    EXPECT_EQ(ostrel_GetTreeSerialization(simulated, 5, reply, sizeof reply), -1);
    EXPECT_EQ(zyemu_call_count(), 0u);
    ostrel_GetTreeSerialization(session, 0xA5, reply, sizeof reply);
    const ZyEmuCall call = lastCall();
    EXPECT_EQ(call.inputSize, 24u);
    EXPECT_EQ(call.interfaceNumber, 0xDE7EC7EDu);
    EXPECT_EQ(call.method, 343u);
    EXPECT_EQ(fieldAt<uint32_t>(call, 20), 0xA5u);
    EXPECT_EQ(call.outputSize, sizeof reply);
}

TEST_F(FlashImages, FlashSurvivesInTheStateDirectory) {
    const std::string directory = zytest::uniqueTempPath("flash");
    ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
    ASSERT_EQ(zyemu_set_flash_state_directory(directory.c_str()), 0);
    const std::string text = promoteDocument();
    EXPECT_STATUS(0, zyOstrel_CloseSession(session, 0));
    EXPECT_STATUS(0, zyOstrel_CloseSession(simulated, 0), simulated);
    zyemu_reset();  // drops what the instrument held in memory
    ASSERT_STATUS(0, zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &session));
    ASSERT_STATUS(0, zyOstrel_OpenSession(ZYEMU_RESOURCE_SIMULATED, nullptr, 0, &simulated));
    EXPECT_EQ(slotMetadata(kUser), text);
    zyemu_set_flash_state_directory(nullptr);
    const std::string file = directory + "/" ZYEMU_RESOURCE_DEFAULT ".flash";
    std::remove(file.c_str());
    rmdir(directory.c_str());
}

}  // namespace
