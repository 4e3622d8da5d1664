#pragma once

#include <string>
#include <vector>

#include "engine/card_backup.h"

namespace pellucard {

class Pellucard;

// Copying the card in the reader onto another card with one reader: a whole-card backup of
// this card, the other card put in its place, the backup written onto it, every record read
// back. Nothing is ever written before the card in the reader is known to be another one (or
// the user said to go on with the same one), and the card's identity is read once more right
// before the first write.

// A record of this card that the other card takes otherwise than whole.
struct CopyRecordNote {
    CardRecordRef where;
    std::string name;       // phone book: the name; SMS: the sender or recipient
    std::string number;     // phone book: the number
    std::string shortened;  // a cut name: what the other card will hold
};

// What of this card does not fit onto the other.
struct CopyFit {
    // Records in use that the other card has no room for (its files hold fewer records, or its
    // SMS records are of another length).
    std::vector<CopyRecordNote> leftOut;
    // Phone book names longer than the other card's names can be: they are cut.
    std::vector<CopyRecordNote> shortened;
    int nameLength = 0;  // bytes of a name on the other card

    bool Whole() const { return leftOut.empty() && shortened.empty(); }
};

// What a restore by `plan` would leave out or cut of `backup`.
CopyFit JudgeCopyFit(const CardBackup& backup, const RestorePlan& plan);

enum class CopyStage { ReadingSource, WritingTarget };

// What the copy asks of the window or terminal that shows it. Each question's false ends the
// copy with nothing written.
class CardCopyFrontEnd {
public:
    virtual ~CardCopyFrontEnd() = default;
    // After each record; false stops the copy after it.
    virtual bool Progress(CopyStage stage, int done, int total) = 0;
    // The card in the reader may be read (PIN1 asked for when it closes the card).
    virtual bool OpenCard() = 0;
    // Asks the user to take this card out and put in the other one; true once a card is in
    // the reader and answers.
    virtual bool ChangeCards(const CardBackup& source) = 0;
    // The card in the reader is the card that was read: write its records back onto it?
    virtual bool GoOnWithSameCard(const std::string& iccid) = 0;
    // The other card cannot take everything: copy the rest?
    virtual bool GoOnWithout(const CopyFit& fit, const RestorePlan& plan) = 0;
    // Right before the writing: the other files are written too (plan.restoreOtherFiles); a
    // front end that can verify PIN2 sets plan.pin2Verified for the fixed dialling numbers.
    virtual void BeforeWriting(const CardBackup& /*source*/, RestorePlan& plan) {
        plan.restoreOtherFiles = true;
    }
};

enum class CopyOutcome {
    Done,          // every record written and read back as written
    Cancelled,     // the user ended it (or the card stayed closed); nothing was written
    SourceUnread,  // this card could not be read whole (`run` says where); nothing written
    TargetUnread,  // the other card's identity or file sizes could not be read; nothing written
    CardChanged,   // the card in the reader changed before the first write; nothing written
    Ended,         // the writing ended early or records read back differently (`run`)
};

struct CardCopyResult {
    CopyOutcome outcome = CopyOutcome::Cancelled;
    std::string sourceIccid;
    std::string targetIccid;
    RestorePlan plan;
    CopyFit fit;
    // Reading this card when SourceUnread, else writing the other one; its `differing` lists
    // every record that read back otherwise than written.
    BackupRunResult run;
};

CardCopyResult CopyCard(Pellucard& engine, CardCopyFrontEnd& frontEnd);

}  // namespace pellucard
