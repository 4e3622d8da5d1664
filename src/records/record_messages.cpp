#include "records/record_messages.h"

#include <QDir>

#include "catalogue/catalogue.h"
#include "records/dialog_seam.h"

namespace pellucard {

QString RecordMessage(MessageId id, int languageIndex) {
    if (CatalogueHas(id)) {
        return Message(id, languageIndex);
    }
    switch (id) {
        case MessageId::FileNotSaved:
            return QStringLiteral("The file could not be saved and was left as it was: ");
        case MessageId::FileNotRead:
            return QStringLiteral("The file could not be read: ");
        case MessageId::FileTooLarge:
            return QStringLiteral(
                "The file holds too many records to be a record file and was not loaded: ");
        default:
            return Message(id, languageIndex);
    }
}

void ShowFileError(MessageId messageId, const QString& path, const QString& reason,
                   int languageIndex) {
    MessageRequest request;
    request.messageId = messageId;
    request.text = RecordMessage(messageId, languageIndex) + QDir::toNativeSeparators(path);
    if (!reason.isEmpty()) {
        request.text += QStringLiteral("\n") + reason;
    }
    request.icon = DialogIcon::Critical;
    ShowMessage(request);
}

}  // namespace pellucard
