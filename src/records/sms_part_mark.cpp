#include "records/sms_part_mark.h"

#include <QRegularExpression>

#include "records/record_list.h"

namespace pellucard {

QByteArray PartMark(const SmsConcatenation& part, const QString& text) {
    QString mark = QStringLiteral("SMS part %1 %2/%3")
                       .arg(part.reference)
                       .arg(part.partNumber)
                       .arg(part.partCount);
    const QString trimmed = TrimBlanks(text);
    if (trimmed.size() != text.size()) {
        const qsizetype leading = text.indexOf(trimmed);
        mark += QStringLiteral(" blanks %1 %2")
                    .arg(leading)
                    .arg(text.size() - trimmed.size() - leading);
    }
    return mark.toLatin1();
}

std::optional<SmsPartMark> ReadPartMark(const QByteArray& bytes) {
    static const QRegularExpression form(QStringLiteral(
        "^SMS part (\\d{1,5}) (\\d{1,3})/(\\d{1,3})(?: blanks (\\d{1,3}) (\\d{1,3}))?$"));
    const qsizetype end = bytes.indexOf('\0');
    const QRegularExpressionMatch match =
        form.match(QString::fromLatin1(end < 0 ? bytes : bytes.left(end)));
    if (!match.hasMatch())
        return std::nullopt;
    SmsPartMark mark;
    mark.part.reference = match.captured(1).toInt();
    mark.part.partNumber = match.captured(2).toInt();
    mark.part.partCount = match.captured(3).toInt();
    mark.leadingBlanks = match.captured(4).toInt();
    mark.trailingBlanks = match.captured(5).toInt();
    // A 16-bit reference at most, 2 to 255 parts (GSM 03.40 concatenation); no more blanks
    // than one part's text holds.
    const SmsConcatenation& part = mark.part;
    if (part.reference > 0xFFFF || part.partCount < 2 || part.partCount > 255 ||
        part.partNumber < 1 || part.partNumber > part.partCount ||
        mark.leadingBlanks + mark.trailingBlanks > 160)
        return std::nullopt;
    return mark;
}

}  // namespace pellucard
