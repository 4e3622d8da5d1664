#pragma once

#include <QByteArray>

#include "cli/loss_report.h"

namespace pellucard::cli {

// What a conversion of phone book JSON would lose of a USIM phone book's fields: each
// additional number (with its type), e-mail address, second name and group of an EF ADN entry,
// which a file of name and number has no place for. Entries of later blocks are not looked at:
// they are lost whole, and said so where they are read.
Losses UsimFieldLosses(const QByteArray& json);

}  // namespace pellucard::cli
