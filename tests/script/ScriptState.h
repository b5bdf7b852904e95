// A script state as the translator makes it (libraries opened, embedded scripts placed), for
// running test chunks directly.
#pragma once

#include <gtest/gtest.h>
#include <lua.hpp>

#include <string>

#include "status/Status.h"
#include "translator/script/LuaState.h"

namespace zytest {

class ScriptState {
public:
    ScriptState() {
        state_ = zyxlator::script::newScriptState(status_);
        if (state_ == nullptr) return;
        zyxlator::script::openScriptLibraries(state_, status_);
        zyxlator::script::placeEmbeddedScripts(state_, status_);
    }
    ~ScriptState() {
        if (state_ != nullptr) lua_close(state_);
    }
    ScriptState(const ScriptState&) = delete;
    ScriptState& operator=(const ScriptState&) = delete;

    lua_State* get() const { return state_; }
    const zyerr::Status& status() const { return status_; }

    // The first result of chunk through tostring, or "error: " and the message.
    std::string run(const std::string& chunk) {
        if (luaL_loadstring(state_, chunk.c_str()) != 0 || lua_pcall(state_, 0, 1, 0) != 0) {
            std::string message = "error: ";
            message += lua_isstring(state_, -1) ? lua_tostring(state_, -1) : "(not a string)";
            lua_pop(state_, 1);
            return message;
        }
        lua_getglobal(state_, "tostring");
        lua_insert(state_, -2);
        lua_call(state_, 1, 1);
        std::string result = lua_tostring(state_, -1);
        lua_pop(state_, 1);
        return result;
    }

private:
    zyerr::Status status_;
    lua_State* state_ = nullptr;
};

}  // namespace zytest
