#pragma once

#include <string>
#include <vector>

#include "engine/bytes.h"

namespace pellucard {

// Group names (EF GAS) and number types (EF AAS) of a USIM phone book: records of text that
// other records name by their record number.

// The text of each record, record 1 first.
std::vector<std::string> RecordTexts(const std::vector<Bytes>& records);
// A record by its text, or "#n" when the record has none, so that the name leads back to it.
std::string NameOfRecord(const std::vector<std::string>& names, int record);
// The record a name stands for (its text, or "#n"); 0 when none.
int RecordOfName(const std::vector<std::string>& names, const std::string& name);

}  // namespace pellucard
