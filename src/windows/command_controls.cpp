#include "windows/command_controls.h"

#include <QLabel>
#include <QPushButton>

namespace pellucard {

QPushButton* newCommandButton(const QString& name, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

void caption(QWidget* widget, const QString& text) {
    if (auto* button = qobject_cast<QPushButton*>(widget))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    widget->setToolTip(text);
}

}  // namespace pellucard
