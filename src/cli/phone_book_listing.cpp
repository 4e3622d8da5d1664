// The plain-text listing of phonebook read.
#include "cli/phone_book_listing.h"

#include <QJsonObject>

#include <algorithm>

#include "cli/usim_contacts.h"

namespace pellucard::cli {

namespace {

// A value on its line: a tab, line feed or carriage return in it (the GSM alphabet has both
// line breaks, UCS2 names may hold anything) shows as a blank, so that every line stays one
// line of its columns. --json gives the text as the card holds it.
std::string Text(const QJsonValue& value) {
    std::string text = value.toString().toStdString();
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

// The field lines of an entry: only what holds something (the JSON keeps a place for every
// number and e-mail file of the block, "" where a file holds none for the entry).
std::vector<std::string> FieldLines(const QJsonObject& entry) {
    std::vector<std::string> lines;
    for (const auto& value : entry["numbers"].toArray()) {
        const QJsonObject number = value.toObject();
        if (number["number"].toString().isEmpty())
            continue;
        std::string line = "\tnumber\t" + Text(number["number"]);
        if (!number["type"].toString().isEmpty())
            line += "\t" + Text(number["type"]);
        lines.push_back(line);
    }
    for (const auto& email : entry["emails"].toArray()) {
        if (!email.toString().isEmpty())
            lines.push_back("\te-mail\t" + Text(email));
    }
    if (!entry["second_name"].toString().isEmpty())
        lines.push_back("\tsecond name\t" + Text(entry["second_name"]));
    for (const auto& group : entry["groups"].toArray())
        lines.push_back("\tgroup\t" + Text(group));
    return lines;
}

}  // namespace

std::vector<std::string> PhoneBookListing(const QJsonArray& entries) {
    std::vector<std::string> lines;
    for (const auto& value : entries) {
        const QJsonObject entry = value.toObject();
        const std::vector<std::string> fields = FieldLines(entry);
        const std::string name = Text(entry["name"]);
        const std::string number = Text(entry["number"]);
        if (name.empty() && number.empty() && fields.empty())
            continue;
        const UsimSlot at{entry["block"].toInt(1), entry["slot"].toInt()};
        const std::string place = at.block > 1 ? UsimSlotText(at) : std::to_string(at.slot);
        lines.push_back(place + "\t" + name + "\t" + number);
        lines.insert(lines.end(), fields.begin(), fields.end());
    }
    return lines;
}

}  // namespace pellucard::cli
