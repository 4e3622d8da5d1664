#pragma once

#include <QString>

class QPushButton;
class QWidget;

namespace pellucard {

// A record window's command button, named as the window's design names it. It never becomes
// the default button: Enter belongs to the lists and fields.
QPushButton* newCommandButton(const QString& name, QWidget* parent);

// A button's or label's caption, repeated as its tooltip so that a caption cut short by a
// narrow window still reads in full.
void caption(QWidget* widget, const QString& text);

}  // namespace pellucard
