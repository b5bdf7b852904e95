// Sessions opened on a bitfile run the design their document describes: the document is
// parsed with the product's own bitfile model and its registers and FIFOs become the
// session's.
#pragma once

#include <cstdint>
#include <string>

#include "Session.h"

namespace zyemu {

// Parses session.bitfileText and fills the session's register table; 0, or
// ZYEMU_STATUS_BITFILE_INVALID when the model rejects the document (an empty root element
// included: a design always names its version, signature and registers).
int32_t loadSessionBitfile(Session& session);

// Reads the bitfile at path into text. Only a regular file of at most ZYEMU_MAX_BITFILE_SIZE
// bytes is read: 0, ZYEMU_STATUS_BITFILE_NOT_A_FILE for any other kind of path,
// ZYEMU_STATUS_BITFILE_TOO_LARGE past the size (also when the file grows past it while being
// read), ZYEMU_STATUS_BITFILE_UNREADABLE when it cannot be opened or read.
int32_t readBitfileFile(const std::string& path, std::string& text);

}  // namespace zyemu
