// Replays the seeds of the fuzz corpora of the user's record files, text files, pasted text,
// vCard files and card backups.
#include <gtest/gtest.h>

#include "../../fuzz/exchange_checks.h"
#include "../../fuzz/record_input_checks.h"
#include "support/corpus_replay.h"

namespace pellucard {
namespace {

// A failing seed is named by its file, so one test serves every corpus.
TEST(InputCorpusReplayTest, EveryInputCorpus) {
    ReplayCorpus("record_file", fuzz::CheckRecordFile);
    ReplayCorpus("text_import", fuzz::CheckTextImport);
    ReplayCorpus("paste_fields", fuzz::CheckPasteFields);
    ReplayCorpus("vcard_import", fuzz::CheckVCardImport);
    ReplayCorpus("card_backup", fuzz::CheckCardBackup);
}

}  // namespace
}  // namespace pellucard
