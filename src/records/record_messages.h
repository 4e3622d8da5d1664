#pragma once

#include <QString>

#include "catalogue/catalogue.h"

namespace pellucard {

// The catalogue's text of message `id`, or, for the record files' own messages (FileNotSaved,
// FileNotRead, FileTooLarge), the built-in English text while the catalogue lacks them.
QString RecordMessage(MessageId id, int languageIndex);

// Tells the user that the file at `path` could not be written or read (critical icon,
// OK): message `messageId`, the path and, on a line of its own, the system's reason.
void ShowFileError(MessageId messageId, const QString& path, const QString& reason,
                   int languageIndex);

}  // namespace pellucard
