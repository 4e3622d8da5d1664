#include <algorithm>
#include <charconv>

#include "cli/cli.h"

namespace pellucard::cli {

Arguments::Arguments(std::vector<std::string> words, std::vector<std::string> flags)
    : knownFlags_(std::move(flags)) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() > 2 && word.rfind("--", 0) == 0) {
            std::string name = word.substr(2);
            const auto equals = name.find('=');
            if (equals != std::string::npos) {
                options_[name.substr(0, equals)] = name.substr(equals + 1);
            } else if (std::find(knownFlags_.begin(), knownFlags_.end(), name) !=
                       knownFlags_.end()) {
                flags_.push_back(name);
            } else if (i + 1 < words.size()) {
                options_[name] = words[++i];
            } else {
                throw Failure{kUsage, "option --" + name + " needs a value"};
            }
        } else {
            positional_.push_back(word);
        }
    }
}

std::string Arguments::Positional(std::size_t index, const char* what) const {
    if (index >= positional_.size())
        throw Failure{kUsage, std::string("missing ") + what};
    return positional_[index];
}

std::optional<std::string> Arguments::Option(const std::string& name) const {
    const auto it = options_.find(name);
    if (it == options_.end())
        return std::nullopt;
    return it->second;
}

std::string Arguments::RequiredOption(const std::string& name) const {
    auto value = Option(name);
    if (!value)
        throw Failure{kUsage, "missing option --" + name};
    return *value;
}

int Arguments::IntOption(const std::string& name, int fallback, int low, int high) const {
    const auto text = Option(name);
    if (!text)
        return fallback;
    int value = 0;
    const auto* end = text->data() + text->size();
    const auto result = std::from_chars(text->data(), end, value);
    if (result.ec != std::errc() || result.ptr != end || value < low || value > high) {
        throw Failure{kUsage, "--" + name + " takes a whole number from " + std::to_string(low) +
                                  " to " + std::to_string(high)};
    }
    return value;
}

bool Arguments::Flag(const std::string& name) const {
    return std::find(flags_.begin(), flags_.end(), name) != flags_.end();
}

void Arguments::Expect(std::vector<std::string> options) const {
    for (const auto& [name, value] : options_) {
        if (std::find(options.begin(), options.end(), name) == options.end()) {
            throw Failure{kUsage, "unknown option --" + name};
        }
    }
}

}  // namespace pellucard::cli
