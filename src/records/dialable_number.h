#pragma once

#include <QString>
#include <QStringList>

namespace pellucard {

// A telephone number as phones, contact services and spreadsheets write it, read into what a
// SIM's phone book keeps (GSM 11.11, 10.5.1: the digits 0-9, "*", "#", a pause written "P",
// and a leading "+" for an international number).
//
// - Visual separators go: blanks, "-", ".", "/", parentheses, and a "(0)" after the country
//   code of an international number ("+44 (0)20 7946 0018" is dialled +442079460018).
// - A pause is written "P" whatever its form: "p", "P" or "," (the form phones keep it in).
// - A tel: URI (RFC 3966) gives its number; its ";ext=" parameter becomes a pause and the
//   extension, so that the phone dials the extension once the call is answered; the other
//   parameters (isub, phone-context, ...) have no place on the card and are named in `dropped`.
// - A trailing extension written "ext. 12", "ext 12", "x12" or ";ext=12" is read the same way.
// Anything else (letters, a wait "w" or ";", a "+" after the first digit) cannot be dialled:
// such a number is not dialable and `refused` names the characters.
struct DialableNumber {
    QString number;       // empty when the text held no digit
    QString refused;      // the characters no SIM can dial, in order; empty when none
    QStringList dropped;  // the tel: URI parameters left out, in lower case ("isub")

    bool Dialable() const { return refused.isEmpty(); }
};

DialableNumber ReadDialableNumber(const QString& written);

}  // namespace pellucard
