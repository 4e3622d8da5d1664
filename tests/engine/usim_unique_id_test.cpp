// A new entry of a USIM phone book whose block lists EF UID gets the identifier after EF PUID's,
// and EF PUID then holds it; an edited or emptied entry keeps its own, and none left is refused
// before anything is written.
#include <gtest/gtest.h>

#include "engine/card_runs.h"
#include "engine/phonebook_entry.h"
#include "engine/usim_phonebook.h"
#include "support/image_contents.h"
#include "support/usim_images.h"
#include "support/usim_rig.h"

namespace pellucard::testing {
namespace {

const std::string kBook = "3F00/7F10/5F3A/";

// The demo card whose phone book block lists EF UID 4F21, EF PUID at `previous`.
CardImage WithUniqueIds(const Bytes& previous) {
    return WithUniqueIdFile(DemoImage(), previous);
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

TEST(UsimUniqueIdTest, ANewEntryTakesTheNextIdentifierAndEditsKeepTheirs) {
    Rig rig(WithUniqueIds({0x00, 0x03}));
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

// A card that never set EF PUID holds FF FF there: that names no identifier, and the next one
// follows the highest an entry has.
TEST(UsimUniqueIdTest, AnUnsetPreviousIdentifierFollowsTheEntries) {
    Rig rig(WithUniqueIds({0xFF, 0xFF}));
    UsimContact added = rig.book->Contacts()[2];
    added.name = "Dana";
    ASSERT_TRUE(rig.book->Write(added).IsDone());
    EXPECT_EQ(rig.Uid(3), (Bytes{0x00, 0x04}));
    EXPECT_EQ(rig.Body("4F24"), (Bytes{0x00, 0x04}));
}

// The plain record run of the phone book writes slot `slot` of EF ADN, as the windows' and the
// command line's writes of names and numbers do; the USIM phone book is then read again.
void WriteAdnAndReadAgain(Rig& rig, int slot, const std::string& name, const std::string& number) {
    const CardRunResult run =
        WriteCardRecords(*rig.engine, CardRecordFile::PhoneBook,
                         [&](int n, int length) -> std::optional<Bytes> {
                             if (n != slot)
                                 return std::nullopt;
                             return EncodePhoneBookRecord(number, name, length, AlphaForm::Ucs2);
                         },
                         {});
    ASSERT_TRUE(run.Complete());
    ASSERT_TRUE(rig.book->Open().IsDone());
    ASSERT_TRUE(rig.book->Read().Complete());
}

TEST(UsimAdnBookkeepingTest, ANameEditedThroughTheAdnRunIsMarkedAndCountedOnce) {
    Rig rig(WithUniqueIds({0x00, 0x03}));
    const UsimContact alice = rig.book->Contacts()[0];
    const UsimContact jose = rig.book->Contacts()[1];
    // Nothing changed: nothing is written.
    const CardImage untouched = rig.card->ToImage();
    const CardResult<bool> same = rig.book->WriteAfterAdn(alice, alice);
    EXPECT_TRUE(same.IsDone());
    EXPECT_FALSE(same.value);
    EXPECT_EQ(rig.card->ToImage(), untouched);

    WriteAdnAndReadAgain(rig, 1, "Alice M", alice.number);
    const CardImage written = rig.card->ToImage();
    const CardResult<bool> marked = rig.book->WriteAfterAdn(rig.book->Contacts()[0], alice);
    ASSERT_TRUE(marked.IsDone());
    EXPECT_TRUE(marked.value);
    // EF PBC's entry marked, EF CC one more; not one other byte, the identifier kept.
    EXPECT_EQ(Changed(written, rig.card->ToImage()),
              (std::set<std::string>{kBook + "4F09#1", kBook + "4F23#0"}));
    EXPECT_EQ(rig.card->ToImage().FindFile(kBook + "4F09")->records[0].data, (Bytes{0x01, 0x00}));
    EXPECT_EQ(rig.Body("4F23"), (Bytes{0x00, 0x06}));

    // A name through the run and a second name through the write are one change.
    WriteAdnAndReadAgain(rig, 2, "Jose", jose.number);
    UsimContact edited = rig.book->Contacts()[1];
    edited.secondName = "Pepe";
    ASSERT_TRUE(rig.book->WriteAfterAdn(edited, jose).IsDone());
    EXPECT_EQ(rig.Body("4F23"), (Bytes{0x00, 0x07}));
    EXPECT_EQ(rig.Uid(2), (Bytes{0x00, 0x02}));
    EXPECT_EQ(rig.book->Contacts()[1].secondName, "Pepe");
}

TEST(UsimAdnBookkeepingTest, AnEntryCreatedThroughTheAdnRunGetsTheNextIdentifier) {
    CardImage image = WithUniqueIds({0x00, 0x03});
    // Alice's entry was written by a program that keeps no identifiers.
    image.FindFile(kBook + "4F21")->records[0].data = {0xFF, 0xFF};
    Rig rig(image);
    const UsimContact empty = rig.book->Contacts()[2];
    const UsimContact alice = rig.book->Contacts()[0];
    WriteAdnAndReadAgain(rig, 3, "Dana", "+3312345");
    const CardResult<bool> created = rig.book->WriteAfterAdn(rig.book->Contacts()[2], empty);
    ASSERT_TRUE(created.IsDone());
    EXPECT_TRUE(created.value);
    EXPECT_EQ(rig.Uid(3), (Bytes{0x00, 0x04}));
    EXPECT_EQ(rig.Body("4F24"), (Bytes{0x00, 0x04}));
    EXPECT_EQ(rig.Body("4F23"), (Bytes{0x00, 0x06}));

    WriteAdnAndReadAgain(rig, 1, alice.name, "+441632960999");
    ASSERT_TRUE(rig.book->WriteAfterAdn(rig.book->Contacts()[0], alice).IsDone());
    EXPECT_EQ(rig.Uid(1), (Bytes{0x00, 0x05}));
    EXPECT_EQ(rig.Body("4F24"), (Bytes{0x00, 0x05}));

    // None left: the entry the run created is refused its identifier, and nothing more is
    // written for it.
    Rig full(WithUniqueIds({0xFF, 0xFE}));
    WriteAdnAndReadAgain(full, 3, "Dana", "+3312345");
    const CardImage written = full.card->ToImage();
    EXPECT_EQ(full.book->WriteAfterAdn(full.book->Contacts()[2], empty).outcome,
              CardOutcome::Refused(0x6A84));
    EXPECT_EQ(full.card->ToImage(), written);
}

// A deleted entry leaves nothing behind in the files beside EF ADN, is marked and counted, and
// keeps its identifier: EF PUID never gives it again, and a new entry in its record gets a new
// one.
TEST(UsimAdnBookkeepingTest, AnEntryDeletedThroughTheAdnRunFreesItsRecordsAndIsCounted) {
    Rig rig(WithUniqueIds({0x00, 0x03}));
    const UsimContact jose = rig.book->Contacts()[1];
    ASSERT_FALSE(jose.emails.empty());
    WriteAdnAndReadAgain(rig, 2, "", "");
    UsimContact deleted;
    deleted.index = 2;
    const CardResult<bool> outcome = rig.book->WriteAfterAdn(deleted, jose);
    ASSERT_TRUE(outcome.IsDone());
    EXPECT_TRUE(outcome.value);
    EXPECT_TRUE(rig.book->Contacts()[1].IsEmpty());
    const CardImage image = rig.card->ToImage();
    EXPECT_EQ(image.FindFile(kBook + "4F50")->records[1].data, Bytes(32, 0xFF));
    EXPECT_EQ(image.FindFile(kBook + "4F25")->records[1].data, (Bytes{0xFF, 0xFF}));
    EXPECT_EQ(image.FindFile(kBook + "4F09")->records[1].data, (Bytes{0x01, 0x00}));
    EXPECT_EQ(rig.Body("4F23"), (Bytes{0x00, 0x06}));
    EXPECT_EQ(rig.Uid(2), (Bytes{0x00, 0x02}));

    WriteAdnAndReadAgain(rig, 2, "Eve", "123");
    ASSERT_TRUE(rig.book->WriteAfterAdn(rig.book->Contacts()[1], deleted).IsDone());
    EXPECT_EQ(rig.Uid(2), (Bytes{0x00, 0x04}));
}

}  // namespace
}  // namespace pellucard::testing
