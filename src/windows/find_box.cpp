#include "windows/find_box.h"

#include <QLineEdit>

#include "catalogue/catalogue.h"
#include "shell/child_window.h"

namespace pellucard {

namespace {
constexpr int kReadableCharacters = 16;
}

void SizeFindBox(QLineEdit& box) {
    box.setMinimumWidth(box.fontMetrics().averageCharWidth() * kReadableCharacters);
}

void CaptionFindBox(QLineEdit& box, int languageIndex) {
    box.setToolTip(Message(MessageId::FindPatternTip, languageIndex));
}

void ReportNothingFound(ShellHost& host, int languageIndex) {
    host.ShowStatus(Message(MessageId::NoFurtherMatch, languageIndex));
}

}  // namespace pellucard
