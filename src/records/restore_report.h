#pragma once

#include <QString>

#include "engine/card_backup.h"

namespace pellucard {

// How a restore that did not go through ended, file by file, in language `languageIndex`:
// which records were written, the one it ended at and why (the card's status word in plain
// words), and which were not written. One line per file the restore set out to write:
//   "SIM Card Phone Book: records 1 to 6 were written; record 7 was refused (status 65 81:
//    ...); records 8 to 250 were not written"
QString RestoreReport(const BackupRunResult& result, const RestorePlan& plan, int languageIndex);

}  // namespace pellucard
