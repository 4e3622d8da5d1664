// pellucard-cli as a person or a script runs it: a separate process, its output and exit status.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>

#include "cli_rig.h"

namespace {

using pellucard::testing::Cli;
using pellucard::testing::CliRun;
using pellucard::testing::RunCliOnTerminal;

using CliTest = pellucard::testing::CardFolderTest;

TEST_F(CliTest, BadInputIsAUsageErrorNeverACrash) {
    for (const QStringList& args :
         {QStringList{"decode", "adn", "XYZ"}, QStringList{"decode", "sms", "ABC"},
          QStringList{"encode", "adn", "--record-length", "5", "--name", "x"},
          QStringList{"frobnicate"}, QStringList{"--reader", "usb3", "info"},
          QStringList{"pin", "verify", "12"}, QStringList{"encode", "sms", "--status", "2"}}) {
        const auto run = Cli(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
    // Short and odd records decode without complaint.
    EXPECT_EQ(Cli({"decode", "sms", "0300"}).exitCode, 0);
    EXPECT_EQ(Cli({"decode", "adn", "9804"}).exitCode, 0);
    const auto badJson = Write("bad.json", "[{\"slot\": 1, \"name\": ");
    const auto run = Cli(Reader() + QStringList{"phonebook", "write", badJson});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("JSON")) << run.err.toStdString();
}

TEST_F(CliTest, MissingReaderAndLockedCardAreCardFailures) {
    const auto run = Cli({"--reader", "socket:" + dir.filePath("nobody.sock"), "info"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("no reader")) << run.err.toStdString();
    const auto locked = Cli(Reader() + QStringList{"phonebook", "read"});
    EXPECT_EQ(locked.exitCode, 1);
    EXPECT_TRUE(locked.err.contains("--pin")) << locked.err.toStdString();
}

// PIN1's check on and verified, on and not verified, and off are three states: a verified
// PIN1 is no check switched off.
TEST_F(CliTest, InfoTellsThePin1StatesApart) {
    struct State {
        QStringList before;  // what the card goes through first
        QStringList pin;
        const char* text;
        QJsonValue check;
        QJsonValue verified;
    };
    const QStringList reader = Reader();
    for (const State& state :
         {State{{}, {}, "on, not verified", "on", false},
          State{{}, {"--pin", "1234"}, "on, verified", "on", true},
          State{{"pin", "disable", "1234"}, {}, "off", "off", QJsonValue::Null},
          State{{}, {"--pin", "1234"}, "off", "off", QJsonValue::Null}}) {
        if (!state.before.isEmpty()) {
            ASSERT_EQ(Cli(reader + state.before).exitCode, 0);
        }
        const auto plain = Cli(reader + state.pin + QStringList{"info"});
        ASSERT_EQ(plain.exitCode, 0) << plain.err.toStdString();
        EXPECT_TRUE(plain.out.contains(QByteArray("PIN1 check:             ") + state.text + "\n"))
            << state.text << ": " << plain.out.toStdString();
        const auto json = Cli(reader + state.pin + QStringList{"--json", "info"}).Json().object();
        EXPECT_EQ(json["pin1_check"], state.check) << state.text;
        EXPECT_EQ(json["pin1_verified"], state.verified) << state.text;
    }
    // What PIN1 guards is unknown, null, while PIN1 is not verified.
    ASSERT_EQ(Cli(reader + QStringList{"pin", "enable", "1234"}).exitCode, 0);
    const auto locked = Cli(reader + QStringList{"--json", "info"}).Json().object();
    EXPECT_EQ(locked["imsi"], QJsonValue(QJsonValue::Null));
    EXPECT_EQ(locked["iccid"].toString(), "8988200000123456788");
    const auto open = Cli(reader + QStringList{"--pin", "1234", "--json", "info"}).Json().object();
    EXPECT_EQ(open["imsi"].toString(), "001010123456789");
}

// The virtual reader served by one process, used by another through a Unix socket.
class SimulatorTest : public CliTest {
protected:
    // A socket reader pauses 20 ms per card command, as the real reader needs: a card with a
    // short phone book keeps the test quick.
    void ShortenPhoneBook(int records) {
        EditCard([records](QJsonObject& image) {
            QJsonArray files = image["files"].toArray();
            for (qsizetype i = 0; i < files.size(); ++i) {
                QJsonObject file = files[i].toObject();
                if (file["path"] == "3F00/7F10/6F3A") {
                    file["record_count"] = records;
                    files[i] = file;
                }
            }
            image["files"] = files;
        });
    }
    void StartSimulator(const QString& profile, const QStringList& faults = {}) {
        ShortenPhoneBook(30);
        socket = dir.filePath("reader.sock");
        simulator.start(PELLUCARD_CLI, QStringList{"simulate", "--socket", socket, "--image",
                                                   Path("card.json"), "--profile", profile} +
                                           faults);
        ASSERT_TRUE(simulator.waitForStarted());
        for (int i = 0; i < 100 && !QFile::exists(socket); ++i)
            QThread::msleep(20);
        ASSERT_TRUE(QFile::exists(socket));
    }
    void TearDown() override {
        if (simulator.state() != QProcess::NotRunning) {
            simulator.terminate();
            if (!simulator.waitForFinished(5000))
                simulator.kill();
        }
    }
    QString socket;
    QProcess simulator;
};

TEST_F(SimulatorTest, SocketReaderGivesTheSameAnswersAsTheVirtualReader) {
    StartSimulator("instant");
    const auto direct = Cli(Card() + QStringList{"--json", "info"});
    const auto remote = Cli({"--reader", "socket:" + socket, "--pin", "1234", "--json", "info"});
    ASSERT_EQ(remote.exitCode, 0) << remote.err.toStdString();
    EXPECT_EQ(remote.out, direct.out);
    const auto book =
        Cli({"--reader", "socket:" + socket, "--pin", "1234", "--json", "phonebook", "read"});
    ASSERT_EQ(book.exitCode, 0) << book.err.toStdString();
    EXPECT_EQ(book.Json().array().size(), 30);

    // A wrong PIN through the socket is kept in the image when the simulator ends.
    Cli({"--reader", "socket:" + socket, "pin", "verify", "0000"});
    simulator.terminate();
    ASSERT_TRUE(simulator.waitForFinished(5000));
    const auto after = Cli(Reader() + QStringList{"--json", "info"});
    EXPECT_EQ(after.Json()["attempts_left"]["pin1"].toInt(), 2);
}

// A CHANGE CHV that the card executed but whose answer was lost: never "FAILED", but that PIN1
// may already be the new code and should be checked, with the counters read again; exit 1.
TEST_F(SimulatorTest, PinChangeWhoseAnswerIsLostMayBeInForce) {
    StartSimulator("instant", {"--lose-answer", "36"});  // 0x24, CHANGE CHV
    const auto run = Cli({"--reader", "socket:" + socket, "pin", "change", "1234", "4321"});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    for (const char* said :
         {"PIN1 may already have been changed to the new code; check the card",
          "NOT CONFIRMED: PIN1 changed", "attempts left: PIN1 3, PIN2 3, PUK1 10, PUK2 10"})
        EXPECT_TRUE(run.out.contains(said)) << run.out.toStdString();
    EXPECT_FALSE(run.out.contains("FAILED")) << run.out.toStdString();
    EXPECT_EQ(Cli({"--reader", "socket:" + socket, "pin", "verify", "4321"}).exitCode, 0);
}

// Restore asks on a terminal, and without --yes elsewhere it writes nothing; both are failures.
// (The terminal's yes: CardSlotsTest.ReplaceSaysWhatItEmptiesAndAsksOnATerminal.)
TEST_F(CliTest, BackupThenRestoreGivesBackEveryRecordByteForByte) {
    const QStringList reader = Card();
    const QString backup = dir.filePath("backup.json");
    const auto saved = Cli(reader + QStringList{"backup", backup});
    ASSERT_EQ(saved.exitCode, 0) << saved.err.toStdString();
    const auto book = Cli(reader + QStringList{"--json", "phonebook", "read"}).out;
    const auto messages = Cli(reader + QStringList{"--json", "sms", "read"}).out;

    // A record of each file changed.
    Write("x.json", R"([{"slot": 1, "name": "X", "number": "1"}])");
    Write("s.json", R"([{"slot": 1, "status": 0}])");
    ASSERT_EQ(Cli(reader + QStringList{"phonebook", "write", Path("x.json")}).exitCode, 0);
    ASSERT_EQ(Cli(reader + QStringList{"sms", "write", Path("s.json")}).exitCode, 0);
    ASSERT_NE(Cli(reader + QStringList{"--json", "phonebook", "read"}).out, book);

    // Without --yes nothing is written, and that is no success.
    const auto unconfirmed = Cli(reader + QStringList{"restore", backup});
    EXPECT_EQ(unconfirmed.exitCode, 1);
    EXPECT_TRUE(unconfirmed.err.contains("nothing written: give --yes"));
    const auto declined = RunCliOnTerminal(reader + QStringList{"restore", backup}, "no\n");
    EXPECT_EQ(declined.exitCode, 1);
    EXPECT_TRUE(declined.err.contains("Replace the card's records with the backup's? [y/N]"))
        << declined.err.toStdString();
    EXPECT_TRUE(declined.err.contains("nothing was written"));
    ASSERT_NE(Cli(reader + QStringList{"--json", "phonebook", "read"}).out, book);
    const auto restored = Cli(reader + QStringList{"restore", backup, "--yes"});
    ASSERT_EQ(restored.exitCode, 0) << restored.err.toStdString();
    EXPECT_TRUE(restored.out.contains("wrote 280 records")) << restored.out.toStdString();
    EXPECT_EQ(Cli(reader + QStringList{"--json", "phonebook", "read"}).out, book);
    EXPECT_EQ(Cli(reader + QStringList{"--json", "sms", "read"}).out, messages);
}

TEST_F(CliTest, RestoreRefusesRecordsThatDoNotFit) {
    const QStringList reader = Card();
    const QString backup = dir.filePath("backup.json");
    ASSERT_EQ(Cli(reader + QStringList{"backup", backup}).exitCode, 0);
    const auto before = Cli(reader + QStringList{"--json", "phonebook", "read"}).out;
    // A backup of a larger card: the records beyond the card's 250 are named and refused.
    QJsonObject larger = QJsonDocument::fromJson(Read("backup.json")).object();
    QJsonArray more = larger["phonebook"].toArray();
    for (int n = 251; n <= 255; ++n)
        more.append(QJsonObject{{"record", n}, {"data", QString(56, u'F')}});
    larger["phonebook"] = more;
    QJsonObject card = larger["card"].toObject();
    QJsonObject phoneBook = card["phonebook"].toObject();
    phoneBook["record_count"] = 255;
    card["phonebook"] = phoneBook;
    larger["card"] = card;
    const QString largerPath = Write("larger.json", QJsonDocument(larger).toJson());
    const auto refused = Cli(reader + QStringList{"restore", largerPath, "--yes"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("no room for 5 phone book")) << refused.err.toStdString();
    EXPECT_EQ(Cli(reader + QStringList{"--json", "phonebook", "read"}).out, before);
    const auto partial =
        Cli(reader + QStringList{"restore", largerPath, "--yes", "--fewer-records"});
    EXPECT_EQ(partial.exitCode, 0) << partial.err.toStdString();
    EXPECT_TRUE(partial.out.contains("wrote 280 records"));
}

// A restore the card refuses at phone book record 7: records 1 to 6 replaced the card's, and
// the tool says so rather than "0 written".
TEST_F(CliTest, RestoreRefusedAtRecord7SaysWhichRecordsWereWritten) {
    ASSERT_EQ(Cli(Card() + QStringList{"backup", Path("backup.json")}).exitCode, 0);
    AddRefusals({"update:6F3A:7:6581"});
    const auto run = Cli(Card() + QStringList{"restore", Path("backup.json"), "--yes"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(
        run.err.contains("SIM Card Phone Book: records 1 to 6 were written; record 7 was "
                         "refused (status 65 81: Memory failure"))
        << run.err.toStdString();
}

// The one test of --vcard-version: vCard 2.1 writes names quoted-printable.
TEST_F(CliTest, ConvertsContactsToVCard21) {
    ASSERT_EQ(Cli(Card() + QStringList{"phonebook", "read", "-o", Path("book.SPB")}).exitCode, 0);
    ASSERT_EQ(
        Cli({"convert", Path("book.SPB"), Path("book.vcf"), "--vcard-version", "2.1"}).exitCode, 0);
    EXPECT_TRUE(Read("book.vcf").contains("FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:"));
}

// A message's time goes to the card from ISO 8601 as from the card's seven fields; a file that
// gives both must give one time.
TEST_F(CliTest, SmsTimesAreReadFromIso8601Too) {
    const QStringList card = Card();
    Write("iso.json", R"([{"slot": 3, "status": 1, "address": "+1", "text": "hi",
                           "time": "2023-07-01T08:15:00-02:30"}])");
    const auto written = Cli(card + QStringList{"sms", "write", Path("iso.json")});
    ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
    const QJsonObject message = CardJson("sms")[2].toObject();
    EXPECT_EQ(message["time"].toString(), "2023-07-01T08:15:00-02:30");
    EXPECT_EQ(message["timestamp"].toArray(), (QJsonArray{23, 7, 1, 8, 15, 0, -10}));

    for (const char* json :
         {R"([{"slot": 3, "status": 1, "time": "2023-07-01T08:15:00Z",
               "timestamp": [23, 7, 1, 8, 15, 1, 0]}])",
          R"([{"slot": 3, "status": 1, "time": "2023-07-01 08:15"}])",
          R"([{"slot": 3, "status": 1, "time": "2023-07-01T08:15:00+01:10"}])"}) {
        const auto refused = Cli(card + QStringList{"sms", "write", Write("bad.json", json)});
        EXPECT_EQ(refused.exitCode, 2) << json;
        EXPECT_TRUE(refused.err.contains("slot 3: \"time\"")) << refused.err.toStdString();
    }
    EXPECT_EQ(CardJson("sms")[2].toObject(), message);
}

// A name holding the GSM alphabet's line feed and carriage return stays on its one line of the
// plain listing, as blanks; the JSON keeps it as the card does.
TEST_F(CliTest, ALineBreakInANameStaysOnItsLineOfTheListing) {
    const QByteArray alice = "416C696365204D617274696EFFFF";  // "Alice Martin"
    Write("card.json", Read("card.json").replace(alice, "410A420D43FFFFFFFFFFFFFFFFFF"));
    const QByteArray out = Cli(Card() + QStringList{"phonebook", "read"}).out;
    EXPECT_TRUE(out.startsWith("1\tA B C\t+441632960123\n2\t")) << out.toStdString();
    EXPECT_EQ(CardJson("phonebook")[0].toObject()["name"].toString(), "A\nB\rC");
}

}  // namespace
