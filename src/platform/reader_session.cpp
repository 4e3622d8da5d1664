#include "platform/reader_session.h"

#include "engine/hid_report_link.h"
#include "platform/auto_channel.h"
#include "platform/card_presence_watch.h"
#include "platform/hidapi_bus.h"
#include "platform/pcsc_channel.h"
#include "platform/pcsc_terminal.h"
#include "platform/socket_bus.h"
#include "simulator/virtual_reader.h"
#include "simulator/virtual_sim_card.h"

namespace pellucard {

bool ParseReaderChoice(std::string_view text, ReaderChoice& choice, std::string& error) {
    const auto colon = text.find(':');
    const std::string_view kind = text.substr(0, colon);
    const std::string argument =
        colon == std::string_view::npos ? std::string() : std::string(text.substr(colon + 1));
    if (kind == "hid" && argument.empty()) {
        choice = {ReaderChoice::Kind::Hid, {}};
        return true;
    }
    if (kind == "auto" && colon == std::string_view::npos) {
        choice = {ReaderChoice::Kind::Auto, {}};
        return true;
    }
    if (kind == "pcsc") {
        choice = {ReaderChoice::Kind::Pcsc, argument};
        return true;
    }
    if (kind == "virtual") {
        choice = {ReaderChoice::Kind::Virtual, argument};
        return true;
    }
    if (kind == "socket" && !argument.empty()) {
        choice = {ReaderChoice::Kind::Socket, argument};
        return true;
    }
    error = "unknown reader '" + std::string(text) +
            "': use auto, hid, pcsc, pcsc:NAME, virtual, virtual:IMAGE or socket:PATH";
    return false;
}

ReaderSession::ReaderSession() = default;
ReaderSession::~ReaderSession() {
    // The engine lets go of its reader before the watch and the clock it may use go.
    engine.reset();
}

std::string ReaderSession::WhyNoReader() const {
    return pcsc ? pcsc->LastError() : std::string();
}

bool ReaderSession::LoadVirtualCard(const std::string& path, std::string& error) {
    if (!virtualReader) {
        error = "the reader is not the virtual reader";
        return false;
    }
    QString why;
    std::unique_ptr<VirtualSimCard> card =
        path.empty() ? VirtualSimCard::Demo(why)
                     : VirtualSimCard::FromFile(QString::fromStdString(path), why);
    if (!card) {
        error = (path.empty() ? std::string("demo card") : path) + ": " + why.toStdString();
        return false;
    }
    virtualCard = std::move(card);
    imagePath = path;
    virtualReader->InsertCard(virtualCard);
    return true;
}

bool ReaderSession::SaveVirtualCard(std::string& error) const {
    if (!virtualCard || imagePath.empty())
        return true;
    QString why;
    if (virtualCard->SaveToFile(QString::fromStdString(imagePath), why))
        return true;
    error = imagePath + ": " + why.toStdString();
    return false;
}

std::unique_ptr<ReaderSession> OpenReaderSession(const ReaderChoice& choice, bool realistic,
                                                 std::string& error) {
    auto session = std::make_unique<ReaderSession>();
    if (choice.kind == ReaderChoice::Kind::Pcsc) {
        auto channel =
            std::make_unique<PcscChannel>(std::make_unique<PcscTerminal>(choice.argument));
        session->pcsc = channel.get();
        session->watch = std::make_unique<PcscCardWatch>(choice.argument);
        session->engine = std::make_unique<Pellucard>(std::move(channel));
        return session;
    }
    std::shared_ptr<ReportBus> bus;
    switch (choice.kind) {
        case ReaderChoice::Kind::Hid:
        case ReaderChoice::Kind::Auto:
            bus = std::make_shared<HidapiBus>();
            break;
        case ReaderChoice::Kind::Pcsc:
            break;
        case ReaderChoice::Kind::Socket:
            bus = std::make_shared<SocketBus>(choice.argument);
            break;
        case ReaderChoice::Kind::Virtual:
            if (!realistic)
                session->clock = std::make_unique<InstantClock>();
            session->virtualReader = std::make_shared<VirtualReader>(
                session->clock ? *session->clock : SystemClock(),
                realistic ? ReaderTiming::Realistic() : ReaderTiming::Instant());
            if (!session->LoadVirtualCard(choice.argument, error))
                return nullptr;
            bus = std::make_shared<VirtualReaderBus>(session->virtualReader);
            break;
    }
    const std::shared_ptr<ReportBus> usbBus = bus;
    auto link = std::make_unique<HidReportLink>(std::move(bus),
                                                session->clock ? *session->clock : SystemClock());
    session->link = link.get();
    if (choice.kind != ReaderChoice::Kind::Auto) {
        session->engine = std::make_unique<Pellucard>(std::move(link));
        return session;
    }
    // Only a smart-card reader that holds a card is taken for the SIM reader a person means.
    auto pcsc = std::make_unique<PcscChannel>(std::make_unique<PcscTerminal>(std::string(), true));
    session->pcsc = pcsc.get();
    session->watch = std::make_unique<AnyCardWatch>(
        [usbBus] {
            for (const auto& info : usbBus->Enumerate()) {
                if (info.vendor == kReaderVendor && info.product == kReaderProduct)
                    return true;
            }
            return false;
        },
        std::make_unique<PcscCardWatch>());
    session->engine = std::make_unique<Pellucard>(
        std::make_unique<AutoChannel>(std::move(link), std::move(pcsc)));
    return session;
}

}  // namespace pellucard
