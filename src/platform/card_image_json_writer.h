#pragma once

#include <QByteArray>
#include <QJsonObject>

namespace pellucard {

// Writes a card image document for people to read: keys in a fixed, meaningful order (a
// file's path and type before its records, a record's comment before its data) rather than
// alphabetically; every object that holds only plain values on one line and every list one
// element a line, so that each record takes one line. Keys the order does not know follow
// alphabetically.
QByteArray WriteOrderedJson(const QJsonObject& root);

}  // namespace pellucard
