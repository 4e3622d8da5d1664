#pragma once

#include <QDialog>

#include <functional>
#include <vector>

#include "platform/reader_list.h"

class QDialogButtonBox;
class QListWidget;

namespace pellucard {

class Session;

// The reader a choice names, in the session's language: "Automatic", "USB SIM card reader",
// the PC/SC reader's own name, the virtual reader; for the status bar.
QString readerName(const Session& session, const ReaderChoice& choice);

// The program settings' key of the reader chosen last, in `--reader` form.
extern const char* const kReaderSettingKey;

// The reader remembered in the program settings when it is among the readers `list` gives (asked
// only when one is remembered); otherwise automatic, with `gone` set to the remembered reader's
// `--reader` text when there was one that is gone.
ReaderChoice rememberedReader(const std::function<std::vector<AvailableReader>()>& list,
                              QString& gone);

// Lists the readers one may choose, each with what is known of it (not connected, a card in it
// or none), the one in use selected. Opened with open(), so that it never blocks a caller; the
// caller takes chosen() when it is accepted.
class ReaderChooser final : public QDialog {
    Q_OBJECT

public:
    ReaderChooser(const Session& session, std::vector<AvailableReader> readers,
                  const ReaderChoice& current, QWidget* parent = nullptr);

    // The reader of the selected line (the one in use when none is selected).
    ReaderChoice chosen() const;

    QListWidget* list() const { return list_; }
    QDialogButtonBox* buttons() const { return buttons_; }

private:
    std::vector<AvailableReader> readers_;
    ReaderChoice current_;
    QListWidget* list_;
    QDialogButtonBox* buttons_;
};

}  // namespace pellucard
