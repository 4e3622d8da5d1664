#pragma once

#include <QObject>

#include <array>
#include <optional>
#include <set>

#include "catalogue/catalogue.h"
#include "engine/card_record_file.h"

class QComboBox;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace pellucard {

// A file of the card in the phone book's record layout, as the phone book window offers it.
struct CardFileKind {
    CardRecordFile file;
    MessageId nameId;  // its entry in the selector
    // Set for the files this program only reads: the operator's service numbers, and the last
    // numbers dialled, which the handset keeps. It says why.
    std::optional<MessageId> readOnlyReason;
    // GSM 11.11: the card updates the fixed dialling numbers only after CHV2.
    bool asksPin2 = false;
};

// The files in the selector's order, the phone book (the default) first.
const std::array<CardFileKind, 5>& cardFileKinds();
const CardFileKind& cardFileKind(CardRecordFile file);

// The selector above the card list: a caption, a drop-down list of the files and a note on what
// the file shown allows (read only and why; PIN2 to write). Picking an entry asks the window for
// the file (requested); the selector keeps showing the file the list holds until the window
// says another one is shown (setShown), so a switch that was refused or failed leaves it as it
// was.
class CardFileChoice final : public QObject {
    Q_OBJECT

public:
    explicit CardFileChoice(QWidget* parent);

    // The caption with the list, and the note, for the row they sit in.
    QHBoxLayout* group() const { return group_; }
    QComboBox* box() const { return box_; }
    QLabel* note() const { return note_; }
    void changeLanguage(int languageIndex);

    CardRecordFile shown() const { return shown_; }
    const CardFileKind& shownKind() const { return cardFileKind(shown_); }
    void setShown(CardRecordFile file);

    // A file the card in the reader does not have: its entry is greyed and says so.
    void setAbsent(CardRecordFile file);
    bool isAbsent(CardRecordFile file) const { return absent_.count(file) != 0; }
    // Another card: every file may be there again.
    void clearAbsent();

    void setEnabled(bool enabled);

signals:
    void requested(CardRecordFile file);

private:
    void showEntries();

    QHBoxLayout* group_;
    QLabel* caption_;
    QComboBox* box_;
    QLabel* note_;
    CardRecordFile shown_ = CardRecordFile::PhoneBook;
    std::set<CardRecordFile> absent_;
    int language_ = 0;
};

}  // namespace pellucard
