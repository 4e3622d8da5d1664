#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

#include "engine/bytes.h"
#include "engine/card_channel.h"
#include "engine/card_info_item.h"
#include "engine/card_outcome.h"
#include "engine/card_record_file.h"
#include "engine/phonebook_entry.h"
#include "engine/sim_file_info.h"
#include "engine/sms_record.h"

namespace pellucard {

// An item of the card information: its text when the card gave it, and what became of the last
// exchange behind it (a failed link when the reader did not give it; done when the card has
// nothing to give, as a closed card's IMSI).
using CardInfoAnswer = CardResult<std::optional<std::string>>;

// The card engine: one object per program. It owns the reader channel, passes SIM commands
// through it, decodes the card's files and converts between the card's encodings and text.
// Every card operation answers with its outcome (CardOutcome, or CardResult with the value it
// read): done, refused with the card's status word, or lost on the link. Failures are results,
// never exceptions; the engine never shows a message.
class Pellucard {
public:
    explicit Pellucard(std::unique_ptr<CardChannel> channel);
    ~Pellucard();
    Pellucard(const Pellucard&) = delete;
    Pellucard& operator=(const Pellucard&) = delete;

    // --- Reader link ---
    // Finds and opens the reader; false when there is none.
    [[nodiscard]] bool OpenReader();
    // Closes the reader and forgets the card.
    void CloseReader();
    // True when the last exchange with the card succeeded: the windows read it as "a card
    // answered in the reader".
    bool CardPresent() const { return lastResult_; }
    // The reader is open: it was found, and no exchange since found it gone.
    bool ReaderPresent() const { return connected_; }
    CardChannel& Channel() { return *channel_; }
    // Reads and selections asked again after their answer was lost on the link.
    long RepeatedExchanges() const { return repeatedExchanges_; }

    // --- SIM command layer ---
    // Sends one SIM command; one that only reads or selects is asked once more when its answer
    // was lost. The value is the card's answer block: the response data, or the two status
    // words when the command has none.
    CardResult<Bytes> SendSimCommand(const CommandHeader& header, std::uint8_t fileHigh,
                                     std::uint8_t fileLow, const Bytes& data = {});
    // SELECT by file identifier (3F00, 7Fxx, 6Fxx, 2Fxx); the value is the SELECT response.
    CardResult<Bytes> SelectFile(std::uint16_t fileId);
    // Reads the card status (the CHV counters among it) from the master file's SELECT response.
    CardOutcome ReadMasterStatus();
    // True when the CHV counters are known: cached from the card's status, or read now from the
    // master file when there are none or they went stale.
    [[nodiscard]] bool ReadChvCounters();
    const SimFileInfo& CardStatus() const { return cardStatus_; }
    // Forgets what the engine learnt of the card: record counts and lengths, the card status,
    // whether the card answered.
    void ForgetCardState();

    // --- Card identity and information ---
    // Resets the card; done when it answered with an answer to reset.
    CardOutcome ResetCard();
    const Bytes& AnswerToReset() const { return answerToReset_; }
    // One item of the card information: from the reader's own requests where it has them, else
    // with SIM commands; the card's own data (IMSI, service centre) only while PIN1 lets it.
    CardInfoAnswer ReadCardInfo(CardInfoItem item);
    // The card's data may be read: the CHV counters are known, PIN1 is not blocked and its check
    // is off (or was passed since the status was read).
    [[nodiscard]] bool CardReadable();

    // --- PIN operations: CHV `chv` (1 or 2), then the codes in the order the card takes them ---
    // Each command is sent once: a CHV command costs the user an attempt, so nothing here
    // repeats it. The counters are read again afterwards, whatever the outcome; CountersKnown()
    // says whether they could be.
    CardOutcome VerifyPin(int chv, const std::string& pin);
    CardOutcome ChangePin(int chv, const std::string& oldPin, const std::string& newPin);
    CardOutcome UnblockPin(int chv, const std::string& unblockCode, const std::string& newPin);
    // Switches PIN1's check on or off (GSM 11.11 has it for CHV1 only).
    CardOutcome EnablePin1(const std::string& pin);
    CardOutcome DisablePin1(const std::string& pin);
    bool CountersKnown() const { return countersKnown_; }

    // --- Records of the phone book (EF ADN) and the short messages (EF SMS) ---
    // Entering a file (DF Telecom, then the EF) learns its record count and length, which the
    // reads and writes of its records need. Records are numbered from 1; the value of a read
    // is exactly one record. A write fits the bytes to the record length with 0xFF filler.
    CardOutcome EnterPhoneBook();
    CardResult<Bytes> ReadPhoneBookRecord(int recordNumber);
    CardOutcome WritePhoneBookRecord(int recordNumber, const Bytes& record);
    int PhoneBookRecordCount() const { return phoneBookRecordCount_; }
    int PhoneBookRecordLength() const { return phoneBookRecordLength_; }

    CardOutcome EnterSmsFile();
    CardResult<Bytes> ReadSmsRecord(int recordNumber);
    CardOutcome WriteSmsRecord(int recordNumber, const Bytes& record);
    int SmsRecordCount() const { return smsRecordCount_; }
    int SmsRecordLength() const { return smsRecordLength_; }

    // --- Any record file of DF Telecom, the two above among them ---
    // The same as the phone book's operations, for the file named. A cyclic file (EF LND on
    // many cards) is read by absolute record numbers, record 1 the latest; its records cannot
    // be updated in place (the card refuses an absolute update), only a new latest record
    // pushed in, which drops the oldest.
    CardOutcome EnterRecordFile(CardRecordFile file);
    CardResult<Bytes> ReadFileRecord(CardRecordFile file, int recordNumber);
    CardOutcome WriteFileRecord(CardRecordFile file, int recordNumber, const Bytes& record);
    CardOutcome PushCyclicRecord(CardRecordFile file, const Bytes& record);
    int RecordCount(CardRecordFile file) const;
    int RecordLength(CardRecordFile file) const;
    bool IsCyclic(CardRecordFile file) const;

    // --- Encoding for this card (no card traffic) ---
    // A phone book record of the entered file's length, the name in the chosen form; empty when
    // the record length is not known or too short for a number.
    Bytes EncodePhoneBookEntry(const std::string& number, const std::string& name) const;
    // A short message record of the entered file's length (176 bytes before the file is entered).
    Bytes EncodeSms(const std::string& address, const std::string& text, int status,
                    const SmsTimeStamp& timeStamp, const std::string& serviceCentre,
                    int validity) const;
    void SetNameForm(NameForm form) { nameForm_ = form; }
    NameForm NameFormInUse() const { return nameForm_; }

private:
    bool Track(LinkResult result);
    // A request the reader answers from the card; asked once more when the answer was lost.
    LinkResult AskReader(ReaderRequest request, Bytes& block);
    // A reply too short to hold what it must (a length, a count, an identity) was cut on the
    // way: a failed exchange, never a 0 or an empty value.
    CardOutcome ShortReply();
    // Selects each file of `path` in turn and answers with the last SELECT: the files before
    // it only lead there, and a SELECT of a file that cannot be reached from where the card
    // stands is refused without harm. A reader that went away ends the way.
    CardResult<Bytes> SelectPath(std::initializer_list<std::uint16_t> path);

    // CHV counters within their bounds (3 tries, 10 for an unblocking code), not all at zero.
    static bool Plausible(const SimFileInfo& status);
    // Done when the CHV counters are cached or were read now (they may still not be plausible).
    CardOutcome LearnChvCounters();
    bool Pin1LetsRead() const;
    CardOutcome RunChvCommand(const CommandHeader& header, const Bytes& data);

    CardResult<SimFileInfo> ReadFileStatusBlock(ReaderRequest request);
    CardResult<Bytes> ReadTransparent(const SimFileInfo& info);
    // On a card that PIN1 leaves open, selects EF `file` under DF `directory` and decodes its
    // SELECT response, which must hold at least `shortest` bytes; nothing while PIN1 closes it.
    CardResult<std::optional<SimFileInfo>> SelectInfoFile(std::uint16_t directory,
                                                          std::uint16_t file, std::size_t shortest);
    CardInfoAnswer ReadIccid();
    CardInfoAnswer ReadImsi();
    CardInfoAnswer ReadServiceProviderName();
    CardInfoAnswer ReadRecordCount(ReaderRequest request);
    CardInfoAnswer ReadRecordLength(ReaderRequest request);
    CardInfoAnswer ReadPhase();
    CardInfoAnswer ReadServiceCentre();
    CardInfoAnswer ReadChvState(CardInfoItem item);

    // Selects DF Telecom and EF `fileId` in it; the value is the EF's file information.
    CardResult<SimFileInfo> EnterFile(std::uint16_t fileId);
    CardResult<Bytes> ReadRecordOf(int recordNumber, int recordLength);
    CardOutcome UpdateRecordOf(int recordNumber, int recordLength, const Bytes& record);

    std::unique_ptr<CardChannel> channel_;
    bool connected_ = false;
    bool lastResult_ = false;
    SimFileInfo cardStatus_;
    // The counters in cardStatus_ are the card's from before a CHV command: read them again.
    bool chvCountersStale_ = false;
    bool countersKnown_ = false;
    long repeatedExchanges_ = 0;

    // Learnt when a file is entered, or from the card information.
    std::int16_t phoneBookRecordCount_ = 0;
    std::int16_t smsRecordCount_ = 0;
    std::int16_t phoneBookRecordLength_ = 0;
    std::int16_t smsRecordLength_ = 0;
    // The other record files, indexed by CardRecordFile (the phone book's and the short
    // messages' entries stay unused: their members above are theirs).
    struct RecordFileLayout {
        int count = 0;
        int length = 0;
        bool cyclic = false;
    };
    std::array<RecordFileLayout, kCardRecordFileCount> recordFiles_{};
    Bytes answerToReset_;
    NameForm nameForm_ = NameForm::Ucs2;
};

}  // namespace pellucard
