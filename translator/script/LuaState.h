// The script state of the translator: a Lua 5.1 state with the fixed set of libraries opened
// and the embedded scripts ready for require.
#pragma once

#include <cstddef>
#include <string>

#include "status/Status.h"

struct lua_State;

namespace zyxlator::script {

using LibraryOpener = int (*)(lua_State* state);

struct ScriptLibrary {
    const char* name;        // as reported in diagnostics and registered in package.loaded
    const char* openerName;  // the name handed to the opener ("" for the base library)
    LibraryOpener open;
};

// Every state opens these, in this order.
extern const ScriptLibrary kScriptLibraries[];
extern const std::size_t kScriptLibraryCount;

// A new state, or null with -52000 recorded in status.
lua_State* newScriptState(zyerr::Status& status);

// Opens the libraries in order, each in a protected call; a module that does not register
// itself is put into package.loaded so that scripts can require it. The first failure
// records -52003 and stops.
bool openScriptLibraries(lua_State* state, zyerr::Status& status);

// Compiles every embedded script into package.preload under its file name without the
// extension. A script that does not compile is reported on the standard error stream and the
// others are still placed; the first such failure is recorded (-52003) and false returned.
bool placeEmbeddedScripts(lua_State* state, zyerr::Status& status);

// The error object a failed protected call left on top of the stack, as text; popped. Reads
// only a string object, so it cannot raise a script error.
std::string popErrorMessage(lua_State* state);

// The module name a script file name gives ("mxlator.lua" -> "mxlator") into buffer; false
// for names that are not ".lua" or ".luac" files or do not fit.
bool moduleNameOf(const char* fileName, char* buffer, std::size_t size) noexcept;

}  // namespace zyxlator::script
