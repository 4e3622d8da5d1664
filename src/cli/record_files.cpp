#include "cli/record_files.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <iostream>
#include <utility>

#include "catalogue/catalogue.h"
#include "cli/cli.h"
#include "cli/usim_list_columns.h"
#include "cli/write_check.h"
#include "records/delimited_text.h"
#include "records/dialog_seam.h"
#include "records/field_text.h"
#include "records/person_fields.h"
#include "records/record_file.h"
#include "records/record_layout.h"
#include "records/record_marks.h"
#include "records/save_file.h"
#include "records/text_export.h"
#include "records/text_import.h"
#include "records/usim_contact_fields.h"
#include "records/usim_fields.h"
#include "records/vcard_records.h"

namespace pellucard::cli {
namespace {

constexpr int kMaxCardSlots = 255;  // a SIM's linear fixed files hold at most 255 records

// The record layer tells of a failed read or write in a message box; here its text becomes
// the failure's message.
class MessageCapture final : public DialogSeam {
public:
    MessageCapture() { previous_ = InstallDialogs(this); }
    ~MessageCapture() override { InstallDialogs(previous_); }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    DialogAnswer ShowMessage(const MessageRequest& request) override {
        if (!text_.isEmpty())
            text_ += u' ';
        text_ += request.text.trimmed().replace(u'\n', u' ');
        return SafeAnswer(request.buttons);
    }
    QString ChooseOpenFileName(const FileRequest&) override { return {}; }
    QString ChooseSaveFileName(const FileRequest&) override { return {}; }
    void RunModal(QDialog&) override {}  // the record layer opens none

    [[noreturn]] void Fail(const std::string& path) const {
        throw Failure{kCardFailure,
                      text_.isEmpty() ? path + ": cannot be read or written" : text_.toStdString()};
    }

private:
    DialogSeam* previous_ = nullptr;
    QString text_;
};

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string KindWords(RecordKind kind) {
    return kind == RecordKind::PhoneBook ? "phone book records" : "messages";
}

int FieldCount(RecordKind kind) {
    return kind == RecordKind::PhoneBook ? 25 : 8;
}

// The records of the list that hold something: what a file of them holds.
int RowsInUse(const CardList& cards) {
    int held = 0;
    for (int row = 1; row <= cards.used && row <= cards.list->LastSlot(); ++row)
        held += RowHasText(*cards.list, row, 1, FieldCount(cards.kind)) ? 1 : 0;
    return held;
}

// The delimiter a text file of this name is written with: "," for .csv, a tab for .txt and
// .tsv, unless --delimiter says otherwise. Reading finds it from the file's first line.
QChar DelimiterFor(const std::string& path, const FileOptions& options) {
    if (options.delimiter)
        return *options.delimiter;
    if (QFileInfo(Q(path)).suffix().compare(u"csv", Qt::CaseInsensitive) == 0)
        return kCommaDelimiter;
    return kTabDelimiter;
}

// Text and JSON files must name their fields, so the kind of records they hold shows.
std::optional<RecordKind> KindOfJson(const QByteArray& json) {
    const QJsonArray array = QJsonDocument::fromJson(json).array();
    for (const QJsonValue& value : array) {
        const QJsonObject o = value.toObject();
        if (o.contains("status") || o.contains("text") || o.contains("address"))
            return RecordKind::Sms;
        if (o.contains("name") || o.contains("number"))
            return RecordKind::PhoneBook;
    }
    return std::nullopt;
}

// The record fields of a kind, known by every name they go by.
QList<ImportField> FieldsOf(RecordKind kind) {
    const CardList titled = EmptyCardList(kind, 0);
    return ImportFieldsOf(kind == RecordKind::Sms ? ListKind::Messages : ListKind::Contacts,
                          *titled.list, TitledColumns(kind));
}

int LinkCount(const QList<MappingEntry>& mapping) {
    int links = 0;
    for (const MappingEntry& entry : mapping)
        links += entry.column > 0 ? 1 : 0;
    return links;
}

// The kind whose fields the most field names name (contacts when as many name messages').
RecordKind BestKind(const QStringList& header, std::optional<RecordKind> kind) {
    if (kind)
        return *kind;
    const int contacts = LinkCount(BuildMappingList(header, FieldsOf(RecordKind::PhoneBook)));
    const int messages = LinkCount(BuildMappingList(header, FieldsOf(RecordKind::Sms)));
    return messages > contacts ? RecordKind::Sms : RecordKind::PhoneBook;
}

// What an import did not take over as given: notes go to stderr; losses stop the command
// before it writes anything unless --force, which writes and lists them.
void StopOnReport(const std::string& path, const ImportReport& report, bool force) {
    Losses losses;
    for (const ReportEntry& entry : report.entries) {
        if (!entry.IsLoss()) {
            std::cerr << "pellucard-cli: " << path << ": " << ReportLine(entry, 0).toStdString()
                      << '\n';
            continue;
        }
        const std::string field = entry.field.toStdString();
        const std::string before = entry.before.toStdString();
        const std::string after = entry.after.toStdString();
        using Kind = ReportEntry::Kind;
        Loss loss;
        switch (entry.kind) {
            case Kind::Cut:
                loss = Loss::Cut(entry.slot, field, before, after, "longer than its place holds");
                break;
            case Kind::QuoteInsideValue:
                loss = Loss::Cut(entry.slot, field, before, after,
                                 "a quote closes before the value ends");
                break;
            case Kind::NoFreeSlot:
                loss = Loss::Dropped(entry.slot, field, before, "no free slot");
                break;
            case Kind::TooLong:
                loss = Loss::Dropped(entry.slot, field, before, "longer than its field");
                break;
            case Kind::NotDialableRecord:
                loss = Loss::Dropped(entry.slot, field, before, "no number a SIM can dial");
                break;
            case Kind::NotDialableNumber:
                loss = Loss::Dropped(entry.slot, field, before,
                                     "no number a SIM can dial; the number is left out");
                break;
            case Kind::FurtherNumber:
                loss = Loss::Dropped(entry.slot, field, before, "one number per entry");
                break;
            case Kind::ExtraValues:
                loss = Loss::Dropped(entry.slot, field, before, "values beyond the column titles");
                break;
            case Kind::UnclosedQuote:
                loss = Loss::Unread(entry.line, before, "a quote is not closed");
                break;
            case Kind::NotVCardLine:
                loss = Loss::Unread(entry.line, before, "not a vCard line");
                break;
            case Kind::NoVCardEnd:
                loss = Loss::Unread(entry.line, before, "a vCard without END:VCARD");
                break;
            case Kind::OutsideVCard:
                loss = Loss::Unread(entry.line, before, "outside BEGIN:VCARD and END:VCARD");
                break;
            case Kind::BeginNotVCard:
                loss = Loss::Unread(entry.line, before, "a BEGIN of something other than a vCard");
                break;
            default:
                loss = Loss::Unread(entry.line, before, ReportLine(entry, 0).toStdString());
                break;
        }
        losses.push_back(entry.line > 0 ? loss.AtLine(entry.line) : loss);
    }
    StopOnLosses(losses, force);
}

CardList ReadRecordFile(const std::string& path, RecordKind kind, bool usimColumns) {
    CardList cards = EmptyCardList(kind, 0);
    MessageCapture capture;
    // The part marks come along, for a copy into another .sms file.
    if (!LoadRecordFile(*cards.list, Q(path), cards.used, 0,
                        kind == RecordKind::Sms ? &cards.trailers : nullptr))
        capture.Fail(path);
    // The contact fields that keep a USIM phone book's values fill its columns, as the phone
    // book window opens the file; a file without such values keeps a list without them.
    if (usimColumns && kind == RecordKind::PhoneBook) {
        AddUsimColumns(cards);
        for (int row = 1; row <= std::min(cards.used, cards.list->LastSlot()); ++row)
            FillUsimColumnsFromContactFields(*cards.list, row);
        if (!HoldsUsimValues(*cards.list, cards.used))
            cards.list->SetColumns(FieldCount(kind) + 2);
    }
    if (kind == RecordKind::Sms) {
        // A message may begin with a blank (a part of a long message that starts between two
        // words); the file keeps it, so give it back.
        QFile file(Q(path));
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const RecordLayout& layout = SmsRecordLayout();
        int offset = 0;
        for (int column = 1; column <= 3; ++column) {
            const int width = layout.widths[column - 1];
            for (int row = 1; row <= cards.used; ++row) {
                const QByteArray field =
                    bytes.mid(qsizetype(row - 1) * layout.slotLength + offset, width);
                qsizetype blanks = 0;
                while (blanks < field.size() && field[blanks] == ' ')
                    ++blanks;
                const QString& text = cards.list->Text(row, column);
                if ((column == 2 || column == 3) && blanks > 0 && !text.isEmpty())
                    cards.list->SetText(row, column, QString(blanks, u' ') + text);
            }
            offset += width;
        }
    }
    return cards;
}

CardList ReadJsonFile(const std::string& path, std::optional<RecordKind> kind, bool force) {
    const QByteArray json = ReadInputFile(path);
    const RecordKind chosen = kind.value_or(KindOfJson(json).value_or(RecordKind::PhoneBook));
    // A USIM phone book's fields of the wrong shape fail as they fail a write.
    if (chosen == RecordKind::PhoneBook)
        ReadUsimFields(path);
    try {
        if (chosen == RecordKind::Sms) {
            const std::vector<SmsSlot> slots = ParseSmsJson(json);
            StopOnLosses(RepeatedSlots(slots), force);
            return FromSmsSlots(slots, 0);
        }
        std::vector<PhoneBookSlot> laterBlocks;
        const std::vector<PhoneBookSlot> slots = ParsePhoneBookJson(json, &laterBlocks);
        Losses losses = RepeatedSlots(slots);
        for (const PhoneBookSlot& entry : laterBlocks) {
            if (!entry.name.empty() || !entry.number.empty())
                losses.push_back(Loss::Dropped(entry.slot, {}, entry.name + " " + entry.number,
                                               "of a later block of a USIM phone book"));
        }
        CardList cards = FromPhoneBookSlots(slots, 0);
        const QJsonArray entries = QJsonDocument::fromJson(json).array();
        if (HoldsUsimFields(entries)) {
            AddUsimColumns(cards);
            const Losses fields = FillUsimColumns(cards, entries);
            losses.insert(losses.end(), fields.begin(), fields.end());
        }
        StopOnLosses(losses, force);
        return cards;
    } catch (const Failure& failure) {
        throw Failure{failure.code, path + ": " + failure.message};
    }
}

CardList ReadText(const std::string& path, const FileOptions& options,
                  std::optional<RecordKind> kind) {
    TextTable table;
    {
        MessageCapture capture;
        if (!ReadTextFile(table, Q(path), DelimiterFor(path, options), 0,
                          !options.delimiter.has_value()))
            capture.Fail(path);
    }
    const RecordKind chosen = BestKind(table.header, kind);
    CardList cards = EmptyCardList(chosen, int(table.records.size()));
    const bool usim = options.usimColumns && chosen == RecordKind::PhoneBook;
    QList<ImportField> fields = FieldsOf(chosen);
    if (usim) {
        AddUsimColumns(cards);
        fields += ImportFieldsOf(ListKind::Contacts, *cards.list, UsimColumnsOf(*cards.list));
    }
    const QList<MappingEntry> mapping = BuildMappingList(table.header, fields);
    if (LinkCount(mapping) == 0) {
        throw Failure{kUsage, path + ": no field name of its first line is a column title of " +
                                  KindWords(chosen)};
    }
    // A USIM column the file does not have stays untitled: it gives no value to write.
    for (const int column : UsimColumnsOf(*cards.list)) {
        if (std::none_of(mapping.begin(), mapping.end(),
                         [column](const MappingEntry& entry) { return entry.column == column; }))
            cards.list->SetText(0, column, {});
    }
    cards.rowsLeftOut = table.recordsNotKept;
    // The SMS list keeps the message as typed (column 2) beside the message as shown (3).
    const QMap<int, int> mirrored =
        chosen == RecordKind::Sms ? QMap<int, int>{{3, 2}} : QMap<int, int>{};
    // Contacts' numbers are read as a SIM dials them; an SMS address may be a sender's name.
    ImportChecks checks;
    if (chosen == RecordKind::PhoneBook)
        checks.numberColumns = {std::begin(kContactNumberColumns), std::end(kContactNumberColumns)};
    if (usim)
        checks.numberColumns.append(usim_column::kSecondNumber);
    const ImportResult imported =
        ImportRows(*cards.list, cards.used, table, mapping, mirrored, checks);
    StopOnReport(path, imported.report, options.force);
    // Text files show the validity period as text only; the list keeps its code as well.
    for (int row = 1; chosen == RecordKind::Sms && row <= cards.used; ++row) {
        const std::optional<int> validity = ValidityOfText(cards.list->Text(row, 7));
        if (validity)
            cards.list->SetText(row, 8, QString::number(*validity));
    }
    return cards;
}

// Contacts become personal records, each property in its field; with --kind phonebook they
// become phone book entries, one per number, their names fitted to options.phoneBookNames.
// What was cut, left out or not read stops the command unless --force; what was not kept is
// told on stderr.
CardList ReadVCards(const std::string& path, const FileOptions& options) {
    VCardFile file;
    {
        MessageCapture capture;
        if (!ReadVCardFile(Q(path), file, 0))
            capture.Fail(path);
    }
    const bool phoneBook = options.kind == RecordKind::PhoneBook;
    int slots = 0;
    for (const VCardContact& contact : file.contacts)
        slots += phoneBook ? std::max<int>(1, int(contact.phones.size())) : 1;
    // With the USIM columns a contact is one entry, whatever its numbers.
    const bool usim = phoneBook && options.usimColumns;
    if (usim)
        slots = int(file.contacts.size());
    CardList cards = EmptyCardList(RecordKind::PhoneBook, std::min(slots, kMaxTextRecords));
    if (usim)
        AddUsimColumns(cards);
    const VCardImport result =
        phoneBook ? ImportVCardsAsPhoneBook(*cards.list, cards.used, file, options.phoneBookNames)
                  : ImportVCardsAsPersons(*cards.list, cards.used, file);
    StopOnReport(path, result.report, options.force);
    return cards;
}

int WriteVCards(const CardList& cards, const std::string& path, const FileOptions& options) {
    if (cards.kind != RecordKind::PhoneBook)
        throw Failure{kUsage, path + " can hold contacts only, not messages"};
    bool personal = false;
    for (int row = 1; row <= cards.used && !personal; ++row)
        personal = RowHasText(*cards.list, row, 3, 25);
    MessageCapture capture;
    if (!ExportVCards(*cards.list, cards.used,
                      personal ? VCardListKind::Person : VCardListKind::PhoneBook,
                      options.vCardVersion, Q(path), 0))
        capture.Fail(path);
    return RowsInUse(cards);  // one vCard for each
}

void RequireKind(const CardList& cards, RecordKind kind, const std::string& path, bool reading) {
    if (cards.kind == kind)
        return;
    if (reading)
        throw Failure{kUsage,
                      path + " holds " + KindWords(cards.kind) + ", not " + KindWords(kind)};
    throw Failure{kUsage,
                  path + " can hold " + KindWords(kind) + " only, not " + KindWords(cards.kind)};
}

// The fields that a record file would cut. An SMS file keeps a message twice, as typed
// (column 2, untitled) and as shown (column 3): a cut message is one loss, under the title of
// the message.
Losses FieldWidthLosses(const CardList& cards) {
    Losses losses;
    const RecordLayout& layout = RecordLayoutFor(*cards.list);
    const bool sms = cards.kind == RecordKind::Sms;
    for (int row = 1; row <= cards.used; ++row) {
        bool messageCut = false;
        for (int column = 1; column <= int(layout.widths.size()); ++column) {
            const QString text = TrimBlanks(cards.list->Text(row, column));
            const int width = layout.widths[column - 1];
            const QString kept = DecodeFieldText(EncodeFieldText(text, width));
            const bool message = sms && (column == 2 || column == 3);
            if (kept == text || (message && std::exchange(messageCut, true)))
                continue;
            const QString title = ColumnTitle(cards.kind, message ? 3 : column, 0);
            losses.push_back(
                Loss::Cut(row, title.toStdString(), text.toStdString(), kept.toStdString(),
                          "the file keeps " + std::to_string(width) + " bytes for it"));
        }
    }
    return losses;
}

void SaveBytes(const std::string& path, const QByteArray& bytes) {
    QSaveFile file(Q(path));
    if (!file.open(QIODevice::WriteOnly) || !WriteWhole(file, bytes) || !CommitWhenComplete(file)) {
        throw Failure{kCardFailure, path + ": " + file.errorString().toStdString()};
    }
}

// What the tool's JSON has no place for: slots beyond what a SIM holds, and the personal
// record fields beside a phone book entry's name and number.
Losses JsonLosses(const CardList& cards) {
    Losses losses;
    const RecordList& list = *cards.list;
    for (int row = 1; row <= cards.used && row <= list.LastSlot(); ++row) {
        if (row > kMaxCardSlots) {
            if (!RowHasText(list, row, 1, FieldCount(cards.kind)))
                continue;
            const QString first = TrimBlanks(list.Text(row, 1));
            const QString second =
                TrimBlanks(list.Text(row, cards.kind == RecordKind::Sms ? 3 : 2));
            const QString entry =
                first.isEmpty() || second.isEmpty() ? first + second : first + ", " + second;
            losses.push_back(
                Loss::Dropped(row, {}, entry.toStdString(), "a SIM holds 255 slots at most"));
            continue;
        }
        for (int column = 3; cards.kind == RecordKind::PhoneBook && column <= 25; ++column) {
            const QString text = TrimBlanks(list.Text(row, column));
            if (text.isEmpty() || CarriedByUsimColumns(list, row, column))
                continue;
            losses.push_back(Loss::Dropped(row, ColumnTitle(cards.kind, column, 0).toStdString(),
                                           text.toStdString(),
                                           "phone book JSON keeps the name and number only"));
        }
    }
    return losses;
}

int WriteJson(const CardList& cards, const std::string& path, bool force) {
    StopOnLosses(JsonLosses(cards), force);
    QJsonArray array;
    int written = 0;
    if (cards.kind == RecordKind::PhoneBook) {
        for (const PhoneBookSlot& slot : PhoneBookSlotsOf(cards, true)) {
            if (slot.slot > kMaxCardSlots)
                continue;
            QJsonObject entry{
                {"slot", slot.slot}, {"name", Q(slot.name)}, {"number", Q(slot.number)}};
            AddUsimJson(entry, *cards.list, slot.slot);
            array.append(entry);
            written += slot.name.empty() && slot.number.empty() ? 0 : 1;
        }
    } else {
        for (const SmsSlot& slot : SmsSlotsOf(cards, true)) {
            if (slot.slot > kMaxCardSlots)
                continue;
            array.append(SmsSlotJson(slot));
            written += slot.status != 0 ? 1 : 0;
        }
    }
    SaveBytes(path, QJsonDocument(array).toJson(QJsonDocument::Indented));
    return written;
}

int WriteText(const CardList& cards, const std::string& path, const FileOptions& options) {
    const RecordList& list = *cards.list;
    QList<int> columns = TitledColumns(cards.kind);
    RecordList copy(list.Rows(), list.Columns());
    for (int row = 0; row <= cards.used && row < list.Rows(); ++row)
        copy.SetRow(row, list.Row(row));
    if (cards.kind == RecordKind::PhoneBook) {
        bool personal = false;
        for (int row = 1; row <= cards.used && !personal; ++row)
            personal = RowHasText(list, row, 3, 25);
        if (!personal)
            columns = QList<int>{1, 2} + UsimColumnsOf(list);  // a phone book: name and number
    } else {
        // The message as typed, not as a window broke it into lines.
        for (int row = 1; row <= cards.used; ++row) {
            if (!list.Text(row, 2).isEmpty())
                copy.SetText(row, 3, list.Text(row, 2));
        }
    }
    const QChar delimiter = DelimiterFor(path, options);
    MessageCapture capture;
    if (!ExportText(copy, cards.used, columns, delimiter, Q(path), 0))
        capture.Fail(path);
    return RowsInUse(cards);
}

// A contact file keeps the USIM columns in the contact fields that mean the same, as the
// phone book window saves them.
int WriteContactsWithUsimFields(const CardList& cards, const std::string& path,
                                const FileOptions& options) {
    CardList merged = EmptyCardList(cards.kind, 0);
    merged.list->SetColumns(cards.list->Columns());
    merged.list->Restore(cards.list->Snapshot());
    merged.used = cards.used;
    for (int row = 1; row <= std::min(merged.used, merged.list->LastSlot()); ++row)
        MergeUsimColumnsWithContactFields(*merged.list, row);
    merged.list->SetColumns(FieldCount(RecordKind::PhoneBook) + 2);
    return WriteCardFile(merged, path, options);
}

}  // namespace

FileFormat FormatOf(const std::string& path) {
    const QString suffix = QFileInfo(Q(path)).suffix().toLower();
    if (suffix == u"spb")
        return FileFormat::Contacts;
    if (suffix == u"sms")
        return FileFormat::Messages;
    if (suffix == u"json")
        return FileFormat::Json;
    if (suffix == u"csv" || suffix == u"txt" || suffix == u"tsv")
        return FileFormat::Text;
    if (suffix == u"vcf" || suffix == u"vcard")
        return FileFormat::VCard;
    throw Failure{kUsage,
                  path + ": the name must end in .SPB, .sms, .json, .csv, .tsv, .txt or .vcf"};
}

NameFit PhoneBookNamesFor(FileFormat format) {
    if (format == FileFormat::Contacts)
        return RecordFieldNameFit(ContactRecordLayout().widths[0]);
    return {};
}

std::optional<RecordKind> KindOf(FileFormat format) {
    switch (format) {
        case FileFormat::Contacts:
            return RecordKind::PhoneBook;
        case FileFormat::Messages:
            return RecordKind::Sms;
        default:
            return std::nullopt;
    }
}

CardList ReadCardFile(const std::string& path, const FileOptions& options,
                      std::optional<RecordKind> expected) {
    const FileFormat format = FormatOf(path);
    const std::optional<RecordKind> kind = options.kind ? options.kind : expected;
    CardList cards;
    switch (format) {
        case FileFormat::Contacts:
        case FileFormat::Messages:
            cards = ReadRecordFile(path, *KindOf(format), options.usimColumns);
            break;
        case FileFormat::Json:
            cards = ReadJsonFile(path, kind, options.force);
            break;
        case FileFormat::Text:
            cards = ReadText(path, options, kind);
            break;
        case FileFormat::VCard:
            cards = ReadVCards(path, options);
            break;
    }
    if (kind)
        RequireKind(cards, *kind, path, true);
    StopOnLosses(RowsLeftOut(cards), options.force);
    return cards;
}

int WriteCardFile(const CardList& cards, const std::string& path, const FileOptions& options) {
    const FileFormat format = FormatOf(path);
    if (const std::optional<RecordKind> kind = KindOf(format)) {
        RequireKind(cards, *kind, path, false);
        if (HasUsimColumns(*cards.list))
            return WriteContactsWithUsimFields(cards, path, options);
        StopOnLosses(FieldWidthLosses(cards), options.force);
        MessageCapture capture;
        if (!SaveRecordFile(*cards.list, Q(path), cards.used, 0, cards.trailers))
            capture.Fail(path);
        return RowsInUse(cards);
    }
    if (format == FileFormat::VCard)
        return WriteVCards(cards, path, options);
    if (format == FileFormat::Json)
        return WriteJson(cards, path, options.force);
    return WriteText(cards, path, options);
}

}  // namespace pellucard::cli
