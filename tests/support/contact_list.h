#pragma once

// A personal record list as the personal record window keeps it: 27 columns, the 25 contact
// fields under their English titles, numbered empty slots; and a file's bytes.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

#include "catalogue/catalogue.h"
#include "records/person_fields.h"
#include "records/record_list.h"
#include "records/record_slots.h"

namespace pellucard::testing {

inline std::unique_ptr<RecordList> ContactList(int slotCount) {
    auto list = std::make_unique<RecordList>(slotCount + 1, 27);
    RenumberRows(*list, slotCount);
    for (int column = 1; column <= 25; ++column)
        list->SetText(0, column, Message(kContactFieldTitles[column - 1], 0));
    return list;
}

// The whole file; empty when it cannot be read.
inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace pellucard::testing
