#include "engine/card_backup.h"

#include <algorithm>
#include <optional>

#include "engine/card_backup_other_files.h"
#include "engine/card_backup_usim.h"
#include "engine/codec_alpha.h"
#include "engine/pellucard.h"
#include "engine/phonebook_entry.h"

namespace pellucard {
namespace {

// One item of the card's identity; no value when the card or the link did not give it (an empty
// text is none either).
CardInfoAnswer Item(Pellucard& engine, CardInfoItem item) {
    CardInfoAnswer answer = engine.ReadCardInfo(item);
    if (answer.value && answer.value->empty())
        answer.value.reset();
    return answer;
}

// A backup or restore that could not learn what it needs of the card ends before any record.
BackupRunResult NotLearnt(const CardOutcome& failure) {
    BackupRunResult result;
    result.failure = failure;
    result.outcome =
        result.failure.IsRefused() ? BackupOutcome::Refused : BackupOutcome::LinkFailed;
    return result;
}

// One run of the shared record runs within a backup or restore: its records count on from
// `doneBefore` towards the whole total, and the user's stop ends it.
class Stage {
public:
    Stage(BackupRunResult& result, const BackupProgress& progress)
        : result_(result), progress_(progress) {}

    CardRunHooks Hooks() {
        const int before = result_.done;
        CardRunHooks hooks;
        hooks.progress = [this, before](int record, int) {
            if (progress_ && !progress_(before + record, result_.total))
                stop_ = true;
        };
        hooks.stopRequested = [this] { return stop_; };
        return hooks;
    }

    // Takes in how the run ended; false when the whole backup or restore ends with it.
    bool Ended(const CardRunResult& run, CardRecordFile file) {
        result_.done += run.done;
        result_.file = file;
        result_.record = run.record;
        switch (run.ending) {
            case RunEnding::Complete:
                return true;
            case RunEnding::Stopped:
                result_.outcome = BackupOutcome::Stopped;
                return false;
            case RunEnding::Refused:
                result_.outcome = BackupOutcome::Refused;
                break;
            case RunEnding::LinkFailed:
            case RunEnding::NotEntered:
                result_.outcome =
                    run.failure.IsRefused() ? BackupOutcome::Refused : BackupOutcome::LinkFailed;
                break;
        }
        result_.failure = run.failure;
        return false;
    }

private:
    BackupRunResult& result_;
    const BackupProgress& progress_;
    bool stop_ = false;
};

}  // namespace

BackupRunResult ReadCardBackup(Pellucard& engine, CardBackup& backup,
                               const BackupProgress& progress) {
    CardBackup read;
    // A backup is built only on what the card said: an identity, a phase and both files' sizes
    // that could not be read end it before a record is read.
    const CardInfoAnswer iccid = Item(engine, CardInfoItem::Iccid);
    if (!iccid.value)
        return NotLearnt(iccid.outcome);
    const CardInfoAnswer phase = Item(engine, CardInfoItem::Phase);
    if (!phase.value)
        return NotLearnt(phase.outcome);
    read.iccid = *iccid.value;
    read.phase = *phase.value;
    const CardResult<int> phoneBook = EnterCardRecordFile(engine, CardRecordFile::PhoneBook);
    const int phoneBookCount = phoneBook.value;
    read.phoneBookRecordLength = engine.PhoneBookRecordLength();
    if (phoneBookCount <= 0 || read.phoneBookRecordLength <= 0)
        return NotLearnt(phoneBook.outcome);
    const CardResult<int> sms = EnterCardRecordFile(engine, CardRecordFile::Sms);
    const int smsCount = sms.value;
    read.smsRecordLength = engine.SmsRecordLength();
    if (smsCount <= 0 || read.smsRecordLength <= 0)
        return NotLearnt(sms.outcome);
    std::vector<int> otherCounts;
    const CardOutcome others = LearnOtherFiles(engine, read.otherFiles, otherCounts);
    if (!others.IsDone())
        return NotLearnt(others);
    std::vector<int> usimCounts;
    const CardOutcome usim = LearnUsimPhoneBooks(engine, read.usimPhoneBooks, usimCounts);
    if (!usim.IsDone())
        return NotLearnt(usim);

    BackupRunResult result;
    result.total = phoneBookCount + smsCount;
    for (const int count : otherCounts)
        result.total += count;
    for (const int count : usimCounts)
        result.total += count;
    Stage stage(result, progress);
    // Every record must be whole: one of another length than the file's was not the card's.
    int cutRecord = 0;
    const auto keep = [&cutRecord](std::vector<Bytes>& records, int length) {
        return [&records, length, &cutRecord](int number, const Bytes& raw) {
            if (raw.size() != std::size_t(length) && cutRecord == 0)
                cutRecord = number;
            records.push_back(raw);
        };
    };
    const auto cut = [&](CardRecordFile file) {
        if (cutRecord == 0)
            return false;
        result.outcome = BackupOutcome::LinkFailed;
        result.file = file;
        result.record = cutRecord;
        result.failure = CardOutcome::LinkFailed();
        return true;
    };
    if (!stage.Ended(
            ReadCardRecords(engine, CardRecordFile::PhoneBook,
                            keep(read.phoneBook, read.phoneBookRecordLength), stage.Hooks()),
            CardRecordFile::PhoneBook) ||
        cut(CardRecordFile::PhoneBook) ||
        !stage.Ended(ReadCardRecords(engine, CardRecordFile::Sms,
                                     keep(read.sms, read.smsRecordLength), stage.Hooks()),
                     CardRecordFile::Sms) ||
        cut(CardRecordFile::Sms))
        return result;
    bool otherFilesWhole = true;
    for (std::size_t index = 0; index < read.otherFiles.size(); ++index) {
        BackupFile& other = read.otherFiles[index];
        if (!stage.Ended(ReadCardRecords(engine, other.file,
                                         keep(other.records, other.recordLength), stage.Hooks()),
                         other.file) ||
            cut(other.file))
            return result;
        otherFilesWhole = otherFilesWhole && int(other.records.size()) == otherCounts[index];
    }
    // The records of the USIM phone books' record files (EF PBR and the bodies were read
    // when they were learnt).
    std::size_t usimIndex = 0;
    for (BackupUsimPhoneBook& book : read.usimPhoneBooks) {
        for (BackupPhoneBookFile& file : book.files) {
            if (file.IsTransparent() || file.fileId == kEfPhoneBookReferences)
                continue;
            if (!stage.Ended(
                    ReadUsimPhoneBookFile(engine, book.place, file.fileId,
                                          keep(file.records, file.recordLength), stage.Hooks()),
                    CardRecordFile::PhoneBook) ||
                cut(CardRecordFile::PhoneBook)) {
                result.usimFileId = file.fileId;
                return result;
            }
            otherFilesWhole =
                otherFilesWhole && int(file.records.size()) == usimCounts[usimIndex++];
        }
    }
    // Each file read whole: as many records as its size said.
    if (int(read.phoneBook.size()) != phoneBookCount || int(read.sms.size()) != smsCount ||
        !otherFilesWhole) {
        result.outcome = BackupOutcome::LinkFailed;
        result.failure = CardOutcome::LinkFailed();
        return result;
    }
    backup = std::move(read);
    return result;
}

Bytes PhoneBookRecordForLength(const Bytes& record, int length) {
    if (int(record.size()) == length)
        return record;
    const PhoneBookEntry entry = DecodePhoneBookRecord(record);
    if (entry.IsEmpty())
        return Bytes(std::size_t(length), 0xFF);
    const auto field = std::size_t(std::max(length - kPhoneBookFooterLength, 0));
    return EncodePhoneBookRecord(entry, length, ChooseAlphaForm(entry.name, field));
}

bool PlanRestore(Pellucard& engine, const CardBackup& backup, RestorePlan& plan) {
    RestorePlan planned;
    // The card's identity and sizes are judged only from what it said: a read that failed
    // makes no plan, never "another card" or "too small".
    const CardInfoAnswer iccid = Item(engine, CardInfoItem::Iccid);
    if (!iccid.value)
        return false;
    planned.cardIccid = *iccid.value;
    planned.otherCard = planned.cardIccid != backup.iccid;
    const int phoneBookCount = EnterCardRecordFile(engine, CardRecordFile::PhoneBook).value;
    const int phoneBookLength = engine.PhoneBookRecordLength();
    if (phoneBookCount <= 0 || phoneBookLength <= 0)
        return false;
    const int smsCount = EnterCardRecordFile(engine, CardRecordFile::Sms).value;
    const int smsLength = engine.SmsRecordLength();
    if (smsCount <= 0 || smsLength <= 0)
        return false;

    const int backupPhoneBook = int(backup.phoneBook.size());
    const int backupSms = int(backup.sms.size());
    planned.phoneBookRecordLength = phoneBookLength;
    planned.phoneBookReencoded = phoneBookLength != backup.phoneBookRecordLength;
    planned.phoneBookRecords =
        phoneBookLength > kPhoneBookFooterLength ? std::min(backupPhoneBook, phoneBookCount) : 0;
    planned.phoneBookBeyond = backupPhoneBook - planned.phoneBookRecords;
    planned.smsLengthDiffers = smsLength != backup.smsRecordLength;
    planned.smsRecords = planned.smsLengthDiffers ? 0 : std::min(backupSms, smsCount);
    planned.smsBeyond = backupSms - planned.smsRecords;
    if (!PlanOtherFiles(engine, backup, planned) || !PlanUsimPhoneBooks(engine, backup, planned))
        return false;
    plan = planned;
    return true;
}

namespace {

// Writes each file's records, then reads them back, file by file; `result` counts both
// passes and `checked` the records read back unchanged.
void WriteAndReadBack(Pellucard& engine, const CardBackup& backup, const RestorePlan& plan,
                      const BackupProgress& progress, ReadBackCheck check, BackupRunResult& result,
                      int& checked) {
    Stage stage(result, progress);
    struct Pass {
        CardRecordFile file;
        int count;
        const std::vector<Bytes>& records;
        bool reencoded;
    };
    const Pass passes[] = {
        {CardRecordFile::PhoneBook, plan.phoneBookRecords, backup.phoneBook,
         plan.phoneBookReencoded},
        {CardRecordFile::Sms, plan.smsRecords, backup.sms, false},
    };
    for (const Pass& pass : passes) {
        if (pass.count <= 0)
            continue;
        std::vector<Bytes> sent;
        const auto recordFor = [&pass, &sent](int number, int length) -> std::optional<Bytes> {
            const Bytes& saved = pass.records[std::size_t(number - 1)];
            sent.push_back(pass.reencoded ? PhoneBookRecordForLength(saved, length) : saved);
            return sent.back();
        };
        const CardRunResult writing =
            WriteCardRecords(engine, pass.file, recordFor, stage.Hooks(), pass.count);
        result.written += writing.done;
        if (!stage.Ended(writing, pass.file))
            return;
        int same = 0;
        const auto compare = [&](int number, const Bytes& raw) {
            if (raw == sent[std::size_t(number - 1)])
                ++same;
            else
                result.differing.push_back({pass.file, number});
        };
        const bool read = stage.Ended(
            ReadCardRecords(engine, pass.file, compare, stage.Hooks(), pass.count), pass.file);
        checked += same;
        if (!read)
            return;
        if (!result.differing.empty() && check == ReadBackCheck::StopAtFirstDifference)
            break;
    }
    if (!result.differing.empty()) {
        result.outcome = BackupOutcome::Mismatch;
        result.file = result.differing.front().file;
        result.record = result.differing.front().record;
    }
}

}  // namespace

BackupRunResult RestoreCardBackup(Pellucard& engine, const CardBackup& backup,
                                  const RestorePlan& plan, const BackupProgress& progress,
                                  ReadBackCheck check) {
    BackupRunResult result;
    // Every record is written and read back: the progress counts both.
    result.total = 2 * (plan.phoneBookRecords + plan.smsRecords);
    int checked = 0;
    WriteAndReadBack(engine, backup, plan, progress, check, result, checked);
    // A record is done once it was written and read back unchanged.
    result.done = checked;
    result.total /= 2;
    if (result.Ok() && plan.restoreOtherFiles)
        RestoreOtherFiles(engine, backup, plan, result);
    if (result.Ok() && plan.restoreOtherFiles)
        RestoreUsimPhoneBooks(engine, backup, plan, progress, result);
    return result;
}

}  // namespace pellucard
