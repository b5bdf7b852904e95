// The library's script-hosted translator, "mxlator_zyostrelapi".
#pragma once

#include "status/Status.h"
#include "translator/Xlator.h"

namespace zyxlator {

// Creates the script-hosted translator from its registration information; null on failure,
// the reason recorded in status.
Xlator* createScriptXlator(const char* name, const char* registrationInfo, zyerr::Status* status);

}  // namespace zyxlator
