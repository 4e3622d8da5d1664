#include "platform/virtual_usim_reader.h"

#include "platform/pcsc_channel.h"
#include "simulator/card_image.h"
#include "simulator/virtual_uicc_card.h"

namespace pellucard {

TerminalStatus VirtualCardTerminal::Open() {
    open_ = true;
    return TerminalStatus::Ok;
}

TerminalStatus VirtualCardTerminal::Connect(Bytes& atr) {
    if (!open_)
        return TerminalStatus::NoReader;
    atr = card_->PowerOn();
    return TerminalStatus::Ok;
}

TerminalStatus VirtualCardTerminal::Transmit(const Bytes& apdu, Bytes& response) {
    if (!open_)
        return TerminalStatus::NoReader;
    const ApduResponse reply = card_->Transmit(apdu);
    response = reply.data;
    response.push_back(reply.sw1);
    response.push_back(reply.sw2);
    return TerminalStatus::Ok;
}

std::unique_ptr<ReaderSession> OpenVirtualUsimSession(const std::string& imagePath,
                                                      std::string& error) {
    QString why;
    CardImage image;
    const QString path = imagePath.empty() ? QString::fromLatin1(kDemoCardResource)
                                           : QString::fromStdString(imagePath);
    std::shared_ptr<VirtualUiccCard> card;
    if (ReadCardImageFile(path, image, why))
        card = VirtualUiccCard::FromImage(image, why);
    if (!card) {
        error = path.toStdString() + ": " + why.toStdString();
        return nullptr;
    }
    auto session = std::make_unique<ReaderSession>();
    auto channel = std::make_unique<PcscChannel>(std::make_unique<VirtualCardTerminal>(card));
    session->pcsc = channel.get();
    session->engine = std::make_unique<Pellucard>(std::move(channel));
    return session;
}

}  // namespace pellucard
