// convert IN OUT: card records between .SPB, .sms, JSON and delimited text files.
#include <QJsonObject>

#include "cli/cli.h"
#include "cli/loss_report.h"
#include "cli/record_files.h"

namespace pellucard::cli {

FileOptions FileOptionsOf(const Arguments& args) {
    FileOptions options;
    if (const auto delimiter = args.Option("delimiter")) {
        if (*delimiter == "comma") {
            options.delimiter = QLatin1Char(',');
        } else if (*delimiter == "tab") {
            options.delimiter = QLatin1Char('\t');
        } else {
            throw Failure{kUsage, "--delimiter takes comma or tab"};
        }
    }
    if (const auto kind = args.Option("kind")) {
        if (*kind == "phonebook") {
            options.kind = RecordKind::PhoneBook;
        } else if (*kind == "sms") {
            options.kind = RecordKind::Sms;
        } else {
            throw Failure{kUsage, "--kind takes phonebook or sms"};
        }
    }
    if (const auto version = args.Option("vcard-version")) {
        if (*version == "2.1") {
            options.vCardVersion = VCardVersion::V21;
        } else if (*version == "3.0") {
            options.vCardVersion = VCardVersion::V30;
        } else if (*version == "4.0") {
            options.vCardVersion = VCardVersion::V40;
        } else {
            throw Failure{kUsage, "--vcard-version takes 2.1, 3.0 or 4.0"};
        }
    }
    options.force = args.Flag("force");
    return options;
}

int RunConvert(const Globals& globals, const Arguments& args) {
    args.Expect({"delimiter", "kind", "vcard-version"});
    const std::string in = args.Positional(1, "the file to convert");
    const std::string out = args.Positional(2, "the file to write");
    if (args.Positional().size() > 3)
        throw Failure{kUsage, "convert takes two files"};
    FileOptions options = FileOptionsOf(args);
    // Names are cut only where the output cannot hold them.
    options.phoneBookNames = PhoneBookNamesFor(FormatOf(out));
    // Every output keeps a USIM phone book's fields: JSON, text and vCard as they are, a
    // contact file in the contact fields that mean the same.
    options.usimColumns = true;
    // Phone book JSON holds contacts as entries, not personal records: a vCard's contact
    // becomes one.
    if (FormatOf(in) == FileFormat::VCard && FormatOf(out) == FileFormat::Json && !options.kind)
        options.kind = RecordKind::PhoneBook;
    // The output's kind, when its format fixes one, says what a JSON or text input holds.
    const CardList cards = ReadCardFile(in, options, KindOf(FormatOf(out)));
    const int written = WriteCardFile(cards, out, options);
    if (globals.json) {
        PrintJson(QJsonObject{{"input", QString::fromStdString(in)},
                              {"output", QString::fromStdString(out)},
                              {"kind", cards.kind == RecordKind::Sms ? "sms" : "phonebook"},
                              {"records_written", written},
                              {"losses", LossesJson(ListedLosses())}});
    } else {
        PrintLine("wrote " + Counted(written, "record", "records") + " to " + out);
    }
    return kSuccess;
}

}  // namespace pellucard::cli
