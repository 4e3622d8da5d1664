#pragma once

#include <QByteArray>
#include <QString>

#include "engine/card_backup.h"

namespace pellucard {

// The backup file: JSON, UTF-8.
//   {"format": "pellucard-card-backup", "version": 1,
//    "card": {"iccid", "phase",
//             "phonebook": {"record_count", "record_length"},
//             "sms": {"record_count", "record_length"}},
//    "phonebook": [{"record": n, "data": HEX, "name", "number"}, ...],
//    "sms": [{"record": n, "data": HEX, "status", "address", "text"}, ...],
//    "other_files": [{"file": "fdn"|"sdn"|"msisdn"|"lnd"|"smsp", "record_length", "cyclic",
//                     "records": [{"record": n, "data": HEX, "name", "number"}, ...]}, ...],
//    "usim_phonebooks": [{"place": "global"|"application",
//                         "files": [{"file": "4F30", "name": "EF PBR", "record_length",
//                                    "records": [{"record": n, "data": HEX}, ...]},
//                                   {"file": "4F23", "name": "EF CC", "data": HEX}, ...]}]}
// The other files (absent from older backups, which load as holding none) are those the card
// had; SMSP records show their "message_centre" instead of a name and number. The USIM phone
// books (absent from a GSM card's backup and from older ones) hold EF PBR first, then every file
// it lists that the card had, then EF PSC, EF CC and EF PUID: record files with their records,
// transparent files with their body as "data".
// "data" is the record as the card held it and is what a restore writes; the decoded fields
// beside it are for people and other programs and are not read back.

QByteArray SerializeCardBackup(const CardBackup& backup);

// Checks the whole document (format, version, every record present once, in order, of its
// file's length, in hex) before it gives anything; on failure `backup` stays as it was and
// `error` says what is wrong and where.
bool ParseCardBackup(const QByteArray& json, CardBackup& backup, QString& error);

}  // namespace pellucard
