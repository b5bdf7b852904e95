// Replays the bitfile fuzz corpus: every input that was ever saved must still parse or fail
// with a status.
#include "BitfileFuzzTarget.h"
#include "support/CorpusReplay.h"

namespace {

TEST(BitfileCorpus, EveryInputParsesOrFailsWithAStatus) {
    zytest::replayCorpus(ZY_BITFILE_CORPUS, zyfuzz::parseBitfileInput);
}

}  // namespace
