#include "translator/Registration.h"

#include <cstring>

#include "platform/Diagnostics.h"
#include "translator/DefaultXlator.h"
#include "translator/ScriptXlator.h"

namespace zyxlator {
namespace {

// The settings of the script-hosted translator: which script module implements it and where
// it finds the error description files ($ names a path variable).
#define ZYXLATOR_COMPONENT "zyostrelapi"
constexpr const char kScriptRegistrationInfo[] =
    "{\"zyxlatorlua_xlator\":\"mxlator\",\"zyxlatorlua_settings\":{\"driverName\":"
    "\"" ZYXLATOR_COMPONENT
    "\",\"zySharedErrorsDir\":\"$_zyShared32Dir/errors\",\"MIErrorsDir\":\"$_zyShared32Dir/"
    "mierrors\"}}";
#undef ZYXLATOR_COMPONENT

constexpr XlatorRegistration kRegistrations[] = {
    {kScriptXlatorName, kScriptRegistrationInfo, &createScriptXlator},
    {kDefaultXlatorName, "{}", &createDefaultXlator},
};

// The default translator is not offered: the manager has its own.
constexpr XlatorRegistration kExported[] = {
    {kScriptXlatorName, nullptr, &createScriptXlator},
};

const XlatorRegistration* testRegistrations = nullptr;
std::size_t testRegistrationCount = 0;

template <std::size_t N>
const XlatorRegistration* findIn(const XlatorRegistration (&list)[N], const char* name) {
    for (const XlatorRegistration& entry : list) {
        if (std::strcmp(entry.name, name) == 0) return &entry;
    }
    return nullptr;
}

}  // namespace

const XlatorRegistration* findRegistration(const char* name) noexcept {
    if (name == nullptr) return nullptr;
    if (const XlatorRegistration* found = findIn(kRegistrations, name)) return found;
    for (std::size_t i = 0; i < testRegistrationCount; ++i) {
        if (std::strcmp(testRegistrations[i].name, name) == 0) return &testRegistrations[i];
    }
    return nullptr;
}

const XlatorRegistration* findExported(const char* name) noexcept {
    return name != nullptr ? findIn(kExported, name) : nullptr;
}

void setTestRegistrations(const XlatorRegistration* list, std::size_t count) {
    testRegistrations = list;
    testRegistrationCount = list != nullptr ? count : 0;
}

Xlator* createExported(const char* name, const char* registrationInfo, zyerr::Status* status) {
    if (status == nullptr || status->isError()) return nullptr;
    if (const XlatorRegistration* entry = findExported(name)) {
        return entry->create(name, registrationInfo, status);
    }
    zyostrel::platform::recordFailure(*status, zyerr::codes::InvalidParameter,
                                      ZYERR_LOCATION(zyerr::codes::InvalidParameter))
        .beginObject(kDebugKey)
        .addString("zyxlator_exported", "could not find xlator")
        .addString("name", name)
        .addString("registrationInfo", registrationInfo);
    return nullptr;
}

}  // namespace zyxlator
