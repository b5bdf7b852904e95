// Stream configuration, start, clear, transfer waits, reads and writes.
//
// Each returns a status. Like every function that calls the runtime they are not noexcept:
// the entry points' boundary absorbs anything a runtime that breaks its C contract throws.
// Sample memory is the caller's: records carry its address.
#pragma once

#include <cstdint>

#include "streams/StreamRecords.h"

namespace zyostrel::streams {

// Two kinds of 16-bit writes: plain samples, and complex samples (pairs of 16-bit integers).
enum class WriteKind { I16, ComplexI16 };

// Sets "Stream Finite" then "Stream Number Of Samples" on the stream's name.
int32_t configureStreamFinite(uint32_t session, uint32_t stream, uint64_t samples);

// Sets "Channels In Stream" and "Stream Channels Enabled" from a list of AI/AO names. The
// count of distinct channel indexes is stored through channelCount (may be null) before any
// command is sent.
int32_t configureStreamEnabledChannels(uint32_t session, uint32_t stream, const char* channelList,
                                       uint32_t* channelCount);

int32_t clearStream(uint32_t session, uint32_t stream);
int32_t startStream(uint32_t session, uint32_t stream);

// Stores the reply's fields through the outputs that are not null, whatever the status.
int32_t waitForTransfer(uint32_t session, uint32_t stream, uint64_t waitValue,
                        uint32_t waitArgument, uint64_t* reportedValue, uint8_t* transferState);

// What a read or write whose reply carries the transfer-state flag reports: asks the stream's
// transfer state and maps it (4, 6, anything else) to its status.
int32_t transferStateStatus(uint32_t session, uint32_t stream);

// Reads rows x elementsPerRow elements into data, row after row; readInfo points to rows
// records of 80 bytes the runtime fills.
int32_t readStream(uint32_t session, uint32_t stream, uint32_t deviceArgument, uint64_t rows,
                   uint64_t elementsPerRow, ElementType type, void* data, void* readInfo);

// Writes elements (of 2 bytes, or 4 for complex samples) from data.
int32_t writeStream(uint32_t session, uint32_t stream, uint32_t deviceArgument, uint64_t elements,
                    WriteKind kind, const void* data);

}  // namespace zyostrel::streams
