// Replays the saved fuzz corpus of the name grammar through the fuzz entry itself, which
// compares the scanner with the reference on every input the fuzzer ever kept.
#include "support/CorpusReplay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(NamesFuzzCorpus, EverySavedInputAgreesWithTheReference) {
    zytest::replayCorpus(ZY_NAMES_CORPUS_DIR, LLVMFuzzerTestOneInput, 20);
}

}  // namespace
