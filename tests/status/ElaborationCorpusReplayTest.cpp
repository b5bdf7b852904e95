// Replays the saved fuzz corpus of the elaboration reader and writer.
#include <gtest/gtest.h>

#include "fuzz/elaboration/ElaborationFuzz.h"
#include "support/StatusCorpusReplay.h"

namespace {

TEST(ElaborationFuzzCorpus, EverySavedInputKeepsTheInvariants) {
    EXPECT_GE(zytest::replayCorpus(ZY_ELABORATION_CORPUS_DIR, &zyfuzz::exerciseElaboration), 8u);
}

}  // namespace
