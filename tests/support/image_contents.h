#pragma once

// What a card image holds, file by file and record by record, so that a test names exactly the
// records a write changed.

#include <map>
#include <set>
#include <string>

#include "simulator/card_image.h"

namespace pellucard::testing {

// Every record and body of the image, by "path#record" (record 0: the body).
inline std::map<std::string, Bytes> ImageContents(const CardImage& image) {
    std::map<std::string, Bytes> contents;
    for (const auto& file : image.files) {
        contents[file.path + "#0"] = file.body;
        for (std::size_t i = 0; i < file.records.size(); ++i)
            contents[file.path + "#" + std::to_string(i + 1)] = file.records[i].data;
    }
    return contents;
}

// The records and bodies that differ, appeared or went between the two images.
inline std::set<std::string> Changed(const CardImage& before, const CardImage& after) {
    const auto a = ImageContents(before);
    const auto b = ImageContents(after);
    std::set<std::string> changed;
    for (const auto& [key, bytes] : b) {
        const auto was = a.find(key);
        if (was == a.end() || was->second != bytes)
            changed.insert(key);
    }
    for (const auto& [key, bytes] : a) {
        if (!b.count(key))
            changed.insert(key);
    }
    return changed;
}

}  // namespace pellucard::testing
