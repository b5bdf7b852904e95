// Sessions opened on a bitfile run the design their document describes: the document is
// parsed with the product's own bitfile model and its registers and FIFOs become the
// session's.
#pragma once

#include <cstdint>

#include "Session.h"

namespace zyemu {

// Parses session.bitfileText and fills the session's register table; 0, or
// ZYEMU_STATUS_BITFILE_INVALID when the model rejects the document (an empty root element
// included: a design always names its version, signature and registers).
int32_t loadSessionBitfile(Session& session);

}  // namespace zyemu
