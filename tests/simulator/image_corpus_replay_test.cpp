// Replays the seeds of the fuzz corpus of card images.
#include <gtest/gtest.h>

#include "../../fuzz/card_image_checks.h"
#include "support/corpus_replay.h"

namespace pellucard {
namespace {

TEST(ImageCorpusReplayTest, CardImage) {
    ReplayCorpus("card_image", fuzz::CheckCardImage);
}

}  // namespace
}  // namespace pellucard
