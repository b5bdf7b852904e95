// The "zyxlatorluautils" script module: what the translator scripts need from the library
// (path variables, the errors-directory search, language directory names), and the host's
// recording of script failures.
#pragma once

#include <cstdint>
#include <string>

#include "status/ElaborationWriter.h"
#include "status/Status.h"

struct lua_State;

namespace zyxlator::script {

// Key of the script host's diagnostic objects in an elaboration.
inline constexpr const char* kLuaDebugKey = "zyxlatorlua_debug";

// path with every "$name" replaced by the value of the path variable name (unknown names by
// nothing); a name runs to the next "/". Text that a value brings in is not expanded again.
// A "$" with no "/" after it is still expanded, but records -52005 in status: such a path
// names no file inside a variable's directory.
std::string expandPath(const char* xlatorName, const char* path, zyerr::Status& status);

// Records code with "internal_error": {"api": "lua", "code": luaCode, "string": message} and
// returns a cursor inside a new "zyxlatorlua_debug" object holding "debug": debug, for the
// caller's further members. Null when the status already held an error.
zyerr::ElaborationCursor recordScriptFailure(zyerr::Status& status, int32_t code, int luaCode,
                                             const char* message, const char* debug);

// Opens the module: registers the table "zyxlatorluautils" (also its global and
// package.loaded entry) and leaves it on the stack. A lua_CFunction.
int openXlatorLuaUtils(lua_State* state);

}  // namespace zyxlator::script
