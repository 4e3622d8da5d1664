#include "engine/card_backup.h"

#include <algorithm>

#include "engine/codec_alpha.h"
#include "engine/pellucard.h"
#include "engine/phonebook_entry.h"

namespace pellucard {
namespace {

// The engine's record commands succeed when the link carried them; what the card made of them
// is in the status words. A write is done only on 90 00, and a read only when a whole record
// came back.
bool Written(Pellucard& engine, bool sent) {
    return sent && engine.LastResponse() == Bytes{0x90, 0x00};
}

bool WholeRecord(bool received, const Bytes& data, int length) {
    return received && int(data.size()) == length;
}

// A failed command: refused when the card answered with an error status word (GSM 11.11
// 9.4), else the link failed.
CardRunResult Failed(const Pellucard& engine, CardRunResult result, CardFileKind file, int record) {
    result.file = file;
    result.record = record;
    const Bytes& response = engine.LastResponse();
    if (response.size() == 2 && response[0] != 0x90 && response[0] != 0x91 && response[0] != 0x9F) {
        result.outcome = CardRunOutcome::Refused;
        result.statusWord = std::uint16_t(response[0] << 8 | response[1]);
    } else {
        result.outcome = CardRunOutcome::LinkFailed;
    }
    return result;
}

bool Continue(const CardRunProgress& progress, int done, int total) {
    return !progress || progress(done, total);
}

std::string Item(Pellucard& engine, CardInfoItem item) {
    std::string text;
    return engine.GetCardInf(text, item) == CardInfoResult::Answered ? text : std::string();
}

// The phone book record to write onto a card whose records have another length: the name and
// number written anew, the name in the form that holds the most of it.
Bytes Reencoded(const Bytes& record, int length) {
    const PhoneBookEntry entry = DecodePhoneBookRecord(record);
    if (entry.IsEmpty())
        return Bytes(std::size_t(length), 0xFF);
    const auto field = std::size_t(std::max(length - kPhoneBookFooterLength, 0));
    return EncodePhoneBookRecord(entry, length, ChooseAlphaForm(entry.name, field));
}

}  // namespace

CardRunResult ReadCardBackup(Pellucard& engine, CardBackup& backup,
                             const CardRunProgress& progress) {
    CardRunResult result;
    CardBackup read;
    read.iccid = Item(engine, CardInfoItem::Iccid);
    read.phase = Item(engine, CardInfoItem::Phase);
    if (!engine.EnterPhoneBook())
        return Failed(engine, result, CardFileKind::PhoneBook, 0);
    const int phoneBookCount = engine.PhoneBookRecordCount();
    read.phoneBookRecordLength = engine.PhoneBookRecordLength();
    if (!engine.EnterSMSBook())
        return Failed(engine, result, CardFileKind::Sms, 0);
    const int smsCount = engine.SmsRecordCount();
    read.smsRecordLength = engine.SmsRecordLength();
    result.total = phoneBookCount + smsCount;

    if (!engine.EnterPhoneBook())
        return Failed(engine, result, CardFileKind::PhoneBook, 0);
    for (int record = 1; record <= phoneBookCount; ++record) {
        Bytes data;
        if (!WholeRecord(engine.GetPhoneBook(data, record), data, read.phoneBookRecordLength))
            return Failed(engine, result, CardFileKind::PhoneBook, record);
        read.phoneBook.push_back(std::move(data));
        if (!Continue(progress, ++result.done, result.total)) {
            result.outcome = CardRunOutcome::Stopped;
            return result;
        }
    }
    if (!engine.EnterSMSBook())
        return Failed(engine, result, CardFileKind::Sms, 0);
    for (int record = 1; record <= smsCount; ++record) {
        Bytes data;
        if (!WholeRecord(engine.GetSMS(data, record), data, read.smsRecordLength))
            return Failed(engine, result, CardFileKind::Sms, record);
        read.sms.push_back(std::move(data));
        if (!Continue(progress, ++result.done, result.total)) {
            result.outcome = CardRunOutcome::Stopped;
            return result;
        }
    }
    backup = std::move(read);
    return result;
}

bool PlanRestore(Pellucard& engine, const CardBackup& backup, RestorePlan& plan) {
    RestorePlan planned;
    planned.cardIccid = Item(engine, CardInfoItem::Iccid);
    planned.otherCard = planned.cardIccid != backup.iccid;
    if (!engine.EnterPhoneBook())
        return false;
    const int phoneBookCount = engine.PhoneBookRecordCount();
    const int phoneBookLength = engine.PhoneBookRecordLength();
    if (!engine.EnterSMSBook())
        return false;
    const int smsCount = engine.SmsRecordCount();
    const int smsLength = engine.SmsRecordLength();

    const int backupPhoneBook = int(backup.phoneBook.size());
    const int backupSms = int(backup.sms.size());
    planned.phoneBookReencoded = phoneBookLength != backup.phoneBookRecordLength;
    if (phoneBookLength <= kPhoneBookFooterLength)
        planned.phoneBookRecords = 0;
    else
        planned.phoneBookRecords = std::min(backupPhoneBook, phoneBookCount);
    planned.phoneBookBeyond = backupPhoneBook - planned.phoneBookRecords;
    planned.smsLengthDiffers = smsLength != backup.smsRecordLength;
    planned.smsRecords = planned.smsLengthDiffers ? 0 : std::min(backupSms, smsCount);
    planned.smsBeyond = backupSms - planned.smsRecords;
    plan = planned;
    return true;
}

CardRunResult RestoreCardBackup(Pellucard& engine, const CardBackup& backup,
                                const RestorePlan& plan, const CardRunProgress& progress) {
    CardRunResult result;
    result.total = plan.phoneBookRecords + plan.smsRecords;
    if (plan.phoneBookRecords > 0) {
        if (!engine.EnterPhoneBook())
            return Failed(engine, result, CardFileKind::PhoneBook, 0);
        const int length = engine.PhoneBookRecordLength();
        for (int record = 1; record <= plan.phoneBookRecords; ++record) {
            const Bytes& saved = backup.phoneBook[std::size_t(record - 1)];
            const Bytes data = plan.phoneBookReencoded ? Reencoded(saved, length) : saved;
            Bytes readBack;
            if (!Written(engine, engine.SetPhoneBook(data, record)) ||
                !WholeRecord(engine.GetPhoneBook(readBack, record), readBack, length))
                return Failed(engine, result, CardFileKind::PhoneBook, record);
            if (readBack != data) {
                result.outcome = CardRunOutcome::Mismatch;
                result.file = CardFileKind::PhoneBook;
                result.record = record;
                return result;
            }
            if (!Continue(progress, ++result.done, result.total)) {
                result.outcome = CardRunOutcome::Stopped;
                return result;
            }
        }
    }
    if (plan.smsRecords > 0) {
        if (!engine.EnterSMSBook())
            return Failed(engine, result, CardFileKind::Sms, 0);
        for (int record = 1; record <= plan.smsRecords; ++record) {
            const Bytes& data = backup.sms[std::size_t(record - 1)];
            Bytes readBack;
            if (!Written(engine, engine.SetSMS(record, data)) ||
                !WholeRecord(engine.GetSMS(readBack, record), readBack, backup.smsRecordLength))
                return Failed(engine, result, CardFileKind::Sms, record);
            if (readBack != data) {
                result.outcome = CardRunOutcome::Mismatch;
                result.file = CardFileKind::Sms;
                result.record = record;
                return result;
            }
            if (!Continue(progress, ++result.done, result.total)) {
                result.outcome = CardRunOutcome::Stopped;
                return result;
            }
        }
    }
    return result;
}

}  // namespace pellucard
