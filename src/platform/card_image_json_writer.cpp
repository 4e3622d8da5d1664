#include "platform/card_image_json_writer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

#include <algorithm>
#include <iterator>

namespace pellucard {

namespace {

constexpr const char* kKeyOrder[] = {
    "format",
    "version",
    "description",
    "atr",
    "file_characteristics",
    "free_memory",
    "codes",
    "chv1",
    "unblock_chv1",
    "chv2",
    "unblock_chv2",
    "code",
    "attempts_left",
    "enabled",
    "files",
    "path",
    "type",
    "comment",
    "structure",
    "record_length",
    "record_count",
    "access",
    "read",
    "update",
    "increase",
    "rehabilitate",
    "invalidate",
    "increase_allowed",
    "invalidated",
    "readable_when_invalidated",
    "empty_record",
    "data",
    "records",
};

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

}  // namespace

QByteArray WriteOrderedJson(const QJsonObject& root) {
    QByteArray out;
    WriteObject(root, 0, out);
    out += '\n';
    return out;
}

}  // namespace pellucard
