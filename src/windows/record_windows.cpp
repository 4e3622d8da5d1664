#include "windows/record_windows.h"

#include "shell/session.h"
#include "shell/window_factory.h"
#include "windows/export_dialog.h"
#include "windows/import_dialog.h"
#include "windows/person_rec.h"
#include "windows/record_exchange.h"
#include "windows/sim_rec.h"
#include "windows/sms_rec.h"

namespace pellucard {

void RegisterRecordWindows(WindowFactory& factory) {
    factory.Register(WindowIndex::PersonRec, [](ShellHost& host) { return new PersonRec(host); });
    factory.Register(WindowIndex::SimRec, [](ShellHost& host) { return new SimRec(host); });
    factory.Register(WindowIndex::SmsRec, [](ShellHost& host) { return new SMSRec(host); });
    // The File menu's text export and import of the two-list windows.
    SetRecordExportHook(ShowExportDialog);
    SetRecordImportHook(ShowImportDialog);
}

}  // namespace pellucard
