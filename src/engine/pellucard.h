#pragma once

#include <cstdint>
#include <memory>

#include "engine/bytes.h"
#include "engine/card_channel.h"
#include "engine/card_info_item.h"
#include "engine/card_outcome.h"
#include "engine/phonebook_entry.h"
#include "engine/sim_file_info.h"
#include "engine/sms_record.h"

namespace pellucard {

// The card engine: one object per program. It owns the reader channel, passes SIM commands
// through it, decodes the card's files and converts between the card's encodings and text.
// Failures are results, never exceptions; the engine never shows a message.
class Pellucard {
public:
    explicit Pellucard(std::unique_ptr<CardChannel> channel);
    ~Pellucard();
    Pellucard(const Pellucard&) = delete;
    Pellucard& operator=(const Pellucard&) = delete;

    // --- Reader link ---
    bool FindReader();
    void Release();
    // True when the last exchange with the card succeeded: the windows read it as "a card
    // answered in the reader".
    bool CardPresent() const { return lastResult_; }
    // The reader is open. The main window writes false here when it closes.
    bool ReaderPresent() const { return connected_; }
    void SetReaderPresent(bool present);

    CardChannel& Channel() { return *channel_; }
    // The response block of the last SIM command: response data, or the status words. The
    // engine's results do not look at status words; a caller that wants to may.
    const Bytes& LastResponse() const { return lastResponse_; }
    // What became of the last SIM command: executed, refused with a status word, or lost on the
    // link. The boolean results of the phone book, SMS and PIN operations are true only for an
    // executed command; this says why when they are false.
    const CardOutcome& LastOutcome() const { return lastOutcome_; }

    // --- SIM command layer ---
    bool SendSimCommand(const CommandHeader& header, std::uint8_t fileHigh, std::uint8_t fileLow,
                        Bytes& data);
    // SELECT by identifier; one variant for each first byte the engine selects by.
    bool SelectFile7F(std::uint8_t low, Bytes& response) { return SelectFile(0x7F, low, response); }
    bool SelectFile6F(std::uint8_t low, Bytes& response) { return SelectFile(0x6F, low, response); }
    bool SelectFile2F(std::uint8_t low, Bytes& response) { return SelectFile(0x2F, low, response); }
    bool SelectFile3F(std::uint8_t low, Bytes& response) { return SelectFile(0x3F, low, response); }
    // True when the CHV counters are known: cached from the card's status, or read now from the
    // master file's SELECT response when there are none or they went stale.
    [[nodiscard]] bool ReadChvCounters();
    bool ReadMasterStatus();
    const SimFileInfo& CardStatus() const { return cardStatus_; }

    // Forgets the cached record counts and lengths, the card status and the last result.
    void ResetCardState();

    // --- Card information ---
    // Resets the card; true when it answered with an answer to reset.
    bool FindSimCard();
    const Bytes& AnswerToReset() const { return answerToReset_; }
    CardInfoResult GetCardInf(std::string& text, CardInfoItem item);
    // The card's data may be read: the CHV counters are known, PIN1 is not blocked and its check
    // is off (or was passed since the status was read).
    bool CardReadable();

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
    // Reads and selections asked again after their answer was lost on the link.
    long RepeatedExchanges() const { return repeatedExchanges_; }
    // --- Phone book (EF ADN) ---
    bool EnterPhoneBook();
    bool GetPhoneBook(Bytes& data, int recordNumber);
    bool SetPhoneBook(const Bytes& data, int recordNumber);
    // The codecs do no card traffic; like the card operations they answer with the last result.
    bool EncodePhoneBook(const std::string& number, const std::string& name, Bytes& data);
    bool DecodePhoneBook(const Bytes& data, std::string& number, std::string& name);
    int PhoneBookRecordCount() const { return phoneBookRecordCount_; }
    int PhoneBookRecordLength() const { return phoneBookRecordLength_; }

    // --- Short messages (EF SMS) ---
    bool EnterSMSBook();
    bool GetSMS(Bytes& data, int recordNumber);
    bool SetSMS(int recordNumber, const Bytes& data);
    bool EncodeSMS(const std::string& address, const std::string& text, int status,
                   const SmsTimeStamp& timeStamp, const std::string& scNumber, int validity,
                   Bytes& data);
    bool DecodeSMS(const Bytes& data, SmsRecord& record);
    int SmsRecordCount() const { return smsRecordCount_; }
    int SmsRecordLength() const { return smsRecordLength_; }

    // The UCS2 form for names outside the GSM alphabet: 129 form 0x81, 130 form 0x82,
    // kEncodeTypeBestFit the form that holds the whole name, anything else form 0x80.
    static constexpr int kEncodeTypeBestFit = -1;
    void SetEncodeType(int encodeType) { encodeType_ = encodeType; }
    int EncodeType() const { return encodeType_; }

protected:
    bool ReadFileStatusBlock(ReaderRequest request, SimFileInfo& info);
    bool ReadTransparent(const SimFileInfo& info, Bytes& content);
    // On a readable card, selects EF 6Fxx under DF 7Fyy and decodes the EF's SELECT response,
    // which must hold at least `shortest` bytes.
    bool SelectInfoFile(std::uint8_t directoryLow, std::uint8_t fileLow, SimFileInfo& info,
                        std::size_t shortest);
    CardInfoResult ReadIccid(std::string& text);
    CardInfoResult ReadImsi(std::string& text);
    CardInfoResult ReadServiceProviderName(std::string& text);
    CardInfoResult ReadRecordCount(ReaderRequest request, std::string& text);
    CardInfoResult ReadPhase(std::string& text);
    CardInfoResult ReadServiceCentre(std::string& text);
    CardInfoResult ReadChvState(CardInfoItem item, std::string& text);
    CardOutcome RunChvCommand(const CommandHeader& header, const Bytes& data);

    bool EnterFile(std::uint8_t fileLow, SimFileInfo& info);
    bool RecordCommand(const CommandHeader& header, Bytes& data);
    bool ReadRecordOf(int recordNumber, int recordLength, Bytes& data);
    bool UpdateRecordOf(int recordNumber, int recordLength, const Bytes& data);

    bool SelectFile(std::uint8_t high, std::uint8_t low, Bytes& response);
    bool Track(LinkResult result);
    // A request the reader answers from the card; asked once more when the answer was lost.
    LinkResult AskReader(ReaderRequest request, Bytes& block);
    // A reply too short to hold what it must (a length, a count, an identity) was cut on the
    // way: a failed exchange, never a 0 or an empty value. Always false.
    bool ShortReply();

    std::unique_ptr<CardChannel> channel_;
    bool connected_ = false;
    bool lastResult_ = false;
    SimFileInfo cardStatus_;
    // The counters in cardStatus_ are the card's from before a CHV command: read them again.
    bool chvCountersStale_ = false;
    Bytes lastResponse_;
    CardOutcome lastOutcome_;
    bool countersKnown_ = false;
    long repeatedExchanges_ = 0;

    // Cached by the card-information reads.
    std::int16_t phoneBookRecordCount_ = 0;
    std::int16_t smsRecordCount_ = 0;
    std::int16_t lastDialledRecordCount_ = 0;
    std::int16_t phoneBookRecordLength_ = 0;
    std::int16_t smsRecordLength_ = 0;
    std::uint8_t answerToResetLength_ = 0;
    Bytes answerToReset_;
    int encodeType_ = 0;
};

}  // namespace pellucard
