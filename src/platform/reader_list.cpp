#include "platform/reader_list.h"

#include <winscard.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "engine/hid_report_link.h"
#include "engine/report_device.h"
#include "platform/hidapi_bus.h"
#include "platform/pcsc_readers.h"

namespace pellucard {
namespace {

bool UsbReaderPlugged(ReportBus& usb) {
    for (const auto& info : usb.Enumerate()) {
        if (info.vendor == kReaderVendor && info.product == kReaderProduct)
            return true;
    }
    return false;
}

// The readers of the PC/SC service with whether each holds a card; none when the service is not
// running or knows no reader.
std::vector<AvailableReader> PcscReaders() {
    std::vector<AvailableReader> readers;
    SCARDCONTEXT context = 0;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) != SCARD_S_SUCCESS)
        return readers;
    std::vector<PcscReader> found;
    ListPcscReaders(static_cast<std::intptr_t>(context), found);
    SCardReleaseContext(context);
    for (const PcscReader& reader : found)
        readers.push_back(
            {{ReaderChoice::Kind::Pcsc, reader.name}, reader.name, true, reader.holdsCard});
    return readers;
}

}  // namespace

std::vector<AvailableReader> ListAvailableReaders(ReportBus& usb) {
    std::vector<AvailableReader> readers;
    readers.push_back({{ReaderChoice::Kind::Auto, {}}, {}, true, false});
    readers.push_back({{ReaderChoice::Kind::Hid, {}}, {}, UsbReaderPlugged(usb), false});
    for (AvailableReader& reader : PcscReaders())
        readers.push_back(std::move(reader));
    readers.push_back({{ReaderChoice::Kind::Virtual, {}}, {}, true, false});
    return readers;
}

std::vector<AvailableReader> ListAvailableReaders() {
    HidapiBus bus;
    return ListAvailableReaders(bus);
}

std::string ReaderChoiceText(const ReaderChoice& choice) {
    switch (choice.kind) {
        case ReaderChoice::Kind::Auto:
            return "auto";
        case ReaderChoice::Kind::Hid:
            return "hid";
        case ReaderChoice::Kind::Pcsc:
            return choice.argument.empty() ? "pcsc" : "pcsc:" + choice.argument;
        case ReaderChoice::Kind::Virtual:
            return choice.argument.empty() ? "virtual" : "virtual:" + choice.argument;
        case ReaderChoice::Kind::Socket:
            return "socket:" + choice.argument;
    }
    return "auto";
}

bool ReaderChoiceAvailable(const ReaderChoice& choice,
                           const std::vector<AvailableReader>& readers) {
    std::error_code error;
    switch (choice.kind) {
        case ReaderChoice::Kind::Auto:
            return true;
        case ReaderChoice::Kind::Virtual:
            return choice.argument.empty() || std::filesystem::exists(choice.argument, error);
        case ReaderChoice::Kind::Socket:
            return std::filesystem::exists(choice.argument, error);
        case ReaderChoice::Kind::Hid:
        case ReaderChoice::Kind::Pcsc:
            break;
    }
    return std::any_of(readers.begin(), readers.end(), [&](const AvailableReader& reader) {
        if (reader.choice.kind != choice.kind || !reader.present)
            return false;
        return choice.kind == ReaderChoice::Kind::Hid ||
               ReaderNameMatches(reader.name, choice.argument);
    });
}

}  // namespace pellucard
