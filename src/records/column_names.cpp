#include "records/column_names.h"

#include "records/person_fields.h"
#include "records/usim_fields.h"

#include <algorithm>

namespace pellucard {
namespace {

// Titles of contact exports, by the contact field (1..25) they fill. Google Contacts writes
// "Phone 1 - Value", "E-mail 1 - Value", "Address 1 - City" (and, in its older form, "Name",
// "Given Name", "Family Name"); Outlook writes "Mobile Phone", "Home Phone", "Business Phone",
// "E-mail Address", "Home Street", "Business City", "Notes". The tool's JSON names a phone book
// entry's fields "name" and "number".
struct OtherNames {
    int column;
    std::array<const char16_t*, 6> names;
};
constexpr OtherNames kContactOtherNames[] = {
    {1, {u"name", u"Name", u"Full Name", u"Display Name"}},
    {2,
     {u"number", u"Phone 1 - Value", u"Primary Phone", u"Mobile Phone", u"Phone Number",
      u"Telephone"}},
    {4, {u"Home Street", u"Address 1 - Street"}},
    {5, {u"Address 1 - City"}},
    {6, {u"Home Country/Region", u"Address 1 - Country"}},
    {7, {u"Home Postal Code", u"Address 1 - Postal Code"}},
    {8, {u"email", u"E-mail Address", u"E-mail 1 - Value", u"E-mail", u"Email"}},
    {9, {u"Home Phone"}},
    {11, {u"Business Street"}},
    {12, {u"Business City"}},
    {13, {u"Business Country", u"Business Country/Region"}},
    {14, {u"Business Postal Code"}},
    {15, {u"E-mail 2 Address", u"E-mail 2 - Value"}},
    {16, {u"Business Phone", u"Work Phone"}},
    {17, {u"Mobile", u"Cell", u"Cell Phone", u"Mobile Number"}},
    {18, {u"Business Fax"}},
    {22, {u"Web Page", u"Website", u"Website 1 - Value", u"Personal Web Page"}},
    {25, {u"Notes"}},
    // A USIM phone book's columns: Google Contacts' second phone and its type, the first
    // e-mail address, the nickname, and the groups as Google and Outlook name them.
    {usim_column::kSecondNumber, {u"Phone 2 - Value"}},
    {usim_column::kNumberType, {u"Phone 2 - Type"}},
    {usim_column::kEmail, {u"email", u"E-mail Address", u"E-mail 1 - Value", u"Email"}},
    {usim_column::kSecondName, {u"Nickname"}},
    {usim_column::kGroup, {u"Group Membership", u"Categories"}},
};

constexpr OtherNames kMessageOtherNames[] = {
    {1, {u"address"}},
    {3, {u"text"}},
    {6, {u"sc"}},
};

constexpr const char16_t* kNameParts[] = {u"First Name", u"Middle Name",     u"Last Name",
                                          u"Given Name", u"Additional Name", u"Family Name"};

// Column titles as earlier versions spelt them in the files they exported.
struct FormerSpelling {
    int column;
    const char16_t* title;
};
constexpr FormerSpelling kFormerContactSpellings[] = {{17, u"Moblie Phone"}};

constexpr int kContactAlias = 1;
constexpr int kContactName = 3;

QStringList TitlesInEveryLanguage(MessageId id) {
    QStringList titles;
    for (int language = 0; language < kLanguageCount; ++language) {
        const QString title = Message(id, language);
        if (!titles.contains(title))
            titles.append(title);
    }
    return titles;
}

template <std::size_t N>
QStringList OthersOf(const OtherNames (&table)[N], int column) {
    QStringList names;
    for (const OtherNames& entry : table) {
        if (entry.column != column)
            continue;
        for (const char16_t* name : entry.names) {
            if (name != nullptr)
                names.append(QString::fromUtf16(name));
        }
    }
    return names;
}

}  // namespace

ColumnNames NamesOfColumn(ListKind kind, int column) {
    ColumnNames names;
    if (kind == ListKind::Contacts) {
        const auto usim = std::find(kUsimColumns.begin(), kUsimColumns.end(), column);
        if (usim != kUsimColumns.end()) {
            names.titles = TitlesInEveryLanguage(kUsimColumnTitles[usim - kUsimColumns.begin()]);
            names.others = OthersOf(kContactOtherNames, column);
            return names;
        }
        if (column < 1 || column > int(kContactFieldTitles.size()))
            return names;
        names.titles = TitlesInEveryLanguage(kContactFieldTitles[column - 1]);
        for (const FormerSpelling& former : kFormerContactSpellings) {
            if (former.column == column)
                names.titles.append(QString::fromUtf16(former.title));
        }
        names.others = OthersOf(kContactOtherNames, column);
        names.takesNameParts = column == kContactAlias;
        names.movesTo = column == kContactName ? kContactAlias : 0;
        return names;
    }
    if (column < 1 || column > int(kSmsFieldTitles.size()) || !kSmsFieldTitles[column - 1])
        return names;
    names.titles = TitlesInEveryLanguage(*kSmsFieldTitles[column - 1]);
    names.others = OthersOf(kMessageOtherNames, column);
    return names;
}

bool IsNamePart(const QString& name) {
    for (const char16_t* part : kNameParts) {
        if (name.trimmed().compare(QString::fromUtf16(part), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

}  // namespace pellucard
