// One forward pass over an archive held in memory. Archive reading cannot rewind, so every
// scan of a bundle starts from a fresh reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct archive;
struct archive_entry;

namespace zyostrel::fwextract {

class ArchiveReader {
public:
    // Opens a reader with every safe read format and no decompression filter; -304431 when
    // the bytes are not an archive of any of them. The bytes must outlive the reader. Without
    // checkEntryChecksums the per-entry checksums some formats carry (zip's CRC-32) are not
    // verified: for data that a stronger digest verifies anyway.
    ArchiveReader(const uint8_t* bytes, std::size_t size, bool checkEntryChecksums = true);
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;
    ~ArchiveReader();

    // Readers made so far in this process: each one is a pass over its archive, counted so
    // that a benchmark can tell how often an operation reads a bundle.
    static uint64_t readersMade() noexcept;

    // Reads entry headers until one's pathname equals pathname byte for byte; false when the
    // archive ends, or a header cannot be read, first.
    bool seekEntry(const std::string& pathname);

    // The header of the entry last found; null before one was found.
    archive_entry* entry() const { return entry_; }

    // The size the found entry's header declares; false when it declares none.
    bool declaredSize(uint64_t& size) const;

    // Reads the found entry's data block by block. Each block is handed to consume(data, size)
    // in order. A fatal read error, a failed integrity check that the reader only warns about
    // (a zip entry's CRC), a reader that keeps asking to be retried, or a hole (sparse data,
    // which bundles never carry) throws -304432.
    template <class Consumer>
    void readData(Consumer&& consume);

private:
    bool nextBlock(const void*& data, std::size_t& size, uint64_t& expectedOffset);

    archive* archive_ = nullptr;
    archive_entry* entry_ = nullptr;
};

template <class Consumer>
void ArchiveReader::readData(Consumer&& consume) {
    const void* data = nullptr;
    std::size_t size = 0;
    uint64_t offset = 0;
    while (nextBlock(data, size, offset)) {
        if (size != 0) consume(static_cast<const uint8_t*>(data), size);
    }
}

}  // namespace zyostrel::fwextract
