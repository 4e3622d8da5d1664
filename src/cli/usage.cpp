#include <map>

#include "cli/cli.h"

namespace pellucard::cli {

std::string Usage(const std::string& command) {
    static const std::map<std::string, std::string> kUsage = {
        {"",
         "usage: pellucard-cli [--reader READER] [--pin PIN1] [--json] COMMAND ...\n"
         "\n"
         "Reads and writes a GSM SIM card through a SIM card reader.\n"
         "\n"
         "commands:\n"
         "  info                          the card's identity, counts and PIN state\n"
         "  phonebook read|write ...      the card's phone book as JSON or in a file\n"
         "  sms read|write ...            the card's short messages as JSON or in a file\n"
         "  convert IN OUT                records between .SPB, .sms, JSON, .csv, .txt, .vcf\n"
         "  backup FILE                   every phone book and SMS record of the card, as JSON\n"
         "  restore FILE                  writes a backup back to the card and checks it\n"
         "  pin verify|change|enable|disable|unblock ...\n"
         "  decode adn|alpha|sms|digits HEX\n"
         "  encode adn|alpha|sms|digits ...\n"
         "  simulate --socket PATH        serve the virtual reader on a Unix socket\n"
         "  simulate --pcsc [--uicc]      serve the virtual card to pcscd through vpcd\n"
         "\n"
         "readers (--reader):\n"
         "  auto                          the USB SIM card reader when one is plugged in, else\n"
         "                                the first smart-card reader holding a card (default)\n"
         "  hid                           the USB SIM card reader\n"
         "  pcsc[:NAME]                   a smart-card reader of the PC/SC service (pcscd)\n"
         "  virtual[:IMAGE]               the built-in virtual reader with the demo card or a\n"
         "                                card image (JSON)\n"
         "  socket:PATH                   a reader emulator behind a Unix socket\n"
         "\n"
         "--pin PIN1 presents PIN1 first when the card's files are locked. Every user of the\n"
         "machine can see a code on the command line (ps, the shell's history); instead:\n"
         "  --pin-fd N                    read codes from file descriptor N, one per line\n"
         "  PELLUCARD_PIN=CODE            PIN1 from the environment (the pin command also\n"
         "                                takes PELLUCARD_NEW_PIN and PELLUCARD_PUK)\n"
         "  --pin -                       ask for PIN1 on the terminal, without echo (also\n"
         "                                asked when the card is locked and stdin is one)\n"
         "A pin command's code given as \"-\" or left out comes from these too.\n"
         "--json prints JSON; it may stand before or after the command.\n"
         "--version prints the version of pellucard-cli.\n"
         "`pellucard-cli COMMAND --help` tells more. Exit status: 0 success, 1 the card or reader\n"
         "failed, 2 usage error.\n"},
        {"info",
         "usage: pellucard-cli [--reader R] [--pin PIN1] [--json] info\n"
         "Shows the card ID, SIM phase, IMSI, service provider, service centre, the numbers of\n"
         "phone book, SMS and last-dialled records and the PIN counters.\n"},
        {"phonebook",
         "usage: pellucard-cli [--reader R] [--pin PIN1] [--json] phonebook read [-o FILE]\n"
         "       pellucard-cli [--reader R] [--pin PIN1] phonebook write FILE [--force]\n"
         "read prints every record in slot order; with --json an array of\n"
         "{\"slot\", \"name\", \"number\", \"raw\"}, empty slots included. write takes the same\n"
         "JSON (\"-\" reads stdin); slots not given are written empty. A record whose \"raw\"\n"
         "bytes still decode to its name and number goes back byte for byte.\n"
         "-o FILE writes what was read to FILE instead; FILE, and the FILE of write, may also be\n"
         "a contact file (.SPB, slot n holding card record n) or text (.csv, .txt; see convert).\n"
         "A write that cannot keep every record as given (a name or number too long for the\n"
         "card's records, characters a number cannot hold, a slot named twice) stops with\n"
         "exit status 1 before writing anything and says what would be lost; --force writes\n"
         "it cut and says what was cut.\n"},
        {"sms",
         "usage: pellucard-cli [--reader R] [--pin PIN1] [--json] sms read [-o FILE]\n"
         "       pellucard-cli [--reader R] [--pin PIN1] sms write FILE [--force]\n"
         "JSON: an array of {\"slot\", \"status\" (0 free, 1 read, 3 unread, 5 sent, 7 to send),\n"
         "\"address\", \"text\", \"sc\", \"timestamp\": [yy,mm,dd,hh,mi,ss,tz] or null,\n"
         "\"validity\": v or null, \"concatenation\": {\"reference\", \"part\", \"parts\"}, "
         "\"raw\"}.\n"
         "The time zone tz counts signed quarter hours.\n"
         "sms read -o FILE and sms write FILE also take an SMS file (.sms) or text (.csv, .txt).\n"
         "A write that cannot keep every message as given (a text longer than one SMS record,\n"
         "a slot named twice) stops with exit status 1 before writing anything; --force\n"
         "writes it cut and says what was cut.\n"},
        {"convert",
         "usage: pellucard-cli convert IN OUT [--delimiter comma|tab] [--kind phonebook|sms]\n"
         "                             [--vcard-version 2.1|3.0|4.0] [--force]\n"
         "Converts phone book records or messages between the program's files (.SPB, .sms),\n"
         "the JSON of read --json (.json) and comma- or tab-separated text (.csv, .txt) whose\n"
         "first line holds the column titles, as the program exports and imports them.\n"
         "Text is written with \",\" in .csv and a tab in .txt unless --delimiter says; a\n"
         "file is read with the delimiter its first line uses. --kind tells what a JSON or text\n"
         "file holds when the other file does not. A conversion that would lose records or\n"
         "text (more rows than a record file holds, a slot named twice, a field too long for\n"
         "its place in a .SPB or .sms file, personal record fields in phone book JSON) stops\n"
         "with exit status 1 before writing and says what; --force writes it cut.\n"
         "Input files larger than 32 MB are refused unread.\n"
         "vCard (.vcf): written as 3.0 unless --vcard-version 2.1|4.0 says, one card per slot\n"
         "that holds something; read in 2.1, 3.0 and 4.0 as personal records, or with --kind\n"
         "phonebook as phone book entries, one per number (\"Anna Berg (work)\"). What was cut,\n"
         "left out or could not be read is told on stderr.\n"},
        {"backup",
         "usage: pellucard-cli [--reader R] [--pin PIN1] backup FILE\n"
         "Reads every phone book and SMS record of the card into FILE (JSON): the card's\n"
         "identity, the record counts and lengths, and each record's bytes with its text.\n"},
        {"restore",
         "usage: pellucard-cli [--reader R] [--pin PIN1] restore FILE [--yes]\n"
         "Writes every record of a backup back to the card byte for byte and reads each back to\n"
         "check it. Without --yes it only tells what it would write. A backup of another card\n"
         "(another ICCID) or one with more records than the card holds is refused unless\n"
         "--other-card or --fewer-records allows it; the records that do not fit are named.\n"},
        {"pin",
         "usage: pellucard-cli pin verify [--chv 1|2] PIN\n"
         "       pellucard-cli pin change [--chv 1|2] OLD NEW\n"
         "       pellucard-cli pin enable|disable PIN1\n"
         "       pellucard-cli pin unblock [--chv 1|2] UNBLOCK-CODE NEW\n"
         "A code given as \"-\" or left out is read from --pin-fd, the environment or the\n"
         "terminal (see pellucard-cli --help); a code on the command line is visible to others.\n"
         "Exit status 0 when the card accepted the code; the attempts left are printed.\n"},
        {"decode",
         "usage: pellucard-cli [--json] decode adn|alpha|sms|digits HEX\n"
         "Decodes one phone book record, alpha identifier, SMS record or dialling-digit field\n"
         "(hex in either case; blanks are ignored).\n"},
        {"encode",
         "usage: pellucard-cli encode adn --record-length R --name TEXT --number TEXT [--form "
         "128|129|130]\n"
         "       pellucard-cli encode alpha --length N [--form F] TEXT\n"
         "       pellucard-cli encode sms --status S --address A --text T --sc SC\n"
         "                                [--timestamp yy,mm,dd,hh,mi,ss,tz] [--validity V]\n"
         "       pellucard-cli encode digits --max-digits N TEXT\n"
         "Prints the record or field as upper-case hex.\n"},
        {"simulate",
         "usage: pellucard-cli simulate --socket PATH [--image FILE] [--profile "
         "instant|realistic]\n"
         "           [--refuse C:FILE:R:SW,...] [--lose-acks N] [--lose-ack-at N]\n"
         "           [--ready-late READS] [--drop-ready N] [--no-ready] [--silent]\n"
         "           [--silent-after REPORTS] [--unplug-after REPORTS]\n"
         "       pellucard-cli simulate --pcsc [--uicc] [--image FILE] [--port N] [--pull-after "
         "N]\n"
         "Serves the virtual reader on a Unix socket (what --reader socket:PATH connects to)\n"
         "until interrupted; with --image the card's changes are saved back to the image. The\n"
         "realistic profile puts out a report every millisecond and repeats the current one\n"
         "while nothing is new, as a USB interrupt pipe does. On exit it prints how many\n"
         "acknowledgements it put out and how many reports the host sent again.\n"
         "With --pcsc the card goes to pcscd instead, through vsmartcard's vpcd driver (port\n"
         "35963 unless --port says otherwise), and --reader pcsc reaches it; --uicc makes it a\n"
         "USIM-only card that refuses GSM commands and keeps its phone book in DF 5F3A;\n"
         "--pull-after N pulls the card out after N commands.\n"
         "--refuse makes the card answer a read or update with a status word instead:\n"
         "read:6F3A:17:9804 refuses reading phone book record 17, update:6F3C:*:6F00 every\n"
         "update of the message store (also with --pcsc; a card image may list them as\n"
         "\"refusals\"). The reader's faults: --lose-acks N drops the next N acknowledgements,\n"
         "--lose-ack-at N lets N acknowledgements through and drops the next,\n"
         "--ready-late READS holds each ready report back that many reads, --drop-ready N\n"
         "lets N ready reports through and never sends the next, --no-ready never sends one, "
         "--silent answers nothing, "
         "--unplug-after REPORTS unplugs the reader.\n"},
    };
    const auto it = kUsage.find(command);
    return it == kUsage.end() ? kUsage.at("") : it->second;
}

}  // namespace pellucard::cli
