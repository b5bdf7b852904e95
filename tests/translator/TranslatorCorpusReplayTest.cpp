// Replays the saved fuzz corpora of the error description file parser and of translation.
#include <gtest/gtest.h>

#include "fuzz/translator/TranslatorFuzz.h"
#include "support/CorpusReplay.h"

namespace {

TEST(TranslatorFuzzCorpus, EveryErrorFileInputKeepsTheRules) {
    zytest::replayCorpus(ZY_ERRORFILE_CORPUS_DIR, &zyfuzz::exerciseErrorFile, 4);
}

TEST(TranslatorFuzzCorpus, EveryElaborationInputIsDescribed) {
    zytest::replayCorpus(ZY_TRANSLATE_CORPUS_DIR, &zyfuzz::exerciseTranslation, 5);
}

}  // namespace
