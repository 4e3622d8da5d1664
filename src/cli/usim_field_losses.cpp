// The USIM fields that a conversion of phone book JSON leaves behind.
#include "cli/usim_field_losses.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace pellucard::cli {

Losses UsimFieldLosses(const QByteArray& json) {
    constexpr const char* kWhy = "a USIM phone book's field, which the output has no place for";
    Losses losses;
    for (const auto& value : QJsonDocument::fromJson(json).array()) {
        const QJsonObject entry = value.toObject();
        if (entry["block"].toInt(1) > 1)
            continue;
        const int slot = entry["slot"].toInt();
        const auto lose = [&](const char* field, const QString& text) {
            if (!text.isEmpty())
                losses.push_back(Loss::Dropped(slot, field, text.toStdString(), kWhy));
        };
        for (const auto& number : entry["numbers"].toArray()) {
            const QJsonObject o = number.toObject();
            const QString type = o["type"].toString();
            if (!o["number"].toString().isEmpty())
                lose("numbers", o["number"].toString() + (type.isEmpty() ? "" : " (" + type + ")"));
        }
        for (const auto& email : entry["emails"].toArray())
            lose("emails", email.toString());
        lose("second_name", entry["second_name"].toString());
        for (const auto& group : entry["groups"].toArray())
            lose("groups", group.toString());
    }
    return losses;
}

}  // namespace pellucard::cli
