// The main window's menu tree and its captions.
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QUndoGroup>

#include <QFileInfo>

#include "catalogue/catalogue.h"
#include "engine/pellucard.h"
#include "records/file_history.h"
#include "shell/main_window.h"
#include "shell/session.h"

namespace pellucard {
namespace {

QMenu* addMenu(QWidget* parent, QMenuBar* bar, const char* name) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    bar->addMenu(menu);
    return menu;
}

QMenu* addSubmenu(QMenu* parent, const char* name, const QString& designCaption) {
    QMenu* menu = parent->addMenu(designCaption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QAction* addEntry(QMenu* menu, const char* name, const QString& designCaption = {}) {
    QAction* action = menu->addAction(designCaption);
    action->setObjectName(name);
    return action;
}

void addSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(name);
}

}  // namespace

void MainWindow::createMenus() {
    createFileMenu();
    createEditMenu();
    createViewMenu();
    createHelpMenu();
    createNameMenu();
}

void MainWindow::createFileMenu() {
    QMenu* file = addMenu(this, menuBar(), "fileMenu");
    captions_.emplace_back(file->menuAction(), MessageId::FileMenu);
    QAction* fresh = addEntry(file, "newAction");
    QAction* open = addEntry(file, "openAction");
    recentFiles_ = addSubmenu(file, "recentFilesMenu", {});
    captions_.emplace_back(recentFiles_->menuAction(), MessageId::RecentFilesMenu);
    connect(&FileHistory::Instance(), &FileHistory::RecentFilesChanged, this,
            &MainWindow::showRecentFiles);
    showRecentFiles();
    addSeparator(file, "xLine2");
    QAction* save = addEntry(file, "saveAction");
    QAction* saveAs = addEntry(file, "saveAsAction");
    QAction* print = addEntry(file, "printAction");
    captions_.emplace_back(print, MessageId::Print);
    // The print command of the active window, as the left panel's print button gives it.
    connect(print, &QAction::triggered, this, [this] { showWindow(WindowIndex::Print); });
    addSeparator(file, "xLine");
    QMenu* import = addSubmenu(file, "importMenu", {});
    QAction* importComma = addEntry(import, "importCommaAction");
    QAction* importTab = addEntry(import, "importTabAction");
    QMenu* exportMenu = addSubmenu(file, "exportMenu", {});
    QAction* exportComma = addEntry(exportMenu, "exportCommaAction");
    QAction* exportTab = addEntry(exportMenu, "exportTabAction");
    addSeparator(file, "xLine13");
    QAction* backup = addEntry(file, "backupAction");
    QAction* restore = addEntry(file, "restoreAction");
    captions_.insert(captions_.end(),
                     {{backup, MessageId::BackUpCardMenu}, {restore, MessageId::RestoreCardMenu}});
    connect(backup, &QAction::triggered, this, &MainWindow::backUpCard);
    connect(restore, &QAction::triggered, this, &MainWindow::restoreCard);
    addSeparator(file, "xLine12");
    QAction* comPort = addEntry(file, "readerSettingsAction");
    captions_.insert(captions_.end(), {{import->menuAction(), MessageId::ImportMenu},
                                       {importComma, MessageId::CommaSeparatedValuesMenu},
                                       {importTab, MessageId::TabSeparatedValuesMenu},
                                       {exportMenu->menuAction(), MessageId::ExportMenu},
                                       {exportComma, MessageId::CommaSeparatedValuesMenu},
                                       {exportTab, MessageId::TabSeparatedValuesMenu},
                                       {comPort, MessageId::SettingComPortMenu}});
    addSeparator(file, "xLine4");
    QAction* exit = addEntry(file, "quitAction");
    captions_.insert(captions_.end(), {{fresh, MessageId::NewMenu},
                                       {open, MessageId::OpenMenu},
                                       {save, MessageId::SaveMenu},
                                       {saveAs, MessageId::SaveAsMenu},
                                       {exit, MessageId::ExitMenu}});
    fileEntries_ = {{FileMenuEntry::New, fresh},
                    {FileMenuEntry::Open, open},
                    {FileMenuEntry::Save, save},
                    {FileMenuEntry::SaveAs, saveAs},
                    {FileMenuEntry::Import, import->menuAction()},
                    {FileMenuEntry::Export, exportMenu->menuAction()}};

    const std::pair<QAction*, FileCommand> commands[] = {
        {fresh, FileCommand::New},
        {open, FileCommand::Open},
        {save, FileCommand::Save},
        {saveAs, FileCommand::SaveAs},
        {importComma, FileCommand::ImportComma},
        {importTab, FileCommand::ImportTab},
        {exportComma, FileCommand::ExportComma},
        {exportTab, FileCommand::ExportTab},
    };
    for (const auto& [action, command] : commands) {
        connect(action, &QAction::triggered, this,
                [this, command = command] { runFileCommand(command); });
    }
    connect(comPort, &QAction::triggered, this, [this] { chooseReader(); });
    setStandardKeys(fresh, QKeySequence::New);
    setStandardKeys(open, QKeySequence::Open);
    setStandardKeys(save, QKeySequence::Save);
    setStandardKeys(saveAs, QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    setStandardKeys(print, QKeySequence::Print);
    setStandardKeys(exit, QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

void MainWindow::createEditMenu() {
    undoGroup_ = new QUndoGroup(this);
    QMenu* edit = addMenu(this, menuBar(), "editMenu");
    captions_.emplace_back(edit->menuAction(), MessageId::EditMenu);
    QAction* undo = addEntry(edit, "undoAction");
    QAction* redo = addEntry(edit, "redoAction");
    captions_.insert(captions_.end(), {{undo, MessageId::UndoMenu}, {redo, MessageId::RedoMenu}});
    setStandardKeys(undo, QKeySequence::Undo, QKeySequence(Qt::CTRL | Qt::Key_Z));
    setStandardKeys(redo, QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    if (!redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
        redo->setShortcuts(redo->shortcuts() << QKeySequence(Qt::CTRL | Qt::Key_Y));
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(undoGroup_, &QUndoGroup::canUndoChanged, undo, &QAction::setEnabled);
    connect(undoGroup_, &QUndoGroup::canRedoChanged, redo, &QAction::setEnabled);
    connect(undo, &QAction::triggered, undoGroup_, &QUndoGroup::undo);
    connect(redo, &QAction::triggered, undoGroup_, &QUndoGroup::redo);
    createEditCommands(edit);
}

void MainWindow::createViewMenu() {
    QMenu* view = addMenu(this, menuBar(), "viewMenu");
    captions_.emplace_back(view->menuAction(), MessageId::ViewMenu);
    const struct {
        const char* name;
        MessageId captionId;
        WindowIndex windowIndex;
    } entries[] = {
        {"smsWindowAction", MessageId::SmsRecordMenu, WindowIndex::Sms},
        {"phoneBookWindowAction", MessageId::PhoneBookMenu, WindowIndex::PhoneBook},
        {"personalRecordsWindowAction", MessageId::PersonalRecordMenu,
         WindowIndex::PersonalRecords},
        {"cardInfoWindowAction", MessageId::SimCardInformationMenu, WindowIndex::CardInfo},
    };
    for (const auto& entry : entries) {
        if (entry.windowIndex == WindowIndex::CardInfo)
            addSeparator(view, "xLine1");
        QAction* action = addEntry(view, entry.name);
        captions_.emplace_back(action, entry.captionId);
        connect(action, &QAction::triggered, this,
                [this, index = entry.windowIndex] { showWindow(index); });
    }
}

void MainWindow::createHelpMenu() {
    QMenu* help = addMenu(this, menuBar(), "helpMenu");
    captions_.emplace_back(help->menuAction(), MessageId::HelpMenu);
    QAction* helpEntry = addEntry(help, "helpAction");
    setStandardKeys(helpEntry, QKeySequence::HelpContents, QKeySequence(Qt::Key_F1));
    captions_.emplace_back(helpEntry, MessageId::HelpMenu);
    connect(helpEntry, &QAction::triggered, this, &MainWindow::showHelp);
    addSeparator(help, "xLine3");

    QMenu* language = addSubmenu(help, "languageMenu", {});
    captions_.emplace_back(language->menuAction(), MessageId::LanguageMenu);
    languages_ = new QActionGroup(this);
    languages_->setExclusive(true);
    for (int k = 0; k < static_cast<int>(languageEntries_.size()); ++k) {
        const QByteArray name = "languageAction_" + QByteArray::number(k);
        QAction* entry = addEntry(language, name.constData());
        entry->setCheckable(true);
        languages_->addAction(entry);
        captions_.emplace_back(entry, kLanguageNames[static_cast<std::size_t>(k)]);
        connect(entry, &QAction::triggered, this, [this, k] { languageChosenByUser(k); });
        languageEntries_[static_cast<std::size_t>(k)] = entry;
    }
    addSeparator(help, "XLine5");
    QAction* about = addEntry(help, "aboutAction");
    captions_.emplace_back(about, MessageId::AboutMenu);
    connect(about, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::createNameMenu() {
    QMenu* name = addMenu(this, menuBar(), "nameMenu");
    captions_.emplace_back(name->menuAction(), MessageId::NameMenu);
    QAction* phoneRecords = addEntry(name, "NamePhone");
    QAction* usefulSms = addEntry(name, "NameUsefull");
    QAction* editPhoneRecord = addEntry(name, "nameEditPhone");
    captions_.insert(captions_.end(), {{phoneRecords, MessageId::AllPhoneRecordMenu},
                                       {usefulSms, MessageId::UsefulSmsMenu},
                                       {editPhoneRecord, MessageId::EditPhoneRecordMenu}});
    connect(phoneRecords, &QAction::triggered, this,
            [this] { showWindow(WindowIndex::PhoneBook); });
    connect(usefulSms, &QAction::triggered, this, [this] { showWindow(WindowIndex::Sms); });
    connect(editPhoneRecord, &QAction::triggered, this, [this] {
        showWindow(WindowIndex::PhoneBook);
        // While a poll runs the window opens when it ends; the editor waits for another try.
        if (session_.currentWindow() != WindowIndex::PhoneBook)
            return;
        if (ChildWindow* phoneBook = childWindow(WindowIndex::PhoneBook))
            phoneBook->editFirstSelectedRecord();
    });
}

void MainWindow::changeLanguage() {
    setWindowTitle(session_.text(MessageId::ProgramTitle));
    for (const auto& [action, id] : captions_)
        action->setText(session_.text(id));
    if (readerState_ != nullptr)
        showReaderState();
    showReaderChoice();
}

void MainWindow::showRecentFiles() {
    recentFiles_->clear();
    const QList<FileHistory::RecentFile> files = FileHistory::Instance().RecentFiles();
    int number = 0;
    for (const FileHistory::RecentFile& file : files) {
        ++number;
        // "&1 name": the number is typed to choose it; an "&" in the name is shown as it is.
        const QString name = QFileInfo(file.path).fileName().replace(u'&', QStringLiteral("&&"));
        QAction* entry = recentFiles_->addAction(QStringLiteral("&%1 %2").arg(number).arg(name));
        entry->setObjectName(QStringLiteral("recentFilesMenu_%1").arg(number));
        entry->setToolTip(file.path);
        entry->setStatusTip(file.path);
        connect(entry, &QAction::triggered, this,
                [this, file] { openRecentFile(file.path, file.windowIndex); });
    }
    recentFiles_->menuAction()->setEnabled(!files.isEmpty());
}

}  // namespace pellucard
