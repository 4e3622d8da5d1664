#pragma once

// What must hold for the USIM phone book's record decoders on any input. Shared by the
// libFuzzer target and by the corpus replay in the default test run; the check returns nullptr
// or what went wrong.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "decoder_checks.h"
#include "engine/codec_alpha.h"
#include "engine/usim_phonebook_codecs.h"

namespace pellucard::fuzz {

// Input: byte 0 picks the file (its value modulo 6: EF PBR, EF ANR of type 1 and 2, a text of
// EF EMAIL or EF SNE of type 1 and 2, EF GRP), the rest is one record of it.
inline const char* CheckDecodeUsimPhoneBook(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return nullptr;
    const Bytes record(data + 1, data + size);
    const std::size_t length = record.size();
    switch (data[0] % 6) {
        case 0: {
            const auto blocks = ParsePhoneBookBlocks({record});
            if (blocks.size() > 1)
                return "one record gave more than one block";
            for (const auto& block : blocks) {
                for (const auto& file : block.files) {
                    if (file.linkType < pbr::kType1 || file.linkType > pbr::kType3)
                        return "a file with no link type";
                }
                // Written again and read again, the block lists the same files.
                const Bytes again = EncodePhoneBookBlock(block.files, 255);
                const auto reparsed = ParsePhoneBookBlocks({again});
                if (!again.empty() &&
                    (reparsed.size() != 1 || reparsed[0].files.size() != block.files.size()))
                    return "the block written again lists other files";
            }
            return nullptr;
        }
        case 1:
        case 2: {
            const bool type2 = data[0] % 6 == 2;
            const AnrRecord anr = DecodeAnrRecord(record, type2);
            if (anr.raw != record)
                return "raw bytes not kept";
            const std::string_view digits(anr.number);
            if (!IsDialString(digits.starts_with('+') ? digits.substr(1) : digits))
                return "the number holds a character that is not a digit";
            // A record too short for its link type is never encoded.
            const std::size_t shortest = kAnrLength + (type2 ? 2 : 0);
            if (length < shortest && !EncodeAnrRecord(anr, length, type2).empty())
                return "a record too short for an additional number was encoded";
            if (length >= shortest && !anr.IsEmpty() &&
                EncodeAnrRecord(anr, length, type2) != record)
                return "an additional number written back unchanged changed its record";
            return nullptr;
        }
        case 3:
        case 4: {
            const bool type2 = data[0] % 6 == 4;
            const TextRecord text = DecodeTextRecord(record, type2);
            if (text.raw != record)
                return "raw bytes not kept";
            if (!IsValidUtf8(text.text))
                return "text is not UTF-8";
            for (AlphaForm form : {AlphaForm::Ucs2, AlphaForm::Ucs2Base81, AlphaForm::Ucs2Base82}) {
                if (!text.IsEmpty() && EncodeTextRecord(text, length, type2, form) != record)
                    return "a text written back unchanged changed its record";
            }
            return nullptr;
        }
        default: {
            const auto groups = DecodeGroupRecord(record);
            for (const int group : groups) {
                if (group < 1 || group > 254)
                    return "a group that is no record of EF GAS";
            }
            if (EncodeGroupRecord(groups, record, length) != record)
                return "groups written back unchanged changed their record";
            return nullptr;
        }
    }
}

}  // namespace pellucard::fuzz
