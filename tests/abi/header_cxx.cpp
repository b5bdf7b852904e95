// The public header used from C++: declarations keep C linkage, and the limits and special
// values it promises callers are the ones the library enforces.
#include "zyostrelapi.h"

#include "device/DeviceRecords.h"
#include "streams/HostReads.h"
#include "streams/StreamRecords.h"
#include "timing/ClockTrigger.h"
#include "timing/IoReadiness.h"

static_assert(ZYOSTREL_Status_MemoryFull == -52000, "status constants come from the table");
static_assert(sizeof(zyOstrel_ReadInfo) == 80 &&
                  ZYOSTREL_READ_INFO_SIZE == zyostrel::streams::kReadInfoSize,
              "the read-info record has the size the reads assume");
static_assert(ZYOSTREL_I2C_MAX_READ == zyostrel::device::kI2cMaxRead &&
                  ZYOSTREL_I2C_MAX_WRITE == zyostrel::device::kI2cMaxWrite &&
                  ZYOSTREL_INSTRUCTION_FIFO_MAX_ARGUMENTS ==
                      zyostrel::device::kInstructionFifoMaxArguments,
              "device limits");
static_assert(ZYOSTREL_ALL_RX_BANKS == zyostrel::timing::kAllRxBanks &&
                  ZYOSTREL_AUTOMATIC_ROWS == zyostrel::streams::kAutomaticRows &&
                  ZYOSTREL_POC_SAFE_VOLTAGE == zyostrel::timing::kSafePocVoltage,
              "special values");

extern "C" int headerUsedFromCxx(void) { return zyOstrel_DisposeSimulation() == -1 ? 0 : 1; }
