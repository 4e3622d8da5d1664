#pragma once

#include <QString>

#include <vector>

#include "engine/card_backup.h"

namespace pellucard {

// How the PIN2 step before the fixed dialling numbers are written ended (a restore, a copy,
// the phone book window): they are written only once PIN2 was verified.
struct Pin2Step {
    enum class Ending {
        NotAsked,   // the fixed dialling numbers were not to be written
        Verified,   // PIN2 verified: they may be written
        Cancelled,  // the user closed the PIN2 dialog without a code
        Wrong,      // a wrong PIN2: `attemptsLeft` attempts are left
        Blocked,    // PIN2 has no attempts left
        Unread,     // PIN2's attempts left could not be read
    };
    Ending ending = Ending::NotAsked;
    int attemptsLeft = 0;
    bool asked = false;  // the PIN2 dialog was shown
};

// The title of one of the other files in language `languageIndex` ("Own numbers").
QString OtherFileTitle(CardRecordFile file, int languageIndex);

// One line per file of the restore beside the phone book and the SMS store: written,
// unchanged, skipped (and why: PIN2 not entered, wrong or blocked) or refused with the card's
// status word. Empty when the restore wrote none of them.
QString OtherFilesReport(const std::vector<OtherFileRestore>& files, const Pin2Step& pin2,
                         int languageIndex);
// One line per USIM phone book of the restore, in the same words: written, unchanged, not
// written (and why) or where it ended. Empty when the backup held none.
QString UsimPhoneBooksReport(const std::vector<UsimPhoneBookRestore>& books, int languageIndex);

}  // namespace pellucard
