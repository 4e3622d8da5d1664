// The Edit menu's record commands and the standard keys of the menus.
#include <QAction>
#include <QMenu>

#include "shell/edit_commands.h"
#include "shell/main_window.h"
#include "shell/session.h"

namespace pellucard {

void setStandardKeys(QAction* action, QKeySequence::StandardKey key, const QKeySequence& fallback) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (!fallback.isEmpty() && !keys.contains(fallback))
        keys.append(fallback);
    action->setShortcuts(keys);
}

void MainWindow::createEditCommands(QMenu* edit) {
    edit->addSeparator()->setObjectName(QStringLiteral("xLineEdit1"));
    const struct {
        const char* name;
        MessageId captionId;
        QKeySequence::StandardKey key;
        QKeySequence fallback;
        void (EditCommands::*command)();
    } entries[] = {
        {"copyAction", MessageId::CopyMenu, QKeySequence::Copy, QKeySequence(Qt::CTRL | Qt::Key_C),
         &EditCommands::copyToClipboard},
        {"pasteAction", MessageId::PasteMenu, QKeySequence::Paste,
         QKeySequence(Qt::CTRL | Qt::Key_V), &EditCommands::pasteFromClipboard},
        {"deleteAction", MessageId::Delete, QKeySequence::Delete, QKeySequence(Qt::Key_Delete),
         &EditCommands::deleteMarkedOrCell},
        {"findAction", MessageId::FindMenu, QKeySequence::Find, QKeySequence(Qt::CTRL | Qt::Key_F),
         &EditCommands::focusFindBox},
        {"findNextAction", MessageId::FindNext, QKeySequence::FindNext, QKeySequence(Qt::Key_F3),
         &EditCommands::findNextMatch},
    };
    for (const auto& entry : entries) {
        if (entry.key == QKeySequence::Find)
            edit->addSeparator()->setObjectName(QStringLiteral("xLineEdit2"));
        QAction* action = edit->addAction(QString());
        action->setObjectName(QLatin1String(entry.name));
        captions_.emplace_back(action, entry.captionId);
        setStandardKeys(action, entry.key, entry.fallback);
        connect(action, &QAction::triggered, this, [this, command = entry.command] {
            // The File menu's rule: the window that CurrentWindow names.
            auto* target = dynamic_cast<EditCommands*>(childWindow(session_.currentWindow()));
            if (target != nullptr)
                (target->*command)();
        });
        editCommands_.push_back(action);
    }
    updateEditCommands();
}

void MainWindow::updateEditCommands() {
    const bool records = dynamic_cast<EditCommands*>(activeChild_.data()) != nullptr;
    for (QAction* action : editCommands_)
        action->setEnabled(records);
}

}  // namespace pellucard
