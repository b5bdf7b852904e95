// The script-hosted translator: a translator record whose state is a Lua state running the
// bootstrap module and the translator module named in the registration information.
#include "translator/ScriptXlator.h"

#include <lua.hpp>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "platform/Diagnostics.h"
#include "translator/script/LuaState.h"
#include "translator/script/XlatorLuaUtils.h"

namespace zyxlator {
namespace {

using script::kLuaDebugKey;
using script::recordScriptFailure;

struct LuaXlator {
    Xlator record;  // first, so a LuaXlator* is the Xlator* handed out
    lua_State* state;
};
static_assert(offsetof(LuaXlator, state) == kXlatorStructSize);

// Registry slot where a protected call leaves its result, so that the result stays reachable
// (and is not collected) while the C++ side copies it out after the call.
char resultKey;

// The functions run by lua_cpcall hold only trivially destructible values: a script error
// unwinds through them with longjmp.

struct Bootstrap {
    const char* name;
    const char* registrationInfo;
};

int unmapErrorCode(lua_State* state) {
    luaL_checknumber(state, 1);
    lua_pushvalue(state, 1);
    return 1;
}

int bootstrapProtected(lua_State* state) {
    const auto* bootstrap = static_cast<const Bootstrap*>(lua_touserdata(state, 1));
    lua_getglobal(state, "require");
    lua_pushstring(state, "zyxlatorlua");
    lua_call(state, 1, 0);
    lua_getglobal(state, "zyxlatorlua_setupEnv");
    lua_pushstring(state, bootstrap->name);
    lua_pushstring(state, bootstrap->registrationInfo);
    lua_call(state, 2, 0);
    return 0;
}

int registerUnmapProtected(lua_State* state) {
    lua_register(state, "zymxl_unmapErrorCode", &unmapErrorCode);
    return 0;
}

struct ScriptCall {
    const char* function;  // "getStaticDesc" or "getDynamicDesc"
    const char* json;      // dynamic only
    const char* format;    // dynamic only
    int32_t code;          // static only
    uint32_t language;
    uint32_t environment;
    int scriptError;  // the error code of the script call when it failed, else 0
};

// zyxlatorlua_errHandler when the bootstrap defined it as a function: its stack index, else 0.
int pushMessageHandler(lua_State* state) {
    lua_getglobal(state, "zyxlatorlua_errHandler");
    if (lua_isfunction(state, -1)) return lua_gettop(state);
    lua_pop(state, 1);
    return 0;
}

int callTranslatorProtected(lua_State* state) {
    auto* call = static_cast<ScriptCall*>(lua_touserdata(state, 1));
    const int handler = pushMessageHandler(state);
    lua_getglobal(state, "zyxlatorlua_xlator");
    lua_getfield(state, -1, call->function);
    lua_remove(state, -2);
    int argumentCount = 3;
    if (call->json != nullptr) {
        lua_pushstring(state, call->json);
    } else {
        lua_pushnumber(state, call->code);
    }
    lua_pushnumber(state, call->language);
    lua_pushnumber(state, call->environment);
    if (call->format != nullptr) {
        lua_pushstring(state, call->format);
        ++argumentCount;
    }
    const int code = lua_pcall(state, argumentCount, 1, handler);
    if (code != 0) {
        call->scriptError = code;
        return lua_error(state);
    }
    lua_pushlightuserdata(state, &resultKey);
    lua_insert(state, -2);
    lua_rawset(state, LUA_REGISTRYINDEX);
    return 0;
}

// Runs body, turning any exception into a status: no exception may leave a translator entry,
// which C code (the translator manager) may call.
template <typename Body>
auto guarded(zyerr::Status& status, Body body) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        zyerr::setCode(status, zyerr::codes::MemoryFull);
    } catch (...) {
        zyerr::setCode(status, zyerr::codes::InternalSoftwareFault);
    }
    return {};
}

bool runBootstrap(lua_State* state, const char* name, const char* registrationInfo,
                  zyerr::Status& status) {
    Bootstrap bootstrap{name != nullptr ? name : "",
                        registrationInfo != nullptr ? registrationInfo : ""};
    int code = lua_cpcall(state, &bootstrapProtected, &bootstrap);
    if (code == 0) code = lua_cpcall(state, &registerUnmapProtected, nullptr);
    if (code == 0) return true;
    const std::string message = script::popErrorMessage(state);
    recordScriptFailure(status, zyerr::codes::InternalSoftwareFault, code, message.c_str(),
                        "lua setupEnv failed")
        .addString("name", bootstrap.name)
        .addString("registrationInfo", bootstrap.registrationInfo);
    return false;
}

// Copies text into length + 1 bytes from the caller's allocate function.
char* copyOut(const char* text, std::size_t length, AllocateFunction allocate, void* context,
              zyerr::Status& status) {
    auto* copy = static_cast<char*>(allocate(nullptr, length + 1, context, &status));
    if (copy == nullptr) return nullptr;
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

// Calls the translator module and hands back its text result. A numeric result is a status
// the script chose (only the dynamic description returns one); anything else but a string is
// a fault of the script, since reporting no description without a failure would pass for
// success.
char* callTranslator(LuaXlator& xlator, ScriptCall& call, const char* debug,
                     AllocateFunction allocate, void* context, zyerr::Status& status) {
    lua_State* state = xlator.state;
    const int code = lua_cpcall(state, &callTranslatorProtected, &call);
    if (code != 0) {
        const std::string message = script::popErrorMessage(state);
        recordScriptFailure(status, zyerr::codes::InternalSoftwareFault,
                            call.scriptError != 0 ? call.scriptError : code, message.c_str(),
                            debug);
        return nullptr;
    }
    lua_pushlightuserdata(state, &resultKey);
    lua_rawget(state, LUA_REGISTRYINDEX);
    char* text = nullptr;
    const int type = lua_type(state, -1);
    if (type == LUA_TSTRING) {
        std::size_t length = 0;
        const char* result = lua_tolstring(state, -1, &length);
        text = copyOut(result, length, allocate, context, status);
    } else if (type == LUA_TNUMBER && call.format != nullptr) {
        const lua_Number number = lua_tonumber(state, -1);
        const bool fits =
            number >= -2147483648.0 && number <= 2147483647.0 && number == std::floor(number);
        const int32_t scriptStatus =
            fits ? static_cast<int32_t>(number) : zyerr::codes::InternalSoftwareFault;
        if (scriptStatus != 0) {
            zyostrel::platform::recordFailure(status, scriptStatus, ZYERR_LOCATION(scriptStatus))
                .beginObject(kLuaDebugKey)
                .addString("debug", debug)
                .end();
        }
    } else {
        const std::string message =
            std::string("the translator returned a ") + lua_typename(state, type);
        recordScriptFailure(status, zyerr::codes::InternalSoftwareFault, LUA_ERRRUN,
                            message.c_str(), debug);
    }
    lua_pop(state, 1);
    return text;
}

void destroyLuaXlator(Xlator* record) {
    auto* xlator = reinterpret_cast<LuaXlator*>(record);
    if (xlator == nullptr) return;
    lua_close(xlator->state);
    delete xlator;
}

char* getStaticDesc(Xlator* record, int32_t code, uint32_t languageWord, AllocateFunction allocate,
                    void* allocateContext, zyerr::Status* status) {
    if (record == nullptr || status == nullptr || status->isError()) return nullptr;
    return guarded(*status, [&]() -> char* {
        ScriptCall call{"getStaticDesc",
                        nullptr,
                        nullptr,
                        code,
                        languageOf(languageWord),
                        environmentOf(languageWord),
                        0};
        return callTranslator(*reinterpret_cast<LuaXlator*>(record), call,
                              "failed to get static desc", allocate, allocateContext, *status);
    });
}

char* getDynamicDesc(Xlator* record, const char* elaborationJson, uint32_t languageWord,
                     const char* format, AllocateFunction allocate, void* allocateContext,
                     zyerr::Status* status) {
    if (record == nullptr || status == nullptr || status->isError()) return nullptr;
    return guarded(*status, [&]() -> char* {
        ScriptCall call{"getDynamicDesc",
                        elaborationJson != nullptr ? elaborationJson : "",
                        format != nullptr ? format : "",
                        0,
                        languageOf(languageWord),
                        environmentOf(languageWord),
                        0};
        return callTranslator(*reinterpret_cast<LuaXlator*>(record), call,
                              "failed to get dynamic desc", allocate, allocateContext, *status);
    });
}

using StateOwner = std::unique_ptr<lua_State, decltype(&lua_close)>;

// A state ready to translate, or null with the failure recorded (the state then closed).
StateOwner prepareState(const char* name, const char* registrationInfo, zyerr::Status& status) {
    StateOwner state(script::newScriptState(status), &lua_close);
    if (state == nullptr) return state;
    if (!script::openScriptLibraries(state.get(), status) ||
        !script::placeEmbeddedScripts(state.get(), status) ||
        !runBootstrap(state.get(), name, registrationInfo, status)) {
        state.reset();
    }
    return state;
}

}  // namespace

Xlator* createScriptXlator(const char* name, const char* registrationInfo, zyerr::Status* status) {
    if (status == nullptr || status->isError()) return nullptr;
    return guarded(*status, [&]() -> Xlator* {
        StateOwner state = prepareState(name, registrationInfo, *status);
        if (state == nullptr) return nullptr;
        auto* xlator = new (std::nothrow) LuaXlator{
            {kXlatorStructSize, &destroyLuaXlator, &getStaticDesc, &getDynamicDesc}, state.get()};
        if (xlator == nullptr) {
            state.reset();
            zyostrel::platform::recordFailure(*status, zyerr::codes::MemoryFull,
                                              ZYERR_LOCATION(zyerr::codes::MemoryFull))
                .beginObject(kLuaDebugKey)
                .addString("debug", "failed to allocate the translator")
                .end();
            return nullptr;
        }
        state.release();
        return &xlator->record;
    });
}

}  // namespace zyxlator
