#include "windows/cell_choice_editor.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>

#include "windows/cell_editor.h"

namespace pellucard {

namespace {

bool noModifier(const QKeyEvent* event) {
    return (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

CellChoiceEditor::CellChoiceEditor(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("cellChoice"));
    setFrame(false);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(12);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!isEditable())
            choose(currentText());
    });
    connect(this, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (isEditable())
            choose(text);
    });
}

void CellChoiceEditor::offer(const CellChoices& choices, const QString& current, int lengthLimit) {
    {
        const QScopedValueRollback quiet(quiet_, true);
        clear();
        setEditable(choices.freeText);
        if (QLineEdit* line = lineEdit())
            line->setMaxLength(lengthLimit > 0 ? lengthLimit : 32767);
        addItem(QString());
        addItems(choices.names);
        setCurrentIndex(0);
        setToolTip(choices.tip);
    }
    showValue(current);
}

void CellChoiceEditor::showValue(const QString& text) {
    if (count() > 0 && text == currentText())
        return;
    const QScopedValueRollback quiet(quiet_, true);
    int index = findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0 && !isEditable()) {
        addItem(text);
        index = count() - 1;
    }
    setCurrentIndex(index);
    if (isEditable())
        setEditText(text);
}

bool CellChoiceEditor::takePastedText(const QString& text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(QLatin1Char('\n'), ' ');
    if (isEditable()) {
        setEditText(line);
        return true;
    }
    const int index = findText(line.trimmed(), Qt::MatchFixedString);
    if (index < 0)
        return false;
    setCurrentIndex(index);
    return true;
}

void CellChoiceEditor::choose(const QString& text) {
    if (!quiet_)
        emit chosen(text);
}

bool CellChoiceEditor::event(QEvent* event) {
    if (isListUndoShortcut(event)) {
        event->ignore();
        return false;
    }
    return QComboBox::event(event);
}

void CellChoiceEditor::keyPressEvent(QKeyEvent* event) {
    if (noModifier(event)) {
        switch (event->key()) {
            case Qt::Key_Escape:
                event->accept();
                emit cancelled();
                return;
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Up:
            case Qt::Key_Down: {
                bool handled = false;
                emit keyDown(event, handled);
                if (handled) {
                    event->accept();
                    return;
                }
                break;
            }
            case Qt::Key_Delete:
            case Qt::Key_Backspace:
                if (!isEditable()) {
                    setCurrentIndex(0);  // the empty entry
                    event->accept();
                    return;
                }
                break;
            case Qt::Key_Left:
            case Qt::Key_Right:
                // Nothing to move through; the list behind must not move its current cell.
                if (!isEditable()) {
                    event->accept();
                    return;
                }
                break;
            default:
                break;
        }
    }
    QComboBox::keyPressEvent(event);
}

void CellChoiceEditor::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit focusLost();
}

}  // namespace pellucard
