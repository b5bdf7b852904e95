// Every allocation a call makes is made to fail in turn, one run per allocation: the call must
// come back with 0 or a negative status, never abort, and leave nothing open or leaked
// (LeakSanitizer checks the last part in the sanitizer build).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "FailingAllocator.h"
#include "channel/FpgaRuntime.h"
#include "support/EmulatorFixture.h"
#include "zyostrelapi.h"

namespace {

// The most allocations one representative call is expected to make; a call that makes more is
// reported rather than swept for ever.
constexpr std::size_t kMaxAllocationsPerCall = 4000;

constexpr uint32_t kChannelsInStream = 0x10000000;
constexpr uint32_t kAiRange = 0x20000010;

// One run: the session the case works on (0 when it opens its own) and what it opened.
// Whatever the call needs that allocates (a document) is made by the case's
// preparation, so that every allocation the sweep fails is one of the call's own.
struct Run {
    uint32_t session = 0;
    uint32_t opened = 0;
    std::string document;
};

struct SweepCase {
    const char* name;
    bool onSession;                     // the run starts with a session on ostrel0
    std::function<void(Run&)> prepare;  // before the failing allocation is armed
    std::function<int32_t(Run&)> call;  // the call whose allocations fail in turn
};

void noPreparation(Run&) {}

// Opens the case's session; what a case opens itself is closed after the run.
void beginRun(const SweepCase& sweepCase, Run& run) {
    if (sweepCase.onSession) {
        ASSERT_EQ(zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, nullptr, 0, &run.session), 0);
    }
    sweepCase.prepare(run);
}

void endRun(Run& run) {
    if (run.opened != 0) {
        EXPECT_EQ(zyOstrel_CloseSession(run.opened, 0), 0);
    }
    if (run.session != 0) {
        EXPECT_EQ(zyOstrel_CloseSession(run.session, 0), 0);
    }
    EXPECT_EQ(zyemu_open_session_count(), 0u) << "a failed allocation left a session open";
    zyemu_reset();
}

// Runs the case once for allocation n = 0, 1, 2, ... failing (with onward, every allocation
// from n on), until a run makes no more than n allocations: then every allocation of the call
// has failed once. Returns the runs made.
std::size_t sweep(const SweepCase& sweepCase, bool onward) {
    for (std::size_t n = 0; n <= kMaxAllocationsPerCall; ++n) {
        Run run;
        beginRun(sweepCase, run);
        zytest::failAllocation(n, onward);
        int32_t status = 0;
        try {
            status = sweepCase.call(run);
        } catch (const std::exception& exception) {
            zytest::stopFailingAllocations();
            ADD_FAILURE() << exception.what() << " crossed the C boundary when allocation " << n
                          << " failed (a C caller would have aborted)";
        }
        const bool failed = zytest::stopFailingAllocations();
        EXPECT_LE(status, 0) << "allocation " << n << " failed";
        endRun(run);
        if (!failed || ::testing::Test::HasFailure()) return n + 1;
    }
    ADD_FAILURE() << "the call made more than " << kMaxAllocationsPerCall << " allocations";
    return kMaxAllocationsPerCall;
}

int32_t openOn(Run& run, const char* imagePath) {
    return zyOstrel_OpenSession(ZYEMU_RESOURCE_DEFAULT, imagePath, 0, &run.opened);
}

int32_t openRuntimeSession(Run& run, const char* imagePath,
                           uint32_t attribute = ZYFPGA_OPEN_ATTRIBUTE_LIBRARY) {
    return ZyFpgaDll_Open(imagePath, nullptr, ZYEMU_RESOURCE_DEFAULT, attribute, &run.opened);
}

std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const SweepCase kCases[] = {
    // Library entry points, one or two per family.
    {"AttributeSetOnConnectorRange", true, noPreparation,
     [](Run& run) {
         return zyOstrel_SetAttributeInt32(run.session, "conn2/ai0-ai7", kChannelsInStream, 1);
     }},
    {"AttributeGetDoubleAndString", true, noPreparation,
     [](Run& run) {
         double range = 0;
         char text[64];
         const int32_t status = zyOstrel_GetAttributeDouble(run.session, "AI1", kAiRange, &range);
         if (status < 0) return status;
         return zyOstrel_GetAttributeString(run.session, "", 0x30000000, sizeof text, text);
     }},
    {"StreamConfigureStartRead", true, noPreparation,
     [](Run& run) {
         int16_t samples[32];
         uint8_t readInfo[80];
         uint32_t channels = 0;
         int32_t status =
             zyOstrel_ConfigureStreamEnabledChannels(run.session, 0, "AI0-AI1", &channels);
         if (status == 0) status = zyOstrel_ConfigureStreamFinite(run.session, 0, 16);
         if (status == 0) status = zyOstrel_StartStream(run.session, 0);
         if (status == 0) status = zyOstrel_ReadStreamI16(run.session, 0, 0, 32, samples, readInfo);
         return status;
     }},
    {"TimingRouteAndAnalogTrigger", true, noPreparation,
     [](Run& run) {
         uint32_t routeId = 0;
         int32_t status = zyOstrel_RouteSignal(run.session, "PFI0", "PXI_Trig0", &routeId);
         if (status < 0) return status;
         return zyOstrel_ConfigureAnalogEdgeTrigger(run.session, 0, "AI0", 1, 0.5, 0.1);
     }},
    {"TimingFailedSyncPulseFetchesItsElaboration", true,
     [](Run&) { zytest::Fault::entry(ZYEMU_ENTRY_CLIENT_CALL).status(-50150).times(1).add(); },
     [](Run& run) { return zyOstrel_SendSyncPulse(run.session); }},
    {"DeviceServicesModuleInfoAndCalibration", true, noPreparation,
     [](Run& run) {
         uint16_t field1 = 0, field2 = 0, field6 = 0;
         uint32_t field3 = 0, field4 = 0;
         uint8_t field5 = 0, calibration[16];
         int32_t status = zyOstrelMDK_readIoModuleInfo(run.session, &field1, &field2, &field3,
                                                       &field4, &field5, &field6);
         if (status < 0) return status;
         return zyOstrel_ReadCalibrationData(run.session, 0, calibration, sizeof calibration);
     }},
    {"I2cTransferAndQsfp", true, noPreparation,
     [](Run& run) {
         const uint8_t address = 0;
         uint8_t data[8];
         size_t written = 0, read = 0;
         int32_t status = zyOstrel_TransferI2C(run.session, 0, 0x50, &address, 1, data, sizeof data,
                                               0, &written, &read);
         uint32_t present = 0;
         if (status == 0) status = zyOstrel_QSFPGetModulePresent(run.session, 0, &present);
         return status;
     }},
    {"ReadinessWaits", true, noPreparation,
     [](Run& run) {
         int32_t ready = 0, ioError = 0;
         char unsafe[64];
         int32_t status = zyOstrel_WaitForIoReady(run.session, 10, &ready, &ioError);
         if (status < 0) return status;
         return zyOstrel_WaitForPoCSafeToDisconnect(run.session, "SI0-SI3", 10, sizeof unsafe,
                                                    unsafe);
     }},
    {"SessionOpenOnBitfilePath", false, noPreparation,
     [](Run& run) { return openOn(run, ZY_SAMPLE_BITFILE); }},
    {"SessionOpenOnDefaultImage", false, noPreparation,
     [](Run& run) { return openOn(run, nullptr); }},
    {"SessionBitfileQueries", false, [](Run& run) { ASSERT_EQ(openOn(run, ZY_SAMPLE_BITFILE), 0); },
     [](Run& run) {
         uint32_t offset = 0, number = 0, implementation = 0, elements = 0;
         int32_t status =
             zyOstrel_QueryBitfileRegister(run.opened, "Sample Count", ZYFPGA_ANY_TYPE, &offset);
         if (status < 0) return status;
         return zyOstrel_QueryBitfileFifo(run.opened, "Channel Levels", ZYFPGA_ANY_TYPE, &number,
                                          &implementation, &elements);
     }},

    // The emulated runtime's entry points, called directly. The library calls above already
    // send records of every family through it while its allocations fail in turn; its control
    // functions are the tests' own (RuntimeAllocationTest keeps their all-or-nothing rule).
    {"RuntimeOpenOnBitfileDocument", false,
     [](Run& run) { run.document = readFile(ZY_SAMPLE_BITFILE); },
     [](Run& run) { return openRuntimeSession(run, run.document.c_str()); }},
    {"RuntimeLookupsAndRegisterAccess", false,
     [](Run& run) { ASSERT_EQ(openRuntimeSession(run, ZY_SAMPLE_BITFILE), 0); },
     [](Run& run) {
         uint32_t offset = 0, number = 0, implementation = 0, elements = 0;
         uint8_t value = 0;
         int32_t status =
             ZyFpgaDll_FindRegisterPrivate(run.opened, "Sample Count", ZYFPGA_ANY_TYPE, &offset);
         if (status == 0) {
             status = ZyFpgaDll_FindFifoPrivate(run.opened, "Channel Levels", ZYFPGA_ANY_TYPE,
                                                &number, &implementation, &elements);
         }
         if (status == 0) status = ZyFpgaDll_WriteU8(run.opened, offset, 7);
         if (status == 0) status = ZyFpgaDll_ReadU8(run.opened, offset, &value);
         if (status == 0) status = ZyFpgaDll_ReadBool(run.opened, offset, &value);
         return status;
     }},
    {"RuntimeClose", false,
     [](Run& run) {
         ASSERT_EQ(
             openRuntimeSession(run, ZYOSTREL_IMAGE_DEFAULT,
                                ZYFPGA_OPEN_ATTRIBUTE_LIBRARY | ZYFPGA_OPEN_ATTRIBUTE_STORED_IMAGE),
             0);
     },
     [](Run& run) {
         const int32_t status = ZyFpgaDll_Close(run.opened, 0);
         if (status == 0) run.opened = 0;
         return status;
     }},
};

void PrintTo(const SweepCase& sweepCase, std::ostream* out) { *out << sweepCase.name; }

class AllocationSweepTest : public ::testing::TestWithParam<std::tuple<SweepCase, bool>> {
protected:
    void SetUp() override { zyemu_reset(); }
    void TearDown() override { zyemu_reset(); }
};

TEST_P(AllocationSweepTest, EveryFailedAllocationGivesAStatus) {
    const std::size_t runs = sweep(std::get<0>(GetParam()), std::get<1>(GetParam()));
    RecordProperty("runs", static_cast<int>(runs));
}

INSTANTIATE_TEST_SUITE_P(EveryFamily, AllocationSweepTest,
                         ::testing::Combine(::testing::ValuesIn(kCases), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<SweepCase, bool>>& param) {
                             return std::string(std::get<0>(param.param).name) +
                                    (std::get<1>(param.param) ? "_EveryFollowingFails"
                                                              : "_OneFails");
                         });

}  // namespace
