// The description writers: a status' translated description into a caller's character
// buffer or into a string handle of the graphical host.
#pragma once

#include <cstdint>
#include <string_view>

#include "status/Status.h"
#include "status/StatusRecord.h"
#include "streams/HostMemory.h"

namespace zyerr {

// The translation flags of the description writers: static description and dynamic items.
inline constexpr uint32_t kDescriptionFlags = 3;

// Translates status in English into buffer as strncpy does (zero-padded, cut at bufferSize),
// the last byte forced to NUL; bufferSize 0 writes nothing. A translation that fails writes
// "Failed to translate error elaboration." Returns 0, or the code of a failure outside the
// translation (-52005 for a null buffer with a non-zero size).
int32_t translateStatusToBuffer(const Status& status, uint64_t bufferSize, char* buffer);

// Translates status in the graphical host's language into the host string handle at handle
// (made when it holds null), as a line feed followed by the text. Returns 0, -52000 when the
// handle cannot be resized (it is then left as it was), or -52006 outside the host.
int32_t translateStatusToWbString(const Status& status, ZyHostHandle* handle);

// Stores text into the host string handle at handle: a handle of 8 bytes with count 0 is made
// when it holds null; it is resized (NumericArrayResize, one dimension of bytes) when the
// text needs more than it holds, or needs less than half of what its count says. Returns 0,
// -52000 when a handle cannot be made or resized (the handle left as it was), or -52006
// outside the graphical host.
int32_t storeHostString(ZyHostHandle* handle, std::string_view text) noexcept;

// The text of a host string handle: "" for a null handle or block, else at most maxLength of
// its bytes (a negative count reads as 0), never more than the block holds.
std::string_view hostStringText(ZyHostHandle handle, std::size_t maxLength) noexcept;

// The graphical host's language number (0 English to 5 ChineseS); 0 outside the host.
uint32_t getHostLanguage() noexcept;

// Records the exception being handled into record at the writer's location: a
// zyerr::ExceptionBase its own code and location (code 0 gives -52003), std::bad_alloc
// -52000, std::invalid_argument -52005, std::bad_cast -52004, std::system_error -52008, any
// other -52003. Call only inside a catch block.
void recordCurrentException(StatusRecord& record, uint64_t line) noexcept;

}  // namespace zyerr
