// Parser of one error description file.
//
// The file is an XML-like text read line by line: a declaration line, a "<zydocument>" line,
// then blocks that open with <zyerror code="N"> and close with a line beginning "</zyerror>",
// comments between "<zycomment>" and "</zycomment>" lines, and "</zydocument>" at the end.
// Lines are read in pieces of at most kMaxErrorFileLine bytes, each piece taken as a line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "status/Status.h"

namespace zyxlator {

inline constexpr std::size_t kMaxErrorFileLine = 1023;

// The description of code in the file at path: the lines of the first block for code, with
// trailing line ends removed; "" when the file has none or is not a description file. A file
// that cannot be opened or is malformed records -52006 and gives "".
std::string parseErrorFile(const char* path, int32_t code, zyerr::Status& status);

// As parseErrorFile, on an open stream.
std::string parseErrorStream(std::FILE* file, int32_t code, zyerr::Status& status);

}  // namespace zyxlator
