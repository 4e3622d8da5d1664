#include "simulator/card_image.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <algorithm>
#include <iterator>

#include "simulator/card_image_json_names.h"

namespace pellucard {

using namespace card_image_json;

namespace {

// A card image is written for people to read: keys in a fixed, meaningful order (a file's path
// and type before its records, a record's comment before its data) rather than alphabetically;
// every object that holds only plain values on one line and every list one element a line, so
// that each record takes one line. Keys the order does not know follow alphabetically.

// clang-format off
constexpr const char* kKeyOrder[] = {
    "format", "version", "description", "atr", "file_characteristics", "free_memory",
    "codes", "chv1", "unblock_chv1", "chv2", "unblock_chv2", "code", "attempts_left", "enabled",
    "files", "path", "type", "comment", "structure", "record_length", "record_count",
    "access", "read", "update", "increase", "rehabilitate", "invalidate",
    "increase_allowed", "invalidated", "readable_when_invalidated", "empty_record", "data",
    "records", "refusals",
};
// clang-format on

int KeyRank(const QString& key) {
    const auto* found =
        std::find_if(std::begin(kKeyOrder), std::end(kKeyOrder),
                     [&](const char* known) { return key == QLatin1String(known); });
    return static_cast<int>(found - std::begin(kKeyOrder));
}

QStringList OrderedKeys(const QJsonObject& object) {
    auto keys = object.keys();  // alphabetical
    std::stable_sort(keys.begin(), keys.end(),
                     [](const QString& a, const QString& b) { return KeyRank(a) < KeyRank(b); });
    return keys;
}

bool IsContainer(const QJsonValue& value) {
    return value.isObject() || value.isArray();
}

QByteArray Scalar(const QJsonValue& value) {
    // QJsonDocument only writes containers: write a one-element list and take off its brackets.
    const auto text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return text.mid(1, text.size() - 2);
}

void Write(const QJsonValue& value, int indent, QByteArray& out);

void WriteObject(const QJsonObject& object, int indent, QByteArray& out) {
    const auto keys = OrderedKeys(object);
    const bool flat = std::none_of(object.begin(), object.end(),
                                   [](const QJsonValue& v) { return IsContainer(v); });
    const QByteArray inner(indent + 4, ' ');
    out += '{';
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (i > 0)
            out += flat ? ", " : ",";
        if (!flat)
            out += '\n' + inner;
        out += Scalar(keys[i]) + ": ";
        Write(object.value(keys[i]), indent + 4, out);
    }
    if (!flat)
        out += '\n' + QByteArray(indent, ' ');
    out += '}';
}

void WriteArray(const QJsonArray& array, int indent, QByteArray& out) {
    if (array.isEmpty()) {
        out += "[]";
        return;
    }
    const QByteArray inner(indent + 4, ' ');
    out += '[';
    for (qsizetype i = 0; i < array.size(); ++i) {
        out += i > 0 ? ",\n" : "\n";
        out += inner;
        Write(array.at(i), indent + 4, out);
    }
    out += '\n' + QByteArray(indent, ' ') + ']';
}

void Write(const QJsonValue& value, int indent, QByteArray& out) {
    if (value.isObject())
        WriteObject(value.toObject(), indent, out);
    else if (value.isArray())
        WriteArray(value.toArray(), indent, out);
    else
        out += Scalar(value);
}

QByteArray WriteOrderedJson(const QJsonObject& root) {
    QByteArray out;
    WriteObject(root, 0, out);
    out += '\n';
    return out;
}

QString HexText(const Bytes& bytes) {
    return QString::fromStdString(ToHex(bytes));
}

QJsonObject CodeObject(const CardCode& code) {
    return {{"code", QString::fromStdString(code.digits)}, {"attempts_left", code.attemptsLeft}};
}

QJsonObject FileObject(const CardFile& file) {
    QJsonObject object{{"path", QString::fromStdString(file.path)}};
    if (!file.comment.empty())
        object.insert("comment", QString::fromStdString(file.comment));
    switch (file.type) {
        case SimFileType::kMaster:
            object.insert("type", "MF");
            return object;
        case SimFileType::kDedicated:
            object.insert("type", "DF");
            return object;
        case SimFileType::kElementary:
            break;
    }
    object.insert("type", "EF");
    object.insert("structure", StructureText(file.structure));
    object.insert("access", QJsonObject{{"read", AccessText(file.access.read)},
                                        {"update", AccessText(file.access.update)},
                                        {"increase", AccessText(file.access.increase)},
                                        {"rehabilitate", AccessText(file.access.rehabilitate)},
                                        {"invalidate", AccessText(file.access.invalidate)}});
    if (file.invalidated)
        object.insert("invalidated", true);
    if (file.readableWhenInvalidated)
        object.insert("readable_when_invalidated", true);
    if (!file.IsRecordFile()) {
        object.insert("data", HexText(file.body));
        return object;
    }
    if (file.structure == EfStructure::kCyclic && file.increaseAllowed)
        object.insert("increase_allowed", true);
    object.insert("record_length", static_cast<int>(file.recordLength));
    object.insert("record_count", static_cast<int>(file.records.size()));
    if (std::any_of(file.emptyRecord.begin(), file.emptyRecord.end(),
                    [](std::uint8_t b) { return b != 0xFF; }))
        object.insert("empty_record", HexText(file.emptyRecord));

    // Unused records at the end are left out; the record count brings them back.
    auto listed = file.records.size();
    while (listed > 0 && file.records[listed - 1].data == file.emptyRecord &&
           file.records[listed - 1].comment.empty())
        --listed;
    QJsonArray records;
    for (std::size_t i = 0; i < listed; ++i) {
        const auto& record = file.records[i];
        if (record.comment.empty())
            records.append(HexText(record.data));
        else
            records.append(QJsonObject{{"comment", QString::fromStdString(record.comment)},
                                       {"data", HexText(record.data)}});
    }
    object.insert("records", records);
    return object;
}

}  // namespace

QByteArray SerializeCardImage(const CardImage& image) {
    QJsonObject chv1 = CodeObject(image.chv1);
    chv1.insert("enabled", image.chv1Enabled);
    QJsonArray files;
    for (const auto& file : image.files)
        files.append(FileObject(file));
    QJsonObject root{
        {"format", kFormat},
        {"version", kVersion},
        {"atr", HexText(image.atr)},
        {"file_characteristics", HexText(Bytes{image.fileCharacteristics})},
        {"free_memory", image.freeMemory},
        {"codes", QJsonObject{{"chv1", chv1},
                              {"unblock_chv1", CodeObject(image.unblockChv1)},
                              {"chv2", CodeObject(image.chv2)},
                              {"unblock_chv2", CodeObject(image.unblockChv2)}}},
        {"files", files},
    };
    if (!image.description.empty())
        root.insert("description", QString::fromStdString(image.description));
    if (!image.refusals.empty()) {
        QJsonArray refusals;
        for (const auto& refusal : image.refusals)
            refusals.append(QString::fromStdString(CardRefusalText(refusal)));
        root.insert("refusals", refusals);
    }
    return WriteOrderedJson(root);
}

}  // namespace pellucard
