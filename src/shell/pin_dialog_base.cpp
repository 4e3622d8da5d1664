#include "shell/pin_dialog_base.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "engine/pellucard.h"
#include "shell/card_info.h"

namespace pellucard {
namespace {

void setChecked(QRadioButton* button, bool checked) {
    // Auto-exclusive buttons refuse to be unchecked directly.
    button->setAutoExclusive(false);
    button->setChecked(checked);
    button->setAutoExclusive(true);
}

}  // namespace

bool isPinCode(const QString& code) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,8}$"));
    return digits.match(code).hasMatch();
}

PinDialogBase::PinDialogBase(Session& session, PinDialogKind kind, QWidget* parent)
    : QDialog(parent), session_(session), kind_(kind) {
    auto* layout = new QVBoxLayout(this);

    auto* identity = new QHBoxLayout;
    cardIdCaption = new QLabel(this);
    cardIdCaption->setObjectName("cardIdCaption");
    cardIdValue = new QLabel(this);
    cardIdValue->setObjectName("cardIdValue");
    cardIdValue->setTextInteractionFlags(Qt::TextSelectableByMouse);
    identity->addWidget(cardIdCaption);
    identity->addWidget(cardIdValue, 1);
    layout->addLayout(identity);

    body_ = new QWidget(this);
    layout->addWidget(body_);

    pinFrame = new QGroupBox(this);
    pinFrame->setObjectName("pinFrame");
    auto* choice = new QGridLayout(pinFrame);
    for (int i = 0; i < 2; ++i) {
        pinOptions[i] = new QRadioButton(pinFrame);
        pinOptions[i]->setObjectName(QStringLiteral("pinOption_%1").arg(i));
        connect(pinOptions[i], &QRadioButton::toggled, this, [this] { updateOkButton(); });
        choice->addWidget(pinOptions[i], i, 0);
    }
    for (int i = 0; i < 4; ++i) {
        attemptLabels[i] = new QLabel(pinFrame);
        attemptLabels[i]->setObjectName(QStringLiteral("attemptLabel_%1").arg(i));
    }
    pin1Attempts = new QLabel(pinFrame);
    pin1Attempts->setObjectName("PIN1C");
    pin2Attempts = new QLabel(pinFrame);
    pin2Attempts->setObjectName("PIN2C");
    choice->addWidget(attemptLabels[0], 0, 1);
    choice->addWidget(pin1Attempts, 0, 2, Qt::AlignRight);
    choice->addWidget(attemptLabels[1], 0, 3);
    choice->addWidget(attemptLabels[2], 1, 1);
    choice->addWidget(pin2Attempts, 1, 2, Qt::AlignRight);
    choice->addWidget(attemptLabels[3], 1, 3);
    choice->setColumnStretch(0, 1);
    layout->addWidget(pinFrame);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    okButton = new QPushButton(this);
    okButton->setObjectName("okButton");
    okButton->setDefault(true);
    cancelButton = new QPushButton(this);
    cancelButton->setObjectName("cancelButton");
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, [this] { submit(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // A dialog beside the windows waits while a run holds the card.
    connect(&session_.gate(), &CardGate::changed, this, [this] { updateOkButton(); });
}

PinDialogBase::~PinDialogBase() {
    session_.setDialogOpen(kind_, false);
}

void PinDialogBase::changeLanguage() {
    cardIdCaption->setText(session_.text(MessageId::CardIdNumber));
    pinFrame->setTitle(session_.text(MessageId::PinCode));
    pinOptions[0]->setText(session_.text(MessageId::Pin1));
    pinOptions[1]->setText(session_.text(MessageId::Pin2));
    for (int i = 0; i < 4; i += 2) {
        attemptLabels[i]->setText(session_.text(MessageId::RemainLabel));
        attemptLabels[i + 1]->setText(session_.text(MessageId::Times));
    }
    okButton->setText(session_.text(MessageId::Ok));
    cancelButton->setText(session_.text(MessageId::Cancel));
}

int PinDialogBase::checkedPin() const {
    return pinOptions[1]->isChecked() ? 2 : 1;
}

int PinDialogBase::chosenPin() const {
    for (int i = 0; i < 2; ++i) {
        if (pinOptions[i]->isChecked() && pinOptions[i]->isEnabled())
            return i + 1;
    }
    return 0;
}

void PinDialogBase::showCounts(const std::optional<int>& first, const std::optional<int>& second,
                               int preferred, bool secondChoosable) {
    const auto text = [](const std::optional<int>& count) {
        return count ? QString::number(*count) : QStringLiteral("-");
    };
    pin1Attempts->setText(text(first));
    pin2Attempts->setText(text(second));
    // A code whose counter could not be read may be tried: the card judges it.
    const bool choosable[2] = {!IsKnown(first, 0), !IsKnown(second, 0) && secondChoosable};
    for (int i = 0; i < 2; ++i)
        pinOptions[i]->setEnabled(choosable[i]);
    for (int i = 0; i < 2; ++i)
        setChecked(pinOptions[i], i == preferred);
    updateOkButton();
}

void PinDialogBase::activate() {
    unblockRequested_ = -1;
    session_.setDialogOpen(kind_, true);
    changeLanguage();
    cardIdValue->setText(cardIdText(session_.cardInfo()));
}

void PinDialogBase::rejectInput(const MessageRequest& message, QLineEdit* field) {
    ShowMessage(message);
    field->setFocus();
    field->selectAll();
}

void PinDialogBase::lendHold(CardGate::Hold* hold) {
    lent_ = hold;
    updateOkButton();
}

void PinDialogBase::updateOkButton() {
    okButton->setEnabled(chosenPin() != 0 && (lent_ != nullptr || !session_.gate().runActive()));
}

PinDialogBase::PinOutcome PinDialogBase::runPinOperation(
    const std::function<CardOutcome(Pellucard&)>& operation) {
    linkFailed_ = false;
    countersKnown_ = true;
    std::unique_ptr<CardGate::Hold> own;
    CardGate::Hold* hold = lent_;
    if (hold == nullptr) {
        own = session_.gate().acquireForCommand(this, [this] {
            if (isVisible() && okButton->isEnabled())
                submit();
        });
        if (!own)
            return PinOutcome::Refused;
        hold = own.get();
    }
    Pellucard& engine = hold->engine();
    const CardOutcome outcome = operation(engine);
    const bool succeeded = outcome.IsDone();
    linkFailed_ = outcome.IsLinkFailed();
    countersKnown_ = engine.CountersKnown();
    // The card's counters tell the user where they stand, right or wrong.
    readPinCounters(session_, *hold);
    // PIN1 may just have been verified, unblocked or switched off: what only an open card
    // gives is read now rather than at the next card change.
    if (succeeded)
        readOpenCardInf(session_, *hold);
    return succeeded ? PinOutcome::Succeeded : PinOutcome::Failed;
}

std::optional<int> PinDialogBase::judgedAttempts(int pin) const {
    return pin == 2 ? session_.cardInfo().Pin2Attempts : session_.cardInfo().Pin1Attempts;
}

void PinDialogBase::reportReaderFailure(int pin) {
    showState(pin == 2 ? 1 : 0);
    emit countersRead();
    // The command was sent once; whether the card judged it only its counter can tell, and
    // what it asked for may already be in force.
    const std::optional<int> left = judgedAttempts(pin);
    const bool known = countersKnown_ && left;
    const int language = session_.languageIndex();
    if (const std::optional<MessageId> mayHave = mayHaveTakenEffect()) {
        MessageRequest message =
            CatalogueMessage(*mayHave, language, DialogButtons::Ok, DialogIcon::Warning);
        if (message.text.contains(QLatin1String("%1")))
            message.text =
                message.text.arg(session_.text(pin == 2 ? MessageId::Pin2 : MessageId::Pin1));
        message.text += QLatin1Char(' ') +
                        (known ? Message(MessageId::AttemptsLeftReadAgain, language).arg(*left)
                               : Message(MessageId::AttemptsLeftNotRead, language));
        ShowMessage(message);
        return;
    }
    MessageRequest message = CatalogueMessage(
        known ? MessageId::ReaderFailedDuringPin : MessageId::ReaderFailedCountersUnknown, language,
        DialogButtons::Ok, DialogIcon::Warning);
    if (known)
        message.text = message.text.arg(*left);
    ShowMessage(message);
}

void PinDialogBase::reportRefusedCode(int pin) {
    if (linkFailed_) {
        reportReaderFailure(pin);
        return;
    }
    const int index = pin == 2 ? 1 : 0;
    showState(index);
    clearCodes();
    emit countersRead();

    const std::optional<int> left = judgedAttempts(pin);
    const QString pinName = session_.text(index == 0 ? MessageId::Pin1 : MessageId::Pin2);
    const QString unblockName = QStringLiteral("PUK%1").arg(pin);
    const int language = session_.languageIndex();
    if (!left) {
        // Refused, but the counter could not be read afterwards: no count is made up.
        ShowMessage(CatalogueMessage(MessageId::WrongPinCode, language, DialogButtons::Ok,
                                     DialogIcon::Warning));
        return;
    }
    if (*left > 0 && showsUnblockCodes()) {
        // A wrong unblocking code is not a wrong PIN: its own counter went down.
        MessageRequest message = CatalogueMessage(MessageId::WrongUnblockCodeAttemptsLeft, language,
                                                  DialogButtons::Ok, DialogIcon::Warning);
        message.text = message.text.arg(unblockName).arg(*left);
        ShowMessage(message);
        return;
    }
    if (*left > 0) {
        MessageRequest message = CatalogueMessage(MessageId::WrongPinCodeAttemptsLeft, language,
                                                  DialogButtons::Ok, DialogIcon::Warning);
        message.text = message.text.arg(*left);
        ShowMessage(message);
        return;
    }
    if (showsUnblockCodes()) {
        MessageRequest message = CatalogueMessage(MessageId::UnblockCodeBlocked, language,
                                                  DialogButtons::Ok, DialogIcon::Critical);
        message.text = message.text.arg(unblockName, pinName);
        ShowMessage(message);
        return;
    }
    MessageRequest question = CatalogueMessage(MessageId::CodeBlockedQuestion, language,
                                               DialogButtons::YesNo, DialogIcon::Warning);
    question.text = question.text.arg(pinName, unblockName);
    if (ShowMessage(question) == DialogAnswer::Yes)
        offerUnblock(pin);
}

void PinDialogBase::offerUnblock(int pin) {
    unblockRequested_ = pin == 2 ? 1 : 0;
    reject();
}

void PinDialogBase::acceptSuccess() {
    emit countersRead();
    accept();
}

QLineEdit* PinDialogBase::newCodeField(const char* name) {
    auto* field = new QLineEdit(body_);
    field->setObjectName(name);
    field->setMaxLength(kMaxPinLength);
    field->setEchoMode(QLineEdit::Password);
    field->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhSensitiveData);
    return field;
}

void PinDialogBase::done(int result) {
    session_.setDialogOpen(kind_, false);
    QDialog::done(result);
}

}  // namespace pellucard
