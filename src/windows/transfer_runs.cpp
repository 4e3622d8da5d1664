#include "windows/transfer_runs.h"

#include <QStringList>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "catalogue/status_words.h"
#include "engine/card_runs.h"
#include "engine/gsm7.h"
#include "engine/pellucard.h"
#include "engine/phonebook_entry.h"
#include "engine/record_to_write.h"
#include "engine/sms_record.h"
#include "engine/sms_timestamp.h"
#include "records/dialog_seam.h"
#include "windows/record_columns.h"
#include "windows/sms_fields.h"

namespace pellucard {

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}
std::string toUtf8(const QString& text) {
    return text.toStdString();
}

QString numbered(MessageId messageId, int number, int languageIndex) {
    return Message(messageId, languageIndex) + QString::number(number);
}

// Record n of the card went to or came from the list: progress and status label.
void progressed(TransferRun& run, MessageId messageId, int n) {
    run.progress.setValue(n);
    run.progress.setStatus(numbered(messageId, n, run.languageIndex));
}

void writeSmsRow(RecordList& list, int row, const SmsRecord& record, int currentYear,
                 int languageIndex) {
    for (int column = 1; column <= sms_column::kFieldCount; ++column)
        list.SetText(row, column, {});
    if (!record.IsMessage())
        return;
    list.SetText(row, sms_column::kText, fromUtf8(record.text));
    list.SetText(row, sms_column::kStatus, smsStatusText(record.status));
    list.SetText(row, sms_column::kServiceCentre, fromUtf8(record.ServiceCentreNumber()));
    list.SetText(row, sms_column::kAddress, fromUtf8(record.AddressText()));
    if (record.IsReceived()) {
        list.SetText(row, sms_column::kTimeStamp,
                     fromUtf8(FormatSmsTimeStamp(record.timeStamp, currentYear)));
    } else if (record.validityFormat == kValidityRelative) {
        // The absolute and enhanced formats have no text here; their bytes go back as read.
        list.SetText(row, sms_column::kValidity, QString::number(record.validity));
        list.SetText(row, sms_column::kValidityText, validityText(record.validity, languageIndex));
    }
}

bool isGsmDefaultText(const SmsTextMeasure& measure) {
    return measure.gsmDefault;
}

bool textFitsRecord(const QString& text) {
    const SmsTextMeasure measure = MeasureSmsText(toUtf8(text));
    return isGsmDefaultText(measure) ? measure.septets <= kSmsMaxSeptets
                                     : measure.utf16Units <= kSmsMaxUcs2Bytes / 2;
}

// A phone book slot's fields from the texts of phoneBookCompareColumns().
PhoneBookFields phoneBookFieldsOf(const QStringList& texts) {
    const QList<int> columns = phoneBookCompareColumns();
    return {toUtf8(texts.value(columns.indexOf(phone_column::kName))),
            toUtf8(texts.value(columns.indexOf(phone_column::kNumber)))};
}

// A message slot's fields from the texts of smsCompareColumns(): what the write encodes of a
// message with the row's status.
SmsFields smsFieldsOf(const QStringList& texts) {
    const QList<int> columns = smsCompareColumns();
    const auto text = [&](int column) { return texts.value(columns.indexOf(column)); };
    SmsFields fields;
    fields.status = smsStatusByte(text(sms_column::kStatus));
    const bool received = fields.status == kSmsRead || fields.status == kSmsToBeRead;
    const bool toSend = fields.status == kSmsSent || fields.status == kSmsToBeSent;
    if (received || toSend)
        fields.address = toUtf8(text(sms_column::kAddress));
    if (received)
        fields.timeStamp = ParseSmsTimeStamp(toUtf8(TrimBlanks(text(sms_column::kTimeStamp))));
    if (toSend)
        fields.validity = TrimBlanks(text(sms_column::kValidity)).toInt();
    fields.text = toUtf8(text(sms_column::kText));
    fields.serviceCentre = toUtf8(text(sms_column::kServiceCentre));
    return fields;
}

// The record read into `row` with the fields it was read as, as the list's texts give them;
// nothing when the row holds no record read from the card.
template <class Fields>
std::optional<RecordAsRead<Fields>> recordAsRead(const CardRecordStore& store,
                                                 const RecordList& list, int row,
                                                 Fields (*fieldsOf)(const QStringList&)) {
    const CardRecordStore::Entry* entry = store.find(list.Tag(row));
    if (!entry)
        return std::nullopt;
    return RecordAsRead<Fields>{entry->raw, fieldsOf(entry->fields)};
}

int smsRecordLengthOf(const Pellucard& engine) {
    return engine.SmsRecordLength() > 0 ? engine.SmsRecordLength()
                                        : static_cast<int>(kSmsRecordLength);
}

}  // namespace

QList<int> phoneBookCompareColumns() {
    return {phone_column::kName, phone_column::kNumber};
}

QList<int> smsCompareColumns() {
    return {sms_column::kAddress,   sms_column::kText,          sms_column::kStatus,
            sms_column::kTimeStamp, sms_column::kServiceCentre, sms_column::kValidityText,
            sms_column::kValidity};
}

QString readTotalText(int read, int holdingEntry, int languageIndex) {
    return Message(MessageId::RecordsReadFromCard, languageIndex).arg(read).arg(holdingEntry);
}

QString slotRanges(const QList<int>& numbers) {
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

CardRunHooks hooksOf(TransferRun& run, MessageId messageId, int* doneCount) {
    CardRunHooks hooks;
    hooks.entered = [&run](int) {
        if (run.entered)
            run.entered();
    };
    hooks.progress = [&run, messageId, doneCount](int record, int) {
        progressed(run, messageId, record);
        if (doneCount)
            *doneCount = record;
    };
    hooks.yield = [&run] { run.progress.yield(); };
    hooks.stopRequested = [&run] { return run.progress.stopRequested(); };
    return hooks;
}

// The records a run may touch: the card's count, as far as the list has slots for them.
int runLimit(const RecordList& list, int recordCount) {
    const int capacity = std::max(list.Rows() - 1, 1);
    return recordCount > 0 ? std::min(recordCount, capacity) : capacity;
}

// The record and the card's status word, in plain words.
QString refusedText(const CardRunResult& result, int languageIndex) {
    return Message(MessageId::CardRefusedRecord, languageIndex)
        .arg(result.record)
        .arg(StatusWordText(result.failure.statusWord, languageIndex));
}

// Why the file could not be entered: the card's refusal, or no answer.
QString notEnteredText(const CardRunResult& result, int languageIndex) {
    if (result.failure.IsRefused())
        return Message(MessageId::CardFileRefused, languageIndex)
            .arg(StatusWordText(result.failure.statusWord, languageIndex));
    return Message(MessageId::CardFileNoAnswer, languageIndex);
}

// How a read ended, in the status label; a complete read leaves its last progress text.
bool showReadEnding(TransferRun& run, const CardRunResult& result) {
    switch (result.ending) {
        case RunEnding::Complete:
            return true;
        case RunEnding::NotEntered:
            run.progress.setStatus(notEnteredText(result, run.languageIndex) +
                                   Message(MessageId::ListLeftAsItWas, run.languageIndex));
            return false;
        case RunEnding::Refused:
            run.progress.setStatus(refusedText(result, run.languageIndex));
            return false;
        case RunEnding::LinkFailed:
            run.progress.setStatus(
                numbered(MessageId::UpLoadingProblem, result.record, run.languageIndex));
            return false;
        case RunEnding::Stopped:
            run.progress.setStatus(
                Message(MessageId::ReadStopped, run.languageIndex).arg(result.record));
            return false;
    }
    return false;
}

// How a write ended: the records written, and the slots left as they were on the card. Keeps
// the slots that were written.
bool showWriteEnding(TransferRun& run, const CardRunResult& result, const QList<int>& sent) {
    run.writeEnding = result.ending;
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
            run.progress.setStatus(
                Message(MessageId::RecordsWrittenToCard, run.languageIndex).arg(result.done) +
                left);
            return true;
        case RunEnding::NotEntered:
            run.progress.setStatus(notEnteredText(result, run.languageIndex) +
                                   Message(MessageId::NothingWritten, run.languageIndex));
            return false;
        case RunEnding::Refused:
            run.progress.setStatus(refusedText(result, run.languageIndex));
            return false;
        case RunEnding::LinkFailed:
            run.progress.setStatus(
                numbered(MessageId::DownLoadingProblem, result.record, run.languageIndex));
            return false;
        case RunEnding::Stopped:
            run.progress.setStatus(Message(MessageId::WriteStopped, run.languageIndex)
                                       .arg(result.record)
                                       .arg(result.done));
            return false;
    }
    return false;
}

// Whether the list knows what belongs in slot `row` of the card now in the reader.
bool knownSlot(const TransferRun& run, const RecordList& list, int row) {
    if (row >= list.Rows())
        return false;
    const qint32 tag = list.Tag(row);
    if (tag == kUnknownSlotTag || run.leaveAlone.contains(row))
        return false;
    // A record read from another card is not this card's content.
    const CardRecordStore::Entry* entry = run.store.find(tag);
    if (entry && entry->generation != run.cardGeneration)
        return false;
    return true;
}

}  // namespace

bool readPhoneBook(TransferRun& run, RecordList& list, int recordCount, int& doneCount,
                   CardRecordFile file) {
    run.progress.setMaximum(recordCount);
    const auto result = ReadCardRecords(
        run.engine, file,
        [&](int n, const Bytes& data) {
            const PhoneBookEntry entry = DecodePhoneBookRecord(data);
            list.SetText(n, phone_column::kName, fromUtf8(entry.name));
            list.SetText(n, phone_column::kNumber, fromUtf8(entry.Number()));
            list.SetText(n, phone_column::kMark, {});
            list.SetTag(n, run.store.remember(data, CardRecordStore::fieldsOf(
                                                        list, n, phoneBookCompareColumns())));
        },
        hooksOf(run, MessageId::UpLoadingRecord, &doneCount), runLimit(list, recordCount));
    return showReadEnding(run, result);
}

bool writePhoneBook(TransferRun& run, const RecordList& list, int recordCount, int usedCount,
                    CardRecordFile file) {
    (void)usedCount;  // the end text counts the records written
    Pellucard& engine = run.engine;
    run.progress.setMaximum(recordCount);
    QList<int> sent;
    const auto recordFor = [&](int n, int recordLength) -> std::optional<Bytes> {
        if (!knownSlot(run, list, n))
            return std::nullopt;
        sent.append(n);
        return PhoneBookRecordToWrite(
            phoneBookFieldsOf(CardRecordStore::fieldsOf(list, n, phoneBookCompareColumns())),
            recordAsRead(run.store, list, n, phoneBookFieldsOf), recordLength,
            engine.NameFormInUse());
    };
    const auto result = WriteCardRecords(engine, file, recordFor,
                                         hooksOf(run, MessageId::DownLoadingRecord, nullptr),
                                         runLimit(list, recordCount));
    return showWriteEnding(run, result, sent);
}

bool readSms(TransferRun& run, RecordList& list, int recordCount, int& doneCount, int currentYear) {
    run.progress.setMaximum(recordCount);
    const auto result = ReadCardRecords(
        run.engine, CardRecordFile::Sms,
        [&](int n, const Bytes& data) {
            const SmsRecord record = DecodeSmsRecord(data);
            writeSmsRow(list, n, record, currentYear, run.languageIndex);
            list.SetText(n, sms_column::kMark, {});
            list.SetTag(
                n, run.store.remember(data, CardRecordStore::fieldsOf(list, n, smsCompareColumns()),
                                      record.IsMessage() ? record.concatenation : std::nullopt));
        },
        hooksOf(run, MessageId::UpLoadingRecord, &doneCount), runLimit(list, recordCount));
    return showReadEnding(run, result);
}

QList<int> smsSlotsToBeCut(const RecordList& list, int recordCount, const CardRecordStore& store,
                           int recordLength) {
    QList<int> cutSlots;
    for (int n = 1; n <= recordCount && n < list.Rows(); ++n) {
        if (smsStatusByte(list.Text(n, sms_column::kStatus)) == kStatusNotAMessage)
            continue;
        const SmsFields fields =
            smsFieldsOf(CardRecordStore::fieldsOf(list, n, smsCompareColumns()));
        if (KeepsRecordAsRead(fields, recordAsRead(store, list, n, smsFieldsOf), recordLength))
            continue;
        if (!textFitsRecord(list.Text(n, sms_column::kText)))
            cutSlots.append(n);
    }
    return cutSlots;
}

bool writeSms(TransferRun& run, const RecordList& list, int recordCount, int usedCount) {
    (void)usedCount;  // the end text counts the records written
    Pellucard& engine = run.engine;
    // The record length decides which rows the card still holds unchanged; a file that cannot
    // be entered now is taken at the usual length, and the run says why it cannot write.
    const int recordLength = engine.EnterSmsFile().IsDone() ? smsRecordLengthOf(engine)
                                                            : static_cast<int>(kSmsRecordLength);
    const QList<int> cut = smsSlotsToBeCut(list, recordCount, run.store, recordLength);
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
    run.progress.setMaximum(recordCount);
    QList<int> sent;
    const auto recordFor = [&](int n, int length) -> std::optional<Bytes> {
        if (!knownSlot(run, list, n))
            return std::nullopt;
        const Bytes data =
            SmsRecordToWrite(smsFieldsOf(CardRecordStore::fieldsOf(list, n, smsCompareColumns())),
                             recordAsRead(run.store, list, n, smsFieldsOf), length);
        // A row that cannot be encoded is skipped; the card keeps what it holds there.
        if (data.empty())
            return std::nullopt;
        sent.append(n);
        return data;
    };
    const auto result = WriteCardRecords(engine, CardRecordFile::Sms, recordFor,
                                         hooksOf(run, MessageId::DownLoadingRecord, nullptr),
                                         runLimit(list, recordCount));
    return showWriteEnding(run, result, sent);
}

CardRunHooks transferHooks(TransferRun& run, MessageId messageId, int* doneCount) {
    return hooksOf(run, messageId, doneCount);
}

bool showTransferReadEnding(TransferRun& run, const CardRunResult& result) {
    return showReadEnding(run, result);
}

}  // namespace pellucard
