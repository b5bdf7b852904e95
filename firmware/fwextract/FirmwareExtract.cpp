#include "firmware/fwextract/FirmwareExtract.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <new>

#include <crypto++/sha.h>
#include <boost/numeric/conversion/cast.hpp>

#include "platform/LargeBuffer.h"
#include "status/Exception.h"
#include "status/StatusCodes.h"
#include "status/TranslatorData.h"

namespace zyostrel::fwextract {
namespace {

constexpr int32_t kInvalidBundle = zyerr::codes::InvalidFirmwareBundle;
constexpr int32_t kCorruptBundle = zyerr::codes::CorruptFirmwareBundle;
constexpr const char* kManifestName = "manifest.json";

std::string hexOf(const uint8_t* digest, std::size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex(size * 2, '0');
    for (std::size_t i = 0; i < size; ++i) {
        hex[2 * i] = kDigits[digest[i] >> 4];
        hex[2 * i + 1] = kDigits[digest[i] & 0x0F];
    }
    return hex;
}

// A manifest number in the range of T: above -1 and below max + 1, the fraction discarded
// toward zero. Anything outside (or not a number at all) makes the bundle invalid rather
// than wrapping into a plausible value.
template <class T>
T rangedNumber(const cJSON& value) {
    const double number = json::numberOf(value);
    if (std::isnan(number)) ZYERR_THROW(kInvalidBundle);
    try {
        return boost::numeric_cast<T>(number);
    } catch (const boost::numeric::bad_numeric_cast&) {
        ZYERR_THROW(kInvalidBundle);
    }
}

#define ZY_BOARD(text)
#define ZY_IMAGE_TYPE(text) text,
const char* const kImageTypeNames[] = {
#include "firmware/fwextract/BundleNames.def"
};
#undef ZY_IMAGE_TYPE
#define ZY_IMAGE_TYPE(text)
#undef ZY_BOARD
#define ZY_BOARD(text) text,
const char* const kBoardNames[] = {
#include "firmware/fwextract/BundleNames.def"
};
#undef ZY_BOARD
#undef ZY_IMAGE_TYPE
static_assert(std::size(kImageTypeNames) ==
              static_cast<std::size_t>(FirmwareImageType::OamFpgaFlash) + 1);
static_assert(std::size(kBoardNames) == static_cast<std::size_t>(FirmwareBoard::Oam) + 1);

// The enumerator at the position of text in names. Unknown texts are not silently mapped: the
// entry is invalid.
template <class Enum, std::size_t N>
Enum enumeratorOf(const char* const (&names)[N], const std::string& text) {
    for (std::size_t i = 0; i < N; ++i) {
        if (text == names[i]) return static_cast<Enum>(i);
    }
    ZYERR_THROW(kInvalidBundle);
}

FirmwareImageType imageTypeOf(const std::string& text) {
    return enumeratorOf<FirmwareImageType>(kImageTypeNames, text);
}

FirmwareBoard boardOf(const std::string& text) {
    return enumeratorOf<FirmwareBoard>(kBoardNames, text);
}

// The "firmwares" member deviceKey; -304431 when either lookup fails.
const cJSON& deviceImages(const cJSON& manifest, const std::string& deviceKey) {
    if (!cJSON_IsObject(&manifest)) ZYERR_THROW(kInvalidBundle);
    const cJSON* firmwares = cJSON_GetObjectItem(&manifest, "firmwares");
    if (firmwares == nullptr || !cJSON_IsObject(firmwares)) ZYERR_THROW(kInvalidBundle);
    const cJSON* images = cJSON_GetObjectItem(firmwares, deviceKey.c_str());
    if (images == nullptr) ZYERR_THROW(kInvalidBundle);
    return *images;
}

// Small enough for the core's own cache: the digest then reads what the copy has just
// written, and every byte of a large image crosses the memory bus once on the way in.
constexpr std::size_t kDigestPiece = 64 * 1024;

void appendAndDigest(const uint8_t* block, std::size_t count, std::vector<uint8_t>& data,
                     CryptoPP::SHA256& hash) {
    while (count != 0) {
        const std::size_t piece = std::min(count, kDigestPiece);
        data.insert(data.end(), block, block + piece);
        hash.Update(data.data() + (data.size() - piece), piece);
        block += piece;
        count -= piece;
    }
}

// Deflate, the usual compression of bundle entries, expands its input at most 1032-fold.
constexpr uint64_t kMostExpansionRatio = 1100;
// Room reserved without regard to the archive's size.
constexpr uint64_t kLargestUnclaimedReserve = uint64_t{1} << 20;

// Throws code for the entry at path, naming the entry and the bound it passed, so that the
// failure says which file of the bundle was refused and why.
[[noreturn]] void refuseEntry(int32_t code, const std::string& path, uint64_t bound,
                              const zyerr::SourceLocation& location) {
    zyerr::Status status;
    zyerr::setCode(status, code, location);
    zyerr::rootCursor(status).addString("bundle_entry", path.c_str());
    zyerr::addUsageItem(zyerr::openTranslatorData(status, zyerr::kLibraryTranslator),
                        "kUsageTypeLimit", bound);
    zyerr::throwStatus(std::move(status));
}

// Reads the entry the reader stands on into data, digesting it into hash when one is given.
// Compression lets a few MiB of archive expand to gigabytes, so the entry may not grow beyond
// mostBytes nor beyond the size its header declares: a header declaring more than mostBytes is
// refused before any data is inflated, and reading stops at the first block past either
// bound. Storage for a declared size is taken at once, so the data ends in one allocation
// instead of the doubling copies of a growing vector.
void readBounded(ArchiveReader& reader, const std::string& path, std::size_t mostBytes,
                 std::size_t archiveBytes, std::vector<uint8_t>& data, CryptoPP::SHA256* hash) {
    uint64_t declared = 0;
    const bool sized = reader.declaredSize(declared);
    if (sized && declared > mostBytes) {
        refuseEntry(kInvalidBundle, path, mostBytes, ZYERR_LOCATION(kInvalidBundle));
    }
    // A header may claim far more than its data holds; room is taken up front only for what
    // the archive could expand to, so a few KiB of archive cannot claim a GiB of memory.
    if (sized) {
        const uint64_t plausible = std::max<uint64_t>(uint64_t{archiveBytes} * kMostExpansionRatio,
                                                      kLargestUnclaimedReserve);
        platform::reserveLarge(data, static_cast<std::size_t>(std::min(declared, plausible)));
    }
    const uint64_t limit = sized ? declared : mostBytes;
    reader.readData([&](const uint8_t* block, std::size_t count) {
        if (count > limit - data.size()) {
            if (sized) refuseEntry(kCorruptBundle, path, declared, ZYERR_LOCATION(kCorruptBundle));
            refuseEntry(kInvalidBundle, path, mostBytes, ZYERR_LOCATION(kInvalidBundle));
        }
        if (hash != nullptr) {
            appendAndDigest(block, count, data, *hash);
        } else {
            data.insert(data.end(), block, block + count);
        }
    });
}

}  // namespace

std::string sha256Hex(const uint8_t* bytes, std::size_t size) {
    CryptoPP::SHA256 hash;
    uint8_t digest[CryptoPP::SHA256::DIGESTSIZE];
    hash.CalculateDigest(digest, bytes, size);
    return hexOf(digest, sizeof digest);
}

std::string sha256Hex(const std::vector<uint8_t>& bytes) {
    return sha256Hex(bytes.data(), bytes.size());
}

FirmwareBundle::FirmwareBundle(const uint8_t* bytes, std::size_t size) {
    if (size == 0 || bytes == nullptr) ZYERR_THROW(kInvalidBundle);
    try {
        platform::reserveLarge(bytes_, size);
        bytes_.assign(bytes, bytes + size);
        freshReader();  // proves the bytes are a readable archive

        ArchiveReader& reader = freshReader();
        if (!reader.seekEntry(kManifestName)) {
            ZYERR_THROW(zyerr::codes::FileMissingInFirmwareBundle);
        }
        readBounded(reader, kManifestName, kMostManifestBytes, bytes_.size(), manifestText_,
                    nullptr);
    } catch (const std::bad_alloc&) {
        ZYERR_THROW(zyerr::codes::OutOfMemory);
    }
    manifest_ =
        json::parse(reinterpret_cast<const char*>(manifestText_.data()), manifestText_.size());
}

FirmwareBundle::~FirmwareBundle() = default;

ArchiveReader& FirmwareBundle::freshReader(bool checkEntryChecksums) {
    reader_.reset();
    reader_ = std::make_unique<ArchiveReader>(bytes_.data(), bytes_.size(), checkEntryChecksums);
    return *reader_;
}

uint32_t FirmwareBundle::getBundleVersion() const {
    return rangedNumber<uint32_t>(json::member(*manifest_, "version"));
}

std::vector<std::string> FirmwareBundle::listImageNames(const std::string& deviceKey) const {
    const cJSON& images = deviceImages(*manifest_, deviceKey);
    std::vector<std::string> names;
    if (!cJSON_IsArray(&images)) {
        // A value without children lists nothing; an object with members is not a list.
        if (images.child != nullptr) json::arraySize(images);
        return names;
    }
    for (const cJSON* entry = images.child; entry != nullptr; entry = entry->next) {
        names.push_back(json::stringOf(json::member(*entry, "name")));
    }
    return names;
}

const cJSON& FirmwareBundle::findImageEntry(const std::string& deviceKey,
                                            const std::string& name) const {
    const cJSON& images = deviceImages(*manifest_, deviceKey);
    json::arraySize(images);  // must be an array
    for (const cJSON* entry = images.child; entry != nullptr; entry = entry->next) {
        if (json::stringOf(json::member(*entry, "name")) == name) return *entry;
    }
    ZYERR_THROW(kInvalidBundle);
}

void FirmwareBundle::extractImage(const std::string& deviceKey, const std::string& name,
                                  std::vector<uint8_t>& data, uint32_t* version,
                                  FirmwareImageType* type, FirmwareBoard* board,
                                  std::string* identifier, bool* defaultload) {
    data.clear();
    const cJSON& entry = findImageEntry(deviceKey, name);
    const uint32_t imageVersion = rangedNumber<uint32_t>(json::member(entry, "version"));
    const std::string path = json::stringOf(json::member(entry, "path"));
    const std::string expectedDigest = json::stringOf(json::member(entry, "sha256sum"));
    const FirmwareImageType imageType = imageTypeOf(json::stringOf(json::member(entry, "type")));
    const FirmwareBoard imageBoard = boardOf(json::stringOf(json::member(entry, "board")));
    std::string imageIdentifier = json::stringOf(json::member(entry, "identifier"));
    const cJSON* autoload = json::optionalMember(entry, "defaultload");
    if (autoload != nullptr && cJSON_IsBool(autoload) && defaultload != nullptr) {
        *defaultload = cJSON_IsTrue(autoload);
    }

    // The image is verified by its SHA-256 below, so the archive's own CRC is not computed.
    ArchiveReader& reader = freshReader(false);
    if (!reader.seekEntry(path)) ZYERR_THROW(zyerr::codes::FileMissingInFirmwareBundle);
    CryptoPP::SHA256 hash;
    try {
        readBounded(reader, path, kMostImageBytes, bytes_.size(), data, &hash);
    } catch (const std::bad_alloc&) {
        std::vector<uint8_t>().swap(data);
        refuseEntry(zyerr::codes::OutOfMemory, path, kMostImageBytes,
                    ZYERR_LOCATION(zyerr::codes::OutOfMemory));
    } catch (...) {
        std::vector<uint8_t>().swap(data);
        throw;
    }
    uint8_t digest[CryptoPP::SHA256::DIGESTSIZE];
    hash.Final(digest);
    if (hexOf(digest, sizeof digest) != expectedDigest) {
        std::vector<uint8_t>().swap(data);
        ZYERR_THROW(kInvalidBundle);
    }

    if (version != nullptr) *version = imageVersion;
    if (type != nullptr) *type = imageType;
    if (board != nullptr) *board = imageBoard;
    if (identifier != nullptr) *identifier = std::move(imageIdentifier);
}

OamFlashInfo FirmwareBundle::getOamFlashInfo(const std::string& deviceKey,
                                             const std::string& name) const {
    const cJSON& entry = findImageEntry(deviceKey, name);
    if (imageTypeOf(json::stringOf(json::member(entry, "type"))) !=
        FirmwareImageType::OamFpgaFlash) {
        ZYERR_THROW(kInvalidBundle);
    }
    OamFlashInfo info;
    try {
        const cJSON& flash = json::member(entry, "oam_fpga_flash_info");
        info.fpgaIndex = rangedNumber<uint8_t>(json::member(flash, "fpga_index"));
        info.crcHigh = rangedNumber<uint32_t>(json::member(flash, "fpga_image_crc_high"));
        info.crcLow = rangedNumber<uint32_t>(json::member(flash, "fpga_image_crc_low"));
        info.revision = rangedNumber<uint32_t>(json::member(flash, "fpga_image_revision"));
    } catch (const zyerr::Exception&) {
        ZYERR_THROW(kInvalidBundle);
    }
    return info;
}

}  // namespace zyostrel::fwextract
