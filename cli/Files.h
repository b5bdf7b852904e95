// Reading the files the tool is given, and writing the files it makes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ostrel {

// The whole content of a regular file of at most maxBytes. Anything else (a directory, a
// pipe, a larger file, a read error) throws a Failure naming the file and the reason.
std::vector<uint8_t> readFile(const std::string& path, uint64_t maxBytes);

// Writes bytes to path (replacing it), or throws a Failure naming the file and the reason.
void writeFile(const std::string& path, const void* bytes, std::size_t size);

}  // namespace ostrel
