#include "shell/button_panel.h"

#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <optional>

#include "shell/artwork.h"
#include "shell/session.h"

namespace pellucard {
namespace {

struct ButtonDesign {
    bool selectsWindow;
    Artwork picture;
    std::optional<MessageId> captionId;  // none for the buttons that select no window
};

constexpr std::array<ButtonDesign, 7> kButtons{{
    {true, Artwork::Printer, MessageId::Print},
    {false, Artwork::SimCard, std::nullopt},
    {true, Artwork::Person, MessageId::PersonalRecord},
    {false, Artwork::SimCard, std::nullopt},
    {true, Artwork::PhoneBook, MessageId::SimCardPhoneBook},
    {true, Artwork::Message, MessageId::SimCardSms},
    {true, Artwork::SimCard, MessageId::SimCardInformation},
}};

constexpr int kPictureSize = 44;
constexpr int kButtonWidth = 64;

}  // namespace

ButtonPanel::ButtonPanel(QWidget* parent) : QScrollArea(parent) {
    setObjectName("leftPanel");
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setObjectName("verticalScrollBar");
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);

    auto* picture = new QWidget;
    picture->setObjectName("scrollArea");
    auto* column = new QVBoxLayout(picture);
    column->setContentsMargins(4, 4, 4, 4);
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        auto* button = new QToolButton(picture);
        button->setObjectName(QStringLiteral("windowButton_%1").arg(i));
        button->setAutoRaise(true);
        // Button i selects the window whose index is i.
        const auto index = static_cast<WindowIndex>(i);
        if (kButtons[i].selectsWindow) {
            button->setIcon(artworkIcon(kButtons[i].picture));
            button->setIconSize(QSize(kPictureSize, kPictureSize));
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
            button->setFixedWidth(kButtonWidth);
        } else {
            button->setEnabled(false);
            button->setFixedSize(kButtonWidth, 6);
        }
        connect(button, &QToolButton::clicked, this, [this, index] { emit windowChosen(index); });
        column->addWidget(button, 0, Qt::AlignHCenter);
        buttons_[i] = button;
    }
    column->addStretch(1);
    setWidget(picture);
    setFixedWidth(kButtonWidth + 12 + verticalScrollBar()->sizeHint().width());
}

void ButtonPanel::setButtonsVisible(bool visible) {
    for (QToolButton* button : buttons_)
        button->setVisible(visible);
}

void ButtonPanel::changeLanguage(const Session& session) {
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        if (!kButtons[i].selectsWindow)
            continue;
        const QString caption = session.text(*kButtons[i].captionId);
        buttons_[i]->setText(caption);  // read out by screen readers; the picture shows
        buttons_[i]->setToolTip(caption);
    }
}

}  // namespace pellucard
