// simulate: serve the virtual reader on a Unix socket, or the virtual card to pcscd through
// vpcd, until interrupted.
#include <QString>

#include <atomic>
#include <csignal>
#include <iostream>

#include "cli/cli.h"
#include "platform/socket_bus.h"
#include "simulator/virtual_reader.h"
#include "simulator/virtual_sim_card.h"
#include "simulator/virtual_uicc_card.h"
#include "simulator/vpcd_server.h"

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

// --refuse read:6F3A:17:9804,update:6F3C:*:6F00 : refusals the card gives.
std::vector<CardRefusal> RefusalsOf(const Arguments& args) {
    std::vector<CardRefusal> refusals;
    const auto given = args.Option("refuse");
    if (!given)
        return refusals;
    std::size_t start = 0;
    while (start <= given->size()) {
        const auto end = std::min(given->find(',', start), given->size());
        CardRefusal refusal;
        std::string why;
        if (!ParseCardRefusal(std::string_view(*given).substr(start, end - start), refusal, why))
            throw Failure{kUsage, "--refuse: " + why};
        refusals.push_back(refusal);
        start = end + 1;
    }
    return refusals;
}

// The virtual reader's misbehaviour, for demonstrations and tests of a failing reader.
ReaderFaults FaultsOf(const Arguments& args) {
    ReaderFaults faults;
    faults.lostAcknowledgements = args.IntOption("lose-acks", 0, 0, 1000000);
    faults.lostAcknowledgementAfter = args.IntOption("lose-ack-at", -1, 0, 1000000);
    faults.readyLateReads = args.IntOption("ready-late", 0, 0, 1000000);
    faults.readyNever = args.Flag("no-ready");
    faults.readyDropAfter = args.IntOption("drop-ready", -1, 0, 1000000);
    faults.silent = args.Flag("silent");
    faults.silentAfterReports = args.IntOption("silent-after", -1, 0, 1000000);
    faults.unplugAfterReports = args.IntOption("unplug-after", -1, 0, 1000000);
    if (args.Option("lose-answer"))
        faults.loseAnswerOf = static_cast<std::uint8_t>(args.IntOption("lose-answer", 0, 0, 255));
    return faults;
}

bool HasReaderFaults(const Arguments& args) {
    return args.Option("lose-acks") || args.Option("lose-ack-at") || args.Option("ready-late") ||
           args.Flag("no-ready") || args.Option("drop-ready") || args.Option("silent-after") ||
           args.Flag("silent") || args.Option("unplug-after") || args.Option("lose-answer");
}

// The card through pcscd: vpcd's card side, a GSM SIM or, with --uicc, a USIM-only card.
int ServePcsc(const Arguments& args, const std::optional<std::string>& image) {
    VpcdOptions options;
    options.port = static_cast<std::uint16_t>(args.IntOption("port", options.port, 1, 65535));
    options.pullAfter = args.IntOption("pull-after", -1, 0, 1000000);
    CardImage content = LoadImage(image);
    for (const auto& refusal : RefusalsOf(args))
        content.refusals.push_back(refusal);
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
    args.Expect({"socket", "image", "profile", "port", "pull-after", "refuse", "lose-acks",
                 "lose-ack-at", "ready-late", "drop-ready", "silent-after", "unplug-after",
                 "lose-answer"});
    const auto image = args.Option("image");
    if (args.Flag("pcsc")) {
        if (args.Option("socket") || args.Option("profile") || HasReaderFaults(args))
            throw Failure{kUsage,
                          "--pcsc serves pcscd; --socket, --profile and the reader's "
                          "faults are for the socket"};
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

    for (const auto& refusal : RefusalsOf(args))
        card->AddRefusal(refusal);

    VirtualReader reader(SystemClock(), profile == "realistic" ? ReaderTiming::Realistic()
                                                               : ReaderTiming::Instant());
    reader.Faults() = FaultsOf(args);
    reader.InsertCard(card);

    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    std::cerr << "serving the virtual reader on " << path << " (Ctrl+C ends)" << std::endl;
    std::string error;
    if (!ServeReaderOnSocket(reader, path, stopRequested, error))
        throw Failure{kCardFailure, error};
    std::cerr << "acknowledgements: " << reader.AcknowledgementsPutOut()
              << ", reports sent again by the host: " << reader.RepeatedReports() << std::endl;
    if (image && !card->SaveToFile(QString::fromStdString(*image), why)) {
        throw Failure{kCardFailure, "saving the card to " + *image + ": " + why.toStdString()};
    }
    return kSuccess;
}

}  // namespace pellucard::cli
