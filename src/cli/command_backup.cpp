// backup FILE and restore FILE: every phone book and SMS record of the card, byte for byte.
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>

#include "catalogue/status_words.h"
#include "cli/cli.h"
#include "cli/phone_book_files.h"
#include "cli/terminal.h"
#include "engine/card_backup.h"
#include "engine/pellucard.h"
#include "records/card_backup_file.h"
#include "records/restore_report.h"
#include "records/save_file.h"

namespace pellucard::cli {
namespace {

std::string Where(const BackupRunResult& result) {
    if (result.usimFileId != 0)
        return "USIM phone book file " + FileIdHex(result.usimFileId) + " record " +
               std::to_string(result.record);
    if (result.record == 0)
        return "the card's identity and file sizes";
    return std::string(result.file == CardRecordFile::PhoneBook ? "phone book"
                       : result.file == CardRecordFile::Sms     ? "SMS"
                                                                : EfNameOf(result.file)) +
           " record " + std::to_string(result.record);
}

// What became of one of the other files, in a few words.
std::string OtherFileText(const OtherFileRestore& restore) {
    switch (restore.ending) {
        case OtherFileEnding::Unchanged:
            return "unchanged (the card held the backup's records)";
        case OtherFileEnding::Written:
            return Counted(std::size_t(restore.written), "record", "records") +
                   " written and read back";
        case OtherFileEnding::NotOnCard:
            return "not written: the card has no such file";
        case OtherFileEnding::LengthDiffers:
            return "not written: the card's records have another length";
        case OtherFileEnding::NeedsPin2:
            return "not written: it differs from the card's, and writing it needs PIN2 "
                   "(--pin2)";
        case OtherFileEnding::Refused:
            return "not written: the card refused record " + std::to_string(restore.record) +
                   " (status " + StatusWordText(restore.failure.statusWord, 0).toStdString() + ")" +
                   (restore.written > 0
                        ? "; " + std::to_string(restore.written) + " records were written before"
                        : "");
        case OtherFileEnding::Mismatch:
            return "record " + std::to_string(restore.record) +
                   " reads back differently from what was written";
        case OtherFileEnding::LinkFailed:
            return "no answer at record " + std::to_string(restore.record);
    }
    return {};
}

std::string PlaceText(PhoneBookPlace place) {
    return place == PhoneBookPlace::Global ? "global USIM phone book"
                                           : "USIM application's phone book";
}

// What became of a USIM phone book, in a few words.
std::string UsimPhoneBookText(const UsimPhoneBookRestore& restore) {
    const std::string at = "file " + FileIdHex(restore.fileId) +
                           (restore.record > 0 ? " record " + std::to_string(restore.record) : "");
    const std::string before =
        restore.written > 0 ? "; " + std::to_string(restore.written) + " written before" : "";
    switch (restore.ending) {
        case UsimPhoneBookEnding::Unchanged:
            return "unchanged (the card held the backup's records)";
        case UsimPhoneBookEnding::Written:
            return Counted(std::size_t(restore.written), "record", "records") +
                   " written and read back";
        case UsimPhoneBookEnding::NotOnCard:
            return "not written: the card has no such phone book";
        case UsimPhoneBookEnding::LayoutDiffers:
            return "not written: the card's EF PBR lists other files, or its files have other "
                   "sizes";
        case UsimPhoneBookEnding::Refused:
            return "not written: the card refused " + at + " (status " +
                   StatusWordText(restore.failure.statusWord, 0).toStdString() + ")" + before;
        case UsimPhoneBookEnding::Mismatch:
            return at + " reads back differently from what was written";
        case UsimPhoneBookEnding::LinkFailed:
            return "no answer at " + at + before;
        case UsimPhoneBookEnding::Stopped:
            return "stopped at " + at + before;
    }
    return {};
}

// Ends the command unless the run did everything it set out to do.
void RequireDone(const BackupRunResult& result, const char* what) {
    const std::string counted = " after " + std::to_string(result.done) + " of " +
                                std::to_string(result.total) + " records";
    switch (result.outcome) {
        case BackupOutcome::Done:
            return;
        case BackupOutcome::Refused:
            throw Failure{
                kCardFailure,
                std::string(what) + " stopped: the card refused " + Where(result) + " (status " +
                    StatusWordText(result.failure.statusWord, 0).toStdString() + ")" + counted};
        case BackupOutcome::LinkFailed:
            throw Failure{kCardFailure,
                          std::string(what) + " stopped: no answer at " + Where(result) + counted};
        case BackupOutcome::Mismatch:
            throw Failure{kCardFailure, std::string(what) + " stopped: " + Where(result) +
                                            " reads back differently from what was written" +
                                            counted};
        case BackupOutcome::Stopped:
            throw Failure{kCardFailure, std::string(what) + " stopped" + counted};
    }
}

BackupProgress ProgressLine(const char* what) {
    return [what](int done, int total) {
        Progress(what, done, total);
        return true;
    };
}

}  // namespace

int RunBackup(const Globals& globals, const Arguments& args) {
    args.Expect({});
    const std::string path = args.Positional(1, "the backup file to write");
    auto session = OpenCard(globals);
    UnlockCard(*session, globals);
    CardBackup backup;
    const BackupRunResult result = ReadCardBackup(*session->engine, backup, ProgressLine("backup"));
    EndProgress();
    RequireDone(result, "the backup");
    const QByteArray bytes = SerializeCardBackup(backup);
    QJsonArray others;
    std::string otherText;
    for (const BackupFile& held : backup.otherFiles) {
        others.append(QJsonObject{{"file", QLatin1String(EfNameOf(held.file))},
                                  {"records", int(held.records.size())}});
        otherText += (otherText.empty() ? "" : ", ") + std::to_string(held.records.size()) +
                     " of " + EfNameOf(held.file);
    }
    QJsonArray usimJson;
    for (const BackupUsimPhoneBook& book : backup.usimPhoneBooks) {
        usimJson.append(QJsonObject{
            {"place", book.place == PhoneBookPlace::Global ? QStringLiteral("global")
                                                           : QStringLiteral("application")},
            {"files", int(book.files.size())}});
        otherText += (otherText.empty() ? "" : ", ") + std::to_string(book.files.size()) +
                     " files of the " + PlaceText(book.place);
    }
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) || !WriteWhole(file, bytes) || !CommitWhenComplete(file)) {
        throw Failure{kCardFailure, path + ": " + file.errorString().toStdString()};
    }
    if (globals.json) {
        QJsonObject report{{"file", QString::fromStdString(path)},
                           {"iccid", QString::fromStdString(backup.iccid)},
                           {"phonebook_records", int(backup.phoneBook.size())},
                           {"sms_records", int(backup.sms.size())},
                           {"other_files", others}};
        // Only a card with a USIM phone book has one to report.
        if (!usimJson.isEmpty())
            report["usim_phonebooks"] = usimJson;
        PrintJson(report);
    } else {
        PrintLine("backed up " + std::to_string(backup.phoneBook.size()) + " phone book and " +
                  std::to_string(backup.sms.size()) + " SMS records of card " + backup.iccid +
                  (otherText.empty() ? "" : ", and " + otherText) + " to " + path);
    }
    return kSuccess;
}

int RunRestore(const Globals& globals, const Arguments& args) {
    args.Expect({"yes", "other-card", "fewer-records", "pin2"});
    const std::string path = args.Positional(1, "the backup file to restore");
    // The whole file is checked before the card is touched.
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw Failure{kCardFailure, path + ": " + file.errorString().toStdString()};
    CardBackup backup;
    QString error;
    if (!ParseCardBackup(file.read(64 * 1024 * 1024), backup, error)) {
        throw Failure{kCardFailure, path + ": " + error.toStdString() + "; nothing was written"};
    }
    auto session = OpenCard(globals);
    UnlockCard(*session, globals);
    Pellucard& engine = *session->engine;
    RestorePlan plan;
    if (!PlanRestore(engine, backup, plan))
        throw Failure{kCardFailure,
                      "could not read the card's identity and the sizes of its phone book "
                      "and message store; nothing was written"};

    if (!globals.json) {
        PrintLine("the backup of card " + backup.iccid + " holds " +
                  std::to_string(backup.phoneBook.size()) + " phone book and " +
                  std::to_string(backup.sms.size()) + " SMS records; " +
                  std::to_string(plan.phoneBookRecords) + " and " +
                  std::to_string(plan.smsRecords) + " of them fit the card in the reader (" +
                  plan.cardIccid + ")");
    }
    if (plan.otherCard && !args.Flag("other-card")) {
        throw Failure{kCardFailure, "the card in the reader (" + plan.cardIccid +
                                        ") is not the card backed up (" + backup.iccid +
                                        "); --other-card writes to it anyway"};
    }
    if ((plan.phoneBookBeyond > 0 || plan.smsBeyond > 0) && !args.Flag("fewer-records")) {
        throw Failure{kCardFailure,
                      "the card has no room for " + std::to_string(plan.phoneBookBeyond) +
                          " phone book and " + std::to_string(plan.smsBeyond) +
                          " SMS records of the backup" +
                          (plan.smsLengthDiffers ? " (its SMS records have another length)" : "") +
                          "; --fewer-records writes the others"};
    }
    // Nothing written is no success: a script must not take the card as restored.
    if (!args.Flag("yes")) {
        if (!OnTerminal())
            throw Failure{kCardFailure,
                          "nothing written: give --yes to replace the card's records"};
        if (!Confirm("Replace the card's records with the backup's?"))
            throw Failure{kCardFailure, "nothing was written"};
    }
    plan.restoreOtherFiles = true;
    // PIN2 only when it is given: without it the fixed dialling numbers are left as the card
    // holds them, and the restore says so.
    const bool cardHasFdn =
        std::any_of(plan.otherFiles.begin(), plan.otherFiles.end(), [](const auto& file) {
            return file.file == CardRecordFile::FixedDialling && file.recordCount > 0;
        });
    if (args.Option("pin2") && cardHasFdn) {
        PresentPin2(*session, globals, args);
        plan.pin2Verified = true;
    }
    const BackupRunResult result = RestoreCardBackup(engine, backup, plan, ProgressLine("restore"));
    EndProgress();
    SaveCard(*session);
    // Records written before the end replaced the card's: the report names them, file by file.
    std::string otherLines;
    QJsonArray otherJson;
    for (const OtherFileRestore& restore : result.otherFiles) {
        otherLines += std::string("\n") + EfNameOf(restore.file) + ": " + OtherFileText(restore);
        otherJson.append(QJsonObject{{"file", QLatin1String(EfNameOf(restore.file))},
                                     {"restored", restore.Restored()},
                                     {"records_written", restore.written},
                                     {"outcome", QString::fromStdString(OtherFileText(restore))}});
    }
    QJsonArray usimJson;
    for (const UsimPhoneBookRestore& restore : result.usimPhoneBooks) {
        otherLines += "\n" + PlaceText(restore.place) + ": " + UsimPhoneBookText(restore);
        usimJson.append(QJsonObject{
            {"place", restore.place == PhoneBookPlace::Global ? QStringLiteral("global")
                                                              : QStringLiteral("application")},
            {"restored", restore.Restored()},
            {"records_written", restore.written},
            {"outcome", QString::fromStdString(UsimPhoneBookText(restore))}});
    }
    if (!result.Ok())
        throw Failure{kCardFailure, "the restore did not go through:\n" +
                                        RestoreReport(result, plan, 0).toStdString() + otherLines};
    if (!result.AllRestored())
        throw Failure{kCardFailure, "the phone book and messages were restored (" +
                                        std::to_string(result.done) +
                                        " records), but not every other file:" + otherLines};
    if (globals.json) {
        QJsonObject report{{"file", QString::fromStdString(path)},
                           {"backup_iccid", QString::fromStdString(backup.iccid)},
                           {"card_iccid", QString::fromStdString(plan.cardIccid)},
                           {"records_written", result.done},
                           {"phonebook_reencoded", plan.phoneBookReencoded},
                           {"other_files", otherJson}};
        if (!usimJson.isEmpty())
            report["usim_phonebooks"] = usimJson;
        PrintJson(report);
        return kSuccess;
    }
    PrintLine("wrote " + std::to_string(result.done) + " records and read each back unchanged" +
              (plan.phoneBookReencoded ? " (phone book names and numbers written anew in the "
                                         "card's record length)"
                                       : "") +
              otherLines);
    return kSuccess;
}

}  // namespace pellucard::cli
