#include "records/person_fields.h"

#include <QDate>
#include <QStringList>

namespace pellucard {

QString YearPrefix(const QString& typed) {
    QString year;
    for (const QChar c : typed) {
        bool allowed = false;
        switch (year.size()) {
            case 0:
                allowed = c == u'1' || c == u'2';
                break;
            case 1:
                allowed = year == u"1" ? (c == u'8' || c == u'9') : c == u'0';
                break;
            case 2:
                allowed = year == u"18" ? (c >= u'6' && c <= u'9') : c.isDigit();
                break;
            case 3:
                allowed = c.isDigit();
                break;
            default:
                break;
        }
        if (!allowed || c.unicode() > 0x7F)
            break;
        year += c;
    }
    return year;
}

QString SexValue(const QString& typed) {
    if (typed.compare(u"F", Qt::CaseInsensitive) == 0)
        return QStringLiteral("F");
    if (typed.compare(u"M", Qt::CaseInsensitive) == 0)
        return QStringLiteral("M");
    return {};
}

QString ImportanceValue(const QString& typed) {
    return typed.size() == 1 && typed[0] >= u'0' && typed[0] <= u'9' ? typed : QString();
}

int DaysInMonth(const QString& year, const QString& month) {
    bool yearIsNumber = false;
    bool monthIsNumber = false;
    const int y = year.toInt(&yearIsNumber);
    const int m = month.toInt(&monthIsNumber);
    if (!yearIsNumber || !monthIsNumber || m < 1 || m > 12 || year.size() != 4)
        return 31;
    return QDate(y, m, 1).daysInMonth();
}

QString JoinDate(const QString& year, const QString& month, const QString& day) {
    if (year.isEmpty() && month.isEmpty() && day.isEmpty())
        return {};
    return year + u'/' + month + u'/' + day;
}

std::array<QString, 3> SplitDate(const QString& date) {
    const QStringList parts = date.split(u'/');
    return {parts.value(0).trimmed(), parts.value(1).trimmed(), parts.value(2).trimmed()};
}

}  // namespace pellucard
