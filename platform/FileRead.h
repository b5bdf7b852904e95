// Reading a whole file into memory.
#pragma once

#include <cstddef>
#include <vector>

#include "status/Status.h"

namespace zyostrel::platform {

// Files read whole are descriptions and settings; anything larger than this is refused.
constexpr std::size_t kWholeFileMaxSize = 64u * 1024u * 1024u;

// The file's bytes followed by a NUL in buffer. Only a regular file is read, and never more
// than maxSize bytes of it. A file that cannot be opened, or a path that names a directory,
// a device, a named pipe or a socket, records -52006 with the system's error (EISDIR for a
// directory, ENODEV for the other kinds); a read that fails records -52008 with it; a file
// larger than maxSize, or growing past it while read, records -52000. buffer is then empty.
// A named pipe is refused at once even when no writer has it open.
bool readWholeFile(const char* path, std::vector<char>& buffer, zyerr::Status& status,
                   std::size_t maxSize = kWholeFileMaxSize);

}  // namespace zyostrel::platform
