#include "simulator/usim_only_files.h"

#include <algorithm>

namespace pellucard {

bool IsUsimOnlyFile(const std::string& path) {
    for (const char* phoneBook : {"3F00/7F10/5F3A", "3F00/7F20/5F3A"}) {
        const std::string folder(phoneBook);
        if (path == folder || path.rfind(folder + "/", 0) == 0)
            return true;
    }
    return false;
}

std::vector<CardFile> WithoutUsimOnlyFiles(const std::vector<CardFile>& files,
                                           std::vector<std::pair<std::size_t, CardFile>>& set) {
    std::vector<CardFile> kept;
    for (std::size_t at = 0; at < files.size(); ++at) {
        if (IsUsimOnlyFile(files[at].path))
            set.emplace_back(at, files[at]);
        else
            kept.push_back(files[at]);
    }
    return kept;
}

void PutBackUsimOnlyFiles(std::vector<CardFile>& files,
                          const std::vector<std::pair<std::size_t, CardFile>>& set) {
    // In the order of their places: each goes where it was, the ones before it already back.
    for (const auto& [at, file] : set) {
        const auto place = std::min(at, files.size());
        files.insert(files.begin() + static_cast<std::ptrdiff_t>(place), file);
    }
}

}  // namespace pellucard
