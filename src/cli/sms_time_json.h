#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>
#include <string>

#include "engine/sms_timestamp.h"

namespace pellucard::cli {

// A received message's service centre time stamp in the tool's JSON: "time" in ISO 8601
// ("2024-03-15T10:30:00+01:00") for people and programs, and beside it "timestamp", the
// stamp's seven fields as the card holds them ([yy, mm, dd, hh, mi, ss, tz], tz in signed
// quarter hours), which a write takes back unchanged. The two-digit year is of this century
// unless that is later than `currentYear`, as the SMS window shows it.

// The ISO 8601 text; null for no stamp, or for fields that make no date and time.
QJsonValue IsoTime(const SmsTimeStamp& stamp, int currentYear);

// Sets "time" and "timestamp" of `o`, both null when there is no stamp.
void SetTimeStamp(QJsonObject& o, const std::optional<SmsTimeStamp>& stamp);

// Reads an ISO 8601 time ("YYYY-MM-DDThh:mm:ss" and "Z" or "+hh:mm"/"-hh:mm") into a stamp;
// nothing, with `why`, for a text that is no such time or one a stamp cannot hold (a year
// 2000, a zone that is no whole quarter hour).
std::optional<SmsTimeStamp> StampOfIsoTime(const QString& text, std::string& why);

}  // namespace pellucard::cli
