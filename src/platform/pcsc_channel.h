#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/card_channel.h"
#include "engine/fcp_template.h"
#include "engine/usim_files.h"
#include "platform/card_terminal.h"
#include "platform/t0_exchange.h"

namespace pellucard {

// The SIM command layer's seam over a standard smart-card reader (PC/SC). Each SIM command goes
// to the card as an APDU, with the T=0 exchanges a host owes the card; what the USB SIM reader
// keeps about the card by itself (service table, ICCID, service provider name, the SELECT
// responses of the SMS, phone book and last-dialled files, phase, file status) is read from the
// card with standard commands.
//
// A GSM 11.11 card is driven in class A0 as it is. A UICC that refuses class A0 is driven in
// class 00 (ETSI TS 102 221) and shown to the engine as the GSM SIM it stands in for: its FCP
// templates become GSM SELECT responses, its PIN state is asked with VERIFY and UNBLOCK PIN
// without data, DF GSM is its USIM application (3GPP TS 31.102) found through EF DIR, and a
// phone book that DF Telecom lacks is the global phone book of DF 5F3A found through EF PBR.
class PcscChannel final : public CardChannel {
public:
    enum class CardKind { None, Gsm, Uicc };
    using FilePath = std::vector<std::uint16_t>;

    explicit PcscChannel(std::unique_ptr<CardTerminal> terminal);

    bool Open() override;
    void Close() override;
    bool IsOpen() const override;
    LinkResult ResetCard(Bytes& answerToReset) override;
    LinkResult Request(ReaderRequest request, Bytes& block) override;
    LinkResult SimCommand(const CommandHeader& header, std::uint8_t fileHigh, std::uint8_t fileLow,
                          const Bytes& data, Bytes& response) override;
    std::optional<bool> LastAnswerWasData() const override { return lastAnswerWasData_; }

    CardKind Kind() const { return kind_; }
    // Why the reader or card could not be used, for people; empty when nothing failed.
    std::string LastError() const { return terminal_->LastError(); }
    // APDUs exchanged with the card (GET RESPONSE included), for benchmarks.
    long Apdus() const { return t0_.Apdus(); }
    void ResetCounters() { t0_.ResetCounters(); }
    // What EF PBR of a UICC's global phone book lists; the ADN file is the card's phone book and
    // the others are read only. Empty until the phone book was looked for.
    const std::vector<PhoneBookFile>& GlobalPhoneBook() const { return globalPhoneBook_; }

private:
    // Where a file of the engine's GSM view lives on a UICC: below the USIM application or
    // below the master file, by identifiers.
    struct UiccFile {
        bool inApplication = false;
        FilePath path;  // from the master file (3F00 first), or from the application
        bool operator==(const UiccFile&) const = default;
    };

    LinkResult Finish(TerminalStatus status);
    TerminalStatus Transmit(const Bytes& apdu, CardReply& reply);
    bool RestoreSelection();
    void ForgetCard();

    // GSM 11.11 card.
    TerminalStatus SelectGsm(const FilePath& path, CardReply& reply);
    TerminalStatus ReadTransparentGsm(const FilePath& path, Bytes& content, SimFileInfo& info);
    LinkResult GsmCommand(const CommandHeader& header, std::uint8_t fileHigh, std::uint8_t fileLow,
                          const Bytes& data, Bytes& response);

    // UICC.
    TerminalStatus DetectKind();
    TerminalStatus FindUsim();
    TerminalStatus FindPhoneBook();
    UiccFile Resolve(const FilePath& gsmPath);
    TerminalStatus SelectUicc(const UiccFile& file, CardReply& reply, bool withFcp = true);
    TerminalStatus UiccFileInfo(const FilePath& gsmPath, FcpInfo& fcp, CardReply& reply);
    TerminalStatus ReadTransparentUicc(const FilePath& gsmPath, Bytes& content, SimFileInfo& info);
    TerminalStatus ReadRecordUicc(std::uint8_t record, std::uint8_t length, CardReply& reply);
    TerminalStatus MasterStatus(const FcpInfo& master, SimFileInfo& info);
    TerminalStatus PinCounter(std::uint8_t instruction, std::uint8_t keyReference, int maximum,
                              std::uint8_t& left);
    LinkResult UiccCommand(const CommandHeader& header, std::uint8_t fileHigh, std::uint8_t fileLow,
                           const Bytes& data, Bytes& response);

    // Both.
    TerminalStatus ReadTransparent(const FilePath& gsmPath, Bytes& content, SimFileInfo& info);
    TerminalStatus FileStatusBlock(const FilePath& gsmPath, Bytes& block);
    static FilePath NextPath(const FilePath& current, std::uint16_t id);

    std::unique_ptr<CardTerminal> terminal_;
    T0Exchange t0_;
    CardKind kind_ = CardKind::None;
    FilePath gsmPath_;      // the current file as the engine selected it
    UiccFile uiccCurrent_;  // the same file on a UICC
    Bytes lastFileStatus_;  // reader layout of the file the last ICCID or name request read
    Bytes usimAid_;
    bool phoneBookKnown_ = false;
    UiccFile phoneBook_;
    std::vector<PhoneBookFile> globalPhoneBook_;
    bool lastAnswerWasData_ = false;
};

}  // namespace pellucard
