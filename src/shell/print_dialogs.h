#pragma once

#include <QFont>

#include <functional>

class QPrinter;
class QWidget;

namespace pellucard {

// The platform's font, page set-up, print and preview dialogs that the print dialog
// opens. They are modal, so the print dialog reaches them through this hook: the program
// uses PlatformPrintDialogs, a test answers without showing anything.
class PrintDialogs {
public:
    virtual ~PrintDialogs() = default;

    // Lets the user pick a font, starting from `font`. True and `font` changed when the
    // user accepted.
    virtual bool chooseFont(QWidget* parent, QFont& font) = 0;
    // Paper, orientation and margins of `printer`. True when the user accepted.
    virtual bool setUpPage(QWidget* parent, QPrinter& printer) = 0;
    // The choice of printer, pages and copies before printing. True to print.
    virtual bool choosePrinter(QWidget* parent, QPrinter& printer) = 0;
    // Shows the pages that `paint` draws on the printer it is given, until the user closes
    // the preview (or prints from it, which calls `paint` again on `printer`).
    virtual void preview(QWidget* parent, QPrinter& printer,
                         const std::function<void(QPrinter&)>& paint) = 0;
};

// The Qt dialogs: QFontDialog, QPageSetupDialog, QPrintDialog, QPrintPreviewDialog.
class PlatformPrintDialogs final : public PrintDialogs {
public:
    bool chooseFont(QWidget* parent, QFont& font) override;
    bool setUpPage(QWidget* parent, QPrinter& printer) override;
    bool choosePrinter(QWidget* parent, QPrinter& printer) override;
    void preview(QWidget* parent, QPrinter& printer,
                 const std::function<void(QPrinter&)>& paint) override;
};

}  // namespace pellucard
