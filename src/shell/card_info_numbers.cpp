// The information window's own number and message centre, changed on the card.
#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include "catalogue/status_words.h"
#include "engine/message_centre.h"
#include "engine/own_number.h"
#include "engine/pellucard.h"
#include "engine/phonebook_entry.h"
#include "records/dialog_seam.h"
#include "shell/card_info.h"
#include "shell/card_info_window.h"
#include "shell/card_number_dialog.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/session.h"

namespace pellucard {
namespace {

// The message that refuses `typed` before the card is touched; nothing when it can be written.
std::optional<MessageId> refusalOf(bool centre, const std::string& typed) {
    if (centre) {
        Bytes probe(std::size_t(kSmsParametersFixedLength), 0xFF);
        switch (SetServiceCentre(probe, typed)) {
            case ServiceCentreEdit::NoDigits:
                return MessageId::NotMessageCentreNumber;
            case ServiceCentreEdit::TooLong:
                return MessageId::NumberTooLong;
            case ServiceCentreEdit::Done:
            case ServiceCentreEdit::RecordTooShort:
                return std::nullopt;
        }
        return std::nullopt;
    }
    Bytes probe(std::size_t(kPhoneBookFooterLength), 0xFF);
    switch (SetOwnNumber(probe, typed)) {
        case OwnNumberEdit::NotDialable:
            return MessageId::NotDialableNumber;
        case OwnNumberEdit::TooLong:
            return MessageId::NumberTooLong;
        case OwnNumberEdit::Done:
        case OwnNumberEdit::RecordTooShort:
            return std::nullopt;
    }
    return std::nullopt;
}

// The number the card holds now, to start the dialog from; empty when it holds none.
QString currentNumber(bool centre, Pellucard& engine) {
    if (centre)
        return QString::fromStdString(ReadMessageCentre(engine).value.value_or(std::string()));
    for (const OwnNumberRecord& own : ReadOwnNumbers(engine).value) {
        if (own.record == kOwnNumberRecord)
            return QString::fromStdString(own.number);
    }
    return {};
}

// What became of a write: the card's answer, and whether it had a record to take the number.
struct NumberWritten {
    CardOutcome outcome;
    bool noRecord = false;
};

NumberWritten writeNumber(bool centre, Pellucard& engine, const std::string& typed) {
    if (centre) {
        const MessageCentreWrite written = WriteMessageCentre(engine, typed);
        return {written.outcome,
                written.outcome.IsDone() && written.edit == ServiceCentreEdit::RecordTooShort};
    }
    const OwnNumberWrite written = WriteOwnNumber(engine, typed);
    return {written.outcome, written.noRecord || written.edit == OwnNumberEdit::RecordTooShort};
}

}  // namespace

void CardInfoWindow::changeOwnNumber() {
    changeCardNumber(CardNumber::Own);
}

void CardInfoWindow::changeMessageCentre() {
    changeCardNumber(CardNumber::MessageCentre);
}

bool CardInfoWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == ownNumberValue && changeOwnNumberButton->isEnabled()) {
            changeOwnNumber();
            return true;
        }
        if (watched == messageCentreValue && changeMessageCentreButton->isEnabled()) {
            changeMessageCentre();
            return true;
        }
    }
    return ChildWindow::eventFilter(watched, event);
}

void CardInfoWindow::changeCardNumber(CardNumber which) {
    Session& session = currentSession();
    const auto hold =
        session.gate().acquireForCommand(this, [this, which] { changeCardNumber(which); });
    if (!hold)
        return;
    host().stopPolling();
    writeCardNumber(which, *hold);
    host().resumePolling();
    showCardInfo();
}

bool CardInfoWindow::stillTheCardShown(CardGate::Hold& hold) {
    // Only the card whose information the window shows is written to. Another one is read
    // afresh, and the user gives the command again.
    Session& session = currentSession();
    const std::string cardId = hold.engine().ReadCardInfo(CardInfoItem::Iccid).value.value_or("");
    if (cardId == session.cardInfo().CardId.value_or(std::string()))
        return true;
    session.setCardId(QString());
    readCardInfo(session, hold);
    return false;
}

bool CardInfoWindow::cardOpenForNumber(CardGate::Hold& hold) {
    Session& session = currentSession();
    Pellucard& engine = hold.engine();
    if (!engine.ReaderPresent() || !hasCardIdentity(session.cardInfo().CardId))
        return false;
    if (!stillTheCardShown(hold))
        return false;
    if (!session.cardInfo().Pin1Open && !IsKnown(session.cardInfo().Pin1Attempts, 0))
        host().pinDialogs().execVerifyPin(0, hold);
    if (!session.cardInfo().Pin1Open || !engine.CardReadable()) {
        ShowMessage(CatalogueMessage(MessageId::UnlockSimCardFirst, session.languageIndex(),
                                     DialogButtons::Ok, DialogIcon::Warning));
        return false;
    }
    return true;
}

void CardInfoWindow::writeCardNumber(CardNumber which, CardGate::Hold& hold) {
    if (!cardOpenForNumber(hold))
        return;
    Session& session = currentSession();
    Pellucard& engine = hold.engine();
    const bool centre = which == CardNumber::MessageCentre;
    CardNumberDialog dialog(
        session,
        session.text(centre ? MessageId::MessageCentreCaption : MessageId::OwnNumberCaption),
        session.text(centre ? MessageId::MessageCentrePrompt : MessageId::OwnNumberPrompt),
        currentNumber(centre, engine), host().mainWidget());
    RunModal(dialog);
    if (dialog.result() != QDialog::Accepted)
        return;
    const QString typed = dialog.number();
    if (const std::optional<MessageId> refusal = refusalOf(centre, typed.toStdString())) {
        ShowMessage(*refusal, session.text(*refusal).arg(typed), DialogIcon::Critical);
        return;
    }
    // The dialog gave the user time to change cards.
    if (!stillTheCardShown(hold))
        return;
    const NumberWritten written = writeNumber(centre, engine, typed.toStdString());
    // Whatever the card answered, the window shows what it holds now.
    readOpenCardInf(session, hold);
    const CardInfo& info = session.cardInfo();
    const QString now = QString::fromStdString(centre ? info.ServiceCentreNumber : info.OwnNumbers);
    if (written.outcome.IsLinkFailed()) {
        ShowMessage(MessageId::NumberNoAnswer, session.text(MessageId::NumberNoAnswer).arg(now),
                    DialogIcon::Critical);
    } else if (written.outcome.IsRefused()) {
        ShowMessage(MessageId::NumberRefused,
                    session.text(MessageId::NumberRefused)
                        .arg(StatusWordText(written.outcome.statusWord, session.languageIndex())),
                    DialogIcon::Warning);
    } else if (written.noRecord) {
        ShowMessage(MessageId::NoRecordForNumber, session.text(MessageId::NoRecordForNumber),
                    DialogIcon::Warning);
    } else {
        ShowMessage(MessageId::NumberWritten, session.text(MessageId::NumberWritten).arg(now),
                    DialogIcon::Information);
    }
}

}  // namespace pellucard
