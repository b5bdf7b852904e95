// A full firmware update of a 64 MiB bundle (a golden and a default bitfile of 24 MiB each and
// a 16 MiB adapter image) on the emulated instrument with flash timing off, against the bare
// extraction and digest of the same images from the same bundle. Also prints how many passes
// over the archive one update makes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "BundleWriter.h"
#include "firmware/fwextract/FirmwareExtract.h"
#include "zyemu/control.h"
#include "zyostrelapi.h"

namespace {

using zyostrel::bundletool::BundleFile;
using zyostrel::fwextract::FirmwareBundle;

constexpr std::size_t kBitfileBytes = std::size_t{24} << 20;
constexpr std::size_t kAdapterBytes = std::size_t{16} << 20;
constexpr const char* kDevice = "ostrel-7976";
const char* const kImages[] = {"golden_image", "default_bitfile", "oam0"};

std::vector<uint8_t> bundleBytes;

uint64_t nextRandom(uint64_t& state) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

// The sample bitfile with its own signature and a bitstream that brings it to about size bytes.
std::vector<uint8_t> bitfileOf(char mark, std::size_t size) {
    std::ifstream in(ZY_SAMPLE_BITFILE);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    text.replace(text.find("5A0C3F9B17E24D6880A1B2C3D4E5F601"), 32, std::string(32, mark));
    static const char kBase64[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string stream(size - size % 4, 'A');
    uint64_t state = static_cast<uint64_t>(mark) * 0x9E3779B97F4A7C15ull;
    for (char& c : stream) c = kBase64[nextRandom(state) % 64];
    const std::size_t open = text.find("<Bitstream>") + 11;
    text.replace(open, text.find("</Bitstream>") - open, stream);
    return std::vector<uint8_t>(text.begin(), text.end());
}

void prepare() {
    std::vector<uint8_t> adapter(kAdapterBytes);
    uint64_t state = 42;
    for (uint8_t& byte : adapter) byte = static_cast<uint8_t>(nextRandom(state));
    adapter[0] = 9;  // the revision the emulated adapter FPGA reports
    adapter[1] = adapter[2] = adapter[3] = 0;
    const std::vector<BundleFile> files = {{"golden.bit", bitfileOf('G', kBitfileBytes)},
                                           {"default.bit", bitfileOf('D', kBitfileBytes)},
                                           {"oam0.bin", adapter}};
    const std::string manifest = std::string(
        "{\"version\":5,\"firmwares\":{\"ostrel-7976\":["
        "{\"name\":\"golden_image\",\"version\":1,\"path\":\"golden.bit\",\"sha256sum\":\"\","
        "\"type\":\"bitfile\",\"board\":\"base\",\"identifier\":\"golden_image\"},"
        "{\"name\":\"default_bitfile\",\"version\":1,\"path\":\"default.bit\",\"sha256sum\":\"\","
        "\"type\":\"bitfile\",\"board\":\"base\",\"identifier\":\"default_bitfile\"},"
        "{\"name\":\"oam0\",\"version\":1,\"path\":\"oam0.bin\",\"sha256sum\":\"\","
        "\"type\":\"oamFpgaFlash\",\"board\":\"oam\",\"identifier\":\"oam0\","
        "\"oam_fpga_flash_info\":{\"fpga_index\":0,\"fpga_image_crc_high\":0,"
        "\"fpga_image_crc_low\":0,\"fpga_image_revision\":9}}]}}");
    const std::string filled = zyostrel::bundletool::fillDigests(manifest, files);
    std::vector<BundleFile> all = {{"manifest.json", {filled.begin(), filled.end()}}};
    all.insert(all.end(), files.begin(), files.end());
    bundleBytes =
        zyostrel::bundletool::writeBundle(zyostrel::bundletool::BundleFormat::ZipStored, all);
}

// Each iteration starts from a device in its factory state, so that every image is written.
void BM_FullUpdate(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        zyemu_reset();
        state.ResumeTiming();
        const int32_t status = zyOstrel_UpdateFirmware(ZYEMU_RESOURCE_DEFAULT, kDevice,
                                                       bundleBytes.size(), bundleBytes.data(), 0);
        uint32_t percent = 0;
        uint8_t inProgress = 0;
        uint8_t failed = 0;
        zyOstrel_GetFirmwareUpdateProgress(ZYEMU_RESOURCE_DEFAULT, &percent, &inProgress, &failed);
        if (status != 0) state.SkipWithError("the update failed");
    }
}
BENCHMARK(BM_FullUpdate)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// Opening the bundle and extracting and digesting each image once: the reading an update
// cannot avoid.
void BM_ExtractAndDigestImages(benchmark::State& state) {
    for (auto _ : state) {
        FirmwareBundle bundle(bundleBytes.data(), bundleBytes.size());
        for (const char* name : kImages) {
            std::vector<uint8_t> data;
            bundle.extractImage(kDevice, name, data);
            benchmark::DoNotOptimize(data.data());
        }
    }
}
BENCHMARK(BM_ExtractAndDigestImages)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
    prepare();
    std::printf("bundle: %.1f MiB stored zip, %zu images\n",
                static_cast<double>(bundleBytes.size()) / 1048576.0, std::size(kImages));
    zyemu_reset();
    const uint64_t before = zyostrel::fwextract::ArchiveReader::readersMade();
    const int32_t status = zyOstrel_UpdateFirmware(ZYEMU_RESOURCE_DEFAULT, kDevice,
                                                   bundleBytes.size(), bundleBytes.data(), 0);
    uint32_t percent = 0;
    uint8_t flag = 0;
    zyOstrel_GetFirmwareUpdateProgress(ZYEMU_RESOURCE_DEFAULT, &percent, &flag, &flag);
    std::printf(
        "one update: status %d, %llu archive readers (one opens the archive, each other "
        "is a pass)\n",
        static_cast<int>(status),
        static_cast<unsigned long long>(zyostrel::fwextract::ArchiveReader::readersMade() -
                                        before));
    benchmark::Initialize(&argc, argv);
    zybench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("BM_FullUpdate/min_time:3.000/real_time",
                        "BM_ExtractAndDigestImages/min_time:3.000/real_time", "no target");
    benchmark::Shutdown();
    return 0;
}
