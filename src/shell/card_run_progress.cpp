#include "shell/card_run_progress.h"

#include "catalogue/status_words.h"
#include "engine/card_record_file.h"
#include "shell/session.h"

namespace pellucard {

CardRunProgress::CardRunProgress(Session& session, const CardGate::Hold& hold, MessageId labelId,
                                 QWidget* parent)
    : session_(session),
      hold_(hold),
      labelId_(labelId),
      dialog_(QString(), session.text(MessageId::Cancel), 0, 1, parent) {
    dialog_.setObjectName(QStringLiteral("CardRunProgress"));
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(0);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
}

bool CardRunProgress::report(int done, int total) {
    dialog_.setMaximum(std::max(total, 1));
    dialog_.setValue(done);
    dialog_.setLabelText(session_.text(labelId_) + QString::number(done));
    session_.yield();
    return !dialog_.wasCanceled() && !hold_.stopRequested();
}

BackupProgress CardRunProgress::callback() {
    return [this](int done, int total) { return report(done, total); };
}

QString cardRunProblem(const BackupRunResult& result, MessageId problemId, const Session& session) {
    // The file by its GSM 11.11 identifier, which reads the same in every language.
    QString text = session.text(problemId) + QString::number(result.record) +
                   QStringLiteral(" (EF %1)")
                       .arg(QString::number(result.FileId(), 16).toUpper().rightJustified(4, u'0'));
    if (result.outcome == BackupOutcome::Refused)
        text += QStringLiteral(" (SW %1)")
                    .arg(StatusWordText(result.failure.statusWord, session.languageIndex()));
    return text;
}

}  // namespace pellucard
