#pragma once

#include <QComboBox>
#include <QStringList>

namespace pellucard {

// The names a cell is edited with, as a record window offers them for one cell.
struct CellChoices {
    QStringList names;      // offered after an empty entry, which clears the cell
    bool freeText = false;  // other text may be typed too
    QString tip;            // what the editor's tooltip says
};

// The face of the cell editor over a cell whose value is one of a few names (`cellChoice`): a
// combo box with an empty entry first. It holds no value of its own: every choice goes to the
// record window's cell editor as if typed there, so the list, its undo history and its marks
// follow it as they follow typing. Typing the first letters picks a name, Alt+Down or F4 opens
// the list; Enter, Up and Down, Tab and a click elsewhere are the window's, as in every cell;
// Escape asks for the stay in the cell to be taken back.
class CellChoiceEditor final : public QComboBox {
    Q_OBJECT

public:
    explicit CellChoiceEditor(QWidget* parent = nullptr);

    // Offers the names with `current` chosen. A current text that is none of them (one typed
    // before, or pasted with a row) stays offered, so that opening the cell loses nothing.
    // `lengthLimit` (0: none) bounds free text.
    void offer(const CellChoices& choices, const QString& current, int lengthLimit);
    // Shows `text` as the cell's value now, without counting it as a choice.
    void showValue(const QString& text);
    // Text pasted into the cell: free text as it is, else the offered name it spells (in any
    // case); false when it names none and nothing changed.
    bool takePastedText(const QString& text);

signals:
    // The user chose a name (or typed text, where free text is allowed).
    void chosen(const QString& text);
    // A key went down that the window may act on; set `handled` to keep the box from it.
    void keyDown(QKeyEvent* event, bool& handled);
    // Escape: the user takes back what the stay in the cell changed.
    void cancelled();
    void focusLost();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void choose(const QString& text);

    bool quiet_ = false;  // filling or showing a value: no choice of the user's
};

}  // namespace pellucard
