// The USIM phone book on the virtual USIM, through the PC/SC channel: contacts read with their
// linked records and written back changing only what was edited.
#include <gtest/gtest.h>

#include <set>

#include "engine/fcp_template.h"
#include "engine/usim_phonebook.h"
#include "support/image_contents.h"
#include "support/usim_rig.h"

namespace pellucard::testing {
namespace {

bool OpenedAndRead(UsimPhoneBook& book) {
    return book.Open().IsDone() && book.Read().Complete();
}

TEST(UsimPhoneBookTest, ReadsContactsWithTheirNumbersEmailsSecondNamesAndGroups) {
    UsimRig rig;
    UsimPhoneBook book(*rig.engine, PhoneBookPlace::Global);
    ASSERT_TRUE(OpenedAndRead(book));
    ASSERT_EQ(book.Contacts().size(), 250u);
    const UsimContact& alice = book.Contacts()[0];
    EXPECT_EQ(alice.name, "Alice Martin");
    EXPECT_EQ(alice.number, "+441632960123");
    ASSERT_EQ(alice.numbers.size(), 2u) << "a type 1 and a type 2 ANR file";
    EXPECT_EQ(alice.numbers[0], (ContactNumber{"+441632960456", "Home"}));
    EXPECT_TRUE(alice.numbers[1].number.empty());
    EXPECT_EQ(alice.emails, std::vector<std::string>{"alice@example.org"});
    EXPECT_EQ(alice.secondName, "Ali");
    EXPECT_EQ(alice.groups, std::vector<std::string>{"Family"});
    const UsimContact& jose = book.Contacts()[1];
    EXPECT_EQ(jose.numbers[1], (ContactNumber{"+4915112345678", "Mobile"})) << "through EF IAP";
    EXPECT_EQ(book.Contacts()[3].groups, (std::vector<std::string>{"Friends", "Work"}));
    EXPECT_TRUE(book.Contacts()[2].IsEmpty());
    EXPECT_EQ(book.GroupNames(1), (std::vector<std::string>{"Family", "Work", "Friends", "", ""}));
    EXPECT_EQ(book.ChangeCounter(), 5);
}

TEST(UsimPhoneBookTest, AnEditedContactChangesOnlyItsOwnRecords) {
    UsimRig rig;
    const CardImage before = rig.card->ToImage();
    UsimPhoneBook book(*rig.engine, PhoneBookPlace::Global);
    ASSERT_TRUE(OpenedAndRead(book));

    // Written back unchanged: nothing is sent, nothing counted.
    const int updates = rig.Updates();
    ASSERT_TRUE(book.Write(book.Contacts()[1]).IsDone());
    EXPECT_EQ(rig.Updates(), updates);
    EXPECT_TRUE(Changed(before, rig.card->ToImage()).empty());

    // Two numbers, an e-mail and a group: a new second number (a free type 2 record), a new
    // e-mail address in the record it has, another group.
    UsimContact alice = book.Contacts()[0];
    alice.numbers[1] = {"+441632960789", "Work"};
    alice.emails[0] = "alice.martin@example.org";
    alice.groups = {"Friends"};
    ASSERT_TRUE(book.Write(alice).IsDone());
    // Another contact gets an e-mail (a free EMAIL record, its IAP record pointing there) and
    // a third loses its own (the pointer cleared, the record freed).
    UsimContact fyodor = book.Contacts()[4];
    fyodor.emails[0] = "fyodor@example.ru";
    ASSERT_TRUE(book.Write(fyodor).IsDone());
    UsimContact xiaoming = book.Contacts()[3];
    xiaoming.emails[0].clear();
    ASSERT_TRUE(book.Write(xiaoming).IsDone());

    const std::string pb = "3F00/7F10/5F3A/";
    const std::set<std::string> expected = {
        pb + "4F12#2",                 // Alice's second number
        pb + "4F25#1",                 // her IAP record points at it
        pb + "4F50#1",                 // her e-mail
        pb + "4F26#1",                 // her group
        pb + "4F50#4", pb + "4F25#5",  // Fyodor's e-mail and his IAP record
        pb + "4F50#3", pb + "4F25#4",  // Xiaoming's e-mail freed, his pointer cleared
        pb + "4F09#1", pb + "4F09#5", pb + "4F09#4",  // each entry marked changed
        pb + "4F23#0",                                // the change counter
    };
    const CardImage after = rig.card->ToImage();
    EXPECT_EQ(Changed(before, after), expected);
    EXPECT_EQ(after.FindFile(pb + "4F50")->records[2].data, Bytes(32, 0xFF));
    EXPECT_EQ(after.FindFile(pb + "4F25")->records[3].data, (Bytes{0xFF, 0xFF}));
    const Bytes& second = after.FindFile(pb + "4F12")->records[1].data;
    EXPECT_EQ(Bytes(second.end() - 2, second.end()), (Bytes{0x01, 0x01})) << "ADN SFI, record";

    // Read again from the card, the contacts are the edited ones.
    UsimPhoneBook again(*rig.engine, PhoneBookPlace::Global);
    ASSERT_TRUE(OpenedAndRead(again));
    EXPECT_EQ(again.Contacts()[0], alice);
    EXPECT_EQ(again.Contacts()[4], fyodor);
    EXPECT_EQ(again.Contacts()[3].emails, std::vector<std::string>{""});
    EXPECT_EQ(again.ChangeCounter(), 8);
}

TEST(UsimPhoneBookTest, WhatTheBlockCannotHoldIsRefusedBeforeAnythingIsWritten) {
    UsimRig rig;
    UsimPhoneBook book(*rig.engine, PhoneBookPlace::Global);
    ASSERT_TRUE(OpenedAndRead(book));
    const int updates = rig.Updates();
    UsimContact alice = book.Contacts()[0];
    alice.name = "Alicia";
    alice.groups = {"Neighbours"};
    EXPECT_EQ(book.Write(alice), CardOutcome::Refused(0x6A80));
    alice.groups = {"Family"};
    alice.emails.push_back("second@example.org");
    EXPECT_EQ(book.Write(alice), CardOutcome::Refused(0x6A80)) << "one EMAIL file, one address";
    alice.emails.pop_back();
    alice.emails[0] = "a.much.longer.address@example.org";  // 33 characters for 30
    EXPECT_EQ(book.Write(alice), CardOutcome::Refused(0x6A80));
    alice.emails[0] = "alice@example.org";
    alice.numbers[1].number = "+44 1632 960 789";  // blanks a number cannot hold
    EXPECT_EQ(book.Write(alice), CardOutcome::Refused(0x6A80));
    alice.numbers[1].number = "123456789012345678901";  // 21 digits for 20
    EXPECT_EQ(book.Write(alice), CardOutcome::Refused(0x6A80));
    EXPECT_EQ(rig.Updates(), updates);
    EXPECT_EQ(book.Contacts()[0].name, "Alice Martin");

    // Twenty EMAIL records, three used: the eighteenth new address finds none free.
    int refusedAt = 0;
    for (int index = 6; index <= 40 && refusedAt == 0; ++index) {
        UsimContact contact = book.Contacts()[static_cast<std::size_t>(index - 1)];
        contact.emails[0] = "n" + std::to_string(index) + "@example.org";
        const CardOutcome outcome = book.Write(contact);
        if (!outcome.IsDone()) {
            EXPECT_EQ(outcome, CardOutcome::Refused(0x6A84));
            refusedAt = index;
        }
    }
    EXPECT_EQ(refusedAt, 6 + 17);
}

TEST(UsimPhoneBookTest, AGsmCardHasNoneAndALostCardFailsTheWrite) {
    QString error;
    UsimRig gsm(DemoImage(), VirtualSimCard::FromImage(DemoImage(), error));
    UsimPhoneBook none(*gsm.engine, PhoneBookPlace::Global);
    const CardOutcome opened = none.Open();
    EXPECT_TRUE(opened.IsRefused()) << "no DF PHONEBOOK on the GSM card";

    UsimRig rig;
    UsimPhoneBook book(*rig.engine, PhoneBookPlace::Global);
    ASSERT_TRUE(OpenedAndRead(book));
    UsimContact alice = book.Contacts()[0];
    alice.secondName = "Ally";
    rig.terminal->removeAfter = 5;
    EXPECT_TRUE(book.Write(alice).IsLinkFailed());

    // A reading cut short leaves nothing to write from.
    UsimRig cut;
    UsimPhoneBook partial(*cut.engine, PhoneBookPlace::Global);
    ASSERT_TRUE(partial.Open().IsDone());
    cut.terminal->removeAfter = 40;
    EXPECT_FALSE(partial.Read().Complete());
    EXPECT_EQ(partial.Write(alice), CardOutcome::Refused(0x6985));
}

TEST(UsimPhoneBookTest, ANewNameOrNumberRewritesOnlyItsPartOfTheAdnRecord) {
    UsimRig rig;
    UsimPhoneBook book(*rig.engine, PhoneBookPlace::Global);
    ASSERT_TRUE(OpenedAndRead(book));
    const Bytes office = rig.card->ToImage().FindFile("3F00/7F10/6F3A")->records[9].data;
    // A new name: the number part with its capability and extension bytes stays as it was.
    UsimContact renamed = book.Contacts()[9];
    renamed.name = "Büro";
    ASSERT_TRUE(book.Write(renamed).IsDone());
    const Bytes after = rig.card->ToImage().FindFile("3F00/7F10/6F3A")->records[9].data;
    EXPECT_EQ(Bytes(after.end() - 14, after.end()), Bytes(office.end() - 14, office.end()));
    EXPECT_EQ(DecodePhoneBookRecord(after).name, "Büro");

    UsimContact renumbered = book.Contacts()[1];
    renumbered.number = "+4930555";
    ASSERT_TRUE(book.Write(renumbered).IsDone());
    const PhoneBookEntry jose =
        DecodePhoneBookRecord(rig.card->ToImage().FindFile("3F00/7F10/6F3A")->records[1].data);
    EXPECT_EQ(jose.name, "José Müller");
    EXPECT_EQ(jose.Number(), "+4930555");
    EXPECT_EQ(jose.extensionId, 0xFF);
    EXPECT_EQ(book.ChangeCounter(), 7);
}

TEST(UsimPhoneBookTest, UnusedRecordsAsAnotherPhoneLeftThemStayAsTheyAre) {
    // Some phones mark an unused ANR record with 00 in its first byte instead of FF.
    CardImage image = DemoImage();
    CardFile* anr = image.FindFile("3F00/7F10/5F3A/4F11");
    ASSERT_TRUE(anr);
    Bytes unused(15, 0xFF);
    unused[0] = 0x00;
    anr->records[2].data = unused;
    UsimRig rig(image);
    const CardImage before = rig.card->ToImage();
    UsimPhoneBook book(*rig.engine, PhoneBookPlace::Global);
    ASSERT_TRUE(OpenedAndRead(book));
    UsimContact added = book.Contacts()[2];
    added.name = "New";
    added.number = "+4930123";
    ASSERT_TRUE(book.Write(added).IsDone());
    EXPECT_EQ(Changed(before, rig.card->ToImage()),
              (std::set<std::string>{"3F00/7F10/6F3A#3", "3F00/7F10/5F3A/4F09#3",
                                     "3F00/7F10/5F3A/4F23#0"}));
}

TEST(UsimPhoneBookTest, TheApplicationsOwnPhoneBookBesideTheGlobalOne) {
    const CardImage image = WithApplicationPhoneBook();
    UsimRig rig(image);
    UsimPhoneBook book(*rig.engine, PhoneBookPlace::Application);
    ASSERT_TRUE(OpenedAndRead(book));
    EXPECT_EQ(book.Contacts()[0].name, "Alice Martin");
    EXPECT_EQ(book.Contacts()[0].emails, std::vector<std::string>{"alice@example.org"});
    UsimContact alice = book.Contacts()[0];
    alice.secondName = "Al";
    ASSERT_TRUE(book.Write(alice).IsDone());
    const CardImage saved = rig.card->ToImage();
    EXPECT_EQ(DecodeTextRecord(saved.FindFile("3F00/7F20/5F3A/4F19")->records[0].data, false).text,
              "Al");
    EXPECT_EQ(saved.FindFile("3F00/7F10/5F3A/4F19")->records[0].data,
              image.FindFile("3F00/7F10/5F3A/4F19")->records[0].data)
        << "the global phone book is another";
}

// A channel that, like the USB reader, hands back two bytes for a record of two bytes and for a
// refusal alike: every file is a linear fixed file of three 2-byte records.
class TwoByteRecordChannel final : public CardChannel {
public:
    std::vector<Bytes> records{{0x01, 0x00}, {0x98, 0x04}, {0x90, 0x00}};

    bool Open() override { return true; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    LinkResult ResetCard(Bytes& atr) override {
        atr = {0x3B, 0x00};
        return LinkResult::Ok;
    }
    LinkResult Request(ReaderRequest, Bytes&) override { return LinkResult::ReceiveFailed; }
    LinkResult SimCommand(const CommandHeader& header, std::uint8_t, std::uint8_t, const Bytes&,
                          Bytes& response) override {
        if (header[1] == 0xA4) {
            SimFileInfo info;
            info.fileType = kFileTypeElementary;
            info.structure = 1;
            info.recordLength = 2;
            info.sizeOrRecordCount = 3;
            response = GsmSelectResponse(info);
        } else {
            response = records.at(static_cast<std::size_t>(header[2] - 1));
        }
        return LinkResult::Ok;
    }
};

TEST(UsimPhoneBookTest, TwoByteRecordsThroughAChannelThatCannotTellThemFromStatusWords) {
    Pellucard engine(std::make_unique<TwoByteRecordChannel>());
    ASSERT_TRUE(engine.OpenReader());
    PhoneBookFolder folder(engine, PhoneBookPlace::Global);
    PhoneBookRecordFile pbc(folder, 0x4F09);
    ASSERT_EQ(pbc.Enter().value, 3);
    EXPECT_EQ(pbc.Read(1).value, (Bytes{0x01, 0x00}));
    EXPECT_EQ(pbc.Read(2).outcome, CardOutcome::Refused(0x9804)) << "what a refusal says";
    const CardResult<Bytes> third = pbc.Read(3);
    EXPECT_TRUE(third.IsDone()) << "90 00 is no answer to a read of two bytes: it is the record";
    EXPECT_EQ(third.value, (Bytes{0x90, 0x00}));
}

}  // namespace
}  // namespace pellucard::testing
