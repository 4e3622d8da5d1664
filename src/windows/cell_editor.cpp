#include "windows/cell_editor.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>

namespace pellucard {

QString toCellBreaks(const QString& text) {
    QString result = toEditorBreaks(text);
    result.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return result;
}

QString toEditorBreaks(const QString& text) {
    QString result = text;
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    result.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    result.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return result;
}

CellEditor::CellEditor(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("cellEditor"));
    setFrameShape(QFrame::NoFrame);
    setTabChangesFocus(true);
    document()->setDocumentMargin(1);
    // Undo belongs to the window's lists, where the editor's keystrokes are steps already.
    setUndoRedoEnabled(false);
    setMultiLine(false);
    connect(document(), &QTextDocument::contentsChanged, this, &CellEditor::contentsChanged);
}

bool isListUndoShortcut(const QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride)
        return false;
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
           key->keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z);
}

bool CellEditor::event(QEvent* event) {
    if (isListUndoShortcut(event)) {
        event->ignore();
        return false;
    }
    return QPlainTextEdit::event(event);
}

void CellEditor::setLengthLimit(int length) {
    lengthLimit_ = length;
    check_ = nullptr;
}

void CellEditor::setLimitCheck(LimitCheck check) {
    check_ = std::move(check);
    lengthLimit_ = 0;
}

void CellEditor::setMultiLine(bool multiLine) {
    multiLine_ = multiLine;
    setLineWrapMode(multiLine ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QString CellEditor::text() const {
    return toCellBreaks(toPlainText());
}

void CellEditor::setText(const QString& text) {
    QString shown = toEditorBreaks(text);
    if (!multiLine_)
        shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    quiet_ = true;
    setPlainText(shown);
    quiet_ = false;
    accepted_ = toPlainText();
    setCaretPosition(accepted_.size());
}

void CellEditor::replaceText(const QString& text) {
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(toEditorBreaks(text));
}

bool CellEditor::fits(const QString& text) const {
    const QString cellText = toCellBreaks(text);
    if (check_)
        return check_(cellText);
    return lengthLimit_ <= 0 || cellText.size() <= lengthLimit_;
}

void CellEditor::contentsChanged() {
    if (quiet_)
        return;
    QString text = toPlainText();
    if (!multiLine_ && text.contains(QLatin1Char('\n'))) {
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    } else if (fits(text)) {
        accepted_ = text;
        emit edited();
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
        if (!fits(candidate))
            break;
        result = candidate;
        kept = take;
    }
    if (!fits(result))
        result = before;  // the text left of the change no longer fits: refuse it whole
    const bool changed = result != before;
    quiet_ = true;
    setPlainText(result);
    quiet_ = false;
    accepted_ = result;
    setCaretPosition(result == before && !changed ? prefix : prefix + kept);
    if (changed)
        emit edited();
}

void CellEditor::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText())
        return;
    QString text = toEditorBreaks(source->text());
    if (!multiLine_)
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    textCursor().insertText(text);
}

int CellEditor::caretPosition() const {
    return textCursor().position();
}

void CellEditor::setCaretPosition(int position) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(position, 0, static_cast<int>(toPlainText().size())));
    setTextCursor(cursor);
}

void CellEditor::selectRange(int start, int length) {
    const int size = static_cast<int>(toPlainText().size());
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(start, 0, size));
    cursor.setPosition(std::clamp(start + length, 0, size), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

bool CellEditor::caretOnFirstLine() const {
    const QTextCursor cursor = textCursor();
    if (cursor.block() != document()->firstBlock())
        return false;
    const QTextLayout* layout = cursor.block().layout();
    if (!layout || layout->lineCount() == 0)
        return true;
    return layout->lineForTextPosition(cursor.positionInBlock()).lineNumber() == 0;
}

bool CellEditor::caretOnLastLine() const {
    const QTextCursor cursor = textCursor();
    if (cursor.block() != document()->lastBlock())
        return false;
    const QTextLayout* layout = cursor.block().layout();
    if (!layout || layout->lineCount() == 0)
        return true;
    return layout->lineForTextPosition(cursor.positionInBlock()).lineNumber() ==
           layout->lineCount() - 1;
}

int CellEditor::shownLineCount() const {
    int lines = 0;
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next())
        lines += std::max(1, block.layout() ? block.layout()->lineCount() : 1);
    return std::max(1, lines);
}

void CellEditor::keyPressEvent(QKeyEvent* event) {
    bool handled = false;
    emit keyDown(event, handled);
    if (handled) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void CellEditor::keyReleaseEvent(QKeyEvent* event) {
    QPlainTextEdit::keyReleaseEvent(event);
    emit keyUp(event);
}

void CellEditor::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit focusLost();
}

}  // namespace pellucard
