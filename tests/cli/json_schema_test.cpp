// Every command's --json result has the documented keys, in lower case with underscores, each
// of its type: one table of the keys per command, so that a key renamed, lost or added shows.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <vector>

#include "cli_rig.h"

namespace {

using pellucard::testing::Cli;
using pellucard::testing::CliRun;

// The keys of `value` with a letter for each value's type (s string, i integer, b boolean, n
// null), nested objects as "outer.inner", arrays by their first element as "list[].key".
QStringList Shape(const QJsonValue& value, const QString& prefix = {}) {
    if (value.isObject()) {
        QStringList keys;
        const QJsonObject object = value.toObject();
        for (const QString& key : object.keys())
            keys += Shape(object[key], prefix.isEmpty() ? key : prefix + u'.' + key);
        return keys;
    }
    if (value.isArray()) {
        const QJsonArray array = value.toArray();
        return array.isEmpty() ? QStringList{prefix + "[]"} : Shape(array[0], prefix + "[]");
    }
    const char* type = value.isString()                                ? ":s"
                       : value.isBool()                                ? ":b"
                       : value.isNull()                                ? ":n"
                       : value.toDouble() == double(value.toInteger()) ? ":i"
                                                                       : ":?";
    return {prefix + type};
}

QString ShapeOf(const CliRun& run) {
    const QJsonDocument document = run.Json();
    return Shape(document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object()))
        .join(' ');
}

using JsonSchemaTest = pellucard::testing::CardFolderTest;

TEST_F(JsonSchemaTest, EveryCommandAnswersWithItsKeys) {
    Write("one.json", R"([{"slot": 3, "name": "Nova", "number": "+4930123"}])");
    Write("sms.json", R"([{"slot": 3, "status": 7, "address": "+1", "text": "hi"}])");
    Write("add.csv", "Alias,Phone\r\nNova,+4930123\r\nBo,+4670123\r\n");
    Write("people.csv", "Alias,Phone,Note\r\nAnn,+4670123,likes tea\r\n");
    Write("long.json", R"([{"slot": 1, "name": "Bo", "number": "12AB34"}])");
    const QString attempts =
        "attempts_left.pin1:i attempts_left.pin2:i attempts_left.puk1:i "
        "attempts_left.puk2:i";
    const QString losses =
        "losses[].after:s losses[].before:s losses[].field:s losses[].kind:s "
        "losses[].line:n losses[].slot:i losses[].why:s";
    const QStringList card = Card() + QStringList{"--json"};
    const struct {
        QStringList arguments;
        int exitCode;
        QString shape;
    } commands[] = {
        {card + QStringList{"info"}, 0,
         attempts +
             " iccid:s imsi:s last_dialled.record_count:i message_centre:s own_numbers[].name:s "
             "own_numbers[].number:s own_numbers[].record:i phase:s phonebook.record_count:i "
             "phonebook.record_length:i pin1_check:s pin1_verified:b "
             "service_centre_number:s service_provider_name:s sms.record_count:i unread[]"},
        {Reader() + QStringList{"--json", "pin", "verify", "0000"}, 1,
         "action:s " + attempts + " chv:i done:b outcome:s status_word:s"},
        {card + QStringList{"phonebook", "read"}, 0, "[].name:s [].number:s [].raw:s [].slot:i"},
        {card + QStringList{"sms", "read"}, 0,
         "[].address:s [].raw:s [].sc:s [].slot:i [].status:i [].text:s [].time:s "
         "[].timestamp[]:i [].validity:n"},
        {card + QStringList{"phonebook", "read", "-o", Path("book.SPB")}, 0,
         "file:s losses[] records_in_use:i records_read:i records_written:i"},
        {card + QStringList{"phonebook", "write", Path("one.json"), "--replace"}, 0,
         "file:s losses[] records_left:i records_written:i slots_emptied[]:i slots_written[]:i"},
        {card + QStringList{"sms", "write", Path("sms.json")}, 0,
         "file:s losses[] records_left:i records_written:i slots_emptied[] slots_written[]:i"},
        {card + QStringList{"phonebook", "add", Path("add.csv")}, 0,
         "added[].name:s added[].number:s added[].slot:i duplicates[].name:s "
         "duplicates[].number:s duplicates[].slot:i file:s losses[] records_written:i"},
        {{"--json", "convert", Path("people.csv"), Path("people.json"), "--force"},
         0,
         "input:s kind:s " + QString(losses).replace("after:s", "after:n") +
             " output:s records_written:i"},
        {card + QStringList{"backup", Path("backup.json")}, 0,
         "file:s iccid:s other_files[].file:s other_files[].records:i phonebook_records:i "
         "sms_records:i"},
        {card + QStringList{"restore", Path("backup.json"), "--yes"}, 0,
         "backup_iccid:s card_iccid:s file:s other_files[].file:s other_files[].outcome:s "
         "other_files[].records_written:i other_files[].restored:b phonebook_reencoded:b "
         "records_written:i"},
        {{"--json", "encode", "adn", "--record-length", "28", "--name", "Bob", "--number", "+44"},
         0,
         "hex:s"},
        {{"--json", "decode", "adn", "426F62FF0291F4"}, 0, "name:s number:s"},
        {{"--json", "decode", "alpha", "426F62"}, 0, "text:s"},
        {{"--json", "decode", "digits", "21 43 ba ff"}, 0, "digits:s"},
        {{"--json", "decode", "sms", "0300"},
         0,
         "address:s sc:s status:i text:s time:n timestamp:n validity:n"},
        {Reader() + QStringList{"--json", "phonebook", "read"}, 1,
         "error:s exit_status:i losses[]"},
        {{"--json", "frobnicate"}, 2, "error:s exit_status:i losses[]"},
        {card + QStringList{"phonebook", "write", Path("long.json")}, 1,
         "error:s exit_status:i " + losses},
    };
    std::vector<CliRun> runs;
    for (const auto& command : commands) {
        const std::string name = command.arguments.join(' ').toStdString();
        runs.push_back(Cli(command.arguments));
        EXPECT_EQ(runs.back().exitCode, command.exitCode) << name << runs.back().err.toStdString();
        EXPECT_EQ(ShapeOf(runs.back()).toStdString(), command.shape.toStdString())
            << name << "\n"
            << runs.back().out.toStdString();
    }
    // What the keys hold where their form is promised: the card's status word as hex, the loss
    // with the value before and after, times in ISO 8601.
    EXPECT_EQ(runs[1].Json()["outcome"].toString(), "refused");
    EXPECT_EQ(runs[1].Json()["status_word"].toString(), "98 04");
    EXPECT_EQ(runs[3].Json()[0]["time"].toString(), "2024-03-15T10:30:00+01:00");
    const QJsonObject loss = runs.back().Json()["losses"][0].toObject();
    EXPECT_EQ(loss["before"].toString(), "12AB34");
    EXPECT_EQ(loss["after"].toString(), "1234");
    EXPECT_FALSE(runs.back().Json()["error"].toString().contains('\n'));
}

// encode and decode round trip through the card's layouts (each layout byte for byte: the
// engine's codec tests; the keys of encode adn and every decode: the table above).
TEST_F(JsonSchemaTest, DecodeUndoesEncode) {
    EXPECT_TRUE(Cli({"encode", "alpha", "--length", "12", "--form", "129", "Γιώργος"})
                    .out.startsWith("81"));
    EXPECT_EQ(Cli({"encode", "digits", "--max-digits", "6", "123*#"}).out.trimmed(), "21A3FB");
    const CliRun sms =
        Cli({"--json", "encode", "sms", "--status", "1", "--address", "+4917012345", "--text",
             "Grüße €", "--sc", "+491710760000", "--timestamp", "24,12,31,23,59,58,-28"});
    ASSERT_EQ(sms.exitCode, 0) << sms.err.toStdString();
    const QJsonObject message =
        Cli({"--json", "decode", "sms", sms.Json()["hex"].toString()}).Json().object();
    EXPECT_EQ(message["status"].toInt(), 1);
    EXPECT_EQ(message["address"].toString(), "+4917012345");
    EXPECT_EQ(message["text"].toString(), QString("Grüße €"));
    EXPECT_EQ(message["sc"].toString(), "+491710760000");
    EXPECT_EQ(message["time"].toString(), "2024-12-31T23:59:58-07:00");
}

}  // namespace
