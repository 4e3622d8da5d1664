#include "records/restore_report.h"

#include <QStringList>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "catalogue/status_words.h"

namespace pellucard {
namespace {

// "records a to b ..." or "record a ..." (a range of one).
QString Range(MessageId many, MessageId one, int first, int last, int languageIndex) {
    return first == last ? Message(one, languageIndex).arg(first)
                         : Message(many, languageIndex).arg(first).arg(last);
}

// Where the restore ended in this file, and why; `written` records of it went to the card.
QString Ending(const BackupRunResult& result, int written, int languageIndex) {
    const int record = result.record;
    if (result.outcome == BackupOutcome::Stopped)
        return Message(MessageId::RestoreStoppedAfter, languageIndex).arg(record);
    if (result.outcome == BackupOutcome::Mismatch)
        return Message(MessageId::RestoreRecordDiffers, languageIndex).arg(record);
    // Every record of the file was written before it was read back.
    if (record <= written)
        return Message(MessageId::RestoreRecordNotReadBack, languageIndex).arg(record);
    if (result.outcome == BackupOutcome::Refused)
        return Message(MessageId::RestoreRecordRefused, languageIndex)
            .arg(record)
            .arg(StatusWordText(result.failure.statusWord, languageIndex));
    return Message(MessageId::RestoreRecordNoAnswer, languageIndex).arg(record);
}

}  // namespace

QString RestoreReport(const BackupRunResult& result, const RestorePlan& plan, int languageIndex) {
    // The phone book is written first, then the SMS store.
    const int phoneBookWritten = std::clamp(result.written, 0, plan.phoneBookRecords);
    const struct {
        CardRecordFile file;
        MessageId title;
        int planned;
        int written;
    } files[] = {
        {CardRecordFile::PhoneBook, MessageId::SimCardPhoneBook, plan.phoneBookRecords,
         phoneBookWritten},
        {CardRecordFile::Sms, MessageId::SimCardSms, plan.smsRecords,
         std::clamp(result.written - phoneBookWritten, 0, plan.smsRecords)},
    };
    QStringList lines;
    for (const auto& file : files) {
        if (file.planned <= 0)
            continue;
        QStringList pieces;
        if (file.written > 0)
            pieces.append(Range(MessageId::RestoreRecordsWritten, MessageId::RestoreRecordWritten,
                                1, file.written, languageIndex));
        int notWrittenFrom = file.written + 1;
        if (!result.Ok() && result.usimFileId == 0 && result.file == file.file) {
            pieces.append(Ending(result, file.written, languageIndex));
            notWrittenFrom = std::max(notWrittenFrom, result.record + 1);
        }
        if (notWrittenFrom <= file.planned)
            pieces.append(Range(MessageId::RestoreRecordsNotWritten,
                                MessageId::RestoreRecordNotWritten, notWrittenFrom, file.planned,
                                languageIndex));
        lines.append(Message(file.title, languageIndex) + QStringLiteral(": ") +
                     pieces.join(QStringLiteral("; ")));
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace pellucard
