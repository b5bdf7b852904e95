#include "BareScriptState.h"

#include <lua.hpp>

#include <cstring>
#include <string>

#include "translator/script/EmbeddedScripts.h"
#include "translator/script/LuaState.h"

namespace zybench {
namespace {

int openLibraries(lua_State* lua) {
    for (std::size_t i = 0; i < zyxlator::script::kScriptLibraryCount; ++i) {
        const zyxlator::script::ScriptLibrary& library = zyxlator::script::kScriptLibraries[i];
        lua_pushcfunction(lua, library.open);
        lua_pushstring(lua, library.openerName);
        lua_call(lua, 1, 0);
    }
    return 0;
}

int loadChunks(lua_State* lua) {
    lua_getglobal(lua, "package");
    lua_getfield(lua, -1, "preload");
    for (std::size_t i = 0; i < zyxlator::script::kEmbeddedScriptCount; ++i) {
        const zyxlator::script::EmbeddedScript& script = zyxlator::script::kEmbeddedScripts[i];
        char name[256];
        if (!zyxlator::script::moduleNameOf(script.fileName, name, sizeof(name))) continue;
        if (luaL_loadbuffer(lua, script.text, script.length, script.fileName) != 0) {
            return lua_error(lua);
        }
        lua_setfield(lua, -2, name);
    }
    return 0;
}

}  // namespace

void benchmarkBareScriptState(benchmark::State& state) {
    for (auto _ : state) {
        lua_State* lua = luaL_newstate();
        if (lua == nullptr || lua_cpcall(lua, &openLibraries, nullptr) != 0 ||
            lua_cpcall(lua, &loadChunks, nullptr) != 0) {
            state.SkipWithError("the bare script state could not be made");
            if (lua != nullptr) lua_close(lua);
            break;
        }
        lua_close(lua);
    }
}

}  // namespace zybench
