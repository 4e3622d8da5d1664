#pragma once

#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "simulator/card_image.h"
#include "simulator/sim_card.h"
#include "simulator/virtual_file_access.h"
#include "simulator/virtual_sim_card_chv.h"
#include "simulator/virtual_sim_card_files.h"

namespace pellucard {

// A USIM-only card in memory: a UICC (ETSI TS 102 221) that refuses the GSM command class A0,
// made from the same card image as the virtual GSM SIM. The image's files are laid out as a
// USIM card keeps them (3GPP TS 31.102): DF GSM's files and the short messages with their
// parameters in the USIM application (selected by its AID, listed in EF DIR), the service table
// as EF UST, no phase file, and the phone book as the global phone book of DF Telecom/5F3A:
// the image's own DF PHONEBOOK when it has one (EF PBR with the files beside the ADN file, which
// only this card shows), else one whose EF PBR lists the ADN file and an extension file. SELECT
// answers with FCP templates, and the PINs answer VERIFY and UNBLOCK PIN without data with their
// counters. Saved back, the image is the GSM card's again, with what was written and the codes as
// they stand.
class VirtualUiccCard final : public SimCard {
public:
    static constexpr std::uint8_t kUiccClass = 0x00;
    // 3GPP TS 31.101: RID A000000087, USIM 1002, then the provider's part.
    static const Bytes& UsimAid();

    static std::unique_ptr<VirtualUiccCard> FromImage(const CardImage& image, QString& error);
    static std::unique_ptr<VirtualUiccCard> FromFile(const QString& path, QString& error);

    Bytes PowerOn() override;
    ApduResponse Transmit(const Bytes& apdu) override;

    CardImage ToImage() const;
    bool SaveToFile(const QString& path, QString& error) const;

private:
    struct Command {
        std::uint8_t cla = 0;
        std::uint8_t ins = 0;
        std::uint8_t p1 = 0;
        std::uint8_t p2 = 0;
        std::uint8_t p3 = 0;
        Bytes data;
    };

    explicit VirtualUiccCard(const CardImage& image);

    ApduResponse Select(const Command& command);
    ApduResponse GetResponse(const Command& command, Bytes pending);
    ApduResponse Status(const Command& command);
    ApduResponse ReadBinary(const Command& command);
    ApduResponse UpdateBinary(const Command& command);
    ApduResponse ReadRecord(const Command& command);
    ApduResponse UpdateRecord(const Command& command);
    ApduResponse PinCommand(const Command& command);

    Bytes Fcp(int file) const;
    CardFile* CurrentFile(bool records, bool update, std::uint16_t& status);
    std::uint16_t PinStatus(int chv, bool unblock, std::uint16_t gsmStatus) const;

    CardImage image_;  // the GSM layout, for saving back
    // UICC path of each file taken from the image -> its path in the image.
    std::map<std::string, std::string> fromImage_;
    SimFileTree files_;
    SimChvState chv_;
    int application_ = SimFileTree::kNone;

    int currentDirectory_ = SimFileTree::kNone;
    int currentFile_ = SimFileTree::kNone;
    VirtualFileAccess access_;  // with the record pointer
    Bytes pendingResponse_;
};

}  // namespace pellucard
