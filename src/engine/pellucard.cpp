#include "engine/pellucard.h"

#include "engine/sim_commands.h"

namespace pellucard {

Pellucard::Pellucard(std::unique_ptr<CardChannel> channel) : channel_(std::move(channel)) {}

Pellucard::~Pellucard() {
    CloseReader();
}

bool Pellucard::OpenReader() {
    connected_ = false;
    connected_ = channel_->Open();
    return connected_;
}

void Pellucard::CloseReader() {
    ForgetCardState();
    connected_ = false;
    channel_->Close();
}

void Pellucard::ForgetCardState() {
    phoneBookRecordCount_ = 0;
    smsRecordCount_ = 0;
    phoneBookRecordLength_ = 0;
    smsRecordLength_ = 0;
    recordFiles_ = {};
    cardStatus_ = {};
    lastResult_ = false;
}

bool Pellucard::Track(LinkResult result) {
    // The channel closes itself when the reader vanishes; the engine follows.
    if (!channel_->IsOpen())
        connected_ = false;
    if (result == LinkResult::ReceiveFailed)
        ForgetCardState();
    lastResult_ = result == LinkResult::Ok;
    return lastResult_;
}

LinkResult Pellucard::AskReader(ReaderRequest request, Bytes& block) {
    LinkResult link = channel_->Request(request, block);
    if (link != LinkResult::Ok && channel_->IsOpen()) {
        ++repeatedExchanges_;
        link = channel_->Request(request, block);
    }
    return link;
}

CardOutcome Pellucard::ShortReply() {
    Track(LinkResult::ReceiveFailed);
    return CardOutcome::LinkFailed();
}

CardResult<Bytes> Pellucard::SendSimCommand(const CommandHeader& header, std::uint8_t fileHigh,
                                            std::uint8_t fileLow, const Bytes& data) {
    Bytes response;
    LinkResult link = channel_->SimCommand(header, fileHigh, fileLow, data, response);
    if (link != LinkResult::Ok && channel_->IsOpen() && sim::MayRepeat(header)) {
        ++repeatedExchanges_;
        response.clear();
        link = channel_->SimCommand(header, fileHigh, fileLow, data, response);
    }
    Track(link);
    const CardOutcome outcome = sim::JudgeAnswer(link, response);
    return {std::move(response), outcome};
}

CardResult<Bytes> Pellucard::SelectFile(std::uint16_t fileId) {
    return SendSimCommand(sim::Select(), static_cast<std::uint8_t>(fileId >> 8),
                          static_cast<std::uint8_t>(fileId & 0xFF));
}

CardResult<Bytes> Pellucard::SelectPath(std::initializer_list<std::uint16_t> path) {
    CardResult<Bytes> selected;
    for (const std::uint16_t fileId : path) {
        selected = SelectFile(fileId);
        if (selected.outcome.IsLinkFailed() && !connected_)
            break;
    }
    return selected;
}

bool Pellucard::Plausible(const SimFileInfo& s) {
    return s.chv1AttemptsLeft < 4 && s.chv2AttemptsLeft < 4 && s.unblockChv1AttemptsLeft < 11 &&
           s.unblockChv2AttemptsLeft < 11 &&
           (s.chv1AttemptsLeft > 0 || s.chv2AttemptsLeft > 0 || s.unblockChv1AttemptsLeft > 0 ||
            s.unblockChv2AttemptsLeft > 0);
}

CardOutcome Pellucard::LearnChvCounters() {
    if (!chvCountersStale_ && Plausible(cardStatus_))
        return CardOutcome::Done();
    return ReadMasterStatus();
}

bool Pellucard::ReadChvCounters() {
    return LearnChvCounters().IsDone() && Plausible(cardStatus_);
}

CardOutcome Pellucard::ReadMasterStatus() {
    // By way of EF ICCID, as the card status has always been read.
    CardResult<Bytes> master = SelectPath({0x2FE2, 0x3F00});
    if (master.value.size() > 201)
        master = SelectFile(0x3F00);
    if (master.outcome.IsLinkFailed() || master.value.size() > 200)
        return CardOutcome::LinkFailed();
    if (master.outcome.IsRefused()) {
        cardStatus_ = {};
        return master.outcome;
    }
    // The CHV counters sit in the last bytes of the master file's response; a shorter answer
    // holds none of them.
    if (master.value.size() < kDirectoryResponseLength)
        return ShortReply();
    cardStatus_ = ParseFileInfo(master.value);
    chvCountersStale_ = false;
    return master.outcome;
}

}  // namespace pellucard
