// Writes firmware bundle archives in memory: a manifest and image files as zip (stored or
// deflated) or tar, in the order given. Used by the tests, the benchmarks and zy-mkbundle.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace zyostrel::bundletool {

enum class BundleFormat {
    ZipStored,
    ZipDeflated,
    Tar,
    TarGzip,  // a tar stream wrapped in gzip, which is not a valid bundle
};

struct BundleFile {
    std::string path;  // pathname inside the archive, used exactly as given
    std::vector<uint8_t> bytes;
};

class BundleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The archive bytes; throws BundleError when the archive library refuses an entry.
std::vector<uint8_t> writeBundle(BundleFormat format, const std::vector<BundleFile>& files);

// SHA-256 of bytes as 64 lower-case hexadecimal digits, as a manifest's "sha256sum".
std::string sha256Of(const std::vector<uint8_t>& bytes);

// Replaces every image entry's "sha256sum" in manifest text by the digest of the file at
// its "path" among files (entries whose file is absent are left alone). Throws BundleError
// when the text is not a manifest.
std::string fillDigests(const std::string& manifest, const std::vector<BundleFile>& files);

}  // namespace zyostrel::bundletool
