// Replays the seeds of the fuzz corpora of the user's record files, text files, pasted text,
// vCard files and card backups.
#include <gtest/gtest.h>

#include "../../fuzz/exchange_checks.h"
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
TEST(InputCorpusReplayTest, VCardImport) {
    ReplayCorpus("vcard_import", fuzz::CheckVCardImport);
}
TEST(InputCorpusReplayTest, CardBackup) {
    ReplayCorpus("card_backup", fuzz::CheckCardBackup);
}

}  // namespace
}  // namespace pellucard
