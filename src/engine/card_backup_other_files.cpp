#include "engine/card_backup_other_files.h"

#include <algorithm>

#include "engine/pellucard.h"

namespace pellucard {

const BackupFile* CardBackup::Find(CardRecordFile file) const {
    const auto found = std::find_if(otherFiles.begin(), otherFiles.end(),
                                    [file](const BackupFile& held) { return held.file == file; });
    return found == otherFiles.end() ? nullptr : &*found;
}

bool BackupRunResult::AllRestored() const {
    return Ok() &&
           std::all_of(otherFiles.begin(), otherFiles.end(),
                       [](const OtherFileRestore& file) { return file.Restored(); }) &&
           std::all_of(usimPhoneBooks.begin(), usimPhoneBooks.end(),
                       [](const UsimPhoneBookRestore& book) { return book.Restored(); });
}

std::uint16_t BackupRunResult::FileId() const {
    return usimFileId != 0 ? usimFileId : FileIdOf(file);
}

CardOutcome LearnOtherFiles(Pellucard& engine, std::vector<BackupFile>& files,
                            std::vector<int>& counts) {
    files.clear();
    counts.clear();
    for (const CardRecordFile file : kOtherBackupFiles) {
        const CardResult<int> entered = EnterCardRecordFile(engine, file);
        if (entered.outcome.IsLinkFailed())
            return entered.outcome;
        // Not on this card, or kept closed (a refusal): nothing of it to hold.
        if (!entered.IsDone() || entered.value <= 0 || engine.RecordLength(file) <= 0)
            continue;
        files.push_back({file, engine.RecordLength(file), engine.IsCyclic(file), {}});
        counts.push_back(entered.value);
    }
    return CardOutcome::Done();
}

bool PlanOtherFiles(Pellucard& engine, const CardBackup& backup, RestorePlan& plan) {
    plan.otherFiles.clear();
    for (const BackupFile& held : backup.otherFiles) {
        const CardResult<int> entered = EnterCardRecordFile(engine, held.file);
        if (entered.outcome.IsLinkFailed())
            return false;
        RestorePlan::OtherFile planned{held.file};
        if (entered.IsDone() && entered.value > 0) {
            planned.recordCount = entered.value;
            planned.recordLength = engine.RecordLength(held.file);
        }
        plan.otherFiles.push_back(planned);
    }
    return true;
}

namespace {

// Takes in a run over `file` that did not complete; false when the whole restore ends with it.
bool Failed(const CardRunResult& run, CardRecordFile file, OtherFileRestore& restore,
            BackupRunResult& result) {
    restore.record = run.record;
    restore.failure = run.failure;
    if (run.failure.IsRefused()) {
        restore.ending = OtherFileEnding::Refused;
        return true;
    }
    restore.ending = OtherFileEnding::LinkFailed;
    result.outcome = BackupOutcome::LinkFailed;
    result.file = file;
    result.record = run.record;
    result.failure = run.failure;
    return false;
}

// The records 1..count of the file as the card holds them; false when the read did not
// complete (`restore` and `result` say why).
bool ReadHeld(Pellucard& engine, CardRecordFile file, int count, std::vector<Bytes>& held,
              OtherFileRestore& restore, BackupRunResult& result, bool& goOn) {
    held.clear();
    const CardRunResult run = ReadCardRecords(
        engine, file, [&held](int, const Bytes& raw) { held.push_back(raw); }, {}, count);
    if (run.Complete() && int(held.size()) == count)
        return true;
    goOn = Failed(run.Complete() ? CardRunResult{.failure = CardOutcome::LinkFailed()} : run, file,
                  restore, result);
    return false;
}

// Restores one file; false when the whole restore ends with it.
bool RestoreOne(Pellucard& engine, const BackupFile& saved, const RestorePlan& plan,
                const RestorePlan::OtherFile& planned, OtherFileRestore& restore,
                BackupRunResult& result) {
    if (planned.recordCount <= 0) {
        restore.ending = OtherFileEnding::NotOnCard;
        return true;
    }
    if (planned.recordLength != saved.recordLength) {
        restore.ending = OtherFileEnding::LengthDiffers;
        return true;
    }
    const int count = std::min(planned.recordCount, int(saved.records.size()));
    bool goOn = true;
    std::vector<Bytes> held;
    if (!ReadHeld(engine, saved.file, count, held, restore, result, goOn))
        return goOn;
    std::vector<bool> differs(std::size_t(count) + 1, false);
    bool any = false;
    for (int number = 1; number <= count; ++number) {
        differs[std::size_t(number)] =
            held[std::size_t(number - 1)] != saved.records[std::size_t(number - 1)];
        any = any || differs[std::size_t(number)];
    }
    if (!any) {
        restore.ending = OtherFileEnding::Unchanged;
        return true;
    }
    if (UpdateChvOf(saved.file) == 2 && !plan.pin2Verified) {
        restore.ending = OtherFileEnding::NeedsPin2;
        return true;
    }

    // A cyclic file takes no record in place: it is written whole, oldest first.
    const std::vector<Bytes> records(saved.records.begin(), saved.records.begin() + count);
    const CardRunResult writing = saved.cyclic
                                      ? WriteCyclicRecords(engine, saved.file, records, {})
                                      : WriteCardRecords(
                                            engine, saved.file,
                                            [&](int number, int) -> std::optional<Bytes> {
                                                if (!differs[std::size_t(number)])
                                                    return std::nullopt;
                                                return saved.records[std::size_t(number - 1)];
                                            },
                                            {}, count);
    restore.written = writing.done;
    if (!writing.Complete())
        return Failed(writing, saved.file, restore, result);
    if (!ReadHeld(engine, saved.file, count, held, restore, result, goOn))
        return goOn;
    for (int number = 1; number <= count; ++number) {
        if (held[std::size_t(number - 1)] != records[std::size_t(number - 1)]) {
            restore.ending = OtherFileEnding::Mismatch;
            restore.record = number;
            return true;
        }
    }
    restore.ending = OtherFileEnding::Written;
    return true;
}

}  // namespace

std::optional<bool> OtherFileWouldChange(Pellucard& engine, const CardBackup& backup,
                                         const RestorePlan& plan, CardRecordFile file) {
    const BackupFile* saved = backup.Find(file);
    const auto planned =
        std::find_if(plan.otherFiles.begin(), plan.otherFiles.end(),
                     [file](const RestorePlan::OtherFile& other) { return other.file == file; });
    if (saved == nullptr || planned == plan.otherFiles.end() || planned->recordCount <= 0 ||
        planned->recordLength != saved->recordLength)
        return false;
    const int count = std::min(planned->recordCount, int(saved->records.size()));
    std::vector<Bytes> held;
    const CardRunResult run = ReadCardRecords(
        engine, file, [&held](int, const Bytes& raw) { held.push_back(raw); }, {}, count);
    if (!run.Complete() || int(held.size()) != count)
        return std::nullopt;
    return !std::equal(held.begin(), held.end(), saved->records.begin());
}

void RestoreOtherFiles(Pellucard& engine, const CardBackup& backup, const RestorePlan& plan,
                       BackupRunResult& result) {
    for (const RestorePlan::OtherFile& planned : plan.otherFiles) {
        const BackupFile* saved = backup.Find(planned.file);
        if (saved == nullptr)
            continue;
        OtherFileRestore restore;
        restore.file = planned.file;
        const bool goOn = RestoreOne(engine, *saved, plan, planned, restore, result);
        result.otherFiles.push_back(restore);
        if (!goOn)
            return;
    }
}

}  // namespace pellucard
