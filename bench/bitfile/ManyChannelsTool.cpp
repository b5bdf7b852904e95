// Times the parse of a design with many DMA channels (120,000 by default, about 37 MB) and
// reports the parser's peak memory. The document is written to a scratch file and parsed
// from its path, without the bitstream, by a fresh process of this program, so that the peak
// resident size it reports is the parser's own and not the generator's.
//
//   zy_bitfile_channels [channels]                generate, then parse in a child process
//   zy_bitfile_channels --write FILE [channels]   only write the document to FILE
//   zy_bitfile_channels --parse FILE              parse FILE, print time and peak memory
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "BenchSupport.h"
#include "bitfile/Bitfile.h"
#include "bitfile/BitfileDocuments.h"
#include "status/Exception.h"

namespace {

rusage usageNow() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage;
}

double peakResidentMiB(const rusage& usage) {
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// User and system time together: on a loaded machine the wall time says little.
double processorSeconds(const rusage& usage) {
    auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

int parseFile(const char* path) {
    const rusage before = usageNow();
    const auto start = std::chrono::steady_clock::now();
    try {
        const zyrask::Bitfile bitfile(path, true, false);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const rusage after = usageNow();
        std::printf(
            "parsed %zu channels in %.3f s (%.3f s processor); peak resident %.1f MiB (%.1f MiB "
            "before)\n",
            bitfile.fifos().size(), seconds, processorSeconds(after) - processorSeconds(before),
            peakResidentMiB(after), peakResidentMiB(before));
    } catch (const zyerr::Exception& exception) {
        std::fprintf(stderr, "parse failed: %d\n", exception.code());
        return 1;
    }
    return 0;
}

std::string ownExecutable() {
    char path[4096];
    const ssize_t size = readlink("/proc/self/exe", path, sizeof path - 1);
    if (size <= 0) std::abort();
    return std::string(path, static_cast<std::size_t>(size));
}

void writeDocument(const std::string& path, uint32_t channels) {
    const std::string text = zytest::ManyChannels::parts(channels).text();
    std::ofstream(path, std::ios::binary) << text;
    std::printf("bitfile: %s, %.1f MiB, %u channels\n", path.c_str(),
                static_cast<double>(text.size()) / 1048576.0, channels);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--parse" && argc == 3) return parseFile(argv[2]);
    const bool writeOnly = mode == "--write" && (argc == 3 || argc == 4);
    const char* count =
        writeOnly ? (argc == 4 ? argv[3] : nullptr) : (argc == 2 ? argv[1] : nullptr);
    const unsigned long channels = count != nullptr ? std::strtoul(count, nullptr, 10) : 120000;
    if (channels == 0 || channels > 10000000 || (!writeOnly && argc > 2)) {
        std::fprintf(stderr,
                     "usage: %s [channels] | --write FILE [channels] | --parse FILE\n"
                     "       (channels from 1 to 10000000, 120000 by default)\n",
                     argv[0]);
        return 2;
    }
    if (writeOnly) {
        writeDocument(argv[2], static_cast<uint32_t>(channels));
        return 0;
    }
    zybench::ScratchDirectory scratch;
    const std::string path = scratch.file("many_channels.xml");
    writeDocument(path, static_cast<uint32_t>(channels));
    zybench::timeCommand("'" + ownExecutable() + "' --parse '" + path + "'");
    return 0;
}
