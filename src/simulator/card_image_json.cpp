#include "simulator/card_image.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>

#include "simulator/card_image_json_names.h"

// The card image as JSON, for example:
//
// {
//     "format": "pellucard-sim-card",
//     "version": 1,
//     "description": "...",
//     "atr": "3B199450454C4C5543415244",
//     "codes": {
//         "chv1": {"code": "1234", "attempts_left": 3, "enabled": true},
//         "unblock_chv1": {"code": "12345678", "attempts_left": 10},
//         ...
//     },
//     "files": [
//         {"path": "3F00", "type": "MF"},
//         {
//             "path": "3F00/7F10/6F3A",
//             "type": "EF",
//             "comment": "abbreviated dialling numbers",
//             "structure": "linear fixed",
//             "record_length": 28,
//             "record_count": 250,
//             "access": {"read": "CHV1", "update": "CHV1", ...},
//             "records": [
//                 {"comment": "Alice, +441632960123", "data": "416C696365FF..."},
//                 "FFFF...FF"
//             ]
//         }
//     ],
//     "refusals": ["read:6F3A:17:9804", "update:3F00/7F10/6F3C:*:6F00"]
// }
//
// "refusals" (optional) makes the virtual card answer a READ or UPDATE of a file's records with
// a status word instead of executing it: command, file, record or * for all, status word.
// Records after the last one listed hold "empty_record" (all FF unless given). Comments are
// for people; the card ignores them. Unknown keys are ignored, so notes of any kind may be added.

namespace pellucard {

using namespace card_image_json;

namespace {

constexpr qint64 kMaxImageBytes = 16 * 1024 * 1024;

// Reads one JSON object's fields, remembering where it is for the error message.
class Fields {
public:
    Fields(const QJsonObject& object, QString where, QString& error)
        : object_(object), where_(std::move(where)), error_(error) {}

    bool Has(const char* key) const { return object_.contains(QLatin1String(key)); }

    bool Fail(const QString& message) {
        error_ = where_.isEmpty() ? message : where_ + QStringLiteral(": ") + message;
        return false;
    }

    bool String(const char* key, QString& out, bool required) {
        const auto value = object_.value(QLatin1String(key));
        if (value.isUndefined() && !required)
            return true;
        if (!value.isString())
            return Fail(Missing(key, "a text"));
        out = value.toString();
        return true;
    }

    bool Text(const char* key, std::string& out, bool required) {
        QString text;
        if (!String(key, text, required))
            return false;
        if (Has(key))
            out = text.toStdString();
        return true;
    }

    bool Hex(const char* key, Bytes& out, bool required) {
        QString text;
        if (!String(key, text, required))
            return false;
        if (Has(key) && !FromHex(text.toStdString(), out))
            return Fail(QStringLiteral("\"%1\" is not hex digits").arg(QLatin1String(key)));
        return true;
    }

    bool Integer(const char* key, int& out, int low, int high, bool required) {
        const auto value = object_.value(QLatin1String(key));
        if (value.isUndefined() && !required)
            return true;
        const double number = value.toDouble();
        if (!value.isDouble() || !(number >= low && number <= high) ||
            number != static_cast<int>(number))
            return Fail(QStringLiteral("\"%1\" must be a whole number from %2 to %3")
                            .arg(QLatin1String(key))
                            .arg(low)
                            .arg(high));
        out = static_cast<int>(number);
        return true;
    }

    bool Boolean(const char* key, bool& out) {
        const auto value = object_.value(QLatin1String(key));
        if (value.isUndefined())
            return true;
        if (!value.isBool())
            return Fail(QStringLiteral("\"%1\" must be true or false").arg(QLatin1String(key)));
        out = value.toBool();
        return true;
    }

    bool Object(const char* key, QJsonObject& out) {
        const auto value = object_.value(QLatin1String(key));
        if (!value.isObject())
            return Fail(Missing(key, "an object"));
        out = value.toObject();
        return true;
    }

    bool Array(const char* key, QJsonArray& out) {
        const auto value = object_.value(QLatin1String(key));
        if (!value.isArray())
            return Fail(Missing(key, "a list"));
        out = value.toArray();
        return true;
    }

    const QString& Where() const { return where_; }

private:
    QString Missing(const char* key, const char* what) const {
        return QStringLiteral("\"%1\" is missing or is not %2")
            .arg(QLatin1String(key), QLatin1String(what));
    }

    QJsonObject object_;
    QString where_;
    QString& error_;
};

bool ParseCode(const QJsonObject& codes, const char* name, int maxAttempts, bool mayDisable,
               CardCode& code, bool* enabled, QString& error) {
    Fields parent(codes, QStringLiteral("codes"), error);
    QJsonObject object;
    if (!parent.Object(name, object))
        return false;
    Fields fields(object, QStringLiteral("codes.%1").arg(QLatin1String(name)), error);
    code.attemptsLeft = maxAttempts;
    if (!fields.Text("code", code.digits, true) ||
        !fields.Integer("attempts_left", code.attemptsLeft, 0, maxAttempts, false))
        return false;
    if (fields.Has("enabled")) {
        if (!mayDisable)
            return fields.Fail(QStringLiteral("only CHV1 can be disabled"));
        return fields.Boolean("enabled", *enabled);
    }
    return true;
}

bool ParseAccess(Fields& file, AccessConditions& access, QString& error) {
    QJsonObject object;
    if (!file.Object("access", object))
        return false;
    Fields fields(object, file.Where() + QStringLiteral(", access"), error);
    struct Entry {
        const char* key;
        std::uint8_t* level;
        bool required;
    };
    const Entry entries[] = {
        {"read", &access.read, true},
        {"update", &access.update, true},
        {"increase", &access.increase, false},
        {"rehabilitate", &access.rehabilitate, false},
        {"invalidate", &access.invalidate, false},
    };
    for (const auto& entry : entries) {
        QString text;
        if (!fields.String(entry.key, text, entry.required))
            return false;
        if (fields.Has(entry.key) && !AccessLevel(text, *entry.level))
            return fields.Fail(QStringLiteral("\"%1\" must be ALW, CHV1, CHV2, RFU, ADM, "
                                              "ADM5 to ADME or NEV, not \"%2\"")
                                   .arg(QLatin1String(entry.key), text));
    }
    return true;
}

bool ParseRecords(Fields& fields, CardFile& file, QString& error) {
    int recordLength = 0;
    if (!fields.Integer("record_length", recordLength, 1, 255, true))
        return false;
    file.recordLength = static_cast<std::size_t>(recordLength);
    file.emptyRecord.assign(file.recordLength, 0xFF);
    if (!fields.Hex("empty_record", file.emptyRecord, false))
        return false;
    if (file.emptyRecord.size() != file.recordLength)
        return fields.Fail(QStringLiteral("the empty record has %1 bytes, the record length is %2")
                               .arg(file.emptyRecord.size())
                               .arg(recordLength));

    QJsonArray records;
    if (!fields.Array("records", records))
        return false;
    int recordCount = static_cast<int>(records.size());
    if (!fields.Integer("record_count", recordCount, 1, 254, false))
        return false;
    if (recordCount < records.size())
        return fields.Fail(QStringLiteral("%1 records are listed, the record count is %2")
                               .arg(records.size())
                               .arg(recordCount));

    for (qsizetype i = 0; i < records.size(); ++i) {
        const auto where = fields.Where() + QStringLiteral(", record %1").arg(i + 1);
        CardRecord record;
        QString hex;
        const auto value = records.at(i);
        if (value.isString()) {
            hex = value.toString();
        } else if (value.isObject()) {
            Fields recordFields(value.toObject(), where, error);
            if (!recordFields.String("data", hex, true) ||
                !recordFields.Text("comment", record.comment, false))
                return false;
        } else {
            error = where + QStringLiteral(
                                ": a record is hex text or {\"data\": ..., "
                                "\"comment\": ...}");
            return false;
        }
        if (!FromHex(hex.toStdString(), record.data)) {
            error = where + QStringLiteral(": not hex digits");
            return false;
        }
        if (record.data.size() != file.recordLength) {
            error = where + QStringLiteral(": %1 bytes, the record length is %2")
                                .arg(record.data.size())
                                .arg(recordLength);
            return false;
        }
        file.records.push_back(std::move(record));
    }
    file.records.resize(static_cast<std::size_t>(recordCount), CardRecord{file.emptyRecord, {}});
    return true;
}

bool ParseFile(const QJsonValue& value, qsizetype index, CardFile& file, QString& error) {
    if (!value.isObject()) {
        error = QStringLiteral("files[%1] is not an object").arg(index);
        return false;
    }
    const auto object = value.toObject();
    QString where = QStringLiteral("files[%1]").arg(index);
    if (object.value(QLatin1String("path")).isString())
        where = QStringLiteral("file \"%1\"").arg(object.value(QLatin1String("path")).toString());
    Fields fields(object, where, error);

    QString type;
    QString path;
    if (!fields.String("path", path, true) || !fields.String("type", type, true) ||
        !fields.Text("comment", file.comment, false))
        return false;
    file.path = path.toUpper().toStdString();  // "3f00/7f10" names the same file as "3F00/7F10"
    if (type == QLatin1String("MF")) {
        file.type = SimFileType::kMaster;
        return true;
    }
    if (type == QLatin1String("DF")) {
        file.type = SimFileType::kDedicated;
        return true;
    }
    if (type != QLatin1String("EF"))
        return fields.Fail(QStringLiteral("\"type\" must be MF, DF or EF, not \"%1\"").arg(type));

    file.type = SimFileType::kElementary;
    QString structure;
    if (!fields.String("structure", structure, true))
        return false;
    if (!StructureFromText(structure, file.structure))
        return fields.Fail(QStringLiteral("\"structure\" must be \"transparent\", \"linear fixed\" "
                                          "or \"cyclic\", not \"%1\"")
                               .arg(structure));
    if (!ParseAccess(fields, file.access, error) ||
        !fields.Boolean("invalidated", file.invalidated) ||
        !fields.Boolean("readable_when_invalidated", file.readableWhenInvalidated))
        return false;
    if (file.structure == EfStructure::kTransparent)
        return fields.Hex("data", file.body, true);
    if (file.structure == EfStructure::kCyclic &&
        !fields.Boolean("increase_allowed", file.increaseAllowed))
        return false;
    return ParseRecords(fields, file, error);
}

bool ParseDocument(const QJsonObject& root, CardImage& image, QString& error) {
    Fields fields(root, QString(), error);
    QString format;
    if (!fields.String("format", format, true))
        return false;
    if (format != QLatin1String(kFormat))
        return fields.Fail(QStringLiteral("\"format\" is \"%1\", not \"%2\": this is not a "
                                          "Pellucard card image")
                               .arg(format, QLatin1String(kFormat)));
    int version = kVersion;
    if (!fields.Integer("version", version, 1, 1000000, false))
        return false;
    if (version > kVersion)
        return fields.Fail(
            QStringLiteral("version %1 of the card image format is newer than this program (%2)")
                .arg(version)
                .arg(kVersion));

    Bytes characteristics{image.fileCharacteristics};
    int freeMemory = 0;
    if (!fields.Text("description", image.description, false) ||
        !fields.Hex("atr", image.atr, true) ||
        !fields.Hex("file_characteristics", characteristics, false) ||
        !fields.Integer("free_memory", freeMemory, 0, 0xFFFF, false))
        return false;
    if (characteristics.size() != 1)
        return fields.Fail(QStringLiteral("\"file_characteristics\" must be one byte"));
    image.fileCharacteristics = characteristics[0];
    image.freeMemory = static_cast<std::uint16_t>(freeMemory);

    QJsonObject codes;
    if (!fields.Object("codes", codes) ||
        !ParseCode(codes, "chv1", kChvAttempts, true, image.chv1, &image.chv1Enabled, error) ||
        !ParseCode(codes, "unblock_chv1", kUnblockAttempts, false, image.unblockChv1, nullptr,
                   error) ||
        !ParseCode(codes, "chv2", kChvAttempts, false, image.chv2, nullptr, error) ||
        !ParseCode(codes, "unblock_chv2", kUnblockAttempts, false, image.unblockChv2, nullptr,
                   error))
        return false;

    QJsonArray files;
    if (!fields.Array("files", files))
        return false;
    for (qsizetype i = 0; i < files.size(); ++i) {
        CardFile file;
        if (!ParseFile(files.at(i), i, file, error))
            return false;
        image.files.push_back(std::move(file));
    }
    if (fields.Has("refusals")) {
        QJsonArray refusals;
        if (!fields.Array("refusals", refusals))
            return false;
        for (const QJsonValue& value : refusals) {
            CardRefusal refusal;
            std::string why;
            if (!value.isString()) {
                error =
                    QStringLiteral("\"refusals\": each is a text such as \"read:6F3A:17:9804\"");
                return false;
            }
            if (!ParseCardRefusal(value.toString().toStdString(), refusal, why)) {
                error = QStringLiteral("\"refusals\": ") + QString::fromStdString(why);
                return false;
            }
            image.refusals.push_back(refusal);
        }
    }
    return true;
}
int LineOf(const QByteArray& text, int offset) {
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + offset, '\n'));
}

}  // namespace

bool ParseCardImage(const QByteArray& json, CardImage& image, QString& error) {
    QJsonParseError parseError;
    const auto document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QStringLiteral("not valid JSON: %1 (line %2)")
                    .arg(parseError.errorString())
                    .arg(LineOf(json, parseError.offset));
        return false;
    }
    if (!document.isObject()) {
        error = QStringLiteral("a card image is a JSON object");
        return false;
    }
    CardImage parsed;
    if (!ParseDocument(document.object(), parsed, error) || !ValidateCardImage(parsed, error))
        return false;
    image = std::move(parsed);
    return true;
}
bool ReadCardImageFile(const QString& path, CardImage& image, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    // Read at most a little more than any card image needs, so that a device or a huge file
    // given by mistake cannot hang the program or exhaust its memory.
    const auto json = file.read(kMaxImageBytes + 1);
    if (json.size() > kMaxImageBytes) {
        error = QStringLiteral("%1: too large to be a card image").arg(path);
        return false;
    }
    if (!ParseCardImage(json, image, error)) {
        error = QStringLiteral("%1: %2").arg(path, error);
        return false;
    }
    return true;
}

bool WriteCardImageFile(const QString& path, const CardImage& image, QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(SerializeCardImage(image)) < 0 ||
        !file.commit()) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

}  // namespace pellucard
