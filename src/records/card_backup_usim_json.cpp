#include "records/card_backup_usim_json.h"

#include <QJsonObject>

#include <algorithm>

namespace pellucard {
namespace {

QString PlaceName(PhoneBookPlace place) {
    return place == PhoneBookPlace::Global ? QStringLiteral("global")
                                           : QStringLiteral("application");
}

QString FileIdText(std::uint16_t fileId) {
    return QString::fromStdString(FileIdHex(fileId));
}

bool ParseFile(const QJsonObject& object, const QString& where, BackupPhoneBookFile& file,
               QString& error) {
    Bytes id;
    const QString idText = object.value("file").toString();
    if (idText.size() != 4 || !FromHex(idText.toStdString(), id) || id.size() != 2) {
        error = where + QStringLiteral(": \"file\" is not a file identifier of four hex digits");
        return false;
    }
    file.fileId = std::uint16_t(id[0] << 8 | id[1]);
    const QString label = where + u' ' + idText;
    if (object.contains("records")) {
        file.recordLength = object.value("record_length").toInt(-1);
        if (file.recordLength < 1 || file.recordLength > 255) {
            error = label + QStringLiteral(": the record length is missing or out of range");
            return false;
        }
        const QByteArray name = label.toUtf8();
        return ParseBackupRecords(object.value("records"), name.constData(), file.recordLength,
                                  file.records, error);
    }
    if (!object.value("data").isString() ||
        !FromHex(object.value("data").toString().toStdString(), file.body) || file.body.empty() ||
        file.body.size() > 255) {
        error = label + QStringLiteral(": neither records nor \"data\" of 1 to 255 hex bytes");
        return false;
    }
    return true;
}

bool ParseBook(const QJsonObject& object, BackupUsimPhoneBook& book, QString& error) {
    const QString where = QStringLiteral("the %1 USIM phone book").arg(PlaceName(book.place));
    if (!object.value("files").isArray()) {
        error = where + QStringLiteral(": \"files\" is not a list of files");
        return false;
    }
    for (const QJsonValue& item : object.value("files").toArray()) {
        BackupPhoneBookFile file;
        if (!ParseFile(item.toObject(), where, file, error))
            return false;
        if (book.Find(file.fileId)) {
            error =
                where + QStringLiteral(": file %1 is listed twice").arg(FileIdText(file.fileId));
            return false;
        }
        // EF PBR says what every other file is: without it first, nothing could be restored.
        const bool first = book.files.empty();
        if (first != (file.fileId == kEfPhoneBookReferences) || (first && file.IsTransparent())) {
            error = where + QStringLiteral(": the records of EF PBR (4F30) do not come first");
            return false;
        }
        book.files.push_back(std::move(file));
    }
    if (book.files.empty()) {
        error = where + QStringLiteral(": no EF PBR");
        return false;
    }
    return true;
}

}  // namespace

QJsonArray UsimPhoneBooksToJson(const std::vector<BackupUsimPhoneBook>& books) {
    QJsonArray array;
    for (const BackupUsimPhoneBook& book : books) {
        QJsonArray files;
        for (const BackupPhoneBookFile& file : book.files) {
            QJsonObject object{
                {"file", FileIdText(file.fileId)},
                {"name", QString::fromStdString(UsimPhoneBookFileName(book, file.fileId))}};
            if (file.IsTransparent()) {
                object.insert("data", QString::fromStdString(ToHex(file.body)));
            } else {
                QJsonArray records;
                for (std::size_t index = 0; index < file.records.size(); ++index)
                    records.append(
                        QJsonObject{{"record", int(index) + 1},
                                    {"data", QString::fromStdString(ToHex(file.records[index]))}});
                object.insert("record_length", file.recordLength);
                object.insert("records", records);
            }
            files.append(object);
        }
        array.append(QJsonObject{{"place", PlaceName(book.place)}, {"files", files}});
    }
    return array;
}

bool UsimPhoneBooksFromJson(const QJsonValue& value, std::vector<BackupUsimPhoneBook>& books,
                            QString& error) {
    if (value.isUndefined()) {
        books.clear();  // a GSM card's backup, or one from before USIM phone books
        return true;
    }
    if (!value.isArray()) {
        error = QStringLiteral("\"usim_phonebooks\" is not a list of phone books");
        return false;
    }
    std::vector<BackupUsimPhoneBook> read;
    for (const QJsonValue& item : value.toArray()) {
        const QJsonObject object = item.toObject();
        const QString place = object.value("place").toString();
        BackupUsimPhoneBook book;
        if (place == QLatin1String("global")) {
            book.place = PhoneBookPlace::Global;
        } else if (place == QLatin1String("application")) {
            book.place = PhoneBookPlace::Application;
        } else {
            error = QStringLiteral("\"usim_phonebooks\": \"%1\" is not global or application")
                        .arg(place);
            return false;
        }
        if (std::any_of(read.begin(), read.end(),
                        [&book](const auto& held) { return held.place == book.place; })) {
            error =
                QStringLiteral("\"usim_phonebooks\": the %1 phone book is listed twice").arg(place);
            return false;
        }
        if (!ParseBook(object, book, error))
            return false;
        read.push_back(std::move(book));
    }
    books = std::move(read);
    return true;
}

}  // namespace pellucard
