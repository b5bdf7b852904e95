// Replays the saved fuzz corpus of the elaboration reader and writer.
#include <gtest/gtest.h>

#include "fuzz/elaboration/ElaborationFuzz.h"
#include "support/CorpusReplay.h"

namespace {

TEST(ElaborationFuzzCorpus, EverySavedInputKeepsTheInvariants) {
    zytest::replayCorpus(ZY_ELABORATION_CORPUS_DIR, &zyfuzz::exerciseElaboration, 8);
}

}  // namespace
