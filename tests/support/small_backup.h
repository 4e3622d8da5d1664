#pragma once

#include "records/card_backup_file.h"

namespace pellucard::testing {

// A GSM card's backup small enough to read in a test: one empty phone book record and one free
// SMS slot, with the record lengths a Phase 2+ card reports.
inline CardBackup SmallGsmBackup() {
    CardBackup backup;
    backup.iccid = "8988200000123456788";
    backup.phase = "Phase 2+";
    backup.phoneBookRecordLength = 28;
    backup.smsRecordLength = 176;
    backup.phoneBook = {Bytes(28, 0xFF)};
    backup.sms = {Bytes(176, 0x00)};
    return backup;
}

}  // namespace pellucard::testing
