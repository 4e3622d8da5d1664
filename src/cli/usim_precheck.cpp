// The USIM fields of a phonebook write or add, checked against the card before writing.
#include "cli/usim_precheck.h"

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/status_words.h"
#include "engine/usim_phonebook_names.h"

namespace pellucard::cli {

namespace {

constexpr std::uint16_t kNotEnoughMemory = 0x6A84;

std::string NumberText(const ContactNumber& number) {
    return number.type.empty() ? number.number : number.number + " (" + number.type + ")";
}

// One value of a contact's fields, tried on its own on top of those accepted before it.
struct Step {
    std::string field;
    std::string value;
    std::function<void(UsimContact&)> apply;
    // Why the card refuses it, from the status word its check gave.
    std::function<std::string(std::uint16_t)> why;
};

std::string Room(int slots, const char* one, const char* many) {
    return "the card has room for " + std::to_string(slots) + " " + (slots == 1 ? one : many);
}

std::string Uncut(std::uint16_t statusWord, const std::string& what) {
    if (statusWord == kNotEnoughMemory)
        return "the card has no free record left for another " + what;
    if (statusWord == status_word::kWrongData)
        return "the card cannot hold it whole (too long, or characters it cannot store)";
    return "the card refuses it (status " + CardOutcome::Refused(statusWord).StatusText() + ")";
}

std::vector<Step> StepsOf(const UsimPhoneBook& book, int index, const UsimContact& read,
                          const UsimFields& given) {
    std::vector<Step> steps;
    const auto plain = [](const std::string& what) {
        return [what](std::uint16_t sw) { return Uncut(sw, what); };
    };
    if (given.name && *given.name != read.name)
        steps.push_back({"name", *given.name,
                         [name = *given.name](UsimContact& c) { c.name = name; }, plain("name")});
    if (given.number && *given.number != read.number)
        steps.push_back({"number", *given.number,
                         [number = *given.number](UsimContact& c) { c.number = number; },
                         plain("number")});
    if (given.numbers) {
        const std::size_t count = std::max(given.numbers->size(), read.numbers.size());
        for (std::size_t i = 0; i < count; ++i) {
            const ContactNumber wanted =
                i < given.numbers->size() ? (*given.numbers)[i] : ContactNumber{};
            const ContactNumber held = i < read.numbers.size() ? read.numbers[i] : ContactNumber{};
            if (wanted == held || (wanted.number.empty() && held.number.empty()))
                continue;
            const int slots = book.NumberSlots(index);
            const std::vector<std::string> types = book.NumberTypes(index);
            steps.push_back({"additional number", NumberText(wanted),
                             [i, wanted](UsimContact& c) {
                                 if (c.numbers.size() <= i)
                                     c.numbers.resize(i + 1);
                                 c.numbers[i] = wanted;
                             },
                             [=](std::uint16_t sw) {
                                 if (static_cast<int>(i) >= slots)
                                     return Room(slots, "additional number", "additional numbers");
                                 if (sw == status_word::kWrongData && !wanted.type.empty() &&
                                     RecordOfName(types, wanted.type) == 0)
                                     return "the card offers no number type \"" + wanted.type +
                                            "\"";
                                 return Uncut(sw, "additional number");
                             }});
        }
    }
    if (given.emails) {
        const std::size_t count = std::max(given.emails->size(), read.emails.size());
        for (std::size_t i = 0; i < count; ++i) {
            const std::string wanted = i < given.emails->size() ? (*given.emails)[i] : "";
            const std::string held = i < read.emails.size() ? read.emails[i] : "";
            if (wanted == held)
                continue;
            const int slots = book.EmailSlots(index);
            steps.push_back({"e-mail", wanted,
                             [i, wanted](UsimContact& c) {
                                 if (c.emails.size() <= i)
                                     c.emails.resize(i + 1);
                                 c.emails[i] = wanted;
                             },
                             [=](std::uint16_t sw) {
                                 if (static_cast<int>(i) >= slots)
                                     return Room(slots, "e-mail address", "e-mail addresses");
                                 return Uncut(sw, "e-mail address");
                             }});
        }
    }
    if (given.secondName && *given.secondName != read.secondName)
        steps.push_back({"second name", *given.secondName,
                         [name = *given.secondName](UsimContact& c) { c.secondName = name; },
                         [](std::uint16_t sw) {
                             return sw == status_word::kWrongData
                                        ? std::string(
                                              "the card has no room for second names, "
                                              "or cannot hold it whole")
                                        : Uncut(sw, "second name");
                         }});
    if (given.groups && *given.groups != read.groups) {
        // The groups the file gives replace the card's, one by one.
        steps.push_back({"", "", [](UsimContact& c) { c.groups.clear(); }, plain("")});
        const std::vector<std::string> offered = book.GroupNames(index);
        for (const std::string& group : *given.groups) {
            steps.push_back({"group", group, [group](UsimContact& c) { c.groups.push_back(group); },
                             [=](std::uint16_t sw) {
                                 if (sw == status_word::kWrongData &&
                                     RecordOfName(offered, group) == 0)
                                     return "the card offers no group \"" + group + "\"";
                                 return Uncut(sw, "group list");
                             }});
        }
    }
    return steps;
}

}  // namespace

Losses CheckUsimFieldsOnCard(const UsimPhoneBook& book, UsimFieldsBySlot& fields) {
    Losses losses;
    UsimPhoneBook::Reservations reservations;
    for (auto& [at, given] : fields) {
        const int index = book.IndexOf(at.block, at.slot);
        if (index == 0)
            continue;  // placed (or refused) by the checks of slots
        const UsimContact read = book.Contacts()[static_cast<std::size_t>(index - 1)];
        UsimContact accepted = read;
        for (const Step& step : StepsOf(book, index, read, given)) {
            UsimContact trial = accepted;
            step.apply(trial);
            UsimPhoneBook::Reservations tried = reservations;
            const CardOutcome outcome = book.Check(trial, &tried);
            if (outcome.IsDone() || step.field.empty()) {
                accepted = std::move(trial);
                continue;
            }
            const std::string where = at.block > 1 ? UsimSlotText(at) + ", " : std::string();
            losses.push_back(Loss::Dropped(at.block > 1 ? 0 : at.slot, where + step.field,
                                           step.value, step.why(outcome.statusWord)));
        }
        // What the accepted values take is kept from the contacts checked after this one.
        static_cast<void>(book.Check(accepted, &reservations));
        // What is written is what was accepted: the refused values stay as the card holds them.
        if (given.name)
            given.name = accepted.name;
        if (given.number)
            given.number = accepted.number;
        if (given.numbers)
            given.numbers = accepted.numbers;
        if (given.emails)
            given.emails = accepted.emails;
        if (given.secondName)
            given.secondName = accepted.secondName;
        if (given.groups)
            given.groups = accepted.groups;
    }
    return losses;
}

Losses DuplicateFieldLosses(const UsimPhoneBook& book, const UsimFieldsBySlot& fields) {
    Losses losses;
    const std::string why = "the entry is on the card already: add leaves it as it is";
    for (const auto& [at, given] : fields) {
        const int index = book.IndexOf(at.block, at.slot);
        if (index == 0)
            continue;
        const UsimContact& held = book.Contacts()[static_cast<std::size_t>(index - 1)];
        const auto lose = [&](const char* field, const std::string& value) {
            losses.push_back(Loss::Dropped(at.slot, field, value, why));
        };
        for (const ContactNumber& number : given.numbers.value_or(std::vector<ContactNumber>{})) {
            const bool kept = std::any_of(
                held.numbers.begin(), held.numbers.end(), [&](const ContactNumber& card) {
                    return card.number == number.number &&
                           (number.type.empty() || card.type == number.type);
                });
            if (!number.number.empty() && !kept)
                lose("additional number", NumberText(number));
        }
        for (const std::string& email : given.emails.value_or(std::vector<std::string>{})) {
            if (!email.empty() &&
                std::find(held.emails.begin(), held.emails.end(), email) == held.emails.end())
                lose("e-mail", email);
        }
        if (given.secondName && !given.secondName->empty() && *given.secondName != held.secondName)
            lose("second name", *given.secondName);
        for (const std::string& group : given.groups.value_or(std::vector<std::string>{})) {
            if (std::find(held.groups.begin(), held.groups.end(), group) == held.groups.end())
                lose("group", group);
        }
    }
    return losses;
}

std::map<int, UsimContact> UsimEntriesOf(const UsimPhoneBook& book, const std::set<int>& slots) {
    std::map<int, UsimContact> entries;
    for (const int slot : slots) {
        if (const int index = book.IndexOf(1, slot); index >= 1)
            entries[slot] = book.Contacts()[static_cast<std::size_t>(index - 1)];
    }
    return entries;
}

}  // namespace pellucard::cli
