#include "records/vcard_records.h"

#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>
#include <string>

#include "catalogue/catalogue.h"
#include "engine/codec_alpha.h"
#include "records/dialable_number.h"
#include "records/dialog_seam.h"
#include "records/field_text.h"
#include "records/person_fields.h"
#include "records/record_layout.h"
#include "records/record_marks.h"
#include "records/record_messages.h"
#include "records/save_file.h"
#include "records/text_import.h"
#include "records/usim_fields.h"
#include "records/vcard_usim.h"

namespace pellucard {
namespace {

// The columns of a contact list (the fields of a contact file).
enum Column {
    kAlias = 1,
    kPhone = 2,
    kName = 3,
    kHomeAddress = 4,
    kHomeCity = 5,
    kHomeCountry = 6,
    kHomeZip = 7,
    kPersonalEmail = 8,
    kHomeTelephone = 9,
    kHomeFax = 10,
    kOfficeAddress = 11,
    kOfficeCity = 12,
    kOfficeCountry = 13,
    kOfficeZip = 14,
    kWorkEmail = 15,
    kOfficeTelephone = 16,
    kMobile = 17,
    kOfficeFax = 18,
    kBirth = 19,
    kNickname = 20,
    kHobby = 21,
    kHomepage = 22,
    kImportant = 23,
    kSex = 24,
    kNote = 25,
};
constexpr int kLastField = kNote;

const QString kAliasKey = QStringLiteral("ALIAS");
const QString kHobbyKey = QStringLiteral("HOBBY");
const QString kImportanceKey = QStringLiteral("IMPORTANCE");

struct NumberField {
    int column;
    const char* types[2];
};
constexpr NumberField kNumberFields[] = {
    {kPhone, {"voice", nullptr}},          {kMobile, {"cell", nullptr}},
    {kHomeTelephone, {"home", "voice"}},   {kHomeFax, {"home", "fax"}},
    {kOfficeTelephone, {"work", "voice"}}, {kOfficeFax, {"work", "fax"}},
};

QStringList TypeList(const NumberField& field) {
    QStringList types;
    for (const char* type : field.types) {
        if (type != nullptr)
            types.append(QLatin1String(type));
    }
    return types;
}

// "1980/04/23" to "1980-04-23", "/04/23" to "--04-23", "1980/04/" to "1980-04", "1980//" to
// "1980"; any other text as it is.
QString BirthdayOfDate(const QString& date) {
    const auto [year, month, day] = SplitDate(date);
    static const QRegularExpression digits(QStringLiteral("^\\d*$"));
    if (!date.contains(u'/') || !digits.match(year + month + day).hasMatch())
        return date;
    if (!year.isEmpty() && !month.isEmpty() && !day.isEmpty())
        return year + u'-' + month + u'-' + day;
    if (year.isEmpty() && !month.isEmpty() && !day.isEmpty())
        return QStringLiteral("--") + month + u'-' + day;
    if (!year.isEmpty() && !month.isEmpty())
        return year + u'-' + month;
    if (!year.isEmpty() && month.isEmpty() && day.isEmpty())
        return year;
    return date;
}

// A BDAY value (ISO 8601, extended or basic, a time after "T" ignored) in the form the
// personal record window writes; a value that is no such date stays as written.
QString DateOfBirthday(const QString& birthday) {
    const QString date = birthday.section(u'T', 0, 0).remove(u'-');
    static const QRegularExpression full(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    static const QRegularExpression yearMonth(QStringLiteral("^(\\d{4})-(\\d{2})$"));
    static const QRegularExpression year(QStringLiteral("^(\\d{4})$"));
    static const QRegularExpression noYear(QStringLiteral("^--(\\d{2})-?(\\d{2})$"));
    if (const auto m = full.match(date); m.hasMatch())
        return JoinDate(m.captured(1), m.captured(2), m.captured(3));
    if (const auto m = yearMonth.match(birthday); m.hasMatch())
        return JoinDate(m.captured(1), m.captured(2), QString());
    if (const auto m = year.match(birthday); m.hasMatch())
        return JoinDate(m.captured(1), QString(), QString());
    if (const auto m = noYear.match(birthday.section(u'T', 0, 0)); m.hasMatch())
        return JoinDate(QString(), m.captured(1), m.captured(2));
    return birthday;
}

QString SexOfGender(const QString& gender) {
    const QString lower = gender.trimmed().toLower();
    if (lower == u"m" || lower == u"male")
        return QStringLiteral("M");
    if (lower == u"f" || lower == u"female")
        return QStringLiteral("F");
    return {};
}

bool RowUsed(const RecordList& list, int row, VCardListKind kind) {
    if (kind == VCardListKind::Person)
        return RowHasText(list, row, 1, kLastField);
    // A USIM entry's other fields are exported even where its name and number are empty.
    return RowHasText(list, row, 1, kPhone) ||
           (HasUsimColumns(list) &&
            RowHasText(list, row, kUsimColumns.front(), kUsimColumns.back()));
}

QString DisplayName(const VCardContact& contact) {
    if (!contact.formattedName.isEmpty())
        return contact.formattedName;
    const QString composed = ComposeName(contact.name);
    if (!composed.isEmpty())
        return composed;
    return contact.hasAlias ? contact.Extension(kAliasKey) : QString();
}

// Enough lines to show what kind of thing went wrong; the counts say how many there are.
constexpr qsizetype kReportLinesShown = 40;

ReportEntry Cut(int line, int slot, const QString& field, const QString& before,
                const QString& after) {
    ReportEntry entry;
    entry.kind = ReportEntry::Kind::Cut;
    entry.line = line;
    entry.slot = slot;
    entry.field = field;
    entry.before = before;
    entry.after = after;
    return entry;
}

ReportEntry LeftOut(const VCardContact& contact, const QString& what) {
    ReportEntry entry;
    entry.kind = ReportEntry::Kind::NoFreeSlot;
    entry.line = contact.line;
    entry.before = what;
    return entry;
}

// The contact with its numbers as a SIM dials them. A number that holds something no SIM can
// dial is left out and reported; tel: URI parameters that have no place are counted.
VCardContact WithDialableNumbers(const VCardContact& contact, ImportReport& report,
                                 QStringList& notKept) {
    VCardContact dialable = contact;
    dialable.phones.clear();
    for (const VCardTyped& phone : contact.phones) {
        const DialableNumber read = ReadDialableNumber(phone.value);
        for (const QString& parameter : read.dropped)
            notKept.append(QStringLiteral("TEL;") + parameter.toUpper());
        if (!read.Dialable()) {
            ReportEntry entry;
            entry.kind = ReportEntry::Kind::NotDialableNumber;
            entry.line = phone.line;
            entry.field = QStringLiteral("TEL");
            entry.before = phone.value;
            report.Add(entry);
            continue;
        }
        if (read.number.isEmpty())
            continue;
        VCardTyped kept = phone;
        kept.value = read.number;
        dialable.phones.append(kept);
    }
    return dialable;
}

// The first `count` characters (code points) of a text.
QString LeftCharacters(const QString& text, qsizetype count) {
    const QList<uint> points = text.toUcs4();
    if (count >= points.size())
        return text;
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()), count);
}

qsizetype CharacterCount(const QString& text) {
    return text.toUcs4().size();
}

// The type of a number as a phone book entry's name shows it after the contact's name:
// "mobile", "work 2"; and the letter that stands for it when room is short: "M", "W2".
struct NumberLabel {
    QString word;
    QString letter;
};

NumberLabel LabelOf(const VCardTyped& phone, QMap<QString, int>& uses) {
    QString word = QStringLiteral("other");
    if (phone.Has("fax"))
        word = QStringLiteral("fax");
    else if (phone.Has("cell") || phone.Has("mobile") || phone.Has("iphone"))
        word = QStringLiteral("mobile");
    else if (phone.Has("home"))
        word = QStringLiteral("home");
    else if (phone.Has("work"))
        word = QStringLiteral("work");
    else if (phone.Has("pager"))
        word = QStringLiteral("pager");
    const int use = ++uses[word];
    const QString count = use > 1 ? QString::number(use) : QString();
    return {word + (count.isEmpty() ? QString() : u' ' + count), word.left(1).toUpper() + count};
}

struct EntryName {
    QString text;
    bool labelShortened = false;  // the label was shortened or left out, the name kept whole
    bool nameCut = false;
};

// The name of a phone book entry: the contact's name, then its number's label when the contact
// has several numbers. Where the field is short the label is shortened, then left out, before
// a single letter of the name is cut. Cutting a name can drop the one character that needed
// UCS2 and so make room for more, hence the search from the longest.
EntryName FitEntryName(const QString& name, const NumberLabel& label, const NameFit& fit) {
    const QString full =
        label.word.isEmpty() ? name : name + QStringLiteral(" (") + label.word + u')';
    const auto fits = [&fit](const QString& text) {
        return !fit || fit(text) >= CharacterCount(text);
    };
    if (fits(full))
        return {full};
    if (!label.word.isEmpty()) {
        for (const QString& shorter : {name + u' ' + label.letter, name}) {
            if (fits(shorter))
                return {shorter, true, false};
        }
    }
    for (qsizetype length = CharacterCount(name) - 1; length > 0; --length) {
        const QString candidate = LeftCharacters(name, length).trimmed();
        if (fits(candidate))
            return {candidate, false, true};
    }
    return {LeftCharacters(name, fit(name)), false, true};
}

// The properties of a contact that a phone book entry, a name and a number, has no place for.
QStringList NotKeptInPhoneBook(const VCardContact& contact) {
    QStringList names;
    for (qsizetype k = 0; k < contact.emails.size(); ++k)
        names.append(QStringLiteral("EMAIL"));
    for (qsizetype k = 0; k < contact.addresses.size(); ++k)
        names.append(QStringLiteral("ADR"));
    for (qsizetype k = 0; k < contact.categories.size(); ++k)
        names.append(QStringLiteral("CATEGORIES"));
    const std::pair<const QString*, const char*> single[] = {
        {&contact.note, "NOTE"},         {&contact.birthday, "BDAY"},
        {&contact.nickname, "NICKNAME"}, {&contact.url, "URL"},
        {&contact.organisation, "ORG"},  {&contact.title, "TITLE"},
        {&contact.gender, "GENDER"},
    };
    for (const auto& [value, name] : single) {
        if (!value->isEmpty())
            names.append(QLatin1String(name));
    }
    const bool aliasIsTheName =
        contact.formattedName.isEmpty() && ComposeName(contact.name).isEmpty();
    for (const auto& [key, value] : contact.extensions) {
        // The mark of a second number alone says where a number goes; it holds nothing.
        if (!(key == kAliasKey && aliasIsTheName) && key != kSecondNumberOnlyKey &&
            !value.isEmpty())
            names.append(QStringLiteral("X-PELLUCARD-") + key);
    }
    return names;
}

// Personal record fields: every value goes to its field, a second value of one kind to the
// general field when that is free; what finds no field is counted.
class PersonFields {
public:
    explicit PersonFields(const VCardContact& contact)
        : contact_(contact), cells_(kLastField + 1) {}

    QStringList Fill(QStringList& notKept) {
        const QString alias =
            contact_.hasAlias ? contact_.Extension(kAliasKey) : DisplayName(contact_);
        Set(kAlias, alias);
        Set(kName, ComposeName(contact_.name));
        Set(kNickname, contact_.nickname);
        Set(kHomepage, contact_.url);
        Set(kNote, contact_.note);
        Set(kHobby, contact_.Extension(kHobbyKey));
        Set(kImportant, contact_.Extension(kImportanceKey));
        if (!contact_.birthday.isEmpty())
            Set(kBirth, DateOfBirthday(contact_.birthday));
        if (!contact_.gender.isEmpty()) {
            const QString sex = SexOfGender(contact_.gender);
            if (sex.isEmpty())
                notKept.append(QStringLiteral("GENDER"));
            Set(kSex, sex);
        }
        if (!contact_.organisation.isEmpty())
            notKept.append(QStringLiteral("ORG"));  // a contact file has no company field
        if (!contact_.title.isEmpty())
            notKept.append(QStringLiteral("TITLE"));
        for (qsizetype k = 0; k < contact_.categories.size(); ++k)
            notKept.append(QStringLiteral("CATEGORIES"));  // nor a group field
        for (const auto& [key, value] : contact_.extensions) {
            if (key != kAliasKey && key != kHobbyKey && key != kImportanceKey &&
                key != kSecondNumberOnlyKey)
                notKept.append(QStringLiteral("X-PELLUCARD-") + key);
        }
        FillPhones(notKept);
        FillEmails(notKept);
        FillAddresses(notKept);
        return cells_;
    }

private:
    void Set(int column, const QString& value) { cells_[column] = value; }
    bool Free(int column) const { return cells_[column].isEmpty(); }

    static int PhoneColumn(const VCardTyped& phone) {
        const bool fax = phone.Has("fax");
        if (fax)
            return phone.Has("home") ? kHomeFax : kOfficeFax;
        if (phone.Has("cell") || phone.Has("mobile") || phone.Has("iphone"))
            return kMobile;
        if (phone.Has("home"))
            return kHomeTelephone;
        if (phone.Has("work"))
            return kOfficeTelephone;
        return kPhone;
    }

    void FillPhones(QStringList& notKept) {
        // Untyped numbers take the general field before a second number of one type does.
        QList<const VCardTyped*> general;
        QList<const VCardTyped*> overflow;
        for (const VCardTyped& phone : contact_.phones) {
            if (phone.value.isEmpty())
                continue;
            const int column = PhoneColumn(phone);
            if (column == kPhone)
                general.append(&phone);
            else if (Free(column))
                Set(column, phone.value);
            else
                overflow.append(&phone);
        }
        for (const VCardTyped* phone : general + overflow) {
            if (Free(kPhone))
                Set(kPhone, phone->value);
            else
                notKept.append(QStringLiteral("TEL"));
        }
    }

    void FillEmails(QStringList& notKept) {
        for (const VCardTyped& email : contact_.emails) {
            if (email.value.isEmpty())
                continue;
            const int wanted = email.Has("work") ? kWorkEmail : kPersonalEmail;
            const int other = wanted == kWorkEmail ? kPersonalEmail : kWorkEmail;
            if (Free(wanted))
                Set(wanted, email.value);
            else if (Free(other))
                Set(other, email.value);
            else
                notKept.append(QStringLiteral("EMAIL"));
        }
    }

    void FillAddresses(QStringList& notKept) {
        for (const VCardAddress& address : contact_.addresses) {
            const bool work = address.Has("work");
            int first = work ? kOfficeAddress : kHomeAddress;
            if (!Free(first) || !Free(first + 1) || !Free(first + 2) || !Free(first + 3))
                first = work ? kHomeAddress : kOfficeAddress;
            if (!Free(first) || !Free(first + 1) || !Free(first + 2) || !Free(first + 3)) {
                notKept.append(QStringLiteral("ADR"));
                continue;
            }
            const QStringList& p = address.parts;
            QStringList street;
            for (const int part : {0, 1, 2}) {
                if (!p.value(part).isEmpty())
                    street.append(p.value(part));
            }
            QString city = p.value(3);
            if (!p.value(4).isEmpty())
                city += (city.isEmpty() ? QString() : QStringLiteral(", ")) + p.value(4);
            Set(first, street.join(QStringLiteral(", ")));
            Set(first + 1, city);
            Set(first + 2, p.value(6));
            Set(first + 3, p.value(5));
        }
    }

    const VCardContact& contact_;
    QStringList cells_;
};

}  // namespace

VCardContact ContactOfRow(const RecordList& list, int row, VCardListKind kind) {
    VCardContact contact;
    const auto text = [&](int column) { return TrimBlanks(list.Text(row, column)); };
    const QString alias = text(kAlias);
    if (kind == VCardListKind::PhoneBook) {
        contact.formattedName = alias;
        contact.name = alias.isEmpty() ? QStringList() : SplitName(alias);
        if (!text(kPhone).isEmpty())
            contact.phones.append({text(kPhone), {QStringLiteral("voice")}});
        if (HasUsimColumns(list))
            AddUsimFields(contact, list, row);
        return contact;
    }
    const QString name = text(kName);
    contact.formattedName = name.isEmpty() ? alias : name;
    if (!name.isEmpty())
        contact.name = SplitName(name);
    for (const NumberField& field : kNumberFields) {
        if (!text(field.column).isEmpty())
            contact.phones.append({text(field.column), TypeList(field)});
    }
    const QString internet = QStringLiteral("internet");
    if (!text(kPersonalEmail).isEmpty())
        contact.emails.append({text(kPersonalEmail), {internet, QStringLiteral("home")}});
    if (!text(kWorkEmail).isEmpty())
        contact.emails.append({text(kWorkEmail), {internet, QStringLiteral("work")}});
    for (const int first : {kHomeAddress, kOfficeAddress}) {
        if (!RowHasText(list, row, first, first + 3))
            continue;
        contact.addresses.append(
            {{QString(), QString(), text(first), text(first + 1), QString(), text(first + 3),
              text(first + 2)},
             {first == kHomeAddress ? QStringLiteral("home") : QStringLiteral("work")}});
    }
    contact.birthday = BirthdayOfDate(text(kBirth));
    contact.nickname = text(kNickname);
    contact.url = text(kHomepage);
    contact.note = text(kNote);
    contact.gender = text(kSex);
    if (alias != contact.formattedName) {
        contact.extensions.append({kAliasKey, alias});
        contact.hasAlias = true;
    }
    if (!text(kHobby).isEmpty())
        contact.extensions.append({kHobbyKey, text(kHobby)});
    if (!text(kImportant).isEmpty())
        contact.extensions.append({kImportanceKey, text(kImportant)});
    return contact;
}

QByteArray VCardsOfRows(const RecordList& list, int usedCount, VCardListKind kind,
                        VCardVersion version) {
    QByteArray bytes;
    for (int row = 1; row <= usedCount && row < list.Rows(); ++row) {
        if (RowUsed(list, row, kind))
            bytes += WriteVCard(ContactOfRow(list, row, kind), version);
    }
    return bytes;
}

bool ExportVCards(const RecordList& list, int usedCount, VCardListKind kind, VCardVersion version,
                  const QString& path, int languageIndex) {
    const QByteArray bytes = VCardsOfRows(list, usedCount, kind, version);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !WriteWhole(file, bytes) ||
        !CommitWhenComplete(file)) {
        ShowFileError(MessageId::FileNotSaved, path, file.errorString(), languageIndex);
        return false;
    }
    return true;
}

bool ReadVCardFile(const QString& path, VCardFile& file, int languageIndex) {
    QFile input(path);
    if (!input.open(QIODevice::ReadOnly)) {
        ShowFileError(MessageId::FileNotRead, path, input.errorString(), languageIndex);
        return false;
    }
    if (input.size() > kMaxTextFileBytes) {
        MessageRequest request = CatalogueMessage(MessageId::TextFileTooLarge, languageIndex,
                                                  DialogButtons::Ok, DialogIcon::Critical);
        request.text += path;
        ShowMessage(request);
        return false;
    }
    VCardFile read = ParseVCards(input.readAll());
    if (read.contacts.isEmpty()) {
        MessageRequest request = CatalogueMessage(MessageId::NoVCard, languageIndex,
                                                  DialogButtons::Ok, DialogIcon::Critical);
        request.text += path;
        ShowMessage(request);
        return false;
    }
    file = std::move(read);
    return true;
}

NameFit CharacterNameFit(int characters) {
    return [characters](const QString& name) {
        return std::min<qsizetype>(CharacterCount(name), characters);
    };
}

NameFit CardNameFit(int alphaFieldLength) {
    const auto field = std::size_t(std::max(alphaFieldLength, 0));
    return [field](const QString& name) {
        const std::string utf8 = name.toStdString();
        return qsizetype(AlphaCharactersHeld(utf8, field, ChooseAlphaForm(utf8, field)));
    };
}

NameFit RecordFieldNameFit(int width) {
    return [width](const QString& name) {
        return CharacterCount(DecodeFieldText(EncodeFieldText(name, width)));
    };
}

VCardImport ImportVCardsAsPersons(RecordList& list, int& usedCount, const VCardFile& file) {
    VCardImport result;
    result.report = file.problems;
    QStringList notKept;
    const RecordLayout& layout = ContactRecordLayout();
    RecordList::BulkUpdate bulk(list);
    for (const VCardContact& read : file.contacts) {
        notKept += read.notKept;
        const VCardContact contact = WithDialableNumbers(read, result.report, notKept);
        QStringList contactNotKept;
        QStringList cells = PersonFields(contact).Fill(contactNotKept);
        notKept += contactNotKept;
        const QString name = DisplayName(contact);
        if (usedCount + 1 > list.LastSlot()) {
            result.report.Add(LeftOut(contact, name));
            continue;
        }
        ++usedCount;
        for (int column = 1; column <= kLastField; ++column) {
            const QString value = cells[column].trimmed();
            const int width = layout.widths[column - 1];
            const QString kept = DecodeFieldText(EncodeFieldText(value, width));
            if (kept != value)
                result.report.Add(Cut(contact.line, usedCount, list.Text(0, column), value, kept));
            list.SetText(usedCount, column, kept);
        }
        ++result.imported;
    }
    AddNotKept(result.report, notKept);
    result.report.SortByPlace();
    return result;
}

namespace {

// A USIM phone book keeps a contact in one entry: its name, two numbers, an e-mail address, a
// second name and a group. What the entry has no column for is counted as not kept.
VCardImport ImportVCardsAsUsimEntries(RecordList& list, int& usedCount, const VCardFile& file,
                                      const NameFit& fit) {
    VCardImport result;
    result.report = file.problems;
    QStringList notKept;
    RecordList::BulkUpdate bulk(list);
    for (const VCardContact& read : file.contacts) {
        notKept += read.notKept;
        const VCardContact contact = WithDialableNumbers(read, result.report, notKept);
        const UsimEntry entry = UsimEntryOf(contact);
        notKept += NotKeptInPhoneBook(entry.rest);
        for (qsizetype k = 0; k < entry.rest.phones.size(); ++k)
            notKept.append(QStringLiteral("TEL"));
        const QString name = DisplayName(contact).simplified();
        if (usedCount + 1 > list.LastSlot()) {
            result.report.Add(LeftOut(contact, (name + u' ' + entry.number).trimmed()));
            continue;
        }
        ++usedCount;
        const EntryName fitted = FitEntryName(name, {}, fit);
        if (fitted.nameCut)
            result.report.Add(
                Cut(contact.line, usedCount, list.Text(0, kAlias), name, fitted.text));
        list.SetText(usedCount, kAlias, fitted.text);
        list.SetText(usedCount, kPhone, entry.number);
        list.SetText(usedCount, usim_column::kSecondNumber, entry.secondNumber);
        list.SetText(usedCount, usim_column::kNumberType, entry.numberType);
        list.SetText(usedCount, usim_column::kEmail, entry.email);
        list.SetText(usedCount, usim_column::kSecondName, entry.secondName);
        list.SetText(usedCount, usim_column::kGroup, entry.group);
        ++result.imported;
    }
    AddNotKept(result.report, notKept);
    result.report.SortByPlace();
    return result;
}

}  // namespace

VCardImport ImportVCardsAsPhoneBook(RecordList& list, int& usedCount, const VCardFile& file,
                                    const NameFit& fit) {
    if (HasUsimColumns(list))
        return ImportVCardsAsUsimEntries(list, usedCount, file, fit);
    VCardImport result;
    result.report = file.problems;
    QStringList notKept;
    RecordList::BulkUpdate bulk(list);
    for (const VCardContact& read : file.contacts) {
        notKept += read.notKept;
        const VCardContact contact = WithDialableNumbers(read, result.report, notKept);
        notKept += NotKeptInPhoneBook(contact);
        const QString name = DisplayName(contact).simplified();
        QList<const VCardTyped*> phones;
        for (const VCardTyped& phone : contact.phones) {
            if (!phone.value.isEmpty())
                phones.append(&phone);
        }
        // A name without a number is a phone book entry too.
        const VCardTyped nameOnly;
        if (phones.isEmpty())
            phones.append(&nameOnly);
        QMap<QString, int> labelUses;
        for (const VCardTyped* phone : phones) {
            const NumberLabel label =
                phones.size() > 1 ? LabelOf(*phone, labelUses) : NumberLabel{};
            const EntryName entry = FitEntryName(name, label, fit);
            const QString full = FitEntryName(name, label, {}).text;
            if (usedCount + 1 > list.LastSlot()) {
                result.report.Add(LeftOut(contact, full + QStringLiteral(" ") + phone->value));
                continue;
            }
            ++usedCount;
            if (entry.nameCut || entry.labelShortened) {
                ReportEntry shortened = Cut(phone->line > 0 ? phone->line : contact.line, usedCount,
                                            list.Text(0, kAlias), full, entry.text);
                if (!entry.nameCut)
                    shortened.kind = ReportEntry::Kind::LabelShortened;
                result.report.Add(shortened);
            }
            list.SetText(usedCount, kAlias, entry.text);
            list.SetText(usedCount, kPhone, phone->value);
            ++result.imported;
        }
    }
    AddNotKept(result.report, notKept);
    result.report.SortByPlace();
    return result;
}

QString VCardImportReport(const VCardImport& result, int languageIndex) {
    using Kind = ReportEntry::Kind;
    const ImportReport& report = result.report;
    const int unread = report.Count(Kind::NotVCardLine) + report.Count(Kind::NoVCardEnd) +
                       report.Count(Kind::OutsideVCard) + report.Count(Kind::BeginNotVCard) +
                       report.Count(Kind::UnknownCharset);
    QString text = Message(MessageId::VCardImportReport, languageIndex)
                       .arg(result.imported)
                       .arg(report.Count(Kind::Cut))
                       .arg(report.Count(Kind::NoFreeSlot))
                       .arg(report.Total(Kind::NotKept))
                       .arg(unread);
    // A long list is shown in part; the counts above say how long it is.
    const QStringList lines = ReportLines(report, languageIndex);
    if (!lines.isEmpty())
        text += QStringLiteral("\n\n") + lines.mid(0, kReportLinesShown).join(u'\n');
    if (lines.size() > kReportLinesShown)
        text += QStringLiteral("\n...");
    return text;
}

void ShowVCardImport(const VCardImport& result, int languageIndex) {
    if (result.report.IsEmpty())
        return;
    MessageRequest request = CatalogueMessage(MessageId::VCardImportReport, languageIndex,
                                              DialogButtons::Ok, DialogIcon::Information);
    request.text = VCardImportReport(result, languageIndex);
    ShowMessage(request);
}

bool IsVCardPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == u"vcf" || suffix == u"vcard";
}

}  // namespace pellucard
