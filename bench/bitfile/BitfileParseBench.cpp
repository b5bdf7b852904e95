// Parsing a large bitfile (tens of thousands of registers and a base64 bitstream) without and
// with its bitstream, against `xmllint --noout` on the same file.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "BenchSupport.h"
#include "bitfile/Bitfile.h"

namespace {

constexpr int kRegisters = 20000;
constexpr std::size_t kBitstreamBytes = 6 * 1024 * 1024;

std::string registerText(int index) {
    const char* types[] = {"<U32/>", "<Boolean/>", "<I16/>",
                           "<FXP><WordLength>20</WordLength><IntegerWordLength>4</"
                           "IntegerWordLength><Signed>true</Signed></FXP>",
                           "<Array><Size>8</Size><Type><DBL/></Type></Array>"};
    return "\t\t\t<Register>\n\t\t\t\t<Name>Control &amp; status " + std::to_string(index) +
           "</Name>\n\t\t\t\t<Offset>0x" + std::to_string(0x10000 + index * 4) +
           "</Offset>\n\t\t\t\t<Internal>false</Internal>\n\t\t\t\t<Indicator>" +
           (index % 2 != 0 ? "true" : "false") +
           "</Indicator>\n\t\t\t\t<AccessMayTimeout>false</AccessMayTimeout>\n\t\t\t\t<Datatype>" +
           types[index % 5] + "</Datatype>\n\t\t\t</Register>\n";
}

std::string base64Of(std::size_t bytes) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve(bytes / 3 * 4 + bytes / 57 + 8);
    uint32_t state = 0x12345678;
    for (std::size_t i = 0; i < bytes / 3; ++i) {
        state = state * 1664525u + 1013904223u;
        for (int k = 0; k < 4; ++k) text.push_back(kAlphabet[(state >> (6 * k)) & 63]);
        if (i % 19 == 18) text.push_back('\n');
    }
    return text;
}

std::string largeDocument() {
    std::string text =
        "<?xml version=\"1.0\" "
        "encoding=\"UTF-8\"?>\n<Bitfile>\n\t<BitfileVersion>4.0</BitfileVersion>\n"
        "\t<SignatureRegister>5A0C3F9B17E24D6880A1B2C3D4E5F601</SignatureRegister>\n"
        "\t<Project>\n\t\t<TargetClass>Ostrel-7976</TargetClass>\n"
        "\t\t<AutoRunWhenDownloaded>false</AutoRunWhenDownloaded>\n"
        "\t\t<CompilationResultsTree><CompilationResults><ZyFpga><DmaChannelAllocationList>\n";
    for (int i = 0; i < 16; ++i) {
        text +=
            "<Channel name=\"Stream " + std::to_string(i) + "\"><Number>" + std::to_string(i) +
            "</Number><NumberOfElements>8191</NumberOfElements><BaseAddressTag>Dma" +
            std::to_string(i) +
            "</BaseAddressTag><Implementation>zyFpgaTargetToHost</Implementation><DataType><I16/>"
            "</DataType><UserVisible>true</UserVisible></Channel>\n";
    }
    text += "</DmaChannelAllocationList><RegisterBlockList>\n";
    for (int i = 0; i < 16; ++i) {
        text += "<RegisterBlock name=\"Dma" + std::to_string(i) + "\"><Offset>" +
                std::to_string(0x1800 + i * 0x40) + "</Offset></RegisterBlock>\n";
    }
    text +=
        "</RegisterBlockList></ZyFpga></CompilationResults></CompilationResultsTree>\n\t</"
        "Project>\n"
        "\t<VI>\n\t\t<RegisterList>\n"
        "\t\t\t<Register><Name>ViSignature</Name><Offset>0x7FF0</Offset><Internal>true</Internal></"
        "Register>\n"
        "\t\t\t<Register><Name>ViControl</Name><Offset>0x7FF4</Offset><Internal>true</Internal></"
        "Register>\n";
    for (int i = 0; i < kRegisters; ++i) text += registerText(i);
    text +=
        "\t\t</RegisterList>\n\t\t<Icon><Image>AAAA</Image><Mask>AAAA</Mask><Colors>AAAA</Colors></"
        "Icon>\n"
        "\t</VI>\n\t<BitstreamVersion>3</BitstreamVersion>\n\t<BitstreamEncoding>base64</"
        "BitstreamEncoding>\n"
        "\t<Bitstream>";
    text += base64Of(kBitstreamBytes);
    text += "</Bitstream>\n</Bitfile>\n";
    return text;
}

zybench::ScratchDirectory scratch;
std::string documentPath;

long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Page faults per parse: a parse that keeps taking fresh memory shows here before its time
// does on an idle machine.
void countFaults(benchmark::State& state, long before) {
    state.counters["faults"] = benchmark::Counter(static_cast<double>(minorFaults() - before),
                                                  benchmark::Counter::kAvgIterations);
}

void BM_ParseWithoutBitstream(benchmark::State& state) {
    const long before = minorFaults();
    for (auto _ : state) {
        zyrask::Bitfile bitfile(documentPath, true, false);
        benchmark::DoNotOptimize(bitfile.registers().data());
    }
    countFaults(state, before);
}
BENCHMARK(BM_ParseWithoutBitstream)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ParseWithBitstream(benchmark::State& state) {
    const long before = minorFaults();
    for (auto _ : state) {
        zyrask::Bitfile bitfile(documentPath, true, true);
        benchmark::DoNotOptimize(bitfile.bitstream().data());
    }
    countFaults(state, before);
}
BENCHMARK(BM_ParseWithBitstream)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_XmllintNoout(benchmark::State& state) {
    const std::string command = "xmllint --noout '" + documentPath + "'";
    for (auto _ : state) state.SetIterationTime(zybench::timeCommand(command));
}
BENCHMARK(BM_XmllintNoout)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
    documentPath = scratch.file("large_bitfile.xml");
    const std::string text = largeDocument();
    std::ofstream(documentPath, std::ios::binary) << text;
    std::printf("bitfile: %s, %.1f MiB, %d registers, %.1f MiB bitstream\n", documentPath.c_str(),
                static_cast<double>(text.size()) / 1048576.0, kRegisters,
                static_cast<double>(kBitstreamBytes) / 1048576.0);

    benchmark::Initialize(&argc, argv);
    zybench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatio("BM_ParseWithoutBitstream/real_time", "BM_XmllintNoout/manual_time",
                        "target >= 6");
    reporter.printRatio("BM_ParseWithBitstream/real_time", "BM_XmllintNoout/manual_time",
                        "no target");
    benchmark::Shutdown();
    return 0;
}
