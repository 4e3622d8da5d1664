#pragma once

class QLineEdit;

namespace pellucard {

class ShellHost;

// Gives a record window's find box room for what is typed in it.
void sizeFindBox(QLineEdit& box);
// The find box's tooltip in the language in force: the wildcards it knows.
void captionFindBox(QLineEdit& box, int languageIndex);
// A find that found nothing says so in the status bar.
void reportNothingFound(ShellHost& host, int languageIndex);

}  // namespace pellucard
