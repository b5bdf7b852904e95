// Reading the files the tool is given, and writing the files it makes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace ostrel {

// The whole content of a regular file of at most maxBytes. Anything else (a directory, a
// pipe, a larger file, a read error) throws a Failure naming the file and the reason.
std::vector<uint8_t> readFile(const std::string& path, uint64_t maxBytes);

// A file written piece by piece (replacing what was there). A failure to open, write or close
// it throws a Failure naming the file and the reason.
class OutputFile {
public:
    explicit OutputFile(const std::string& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(const void* bytes, std::size_t size);
    void write(const std::string& text) { write(text.data(), text.size()); }
    // Flushes and closes; only then is the file known to be complete.
    void close();

private:
    std::string path_;
    std::FILE* file_;
};

// Writes bytes to path (replacing it), or throws a Failure naming the file and the reason.
void writeFile(const std::string& path, const void* bytes, std::size_t size);

}  // namespace ostrel
