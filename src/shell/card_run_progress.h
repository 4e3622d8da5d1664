#pragma once

#include <QProgressDialog>
#include <QString>

#include "catalogue/catalogue.h"
#include "engine/card_backup.h"
#include "shell/card_gate.h"

namespace pellucard {

class Session;

// The progress window of a whole-card run (backup, restore, copy); its button stops the run
// after the record in hand, as the Stop request of the card gate (Escape) does.
class CardRunProgress {
public:
    CardRunProgress(Session& session, const CardGate::Hold& hold, MessageId labelId,
                    QWidget* parent);

    // The run's progress callback: shows the count, lets the event loop run, and says whether
    // the run may go on.
    BackupProgress callback();
    // Shows the next records under another label (the copy's reading, then its writing).
    void setLabel(MessageId labelId) { labelId_ = labelId; }
    bool report(int done, int total);

    QProgressDialog& dialog() { return dialog_; }

private:
    Session& session_;
    const CardGate::Hold& hold_;
    MessageId labelId_;
    QProgressDialog dialog_;
};

// Why a run ended early: the problem message with the record and its file, and what the card
// said.
QString cardRunProblem(const BackupRunResult& result, MessageId problemId, const Session& session);

}  // namespace pellucard
