#include "cli/record_json.h"

#include <QFile>
#include <QJsonDocument>

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "cli/cli.h"
#include "cli/sms_time_json.h"
#include "engine/record_to_write.h"

namespace pellucard::cli {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

Bytes RawOf(const QJsonObject& o, int slot) {
    Bytes raw;
    if (!o.contains("raw"))
        return raw;
    if (!FromHex(o["raw"].toString().toStdString(), raw)) {
        throw Failure{kUsage, "slot " + std::to_string(slot) + ": \"raw\" is not hex"};
    }
    return raw;
}

QJsonArray ParseArray(const QByteArray& json) {
    QJsonParseError error{};
    const auto document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        throw Failure{kUsage, "not valid JSON at offset " + std::to_string(error.offset) + ": " +
                                  error.errorString().toStdString()};
    }
    if (!document.isArray())
        throw Failure{kUsage, "expected a JSON array of slots"};
    return document.array();
}

int SlotOf(const QJsonValue& value, int index) {
    const auto o = value.toObject();
    if (!value.isObject() || !o["slot"].isDouble() || o["slot"].toInt() < 1 ||
        o["slot"].toInt() > 255) {
        throw Failure{kUsage, "entry " + std::to_string(index + 1) +
                                  ": needs \"slot\", a number from 1 to 255"};
    }
    return o["slot"].toInt();
}

std::string TextOf(const QJsonObject& o, const char* key, int slot) {
    if (!o.contains(key))
        return {};
    if (!o[key].isString()) {
        throw Failure{kUsage, "slot " + std::to_string(slot) + ": \"" + key + "\" must be text"};
    }
    return o[key].toString().toStdString();
}

// The stamp of "timestamp" (the card's fields, as a read gives them) or of "time" (ISO 8601,
// for files made elsewhere); when both are given they must say the same.
SmsTimeStamp TimeStampOf(const QJsonObject& o, int slot) {
    const std::string where = "slot " + std::to_string(slot) + ": ";
    std::optional<SmsTimeStamp> fields;
    if (o["timestamp"].isArray()) {
        const auto a = o["timestamp"].toArray();
        if (a.size() != 7)
            throw Failure{kUsage, where + "timestamp needs 7 numbers"};
        std::array<int, 7> values{};
        for (int k = 0; k < 7; ++k)
            values[k] = a[k].toInt();
        fields = SmsTimeStamp::FromValues(values);
    }
    std::optional<SmsTimeStamp> iso;
    if (o["time"].isString()) {
        std::string why;
        iso = StampOfIsoTime(o["time"].toString(), why);
        if (!iso)
            throw Failure{kUsage, where + "\"time\" " + why};
    }
    if (fields && iso && !(*fields == *iso)) {
        throw Failure{kUsage, where + "\"time\" and \"timestamp\" say different times; give one"};
    }
    return fields ? *fields : iso.value_or(SmsTimeStamp{});
}

}  // namespace

QJsonObject PhoneBookJson(int slot, const PhoneBookEntry& entry) {
    QJsonObject o;
    o["slot"] = slot;
    o["name"] = Q(entry.name);
    o["number"] = Q(entry.Number());
    if (!entry.raw.empty())
        o["raw"] = Q(ToHex(entry.raw));
    return o;
}

QJsonObject SmsJson(int slot, const SmsRecord& record) {
    QJsonObject o;
    o["slot"] = slot;
    o["status"] = record.status;
    o["address"] = Q(record.AddressText());
    o["text"] = Q(record.text);
    o["sc"] = Q(record.ServiceCentreNumber());
    SetTimeStamp(o, record.IsReceived() ? std::optional(record.timeStamp) : std::nullopt);
    if (record.IsMessage() && !record.IsReceived() && record.validityFormat != kValidityNone) {
        o["validity"] = record.validity;
    } else {
        o["validity"] = QJsonValue::Null;
    }
    if (record.concatenation) {
        QJsonObject c;
        c["reference"] = record.concatenation->reference;
        c["part"] = record.concatenation->partNumber;
        c["parts"] = record.concatenation->partCount;
        o["concatenation"] = c;
    }
    if (!record.raw.empty())
        o["raw"] = Q(ToHex(record.raw));
    return o;
}

std::vector<PhoneBookSlot> ParsePhoneBookJson(const QByteArray& json,
                                              std::vector<PhoneBookSlot>* laterBlocks) {
    std::vector<PhoneBookSlot> result;
    const auto array = ParseArray(json);
    for (int i = 0; i < array.size(); ++i) {
        const int slot = SlotOf(array[i], i);
        const auto o = array[i].toObject();
        if (o.contains("block") && (!o["block"].isDouble() || o["block"].toInt() < 1)) {
            throw Failure{
                kUsage, "slot " + std::to_string(slot) + ": \"block\" must be a number from 1 on"};
        }
        PhoneBookSlot entry{slot, TextOf(o, "name", slot), TextOf(o, "number", slot),
                            RawOf(o, slot)};
        // A later block of a USIM phone book keeps its entries in an ADN file of its own.
        if (o["block"].toInt(1) > 1) {
            if (laterBlocks)
                laterBlocks->push_back(std::move(entry));
            continue;
        }
        result.push_back(std::move(entry));
    }
    return result;
}

std::vector<SmsSlot> ParseSmsJson(const QByteArray& json) {
    std::vector<SmsSlot> result;
    const auto array = ParseArray(json);
    for (int i = 0; i < array.size(); ++i) {
        const int slot = SlotOf(array[i], i);
        const auto o = array[i].toObject();
        SmsSlot s;
        s.slot = slot;
        s.status = o["status"].toInt(0);
        if (s.status != 0 && s.status != 1 && s.status != 3 && s.status != 5 && s.status != 7) {
            throw Failure{kUsage,
                          "slot " + std::to_string(slot) + ": status must be 0, 1, 3, 5 or 7"};
        }
        s.address = TextOf(o, "address", slot);
        s.text = TextOf(o, "text", slot);
        s.serviceCentre = TextOf(o, "sc", slot);
        s.timeStamp = TimeStampOf(o, slot);
        s.validity = o["validity"].toInt(0);
        s.validityGiven = o["validity"].isDouble();
        s.raw = RawOf(o, slot);
        result.push_back(std::move(s));
    }
    return result;
}

Bytes PhoneBookRecordFor(const PhoneBookSlot& slot, int recordLength) {
    std::optional<RecordAsRead<PhoneBookFields>> read;
    if (!slot.raw.empty())
        read = {{slot.raw, PhoneBookFieldsOf(DecodePhoneBookRecord(slot.raw))}};
    return PhoneBookRecordToWrite({slot.name, slot.number}, read, recordLength, NameForm::BestFit);
}

Bytes SmsRecordFor(const SmsSlot& slot, int recordLength) {
    std::optional<RecordAsRead<SmsFields>> read;
    if (!slot.raw.empty())
        read = {{slot.raw, SmsFieldsOf(DecodeSmsRecord(slot.raw))}};
    const SmsFields fields{slot.status,        slot.address,   slot.text,
                           slot.serviceCentre, slot.timeStamp, slot.validity};
    return SmsRecordToWrite(fields, read, recordLength);
}

namespace {

std::string TooLarge(const std::string& name) {
    return name + " is larger than the " + std::to_string(kMaxInputFileBytes / (1024 * 1024)) +
           " MB any record file needs, and was not read";
}

// Standard input to its end: a pipe gives its bytes in pieces (64 kB at a time on Linux).
QByteArray ReadStandardInput() {
    QByteArray bytes;
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw Failure{kCardFailure, std::string("stdin: ") + std::strerror(errno)};
        if (got == 0)
            return bytes;
        if (bytes.size() + got > kMaxInputFileBytes)
            throw Failure{kCardFailure, TooLarge("stdin")};
        bytes.append(buffer.data(), got);
    }
}

}  // namespace

QByteArray ReadInputFile(const std::string& path) {
    if (path == "-")
        return ReadStandardInput();
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw Failure{kUsage, path + ": " + file.errorString().toStdString()};
    // Refused before it is read whole: parsing holds several copies of the text.
    if (file.size() > kMaxInputFileBytes)
        throw Failure{kCardFailure, TooLarge(path)};
    const QByteArray bytes = file.readAll();
    if (bytes.size() > kMaxInputFileBytes)
        throw Failure{kCardFailure, TooLarge(path)};
    if (file.error() != QFileDevice::NoError)
        throw Failure{kCardFailure, path + ": " + file.errorString().toStdString()};
    return bytes;
}

}  // namespace pellucard::cli
