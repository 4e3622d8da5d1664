#pragma once

#include <QString>

namespace pellucard {

// Messages of the record files beyond the original catalogue. Until the catalogue holds
// their translations they are shown in English.
inline constexpr int kFileNotSavedMessage = 30000;
inline constexpr int kFileNotReadMessage = 30100;
inline constexpr int kFileTooLargeMessage = 30200;

// The catalogue's text of message `id`, or the built-in English text of the messages
// above while the catalogue lacks them.
QString RecordMessage(int id, int languageIndex);

}  // namespace pellucard
