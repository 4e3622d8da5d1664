#include "cli/loss_report.h"

#include <QJsonValue>
#include <QString>

#include <iostream>

#include "cli/cli.h"

namespace pellucard::cli {
namespace {

// A value is shown whole up to this many characters; beyond, its start and its length (the
// JSON result keeps it whole).
constexpr qsizetype kShownCharacters = 80;

Losses& Listed() {
    static Losses losses;
    return losses;
}

// A value in quotes on one line: line breaks and tabs are shown as \n, \r and \t so that each
// loss keeps its own line.
std::string Quoted(const std::string& text) {
    QString value = QString::fromStdString(text);
    const qsizetype length = value.size();
    bool shortened = false;
    if (length > kShownCharacters) {
        qsizetype cut = kShownCharacters;
        if (value[cut - 1].isHighSurrogate())
            --cut;  // never half a character
        value.truncate(cut);
        shortened = true;
    }
    value.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'\n', QStringLiteral("\\n"))
        .replace(u'\r', QStringLiteral("\\r"))
        .replace(u'\t', QStringLiteral("\\t"));
    std::string shown = "\"" + value.toStdString() + (shortened ? "...\"" : "\"");
    if (shortened)
        shown += " (" + std::to_string(length) + " characters)";
    return shown;
}

QJsonValue TextOrNull(const std::string& text) {
    return text.empty() ? QJsonValue(QJsonValue::Null) : QJsonValue(QString::fromStdString(text));
}

QJsonValue NumberOrNull(int number) {
    return number > 0 ? QJsonValue(number) : QJsonValue(QJsonValue::Null);
}

const char* KindName(Loss::Kind kind) {
    switch (kind) {
        case Loss::Kind::Cut:
            return "cut";
        case Loss::Kind::Dropped:
            return "dropped";
        case Loss::Kind::Unread:
            return "unread";
    }
    return "cut";
}

}  // namespace

Loss Loss::Cut(int slot, std::string field, std::string before, std::string after,
               std::string why) {
    Loss loss;
    loss.slot = slot;
    loss.field = std::move(field);
    loss.before = std::move(before);
    loss.after = std::move(after);
    loss.why = std::move(why);
    return loss;
}

Loss Loss::Dropped(int slot, std::string field, std::string before, std::string why) {
    Loss loss = Cut(slot, std::move(field), std::move(before), {}, std::move(why));
    loss.kind = Kind::Dropped;
    return loss;
}

Loss Loss::Unread(int line, std::string before, std::string why) {
    Loss loss = Cut(0, {}, std::move(before), {}, std::move(why));
    loss.kind = Kind::Unread;
    loss.line = line;
    return loss;
}

Loss Loss::AtLine(int inputLine) const {
    Loss loss = *this;
    loss.line = inputLine;
    return loss;
}

std::string LossLine(const Loss& loss) {
    std::string where;
    if (loss.slot > 0)
        where = "slot " + std::to_string(loss.slot);
    if (loss.line > 0)
        where += where.empty() ? "line " + std::to_string(loss.line)
                               : " (line " + std::to_string(loss.line) + ")";
    if (!loss.field.empty())
        where += (where.empty() ? "" : ", ") + loss.field;

    std::string what;
    switch (loss.kind) {
        case Loss::Kind::Cut:
            what = loss.before.empty() && loss.after.empty()
                       ? "cut"
                       : Quoted(loss.before) + " is cut to " + Quoted(loss.after);
            break;
        case Loss::Kind::Dropped:
            what = loss.before.empty() ? "left out" : Quoted(loss.before) + " is left out";
            break;
        case Loss::Kind::Unread:
            what = loss.before.empty() ? "could not be read"
                                       : Quoted(loss.before) + " could not be read";
            break;
    }
    std::string line = where.empty() ? what : where + ": " + what;
    if (!loss.why.empty())
        line += " (" + loss.why + ")";
    return line;
}

QJsonObject LossJson(const Loss& loss) {
    QJsonObject o;
    o["kind"] = KindName(loss.kind);
    o["slot"] = NumberOrNull(loss.slot);
    o["line"] = NumberOrNull(loss.line);
    o["field"] = TextOrNull(loss.field);
    o["before"] = TextOrNull(loss.before);
    const bool cutKnown =
        loss.kind == Loss::Kind::Cut && !(loss.before.empty() && loss.after.empty());
    o["after"] =
        cutKnown ? QJsonValue(QString::fromStdString(loss.after)) : QJsonValue(QJsonValue::Null);
    o["why"] = TextOrNull(loss.why);
    return o;
}

QJsonArray LossesJson(const Losses& losses) {
    QJsonArray array;
    for (const Loss& loss : losses)
        array.append(LossJson(loss));
    return array;
}

void StopOnLosses(const Losses& losses, bool force) {
    if (losses.empty())
        return;
    Listed().insert(Listed().end(), losses.begin(), losses.end());
    std::string text;
    for (const Loss& loss : losses)
        text += "\n  " + LossLine(loss);
    if (!force) {
        throw Failure{kCardFailure,
                      "nothing was written, since the output cannot keep every record as given "
                      "(--force writes it cut):" +
                          text};
    }
    std::cerr << "pellucard-cli: written with --force; cut or left out:" << text << '\n';
}

const Losses& ListedLosses() {
    return Listed();
}

}  // namespace pellucard::cli
