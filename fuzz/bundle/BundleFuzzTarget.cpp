#include "BundleFuzzTarget.h"

#include <cjson/cJSON.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "BundleWriter.h"
#include "firmware/fwextract/FirmwareExtract.h"
#include "status/Exception.h"

namespace zyfuzz {
namespace {

using zyostrel::fwextract::FirmwareBundle;

void require(bool condition) {
    if (!condition) std::abort();
}

// Runs body; a thrown status must carry an error code.
template <class Body>
void expectStatusOnly(Body&& body) {
    try {
        body();
    } catch (const zyerr::Exception& exception) {
        require(exception.code() < 0);
    }
}

// The device keys of the manifest, read independently of the reader.
std::vector<std::string> deviceKeys(const std::vector<uint8_t>& manifest) {
    std::vector<std::string> keys;
    cJSON* root =
        cJSON_ParseWithLength(reinterpret_cast<const char*>(manifest.data()), manifest.size());
    const cJSON* firmwares = cJSON_GetObjectItem(root, "firmwares");
    if (cJSON_IsObject(firmwares)) {
        for (const cJSON* device = firmwares->child; device != nullptr && keys.size() < 8;
             device = device->next) {
            if (device->string != nullptr) keys.emplace_back(device->string);
        }
    }
    cJSON_Delete(root);
    keys.emplace_back("absent device");
    return keys;
}

void queryEverything(FirmwareBundle& bundle) {
    expectStatusOnly([&] { (void)bundle.getBundleVersion(); });
    for (const std::string& key : deviceKeys(bundle.manifestText())) {
        std::vector<std::string> names;
        expectStatusOnly([&] { names = bundle.listImageNames(key); });
        names.emplace_back("absent image");
        if (names.size() > 8) names.resize(8);
        for (const std::string& name : names) {
            std::vector<uint8_t> data{1, 2, 3};
            uint32_t version = 0xDEADBEEF;
            zyostrel::fwextract::FirmwareImageType type{};
            zyostrel::fwextract::FirmwareBoard board{};
            std::string identifier = "unchanged";
            bool defaultload = false;
            try {
                bundle.extractImage(key, name, data, &version, &type, &board, &identifier,
                                    &defaultload);
                require(static_cast<uint32_t>(type) <= 4 && static_cast<uint32_t>(board) <= 1);
            } catch (const zyerr::Exception& exception) {
                require(exception.code() < 0);
                require(data.empty() && version == 0xDEADBEEF && identifier == "unchanged");
            }
            expectStatusOnly([&] { (void)bundle.getOamFlashInfo(key, name); });
        }
    }
}

}  // namespace

int readBundleArchive(const uint8_t* data, std::size_t size) {
    expectStatusOnly([&] {
        FirmwareBundle bundle(data, size);
        queryEverything(bundle);
    });
    return 0;
}

int readBundleManifest(const uint8_t* data, std::size_t size) {
    using zyostrel::bundletool::BundleFile;
    static const std::vector<uint8_t> image(64, 0x5A);
    const std::vector<BundleFile> files = {
        {"manifest.json", std::vector<uint8_t>(data, data + size)},
        {"fpga.bit", image},
        {"cpld.jed", {}},
        {"oam/flash.bin", std::vector<uint8_t>(image.begin(), image.begin() + 7)},
    };
    const std::vector<uint8_t> archive =
        zyostrel::bundletool::writeBundle(zyostrel::bundletool::BundleFormat::Tar, files);
    expectStatusOnly([&] {
        FirmwareBundle bundle(archive.data(), archive.size());
        queryEverything(bundle);
    });
    return 0;
}

}  // namespace zyfuzz
