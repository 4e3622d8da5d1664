#include "engine/card_backup_usim.h"

#include <algorithm>

#include "engine/pellucard.h"
#include "engine/usim_phonebook_codecs.h"

namespace pellucard {

const BackupPhoneBookFile* BackupUsimPhoneBook::Find(std::uint16_t fileId) const {
    const auto found = std::find_if(files.begin(), files.end(),
                                    [fileId](const auto& file) { return file.fileId == fileId; });
    return found == files.end() ? nullptr : &*found;
}

std::vector<PhoneBookFile> BackupUsimPhoneBook::Listed() const {
    std::vector<PhoneBookFile> listed;
    if (const BackupPhoneBookFile* pbr = Find(kEfPhoneBookReferences)) {
        for (const PhoneBookBlock& block : ParsePhoneBookBlocks(pbr->records))
            listed.insert(listed.end(), block.files.begin(), block.files.end());
    }
    return listed;
}

std::string UsimPhoneBookFileName(const BackupUsimPhoneBook& book, std::uint16_t fileId) {
    switch (fileId) {
        case kEfPhoneBookReferences:
            return "EF PBR";
        case kEfSynchronisationCounter:
            return "EF PSC";
        case kEfChangeCounter:
            return "EF CC";
        case kEfPreviousUniqueId:
            return "EF PUID";
        default:
            break;
    }
    static constexpr const char* kNames[] = {"ADN", "IAP", "EXT1", "SNE", "ANR",   "PBC",
                                             "GRP", "AAS", "GAS",  "UID", "EMAIL", "CCP1"};
    for (const PhoneBookFile& file : book.Listed()) {
        if (file.fileId == fileId && file.kind >= pbr::kAdn && file.kind <= pbr::kCcp1)
            return std::string("EF ") + kNames[file.kind - pbr::kAdn];
    }
    return "EF " + FileIdHex(fileId);
}

namespace {

constexpr std::uint16_t kBodies[] = {kEfSynchronisationCounter, kEfChangeCounter,
                                     kEfPreviousUniqueId};

// A body read or written again after a link failure, as a record is by the record runs: a read,
// or an update of the same bytes, may be repeated.
CardResult<Bytes> ReadBody(PhoneBookFolder& folder, std::uint16_t fileId) {
    CardResult<Bytes> body = folder.ReadBody(fileId);
    for (int retry = 0;
         retry < kRecordRetries && body.outcome.IsLinkFailed() && folder.Engine().ReaderPresent();
         ++retry)
        body = folder.ReadBody(fileId);
    return body;
}

CardOutcome WriteBody(PhoneBookFolder& folder, std::uint16_t fileId, const Bytes& body) {
    CardOutcome written = folder.WriteBody(fileId, body);
    for (int retry = 0;
         retry < kRecordRetries && written.IsLinkFailed() && folder.Engine().ReaderPresent();
         ++retry)
        written = folder.WriteBody(fileId, body);
    return written;
}

// EF PBR's records, each whole; the outcome of a read that did not complete.
CardOutcome ReadReferences(PhoneBookFolder& folder, BackupPhoneBookFile& pbr, bool& found) {
    found = false;
    PhoneBookRecordFile steps(folder, kEfPhoneBookReferences);
    const CardResult<int> entered = steps.Enter();
    if (entered.outcome.IsLinkFailed())
        return entered.outcome;
    if (!entered.IsDone() || entered.value <= 0 || steps.RecordLength() <= 0)
        return CardOutcome::Done();  // no USIM phone book here
    found = true;
    pbr = {kEfPhoneBookReferences, steps.RecordLength(), {}, {}};
    const CardRunResult run =
        ReadCardRecords(steps, [&pbr](int, const Bytes& raw) { pbr.records.push_back(raw); }, {});
    const bool whole = int(pbr.records.size()) == entered.value &&
                       std::all_of(pbr.records.begin(), pbr.records.end(), [&](const Bytes& r) {
                           return int(r.size()) == pbr.recordLength;
                       });
    if (run.Complete() && whole)
        return CardOutcome::Done();
    return run.failure.IsRefused() ? run.failure : CardOutcome::LinkFailed();
}

}  // namespace

CardOutcome LearnUsimPhoneBooks(Pellucard& engine, std::vector<BackupUsimPhoneBook>& books,
                                std::vector<int>& counts) {
    books.clear();
    counts.clear();
    for (const PhoneBookPlace place : {PhoneBookPlace::Global, PhoneBookPlace::Application}) {
        PhoneBookFolder folder(engine, place);
        BackupUsimPhoneBook book{place, {}};
        BackupPhoneBookFile pbr;
        bool found = false;
        const CardOutcome references = ReadReferences(folder, pbr, found);
        if (references.IsLinkFailed())
            return references;
        // Kept closed (another PIN, the administrator's): nothing of it to hold.
        if (!found || references.IsRefused())
            continue;
        book.files.push_back(std::move(pbr));
        for (const PhoneBookFile& listed : book.Listed()) {
            if (book.Find(listed.fileId))
                continue;
            PhoneBookRecordFile steps(folder, listed.fileId);
            const CardResult<int> entered = steps.Enter();
            if (entered.outcome.IsLinkFailed())
                return entered.outcome;
            // A file EF PBR names and the card lacks has nothing to hold.
            if (!entered.IsDone() || entered.value <= 0 || steps.RecordLength() <= 0)
                continue;
            book.files.push_back({listed.fileId, steps.RecordLength(), {}, {}});
            counts.push_back(entered.value);
        }
        for (const std::uint16_t fileId : kBodies) {
            if (book.Find(fileId))
                continue;  // an EF PBR that names it as a record file: held as one
            const CardResult<Bytes> body = ReadBody(folder, fileId);
            if (body.outcome.IsLinkFailed())
                return body.outcome;
            if (body.IsDone())
                book.files.push_back({fileId, 0, {}, body.value});
        }
        books.push_back(std::move(book));
    }
    return CardOutcome::Done();
}

CardRunResult ReadUsimPhoneBookFile(Pellucard& engine, PhoneBookPlace place, std::uint16_t fileId,
                                    const std::function<void(int number, const Bytes& raw)>& record,
                                    const CardRunHooks& hooks) {
    PhoneBookFolder folder(engine, place);
    PhoneBookRecordFile steps(folder, fileId);
    return ReadCardRecords(steps, record, hooks);
}

bool PlanUsimPhoneBooks(Pellucard& engine, const CardBackup& backup, RestorePlan& plan) {
    plan.usimPhoneBooks.clear();
    for (const BackupUsimPhoneBook& held : backup.usimPhoneBooks) {
        UsimPhoneBookPlan planned{held.place, UsimPhoneBookFit::NotOnCard};
        PhoneBookFolder folder(engine, held.place);
        BackupUsimPhoneBook card{held.place, {}};
        BackupPhoneBookFile pbr;
        bool found = false;
        const CardOutcome references = ReadReferences(folder, pbr, found);
        if (references.IsLinkFailed())
            return false;
        if (found && references.IsDone()) {
            card.files.push_back(std::move(pbr));
            // The same files in the same blocks, each of the same size: records go back
            // where they came from, never into a file that means something else.
            planned.fit = card.Listed() == held.Listed() ? UsimPhoneBookFit::Fits
                                                         : UsimPhoneBookFit::LayoutDiffers;
            for (const BackupPhoneBookFile& file : held.files) {
                if (planned.fit != UsimPhoneBookFit::Fits || file.fileId == kEfPhoneBookReferences)
                    continue;
                bool same = false;
                if (file.IsTransparent()) {
                    const CardResult<Bytes> body = ReadBody(folder, file.fileId);
                    if (body.outcome.IsLinkFailed())
                        return false;
                    same = body.IsDone() && body.value.size() == file.body.size();
                } else {
                    PhoneBookRecordFile steps(folder, file.fileId);
                    const CardResult<int> entered = steps.Enter();
                    if (entered.outcome.IsLinkFailed())
                        return false;
                    same = entered.IsDone() && entered.value == int(file.records.size()) &&
                           steps.RecordLength() == file.recordLength;
                }
                if (!same)
                    planned.fit = UsimPhoneBookFit::LayoutDiffers;
            }
        }
        plan.usimPhoneBooks.push_back(planned);
    }
    return true;
}

namespace {

// One phone book's restore; its steps end it through End, which says whether the whole restore
// goes on.
class PhoneBookRestore {
public:
    PhoneBookRestore(Pellucard& engine, const BackupUsimPhoneBook& held,
                     const BackupProgress& progress, BackupRunResult& result,
                     UsimPhoneBookRestore& restore)
        : folder_(engine, held.place), progress_(progress), result_(result), restore_(restore) {}

    // False when the file ended the phone book (`goOn` then says whether the restore goes on).
    bool RestoreFile(const BackupPhoneBookFile& file, bool& goOn) {
        return file.IsTransparent() ? RestoreBody(file, goOn) : RestoreRecords(file, goOn);
    }

private:
    CardRunHooks Hooks() {
        CardRunHooks hooks;
        // Each record lets the caller's progress run (and be stopped); the count stays where
        // the phone book and SMS records brought it.
        hooks.progress = [this](int, int) {
            if (progress_ && !progress_(result_.done, result_.total))
                stop_ = true;
        };
        hooks.stopRequested = [this] { return stop_; };
        return hooks;
    }

    bool End(UsimPhoneBookEnding ending, std::uint16_t fileId, int record,
             const CardOutcome& failure, bool& goOn) {
        restore_.ending = ending;
        restore_.fileId = fileId;
        restore_.record = record;
        restore_.failure = failure;
        goOn = ending != UsimPhoneBookEnding::LinkFailed && ending != UsimPhoneBookEnding::Stopped;
        if (!goOn) {
            result_.outcome = ending == UsimPhoneBookEnding::Stopped ? BackupOutcome::Stopped
                                                                     : BackupOutcome::LinkFailed;
            result_.usimFileId = fileId;
            result_.record = record;
            result_.failure = failure;
        }
        return false;
    }

    bool EndRun(const CardRunResult& run, std::uint16_t fileId, bool& goOn) {
        if (run.ending == RunEnding::Stopped)
            return End(UsimPhoneBookEnding::Stopped, fileId, run.record, run.failure, goOn);
        const bool refused = run.failure.IsRefused();
        return End(refused ? UsimPhoneBookEnding::Refused : UsimPhoneBookEnding::LinkFailed, fileId,
                   run.record, refused ? run.failure : CardOutcome::LinkFailed(), goOn);
    }

    // The file's records as the card holds them; false when the read did not complete whole.
    bool ReadHeld(const BackupPhoneBookFile& file, std::vector<Bytes>& held, bool& goOn) {
        held.clear();
        PhoneBookRecordFile steps(folder_, file.fileId);
        const CardRunResult run = ReadCardRecords(
            steps, [&held](int, const Bytes& raw) { held.push_back(raw); }, Hooks());
        if (!run.Complete())
            return EndRun(run, file.fileId, goOn);
        if (held.size() != file.records.size())  // the planned size changed under us
            return End(UsimPhoneBookEnding::LinkFailed, file.fileId, int(held.size()),
                       CardOutcome::LinkFailed(), goOn);
        return true;
    }

    bool RestoreRecords(const BackupPhoneBookFile& file, bool& goOn) {
        std::vector<Bytes> held;
        if (!ReadHeld(file, held, goOn))
            return false;
        if (held == file.records)
            return true;
        PhoneBookRecordFile steps(folder_, file.fileId);
        const CardRunResult writing = WriteCardRecords(
            steps,
            [&](int number, int) -> std::optional<Bytes> {
                const auto at = std::size_t(number - 1);
                if (at >= file.records.size() || held[at] == file.records[at])
                    return std::nullopt;
                return file.records[at];
            },
            Hooks());
        restore_.written += writing.done;
        if (!writing.Complete())
            return EndRun(writing, file.fileId, goOn);
        if (!ReadHeld(file, held, goOn))
            return false;
        for (std::size_t at = 0; at < held.size(); ++at) {
            if (held[at] != file.records[at])
                return End(UsimPhoneBookEnding::Mismatch, file.fileId, int(at) + 1,
                           CardOutcome::Done(), goOn);
        }
        return true;
    }

    bool RestoreBody(const BackupPhoneBookFile& file, bool& goOn) {
        const auto failed = [&](const CardOutcome& outcome) {
            return End(outcome.IsRefused() ? UsimPhoneBookEnding::Refused
                                           : UsimPhoneBookEnding::LinkFailed,
                       file.fileId, 0, outcome, goOn);
        };
        const CardResult<Bytes> held = ReadBody(folder_, file.fileId);
        if (!held.IsDone())
            return failed(held.outcome);
        if (held.value == file.body)
            return true;
        const CardOutcome written = WriteBody(folder_, file.fileId, file.body);
        if (!written.IsDone())
            return failed(written);
        ++restore_.written;
        const CardResult<Bytes> back = ReadBody(folder_, file.fileId);
        if (!back.IsDone())
            return failed(back.outcome);
        if (back.value != file.body)
            return End(UsimPhoneBookEnding::Mismatch, file.fileId, 0, CardOutcome::Done(), goOn);
        return true;
    }

    PhoneBookFolder folder_;
    const BackupProgress& progress_;
    BackupRunResult& result_;
    UsimPhoneBookRestore& restore_;
    bool stop_ = false;
};

}  // namespace

void RestoreUsimPhoneBooks(Pellucard& engine, const CardBackup& backup, const RestorePlan& plan,
                           const BackupProgress& progress, BackupRunResult& result) {
    for (const UsimPhoneBookPlan& planned : plan.usimPhoneBooks) {
        const auto held = std::find_if(
            backup.usimPhoneBooks.begin(), backup.usimPhoneBooks.end(),
            [&planned](const BackupUsimPhoneBook& book) { return book.place == planned.place; });
        if (held == backup.usimPhoneBooks.end())
            continue;
        UsimPhoneBookRestore restore;
        restore.place = planned.place;
        bool goOn = true;
        if (planned.fit == UsimPhoneBookFit::NotOnCard) {
            restore.ending = UsimPhoneBookEnding::NotOnCard;
        } else if (planned.fit == UsimPhoneBookFit::LayoutDiffers) {
            restore.ending = UsimPhoneBookEnding::LayoutDiffers;
        } else {
            PhoneBookRestore run(engine, *held, progress, result, restore);
            // EF PBR is the layout the plan found the same; it is not written.
            bool whole = true;
            for (const BackupPhoneBookFile& file : held->files) {
                if (file.fileId != kEfPhoneBookReferences && !run.RestoreFile(file, goOn)) {
                    whole = false;
                    break;
                }
            }
            if (whole)
                restore.ending = restore.written > 0 ? UsimPhoneBookEnding::Written
                                                     : UsimPhoneBookEnding::Unchanged;
        }
        result.usimPhoneBooks.push_back(restore);
        if (!goOn)
            return;
    }
}

}  // namespace pellucard
