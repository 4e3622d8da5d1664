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
#include "support/window_rig.h"
#include "windows/exchange_dialog_runner.h"
#include "windows/export_dialog.h"
#include "windows/field_mapping_dialog.h"
#include "windows/record_exchange.h"
#include "windows/record_windows.h"

using namespace pellucard;

namespace {

QString Visible(const QString& caption) {
    QString text = caption;
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text;
}

QString Describe(const QWidget* widget, const QString& text, int needed, int has) {
    return QStringLiteral("%1 \"%2\" (%3): needs %4, has %5")
        .arg(widget->metaObject()->className(), text, widget->objectName())
        .arg(needed)
        .arg(has);
}

// The captions under `root` that do not fit the room their widget was given.
QStringList CaptionsCutOff(QWidget* root) {
    QStringList cut;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(root) || widget->width() <= 0)
            continue;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (button->text().isEmpty() || qobject_cast<QTabBar*>(widget->parentWidget()))
                continue;
            // A push button's size hint has a minimum width of its own: what must fit is the
            // text (and icon) in the room the style leaves for them.
            int needed = button->sizeHint().width();
            int room = button->width();
            if (qobject_cast<QPushButton*>(button) != nullptr) {
                QStyleOptionButton option;
                option.initFrom(button);
                option.text = button->text();
                room = button->style()
                           ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                           .width();
                needed = button->fontMetrics().horizontalAdvance(Visible(button->text()));
                if (!button->icon().isNull())
                    needed += button->iconSize().width() + 4;
            }
            if (needed > room)
                cut << Describe(button, button->text(), needed, room);
        } else if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->text().isEmpty())
                continue;
            const int room = label->contentsRect().width() - 2 * label->margin();
            if (label->wordWrap()) {
                const int needed = label->heightForWidth(label->width());
                if (needed > label->height())
                    cut << Describe(label, label->text(), needed, label->height()) + " (height)";
            } else {
                const int needed = label->fontMetrics().horizontalAdvance(Visible(label->text()));
                if (needed > room)
                    cut << Describe(label, label->text(), needed, room);
            }
        } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
            if (frame->title().isEmpty())
                continue;
            const int needed = frame->minimumSizeHint().width();
            if (needed > frame->width())
                cut << Describe(frame, frame->title(), needed, frame->width());
        } else if (auto* header = qobject_cast<QHeaderView*>(widget)) {
            QAbstractItemModel* model = header->model();
            if (model == nullptr || header->orientation() != Qt::Horizontal)
                continue;
            const int margin =
                2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
            for (int section = 0; section < header->count(); ++section) {
                if (header->isSectionHidden(section) || header->sectionSize(section) == 0)
                    continue;
                const QString title = model->headerData(section, Qt::Horizontal).toString();
                if (title.trimmed().isEmpty())
                    continue;
                const int needed = header->fontMetrics().horizontalAdvance(title) + margin;
                if (needed > header->sectionSize(section))
                    cut << Describe(header, title, needed, header->sectionSize(section));
            }
        } else if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
            for (int tab = 0; tab < tabs->count(); ++tab) {
                const int needed =
                    tabs->fontMetrics().horizontalAdvance(Visible(tabs->tabText(tab)));
                if (needed > tabs->tabRect(tab).width())
                    cut << Describe(tabs, tabs->tabText(tab), needed, tabs->tabRect(tab).width());
            }
        }
    }
    return cut;
}

}  // namespace

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

    setExchangeDialogRunner([&](QDialog& dialog) {
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
    setExchangeDialogRunner(nullptr);
    FieldMappingDialog mapping(QStringLiteral("Phone Record"), {}, 0, language, &main);
    mapping.show();
    check(&mapping, "fieldMappingDialog");

    for (const QString& problem : cut)
        qWarning().noquote() << problem;
    QVERIFY2(cut.isEmpty(), "captions cut off (listed above)");
}

QTEST_MAIN(LayoutFitTest)
#include "layout_fit_test.moc"
