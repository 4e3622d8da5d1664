#include "records/record_messages.h"

#include "catalogue/catalogue.h"

namespace pellucard {

QString RecordMessage(int id, int languageIndex) {
    if (CatalogueHas(id)) {
        return Message(id, languageIndex);
    }
    switch (id) {
        case kFileNotSavedMessage:
            return QStringLiteral("The file could not be saved and was left as it was: ");
        case kFileNotReadMessage:
            return QStringLiteral("The file could not be read: ");
        case kFileTooLargeMessage:
            return QStringLiteral(
                "The file holds too many records to be a record file and was not loaded: ");
        default:
            return Message(id, languageIndex);
    }
}

}  // namespace pellucard
