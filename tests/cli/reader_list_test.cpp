// The reader chooser's list through the real PC/SC stack: the test's own pcscd with vpcd as its
// one reader, empty and then holding the CLI's virtual card.
#include <gtest/gtest.h>

#include <QProcess>

#include <algorithm>

#include "engine/report_device.h"
#include "pcscd_rig.h"
#include "platform/reader_list.h"

namespace pellucard::testing {
namespace {

// A USB bus with nothing on it, so that the machine's own devices do not matter.
class EmptyBus final : public ReportBus {
public:
    std::vector<HidDeviceInfo> Enumerate() override { return {}; }
    std::unique_ptr<ReportDevice> Open(const std::string&) override { return nullptr; }
};

const AvailableReader* Find(const std::vector<AvailableReader>& readers, ReaderChoice::Kind kind) {
    const auto found = std::find_if(readers.begin(), readers.end(), [kind](const auto& reader) {
        return reader.choice.kind == kind;
    });
    return found == readers.end() ? nullptr : &*found;
}

TEST(ReaderListTest, ListsEveryKindAndEachPcscReaderWithItsCard) {
    PcscdRig rig;
    QString why;
    if (!rig.Start(why))
        GTEST_SKIP() << "pcscd with the vpcd driver cannot run here: " << why.toStdString();
    EmptyBus bus;

    std::vector<AvailableReader> readers = ListAvailableReaders(bus);
    // vpcd gives its slots as readers of their own; each is named and none holds a card yet.
    const auto pcscCount = std::count_if(readers.begin(), readers.end(), [](const auto& reader) {
        return reader.choice.kind == ReaderChoice::Kind::Pcsc;
    });
    ASSERT_GE(pcscCount, 1);
    ASSERT_EQ(readers.size(), 3u + static_cast<std::size_t>(pcscCount));
    EXPECT_EQ(readers.front().choice.kind, ReaderChoice::Kind::Auto);
    EXPECT_EQ(readers.back().choice.kind, ReaderChoice::Kind::Virtual);
    const AvailableReader* usb = Find(readers, ReaderChoice::Kind::Hid);
    ASSERT_NE(usb, nullptr);
    EXPECT_FALSE(usb->present);
    const AvailableReader* pcsc = Find(readers, ReaderChoice::Kind::Pcsc);
    ASSERT_NE(pcsc, nullptr);
    EXPECT_NE(pcsc->name.find("Pellucard Test PCD"), std::string::npos) << pcsc->name;
    EXPECT_EQ(pcsc->choice.argument, pcsc->name);
    EXPECT_FALSE(pcsc->holdsCard);

    // Which remembered choices are still there.
    EXPECT_TRUE(ReaderChoiceAvailable(pcsc->choice, readers));
    EXPECT_TRUE(ReaderChoiceAvailable({ReaderChoice::Kind::Pcsc, "test pcd"}, readers));
    EXPECT_FALSE(ReaderChoiceAvailable({ReaderChoice::Kind::Pcsc, "Gone Reader"}, readers));
    EXPECT_FALSE(ReaderChoiceAvailable({ReaderChoice::Kind::Hid, {}}, readers));
    EXPECT_TRUE(ReaderChoiceAvailable({ReaderChoice::Kind::Virtual, {}}, readers));
    EXPECT_FALSE(
        ReaderChoiceAvailable({ReaderChoice::Kind::Virtual, "/no/such/card.json"}, readers));

    QProcess simulator;
    ASSERT_TRUE(rig.StartCard(simulator, PELLUCARD_CLI,
                              {QStringLiteral("--image"), QStringLiteral(PELLUCARD_DEMO_CARD)},
                              why))
        << why.toStdString();
    readers = ListAvailableReaders(bus);
    EXPECT_TRUE(std::any_of(readers.begin(), readers.end(),
                            [](const auto& reader) { return reader.holdsCard; }));
    EndProcess(simulator);
    rig.Stop();

    // A service that is gone lists no PC/SC reader, and the rest as before.
    readers = ListAvailableReaders(bus);
    EXPECT_EQ(Find(readers, ReaderChoice::Kind::Pcsc), nullptr);
    EXPECT_EQ(readers.size(), 3u);
}

TEST(ReaderListTest, ChoiceTextReadsBack) {
    for (const char* text : {"auto", "hid", "pcsc", "pcsc:Some Reader 00 00", "virtual",
                             "virtual:/tmp/a card.json", "socket:/run/x"}) {
        ReaderChoice choice;
        std::string error;
        ASSERT_TRUE(ParseReaderChoice(text, choice, error)) << text;
        EXPECT_EQ(ReaderChoiceText(choice), text);
    }
}

}  // namespace
}  // namespace pellucard::testing
