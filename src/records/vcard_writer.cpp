// Writing vCard 2.1, 3.0 and 4.0.
#include <QRegularExpression>

#include "records/vcard.h"

namespace pellucard {
namespace {

constexpr qsizetype kFoldOctets = 75;  // RFC 2426 and 6350: lines SHOULD NOT be longer

// A text value in 3.0 and 4.0: backslash, comma, semicolon and line breaks escaped.
QString EscapeText(const QString& text) {
    QString escaped;
    for (const QChar c : text) {
        if (c == u'\\' || c == u',' || c == u';')
            escaped += u'\\';
        if (c == u'\n') {
            escaped += QLatin1String("\\n");
            continue;
        }
        escaped += c;
    }
    return escaped;
}

// A component of a structured value in 2.1: only the separators and the backslash.
QString EscapeComponent21(const QString& text, QChar separator) {
    QString escaped;
    for (const QChar c : text) {
        if (c == u'\\' || c == u';' || c == separator)
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

bool NeedsQuotedPrintable(const QString& value) {
    for (const QChar c : value) {
        if (c.unicode() > 0x7E || c.unicode() < 0x20)
            return true;
    }
    return false;
}

// Quoted-printable UTF-8 on one line, as phones write it: readers of 2.1 files take a value
// whole that way, where many refuse soft line breaks.
QByteArray QuotedPrintable(const QString& value) {
    QString normalised = value;
    normalised.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    QByteArray out;
    for (const char c : normalised.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E || byte == '=')
            out += '=' + QByteArray::number(byte, 16).toUpper().rightJustified(2, '0');
        else
            out += c;
    }
    return out;
}

// Folds a content line at 75 octets without splitting a UTF-8 character.
QByteArray Fold(const QByteArray& line) {
    QByteArray out;
    qsizetype lineLength = 0;
    for (qsizetype at = 0; at < line.size();) {
        qsizetype end = at + 1;
        while (end < line.size() && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80)
            ++end;
        if (lineLength + (end - at) > kFoldOctets) {
            out += "\r\n ";
            lineLength = 1;
        }
        out += line.mid(at, end - at);
        lineLength += end - at;
        at = end;
    }
    return out + "\r\n";
}

class Writer {
public:
    explicit Writer(VCardVersion version) : version_(version) {}

    // A property whose value is one text.
    void Text(const char* name, const QString& value, const QStringList& types = {}) {
        if (version_ == VCardVersion::V21)
            Line21(name, types, {value});
        else
            Line(name, types, EscapeText(value));
    }

    // A property whose value is several components separated by ";".
    void Structured(const char* name, const QStringList& parts, const QStringList& types = {}) {
        if (version_ == VCardVersion::V21) {
            Line21(name, types, parts);
            return;
        }
        QStringList escaped;
        for (const QString& part : parts)
            escaped.append(EscapeText(part));
        Line(name, types, escaped.join(u';'));
    }

    // A property whose value is a list of texts separated by "," (CATEGORIES).
    void List(const char* name, const QStringList& values) {
        if (version_ == VCardVersion::V21) {
            Line21(name, {}, values, u',');
            return;
        }
        QStringList escaped;
        for (const QString& value : values)
            escaped.append(EscapeText(value));
        Line(name, {}, escaped.join(u','));
    }

    // A value written as it is (a date, a number that needs no escaping).
    void Raw(const char* name, const QString& value) { Line(name, {}, value); }

    QByteArray Take() { return std::move(out_); }

private:
    void Line(const char* name, const QStringList& types, const QString& value) {
        QByteArray line = name;
        if (!types.isEmpty()) {
            const QString joined = types.join(u',');
            line += ";TYPE=" + (version_ == VCardVersion::V40 ? joined : joined.toUpper()).toUtf8();
        }
        line += ':' + value.toUtf8();
        out_ += Fold(line);
    }

    // 2.1: bare type parameters; quoted-printable UTF-8 where a value needs it.
    void Line21(const char* name, const QStringList& types, const QStringList& parts,
                QChar separator = u';') {
        QByteArray line = name;
        for (const QString& type : types)
            line += ';' + type.toUpper().toUtf8();
        QStringList values;
        bool encode = false;
        for (const QString& part : parts) {
            // A text value escapes them too, so that a backslash in it reads back as written.
            values.append(EscapeComponent21(part, separator));
            encode = encode || NeedsQuotedPrintable(part);
        }
        const QString value = values.join(separator);
        if (!encode) {
            out_ += line + ':' + value.toLatin1() + "\r\n";
            return;
        }
        line += ";CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:";
        out_ += line + QuotedPrintable(value) + "\r\n";
    }

    VCardVersion version_;
    QByteArray out_;
};

// 4.0 writes dates in the basic form: 19800423, --0423.
QString BirthdayFor(const QString& birthday, VCardVersion version) {
    if (version != VCardVersion::V40)
        return birthday;
    static const QRegularExpression full(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    static const QRegularExpression noYear(QStringLiteral("^--(\\d{2})-(\\d{2})$"));
    if (const auto match = full.match(birthday); match.hasMatch())
        return match.captured(1) + match.captured(2) + match.captured(3);
    if (const auto match = noYear.match(birthday); match.hasMatch())
        return QStringLiteral("--") + match.captured(1) + match.captured(2);
    return birthday;
}

}  // namespace

QByteArray WriteVCard(const VCardContact& contact, VCardVersion version) {
    Writer writer(version);
    QByteArray head = "BEGIN:VCARD\r\n";
    switch (version) {
        case VCardVersion::V21:
            head += "VERSION:2.1\r\n";
            break;
        case VCardVersion::V30:
            head += "VERSION:3.0\r\n";
            break;
        case VCardVersion::V40:
            head += "VERSION:4.0\r\n";
            break;
    }
    QStringList name = contact.name;
    while (name.size() < 5)
        name.append(QString());
    writer.Structured("N", name.mid(0, 5));
    writer.Text("FN", contact.formattedName);
    if (!contact.nickname.isEmpty())
        writer.Text("NICKNAME", contact.nickname);
    for (const VCardTyped& phone : contact.phones)
        writer.Text("TEL", phone.value, phone.types);
    for (const VCardTyped& email : contact.emails)
        writer.Text("EMAIL", email.value, email.types);
    for (const VCardAddress& address : contact.addresses)
        writer.Structured("ADR", address.parts, address.types);
    if (!contact.organisation.isEmpty())
        writer.Text("ORG", contact.organisation);
    if (!contact.title.isEmpty())
        writer.Text("TITLE", contact.title);
    if (!contact.birthday.isEmpty())
        writer.Text("BDAY", BirthdayFor(contact.birthday, version));
    if (!contact.url.isEmpty())
        writer.Raw("URL", contact.url);
    if (!contact.note.isEmpty())
        writer.Text("NOTE", contact.note);
    if (!contact.categories.isEmpty())
        writer.List("CATEGORIES", contact.categories);
    if (!contact.gender.isEmpty())
        writer.Text(version == VCardVersion::V40 ? "GENDER" : "X-GENDER", contact.gender);
    for (const auto& [key, value] : contact.extensions) {
        const QByteArray property = "X-PELLUCARD-" + key.toUtf8();
        writer.Text(property.constData(), value);
    }
    return head + writer.Take() + "END:VCARD\r\n";
}

}  // namespace pellucard
