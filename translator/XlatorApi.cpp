// The translator creation offered to the translator manager library.
#include "zyostrelapi.h"

#include "status/EntryPoint.h"
#include "translator/Registration.h"

extern "C" {

ZYOSTREL_API zyxlator_Xlator* zyxlator_exported_create(const char* name,
                                                       const char* registrationInfo,
                                                       zyxlator_Status* status) {
    auto* statusObject = reinterpret_cast<zyerr::Status*>(status);
    if (statusObject == nullptr) return nullptr;
    zyxlator::Xlator* created = nullptr;
    zyerr::callBoundary(*statusObject, [&] {
        created = zyxlator::createExported(name, registrationInfo, statusObject);
        return 0;
    });
    return reinterpret_cast<zyxlator_Xlator*>(created);
}

}  // extern "C"
