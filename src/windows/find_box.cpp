#include "windows/find_box.h"

#include <QLineEdit>

#include "catalogue/catalogue.h"
#include "shell/child_window.h"

namespace pellucard {

namespace {
constexpr int kReadableCharacters = 16;
}

void sizeFindBox(QLineEdit& box) {
    box.setMinimumWidth(box.fontMetrics().averageCharWidth() * kReadableCharacters);
}

void captionFindBox(QLineEdit& box, int languageIndex) {
    box.setToolTip(Message(MessageId::FindPatternTip, languageIndex));
}

void reportNothingFound(ShellHost& host, int languageIndex) {
    host.showStatus(Message(MessageId::NoFurtherMatch, languageIndex));
}

}  // namespace pellucard
