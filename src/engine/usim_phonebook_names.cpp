#include "engine/usim_phonebook_names.h"

#include <algorithm>
#include <span>

#include "engine/codec_alpha.h"

namespace pellucard {

std::vector<std::string> RecordTexts(const std::vector<Bytes>& records) {
    std::vector<std::string> texts;
    for (const auto& record : records)
        texts.push_back(DecodeAlpha(std::span<const std::uint8_t>(record.data(), record.size())));
    return texts;
}

std::string NameOfRecord(const std::vector<std::string>& names, int record) {
    if (record >= 1 && record <= static_cast<int>(names.size()) && !names[record - 1].empty())
        return names[record - 1];
    return "#" + std::to_string(record);
}

int RecordOfName(const std::vector<std::string>& names, const std::string& name) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!names[i].empty() && names[i] == name)
            return static_cast<int>(i + 1);
    }
    if (name.size() > 1 && name[0] == '#') {
        const std::string digits = name.substr(1);
        if (digits.size() <= 3 && std::all_of(digits.begin(), digits.end(),
                                              [](char c) { return c >= '0' && c <= '9'; })) {
            const int record = std::stoi(digits);
            return record >= 1 && record <= 254 ? record : 0;
        }
    }
    return 0;
}

}  // namespace pellucard
