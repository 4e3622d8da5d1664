#include "engine/phonebook_folder.h"

#include <algorithm>
#include <iterator>

#include "engine/pellucard.h"
#include "engine/sim_commands.h"
#include "engine/sim_file_info.h"

namespace pellucard {

namespace {

constexpr std::uint16_t kMasterFile = 0x3F00;
constexpr std::uint16_t kDfTelecom = 0x7F10;
constexpr std::uint16_t kDfGsm = 0x7F20;
constexpr std::uint16_t kDfPhoneBook = 0x5F3A;

// A read that expects two bytes gets back two bytes either way: the data, or the status words
// of a refusal. The channel tells which where it can; else two bytes are taken for a refusal
// only when they are one a READ can be refused with.
CardResult<Bytes> JudgeTwoByteRead(Pellucard& engine, CardResult<Bytes> read) {
    if (read.value.size() != 2 || read.outcome.IsLinkFailed())
        return read;
    const std::uint16_t word = static_cast<std::uint16_t>(read.value[0] << 8 | read.value[1]);
    bool data = false;
    if (const std::optional<bool> known = engine.Channel().LastAnswerWasData()) {
        data = *known;
    } else {
        static constexpr std::uint16_t kReadRefusals[] = {0x6981, 0x6982, 0x6985, 0x6986,
                                                          0x6A82, 0x6A83, 0x6B00, 0x9402,
                                                          0x9404, 0x9408, 0x9804, 0x9810};
        const bool refusal = std::find(std::begin(kReadRefusals), std::end(kReadRefusals), word) !=
                                 std::end(kReadRefusals) ||
                             (word & 0xFF00) == 0x6700 || (word & 0xFF00) == 0x6C00;
        data = !refusal;
    }
    if (data)
        return {std::move(read.value), CardOutcome::Done()};
    return {{}, read.outcome.IsDone() ? CardOutcome::Refused(word) : read.outcome};
}

// Record numbers, record lengths and body sizes travel in one byte.
bool IsByte(int value) {
    return value >= 1 && value <= 255;
}

}  // namespace

CardResult<Bytes> PhoneBookFolder::Select(std::uint16_t fileId) {
    const std::uint16_t directory = place_ == PhoneBookPlace::Global ? kDfTelecom : kDfGsm;
    CardResult<Bytes> selected;
    for (const std::uint16_t id : {kMasterFile, directory, kDfPhoneBook, fileId}) {
        selected = engine_.SelectFile(id);
        if (!selected.IsDone())
            return selected;
    }
    return selected;
}

CardResult<Bytes> PhoneBookFolder::ReadBody(std::uint16_t fileId) {
    const CardResult<Bytes> selected = Select(fileId);
    if (!selected.IsDone())
        return selected;
    if (selected.value.size() < kElementaryResponseLength)
        return {{}, CardOutcome::LinkFailed()};
    const SimFileInfo info = ParseFileInfo(selected.value);
    if (!IsByte(info.sizeOrRecordCount))
        return {{}, CardOutcome::Refused(status_word::kOutOfRange)};
    const auto size = static_cast<std::uint8_t>(info.sizeOrRecordCount);
    CardResult<Bytes> body = engine_.SendSimCommand(sim::ReadBinary(0, 0, size), 0, 0);
    if (size == 2)
        body = JudgeTwoByteRead(engine_, std::move(body));
    if (body.IsDone() && body.value.size() != size)
        return {{}, CardOutcome::LinkFailed()};
    return body;
}

CardOutcome PhoneBookFolder::WriteBody(std::uint16_t fileId, const Bytes& body) {
    if (!IsByte(static_cast<int>(body.size())))
        return CardOutcome::Refused(status_word::kOutOfRange);
    const CardOutcome selected = Select(fileId).outcome;
    if (!selected.IsDone())
        return selected;
    return engine_
        .SendSimCommand(sim::UpdateBinary(0, 0, static_cast<std::uint8_t>(body.size())), 0, 0, body)
        .outcome;
}

CardResult<int> PhoneBookRecordFile::Enter() {
    recordLength_ = recordCount_ = 0;
    const CardResult<Bytes> selected = folder_.Select(fileId_);
    if (!selected.IsDone())
        return {0, selected.outcome};
    // A cut response would read as an empty file or records of no length.
    if (selected.value.size() < kRecordFileResponseLength)
        return {0, CardOutcome::LinkFailed()};
    const SimFileInfo info = ParseFileInfo(selected.value);
    recordLength_ = info.recordLength;
    recordCount_ = RecordsHeld(info);
    return {recordCount_, selected.outcome};
}

CardResult<Bytes> PhoneBookRecordFile::Read(int number) {
    if (!IsByte(number) || number > recordCount_)
        return {{}, CardOutcome::Refused(status_word::kOutOfRange)};
    if (!IsByte(recordLength_))
        return {{}, CardOutcome::LinkFailed()};
    CardResult<Bytes> read = folder_.Engine().SendSimCommand(
        sim::ReadRecord(static_cast<std::uint8_t>(number), sim::kRecordAbsolute,
                        static_cast<std::uint8_t>(recordLength_)),
        0, 0);
    if (recordLength_ == 2)
        read = JudgeTwoByteRead(folder_.Engine(), std::move(read));
    // An executed read hands back exactly one record; anything else was cut on the way.
    if (read.IsDone() && static_cast<int>(read.value.size()) != recordLength_)
        return {{}, CardOutcome::LinkFailed()};
    return read;
}

CardOutcome PhoneBookRecordFile::Write(int number, const Bytes& raw) {
    if (!IsByte(number) || number > recordCount_)
        return CardOutcome::Refused(status_word::kOutOfRange);
    if (!IsByte(recordLength_))
        return CardOutcome::LinkFailed();
    // The caller encodes for this file's record length; bytes of another length are not one of
    // its records, and no filler is made up for them.
    if (static_cast<int>(raw.size()) != recordLength_)
        return CardOutcome::Refused(status_word::kWrongLength);
    return folder_.Engine()
        .SendSimCommand(sim::UpdateRecord(static_cast<std::uint8_t>(number), sim::kRecordAbsolute,
                                          static_cast<std::uint8_t>(recordLength_)),
                        0, 0, raw)
        .outcome;
}

bool PhoneBookRecordFile::ReaderPresent() const {
    return folder_.Engine().ReaderPresent();
}

CardRunResult ReadWholeFile(PhoneBookFolder& folder, std::uint16_t fileId,
                            std::vector<Bytes>& records, const CardRunHooks& hooks) {
    PhoneBookRecordFile file(folder, fileId);
    records.clear();
    return ReadCardRecords(
        file, [&records](int, const Bytes& raw) { records.push_back(raw); }, hooks);
}

CardOutcome WriteOneRecord(PhoneBookFolder& folder, std::uint16_t fileId, int number,
                           const Bytes& raw) {
    PhoneBookRecordFile file(folder, fileId);
    const CardRunResult run = WriteCardRecords(
        file, [&](int at, int) { return at == number ? std::optional<Bytes>(raw) : std::nullopt; },
        {}, number);
    if (run.Complete() && run.done == 0)  // the file holds fewer records than that
        return CardOutcome::Refused(status_word::kOutOfRange);
    return OutcomeOf(run);
}

CardOutcome OutcomeOf(const CardRunResult& run) {
    if (run.Complete())
        return CardOutcome::Done();
    if (run.ending == RunEnding::NotEntered && run.failure.IsDone())
        return CardOutcome::Refused(status_word::kOutOfRange);  // a file without records
    return run.failure;
}

}  // namespace pellucard
