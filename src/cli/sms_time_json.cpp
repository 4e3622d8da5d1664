#include "cli/sms_time_json.h"

#include <QDate>
#include <QJsonArray>
#include <QRegularExpression>
#include <QTime>

#include <cstdlib>

namespace pellucard::cli {
namespace {

constexpr int kMaxZoneQuarters = 79;  // what the stamp's zone byte holds

}  // namespace

QJsonValue IsoTime(const SmsTimeStamp& stamp, int currentYear) {
    if (stamp.IsZero())
        return QJsonValue::Null;
    const int century = 2000 + stamp.year <= currentYear ? 2000 : 1900;
    const QDate date(century + stamp.year, stamp.month, stamp.day);
    const QTime time(stamp.hour, stamp.minute, stamp.second);
    if (!date.isValid() || !time.isValid() || std::abs(stamp.timeZone) > kMaxZoneQuarters)
        return QJsonValue::Null;
    const int minutes = std::abs(stamp.timeZone) * 15;
    return date.toString(Qt::ISODate) + u'T' + time.toString(Qt::ISODate) +
           (stamp.timeZone < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QChar(u'0'))
               .arg(minutes % 60, 2, 10, QChar(u'0'));
}

void SetTimeStamp(QJsonObject& o, const std::optional<SmsTimeStamp>& stamp) {
    if (!stamp || stamp->IsZero()) {
        o["time"] = QJsonValue::Null;
        o["timestamp"] = QJsonValue::Null;
        return;
    }
    o["time"] = IsoTime(*stamp, QDate::currentDate().year());
    QJsonArray fields;
    for (int value : stamp->Values())
        fields.append(value);
    o["timestamp"] = fields;
}

std::optional<SmsTimeStamp> StampOfIsoTime(const QString& text, std::string& why) {
    static const QRegularExpression iso(QStringLiteral(
        "^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2}):(\\d{2})(Z|([+-])(\\d{2}):(\\d{2}))$"));
    const QRegularExpressionMatch match = iso.match(text);
    if (!match.hasMatch()) {
        why = "is no ISO 8601 time such as 2024-03-15T10:30:00+01:00";
        return std::nullopt;
    }
    const auto number = [&match](int group) { return match.captured(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    const QTime time(number(4), number(5), number(6));
    if (!date.isValid() || !time.isValid()) {
        why = "is no date and time";
        return std::nullopt;
    }
    const int year = number(1);
    if (year < 1901 || year > 2099 || year == 2000) {
        why = "has a year a time stamp cannot hold (1901 to 2099 but 2000)";
        return std::nullopt;
    }
    int quarters = 0;
    if (match.captured(7) != u"Z") {
        const int minutes = number(9) * 60 + number(10);
        if (minutes % 15 != 0 || minutes / 15 > kMaxZoneQuarters) {
            why = "has a time zone that is no whole quarter hour up to 19:45";
            return std::nullopt;
        }
        quarters = (match.captured(8) == u"-" ? -1 : 1) * minutes / 15;
    }
    return SmsTimeStamp{year % 100, number(2), number(3), number(4),
                        number(5),  number(6), quarters};
}

}  // namespace pellucard::cli
