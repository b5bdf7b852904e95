// The default translator, "zyxlator_default": static descriptions from the error description
// files of the shared errors directory.
#pragma once

#include <string>

#include "translator/Xlator.h"

namespace zyxlator {

// The one static instance; null when status already holds an error.
Xlator* createDefaultXlator(const char* name, const char* registrationInfo, zyerr::Status* status);

// The errors directory: the shared directory's "errors" folder.
std::string defaultErrorsDir(zyerr::Status& status);

}  // namespace zyxlator
