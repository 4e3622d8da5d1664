#pragma once

#include <QStringList>

#include <optional>

#include "platform/reader_session.h"

namespace pellucard {

// What the program was asked for on its command line.
struct ProgramOptions {
    // As the command line tool has it: the USB SIM reader when one is plugged in, else a
    // smart-card reader holding a card; --demo or --reader choose another.
    ReaderChoice reader{ReaderChoice::Kind::Auto, {}};
    // The language to start in (catalogue language index), when asked for; it is then
    // remembered for the next start.
    std::optional<int> language;
    // --demo or --reader named the reader: it wins over the one remembered, for this run.
    bool readerGiven = false;
    // --demo-usim: the demo card as a USIM in a smart-card reader of the program's own.
    bool usimDemo = false;
    // Save a picture of the main window here once the card has been read, then quit.
    QString screenshot;
    // Verify PIN1 with this code once the card is found and read the phone book into the
    // phone book window (for pictures of it); empty: nothing of the kind.
    QString readPhoneBookPin;
    // The same for the SMS window (--read-sms); at most one of the two is given.
    QString readSmsPin;
    // Record files to open (.SPB, .sms), absolute, each in the window for its kind.
    QStringList files;
};

// Reads the arguments (the program's name first). False with a one-line error when they make
// no sense. Options:
//   --demo            the built-in virtual reader with the demo card
//   --demo-usim       the demo card as a USIM, in a built-in smart-card reader
//   --reader READER   auto, hid, pcsc[:NAME], virtual[:IMAGE] or socket:PATH
//   --language K      start in language K (0 English ... 7 Spanish) and from now on
//   --read-phonebook PIN1  verify PIN1 and read the phone book into its window
//   --read-sms PIN1   verify PIN1 and read the messages into the SMS window
//   --screenshot FILE save a picture of the main window once the card is read, then quit
//   FILE...           record files to open (.SPB or .sms)
// (--help and --version are answered before the application starts.)
bool parseProgramOptions(const QStringList& arguments, ProgramOptions& options, QString& error);

QString programUsage();

}  // namespace pellucard
