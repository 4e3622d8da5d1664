#include "windows/cell_editor.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>

namespace pellucard {

QString ToCellBreaks(const QString& text) {
    QString result = ToEditorBreaks(text);
    result.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return result;
}

QString ToEditorBreaks(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    result.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    result.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return result;
}

CellEditor::CellEditor(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("Text2"));
    setFrameShape(QFrame::NoFrame);
    setTabChangesFocus(true);
    document()->setDocumentMargin(1);
    // Undo belongs to the window's lists, where the editor's keystrokes are steps already.
    setUndoRedoEnabled(false);
    SetMultiLine(false);
    connect(document(), &QTextDocument::contentsChanged, this, &CellEditor::ContentsChanged);
}

bool CellEditor::event(QEvent* event) {
    // Ctrl+Z and its kin go to the Edit menu, which undoes the list's steps.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z)) {
            event->ignore();
            return false;
        }
    }
    return QPlainTextEdit::event(event);
}

void CellEditor::SetLengthLimit(int length) {
    lengthLimit_ = length;
    check_ = nullptr;
}

void CellEditor::SetLimitCheck(LimitCheck check) {
    check_ = std::move(check);
    lengthLimit_ = 0;
}

void CellEditor::SetMultiLine(bool multiLine) {
    multiLine_ = multiLine;
    setLineWrapMode(multiLine ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QString CellEditor::Text() const {
    return ToCellBreaks(toPlainText());
}

void CellEditor::SetText(const QString& text) {
    QString shown = ToEditorBreaks(text);
    if (!multiLine_)
        shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    quiet_ = true;
    setPlainText(shown);
    quiet_ = false;
    accepted_ = toPlainText();
    SetCaretPosition(accepted_.size());
}

void CellEditor::ReplaceText(const QString& text) {
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(ToEditorBreaks(text));
}

bool CellEditor::Fits(const QString& text) const {
    const QString cellText = ToCellBreaks(text);
    if (check_)
        return check_(cellText);
    return lengthLimit_ <= 0 || cellText.size() <= lengthLimit_;
}

void CellEditor::ContentsChanged() {
    if (quiet_)
        return;
    QString text = toPlainText();
    if (!multiLine_ && text.contains(QLatin1Char('\n'))) {
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    } else if (Fits(text)) {
        accepted_ = text;
        emit Edited();
        return;
    }
    // Keep what stood before the change and as much of the inserted text as still fits.
    const QString& before = accepted_;
    int prefix = 0;
    while (prefix < before.size() && prefix < text.size() && before[prefix] == text[prefix])
        ++prefix;
    int suffix = 0;
    while (suffix < before.size() - prefix && suffix < text.size() - prefix &&
           before[before.size() - 1 - suffix] == text[text.size() - 1 - suffix])
        ++suffix;
    const QString head = text.left(prefix);
    const QString tail = text.right(suffix);
    const QString inserted = text.mid(prefix, text.size() - prefix - suffix);
    QString result = head + tail;
    int kept = 0;
    for (int take = 1; take <= inserted.size(); ++take) {
        // Never split a surrogate pair.
        if (take < inserted.size() && inserted[take - 1].isHighSurrogate())
            continue;
        const QString candidate = head + inserted.left(take) + tail;
        if (!Fits(candidate))
            break;
        result = candidate;
        kept = take;
    }
    if (!Fits(result))
        result = before;  // the text left of the change no longer fits: refuse it whole
    const bool changed = result != before;
    quiet_ = true;
    setPlainText(result);
    quiet_ = false;
    accepted_ = result;
    SetCaretPosition(result == before && !changed ? prefix : prefix + kept);
    if (changed)
        emit Edited();
}

void CellEditor::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText())
        return;
    QString text = ToEditorBreaks(source->text());
    if (!multiLine_)
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    textCursor().insertText(text);
}

int CellEditor::CaretPosition() const {
    return textCursor().position();
}

void CellEditor::SetCaretPosition(int position) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(position, 0, static_cast<int>(toPlainText().size())));
    setTextCursor(cursor);
}

void CellEditor::SelectRange(int start, int length) {
    const int size = static_cast<int>(toPlainText().size());
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(start, 0, size));
    cursor.setPosition(std::clamp(start + length, 0, size), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

bool CellEditor::CaretOnFirstLine() const {
    const QTextCursor cursor = textCursor();
    if (cursor.block() != document()->firstBlock())
        return false;
    const QTextLayout* layout = cursor.block().layout();
    if (!layout || layout->lineCount() == 0)
        return true;
    return layout->lineForTextPosition(cursor.positionInBlock()).lineNumber() == 0;
}

bool CellEditor::CaretOnLastLine() const {
    const QTextCursor cursor = textCursor();
    if (cursor.block() != document()->lastBlock())
        return false;
    const QTextLayout* layout = cursor.block().layout();
    if (!layout || layout->lineCount() == 0)
        return true;
    return layout->lineForTextPosition(cursor.positionInBlock()).lineNumber() ==
           layout->lineCount() - 1;
}

int CellEditor::ShownLineCount() const {
    int lines = 0;
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next())
        lines += std::max(1, block.layout() ? block.layout()->lineCount() : 1);
    return std::max(1, lines);
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
    bool handled = false;
    emit KeyDown(event, handled);
    if (handled) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CellEditor::keyReleaseEvent(QKeyEvent* event) {
    QPlainTextEdit::keyReleaseEvent(event);
    emit KeyUp(event);
}

void CellEditor::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit FocusLost();
}

}  // namespace pellucard
