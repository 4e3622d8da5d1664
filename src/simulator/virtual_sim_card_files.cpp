#include "simulator/virtual_sim_card_files.h"

#include <algorithm>
#include <map>
#include <string>

namespace pellucard {

SimFileTree::SimFileTree(std::vector<CardFile> files) {
    std::map<std::string, int> byPath;
    nodes_.reserve(files.size());
    for (auto& file : files) {
        std::vector<std::uint16_t> ids;
        ParseFilePath(file.path, ids);
        const int index = static_cast<int>(nodes_.size());
        byPath[file.path] = index;
        nodes_.push_back(
            Node{std::move(file), ids.empty() ? std::uint16_t{0} : ids.back(), kNone, {}});
    }
    for (int index = 0; index < static_cast<int>(nodes_.size()); ++index) {
        auto& node = nodes_[index];
        if (node.file.type == SimFileType::kMaster) {
            master_ = index;
            continue;
        }
        const auto parent = byPath.find(node.file.path.substr(0, node.file.path.rfind('/')));
        if (parent != byPath.end()) {
            node.parent = parent->second;
            nodes_[parent->second].children.push_back(index);
        }
    }
}

int SimFileTree::CountChildren(int directory, bool directories) const {
    const auto& children = nodes_[directory].children;
    return static_cast<int>(std::count_if(children.begin(), children.end(), [&](int child) {
        return IsDirectory(child) == directories;
    }));
}

int SimFileTree::Child(int directory, std::uint16_t id, bool directoriesOnly) const {
    if (directory == kNone)
        return kNone;
    for (int child : nodes_[directory].children) {
        if (nodes_[child].id == id && (!directoriesOnly || IsDirectory(child)))
            return child;
    }
    return kNone;
}

int SimFileTree::Select(int currentDirectory, std::uint16_t id) const {
    if (master_ != kNone && nodes_[master_].id == id)
        return master_;
    if (currentDirectory == kNone)
        return kNone;
    if (nodes_[currentDirectory].id == id)
        return currentDirectory;
    if (const int child = Child(currentDirectory, id, false); child != kNone)
        return child;
    const int parent = nodes_[currentDirectory].parent;
    if (parent != kNone && nodes_[parent].id == id)
        return parent;
    return Child(parent, id, true);
}

std::vector<CardFile> SimFileTree::Files() const {
    std::vector<CardFile> files;
    files.reserve(nodes_.size());
    for (const auto& node : nodes_)
        files.push_back(node.file);
    return files;
}

}  // namespace pellucard
