#pragma once

// Replays the seeds of a fuzz corpus (fuzz/corpus/<target>) through the check its fuzz target
// runs, so that the default test run, and the sanitizer build, cover every corpus without a
// fuzzing toolchain.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace pellucard {

using FuzzCheck = const char* (*)(const std::uint8_t*, std::size_t);

inline std::filesystem::path FuzzCorpusRoot() {
    return std::filesystem::path(PELLUCARD_SOURCE_DIR) / "fuzz" / "corpus";
}

inline void ReplayCorpus(const std::string& target, FuzzCheck check) {
    const auto folder = FuzzCorpusRoot() / target;
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    int replayed = 0;
    for (const auto& file : std::filesystem::directory_iterator(folder)) {
        if (!file.is_regular_file())
            continue;
        std::ifstream in(file.path(), std::ios::binary);
        const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)),
                                             std::istreambuf_iterator<char>());
        const char* fault = check(data.data(), data.size());
        EXPECT_EQ(fault, nullptr) << file.path() << ": " << fault;
        ++replayed;
    }
    EXPECT_GT(replayed, 0) << "empty corpus " << folder;
}

}  // namespace pellucard
