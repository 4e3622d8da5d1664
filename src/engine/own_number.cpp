#include "engine/own_number.h"

#include <algorithm>

#include "engine/card_runs.h"
#include "engine/codec_text.h"
#include "engine/pellucard.h"
#include "engine/phonebook_entry.h"

namespace pellucard {

CardResult<std::vector<OwnNumberRecord>> ReadOwnNumbers(Pellucard& engine) {
    std::vector<OwnNumberRecord> numbers;
    const CardRunResult run =
        ReadCardRecords(engine, CardRecordFile::OwnNumbers,
                        [&numbers](int record, const Bytes& raw) {
                            const PhoneBookEntry entry = DecodePhoneBookRecord(raw);
                            if (!entry.IsEmpty())
                                numbers.push_back({record, entry.name, entry.Number()});
                        },
                        {});
    if (run.Complete())
        return {std::move(numbers), CardOutcome::Done()};
    // Entered, but without records.
    if (run.ending == RunEnding::NotEntered && run.failure.IsDone())
        return {{}, CardOutcome::Done()};
    return {{}, run.failure};
}

std::string OwnNumbersText(const std::vector<OwnNumberRecord>& numbers) {
    std::string text;
    for (const OwnNumberRecord& own : numbers) {
        if (!text.empty())
            text += ", ";
        std::string one = own.number.empty() ? own.name : own.number;
        if (!own.number.empty() && !own.name.empty())
            one += " (" + own.name + ")";
        text += one;
    }
    return text.empty() ? "-" : text;
}

OwnNumberEdit SetOwnNumber(Bytes& record, std::string_view number) {
    const int length = static_cast<int>(record.size());
    if (length < kPhoneBookFooterLength)
        return OwnNumberEdit::RecordTooShort;
    std::string_view trimmed = TrimBlanks(number);
    std::string clean;
    if (!trimmed.empty() && trimmed.front() == '+') {
        clean = "+";
        trimmed.remove_prefix(1);
    }
    int digits = 0;
    bool digit = false;
    for (const char c : trimmed) {
        if ((c >= '0' && c <= '9') || c == '*' || c == '#') {
            clean += c;
            ++digits;
            digit = digit || (c >= '0' && c <= '9');
        } else if (c == 'P' || c == 'p') {
            clean += 'P';
            ++digits;
        } else if (c != ' ' && c != '-' && c != '(' && c != ')' && c != '.') {
            return OwnNumberEdit::NotDialable;
        }
    }
    if (!digit)
        return OwnNumberEdit::NotDialable;
    if (digits > kPhoneBookMaxDigits)
        return OwnNumberEdit::TooLong;
    // The number bytes as a phone book record of this length has them; the name bytes before
    // them are the card's own and go back unchanged.
    const Bytes encoded = EncodePhoneBookRecord(clean, "", length, AlphaForm::Ucs2);
    if (static_cast<int>(encoded.size()) != length)
        return OwnNumberEdit::RecordTooShort;
    const auto footer = static_cast<std::ptrdiff_t>(length - kPhoneBookFooterLength);
    std::copy(encoded.begin() + footer, encoded.end(), record.begin() + footer);
    return OwnNumberEdit::Done;
}

namespace {

std::optional<std::string> NumberOf(const Bytes& record) {
    const PhoneBookEntry entry = DecodePhoneBookRecord(record);
    if (entry.digits.empty())
        return std::nullopt;
    return entry.Number();
}

}  // namespace

OwnNumberWrite WriteOwnNumber(Pellucard& engine, std::string_view number) {
    OwnNumberWrite result;
    std::optional<Bytes> first;
    const CardRunResult read = ReadCardRecords(
        engine, CardRecordFile::OwnNumbers, [&first](int, const Bytes& raw) { first = raw; }, {},
        kOwnNumberRecord);
    if (!read.Complete()) {
        result.noRecord = read.ending == RunEnding::NotEntered && read.failure.IsDone();
        result.outcome = result.noRecord ? CardOutcome::Done() : read.failure;
        return result;
    }
    result.outcome = CardOutcome::Done();
    if (!first) {
        result.noRecord = true;
        return result;
    }
    Bytes record = *first;
    result.previous = NumberOf(record);
    result.edit = SetOwnNumber(record, number);
    if (result.edit != OwnNumberEdit::Done)
        return result;
    result.number = NumberOf(record);
    // Through the card runs: an update whose answer was lost is sent again with the same bytes.
    const CardRunResult run = WriteCardRecords(
        engine, CardRecordFile::OwnNumbers,
        [&record](int recordNumber, int) -> std::optional<Bytes> {
            if (recordNumber != kOwnNumberRecord)
                return std::nullopt;
            return record;
        },
        {}, kOwnNumberRecord);
    result.outcome = run.Complete() ? CardOutcome::Done() : run.failure;
    return result;
}

}  // namespace pellucard
