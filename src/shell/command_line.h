#pragma once

#include <QStringList>

#include "platform/reader_session.h"

namespace pellucard {

// What the program was asked for on its command line.
struct ProgramOptions {
    // As the command line tool has it: the USB SIM reader when one is plugged in, else a
    // smart-card reader holding a card; --demo or --reader choose another.
    ReaderChoice reader{ReaderChoice::Kind::Auto, {}};
};

// Reads the arguments (the program's name first). False with a one-line error when they make
// no sense. Options:
//   --demo            the built-in virtual reader with the demo card
//   --reader READER   auto, hid, pcsc[:NAME], virtual[:IMAGE] or socket:PATH
// (--help and --version are answered before the application starts.)
bool ParseProgramOptions(const QStringList& arguments, ProgramOptions& options, QString& error);

QString ProgramUsage();

}  // namespace pellucard
