// Print on the information window: the card's information as a small two-column table, through
// the same print dialog as the record lists.
#include "records/dialog_seam.h"
#include "records/record_list.h"
#include "shell/card_info_window.h"
#include "shell/print_records_dialog.h"
#include "shell/session.h"

#include <QLabel>

namespace pellucard {

void CardInfoWindow::printRecords() {
    showCardInfo();
    // Column 0 is the row number, as in every printed list; row 0 holds the column titles,
    // which this table has none of: the window's title heads every page.
    RecordList table(static_cast<int>(fields_.size()) + 1, 3);
    int row = 0;
    for (const Field& field : fields_) {
        ++row;
        table.SetText(row, 0, QString::number(row));
        QString caption = field.caption->text();
        caption.remove(QLatin1Char('&'));
        table.SetText(row, 1, caption.trimmed());
        table.SetText(row, 2, field.value->text());
    }
    PrintRecordsDialog form(host().mainWidget());
    form.changeLanguage(currentSession().languageIndex());
    form.setRecords(table, row, 3, {}, windowTitle());
    RunModal(form);
}

}  // namespace pellucard
