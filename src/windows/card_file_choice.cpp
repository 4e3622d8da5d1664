#include "windows/card_file_choice.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QStandardItemModel>

namespace pellucard {

const std::array<CardFileKind, 5>& cardFileKinds() {
    static const std::array<CardFileKind, 5> kinds{{
        {CardRecordFile::PhoneBook, MessageId::PhoneBookFile, std::nullopt, false},
        {CardRecordFile::OwnNumbers, MessageId::OwnNumbersChoice, std::nullopt, false},
        {CardRecordFile::FixedDialling, MessageId::FixedDiallingChoice, std::nullopt, true},
        {CardRecordFile::ServiceDialling, MessageId::ServiceDiallingChoice,
         MessageId::ServiceDiallingReadOnly, false},
        {CardRecordFile::LastDialled, MessageId::LastDialledChoice, MessageId::LastDialledReadOnly,
         false},
    }};
    return kinds;
}

const CardFileKind& cardFileKind(CardRecordFile file) {
    for (const CardFileKind& kind : cardFileKinds()) {
        if (kind.file == file)
            return kind;
    }
    return cardFileKinds().front();
}

CardFileChoice::CardFileChoice(QWidget* parent) : QObject(parent) {
    setObjectName(QStringLiteral("cardFileChoice"));
    group_ = new QHBoxLayout;
    group_->setContentsMargins(8, 0, 0, 0);
    caption_ = new QLabel(parent);
    caption_->setObjectName(QStringLiteral("cardFileCaption"));
    box_ = new QComboBox(parent);
    box_->setObjectName(QStringLiteral("cardFileBox"));
    box_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    caption_->setBuddy(box_);
    note_ = new QLabel(parent);
    note_->setObjectName(QStringLiteral("cardFileNote"));
    group_->addWidget(caption_);
    group_->addWidget(box_);
    for (const CardFileKind& kind : cardFileKinds())
        box_->addItem(QString(), static_cast<int>(kind.file));
    connect(box_, &QComboBox::activated, this, [this](int index) {
        const auto file = static_cast<CardRecordFile>(box_->itemData(index).toInt());
        // The list shows the file it holds until the window has switched.
        showEntries();
        if (file != shown_)
            emit requested(file);
    });
}

void CardFileChoice::changeLanguage(int languageIndex) {
    language_ = languageIndex;
    caption_->setText(Message(MessageId::CardFileLabel, language_));
    showEntries();
}

void CardFileChoice::setShown(CardRecordFile file) {
    shown_ = file;
    absent_.erase(file);
    showEntries();
}

void CardFileChoice::setAbsent(CardRecordFile file) {
    absent_.insert(file);
    showEntries();
}

void CardFileChoice::clearAbsent() {
    absent_.clear();
    showEntries();
}

void CardFileChoice::setEnabled(bool enabled) {
    box_->setEnabled(enabled);
}

void CardFileChoice::showEntries() {
    const QSignalBlocker blocker(box_);
    auto* entries = qobject_cast<QStandardItemModel*>(box_->model());
    for (int index = 0; index < box_->count(); ++index) {
        const CardFileKind& kind = cardFileKinds()[static_cast<std::size_t>(index)];
        const QString name = Message(kind.nameId, language_);
        const bool absent = isAbsent(kind.file);
        box_->setItemText(index, name);
        box_->setItemData(
            index, absent ? Message(MessageId::CardFileAbsent, language_).arg(name) : QVariant(),
            Qt::ToolTipRole);
        if (QStandardItem* item = entries ? entries->item(index) : nullptr)
            item->setEnabled(!absent);
        if (kind.file == shown_)
            box_->setCurrentIndex(index);
    }
    const CardFileKind& kind = shownKind();
    const QString note = kind.readOnlyReason ? Message(*kind.readOnlyReason, language_)
                         : kind.asksPin2     ? Message(MessageId::WritingAsksPin2, language_)
                                             : QString();
    note_->setText(note);
    note_->setToolTip(note);
    note_->setVisible(!note.isEmpty());
}

}  // namespace pellucard
