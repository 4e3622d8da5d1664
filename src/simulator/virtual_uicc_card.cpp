#include "simulator/virtual_uicc_card.h"

#include <algorithm>

#include "engine/sim_commands.h"
#include "engine/usim_files.h"
#include "simulator/virtual_sim_card_status.h"

namespace pellucard {

namespace {

namespace ins = sim::ins;

// ISO/IEC 7816-4 and TS 102 221 10.2.1 status words, from the table of status words.
namespace sw = status_word;

constexpr std::uint16_t kApplicationId = 0x7FFF;  // the current application, from anywhere
constexpr std::uint8_t kPin1 = 0x01;
constexpr std::uint8_t kPin2 = 0x81;
constexpr std::uint8_t kAdm = 0x0A;
constexpr std::size_t kDirRecordLength = 32;
constexpr std::size_t kPbrRecordLength = 20;
constexpr std::size_t kExt1RecordLength = 13;
constexpr std::size_t kExt1Records = 10;

using virtual_card::ExpectedLength;
using virtual_card::Reply;

void Append(Bytes& to, std::initializer_list<std::uint8_t> bytes) {
    to.insert(to.end(), bytes);
}

void AppendTlv(Bytes& to, std::uint8_t tag, const Bytes& value) {
    to.push_back(tag);
    to.push_back(static_cast<std::uint8_t>(value.size()));
    to.insert(to.end(), value.begin(), value.end());
}

std::uint8_t High(std::size_t value) {
    return static_cast<std::uint8_t>(value >> 8 & 0xFF);
}
std::uint8_t Low(std::size_t value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

CardFile RecordFile(std::string path, std::string comment, std::size_t recordLength,
                    std::vector<Bytes> records) {
    CardFile file;
    file.path = std::move(path);
    file.comment = std::move(comment);
    file.structure = EfStructure::kLinearFixed;
    file.access.read = access_level::kAlways;
    file.recordLength = recordLength;
    for (auto& record : records) {
        record.resize(recordLength, 0xFF);
        file.records.push_back({std::move(record), {}});
    }
    return file;
}

// Where a file of the GSM card lives on the USIM card; empty for a file the USIM has not.
std::string UiccPath(const std::string& gsmPath) {
    if (gsmPath == "3F00/7F10/6F3A")
        return "3F00/7F10/5F3A/4F3A";
    // 3GPP TS 31.102 4.2: the short messages and their parameters, the own, fixed and service
    // dialling numbers are the application's; the last dialled numbers stay in DF Telecom.
    if (gsmPath == "3F00/7F10/6F3C" || gsmPath == "3F00/7F10/6F42" || gsmPath == "3F00/7F10/6F3B" ||
        gsmPath == "3F00/7F10/6F40" || gsmPath == "3F00/7F10/6F49")
        return "3F00/7FFF/" + gsmPath.substr(10);
    if (gsmPath == "3F00/7F20/6FAE")
        return {};
    if (gsmPath.rfind("3F00/7F20", 0) == 0)
        return "3F00/7FFF" + gsmPath.substr(9);
    return gsmPath;
}

// The image's files where a USIM keeps them, and the files only a USIM has.
std::vector<CardFile> UiccLayout(const CardImage& image, std::map<std::string, std::string>& from) {
    std::vector<CardFile> files;
    std::string adnPath;
    for (const auto& file : image.files) {
        const std::string path = UiccPath(file.path);
        if (path.empty())
            continue;
        CardFile copy = file;
        copy.path = path;
        if (file.path == "3F00/7F20/6F38") {
            copy.body = UstFromGsmServiceTable(file.body);
            copy.comment = "USIM service table";
        } else {
            from[path] = file.path;
        }
        if (path.rfind("3F00/7F10/5F3A/", 0) == 0)
            adnPath = path;
        files.push_back(std::move(copy));
    }
    const bool hasTelecom = image.FindFile("3F00/7F10") != nullptr;
    if (!image.FindFile("3F00/7F20")) {
        CardFile application;
        application.path = "3F00/7FFF";
        application.type = SimFileType::kDedicated;
        files.push_back(application);
    }
    // EF DIR with the USIM application.
    Bytes entry;
    AppendTlv(entry, 0x4F, VirtualUiccCard::UsimAid());
    AppendTlv(entry, 0x50, Bytes{'U', 'S', 'I', 'M'});
    Bytes dirRecord;
    AppendTlv(dirRecord, 0x61, entry);
    files.push_back(
        RecordFile("3F00/2F00", "EF DIR: the USIM application", kDirRecordLength, {dirRecord}));
    // An image with a USIM phone book of its own brings its DF PHONEBOOK; else a plain one is
    // made, whose EF PBR lists the ADN file and an extension file.
    const bool ownPhoneBook = image.FindFile("3F00/7F10/5F3A") != nullptr;
    if (hasTelecom && !adnPath.empty() && !ownPhoneBook) {
        CardFile phoneBook;
        phoneBook.path = "3F00/7F10/5F3A";
        phoneBook.type = SimFileType::kDedicated;
        phoneBook.comment = "DF phone book: the global phone book";
        files.push_back(phoneBook);
        Bytes references;
        Append(references, {0xC0, 0x03, 0x4F, 0x3A, 0x01, 0xC2, 0x03, 0x4F, 0x4A, 0x02});
        Bytes pbrRecord;
        AppendTlv(pbrRecord, 0xA8, references);
        files.push_back(RecordFile("3F00/7F10/5F3A/4F30", "EF PBR", kPbrRecordLength, {pbrRecord}));
        auto ext1 = RecordFile("3F00/7F10/5F3A/4F4A", "EF EXT1", kExt1RecordLength,
                               std::vector<Bytes>(kExt1Records, Bytes{0x00}));
        ext1.access = image.FindFile("3F00/7F10/6F3A")->access;
        files.push_back(std::move(ext1));
    }
    return files;
}

}  // namespace

const Bytes& VirtualUiccCard::UsimAid() {
    static const Bytes aid{0xA0, 0x00, 0x00, 0x00, 0x87, 0x10, 0x02, 0xFF,
                           0x49, 0xFF, 0x05, 0x89, 0x50, 0x43, 0x41, 0x52};
    return aid;
}

VirtualUiccCard::VirtualUiccCard(const CardImage& image)
    : image_(image), files_(UiccLayout(image, fromImage_)), chv_(image) {
    for (const auto& file : files_.Files()) {
        if (file.path == "3F00/7FFF") {
            application_ = files_.Select(files_.Master(), kApplicationId);
            break;
        }
    }
    PowerOn();
}

std::unique_ptr<VirtualUiccCard> VirtualUiccCard::FromImage(const CardImage& image,
                                                            QString& error) {
    if (!ValidateCardImage(image, error))
        return nullptr;
    if (!image.FindFile("3F00/7F10/6F3A")) {
        error = QStringLiteral("the card image has no phone book (3F00/7F10/6F3A)");
        return nullptr;
    }
    return std::unique_ptr<VirtualUiccCard>(new VirtualUiccCard(image));
}

std::unique_ptr<VirtualUiccCard> VirtualUiccCard::FromFile(const QString& path, QString& error) {
    CardImage image;
    if (!ReadCardImageFile(path, image, error))
        return nullptr;
    return FromImage(image, error);
}

CardImage VirtualUiccCard::ToImage() const {
    CardImage image = image_;
    chv_.SaveTo(image);
    for (const auto& file : files_.Files()) {
        const auto it = fromImage_.find(file.path);
        if (it == fromImage_.end())
            continue;
        if (CardFile* original = image.FindFile(it->second)) {
            CardFile updated = file;
            updated.path = original->path;
            *original = std::move(updated);
        }
    }
    return image;
}

bool VirtualUiccCard::SaveToFile(const QString& path, QString& error) const {
    return WriteCardImageFile(path, ToImage(), error);
}

Bytes VirtualUiccCard::PowerOn() {
    currentDirectory_ = files_.Master();
    currentFile_ = SimFileTree::kNone;
    access_.ForgetRecordPointer();
    pendingResponse_.clear();
    chv_.ForgetVerification();
    return image_.atr;
}

ApduResponse VirtualUiccCard::Transmit(const Bytes& apdu) {
    Bytes pending = std::move(pendingResponse_);
    pendingResponse_.clear();
    if (apdu.size() < 5)
        return Reply(sw::kWrongLength);
    Command command{apdu[0], apdu[1], apdu[2],
                    apdu[3], apdu[4], Bytes(apdu.begin() + 5, apdu.end())};
    // TS 102 221 10.1.1: class 00 for the interindustry commands, 80 for STATUS. A0, the GSM
    // class, is what this card refuses.
    const bool proprietary = command.ins == ins::kStatus;
    if (command.cla != (proprietary ? 0x80 : kUiccClass))
        return Reply(sw::kWrongClass);
    if (command.data.size() != (sim::CarriesData(command.ins) ? command.p3 : 0u))
        return Reply(sw::kWrongLength);
    switch (command.ins) {
        case ins::kSelect:
            return Select(command);
        case ins::kGetResponse:
            return GetResponse(command, std::move(pending));
        case ins::kStatus:
            return Status(command);
        case ins::kReadBinary:
            return ReadBinary(command);
        case ins::kUpdateBinary:
            return UpdateBinary(command);
        case ins::kReadRecord:
            return ReadRecord(command);
        case ins::kUpdateRecord:
            return UpdateRecord(command);
        case ins::kVerifyChv:
        case ins::kChangeChv:
        case ins::kDisableChv:
        case ins::kEnableChv:
        case ins::kUnblockChv:
            return PinCommand(command);
        default:
            return Reply(sw::kUnknownInstruction);
    }
}

ApduResponse VirtualUiccCard::Select(const Command& command) {
    const bool withFcp = command.p2 == 0x04;
    if (command.p2 != 0x04 && command.p2 != 0x0C)
        return Reply(sw::kIncorrectP1P2);
    int target = SimFileTree::kNone;
    if (command.p1 == 0x04) {
        // By DF name: the AID or its first bytes (at least RID and application code).
        const Bytes& aid = UsimAid();
        const bool matches = command.data.size() >= 7 && command.data.size() <= aid.size() &&
                             std::equal(command.data.begin(), command.data.end(), aid.begin());
        target = matches ? application_ : SimFileTree::kNone;
    } else if (command.p1 == 0x00) {
        if (command.p3 != 2)
            return Reply(sw::kWrongLength);
        const auto id = static_cast<std::uint16_t>(command.data[0] << 8 | command.data[1]);
        target = id == kApplicationId ? application_ : files_.Select(currentDirectory_, id);
    } else {
        return Reply(sw::kIncorrectP1P2);
    }
    if (target == SimFileTree::kNone)
        return Reply(sw::kFileNotFound);
    access_.ForgetRecordPointer();
    if (files_.IsDirectory(target)) {
        currentDirectory_ = target;
        currentFile_ = SimFileTree::kNone;
    } else {
        currentDirectory_ = files_.Parent(target);
        currentFile_ = target;
    }
    if (!withFcp)
        return Reply(sw::kNormalEnding);
    pendingResponse_ = Fcp(target);
    return Reply(static_cast<std::uint16_t>(sw::kResponseData | pendingResponse_.size()));
}

ApduResponse VirtualUiccCard::GetResponse(const Command& command, Bytes pending) {
    if (command.p1 != 0 || command.p2 != 0)
        return Reply(sw::kIncorrectP1P2);
    if (pending.empty())
        return Reply(sw::kTechnicalProblem);
    if (ExpectedLength(command.p3) != pending.size()) {
        const auto size = pending.size();
        pendingResponse_ = std::move(pending);  // the host asks again with the right length
        return Reply(static_cast<std::uint16_t>(sw::kWrongLe | (size & 0xFF)));
    }
    return Reply(sw::kNormalEnding, std::move(pending));
}

ApduResponse VirtualUiccCard::Status(const Command& command) {
    if (command.p2 == 0x0C)
        return Reply(sw::kNormalEnding);
    const Bytes fcp = Fcp(currentDirectory_);
    if (ExpectedLength(command.p3) != fcp.size())
        return Reply(static_cast<std::uint16_t>(sw::kWrongLe | (fcp.size() & 0xFF)));
    return Reply(sw::kNormalEnding, fcp);
}

Bytes VirtualUiccCard::Fcp(int index) const {
    const CardFile& file = files_.File(index);
    const std::uint16_t id = files_.Id(index);
    Bytes body;
    if (files_.IsDirectory(index)) {
        AppendTlv(body, 0x82, Bytes{0x78, 0x21});
        AppendTlv(body, 0x83, Bytes{High(id), Low(id)});
        if (index == application_)
            AppendTlv(body, 0x84, UsimAid());
        AppendTlv(body, 0x8A, Bytes{0x05});
        // The master file speaks for the administrative code; the application for its PINs.
        Bytes pins;
        if (index == application_) {
            const std::uint8_t map = (chv_.Chv1Enabled() ? 0x80 : 0x00) | 0x40;  // PIN2 always
            AppendTlv(pins, 0x90, Bytes{map});
            AppendTlv(pins, 0x83, Bytes{kPin1});
            AppendTlv(pins, 0x83, Bytes{kPin2});
        } else {
            AppendTlv(pins, 0x90, Bytes{0x80});
            AppendTlv(pins, 0x83, Bytes{kAdm});
        }
        AppendTlv(body, 0xC6, pins);
    } else {
        if (file.IsRecordFile()) {
            const std::uint8_t descriptor = file.structure == EfStructure::kCyclic ? 0x46 : 0x42;
            AppendTlv(body, 0x82,
                      Bytes{descriptor, 0x21, High(file.recordLength), Low(file.recordLength),
                            static_cast<std::uint8_t>(file.records.size())});
        } else {
            AppendTlv(body, 0x82, Bytes{0x41, 0x21});
        }
        AppendTlv(body, 0x83, Bytes{High(id), Low(id)});
        AppendTlv(body, 0x8A, Bytes{static_cast<std::uint8_t>(file.invalidated ? 0x04 : 0x05)});
        AppendTlv(body, 0x8B, Bytes{0x6F, 0x06, 0x01});  // access rules in EF ARR, record 1
        AppendTlv(body, 0x80, Bytes{High(file.Size()), Low(file.Size())});
    }
    Bytes fcp;
    AppendTlv(fcp, 0x62, body);
    return fcp;
}

CardFile* VirtualUiccCard::CurrentFile(bool records, bool update, std::uint16_t& status) {
    if (currentFile_ == SimFileTree::kNone) {
        status = sw::kNoCurrentEf;
        return nullptr;
    }
    auto& file = files_.File(currentFile_);
    if (file.IsRecordFile() != records) {
        status = sw::kIncompatibleFileStructure;
        return nullptr;
    }
    if (!chv_.Grants(update ? file.access.update : file.access.read)) {
        status = sw::kSecurityNotSatisfied;
        return nullptr;
    }
    if (file.invalidated && !file.readableWhenInvalidated) {
        status = sw::kConditionsNotSatisfied;
        return nullptr;
    }
    return &file;
}

namespace {

// The TS 102 221 status word of a file access.
std::uint16_t UiccStatus(FileAccessResult result) {
    switch (result) {
        case FileAccessResult::kOk:
            return sw::kNormalEnding;
        case FileAccessResult::kOutOfRange:
            return sw::kWrongP1P2;
        case FileAccessResult::kRecordNotFound:
            return sw::kRecordNotFound;
        case FileAccessResult::kWrongLength:
            return sw::kWrongLength;
        case FileAccessResult::kWrongMode:
            break;
    }
    return sw::kIncorrectP1P2;
}

}  // namespace

ApduResponse VirtualUiccCard::ReadBinary(const Command& command) {
    if (command.p1 & 0x80)  // short file identifiers are not offered
        return Reply(sw::kIncorrectP1P2);
    std::uint16_t status = 0;
    const auto* file = CurrentFile(false, false, status);
    if (!file)
        return Reply(status);
    const std::size_t offset = command.p1 << 8 | command.p2;
    Bytes data;
    const auto result = access_.ReadBinary(*file, offset, ExpectedLength(command.p3), data);
    if (result == FileAccessResult::kWrongLength)  // 6C xx: what is left from the offset
        return Reply(
            static_cast<std::uint16_t>(sw::kWrongLe | ((file->body.size() - offset) & 0xFF)));
    return Reply(UiccStatus(result), std::move(data));
}

ApduResponse VirtualUiccCard::UpdateBinary(const Command& command) {
    if (command.p1 & 0x80)
        return Reply(sw::kIncorrectP1P2);
    std::uint16_t status = 0;
    auto* file = CurrentFile(false, true, status);
    if (!file)
        return Reply(status);
    return Reply(
        UiccStatus(access_.UpdateBinary(*file, command.p1 << 8 | command.p2, command.data)));
}

ApduResponse VirtualUiccCard::ReadRecord(const Command& command) {
    if (!VirtualFileAccess::IsRecordMode(command.p2))
        return Reply(sw::kIncorrectP1P2);
    std::uint16_t status = 0;
    const auto* file = CurrentFile(true, false, status);
    if (!file)
        return Reply(status);
    if (ExpectedLength(command.p3) != file->recordLength)
        return Reply(static_cast<std::uint16_t>(sw::kWrongLe | (file->recordLength & 0xFF)));
    std::size_t index = 0;
    const auto result = access_.FindRecord(*file, command.p1, command.p2, index);
    if (result != FileAccessResult::kOk)
        return Reply(UiccStatus(result));
    for (const auto& refusal : image_.refusals) {
        if (refusal.Applies(file->path, CardRefusal::Command::Read, static_cast<int>(index) + 1))
            return Reply(refusal.statusWord);
    }
    return Reply(sw::kNormalEnding, file->records[index].data);
}

ApduResponse VirtualUiccCard::UpdateRecord(const Command& command) {
    if (!VirtualFileAccess::IsRecordMode(command.p2))
        return Reply(sw::kIncorrectP1P2);
    std::uint16_t status = 0;
    auto* file = CurrentFile(true, true, status);
    if (!file)
        return Reply(status);
    if (command.p3 != file->recordLength)
        return Reply(sw::kWrongLength);
    if (file->structure == EfStructure::kCyclic)
        return Reply(UiccStatus(access_.UpdateRecord(*file, command.p1, command.p2, command.data)));
    std::size_t index = 0;
    const auto found = access_.FindRecord(*file, command.p1, command.p2, index);
    if (found != FileAccessResult::kOk)
        return Reply(UiccStatus(found));
    // A refusal the image asks for, named by the file's path on this card (…/5F3A/4F3A).
    for (const auto& refusal : image_.refusals) {
        if (refusal.Applies(file->path, CardRefusal::Command::Update, static_cast<int>(index) + 1))
            return Reply(refusal.statusWord);
    }
    VirtualFileAccess::WriteRecord(*file, index, command.data);
    return Reply(sw::kNormalEnding);
}

// The GSM card's verdict on a code, in the status words of TS 102 221.
std::uint16_t VirtualUiccCard::PinStatus(int chv, bool unblock, std::uint16_t gsmStatus) const {
    switch (gsmStatus) {
        case status_word::kNormalEnding:
            return sw::kNormalEnding;
        case status_word::kAccessConditionNotFulfilled:
            return static_cast<std::uint16_t>(sw::kPinTriesLeft |
                                              (chv_.StatusByte(chv, unblock) & 0x0F));
        case status_word::kChvBlocked:
            return sw::kAuthenticationBlocked;
        case status_word::kContradictsChvStatus:
            return sw::kConditionsNotSatisfied;
        case status_word::kWrongData:
            return sw::kWrongData;
        default:
            return gsmStatus;
    }
}

ApduResponse VirtualUiccCard::PinCommand(const Command& command) {
    if (command.p1 != 0)
        return Reply(sw::kIncorrectP1P2);
    int chv = 0;
    if (command.p2 == kPin1)
        chv = 1;
    else if (command.p2 == kPin2)
        chv = 2;
    const bool onlyPin1 = command.ins == ins::kDisableChv || command.ins == ins::kEnableChv;
    if (chv == 0 || (onlyPin1 && chv != 1))
        return Reply(sw::kReferencedDataNotFound);
    const bool unblock = command.ins == ins::kUnblockChv;

    // Without data VERIFY and UNBLOCK PIN tell the state (TS 102 221 11.1.9, 11.1.13).
    if (command.p3 == 0 && (command.ins == ins::kVerifyChv || unblock)) {
        const std::uint8_t left = chv_.StatusByte(chv, unblock) & 0x0F;
        if (left == 0)
            return Reply(sw::kAuthenticationBlocked);
        if (!unblock && chv_.Grants(chv == 1 ? access_level::kChv1 : access_level::kChv2))
            return Reply(sw::kNormalEnding);
        return Reply(static_cast<std::uint16_t>(sw::kPinTriesLeft | left));
    }
    const bool twoCodes = command.ins == ins::kChangeChv || unblock;
    if (command.p3 != (twoCodes ? 16 : 8))
        return Reply(sw::kWrongLength);
    const Bytes first(command.data.begin(), command.data.begin() + 8);
    const Bytes second = twoCodes ? Bytes(command.data.begin() + 8, command.data.end()) : Bytes{};
    switch (command.ins) {
        case ins::kVerifyChv:
            return Reply(PinStatus(chv, false, chv_.Verify(chv, first)));
        case ins::kChangeChv:
            return Reply(PinStatus(chv, false, chv_.Change(chv, first, second)));
        case ins::kDisableChv:
            return Reply(PinStatus(1, false, chv_.Disable(first)));
        case ins::kEnableChv:
            return Reply(PinStatus(1, false, chv_.Enable(first)));
        default:
            return Reply(PinStatus(chv, true, chv_.Unblock(chv, first, second)));
    }
}

}  // namespace pellucard
