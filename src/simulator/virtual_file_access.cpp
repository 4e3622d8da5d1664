#include "simulator/virtual_file_access.h"

#include <algorithm>

namespace pellucard {

FileAccessResult VirtualFileAccess::ReadBinary(const CardFile& file, std::size_t offset,
                                               std::size_t length, Bytes& data) const {
    if (offset >= file.body.size())
        return FileAccessResult::kOutOfRange;
    if (length > file.body.size() - offset)
        return FileAccessResult::kWrongLength;
    const auto begin = file.body.begin() + static_cast<std::ptrdiff_t>(offset);
    data.assign(begin, begin + static_cast<std::ptrdiff_t>(length));
    return FileAccessResult::kOk;
}

FileAccessResult VirtualFileAccess::UpdateBinary(CardFile& file, std::size_t offset,
                                                 const Bytes& data) const {
    if (offset >= file.body.size())
        return FileAccessResult::kOutOfRange;
    if (data.empty() || data.size() > file.body.size() - offset)
        return FileAccessResult::kWrongLength;
    std::copy(data.begin(), data.end(), file.body.begin() + static_cast<std::ptrdiff_t>(offset));
    return FileAccessResult::kOk;
}

FileAccessResult VirtualFileAccess::FindRecord(const CardFile& file, std::uint8_t number,
                                               std::uint8_t mode, std::size_t& index) {
    const auto count = file.records.size();
    const bool cyclic = file.structure == EfStructure::kCyclic;
    std::size_t record = 0;  // 1-based
    switch (mode) {
        case kModeAbsolute:  // the record pointer stays where it is
            record = number == 0 ? recordPointer_ : number;
            if (record == 0 || record > count)
                return FileAccessResult::kRecordNotFound;
            index = record - 1;
            return FileAccessResult::kOk;
        case kModeNext:
            if (recordPointer_ == 0)
                record = 1;
            else if (recordPointer_ < count)
                record = recordPointer_ + 1;
            else if (cyclic)
                record = 1;
            break;
        case kModePrevious:
            if (recordPointer_ == 0)
                record = count;
            else if (recordPointer_ > 1)
                record = recordPointer_ - 1;
            else if (cyclic)
                record = count;
            break;
        default:
            return FileAccessResult::kWrongMode;
    }
    if (record == 0)  // past either end of a linear fixed file, or an empty file
        return FileAccessResult::kRecordNotFound;
    recordPointer_ = record;
    index = record - 1;
    return FileAccessResult::kOk;
}

FileAccessResult VirtualFileAccess::UpdateRecord(CardFile& file, std::uint8_t number,
                                                 std::uint8_t mode, const Bytes& data) {
    if (file.structure == EfStructure::kCyclic) {
        if (mode != kModePrevious)
            return FileAccessResult::kWrongMode;
        if (file.records.empty())
            return FileAccessResult::kRecordNotFound;
        file.records.pop_back();
        file.records.insert(file.records.begin(), CardRecord{data, {}});
        recordPointer_ = 1;
        return FileAccessResult::kOk;
    }
    std::size_t index = 0;
    const FileAccessResult found = FindRecord(file, number, mode, index);
    if (found != FileAccessResult::kOk)
        return found;
    WriteRecord(file, index, data);
    return FileAccessResult::kOk;
}

void VirtualFileAccess::WriteRecord(CardFile& file, std::size_t index, const Bytes& data) {
    CardRecord& record = file.records[index];
    if (record.data != data)
        record = CardRecord{data, {}};
}

}  // namespace pellucard
