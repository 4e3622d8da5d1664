#pragma once

#include <QString>

namespace pellucard {

// Messages of the record files: load and save failures, and files too large to load.
inline constexpr int kFileNotSavedMessage = 30000;
inline constexpr int kFileNotReadMessage = 30100;
inline constexpr int kFileTooLargeMessage = 30200;

// The catalogue's text of message `id`, or the built-in English text of the messages
// above while the catalogue lacks them.
QString RecordMessage(int id, int languageIndex);

// Tells the user that the file at `path` could not be written or read (critical icon,
// OK): message `messageId`, the path and, on a line of its own, the system's reason.
void ShowFileError(int messageId, const QString& path, const QString& reason, int languageIndex);

}  // namespace pellucard
