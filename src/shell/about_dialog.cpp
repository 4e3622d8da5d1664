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
    card->setObjectName("Image1");
    card->setPixmap(ArtworkPixmap(Artwork::SimCard, 96));
    auto* messages = new QLabel(this);
    messages->setObjectName("Image2");
    messages->setPixmap(ArtworkPixmap(Artwork::PhoneBook, 48));
    pictures->addWidget(card, 0, Qt::AlignHCenter);
    pictures->addWidget(messages, 0, Qt::AlignHCenter);
    pictures->addStretch(1);
    layout->addLayout(pictures);

    auto* text = new QVBoxLayout;
    VersionLabel = new QLabel(this);
    VersionLabel->setObjectName("Label1");
    VersionLabel->setWordWrap(true);
    VersionLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->addWidget(VersionLabel);
    text->addStretch(1);
    OKButton = new QPushButton(this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    text->addWidget(OKButton, 0, Qt::AlignRight);
    layout->addLayout(text, 1);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    ChangeLanguage(session);
    setMinimumWidth(VersionLabel->fontMetrics().horizontalAdvance(VersionLabel->text()) + 160);
}

void AboutDialog::ChangeLanguage(const Session& session) {
    setWindowTitle(session.Text(MessageId::AboutPellucard));
    VersionLabel->setText(session.Text(MessageId::ProgramVersion));
    VersionLabel->setToolTip(session.Text(MessageId::ProgramVersion));
    OKButton->setText(session.Text(MessageId::Ok));
}

}  // namespace pellucard
