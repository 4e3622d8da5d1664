#include "records/card_backup_file.h"
#include "records/card_backup_usim_json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

#include "engine/phonebook_entry.h"
#include "engine/sms_parameters.h"
#include "engine/sms_record.h"

namespace pellucard {
namespace {

constexpr char kFormat[] = "pellucard-card-backup";
constexpr int kVersion = 1;
constexpr int kMaxRecords = 255;  // a linear fixed file numbers its records in one byte

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QJsonArray PhoneBookRecords(const CardBackup& backup) {
    QJsonArray records;
    for (std::size_t index = 0; index < backup.phoneBook.size(); ++index) {
        const Bytes& data = backup.phoneBook[index];
        const PhoneBookEntry entry = DecodePhoneBookRecord(data);
        records.append(QJsonObject{{"record", int(index) + 1},
                                   {"data", Q(ToHex(data))},
                                   {"name", Q(entry.name)},
                                   {"number", Q(entry.Number())}});
    }
    return records;
}

QJsonArray SmsRecords(const CardBackup& backup) {
    QJsonArray records;
    for (std::size_t index = 0; index < backup.sms.size(); ++index) {
        const Bytes& data = backup.sms[index];
        const SmsRecord sms = DecodeSmsRecord(data);
        QJsonObject record{
            {"record", int(index) + 1}, {"data", Q(ToHex(data))}, {"status", sms.status}};
        if (sms.status != kSmsFree) {
            const SmsAddress& address =
                sms.messageType == 0 ? sms.originatingAddress : sms.destinationAddress;
            record.insert("address", Q(address.Text()));
            record.insert("text", Q(sms.text));
        }
        records.append(record);
    }
    return records;
}

// The names of the other files in a backup.
struct OtherFileName {
    CardRecordFile file;
    const char* name;
};
constexpr OtherFileName kOtherFileNames[] = {
    {CardRecordFile::FixedDialling, "fdn"},  {CardRecordFile::ServiceDialling, "sdn"},
    {CardRecordFile::OwnNumbers, "msisdn"},  {CardRecordFile::LastDialled, "lnd"},
    {CardRecordFile::SmsParameters, "smsp"},
};

const char* NameOf(CardRecordFile file) {
    for (const auto& entry : kOtherFileNames) {
        if (entry.file == file)
            return entry.name;
    }
    return "";
}

QJsonArray OtherFiles(const CardBackup& backup) {
    QJsonArray files;
    for (const BackupFile& held : backup.otherFiles) {
        QJsonArray records;
        for (std::size_t index = 0; index < held.records.size(); ++index) {
            const Bytes& data = held.records[index];
            QJsonObject record{{"record", int(index) + 1}, {"data", Q(ToHex(data))}};
            if (HasPhoneBookLayout(held.file)) {
                const PhoneBookEntry entry = DecodePhoneBookRecord(data);
                record.insert("name", Q(entry.name));
                record.insert("number", Q(entry.Number()));
            } else if (const auto centre = ServiceCentreOf(data)) {
                record.insert("message_centre", Q(*centre));
            }
            records.append(record);
        }
        files.append(QJsonObject{{"file", QLatin1String(NameOf(held.file))},
                                 {"record_length", held.recordLength},
                                 {"cyclic", held.cyclic},
                                 {"records", records}});
    }
    return files;
}

}  // namespace

bool ParseBackupRecords(const QJsonValue& value, const char* file, int length,
                        std::vector<Bytes>& out, QString& error) {
    if (!value.isArray()) {
        error = QStringLiteral("\"%1\" is not a list of records").arg(QLatin1String(file));
        return false;
    }
    const QJsonArray array = value.toArray();
    if (array.size() > kMaxRecords) {
        error = QStringLiteral("\"%1\" holds more than %2 records")
                    .arg(QLatin1String(file))
                    .arg(kMaxRecords);
        return false;
    }
    std::vector<Bytes> records;
    for (qsizetype index = 0; index < array.size(); ++index) {
        const QJsonObject record = array[index].toObject();
        const QString where =
            QStringLiteral("%1 record %2").arg(QLatin1String(file)).arg(index + 1);
        if (record.value("record").toInt(-1) != index + 1) {
            error = where + QStringLiteral(": missing or out of order");
            return false;
        }
        Bytes data;
        if (!record.value("data").isString() ||
            !FromHex(record.value("data").toString().toStdString(), data)) {
            error = where + QStringLiteral(": \"data\" is not hex");
            return false;
        }
        if (int(data.size()) != length) {
            error = where + QStringLiteral(": %1 bytes, not the %2 of the file's records")
                                .arg(data.size())
                                .arg(length);
            return false;
        }
        records.push_back(std::move(data));
    }
    out = std::move(records);
    return true;
}

namespace {

bool ParseFileInfo(const QJsonObject& card, const char* file, int& count, int& length,
                   QString& error) {
    const QJsonObject info = card.value(QLatin1String(file)).toObject();
    count = info.value("record_count").toInt(-1);
    length = info.value("record_length").toInt(-1);
    if (count < 0 || count > kMaxRecords || length < 1 || length > 255) {
        error = QStringLiteral("the card's %1 record count or length is missing or out of range")
                    .arg(QLatin1String(file));
        return false;
    }
    return true;
}

bool ParseOtherFiles(const QJsonValue& value, std::vector<BackupFile>& out, QString& error) {
    if (value.isUndefined())
        return true;  // a backup from before the other files
    if (!value.isArray()) {
        error = QStringLiteral("\"other_files\" is not a list of files");
        return false;
    }
    std::vector<BackupFile> files;
    for (const QJsonValue& item : value.toArray()) {
        const QJsonObject object = item.toObject();
        const QString name = object.value("file").toString();
        const auto known = std::find_if(
            std::begin(kOtherFileNames), std::end(kOtherFileNames),
            [&name](const OtherFileName& entry) { return name == QLatin1String(entry.name); });
        if (known == std::end(kOtherFileNames)) {
            error = QStringLiteral("\"other_files\": \"%1\" is not a file this program knows")
                        .arg(name);
            return false;
        }
        BackupFile held;
        held.file = known->file;
        if (std::any_of(files.begin(), files.end(),
                        [&held](const BackupFile& f) { return f.file == held.file; })) {
            error = QStringLiteral("\"other_files\": \"%1\" is listed twice").arg(name);
            return false;
        }
        held.recordLength = object.value("record_length").toInt(-1);
        held.cyclic = object.value("cyclic").toBool(false);
        if (held.recordLength < 1 || held.recordLength > 255) {
            error = QStringLiteral("the %1 record length is missing or out of range").arg(name);
            return false;
        }
        const QByteArray label = name.toLatin1();
        if (!ParseBackupRecords(object.value("records"), label.constData(), held.recordLength,
                                held.records, error))
            return false;
        files.push_back(std::move(held));
    }
    out = std::move(files);
    return true;
}

}  // namespace

QByteArray SerializeCardBackup(const CardBackup& backup) {
    const QJsonObject card{
        {"iccid", Q(backup.iccid)},
        {"phase", Q(backup.phase)},
        {"phonebook", QJsonObject{{"record_count", int(backup.phoneBook.size())},
                                  {"record_length", backup.phoneBookRecordLength}}},
        {"sms", QJsonObject{{"record_count", int(backup.sms.size())},
                            {"record_length", backup.smsRecordLength}}}};
    const QJsonObject document{{"format", kFormat},
                               {"version", kVersion},
                               {"card", card},
                               {"phonebook", PhoneBookRecords(backup)},
                               {"sms", SmsRecords(backup)},
                               {"other_files", OtherFiles(backup)}};
    // A GSM card's backup reads as it did before USIM phone books were held.
    QJsonObject withUsim = document;
    if (!backup.usimPhoneBooks.empty())
        withUsim.insert("usim_phonebooks", UsimPhoneBooksToJson(backup.usimPhoneBooks));
    return QJsonDocument(withUsim).toJson(QJsonDocument::Indented);
}

bool ParseCardBackup(const QByteArray& json, CardBackup& backup, QString& error) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QStringLiteral("not JSON (%1 at byte %2)")
                    .arg(parseError.errorString())
                    .arg(parseError.offset);
        return false;
    }
    const QJsonObject root = document.object();
    if (root.value("format").toString() != QLatin1String(kFormat)) {
        error = QStringLiteral("not a Pellucard card backup");
        return false;
    }
    if (root.value("version").toInt() != kVersion) {
        error = QStringLiteral("backup version %1 is not known").arg(root.value("version").toInt());
        return false;
    }
    const QJsonObject card = root.value("card").toObject();
    CardBackup read;
    read.iccid = card.value("iccid").toString().toStdString();
    read.phase = card.value("phase").toString().toStdString();
    int phoneBookCount = 0;
    int smsCount = 0;
    if (!ParseFileInfo(card, "phonebook", phoneBookCount, read.phoneBookRecordLength, error) ||
        !ParseFileInfo(card, "sms", smsCount, read.smsRecordLength, error) ||
        !ParseBackupRecords(root.value("phonebook"), "phonebook", read.phoneBookRecordLength,
                            read.phoneBook, error) ||
        !ParseBackupRecords(root.value("sms"), "sms", read.smsRecordLength, read.sms, error) ||
        !ParseOtherFiles(root.value("other_files"), read.otherFiles, error) ||
        !UsimPhoneBooksFromJson(root.value("usim_phonebooks"), read.usimPhoneBooks, error))
        return false;
    if (int(read.phoneBook.size()) != phoneBookCount || int(read.sms.size()) != smsCount) {
        error = QStringLiteral("the record counts do not match the records");
        return false;
    }
    backup = std::move(read);
    return true;
}

}  // namespace pellucard
