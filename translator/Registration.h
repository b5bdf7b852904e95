// The translators built into the library, and those offered to the manager library.
#pragma once

#include <cstddef>

#include "translator/Xlator.h"

namespace zyxlator {

struct XlatorRegistration {
    const char* name;
    const char* registrationInfo;  // JSON text handed to create
    CreateFunction create;
};

// The registration list, in lookup order, and the exported list of zyxlator_exported_create.
const XlatorRegistration* findRegistration(const char* name) noexcept;
const XlatorRegistration* findExported(const char* name) noexcept;

// Adds further registrations looked up after the built-in ones (null clears). For tests: the
// list must outlive its use.
void setTestRegistrations(const XlatorRegistration* list, std::size_t count);

// zyxlator_exported_create without the C boundary.
Xlator* createExported(const char* name, const char* registrationInfo, zyerr::Status* status);

}  // namespace zyxlator
