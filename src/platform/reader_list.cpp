#include "platform/reader_list.h"

#include <winscard.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "engine/hid_report_link.h"
#include "engine/report_device.h"
#include "platform/hidapi_bus.h"

namespace pellucard {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

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
    DWORD length = 0;
    std::string names;
    if (SCardListReaders(context, nullptr, nullptr, &length) == SCARD_S_SUCCESS && length > 0) {
        names.assign(length, '\0');
        if (SCardListReaders(context, nullptr, names.data(), &length) != SCARD_S_SUCCESS)
            names.clear();
    }
    for (std::size_t at = 0; at < names.size() && names[at] != '\0';) {
        const std::string name(names.c_str() + at);
        AvailableReader reader;
        reader.choice = {ReaderChoice::Kind::Pcsc, name};
        reader.name = name;
        readers.push_back(reader);
        at += name.size() + 1;
    }
    // The readers' present state, without waiting for a change.
    std::vector<SCARD_READERSTATE> states(readers.size());
    for (std::size_t i = 0; i < readers.size(); ++i) {
        states[i] = {};
        states[i].szReader = readers[i].name.c_str();
        states[i].dwCurrentState = SCARD_STATE_UNAWARE;
    }
    if (!states.empty() &&
        SCardGetStatusChange(context, 0, states.data(), static_cast<DWORD>(states.size())) ==
            SCARD_S_SUCCESS) {
        for (std::size_t i = 0; i < readers.size(); ++i) {
            readers[i].holdsCard = (states[i].dwEventState & SCARD_STATE_PRESENT) != 0 &&
                                   (states[i].dwEventState & SCARD_STATE_MUTE) == 0;
        }
    }
    SCardReleaseContext(context);
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
    const std::string wanted = Lower(choice.argument);
    return std::any_of(readers.begin(), readers.end(), [&](const AvailableReader& reader) {
        if (reader.choice.kind != choice.kind || !reader.present)
            return false;
        return choice.kind == ReaderChoice::Kind::Hid ||
               Lower(reader.name).find(wanted) != std::string::npos;
    });
}

}  // namespace pellucard
