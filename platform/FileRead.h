// Reading a whole file into memory.
#pragma once

#include <vector>

#include "status/Status.h"

namespace zyostrel::platform {

// The file's bytes followed by a NUL in buffer. A file that cannot be opened records
// -52006, a short read -52008, each with the system's error; buffer is then empty.
bool readWholeFile(const char* path, std::vector<char>& buffer, zyerr::Status& status);

}  // namespace zyostrel::platform
