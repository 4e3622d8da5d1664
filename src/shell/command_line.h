#pragma once

#include <QStringList>

#include "platform/reader_session.h"

namespace pellucard {

// What the program was asked for on its command line.
struct ProgramOptions {
    ReaderChoice reader;  // the USB reader unless --demo or --reader says otherwise
};

// Reads the arguments (the program's name first). False with a one-line error when they make
// no sense. Options:
//   --demo            the built-in virtual reader with the demo card
//   --reader READER   hid, virtual[:IMAGE] or socket:PATH
// (--help and --version are answered before the application starts.)
bool ParseProgramOptions(const QStringList& arguments, ProgramOptions& options, QString& error);

QString ProgramUsage();

}  // namespace pellucard
