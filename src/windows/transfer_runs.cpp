#include "windows/transfer_runs.h"

#include <QStringList>

#include <algorithm>

#include "catalogue/catalogue.h"
#include "engine/gsm7.h"
#include "engine/pellucard.h"
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

QString Numbered(int messageId, int number, int languageIndex) {
    return Message(messageId, languageIndex) + QString::number(number);
}

// Record n of the card went to or came from the list: progress and status label.
void Progressed(TransferRun& run, int messageId, int n) {
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

QString TotalText(int count, int languageIndex) {
    return Message(kTotalMessage, languageIndex) + QString::number(count) +
           Message(kRecordsInSimMessage, languageIndex);
}

bool ReadPhoneBook(TransferRun& run, RecordList& list, int recordCount, int& doneCount) {
    Pellucard& engine = run.engine;
    engine.EnterPhoneBook();
    if (!engine.CardPresent())
        return false;
    run.progress.SetMaximum(recordCount);
    for (int n = 1; n <= recordCount; ++n) {
        Bytes data;
        std::string number;
        std::string name;
        engine.GetPhoneBook(data, n);
        engine.DecodePhoneBook(data, number, name);
        if (!engine.CardPresent()) {
            run.progress.SetStatus(Numbered(kUpLoadProblemMessage, n, run.languageIndex));
            return false;
        }
        if (n >= list.Rows())
            break;  // the list has no slot for it
        list.SetText(n, phone_column::kName, FromUtf8(name));
        list.SetText(n, phone_column::kNumber, FromUtf8(number));
        list.SetText(n, phone_column::kMark, {});
        list.SetTag(n, run.store.Remember(
                           data, CardRecordStore::FieldsOf(list, n, PhoneBookCompareColumns())));
        Progressed(run, kUpLoadingMessage, n);
        doneCount = n;
        run.progress.Yield();
    }
    return true;
}

bool WritePhoneBook(TransferRun& run, const RecordList& list, int recordCount, int usedCount) {
    Pellucard& engine = run.engine;
    engine.EnterPhoneBook();
    run.progress.SetMaximum(recordCount);
    const int recordLength = engine.PhoneBookRecordLength();
    for (int n = 1; n <= recordCount; ++n) {
        Bytes data;
        if (const Bytes* original =
                run.store.Untouched(list, n, PhoneBookCompareColumns(), recordLength)) {
            data = *original;
        } else {
            engine.EncodePhoneBook(ToUtf8(list.Text(n, phone_column::kNumber)),
                                   ToUtf8(list.Text(n, phone_column::kName)), data);
        }
        engine.SetPhoneBook(data, n);
        run.progress.Yield();
        if (!engine.CardPresent()) {
            run.progress.SetStatus(Numbered(kDownLoadProblemMessage, n, run.languageIndex));
            return false;
        }
        Progressed(run, kDownLoadingMessage, n);
    }
    run.progress.SetStatus(TotalText(std::min(recordCount, usedCount), run.languageIndex));
    return true;
}

bool ReadSms(TransferRun& run, RecordList& list, int recordCount, int& doneCount, int currentYear) {
    Pellucard& engine = run.engine;
    engine.EnterSMSBook();
    if (!engine.CardPresent())
        return false;
    run.progress.SetMaximum(recordCount);
    for (int n = 1; n <= recordCount; ++n) {
        Bytes data;
        SmsRecord record;
        engine.GetSMS(data, n);
        engine.DecodeSMS(data, record);
        if (!engine.CardPresent()) {
            run.progress.SetStatus(Numbered(kUpLoadProblemMessage, n, run.languageIndex));
            return false;
        }
        if (n >= list.Rows())
            break;
        WriteSmsRow(list, n, record, currentYear, run.languageIndex);
        list.SetText(n, sms_column::kMark, {});
        list.SetTag(
            n, run.store.Remember(data, CardRecordStore::FieldsOf(list, n, SmsCompareColumns()),
                                  record.IsMessage() ? record.concatenation : std::nullopt));
        Progressed(run, kUpLoadingMessage, n);
        doneCount = n;
        run.progress.Yield();
    }
    return true;
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
    Pellucard& engine = run.engine;
    engine.EnterSMSBook();
    const int recordLength = SmsRecordLengthOf(engine);
    const QList<int> cut = SmsSlotsToBeCut(list, recordCount, run.store, recordLength);
    if (!cut.isEmpty()) {
        QStringList numbers;
        for (const int slot : cut)
            numbers.append(QString::number(slot));
        MessageRequest question = CatalogueMessage(kMessagesCutMessage, run.languageIndex,
                                                   DialogButtons::YesNo, DialogIcon::Question);
        question.text = question.text.arg(numbers.join(QStringLiteral(", ")));
        if (ShowMessage(question) != DialogAnswer::Yes)
            return false;
    }
    run.progress.SetMaximum(recordCount);
    for (int n = 1; n <= recordCount; ++n) {
        Bytes data;
        bool encoded = true;
        if (const Bytes* original =
                run.store.Untouched(list, n, SmsCompareColumns(), recordLength)) {
            data = *original;
        } else {
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
            encoded = engine.EncodeSMS(address, ToUtf8(list.Text(n, sms_column::kText)), status,
                                       stamp, ToUtf8(list.Text(n, sms_column::kServiceCentre)),
                                       validity, data) ||
                      !data.empty();
        }
        const bool written = encoded && engine.SetSMS(n, data);
        if (!written) {
            // A record the card refused is skipped; a card that has gone ends the run, so
            // that a pulled card is never reported as a complete write.
            if (!engine.CardPresent()) {
                run.progress.SetStatus(Numbered(kDownLoadProblemMessage, n, run.languageIndex));
                return false;
            }
            continue;
        }
        run.progress.Yield();
        if (!engine.CardPresent()) {
            run.progress.SetStatus(Numbered(kDownLoadProblemMessage, n, run.languageIndex));
            return false;
        }
        Progressed(run, kDownLoadingMessage, n);
    }
    run.progress.SetStatus(TotalText(std::min(recordCount, usedCount), run.languageIndex));
    return true;
}

}  // namespace pellucard
