#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "records/import_report.h"

namespace pellucard {

// vCard: the contact format that phones and contact services import and export.
// Reading takes 2.1, 3.0 (RFC 2426) and 4.0 (RFC 6350); writing gives 2.1, 3.0 or 4.0.

enum class VCardVersion { V21, V30, V40 };

// A property value with the types it was given, in lower case ("cell", "home", "work", "fax",
// "pref", "voice", "internet"); "pref" also stands for a 4.0 PREF parameter.
struct VCardTyped {
    QString value;
    QStringList types;
    int line = 0;  // the line of the file where the property begins
    bool Has(const char* type) const { return types.contains(QLatin1String(type)); }
};

// An ADR value: post office box, extended address, street, locality, region, postal code,
// country.
struct VCardAddress {
    QStringList parts;  // always seven
    QStringList types;
    bool Has(const char* type) const { return types.contains(QLatin1String(type)); }
};

// The properties of one contact that Pellucard keeps. Texts are decoded: no escapes, no
// quoted-printable, line breaks as "\n".
struct VCardContact {
    int line = 0;           // the line of the file where BEGIN:VCARD stands
    QString formattedName;  // FN
    QStringList name;       // N: family, given, additional, prefixes, suffixes
    QString nickname;
    QString organisation;  // ORG, its units joined by "; "
    QString title;
    QString birthday;  // BDAY as written
    QString note;
    QString url;
    QString gender;  // GENDER (4.0) or X-GENDER: its first component
    QList<VCardTyped> phones;
    QList<VCardTyped> emails;
    QList<VCardAddress> addresses;
    QStringList categories;  // the CATEGORIES values, of every such property, in order
    // Pellucard's own fields that vCard has no property for (X-PELLUCARD-ALIAS, -HOBBY,
    // -IMPORTANCE), by their name after "X-PELLUCARD-".
    QList<std::pair<QString, QString>> extensions;
    bool hasAlias = false;  // X-PELLUCARD-ALIAS was given, even empty

    QString Extension(const QString& key) const;
    // Property names the contact carried that none of the above keeps (PHOTO, UID, X-...).
    QStringList notKept;
};

// What a file gave: its contacts, and where it was damaged.
struct VCardFile {
    QList<VCardContact> contacts;
    // Each line that could not be read, a card without END, a value in a character set that
    // is not known.
    ImportReport problems;
    int NotKeptCount() const;
};

// Reads every contact of a file. Damaged lines are skipped and reported; what can be read is
// kept. Line folding (CRLF or LF followed by a blank), quoted-printable with soft line breaks
// and a CHARSET, groups ("item1.TEL"), 2.1's bare type parameters and TYPE lists are
// understood.
VCardFile ParseVCards(const QByteArray& bytes);

// One vCard of `version`, CRLF line ends, lines folded at 75 octets (3.0 and 4.0). 2.1 writes
// non-ASCII text and line breaks as quoted-printable UTF-8, each value on one line however long
// (without soft line breaks, as phones write it), and bare type parameters.
QByteArray WriteVCard(const VCardContact& contact, VCardVersion version);

// The family and given parts of a one-line name: the last word is the family name, what comes
// before it the given names. ComposeName puts them back together.
QStringList SplitName(const QString& name);
QString ComposeName(const QStringList& name);

}  // namespace pellucard
