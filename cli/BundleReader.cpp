#include "BundleReader.h"

#include <archive.h>
#include <archive_entry.h>
#include <crypto++/sha.h>

#include <memory>

#include "Context.h"
#include "zyostrelapi.h"

namespace ostrel {
namespace {

const char kManifestPath[] = "manifest.json";
// A reader that keeps asking to be retried without progress is treated as failing.
constexpr unsigned kMostRetries = 1000;

// The formats the library reads bundles in: all but mtree, whose entries name local files the
// reader would open (a bundle must never make anyone read local files), and xar, which this
// libarchive lacks. No decompression filter: a compressed archive stream is not a bundle.
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

struct ArchiveDelete {
    void operator()(archive* reader) const noexcept { archive_read_free(reader); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveDelete>;

std::string hex(const CryptoPP::byte* bytes, std::size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0F];
    }
    return text;
}

// Reads the current entry's data block by block into the digest, keeping the bytes only for
// the manifest. Stops as soon as the entry passes its bound.
BundleEntry readEntry(archive* reader, const std::string& path, std::string* keep) {
    const uint64_t bound =
        keep != nullptr ? ZYOSTREL_FIRMWARE_MAX_MANIFEST_SIZE : ZYOSTREL_FIRMWARE_MAX_IMAGE_SIZE;
    BundleEntry entry;
    CryptoPP::SHA256 digest;
    unsigned retries = 0;
    for (;;) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int result = archive_read_data_block(reader, &block, &size, &offset);
        if (result == ARCHIVE_EOF) break;
        if (result == ARCHIVE_RETRY && ++retries < kMostRetries) continue;
        // A warning here means the entry failed its own checks (a zip CRC or size): its bytes
        // are not the entry's. Data that skips ahead leaves a hole; both are corrupt.
        if (result != ARCHIVE_OK || offset < 0 || static_cast<uint64_t>(offset) != entry.size) {
            fail(ZYOSTREL_Status_CorruptFirmwareBundle, 0, "read " + path);
        }
        entry.size += size;
        if (entry.size > bound) {
            entry.tooLarge = true;
            return entry;
        }
        digest.Update(static_cast<const CryptoPP::byte*>(block), size);
        if (keep != nullptr) keep->append(static_cast<const char*>(block), size);
    }
    CryptoPP::byte sum[CryptoPP::SHA256::DIGESTSIZE];
    digest.Final(sum);
    entry.sha256 = hex(sum, sizeof sum);
    return entry;
}

}  // namespace

BundleContents readBundle(const std::vector<uint8_t>& bytes) {
    ArchivePtr reader(archive_read_new());
    if (!reader) throw std::bad_alloc();
    enableFormats(reader.get());
    if (bytes.empty() ||
        archive_read_open_memory(reader.get(), bytes.data(), bytes.size()) != ARCHIVE_OK) {
        fail(ZYOSTREL_Status_InvalidFirmwareBundle, 0, "open the bundle");
    }
    BundleContents contents;
    archive_entry* header = nullptr;
    int result = ARCHIVE_OK;
    unsigned retries = 0;
    for (;;) {
        result = archive_read_next_header(reader.get(), &header);
        // A warning still delivers the header; a failed or retried one is skipped.
        if ((result == ARCHIVE_RETRY || result == ARCHIVE_FAILED) && ++retries < kMostRetries) {
            continue;
        }
        if (result != ARCHIVE_OK && result != ARCHIVE_WARN) break;
        retries = 0;
        if (contents.format.empty()) {
            const char* format = archive_format_name(reader.get());
            contents.format = format != nullptr ? format : "";
        }
        const char* name = archive_entry_pathname(header);
        const std::string path = name != nullptr ? name : "";
        if (contents.entries.count(path) != 0) continue;  // the first entry of a path counts
        const bool isManifest = path == kManifestPath;
        BundleEntry& entry = contents.entries[path];
        // Sparse entries leave holes the reader fills in; the library refuses them.
        entry.sparse = archive_entry_sparse_count(header) > 0;
        if (!entry.sparse) {
            entry = readEntry(reader.get(), path, isManifest ? &contents.manifest : nullptr);
        }
        if (isManifest && (entry.tooLarge || entry.sparse)) {
            fail(ZYOSTREL_Status_InvalidFirmwareBundle, 0, "read manifest.json");
        }
    }
    if (result != ARCHIVE_EOF && contents.entries.empty()) {
        fail(ZYOSTREL_Status_InvalidFirmwareBundle, 0, "read the bundle");
    }
    if (contents.entries.count(kManifestPath) == 0) {
        fail(ZYOSTREL_Status_FileMissingInFirmwareBundle, 0, "find manifest.json");
    }
    return contents;
}

}  // namespace ostrel
