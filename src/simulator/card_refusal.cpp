#include <cctype>
#include <charconv>
#include <cstdio>

#include "engine/status_words.h"
#include "simulator/card_image.h"

namespace pellucard {

bool CardRefusal::Applies(const std::string& filePath, Command what, int number) const {
    if (what != command || (record != 0 && record != number))
        return false;
    if (filePath == path)
        return true;
    return filePath.size() > path.size() && filePath.ends_with(path) &&
           filePath[filePath.size() - path.size() - 1] == '/';
}

namespace {

std::vector<std::string_view> SplitColons(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        if (at == text.size() || text[at] == ':') {
            parts.push_back(text.substr(start, at - start));
            start = at + 1;
        }
    }
    return parts;
}

}  // namespace

bool ParseCardRefusal(std::string_view text, CardRefusal& refusal, std::string& error) {
    const auto parts = SplitColons(text);
    const std::string quoted = "'" + std::string(text) + "'";
    if (parts.size() != 4) {
        error = quoted + " is not COMMAND:FILE:RECORD:STATUS (read:6F3A:17:9804)";
        return false;
    }
    CardRefusal parsed;
    if (parts[0] == "read") {
        parsed.command = CardRefusal::Command::Read;
    } else if (parts[0] == "update") {
        parsed.command = CardRefusal::Command::Update;
    } else {
        error = quoted + ": the command is read or update";
        return false;
    }
    std::vector<std::uint16_t> ids;
    if (!ParseFilePath(parts[1], ids)) {
        error = quoted + ": the file is given by its identifiers, as 6F3A or 3F00/7F10/6F3A";
        return false;
    }
    parsed.path = std::string(parts[1]);
    for (char& c : parsed.path)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (parts[2] == "*") {
        parsed.record = 0;
    } else {
        const auto* end = parts[2].data() + parts[2].size();
        const auto [at, failed] = std::from_chars(parts[2].data(), end, parsed.record);
        if (failed != std::errc() || at != end || parsed.record < 1 || parsed.record > 255) {
            error = quoted + ": the record is 1 to 255, or * for every record";
            return false;
        }
    }
    unsigned status = 0;
    const auto* end = parts[3].data() + parts[3].size();
    const auto [at, failed] = std::from_chars(parts[3].data(), end, status, 16);
    if (parts[3].size() != 4 || failed != std::errc() || at != end ||
        IsExecuted(static_cast<std::uint16_t>(status)) || (status >> 8) < 0x60) {
        error = quoted + ": the status word is four hex digits of a refusal, as 9804 or 6F00";
        return false;
    }
    parsed.statusWord = static_cast<std::uint16_t>(status);
    refusal = parsed;
    return true;
}

std::string CardRefusalText(const CardRefusal& refusal) {
    char status[8];
    std::snprintf(status, sizeof status, "%04X", refusal.statusWord);
    return std::string(refusal.command == CardRefusal::Command::Read ? "read" : "update") + ":" +
           refusal.path + ":" + (refusal.record == 0 ? "*" : std::to_string(refusal.record)) + ":" +
           status;
}

}  // namespace pellucard
