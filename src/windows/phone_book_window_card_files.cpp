// The phone book window's card files: the selector that switches the card list between the
// phone book and the other files in its record layout, the files only read, and PIN2 before the
// fixed dialling numbers are written.
#include <QBoxLayout>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QUndoStack>

#include "engine/pellucard.h"
#include "engine/status_words.h"
#include "records/dialog_seam.h"
#include "shell/pin2_step.h"
#include "shell/session.h"
#include "windows/card_file_choice.h"
#include "windows/cell_editor.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"
#include "windows/usim_transfer_runs.h"
#include "windows/usim_write_bookkeeping.h"
#include "windows/wrapping_row.h"

namespace pellucard {

namespace {

// An alpha identifier ahead of the 14 bytes of number (GSM 11.11 10.5.1).
constexpr int kNumberPartLength = 14;

// The card has no such file: it does not know the identifier, or it keeps no records there.
bool fileMissing(const CardOutcome& entered, int recordCount) {
    if (entered.IsRefused())
        return ClassOfStatusWord(entered.statusWord) == StatusClass::FileNotFound;
    return entered.IsDone() && recordCount == 0;
}

}  // namespace

void PhoneBookWindow::addCardFileChoice() {
    QGroupBox* frame = listFrame_[kSimList];
    fileChoice_ = new CardFileChoice(frame);
    // Beside the card commands, in the frame's first row; above the list should that row be
    // laid out otherwise.
    auto* frameLayout = qobject_cast<QBoxLayout*>(frame->layout());
    QLayoutItem* first = frameLayout && frameLayout->count() > 0 ? frameLayout->itemAt(0) : nullptr;
    if (auto* row = first ? qobject_cast<WrappingRow*>(first->layout()) : nullptr) {
        row->addGroup(fileChoice_->group());
        row->addWidget(fileChoice_->note(), 1);
    } else if (frameLayout) {
        fileChoice_->group()->addWidget(fileChoice_->note(), 1);
        frameLayout->insertLayout(0, fileChoice_->group());
    }
    connect(fileChoice_, &CardFileChoice::requested, this, &PhoneBookWindow::showCardFile);
    // After the window's own reaction: the selector follows the read command.
    connect(&currentSessionRef(), &Session::cardInfoChanged, this,
            [this] { fileChoice_->setEnabled(readButton_->isEnabled()); });
}

CardRecordFile PhoneBookWindow::shownCardFile() const {
    return fileChoice_->shown();
}

void PhoneBookWindow::showCardFile(CardRecordFile file) {
    if (file == shownCardFile() || switchingTo_ || busy_ || currentSessionRef().gate().busy())
        return;
    {
        const QScopedValueRollback<std::optional<CardRecordFile>> switching(switchingTo_, file);
        // Edits not written to the card are written, dropped or kept (the switch is off).
        if (keepCardSideChanges())
            readCard();
    }
    if (shownCardFile() == file) {
        // The steps of the history are about the file that is gone: undoing one would put its
        // records into this file's slots.
        history_->clear();
    }
    showFileState();
}

int PhoneBookWindow::recordCountOf(CardRecordFile file) const {
    Session& session = const_cast<PhoneBookWindow*>(this)->currentSessionRef();
    if (file == CardRecordFile::PhoneBook)
        return session.cardInfo().MaxPhoneRecords.value_or(0);
    return shownLayout_.generation == session.cardGeneration() ? shownLayout_.recordCount : 0;
}

void PhoneBookWindow::noteShown(CardRecordFile file, Pellucard& engine) {
    fileChoice_->setShown(file);
    shownLayout_ = {};
    if (file != CardRecordFile::PhoneBook)
        shownLayout_ = {currentSessionRef().cardGeneration(), engine.RecordCount(file),
                        engine.RecordLength(file)};
    showFileState();
}

bool PhoneBookWindow::runRead(TransferRun& run, RecordList& list, int& doneCount) {
    const CardRecordFile file = switchingTo_.value_or(shownCardFile());
    const std::function<void()> listEmptied = run.entered;
    // What was known of the card's USIM phone book goes with the rows it was read into, once
    // the read empties them; a read that cannot start leaves both as they were.
    run.entered = [this, &run, file, listEmptied] {
        noteShown(file, run.engine);
        usimBook_ = {};
        if (listEmptied)
            listEmptied();
    };
    if (file == CardRecordFile::PhoneBook)
        return readPhoneBook(run, list, recordCountOf(file), doneCount) &&
               readUsimFields(run, list, doneCount, usimBook_);
    return readOtherFile(run, list, doneCount, file);
}

bool PhoneBookWindow::readOtherFile(TransferRun& run, RecordList& list, int& doneCount,
                                    CardRecordFile file) {
    // Looked at first, so that a file the card lacks leaves the list as it is.
    const CardOutcome entered = run.engine.EnterRecordFile(file);
    const int recordCount = entered.IsDone() ? run.engine.RecordCount(file) : 0;
    if (fileMissing(entered, recordCount)) {
        absentGeneration_ = currentSessionRef().cardGeneration();
        fileChoice_->setAbsent(file);
        run.progress.setStatus(
            text(MessageId::CardFileAbsent).arg(text(cardFileKind(file).nameId)));
        return false;
    }
    // Any other refusal is the run's to report.
    return readPhoneBook(run, list, recordCount, doneCount, file);
}

bool PhoneBookWindow::runWrite(TransferRun& run, const RecordList& list, int usedCount) {
    if (shownCardFile() != CardRecordFile::PhoneBook)
        return writePhoneBook(run, list, cardRecordCount(), usedCount, shownCardFile());
    // Only the entries as the card held them tell which ones the ADN run changes or adds.
    if (usimBook_.generation != run.cardGeneration && !readUsimBookBeforeWrite(run, usimBook_))
        return false;
    if (writePhoneBook(run, list, cardRecordCount(), usedCount))
        return writeUsimFields(run, list, usimBook_);
    // The entries written before the run ended are changed on the card all the same.
    writeUsimFieldsOfPartialRun(run, list, usimBook_, nowLabel_->text());
    return false;
}

bool PhoneBookWindow::askBeforeRead(bool /*writeEnabled*/) const {
    // A switch has asked about the list's unwritten edits already.
    return !switchingTo_;
}

void PhoneBookWindow::afterRead() {
    // The list has the file's slots and no more: a record typed or copied beyond them would
    // never reach the card. The phone book keeps its slots as ever.
    const int count = cardRecordCount();
    if (shownCardFile() != CardRecordFile::PhoneBook && count > 0 && count < kSlotCapacity)
        recordList(kSimList).SetRows(count + 1);
    if (shownCardFile() == CardRecordFile::PhoneBook) {
        lastNumberTypes_ = usimBook_.numberTypes;
        lastGroupNames_ = usimBook_.groupNames;
    }
    showUsimColumns();
}

bool PhoneBookWindow::listReadOnly(int list) const {
    return list == kSimList && fileChoice_ && fileChoice_->shownKind().readOnlyReason;
}

bool PhoneBookWindow::readyToWrite(CardGate::Hold& hold) {
    if (!fileChoice_->shownKind().asksPin2)
        return true;
    Session& session = currentSessionRef();
    Pellucard& engine = hold.engine();
    // A file the card lacks costs no PIN2 attempt.
    const CardOutcome entered = engine.EnterRecordFile(shownCardFile());
    if (fileMissing(entered, entered.IsDone() ? engine.RecordCount(shownCardFile()) : 0)) {
        nowLabel_->setText(
            text(MessageId::CardFileAbsent).arg(text(fileChoice_->shownKind().nameId)) +
            text(MessageId::NothingWritten));
        return false;
    }
    const Pin2Step pin2 = askForPin2(session, host().pinDialogs(), hold);
    if (pin2.ending == Pin2Step::Ending::Verified)
        return true;
    // Blocked before anything was asked: the window says so. A code that was wrong, or blocked
    // PIN2 in the dialog, has been told by the dialog already.
    if (pin2.ending == Pin2Step::Ending::Blocked && !pin2.asked) {
        nowLabel_->setText(text(MessageId::Pin2BlockedNothingWritten));
        ShowMessage(CatalogueMessage(MessageId::Pin2BlockedNothingWritten, language(),
                                     DialogButtons::Ok, DialogIcon::Warning));
        return false;
    }
    nowLabel_->setText(text(MessageId::Pin2NotVerifiedNothingWritten));
    return false;
}

void PhoneBookWindow::limitNameToShownFile(int list, int column) {
    // The name field of another file has that file's length.
    if (list == kSimList && column == phone_column::kName &&
        shownCardFile() != CardRecordFile::PhoneBook && shownLayout_.recordLength > 0)
        cellEditor_->setLengthLimit(std::max(shownLayout_.recordLength - kNumberPartLength, 1));
}

void PhoneBookWindow::changeLanguage() {
    RecordWindow::changeLanguage();
    fileChoice_->changeLanguage(language());
    showFileState();
}

void PhoneBookWindow::activate() {
    RecordWindow::activate();
    fileChoice_->setEnabled(readButton_->isEnabled());
}

void PhoneBookWindow::cardChanged() {
    RecordWindow::cardChanged();
    if (absentGeneration_ != currentSessionRef().cardGeneration())
        fileChoice_->clearAbsent();
    fileChoice_->setEnabled(readButton_->isEnabled());
}

void PhoneBookWindow::cardRunChanged() {
    RecordWindow::cardRunChanged();
    fileChoice_->setEnabled(readButton_->isEnabled());
}

void PhoneBookWindow::showFileState() {
    const CardFileKind& kind = fileChoice_->shownKind();
    setTitle(kSimList, kind.file == CardRecordFile::PhoneBook
                           ? text(MessageId::SimCardPhoneBook)
                           : text(MessageId::SimCardFileTitle).arg(text(kind.nameId)));
    const bool readOnly = kind.readOnlyReason.has_value();
    const QString reason = readOnly ? text(*kind.readOnlyReason) : QString();
    for (QPushButton* button : {deleteButton_[kSimList], newRecordButton_[kSimList],
                                copyToCardButton_, copyAllToCardButton_, writeButton_}) {
        if (button != writeButton_)
            button->setEnabled(!readOnly);
        button->setToolTip(readOnly ? reason : button->text());
    }
    // The write command follows the card as well.
    cardRunChanged();
}

}  // namespace pellucard
