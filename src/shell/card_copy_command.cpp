// The information window's Copy SIM Card: this card copied onto another with one reader.
#include <QStringList>

#include <functional>
#include <memory>

#include "engine/card_copy.h"
#include "engine/pellucard.h"
#include "records/dialog_seam.h"
#include "records/other_files_report.h"
#include "records/restore_report.h"
#include "shell/card_run_progress.h"
#include "shell/card_watch.h"
#include "shell/main_window.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/restore_pin2_step.h"
#include "shell/session.h"

namespace pellucard {
namespace {

// Records named in one question at most; the rest are counted.
constexpr int kNamedRecords = 10;
// Looks the card watch takes after the user pressed OK: a card taken out is lost at the first,
// the other one reset at the second, identified at the third and found the same at the fourth.
constexpr int kWatchLooks = 4;

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// "SIM Card Phone Book 16" or "SIM Card SMS 11".
QString recordName(const CardRecordRef& where, const Session& session) {
    return session.text(where.file == CardRecordFile::PhoneBook ? MessageId::SimCardPhoneBook
                                                                : MessageId::SimCardSms) +
           u' ' + QString::number(where.record);
}

// One line per record, at most kNamedRecords of them and a count of the others.
QString recordLines(const std::vector<CopyRecordNote>& notes, const Session& session,
                    bool withShortened) {
    QStringList lines;
    for (const CopyRecordNote& note : notes) {
        if (lines.size() == kNamedRecords) {
            lines.append(QStringLiteral("… (+%1)").arg(notes.size() - kNamedRecords));
            break;
        }
        QStringList what;
        for (const std::string& text : {note.name, note.number})
            if (!text.empty())
                what.append(fromUtf8(text));
        QString line = recordName(note.where, session) + QStringLiteral(": ") +
                       what.join(QStringLiteral(", "));
        if (withShortened)
            line += QStringLiteral(" → ") + fromUtf8(note.shortened);
        lines.append(line);
    }
    return lines.join(u'\n');
}

DialogAnswer showMessage(MessageId id, const QString& text, DialogButtons buttons, DialogIcon icon,
                         bool noByDefault = false) {
    MessageRequest request;
    request.messageId = id;
    request.text = text;
    request.buttons = buttons;
    request.icon = icon;
    request.noByDefault = noByDefault;
    return ShowMessage(request);
}

// The copy as the windows show it: the progress window of every card run, questions through
// the dialog seam, the card watch of the polling to find the other card.
class WindowCopyFrontEnd final : public CardCopyFrontEnd {
public:
    WindowCopyFrontEnd(Session& session, CardGate::Hold& hold, QWidget* parent,
                       PinDialogLauncher& pinDialogs, std::function<bool()> openCard)
        : session_(session),
          hold_(hold),
          parent_(parent),
          pinDialogs_(pinDialogs),
          openCard_(std::move(openCard)) {}

    bool Progress(CopyStage stage, int done, int total) override {
        if (!progress_ || stage != stage_) {
            stage_ = stage;
            progress_ = std::make_unique<CardRunProgress>(session_, hold_,
                                                          stage == CopyStage::ReadingSource
                                                              ? MessageId::UpLoadingRecord
                                                              : MessageId::DownLoadingRecord,
                                                          parent_);
        }
        return progress_->report(done, total);
    }

    bool OpenCard() override { return openCard_(); }

    bool ChangeCards(const CardBackup& source) override {
        progress_.reset();
        sourceIccid_ = fromUtf8(source.iccid);
        MessageId id = MessageId::CopyChangeCards;
        QString text = session_.text(id).arg(sourceIccid_).arg(source.RecordCount());
        for (;;) {
            if (showMessage(id, text, DialogButtons::OkCancel, DialogIcon::Information) !=
                DialogAnswer::Ok)
                return false;
            if (watchForCard())
                return true;
            id = MessageId::CopyNoCardYet;
            text = session_.text(id);
        }
    }

    bool GoOnWithSameCard(const std::string& iccid) override {
        return showMessage(MessageId::CopySameCard,
                           session_.text(MessageId::CopySameCard).arg(fromUtf8(iccid)),
                           DialogButtons::YesNo, DialogIcon::Warning, true) == DialogAnswer::Yes;
    }

    bool GoOnWithout(const CopyFit& fit, const RestorePlan& plan) override {
        QStringList parts{
            session_.text(MessageId::CopyDoesNotFit).arg(fromUtf8(plan.cardIccid), sourceIccid_)};
        if (!fit.leftOut.empty())
            parts.append(session_.text(MessageId::CopyLeftOut) + u'\n' +
                         recordLines(fit.leftOut, session_, false));
        if (!fit.shortened.empty())
            parts.append(session_.text(MessageId::CopyNamesShortened).arg(fit.nameLength) + u'\n' +
                         recordLines(fit.shortened, session_, true));
        parts.append(session_.text(MessageId::CopyTheRest));
        return showMessage(MessageId::CopyDoesNotFit, parts.join(QStringLiteral("\n\n")),
                           DialogButtons::YesNo, DialogIcon::Question, true) == DialogAnswer::Yes;
    }

    void BeforeWriting(const CardBackup& source, RestorePlan& plan) override {
        progress_.reset();
        pin2_ = prepareOtherFiles(session_, pinDialogs_, hold_, source, plan);
    }

    // How the PIN2 step for the fixed dialling numbers ended.
    const Pin2Step& pin2() const { return pin2_; }

private:
    // The card watch looks at the reader as the polling does: the card taken out is lost,
    // another one is reset and identified, and its information is read for the windows.
    bool watchForCard() {
        for (int look = 0; look < kWatchLooks; ++look) {
            const PollOutcome outcome = pollReaderAndCard(session_, hold_);
            const bool settled =
                outcome == PollOutcome::NoChange || outcome == PollOutcome::InfoRead;
            if (settled && cardIdentified(session_))
                return true;
        }
        return false;
    }

    Session& session_;
    CardGate::Hold& hold_;
    QWidget* parent_;
    PinDialogLauncher& pinDialogs_;
    std::function<bool()> openCard_;
    Pin2Step pin2_;
    std::unique_ptr<CardRunProgress> progress_;
    CopyStage stage_ = CopyStage::ReadingSource;
    QString sourceIccid_;
};

// "SIM Card Phone Book 3, SIM Card SMS 2": the records that read back otherwise.
QString differingRecords(const std::vector<CardRecordRef>& differing, const Session& session) {
    QStringList names;
    for (const CardRecordRef& where : differing)
        names.append(recordName(where, session));
    return names.join(QStringLiteral(", "));
}

}  // namespace

void MainWindow::copyCard() {
    const auto hold = session_.gate().acquireForCommand(this, [this] { copyCard(); });
    if (!hold)
        return;
    stopPolling();
    CardCopyResult result;
    Pin2Step pin2;
    {
        WindowCopyFrontEnd frontEnd(session_, *hold, this, *pinDialogs_,
                                    [this, &hold] { return cardOpenForRun(*hold); });
        result = CopyCard(hold->engine(), frontEnd);
        pin2 = frontEnd.pin2();
    }
    const int language = session_.languageIndex();
    // What became of each file beside the phone book and the messages, one line each.
    QString others;
    for (const QString& lines : {OtherFilesReport(result.run.otherFiles, pin2, language),
                                 UsimPhoneBooksReport(result.run.usimPhoneBooks, language)}) {
        if (!lines.isEmpty())
            others += u'\n' + lines;
    }
    switch (result.outcome) {
        case CopyOutcome::Done:
            showMessage(MessageId::CardCopied,
                        session_.text(MessageId::CardCopied)
                                .arg(result.run.done)
                                .arg(result.run.total)
                                .arg(fromUtf8(result.targetIccid)) +
                            others,
                        DialogButtons::Ok,
                        result.run.AllRestored() ? DialogIcon::Information : DialogIcon::Warning);
            break;
        case CopyOutcome::Cancelled:
            break;
        case CopyOutcome::SourceUnread:
            showMessage(MessageId::UpLoadingProblem,
                        cardRunProblem(result.run, MessageId::UpLoadingProblem, session_),
                        DialogButtons::Ok, DialogIcon::Critical);
            break;
        case CopyOutcome::TargetUnread:
            showMessage(MessageId::CopyTargetUnread, session_.text(MessageId::CopyTargetUnread),
                        DialogButtons::Ok, DialogIcon::Critical);
            break;
        case CopyOutcome::CardChanged:
            showMessage(MessageId::CopyCardChanged, session_.text(MessageId::CopyCardChanged),
                        DialogButtons::Ok, DialogIcon::Warning);
            break;
        case CopyOutcome::Ended: {
            // File by file: what was written, where and why it ended, what was not written;
            // then every record that read back otherwise than written.
            QString text = RestoreReport(result.run, result.plan, language);
            if (!result.run.differing.empty())
                text += u'\n' + session_.text(MessageId::CopyReadBackDiffers)
                                    .arg(differingRecords(result.run.differing, session_));
            text += others;
            showMessage(MessageId::CardCopied, text, DialogButtons::Ok, DialogIcon::Critical);
            break;
        }
    }
    // The card watch may have found another card meanwhile: the windows show it.
    refreshCurrentWindow();
    setReaderFound(session_.gate().readerPresent());
    showReaderState();
    resumePolling();
}

}  // namespace pellucard
