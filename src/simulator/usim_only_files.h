#pragma once

#include <string>
#include <utility>
#include <vector>

#include "simulator/card_image.h"

namespace pellucard {

// A card image may carry files that only the USIM made from it shows: a USIM phone book (DF
// PHONEBOOK 5F3A under DF Telecom, or under DF GSM for the application's own). The GSM SIM made
// from the same image keeps its phone book in EF ADN alone, as a GSM card without DF PHONEBOOK
// does, and hands these files back unchanged when it is saved.
bool IsUsimOnlyFile(const std::string& path);

// The image's files without the USIM-only ones, which go to `set` with their places in the
// image, so that PutBackUsimOnlyFiles restores the image's order.
std::vector<CardFile> WithoutUsimOnlyFiles(const std::vector<CardFile>& files,
                                           std::vector<std::pair<std::size_t, CardFile>>& set);
void PutBackUsimOnlyFiles(std::vector<CardFile>& files,
                          const std::vector<std::pair<std::size_t, CardFile>>& set);

}  // namespace pellucard
