#pragma once

#include <QJsonArray>
#include <QJsonObject>

#include <string>
#include <vector>

namespace pellucard::cli {

// One thing that an output could not keep as the input gave it: a field cut short, a record
// left out, a line of the input that could not be read. Writes and conversions collect them
// all before they write anything; the list is refused without --force and printed with it.
struct Loss {
    enum class Kind { Cut, Dropped, Unread };
    Kind kind = Kind::Cut;
    int slot = 0;        // the slot (record, row) concerned; 0 when none
    int line = 0;        // the input's line concerned; 0 when none
    std::string field;   // "name", "number", a column title...; empty for a whole record
    std::string before;  // what the input said
    std::string after;   // what the output keeps of it (cuts only)
    std::string why;     // the limit that caused it, in a few words

    static Loss Cut(int slot, std::string field, std::string before, std::string after,
                    std::string why);
    static Loss Dropped(int slot, std::string field, std::string before, std::string why);
    static Loss Unread(int line, std::string before, std::string why);
    // The same loss, placed at a line of the input.
    Loss AtLine(int inputLine) const;
};

using Losses = std::vector<Loss>;

// One line for people: `slot 3, name: "Иван Петров (mobile)" is cut to "Ив (mobile)" (...)`.
std::string LossLine(const Loss& loss);

// {"kind": "cut"|"dropped"|"unread", "slot": n|null, "line": n|null, "field": text|null,
//  "before": text|null, "after": text|null, "why": text|null}
QJsonObject LossJson(const Loss& loss);
QJsonArray LossesJson(const Losses& losses);

// Nothing lost: returns. Without `force`: fails with exit status 1 before anything is
// written, listing every loss. With it: lists every loss on stderr and returns.
void StopOnLosses(const Losses& losses, bool force);

// Every loss this run listed so far, refused or forced, in order: what the command's JSON
// result (or its JSON error) reports beside the lines on stderr.
const Losses& ListedLosses();

}  // namespace pellucard::cli
