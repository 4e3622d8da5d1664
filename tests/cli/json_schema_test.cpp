// Every command's --json result has the documented shape: keys in lower case with
// underscores, each of its type, null where a value is unknown or does not apply.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "cli_rig.h"

namespace {

using pellucard::testing::Cli;
using pellucard::testing::CliRun;

// A schema is a type name ("string", "integer", "boolean", "null", "object", "integer[]" for an
// array of integers, or several joined by "|"), an object of schemas (the value holds exactly those
// keys; a key ending in "?" may be missing), or an array of one schema (every element matches it).
void Match(const QJsonValue& value, const QJsonValue& schema, const QString& path,
           QStringList& errors) {
    if (schema.isString()) {
        for (const QString& type : schema.toString().split(u'|')) {
            if ((type == u"string" && value.isString()) || (type == u"null" && value.isNull()) ||
                (type == u"boolean" && value.isBool()) || (type == u"object" && value.isObject()) ||
                (type == u"integer" && value.isDouble() &&
                 value.toDouble() == double(value.toInteger()))) {
                return;
            }
            if (type == u"integer[]" && value.isArray()) {
                Match(value, QJsonArray{QStringLiteral("integer")}, path, errors);
                return;
            }
        }
        errors << path + ": not " + schema.toString();
    } else if (schema.isArray()) {
        if (!value.isArray()) {
            errors << path + ": not an array";
            return;
        }
        const QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i)
            Match(array[i], schema.toArray()[0], path + QStringLiteral("[%1]").arg(i), errors);
    } else {
        if (!value.isObject()) {
            errors << path + ": not an object";
            return;
        }
        const QJsonObject o = value.toObject();
        const QJsonObject s = schema.toObject();
        for (auto it = s.begin(); it != s.end(); ++it) {
            QString key = it.key();
            const bool optional = key.endsWith(u'?');
            key.remove(u'?');
            if (o.contains(key))
                Match(o[key], it.value(), path + u'.' + key, errors);
            else if (!optional)
                errors << path + u'.' + key + ": missing";
        }
        for (const QString& key : o.keys()) {
            if (!s.contains(key) && !s.contains(key + u'?'))
                errors << path + u'.' + key + ": not in the schema";
        }
    }
}

// Fails the test unless the output of `run` is JSON of `schema`.
void ExpectSchema(const CliRun& run, const QJsonValue& schema, const char* what) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << what << ": " << run.out.toStdString();
    QStringList errors;
    Match(document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object()), schema,
          QStringLiteral("$"), errors);
    EXPECT_TRUE(errors.isEmpty()) << what << ":\n"
                                  << errors.join(u'\n').toStdString() << "\n"
                                  << run.out.toStdString();
}

QJsonValue Schema(const char* json) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    EXPECT_FALSE(document.isNull()) << json;
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

const char* const kLoss =
    R"({"kind": "string", "slot": "integer|null", "line": "integer|null",
        "field": "string|null", "before": "string|null", "after": "string|null",
        "why": "string|null"})";

// The schema with the loss list's element put in for "LOSS".
QJsonValue WithLosses(const char* json) {
    return Schema(QString::fromUtf8(json).replace("\"LOSS\"", kLoss).toUtf8());
}

class JsonSchemaTest : public pellucard::testing::CardFolderTest {
protected:
    CliRun Run(const QStringList& arguments) const {
        const CliRun run = Cli(Reader() + QStringList{"--pin", "1234", "--json"} + arguments);
        EXPECT_EQ(run.exitCode, 0) << arguments.join(' ').toStdString() << run.err.toStdString();
        return run;
    }
};

TEST_F(JsonSchemaTest, Info) {
    ExpectSchema(Run({"info"}), Schema(R"({
        "iccid": "string|null", "phase": "string|null", "imsi": "string|null",
        "service_provider_name": "string|null", "service_centre_number": "string|null",
        "phonebook": {"record_count": "integer|null", "record_length": "integer|null"},
        "sms": {"record_count": "integer|null"},
        "last_dialled": {"record_count": "integer|null"},
        "pin1_check": "string|null", "pin1_verified": "boolean|null",
        "attempts_left": {"pin1": "integer|null", "pin2": "integer|null",
                          "puk1": "integer|null", "puk2": "integer|null"},
        "unread": ["string"]})"),
                 "info");
}

TEST_F(JsonSchemaTest, Pin) {
    const QJsonValue schema = Schema(R"({
        "action": "string", "chv": "integer", "done": "boolean", "outcome": "string",
        "status_word": "string|null",
        "attempts_left": {"pin1": "integer|null", "pin2": "integer|null",
                          "puk1": "integer|null", "puk2": "integer|null"}})");
    ExpectSchema(Run({"pin", "verify", "1234"}), schema, "pin verify");
    const CliRun wrong = Cli(Reader() + QStringList{"--json", "pin", "verify", "0000"});
    EXPECT_EQ(wrong.exitCode, 1);
    ExpectSchema(wrong, schema, "pin verify, refused");
    EXPECT_EQ(wrong.Json()["outcome"].toString(), "refused");
    EXPECT_EQ(wrong.Json()["status_word"].toString(), "98 04");
}

TEST_F(JsonSchemaTest, PhoneBookAndSmsRead) {
    ExpectSchema(Run({"phonebook", "read"}),
                 Schema(R"([{"slot": "integer", "name": "string", "number": "string",
                             "raw": "string"}])"),
                 "phonebook read");
    const CliRun sms = Run({"sms", "read"});
    ExpectSchema(sms, Schema(R"([{"slot": "integer", "status": "integer", "address": "string",
                                  "text": "string", "sc": "string", "time": "string|null",
                                  "timestamp": "integer[]|null", "validity": "integer|null",
                                  "concatenation?": {"reference": "integer", "part": "integer",
                                                     "parts": "integer"},
                                  "raw": "string"}])"),
                 "sms read");
    // Times in ISO 8601, the card's fields beside them.
    const QJsonObject first = sms.Json()[0].toObject();
    EXPECT_EQ(first["time"].toString(), "2024-03-15T10:30:00+01:00");
    EXPECT_EQ(first["timestamp"].toArray(), (QJsonArray{24, 3, 15, 10, 30, 0, 4}));
    const QRegularExpression iso(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d[+-]\\d\\d:\\d\\d$"));
    for (const QJsonValue& message : sms.Json().array()) {
        const QJsonValue time = message.toObject()["time"];
        EXPECT_TRUE(time.isNull() || iso.match(time.toString()).hasMatch())
            << time.toString().toStdString();
    }

    ExpectSchema(Run({"phonebook", "read", "-o", Path("book.SPB")}),
                 WithLosses(R"({"file": "string", "records_read": "integer",
                                "records_in_use": "integer", "records_written": "integer",
                                "losses": ["LOSS"]})"),
                 "phonebook read -o");
}

TEST_F(JsonSchemaTest, WritesAndAdd) {
    const QJsonValue write = WithLosses(R"({
        "file": "string", "records_written": "integer", "records_left": "integer",
        "slots_written": "integer[]", "slots_emptied": "integer[]", "losses": ["LOSS"]})");
    Write("one.json", R"([{"slot": 3, "name": "Nova", "number": "+4930123"}])");
    const CliRun one = Run({"phonebook", "write", Path("one.json"), "--replace"});
    ExpectSchema(one, write, "phonebook write");
    EXPECT_EQ(one.Json()["slots_written"].toArray().size(), 16);
    Write("sms.json", R"([{"slot": 3, "status": 7, "address": "+1", "text": "hi"}])");
    ExpectSchema(Run({"sms", "write", Path("sms.json")}), write, "sms write");

    Write("add.csv", "Alias,Phone\r\nNova,+4930123\r\nBo,+4670123\r\n");
    const CliRun add = Run({"phonebook", "add", Path("add.csv")});
    ExpectSchema(add, WithLosses(R"({
        "file": "string", "records_written": "integer",
        "added": [{"slot": "integer", "name": "string", "number": "string"}],
        "duplicates": [{"slot": "integer", "name": "string", "number": "string"}],
        "losses": ["LOSS"]})"),
                 "phonebook add");
    EXPECT_EQ(add.Json()["duplicates"][0]["slot"].toInt(), 3);
}

TEST_F(JsonSchemaTest, Convert) {
    Write("people.csv", "Alias,Phone,Note\r\nAnn,+4670123,likes tea\r\n");
    const CliRun run =
        Cli({"--json", "convert", Path("people.csv"), Path("people.json"), "--force"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    ExpectSchema(run, WithLosses(R"({"input": "string", "output": "string", "kind": "string",
                                     "records_written": "integer", "losses": ["LOSS"]})"),
                 "convert");
    EXPECT_EQ(run.Json()["losses"][0]["field"].toString(), "Note");
    EXPECT_EQ(run.Json()["losses"][0]["kind"].toString(), "dropped");
}

TEST_F(JsonSchemaTest, BackupAndRestore) {
    ExpectSchema(Run({"backup", Path("backup.json")}),
                 Schema(R"({"file": "string", "iccid": "string", "phonebook_records": "integer",
                            "sms_records": "integer"})"),
                 "backup");
    ExpectSchema(Run({"restore", Path("backup.json"), "--yes"}),
                 Schema(R"({"file": "string", "backup_iccid": "string", "card_iccid": "string",
                            "records_written": "integer", "phonebook_reencoded": "boolean"})"),
                 "restore");
}

// encode and decode round trip, and say what they found in their own keys.
TEST_F(JsonSchemaTest, DecodeAndEncode) {
    const CliRun adn = Cli({"--json", "encode", "adn", "--record-length", "28", "--name", "Bob",
                            "--number", "+441234567890"});
    ExpectSchema(adn, Schema(R"({"hex": "string"})"), "encode");
    EXPECT_EQ(adn.Json()["hex"].toString(),
              "426F62" + QString(22, 'F') + "0791442143658709" + QString(12, 'F'))
        << "the GSM 11.11 layout: name, length 7, type 91, swapped digits, FF filler";
    const CliRun decodedAdn = Cli({"--json", "decode", "adn", adn.Json()["hex"].toString()});
    ExpectSchema(decodedAdn, Schema(R"({"name": "string", "number": "string"})"), "decode adn");
    EXPECT_EQ(decodedAdn.Json()["name"].toString(), "Bob");
    EXPECT_EQ(decodedAdn.Json()["number"].toString(), "+441234567890");

    const CliRun greek = Cli({"encode", "alpha", "--length", "12", "--form", "129", "Γιώργος"});
    ASSERT_EQ(greek.exitCode, 0);
    EXPECT_TRUE(greek.out.startsWith("81")) << greek.out.toStdString();
    const CliRun alpha = Cli({"--json", "decode", "alpha", QString(greek.out.trimmed())});
    ExpectSchema(alpha, Schema(R"({"text": "string"})"), "decode alpha");
    EXPECT_EQ(alpha.Json()["text"].toString(), QString("Γιώργος"));

    EXPECT_EQ(Cli({"encode", "digits", "--max-digits", "6", "123*#"}).out.trimmed(), "21A3FB");
    const CliRun digits = Cli({"--json", "decode", "digits", "21 43 ba ff"});
    ExpectSchema(digits, Schema(R"({"digits": "string"})"), "decode digits");
    EXPECT_EQ(digits.Json()["digits"].toString(), "1234*#");

    const CliRun sms =
        Cli({"--json", "encode", "sms", "--status", "1", "--address", "+4917012345", "--text",
             "Grüße €", "--sc", "+491710760000", "--timestamp", "24,12,31,23,59,58,-28"});
    ASSERT_EQ(sms.exitCode, 0) << sms.err.toStdString();
    const CliRun decoded = Cli({"--json", "decode", "sms", sms.Json()["hex"].toString()});
    ExpectSchema(decoded, Schema(R"({"status": "integer", "address": "string", "text": "string",
                                     "sc": "string", "time": "string|null",
                                     "timestamp": "integer[]|null", "validity": "integer|null"})"),
                 "decode sms");
    const QJsonObject message = decoded.Json().object();
    EXPECT_EQ(message["status"].toInt(), 1);
    EXPECT_EQ(message["address"].toString(), "+4917012345");
    EXPECT_EQ(message["text"].toString(), QString("Grüße €"));
    EXPECT_EQ(message["sc"].toString(), "+491710760000");
    EXPECT_EQ(message["time"].toString(), "2024-12-31T23:59:58-07:00");
}

TEST_F(JsonSchemaTest, Failures) {
    const QJsonValue schema =
        WithLosses(R"({"error": "string", "exit_status": "integer", "losses": ["LOSS"]})");
    const CliRun locked = Cli(Reader() + QStringList{"--json", "phonebook", "read"});
    EXPECT_EQ(locked.exitCode, 1);
    ExpectSchema(locked, schema, "a card failure");
    const CliRun usage = Cli({"--json", "frobnicate"});
    EXPECT_EQ(usage.exitCode, 2);
    ExpectSchema(usage, schema, "a usage error");
    EXPECT_EQ(usage.Json()["exit_status"].toInt(), 2);

    Write("long.json", R"([{"slot": 1, "name": "Bo", "number": "12AB34"}])");
    const CliRun refused = Cli(
        Reader() + QStringList{"--pin", "1234", "--json", "phonebook", "write", Path("long.json")});
    EXPECT_EQ(refused.exitCode, 1);
    ExpectSchema(refused, schema, "a refused loss");
    const QJsonObject loss = refused.Json()["losses"][0].toObject();
    EXPECT_EQ(loss["slot"].toInt(), 1);
    EXPECT_EQ(loss["field"].toString(), "number");
    EXPECT_EQ(loss["before"].toString(), "12AB34");
    EXPECT_EQ(loss["after"].toString(), "1234");
    EXPECT_FALSE(refused.Json()["error"].toString().contains('\n'));
}

}  // namespace
