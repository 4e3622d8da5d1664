#pragma once

#include <cstdint>
#include <vector>

#include "simulator/card_image.h"

namespace pellucard {

// The virtual card's files as a tree, with the GSM 11.11 rules for what SELECT may reach.
// Files are addressed by their index, which stays fixed for the life of the tree.
class SimFileTree {
public:
    static constexpr int kNone = -1;

    // The files must have passed ValidateCardImage (a master file, every parent present).
    explicit SimFileTree(std::vector<CardFile> files);

    int Master() const { return master_; }
    int Parent(int file) const { return nodes_[file].parent; }
    std::uint16_t Id(int file) const { return nodes_[file].id; }
    const CardFile& File(int file) const { return nodes_[file].file; }
    CardFile& File(int file) { return nodes_[file].file; }
    bool IsDirectory(int file) const { return nodes_[file].file.type != SimFileType::kElementary; }
    int CountChildren(int directory, bool directories) const;

    // GSM 11.11 6.5: from the current directory a SELECT reaches the master file, the current
    // directory itself, its children, its parent, and the directories beside it (children of
    // its parent). kNone when the identifier names none of these.
    int Select(int currentDirectory, std::uint16_t id) const;

    // The files in the order the image listed them.
    std::vector<CardFile> Files() const;

private:
    struct Node {
        CardFile file;
        std::uint16_t id = 0;
        int parent = kNone;
        std::vector<int> children;
    };

    int Child(int directory, std::uint16_t id, bool directoriesOnly) const;

    std::vector<Node> nodes_;
    int master_ = kNone;
};

}  // namespace pellucard
