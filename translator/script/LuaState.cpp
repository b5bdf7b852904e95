#include "translator/script/LuaState.h"

#include <lfs.h>
#include <lua.hpp>
extern "C" {
#include <lua-cjson.h>
}

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/Diagnostics.h"
#include "status/ElaborationWriter.h"
#include "translator/script/EmbeddedScripts.h"
#include "translator/script/StdintModule.h"
#include "translator/script/XlatorLuaUtils.h"

namespace zyxlator::script {

const ScriptLibrary kScriptLibraries[] = {
    {"base", "", &luaopen_base},
    {LUA_LOADLIBNAME, LUA_LOADLIBNAME, &luaopen_package},
    {LUA_TABLIBNAME, LUA_TABLIBNAME, &luaopen_table},
    {LUA_IOLIBNAME, LUA_IOLIBNAME, &luaopen_io},
    {LUA_OSLIBNAME, LUA_OSLIBNAME, &luaopen_os},
    {LUA_STRLIBNAME, LUA_STRLIBNAME, &luaopen_string},
    {LUA_MATHLIBNAME, LUA_MATHLIBNAME, &luaopen_math},
    {LUA_DBLIBNAME, LUA_DBLIBNAME, &luaopen_debug},
    {"lfs", "lfs", &luaopen_lfs},
    {"stdint", "stdint", &openStdint},
    {"cjson", "cjson", &luaopen_cjson},
    {"zyxlatorluautils", "zyxlatorluautils", &openXlatorLuaUtils},
};
const std::size_t kScriptLibraryCount = sizeof(kScriptLibraries) / sizeof(kScriptLibraries[0]);

namespace {

// The functions run by lua_cpcall below are plain C-style code: a script error (or lack of
// memory) inside them unwinds with longjmp, which must not cross C++ objects.

int openLibraryProtected(lua_State* state) {
    const auto* library = static_cast<const ScriptLibrary*>(lua_touserdata(state, 1));
    lua_pushcfunction(state, library->open);
    lua_pushstring(state, library->openerName);
    lua_call(state, 1, 1);
    // require finds a module through package.loaded; lua-cjson does not register itself.
    if (library->openerName[0] != '\0' && lua_istable(state, -1)) {
        lua_getfield(state, LUA_REGISTRYINDEX, "_LOADED");
        if (lua_istable(state, -1)) {
            lua_getfield(state, -1, library->name);
            const bool registered = !lua_isnil(state, -1);
            lua_pop(state, 1);
            if (!registered) {
                lua_pushvalue(state, -2);
                lua_setfield(state, -2, library->name);
            }
        }
    }
    return 0;
}

struct Placement {
    int failures;
    int firstCode;
    char firstMessage[1024];
};

void placeOne(lua_State* state, const EmbeddedScript& script, Placement& placement) {
    char moduleName[256];
    if (!moduleNameOf(script.fileName, moduleName, sizeof(moduleName))) return;
    char chunkName[260];
    std::snprintf(chunkName, sizeof(chunkName), "@%s", script.fileName);
    const int code = luaL_loadbuffer(state, script.text, script.length, chunkName);
    if (code != 0) {
        const char* message = lua_tostring(state, -1);
        if (message == nullptr) message = "(error object is not a string)";
        std::fprintf(stderr, "ERROR: Failed to load \"%s\": %s\n", script.fileName, message);
        if (placement.failures++ == 0) {
            placement.firstCode = code;
            std::snprintf(placement.firstMessage, sizeof(placement.firstMessage), "%s", message);
        }
        lua_pop(state, 1);
        return;
    }
    lua_setfield(state, -2, moduleName);
}

int placeScriptsProtected(lua_State* state) {
    auto* placement = static_cast<Placement*>(lua_touserdata(state, 1));
    lua_getglobal(state, "package");
    lua_getfield(state, -1, "preload");
    if (!lua_istable(state, -1)) return luaL_error(state, "package.preload is not a table");
    for (std::size_t i = 0; i < kEmbeddedScriptCount; ++i) {
        placeOne(state, kEmbeddedScripts[i], *placement);
    }
    return 0;
}

}  // namespace

std::string popErrorMessage(lua_State* state) {
    const char* message = lua_type(state, -1) == LUA_TSTRING ? lua_tostring(state, -1) : nullptr;
    std::string text = message != nullptr ? message : "(error object is not a string)";
    lua_pop(state, 1);
    return text;
}

lua_State* newScriptState(zyerr::Status& status) {
    if (status.isError()) return nullptr;
    lua_State* state = luaL_newstate();
    if (state == nullptr) {
        zyostrel::platform::recordFailure(status, zyerr::codes::MemoryFull,
                                          ZYERR_LOCATION(zyerr::codes::MemoryFull))
            .beginObject(kLuaDebugKey)
            .addString("debug", "failed to create lua state")
            .end();
    }
    return state;
}

bool openScriptLibraries(lua_State* state, zyerr::Status& status) {
    if (status.isError()) return false;
    for (std::size_t i = 0; i < kScriptLibraryCount; ++i) {
        const ScriptLibrary& library = kScriptLibraries[i];
        const int code =
            lua_cpcall(state, &openLibraryProtected, const_cast<ScriptLibrary*>(&library));
        if (code != 0) {
            const std::string message = popErrorMessage(state);
            recordScriptFailure(status, zyerr::codes::InternalSoftwareFault, code, message.c_str(),
                                "failed to load lua lib")
                .addString("lib", library.name);
            return false;
        }
    }
    return true;
}

bool placeEmbeddedScripts(lua_State* state, zyerr::Status& status) {
    if (status.isError()) return false;
    Placement placement{};
    const int code = lua_cpcall(state, &placeScriptsProtected, &placement);
    if (code != 0) {
        placement.firstCode = code;
        const std::string message = popErrorMessage(state);
        std::snprintf(placement.firstMessage, sizeof(placement.firstMessage), "%s",
                      message.c_str());
    } else if (placement.failures == 0) {
        return true;
    }
    recordScriptFailure(status, zyerr::codes::InternalSoftwareFault, placement.firstCode,
                        placement.firstMessage, "failed to add embedded modules to preload table");
    return false;
}

bool moduleNameOf(const char* fileName, char* buffer, std::size_t size) noexcept {
    const char* dot = std::strrchr(fileName, '.');
    if (dot == nullptr || (std::strcmp(dot, ".lua") != 0 && std::strcmp(dot, ".luac") != 0)) {
        return false;
    }
    const auto length = static_cast<std::size_t>(dot - fileName);
    if (length == 0 || length >= size) return false;
    std::memcpy(buffer, fileName, length);
    buffer[length] = '\0';
    return true;
}

}  // namespace zyxlator::script
