// Replays the saved fuzz corpora of the error description file parser and of translation.
#include <gtest/gtest.h>

#include "fuzz/translator/TranslatorFuzz.h"
#include "support/StatusCorpusReplay.h"

namespace {

TEST(TranslatorFuzzCorpus, EveryErrorFileInputKeepsTheRules) {
    EXPECT_GE(zytest::replayCorpus(ZY_ERRORFILE_CORPUS_DIR, &zyfuzz::exerciseErrorFile), 4u);
}

TEST(TranslatorFuzzCorpus, EveryElaborationInputIsDescribed) {
    EXPECT_GE(zytest::replayCorpus(ZY_TRANSLATE_CORPUS_DIR, &zyfuzz::exerciseTranslation), 5u);
}

}  // namespace
