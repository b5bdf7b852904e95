#include "translator/Session.h"

#include <dlfcn.h>

#include <cstring>
#include <new>
#include <string>

#include "platform/Diagnostics.h"
#include "platform/DynamicLibrary.h"
#include "status/ElaborationReader.h"
#include "translator/Registration.h"

namespace zyxlator {
namespace {

namespace platform = zyostrel::platform;

const char* managerLibraryPath = kManagerLibrary;

// Initial room of a session's cache: a translation rarely needs more translators.
constexpr std::size_t kInitialCacheRoom = 4;

void recordUnsupported(zyerr::Status& status, const char* message, const char* name) {
    platform::recordFailure(status, zyerr::codes::ResourceNotFound,
                            ZYERR_LOCATION(zyerr::codes::ResourceNotFound))
        .beginObject(kDebugKey)
        .addString("debug", message)
        .addString("xlatorName", name);
}

template <class F>
bool resolve(void* library, const char* symbol, F& function, zyerr::Status& status) {
    function = reinterpret_cast<F>(platform::getSymbol(library, symbol, status));
    return function != nullptr;
}

}  // namespace

void DestroyLocalXlator::destroy(Xlator* xlator) {
    if (xlator != nullptr && xlator->destroy != nullptr) xlator->destroy(xlator);
}

void DestroyExportedXlator::destroy(Xlator* xlator) {
    if (session_.destroyXlator_ != nullptr)
        session_.destroyXlator_(session_.managerSession_, xlator);
}

Session::~Session() {
    for (CacheEntry& entry : cache_) entry.destroyer->destroy(entry.xlator);
    cache_.clear();
    if (managerSession_ != nullptr && destroySession_ != nullptr) destroySession_(managerSession_);
    platform::closeLibrary(managerLibrary_);
}

Xlator* Session::findCached(const char* name) const noexcept {
    for (const CacheEntry& entry : cache_) {
        if (std::strcmp(entry.name.c_str(), name) == 0) return entry.xlator;
    }
    return nullptr;
}

bool Session::addToCache(const char* name, Xlator* xlator, DestroyXlator* destroyer,
                         zyerr::Status& status) {
    CacheEntry entry{zyhtl::BasicString(), xlator, destroyer};
    if (!entry.name.assign(name, status)) return false;
    try {
        if (cache_.capacity() == 0) cache_.reserve(kInitialCacheRoom);
        cache_.push_back(std::move(entry));
    } catch (const std::bad_alloc&) {
        zyhtl::recordOutOfMemory(status, ZYERR_LOCATION(zyerr::codes::MemoryFull));
        return false;
    }
    return true;
}

Xlator* Session::createRegistered(const char* name, zyerr::Status& status, bool& registered) {
    const XlatorRegistration* entry = findRegistration(name);
    registered = entry != nullptr;
    if (entry == nullptr) return nullptr;
    Xlator* xlator = entry->create(name, entry->registrationInfo, &status);
    if (xlator == nullptr) return nullptr;
    if (!addToCache(name, xlator, &localDestroyer_, status)) {
        localDestroyer_.destroy(xlator);
        return nullptr;
    }
    return xlator;
}

bool Session::loadManager(zyerr::Status& status) {
    if (!managerTried_) {
        managerTried_ = true;
        managerLibrary_ = platform::loadLibrary(managerLibraryPath, RTLD_NOW, managerStatus_);
        const bool resolved =
            managerLibrary_ != nullptr &&
            resolve(managerLibrary_, "zyxlatormgr_createSession", createSession_, managerStatus_) &&
            resolve(managerLibrary_, "zyxlatormgr_destroySession", destroySession_,
                    managerStatus_) &&
            resolve(managerLibrary_, "zyxlatormgr_createXlator", createXlator_, managerStatus_) &&
            resolve(managerLibrary_, "zyxlatormgr_destroyXlator", destroyXlator_, managerStatus_);
        if (!resolved) {
            platform::closeLibrary(managerLibrary_);
            managerLibrary_ = nullptr;
            createSession_ = nullptr;
            destroySession_ = nullptr;
            createXlator_ = nullptr;
            destroyXlator_ = nullptr;
        }
    }
    if (managerStatus_.isError()) {
        zyerr::mergeFrom(status, managerStatus_);
        return false;
    }
    if (managerSession_ == nullptr) {
        managerSession_ = createSession_(&status);
        if (managerSession_ == nullptr) {
            if (!status.isError()) {
                recordUnsupported(status, "translator manager gave no session", kManagerLibrary);
            }
            return false;
        }
    }
    return true;
}

Xlator* Session::createFromManager(const char* name, zyerr::Status& status) {
    if (!loadManager(status)) return nullptr;
    Xlator* xlator = createXlator_(managerSession_, name, &status, nullptr);
    if (xlator == nullptr) return nullptr;
    if (!addToCache(name, xlator, &exportedDestroyer_, status)) {
        exportedDestroyer_.destroy(xlator);
        return nullptr;
    }
    return xlator;
}

Xlator* Session::getXlator(const char* name, zyerr::Status& status) {
    if (status.isError()) return nullptr;
    if (name == nullptr) name = "";
    if (Xlator* cached = findCached(name)) return cached;
    bool registered = false;
    Xlator* xlator = createRegistered(name, status, registered);
    if (registered) return xlator;
    return createFromManager(name, status);
}

void SessionDeleter::operator()(Session* session) const { delete session; }

SessionPtr createSession(zyerr::Status& status) {
    if (status.isError()) return nullptr;
    SessionPtr session(new (std::nothrow) Session());
    if (!session) {
        zyhtl::recordOutOfMemory(status, ZYERR_LOCATION(zyerr::codes::MemoryFull));
        try {
            zyerr::rootCursor(status).beginObject(kDebugKey).addString(
                "debug", "failed to allocate Session memory");
        } catch (const std::bad_alloc&) {
            // The code alone tells the caller.
        }
    }
    return session;
}

char* getStaticDesc(Session& session, int32_t code, const char* name, uint32_t languageWord,
                    AllocateFunction allocate, void* allocateContext, zyerr::Status& status) {
    Xlator* xlator = session.getXlator(name, status);
    if (xlator == nullptr) return nullptr;
    if (xlator->getStaticDesc == nullptr) {
        recordUnsupported(status, "xlator doesn't support getStaticDesc", name);
        return nullptr;
    }
    return xlator->getStaticDesc(xlator, code, languageWord, allocate, allocateContext, &status);
}

char* getDynamicDesc(Session& session, const char* elaboration, uint32_t languageWord,
                     const char* format, AllocateFunction allocate, void* allocateContext,
                     zyerr::Status& status) {
    if (status.isError()) return nullptr;
    const zyerr::JsonText json(elaboration);
    const std::size_t root = json.root();
    const std::size_t key = json.typeAt(root) == zyerr::JsonType::Object
                                ? json.findKey(root, "translator")
                                : zyerr::JsonText::npos;
    if (json.typeAt(key) != zyerr::JsonType::String) {
        platform::recordFailure(status, zyerr::codes::ResourceNotFound,
                                ZYERR_LOCATION(zyerr::codes::ResourceNotFound))
            .beginObject(kDebugKey)
            .addString("debug", "could not find translator key in json")
            .addString("json", elaboration);
        return nullptr;
    }
    std::string name;
    try {
        json.decodeStringAt(key, name);
    } catch (const std::bad_alloc&) {
        platform::recordFailure(status, zyerr::codes::InvalidParameter,
                                ZYERR_LOCATION(zyerr::codes::InvalidParameter))
            .beginObject(kDebugKey)
            .addString("debug", "failed to allocate xlatorName");
        return nullptr;
    }
    Xlator* xlator = session.getXlator(name.c_str(), status);
    if (xlator == nullptr) return nullptr;
    if (xlator->getDynamicDesc == nullptr) {
        recordUnsupported(status, "xlator doesn't support getDynamicDesc", name.c_str());
        return nullptr;
    }
    return xlator->getDynamicDesc(xlator, elaboration, languageWord, format, allocate,
                                  allocateContext, &status);
}

void setManagerLibraryForTesting(const char* path) {
    managerLibraryPath = path != nullptr ? path : kManagerLibrary;
}

}  // namespace zyxlator
