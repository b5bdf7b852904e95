#include "translator/script/XlatorLuaUtils.h"

#include <lua.hpp>

#include <cstdlib>
#include <cstring>
#include <exception>

#include "platform/Diagnostics.h"
#include "platform/Paths.h"
#include "translator/ErrorFiles.h"
#include "translator/Xlator.h"

namespace zyxlator::script {

std::string expandPath(const char* /*xlatorName*/, const char* path, zyerr::Status& status) {
    if (status.isError()) return {};
    const std::string original(path != nullptr ? path : "");
    std::string expanded;
    bool nameRanToEnd = false;
    std::size_t position = 0;
    while (position < original.size()) {
        const std::size_t dollar = original.find('$', position);
        if (dollar == std::string::npos) {
            expanded.append(original, position, std::string::npos);
            break;
        }
        expanded.append(original, position, dollar - position);
        std::size_t nameEnd = original.find('/', dollar + 1);
        if (nameEnd == std::string::npos) {
            nameEnd = original.size();
            nameRanToEnd = true;
        }
        const std::string name = original.substr(dollar + 1, nameEnd - dollar - 1);
        expanded += zyostrel::platform::lookupPathVariable(name.c_str(), status);
        position = nameEnd;
    }
    if (nameRanToEnd) {
        zyostrel::platform::recordFailure(status, zyerr::codes::InvalidParameter,
                                          ZYERR_LOCATION(zyerr::codes::InvalidParameter))
            .beginObject(kDebugKey)
            .addString("zyxlatordll", "plugin dll path invalid")
            .addString("dllPath", original.c_str())
            .end();
    }
    return expanded;
}

zyerr::ElaborationCursor recordScriptFailure(zyerr::Status& status, int32_t code, int luaCode,
                                             const char* message, const char* debug) {
    return zyostrel::platform::recordFailure(status, code, ZYERR_LOCATION(code))
        .beginObject("internal_error")
        .addString("api", "lua")
        .addInt("code", luaCode)
        .addString("string", message != nullptr ? message : "")
        .end()
        .beginObject(kLuaDebugKey)
        .addString("debug", debug);
}

namespace {

// The library's C++ code runs inside these Lua functions, and a script error unwinds with
// longjmp, which would skip C++ destructors. So each function reads its arguments first,
// then runs its C++ part to completion (exceptions caught) leaving only a malloc'ed text in
// a box that Lua's collector owns, and only then pushes the result or raises the error.

constexpr const char* kBoxMetatable = "zyxlatorluautils.text";

enum class Answer { Text, Nil, Error };

struct Box {
    char* text;
};

int freeBox(lua_State* state) {
    auto* box = static_cast<Box*>(lua_touserdata(state, 1));
    if (box != nullptr) {
        std::free(box->text);
        box->text = nullptr;
    }
    return 0;
}

Box* newBox(lua_State* state) {
    auto* box = static_cast<Box*>(lua_newuserdata(state, sizeof(Box)));
    box->text = nullptr;
    if (luaL_newmetatable(state, kBoxMetatable) != 0) {
        lua_pushcfunction(state, &freeBox);
        lua_setfield(state, -2, "__gc");
    }
    lua_setmetatable(state, -2);
    return box;
}

char* copyText(const std::string& text) noexcept {
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

// Runs body(result, status) and leaves in box the result (Text), nothing (Nil) or, when the
// status failed or body threw, the text of the error.
template <typename Body>
Answer runHostPart(Box* box, Body body) noexcept {
    try {
        zyerr::Status status;
        std::string result;
        const bool found = body(result, status);
        if (status.isError()) {
            box->text = copyText(zyerr::elaborationText(status));
            return Answer::Error;
        }
        if (!found) return Answer::Nil;
        box->text = copyText(result);
        return box->text != nullptr ? Answer::Text : Answer::Error;
    } catch (const std::exception& failure) {
        box->text = copyText(failure.what());
    } catch (...) {
        box->text = copyText("unexpected failure in zyxlatorluautils");
    }
    return Answer::Error;
}

template <typename Body>
int callHost(lua_State* state, Body body) {
    Box* box = newBox(state);
    const Answer answer = runHostPart(box, body);
    if (answer == Answer::Nil) {
        lua_pushnil(state);
        return 1;
    }
    if (box->text == nullptr) return luaL_error(state, "not enough memory");
    lua_pushstring(state, box->text);
    std::free(box->text);
    box->text = nullptr;
    return answer == Answer::Text ? 1 : lua_error(state);
}

// A language number argument; a value outside the unsigned 32-bit range becomes one that no
// language has, so the library reports it as an invalid language.
uint32_t languageArgument(lua_State* state, int index) {
    const lua_Number number = luaL_checknumber(state, index);
    if (!(number >= 0.0 && number <= 4294967295.0)) return UINT32_MAX;
    return static_cast<uint32_t>(number);
}

int32_t codeArgument(lua_State* state, int index) {
    const lua_Number number = luaL_checknumber(state, index);
    if (!(number >= -2147483648.0 && number <= 2147483647.0)) {
        luaL_argerror(state, index, "status code out of range");
    }
    return static_cast<int32_t>(number);
}

int mbsToUtf8(lua_State* state) {
    luaL_checkany(state, 1);
    luaL_checkstring(state, 2);
    lua_pushvalue(state, 2);
    return 1;
}

int lookupVariable(lua_State* state) {
    luaL_checkstring(state, 1);
    const char* name = luaL_checkstring(state, 2);
    return callHost(state, [name](std::string& result, zyerr::Status& status) {
        result = zyostrel::platform::lookupPathVariable(name, status);
        return true;
    });
}

int expandPathFunction(lua_State* state) {
    const char* xlatorName = luaL_checkstring(state, 1);
    const char* path = luaL_checkstring(state, 2);
    return callHost(state, [xlatorName, path](std::string& result, zyerr::Status& status) {
        result = expandPath(xlatorName, path, status);
        return true;
    });
}

int convertLangToDir(lua_State* state) {
    const uint32_t language = languageArgument(state, 1);
    return callHost(state, [language](std::string& result, zyerr::Status& status) {
        const char* name = languageDirectoryName(language);
        if (name == nullptr) {
            zyostrel::platform::recordFailure(status, zyerr::codes::InvalidParameter,
                                              ZYERR_LOCATION(zyerr::codes::InvalidParameter))
                .beginObject(kDebugKey)
                .addString("wberrorsparser", "invalid language")
                .addUInt("lang", language)
                .end();
            return false;
        }
        result = name;
        return true;
    });
}

int findInErrorsDir(lua_State* state) {
    const char* errorsDir = luaL_checkstring(state, 1);
    const int32_t code = codeArgument(state, 2);
    const uint32_t language = languageArgument(state, 3);
    return callHost(state, [=](std::string& result, zyerr::Status& status) {
        result = findErrorDescriptionFromErrorsDir(errorsDir, code, language, status);
        return !result.empty();
    });
}

int findInDir(lua_State* state) {
    const char* directory = luaL_checkstring(state, 1);
    const int32_t code = codeArgument(state, 2);
    return callHost(state, [=](std::string& result, zyerr::Status& status) {
        result = findErrorDescriptionFromDir(directory, code, status);
        return !result.empty();
    });
}

}  // namespace

int openXlatorLuaUtils(lua_State* state) {
    static const luaL_Reg functions[] = {
        {"mbsToUtf8", &mbsToUtf8},
        {"lookupVariable", &lookupVariable},
        {"expandPath", &expandPathFunction},
        {"convertLangToDir", &convertLangToDir},
        {"findErrorDescriptionFromErrorsDir", &findInErrorsDir},
        {"findErrorDescriptionFromDir", &findInDir},
        {"findErrorDescriptionFromFile", &findInDir},
        {nullptr, nullptr},
    };
    luaL_register(state, "zyxlatorluautils", functions);
    return 1;
}

}  // namespace zyxlator::script
