#include "simulator/card_image.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

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

// `node` with what `keys` lead to set to `to`. A key names a member of an object, an element of
// an array by its index, or the file of the files array with that path.
QJsonValue Edited(const QJsonValue& node, QStringList keys, const QJsonValue& to) {
    const QString key = keys.takeFirst();
    if (node.isArray()) {
        QJsonArray array = node.toArray();
        qsizetype at = 0;
        while (at < array.size() && array[at].toObject().value("path").toString() != key)
            ++at;
        if (at == array.size()) {
            bool index = false;
            at = key.toInt(&index);
            if (!index || at >= array.size()) {
                ADD_FAILURE() << "nothing at " << key.toStdString();
                return node;
            }
        }
        array.replace(at, keys.isEmpty() ? to : Edited(array[at], keys, to));
        return array;
    }
    QJsonObject object = node.toObject();
    object.insert(key, keys.isEmpty() ? to : Edited(object.value(key), keys, to));
    return object;
}

// The demo card image with the member at `path` (keys joined by '|') set to `to`.
QByteArray DemoWith(const char* path, const QJsonValue& to) {
    const QJsonValue root = QJsonDocument::fromJson(DemoText()).object();
    return QJsonDocument(Edited(root, QString::fromLatin1(path).split(u'|'), to).toObject())
        .toJson();
}

TEST(CardImageTest, DemoCardSurvivesLoadAndSaveByteForByte) {
    // The demo file is written by a separate script; saving what was loaded gives the same
    // text back only when nothing (comments, the record count, the empty-record filler, codes
    // and counters) is lost or reordered on the way.
    const auto text = DemoText();
    ASSERT_FALSE(text.isEmpty());
    EXPECT_EQ(SerializeCardImage(Parsed(text)).toStdString(), text.toStdString());
}

TEST(CardImageTest, MalformedImagesAreRejectedWithTheReason) {
    const QString notHex(56, u'G');
    const QJsonObject pinRead{{"read", "PIN"}, {"update", "CHV1"}};
    const struct {
        QByteArray json;
        const char* expected;  // part of the error message
    } cases[] = {
        {"{ \"format\": ", "not valid JSON"},
        {"{\n  \"format\": \"pellucard-sim-card\",\n  \"atr\": 3B\n}", "(line 3)"},
        {DemoWith("format", "something-else"), "not a Pellucard card image"},
        {DemoWith("atr", "3B"), "answer to reset must have 2 to 33 bytes"},
        {DemoWith("files|3F00/7F10/6F3A|records|1|data", notHex),
         "file \"3F00/7F10/6F3A\", record 2: not hex digits"},
        {DemoWith("files|3F00/7F10/6F3A|records|0|data", QString(54, u'F')),
         "record 1: 27 bytes, the record length is 28"},
        {DemoWith("files|3F00/2FE2|data", "98"),
         "ICCID (3F00/2FE2) must be a transparent file of 10 bytes"},
        {DemoWith("files|3F00/7F20/6FAE|path", "3F00/7F30/6FAE"),
         "its directory \"3F00/7F30\" is missing"},
        {DemoWith("files|3F00/7F10/6F44|structure", "ring"), "\"structure\" must be"},
        {DemoWith("files|3F00/7F10/6F3A|access", pinRead),
         "file \"3F00/7F10/6F3A\", access: \"read\" must be ALW"},
        {DemoWith("codes|chv1|code", "12a4"), "CHV1: the code must be 4 to 8 decimal digits"},
    };
    for (const auto& c : cases) {
        CardImage image;
        image.description = "untouched";
        QString error;
        EXPECT_FALSE(ParseCardImage(c.json, image, error)) << c.expected;
        EXPECT_TRUE(error.contains(QLatin1String(c.expected)))
            << c.expected << ": " << error.toStdString();
        EXPECT_EQ(image.description, "untouched") << c.expected;
    }
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
