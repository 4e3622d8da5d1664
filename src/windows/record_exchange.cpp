#include "windows/record_exchange.h"

namespace pellucard {

namespace {
ExportHook& ExportSlot() {
    static ExportHook hook;
    return hook;
}
ImportHook& ImportSlot() {
    static ImportHook hook;
    return hook;
}
}  // namespace

void SetRecordExportHook(ExportHook hook) {
    ExportSlot() = std::move(hook);
}
void SetRecordImportHook(ImportHook hook) {
    ImportSlot() = std::move(hook);
}
const ExportHook& RecordExportHook() {
    return ExportSlot();
}
const ImportHook& RecordImportHook() {
    return ImportSlot();
}

}  // namespace pellucard
