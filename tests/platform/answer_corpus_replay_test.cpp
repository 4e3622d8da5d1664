// Replays the seeds of the fuzz corpora of what a smart-card reader answers and of the reader
// emulator's socket transport.
#include <gtest/gtest.h>

#include "../../fuzz/card_answer_checks.h"
#include "../../fuzz/socket_bus_checks.h"
#include "support/corpus_replay.h"

namespace pellucard {
namespace {

TEST(AnswerCorpusReplayTest, EveryAnswerCorpus) {
    ReplayCorpus("fcp_template", fuzz::CheckFcpTemplate);
    ReplayCorpus("t0_exchange", fuzz::CheckT0Exchange);
    ReplayCorpus("pcsc_answers", fuzz::CheckPcscAnswers);
    ReplayCorpus("socket_bus", fuzz::CheckSocketBus);
}

}  // namespace
}  // namespace pellucard
