// A translation session: finds translators by name and keeps those it created until it is
// destroyed. Translators come from the session's cache, the library's registration list or
// the optional translator manager library, in this order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "status/Status.h"
#include "translator/BasicString.h"
#include "translator/Xlator.h"

namespace zyxlator {

class Session;

// Releases a translator the session holds, the way it was obtained.
class DestroyXlator {
public:
    virtual ~DestroyXlator() = default;
    virtual void destroy(Xlator* xlator) = 0;
};

// A translator of the registration list: its own destroy entry releases it.
class DestroyLocalXlator final : public DestroyXlator {
public:
    void destroy(Xlator* xlator) override;
};

// A translator of the manager library: the manager releases it.
class DestroyExportedXlator final : public DestroyXlator {
public:
    explicit DestroyExportedXlator(Session& session) : session_(session) {}
    void destroy(Xlator* xlator) override;

private:
    Session& session_;
};

// The manager library's interface.
using ManagerCreateSession = void* (*)(zyerr::Status* status);
using ManagerDestroySession = void (*)(void* managerSession);
using ManagerCreateXlator = Xlator* (*)(void* managerSession, const char* name,
                                        zyerr::Status* status, void* reserved);
using ManagerDestroyXlator = void (*)(void* managerSession, Xlator* xlator);

inline constexpr const char* kManagerLibrary = "libzyxlator.so.1";

class Session {
public:
    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    // Destroys every cached translator (in cache order), then the manager session, then
    // closes the manager library.
    ~Session();

    // The translator name, or null (status says why).
    Xlator* getXlator(const char* name, zyerr::Status& status);

private:
    struct CacheEntry {
        zyhtl::BasicString name;
        Xlator* xlator;
        DestroyXlator* destroyer;
    };
    friend class DestroyExportedXlator;

    Xlator* findCached(const char* name) const noexcept;
    bool addToCache(const char* name, Xlator* xlator, DestroyXlator* destroyer,
                    zyerr::Status& status);
    Xlator* createRegistered(const char* name, zyerr::Status& status, bool& registered);
    Xlator* createFromManager(const char* name, zyerr::Status& status);
    bool loadManager(zyerr::Status& status);

    void* managerLibrary_ = nullptr;
    bool managerTried_ = false;
    zyerr::Status managerStatus_;
    ManagerCreateSession createSession_ = nullptr;
    ManagerDestroySession destroySession_ = nullptr;
    ManagerCreateXlator createXlator_ = nullptr;
    ManagerDestroyXlator destroyXlator_ = nullptr;
    void* managerSession_ = nullptr;
    std::vector<CacheEntry> cache_;
    DestroyLocalXlator localDestroyer_;
    DestroyExportedXlator exportedDestroyer_{*this};
};

struct SessionDeleter {
    void operator()(Session* session) const;
};
using SessionPtr = std::unique_ptr<Session, SessionDeleter>;

// A new session, or null with -52000 ("failed to allocate Session memory").
SessionPtr createSession(zyerr::Status& status);

// The fixed description of code from the translator name, allocated with allocate; null when
// the translator cannot be had or offers none (-52006), or on its failure.
char* getStaticDesc(Session& session, int32_t code, const char* name, uint32_t languageWord,
                    AllocateFunction allocate, void* allocateContext, zyerr::Status& status);

// The report of the translator the elaboration's "translator" key names, in format.
char* getDynamicDesc(Session& session, const char* elaboration, uint32_t languageWord,
                     const char* format, AllocateFunction allocate, void* allocateContext,
                     zyerr::Status& status);

// Points the manager library lookup at another file (null restores the real name). For tests.
void setManagerLibraryForTesting(const char* path);

}  // namespace zyxlator
