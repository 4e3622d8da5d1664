#include "cli/record_rows.h"

#include <QDate>
#include <QJsonArray>

#include <array>
#include <optional>

#include "catalogue/catalogue.h"
#include "cli/sms_time_json.h"
#include "engine/sms_record.h"
#include "records/column_names.h"
#include "records/person_fields.h"
#include "records/record_marks.h"
#include "records/record_slots.h"
#include "records/sms_part_mark.h"

namespace pellucard::cli {
namespace {

constexpr int kContactColumns = 27;
constexpr int kSmsColumns = 10;

// SMS list columns.
constexpr int kAddress = 1;
constexpr int kText = 2;
constexpr int kShown = 3;
constexpr int kStatus = 4;
constexpr int kTimeStamp = 5;
constexpr int kServiceCentre = 6;
constexpr int kValidityText = 7;
constexpr int kValidity = 8;
constexpr int kSmsFields = 8;

constexpr int kNewMessageValidity = 167;  // 24 hours, what a new message gets in the window

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string S(const QString& text) {
    return text.toStdString();
}

QString Unit(int count, MessageId unitId) {
    return QString::number(count) + Message(unitId, 0);
}

// Two units: "2Hour 30Minutes"; either alone when the other is 0.
QString TwoUnits(int big, MessageId bigUnit, int small, MessageId smallUnit) {
    if (big == 0)
        return Unit(small, smallUnit);
    if (small == 0)
        return Unit(big, bigUnit);
    return Unit(big, bigUnit) + u' ' + Unit(small, smallUnit);
}

bool IsReceived(int status) {
    return status == kSmsRead || status == kSmsToBeRead;
}

bool IsSubmit(int status) {
    return status == kSmsSent || status == kSmsToBeSent;
}

void GrowTo(CardList& cards, int slot) {
    if (slot > cards.list->LastSlot()) {
        cards.list->SetRows(slot + 1);
        RenumberRows(*cards.list, slot);
    }
    cards.used = std::max(cards.used, slot);
}

}  // namespace

CardList EmptyCardList(RecordKind kind, int slotCount) {
    CardList cards;
    cards.kind = kind;
    cards.list = std::make_unique<RecordList>(
        slotCount + 1, kind == RecordKind::PhoneBook ? kContactColumns : kSmsColumns);
    RenumberRows(*cards.list, slotCount);
    const int fields = kind == RecordKind::PhoneBook ? 25 : kSmsFields;
    for (int column = 1; column <= fields; ++column) {
        cards.list->SetText(0, column, ColumnTitle(kind, column, 0));
    }
    return cards;
}

QList<int> TitledColumns(RecordKind kind) {
    QList<int> columns;
    const int fields = kind == RecordKind::PhoneBook ? 25 : kSmsFields;
    for (int column = 1; column <= fields; ++column) {
        if (!ColumnTitle(kind, column, 0).isEmpty())
            columns.append(column);
    }
    return columns;
}

QString ColumnTitle(RecordKind kind, int column, int languageIndex) {
    std::optional<MessageId> id;
    if (kind == RecordKind::PhoneBook && column >= 1 && column <= 25)
        id = kContactFieldTitles[column - 1];
    if (kind == RecordKind::Sms && column >= 1 && column <= kSmsFields)
        id = kSmsFieldTitles[column - 1];
    return id ? Message(*id, languageIndex) : QString();
}

QString SmsStatusText(int status) {
    switch (status) {
        case kSmsRead:
            return QStringLiteral("Read");
        case kSmsToBeRead:
            return QStringLiteral("To Be Read");
        case kSmsSent:
            return QStringLiteral("Send");
        case kSmsToBeSent:
            return QStringLiteral("To Be Send");
        default:
            return {};
    }
}

int SmsStatusOf(const QString& text) {
    const QString trimmed = TrimBlanks(text);
    for (int status : {kSmsRead, kSmsToBeRead, kSmsSent, kSmsToBeSent}) {
        if (trimmed == SmsStatusText(status))
            return status;
    }
    return kSmsFree;
}

QString ValidityText(int v) {
    if (v >= 0 && v <= 143) {
        const int minutes = (v + 1) * 5;
        return TwoUnits(minutes / 60, MessageId::Hour, minutes % 60, MessageId::Minutes);
    }
    if (v >= 144 && v <= 167) {
        const int minutes = 12 * 60 + (v - 143) * 30;
        return TwoUnits(minutes / 60, MessageId::Hour, minutes % 60, MessageId::Minutes);
    }
    if (v >= 168 && v <= 196) {
        const int days = v - 166;
        return TwoUnits(days / 7, MessageId::Week, days % 7, MessageId::Day);
    }
    if (v >= 197 && v <= 255)
        return Unit(v - 192, MessageId::Week);
    return {};
}

std::optional<int> ValidityOfText(const QString& text) {
    const QString trimmed = text.trimmed();
    for (int v = 0; v <= 255; ++v) {
        if (ValidityText(v).compare(trimmed, Qt::CaseInsensitive) == 0)
            return v;
    }
    return std::nullopt;
}

CardList FromPhoneBookSlots(const std::vector<PhoneBookSlot>& slots, int slotCount) {
    CardList cards = EmptyCardList(RecordKind::PhoneBook, slotCount);
    for (const PhoneBookSlot& slot : slots) {
        if (slot.name.empty() && slot.number.empty())
            continue;
        GrowTo(cards, slot.slot);
        cards.list->SetText(slot.slot, 1, Q(slot.name));
        cards.list->SetText(slot.slot, 2, Q(slot.number));
    }
    return cards;
}

namespace {

// The part of a concatenated message that the slot's card bytes are, while the slot still says
// what they say: a message whose text or sender was changed is no longer that part.
std::optional<SmsConcatenation> PartOf(const SmsSlot& slot) {
    if (slot.raw.empty())
        return std::nullopt;
    const SmsRecord record = DecodeSmsRecord(slot.raw);
    if (!record.concatenation || record.concatenation->partCount < 2 || record.text != slot.text ||
        record.AddressText() != slot.address)
        return std::nullopt;
    return record.concatenation;
}

}  // namespace

CardList FromSmsSlots(const std::vector<SmsSlot>& slots, int slotCount) {
    CardList cards = EmptyCardList(RecordKind::Sms, slotCount);
    const int year = QDate::currentDate().year();
    for (const SmsSlot& slot : slots) {
        if (!IsReceived(slot.status) && !IsSubmit(slot.status))
            continue;
        GrowTo(cards, slot.slot);
        RecordList& list = *cards.list;
        const int row = slot.slot;
        list.SetText(row, kAddress, Q(slot.address));
        list.SetText(row, kText, Q(slot.text));
        list.SetText(row, kShown, Q(slot.text));
        list.SetText(row, kStatus, SmsStatusText(slot.status));
        list.SetText(row, kServiceCentre, Q(slot.serviceCentre));
        if (IsReceived(slot.status)) {
            list.SetText(row, kTimeStamp, Q(FormatSmsTimeStamp(slot.timeStamp, year)));
        } else if (slot.validityGiven) {
            list.SetText(row, kValidity, QString::number(slot.validity));
            list.SetText(row, kValidityText, ValidityText(slot.validity));
        }
        if (const std::optional<SmsConcatenation> part = PartOf(slot))
            cards.trailers.insert(row, PartMark(*part, Q(slot.text)));
    }
    return cards;
}

std::vector<PhoneBookSlot> PhoneBookSlotsOf(const CardList& cards, bool withEmpty) {
    std::vector<PhoneBookSlot> slots;
    for (int row = 1; row <= cards.used && row <= cards.list->LastSlot(); ++row) {
        PhoneBookSlot slot;
        slot.slot = row;
        slot.name = S(TrimBlanks(cards.list->Text(row, 1)));
        slot.number = S(TrimBlanks(cards.list->Text(row, 2)));
        if (withEmpty || !slot.name.empty() || !slot.number.empty())
            slots.push_back(std::move(slot));
    }
    return slots;
}

std::vector<SmsSlot> SmsSlotsOf(const CardList& cards, bool withEmpty) {
    std::vector<SmsSlot> slots;
    const RecordList& list = *cards.list;
    for (int row = 1; row <= cards.used && row <= list.LastSlot(); ++row) {
        SmsSlot slot;
        slot.slot = row;
        // The typed text; a list filled from elsewhere may hold the shown text only.
        QString text = list.Text(row, kText);
        if (text.isEmpty())
            text = list.Text(row, kShown);
        slot.status = SmsStatusOf(list.Text(row, kStatus));
        if (slot.status == kSmsFree && RowHasText(list, row, 1, kSmsFields)) {
            slot.status = kSmsToBeSent;  // a message without a status is one to be sent
        }
        if (slot.status != kSmsFree) {
            slot.address = S(TrimBlanks(list.Text(row, kAddress)));
            slot.text = S(text);
            slot.serviceCentre = S(TrimBlanks(list.Text(row, kServiceCentre)));
        }
        if (IsReceived(slot.status)) {
            slot.timeStamp = ParseSmsTimeStamp(S(list.Text(row, kTimeStamp)));
        } else if (IsSubmit(slot.status)) {
            bool number = false;
            const int code = list.Text(row, kValidity).trimmed().toInt(&number);
            const std::optional<int> fromText = ValidityOfText(list.Text(row, kValidityText));
            if (number && code >= 0 && code <= 255) {
                slot.validity = code;
            } else if (fromText) {
                slot.validity = *fromText;
            }
            // A message without a validity period is written with a new message's.
            slot.validityGiven = (number && code >= 0 && code <= 255) || fromText;
            if (!slot.validityGiven)
                slot.validity = kNewMessageValidity;
        }
        if (withEmpty || slot.status != kSmsFree)
            slots.push_back(std::move(slot));
    }
    return slots;
}

QJsonObject SmsSlotJson(const SmsSlot& slot) {
    QJsonObject o;
    o["slot"] = slot.slot;
    o["status"] = slot.status;
    o["address"] = Q(slot.address);
    o["text"] = Q(slot.text);
    o["sc"] = Q(slot.serviceCentre);
    SetTimeStamp(o, IsReceived(slot.status) ? std::optional(slot.timeStamp) : std::nullopt);
    o["validity"] = IsSubmit(slot.status) && slot.validityGiven ? QJsonValue(slot.validity)
                                                                : QJsonValue(QJsonValue::Null);
    return o;
}

}  // namespace pellucard::cli
