#include "windows/transfer_runs.h"

#include <QStringList>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "catalogue/status_words.h"
#include "engine/card_runs.h"
#include "engine/gsm7.h"
#include "engine/pellucard.h"
#include "engine/phonebook_entry.h"
#include "engine/sms_record.h"
#include "engine/sms_timestamp.h"
#include "records/dialog_seam.h"
#include "windows/record_columns.h"
#include "windows/sms_fields.h"

namespace pellucard {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}
std::string ToUtf8(const QString& text) {
    return text.toStdString();
}

QString Numbered(MessageId messageId, int number, int languageIndex) {
    return Message(messageId, languageIndex) + QString::number(number);
}

// Record n of the card went to or came from the list: progress and status label.
void Progressed(TransferRun& run, MessageId messageId, int n) {
    run.progress.SetValue(n);
    run.progress.SetStatus(Numbered(messageId, n, run.languageIndex));
}

void WriteSmsRow(RecordList& list, int row, const SmsRecord& record, int currentYear,
                 int languageIndex) {
    for (int column = 1; column <= sms_column::kFieldCount; ++column)
        list.SetText(row, column, {});
    if (!record.IsMessage())
        return;
    list.SetText(row, sms_column::kText, FromUtf8(record.text));
    list.SetText(row, sms_column::kStatus, SmsStatusText(record.status));
    list.SetText(row, sms_column::kServiceCentre, FromUtf8(record.ServiceCentreNumber()));
    list.SetText(row, sms_column::kAddress, FromUtf8(record.AddressText()));
    if (record.IsReceived()) {
        list.SetText(row, sms_column::kTimeStamp,
                     FromUtf8(FormatSmsTimeStamp(record.timeStamp, currentYear)));
    } else if (record.validityFormat == kValidityRelative) {
        // The absolute and enhanced formats have no text here; their bytes go back as read.
        list.SetText(row, sms_column::kValidity, QString::number(record.validity));
        list.SetText(row, sms_column::kValidityText, ValidityText(record.validity, languageIndex));
    }
}

bool IsGsmDefaultText(const SmsTextMeasure& measure) {
    return measure.gsmDefault;
}

bool TextFitsRecord(const QString& text) {
    const SmsTextMeasure measure = MeasureSmsText(ToUtf8(text));
    return IsGsmDefaultText(measure) ? measure.septets <= kSmsMaxSeptets
                                     : measure.utf16Units <= kSmsMaxUcs2Bytes / 2;
}

int SmsRecordLengthOf(const Pellucard& engine) {
    return engine.SmsRecordLength() > 0 ? engine.SmsRecordLength()
                                        : static_cast<int>(kSmsRecordLength);
}

}  // namespace

QList<int> PhoneBookCompareColumns() {
    return {phone_column::kName, phone_column::kNumber};
}

QList<int> SmsCompareColumns() {
    return {sms_column::kAddress,   sms_column::kText,          sms_column::kStatus,
            sms_column::kTimeStamp, sms_column::kServiceCentre, sms_column::kValidityText,
            sms_column::kValidity};
}

QString ReadTotalText(int read, int holdingEntry, int languageIndex) {
    return Message(MessageId::RecordsReadFromCard, languageIndex).arg(read).arg(holdingEntry);
}

QString SlotRanges(const QList<int>& numbers) {
    QStringList ranges;
    for (int i = 0; i < numbers.size();) {
        int j = i;
        while (j + 1 < numbers.size() && numbers[j + 1] == numbers[j] + 1)
            ++j;
        ranges.append(j == i ? QString::number(numbers[i])
                             : QStringLiteral("%1-%2").arg(numbers[i]).arg(numbers[j]));
        i = j + 1;
    }
    return ranges.join(QStringLiteral(", "));
}

namespace {

CardRunHooks HooksOf(TransferRun& run, MessageId messageId, int* doneCount) {
    CardRunHooks hooks;
    hooks.entered = [&run](int) {
        if (run.entered)
            run.entered();
    };
    hooks.progress = [&run, messageId, doneCount](int record, int) {
        Progressed(run, messageId, record);
        if (doneCount)
            *doneCount = record;
    };
    hooks.yield = [&run] { run.progress.Yield(); };
    hooks.stopRequested = [&run] { return run.progress.StopRequested(); };
    return hooks;
}

// The records a run may touch: the card's count, as far as the list has slots for them.
int RunLimit(const RecordList& list, int recordCount) {
    const int capacity = std::max(list.Rows() - 1, 1);
    return recordCount > 0 ? std::min(recordCount, capacity) : capacity;
}

// The record and the card's status word, in plain words.
QString RefusedText(const CardRunResult& result, int languageIndex) {
    return Message(MessageId::CardRefusedRecord, languageIndex)
        .arg(result.record)
        .arg(StatusWordText(result.failure.statusWord, languageIndex));
}

// Why the file could not be entered: the card's refusal, or no answer.
QString NotEnteredText(const CardRunResult& result, int languageIndex) {
    if (result.failure.IsRefused())
        return Message(MessageId::CardFileRefused, languageIndex)
            .arg(StatusWordText(result.failure.statusWord, languageIndex));
    return Message(MessageId::CardFileNoAnswer, languageIndex);
}

// How a read ended, in the status label; a complete read leaves its last progress text.
bool ShowReadEnding(TransferRun& run, const CardRunResult& result) {
    switch (result.ending) {
        case RunEnding::Complete:
            return true;
        case RunEnding::NotEntered:
            run.progress.SetStatus(NotEnteredText(result, run.languageIndex) +
                                   Message(MessageId::ListLeftAsItWas, run.languageIndex));
            return false;
        case RunEnding::Refused:
            run.progress.SetStatus(RefusedText(result, run.languageIndex));
            return false;
        case RunEnding::LinkFailed:
            run.progress.SetStatus(
                Numbered(MessageId::UpLoadingProblem, result.record, run.languageIndex));
            return false;
        case RunEnding::Stopped:
            run.progress.SetStatus(
                Message(MessageId::ReadStopped, run.languageIndex).arg(result.record));
            return false;
    }
    return false;
}

// How a write ended: the records written, and the slots left as they were on the card. Keeps
// the slots that were written.
bool ShowWriteEnding(TransferRun& run, const CardRunResult& result, const QList<int>& sent) {
    // A record that failed, and any after it, were not written (a lost update may have been, but
    // nobody knows).
    const int lastWritten = result.ending == RunEnding::Complete  ? result.recordCount
                            : result.ending == RunEnding::Stopped ? result.record
                                                                  : result.record - 1;
    for (const int slot : sent) {
        if (slot <= lastWritten)
            run.writtenSlots.append(slot);
    }
    const QString left =
        result.left > 0 ? Message(MessageId::SlotsLeftOnCard, run.languageIndex).arg(result.left)
                        : QString();
    switch (result.ending) {
        case RunEnding::Complete:
            run.progress.SetStatus(
                Message(MessageId::RecordsWrittenToCard, run.languageIndex).arg(result.done) +
                left);
            return true;
        case RunEnding::NotEntered:
            run.progress.SetStatus(NotEnteredText(result, run.languageIndex) +
                                   Message(MessageId::NothingWritten, run.languageIndex));
            return false;
        case RunEnding::Refused:
            run.progress.SetStatus(RefusedText(result, run.languageIndex));
            return false;
        case RunEnding::LinkFailed:
            run.progress.SetStatus(
                Numbered(MessageId::DownLoadingProblem, result.record, run.languageIndex));
            return false;
        case RunEnding::Stopped:
            run.progress.SetStatus(Message(MessageId::WriteStopped, run.languageIndex)
                                       .arg(result.record)
                                       .arg(result.done));
            return false;
    }
    return false;
}

// Whether the list knows what belongs in slot `row` of the card now in the reader.
bool KnownSlot(const TransferRun& run, const RecordList& list, int row) {
    if (row >= list.Rows())
        return false;
    const qint32 tag = list.Tag(row);
    if (tag == kUnknownSlotTag || run.leaveAlone.contains(row))
        return false;
    // A record read from another card is not this card's content.
    const CardRecordStore::Entry* entry = run.store.Find(tag);
    if (entry && entry->generation != run.cardGeneration)
        return false;
    return true;
}

}  // namespace

bool ReadPhoneBook(TransferRun& run, RecordList& list, int recordCount, int& doneCount) {
    run.progress.SetMaximum(recordCount);
    const auto result = ReadCardRecords(
        run.engine, CardRecordFile::PhoneBook,
        [&](int n, const Bytes& data) {
            const PhoneBookEntry entry = DecodePhoneBookRecord(data);
            list.SetText(n, phone_column::kName, FromUtf8(entry.name));
            list.SetText(n, phone_column::kNumber, FromUtf8(entry.Number()));
            list.SetText(n, phone_column::kMark, {});
            list.SetTag(n, run.store.Remember(data, CardRecordStore::FieldsOf(
                                                        list, n, PhoneBookCompareColumns())));
        },
        HooksOf(run, MessageId::UpLoadingRecord, &doneCount), RunLimit(list, recordCount));
    return ShowReadEnding(run, result);
}

bool WritePhoneBook(TransferRun& run, const RecordList& list, int recordCount, int usedCount) {
    (void)usedCount;  // the end text counts the records written
    Pellucard& engine = run.engine;
    run.progress.SetMaximum(recordCount);
    QList<int> sent;
    const auto recordFor = [&](int n, int recordLength) -> std::optional<Bytes> {
        if (!KnownSlot(run, list, n))
            return std::nullopt;
        sent.append(n);
        if (const Bytes* original =
                run.store.Untouched(list, n, PhoneBookCompareColumns(), recordLength))
            return *original;
        return engine.EncodePhoneBookEntry(ToUtf8(list.Text(n, phone_column::kNumber)),
                                           ToUtf8(list.Text(n, phone_column::kName)));
    };
    const auto result = WriteCardRecords(engine, CardRecordFile::PhoneBook, recordFor,
                                         HooksOf(run, MessageId::DownLoadingRecord, nullptr),
                                         RunLimit(list, recordCount));
    return ShowWriteEnding(run, result, sent);
}

bool ReadSms(TransferRun& run, RecordList& list, int recordCount, int& doneCount, int currentYear) {
    run.progress.SetMaximum(recordCount);
    const auto result = ReadCardRecords(
        run.engine, CardRecordFile::Sms,
        [&](int n, const Bytes& data) {
            const SmsRecord record = DecodeSmsRecord(data);
            WriteSmsRow(list, n, record, currentYear, run.languageIndex);
            list.SetText(n, sms_column::kMark, {});
            list.SetTag(
                n, run.store.Remember(data, CardRecordStore::FieldsOf(list, n, SmsCompareColumns()),
                                      record.IsMessage() ? record.concatenation : std::nullopt));
        },
        HooksOf(run, MessageId::UpLoadingRecord, &doneCount), RunLimit(list, recordCount));
    return ShowReadEnding(run, result);
}

QList<int> SmsSlotsToBeCut(const RecordList& list, int recordCount, const CardRecordStore& store,
                           int recordLength) {
    QList<int> cutSlots;
    for (int n = 1; n <= recordCount && n < list.Rows(); ++n) {
        if (SmsStatusByte(list.Text(n, sms_column::kStatus)) == kStatusNotAMessage)
            continue;
        if (store.Untouched(list, n, SmsCompareColumns(), recordLength))
            continue;
        if (!TextFitsRecord(list.Text(n, sms_column::kText)))
            cutSlots.append(n);
    }
    return cutSlots;
}

bool WriteSms(TransferRun& run, const RecordList& list, int recordCount, int usedCount) {
    (void)usedCount;  // the end text counts the records written
    Pellucard& engine = run.engine;
    // The record length decides which rows the card still holds unchanged; a file that cannot
    // be entered now is taken at the usual length, and the run says why it cannot write.
    const int recordLength = engine.EnterSmsFile().IsDone() ? SmsRecordLengthOf(engine)
                                                            : static_cast<int>(kSmsRecordLength);
    const QList<int> cut = SmsSlotsToBeCut(list, recordCount, run.store, recordLength);
    if (!cut.isEmpty()) {
        QStringList numbers;
        for (const int slot : cut)
            numbers.append(QString::number(slot));
        MessageRequest question =
            CatalogueMessage(MessageId::MessagesCutQuestion, run.languageIndex,
                             DialogButtons::YesNo, DialogIcon::Question);
        question.text = question.text.arg(numbers.join(QStringLiteral(", ")));
        if (ShowMessage(question) != DialogAnswer::Yes)
            return false;
    }
    run.progress.SetMaximum(recordCount);
    QList<int> sent;
    const auto recordFor = [&](int n, int length) -> std::optional<Bytes> {
        if (!KnownSlot(run, list, n))
            return std::nullopt;
        if (const Bytes* original = run.store.Untouched(list, n, SmsCompareColumns(), length)) {
            sent.append(n);
            return *original;
        }
        const int status = SmsStatusByte(list.Text(n, sms_column::kStatus));
        const bool received = status == kSmsRead || status == kSmsToBeRead;
        const bool toSend = status == kSmsSent || status == kSmsToBeSent;
        std::string address;
        SmsTimeStamp stamp;
        int validity = 0;
        if (received || toSend)
            address = ToUtf8(list.Text(n, sms_column::kAddress));
        if (received)
            stamp = ParseSmsTimeStamp(ToUtf8(TrimBlanks(list.Text(n, sms_column::kTimeStamp))));
        if (toSend)
            validity = TrimBlanks(list.Text(n, sms_column::kValidity)).toInt();
        Bytes data =
            engine.EncodeSms(address, ToUtf8(list.Text(n, sms_column::kText)), status, stamp,
                             ToUtf8(list.Text(n, sms_column::kServiceCentre)), validity);
        // A row that cannot be encoded is skipped; the card keeps what it holds there.
        if (data.empty())
            return std::nullopt;
        sent.append(n);
        return data;
    };
    const auto result = WriteCardRecords(engine, CardRecordFile::Sms, recordFor,
                                         HooksOf(run, MessageId::DownLoadingRecord, nullptr),
                                         RunLimit(list, recordCount));
    return ShowWriteEnding(run, result, sent);
}

}  // namespace pellucard
