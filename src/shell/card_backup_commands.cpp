// The main window's File menu entries that back up the whole card and restore it.
#include <QFile>
#include <QSaveFile>

#include "engine/card_backup.h"
#include "engine/pellucard.h"
#include "records/card_backup_file.h"
#include "records/dialog_seam.h"
#include "records/other_files_report.h"
#include "records/record_documents.h"
#include "records/restore_report.h"
#include "records/save_file.h"
#include "shell/card_info.h"
#include "shell/card_run_progress.h"
#include "shell/main_window.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/restore_pin2_step.h"
#include "shell/session.h"

namespace pellucard {
namespace {

constexpr qint64 kMaxBackupBytes = 16 * 1024 * 1024;

const QString kBackupFilter = QStringLiteral("JSON (*.json *.JSON)");

bool ask(MessageId messageId, const QString& text) {
    MessageRequest request;
    request.messageId = messageId;
    request.text = text;
    request.buttons = DialogButtons::YesNo;
    request.icon = DialogIcon::Question;
    return ShowMessage(request) == DialogAnswer::Yes;
}

}  // namespace

bool MainWindow::cardOpenForRun(CardGate::Hold& hold) {
    Pellucard& engine = hold.engine();
    if (!engine.ReaderPresent() || !session_.cardInfo().CardId)
        return false;
    if (!session_.cardInfo().Pin1Open && !IsKnown(session_.cardInfo().Pin1Attempts, 0))
        pinDialogs_->execVerifyPin(0, hold);
    if (!session_.cardInfo().Pin1Open || !engine.CardReadable()) {
        ShowMessage(CatalogueMessage(MessageId::UnlockSimCardFirst, session_.languageIndex(),
                                     DialogButtons::Ok, DialogIcon::Warning));
        return false;
    }
    return true;
}

void MainWindow::backUpCard() {
    // The whole backup is one run: nothing else reaches the card until it has ended.
    const auto hold = session_.gate().acquireForCommand(this, [this] { backUpCard(); });
    if (!hold)
        return;
    stopPolling();
    if (cardOpenForRun(*hold)) {
        FileRequest request;
        request.title = session_.text(MessageId::SaveAs);
        request.nameFilter = kBackupFilter;
        request.defaultSuffix = QStringLiteral("json");
        const QString path = CurrentDialogs().ChooseSaveFileName(request);
        if (!path.isEmpty())
            runBackup(path, *hold);
    }
    resumePolling();
}

void MainWindow::runBackup(const QString& path, CardGate::Hold& hold) {
    CardRunProgress progress(session_, hold, MessageId::UpLoadingRecord, this);
    CardBackup backup;
    const BackupRunResult result = ReadCardBackup(hold.engine(), backup, progress.callback());
    progress.dialog().close();
    if (!result.Ok()) {
        // A backup that is not whole is not saved.
        ShowMessage(MessageId::UpLoadingProblem,
                    cardRunProblem(result, MessageId::UpLoadingProblem, session_),
                    DialogIcon::Critical);
        return;
    }
    const QByteArray bytes = SerializeCardBackup(backup);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
        !CommitWhenComplete(file)) {
        MessageRequest request = CatalogueMessage(MessageId::FileNotSaved, session_.languageIndex(),
                                                  DialogButtons::Ok, DialogIcon::Critical);
        request.text += path + u'\n' + file.errorString();
        ShowMessage(request);
        return;
    }
    ShowMessage(MessageId::CardBackedUp,
                session_.text(MessageId::CardBackedUp).arg(result.done).arg(result.total) + path,
                DialogIcon::Information);
}

void MainWindow::restoreCard() {
    const auto hold = session_.gate().acquireForCommand(this, [this] { restoreCard(); });
    if (!hold)
        return;
    stopPolling();
    if (cardOpenForRun(*hold)) {
        FileRequest request;
        request.title = session_.text(MessageId::Open);
        request.nameFilter = kBackupFilter;
        const QString path = CurrentDialogs().ChooseOpenFileName(request);
        if (!path.isEmpty())
            runRestore(path, *hold);
    }
    resumePolling();
}

void MainWindow::runRestore(const QString& path, CardGate::Hold& hold) {
    // The whole file is read and checked before the card is touched.
    QFile file(path);
    CardBackup backup;
    QString error;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxBackupBytes ||
        !ParseCardBackup(file.readAll(), backup, error)) {
        if (error.isEmpty())
            error = file.errorString();
        ShowMessage(MessageId::DamagedBackup,
                    session_.text(MessageId::DamagedBackup) + path + u'\n' + error,
                    DialogIcon::Critical);
        return;
    }
    Pellucard& engine = hold.engine();
    RestorePlan plan;
    if (!PlanRestore(engine, backup, plan)) {
        ShowMessage(MessageId::DownLoadingProblem,
                    session_.text(MessageId::DownLoadingProblem) + u'0', DialogIcon::Critical);
        return;
    }
    const QString text = session_.text(MessageId::RestoreQuestion)
                             .arg(QString::fromStdString(backup.iccid))
                             .arg(backup.phoneBook.size())
                             .arg(backup.sms.size());
    if (!ask(MessageId::RestoreQuestion, text))
        return;
    if (plan.otherCard &&
        !ask(MessageId::OtherCardQuestion, session_.text(MessageId::OtherCardQuestion)
                                               .arg(QString::fromStdString(backup.iccid))
                                               .arg(QString::fromStdString(plan.cardIccid))))
        return;
    if ((plan.phoneBookBeyond > 0 || plan.smsBeyond > 0) &&
        !ask(MessageId::FewerRecordsQuestion, session_.text(MessageId::FewerRecordsQuestion)
                                                  .arg(plan.phoneBookBeyond)
                                                  .arg(plan.smsBeyond)))
        return;
    // The other files the backup holds go back too; the fixed dialling numbers after PIN2.
    const Pin2Step pin2 = prepareOtherFiles(session_, *pinDialogs_, hold, backup, plan);
    CardRunProgress progress(session_, hold, MessageId::DownLoadingRecord, this);
    const BackupRunResult result = RestoreCardBackup(engine, backup, plan, progress.callback());
    progress.dialog().close();
    // A restore that did not go through says, file by file, which records were written (they
    // replaced the card's), where and why it ended, and which were not written; then what
    // became of each other file.
    const int language = session_.languageIndex();
    QString outcome =
        result.Ok() ? session_.text(MessageId::CardRestored).arg(result.done).arg(result.total)
                    : RestoreReport(result, plan, language);
    for (const QString& others : {OtherFilesReport(result.otherFiles, pin2, language),
                                  UsimPhoneBooksReport(result.usimPhoneBooks, language)}) {
        if (!others.isEmpty())
            outcome += u'\n' + others;
    }
    ShowMessage(MessageId::CardRestored, outcome,
                !result.Ok()           ? DialogIcon::Critical
                : result.AllRestored() ? DialogIcon::Information
                                       : DialogIcon::Warning);
    // The card's records changed: the windows read them again on their next Read. The same
    // card, never reset: PIN1 stays as it was.
    readCardInfoAgain(session_, hold);
}

}  // namespace pellucard
