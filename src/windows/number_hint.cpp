#include "windows/number_hint.h"

#include <QToolTip>
#include <QWidget>

#include "catalogue/catalogue.h"
#include "records/number_filter.h"
#include "shell/child_window.h"

namespace pellucard {

void showRefusedCharacterHint(QWidget& field, ShellHost& host, int languageIndex) {
    const QString text = Message(MessageId::InvalidNumberCharacter, languageIndex);
    QToolTip::showText(field.mapToGlobal(QPoint(0, field.height())), text, &field);
    host.showStatus(text);
}

}  // namespace pellucard
