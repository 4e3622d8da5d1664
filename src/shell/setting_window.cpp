#include "shell/setting_window.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "engine/pellucard.h"
#include "shell/artwork.h"
#include "shell/card_watch.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/session.h"

namespace pellucard {
namespace {

QPushButton* NewButton(QWidget* parent, const QString& name) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

Setting::Setting(ShellHost& host, QWidget* parent)
    : ChildWindow(WindowIndex::Setting, host, parent) {
    setObjectName("Setting");
    setWindowIcon(ArtworkIcon(Artwork::SimCard));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    scroll_->horizontalScrollBar()->setObjectName("HScroll1");
    scroll_->verticalScrollBar()->setObjectName("VScroll1");
    outer->addWidget(scroll_);

    auto* picture = new QWidget;
    picture->setObjectName("Picture1");
    scroll_->setWidget(picture);
    auto* layout = new QVBoxLayout(picture);

    auto* heading = new QHBoxLayout;
    auto* icon = new QLabel(picture);
    icon->setPixmap(ArtworkPixmap(Artwork::SimCard, 48));
    Label3 = new QLabel(picture);
    Label3->setObjectName("Label3");
    QFont headingFont = Label3->font();
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.6);
    headingFont.setBold(true);
    Label3->setFont(headingFont);
    heading->addWidget(icon);
    heading->addWidget(Label3, 1);
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
    TICCID = addField("TICCID", MessageId::IccId, 0);
    TIMSI = addField("TIMSI", MessageId::Imsi, 1);
    TSPN = addField("TSPN", MessageId::ServiceProviderName, 2);
    TSIMP = addField("TSIMP", MessageId::SimPhase, 3);
    TMNOfPhone = addField("TMNOfPhone", MessageId::MaxNumberOfPhone, 4);
    TMNOfMessage = addField("TMNOfMessage", MessageId::MaxNumberOfMessage, 5);
    TMNOFLastDial = addField("TMNOFLastDial", MessageId::MaxNumberOfLastDialOut, 6);
    TPIN1State = addField("TPIN1State", MessageId::Pin1State, 7);
    TPIN2State = addField("TPIN2State", MessageId::Pin2State, 8);
    TUnblockPIN1State = addField("TUnblockPIN1State", MessageId::UnblockPin1State, 9);
    TUnblockPIN2State = addField("TUnblockPIN2State", MessageId::UnblockPin2State, 10);

    for (int i = 0; i < 2; ++i) {
        ComCPIN[i] = NewButton(picture, QStringLiteral("ComCPIN_%1").arg(i));
        ComUBPIN[i] = NewButton(picture, QStringLiteral("ComUBPIN_%1").arg(i));
        grid->addWidget(ComCPIN[i], 7 + i, 2);
        grid->addWidget(ComUBPIN[i], 7 + i, 3);
        connect(ComCPIN[i], &QPushButton::clicked, this, [this, i] { ComCPIN_Click(i); });
        connect(ComUBPIN[i], &QPushButton::clicked, this, [this, i] { ComUBPIN_Click(i); });
    }
    ComLPIN[0] = NewButton(picture, "ComLPIN_0");
    grid->addWidget(ComLPIN[0], 9, 2, 1, 2);
    connect(ComLPIN[0], &QPushButton::clicked, this, [this] { ComLPIN_Click(0); });
    ComVPIN = NewButton(picture, "ComVPIN");
    grid->addWidget(ComVPIN, 10, 2, 1, 2);
    connect(ComVPIN, &QPushButton::clicked, this, [this] { ComVPIN_Click(); });
    // The PIN commands come and go with the reader; the fields should not move when they do.
    for (QPushButton* button :
         {ComLPIN[0], ComCPIN[0], ComCPIN[1], ComUBPIN[0], ComUBPIN[1], ComVPIN}) {
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        button->setSizePolicy(policy);
    }
    layout->addLayout(grid);

    auto* commands = new QHBoxLayout;
    CmdConnect = NewButton(picture, "CmdConnect");
    CmdCopy = NewButton(picture, "CmdCopy");
    commands->addWidget(CmdConnect);
    commands->addWidget(CmdCopy);
    commands->addStretch(1);
    layout->addLayout(commands);
    layout->addStretch(1);

    Label4 = new QLabel(picture);
    Label4->setObjectName("Label4");
    Label4->setAlignment(Qt::AlignRight);
    Label4->setEnabled(false);  // a quiet product mark at the foot of the window
    layout->addWidget(Label4);

    ChangeLanguage();
    connect(&host.PinDialogs(), &PinDialogLauncher::DialogClosed, this, [this] { ShowCardInf(); });
    // The counts follow every attempt, not only the dialog's closing.
    connect(&host.PinDialogs(), &PinDialogLauncher::CountersChanged, this,
            [this] { ShowCardInf(); });
}

void Setting::ChangeLanguage() {
    Session& session = CurrentSession();
    setWindowTitle(session.Text(MessageId::SimCardInformation));
    for (const Field& field : fields_)
        field.caption->setText(session.Text(field.captionId));
    ComCPIN[0]->setText(session.Text(MessageId::ChangePin1));
    ComCPIN[1]->setText(session.Text(MessageId::ChangePin2));
    ComLPIN[0]->setText(session.Text(MessageId::LockOrUnlockPin1));
    ComVPIN->setText(session.Text(MessageId::VerifyPin1));
    ComUBPIN[0]->setText(session.Text(MessageId::UnblockPin1));
    ComUBPIN[1]->setText(session.Text(MessageId::UnblockPin2));
    CmdConnect->setText(session.Text(MessageId::ConnectSimCardReader));
    CmdCopy->setText(session.Text(MessageId::CopySimCard));
    Label3->setText(session.Text(MessageId::ProgramNameHeading));
    Label4->setText(session.Text(MessageId::ProgramNameBanner));
    ShowCardInf();  // the attempts texts are words of the language too
}

void Setting::Form_Activate() {
    Session& session = CurrentSession();
    session.CurrentWindow = WindowIndex::Setting;
    const bool reader = session.Gate().ReaderPresent();
    for (QPushButton* button :
         {ComLPIN[0], ComCPIN[0], ComCPIN[1], ComUBPIN[0], ComUBPIN[1], ComVPIN})
        button->setVisible(reader);
    ShowCardInf();
    // Nothing here to save or exchange.
    for (FileMenuEntry entry : {FileMenuEntry::SaveAs, FileMenuEntry::New, FileMenuEntry::Import,
                                FileMenuEntry::Export, FileMenuEntry::Open, FileMenuEntry::Save})
        Host().SetFileCommandEnabled(entry, false);
}

QString Setting::AttemptsText(const std::optional<int>& count) {
    if (!count)
        return QStringLiteral("-");  // not read: never shown as 0, which reads as blocked
    const Session& session = CurrentSession();
    // The catalogue's pieces ("Remain ", "Times") carry no blank after the count.
    return session.Text(MessageId::RemainPrefix) + QString::number(*count) + QLatin1Char(' ') +
           session.Text(MessageId::TimesSuffix);
}

namespace {

QString CountText(const std::optional<int>& count) {
    return count ? QString::number(*count) : QStringLiteral("-");
}

}  // namespace

void Setting::ShowCardInf() {
    Session& session = CurrentSession();
    const CardInfoRecord& info = session.CardInfo;
    // Without a reader or a card the identity field says which is missing.
    const QString missing = ReaderStateText(session);
    TICCID->setText(!info.CardId && !missing.isEmpty() ? missing : CardIdText(info));
    TIMSI->setText(info.Imsi);
    TSPN->setText(info.ServiceProviderName);
    TSIMP->setText(info.SimPhase);
    TMNOfPhone->setText(CountText(info.MaxPhoneRecords));
    TMNOfMessage->setText(CountText(info.MaxSmsRecords));
    TMNOFLastDial->setText(CountText(info.MaxLastDialRecords));
    TPIN1State->setText(AttemptsText(info.Pin1Attempts));
    TPIN2State->setText(AttemptsText(info.Pin2Attempts));
    TUnblockPIN1State->setText(AttemptsText(info.Puk1Attempts));
    TUnblockPIN2State->setText(AttemptsText(info.Puk2Attempts));
    EnableProgram(session.Gate().CardPresent() && info.CardId && !info.CardId->isEmpty());
}

void Setting::CardRunChanged() {
    ShowCardInf();
}

void Setting::EnableProgram(bool enabled) {
    const CardInfoRecord& info = CurrentSession().CardInfo;
    // One card run at a time: the PIN commands wait for the one under way.
    enabled = enabled && !CurrentSession().Gate().RunActive();
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
    ComLPIN[0]->setEnabled(enabled);
    // A PIN with attempts left can be changed; one without can only be unblocked.
    for (int i = 0; i < 2; ++i) {
        const std::optional<int>& count = lastAttempts_[i];
        ComCPIN[i]->setEnabled(enabled && count && *count > 0);
        ComUBPIN[i]->setEnabled(enabled && count && *count <= 0);
    }
    // Verifying makes sense while PIN1 guards the card and has attempts left.
    ComVPIN->setEnabled(enabled && IsKnownAboveZero(lastAttempts_[0]) && !info.Pin1Open);
    CmdCopy->setEnabled(enabled);
}

void Setting::ComCPIN_Click(int index) {
    if (CurrentSession().Gate().RunActive())
        return;
    const CardInfoRecord& info = CurrentSession().CardInfo;
    if (IsKnown(info.Pin1Attempts, 0) && IsKnown(info.Pin2Attempts, 0))
        return;
    Host().PinDialogs().ShowChangePin(0, index);
}

void Setting::ComUBPIN_Click(int index) {
    if (CurrentSession().Gate().RunActive())
        return;
    const CardInfoRecord& info = CurrentSession().CardInfo;
    if (IsKnownAboveZero(info.Pin1Attempts) && IsKnownAboveZero(info.Pin2Attempts))
        return;
    Host().PinDialogs().ShowChangePin(1, index);
}

void Setting::ComVPIN_Click() {
    if (CurrentSession().Gate().RunActive() || IsKnown(CurrentSession().CardInfo.Pin1Attempts, 0))
        return;
    Host().PinDialogs().ShowVerifyPin(0);
}

void Setting::ComLPIN_Click(int index) {
    if (CurrentSession().Gate().RunActive())
        return;
    const CardInfoRecord& info = CurrentSession().CardInfo;
    if (IsKnown(info.Pin1Attempts, 0) && IsKnown(info.Pin2Attempts, 0))
        return;
    Host().PinDialogs().ShowInputPin(index, 0);
}

}  // namespace pellucard
