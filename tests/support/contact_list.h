#pragma once

// A personal record list as the personal record window keeps it: 27 columns, the 25 contact
// fields under their English titles, numbered empty slots; and a file's bytes.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

#include "catalogue/catalogue.h"
#include "records/record_list.h"
#include "records/record_slots.h"

namespace pellucard::testing {

inline std::unique_ptr<RecordList> ContactList(int slotCount) {
    static const int kTitles[] = {11000, 15200, 13700, 12700, 12600, 12800, 12900, 15500, 13000,
                                  12500, 14700, 14600, 14800, 14900, 17400, 15000, 13600, 14500,
                                  11500, 14000, 12300, 12400, 13300, 16100, 13900};
    auto list = std::make_unique<RecordList>(slotCount + 1, 27);
    RenumberRows(*list, slotCount);
    for (int column = 1; column <= 25; ++column)
        list->SetText(0, column, Message(kTitles[column - 1], 0));
    return list;
}

// The whole file; empty when it cannot be read.
inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace pellucard::testing
