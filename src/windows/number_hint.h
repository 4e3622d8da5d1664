#pragma once

class QWidget;

namespace pellucard {

class ShellHost;

// Tells that a number field refused a character a dialling number cannot hold
// (InvalidNumberCharacter) without taking the focus: a tooltip under the field and a note in the
// status bar. The user goes on typing; nothing waits for an answer.
void showRefusedCharacterHint(QWidget& field, ShellHost& host, int languageIndex);

}  // namespace pellucard
