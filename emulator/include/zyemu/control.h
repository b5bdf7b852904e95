/*
 * Control interface of the emulated instrument, for tests and examples.
 *
 * The emulated FPGA runtime (libZyFpga.so.13) exports these functions beside the runtime's
 * own entry points. They inspect what the product sent (a log of the most recent runtime
 * calls with their input bytes), inject faults, shape the instruments and reset everything to
 * the state at load. All functions are thread-safe.
 */
#ifndef ZYEMU_CONTROL_H
#define ZYEMU_CONTROL_H

#include <stddef.h>
#include <stdint.h>

#if defined(ZYFPGA_BUILDING_RUNTIME)
#define ZYEMU_API __attribute__((visibility("default")))
#else
#define ZYEMU_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Ready-made resources. Sessions on ZYEMU_RESOURCE_SIMULATED carry bit 0x2000. */
#define ZYEMU_RESOURCE_DEFAULT "ostrel0"
#define ZYEMU_RESOURCE_SECOND "ostrel1"
#define ZYEMU_RESOURCE_THIRD "ostrel2"
#define ZYEMU_RESOURCE_SIMULATED "ostrelsim0"

/* Statuses of the emulated runtime itself. */
enum ZyEmuStatus {
    ZYEMU_STATUS_INVALID_ARGUMENT = -61201,   /* null pointer or malformed argument */
    ZYEMU_STATUS_RESOURCE_NOT_FOUND = -61202, /* no resource of that name */
    ZYEMU_STATUS_INVALID_SESSION = -61203,    /* session handle not open */
    ZYEMU_STATUS_RECORD_TOO_SHORT = -61204,   /* command record shorter than its layout */
    ZYEMU_STATUS_UNKNOWN_COMMAND = -61205,    /* function, interface or method not known */
    ZYEMU_STATUS_BITFILE_UNREADABLE = -61206, /* bitfile path cannot be read */
    ZYEMU_STATUS_BITFILE_INVALID = -61207,    /* bitfile text is not a bitfile document */
    ZYEMU_STATUS_NOT_FOUND = -61208,          /* register or FIFO name not in the bitfile */
    ZYEMU_STATUS_REPLY_TOO_SMALL = -61209,    /* reply buffer smaller than the reply */
    ZYEMU_STATUS_INJECTED_FAULT = -61210,     /* default status of an injected fault */
    ZYEMU_STATUS_BAD_FUNCTION_GROUP = -61211, /* function group other than 2 */
    ZYEMU_STATUS_INVALID_VALUE = -61212,      /* a value the command does not accept */
    ZYEMU_STATUS_OUT_OF_MEMORY = -61213,      /* memory ran out while the call was carried out */
    ZYEMU_STATUS_INTERNAL_FAULT = -61214,     /* the emulator failed in an unexpected way */
    ZYEMU_STATUS_BITFILE_NOT_A_FILE = -61215, /* bitfile path names no regular file */
    ZYEMU_STATUS_BITFILE_TOO_LARGE = -61216,  /* bitfile larger than ZYEMU_MAX_BITFILE_SIZE */
    ZYEMU_STATUS_SESSION_LIMIT = -61217       /* ZYEMU_MAX_SESSIONS_PER_RESOURCE already open */
};

/* Failures of the emulator itself. No C++ exception leaves any function of this header or
 * of the runtime: a call that runs out of memory returns ZYEMU_STATUS_OUT_OF_MEMORY, any
 * other internal failure ZYEMU_STATUS_INTERNAL_FAULT. A runtime call on an open session also
 * leaves an elaboration for that status (command 800, zyemu_last_elaboration) when memory
 * allows it. A failed call leaves the emulator consistent: an open that fails registers no
 * session, a call either is in the log with the status it returned or is not logged at all,
 * and a fault is added whole or not at all. Functions that return no status do nothing when
 * they fail (zyemu_reset then leaves every state as it was); those returning a count return
 * 0, and so do the waveforms. */

/* A bitfile opened by path must be a regular file of at most this many bytes. Other kinds
 * of path (a directory, a device, a named pipe, a socket) are refused without reading, even a
 * pipe that no writer has opened; a file that grows past the size while it is read is refused
 * once the size is reached. */
#define ZYEMU_MAX_BITFILE_SIZE (128u * 1024u * 1024u)

/* Runtime entry points, as recorded in the call log and matched by faults. */
enum ZyEmuEntry {
    ZYEMU_ENTRY_OPEN = 1,
    ZYEMU_ENTRY_CLOSE = 2,
    ZYEMU_ENTRY_CLIENT_CALL = 3,
    ZYEMU_ENTRY_FIND_REGISTER = 4,
    ZYEMU_ENTRY_FIND_FIFO = 5,
    ZYEMU_ENTRY_READ_BOOL = 6,
    ZYEMU_ENTRY_READ_U8 = 7,
    ZYEMU_ENTRY_WRITE_U8 = 8
};

/* One runtime call. Its pointers stay valid until the call leaves the log: dropped for a newer
 * call or a lower limit (zyemu_set_log_limit), zyemu_clear_log or zyemu_reset. */
typedef struct ZyEmuCall {
    uint32_t entry;           /* ZyEmuEntry */
    uint32_t session;         /* session handle (0 for open) */
    uint32_t functionGroup;   /* client call */
    uint32_t functionNumber;  /* client call */
    uint32_t interfaceNumber; /* client call 256 with a full header, else 0 */
    uint32_t method;          /* client call 256 with a full header, else 0 */
    const uint8_t* input;     /* copy of the input bytes (client call) */
    uint64_t inputSize;
    int outputGiven; /* output pointer was not null */
    uint64_t outputSize;
    const char* text;     /* open: image path; find: register or FIFO name; may be null */
    const char* resource; /* open: resource name; may be null */
    int signatureGiven;   /* open: signature pointer was not null */
    uint32_t word;        /* open/close: attribute; find: type selector; read/write: offset */
    uint32_t value;       /* write: value written */
    int32_t status;       /* what the runtime returned */
} ZyEmuCall;

/* Number of calls the log holds (at most its limit; see zyemu_set_log_limit). */
ZYEMU_API size_t zyemu_call_count(void);
/* Copies call index (0 = oldest the log holds) into *call; returns 0, -1 when out of range, or
 * a negative ZyEmuStatus when the call fails. */
ZYEMU_API int zyemu_get_call(size_t index, ZyEmuCall* call);
/* Empties the log and its count of dropped calls; the limits stay. */
ZYEMU_API void zyemu_clear_log(void);

/* Which fields of a fault restrict the calls it applies to. */
enum ZyEmuFaultMatch {
    ZYEMU_MATCH_ENTRY = 1u << 0,     /* entry */
    ZYEMU_MATCH_FUNCTION = 1u << 1,  /* functionNumber (client calls) */
    ZYEMU_MATCH_INTERFACE = 1u << 2, /* interfaceNumber (interface calls) */
    ZYEMU_MATCH_METHOD = 1u << 3,    /* method (interface calls) */
    ZYEMU_MATCH_SESSION = 1u << 4,   /* session */
    ZYEMU_MATCH_ATTRIBUTE = 1u << 5, /* attribute identifier at offset 20 of interface 258 */
    ZYEMU_MATCH_CALL_INDEX = 1u << 6 /* callIndex: calls logged before it since the log was
                                        last cleared, dropped ones included (0 = first) */
};

enum ZyEmuFaultAction {
    ZYEMU_FAULT_REPLACE = 0,      /* the command is not carried out */
    ZYEMU_FAULT_AFTER_RUNNING = 1 /* the command runs; its status and reply are overridden */
};

typedef struct ZyEmuFault {
    uint32_t match; /* ZyEmuFaultMatch bits; 0 matches every call */
    uint32_t entry;
    uint32_t functionNumber;
    uint32_t interfaceNumber;
    uint32_t method;
    uint32_t session;
    uint32_t attributeId;
    uint64_t callIndex;
    uint32_t skip;      /* matching calls let through before the fault fires */
    uint32_t count;     /* times the fault fires; 0 = every matching call */
    uint32_t action;    /* ZyEmuFaultAction */
    int32_t status;     /* status returned */
    const void* reply;  /* bytes written at the start of the output, or null */
    uint64_t replySize; /* at most the output size is written */
} ZyEmuFault;

/* Adds a fault; returns its identifier (> 0) or a negative status. */
ZYEMU_API int32_t zyemu_add_fault(const ZyEmuFault* fault);
/* Number of times a fault fired. */
ZYEMU_API uint32_t zyemu_fault_hits(int32_t faultId);
ZYEMU_API void zyemu_clear_faults(void);

/* Back to the state at load: no sessions, empty log, no faults, instruments as made. */
ZYEMU_API void zyemu_reset(void);

/* Number of sessions currently open, on all resources. */
ZYEMU_API size_t zyemu_open_session_count(void);

/* Adds a register to what sessions on the resource answer to register lookups, beside the
 * registers of their bitfile. typeId follows the bitfile type codes (1 Boolean, 3 U8, ...). */
ZYEMU_API int32_t zyemu_define_register(const char* resource, const char* name, uint32_t offset,
                                        uint32_t typeId);
/* Adds a DMA FIFO answered by FIFO lookups of sessions on the resource. */
ZYEMU_API int32_t zyemu_define_fifo(const char* resource, const char* name, uint32_t number,
                                    uint32_t implementation, uint32_t numberOfElements);
/* Adds a resource named resource: a further instrument like ZYEMU_RESOURCE_DEFAULT, until
 * zyemu_reset. At most ZYEMU_MAX_RESOURCES exist at once, the ready-made ones included; a null,
 * empty or taken name, or one past the limit, gives ZYEMU_STATUS_INVALID_ARGUMENT. */
#define ZYEMU_MAX_RESOURCES 64u
ZYEMU_API int32_t zyemu_add_resource(const char* resource);

/* Register values of the resource's FPGA, as the image sees them. */
ZYEMU_API int32_t zyemu_set_register_u8(const char* resource, uint32_t offset, uint8_t value);
ZYEMU_API int32_t zyemu_get_register_u8(const char* resource, uint32_t offset, uint8_t* value);

/* The elaboration the session's last failing command left ("" when none). Copies at most
 * size bytes, NUL included; returns the full length, or a negative status. */
ZYEMU_API int32_t zyemu_last_elaboration(uint32_t session, char* text, size_t size);

/* ---- Attributes and streams ----------------------------------------------------------- */

/* Statuses of the attribute store and the stream engine. */
#define ZYEMU_STATUS_UNKNOWN_ATTRIBUTE (-61230)       /* identifier not in the attribute table */
#define ZYEMU_STATUS_ATTRIBUTE_TYPE_MISMATCH (-61231) /* wire type not the attribute's type */
#define ZYEMU_STATUS_ATTRIBUTE_READ_ONLY (-61232)     /* set of a measured or reported value */
#define ZYEMU_STATUS_STREAM_NOT_RUNNING (-61233)      /* read of a stream not started */
#define ZYEMU_STATUS_STREAM_EXHAUSTED (-61234)        /* read past a finite acquisition's end */
#define ZYEMU_STATUS_STREAM_DIRECTION (-61235)        /* read of an output or write of an input */
#define ZYEMU_STATUS_INVALID_STREAM (-61236)          /* stream number above 63 */

/* Attribute values as the instrument holds them, bypassing the read-only and enumeration
 * checks (to play a temperature, a power reading, a channel count). qualifier is the channel,
 * terminal or stream name ("" or null for none). Return 0 or a negative status. */
ZYEMU_API int32_t zyemu_set_attribute_i64(const char* resource, uint32_t attributeId,
                                          const char* qualifier, int64_t value);
ZYEMU_API int32_t zyemu_set_attribute_u64(const char* resource, uint32_t attributeId,
                                          const char* qualifier, uint64_t value);
ZYEMU_API int32_t zyemu_set_attribute_f64(const char* resource, uint32_t attributeId,
                                          const char* qualifier, double value);
ZYEMU_API int32_t zyemu_set_attribute_bool(const char* resource, uint32_t attributeId,
                                           const char* qualifier, int value);
ZYEMU_API int32_t zyemu_get_attribute_i64(const char* resource, uint32_t attributeId,
                                          const char* qualifier, int64_t* value);
ZYEMU_API int32_t zyemu_get_attribute_u64(const char* resource, uint32_t attributeId,
                                          const char* qualifier, uint64_t* value);
/* String values (a null text stores ""). The getter copies at most size bytes, NUL included,
 * and returns the full length, or a negative status. */
ZYEMU_API int32_t zyemu_set_attribute_text(const char* resource, uint32_t attributeId,
                                           const char* qualifier, const char* text);
ZYEMU_API int32_t zyemu_get_attribute_text(const char* resource, uint32_t attributeId,
                                           const char* qualifier, char* text, size_t size);

/* Transfer states the emulated streams report through the wait for transfer. */
enum ZyEmuTransferState {
    ZYEMU_TRANSFER_IDLE = 0,    /* not started, or cleared */
    ZYEMU_TRANSFER_RUNNING = 1, /* started; data flowing */
    ZYEMU_TRANSFER_FINISHED = 2 /* a finite acquisition whose samples were all read */
};

/* The emulated acquisition. Streams 0-31 are inputs, 32-63 outputs ("Is Input Stream").
 * Starting an input stream takes its enabled channels ("Stream Channels Enabled", bit n =
 * channel n, ascending) and, when "Stream Finite" is set, its "Stream Number Of Samples"
 * per channel. Sample n of channel c is zyemu_waveform_i16(c, n) (element type 7) or
 * zyemu_waveform_f64(c, n) (element type 1). A read of one row returns the channels
 * interleaved (c0 s0, c1 s0, ..., c0 s1, ...); a read of several rows gives row r the
 * samples of enabled channel r modulo the channel count, each row starting at the same
 * sample; either read moves every channel on by the samples it took. Each row's 80-byte
 * read record, when its address is not null, holds u64 first sample index, u64 elements,
 * u32 channel, u32 stream.
 * The waveform is a triangle between -A and +A with A = 1024 * (c % 8 + 1): with
 * p = (n + 16 * c) % 256, the 16-bit sample is 16 * (c % 8 + 1) * (p - 64) for p < 128 and
 * 16 * (c % 8 + 1) * (192 - p) otherwise; the floating-point sample is that value / 8192. */
ZYEMU_API int16_t zyemu_waveform_i16(uint32_t channel, uint64_t index);
ZYEMU_API double zyemu_waveform_f64(uint32_t channel, uint64_t index);

/* Makes the next count reads or writes of the stream on the resource answer with reply flag
 * 2 (status 0, nothing transferred) and sets the stream's transfer state to transferState,
 * which the wait for transfer reports until the stream is started or cleared. count 0 only
 * sets the state. */
ZYEMU_API int32_t zyemu_stream_fail_transfer(const char* resource, uint32_t stream,
                                             uint8_t transferState, uint32_t count);

/* Bytes written to an output stream since it was last cleared: copies at most size of them
 * (the first ones) to data (may be null) and returns their total number, or a negative
 * status. */
ZYEMU_API int64_t zyemu_stream_written(const char* resource, uint32_t stream, void* data,
                                       size_t size);

/* ---- Device services, I2C and QSFP ---------------------------------------------------- */

#define ZYEMU_STATUS_I2C_NO_ACKNOWLEDGE (-61240) /* no device answers at that bus address */
#define ZYEMU_STATUS_NO_QSFP_MODULE (-61241)     /* the QSFP port is empty or does not exist */
#define ZYEMU_STATUS_READ_ONLY_LOCATION (-61242) /* write to a read-only register */
#define ZYEMU_STATUS_NO_CALIBRATION (-61243)     /* nothing stored under that selector */

/* Every instrument has I2C buses 0 and 1, each with a 256-byte EEPROM at address 0x50 (the
 * first byte written sets its address pointer, the rest is stored from there; reads continue
 * from the pointer, wrapping at 256) and a read-only temperature sensor at 0x48 (takes only a
 * register pointer byte, gives at most two bytes: 0x1A 0x80 for register 0). Two QSFP ports:
 * port 0 holds a module (identifier byte 0x11; bytes 86-127 writable), port 1 is empty. The
 * instruction FIFO answers (instruction << 32) | (sum of the arguments & 0xFFFFFFFF). BAR
 * offset 0 reads 0x05731A01 and is read-only. */
typedef struct ZyEmuDeviceState {
    uint32_t commits;
    uint32_t verificationUpdates;
    uint32_t qsfpResets;
    int qsfpLowPower;
    int cableSenseRunning;
    uint32_t instructionsReceived;
    uint32_t lastInstruction;
    uint32_t lastArgumentCount;
    uint64_t lastArguments[16];
    double temperatureLimit;
    double powerLimit;
} ZyEmuDeviceState;

ZYEMU_API int32_t zyemu_get_device_state(const char* resource, ZyEmuDeviceState* state);
/* Puts a module into a QSFP port (fresh memory map) or takes it out. */
ZYEMU_API int32_t zyemu_set_qsfp_module_present(const char* resource, uint32_t port, int present);

/* ---- Timing: routes, pulses, module readiness, power-over-coax ------------------------- */

#define ZYEMU_STATUS_UNKNOWN_ROUTE (-61250) /* unroute of an identifier that is not routed */

typedef struct ZyEmuTimingState {
    uint32_t syncPulses; /* synchronisation pulses received */
    uint32_t routeCount; /* routes in place */
} ZyEmuTimingState;

ZYEMU_API int32_t zyemu_get_timing_state(const char* resource, ZyEmuTimingState* state);
/* The terminals of a route in place (texts cut to their buffers, always terminated). */
ZYEMU_API int32_t zyemu_get_route(const char* resource, uint32_t routeId, char* source,
                                  size_t sourceSize, char* destination, size_t destinationSize);
/* From now on the adapter module reports ready ("IO Ready" true) readyAfterMs later, or, when
 * ioError is non-zero, that error ("IO Error") instead; the image's module registers report
 * DRAM ready dramReadyAfterMs and data valid dataValidAfterMs from now. Until then they read
 * false. Without a schedule the module is ready. */
ZYEMU_API int32_t zyemu_schedule_io_module(const char* resource, uint32_t readyAfterMs,
                                           int32_t ioError, uint32_t dramReadyAfterMs,
                                           uint32_t dataValidAfterMs);
/* Power-over-coax of a channel ("SI0", "SO1", ...): powered (12 V), or removed, its voltage
 * falling below 0.1 V fallAfterMs from now. */
ZYEMU_API int32_t zyemu_set_poc_power(const char* resource, const char* channel, int powered,
                                      uint32_t fallAfterMs);

/* ---- DSP reset handshake ------------------------------------------------------------ */

/* An image that defines the U8 registers "ostrel.dsp.reset.request state <k>" and
 * "ostrel.dsp.reset.state <k>" (k in decimal with its sign, as the library formats it)
 * answers the DSP reset handshake of DSP instance k, across instruments:
 *   request 0  the state becomes 0 (idle) and the instance is no longer armed;
 *   request 1  the state becomes 1 (armed) and the instance takes its reset from the terminal
 *              its "DSP Reset Source" names on channel "<k>" at that moment;
 *   request 2  the instance fires: its state becomes 3 and a pulse goes out on the terminal
 *              its "DSP Reset Sending Term." names on channel "<k>" (every instrument starts
 *              with "PXI_Trig0"); every armed instance, of any instrument, whose source is
 *              that terminal (compared exactly; "" never matches) reaches state 3 and is
 *              armed no longer.
 * Any other request leaves the state as it is. Instances of the same instrument share its
 * FPGA, so two sessions of one resource cannot take both sides of a reset. The emulator keeps
 * state only for the instances whose request register was written. */

/* Request and state registers of DSP instance dspIndex as the session's image sees them;
 * ZYEMU_STATUS_NOT_FOUND when its image lacks either register. */
ZYEMU_API int32_t zyemu_get_dsp_reset(uint32_t session, int32_t dspIndex, uint8_t* request,
                                      uint8_t* state);
/* Holds the state register of DSP instance dspIndex of the session's FPGA at state (0 to 255)
 * whatever is requested or fired, until released with state -1 (it then keeps that value
 * until the next request). ZYEMU_STATUS_NOT_FOUND when the session's image lacks the state
 * register, ZYEMU_STATUS_INVALID_ARGUMENT for a state outside -1 to 255. */
ZYEMU_API int32_t zyemu_hold_dsp_reset_state(uint32_t session, int32_t dspIndex, int32_t state);

/* ---- Limits: sessions and the call log ------------------------------------------------ */

/* At most this many sessions are open at once on one resource; one more open returns
 * ZYEMU_STATUS_SESSION_LIMIT and registers nothing, until one of them is closed. */
#define ZYEMU_MAX_SESSIONS_PER_RESOURCE 1024u

/* Session handles. An ordinary handle is never 0 and never carries bit 0x2000; a simulated
 * session's handle is an ordinary value | 0x2000. Handles are counted up from 1, wrapping after
 * 0xFFFFFFFF, and a value whose session is still open is passed over: an open never returns
 * the handle of an open session. zyemu_set_next_handle makes the next open take the first such
 * value at or after handle (to reach the wrap in a test); zyemu_reset starts again at 1. */
ZYEMU_API void zyemu_set_next_handle(uint32_t handle);

/* The call log keeps the most recent calls only, within two limits: a number of calls and a
 * number of bytes. The bytes counted for a call are a fixed record size plus its copies of the
 * input bytes and texts (the allocator's own overhead is not counted), so calls with large
 * inputs are dropped sooner; a call that alone exceeds the byte limit is counted as dropped
 * once it returns. Older calls leave the log as newer ones arrive and are counted as dropped.
 * The defaults hold the calls of a test, but not those of a wait that polls without sleeping
 * for more than a few milliseconds; zyemu_reset restores them. */
#define ZYEMU_LOG_DEFAULT_MAX_CALLS 4096u
#define ZYEMU_LOG_DEFAULT_MAX_BYTES (64u * 1024u * 1024u)

/* Sets the log's limits (0 keeps no call, only counts them; SIZE_MAX for both keeps every call)
 * and drops at once the oldest calls beyond them. Safe while calls run on other threads;
 * pointers of dropped calls become invalid. */
ZYEMU_API void zyemu_set_log_limit(size_t maxCalls, size_t maxBytes);

typedef struct ZyEmuLogState {
    uint64_t calls;    /* calls held, as zyemu_call_count */
    uint64_t dropped;  /* calls dropped since the log was last cleared */
    uint64_t bytes;    /* bytes counted for the calls held */
    uint64_t maxCalls; /* the limits in force */
    uint64_t maxBytes;
} ZyEmuLogState;

/* The log's contents and limits, taken together. Returns 0 or a negative status. */
ZYEMU_API int32_t zyemu_get_log_state(ZyEmuLogState* state);

/* ---- Flash slots, bundle version and adapter FPGA flash -------------------------------- */

/* Every instrument ships with the same factory bitfile in its golden slot (autoload 0) and
 * its default slot (autoload 1); the user slot is empty, the stored bundle version is 0 and
 * both adapter FPGAs report revision 1. Promoting a session stores the bitfile document it
 * was opened with as the slot's metadata; metadata of an empty slot is answered with -304407.
 * An adapter FPGA reports the revision its image carries in its first four bytes
 * (little-endian; 0 for a shorter image). */
#define ZYEMU_FLASH_SLOT_COUNT 3u
#define ZYEMU_ADAPTER_FPGA_COUNT 2u

typedef struct ZyEmuFlashState {
    uint32_t bundleVersion;
    int slotHoldsImage[ZYEMU_FLASH_SLOT_COUNT];
    uint8_t slotAutoload[ZYEMU_FLASH_SLOT_COUNT];
    uint64_t slotMetadataSize[ZYEMU_FLASH_SLOT_COUNT];
    uint32_t adapterRevision[ZYEMU_ADAPTER_FPGA_COUNT];
    uint64_t adapterImageSize[ZYEMU_ADAPTER_FPGA_COUNT];
    uint32_t slotWrites;    /* promotions carried out */
    uint32_t adapterWrites; /* adapter flash writes carried out */
    /* Golden slot writes made while the default slot held no image or had autoload clear,
     * so that a power failure during the write would have left nothing to boot. */
    uint32_t unprotectedGoldenWrites;
} ZyEmuFlashState;

ZYEMU_API int32_t zyemu_get_flash_state(const char* resource, ZyEmuFlashState* state);
/* Copies at most size bytes of a slot's metadata (not terminated) to metadata (may be null)
 * and returns its full length, or a negative status. */
ZYEMU_API int64_t zyemu_get_flash_metadata(const char* resource, uint32_t slot, char* metadata,
                                           size_t size);
/* Puts a bitfile document into a slot with its autoload flag; a null document empties it. */
ZYEMU_API int32_t zyemu_set_flash_slot(const char* resource, uint32_t slot, const char* metadata,
                                       uint8_t autoload);
/* From now on each slot write and adapter flash write of the resource takes this long; the
 * instrument answers nothing else meanwhile. The time starts from the environment variable
 * ZYEMU_FLASH_WRITE_MS (milliseconds; 0 when unset) when an instrument is made. */
ZYEMU_API int32_t zyemu_set_flash_write_time(const char* resource, uint32_t milliseconds);
/* Keeps each instrument's flash in "<path>/<resource>.flash", so that it survives between
 * processes: read on first use after load or zyemu_reset, written after each change. "" or
 * null keeps flash in memory only. At load the directory comes from the environment variable
 * ZYEMU_FLASH_STATE_DIR; zyemu_reset leaves it as set. */
ZYEMU_API int32_t zyemu_set_flash_state_directory(const char* path);

#ifdef __cplusplus
}
#endif

#endif /* ZYEMU_CONTROL_H */
