#pragma once

#include <QString>

#include "windows/usim_transfer_runs.h"

namespace pellucard {

// The USIM phone book's bookkeeping around a write of the phone book window whose run of the
// ADN records did not simply start from a read and end whole.

// Before a write onto a card whose USIM phone book this window has not read: reads it into
// `book` (what each slot holds, the names the card offers), leaving the list alone, so that
// writeUsimFields knows the entries as they were and marks, counts and numbers those the ADN
// run changes. A card without one is no failure. False when the reading ended early: the
// status label says why and that nothing was written.
bool readUsimBookBeforeWrite(TransferRun& run, UsimCardBook& book);

// After a run of the ADN records that a stop or a refusal ended part way (run.writeEnding):
// writes the USIM fields and the bookkeeping of the slots it wrote (run.writtenSlots), as no
// later run could tell that they changed. The stop that ended the ADN run does not end this.
// The status label keeps `ending`, the ADN run's own ending, followed by what the card did not
// take of the USIM part. After a failed link nothing more is sent.
void writeUsimFieldsOfPartialRun(TransferRun& run, const RecordList& list, UsimCardBook& book,
                                 const QString& ending);

}  // namespace pellucard
