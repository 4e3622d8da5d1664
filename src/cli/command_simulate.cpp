// simulate: serve the virtual reader on a Unix socket until interrupted.
#include <QString>

#include <atomic>
#include <csignal>
#include <iostream>

#include "cli/cli.h"
#include "platform/socket_bus.h"
#include "platform/virtual_reader.h"
#include "platform/virtual_sim_card.h"

namespace pellucard::cli {

namespace {
std::atomic<bool> stopRequested{false};
void RequestStop(int) {
    stopRequested = true;
}
}  // namespace

int RunSimulate(const Globals& globals, const Arguments& args) {
    (void)globals;
    args.Expect({"socket", "image", "profile"});
    const std::string path = args.RequiredOption("socket");
    const std::string profile = args.Option("profile").value_or("instant");
    if (profile != "instant" && profile != "realistic") {
        throw Failure{kUsage, "--profile is instant or realistic"};
    }
    const auto image = args.Option("image");

    QString why;
    std::shared_ptr<VirtualSimCard> card =
        image ? VirtualSimCard::FromFile(QString::fromStdString(*image), why)
              : VirtualSimCard::Demo(why);
    if (!card)
        throw Failure{kUsage,
                      (image ? *image : std::string("demo card")) + ": " + why.toStdString()};

    VirtualReader reader(SystemClock(), profile == "realistic" ? ReaderTiming::Realistic()
                                                               : ReaderTiming::Instant());
    reader.InsertCard(card);

    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    std::cerr << "serving the virtual reader on " << path << " (Ctrl+C ends)" << std::endl;
    std::string error;
    if (!ServeReaderOnSocket(reader, path, stopRequested, error))
        throw Failure{kCardFailure, error};
    if (image && !card->SaveToFile(QString::fromStdString(*image), why)) {
        throw Failure{kCardFailure, "saving the card to " + *image + ": " + why.toStdString()};
    }
    return kSuccess;
}

}  // namespace pellucard::cli
