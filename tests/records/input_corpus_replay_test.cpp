// Replays the seeds of the fuzz corpora of the user's record files, text files and pasted text.
#include <gtest/gtest.h>

#include "../../fuzz/record_input_checks.h"
#include "support/corpus_replay.h"

namespace pellucard {
namespace {

TEST(InputCorpusReplayTest, RecordFile) {
    ReplayCorpus("record_file", fuzz::CheckRecordFile);
}
TEST(InputCorpusReplayTest, TextImport) {
    ReplayCorpus("text_import", fuzz::CheckTextImport);
}
TEST(InputCorpusReplayTest, PasteFields) {
    ReplayCorpus("paste_fields", fuzz::CheckPasteFields);
}

}  // namespace
}  // namespace pellucard
