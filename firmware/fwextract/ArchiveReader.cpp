#include "firmware/fwextract/ArchiveReader.h"

#include <archive.h>
#include <archive_entry.h>

#include <atomic>
#include <cstring>

#include "status/Exception.h"
#include "status/StatusCodes.h"

namespace zyostrel::fwextract {
namespace {

// A reader that keeps asking to be retried without progress is treated as failing.
constexpr unsigned kMostRetries = 1000;

// Every read format libarchive offers except two: mtree, whose entries name files on the
// local disk that the reader would open and return as entry data (a bundle must never make
// the library read local files), and xar, which this libarchive is built without. No
// decompression filter is enabled: a compressed archive stream is not a bundle.
void enableFormats(archive* reader) {
    archive_read_support_format_ar(reader);
    archive_read_support_format_cpio(reader);
    archive_read_support_format_empty(reader);
    archive_read_support_format_lha(reader);
    archive_read_support_format_tar(reader);
    archive_read_support_format_warc(reader);
    archive_read_support_format_7zip(reader);
    archive_read_support_format_cab(reader);
    archive_read_support_format_rar(reader);
    archive_read_support_format_rar5(reader);
    archive_read_support_format_iso9660(reader);
    archive_read_support_format_zip(reader);
}

std::atomic<uint64_t> readerCount{0};

}  // namespace

uint64_t ArchiveReader::readersMade() noexcept { return readerCount.load(); }

ArchiveReader::ArchiveReader(const uint8_t* bytes, std::size_t size, bool checkEntryChecksums)
    : archive_(archive_read_new()) {
    readerCount.fetch_add(1, std::memory_order_relaxed);
    if (archive_ == nullptr) ZYERR_THROW(zyerr::codes::MemoryFull);
    enableFormats(archive_);
    if (!checkEntryChecksums) archive_read_set_options(archive_, "zip:ignorecrc32");
    if (archive_read_open_memory(archive_, bytes, size) != ARCHIVE_OK) {
        archive_read_free(archive_);
        archive_ = nullptr;
        ZYERR_THROW(zyerr::codes::InvalidFirmwareBundle);
    }
}

ArchiveReader::~ArchiveReader() {
    if (archive_ != nullptr) archive_read_free(archive_);
}

bool ArchiveReader::seekEntry(const std::string& pathname) {
    entry_ = nullptr;
    unsigned retries = 0;
    for (;;) {
        archive_entry* header = nullptr;
        const int result = archive_read_next_header(archive_, &header);
        // A warning still delivers the header; a failed or retried header is skipped; the end
        // of the archive or a fatal error ends the search.
        if (result == ARCHIVE_RETRY || result == ARCHIVE_FAILED) {
            if (++retries > kMostRetries) return false;
            continue;
        }
        if (result != ARCHIVE_OK && result != ARCHIVE_WARN) return false;
        retries = 0;
        const char* name = archive_entry_pathname(header);
        if (name != nullptr && pathname == name) {
            entry_ = header;
            return true;
        }
    }
}

bool ArchiveReader::declaredSize(uint64_t& size) const {
    if (entry_ == nullptr || !archive_entry_size_is_set(entry_)) return false;
    const la_int64_t declared = archive_entry_size(entry_);
    if (declared < 0) return false;
    size = static_cast<uint64_t>(declared);
    return true;
}

bool ArchiveReader::nextBlock(const void*& data, std::size_t& size, uint64_t& expectedOffset) {
    for (unsigned retries = 0;; ++retries) {
        la_int64_t offset = 0;
        const int result = archive_read_data_block(archive_, &data, &size, &offset);
        if (result == ARCHIVE_EOF) return false;
        if (result == ARCHIVE_RETRY && retries < kMostRetries) continue;
        // Past reading the data, the reader only warns when the entry fails its own integrity
        // checks (a zip CRC or size that does not match): the bytes handed out are not the
        // entry's, so a warning is as corrupt as a fatal error, and so is endless retrying.
        if (result != ARCHIVE_OK || offset < 0 || static_cast<uint64_t>(offset) != expectedOffset) {
            ZYERR_THROW(zyerr::codes::CorruptFirmwareBundle);
        }
        expectedOffset += size;
        return true;
    }
}

}  // namespace zyostrel::fwextract
