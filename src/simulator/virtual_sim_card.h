#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "simulator/card_image.h"
#include "simulator/sim_card.h"
#include "simulator/virtual_file_access.h"
#include "simulator/virtual_sim_card_chv.h"
#include "simulator/virtual_sim_card_files.h"
#include "simulator/virtual_sim_card_responses.h"

namespace pellucard {

// A GSM 11.11 SIM card in memory, made from a card image: the file tree with its access
// conditions, CHV1 and CHV2 with their counters, and the T=0 commands of class A0 a handset
// sends (SELECT with GET RESPONSE, STATUS, READ/UPDATE BINARY, READ/UPDATE RECORD, the five CHV
// commands, INVALIDATE, REHABILITATE, SLEEP). Its state, codes and counters included, can be
// saved back to an image at any time.
class VirtualSimCard : public SimCard {
public:
    static constexpr std::uint8_t kGsmClass = 0xA0;

    // Nullptr with the reason when the image is not a usable card.
    static std::unique_ptr<VirtualSimCard> FromImage(const CardImage& image, QString& error);
    static std::unique_ptr<VirtualSimCard> FromFile(const QString& path, QString& error);
    // The compiled-in demo card; fails only if the program was built with a broken one.
    static std::unique_ptr<VirtualSimCard> Demo(QString& error);

    // Reset: the master file becomes current and no code counts as presented.
    Bytes PowerOn() override;
    ApduResponse Transmit(const Bytes& apdu) override;

    CardImage ToImage() const;
    bool SaveToFile(const QString& path, QString& error) const;

    std::uint8_t ClassByte() const { return classByte_; }

    // Makes the card refuse a READ or an UPDATE of chosen records from now on (kept in its
    // image); for tests and demonstrations of a refusing card.
    void AddRefusal(const CardRefusal& refusal) { refusals_.push_back(refusal); }

private:
    struct Command {
        std::uint8_t ins = 0;
        std::uint8_t p1 = 0;
        std::uint8_t p2 = 0;
        std::uint8_t p3 = 0;
        Bytes data;
    };
    // What a command does with the current elementary file; it decides the structure the file
    // must have and the access condition that applies.
    enum class FileUse {
        kReadBinary,
        kUpdateBinary,
        kReadRecord,
        kUpdateRecord,
        kInvalidate,
        kRehabilitate
    };
    explicit VirtualSimCard(const CardImage& image);

    ApduResponse Dispatch(const Command& command, Bytes pendingResponse);
    ApduResponse Select(const Command& command);
    ApduResponse Status(const Command& command) const;
    ApduResponse GetResponse(const Command& command, Bytes pendingResponse);
    ApduResponse ReadBinary(const Command& command);
    ApduResponse UpdateBinary(const Command& command);
    ApduResponse ReadRecord(const Command& command);
    ApduResponse UpdateRecord(const Command& command);
    ApduResponse SetInvalidated(const Command& command, bool invalidated);
    ApduResponse ChvCommand(const Command& command);

    // The current elementary file when the command may use it; otherwise nullptr and the
    // status word that says why (none selected, wrong structure, access condition not
    // fulfilled, invalidated).
    CardFile* FileFor(FileUse use, std::uint16_t& status);
    // The status word of a refusal the image asks for, or 0.
    std::uint16_t Refusal(const CardFile& file, CardRefusal::Command command, int number) const;

    // The class every command must carry. It is the one place that ties the command set to
    // GSM 11.11; a UICC mode would answer class 00 and build FCP templates instead of the
    // responses of virtual_sim_card_responses.h.
    std::uint8_t classByte_ = kGsmClass;
    Bytes atr_;
    std::string description_;
    GsmCardFacts facts_;
    // Given before files_, which is made without them.
    std::vector<std::pair<std::size_t, CardFile>> usimOnly_;
    SimFileTree files_;
    SimChvState chv_;
    std::vector<CardRefusal> refusals_;

    int currentDirectory_ = SimFileTree::kNone;
    int currentFile_ = SimFileTree::kNone;  // an elementary file, or none
    VirtualFileAccess access_;              // with the record pointer
    Bytes pendingResponse_;                 // what GET RESPONSE hands out next
};

}  // namespace pellucard
