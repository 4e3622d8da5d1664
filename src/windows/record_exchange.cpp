#include "windows/record_exchange.h"

namespace pellucard {

namespace {
ExportHook& exportSlot() {
    static ExportHook hook;
    return hook;
}
ImportHook& importSlot() {
    static ImportHook hook;
    return hook;
}
}  // namespace

void setRecordExportHook(ExportHook hook) {
    exportSlot() = std::move(hook);
}
void setRecordImportHook(ImportHook hook) {
    importSlot() = std::move(hook);
}
const ExportHook& recordExportHook() {
    return exportSlot();
}
const ImportHook& recordImportHook() {
    return importSlot();
}

}  // namespace pellucard
