#include "windows/sms_fields.h"

#include "catalogue/catalogue.h"
#include "engine/sms_record.h"
#include "records/record_list.h"

namespace pellucard {

namespace {

// "n" and its unit joined, or two such parts with a blank between them; a part whose number
// is 0 is left out.
QString twoParts(int first, MessageId firstWord, int second, MessageId secondWord,
                 int languageIndex) {
    const QString a = QString::number(first) + Message(firstWord, languageIndex);
    const QString b = QString::number(second) + Message(secondWord, languageIndex);
    if (first == 0)
        return b;
    if (second == 0)
        return a;
    return a + QLatin1Char(' ') + b;
}

}  // namespace

QString smsStatusText(int status) {
    switch (status) {
        case kSmsRead:
            return QString::fromLatin1(kStatusRead);
        case kSmsToBeRead:
            return QString::fromLatin1(kStatusToBeRead);
        case kSmsSent:
            return QString::fromLatin1(kStatusSent);
        case kSmsToBeSent:
            return QString::fromLatin1(kStatusToBeSent);
        default:
            return {};
    }
}

int smsStatusByte(const QString& text) {
    const QString status = TrimBlanks(text);
    if (status == QLatin1String(kStatusRead))
        return kSmsRead;
    if (status == QLatin1String(kStatusToBeRead))
        return kSmsToBeRead;
    if (status == QLatin1String(kStatusSent))
        return kSmsSent;
    if (status == QLatin1String(kStatusToBeSent))
        return kSmsToBeSent;
    return kStatusNotAMessage;
}

QString validityText(int v, int languageIndex) {
    if (v >= 0 && v <= 143) {
        const int minutes = (v + 1) * 5;
        return twoParts(minutes / 60, MessageId::Hour, minutes % 60, MessageId::Minutes,
                        languageIndex);
    }
    if (v >= 144 && v <= 167) {
        const int minutes = 12 * 60 + (v - 143) * 30;
        return twoParts(minutes / 60, MessageId::Hour, minutes % 60, MessageId::Minutes,
                        languageIndex);
    }
    if (v >= 168 && v <= 196) {
        const int days = v - 166;
        return twoParts(days / 7, MessageId::Week, days % 7, MessageId::Day, languageIndex);
    }
    if (v >= 197 && v <= 255)
        return QString::number(v - 192) + Message(MessageId::Week, languageIndex);
    return {};
}

}  // namespace pellucard
