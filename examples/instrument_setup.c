/*
 * Instrument set-up: reference clock, a digital start trigger, a route, the adapter
 * module's readiness, then a look at the devices behind the instrument: the EEPROM on I2C
 * bus 0 and the identifier byte of the module in QSFP port 0.
 *
 * Usage: instrument_setup [resource]   (default: ostrel0)
 */
#include <stdio.h>
#include <string.h>

#include "describe_status.h"
#include "zyostrelapi.h"

#define EEPROM_BUS 0
#define EEPROM_ADDRESS 0x50

/* The session the steps run on, whose failures the descriptions explain. */
static uint32_t currentSession;

static int report(const char* step, int32_t status) {
    printf("%-44s status %d\n", step, (int)status);
    describeStatus(currentSession, status);
    return status < 0;
}

static int configure(uint32_t session) {
    uint32_t routeId = 0;
    int32_t ready = 0;
    int32_t ioError = 0;
    int32_t status;

    if (report("reference clock PXI_Clk10",
               zyOstrel_ConfigureForReferenceClock(session,
                                                   ZYOSTREL_Val_ReferenceClockSource_PXIClk10)))
        return 1;
    if (report("digital start trigger on PFI0, stream 0",
               zyOstrel_ConfigureDigitalStartTrigger(
                   session, 0, "PFI0", ZYOSTREL_Val_StartTriggerSensitivity_RisingEdge)))
        return 1;
    status = zyOstrel_RouteSignal(session, "PFI0", "PXI_Trig0", &routeId);
    printf("%-44s status %d, route %u\n", "route PFI0 -> PXI_Trig0", (int)status,
           (unsigned)routeId);
    describeStatus(session, status);
    if (status < 0) return 1;
    status = zyOstrel_WaitForIoReady(session, 1000, &ready, &ioError);
    printf("%-44s status %d, ready %d, I/O error %d\n", "wait for I/O ready (1 s)", (int)status,
           (int)ready, (int)ioError);
    describeStatus(session, status);
    if (status < 0) return 1;
    return report("unroute", zyOstrel_UnrouteSignal(session, routeId));
}

static int inspectDevices(uint32_t session) {
    const char text[] = "ostrel";
    uint8_t write[1 + sizeof text];
    uint8_t readBack[sizeof text];
    const uint8_t start = 0x10;
    size_t written = 0;
    size_t read = 0;
    uint32_t present = 0;
    uint8_t identifier = 0;
    int32_t status;

    write[0] = start; /* the EEPROM's address pointer, then the data */
    memcpy(write + 1, text, sizeof text);
    status =
        zyOstrel_WriteI2C(session, EEPROM_BUS, EEPROM_ADDRESS, write, sizeof write, 0, &written);
    printf("%-44s status %d, %u bytes\n", "I2C write to the EEPROM at 0x10", (int)status,
           (unsigned)written);
    describeStatus(session, status);
    if (status < 0) return 1;
    status = zyOstrel_TransferI2C(session, EEPROM_BUS, EEPROM_ADDRESS, &start, 1, readBack,
                                  sizeof readBack, 0, &written, &read);
    printf("%-44s status %d, %u bytes: \"%s\"\n", "I2C read back from 0x10", (int)status,
           (unsigned)read, status < 0 ? "" : (const char*)readBack);
    describeStatus(session, status);
    if (status < 0) return 1;

    status = zyOstrel_QSFPGetModulePresent(session, 0, &present);
    printf("%-44s status %d, present %u\n", "QSFP port 0 module present", (int)status,
           (unsigned)present);
    describeStatus(session, status);
    if (status < 0 || !present) return status < 0;
    status = zyOstrel_QSFPRead(session, 0, 0, &identifier);
    printf("%-44s status %d, 0x%02X\n", "QSFP port 0 identifier byte", (int)status,
           (unsigned)identifier);
    describeStatus(session, status);
    return status < 0;
}

int main(int argc, char** argv) {
    const char* resource = argc > 1 ? argv[1] : "ostrel0";
    uint32_t session = 0;
    int failed;
    int32_t status = zyOstrel_OpenSession(resource, NULL, 0, &session);
    printf("open session on %s: status %d\n", resource, (int)status);
    describeStatus(0, status);
    if (status < 0) return 1;
    currentSession = session;
    failed = configure(session) || inspectDevices(session);
    status = zyOstrel_CloseSession(session, 0);
    printf("close session: status %d\n", (int)status);
    describeStatus(0, status);
    return failed || status < 0;
}
