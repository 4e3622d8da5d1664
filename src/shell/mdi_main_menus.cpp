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
#include "shell/mdi_main.h"
#include "shell/session.h"

namespace pellucard {
namespace {

QMenu* AddMenu(QWidget* parent, QMenuBar* bar, const char* name) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    bar->addMenu(menu);
    return menu;
}

QMenu* AddSubmenu(QMenu* parent, const char* name, const QString& designCaption) {
    QMenu* menu = parent->addMenu(designCaption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QAction* AddEntry(QMenu* menu, const char* name, const QString& designCaption = {}) {
    QAction* action = menu->addAction(designCaption);
    action->setObjectName(name);
    return action;
}

void AddSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(name);
}

}  // namespace

void MDIMain::CreateMenus() {
    CreateFileMenu();
    CreateEditMenu();
    CreateViewMenu();
    CreateHelpMenu();
    CreateNameMenu();
}

void MDIMain::CreateFileMenu() {
    QMenu* file = AddMenu(this, menuBar(), "MDIFile");
    captions_.emplace_back(file->menuAction(), MessageId::FileMenu);
    QAction* fresh = AddEntry(file, "MDINew");
    QAction* open = AddEntry(file, "MDIOpen");
    recentFiles_ = AddSubmenu(file, "MDIRecent", {});
    captions_.emplace_back(recentFiles_->menuAction(), MessageId::RecentFilesMenu);
    connect(&FileHistory::Instance(), &FileHistory::RecentFilesChanged, this,
            &MDIMain::ShowRecentFiles);
    ShowRecentFiles();
    AddSeparator(file, "xLine2");
    QAction* save = AddEntry(file, "MDISave");
    QAction* saveAs = AddEntry(file, "MDIAs");
    AddSeparator(file, "xLine");
    QMenu* import = AddSubmenu(file, "MDIImport", {});
    QAction* importComma = AddEntry(import, "MDIImComma");
    QAction* importTab = AddEntry(import, "MDIImTab");
    QMenu* exportMenu = AddSubmenu(file, "MDIExport", {});
    QAction* exportComma = AddEntry(exportMenu, "MDIExComma");
    QAction* exportTab = AddEntry(exportMenu, "MDIExTab");
    AddSeparator(file, "xLine13");
    QAction* backup = AddEntry(file, "MDIBackup");
    QAction* restore = AddEntry(file, "MDIRestore");
    captions_.insert(captions_.end(),
                     {{backup, MessageId::BackUpCardMenu}, {restore, MessageId::RestoreCardMenu}});
    connect(backup, &QAction::triggered, this, &MDIMain::MDIBackup_Click);
    connect(restore, &QAction::triggered, this, &MDIMain::MDIRestore_Click);
    AddSeparator(file, "xLine12");
    QAction* comPort = AddEntry(file, "MDISetCom");
    captions_.insert(captions_.end(), {{import->menuAction(), MessageId::ImportMenu},
                                       {importComma, MessageId::CommaSeparatedValuesMenu},
                                       {importTab, MessageId::TabSeparatedValuesMenu},
                                       {exportMenu->menuAction(), MessageId::ExportMenu},
                                       {exportComma, MessageId::CommaSeparatedValuesMenu},
                                       {exportTab, MessageId::TabSeparatedValuesMenu},
                                       {comPort, MessageId::SettingComPortMenu}});
    AddSeparator(file, "xLine4");
    QAction* exit = AddEntry(file, "MDIExit");
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
                [this, command = command] { RunFileCommand(command); });
    }
    // The reader is found by the polling; the entry only looks at the card, as it always did.
    connect(comPort, &QAction::triggered, this, [this] { (void)session_.Gate().CardPresent(); });
    exit->setShortcut(QKeySequence::Quit);
    connect(exit, &QAction::triggered, this, &QWidget::close);
}

void MDIMain::CreateEditMenu() {
    undoGroup_ = new QUndoGroup(this);
    QMenu* edit = AddMenu(this, menuBar(), "MDIEdit");
    captions_.emplace_back(edit->menuAction(), MessageId::EditMenu);
    QAction* undo = AddEntry(edit, "MDIUndo");
    QAction* redo = AddEntry(edit, "MDIRedo");
    captions_.insert(captions_.end(), {{undo, MessageId::UndoMenu}, {redo, MessageId::RedoMenu}});
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(undoGroup_, &QUndoGroup::canUndoChanged, undo, &QAction::setEnabled);
    connect(undoGroup_, &QUndoGroup::canRedoChanged, redo, &QAction::setEnabled);
    connect(undo, &QAction::triggered, undoGroup_, &QUndoGroup::undo);
    connect(redo, &QAction::triggered, undoGroup_, &QUndoGroup::redo);
}

void MDIMain::CreateViewMenu() {
    QMenu* view = AddMenu(this, menuBar(), "MDIView");
    captions_.emplace_back(view->menuAction(), MessageId::ViewMenu);
    const struct {
        const char* name;
        MessageId captionId;
        WindowIndex windowIndex;
    } entries[] = {
        {"MDIMessage", MessageId::SmsRecordMenu, WindowIndex::SmsRec},
        {"MDIPhone", MessageId::PhoneBookMenu, WindowIndex::SimRec},
        {"MDIPerson", MessageId::PersonalRecordMenu, WindowIndex::PersonRec},
        {"MDISim", MessageId::SimCardInformationMenu, WindowIndex::Setting},
    };
    for (const auto& entry : entries) {
        if (entry.windowIndex == WindowIndex::Setting)
            AddSeparator(view, "xLine1");
        QAction* action = AddEntry(view, entry.name);
        captions_.emplace_back(action, entry.captionId);
        connect(action, &QAction::triggered, this,
                [this, index = entry.windowIndex] { Command1_Click(index); });
    }
}

void MDIMain::CreateHelpMenu() {
    QMenu* help = AddMenu(this, menuBar(), "MDIHelp");
    captions_.emplace_back(help->menuAction(), MessageId::HelpMenu);
    QAction* helpEntry = AddEntry(help, "MDIHelpAbout");
    helpEntry->setShortcut(QKeySequence::HelpContents);
    captions_.emplace_back(helpEntry, MessageId::HelpMenu);
    connect(helpEntry, &QAction::triggered, this, &MDIMain::MDIHelpAbout_Click);
    AddSeparator(help, "xLine3");

    QMenu* language = AddSubmenu(help, "MDILanguage", {});
    captions_.emplace_back(language->menuAction(), MessageId::LanguageMenu);
    languages_ = new QActionGroup(this);
    languages_->setExclusive(true);
    for (int k = 0; k < static_cast<int>(languageEntries_.size()); ++k) {
        const QByteArray name = "MDIEnglish_" + QByteArray::number(k);
        QAction* entry = AddEntry(language, name.constData());
        entry->setCheckable(true);
        languages_->addAction(entry);
        captions_.emplace_back(entry, kLanguageNames[static_cast<std::size_t>(k)]);
        connect(entry, &QAction::triggered, this, [this, k] { MenuOption(k); });
        languageEntries_[static_cast<std::size_t>(k)] = entry;
    }
    AddSeparator(help, "XLine5");
    QAction* about = AddEntry(help, "MDIAbout");
    captions_.emplace_back(about, MessageId::AboutMenu);
    connect(about, &QAction::triggered, this, &MDIMain::MDIAbout_Click);
}

void MDIMain::CreateNameMenu() {
    // Kept for the users who know it; its entries have no command.
    QMenu* name = AddMenu(this, menuBar(), "MDIName");
    captions_.emplace_back(name->menuAction(), MessageId::NameMenu);
    captions_.emplace_back(AddEntry(name, "NamePhone"), MessageId::AllPhoneRecordMenu);
    captions_.emplace_back(AddEntry(name, "NameUsefull"), MessageId::UsefulSmsMenu);
    captions_.emplace_back(AddEntry(name, "nameEditPhone"), MessageId::EditPhoneRecordMenu);
}

void MDIMain::ChangeLanguage() {
    setWindowTitle(session_.Text(MessageId::ProgramTitle));
    for (const auto& [action, id] : captions_)
        action->setText(session_.Text(id));
    if (readerState_ != nullptr)
        ShowReaderState();
}

void MDIMain::ShowRecentFiles() {
    recentFiles_->clear();
    const QList<FileHistory::RecentFile> files = FileHistory::Instance().RecentFiles();
    int number = 0;
    for (const FileHistory::RecentFile& file : files) {
        ++number;
        // "&1 name": the number is typed to choose it; an "&" in the name is shown as it is.
        const QString name = QFileInfo(file.path).fileName().replace(u'&', QStringLiteral("&&"));
        QAction* entry = recentFiles_->addAction(QStringLiteral("&%1 %2").arg(number).arg(name));
        entry->setObjectName(QStringLiteral("MDIRecent_%1").arg(number));
        entry->setToolTip(file.path);
        entry->setStatusTip(file.path);
        connect(entry, &QAction::triggered, this,
                [this, file] { OpenRecentFile(file.path, file.windowIndex); });
    }
    recentFiles_->menuAction()->setEnabled(!files.isEmpty());
}

}  // namespace pellucard
