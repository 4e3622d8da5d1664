// Lets GoogleTest print Qt texts as text in its failure messages.
#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

inline void printTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void printTo(const QStringList& texts, std::ostream* out) {
    *out << '{';
    for (qsizetype k = 0; k < texts.size(); ++k)
        *out << (k > 0 ? ", " : "") << '"' << texts[k].toStdString() << '"';
    *out << '}';
}
