#include "records/record_layout.h"

#include <array>
#include <numeric>

#include "records/field_text.h"

namespace pellucard {
namespace {

// Alias, Phone, Name, Home Address, Home City, Home Country, Home Zip Code, Personal
// EMail, Home Telephone, Home Fax, Office Address, Office City, Office Country, Office Zip
// Code, Work EMail, Office Telephone, Mobile Phone, Office Fax, Date of Birth, Nickname,
// Hobby, Homepage, Important, Sex, Note.
constexpr std::array<int, 25> kContactWidths = {50, 50,  50,  255, 100, 100, 20, 100, 50,
                                                50, 255, 100, 100, 20,  50,  50, 50,  50,
                                                50, 30,  255, 50,  10,  10,  255};
constexpr int kContactReservedBytes = 10;

// Number, text as typed, text as shown, status, time stamp, service centre, validity
// text, validity code.
constexpr std::array<int, 8> kSmsWidths = {50, 160, 180, 16, 50, 50, 30, 10};

constexpr int Sum(std::span<const int> widths) {
    return std::accumulate(widths.begin(), widths.end(), 0);
}

static_assert(Sum(kContactWidths) == 2160);
static_assert(Sum(kSmsWidths) == 546);

constexpr RecordLayout kContactLayout{4340, Sum(kContactWidths) + kContactReservedBytes,
                                      kContactWidths};
constexpr RecordLayout kSmsLayout{1092, Sum(kSmsWidths), kSmsWidths};

}  // namespace

const RecordLayout& ContactRecordLayout() {
    return kContactLayout;
}
const RecordLayout& SmsRecordLayout() {
    return kSmsLayout;
}

const RecordLayout& RecordLayoutFor(const RecordList& list) {
    return list.Columns() > 15 ? kContactLayout : kSmsLayout;
}

QByteArray EncodeRecordSlot(const RecordLayout& layout, const RecordList& list, int row) {
    QByteArray slot(layout.slotLength, '\0');
    int offset = 0;
    for (std::size_t field = 0; field < layout.widths.size(); ++field) {
        const int width = layout.widths[field];
        slot.replace(offset, width, EncodeFieldText(list.Text(row, int(field) + 1), width));
        offset += width;
    }
    return slot;
}

void DecodeRecordSlot(const RecordLayout& layout, QByteArrayView record, RecordList& list,
                      int row) {
    if (record.size() < layout.fieldBytes) {
        return;
    }
    int offset = 0;
    for (std::size_t field = 0; field < layout.widths.size(); ++field) {
        const int width = layout.widths[field];
        list.SetText(row, int(field) + 1, DecodeFieldText(record.sliced(offset, width)));
        offset += width;
    }
}

}  // namespace pellucard
