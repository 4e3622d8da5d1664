// Replays every seed of the fuzz corpora through the decoders and the checks the fuzz targets
// run, so that the default test run covers the corpora without a fuzzing toolchain.
#include <gtest/gtest.h>

#include <vector>

#include "../../fuzz/card_info_checks.h"
#include "../../fuzz/decoder_checks.h"
#include "../../fuzz/report_link_checks.h"
#include "../../fuzz/usim_phonebook_checks.h"
#include "support/corpus_replay.h"

namespace pellucard {
namespace {

using Check = FuzzCheck;

// A failing seed is named by its file, so one test serves every corpus.
TEST(CorpusReplayTest, EveryDecoderCorpus) {
    ReplayCorpus("decode_phonebook", fuzz::CheckDecodePhoneBook);
    ReplayCorpus("decode_sms", fuzz::CheckDecodeSms);
    ReplayCorpus("decode_alpha", fuzz::CheckDecodeAlpha);
    ReplayCorpus("decode_digits", fuzz::CheckDecodeDigits);
    ReplayCorpus("card_information", fuzz::CheckCardInformation);
    ReplayCorpus("report_link", fuzz::CheckReportLink);
}

// Beyond the seeds: every input of up to one byte, and a fixed pseudo-random sweep of
// records of every length up to a full SMS record and a little more (the first byte of a USIM
// phone book input picks the kind of record).
TEST(CorpusReplayTest, ShortAndPseudoRandomInputs) {
    const Check checks[] = {fuzz::CheckDecodePhoneBook,    fuzz::CheckDecodeSms,
                            fuzz::CheckDecodeAlpha,        fuzz::CheckDecodeDigits,
                            fuzz::CheckCardInformation,    fuzz::CheckReportLink,
                            fuzz::CheckDecodeUsimPhoneBook};
    std::vector<std::vector<std::uint8_t>> inputs{{}};
    for (int value = 0; value < 256; ++value)
        inputs.push_back({static_cast<std::uint8_t>(value)});
    std::uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(state >> 16);
    };
    for (std::size_t length = 2; length <= 200; ++length) {
        for (int round = 0; round < 4; ++round) {
            std::vector<std::uint8_t> data(length);
            for (auto& b : data)
                b = next();
            if (round == 1)
                data[0] = 0x01;  // a received message
            if (round == 2)
                data[0] = 0x07;  // one to send
            inputs.push_back(std::move(data));
        }
    }
    for (const auto& data : inputs) {
        for (Check check : checks) {
            const char* fault = check(data.data(), data.size());
            ASSERT_EQ(fault, nullptr) << ToHex(Bytes(data.begin(), data.end()));
        }
    }
}

}  // namespace
}  // namespace pellucard
