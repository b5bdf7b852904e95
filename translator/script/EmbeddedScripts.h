// The scripts the library carries: the package scripts it depends on, its own translator
// scripts and the generated term and attribute tables, compiled in as data when the library
// is built (see translator/script/CMakeLists.txt for their sources).
#pragma once

#include <cstddef>

namespace zyxlator::script {

struct EmbeddedScript {
    const char* fileName;  // "mxlator.lua": the module name with the ".lua" extension
    const char* text;      // Lua source, not NUL-terminated inside (length says where it ends)
    std::size_t length;
};

// In the order they are placed in package.preload.
extern const EmbeddedScript kEmbeddedScripts[];
extern const std::size_t kEmbeddedScriptCount;

}  // namespace zyxlator::script
