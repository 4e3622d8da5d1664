#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace pellucard {

// What a reader service can say about cards without talking to them, so that a program that
// polls for a card spares the card (and itself) the commands while nothing is there to answer.
// Every call answers at once.
class CardPresenceWatch {
public:
    virtual ~CardPresenceWatch() = default;
    // False only when the readers say for certain that no card is in any reader that matters.
    virtual bool CardMayBePresent() = 0;
};

// The PC/SC readers' state through SCardGetStatusChange with no wait: each call takes in the
// changes since the last one (readers that came or went included, through the service's
// plug-and-play notification) and never waits for a new one. Without the service no card can be
// reached, so none may be present; the service is asked for again at every call.
class PcscCardWatch final : public CardPresenceWatch {
public:
    // `readerName` empty: any reader; otherwise the reader of that name or containing it.
    explicit PcscCardWatch(std::string readerName = {});
    ~PcscCardWatch() override;
    PcscCardWatch(const PcscCardWatch&) = delete;
    PcscCardWatch& operator=(const PcscCardWatch&) = delete;

    bool CardMayBePresent() override;
    // The service answered the last call.
    bool Connected() const { return context_ != 0; }

private:
    struct Reader {
        std::string name;
        unsigned long state = 0;  // the last event state seen
    };

    bool Establish();
    void Release();
    bool ListReaders();

    std::string wanted_;
    std::intptr_t context_ = 0;
    std::vector<Reader> readers_;
    unsigned long notificationState_ = 0;
};

// Either watch may see a card: the USB SIM reader beside the PC/SC readers.
class AnyCardWatch final : public CardPresenceWatch {
public:
    AnyCardWatch(std::function<bool()> first, std::unique_ptr<CardPresenceWatch> second)
        : first_(std::move(first)), second_(std::move(second)) {}
    bool CardMayBePresent() override { return first_() || second_->CardMayBePresent(); }

private:
    std::function<bool()> first_;
    std::unique_ptr<CardPresenceWatch> second_;
};

}  // namespace pellucard
