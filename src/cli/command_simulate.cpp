// simulate: serve the virtual reader on a Unix socket, or the virtual card to pcscd through
// vpcd, until interrupted.
#include <QString>

#include <atomic>
#include <csignal>
#include <iostream>

#include "cli/cli.h"
#include "platform/socket_bus.h"
#include "platform/virtual_reader.h"
#include "platform/virtual_sim_card.h"
#include "platform/virtual_uicc_card.h"
#include "platform/vpcd_server.h"

namespace pellucard::cli {

namespace {
std::atomic<bool> stopRequested{false};
void RequestStop(int) {
    stopRequested = true;
}

CardImage LoadImage(const std::optional<std::string>& path) {
    CardImage image;
    QString why;
    const QString file =
        path ? QString::fromStdString(*path) : QString::fromLatin1(kDemoCardResource);
    if (!ReadCardImageFile(file, image, why))
        throw Failure{kUsage, (path ? *path : std::string("demo card")) + ": " + why.toStdString()};
    return image;
}

// The card through pcscd: vpcd's card side, a GSM SIM or, with --uicc, a USIM-only card.
int ServePcsc(const Arguments& args, const std::optional<std::string>& image) {
    VpcdOptions options;
    options.port = static_cast<std::uint16_t>(args.IntOption("port", options.port, 1, 65535));
    options.pullAfter = args.IntOption("pull-after", -1, 0, 1000000);
    const CardImage content = LoadImage(image);
    QString why;
    std::shared_ptr<SimCard> card;
    std::function<bool(QString&)> save;
    if (args.Flag("uicc")) {
        std::shared_ptr<VirtualUiccCard> uicc = VirtualUiccCard::FromImage(content, why);
        if (uicc && image)
            save = [uicc, image](QString& error) {
                return uicc->SaveToFile(QString::fromStdString(*image), error);
            };
        card = uicc;
    } else {
        std::shared_ptr<VirtualSimCard> gsm = VirtualSimCard::FromImage(content, why);
        if (gsm && image)
            save = [gsm, image](QString& error) {
                return gsm->SaveToFile(QString::fromStdString(*image), error);
            };
        card = gsm;
    }
    if (!card)
        throw Failure{kUsage,
                      (image ? *image : std::string("demo card")) + ": " + why.toStdString()};

    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    std::string error;
    const bool served = ServeCardToVpcd(
        *card, options, stopRequested,
        [](const std::string& line) { std::cerr << line << std::endl; }, error);
    if (!served)
        throw Failure{kCardFailure, error};
    if (save && !save(why))
        throw Failure{kCardFailure, "saving the card to " + *image + ": " + why.toStdString()};
    return kSuccess;
}

}  // namespace

int RunSimulate(const Globals& globals, const Arguments& raw) {
    (void)globals;
    const Arguments& args = raw;
    args.Expect({"socket", "image", "profile", "port", "pull-after"});
    const auto image = args.Option("image");
    if (args.Flag("pcsc")) {
        if (args.Option("socket") || args.Option("profile"))
            throw Failure{kUsage, "--pcsc serves pcscd; --socket and --profile are for the socket"};
        return ServePcsc(args, image);
    }
    if (args.Flag("uicc") || args.Option("port") || args.Option("pull-after"))
        throw Failure{kUsage, "--uicc, --port and --pull-after go with --pcsc"};
    const std::string path = args.RequiredOption("socket");
    const std::string profile = args.Option("profile").value_or("instant");
    if (profile != "instant" && profile != "realistic") {
        throw Failure{kUsage, "--profile is instant or realistic"};
    }

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
