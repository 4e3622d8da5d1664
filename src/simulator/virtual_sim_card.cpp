#include "simulator/virtual_sim_card.h"

#include <algorithm>
#include <iterator>

#include "engine/sim_commands.h"
#include "simulator/usim_only_files.h"
#include "simulator/virtual_sim_card_status.h"

namespace pellucard {

namespace {

namespace ins = sim::ins;

using virtual_card::ExpectedLength;
using virtual_card::Reply;

// 67 XX: wrong P3, XX the length the command wants.
ApduResponse WrongLength(std::size_t expected) {
    return Reply(static_cast<std::uint16_t>(status_word::kWrongLength | (expected & 0xFF)));
}

// The instructions this card carries out; any other is refused.
constexpr std::uint8_t kKnownInstructions[] = {
    ins::kSelect,     ins::kStatus,       ins::kGetResponse, ins::kReadBinary,   ins::kUpdateBinary,
    ins::kReadRecord, ins::kUpdateRecord, ins::kInvalidate,  ins::kRehabilitate, ins::kVerifyChv,
    ins::kChangeChv,  ins::kDisableChv,   ins::kEnableChv,   ins::kUnblockChv,   ins::kSleep,
};

bool IsKnown(std::uint8_t code) {
    return std::find(std::begin(kKnownInstructions), std::end(kKnownInstructions), code) !=
           std::end(kKnownInstructions);
}

// Answers with response data of at most P3 bytes, as STATUS and GET RESPONSE do.
ApduResponse Outgoing(const Bytes& data, std::uint8_t p3) {
    const auto length = ExpectedLength(p3);
    if (length > data.size())
        return WrongLength(data.size());
    return Reply(status_word::kNormalEnding, Bytes(data.begin(), data.begin() + length));
}

}  // namespace

VirtualSimCard::VirtualSimCard(const CardImage& image)
    : atr_(image.atr),
      description_(image.description),
      facts_{image.freeMemory, image.fileCharacteristics},
      files_(WithoutUsimOnlyFiles(image.files, usimOnly_)),
      chv_(image),
      refusals_(image.refusals) {
    PowerOn();
}

std::unique_ptr<VirtualSimCard> VirtualSimCard::FromImage(const CardImage& image, QString& error) {
    if (!ValidateCardImage(image, error))
        return nullptr;
    return std::unique_ptr<VirtualSimCard>(new VirtualSimCard(image));
}

std::unique_ptr<VirtualSimCard> VirtualSimCard::FromFile(const QString& path, QString& error) {
    CardImage image;
    if (!ReadCardImageFile(path, image, error))
        return nullptr;
    return std::unique_ptr<VirtualSimCard>(new VirtualSimCard(image));
}

std::unique_ptr<VirtualSimCard> VirtualSimCard::Demo(QString& error) {
    return FromFile(QString::fromLatin1(kDemoCardResource), error);
}

CardImage VirtualSimCard::ToImage() const {
    CardImage image;
    image.description = description_;
    image.atr = atr_;
    image.fileCharacteristics = facts_.fileCharacteristics;
    image.freeMemory = facts_.freeMemory;
    chv_.SaveTo(image);
    image.files = files_.Files();
    PutBackUsimOnlyFiles(image.files, usimOnly_);
    image.refusals = refusals_;
    return image;
}

bool VirtualSimCard::SaveToFile(const QString& path, QString& error) const {
    return WriteCardImageFile(path, ToImage(), error);
}

Bytes VirtualSimCard::PowerOn() {
    currentDirectory_ = files_.Master();
    currentFile_ = SimFileTree::kNone;
    access_.ForgetRecordPointer();
    pendingResponse_.clear();
    chv_.ForgetVerification();
    return atr_;
}

ApduResponse VirtualSimCard::Transmit(const Bytes& apdu) {
    // Response data waits for the very next command only, as on a T=0 card.
    Bytes pending = std::move(pendingResponse_);
    pendingResponse_.clear();
    if (apdu.size() < 5)
        return Reply(status_word::kWrongLength);
    if (apdu[0] != classByte_)
        return Reply(status_word::kWrongClass);
    const Command command{apdu[1], apdu[2], apdu[3], apdu[4], Bytes(apdu.begin() + 5, apdu.end())};
    if (!IsKnown(command.ins))
        return Reply(status_word::kUnknownInstruction);
    const std::size_t sentLength = sim::CarriesData(command.ins) ? command.p3 : 0;
    if (command.data.size() != sentLength)
        return Reply(status_word::kWrongLength);
    return Dispatch(command, std::move(pending));
}

ApduResponse VirtualSimCard::Dispatch(const Command& command, Bytes pendingResponse) {
    switch (command.ins) {
        case ins::kSelect:
            return Select(command);
        case ins::kStatus:
            return Status(command);
        case ins::kGetResponse:
            return GetResponse(command, std::move(pendingResponse));
        case ins::kReadBinary:
            return ReadBinary(command);
        case ins::kUpdateBinary:
            return UpdateBinary(command);
        case ins::kReadRecord:
            return ReadRecord(command);
        case ins::kUpdateRecord:
            return UpdateRecord(command);
        case ins::kInvalidate:
            return SetInvalidated(command, true);
        case ins::kRehabilitate:
            return SetInvalidated(command, false);
        case ins::kVerifyChv:
        case ins::kChangeChv:
        case ins::kDisableChv:
        case ins::kEnableChv:
        case ins::kUnblockChv:
            return ChvCommand(command);
        default:  // SLEEP
            return Reply(status_word::kNormalEnding);
    }
}

ApduResponse VirtualSimCard::Select(const Command& command) {
    if (command.p1 != 0 || command.p2 != 0)
        return Reply(status_word::kWrongP1P2);
    if (command.p3 != 2)
        return WrongLength(2);
    const auto id = static_cast<std::uint16_t>(command.data[0] << 8 | command.data[1]);
    const int target = files_.Select(currentDirectory_, id);
    if (target == SimFileTree::kNone)
        return Reply(status_word::kFileIdNotFound);
    access_.ForgetRecordPointer();
    if (files_.IsDirectory(target)) {
        currentDirectory_ = target;
        currentFile_ = SimFileTree::kNone;
        pendingResponse_ = GsmDirectoryResponse(files_, target, chv_, facts_);
    } else {
        currentDirectory_ = files_.Parent(target);
        currentFile_ = target;
        pendingResponse_ = GsmElementaryFileResponse(files_, target);
    }
    return Reply(
        static_cast<std::uint16_t>(status_word::kGsmResponseData | pendingResponse_.size()));
}

ApduResponse VirtualSimCard::Status(const Command& command) const {
    if (command.p1 != 0 || command.p2 != 0)
        return Reply(status_word::kWrongP1P2);
    return Outgoing(GsmDirectoryResponse(files_, currentDirectory_, chv_, facts_), command.p3);
}

ApduResponse VirtualSimCard::GetResponse(const Command& command, Bytes pendingResponse) {
    if (command.p1 != 0 || command.p2 != 0)
        return Reply(status_word::kWrongP1P2);
    if (pendingResponse.empty())
        return Reply(status_word::kTechnicalProblem);
    auto response = Outgoing(pendingResponse, command.p3);
    if (!IsExecuted(response.Status()))  // the host may ask again with the length it was told
        pendingResponse_ = std::move(pendingResponse);
    return response;
}

CardFile* VirtualSimCard::FileFor(FileUse use, std::uint16_t& status) {
    if (currentFile_ == SimFileTree::kNone) {
        status = status_word::kNoEfSelected;
        return nullptr;
    }
    auto& file = files_.File(currentFile_);
    const auto& access = file.access;
    std::uint8_t condition = access.read;
    bool needsRecords = false;
    bool isContentAccess = true;
    switch (use) {
        case FileUse::kReadBinary:
            break;
        case FileUse::kUpdateBinary:
            condition = access.update;
            break;
        case FileUse::kReadRecord:
            needsRecords = true;
            break;
        case FileUse::kUpdateRecord:
            needsRecords = true;
            condition = access.update;
            break;
        case FileUse::kInvalidate:
            condition = access.invalidate;
            isContentAccess = false;
            break;
        case FileUse::kRehabilitate:
            condition = access.rehabilitate;
            isContentAccess = false;
            break;
    }
    if (isContentAccess && file.IsRecordFile() != needsRecords) {
        status = status_word::kFileInconsistent;
        return nullptr;
    }
    if (!chv_.Grants(condition)) {
        status = status_word::kAccessConditionNotFulfilled;
        return nullptr;
    }
    if (isContentAccess && file.invalidated && !file.readableWhenInvalidated) {
        status = status_word::kContradictsInvalidation;
        return nullptr;
    }
    return &file;
}

namespace {

// The GSM 11.11 status word of a file access.
std::uint16_t GsmStatus(FileAccessResult result) {
    switch (result) {
        case FileAccessResult::kOk:
            return status_word::kNormalEnding;
        case FileAccessResult::kOutOfRange:
        case FileAccessResult::kRecordNotFound:
            return status_word::kOutOfRange;
        case FileAccessResult::kWrongLength:
            return status_word::kWrongLength;
        case FileAccessResult::kWrongMode:
            break;
    }
    return status_word::kWrongP1P2;
}

}  // namespace

ApduResponse VirtualSimCard::ReadBinary(const Command& command) {
    if (command.p1 & 0x80)  // GSM 11.11 offsets have 15 bits
        return Reply(status_word::kWrongP1P2);
    std::uint16_t status = 0;
    const auto* file = FileFor(FileUse::kReadBinary, status);
    if (!file)
        return Reply(status);
    if (const auto refused = Refusal(*file, CardRefusal::Command::Read, 0))
        return Reply(refused);
    Bytes data;
    const auto result =
        access_.ReadBinary(*file, command.p1 << 8 | command.p2, ExpectedLength(command.p3), data);
    return Reply(GsmStatus(result), std::move(data));
}

ApduResponse VirtualSimCard::UpdateBinary(const Command& command) {
    if (command.p1 & 0x80)
        return Reply(status_word::kWrongP1P2);
    std::uint16_t status = 0;
    auto* file = FileFor(FileUse::kUpdateBinary, status);
    if (!file)
        return Reply(status);
    if (const auto refused = Refusal(*file, CardRefusal::Command::Update, 0))
        return Reply(refused);
    return Reply(
        GsmStatus(access_.UpdateBinary(*file, command.p1 << 8 | command.p2, command.data)));
}

std::uint16_t VirtualSimCard::Refusal(const CardFile& file, CardRefusal::Command command,
                                      int number) const {
    for (const auto& refusal : refusals_) {
        if (refusal.Applies(file.path, command, number))
            return refusal.statusWord;
    }
    return 0;
}

ApduResponse VirtualSimCard::ReadRecord(const Command& command) {
    if (!VirtualFileAccess::IsRecordMode(command.p2))
        return Reply(status_word::kWrongP1P2);
    std::uint16_t status = 0;
    const auto* file = FileFor(FileUse::kReadRecord, status);
    if (!file)
        return Reply(status);
    if (command.p3 != file->recordLength)
        return WrongLength(file->recordLength);
    std::size_t index = 0;
    const auto result = access_.FindRecord(*file, command.p1, command.p2, index);
    if (result != FileAccessResult::kOk)
        return Reply(GsmStatus(result));
    if (const auto refused =
            Refusal(*file, CardRefusal::Command::Read, static_cast<int>(index) + 1))
        return Reply(refused);
    return Reply(status_word::kNormalEnding, file->records[index].data);
}

ApduResponse VirtualSimCard::UpdateRecord(const Command& command) {
    if (!VirtualFileAccess::IsRecordMode(command.p2))
        return Reply(status_word::kWrongP1P2);
    std::uint16_t status = 0;
    auto* file = FileFor(FileUse::kUpdateRecord, status);
    if (!file)
        return Reply(status);
    if (command.p3 != file->recordLength)
        return WrongLength(file->recordLength);
    if (file->structure == EfStructure::kCyclic) {
        // The record a cyclic update writes becomes record 1.
        if (const auto refused = Refusal(*file, CardRefusal::Command::Update, 1))
            return Reply(refused);
        return Reply(GsmStatus(access_.UpdateRecord(*file, command.p1, command.p2, command.data)));
    }
    std::size_t index = 0;
    const auto result = access_.FindRecord(*file, command.p1, command.p2, index);
    if (result != FileAccessResult::kOk)
        return Reply(GsmStatus(result));
    if (const auto refused =
            Refusal(*file, CardRefusal::Command::Update, static_cast<int>(index) + 1))
        return Reply(refused);
    VirtualFileAccess::WriteRecord(*file, index, command.data);
    return Reply(status_word::kNormalEnding);
}

ApduResponse VirtualSimCard::SetInvalidated(const Command& command, bool invalidated) {
    if (command.p1 != 0 || command.p2 != 0)
        return Reply(status_word::kWrongP1P2);
    if (command.p3 != 0)
        return WrongLength(0);
    std::uint16_t status = 0;
    auto* file = FileFor(invalidated ? FileUse::kInvalidate : FileUse::kRehabilitate, status);
    if (!file)
        return Reply(status);
    file->invalidated = invalidated;
    return Reply(status_word::kNormalEnding);
}

ApduResponse VirtualSimCard::ChvCommand(const Command& command) {
    const bool twoCodes = command.ins == ins::kChangeChv || command.ins == ins::kUnblockChv;
    // UNBLOCK CHV names CHV1 with 00 in GSM 11.11; 01 is accepted too, as some hosts send it.
    const bool unblock = command.ins == ins::kUnblockChv;
    const bool onlyChv1 = command.ins == ins::kDisableChv || command.ins == ins::kEnableChv;
    int chv = command.p2;
    if (unblock && chv == 0)
        chv = 1;
    if (command.p1 != 0 || chv < 1 || chv > 2 || (onlyChv1 && chv != 1))
        return Reply(status_word::kWrongP1P2);
    if (command.p3 != (twoCodes ? 16 : 8))
        return WrongLength(twoCodes ? 16 : 8);
    const Bytes first(command.data.begin(), command.data.begin() + 8);
    const Bytes second = twoCodes ? Bytes(command.data.begin() + 8, command.data.end()) : Bytes{};
    switch (command.ins) {
        case ins::kVerifyChv:
            return Reply(chv_.Verify(chv, first));
        case ins::kChangeChv:
            return Reply(chv_.Change(chv, first, second));
        case ins::kDisableChv:
            return Reply(chv_.Disable(first));
        case ins::kEnableChv:
            return Reply(chv_.Enable(first));
        default:
            return Reply(chv_.Unblock(chv, first, second));
    }
}

}  // namespace pellucard
