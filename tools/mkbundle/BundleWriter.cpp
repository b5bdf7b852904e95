#include "BundleWriter.h"

#include <archive.h>
#include <archive_entry.h>
#include <cjson/cJSON.h>

#include <cstdio>
#include <memory>

#include <crypto++/sha.h>

namespace zyostrel::bundletool {
namespace {

struct ArchiveDeleter {
    void operator()(archive* writer) const { archive_write_free(writer); }
};
struct EntryDeleter {
    void operator()(archive_entry* entry) const { archive_entry_free(entry); }
};
struct JsonDeleter {
    void operator()(cJSON* tree) const { cJSON_Delete(tree); }
};

void check(archive* writer, int result, const char* step) {
    if (result < ARCHIVE_WARN) {
        const char* message = archive_error_string(writer);
        throw BundleError(std::string(step) + ": " + (message != nullptr ? message : "failed"));
    }
}

void chooseFormat(archive* writer, BundleFormat format) {
    switch (format) {
        case BundleFormat::ZipStored:
            check(writer, archive_write_set_format_zip(writer), "zip format");
            check(writer, archive_write_set_options(writer, "zip:compression=store"), "store");
            break;
        case BundleFormat::ZipDeflated:
            check(writer, archive_write_set_format_zip(writer), "zip format");
            check(writer, archive_write_set_options(writer, "zip:compression=deflate"), "deflate");
            break;
        case BundleFormat::Tar:
            check(writer, archive_write_set_format_pax_restricted(writer), "tar format");
            break;
        case BundleFormat::TarGzip:
            check(writer, archive_write_set_format_pax_restricted(writer), "tar format");
            check(writer, archive_write_add_filter_gzip(writer), "gzip filter");
            break;
    }
}

// Appends whatever the writer produces: header sizes depend on the format and on the
// lengths of the names, so the output grows as it goes rather than being sized beforehand.
la_ssize_t appendOutput(archive*, void* clientData, const void* buffer, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(clientData);
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    out->insert(out->end(), bytes, bytes + length);
    return static_cast<la_ssize_t>(length);
}

}  // namespace

std::vector<uint8_t> writeBundle(BundleFormat format, const std::vector<BundleFile>& files) {
    std::size_t total = 4096;
    for (const BundleFile& file : files) total += file.bytes.size() + file.path.size() + 1024;
    std::vector<uint8_t> out;
    out.reserve(total);

    std::unique_ptr<archive, ArchiveDeleter> writer(archive_write_new());
    if (!writer) throw BundleError("cannot create an archive writer");
    chooseFormat(writer.get(), format);
    // No padding of the last block: the archive ends where its data ends.
    archive_write_set_bytes_in_last_block(writer.get(), 1);
    check(writer.get(), archive_write_open(writer.get(), &out, nullptr, appendOutput, nullptr),
          "open");
    for (const BundleFile& file : files) {
        std::unique_ptr<archive_entry, EntryDeleter> entry(archive_entry_new());
        archive_entry_set_pathname(entry.get(), file.path.c_str());
        archive_entry_set_size(entry.get(), static_cast<la_int64_t>(file.bytes.size()));
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_perm(entry.get(), 0644);
        archive_entry_set_mtime(entry.get(), 1700000000, 0);
        check(writer.get(), archive_write_header(writer.get(), entry.get()), file.path.c_str());
        if (!file.bytes.empty()) {
            const la_ssize_t written =
                archive_write_data(writer.get(), file.bytes.data(), file.bytes.size());
            if (written < 0 || static_cast<std::size_t>(written) != file.bytes.size()) {
                check(writer.get(), ARCHIVE_FATAL, file.path.c_str());
            }
        }
    }
    check(writer.get(), archive_write_close(writer.get()), "close");
    return out;
}

std::string sha256Of(const std::vector<uint8_t>& bytes) {
    uint8_t digest[CryptoPP::SHA256::DIGESTSIZE];
    CryptoPP::SHA256().CalculateDigest(digest, bytes.data(), bytes.size());
    std::string hex;
    char pair[3];
    for (uint8_t byte : digest) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        hex += pair;
    }
    return hex;
}

std::string fillDigests(const std::string& manifest, const std::vector<BundleFile>& files) {
    std::unique_ptr<cJSON, JsonDeleter> root(
        cJSON_ParseWithLength(manifest.data(), manifest.size()));
    if (!root) throw BundleError("the manifest is not JSON");
    cJSON* firmwares = cJSON_GetObjectItem(root.get(), "firmwares");
    if (!cJSON_IsObject(firmwares)) throw BundleError("the manifest has no \"firmwares\" object");
    for (cJSON* device = firmwares->child; device != nullptr; device = device->next) {
        if (!cJSON_IsArray(device)) continue;
        for (cJSON* image = device->child; image != nullptr; image = image->next) {
            const cJSON* path = cJSON_GetObjectItem(image, "path");
            if (!cJSON_IsString(path)) continue;
            for (const BundleFile& file : files) {
                if (file.path != path->valuestring) continue;
                const std::string digest = sha256Of(file.bytes);
                cJSON_DeleteItemFromObject(image, "sha256sum");
                cJSON_AddStringToObject(image, "sha256sum", digest.c_str());
                break;
            }
        }
    }
    std::unique_ptr<char, decltype(&cJSON_free)> printed(cJSON_Print(root.get()), &cJSON_free);
    if (!printed) throw BundleError("cannot print the manifest");
    return printed.get();
}

}  // namespace zyostrel::bundletool
