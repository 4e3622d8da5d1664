// The PC/SC channel on a UICC: ETSI TS 102 221 commands in class 00, the USIM application of
// 3GPP TS 31.102 standing in for DF GSM, and the global phone book of DF Telecom.
#include <algorithm>
#include <optional>

#include "engine/sim_commands.h"
#include "engine/sim_file_info.h"
#include "engine/status_words.h"
#include "platform/pcsc_channel.h"

namespace pellucard {

namespace {

constexpr std::uint8_t kUiccClass = 0x00;
namespace ins = sim::ins;

// SELECT P1: by identifier, by DF name (AID). P2: return the FCP template, or nothing.
constexpr std::uint8_t kById = 0x00;
constexpr std::uint8_t kByName = 0x04;
constexpr std::uint8_t kWithFcp = 0x04;
constexpr std::uint8_t kNoData = 0x0C;
constexpr std::uint8_t kRecordAbsolute = 0x04;

// Key references (TS 102 221 9.5.1): PIN1 and PIN2 of the application.
constexpr std::uint8_t kPin1 = 0x01;
constexpr std::uint8_t kPin2 = 0x81;
constexpr int kPinTries = 3;
constexpr int kUnblockTries = 10;

constexpr std::uint16_t kMaster = 0x3F00;
constexpr std::uint16_t kDfTelecom = 0x7F10;
constexpr std::uint16_t kDfGsm = 0x7F20;
constexpr std::uint16_t kDfPhoneBook = 0x5F3A;
constexpr std::uint16_t kEfDir = 0x2F00;
constexpr std::uint16_t kEfAdn = 0x6F3A;
constexpr std::uint16_t kEfPbr = 0x4F30;
constexpr std::uint16_t kEfSms = 0x6F3C;
constexpr std::uint16_t kEfSmsp = 0x6F42;
constexpr std::uint16_t kEfFdn = 0x6F3B;
constexpr std::uint16_t kEfMsisdn = 0x6F40;
constexpr std::uint16_t kEfSdn = 0x6F49;

bool InUsimApplication(std::uint16_t telecomFile) {
    return telecomFile == kEfSms || telecomFile == kEfSmsp || telecomFile == kEfFdn ||
           telecomFile == kEfMsisdn || telecomFile == kEfSdn;
}

Bytes SelectById(std::uint16_t id, bool withFcp) {
    return {kUiccClass,
            ins::kSelect,
            kById,
            withFcp ? kWithFcp : kNoData,
            0x02,
            static_cast<std::uint8_t>(id >> 8),
            static_cast<std::uint8_t>(id & 0xFF)};
}

// The AID is one that IsUsimAid took, of at most 16 bytes, so its length fits Lc. The command is
// made at its full size at once: no header is copied into a second buffer as it grows.
Bytes SelectByName(const Bytes& aid, bool withFcp) {
    Bytes apdu(5 + aid.size());
    apdu[0] = kUiccClass;
    apdu[1] = ins::kSelect;
    apdu[2] = kByName;
    apdu[3] = withFcp ? kWithFcp : kNoData;
    apdu[4] = static_cast<std::uint8_t>(aid.size());
    std::copy(aid.begin(), aid.end(), apdu.begin() + 5);
    return apdu;
}

std::optional<bool> PinEnabled(const std::vector<PinStatus>& pins, std::uint8_t reference) {
    for (const auto& pin : pins) {
        if (pin.keyReference == reference)
            return pin.enabled;
    }
    return std::nullopt;
}

// GSM 11.11 names CHV1 and CHV2 by number (UNBLOCK CHV names CHV1 00 as well as 01); TS 102 221
// by key reference.
std::uint8_t KeyReference(std::uint8_t chv) {
    return chv == 2 ? kPin2 : kPin1;
}

}  // namespace

TerminalStatus PcscChannel::DetectKind() {
    CardReply reply;
    const Bytes gsmSelect{0xA0, ins::kSelect, 0x00, 0x00, 0x02, 0x3F, 0x00};
    TerminalStatus status = Transmit(gsmSelect, reply);
    if (status != TerminalStatus::Ok)
        return status;
    if (ClassOfStatusWord(reply.Status()) != StatusClass::WrongClass) {
        kind_ = CardKind::Gsm;
        gsmPath_ = {kMaster};
        return TerminalStatus::Ok;
    }
    // Wrong class: a UICC without the GSM command set.
    kind_ = CardKind::Uicc;
    return FindUsim();
}

TerminalStatus PcscChannel::FindUsim() {
    CardReply reply;
    TerminalStatus status = SelectUicc({false, {kMaster, kEfDir}}, reply);
    FcpInfo dir;
    if (status != TerminalStatus::Ok || !reply.Executed() || !ParseFcp(reply.data, dir) ||
        dir.info.structure == 0) {
        return status;  // no EF DIR: a UICC without applications still has its master file
    }
    for (int record = 1; record <= dir.info.sizeOrRecordCount && usimAid_.empty(); ++record) {
        status = ReadRecordUicc(static_cast<std::uint8_t>(record), dir.info.recordLength, reply);
        if (status != TerminalStatus::Ok)
            return status;
        if (!reply.Executed())
            break;
        for (const auto& aid : ApplicationIds(reply.data)) {
            if (IsUsimAid(aid)) {
                usimAid_ = aid;
                break;
            }
        }
    }
    if (usimAid_.empty())
        return TerminalStatus::Ok;
    // Activate the application, as a handset does after the reset.
    status = Transmit(SelectByName(usimAid_, false), reply);
    if (status == TerminalStatus::Ok && !reply.Executed())
        usimAid_.clear();
    uiccCurrent_ = {true, {}};
    return status;
}

TerminalStatus PcscChannel::ReadRecordUicc(std::uint8_t record, std::uint8_t length,
                                           CardReply& reply) {
    return Transmit(Bytes{kUiccClass, ins::kReadRecord, record, kRecordAbsolute, length}, reply);
}

TerminalStatus PcscChannel::FindPhoneBook() {
    if (phoneBookKnown_)
        return TerminalStatus::Ok;
    CardReply reply;
    const UiccFile telecomAdn{false, {kMaster, kDfTelecom, kEfAdn}};
    TerminalStatus status = SelectUicc(telecomAdn, reply, false);
    if (status != TerminalStatus::Ok)
        return status;
    phoneBook_ = telecomAdn;
    if (!reply.Executed()) {
        // No phone book in DF Telecom itself: the global phone book, whose EF PBR names the
        // files. The first record's ADN file holds the first records of the phone book.
        status = SelectUicc({false, {kMaster, kDfTelecom, kDfPhoneBook, kEfPbr}}, reply);
        FcpInfo pbr;
        if (status != TerminalStatus::Ok)
            return status;
        if (reply.Executed() && ParseFcp(reply.data, pbr) && pbr.info.structure != 0) {
            for (int record = 1; record <= pbr.info.sizeOrRecordCount; ++record) {
                status =
                    ReadRecordUicc(static_cast<std::uint8_t>(record), pbr.info.recordLength, reply);
                if (status != TerminalStatus::Ok)
                    return status;
                // EF PBR that PIN1 still closes is looked at again once it is open.
                if (record == 1 && reply.Status() == status_word::kSecurityNotSatisfied)
                    return TerminalStatus::Ok;
                if (!reply.Executed())
                    break;
                const auto files = ParsePhoneBookReferences(reply.data);
                globalPhoneBook_.insert(globalPhoneBook_.end(), files.begin(), files.end());
            }
            const auto adn = std::find_if(globalPhoneBook_.begin(), globalPhoneBook_.end(),
                                          [](const PhoneBookFile& f) { return f.kind == kPbrAdn; });
            if (adn != globalPhoneBook_.end())
                phoneBook_ = {false, {kMaster, kDfTelecom, kDfPhoneBook, adn->fileId}};
        }
    }
    phoneBookKnown_ = true;
    return TerminalStatus::Ok;
}

PcscChannel::UiccFile PcscChannel::Resolve(const FilePath& gsmPath) {
    if (gsmPath.size() >= 2 && gsmPath[0] == kMaster && gsmPath[1] == kDfGsm && !usimAid_.empty())
        return {true, FilePath(gsmPath.begin() + 2, gsmPath.end())};
    if (gsmPath.size() == 3 && gsmPath[0] == kMaster && gsmPath[1] == kDfTelecom) {
        if (gsmPath[2] == kEfAdn && phoneBookKnown_)
            return phoneBook_;
        // A USIM keeps its short messages and their parameters, its own numbers and its fixed
        // and service dialling numbers in the application (3GPP TS 31.102 4.2).
        if (InUsimApplication(gsmPath[2]) && !usimAid_.empty())
            return {true, {gsmPath[2]}};
    }
    return {false, gsmPath};
}

TerminalStatus PcscChannel::SelectUicc(const UiccFile& file, CardReply& reply, bool withFcp) {
    reply = {};
    std::vector<Bytes> selects;
    if (file.inApplication) {
        if (usimAid_.empty()) {
            reply = CardReply::Answered(status_word::kFileNotFound);  // there is no USIM
            return TerminalStatus::Ok;
        }
        selects.push_back(SelectByName(usimAid_, withFcp && file.path.empty()));
    }
    for (std::size_t i = 0; i < file.path.size(); ++i)
        selects.push_back(SelectById(file.path[i], withFcp && i + 1 == file.path.size()));
    for (const auto& select : selects) {
        const TerminalStatus status = Transmit(select, reply);
        if (status != TerminalStatus::Ok || !reply.Executed())
            return status;
    }
    uiccCurrent_ = file;
    return TerminalStatus::Ok;
}

TerminalStatus PcscChannel::UiccFileInfo(const FilePath& gsmPath, FcpInfo& fcp, CardReply& reply) {
    TerminalStatus status = TerminalStatus::Ok;
    if (gsmPath.size() == 3 && gsmPath[2] == kEfAdn)
        status = FindPhoneBook();
    if (status != TerminalStatus::Ok)
        return status;
    status = SelectUicc(Resolve(gsmPath), reply);
    if (status != TerminalStatus::Ok)
        return status;
    if (!reply.Executed() || !ParseFcp(reply.data, fcp))
        return TerminalStatus::Failed;
    // The engine knows the file by its GSM identifier.
    fcp.info.fileIdHigh = static_cast<std::uint8_t>(gsmPath.back() >> 8);
    fcp.info.fileIdLow = static_cast<std::uint8_t>(gsmPath.back() & 0xFF);
    gsmPath_ = gsmPath;
    return TerminalStatus::Ok;
}

TerminalStatus PcscChannel::ReadTransparentUicc(const FilePath& gsmPath, Bytes& content,
                                                SimFileInfo& info) {
    CardReply reply;
    FcpInfo fcp;
    TerminalStatus status = UiccFileInfo(gsmPath, fcp, reply);
    if (status != TerminalStatus::Ok)
        return status;
    info = fcp.info;
    if (info.fileType != kFileTypeElementary || info.structure != 0)
        return TerminalStatus::Failed;
    const auto size = static_cast<std::uint8_t>(std::clamp<int>(fcp.fileSize, 1, 255));
    status = Transmit(Bytes{kUiccClass, ins::kReadBinary, 0x00, 0x00, size}, reply);
    if (status != TerminalStatus::Ok)
        return status;
    if (!reply.Executed())
        return TerminalStatus::Failed;
    content = reply.data;
    return TerminalStatus::Ok;
}

TerminalStatus PcscChannel::PinCounter(std::uint8_t instruction, std::uint8_t keyReference,
                                       int maximum, std::uint8_t& left) {
    // Without data the command only tells: 63 Cx, x tries left; 90 00, nothing to prove (the
    // PIN was verified, or is disabled, so its counter stands at its maximum); 69 83, blocked.
    CardReply reply;
    const TerminalStatus status =
        Transmit(Bytes{kUiccClass, instruction, 0x00, keyReference, 0x00}, reply);
    if (status != TerminalStatus::Ok)
        return status;
    if (const std::optional<int> tries = AttemptsLeft(reply.Status()))
        left = static_cast<std::uint8_t>(*tries);
    else if (reply.Executed())
        left = static_cast<std::uint8_t>(maximum);
    else
        left = 0;
    return TerminalStatus::Ok;
}

TerminalStatus PcscChannel::MasterStatus(const FcpInfo& master, SimFileInfo& info) {
    // The PIN status template of the master file may leave the application's PINs to the
    // application's own FCP.
    std::optional<bool> pin1 = PinEnabled(master.pins, kPin1);
    TerminalStatus status = TerminalStatus::Ok;
    if (!pin1 && !usimAid_.empty()) {
        CardReply reply;
        status = Transmit(SelectByName(usimAid_, true), reply);
        FcpInfo application;
        if (status == TerminalStatus::Ok && reply.Executed() && ParseFcp(reply.data, application))
            pin1 = PinEnabled(application.pins, kPin1);
        if (status == TerminalStatus::Ok)
            status = Transmit(SelectById(kMaster, false), reply);
        if (status != TerminalStatus::Ok)
            return status;
    }
    info.chv1Disabled = pin1.value_or(true) ? 0x00 : 0x80;
    const struct {
        std::uint8_t instruction;
        std::uint8_t reference;
        int maximum;
        std::uint8_t& left;
    } counters[] = {
        {ins::kVerifyChv, kPin1, kPinTries, info.chv1AttemptsLeft},
        {ins::kVerifyChv, kPin2, kPinTries, info.chv2AttemptsLeft},
        {ins::kUnblockChv, kPin1, kUnblockTries, info.unblockChv1AttemptsLeft},
        {ins::kUnblockChv, kPin2, kUnblockTries, info.unblockChv2AttemptsLeft},
    };
    for (const auto& counter : counters) {
        status = PinCounter(counter.instruction, counter.reference, counter.maximum, counter.left);
        if (status != TerminalStatus::Ok)
            return status;
    }
    info.chv1Initialised = info.chv2Initialised = 0x80;
    info.unblockChv1Initialised = info.unblockChv2Initialised = 0x80;
    info.numberOfCodes = 4;
    return TerminalStatus::Ok;
}

LinkResult PcscChannel::UiccCommand(const CommandHeader& header, std::uint8_t fileHigh,
                                    std::uint8_t fileLow, const Bytes& data, Bytes& response) {
    const std::uint8_t instruction = header[1];
    CardReply reply;
    TerminalStatus status = TerminalStatus::Ok;

    if (instruction == ins::kSelect) {
        const auto id = static_cast<std::uint16_t>(fileHigh << 8 | fileLow);
        const FilePath next = NextPath(gsmPath_, id);
        if (next.size() == 3 && next[2] == kEfAdn)
            status = FindPhoneBook();
        if (status == TerminalStatus::Ok)
            status = SelectUicc(Resolve(next), reply);
        if (status != TerminalStatus::Ok)
            return Finish(status);
        FcpInfo fcp;
        if (!reply.Executed() || !ParseFcp(reply.data, fcp)) {
            response = reply.Block();  // the card's refusal, as a GSM card's 94 04 would be
            return LinkResult::Ok;
        }
        fcp.info.fileIdHigh = fileHigh;
        fcp.info.fileIdLow = fileLow;
        if (fcp.info.fileType == kFileTypeMaster) {
            status = MasterStatus(fcp, fcp.info);
            if (status != TerminalStatus::Ok)
                return Finish(status);
        }
        gsmPath_ = next;
        response = GsmSelectResponse(fcp.info);
        return LinkResult::Ok;
    }

    Bytes apdu(header.begin(), header.end());
    apdu[0] = kUiccClass;
    switch (instruction) {
        case ins::kVerifyChv:
        case ins::kChangeChv:
        case ins::kUnblockChv:
            apdu[3] = KeyReference(header[3]);
            break;
        case ins::kDisableChv:
        case ins::kEnableChv:
            apdu[3] = kPin1;
            break;
        case ins::kStatus:
            apdu[0] = 0x80;
            break;
        default:
            break;
    }
    if (sim::CarriesData(instruction)) {
        Bytes body = data;
        body.resize(header[4], 0xFF);
        apdu.insert(apdu.end(), body.begin(), body.end());
    }
    status = Transmit(apdu, reply);
    if (status != TerminalStatus::Ok)
        return Finish(status);
    response = reply.Block();
    lastAnswerWasData_ = !reply.data.empty();
    return LinkResult::Ok;
}

}  // namespace pellucard
