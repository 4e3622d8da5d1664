#pragma once

#include <QChar>

#include <optional>
#include <string>

#include "cli/cli.h"
#include "cli/record_rows.h"
#include "records/vcard.h"
#include "records/vcard_records.h"

namespace pellucard::cli {

// The files the tool reads and writes card records in, told apart by their extension
// (letter case aside): ".SPB" contact files and ".sms" message files as the program's
// windows keep them, the tool's JSON, delimited text (".csv", ".tsv", ".txt": comma,
// semicolon or tab, as its first line shows) with a first line of column titles, as the
// windows export and import it, and vCard (".vcf") as phones and contact services exchange
// contacts.
enum class FileFormat { Contacts, Messages, Json, Text, VCard };

struct FileOptions {
    std::optional<RecordKind> kind;  // --kind: what a JSON or text file holds
    // --delimiter: what text files are written with (by default "," for .csv, a tab for .txt
    // and .tsv) and read with (by default what their first line shows).
    std::optional<QChar> delimiter;
    bool force = false;  // --force: write even what the output cannot hold whole
    VCardVersion vCardVersion = VCardVersion::V30;  // --vcard-version 2.1|3.0|4.0
    // What the names of phone book entries made from vCards must fit: the name field of the
    // target, a card's (CardNameFit) or a .SPB file's (PhoneBookNamesFor); empty where names
    // may be of any length (JSON, text, vCard).
    NameFit phoneBookNames;
    // Read phone book text and vCards into a list with a USIM phone book's columns: a vCard's
    // contact becomes one entry with its second number, e-mail, nickname and category, a text
    // file's columns of them are taken. For outputs that hold them (a USIM card, JSON, text,
    // vCard, .SPB).
    bool usimColumns = false;
};

// The phone book names that a file of this format holds: a .SPB file's name field, any length
// in every other format.
NameFit PhoneBookNamesFor(FileFormat format);

// The options --delimiter comma|tab, --kind phonebook|sms, --vcard-version and --force.
FileOptions FileOptionsOf(const Arguments& args);

// Fails with a usage error for an extension the tool does not know.
FileFormat FormatOf(const std::string& path);

// The kind of records a format holds, when the format alone says it.
std::optional<RecordKind> KindOf(FileFormat format);

// Reads the records of a file into a list. `expected` is the kind the caller needs; a JSON
// or text file whose kind --kind does not give is taken as holding that kind, or failing
// that, the kind its content looks like. Fails with a message naming the file when it
// cannot be read or holds other records. What the file's text or vCard lines did not give as
// written (a value cut, a line or record left out or unread, a number no SIM can dial) stops
// it before anything is written unless options.force; notes (columns and properties that fill
// no field) go to stderr.
CardList ReadCardFile(const std::string& path, const FileOptions& options,
                      std::optional<RecordKind> expected);

// Writes slots 1..used of the list and gives the number of records written that hold
// something. Unless options.force is set, fails before writing when the output would lose
// text (a field too long for its place in a .SPB or .sms file, personal record fields or
// slots beyond 255 in JSON); with it, lists what it cuts or leaves out.
int WriteCardFile(const CardList& cards, const std::string& path, const FileOptions& options);

}  // namespace pellucard::cli
