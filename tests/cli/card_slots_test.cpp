// Files onto the card: a write changes the slots its file names and no other, --replace says
// what it empties first, `phonebook add` fills free slots only, and standard input is read whole.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli_rig.h"

namespace {

using pellucard::testing::Cli;
using pellucard::testing::CliRun;
using pellucard::testing::RunCliOnTerminal;

class CardSlotsTest : public pellucard::testing::CardFolderTest {
protected:
    CliRun Run(const QStringList& arguments, const QByteArray& input = {}) const {
        return Cli(Card() + arguments, input);
    }
    // The slots of the demo card that hold an entry: 15 of them, in slots 1 to 20.
    static QList<int> UsedSlots(const QJsonArray& book) {
        QList<int> used;
        for (const QJsonValue& entry : book) {
            const QJsonObject o = entry.toObject();
            if (!o["name"].toString().isEmpty() || !o["number"].toString().isEmpty())
                used.append(o["slot"].toInt());
        }
        return used;
    }
    // Every slot but `changed` holds the same bytes in both.
    static void ExpectOthersUnchanged(const QJsonArray& before, const QJsonArray& after,
                                      const QList<int>& changed) {
        ASSERT_EQ(before.size(), after.size());
        for (qsizetype i = 0; i < before.size(); ++i) {
            if (!changed.contains(int(i) + 1)) {
                EXPECT_EQ(after[i].toObject()["raw"], before[i].toObject()["raw"])
                    << "slot " << i + 1;
            }
        }
    }
};

TEST_F(CardSlotsTest, AOneEntryFileChangesItsSlotAndNoOther) {
    const QJsonArray before = CardJson("phonebook");
    ASSERT_EQ(UsedSlots(before).size(), 15);

    // The same one entry from each kind of file: JSON names slot 3; a text file's first row is
    // slot 1 (a record file's rows count alike: ConvertTest writes .SPB files onto the card).
    Write("one.json", R"([{"slot": 3, "name": "Nova", "number": "+4930123"}])");
    Write("one.csv", "Alias,Phone\r\nNova,+4930123\r\n");
    for (const auto& [file, slot] : {std::pair{"one.json", 3}, std::pair{"one.csv", 1}}) {
        FreshCard();
        const CliRun run = Run({"phonebook", "write", Path(file)});
        ASSERT_EQ(run.exitCode, 0) << file << run.err.toStdString();
        EXPECT_TRUE(run.out.contains("wrote 1 record; 249 left as they were"))
            << file << run.out.toStdString();
        const QJsonArray after = CardJson("phonebook");
        EXPECT_EQ(after[slot - 1].toObject()["name"].toString(), "Nova") << file;
        ExpectOthersUnchanged(before, after, {slot});
    }

    // A JSON entry with no name and number empties its slot: the card's read JSON written back
    // is the whole card.
    Write("empty4.json", R"([{"slot": 4, "name": "", "number": ""}])");
    ASSERT_EQ(Run({"phonebook", "write", Path("empty4.json")}).exitCode, 0);
    EXPECT_EQ(CardJson("phonebook")[3].toObject()["name"].toString(), "");
}

TEST_F(CardSlotsTest, ReplaceSaysWhatItEmptiesAndAsksOnATerminal) {
    const QJsonArray before = CardJson("phonebook");
    Write("one.json", R"([{"slot": 1, "name": "Nova", "number": "+4930123"}])");

    // On a terminal the question comes first; "no" writes nothing.
    CliRun run = RunCliOnTerminal(
        Card() + QStringList{"phonebook", "write", Path("one.json"), "--replace"}, "n\n");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("--replace empties 14 slots that the file does not name: 2, 4,"))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Empty them and write the file to the card? [y/N]"));
    EXPECT_TRUE(run.err.contains("nothing was written"));
    ExpectOthersUnchanged(before, CardJson("phonebook"), {});

    run = RunCliOnTerminal(
        Card() + QStringList{"phonebook", "write", Path("one.json"), "--replace"}, "y\n");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("wrote 15 records (14 of them emptied)")) << run.out.toStdString();
    EXPECT_EQ(UsedSlots(CardJson("phonebook")), QList<int>{1});

    // Off a terminal --replace is the consent; it still says what it empties.
    Write("two.json", R"([{"slot": 2, "name": "Ada", "number": "1"}])");
    run = Run({"phonebook", "write", Path("two.json"), "--replace"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("--replace empties 1 slot that the file does not name: 1"))
        << run.err.toStdString();
    EXPECT_EQ(UsedSlots(CardJson("phonebook")), QList<int>{2});

    // Messages too.
    Write("sms.json", R"([{"slot": 2, "status": 7, "address": "+1", "text": "hi"}])");
    run = Run({"sms", "write", Path("sms.json"), "--replace"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("--replace empties 9 slots that the file does not name: 1, 4, 5"))
        << run.err.toStdString();
}

TEST_F(CardSlotsTest, AddFillsFreeSlotsOnlyAndLeavesOutWhatTheCardHolds) {
    const QJsonArray before = CardJson("phonebook");
    // Alice is on the card already; Bo comes twice.
    Write("add.csv",
          "Alias,Phone\r\nBo,+4670123\r\nAlice Martin,+441632960123\r\nBo,+4670123\r\n"
          "Cy,+4670124\r\n");
    CliRun run = Run({"phonebook", "add", Path("add.csv")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("slot 3: Bo, +4670123\n")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("already in slot 1: Alice Martin, +441632960123"));
    EXPECT_TRUE(run.out.contains("added 2 entries; 2 were on the card already"));

    const QJsonArray after = CardJson("phonebook");
    ExpectOthersUnchanged(before, after, {3, 6});

    // The same file again adds nothing.
    run = Run({"phonebook", "add", Path("add.csv")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("added 0 entries; 4 were on the card already"))
        << run.out.toStdString();
    EXPECT_EQ(CardJson("phonebook"), after);
}

TEST_F(CardSlotsTest, AddWithoutRoomForAllStopsUnlessForced) {
    QJsonArray many;
    for (int i = 1; i <= 240; ++i)
        many.append(QJsonObject{{"slot", 1}, {"name", QString("P%1").arg(i)}, {"number", "1"}});
    Write("many.json", QJsonDocument(many).toJson());
    const QJsonArray before = CardJson("phonebook");
    // 235 free slots for 240 entries: the slot numbers of the file do not matter.
    CliRun run = Run({"phonebook", "add", Path("many.json")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("\"P236, 1\" is left out (the card has no free slot left)"))
        << run.err.toStdString();
    EXPECT_EQ(CardJson("phonebook"), before);

    run = Run({"phonebook", "add", Path("many.json"), "--force"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err.count("no free slot left"), 5);
    EXPECT_TRUE(run.out.contains("added 235 entries")) << run.out.toStdString();
    EXPECT_EQ(UsedSlots(CardJson("phonebook")).size(), 250);
}

TEST_F(CardSlotsTest, StandardInputIsReadWholeWithinItsLimit) {
    // 5 MB of valid JSON: every entry carries a long note the tool does not use.
    QJsonArray entries;
    for (int slot = 1; slot <= 250; ++slot) {
        entries.append(QJsonObject{{"slot", slot},
                                   {"name", QString("P%1").arg(slot)},
                                   {"number", QString::number(slot)},
                                   {"note", QString(20 * 1024, u'x')}});
    }
    const QByteArray json = QJsonDocument(entries).toJson();
    ASSERT_GT(json.size(), 5 * 1000 * 1000);
    CliRun run = Run({"phonebook", "write", "-"}, json);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(CardJson("phonebook")[249].toObject()["name"].toString(), "P250");

    run = Run({"phonebook", "write", "-"}, QByteArray(33 * 1024 * 1024, ' '));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("stdin is larger than the 32 MB")) << run.err.toStdString();
}

}  // namespace
