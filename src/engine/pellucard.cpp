#include "engine/pellucard.h"

#include "engine/sim_commands.h"

namespace pellucard {

Pellucard::Pellucard(std::unique_ptr<CardChannel> channel) : channel_(std::move(channel)) {}

Pellucard::~Pellucard() {
    Release();
}

bool Pellucard::FindReader() {
    connected_ = false;
    connected_ = channel_->Open();
    return connected_;
}

void Pellucard::Release() {
    ResetCardState();
    connected_ = false;
    channel_->Close();
}

void Pellucard::SetReaderPresent(bool present) {
    if (!present) {
        Release();
    } else {
        connected_ = channel_->IsOpen();
    }
}

void Pellucard::ResetCardState() {
    phoneBookRecordCount_ = 0;
    smsRecordCount_ = 0;
    lastDialledRecordCount_ = 0;
    phoneBookRecordLength_ = 0;
    smsRecordLength_ = 0;
    cardStatus_ = {};
    lastResult_ = false;
}

bool Pellucard::Track(LinkResult result) {
    // The channel closes itself when the reader vanishes; the engine follows.
    if (!channel_->IsOpen())
        connected_ = false;
    if (result == LinkResult::ReceiveFailed)
        ResetCardState();
    lastResult_ = result == LinkResult::Ok;
    lastOutcome_ = lastResult_ ? CardOutcome::Done() : CardOutcome::LinkFailed();
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

bool Pellucard::ShortReply() {
    Track(LinkResult::ReceiveFailed);
    return false;
}

bool Pellucard::SendSimCommand(const CommandHeader& header, std::uint8_t fileHigh,
                               std::uint8_t fileLow, Bytes& data) {
    Bytes response;
    LinkResult link = channel_->SimCommand(header, fileHigh, fileLow, data, response);
    if (link != LinkResult::Ok && channel_->IsOpen() && sim::MayRepeat(header)) {
        ++repeatedExchanges_;
        response.clear();
        link = channel_->SimCommand(header, fileHigh, fileLow, data, response);
    }
    const bool ok = Track(link);
    lastOutcome_ = sim::JudgeAnswer(link, response);
    lastResponse_ = response;
    data = std::move(response);
    return ok;
}

bool Pellucard::SelectFile(std::uint8_t high, std::uint8_t low, Bytes& response) {
    response.clear();
    return SendSimCommand(sim::Select(), high, low, response);
}

static bool Plausible(const SimFileInfo& s) {
    return s.chv1AttemptsLeft < 4 && s.chv2AttemptsLeft < 4 && s.unblockChv1AttemptsLeft < 11 &&
           s.unblockChv2AttemptsLeft < 11 &&
           (s.chv1AttemptsLeft > 0 || s.chv2AttemptsLeft > 0 || s.unblockChv1AttemptsLeft > 0 ||
            s.unblockChv2AttemptsLeft > 0);
}

bool Pellucard::ReadChvCounters() {
    if (!chvCountersStale_ && Plausible(cardStatus_))
        return true;
    return ReadMasterStatus() && Plausible(cardStatus_);
}

bool Pellucard::ReadMasterStatus() {
    Bytes response;
    SelectFile2F(0xE2, response);
    SelectFile3F(0x00, response);
    if (response.size() > 201)
        SelectFile3F(0x00, response);
    if (!lastResult_ || response.size() > 200)
        return false;
    // The CHV counters sit in the last bytes of the master file's response; a shorter answer
    // holds none of them.
    if (lastOutcome_.IsDone() && response.size() < kDirectoryResponseLength)
        return ShortReply();
    cardStatus_ = ParseFileInfo(response);
    chvCountersStale_ = false;
    return true;
}

}  // namespace pellucard
