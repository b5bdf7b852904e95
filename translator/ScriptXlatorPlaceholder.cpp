// Stands in for the script-hosted translator until the script host is built: creation
// fails as for a translator that cannot be found.
#include "platform/Diagnostics.h"
#include "translator/ScriptXlator.h"

namespace zyxlator {

Xlator* createScriptXlator(const char* name, const char* /*registrationInfo*/,
                           zyerr::Status* status) {
    if (status == nullptr || status->isError()) return nullptr;
    zyostrel::platform::recordFailure(*status, zyerr::codes::ResourceNotFound,
                                      ZYERR_LOCATION(zyerr::codes::ResourceNotFound))
        .beginObject(kDebugKey)
        .addString("debug", "script translator not available in this build")
        .addString("xlatorName", name)
        .end();
    return nullptr;
}

}  // namespace zyxlator
