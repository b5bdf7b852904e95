// Replays the bundle fuzz corpora: every saved archive and manifest must still be read or
// fail with a status.
#include "BundleFuzzTarget.h"
#include "support/CorpusReplay.h"

namespace {

TEST(BundleCorpus, EveryArchiveAndManifestIsReadOrFailsWithAStatus) {
    zytest::replayCorpus(ZY_BUNDLE_ARCHIVE_CORPUS, zyfuzz::readBundleArchive);
    zytest::replayCorpus(ZY_BUNDLE_MANIFEST_CORPUS, zyfuzz::readBundleManifest);
}

}  // namespace
