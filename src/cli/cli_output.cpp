#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <unistd.h>
#include <cstdio>
#include <iostream>

#include "cli/cli.h"

namespace pellucard::cli {

void PrintJson(const QJsonValue& value) {
    QJsonDocument document =
        value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    std::cout << document.toJson(QJsonDocument::Indented).toStdString() << std::flush;
}

void PrintLine(const std::string& text) {
    std::cout << text << '\n';
}

std::string Counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

void Progress(const char* what, int done, int total) {
    if (!isatty(STDERR_FILENO) || total <= 0)
        return;
    std::fprintf(stderr, "\r%s %d/%d", what, done, total);
    std::fflush(stderr);
}

void EndProgress() {
    if (!isatty(STDERR_FILENO))
        return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
}

}  // namespace pellucard::cli
