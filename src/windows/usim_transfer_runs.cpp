#include "windows/usim_transfer_runs.h"

#include <QSet>

#include <algorithm>
#include <memory>

#include "catalogue/status_words.h"
#include "engine/status_words.h"
#include "records/usim_columns.h"
#include "windows/record_columns.h"

namespace pellucard {

namespace {

constexpr std::uint16_t kNoFreeRecord = 0x6A84;

// The global phone book, else the USIM application's own. None when the card has neither; a
// link that failed on the way says so in `linkFailed`.
std::unique_ptr<UsimPhoneBook> openUsimPhoneBook(Pellucard& engine, const CardRunHooks& hooks,
                                                 CardOutcome& failure) {
    failure = CardOutcome::Done();
    for (const PhoneBookPlace place : {PhoneBookPlace::Global, PhoneBookPlace::Application}) {
        auto book = std::make_unique<UsimPhoneBook>(engine, place);
        const CardOutcome opened = book->Open(hooks);
        if (opened.IsDone())
            return book;
        if (opened.IsLinkFailed()) {
            failure = opened;
            return nullptr;
        }
    }
    return nullptr;
}

// The progress, yield and stop of the run; not its `entered`, which belongs to the run of the
// ADN records (a read empties the list there).
CardRunHooks usimHooks(TransferRun& run) {
    CardRunHooks hooks = transferHooks(run, MessageId::UpLoadingRecord, nullptr);
    hooks.entered = nullptr;
    return hooks;
}

// What the card holds of every contact, by slot, and the names its first block offers.
void remember(const UsimPhoneBook& phoneBook, UsimCardBook& book) {
    book.bySlot.clear();
    for (const auto& contact : phoneBook.Contacts())
        book.bySlot[contact.index] = contact;
    book.numberTypes = phoneBook.NumberTypes(1);
    book.groupNames = phoneBook.GroupNames(1);
}

QString reasonOf(const CardOutcome& outcome, int languageIndex) {
    if (outcome.statusWord == status_word::kWrongData)
        return Message(MessageId::UsimFieldNotOffered, languageIndex);
    if (outcome.statusWord == kNoFreeRecord)
        return Message(MessageId::UsimNoFreeRecord, languageIndex);
    return StatusWordText(outcome.statusWord, languageIndex);
}

// Whether the row holds an entry of its own (a name or a number).
bool holdsEntry(const RecordList& list, int row) {
    return !TrimBlanks(list.Text(row, phone_column::kName)).isEmpty() ||
           !TrimBlanks(list.Text(row, phone_column::kNumber)).isEmpty();
}

// What the row asks of the card's contact `held` in its slot.
UsimContact wantedContact(const RecordList& list, int row, const UsimCardBook& book,
                          const UsimContact& held, const std::vector<std::string>& types,
                          const std::vector<std::string>& groups) {
    std::optional<UsimContact> base =
        book.baseFor(list.Tag(row), row, list.Text(row, phone_column::kName),
                     list.Text(row, phone_column::kNumber));
    // Another contact starts from the card's slots emptied, taking nothing of the one held
    // there. A contact read from another slot of another block may have other slot counts:
    // the card's slots decide, the row's shown fields going into them.
    if (!base || base->numbers.size() != held.numbers.size() ||
        base->emails.size() != held.emails.size())
        base = withoutUsimFields(held);
    UsimContact wanted = contactWithRowFields(*base, usimFieldsOfRow(list, row),
                                              holdsEntry(list, row), types, groups);
    wanted.index = held.index;
    wanted.name = held.name;
    wanted.number = held.number;
    return wanted;
}

// Whether the row's name or number is not what the card held in its slot: the run of the ADN
// records changed the entry, and the USIM phone book's bookkeeping must follow.
bool nameOrNumberChanged(const RecordList& list, int row, const UsimContact& held) {
    return TrimBlanks(list.Text(row, phone_column::kName)).toStdString() != held.name ||
           TrimBlanks(list.Text(row, phone_column::kNumber)).toStdString() != held.number;
}

// Why the card refused a contact: of its fields, or of the bookkeeping alone (where 6A84 can
// only mean that no identifier is left for a new entry).
QString reasonOf(const CardOutcome& outcome, bool fieldsChanged, int languageIndex) {
    if (!fieldsChanged && outcome.statusWord == kNoFreeRecord)
        return Message(MessageId::UsimNoUniqueIdLeft, languageIndex);
    return reasonOf(outcome, languageIndex);
}

// Whether a row of `written` holds a value in a USIM column.
bool holdsUsimValues(const RecordList& list, const QList<int>& written) {
    return std::any_of(written.begin(), written.end(), [&](int slot) {
        return slot < list.Rows() && usimFieldsOfRow(list, slot) != UsimRowFields{};
    });
}

}  // namespace

bool readUsimFields(TransferRun& run, RecordList& list, int doneCount, UsimCardBook& book) {
    book = UsimCardBook{};
    book.generation = run.cardGeneration;
    const CardRunHooks hooks = usimHooks(run);
    CardOutcome failure;
    const auto phoneBook = openUsimPhoneBook(run.engine, hooks, failure);
    if (!phoneBook) {
        if (failure.IsLinkFailed()) {
            CardRunResult result;
            result.ending = RunEnding::LinkFailed;
            result.failure = failure;
            return showTransferReadEnding(run, result);
        }
        return true;  // a GSM phone book: no USIM columns
    }
    const CardRunResult result = phoneBook->Read(hooks);
    if (!result.Complete())
        return showTransferReadEnding(run, result);
    book.present = true;
    remember(*phoneBook, book);
    RecordList::BulkUpdate bulk(list);
    for (const auto& contact : phoneBook->Contacts()) {
        // Row n is EF ADN's record n: the first block's entry n, never a later block's.
        const int row = contact.index;
        if (row > doneCount || row >= list.Rows() || phoneBook->IndexOf(1, row) != row)
            break;
        setUsimFieldsOfRow(list, row, rowFieldsOf(contact));
        if (list.Tag(row) > 0)
            book.byTag[list.Tag(row)] = contact;
    }
    return true;
}

bool writeUsimFields(TransferRun& run, const RecordList& list, UsimCardBook& book) {
    const bool known = book.generation == run.cardGeneration;
    if (known && !book.present && !holdsUsimValues(list, run.writtenSlots))
        return true;
    // The slots whose fields or name and number change, judged against what the card held
    // when last read; with nothing read from this card, the slots whose rows hold USIM values.
    QList<int> changing;
    QSet<int> fieldsChanging;
    for (const int slot : run.writtenSlots) {
        if (slot >= list.Rows())
            continue;
        const auto held = book.bySlot.find(slot);
        if (!known || held == book.bySlot.end()) {
            if (usimFieldsOfRow(list, slot) != UsimRowFields{}) {
                changing.append(slot);
                fieldsChanging.insert(slot);
            }
            continue;
        }
        const UsimContact wanted =
            wantedContact(list, slot, book, held->second, book.numberTypes, book.groupNames);
        if (usimFieldsDiffer(wanted, held->second))
            fieldsChanging.insert(slot);
        if (fieldsChanging.contains(slot) ||
            (book.present && nameOrNumberChanged(list, slot, held->second)))
            changing.append(slot);
    }
    if (changing.isEmpty())
        return true;
    // Read again: the ADN run just wrote the names and numbers, and the links to the records
    // beside them are known only from a whole reading.
    const CardRunHooks hooks = usimHooks(run);
    CardOutcome failure;
    const auto phoneBook = openUsimPhoneBook(run.engine, hooks, failure);
    if (!phoneBook && failure.IsLinkFailed()) {
        run.progress.setStatus(Message(MessageId::DownLoadingProblem, run.languageIndex) +
                               QString::number(changing.first()));
        return false;
    }
    if (!phoneBook) {
        // A GSM phone book: the names and numbers are written, and the user learns what the
        // card could not take.
        run.progress.setStatus(
            Message(MessageId::UsimFieldsNoPhoneBook, run.languageIndex).arg(slotRanges(changing)));
        return true;
    }
    const CardRunResult read = phoneBook->Read(hooks);
    if (!read.Complete()) {
        showTransferReadEnding(run, read);
        return false;
    }
    // The contacts the card refused, and why it refused the first: those whose fields changed,
    // and those whose name and number alone changed (only the bookkeeping was refused).
    struct Refusals {
        QList<int> rows;
        CardOutcome first;
    } refused, notMarked;
    run.progress.setMaximum(static_cast<int>(changing.size()));
    int done = 0;
    for (const int slot : changing) {
        if (phoneBook->IndexOf(1, slot) != slot)
            continue;
        const UsimContact held = phoneBook->Contacts()[static_cast<std::size_t>(slot - 1)];
        const UsimContact wanted = wantedContact(
            list, slot, book, held, phoneBook->NumberTypes(slot), phoneBook->GroupNames(slot));
        // What the slot held before the run of the ADN records wrote its name and number.
        const auto before = known ? book.bySlot.find(slot) : book.bySlot.end();
        const CardOutcome outcome =
            phoneBook->WriteAfterAdn(wanted, before != book.bySlot.end() ? before->second : held)
                .outcome;
        if (outcome.IsLinkFailed()) {
            remember(*phoneBook, book);
            run.progress.setStatus(Message(MessageId::DownLoadingProblem, run.languageIndex) +
                                   QString::number(slot));
            return false;
        }
        if (!outcome.IsDone()) {
            Refusals& refusals = fieldsChanging.contains(slot) ? refused : notMarked;
            if (refusals.rows.isEmpty())
                refusals.first = outcome;
            refusals.rows.append(slot);
        }
        run.progress.setValue(++done);
        run.progress.yield();
    }
    remember(*phoneBook, book);
    if (refused.rows.isEmpty() && notMarked.rows.isEmpty())
        return true;
    QStringList said;
    if (!refused.rows.isEmpty())
        said << Message(MessageId::UsimFieldsRefused, run.languageIndex)
                    .arg(slotRanges(refused.rows))
                    .arg(reasonOf(refused.first, true, run.languageIndex));
    if (!notMarked.rows.isEmpty())
        said << Message(MessageId::UsimChangeNotMarked, run.languageIndex)
                    .arg(slotRanges(notMarked.rows))
                    .arg(reasonOf(notMarked.first, false, run.languageIndex));
    run.progress.setStatus(said.join(QStringLiteral(" ")));
    return false;
}

}  // namespace pellucard
