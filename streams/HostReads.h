// Stream reads into the graphical host's array handles, sized before each read.
#pragma once

#include <cstdint>

#include "streams/HostMemory.h"
#include "streams/StreamRecords.h"

namespace zyostrel::streams {

// Rows value that asks the two-dimensional read to find the row count itself.
inline constexpr uint64_t kAutomaticRows = UINT64_MAX;

// Reads count elements into a 1-D array handle (the handle sized first, its count set) and
// fills readInfo (80 bytes, required). A simulated session returns 0 at once.
int32_t hostReadStream1D(uint32_t session, uint32_t stream, uint32_t deviceArgument, uint64_t count,
                         ElementType type, ZyHostHandle data, void* readInfo);

// Reads rows x elementsPerRow elements into a 2-D array handle and rows records into the
// ReadInfo array handle, both sized first. rows kAutomaticRows takes the stream's channel
// count, doubled when the FPGA DDC delivers I/Q pairs.
int32_t hostReadStream2D(uint32_t session, uint32_t stream, uint32_t deviceArgument, uint64_t rows,
                         uint64_t elementsPerRow, ElementType type, ZyHostHandle data,
                         ZyHostHandle readInfo);

}  // namespace zyostrel::streams
