// A new entry of a USIM phone book whose block lists EF UID gets the identifier after EF PUID's,
// and EF PUID then holds it; an edited or emptied entry keeps its own, and none left is refused
// before anything is written.
#include <gtest/gtest.h>

#include <utility>

#include "engine/card_runs.h"
#include "engine/usim_phonebook.h"
#include "support/image_contents.h"
#include "support/usim_rig.h"

namespace pellucard::testing {
namespace {

const std::string kBook = "3F00/7F10/5F3A/";

// The demo card whose phone book block lists EF UID 4F21: its three entries numbered 1 to 3,
// EF PUID at `previous`.
CardImage WithUniqueIds(const Bytes& previous) {
    CardImage image = DemoImage();
    Bytes& pbr = image.FindFile(kBook + "4F30")->records[0].data;
    // Type 1 grows by C9 02 4F 21; the filler after the record gives the room.
    const Bytes uid{0xC9, 0x02, 0x4F, 0x21};
    pbr.insert(pbr.begin() + 2 + pbr[1], uid.begin(), uid.end());
    pbr[1] = std::uint8_t(pbr[1] + uid.size());
    pbr.resize(pbr.size() - uid.size());
    CardFile file = *image.FindFile(kBook + "4F26");
    file.path = kBook + "4F21";
    file.recordLength = 2;
    file.emptyRecord = Bytes{0x00, 0x00};
    for (auto& record : file.records)
        record = {Bytes{0x00, 0x00}, {}};
    file.records[0].data = {0x00, 0x01};
    file.records[1].data = {0x00, 0x02};
    file.records[3].data = {0x00, 0x03};
    image.files.push_back(file);
    image.FindFile(kBook + "4F24")->body = previous;
    return image;
}

// The rig with the global phone book read.
struct Rig : UsimRig {
    std::unique_ptr<UsimPhoneBook> book;

    explicit Rig(const CardImage& image) : UsimRig(image) {
        book = std::make_unique<UsimPhoneBook>(*engine, PhoneBookPlace::Global);
        EXPECT_TRUE(book->Open().IsDone());
        EXPECT_TRUE(book->Read().Complete());
    }
    Bytes Uid(int record) const {
        return card->ToImage().FindFile(kBook + "4F21")->records[std::size_t(record - 1)].data;
    }
    Bytes Body(const char* id) const { return card->ToImage().FindFile(kBook + id)->body; }
};

// A card that never set EF PUID holds FF FF there: that names no identifier, and the next one
// follows the highest an entry has.
TEST(UsimUniqueIdTest, ANewEntryTakesTheNextIdentifierAndEditsKeepTheirs) {
    for (const Bytes& previous : {Bytes{0x00, 0x03}, Bytes{0xFF, 0xFF}}) {
        Rig rig(WithUniqueIds(previous));
        UsimContact added = rig.book->Contacts()[2];
        ASSERT_TRUE(added.IsEmpty());
        added.name = "Dana";
        added.number = "+3312345";
        added.emails = {"dana@example.fr"};
        ASSERT_TRUE(rig.book->Write(added).IsDone());
        EXPECT_EQ(rig.Uid(3), (Bytes{0x00, 0x04}));
        EXPECT_EQ(rig.Body("4F24"), (Bytes{0x00, 0x04}));

        // An edited and an emptied entry keep their identifiers.
        UsimContact alice = rig.book->Contacts()[0];
        alice.secondName = "Al";
        ASSERT_TRUE(rig.book->Write(alice).IsDone());
        UsimContact jose;
        jose.index = 2;
        ASSERT_TRUE(rig.book->Write(jose).IsDone());
        EXPECT_EQ(rig.Uid(1), (Bytes{0x00, 0x01}));
        EXPECT_EQ(rig.Uid(2), (Bytes{0x00, 0x02}));
        EXPECT_EQ(rig.Body("4F24"), (Bytes{0x00, 0x04}));
    }
}

TEST(UsimUniqueIdTest, NoIdentifierLeftRefusesANewEntryBeforeAnythingIsWritten) {
    Rig rig(WithUniqueIds({0xFF, 0xFE}));
    const CardImage before = rig.card->ToImage();
    UsimContact added = rig.book->Contacts()[2];
    added.name = "Dana";
    EXPECT_EQ(rig.book->Write(added), CardOutcome::Refused(0x6A84));
    EXPECT_EQ(rig.card->ToImage(), before);
    // An entry that exists already needs no new identifier: it is still edited.
    UsimContact alice = rig.book->Contacts()[0];
    alice.name = "Alice M";
    EXPECT_TRUE(rig.book->Write(alice).IsDone());
}

// Names and numbers written by the plain record run of EF ADN, the book then read again: each
// entry's change is marked in EF PBC and counted in EF CC once, with what the write adds.
TEST(UsimUniqueIdTest, EntriesWrittenByTheAdnRunAreMarkedCountedAndNumbered) {
    CardImage image = WithUniqueIds({0x00, 0x03});
    image.FindFile(kBook + "4F21")->records[1].data = {0xFF, 0xFF};  // José has no identifier
    Rig rig(image);
    const std::vector<UsimContact> before = rig.book->Contacts();
    const CardImage read = rig.card->ToImage();
    const std::map<int, std::string> names = {{1, "Alice M"}, {2, "Jose"}, {3, "Dana"}};
    const auto record = [&](int n, int length) -> std::optional<Bytes> {
        if (!names.count(n))
            return std::nullopt;
        return EncodePhoneBookRecord("0123", names.at(n), length, AlphaForm::Ucs2);
    };
    ASSERT_TRUE(WriteCardRecords(*rig.engine, CardRecordFile::PhoneBook, record, {}).Complete());
    ASSERT_TRUE(rig.book->Open().IsDone() && rig.book->Read().Complete());
    EXPECT_FALSE(rig.book->WriteAfterAdn(before[4], before[4]).value) << "nothing changed";
    UsimContact alice = rig.book->Contacts()[0];
    alice.secondName = "Al";
    for (const UsimContact& now : {alice, rig.book->Contacts()[1], rig.book->Contacts()[2]}) {
        const CardResult<bool> kept = rig.book->WriteAfterAdn(now, before[now.index - 1]);
        EXPECT_TRUE(kept.IsDone() && kept.value) << now.name;
    }
    const std::string adn = "3F00/7F10/6F3A#";
    EXPECT_EQ(
        Changed(read, rig.card->ToImage()),
        (std::set<std::string>{adn + "1", adn + "2", adn + "3", kBook + "4F19#1", kBook + "4F09#1",
                               kBook + "4F09#2", kBook + "4F09#3", kBook + "4F21#2",
                               kBook + "4F21#3", kBook + "4F24#0", kBook + "4F23#0"}));
    EXPECT_EQ(rig.Body("4F23"), (Bytes{0x00, 0x08}));
    EXPECT_EQ(rig.Uid(2), (Bytes{0x00, 0x04}));
    EXPECT_EQ(rig.Uid(3), (Bytes{0x00, 0x05}));
    EXPECT_EQ(rig.Body("4F24"), (Bytes{0x00, 0x05}));
}

// The demo card whose EF EMAIL has one free record left: every other unused record holds bytes
// no entry points at (wasted, never shared).
CardImage WithOneFreeEmailRecord() {
    CardImage image = DemoImage();
    bool kept = false;
    for (auto& record : image.FindFile(kBook + "4F50")->records) {
        if (record.data == Bytes(record.data.size(), 0xFF) && !std::exchange(kept, true))
            continue;
        if (record.data == Bytes(record.data.size(), 0xFF))
            record.data = Bytes(record.data.size(), 0x00);
    }
    return image;
}

// Two contacts checked in one go cannot both take the last free record; a write that finds none
// is refused before its name reaches EF ADN.
TEST(UsimUniqueIdTest, ChecksCountTheFreeRecordsAndARefusedWriteWritesNothing) {
    Rig rig(WithOneFreeEmailRecord());
    UsimContact first = rig.book->Contacts()[5];
    first.name = "Dana";
    first.emails = {"dana@example.fr"};
    UsimContact second = rig.book->Contacts()[6];
    second.name = "Eve";
    second.emails = {"eve@example.fr"};
    UsimPhoneBook::Reservations reservations;
    EXPECT_TRUE(rig.book->Check(first, &reservations).IsDone());
    EXPECT_EQ(rig.book->Check(second, &reservations), CardOutcome::Refused(0x6A84));
    EXPECT_TRUE(rig.book->Check(second).IsDone()) << "alone it would fit";

    ASSERT_TRUE(rig.book->Write(first).IsDone());
    const CardImage before = rig.card->ToImage();
    const int updates = rig.Updates();
    EXPECT_EQ(rig.book->Write(second), CardOutcome::Refused(0x6A84));
    EXPECT_EQ(rig.Updates(), updates);
    EXPECT_EQ(rig.card->ToImage(), before);
    EXPECT_TRUE(rig.book->Contacts()[6].IsEmpty());
}

// The card refusing an UPDATE part way: the name written before it is still marked and counted.
TEST(UsimUniqueIdTest, ARefusalPartWayKeepsTheBookkeepingOfWhatWasWritten) {
    CardImage image = DemoImage();
    image.refusals = {{"4F50", CardRefusal::Command::Update, 0, 0x6982}};
    Rig rig(image);
    const CardImage read = rig.card->ToImage();
    UsimContact alice = rig.book->Contacts()[0];
    alice.name = "Alice M";
    alice.emails = {"am@example.org"};
    const CardResult<bool> written = rig.book->WriteAfterAdn(alice, rig.book->Contacts()[0]);
    EXPECT_EQ(written.outcome, CardOutcome::Refused(0x6982));
    EXPECT_TRUE(written.value);
    EXPECT_EQ(Changed(read, rig.card->ToImage()),
              (std::set<std::string>{"3F00/7F10/6F3A#1", kBook + "4F09#1", kBook + "4F23#0"}));
    EXPECT_EQ(rig.book->Contacts()[0].name, "Alice M");
    EXPECT_EQ(rig.book->Contacts()[0].emails, std::vector<std::string>{"alice@example.org"});
}

}  // namespace
}  // namespace pellucard::testing
