#include "engine/card_copy.h"

#include <algorithm>

#include "engine/pellucard.h"
#include "engine/phonebook_entry.h"
#include "engine/sms_record.h"

namespace pellucard {
namespace {

// GSM 11.11 EF SMS: bit 1 of the status byte clear marks a free record.
bool SmsInUse(const Bytes& record) {
    return !record.empty() && (record[0] & 0x01) != 0;
}

CopyRecordNote PhoneBookNote(int record, const PhoneBookEntry& entry) {
    return {{CardRecordFile::PhoneBook, record}, entry.name, entry.Number(), {}};
}

// The card's identity as it answers now; empty when it does not.
std::string IccidNow(Pellucard& engine) {
    return engine.ReadCardInfo(CardInfoItem::Iccid).value.value_or(std::string());
}

}  // namespace

CopyFit JudgeCopyFit(const CardBackup& backup, const RestorePlan& plan) {
    CopyFit fit;
    fit.nameLength = std::max(plan.phoneBookRecordLength - kPhoneBookFooterLength, 0);
    for (int record = 1; record <= int(backup.phoneBook.size()); ++record) {
        const Bytes& bytes = backup.phoneBook[std::size_t(record - 1)];
        const PhoneBookEntry entry = DecodePhoneBookRecord(bytes);
        if (entry.IsEmpty())
            continue;
        if (record > plan.phoneBookRecords) {
            fit.leftOut.push_back(PhoneBookNote(record, entry));
            continue;
        }
        if (!plan.phoneBookReencoded)
            continue;
        const PhoneBookEntry written =
            DecodePhoneBookRecord(PhoneBookRecordForLength(bytes, plan.phoneBookRecordLength));
        if (written.name != entry.name) {
            CopyRecordNote note = PhoneBookNote(record, entry);
            note.shortened = written.name;
            fit.shortened.push_back(note);
        }
    }
    for (int record = plan.smsRecords + 1; record <= int(backup.sms.size()); ++record) {
        const Bytes& bytes = backup.sms[std::size_t(record - 1)];
        if (SmsInUse(bytes))
            fit.leftOut.push_back(
                {{CardRecordFile::Sms, record}, DecodeSmsRecord(bytes).AddressText(), {}, {}});
    }
    return fit;
}

CardCopyResult CopyCard(Pellucard& engine, CardCopyFrontEnd& frontEnd) {
    CardCopyResult result;
    if (!frontEnd.OpenCard())
        return result;
    CardBackup backup;
    result.run = ReadCardBackup(engine, backup, [&frontEnd](int done, int total) {
        return frontEnd.Progress(CopyStage::ReadingSource, done, total);
    });
    if (!result.run.Ok()) {
        result.outcome = result.run.outcome == BackupOutcome::Stopped ? CopyOutcome::Cancelled
                                                                      : CopyOutcome::SourceUnread;
        return result;
    }
    result.sourceIccid = backup.iccid;

    if (!frontEnd.ChangeCards(backup))
        return result;
    result.targetIccid = IccidNow(engine);
    if (result.targetIccid.empty()) {
        result.outcome = CopyOutcome::TargetUnread;
        return result;
    }
    // The same card again: writing would only put back what it holds, unless it changed
    // meanwhile; the user decides, and No is the answer that writes nothing.
    if (result.targetIccid == backup.iccid && !frontEnd.GoOnWithSameCard(backup.iccid))
        return result;
    if (!frontEnd.OpenCard())
        return result;
    if (!PlanRestore(engine, backup, result.plan)) {
        result.outcome = CopyOutcome::TargetUnread;
        return result;
    }
    if (result.plan.cardIccid != result.targetIccid) {
        result.outcome = CopyOutcome::CardChanged;
        return result;
    }
    result.fit = JudgeCopyFit(backup, result.plan);
    if (!result.fit.Whole() && !frontEnd.GoOnWithout(result.fit, result.plan))
        return result;
    // The questions gave the user time to change cards again: checked before the steps that
    // present a PIN to the card (a code meant for this card would cost another an attempt) and
    // again after them.
    if (IccidNow(engine) != result.targetIccid) {
        result.outcome = CopyOutcome::CardChanged;
        return result;
    }
    frontEnd.BeforeWriting(backup, result.plan);
    if (IccidNow(engine) != result.targetIccid) {
        result.outcome = CopyOutcome::CardChanged;
        return result;
    }
    result.run = RestoreCardBackup(
        engine, backup, result.plan,
        [&frontEnd](int done, int total) {
            return frontEnd.Progress(CopyStage::WritingTarget, done, total);
        },
        ReadBackCheck::CheckEveryRecord);
    result.outcome = result.run.Ok() ? CopyOutcome::Done : CopyOutcome::Ended;
    return result;
}

}  // namespace pellucard
