// Every allocation a call makes is made to fail in turn, one run per allocation: the call must
// come back with 0 or a negative status, never abort, and leave nothing open or leaked
// (LeakSanitizer checks the last part in the sanitizer build).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "FailingAllocator.h"
#include "channel/FpgaRuntime.h"
#include "zyemu/control.h"
#include "zyostrelapi.h"

namespace {

// The most allocations one representative call is expected to make; a call that makes more is
// reported rather than swept for ever.
constexpr std::size_t kMaxAllocationsPerCall = 4000;

constexpr uint32_t kChannelsInStream = 0x10000000;
constexpr uint32_t kAiRange = 0x20000010;

// One run: the session the case works on (0 when it opens its own) and what it opened.
// Whatever the call needs that allocates (paths, documents, buffers) is made by the case's
// preparation, so that every allocation the sweep fails is one of the call's own.
struct Run {
    uint32_t session = 0;
    uint32_t opened = 0;
    std::vector<std::string> paths;
    std::vector<uint8_t> output;
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

int32_t runtimeOpen(const char* resource, const char* imagePath, uint32_t attribute,
                    uint32_t* session) {
    return ZyFpgaDll_Open(imagePath, nullptr, resource, attribute, session);
}

// Opens each of the run's paths, which must all be refused; a path that opens is a failure.
int32_t openEach(Run& run, int32_t (*open)(const char*, const char*, uint32_t, uint32_t*)) {
    for (const std::string& path : run.paths) {
        const int32_t status =
            open(ZYEMU_RESOURCE_DEFAULT, path.c_str(), ZYFPGA_OPEN_ATTRIBUTE_LIBRARY, &run.opened);
        if (status >= 0) {
            ADD_FAILURE() << path << " opened with status " << status;
            return status;
        }
    }
    return -1;
}

std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Paths that name no regular file: the open must refuse them without reading.
std::string directoryPath() { return ::testing::TempDir(); }

// A named pipe with no writer: opening it for reading would block until one came.
std::string namedPipeName() {
    return ::testing::TempDir() + "sweep.fifo." + std::to_string(::getpid());
}

std::string namedPipePath() {
    const std::string path = namedPipeName();
    if (::mkfifo(path.c_str(), 0600) != 0 && errno != EEXIST) ADD_FAILURE() << "no fifo " << path;
    return path;
}

std::function<void(Run&)> withPaths(std::vector<std::string> (*paths)()) {
    return [paths](Run& run) { run.paths = paths(); };
}

std::vector<std::string> nonRegularPaths() {
    return {directoryPath(), "/dev/zero", namedPipePath()};
}
std::vector<std::string> bitfileDocument() { return {readFile(ZY_SAMPLE_BITFILE)}; }

// Records sent by calls of every family, captured once without failures and replayed straight
// into the emulated runtime while its allocations fail.
struct LoggedRecord {
    uint32_t functionNumber;
    std::vector<uint8_t> input;
    uint64_t outputSize;
};

std::vector<LoggedRecord> recordsOfRepresentativeCalls(uint32_t session) {
    int32_t value = 0;
    uint32_t routeId = 0;
    uint8_t data[8] = {};
    size_t written = 0, read = 0;
    zyemu_clear_log();
    zyOstrel_SetAttributeInt32(session, "conn2/ai0-ai7", kChannelsInStream, 1);
    zyOstrel_GetAttributeInt32(session, "AI0", kChannelsInStream, &value);
    zyOstrel_ConfigureStreamFinite(session, 0, 16);
    zyOstrel_RouteSignal(session, "PFI0", "PXI_Trig0", &routeId);
    zyOstrel_TransferI2C(session, 0, 0x50, data, 1, data, 4, 0, &written, &read);
    zyOstrel_Commit(session);
    std::vector<LoggedRecord> records;
    for (std::size_t i = 0; i < zyemu_call_count(); ++i) {
        ZyEmuCall call{};
        zyemu_get_call(i, &call);
        if (call.entry != ZYEMU_ENTRY_CLIENT_CALL) continue;
        records.push_back({call.functionNumber,
                           std::vector<uint8_t>(call.input, call.input + call.inputSize),
                           call.outputSize});
    }
    return records;
}

int32_t replay(uint32_t session, const std::vector<LoggedRecord>& records,
               std::vector<uint8_t>& output) {
    int32_t worst = 0;
    for (const LoggedRecord& record : records) {
        const int32_t status =
            ZyFpgaDll_ClientFunctionCall(session, ZYFPGA_FUNCTION_GROUP, record.functionNumber,
                                         record.input.data(), record.input.size(), output.data(),
                                         std::min<uint64_t>(record.outputSize, output.size()));
        if (status > 0) return status;
        if (status < worst) worst = status;
    }
    return worst;
}

std::vector<LoggedRecord> replayed;

// A status-returning control function: success (0 or an identifier) or a negative status.
int32_t controlStatus(int32_t status) { return status > 0 ? 0 : status; }

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
     [](Run&) {
         ZyEmuFault fault{};
         fault.match = ZYEMU_MATCH_ENTRY;
         fault.entry = ZYEMU_ENTRY_CLIENT_CALL;
         fault.count = 1;
         fault.status = -50150;
         ASSERT_GT(zyemu_add_fault(&fault), 0);
     },
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
    {"SessionOpenOnNonRegularPathsIsRefused", false, withPaths(nonRegularPaths),
     [](Run& run) { return openEach(run, zyOstrel_OpenSession); }},

    // The emulated runtime's entry points, called directly.
    {"RuntimeOpenOnBitfileDocument", false, withPaths(bitfileDocument),
     [](Run& run) { return openRuntimeSession(run, run.paths[0].c_str()); }},
    {"RuntimeOpenOnNonRegularPathsIsRefused", false, withPaths(nonRegularPaths),
     [](Run& run) { return openEach(run, runtimeOpen); }},
    {"RuntimeClientCallsOfEveryFamily", true,
     [](Run& run) {
         replayed = recordsOfRepresentativeCalls(run.session);
         run.output.resize(1 << 16);
     },
     [](Run& run) { return replay(run.session, replayed, run.output); }},
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

    // The emulator's control functions.
    {"ControlFaultsAndLog", false, noPreparation,
     [](Run&) {
         const uint8_t reply[4] = {1, 2, 3, 4};
         ZyEmuFault fault{};
         fault.reply = reply;
         fault.replySize = sizeof reply;
         const int32_t id = zyemu_add_fault(&fault);
         ZyEmuCall call{};
         zyemu_get_call(0, &call);
         zyemu_clear_faults();
         zyemu_clear_log();
         return controlStatus(id);
     }},
    {"ControlRegistersAndAttributes", false, noPreparation,
     [](Run&) {
         int32_t status = zyemu_define_register(ZYEMU_RESOURCE_DEFAULT, "sweep register", 0x40, 0);
         if (status >= 0) status = zyemu_define_fifo(ZYEMU_RESOURCE_DEFAULT, "sweep fifo", 3, 0, 0);
         if (status >= 0) status = zyemu_set_register_u8(ZYEMU_RESOURCE_DEFAULT, 0x40, 9);
         if (status >= 0)
             status = zyemu_set_attribute_f64(ZYEMU_RESOURCE_DEFAULT, kAiRange, "AI3", 2.0);
         return controlStatus(status);
     }},
    {"ControlInstrumentShaping", false, noPreparation,
     [](Run&) {
         int32_t status = zyemu_set_qsfp_module_present(ZYEMU_RESOURCE_DEFAULT, 1, 1);
         if (status >= 0) status = zyemu_set_poc_power(ZYEMU_RESOURCE_DEFAULT, "SI2", 1, 5);
         if (status >= 0) status = zyemu_schedule_io_module(ZYEMU_RESOURCE_DEFAULT, 5, 0, 5, 5);
         if (status >= 0) status = zyemu_stream_fail_transfer(ZYEMU_RESOURCE_DEFAULT, 0, 4, 1);
         return controlStatus(status);
     }},
    {"ControlReset", false, noPreparation,
     [](Run&) {
         zyemu_reset();
         return 0;
     }},
};

void PrintTo(const SweepCase& sweepCase, std::ostream* out) { *out << sweepCase.name; }

class AllocationSweepTest : public ::testing::TestWithParam<std::tuple<SweepCase, bool>> {
protected:
    void SetUp() override { zyemu_reset(); }
    void TearDown() override {
        zyemu_reset();
        ::unlink(namedPipeName().c_str());
    }
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
