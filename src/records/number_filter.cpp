#include "records/number_filter.h"

#include "records/dialog_seam.h"

namespace pellucard {

FilteredNumber FilterNumber(const QString& typed, int lengthLimit) {
    FilteredNumber result;
    result.lengthLimit = lengthLimit;
    for (const QChar c : typed) {
        const char16_t u = c.unicode();
        if ((u >= u'0' && u <= u'9') || u == u'#' || u == u'*' || u == u'p' || u == u'P') {
            result.text += c;
        } else if (u == u'+') {
            if (result.text.isEmpty()) {
                result.text += c;
                result.lengthLimit = lengthLimit + 1;
            }
        } else {
            result.invalidCharacter = true;
        }
    }
    return result;
}

void ShowInvalidNumberMessage(int languageIndex) {
    ShowMessage(CatalogueMessage(MessageId::InvalidNumberCharacter, languageIndex,
                                 DialogButtons::Ok, DialogIcon::Critical));
}

}  // namespace pellucard
