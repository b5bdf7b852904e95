// Search of an errors directory for the description of a status code.
//
// An errors directory holds one subdirectory per language ("English", "French", ...) and
// may hold description files itself; a description file lists codes with their texts. Both
// the default translator and the script-hosted one search it this way.
#pragma once

#include <cstdint>
#include <string>

#include "status/Status.h"

namespace zyxlator {

// The directory name of a language number ("English", "French", "German", "Japanese",
// "Korean", "ChineseS"); null for an unknown number.
const char* languageDirectoryName(uint32_t language) noexcept;

// The description of code in errorsDir/<language name>, else in errorsDir itself when that
// found nothing without error. "" when nothing was found or on failure (recorded in status:
// -52005 for an unknown language, -52006 for a directory that cannot be read or a bad file).
std::string findErrorDescriptionFromErrorsDir(const char* errorsDir, int32_t code,
                                              uint32_t language, zyerr::Status& status);

// The description of code in the regular files of directory whose extension is exactly
// "txt" or "err", the first non-empty one in directory order; "" when none has it or on
// failure (recorded in status).
std::string findErrorDescriptionFromDir(const char* directory, int32_t code, zyerr::Status& status);

}  // namespace zyxlator
