// pellucard-cli through the real PC/SC stack: a pcscd of the test's own with vsmartcard's vpcd
// driver, and the CLI's own card server as the card in it, a GSM SIM or a USIM-only card.
// Every card command must give what the virtual USB reader gives with the same card image.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <utility>

#include "cli_rig.h"
#include "pcscd_rig.h"
#include "simulator/card_image.h"
#include "support/hex.h"
#include "support/image_contents.h"

namespace pellucard::testing {
namespace {

CardImage ImageFile(const QString& path) {
    CardImage image;
    QString why;
    EXPECT_TRUE(ReadCardImageFile(path, image, why)) << why.toStdString();
    return image;
}

QJsonDocument ReadJson(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QJsonDocument::fromJson(file.readAll());
}

class PcscCliTest : public CardFolder<::testing::TestWithParam<bool>> {
protected:
    void SetUp() override {
        CardFolder::SetUp();
        image = Path("card.json");
        reference = Path("reference.json");
        ASSERT_TRUE(QFile::copy(image, reference));
        QString why;
        if (!rig.Start(why))
            GTEST_SKIP() << "pcscd with the vpcd driver cannot run here: " << why.toStdString();
    }
    void TearDown() override {
        EndProcess(simulator);
        rig.Stop();
    }

    void InsertCard(const QStringList& extra = {}) {
        QStringList arguments{"--image", image};
        if (GetParam())
            arguments << "--uicc";
        QString why;
        ASSERT_TRUE(rig.StartCard(simulator, PELLUCARD_CLI, arguments + extra, why))
            << why.toStdString();
    }
    // The card server saves the card to its image when it ends.
    void PullCard() {
        EndProcess(simulator);
        EXPECT_EQ(simulator.exitCode(), 0) << simulator.readAllStandardError().toStdString();
        EXPECT_TRUE(rig.WaitForCard(false));
    }
    CliRun Pcsc(const QStringList& arguments) {
        return RunCli(QStringList{"--reader", "pcsc"} + arguments, rig.Environment());
    }
    CliRun Usb(const QStringList& arguments) {
        return RunCli(QStringList{"--reader", "virtual:" + reference} + arguments,
                      QProcessEnvironment::systemEnvironment());
    }
    // The same command on both readers: the same exit status and the same output, but for the
    // status word of a refused code: a USIM answers 63 Cx where a GSM SIM answers 98 04.
    CliRun Same(const QStringList& arguments) {
        const CliRun pcsc = Pcsc(arguments);
        const CliRun usb = Usb(arguments);
        EXPECT_EQ(pcsc.exitCode, usb.exitCode)
            << arguments.join(' ').toStdString() << ": " << pcsc.err.toStdString();
        EXPECT_EQ(WithoutStatusWord(pcsc.out), WithoutStatusWord(usb.out))
            << arguments.join(' ').toStdString();
        EXPECT_FALSE(pcsc.out.isEmpty()) << arguments.join(' ').toStdString();
        return pcsc;
    }
    static QByteArray WithoutStatusWord(const QByteArray& out) {
        if (QJsonDocument::fromJson(out).isArray())
            return QJsonDocument(WithoutUsimFields(QJsonDocument::fromJson(out).array())).toJson();
        QJsonObject o = QJsonDocument::fromJson(out).object();
        if (!o.contains("status_word"))
            return WithoutUsimBookkeeping(out);
        o.remove("status_word");
        return QJsonDocument(o).toJson();
    }
    // The changes a USIM phone book marks and counts, which a GSM card has no place for.
    static QByteArray WithoutUsimBookkeeping(const QByteArray& out) {
        return QString::fromUtf8(out)
            .remove(QRegularExpression("; changes of \\d+ USIM contacts? marked and counted"))
            .toUtf8();
    }
    // The fields of a USIM phone book, which a GSM card has no place for.
    static QJsonArray WithoutUsimFields(QJsonArray entries) {
        for (qsizetype i = 0; i < entries.size(); ++i) {
            QJsonObject o = entries[i].toObject();
            for (const char* key : {"numbers", "emails", "second_name", "groups"})
                o.remove(QLatin1String(key));
            entries[i] = o;
        }
        return entries;
    }
    QString image;
    QString reference;
    PcscdRig rig;
    QProcess simulator;
};

TEST_P(PcscCliTest, EveryCardCommandGivesWhatTheUsbReaderGives) {
    InsertCard();
    const QStringList pin{"--pin", "1234", "--json"};
    Same({"--json", "info"});
    Same(pin + QStringList{"info"});
    Same(pin + QStringList{"phonebook", "read"});
    Same(pin + QStringList{"sms", "read"});
    // No reader named: the USB SIM reader is not there, so the smart-card reader with the card.
    const CliRun automatic = RunCli(pin + QStringList{"info"}, rig.Environment());
    EXPECT_EQ(automatic.out, Usb(pin + QStringList{"info"}).out) << automatic.err.toStdString();

    // Writing: one entry renamed, one added, a message dropped; read back the same.
    QJsonArray book =
        WithoutUsimFields(Pcsc(pin + QStringList{"phonebook", "read"}).Json().array());
    ASSERT_EQ(book.size(), 250);
    QJsonObject first = book[0].toObject();
    first["name"] = "Алиса";
    book[0] = first;
    book[5] = QJsonObject{{"slot", 6}, {"name", "New"}, {"number", "+3312"}};
    const QString bookFile = Write("book.json", QJsonDocument(book).toJson());
    const CliRun bookWritten = Same(QStringList{"--pin", "1234", "phonebook", "write", bookFile});
    EXPECT_EQ(bookWritten.out.contains("; changes of 2 USIM contacts marked and counted"),
              GetParam())
        << bookWritten.out.toStdString();
    QJsonArray messages = Pcsc(pin + QStringList{"sms", "read"}).Json().array();
    messages[0] = QJsonObject{{"slot", 1}, {"status", 0}};
    const QString smsFile = Write("sms.json", QJsonDocument(messages).toJson());
    Same(QStringList{"--pin", "1234", "sms", "write", smsFile});
    Same(pin + QStringList{"phonebook", "read"});
    Same(pin + QStringList{"sms", "read"});
    // The other record files: on a USIM in the application, but for the last dialled numbers;
    // fixed dialling written with PIN2.
    const QString doctor =
        Write("fdn.json", R"([{"slot": 3, "name": "Doctor", "number": "+441632960999"}])");
    EXPECT_EQ(
        Same(pin + QStringList{"phonebook", "write", "--file", "fdn", "--pin2", "5678", doctor})
            .exitCode,
        0);
    for (const char* file : {"fdn", "sdn", "msisdn", "lnd"})
        EXPECT_EQ(Same(pin + QStringList{"phonebook", "read", "--file", file}).exitCode, 0);

    // PIN commands cost exactly the attempts they cost on the USB reader.
    for (const char* command :
         {"pin verify 0000", "pin verify 1234", "pin change --chv 2 5678 2468",
          "pin verify --chv 2 2468", "pin disable 1234", "phonebook read", "pin enable 1234",
          "pin verify 9999", "pin verify 9999", "pin verify 9999", "info",
          "pin unblock 11111111 4321", "pin unblock 12345678 4321", "--pin 4321 info"})
        Same(QStringList{"--json"} + QString(command).split(' '));

    // Ended, the card server keeps it all in the image: the same image as the USB reader's, but
    // for what a USIM phone book keeps of the two entries written: each marked in EF PBC and
    // counted once in EF CC.
    PullCard();
    if (GetParam()) {
        CardImage usb = ImageFile(reference);
        const std::string phoneBook = "3F00/7F10/5F3A/";
        // A record written keeps no comment.
        usb.FindFile(phoneBook + "4F09")->records[0] = {Bytes{0x01, 0x00}, {}};
        usb.FindFile(phoneBook + "4F09")->records[5] = {Bytes{0x01, 0x00}, {}};
        usb.FindFile(phoneBook + "4F23")->body = {0x00, 0x07};
        QString why;
        ASSERT_TRUE(WriteCardImageFile(reference, usb, why)) << why.toStdString();
    }
    EXPECT_EQ(ReadJson(image), ReadJson(reference));
}

INSTANTIATE_TEST_SUITE_P(Cards, PcscCliTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Usim" : "Gsm"; });

TEST(PcscCliServiceTest, MissingServiceIsOneClearLineNotAHang) {
    QTemporaryDir dir;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PCSCLITE_CSOCK_NAME", dir.filePath("nobody.comm"));
    QElapsedTimer clock;
    clock.start();
    const CliRun run = RunCli({"--reader", "pcsc", "info"}, environment);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "pellucard-cli: the smart-card service is not running: start pcscd\n");
    // Without a USB SIM reader the default says the same at the end of its line.
    const CliRun automatic = RunCli({"info"}, environment);
    EXPECT_EQ(automatic.exitCode, 1);
    EXPECT_TRUE(automatic.err.trimmed().endsWith("start pcscd")) << automatic.err.toStdString();
}

// The demo card with a second block in its global USIM phone book: EF PBR's second record lists
// an ADN file of three records (Zoe's entry in record 1), an SNE and an EMAIL file of type 1.
void AddSecondBlock(const QString& path) {
    CardImage image = ImageFile(path);
    const std::string book = "3F00/7F10/5F3A/";
    // A file laid out as `model`, three records long, the first holding `first`.
    const auto add = [&image, &book](const std::string& model, const char* id, const char* first) {
        CardFile file = *image.FindFile(model);
        file.path = book + id;
        file.records.assign(3, CardRecord{Bytes(file.recordLength, 0xFF), {}});
        const Bytes data = Hex(first);
        std::copy(data.begin(), data.end(), file.records[0].data.begin());
        image.files.push_back(file);
    };
    add("3F00/7F10/6F3A", "4F3B", "5A6F65FFFFFFFFFFFFFFFFFFFFFF059151552143");
    add(book + "4F19", "4F1A", "");
    add(book + "4F50", "4F51", "7A6F65006578616D706C652E6E6574");
    CardFile* pbr = image.FindFile(book + "4F30");
    pbr->records.push_back({Bytes(pbr->recordLength, 0xFF), {}});
    const Bytes second = Hex("A80DC0034F3B02C3024F1ACA024F51");
    std::copy(second.begin(), second.end(), pbr->records.back().data.begin());
    QString why;
    ASSERT_TRUE(WriteCardImageFile(path, image, why)) << why.toStdString();
}

// The USIM phone book's fields through pcscd, in the first block and in a later one: read,
// edited, a new entry, all written back as they were given. A GSM card refuses them untouched.
TEST_P(PcscCliTest, TheUsimPhoneBooksFieldsReadEditedAndWrittenBack) {
    if (GetParam())
        AddSecondBlock(image);
    InsertCard();
    const QStringList pin{"--pin", "1234", "--json"};
    QJsonArray book = Pcsc(pin + QStringList{"phonebook", "read"}).Json().array();
    QJsonObject alice = book[0].toObject();
    if (!GetParam()) {
        EXPECT_FALSE(alice.contains("emails")) << "a GSM card has no USIM phone book";
        alice["emails"] = QJsonArray{"alice@example.org"};
        const QString file = Write("book.json", QJsonDocument(QJsonArray{alice}).toJson());
        const CliRun refused = Pcsc({"--pin", "1234", "phonebook", "write", file});
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE(refused.err.contains("no USIM phone book")) << refused.err.toStdString();
        PullCard();
        EXPECT_EQ(ImageContents(ImageFile(image)), ImageContents(ImageFile(reference)))
            << "nothing was written";
        return;
    }
    ASSERT_EQ(book.size(), 253) << "the 250 of EF ADN and the second block's three";
    // What each field holds is UsimPhoneBookTest's; here they must come back as written.
    const QJsonArray numbers = alice["numbers"].toArray();
    ASSERT_EQ(numbers.size(), 2);
    QJsonObject zoe = book[250].toObject();
    ASSERT_EQ(zoe["block"].toInt(), 2);

    // Alice's two numbers, e-mail and group; Zoe's second name and e-mail; a new entry in the
    // second block's second record.
    alice["numbers"] =
        QJsonArray{numbers[0], QJsonObject{{"number", "+441632960789"}, {"type", "Work"}}};
    alice["emails"] = QJsonArray{"alice.martin@example.org"};
    alice["groups"] = QJsonArray{"Friends"};
    book[0] = alice;
    zoe["second_name"] = "Z";
    zoe["emails"] = QJsonArray{"zoe.b@example.net"};
    book[250] = zoe;
    QJsonObject yann = book[251].toObject();
    yann["name"] = "Yann";
    yann["number"] = "0123";
    yann["emails"] = QJsonArray{"yann@example.fr"};
    book[251] = yann;
    const CliRun written = Pcsc({"--pin", "1234", "--json", "phonebook", "write",
                                 Write("book.json", QJsonDocument(book).toJson())});
    ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_EQ(written.Json()["usim_changes_counted"].toInt(), 3);
    const QJsonArray again = Pcsc(pin + QStringList{"phonebook", "read"}).Json().array();
    EXPECT_EQ(again, book);

    // A slot the block does not have is refused before anything is written.
    QJsonObject beyond = yann;
    beyond["slot"] = 4;
    const CliRun refused = Pcsc({"--pin", "1234", "phonebook", "write",
                                 Write("beyond.json", QJsonDocument(QJsonArray{beyond}).toJson())});
    EXPECT_EQ(refused.exitCode, 2) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("block 2 slot 4 is beyond the card's USIM phone book"))
        << refused.err.toStdString();
    EXPECT_EQ(Pcsc(pin + QStringList{"phonebook", "read"}).Json().array(), book);
}

// The plain listing: a GSM card's lines as they have always been; a USIM's the same lines, the
// later block's entry, each followed by its fields on lines led by a tab. The fixed dialling
// numbers take none of the phone book's fields; a file of the card's slots, read -o, has no place
// for the later block's entry.
TEST_P(PcscCliTest, ThePlainListingShowsEveryBlockWithItsFields) {
    if (GetParam())
        AddSecondBlock(image);
    InsertCard();
    const QByteArray out = Pcsc({"--pin", "1234", "phonebook", "read"}).out;
    const QByteArray alice = "1\tAlice Martin\t+441632960123\n";
    const QByteArray fields =
        "\tnumber\t+441632960456\tHome\n\te-mail\talice@example.org\n"
        "\tsecond name\tAli\n\tgroup\tFamily\n";
    EXPECT_TRUE(out.startsWith(alice + (GetParam() ? fields : "") + "2\tJosé Müller\t0301234567\n"))
        << out.toStdString();
    EXPECT_TRUE(out.contains("\n17\t\t112\n18\tName only\t\n19\t"));
    const QByteArray zoe = "block 2 slot 1\tZoe\t+15551234\n\te-mail\tzoe@example.net\n";
    EXPECT_TRUE(out.endsWith("\n20\tHidden ID\t#31#0301234567\n" + (GetParam() ? zoe : "")));
    if (!GetParam())
        return;
    const QJsonArray fixed =
        Pcsc({"--pin", "1234", "--json", "phonebook", "read", "--file", "fdn"}).Json().array();
    ASSERT_FALSE(fixed.isEmpty());
    EXPECT_FALSE(fixed[0].toObject().contains("numbers"));
    const QString file = Path("book.vcf");
    const CliRun stopped = Pcsc({"--pin", "1234", "phonebook", "read", "-o", file});
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_TRUE(stopped.err.contains("block 2: \"Zoe +15551234\" is left out"))
        << stopped.err.toStdString();
    EXPECT_FALSE(QFile::exists(file));
}

// The book as JSON text without the record bytes, which a name encoded anew may change: a
// difference shows as a diff of lines. `asAFileHoldsIt` also leaves out the empty slots, the slot
// numbers (a vCard's contacts go to the first slots in turn) and every additional number after
// the one a file's row shows.
std::string Comparable(const QJsonArray& book, bool asAFileHoldsIt = false) {
    QJsonArray kept;
    for (const QJsonValue& value : book) {
        QJsonObject o = value.toObject();
        o.remove("raw");
        if (asAFileHoldsIt) {
            if (o["name"].toString().isEmpty() && o["number"].toString().isEmpty())
                continue;
            o.remove("slot");
            QJsonArray numbers = o["numbers"].toArray();
            bool shown = false;
            for (qsizetype i = 0; i < numbers.size(); ++i) {
                if (!numbers[i].toObject()["number"].toString().isEmpty() &&
                    std::exchange(shown, true))
                    numbers[i] = QJsonObject{{"number", ""}, {"type", ""}};
            }
            o["numbers"] = numbers;
        }
        kept.append(o);
    }
    return QJsonDocument(kept).toJson().toStdString();
}

// A USIM's phone book read into a vCard, text or .SPB file and written (or added) back onto the
// emptied card gives the same contacts with their additional numbers, e-mails, second names and
// groups. A GSM card refuses a file that has them until --force.
TEST_P(PcscCliTest, TheUsimFieldsGoThroughVCardAndTextFilesBackOntoTheCard) {
    InsertCard();
    const QStringList pin{"--pin", "1234"};
    const QJsonArray book = Pcsc(pin + QStringList{"--json", "phonebook", "read"}).Json().array();
    const QString empty = Write("empty.json", "[]");
    for (const QString format : {"csv", "vcf", "SPB"}) {
        SCOPED_TRACE(format.toStdString());
        const QString file = Path("book." + format);
        const CliRun read = Pcsc(pin + QStringList{"phonebook", "read", "-o", file, "--force"});
        ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
        if (!GetParam())
            continue;
        // A text file written onto the card it came from (its row n is slot n) changes
        // nothing: the number a row does not show (José's second) stays where it is.
        if (format == "csv") {
            ASSERT_EQ(Pcsc(pin + QStringList{"phonebook", "write", file}).exitCode, 0);
            EXPECT_EQ(
                Comparable(Pcsc(pin + QStringList{"--json", "phonebook", "read"}).Json().array()),
                Comparable(book));
        }
        ASSERT_EQ(
            Pcsc(pin + QStringList{"phonebook", "write", empty, "--replace", "--yes"}).exitCode, 0);
        // A text file added into the free slots, the others written: all carry the fields.
        const QString verb = format == "csv" ? "add" : "write";
        const CliRun written = Pcsc(pin + QStringList{"phonebook", verb, file});
        ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
        // Each entry added is a new one of the USIM phone book: given its identifier, marked
        // and counted like one written.
        EXPECT_TRUE(written.out.contains("USIM contacts marked and counted"))
            << written.out.toStdString();
        const QJsonArray again =
            Pcsc(pin + QStringList{"--json", "phonebook", "read"}).Json().array();
        EXPECT_EQ(Comparable(again, true), Comparable(book, true));
    }
    if (!GetParam()) {
        const QString usim = Write("usim.csv", "Alias,Phone,E-mail\r\nAl,0123,al@example.org\r\n");
        const CliRun refused = Pcsc(pin + QStringList{"phonebook", "write", usim});
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_TRUE(refused.err.contains("emails: \"al@example.org\" is left out"))
            << refused.err.toStdString();
    }
}

// A write the card refuses part way has changed the entries before the refused one: on a USIM
// they are marked in EF PBC and counted in EF CC before the command fails, as no later run could
// tell that they changed; nothing past the refusal is touched.
TEST_P(PcscCliTest, AWriteRefusedPartWayKeepsTheBookkeepingOfWhatItWrote) {
    if (!GetParam())
        GTEST_SKIP() << "a GSM card keeps no bookkeeping";
    CardImage card = ImageFile(image);
    CardRefusal refusal;
    std::string error;
    ASSERT_TRUE(ParseCardRefusal("update:4F3A:3:6F00", refusal, error)) << error;
    card.refusals.push_back(refusal);
    QString why;
    ASSERT_TRUE(WriteCardImageFile(image, card, why)) << why.toStdString();
    const CardImage before = ImageFile(image);
    InsertCard();
    const QString file =
        Write("book.json", R"([{"slot": 1, "name": "Alicia", "number": "+441632960123"},
                                                {"slot": 3, "name": "Carl", "number": "0456"}])");
    const CliRun refused = Pcsc({"--pin", "1234", "phonebook", "write", file});
    EXPECT_EQ(refused.exitCode, 1) << refused.err.toStdString();
    PullCard();
    const CardImage after = ImageFile(image);
    const std::string pb = "3F00/7F10/5F3A/";
    EXPECT_EQ(Changed(before, after),
              (std::set<std::string>{"3F00/7F10/6F3A#1", pb + "4F09#1", pb + "4F23#0"}));
    EXPECT_EQ(after.FindFile(pb + "4F09")->records[0].data[0] & 0x01, 0x01);
}

// A file's row of another contact than the card holds in its slot takes none of the old one's
// fields (Zed over José, with a second number or without USIM fields at all); José's name
// corrected is still José, and keeps the number his row does not show.
TEST_P(PcscCliTest, AnotherContactInASlotInheritsNoneOfTheOldOnesFields) {
    if (!GetParam())
        GTEST_SKIP() << "a GSM card has no USIM phone book";
    InsertCard();
    const QStringList pin{"--pin", "1234"};
    const auto numbersOfJosesSlot = [&] {
        QStringList held;
        const QJsonArray book =
            Pcsc(pin + QStringList{"--json", "phonebook", "read"}).Json().array();
        for (const QJsonValue& n : book[1].toObject()["numbers"].toArray()) {
            if (!n["number"].toString().isEmpty())
                held << n["number"].toString();
        }
        return held;
    };
    const auto write = [&](const QString& name, const QByteArray& text) {
        return Pcsc(pin + QStringList{"phonebook", "write", Write(name, text)}).exitCode;
    };
    const QByteArray alice =
        "Alias,Phone,Second number,Type\r\n"
        "Alice Martin,+441632960123,+441632960456,Home\r\n";
    ASSERT_EQ(write("book.csv", alice + "Jose Muller,0301234567,0309876543,Work\r\n"), 0);
    EXPECT_EQ(numbersOfJosesSlot(), (QStringList{"0309876543", "+4915112345678"}));
    ASSERT_EQ(write("book.csv", alice + "Zed,0123,0777,Home\r\n"), 0);
    EXPECT_EQ(numbersOfJosesSlot(), QStringList{"0777"});
    ASSERT_EQ(write("book.json", R"([{"slot": 2, "name": "Yves", "number": "0456"}])"), 0);
    EXPECT_EQ(numbersOfJosesSlot(), QStringList());
}

// A USIM whose EF EMAIL the card will not read still lists its names and numbers, plainly and as
// JSON, without the USIM fields and with one warning naming the file.
TEST_P(PcscCliTest, ARefusedUsimPhoneBookFileStillListsNamesAndNumbers) {
    if (!GetParam())
        GTEST_SKIP() << "a GSM card has no USIM phone book";
    CardImage card = ImageFile(image);
    CardRefusal refusal;
    std::string error;
    ASSERT_TRUE(ParseCardRefusal("read:4F50:*:6982", refusal, error)) << error;
    card.refusals.push_back(refusal);
    QString why;
    ASSERT_TRUE(WriteCardImageFile(image, card, why)) << why.toStdString();
    InsertCard();
    for (const QStringList& json : {QStringList(), QStringList{"--json"}}) {
        const CliRun read =
            Pcsc(QStringList{"--pin", "1234"} + json + QStringList{"phonebook", "read"});
        EXPECT_EQ(read.exitCode, 0);
        EXPECT_TRUE(read.out.contains("Alice Martin") && !read.out.contains("alice@example.org"))
            << read.out.toStdString();
        EXPECT_TRUE(
            read.err.endsWith("the USIM phone book's numbers, e-mails, second names and "
                              "groups are left out: the card refused record 1 of EF 4F50 "
                              "(status 69 82)\n"))
            << read.err.toStdString();
    }
}

// A vCard whose second number has a type the card's EF AAS does not offer: add stops before the
// first record is written; with --force every entry is added and only the fax number is left
// out, listed; adding the file again lists it again rather than hiding it as a duplicate's.
TEST_P(PcscCliTest, AnAddTheUsimPhoneBookRefusesStopsBeforeWritingAnything) {
    if (!GetParam())
        GTEST_SKIP() << "a GSM card has no USIM phone book";
    const CardImage held = ImageFile(image);
    InsertCard();
    const QStringList pin{"--pin", "1234"};
    const QString file = Write("fax.vcf",
                               "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zed Fax\r\n"
                               "TEL;TYPE=CELL:+15550001\r\nTEL;TYPE=FAX:+15550002\r\nEND:VCARD\r\n"
                               "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Yan\r\nTEL:+15550003\r\n"
                               "EMAIL:yan@example.org\r\nEND:VCARD\r\n");
    const auto read = [&] {
        return Pcsc(pin + QStringList{"--json", "phonebook", "read"}).Json().array();
    };
    const CliRun stopped = Pcsc(pin + QStringList{"phonebook", "add", file});
    EXPECT_EQ(stopped.exitCode, 1);
    const QByteArray fax = "+15550002 (Fax)\" is left out (the card offers no number type";
    EXPECT_TRUE(stopped.err.contains(fax)) << stopped.err.toStdString();
    PullCard();
    EXPECT_TRUE(Changed(held, ImageFile(image)).empty()) << "nothing written";
    InsertCard();

    const CliRun forced = Pcsc(pin + QStringList{"phonebook", "add", file, "--force"});
    ASSERT_EQ(forced.exitCode, 0) << forced.err.toStdString();
    EXPECT_TRUE(forced.err.contains(fax)) << forced.err.toStdString();
    const QJsonArray after = read();
    const auto named = [&](const QString& name) {
        for (const auto& entry : after) {
            if (entry.toObject()["name"] == name)
                return entry.toObject();
        }
        return QJsonObject{};
    };
    EXPECT_EQ(named("Zed Fax")["number"], "+15550001");
    EXPECT_EQ(named("Yan")["emails"].toArray(), QJsonArray{"yan@example.org"});

    const CliRun again = Pcsc(pin + QStringList{"phonebook", "add", file});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains("+15550002")) << again.err.toStdString();

    // write checks a JSON file's fields the same way, before its names and numbers.
    const QString json = Write("group.json", R"([{"slot": 1, "name": "Al", "number": "0123",
                                                  "groups": ["Nope"]}])");
    const CliRun refused = Pcsc(pin + QStringList{"phonebook", "write", json});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("slot 1, group: \"Nope\" is left out (the card offers no"))
        << refused.err.toStdString();
    EXPECT_EQ(read()[0].toObject()["name"], "Alice Martin");
}

}  // namespace
}  // namespace pellucard::testing
