// The one reading of the card information that the windows and the command line tool share:
// what the card refused or did not give is unknown, never a 0 or a value of another card.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/card_info.h"
#include "support/demo_rig.h"

namespace pellucard {
namespace {

using testing::DemoImage;
using testing::ReaderRig;

bool Listed(const CardInfo& info, CardInfoItem item) {
    return std::find(info.Unread.begin(), info.Unread.end(), item) != info.Unread.end();
}

// The demo card with PIN1's check off, so that its own data may be read, and `refusals`.
struct OpenCardRig : ReaderRig {
    explicit OpenCardRig(std::vector<CardRefusal> refusals = {}) {
        CardImage image = DemoImage();
        image.chv1Enabled = false;
        image.refusals = std::move(refusals);
        QString error;
        std::shared_ptr<SimCard> card = VirtualSimCard::FromImage(image, error);
        EXPECT_TRUE(card) << error.toStdString();
        reader->InsertCard(card);
        started = card && engine->OpenReader() && engine->ResetCard().IsDone();
    }
    bool started = false;
};

TEST(CardInfoReadingTest, ARefusedReadIsUnknownAndNotTakenForAFailedLink) {
    OpenCardRig rig({{"6F42", CardRefusal::Command::Read, 0, 0x9804},
                     {"6F07", CardRefusal::Command::Read, 0, 0x9804}});
    ASSERT_TRUE(rig.started);
    CardInfo info;
    FindCardInf(*rig.engine, info);
    ASSERT_TRUE(info.Pin1Open);
    EXPECT_EQ(info.ServiceCentreNumber, "-") << "no number is made up for new messages";
    EXPECT_EQ(info.Imsi, "-");
    EXPECT_EQ(info.ServiceProviderName, "Télé Pellucard");
    EXPECT_TRUE(info.Unread.empty()) << "the card answered: nothing to read again";
    EXPECT_FALSE(info.HasUnread());
}

TEST(CardInfoReadingTest, WhatTheLinkLostIsReadAgainAndLeavesTheList) {
    OpenCardRig rig;
    ASSERT_TRUE(rig.started);
    rig.reader->Faults().silentAfterReports = 20;
    CardInfo info;
    FindCardInf(*rig.engine, info);
    ASSERT_TRUE(Listed(info, CardInfoItem::Puk2Attempts));
    EXPECT_FALSE(info.Puk2Attempts) << "not read is not 0, which reads as blocked";

    rig.reader->Faults() = {};
    ASSERT_TRUE(rig.engine->ResetCard().IsDone());
    EXPECT_TRUE(ReadUnreadCardInf(*rig.engine, info));
    EXPECT_TRUE(info.Unread.empty());
    EXPECT_EQ(info.Puk2Attempts, 10);
    EXPECT_EQ(info.Imsi, "001010123456789");
}

TEST(CardInfoReadingTest, ACardThatStaysClosedShowsNoDataOfTheCardBefore) {
    CardInfo info;
    {
        OpenCardRig open;
        ASSERT_TRUE(open.started);
        FindCardInf(*open.engine, info);
        ASSERT_EQ(info.Imsi, "001010123456789");
    }
    testing::DemoRig locked;  // PIN1 on and not given
    ASSERT_TRUE(locked.Start());
    FindCardInf(*locked.engine, info);
    EXPECT_FALSE(info.Pin1Open);
    EXPECT_EQ(info.Imsi, "-");
    EXPECT_EQ(info.ServiceProviderName, "-");
    EXPECT_EQ(info.ServiceCentreNumber, "-");
    EXPECT_TRUE(info.Unread.empty()) << "PIN1 on: the IMSI is closed, not unread";
}

}  // namespace
}  // namespace pellucard
