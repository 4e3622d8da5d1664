// The USIM phone book's fields in phonebook read and phonebook write.
#include "cli/usim_contacts.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>

#include "cli/record_runs.h"
#include "engine/pellucard.h"

namespace pellucard::cli {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string Slot(int slot) {
    return UsimSlotText({1, slot});
}

// The global phone book, else the USIM application's own; nothing on a card with neither.
std::unique_ptr<UsimPhoneBook> OpenPhoneBook(Pellucard& engine) {
    for (const PhoneBookPlace place : {PhoneBookPlace::Global, PhoneBookPlace::Application}) {
        auto book = std::make_unique<UsimPhoneBook>(engine, place);
        const CardOutcome opened = book->Open();
        if (opened.IsDone())
            return book;
        if (opened.IsLinkFailed())
            throw Failure{kCardFailure, "reading the USIM phone book: the card stopped answering"};
    }
    return nullptr;
}

// What the card refused of a reading of the phone book: the file, and the record unless the
// file could not be selected.
std::string RefusedReading(const UsimPhoneBook& book, const CardRunResult& run) {
    char file[8];
    std::snprintf(file, sizeof file, "%04X", static_cast<unsigned>(book.UnreadFile()));
    const std::string record = run.ending == RunEnding::Refused
                                   ? "record " + std::to_string(run.record) + " of "
                                   : std::string();
    return "the card refused " + record + "EF " + file + " (status " + run.failure.StatusText() +
           ")";
}

// The phone book read whole; nothing on a card without one. A file the card refuses fails the
// command, unless `refused` takes the reason (and nothing is given back).
std::unique_ptr<UsimPhoneBook> ReadPhoneBook(Pellucard& engine, std::string* refused = nullptr) {
    auto book = OpenPhoneBook(engine);
    if (!book)
        return nullptr;
    const CardRunResult run = book->Read(ProgressHooks("reading the USIM phone book"));
    EndProgress();
    if (run.Complete())
        return book;
    const bool wasRefused = run.ending == RunEnding::Refused ||
                            (run.ending == RunEnding::NotEntered && !run.failure.IsLinkFailed());
    if (wasRefused && refused) {
        *refused = RefusedReading(*book, run);
        return nullptr;
    }
    if (wasRefused)
        throw Failure{kCardFailure, "reading the USIM phone book: " + RefusedReading(*book, run)};
    throw Failure{kCardFailure,
                  "reading the USIM phone book: the card stopped answering at record " +
                      std::to_string(run.record)};
}

std::vector<std::string> Strings(const QJsonValue& value, int slot, const char* key,
                                 const std::string& path) {
    if (!value.isArray())
        throw Failure{kUsage, path + ": " + Slot(slot) + ": \"" + key + "\" is a list of texts"};
    std::vector<std::string> texts;
    for (const auto& item : value.toArray()) {
        if (!item.isString())
            throw Failure{kUsage,
                          path + ": " + Slot(slot) + ": \"" + key + "\" is a list of texts"};
        texts.push_back(item.toString().toStdString());
    }
    return texts;
}

std::vector<ContactNumber> Numbers(const QJsonValue& value, int slot, const std::string& path) {
    const std::string shape =
        path + ": " + Slot(slot) + ": \"numbers\" is a list of {\"number\", \"type\"}";
    if (!value.isArray())
        throw Failure{kUsage, shape};
    std::vector<ContactNumber> numbers;
    for (const auto& item : value.toArray()) {
        const QJsonObject o = item.toObject();
        if (!item.isObject() || !o["number"].isString() ||
            !(o["type"].isString() || o["type"].isUndefined()))
            throw Failure{kUsage, shape};
        numbers.push_back(
            {o["number"].toString().toStdString(), o["type"].toString().toStdString()});
    }
    return numbers;
}

// Whether the fields hold anything a card without a USIM phone book would lose.
bool HoldsSomething(const UsimFields& fields) {
    const auto text = [](const std::string& s) { return !s.empty(); };
    const auto number = [](const ContactNumber& n) { return !n.number.empty(); };
    return (fields.numbers &&
            std::any_of(fields.numbers->begin(), fields.numbers->end(), number)) ||
           (fields.emails && std::any_of(fields.emails->begin(), fields.emails->end(), text)) ||
           (fields.groups && !fields.groups->empty()) ||
           (fields.secondName && !fields.secondName->empty()) ||
           (fields.name && !fields.name->empty()) || (fields.number && !fields.number->empty());
}

std::string WhyRefused(const CardOutcome& outcome) {
    if (outcome.statusWord == status_word::kWrongData)
        return "it names a group or number type the card does not offer, has more numbers or "
               "e-mails than the card has room for, or a text or number the card cannot hold "
               "whole (too long, or characters a number cannot have)";
    if (outcome.statusWord == 0x6A84)
        return "the card has no free record left for a new number or e-mail, or no unique "
               "identifier left for a new entry";
    return "the card refused it (status " + outcome.StatusText() + ")";
}

}  // namespace

bool IsSameContact(const std::string& name, const std::string& number, const UsimContact& held) {
    return (!name.empty() && name == held.name) || (!number.empty() && number == held.number);
}

std::string UsimSlotText(const UsimSlot& at) {
    return (at.block > 1 ? "block " + std::to_string(at.block) + " " : std::string()) + "slot " +
           std::to_string(at.slot);
}

void AddUsimFields(Pellucard& engine, QJsonArray& entries) {
    // A file of the USIM phone book the card will not give up must not hide the names and
    // numbers of EF ADN, which were read already.
    std::string refused;
    const auto book = ReadPhoneBook(engine, &refused);
    if (!refused.empty())
        std::cerr << "pellucard-cli: warning: the USIM phone book's numbers, e-mails, second "
                     "names and groups are left out: "
                  << refused << '\n';
    if (!book)
        return;
    const auto& contacts = book->Contacts();
    const auto withFields = [](QJsonObject o, const UsimContact& contact) {
        QJsonArray numbers;
        for (const auto& number : contact.numbers)
            numbers.append(QJsonObject{{"number", Q(number.number)}, {"type", Q(number.type)}});
        QJsonArray emails;
        for (const auto& email : contact.emails)
            emails.append(Q(email));
        QJsonArray groups;
        for (const auto& group : contact.groups)
            groups.append(Q(group));
        o["numbers"] = numbers;
        o["emails"] = emails;
        o["second_name"] = Q(contact.secondName);
        o["groups"] = groups;
        return o;
    };
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QJsonObject o = entries[i].toObject();
        const int index = book->IndexOf(1, o["slot"].toInt());
        if (index >= 1)
            entries[i] = withFields(o, contacts[static_cast<std::size_t>(index - 1)]);
    }
    for (const UsimContact& contact : contacts) {
        const UsimPhoneBook::Place at = book->PlaceOf(contact.index);
        if (at.block > 1)
            entries.append(withFields(QJsonObject{{"block", at.block},
                                                  {"slot", at.record},
                                                  {"name", Q(contact.name)},
                                                  {"number", Q(contact.number)}},
                                      contact));
    }
}

UsimFieldsBySlot ReadUsimFields(const std::string& path) {
    UsimFieldsBySlot fields;
    if (!QString::fromStdString(path).endsWith(QStringLiteral(".json"), Qt::CaseInsensitive))
        return fields;
    QFile file(Q(path));
    if (!file.open(QIODevice::ReadOnly))
        return fields;  // the file's own reader says why
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    for (const auto& value : document.array()) {
        const QJsonObject o = value.toObject();
        const int slot = o["slot"].toInt();
        const UsimSlot at{o["block"].toInt(1), slot};
        if (slot < 1 || at.block < 1)
            continue;  // the entries' own reader says what is wrong
        UsimFields given;
        if (at.block > 1) {
            if (fields.contains(at))
                throw Failure{kUsage, path + ": " + UsimSlotText(at) + " is named twice"};
            for (const char* key : {"name", "number"}) {
                if (o.contains(key) && !o[key].isString())
                    throw Failure{
                        kUsage, path + ": " + UsimSlotText(at) + ": \"" + key + "\" must be text"};
            }
            given.name = o["name"].toString().toStdString();
            given.number = o["number"].toString().toStdString();
        }
        if (o.contains("numbers"))
            given.numbers = Numbers(o["numbers"], slot, path);
        if (o.contains("emails"))
            given.emails = Strings(o["emails"], slot, "emails", path);
        if (o.contains("groups"))
            given.groups = Strings(o["groups"], slot, "groups", path);
        if (o.contains("second_name")) {
            if (!o["second_name"].isString())
                throw Failure{kUsage, path + ": " + Slot(slot) + ": \"second_name\" is a text"};
            given.secondName = o["second_name"].toString().toStdString();
        }
        if (given.numbers || given.emails || given.groups || given.secondName || given.name)
            fields[at] = std::move(given);
    }
    return fields;
}

void ClearFieldsOfEmptiedSlots(UsimFieldsBySlot& fields, const std::vector<int>& slots) {
    for (const int slot : slots) {
        if (fields.contains({1, slot}))
            continue;
        UsimFields& cleared = fields[{1, slot}];
        cleared.numbers.emplace();
        cleared.emails.emplace();
        cleared.secondName.emplace();
        cleared.groups.emplace();
    }
}

void CheckUsimPhoneBook(Pellucard& engine, const UsimFieldsBySlot& fields) {
    const auto holding = std::find_if(fields.begin(), fields.end(), [](const auto& given) {
        return HoldsSomething(given.second);
    });
    if (holding != fields.end() && !OpenPhoneBook(engine))
        throw Failure{kCardFailure,
                      "the card has no USIM phone book for the numbers, e-mails, second names "
                      "and groups of " +
                          UsimSlotText(holding->first) + "; nothing was written"};
    // A later block's entries are placed only once the blocks' sizes are known.
    const auto later = std::find_if(fields.begin(), fields.end(),
                                    [](const auto& given) { return given.first.block > 1; });
    if (later == fields.end())
        return;
    const auto book = ReadPhoneBook(engine);
    if (!book)
        return;  // every entry holds nothing (else the card was refused above): nothing is lost
    for (const auto& [at, given] : fields) {
        if (book->IndexOf(at.block, at.slot) == 0)
            throw Failure{kUsage, UsimSlotText(at) +
                                      " is beyond the card's USIM phone book; nothing was written"};
    }
}

std::optional<std::map<int, UsimContact>> UsimEntriesBefore(Pellucard& engine,
                                                            const std::set<int>& slots) {
    const auto book = ReadPhoneBook(engine);
    if (!book)
        return std::nullopt;
    std::map<int, UsimContact> before;
    for (const int slot : slots) {
        if (const int index = book->IndexOf(1, slot); index >= 1)
            before[slot] = book->Contacts()[static_cast<std::size_t>(index - 1)];
    }
    return before;
}

UsimWritten WriteUsimFields(Pellucard& engine, const UsimFieldsBySlot& fields,
                            const std::map<int, UsimContact>& adnBefore) {
    if (fields.empty() && adnBefore.empty())
        return {};
    const auto book = ReadPhoneBook(engine);
    if (!book) {
        // Empty fields lose nothing on a card that has nowhere to keep them.
        if (std::none_of(fields.begin(), fields.end(),
                         [](const auto& given) { return HoldsSomething(given.second); }))
            return {};
        throw Failure{kCardFailure, "the card has no USIM phone book"};
    }
    // Every entry is placed before anything is written.
    for (const auto& [at, given] : fields) {
        if (book->IndexOf(at.block, at.slot) == 0)
            throw Failure{kUsage, UsimSlotText(at) + " is beyond the card's USIM phone book"};
    }
    // The entries given fields, and those whose name or number alone was written.
    UsimFieldsBySlot visits = fields;
    for (const auto& [slot, before] : adnBefore)
        visits.try_emplace({1, slot});
    UsimWritten written;
    for (const auto& [at, given] : visits) {
        const auto index = static_cast<std::size_t>(book->IndexOf(at.block, at.slot));
        if (index == 0)
            continue;  // an EF ADN slot beyond the USIM phone book's first block
        UsimContact contact = book->Contacts()[index - 1];
        const UsimContact read = contact;
        const auto before = at.block == 1 ? adnBefore.find(at.slot) : adnBefore.end();
        if (before != adnBefore.end() &&
            !IsSameContact(contact.name, contact.number, before->second)) {
            // Another contact now holds the slot: what the file does not give of it is empty,
            // never the old contact's.
            for (ContactNumber& number : contact.numbers)
                number = {};
            for (std::string& email : contact.emails)
                email.clear();
            contact.secondName.clear();
            contact.groups.clear();
        }
        if (given.name)
            contact.name = *given.name;
        if (given.number)
            contact.number = *given.number;
        if (given.numbers)
            contact.numbers = *given.numbers;
        if (given.emails)
            contact.emails = *given.emails;
        if (given.secondName)
            contact.secondName = *given.secondName;
        if (given.groups)
            contact.groups = *given.groups;
        const CardResult<bool> outcome =
            book->WriteAfterAdn(contact, before != adnBefore.end() ? before->second : read);
        if (outcome.outcome.IsLinkFailed())
            throw Failure{kCardFailure, UsimSlotText(at) +
                                            ": the card stopped answering while its "
                                            "USIM fields were written"};
        if (!outcome.IsDone())
            throw Failure{kCardFailure,
                          UsimSlotText(at) + ": not written: " + WhyRefused(outcome.outcome)};
        written.contacts += book->Contacts()[index - 1] == read ? 0 : 1;
        written.changesCounted += outcome.value ? 1 : 0;
    }
    return written;
}

UsimWritten WriteUsimFieldsKeepingCard(ReaderSession& session, const UsimFieldsBySlot& fields,
                                       const std::optional<std::map<int, UsimContact>>& adnBefore) {
    try {
        return WriteUsimFields(*session.engine, fields,
                               adnBefore.value_or(std::map<int, UsimContact>{}));
    } catch (const Failure&) {
        std::string ignored;
        session.SaveVirtualCard(ignored);
        throw;
    }
}

std::string UsimWrittenText(const UsimWritten& written, bool fieldsGiven) {
    std::string text;
    if (fieldsGiven || written.contacts > 0) {
        text += "; USIM fields of " +
                Counted(static_cast<std::size_t>(written.contacts), "contact", "contacts") +
                " written";
    }
    if (written.changesCounted > 0) {
        text += "; changes of " +
                Counted(static_cast<std::size_t>(written.changesCounted), "USIM contact",
                        "USIM contacts") +
                " marked and counted";
    }
    return text;
}

void WriteUsimFieldsOfPartialRun(Pellucard& engine, const CardRunResult& run,
                                 const UsimFieldsBySlot& fields,
                                 const std::map<int, UsimContact>& adnBefore) {
    if (run.ending != RunEnding::Stopped && run.ending != RunEnding::Refused)
        return;  // a failed link leaves nothing to write through
    const int last = run.ending == RunEnding::Stopped ? run.record : run.record - 1;
    try {
        WriteUsimFields(engine, {fields.begin(), fields.upper_bound(UsimSlot{1, last})},
                        {adnBefore.begin(), adnBefore.upper_bound(last)});
    } catch (const Failure& failure) {
        std::cerr << "pellucard-cli: " << failure.message << '\n';
    }
}

std::unique_ptr<UsimPhoneBook> ReadUsimPhoneBook(Pellucard& engine) {
    return ReadPhoneBook(engine);
}

}  // namespace pellucard::cli
