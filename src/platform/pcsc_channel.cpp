// The PC/SC channel: opening, reset, the T=0 exchange with reconnection, and GSM 11.11 cards.
#include "platform/pcsc_channel.h"

#include <algorithm>

#include "engine/sim_commands.h"
#include "engine/sim_file_info.h"

namespace pellucard {

namespace {

constexpr std::uint8_t kGsmClass = 0xA0;

bool IsDirectory(std::uint16_t id) {
    const auto high = id >> 8;
    return high == 0x3F || high == 0x7F || high == 0x5F;
}

}  // namespace

PcscChannel::PcscChannel(std::unique_ptr<CardTerminal> terminal)
    : terminal_(std::move(terminal)), t0_(*terminal_) {}

bool PcscChannel::Open() {
    ForgetCard();
    return terminal_->Open() == TerminalStatus::Ok;
}

void PcscChannel::Close() {
    ForgetCard();
    terminal_->Close();
}

bool PcscChannel::IsOpen() const {
    return terminal_->IsOpen();
}

void PcscChannel::ForgetCard() {
    kind_ = CardKind::None;
    gsmPath_.clear();
    uiccCurrent_ = {};
    lastFileStatus_.clear();
    usimAid_.clear();
    phoneBookKnown_ = false;
    phoneBook_ = {};
    globalPhoneBook_.clear();
}

LinkResult PcscChannel::Finish(TerminalStatus status) {
    switch (status) {
        case TerminalStatus::Ok:
            return LinkResult::Ok;
        case TerminalStatus::NoService:
        case TerminalStatus::NoReader:
            // The reader is gone: the engine sees the channel closed and searches again.
            Close();
            return LinkResult::ReceiveFailed;
        case TerminalStatus::CardRemoved:
        case TerminalStatus::NoCard:
            // Resetting a card that is gone would only confuse the reader's idea of its slot.
            terminal_->DropCard();
            [[fallthrough]];
        default:
            // A card pulled out (or one that answered nothing usable) fails the command; the
            // card must be found again before anything else is believed of it.
            ForgetCard();
            return LinkResult::ReceiveFailed;
    }
}

TerminalStatus PcscChannel::Transmit(const Bytes& apdu, CardReply& reply) {
    TerminalStatus status = t0_.Exchange(apdu, reply);
    if (status != TerminalStatus::CardReset)
        return status;
    // Another program reset the card. The command never reached it: renew the connection, put
    // the card back where the engine left it, and send the command once more. PINs verified
    // before the reset stay unverified, as the card says when asked.
    if (terminal_->Reconnect() != TerminalStatus::Ok || !RestoreSelection())
        return TerminalStatus::CardReset;
    return t0_.Exchange(apdu, reply);
}

bool PcscChannel::RestoreSelection() {
    CardReply reply;
    if (kind_ == CardKind::Uicc) {
        if (!usimAid_.empty()) {
            Bytes select{0x00, sim::ins::kSelect, 0x04, 0x0C,
                         static_cast<std::uint8_t>(usimAid_.size())};
            select.insert(select.end(), usimAid_.begin(), usimAid_.end());
            if (t0_.Exchange(select, reply) != TerminalStatus::Ok)
                return false;
        }
        return uiccCurrent_.path.empty() || SelectUicc(uiccCurrent_, reply) == TerminalStatus::Ok;
    }
    for (const auto id : gsmPath_) {
        const Bytes select{kGsmClass,
                           sim::ins::kSelect,
                           0x00,
                           0x00,
                           0x02,
                           static_cast<std::uint8_t>(id >> 8),
                           static_cast<std::uint8_t>(id & 0xFF)};
        if (t0_.Exchange(select, reply) != TerminalStatus::Ok)
            return false;
    }
    return true;
}

LinkResult PcscChannel::ResetCard(Bytes& answerToReset) {
    answerToReset.clear();
    ForgetCard();
    if (!terminal_->IsOpen() && terminal_->Open() != TerminalStatus::Ok)
        return LinkResult::SendFailed;
    const TerminalStatus status = terminal_->Connect(answerToReset);
    if (status != TerminalStatus::Ok) {
        answerToReset.clear();
        return Finish(status);
    }
    if (answerToReset.empty())
        return LinkResult::ReceiveFailed;
    return Finish(DetectKind());
}

PcscChannel::FilePath PcscChannel::NextPath(const FilePath& current, std::uint16_t id) {
    // GSM 11.11 6.5 as the engine uses it: the master file from anywhere, a first-level
    // directory (7Fxx) from anywhere below the master file, a second-level directory (5Fxx)
    // below the current first-level one, an elementary file in the current directory.
    if (id == 0x3F00)
        return {0x3F00};
    FilePath directory = current.empty() ? FilePath{0x3F00} : current;
    if (!IsDirectory(directory.back()))
        directory.pop_back();
    if (!IsDirectory(id)) {
        directory.push_back(id);
        return directory;
    }
    if (directory.back() == id)
        return directory;
    if ((id >> 8) == 0x7F)
        return {0x3F00, id};
    if (directory.size() >= 3)
        directory.resize(2);
    directory.push_back(id);
    return directory;
}

TerminalStatus PcscChannel::SelectGsm(const FilePath& path, CardReply& reply) {
    for (const auto id : path) {
        const Bytes select{kGsmClass,
                           sim::ins::kSelect,
                           0x00,
                           0x00,
                           0x02,
                           static_cast<std::uint8_t>(id >> 8),
                           static_cast<std::uint8_t>(id & 0xFF)};
        const TerminalStatus status = Transmit(select, reply);
        if (status != TerminalStatus::Ok)
            return status;
        if (!reply.Executed())
            return TerminalStatus::Failed;
    }
    gsmPath_ = path;
    return TerminalStatus::Ok;
}

TerminalStatus PcscChannel::ReadTransparentGsm(const FilePath& path, Bytes& content,
                                               SimFileInfo& info) {
    CardReply reply;
    TerminalStatus status = SelectGsm(path, reply);
    if (status != TerminalStatus::Ok)
        return status;
    info = ParseFileInfo(reply.data);
    const auto size = static_cast<std::uint8_t>(std::clamp<int>(info.sizeOrRecordCount, 0, 255));
    status = Transmit(Bytes{kGsmClass, sim::ins::kReadBinary, 0x00, 0x00, size}, reply);
    if (status != TerminalStatus::Ok)
        return status;
    if (!reply.Executed())
        return TerminalStatus::Failed;
    content = reply.data;
    return TerminalStatus::Ok;
}

TerminalStatus PcscChannel::ReadTransparent(const FilePath& gsmPath, Bytes& content,
                                            SimFileInfo& info) {
    return kind_ == CardKind::Uicc ? ReadTransparentUicc(gsmPath, content, info)
                                   : ReadTransparentGsm(gsmPath, content, info);
}

TerminalStatus PcscChannel::FileStatusBlock(const FilePath& gsmPath, Bytes& block) {
    CardReply reply;
    if (kind_ == CardKind::Gsm) {
        const TerminalStatus status = SelectGsm(gsmPath, reply);
        if (status == TerminalStatus::Ok)
            block = reply.data;
        return status;
    }
    FcpInfo fcp;
    const TerminalStatus status = UiccFileInfo(gsmPath, fcp, reply);
    if (status == TerminalStatus::Ok)
        block = GsmSelectResponse(fcp.info);
    return status;
}

LinkResult PcscChannel::Request(ReaderRequest request, Bytes& block) {
    block.clear();
    if (kind_ == CardKind::None)
        return LinkResult::ReceiveFailed;
    const bool uicc = kind_ == CardKind::Uicc;
    // Files that DF GSM holds on a SIM are the USIM application's on a UICC, under the same
    // identifiers; Resolve() puts them there.
    SimFileInfo info;
    TerminalStatus status = TerminalStatus::Ok;
    switch (request) {
        case ReaderRequest::ServiceTable:
            status = ReadTransparent({0x3F00, 0x7F20, 0x6F38}, block, info);
            if (status == TerminalStatus::Ok && uicc)
                block = GsmServiceTableFromUst(block);
            break;
        case ReaderRequest::Iccid:
            status = ReadTransparent({0x3F00, 0x2FE2}, block, info);
            lastFileStatus_ = status == TerminalStatus::Ok ? ReaderFileStatusLayout(info) : Bytes{};
            break;
        case ReaderRequest::ServiceProviderName:
            status = ReadTransparent({0x3F00, 0x7F20, 0x6F46}, block, info);
            lastFileStatus_ = status == TerminalStatus::Ok ? ReaderFileStatusLayout(info) : Bytes{};
            break;
        case ReaderRequest::SmsFileStatus:
            status = FileStatusBlock({0x3F00, 0x7F10, 0x6F3C}, block);
            break;
        case ReaderRequest::PhoneBookFileStatus:
            status = FileStatusBlock({0x3F00, 0x7F10, 0x6F3A}, block);
            break;
        case ReaderRequest::LastDialledFileStatus:
            status = FileStatusBlock({0x3F00, 0x7F10, 0x6F44}, block);
            break;
        case ReaderRequest::Phase:
            if (uicc) {
                // A USIM has no phase file; it is at least what GSM 11.11 calls phase 2+.
                block = {0x03};
            } else {
                status = ReadTransparent({0x3F00, 0x7F20, 0x6FAE}, block, info);
            }
            break;
        case ReaderRequest::FileStatus:
            block = lastFileStatus_;
            break;
    }
    // The reader protocol knows no empty answer: a file that is missing or unreadable is a
    // failed request, as it is with the USB SIM reader.
    if (status == TerminalStatus::Failed || (status == TerminalStatus::Ok && block.empty())) {
        block.clear();
        return LinkResult::ReceiveFailed;
    }
    if (status != TerminalStatus::Ok)
        block.clear();
    return Finish(status);
}

LinkResult PcscChannel::SimCommand(const CommandHeader& header, std::uint8_t fileHigh,
                                   std::uint8_t fileLow, const Bytes& data, Bytes& response) {
    response.clear();
    lastAnswerWasData_ = false;
    switch (kind_) {
        case CardKind::Gsm:
            return GsmCommand(header, fileHigh, fileLow, data, response);
        case CardKind::Uicc:
            return UiccCommand(header, fileHigh, fileLow, data, response);
        case CardKind::None:
            break;
    }
    return LinkResult::ReceiveFailed;
}

LinkResult PcscChannel::GsmCommand(const CommandHeader& header, std::uint8_t fileHigh,
                                   std::uint8_t fileLow, const Bytes& data, Bytes& response) {
    Bytes apdu(header.begin(), header.end());
    apdu[0] = kGsmClass;
    const std::uint8_t instruction = header[1];
    if (instruction == sim::ins::kSelect) {
        apdu[4] = 2;
        apdu.push_back(fileHigh);
        apdu.push_back(fileLow);
    } else if (sim::CarriesData(instruction)) {
        // P3 says how many bytes go to the card; the command carries exactly those.
        Bytes body = data;
        body.resize(header[4], 0xFF);
        apdu.insert(apdu.end(), body.begin(), body.end());
    }
    CardReply reply;
    const TerminalStatus status = Transmit(apdu, reply);
    if (status != TerminalStatus::Ok)
        return Finish(status);
    if (instruction == sim::ins::kSelect && reply.Executed())
        gsmPath_ = NextPath(gsmPath_, static_cast<std::uint16_t>(fileHigh << 8 | fileLow));
    response = reply.Block();
    lastAnswerWasData_ = !reply.data.empty();
    return LinkResult::Ok;
}

}  // namespace pellucard
