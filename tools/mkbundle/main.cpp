// zy-mkbundle: builds a firmware bundle from a manifest and image files.
//
//   zy-mkbundle [--format zip|zip-stored|tar] [--fill-digests] -o bundle manifest.json
//               [archive-path=local-file | local-file]...
//
// The manifest is stored as "manifest.json"; each file is stored under the archive path given
// before '=' (or under its own name). --fill-digests writes each image's "sha256sum" from the
// file stored at its "path".
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BundleWriter.h"

namespace {

using namespace zyostrel::bundletool;

std::vector<uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw BundleError("cannot read " + path);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

int usage() {
    std::fprintf(stderr,
                 "usage: zy-mkbundle [--format zip|zip-stored|tar] [--fill-digests] -o bundle "
                 "manifest.json [archive-path=file | file]...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    BundleFormat format = BundleFormat::ZipDeflated;
    bool fill = false;
    std::string output;
    std::vector<std::string> operands;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--format" && i + 1 < argc) {
            const std::string name = argv[++i];
            if (name == "zip") {
                format = BundleFormat::ZipDeflated;
            } else if (name == "zip-stored") {
                format = BundleFormat::ZipStored;
            } else if (name == "tar") {
                format = BundleFormat::Tar;
            } else {
                return usage();
            }
        } else if (argument == "--fill-digests") {
            fill = true;
        } else if (argument == "-o" && i + 1 < argc) {
            output = argv[++i];
        } else {
            operands.push_back(argument);
        }
    }
    if (output.empty() || operands.empty()) return usage();
    try {
        std::vector<BundleFile> images;
        for (std::size_t i = 1; i < operands.size(); ++i) {
            const std::size_t equals = operands[i].find('=');
            const std::string local =
                equals == std::string::npos ? operands[i] : operands[i].substr(equals + 1);
            std::string inside =
                equals == std::string::npos ? local : operands[i].substr(0, equals);
            if (equals == std::string::npos) {
                const std::size_t slash = inside.rfind('/');
                if (slash != std::string::npos) inside.erase(0, slash + 1);
            }
            images.push_back({inside, readFile(local)});
        }
        const std::vector<uint8_t> manifestBytes = readFile(operands[0]);
        std::string manifest(manifestBytes.begin(), manifestBytes.end());
        if (fill) manifest = fillDigests(manifest, images);

        std::vector<BundleFile> files;
        files.push_back({"manifest.json", std::vector<uint8_t>(manifest.begin(), manifest.end())});
        files.insert(files.end(), images.begin(), images.end());
        const std::vector<uint8_t> bundle = writeBundle(format, files);
        std::ofstream out(output, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bundle.data()),
                  static_cast<std::streamsize>(bundle.size()));
        out.close();  // a failure to write the last buffered bytes shows only at the close
        if (!out) throw BundleError("cannot write " + output);
    } catch (const BundleError& error) {
        std::fprintf(stderr, "zy-mkbundle: %s\n", error.what());
        return 1;
    }
    return 0;
}
