#include "shell/card_info_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "catalogue/card_phase.h"
#include "engine/pellucard.h"
#include "shell/artwork.h"
#include "shell/card_watch.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/session.h"

namespace pellucard {
namespace {

QPushButton* newButton(QWidget* parent, const QString& name) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

CardInfoWindow::CardInfoWindow(ShellHost& host, QWidget* parent)
    : ChildWindow(WindowIndex::CardInfo, host, parent) {
    setObjectName("cardInfoWindow");
    setWindowIcon(artworkIcon(Artwork::SimCard));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    scroll_->horizontalScrollBar()->setObjectName("validityPicker");
    scroll_->verticalScrollBar()->setObjectName("verticalScrollBar");
    outer->addWidget(scroll_);

    auto* picture = new QWidget;
    picture->setObjectName("scrollArea");
    scroll_->setWidget(picture);
    auto* layout = new QVBoxLayout(picture);

    auto* heading = new QHBoxLayout;
    auto* icon = new QLabel(picture);
    icon->setPixmap(artworkPixmap(Artwork::SimCard, 48));
    programHeading = new QLabel(picture);
    programHeading->setObjectName("programHeading");
    QFont headingFont = programHeading->font();
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.6);
    headingFont.setBold(true);
    programHeading->setFont(headingFont);
    heading->addWidget(icon);
    heading->addWidget(programHeading, 1);
    layout->addLayout(heading);

    auto* grid = new QGridLayout;
    grid->setColumnStretch(4, 1);  // spare width goes to the right of the commands
    auto addField = [&](const char* name, MessageId captionId, int row) {
        Field field{new QLabel(picture), new QLabel(picture), captionId};
        field.caption->setObjectName(QStringLiteral("Caption") + QLatin1String(name));
        field.value->setObjectName(name);
        field.value->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        field.value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        field.value->setMinimumWidth(field.value->fontMetrics().horizontalAdvance('0') * 24);
        field.caption->setBuddy(field.value);
        grid->addWidget(field.caption, row, 0);
        grid->addWidget(field.value, row, 1);
        fields_.append(field);
        return field.value;
    };
    iccidValue = addField("iccidValue", MessageId::IccId, 0);
    imsiValue = addField("imsiValue", MessageId::Imsi, 1);
    providerValue = addField("providerValue", MessageId::ServiceProviderName, 2);
    phaseValue = addField("phaseValue", MessageId::SimPhase, 3);
    phoneBookCountValue = addField("phoneBookCountValue", MessageId::MaxNumberOfPhone, 4);
    smsCountValue = addField("smsCountValue", MessageId::MaxNumberOfMessage, 5);
    lastDialledCountValue = addField("lastDialledCountValue", MessageId::MaxNumberOfLastDialOut, 6);
    pin1StateValue = addField("pin1StateValue", MessageId::Pin1State, 7);
    pin2StateValue = addField("pin2StateValue", MessageId::Pin2State, 8);
    puk1StateValue = addField("puk1StateValue", MessageId::UnblockPin1State, 9);
    puk2StateValue = addField("puk2StateValue", MessageId::UnblockPin2State, 10);
    ownNumberValue = addField("ownNumberValue", MessageId::OwnNumberCaption, 11);
    messageCentreValue = addField("messageCentreValue", MessageId::MessageCentreCaption, 12);

    for (int i = 0; i < 2; ++i) {
        changePinButtons[i] = newButton(picture, QStringLiteral("changePinButton_%1").arg(i));
        unblockPinButtons[i] = newButton(picture, QStringLiteral("unblockPinButton_%1").arg(i));
        grid->addWidget(changePinButtons[i], 7 + i, 2);
        grid->addWidget(unblockPinButtons[i], 7 + i, 3);
        connect(changePinButtons[i], &QPushButton::clicked, this, [this, i] { changePin(i); });
        connect(unblockPinButtons[i], &QPushButton::clicked, this, [this, i] { unblockPin(i); });
    }
    pinCheckButtons[0] = newButton(picture, "pinCheckButton_0");
    grid->addWidget(pinCheckButtons[0], 9, 2, 1, 2);
    connect(pinCheckButtons[0], &QPushButton::clicked, this, [this] { switchPinCheck(0); });
    verifyPinButton = newButton(picture, "verifyPinButton");
    grid->addWidget(verifyPinButton, 10, 2, 1, 2);
    connect(verifyPinButton, &QPushButton::clicked, this, [this] { verifyPin(); });
    changeOwnNumberButton = newButton(picture, "changeOwnNumberButton");
    grid->addWidget(changeOwnNumberButton, 11, 2);
    connect(changeOwnNumberButton, &QPushButton::clicked, this, [this] { changeOwnNumber(); });
    changeMessageCentreButton = newButton(picture, "changeMessageCentreButton");
    grid->addWidget(changeMessageCentreButton, 12, 2);
    connect(changeMessageCentreButton, &QPushButton::clicked, this,
            [this] { changeMessageCentre(); });
    ownNumberValue->installEventFilter(this);
    messageCentreValue->installEventFilter(this);
    // The card commands come and go with the reader; the fields should not move when they do.
    for (QPushButton* button : readerCommands()) {
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
    }
    layout->addLayout(grid);

    auto* commands = new QHBoxLayout;
    connectReaderButton = newButton(picture, "connectReaderButton");
    copyCardButton = newButton(picture, "copyCardButton");
    commands->addWidget(connectReaderButton);
    connect(connectReaderButton, &QPushButton::clicked, this,
            [this] { ChildWindow::host().openReaderChooser(); });
    commands->addWidget(copyCardButton);
    connect(copyCardButton, &QPushButton::clicked, this,
            [this] { ChildWindow::host().copyCard(); });
    commands->addStretch(1);
    layout->addLayout(commands);
    layout->addStretch(1);

    programBanner = new QLabel(picture);
    programBanner->setObjectName("programBanner");
    programBanner->setAlignment(Qt::AlignRight);
    programBanner->setEnabled(false);  // a quiet product mark at the foot of the window
    layout->addWidget(programBanner);

    changeLanguage();
    connect(&host.pinDialogs(), &PinDialogLauncher::dialogClosed, this, [this] { showCardInfo(); });
    // The counts follow every attempt, not only the dialog's closing.
    connect(&host.pinDialogs(), &PinDialogLauncher::countersChanged, this,
            [this] { showCardInfo(); });
}

void CardInfoWindow::changeLanguage() {
    Session& session = currentSession();
    setWindowTitle(session.text(MessageId::SimCardInformation));
    for (const Field& field : fields_)
        field.caption->setText(session.text(field.captionId));
    changePinButtons[0]->setText(session.text(MessageId::ChangePin1));
    changePinButtons[1]->setText(session.text(MessageId::ChangePin2));
    pinCheckButtons[0]->setText(session.text(MessageId::LockOrUnlockPin1));
    verifyPinButton->setText(session.text(MessageId::VerifyPin1));
    unblockPinButtons[0]->setText(session.text(MessageId::UnblockPin1));
    unblockPinButtons[1]->setText(session.text(MessageId::UnblockPin2));
    changeOwnNumberButton->setText(session.text(MessageId::ChangeNumberButton));
    changeMessageCentreButton->setText(session.text(MessageId::ChangeNumberButton));
    connectReaderButton->setText(session.text(MessageId::ConnectSimCardReader));
    copyCardButton->setText(session.text(MessageId::CopySimCard));
    programHeading->setText(session.text(MessageId::ProgramNameHeading));
    programBanner->setText(session.text(MessageId::ProgramNameBanner));
    showCardInfo();  // the attempts texts are words of the language too
}

void CardInfoWindow::activate() {
    Session& session = currentSession();
    session.setCurrentWindow(WindowIndex::CardInfo);
    const bool reader = session.gate().readerPresent();
    for (QPushButton* button : readerCommands())
        button->setVisible(reader);
    showCardInfo();
    // Nothing here to save or exchange.
    for (FileMenuEntry entry : {FileMenuEntry::SaveAs, FileMenuEntry::New, FileMenuEntry::Import,
                                FileMenuEntry::Export, FileMenuEntry::Open, FileMenuEntry::Save})
        host().setFileCommandEnabled(entry, false);
}

QString CardInfoWindow::attemptsText(const std::optional<int>& count) {
    if (!count)
        return QStringLiteral("-");  // not read: never shown as 0, which reads as blocked
    const Session& session = currentSession();
    // The catalogue's pieces ("Remain ", "Times") carry no blank after the count.
    return session.text(MessageId::RemainPrefix) + QString::number(*count) + QLatin1Char(' ') +
           session.text(MessageId::TimesSuffix);
}

namespace {

QString countText(const std::optional<int>& count) {
    return count ? QString::number(*count) : QStringLiteral("-");
}

}  // namespace

void CardInfoWindow::showCardInfo() {
    Session& session = currentSession();
    const CardInfo& info = session.cardInfo();
    // Without a reader or a card the identity field says which is missing.
    const QString missing = readerStateText(session);
    iccidValue->setText(!info.CardId && !missing.isEmpty() ? missing : cardIdText(info));
    imsiValue->setText(QString::fromStdString(info.Imsi));
    providerValue->setText(QString::fromStdString(info.ServiceProviderName));
    phaseValue->setText(PhaseText(QString::fromStdString(info.SimPhase), session.languageIndex()));
    phoneBookCountValue->setText(countText(info.MaxPhoneRecords));
    smsCountValue->setText(countText(info.MaxSmsRecords));
    lastDialledCountValue->setText(countText(info.MaxLastDialRecords));
    pin1StateValue->setText(attemptsText(info.Pin1Attempts));
    pin2StateValue->setText(attemptsText(info.Pin2Attempts));
    puk1StateValue->setText(attemptsText(info.Puk1Attempts));
    puk2StateValue->setText(attemptsText(info.Puk2Attempts));
    ownNumberValue->setText(QString::fromStdString(info.OwnNumbers));
    messageCentreValue->setText(QString::fromStdString(info.ServiceCentreNumber));
    setCardCommandsEnabled(session.gate().cardPresent() && info.CardId && !info.CardId->empty());
}

void CardInfoWindow::cardRunChanged() {
    showCardInfo();
}

void CardInfoWindow::setCardCommandsEnabled(bool enabled) {
    const CardInfo& info = currentSession().cardInfo();
    // One card run at a time: the PIN commands wait for the one under way.
    enabled = enabled && !currentSession().gate().runActive();
    // A counter that could not be read leaves its buttons as the last count read for this card
    // set them; another card starts afresh.
    if (info.CardId != countedCard_) {
        countedCard_ = info.CardId;
        lastAttempts_ = {};
    }
    const std::optional<int> attempts[2] = {info.Pin1Attempts, info.Pin2Attempts};
    for (int i = 0; i < 2; ++i) {
        if (attempts[i])
            lastAttempts_[i] = attempts[i];
    }
    pinCheckButtons[0]->setEnabled(enabled);
    // A PIN with attempts left can be changed; one without can only be unblocked.
    for (int i = 0; i < 2; ++i) {
        const std::optional<int>& count = lastAttempts_[i];
        changePinButtons[i]->setEnabled(enabled && count && *count > 0);
        unblockPinButtons[i]->setEnabled(enabled && count && *count <= 0);
    }
    // Verifying makes sense while PIN1 guards the card and has attempts left.
    verifyPinButton->setEnabled(enabled && isKnownAboveZero(lastAttempts_[0]) && !info.Pin1Open);
    copyCardButton->setEnabled(enabled);
    changeOwnNumberButton->setEnabled(enabled);
    changeMessageCentreButton->setEnabled(enabled);
}

QList<QPushButton*> CardInfoWindow::readerCommands() const {
    return {pinCheckButtons[0],    changePinButtons[0],      changePinButtons[1],
            unblockPinButtons[0],  unblockPinButtons[1],     verifyPinButton,
            changeOwnNumberButton, changeMessageCentreButton};
}

void CardInfoWindow::changePin(int index) {
    if (currentSession().gate().runActive())
        return;
    const CardInfo& info = currentSession().cardInfo();
    if (IsKnown(info.Pin1Attempts, 0) && IsKnown(info.Pin2Attempts, 0))
        return;
    host().pinDialogs().showChangePin(0, index);
}

void CardInfoWindow::unblockPin(int index) {
    if (currentSession().gate().runActive())
        return;
    const CardInfo& info = currentSession().cardInfo();
    if (isKnownAboveZero(info.Pin1Attempts) && isKnownAboveZero(info.Pin2Attempts))
        return;
    host().pinDialogs().showChangePin(1, index);
}

void CardInfoWindow::verifyPin() {
    if (currentSession().gate().runActive() || IsKnown(currentSession().cardInfo().Pin1Attempts, 0))
        return;
    host().pinDialogs().showVerifyPin(0);
}

void CardInfoWindow::switchPinCheck(int index) {
    if (currentSession().gate().runActive())
        return;
    const CardInfo& info = currentSession().cardInfo();
    if (IsKnown(info.Pin1Attempts, 0) && IsKnown(info.Pin2Attempts, 0))
        return;
    host().pinDialogs().showInputPin(index, 0);
}

}  // namespace pellucard
