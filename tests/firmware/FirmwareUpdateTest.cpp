// The firmware update against the emulated instrument: what is written and in what order,
// what is skipped, how the progress record behaves, and bundles that must be refused.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "firmware/UpdateFixtures.h"

namespace {

using namespace zytest;

class FirmwareUpdate : public EmulatorTest {
protected:
    // The slot of each promotion and the function of each adapter write, in order.
    static std::vector<std::string> writes() {
        std::vector<std::string> found;
        for (const ZyEmuCall& call : callsOf(ZYEMU_ENTRY_CLIENT_CALL)) {
            if (call.functionNumber == 777)
                found.push_back("slot" + std::to_string(fieldAt<uint32_t>(call, 0)));
            if (call.functionNumber == 42) found.push_back("adapter");
        }
        return found;
    }
};

TEST_F(FirmwareUpdate, WritesWhatDiffersThenNothingOrOnlyTheForcedAdapter) {
    const auto bundle = UpdateBundle().bytes();
    testing::internal::CaptureStderr();
    ASSERT_EQ(updateWith(bundle), 0);
    const std::string trace = testing::internal::GetCapturedStderr();
    EXPECT_NE(trace.find("[yostrelapi|irmware/OstrelFirmwareDevice.cpp|"), std::string::npos)
        << trace;
    EXPECT_NE(trace.find("] Type: Bitfile\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("] Type: OAM FPGA Flash\n"), std::string::npos) << trace;
    EXPECT_EQ(writes(), (std::vector<std::string>{"slot1", "slot0", "adapter"}));
    const ZyEmuFlashState state = flashState();
    EXPECT_EQ(slotText(0), bitfileSigned('G'));
    EXPECT_EQ(slotText(1), bitfileSigned('D'));
    EXPECT_EQ(state.bundleVersion, 7u);
    EXPECT_EQ(state.adapterRevision[0], 5u);
    EXPECT_EQ(state.adapterImageSize[0], 8u);  // five bytes padded to whole words
    EXPECT_EQ(state.unprotectedGoldenWrites, 0u);
    EXPECT_EQ(progressOf(), endedAs(false));
    EXPECT_EQ(progressOf(), kCollected);

    zyemu_clear_log();
    EXPECT_EQ(updateWith(bundle), 0);
    EXPECT_TRUE(writes().empty());
    EXPECT_EQ(progressOf(), endedAs(false));

    // Forced, the same signatures are still skipped but the adapter is rewritten.
    zyemu_clear_log();
    EXPECT_EQ(updateWith(bundle, true), 0);
    EXPECT_EQ(writes(), (std::vector<std::string>{"adapter"}));
    EXPECT_EQ(progressOf(), endedAs(false));
}

TEST_F(FirmwareUpdate, DefaultBitfileIsHandledFirst) {
    UpdateBundle bundle;
    bundle.entries = {bundle.entries[0], bundle.entries[2], bundle.entries[1]};
    ASSERT_EQ(updateWith(bundle.bytes()), 0);
    // [golden, adapter, default] becomes [default, adapter, golden].
    EXPECT_EQ(writes(), (std::vector<std::string>{"slot1", "adapter", "slot0"}));
    progressOf();
}

TEST_F(FirmwareUpdate, MissingGoldenImageFailsBeforeAnything) {
    for (const size_t kept : {size_t{0}, size_t{2}}) {
        SCOPED_TRACE(kept);
        UpdateBundle bundle;
        bundle.entries.erase(bundle.entries.begin(), bundle.entries.begin() + (kept == 0 ? 3 : 1));
        zyemu_clear_log();
        EXPECT_EQ(updateWith(bundle.bytes()), ZYOSTREL_Status_InvalidFirmwareBundle);
        EXPECT_EQ(zyemu_call_count(), 0u);
        EXPECT_EQ(progressOf(), endedAs(true));
    }
}

// Only the golden image in the bundle, and a default slot that holds nothing: the golden
// image goes in while the default slot temporarily holds the same bitfile with autoload set.
TEST_F(FirmwareUpdate, GoldenSequenceWithTemporaryDefaultImage) {
    ASSERT_EQ(zyemu_set_flash_slot(kResource, 1, nullptr, 0), 0);
    UpdateBundle bundle;
    bundle.entries.resize(1);
    ASSERT_EQ(updateWith(bundle.bytes()), 0);
    std::vector<std::string> steps;
    for (const ZyEmuCall& call : callsOf(ZYEMU_ENTRY_CLIENT_CALL)) {
        const uint32_t f = call.functionNumber;
        if (f == 21 || f == 29 || f == 32 || f == 777) {
            std::string step = std::to_string(f) + ":" + std::to_string(fieldAt<uint32_t>(call, 0));
            if (f == 21) step += "=" + std::to_string(fieldAt<uint32_t>(call, 4));
            steps.push_back(step);
        }
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"21:1=0", "777:1", "21:1=0", "29:1", "21:1=1",
                                               "777:0", "21:1=0", "32:1"}));
    const ZyEmuFlashState state = flashState();
    EXPECT_EQ(state.slotHoldsImage[1], 0);
    EXPECT_EQ(slotText(0), bitfileSigned('G'));
    EXPECT_EQ(state.unprotectedGoldenWrites, 0u);
    EXPECT_EQ(progressOf(), endedAs(false));
}

TEST_F(FirmwareUpdate, FailuresEndTheUpdateAsFailed) {
    UpdateBundle unknown;
    unknown.entries[1]["identifier"] = "\"spare_bitfile\"";
    EXPECT_EQ(updateWith(unknown.bytes()), ZYOSTREL_Status_UnknownBundleBitfile);
    EXPECT_EQ(progressOf(), endedAs(true));

    UpdateBundle mismatch;
    mismatch.entries[2] = adapterEntry(6);  // the image reports 5
    EXPECT_EQ(updateWith(mismatch.bytes()), ZYOSTREL_Status_AdapterFpgaRevisionMismatch);
    EXPECT_EQ(progressOf(), endedAs(true));
    EXPECT_EQ(flashState().bundleVersion, 0u);

    UpdateBundle badType;
    badType.entries[2]["board"] = "\"adapter\"";
    EXPECT_EQ(updateWith(badType.bytes()), ZYOSTREL_Status_InvalidFirmwareBundle);
    EXPECT_EQ(progressOf(), endedAs(true));
}

TEST_F(FirmwareUpdate, SecondUpdateOfAResourceWaitsForTheFirstToBeCollected) {
    ASSERT_EQ(zyemu_set_flash_write_time(kResource, 200), 0);
    const auto bundle = UpdateBundle().bytes();
    std::atomic<int32_t> first{1};
    std::thread updating([&] { first = updateWith(bundle); });
    std::vector<uint32_t> seen;
    Progress progress;
    do {
        progress = progressOf();
        const auto [status, percent, inProgress, failed] = progress;
        if (status == 0) seen.push_back(percent);
        if (status == 0 && inProgress) {
            EXPECT_EQ(updateWith(bundle), ZYOSTREL_Status_FirmwareUpdateBusy);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::get<0>(progress) != 0 || std::get<2>(progress) != 0);
    updating.join();
    EXPECT_EQ(first, 0);
    EXPECT_EQ(progress, endedAs(false));
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_GT(seen.size(), 2u);
    EXPECT_EQ(progressOf(), kCollected);
    EXPECT_EQ(updateWith(bundle), 0);  // collected: a new update may start
    EXPECT_EQ(progressOf(), endedAs(false));
}

TEST_F(FirmwareUpdate, NullArgumentsAreRefused) {
    uint32_t percent = 9;
    uint8_t flag = 9;
    EXPECT_EQ(zyOstrel_GetFirmwareUpdateProgress(kResource, nullptr, &flag, &flag),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyOstrel_GetFirmwareUpdateProgress(kResource, &percent, nullptr, &flag),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyOstrel_GetFirmwareUpdateProgress(nullptr, &percent, &flag, &flag),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(percent, 9u);
    EXPECT_EQ(zyOstrel_UpdateFirmware(nullptr, kDevice, 0, nullptr, 0),
              ZYOSTREL_Status_InvalidParameter);
    EXPECT_EQ(zyOstrel_UpdateFirmware(kResource, kDevice, 0, nullptr, 0),
              ZYOSTREL_Status_InvalidFirmwareBundle);
    EXPECT_EQ(progressOf(), endedAs(true));
}

}  // namespace
