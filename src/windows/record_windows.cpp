#include "windows/record_windows.h"

#include "shell/session.h"
#include "shell/window_factory.h"
#include "windows/export_dialog.h"
#include "windows/import_dialog.h"
#include "windows/personal_records_window.h"
#include "windows/phone_book_window.h"
#include "windows/record_exchange.h"
#include "windows/sms_window.h"

namespace pellucard {

void registerRecordWindows(WindowFactory& factory) {
    factory.registerWindow(WindowIndex::PersonalRecords,
                           [](ShellHost& host) { return new PersonalRecordsWindow(host); });
    factory.registerWindow(WindowIndex::PhoneBook,
                           [](ShellHost& host) { return new PhoneBookWindow(host); });
    factory.registerWindow(WindowIndex::Sms, [](ShellHost& host) { return new SmsWindow(host); });
    // The File menu's text export and import of the two-list windows.
    setRecordExportHook(showExportDialog);
    setRecordImportHook(showImportDialog);
}

}  // namespace pellucard
