#include "shell/about_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/artwork.h"
#include "shell/session.h"

namespace pellucard {

AboutDialog::AboutDialog(const Session& session, QWidget* parent) : QDialog(parent) {
    setObjectName("Dialog");
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QHBoxLayout(this);

    auto* pictures = new QVBoxLayout;
    auto* card = new QLabel(this);
    card->setObjectName("cardPicture");
    card->setPixmap(artworkPixmap(Artwork::SimCard, 96));
    auto* messages = new QLabel(this);
    messages->setObjectName("messagesPicture");
    messages->setPixmap(artworkPixmap(Artwork::PhoneBook, 48));
    pictures->addWidget(card, 0, Qt::AlignHCenter);
    pictures->addWidget(messages, 0, Qt::AlignHCenter);
    pictures->addStretch(1);
    layout->addLayout(pictures);

    auto* text = new QVBoxLayout;
    versionLabel = new QLabel(this);
    versionLabel->setObjectName("versionLabel");
    versionLabel->setWordWrap(true);
    versionLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->addWidget(versionLabel);
    text->addStretch(1);
    okButton = new QPushButton(this);
    okButton->setObjectName("okButton");
    okButton->setDefault(true);
    text->addWidget(okButton, 0, Qt::AlignRight);
    layout->addLayout(text, 1);

    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    changeLanguage(session);
    setMinimumWidth(versionLabel->fontMetrics().horizontalAdvance(versionLabel->text()) + 160);
}

void AboutDialog::changeLanguage(const Session& session) {
    setWindowTitle(session.text(MessageId::AboutPellucard));
    versionLabel->setText(session.text(MessageId::ProgramVersion));
    versionLabel->setToolTip(session.text(MessageId::ProgramVersion));
    okButton->setText(session.text(MessageId::Ok));
}

}  // namespace pellucard
