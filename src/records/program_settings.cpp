#include "records/program_settings.h"

namespace pellucard {
namespace {

std::unique_ptr<QSettings>& Attached() {
    static std::unique_ptr<QSettings> settings;
    return settings;
}

}  // namespace

void AttachSettings(std::unique_ptr<QSettings> settings) {
    Attached() = std::move(settings);
}

QSettings* ProgramSettings() {
    return Attached().get();
}

}  // namespace pellucard
