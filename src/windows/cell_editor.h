#pragma once

#include <QPlainTextEdit>

#include <functional>

namespace pellucard {

// The cell editor (`cellEditor`) that a record list's item delegate opens over the cell being
// edited. One editor serves both lists of a window. It refuses an edit that would pass its limit,
// as a text box with a maximum length does: typed characters beyond it are dropped, a paste is cut
// to what still fits. The line breaks it holds count as CR LF, as the cells store them.
class CellEditor final : public QPlainTextEdit {
    Q_OBJECT

public:
    // True when the text (line breaks as CR LF) may stand in the editor.
    using LimitCheck = std::function<bool(const QString&)>;

    explicit CellEditor(QWidget* parent = nullptr);

    // A limit of `length` UTF-16 units; 0 means none.
    void setLengthLimit(int length);
    void setLimitCheck(LimitCheck check);
    int lengthLimit() const { return lengthLimit_; }

    // Several lines wrapped at the editor's width (messages), or one line (names, numbers).
    void setMultiLine(bool multiLine);
    bool multiLine() const { return multiLine_; }

    // The text with line breaks as CR LF; setting it does not count as an edit.
    QString text() const;
    void setText(const QString& text);
    // Replaces the text as if typed (Delete emptying the cell); the limit still applies.
    void replaceText(const QString& text);

    int caretPosition() const;
    void setCaretPosition(int position);
    void selectRange(int start, int length);
    // The caret is on the first or the last line the editor shows.
    bool caretOnFirstLine() const;
    bool caretOnLastLine() const;
    // Lines the text occupies at the editor's width.
    int shownLineCount() const;

signals:
    // The user changed the text (typing, pasting, deleting).
    void edited();
    // A key went down or up while the editor had the focus; set `handled` to keep the editor
    // from acting on a key press.
    void keyDown(QKeyEvent* event, bool& handled);
    void keyUp(QKeyEvent* event);
    void focusLost();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    void contentsChanged();
    bool fits(const QString& text) const;

    int lengthLimit_ = 0;
    LimitCheck check_;
    bool multiLine_ = false;
    bool quiet_ = false;
    QString accepted_;  // the text the editor held after the last accepted change (\n breaks)
};

// Whether `event` is the shortcut check of Ctrl+Z and its kin, which a cell editor leaves to
// the Edit menu: the list's steps are undone there, not the editor's own keystrokes.
bool isListUndoShortcut(const QEvent* event);

// Line breaks as the cells keep them (CR LF) and as a text field holds them (LF).
QString toCellBreaks(const QString& text);
QString toEditorBreaks(const QString& text);

}  // namespace pellucard
