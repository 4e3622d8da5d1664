#include "shell/command_line.h"

#include <QFileInfo>

namespace pellucard {
namespace {

// A word that names a record file: the phone book and personal record files (.SPB) and the SMS
// files (.sms), in either case.
bool isRecordFileName(const QString& word) {
    return !word.startsWith(u'-') && (word.endsWith(QLatin1String(".spb"), Qt::CaseInsensitive) ||
                                      word.endsWith(QLatin1String(".sms"), Qt::CaseInsensitive));
}

}  // namespace

bool parseProgramOptions(const QStringList& arguments, ProgramOptions& options, QString& error) {
    options = {};
    bool demo = false;
    QString reader;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (word == QLatin1String("--demo")) {
            demo = true;
        } else if (word == QLatin1String("--demo-usim")) {
            demo = true;
            options.usimDemo = true;
        } else if (word == QLatin1String("--reader") ||
                   word.startsWith(QLatin1String("--reader="))) {
            if (word.contains(QLatin1Char('='))) {
                reader = word.section(QLatin1Char('='), 1);
            } else if (i + 1 < arguments.size()) {
                reader = arguments[++i];
            } else {
                error = QStringLiteral("option --reader needs a value");
                return false;
            }
            if (reader.isEmpty()) {
                error = QStringLiteral("option --reader needs a value");
                return false;
            }
        } else if (word == QLatin1String("--language") || word == QLatin1String("--screenshot") ||
                   word == QLatin1String("--read-phonebook") ||
                   word == QLatin1String("--read-sms")) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("option %1 needs a value").arg(word);
                return false;
            }
            const QString value = arguments[++i];
            if (word == QLatin1String("--screenshot")) {
                options.screenshot = value;
                continue;
            }
            if (word == QLatin1String("--read-phonebook")) {
                if (value.isEmpty()) {
                    error = QStringLiteral("--read-phonebook needs the card's PIN1");
                    return false;
                }
                options.readPhoneBookPin = value;
                continue;
            }
            if (word == QLatin1String("--read-sms")) {
                if (value.isEmpty()) {
                    error = QStringLiteral("--read-sms needs the card's PIN1");
                    return false;
                }
                options.readSmsPin = value;
                continue;
            }
            bool number = false;
            const int language = value.toInt(&number);
            if (!number || language < 0 || language > 7) {
                error = QStringLiteral("--language takes a number from 0 (English) to 7 (Spanish)");
                return false;
            }
            options.language = language;
        } else if (isRecordFileName(word)) {
            options.files.append(QFileInfo(word).absoluteFilePath());
        } else {
            error = QStringLiteral("unknown argument '%1'").arg(word);
            return false;
        }
    }
    if (!options.readPhoneBookPin.isEmpty() && !options.readSmsPin.isEmpty()) {
        error = QStringLiteral("--read-phonebook and --read-sms read into two windows; give one");
        return false;
    }
    if (demo && !reader.isEmpty()) {
        error = QStringLiteral("--demo and --reader name two readers; give one of them");
        return false;
    }
    options.readerGiven = demo || !reader.isEmpty();
    if (demo) {
        options.reader = {ReaderChoice::Kind::Virtual, {}};
        return true;
    }
    if (reader.isEmpty())
        return true;
    std::string why;
    if (!ParseReaderChoice(reader.toStdString(), options.reader, why)) {
        error = QString::fromStdString(why);
        return false;
    }
    return true;
}

QString programUsage() {
    return QStringLiteral(
        "usage: pellucard [--demo | --demo-usim | --reader READER] [--language K]\n"
        "                 [--read-phonebook PIN1 | --read-sms PIN1] [--screenshot FILE]\n"
        "                 [FILE.SPB | FILE.sms]...\n"
        "\n"
        "Reads and writes the phone book and short messages of a GSM SIM card in a USB SIM card\n"
        "reader, and manages the card's PIN codes.\n"
        "\n"
        "Record files named on the command line open in the window for their kind; when the\n"
        "program runs already, its window comes forward and opens them.\n"
        "\n"
        "Options:\n"
        "  --demo           run on the built-in virtual reader with the demo card\n"
        "  --demo-usim      run on the demo card made a USIM (with its USIM phone book),\n"
        "                   in a built-in smart-card reader\n"
        "  --reader READER  the reader to use:\n"
        "      auto             the USB SIM card reader when one is plugged in, else the first\n"
        "                       smart-card reader holding a card (default)\n"
        "      hid              the USB SIM card reader\n"
        "      pcsc[:NAME]      a smart-card reader of the PC/SC service (pcscd)\n"
        "      virtual[:IMAGE]  the built-in virtual reader with the demo card or a card\n"
        "                       image (JSON)\n"
        "      socket:PATH      a reader emulator behind a Unix socket\n"
        "  --language K     start in language K: 0 English, 1 Dutch, 2 French, 3 German,\n"
        "                   4 Greek, 5 Italian, 6 Portuguese, 7 Spanish; it is remembered\n"
        "                   like a choice in the Language menu (without this option the\n"
        "                   program starts in the language chosen last, or at first in\n"
        "                   the one nearest the desktop's language)\n"
        "  --read-phonebook PIN1  once the card is found, verify PIN1 and read the\n"
        "                         card's phone book into the phone book window\n"
        "  --read-sms PIN1  the same with the card's messages and the SMS window\n"
        "  --screenshot FILE  save a picture of the main window (PNG) once the card has\n"
        "                     been read, then quit\n"
        "  --help, --version\n");
}

}  // namespace pellucard
