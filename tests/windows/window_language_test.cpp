// Every window in every language speaks that language and fits the two laptop screens people
// have most: a walk through the main window, the information window, the phone book, SMS and
// personal record windows, the PIN dialogs and the print dialog finds no text of the catalogue's
// English column that the language says otherwise; at 1280x800 every control lies wholly in
// sight and keeps its whole caption, at 1024x600 every control can still be reached, in sight or
// inside a scroll area that scrolls to it; the two lists of a record window stand level.
// And the SMS status words, stored in English, are shown in the language in force.
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include "catalogue/catalogue.h"
#include "shell/about_dialog.h"
#include "shell/change_pin_dialog.h"
#include "shell/main_window.h"
#include "shell/pin_dialog_launcher.h"
#include "shell/pin_lock_dialog.h"
#include "shell/print_records_dialog.h"
#include "shell/reader_chooser.h"
#include "shell/verify_pin_dialog.h"
#include "support/layout_checks.h"
#include "support/window_rig.h"
#include "windows/phone_book_window.h"
#include "windows/record_columns.h"
#include "windows/record_windows.h"
#include "windows/sms_window.h"

using namespace pellucard;
using namespace pellucard::testing;

namespace {

// A caption as read: without its accelerator ("File [&F]", "&Open") and surrounding blanks.
QString Bare(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\s*\\[&.\\]")));
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text.trimmed();
}

// The English texts that language `k` says otherwise, each as a pattern that finds it as whole
// words. A text with placeholders ("Part %1 of %2") is looked for piece by piece.
QList<std::pair<QString, QRegularExpression>> EnglishOnlyTexts(int k) {
    QList<std::pair<QString, QRegularExpression>> found;
    static const QRegularExpression placeholder(QStringLiteral("%\\d"));
    static const QRegularExpression letter(QStringLiteral("\\p{L}"));
    for (int id : CatalogueIds()) {
        const QString english = Bare(CatalogueText(id));
        const QString translated = Bare(CatalogueText(id + k));
        if (english == translated)
            continue;
        for (const QString& piece : english.split(placeholder, Qt::SkipEmptyParts)) {
            const QString words = piece.trimmed();
            // Short pieces ("of", "(status") say too little to be told from data.
            if (words.size() < 4 || !words.contains(letter) || translated.contains(words))
                continue;
            const QString edge = QStringLiteral("(?<![\\p{L}\\p{N}])");
            const QString end = QStringLiteral("(?![\\p{L}\\p{N}])");
            found.append(
                {words, QRegularExpression(edge + QRegularExpression::escape(words) + end,
                                           QRegularExpression::UseUnicodePropertiesOption)});
        }
    }
    return found;
}

// Every text a person can see in `root` and under it: captions, titles, tool tips, fields, list
// entries, column titles and the cells of every table. A cell of one of `dataColumns` (list
// columns) that shows what the list holds is data, not the program's word, and is left out.
QStringList ShownTexts(QWidget* root, const QList<int>& dataColumns = {}) {
    QStringList texts{root->windowTitle()};
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        if (widget != root && !widget->isVisibleTo(root))
            continue;
        texts << widget->toolTip();
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            texts << button->text();
        else if (auto* label = qobject_cast<QLabel*>(widget))
            texts << label->text();
        else if (auto* frame = qobject_cast<QGroupBox*>(widget))
            texts << frame->title();
        else if (auto* field = qobject_cast<QLineEdit*>(widget))
            texts << field->text() << field->placeholderText();
        else if (auto* choice = qobject_cast<QComboBox*>(widget)) {
            for (int i = 0; i < choice->count(); ++i)
                texts << choice->itemText(i);
        } else if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i) << tabs->tabToolTip(i);
        } else if (auto* sub = qobject_cast<QMdiSubWindow*>(widget)) {
            texts << sub->windowTitle();
        } else if (auto* table = qobject_cast<QTableView*>(widget)) {
            const QAbstractItemModel* model = table->model();
            if (model == nullptr)
                continue;
            for (int column = 0; column < model->columnCount(); ++column) {
                if (table->isColumnHidden(column))
                    continue;
                texts << model->headerData(column, Qt::Horizontal).toString();
                for (int row = 0; row < model->rowCount(); ++row) {
                    if (table->isRowHidden(row))
                        continue;
                    const QModelIndex cell = model->index(row, column);
                    QString text = cell.data().toString();
                    const bool held = text.replace(u'\n', QStringLiteral("\r\n")) ==
                                      cell.data(Qt::EditRole).toString();
                    if (!held || !dataColumns.contains(column + 1))
                        texts << cell.data().toString();
                    texts << cell.data(Qt::ToolTipRole).toString();
                }
            }
        } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
            for (int i = 0; i < list->count(); ++i)
                texts << list->item(i)->text();
        } else if (auto* tree = qobject_cast<QTreeWidget*>(widget)) {
            for (int column = 0; column < tree->columnCount(); ++column) {
                texts << tree->headerItem()->text(column);
                for (int i = 0; i < tree->topLevelItemCount(); ++i)
                    texts << tree->topLevelItem(i)->text(column);
            }
        }
    }
    for (QAction* action : root->findChildren<QAction*>()) {
        if (action->isVisible() && !action->isSeparator())
            texts << action->text() << action->toolTip();
    }
    texts.removeAll(QString());
    return texts;
}

// What a desktop takes of the screen's height: a panel and the window's title bar.
constexpr int kDesktopAllowance = 70;

std::vector<AvailableReader> someReaders() {
    return {{{ReaderChoice::Kind::Auto, {}}, {}, true, false},
            {{ReaderChoice::Kind::Pcsc, "Omnikey 3x21 USB 0011223344556677 8899AABBCCDDEEFF 00 00"},
             "Omnikey 3x21 USB 0011223344556677 8899AABBCCDDEEFF 00 00",
             true,
             true}};
}

}  // namespace

class WindowLanguageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void everyWindowSpeaksTheLanguage_data();
    void everyWindowSpeaksTheLanguage();
    void smsStatusIsShownInTheLanguageAndStoredInEnglish();
};

void WindowLanguageTest::everyWindowSpeaksTheLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QSize>("screen");
    for (const QSize screen : {QSize(1280, 800), QSize(1024, 600)}) {
        for (int k = 0; k < kLanguageCount; ++k)
            QTest::addRow("%s %dx%d", qPrintable(Message(kLanguageNames[k], 0)), screen.width(),
                          screen.height())
                << k << screen;
    }
}

void WindowLanguageTest::everyWindowSpeaksTheLanguage() {
    QFETCH(int, language);
    QFETCH(QSize, screen);
    const bool whole = screen.width() >= 1280;
    const QSize area(screen.width(), screen.height() - kDesktopAllowance);
    ShellRig rig(ShellRig::Start::CardIn, kTestPeriods, registerRecordWindows);
    MainWindow& main = *rig.main;
    rig.TickUntilIdentified();
    main.chooseLanguage(language);
    main.resize(area);

    QStringList unfit;  // what does not fit the screen, each once
    auto fit = [&](QWidget* widget, const QString& where) {
        // A dialog as the desktop shows it, no bigger than the screen; a window inside the main
        // window measured there, where its panel, menus and status bar share the room.
        if (widget->isWindow())
            widget->resize(widget->size().boundedTo(area));
        QCoreApplication::processEvents();
        QWidget* room = widget->isWindow() ? widget : &main;
        for (const QString& problem : CaptionsCutOff(widget) + ControlsOutOfSight(room, !whole)) {
            if (!unfit.contains(where + ": " + problem))
                unfit << where + ": " + problem;
        }
    };
    QMap<QString, QString> shown;  // each text once, with the first place it was seen
    auto look = [&](QWidget* widget, const QString& where, const QList<int>& dataColumns = {}) {
        QVERIFY2(widget != nullptr, qPrintable(where));
        QCoreApplication::processEvents();
        for (const QString& text : ShownTexts(widget, dataColumns)) {
            if (!shown.contains(Bare(text)))
                shown.insert(Bare(text), where);
        }
        fit(widget, where);
    };
    // The windows with what a person has in them: the card's information, the card's phone
    // book and messages read, a personal record.
    main.showWindow(WindowIndex::CardInfo);
    look(main.childWindow(WindowIndex::CardInfo), "information window");
    auto* phoneBook = rig.OpenWindow<PhoneBookWindow>(WindowIndex::PhoneBook);
    QVERIFY(phoneBook != nullptr);
    rig.AnswerVerifyPin();
    phoneBook->readCard();
    look(phoneBook, "phone book window", {phone_column::kName, phone_column::kNumber});
    auto* sms = rig.OpenWindow<SmsWindow>(WindowIndex::Sms);
    QVERIFY(sms != nullptr);
    sms->readCard();
    look(sms, "SMS window",
         {sms_column::kAddress, sms_column::kShown, sms_column::kTimeStamp,
          sms_column::kServiceCentre});
    main.showWindow(WindowIndex::PersonalRecords);
    look(main.childWindow(WindowIndex::PersonalRecords), "personal record window");
    look(&main, "main window");
    for (const QString& problem : MenusOutOfSight(main.menuBar()))
        unfit << "main window: " + problem;
    // The two lists of a record window stand level, whichever side's buttons wrap.
    for (RecordWindow* window :
         {static_cast<RecordWindow*>(phoneBook), static_cast<RecordWindow*>(sms)}) {
        main.showWindow(window->index());
        QCoreApplication::processEvents();
        const QWidget* simList = window->grid(RecordWindow::kSimList);
        const QWidget* computerList = window->grid(RecordWindow::kComputerList);
        const int simTop = simList->mapTo(window, QPoint(0, 0)).y();
        const int computerTop = computerList->mapTo(window, QPoint(0, 0)).y();
        if (simTop != computerTop || simList->height() != computerList->height())
            unfit << QStringLiteral("%1: the lists stand at %2+%3 and %4+%5")
                         .arg(window->windowTitle())
                         .arg(simTop)
                         .arg(simList->height())
                         .arg(computerTop)
                         .arg(computerList->height());
    }
    main.setReaderLister(someReaders);
    look(main.chooseReader(), "reader chooser");
    main.chooseReader()->reject();

    // The file dialogs of the card's backup and restore and of a list's Save As (cancelled).
    rig.dialogs.Clear();
    for (int i = 0; i < 3; ++i)
        rig.dialogs.QueueFileName({});  // cancel
    main.backUpCard();
    main.restoreCard();
    phoneBook->saveFileAs();
    QCOMPARE(rig.dialogs.Calls().size(), 3);
    for (const ScriptedDialogs::Call& call : rig.dialogs.Calls())
        shown.insert(Bare(call.file.title) + " / " + call.file.nameFilter, "file dialog");

    // The exchange dialogs, as the phone book window opens them, and the About box.
    int exchangeDialogs = 0;
    rig.dialogs.RunModalWith([&](QDialog& dialog) {
        dialog.show();
        look(&dialog, dialog.metaObject()->className());
        ++exchangeDialogs;
        // The import dialog's field mapping opens through this runner too.
        if (auto* mapping = dialog.findChild<QPushButton*>("mappingButton"))
            mapping->click();
    });
    phoneBook->exportText();
    const QString contacts = rig.folder.filePath("contacts.csv");
    QFile file(contacts);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("name,number\r\nAnn,+441632960001\r\n");  // the file's own words are data
    file.close();
    rig.dialogs.QueueFileName(contacts);
    phoneBook->importText(QLatin1Char(','));
    rig.dialogs.RunModalWith(nullptr);
    QCOMPARE(exchangeDialogs, 3);  // export, import, field mapping
    main.showAbout();
    look(main.about(), "About");

    PinDialogLauncher& pins = main.pinDialogs();
    look(pins.showInputPin(0, 0), "PIN lock dialog");
    look(pins.showChangePin(1, 1), "change PIN dialog");
    look(pins.showVerifyPin(1), "verify PIN dialog");
    pins.closeAll();

    rig.dialogs.RunModalWith([&](QDialog& printing) {
        printing.show();
        look(&printing, "print dialog");
    });
    phoneBook->printList(RecordWindow::kSimList);
    sms->printList(RecordWindow::kSimList);
    rig.dialogs.RunModalWith(nullptr);

    QStringList english;
    const auto englishTexts = EnglishOnlyTexts(language);
    for (auto text = shown.cbegin(); text != shown.cend(); ++text) {
        for (const auto& [words, pattern] : englishTexts) {
            if (text.key().contains(words) && text.key().contains(pattern))
                english << QStringLiteral("%1: \"%2\" (English \"%3\")")
                               .arg(text.value(), text.key(), words);
        }
    }
    for (const QString& problem : std::as_const(english))
        qWarning().noquote() << problem;
    QVERIFY2(english.isEmpty(), "English texts in a translated window (listed above)");
    for (const QString& problem : std::as_const(unfit))
        qWarning().noquote() << problem;
    QVERIFY2(unfit.isEmpty(), "windows that do not fit (listed above)");
}

void WindowLanguageTest::smsStatusIsShownInTheLanguageAndStoredInEnglish() {
    constexpr int kGerman = 3;
    ShellRig rig(ShellRig::Start::CardIn, kTestPeriods, registerRecordWindows);
    rig.TickUntilIdentified();
    rig.main->chooseLanguage(kGerman);
    auto* sms = rig.OpenWindow<SmsWindow>(WindowIndex::Sms);
    QVERIFY(sms != nullptr);
    rig.AnswerVerifyPin();
    sms->readCard();
    const int sim = RecordWindow::kSimList;
    const RecordList& list = sms->recordList(sim);
    const QAbstractItemModel* shown = sms->grid(sim)->model();
    auto status = [&](int row) {
        return shown->index(row - 1, sms_column::kStatus - 1).data().toString();
    };
    // The demo card's first messages: read, to be read, a free record, sent, to be sent.
    const QStringList stored{"Read", "To Be Read", "", "Send", "To Be Send"};
    const QStringList german{"Gelesen", "Ungelesen", "", "Gesendet", "Zu senden"};
    for (int row = 1; row <= 5; ++row) {
        QCOMPARE(list.Text(row, sms_column::kStatus), stored[row - 1]);
        QCOMPARE(status(row), german[row - 1]);
    }
    // Find looks for the words shown: "ungelesen" finds the message to be read; the stored
    // "Read" is no status word here.
    auto* findBox = sms->findChild<QLineEdit*>(QStringLiteral("findBox_%1").arg(sim));
    findBox->setText("ungelesen");
    sms->findFromTop(sim);
    QCOMPARE(sms->grid(sim)->currentRow(), 2);
    QCOMPARE(sms->grid(sim)->currentColumn(), sms_column::kStatus);
    findBox->setText("read");
    sms->grid(sim)->setCurrentCell(1, sms_column::kAddress);
    sms->findFromTop(sim);
    QVERIFY(sms->grid(sim)->currentColumn() != sms_column::kStatus);

    // The validity period read in German is stored so; the printout shows what the window shows.
    QCOMPARE(list.Text(5, sms_column::kValidityText), QString("1Woche"));
    PrintTable printed;
    rig.dialogs.RunModalWith([&](QDialog& modal) {
        if (auto* printing = qobject_cast<PrintRecordsDialog*>(&modal))
            printed = printing->printTable();
    });
    sms->printList(sim);
    rig.dialogs.RunModalWith(nullptr);
    QVERIFY(printed.rows.size() >= 5);
    for (int row = 1; row <= 5; ++row)
        QVERIFY(german[row - 1].isEmpty() || printed.rows[row - 1].contains(german[row - 1]));
    QVERIFY(printed.rows[4].contains("1Woche"));

    // Back in English the catalogue's words are shown: "Sent" for the stored "Send".
    rig.main->chooseLanguage(0);
    QCOMPARE(status(4), QString("Sent"));
    QCOMPARE(status(5), QString("To Be Send"));
    QCOMPARE(shown->index(4, sms_column::kValidityText - 1).data().toString(), QString("1Week"));
}

QTEST_MAIN(WindowLanguageTest)
#include "window_language_test.moc"
