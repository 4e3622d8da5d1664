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

void SetChecked(QRadioButton* button, bool checked) {
    // Auto-exclusive buttons refuse to be unchecked directly.
    button->setAutoExclusive(false);
    button->setChecked(checked);
    button->setAutoExclusive(true);
}

}  // namespace

bool IsPinCode(const QString& code) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,8}$"));
    return digits.match(code).hasMatch();
}

PinDialogBase::PinDialogBase(Session& session, PinDialogKind kind, QWidget* parent)
    : QDialog(parent), session_(session), kind_(kind) {
    auto* layout = new QVBoxLayout(this);

    auto* identity = new QHBoxLayout;
    CardIdCaption = new QLabel(this);
    CardIdCaption->setObjectName("Label1_0");
    CardIdValue = new QLabel(this);
    CardIdValue->setObjectName("LCardId");
    CardIdValue->setTextInteractionFlags(Qt::TextSelectableByMouse);
    identity->addWidget(CardIdCaption);
    identity->addWidget(CardIdValue, 1);
    layout->addLayout(identity);

    body_ = new QWidget(this);
    layout->addWidget(body_);

    Frame4 = new QGroupBox(this);
    Frame4->setObjectName("Frame4");
    auto* choice = new QGridLayout(Frame4);
    for (int i = 0; i < 2; ++i) {
        OPIN[i] = new QRadioButton(Frame4);
        OPIN[i]->setObjectName(QStringLiteral("OPIN_%1").arg(i));
        connect(OPIN[i], &QRadioButton::toggled, this, [this] { UpdateOkButton(); });
        choice->addWidget(OPIN[i], i, 0);
    }
    for (int i = 0; i < 4; ++i) {
        Label2[i] = new QLabel(Frame4);
        Label2[i]->setObjectName(QStringLiteral("Label2_%1").arg(i));
    }
    PIN1C = new QLabel(Frame4);
    PIN1C->setObjectName("PIN1C");
    PIN2C = new QLabel(Frame4);
    PIN2C->setObjectName("PIN2C");
    choice->addWidget(Label2[0], 0, 1);
    choice->addWidget(PIN1C, 0, 2, Qt::AlignRight);
    choice->addWidget(Label2[1], 0, 3);
    choice->addWidget(Label2[2], 1, 1);
    choice->addWidget(PIN2C, 1, 2, Qt::AlignRight);
    choice->addWidget(Label2[3], 1, 3);
    choice->setColumnStretch(0, 1);
    layout->addWidget(Frame4);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    OKButton = new QPushButton(this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    CancelButton = new QPushButton(this);
    CancelButton->setObjectName("CancelButton");
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    // A dialog beside the windows waits while a run holds the card.
    connect(&session_.Gate(), &CardGate::Changed, this, [this] { UpdateOkButton(); });
}

PinDialogBase::~PinDialogBase() {
    session_.SetDialogOpen(kind_, false);
}

void PinDialogBase::ChangeLanguage() {
    CardIdCaption->setText(session_.Text(MessageId::CardIdNumber));
    Frame4->setTitle(session_.Text(MessageId::PinCode));
    OPIN[0]->setText(session_.Text(MessageId::Pin1));
    OPIN[1]->setText(session_.Text(MessageId::Pin2));
    for (int i = 0; i < 4; i += 2) {
        Label2[i]->setText(session_.Text(MessageId::RemainLabel));
        Label2[i + 1]->setText(session_.Text(MessageId::Times));
    }
    OKButton->setText(session_.Text(MessageId::Ok));
    CancelButton->setText(session_.Text(MessageId::Cancel));
}

int PinDialogBase::CheckedPin() const {
    return OPIN[1]->isChecked() ? 2 : 1;
}

int PinDialogBase::ChosenPin() const {
    for (int i = 0; i < 2; ++i) {
        if (OPIN[i]->isChecked() && OPIN[i]->isEnabled())
            return i + 1;
    }
    return 0;
}

void PinDialogBase::ShowCounts(const std::optional<int>& first, const std::optional<int>& second,
                               int preferred, bool secondChoosable) {
    const auto text = [](const std::optional<int>& count) {
        return count ? QString::number(*count) : QStringLiteral("-");
    };
    PIN1C->setText(text(first));
    PIN2C->setText(text(second));
    // A code whose counter could not be read may be tried: the card judges it.
    const bool choosable[2] = {!IsKnown(first, 0), !IsKnown(second, 0) && secondChoosable};
    for (int i = 0; i < 2; ++i)
        OPIN[i]->setEnabled(choosable[i]);
    for (int i = 0; i < 2; ++i)
        SetChecked(OPIN[i], i == preferred);
    UpdateOkButton();
}

void PinDialogBase::Activate() {
    unblockRequested_ = -1;
    session_.SetDialogOpen(kind_, true);
    ChangeLanguage();
    CardIdValue->setText(CardIdText(session_.CardInfo));
}

void PinDialogBase::RejectInput(const MessageRequest& message, QLineEdit* field) {
    ShowMessage(message);
    field->setFocus();
    field->selectAll();
}

void PinDialogBase::LendHold(CardGate::Hold* hold) {
    lent_ = hold;
    UpdateOkButton();
}

void PinDialogBase::UpdateOkButton() {
    OKButton->setEnabled(ChosenPin() != 0 && (lent_ != nullptr || !session_.Gate().RunActive()));
}

PinDialogBase::PinOutcome PinDialogBase::RunPinOperation(
    const std::function<CardOutcome(Pellucard&)>& operation) {
    linkFailed_ = false;
    countersKnown_ = true;
    std::unique_ptr<CardGate::Hold> own;
    CardGate::Hold* hold = lent_;
    if (hold == nullptr) {
        own = session_.Gate().AcquireForCommand(this, [this] {
            if (isVisible() && OKButton->isEnabled())
                OKButton_Click();
        });
        if (!own)
            return PinOutcome::Refused;
        hold = own.get();
    }
    Pellucard& engine = hold->Engine();
    const CardOutcome outcome = operation(engine);
    const bool succeeded = outcome.IsDone();
    linkFailed_ = outcome.IsLinkFailed();
    countersKnown_ = engine.CountersKnown();
    // The card's counters tell the user where they stand, right or wrong.
    ReadPinCounters(session_, *hold);
    // PIN1 may just have been verified, unblocked or switched off: what only an open card
    // gives is read now rather than at the next card change.
    if (succeeded)
        ReadOpenCardInf(session_, *hold);
    return succeeded ? PinOutcome::Succeeded : PinOutcome::Failed;
}

std::optional<int> PinDialogBase::JudgedAttempts(int pin) const {
    return pin == 2 ? session_.CardInfo.Pin2Attempts : session_.CardInfo.Pin1Attempts;
}

void PinDialogBase::ReportReaderFailure(int pin) {
    ShowState(pin == 2 ? 1 : 0);
    emit CountersRead();
    // The command was sent once; whether the card judged it only its counter can tell, and
    // what it asked for may already be in force.
    const std::optional<int> left = JudgedAttempts(pin);
    const bool known = countersKnown_ && left;
    const int language = session_.LanguageIndex;
    if (const std::optional<MessageId> mayHave = MayHaveTakenEffect()) {
        MessageRequest message =
            CatalogueMessage(*mayHave, language, DialogButtons::Ok, DialogIcon::Warning);
        if (message.text.contains(QLatin1String("%1")))
            message.text =
                message.text.arg(session_.Text(pin == 2 ? MessageId::Pin2 : MessageId::Pin1));
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

void PinDialogBase::ReportRefusedCode(int pin) {
    if (linkFailed_) {
        ReportReaderFailure(pin);
        return;
    }
    const int index = pin == 2 ? 1 : 0;
    ShowState(index);
    ClearCodes();
    emit CountersRead();

    const std::optional<int> left = JudgedAttempts(pin);
    const QString pinName = session_.Text(index == 0 ? MessageId::Pin1 : MessageId::Pin2);
    const QString unblockName = QStringLiteral("PUK%1").arg(pin);
    const int language = session_.LanguageIndex;
    if (!left) {
        // Refused, but the counter could not be read afterwards: no count is made up.
        ShowMessage(CatalogueMessage(MessageId::WrongPinCode, language, DialogButtons::Ok,
                                     DialogIcon::Warning));
        return;
    }
    if (*left > 0 && ShowsUnblockCodes()) {
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
    if (ShowsUnblockCodes()) {
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
        OfferUnblock(pin);
}

void PinDialogBase::OfferUnblock(int pin) {
    unblockRequested_ = pin == 2 ? 1 : 0;
    reject();
}

void PinDialogBase::AcceptSuccess() {
    emit CountersRead();
    accept();
}

QLineEdit* PinDialogBase::NewCodeField(const char* name) {
    auto* field = new QLineEdit(body_);
    field->setObjectName(name);
    field->setMaxLength(kMaxPinLength);
    field->setEchoMode(QLineEdit::Password);
    field->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhSensitiveData);
    return field;
}

void PinDialogBase::done(int result) {
    session_.SetDialogOpen(kind_, false);
    QDialog::done(result);
}

}  // namespace pellucard
