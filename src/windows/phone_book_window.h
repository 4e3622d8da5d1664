#pragma once

#include <optional>

#include "engine/card_record_file.h"
#include "windows/record_window.h"
#include "windows/usim_rows.h"

namespace pellucard {

class CardFileChoice;

// The phone book window: the card's abbreviated dialling numbers beside a contact file.
class PhoneBookWindow final : public RecordWindow {
    Q_OBJECT

public:
    explicit PhoneBookWindow(ShellHost& host, QWidget* parent = nullptr);

    void appendClipboardRecords(int list, const QString& text, int& used) override;

    // The card list shows the phone book or another file in its record layout (own, fixed,
    // service or last dialled numbers): the selector's choice, read from the card once the
    // list's unwritten edits were dealt with. A file the card does not have, or a read that
    // cannot start, leaves the list and the selector as they were.
    void showCardFile(CardRecordFile file);
    CardRecordFile shownCardFile() const;
    CardFileChoice* cardFileChoice() const { return fileChoice_; }
    void changeLanguage() override;
    void activate() override;
    void cardChanged() override;
    void cardRunChanged() override;

    // The USIM columns show in the SIM list when the card read last has a USIM phone book, and
    // in the computer list when it holds a value of them or the SIM list shows them.
    bool usimColumnsShown(int list) const;
    const UsimCardBook& usimBook() const { return usimBook_; }

protected:
    void setUpColumns(int list) override;
    void applyColumnWidths(int list) override;
    int cardRecordCount() const override;
    bool runRead(TransferRun& run, RecordList& list, int& doneCount) override;
    bool runWrite(TransferRun& run, const RecordList& list, int usedCount) override;
    void beforeWrite(Pellucard& engine) override;
    void editCell(int list) override;
    QString clipboardText(int list) const override;
    bool isNumberColumn(int column) const override;
    int findLastColumn() const override { return 2; }
    bool listReadOnly(int list) const override;
    bool readyToWrite(CardGate::Hold& hold) override;
    bool askBeforeRead(bool writeEnabled) const override;
    void afterRead() override;
    void setEditorLimit(int list, int column) override;
    void afterLoad(int list) override;
    void editorTextChanged() override;
    void editorPlaced(int list, int row, int column) override;
    // The type and group cells are chosen among the names the card offers (the card list), or
    // typed with those of the card read last offered beside (the computer list).
    bool cellChoices(int list, int row, int column, CellChoices& choices) override;
    // The file keeps the USIM columns in the contact fields that mean the same.
    SlotTrailers documentTrailers() override;
    void trailersOpened(const SlotTrailers& trailers) override;

private:
    // Puts the selector of the card list's file into the card list's command row.
    void addCardFileChoice();
    // The card's records of `file`: the phone book's from the card information, the others' as
    // the last read of this card found them.
    int recordCountOf(CardRecordFile file) const;
    // Limits the name editor of the SIM list to the shown file's name field.
    void limitNameToShownFile(int list, int column);
    // Reads a file other than the phone book; one the card lacks is greyed in the selector.
    bool readOtherFile(TransferRun& run, RecordList& list, int& doneCount, CardRecordFile file);
    // The card list now holds `file` (its read has begun).
    void noteShown(CardRecordFile file, Pellucard& engine);
    // Captions, notes and commands that follow the file shown.
    void showFileState();

    CardFileChoice* fileChoice_ = nullptr;
    std::optional<CardRecordFile> switchingTo_;  // the file a switch reads
    // What the last read of a file other than the phone book learnt of it on this card.
    struct FileLayout {
        int generation = -1;
        int recordCount = 0;
        int recordLength = 0;
    };
    FileLayout shownLayout_;
    int absentGeneration_ = -1;  // the card the greyed entries of the selector are about

    void showUsimColumns();
    // The columns of the clipboard form: name and number, and the USIM columns the list shows.
    QList<int> clipboardColumns(int list) const;

    UsimCardBook usimBook_;
    // The number types and group names of the phone book read last, kept when the card list
    // shows another file or the card goes: the computer list still offers them.
    std::vector<std::string> lastNumberTypes_;
    std::vector<std::string> lastGroupNames_;
};

}  // namespace pellucard
