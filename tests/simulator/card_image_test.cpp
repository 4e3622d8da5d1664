#include "simulator/card_image.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "simulator/virtual_sim_card.h"
#include "support/hex.h"

namespace pellucard {
namespace {

QByteArray DemoText() {
    QFile file(QString::fromLatin1(kDemoCardResource));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

CardImage Parsed(const QByteArray& json) {
    CardImage image;
    QString error;
    EXPECT_TRUE(ParseCardImage(json, image, error)) << error.toStdString();
    return image;
}

using testing::Hex;

std::uint16_t Sw(const ApduResponse& r) {
    return static_cast<std::uint16_t>(r.sw1 << 8 | r.sw2);
}

QJsonObject DemoObject() {
    return QJsonDocument::fromJson(DemoText()).object();
}

// Finds a file of the document by path, for edits.
QJsonObject& FileIn(QJsonArray& files, QJsonObject& scratch, const char* path, qsizetype& at) {
    for (at = 0; at < files.size(); ++at) {
        scratch = files.at(at).toObject();
        if (scratch.value("path").toString() == QLatin1String(path))
            return scratch;
    }
    ADD_FAILURE() << "no file " << path;
    return scratch;
}

// Applies an edit to one file of the demo document.
QByteArray WithFileEdit(const char* path, const std::function<void(QJsonObject&)>& edit) {
    auto root = DemoObject();
    auto files = root.value("files").toArray();
    QJsonObject file;
    qsizetype at = 0;
    edit(FileIn(files, file, path, at));
    files.replace(at, file);
    root.insert("files", files);
    return QJsonDocument(root).toJson();
}

QByteArray WithRootEdit(const std::function<void(QJsonObject&)>& edit) {
    auto root = DemoObject();
    edit(root);
    return QJsonDocument(root).toJson();
}

QByteArray WithRecordEdit(const char* path, int index,
                          const std::function<void(QJsonObject&)>& edit) {
    return WithFileEdit(path, [&](QJsonObject& file) {
        auto records = file.value("records").toArray();
        auto record = records.at(index).toObject();
        edit(record);
        records.replace(index, record);
        file.insert("records", records);
    });
}

QByteArray WithCodeEdit(const char* code, const char* key, const QJsonValue& value) {
    return WithRootEdit([&](QJsonObject& root) {
        auto codes = root.value("codes").toObject();
        auto entry = codes.value(code).toObject();
        entry.insert(key, value);
        codes.insert(code, entry);
        root.insert("codes", codes);
    });
}

TEST(CardImageTest, DemoCardSurvivesLoadAndSaveByteForByte) {
    // The demo file is written by a separate script; saving what was loaded gives the same
    // text back only when nothing (comments, the record count, the empty-record filler, codes
    // and counters) is lost or reordered on the way.
    const auto text = DemoText();
    ASSERT_FALSE(text.isEmpty());
    EXPECT_EQ(SerializeCardImage(Parsed(text)).toStdString(), text.toStdString());
}

TEST(CardImageTest, DemoCardHoldsTheCasesAHostMustHandle) {
    const auto image = Parsed(DemoText());
    const auto* adn = image.FindFile("3F00/7F10/6F3A");
    ASSERT_TRUE(adn);
    EXPECT_EQ(adn->recordLength, 28u);
    EXPECT_EQ(adn->records.size(), 250u);
    std::set<std::uint8_t> forms;
    bool seenEmpty = false;
    bool emptyBetweenUsed = false;
    for (const auto& record : adn->records) {
        const auto& data = record.data;
        if (data == adn->emptyRecord) {
            seenEmpty = true;
            continue;
        }
        emptyBetweenUsed = emptyBetweenUsed || seenEmpty;
        if (data[0] >= 0x80 && data[0] <= 0x82)
            forms.insert(data[0]);
        if (data[0] == 0x81 && data[1] > 6)  // more characters than form 0x80 holds in 14
            forms.insert(0x01);
    }
    EXPECT_EQ(forms, (std::set<std::uint8_t>{0x01, 0x80, 0x81, 0x82}));
    EXPECT_TRUE(emptyBetweenUsed);

    const auto* sms = image.FindFile("3F00/7F10/6F3C");
    ASSERT_TRUE(sms);
    std::set<std::uint8_t> statuses;
    for (const auto& record : sms->records)
        statuses.insert(record.data[0]);
    EXPECT_EQ(statuses, (std::set<std::uint8_t>{0x00, 0x01, 0x03, 0x05, 0x07}));
    EXPECT_EQ(sms->emptyRecord[0], 0x00);  // a free SMS record is 00 FF .. FF

    EXPECT_EQ(image.chv1, (CardCode{"1234", 3}));
    EXPECT_EQ(image.chv2, (CardCode{"5678", 3}));
    EXPECT_EQ(image.unblockChv1, (CardCode{"12345678", 10}));
    EXPECT_EQ(image.unblockChv2, (CardCode{"87654321", 10}));
}

TEST(CardImageTest, CardStateSurvivesSaveAndLoad) {
    QString error;
    auto card = VirtualSimCard::FromImage(Parsed(DemoText()), error);
    ASSERT_TRUE(card);
    auto send = [&](std::string_view hex) { return Sw(card->Transmit(Hex(hex))); };
    EXPECT_EQ(send("A02000010831323334FFFFFFFF"), 0x9000);
    EXPECT_EQ(send("A02000020830303030FFFFFFFF"), 0x9804);  // CHV2: 2 attempts left
    EXPECT_EQ(send("A0A40000027F10"), 0x9F17);
    EXPECT_EQ(send("A0A40000026F3A"), 0x9F0F);
    const std::string bob = "426F62FFFFFFFFFFFFFFFFFFFFFF03812143FFFFFFFFFFFFFFFFFFFF";
    EXPECT_EQ(send("A0DC03041C" + bob), 0x9000);
    EXPECT_EQ(send("A0A40000026F3C"), 0x9F0F);
    EXPECT_EQ(send("A0DC0B04B000" + std::string(350, 'F')), 0x9000);  // free the last SMS
    EXPECT_EQ(send("A026000108 31323334FFFFFFFF"),
              0x9000);  // disable CHV1

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto path = dir.filePath("card.json");
    ASSERT_TRUE(card->SaveToFile(path, error)) << error.toStdString();
    auto reloaded = VirtualSimCard::FromFile(path, error);
    ASSERT_TRUE(reloaded) << error.toStdString();
    const auto saved = card->ToImage();
    EXPECT_EQ(reloaded->ToImage(), saved);

    EXPECT_FALSE(saved.chv1Enabled);
    EXPECT_EQ(saved.chv2.attemptsLeft, 2);
    const auto* adn = saved.FindFile("3F00/7F10/6F3A");
    EXPECT_EQ(adn->records[2], (CardRecord{Hex(bob), ""}));  // its old comment would be wrong
    EXPECT_FALSE(adn->records[0].comment.empty());
    EXPECT_EQ(adn->records.size(), 250u);

    // The file lists records only up to the last used one.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto files = QJsonDocument::fromJson(file.readAll()).object().value("files").toArray();
    for (const auto& value : files) {
        const auto object = value.toObject();
        if (object.value("path").toString() == QLatin1String("3F00/7F10/6F3C")) {
            EXPECT_EQ(object.value("records").toArray().size(), 10);
            EXPECT_EQ(object.value("record_count").toInt(), 30);
        }
    }
}

struct Malformed {
    const char* name;
    QByteArray json;
    const char* expected;  // part of the error message
};

TEST(CardImageTest, MalformedImagesAreRejectedWithTheReason) {
    const auto demo = DemoText();
    const Malformed cases[] = {
        {"not JSON", "{ \"format\": ", "not valid JSON"},
        {"cut short", demo.left(demo.size() / 2), "not valid JSON"},
        {"not an object", "[1, 2]", "a card image is a JSON object"},
        {"another format",
         WithRootEdit([](QJsonObject& r) { r.insert("format", "something-else"); }),
         "not a Pellucard card image"},
        {"newer version", WithRootEdit([](QJsonObject& r) { r.insert("version", 2); }),
         "newer than this program"},
        {"no codes", WithRootEdit([](QJsonObject& r) { r.remove("codes"); }),
         "\"codes\" is missing"},
        {"bad answer to reset", WithRootEdit([](QJsonObject& r) { r.insert("atr", "3B"); }),
         "answer to reset must have 2 to 33 bytes"},
        {"record not hex",
         WithRecordEdit("3F00/7F10/6F3A", 1,
                        [](QJsonObject& r) { r.insert("data", QString(56, 'G')); }),
         "file \"3F00/7F10/6F3A\", record 2: not hex digits"},
        {"record too short",
         WithRecordEdit("3F00/7F10/6F3A", 0,
                        [](QJsonObject& r) { r.insert("data", QString(54, 'F')); }),
         "record 1: 27 bytes, the record length is 28"},
        {"record of the wrong kind",
         WithFileEdit("3F00/7F10/6F42",
                      [](QJsonObject& f) { f.insert("records", QJsonArray{42}); }),
         "record 1: a record is hex text"},
        {"more records than the count",
         WithFileEdit("3F00/7F10/6F42", [](QJsonObject& f) { f.insert("record_count", 1); }),
         "2 records are listed, the record count is 1"},
        {"no record length",
         WithFileEdit("3F00/7F10/6F42", [](QJsonObject& f) { f.remove("record_length"); }),
         "\"record_length\" must be a whole number from 1 to 255"},
        {"transparent data not text",
         WithFileEdit("3F00/2FE2", [](QJsonObject& f) { f.insert("data", 5); }),
         "file \"3F00/2FE2\": \"data\" is missing or is not a text"},
        {"ICCID of the wrong size",
         WithFileEdit("3F00/2FE2", [](QJsonObject& f) { f.insert("data", "98"); }),
         "ICCID (3F00/2FE2) must be a transparent file of 10 bytes"},
        {"no IMSI",
         WithFileEdit("3F00/7F20/6F07", [](QJsonObject& f) { f.insert("path", "3F00/7F20/6F08"); }),
         "the card has no IMSI (3F00/7F20/6F07)"},
        {"orphan file",
         WithFileEdit("3F00/7F20/6FAE", [](QJsonObject& f) { f.insert("path", "3F00/7F30/6FAE"); }),
         "its directory \"3F00/7F30\" is missing"},
        {"file below a file",
         WithFileEdit("3F00/7F20/6FAE", [](QJsonObject& f) { f.insert("path", "3F00/2FE2/6FAE"); }),
         "is an elementary file, not a directory"},
        {"file twice",
         WithFileEdit("3F00/7F20/6FAE", [](QJsonObject& f) { f.insert("path", "3F00/7F20/6F38"); }),
         "file \"3F00/7F20/6F38\" is listed twice"},
        {"bad path",
         WithFileEdit("3F00/7F20/6FAE", [](QJsonObject& f) { f.insert("path", "3F00/7F20/AE"); }),
         "four hex digits"},
        {"bad type", WithFileEdit("3F00/7F10", [](QJsonObject& f) { f.insert("type", "XF"); }),
         "\"type\" must be MF, DF or EF"},
        {"bad structure",
         WithFileEdit("3F00/7F10/6F44", [](QJsonObject& f) { f.insert("structure", "ring"); }),
         "\"structure\" must be"},
        {"bad access condition",
         WithFileEdit("3F00/7F10/6F3A",
                      [](QJsonObject& f) {
                          f.insert("access", QJsonObject{{"read", "PIN"}, {"update", "CHV1"}});
                      }),
         "file \"3F00/7F10/6F3A\", access: \"read\" must be ALW"},
        {"code with letters", WithCodeEdit("chv1", "code", "12a4"),
         "CHV1: the code must be 4 to 8 decimal digits"},
        {"too many attempts", WithCodeEdit("unblock_chv2", "attempts_left", 11),
         "\"attempts_left\" must be a whole number from 0 to 10"},
        {"CHV2 disabled", WithCodeEdit("chv2", "enabled", false), "only CHV1 can be disabled"},
    };
    for (const auto& c : cases) {
        CardImage image;
        image.description = "untouched";
        QString error;
        EXPECT_FALSE(ParseCardImage(c.json, image, error)) << c.name;
        EXPECT_TRUE(error.contains(QLatin1String(c.expected)))
            << c.name << ": " << error.toStdString();
        EXPECT_EQ(image.description, "untouched") << c.name;
    }
}

TEST(CardImageTest, SyntaxErrorsNameTheLine) {
    QString error;
    CardImage image;
    EXPECT_FALSE(
        ParseCardImage("{\n  \"format\": \"pellucard-sim-card\",\n  \"atr\": 3B\n}", image, error));
    EXPECT_TRUE(error.contains(QLatin1String("(line 3)"))) << error.toStdString();
}

TEST(CardImageTest, FileErrorsNameTheFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString error;
    CardImage image;
    const auto missing = dir.filePath("missing.json");
    EXPECT_FALSE(ReadCardImageFile(missing, image, error));
    EXPECT_TRUE(error.startsWith(missing)) << error.toStdString();

    const auto broken = dir.filePath("broken.json");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{}");
    file.close();
    EXPECT_FALSE(VirtualSimCard::FromFile(broken, error));
    EXPECT_TRUE(error.startsWith(broken + QStringLiteral(": "))) << error.toStdString();

    EXPECT_FALSE(
        WriteCardImageFile(dir.filePath("no/such/folder/card.json"), Parsed(DemoText()), error));
    EXPECT_TRUE(error.contains(QLatin1String("no/such/folder"))) << error.toStdString();
}

TEST(CardImageTest, CardsAreNeverMadeFromInvalidImages) {
    auto image = Parsed(DemoText());
    image.FindFile("3F00/7F10/6F3A")->records[4].data.pop_back();
    QString error;
    EXPECT_FALSE(VirtualSimCard::FromImage(image, error));
    EXPECT_TRUE(error.contains(QLatin1String("record 5: 27 bytes"))) << error.toStdString();

    image = Parsed(DemoText());
    image.chv1.attemptsLeft = 7;
    EXPECT_FALSE(VirtualSimCard::FromImage(image, error));
    EXPECT_TRUE(error.contains(QLatin1String("CHV1: attempts left must be 0 to 3")));
}

TEST(CardImageTest, HandWrittenImagesMayLeaveOutDefaults) {
    // Attempts default to full, access conditions beyond read and update to their usual
    // values, records after the listed ones to all FF; hex may be spaced and in lower case.
    const QByteArray json = R"({
        "format": "pellucard-sim-card",
        "atr": "3B 02 14 50",
        "codes": {"chv1": {"code": "0000"}, "unblock_chv1": {"code": "11111111"},
                  "chv2": {"code": "2222"}, "unblock_chv2": {"code": "33333333"}},
        "files": [
            {"path": "3F00", "type": "MF"},
            {"path": "3F00/2FE2", "type": "EF", "structure": "transparent",
             "access": {"read": "ALW", "update": "NEV"}, "data": "98 10 32 54 76 98 10 32 54 F6"},
            {"path": "3F00/7F10", "type": "DF"},
            {"path": "3f00/7f10/6f3a", "type": "EF", "structure": "linear fixed",
             "record_length": 4, "record_count": 3, "access": {"read": "CHV1", "update": "ADM7"},
             "records": ["01020304"]},
            {"path": "3F00/7F20", "type": "DF"},
            {"path": "3F00/7F20/6F07", "type": "EF", "structure": "transparent",
             "access": {"read": "CHV1", "update": "ADM"}, "data": "080910101032547698"}
        ]
    })";
    const auto image = Parsed(json);
    EXPECT_EQ(image.unblockChv2, (CardCode{"33333333", 10}));
    EXPECT_TRUE(image.chv1Enabled);
    const auto* adn = image.FindFile("3F00/7F10/6F3A");
    ASSERT_TRUE(adn);
    EXPECT_EQ(adn->access.update, 0x7);
    EXPECT_EQ(adn->access.invalidate, access_level::kAdm);
    EXPECT_EQ(adn->access.increase, access_level::kNever);
    ASSERT_EQ(adn->records.size(), 3u);
    EXPECT_EQ(adn->records[2].data, Hex("FFFFFFFF"));
    EXPECT_TRUE(SerializeCardImage(image).contains("\"update\": \"ADM7\""));
}

}  // namespace
}  // namespace pellucard
