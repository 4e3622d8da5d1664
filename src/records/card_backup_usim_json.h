#pragma once

#include <QJsonArray>
#include <QJsonValue>
#include <QString>

#include <vector>

#include "engine/bytes.h"
#include "engine/usim_phonebook_backup.h"

// The USIM phone books of the backup file (see card_backup_file.h), for card_backup_file.cpp.

namespace pellucard {

QJsonArray UsimPhoneBooksToJson(const std::vector<BackupUsimPhoneBook>& books);

// Checks every phone book (a known place, once; EF PBR first; every file once, named by four hex
// digits, with records of its length or a body of 1 to 255 bytes); a missing value is a backup
// without USIM phone books. On failure `books` stays as it was.
bool UsimPhoneBooksFromJson(const QJsonValue& value, std::vector<BackupUsimPhoneBook>& books,
                            QString& error);

// A list of {"record": n, "data": HEX}, every record present once, in order, `length` bytes;
// `file` names the list in the error.
bool ParseBackupRecords(const QJsonValue& value, const char* file, int length,
                        std::vector<Bytes>& out, QString& error);

}  // namespace pellucard
