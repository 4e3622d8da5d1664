#include "windows/sms_window.h"

#include <QDate>
#include <QEvent>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QSet>

#include <functional>

#include "catalogue/catalogue.h"
#include "engine/gsm7.h"
#include "engine/sms_record.h"
#include "records/record_slots.h"
#include "shell/session.h"
#include "windows/cell_editor.h"
#include "windows/message_wrap.h"
#include "windows/record_columns.h"
#include "windows/record_list_model.h"
#include "windows/sms_fields.h"

namespace pellucard {

namespace {

constexpr int kSlotColumnWidth = 30;  // pixels
constexpr int kLineGap = 1;           // pixels between the lines of a message
constexpr int kMaxExtraLines = 6;
constexpr int kNumberLimit = 20;
const QString kLineEnd = QStringLiteral("\r\n");

// The title and the sample text that sizes each shown column.
struct ShownColumn {
    int column;
    MessageId titleId;
    MessageId sampleId;
};
constexpr ShownColumn kShownColumns[] = {
    {sms_column::kAddress, MessageId::SourceDestinationTitle, MessageId::NumberWidthMask},
    {sms_column::kShown, MessageId::MessageTitle, MessageId::TextWidthMask},
    {sms_column::kStatus, MessageId::StatusTitle, MessageId::SmsStatusToBeSent},
    {sms_column::kTimeStamp, MessageId::IncomingTimeTitle, MessageId::TimeStampWidthMask},
    {sms_column::kServiceCentre, MessageId::ServiceCentreAddressTitle, MessageId::NumberWidthMask},
    {sms_column::kValidityText, MessageId::ValidityPeriodTitle, MessageId::ValidityWidthMask},
};
// The fields of the SMS record text form, in order; the text goes under the shown column's
// title.
constexpr int kClipboardColumns[] = {sms_column::kAddress,       sms_column::kText,
                                     sms_column::kStatus,        sms_column::kTimeStamp,
                                     sms_column::kServiceCentre, sms_column::kValidityText};

const RecordWindowKind& smsKind() {
    static const RecordWindowKind kind{WindowIndex::Sms,
                                       MessageId::SimSmsToComputerSms,
                                       MessageId::SimCardSms,
                                       sms_column::kCount,
                                       sms_column::kMark,
                                       sms_column::kFieldCount,
                                       &kSmsFile,
                                       "readButton",
                                       "recordCountLabel",
                                       "lastReadLabel",
                                       MessageId::MaxRecord,
                                       2,
                                       QStringLiteral("SMS Record")};
    return kind;
}

bool noModifier(const QKeyEvent* event) {
    return (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool isEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// What one SMS holds: 160 characters of the GSM default alphabet, else 70 UTF-16 units.
int messageRoomLeft(const QString& text) {
    const SmsTextMeasure measure = MeasureSmsText(text.toStdString());
    return measure.gsmDefault ? kSmsMaxSeptets - measure.septets
                              : kSmsMaxUcs2Bytes / 2 - measure.utf16Units;
}

// The column after or before `column` that the editor moves to; the typed text (2) is
// edited through the shown text (3).
int nextColumn(int column) {
    return column + 1 == sms_column::kText ? column + 2 : column + 1;
}
int previousColumn(int column) {
    return column - 1 == sms_column::kText ? column - 2 : column - 1;
}

// The validity period of a row in language `languageIndex`: the text of its code, or what
// the row holds when it has no code.
QString shownValidityText(const RecordList& records, int row, int languageIndex) {
    bool number = false;
    const int code = TrimBlanks(records.Text(row, sms_column::kValidity)).toInt(&number);
    const QString text = number ? TrimBlanks(validityText(code, languageIndex)) : QString();
    return text.isEmpty() ? records.Text(row, sms_column::kValidityText) : text;
}

}  // namespace

// Shows the typed line breaks of the message column and tells which parts of a
// concatenated message a row is.
class SmsListProxy final : public QIdentityProxyModel {
public:
    using RowText = std::function<QString(int row)>;
    using Language = std::function<int()>;
    SmsListProxy(RowText toolTip, RowText joined, Language language, QObject* parent)
        : QIdentityProxyModel(parent),
          toolTip_(std::move(toolTip)),
          joined_(std::move(joined)),
          language_(std::move(language)) {}

    QVariant data(const QModelIndex& index, int role) const override {
        const int column = index.column() + 1;
        // The status is stored in English, the validity period as its code beside the text
        // of the language it was set in: both are shown in the language in force.
        if (role == Qt::DisplayRole && column == sms_column::kStatus)
            return smsStatusShown(QIdentityProxyModel::data(index, role).toString(), language_());
        if (role == Qt::DisplayRole && column == sms_column::kValidityText) {
            const auto* source = static_cast<const RecordListModel*>(sourceModel());
            return shownValidityText(source->List(), index.row() + 1, language_());
        }
        if (role == Qt::DisplayRole && column == sms_column::kShown) {
            const QString joined = joined_(index.row() + 1);
            if (!joined.isEmpty())
                return joined;
            QString text = QIdentityProxyModel::data(index, role).toString();
            return text.replace(kLineEnd, QStringLiteral("\n"));
        }
        if (role == Qt::ToolTipRole && column == sms_column::kShown) {
            const QString tip = toolTip_(index.row() + 1);
            if (!tip.isEmpty())
                return tip;
        }
        return QIdentityProxyModel::data(index, role);
    }

private:
    RowText toolTip_;
    RowText joined_;
    Language language_;
};

SmsWindow::SmsWindow(ShellHost& host, QWidget* parent) : RecordWindow(smsKind(), host, parent) {
    setObjectName(QStringLiteral("smsWindow"));
    for (int list : {kComputerList, kSimList}) {
        proxy_[list] = new SmsListProxy(
            [this, list](int row) -> QString {
                const auto* entry = store_.find(recordList(list).Tag(row));
                if (!entry || !entry->concatenation)
                    return {};
                return text(MessageId::MessagePartOf)
                    .arg(entry->concatenation->partNumber)
                    .arg(entry->concatenation->partCount)
                    .arg(entry->concatenation->reference);
            },
            [this, list](int row) { return joinedShownText(list, row); },
            [this] { return language(); }, this);
        proxy_[list]->setSourceModel(model_[list]);
        grid_[list]->setModel(proxy_[list]);
    }
    cellEditor_->installEventFilter(this);
    validityPicker_ = new QScrollBar(Qt::Horizontal, grid_[kComputerList]->viewport());
    validityPicker_->setObjectName(QStringLiteral("validityPicker"));
    validityPicker_->setRange(0, 255);
    validityPicker_->setInvertedControls(false);  // Right and Page Down lengthen the period
    validityPicker_->setFocusPolicy(Qt::StrongFocus);
    validityPicker_->hide();
    validityPicker_->installEventFilter(this);
    connect(validityPicker_, &QScrollBar::valueChanged, this, &SmsWindow::setValidityFromPicker);
    counter_ = new QLabel(grid_[kComputerList]->viewport());
    counter_->setObjectName(QStringLiteral("charactersLeft"));
    counter_->setAutoFillBackground(true);
    counter_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    counter_->hide();
    setUpWindow();
}

int SmsWindow::extraLineHeight() const {
    return fontMetrics().height() + kLineGap;
}

int SmsWindow::messageRowHeight(int lines) const {
    return minimumRowHeight() + extraLineHeight() * std::clamp(lines - 1, 0, kMaxExtraLines);
}

void SmsWindow::setUpColumns(int list) {
    RecordList& records = recordList(list);
    for (const ShownColumn& shown : kShownColumns)
        records.SetText(0, shown.column, text(shown.titleId));
    for (int column : {sms_column::kText, sms_column::kValidity, sms_column::kMark})
        grid_[list]->setColumnHidden(column - 1, true);
    counter_->setToolTip(text(MessageId::CharactersLeft));
    applyColumnWidths(list);
    records.Refresh(1, records.LastSlot());  // the status words are shown in the new language
}

void SmsWindow::applyColumnWidths(int list) {
    RecordTable* grid = grid_[list];
    grid->verticalHeader()->setFixedWidth(kSlotColumnWidth);
    const QFontMetrics metrics = grid->fontMetrics();
    for (const ShownColumn& shown : kShownColumns)
        grid->setColumnWidth(shown.column - 1, metrics.horizontalAdvance(QStringLiteral("   ") +
                                                                         text(shown.sampleId)));
    // The status column takes the widest of the four words in the language in force.
    int statusWidth = grid->columnWidth(sms_column::kStatus - 1);
    for (int status : {kSmsRead, kSmsToBeRead, kSmsSent, kSmsToBeSent})
        statusWidth =
            std::max(statusWidth,
                     metrics.horizontalAdvance(QStringLiteral("   ") +
                                               smsStatusShown(smsStatusText(status), language())));
    grid->setColumnWidth(sms_column::kStatus - 1, statusWidth);
}

int SmsWindow::cardRecordCount() const {
    return currentSession().cardInfo().MaxSmsRecords.value_or(0);
}

bool SmsWindow::runRead(TransferRun& run, RecordList& list, int& doneCount) {
    return readSms(run, list, cardRecordCount(), doneCount, QDate::currentDate().year());
}

bool SmsWindow::runWrite(TransferRun& run, const RecordList& list, int usedCount) {
    return writeSms(run, list, cardRecordCount(), usedCount);
}

void SmsWindow::afterRead() {
    updateMessageRowHeights(kSimList, used_[kSimList]);
}

void SmsWindow::afterLoad(int list) {
    updateMessageRowHeights(list, used_[list]);
}

void SmsWindow::updateMessageRowHeights(int list, int used) {
    RecordList& records = recordList(list);
    RecordTable* grid = grid_[list];
    const int width = grid->columnWidth(sms_column::kShown - 1) - 6;
    {
        RecordList::BulkUpdate bulk(records);
        for (int row = 1; row <= used && row < records.Rows(); ++row) {
            const QStringList lines =
                wrapMessage(records.Text(row, sms_column::kText), grid->font(), width);
            records.SetText(row, sms_column::kShown, lines.join(kLineEnd));
        }
    }
    for (int row = 1; row < records.Rows(); ++row) {
        const int lines =
            row <= used
                ? static_cast<int>(records.Text(row, sms_column::kShown).count(kLineEnd)) + 1
                : 1;
        grid->verticalHeader()->resizeSection(row - 1, messageRowHeight(lines));
    }
    updateJoinedMessages(list);
    placeEditor();
}

void SmsWindow::updateJoinedMessages(int list) {
    RecordTable* grid = grid_[list];
    const RecordList& records = recordList(list);
    const QMap<int, JoinedMessage> before = joined_[list];
    joined_[list] =
        findJoinedMessages(records, used_[list], store_, sms_column::kAddress, sms_column::kText);
    QSet<int> folded;
    for (const JoinedMessage& message : std::as_const(joined_[list])) {
        for (int i = 1; i < message.rows.size(); ++i)
            folded.insert(message.rows[i]);
    }
    for (int row = 1; row < records.Rows(); ++row) {
        if (grid->isRowHidden(row - 1) != folded.contains(row))
            grid->setRowHidden(row - 1, folded.contains(row));
    }
    // Rows that were the first part of a joined message and no longer are show their own text.
    for (const int row : before.keys()) {
        if (!joined_[list].contains(row))
            fitMessageRow(list, row);
    }
    for (const int row : joined_[list].keys()) {
        const int lines = static_cast<int>(joinedShownText(list, row).count(QLatin1Char('\n'))) + 1;
        grid->verticalHeader()->resizeSection(row - 1, messageRowHeight(lines));
    }
    if (before.keys() != joined_[list].keys())
        recordList(list).Refresh(1, records.LastSlot());
}

QString SmsWindow::joinedShownText(int list, int row) const {
    const auto found = joined_[list].find(row);
    if (found == joined_[list].end())
        return {};
    const RecordTable* grid = grid_[list];
    return wrapMessage(found->label() + QLatin1Char(' ') + found->text, grid->font(),
                       grid->columnWidth(sms_column::kShown - 1) - 6)
        .join(QLatin1Char('\n'));
}

const RecordList& SmsWindow::outputList(int list, int& used) {
    // Printing and export give a message sent in parts as the one message it is.
    used = used_[list];
    output_ = std::make_unique<RecordList>(1, kind().columnCount);
    copyWithJoinedMessages(recordList(list), used, joined_[list],
                           {sms_column::kText, sms_column::kShown}, *output_);
    return *output_;
}

void SmsWindow::showStoredWords(RecordList& records) const {
    RecordList::BulkUpdate bulk(records);
    for (int row = 1; row < records.Rows(); ++row) {
        records.SetText(row, sms_column::kStatus,
                        smsStatusShown(records.Text(row, sms_column::kStatus), language()));
        records.SetText(row, sms_column::kValidityText,
                        shownValidityText(records, row, language()));
    }
}

const RecordList& SmsWindow::printedList(int list, int& used) {
    outputList(list, used);
    showStoredWords(*output_);  // the copy says what the window shows
    return *output_;
}

const RecordList& SmsWindow::findList(int list) {
    // Find looks for the words the window shows: "Gelesen" finds a message read in German.
    const RecordList& records = recordList(list);
    searched_ = std::make_unique<RecordList>(records.Rows(), records.Columns());
    for (int row = 0; row < records.Rows(); ++row)
        searched_->SetRow(row, records.Row(row));
    showStoredWords(*searched_);
    return *searched_;
}

void SmsWindow::fitMessageRow(int list, int row) {
    RecordTable* grid = grid_[list];
    const QStringList lines =
        wrapMessage(recordList(list).Text(row, sms_column::kText), grid->font(),
                    grid->columnWidth(sms_column::kShown - 1) - 6);
    grid->verticalHeader()->resizeSection(row - 1, messageRowHeight(lines.size()));
}

void SmsWindow::initNewMessage(int list, int row) {
    RecordList& records = recordList(list);
    records.SetText(row, sms_column::kTimeStamp, {});
    // Stored in English whatever the language, as the files and the write run have it.
    records.SetText(row, sms_column::kStatus, smsStatusText(kSmsToBeSent));
    const QString centre = QString::fromStdString(currentSession().cardInfo().ServiceCentreNumber);
    if (records.Text(row, sms_column::kServiceCentre).isEmpty() && centre != QLatin1String("-"))
        records.SetText(row, sms_column::kServiceCentre, centre);
    if (records.Text(row, sms_column::kValidity).isEmpty()) {
        records.SetText(row, sms_column::kValidity, QString::number(kNewMessageValidity));
        records.SetText(row, sms_column::kValidityText,
                        TrimBlanks(validityText(kNewMessageValidity, language())));
    }
}

// --- The editors ---

void SmsWindow::editMessage(int list) {
    currentList_ = list;
    RecordTable* grid = grid_[list];
    const int row = grid->currentRow();
    const int column = grid->currentColumn();
    pressRow_[list] = row;
    pressColumn_[list] = column;
    if (row < 1 || column < 1 || column > sms_column::kValidityText)
        return;
    const RecordList& records = recordList(list);
    switch (column) {
        case sms_column::kAddress:
        case sms_column::kShown:
        case sms_column::kServiceCentre:
            showCellEditor(list);
            break;
        case sms_column::kValidityText:
            if ((!records.Text(row, sms_column::kAddress).isEmpty() ||
                 !records.Text(row, sms_column::kShown).isEmpty()) &&
                TrimBlanks(records.Text(row, sms_column::kTimeStamp)).isEmpty()) {
                showValidityPicker(list);
            } else {
                grid->setFocus();
                validityPicker_->hide();
                pickerList_ = -1;
            }
            break;
        default:
            grid->setFocus();
            break;
    }
}

void SmsWindow::setEditorLimit(int, int column) {
    switch (column) {
        case sms_column::kAddress:
        case sms_column::kServiceCentre:
            cellEditor_->setLengthLimit(kNumberLimit + 1);
            break;
        case sms_column::kShown:
            cellEditor_->setLimitCheck(
                [](const QString& text) { return messageRoomLeft(text) >= 0; });
            break;
        case sms_column::kStatus:
            cellEditor_->setLengthLimit(4);
            break;
        default:
            cellEditor_->setLengthLimit(0);
            break;
    }
}

QString SmsWindow::cellEditorText(int list, int row, int column) {
    return recordList(list).Text(row, column == sms_column::kShown ? sms_column::kText : column);
}

void SmsWindow::editorPlaced(int list, int row, int column) {
    const bool message = column == sms_column::kShown;
    cellEditor_->setMultiLine(message);
    if (message)
        fitMessageRow(list, row);
    if (counter_->parentWidget() != grid_[list]->viewport())
        counter_->setParent(grid_[list]->viewport());
    validityPicker_->hide();
    pickerList_ = -1;
}

void SmsWindow::onEditorHidden() {
    counter_->hide();
}

QString SmsWindow::charactersLeft() const {
    if (editList_ < 0 || editColumn_ != sms_column::kShown)
        return {};
    return QString::number(messageRoomLeft(cellEditor_->text()));
}

void SmsWindow::updateCounter() {
    const QString left = charactersLeft();
    if (left.isEmpty() || cellEditor_->isHidden()) {
        counter_->hide();
        return;
    }
    counter_->setText(left);
    counter_->adjustSize();
    const QRect editor = cellEditor_->geometry();
    QPoint at(editor.right() - counter_->width(), editor.bottom() + 1);
    if (at.y() + counter_->height() > counter_->parentWidget()->height())
        at.setY(editor.top() - counter_->height());
    counter_->move(at);
    counter_->show();
    counter_->raise();
}

void SmsWindow::editorTextChanged() {
    const int list = editList_;
    if (list < 0)
        return;
    const int row = editRow_;
    const int column = editColumn_;
    RecordList& records = recordList(list);
    QString text = cellEditor_->text();
    bool changed = false;
    // A message gets its defaults with its first character; a received message keeps its
    // status and time.
    if (!text.isEmpty() && TrimBlanks(records.Text(row, sms_column::kValidityText)).isEmpty() &&
        TrimBlanks(records.Text(row, sms_column::kTimeStamp)).isEmpty()) {
        initNewMessage(list, row);
        changed = true;
    }
    const int stored = column == sms_column::kShown ? sms_column::kText : column;
    if (text != records.Text(row, stored)) {
        if (column == sms_column::kShown) {
            records.SetText(row, sms_column::kText, text);
            RecordTable* grid = grid_[list];
            records.SetText(
                row, sms_column::kShown,
                wrapMessage(text, grid->font(), grid->columnWidth(sms_column::kShown - 1) - 6)
                    .join(kLineEnd));
            fitMessageRow(list, row);
            placeEditor();
            changed = true;
        } else if (isNumberColumn(column)) {
            text = filterNumberInEditor(text);
            if (text != records.Text(row, column)) {
                records.SetText(row, column, text);
                changed = true;
            }
        } else {
            records.SetText(row, column, text);
            changed = true;
        }
    }
    if (changed)
        cellEdited(list, row);
    TrackLastUsedRow(records, used_[list], text, kind().fieldCount, row);
    if (changed)
        updateJoinedMessages(list);  // an edited part no longer belongs to its message
    updateCounter();
}

void SmsWindow::moveTo(int list, int row, int column) {
    if (row < 1 || row > recordList(list).LastSlot())
        return;
    hideCellEditor();
    validityPicker_->hide();
    pickerList_ = -1;
    RecordTable* grid = grid_[list];
    grid->setCurrentCell(row, column);
    grid->scrollCellIntoView(row, column);
    grid->setFocus();
    editMessage(list);
}

bool SmsWindow::editorKeyPressed(QKeyEvent* event) {
    const int list = editList_;
    if (list < 0 || !noModifier(event))
        return false;
    const int row = editRow_;
    const int column = editColumn_;
    RecordTable* grid = grid_[list];
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        const bool up = event->key() == Qt::Key_Up;
        if (up ? !cellEditor_->caretOnFirstLine() : !cellEditor_->caretOnLastLine())
            return false;  // the caret moves within the message
        const int target = up ? row - 1 : row + 1;
        if (target < 1 || target > recordList(list).LastSlot())
            return true;
        hideCellEditor();
        grid->setCurrentCell(target, column);
        grid->scrollCellIntoView(target, column);
        grid->setFocus();
        return true;
    }
    if (isEnter(event)) {
        if (column == sms_column::kShown)
            return false;  // a new line of the message
        if (column >= sms_column::kValidityText)
            moveTo(list, row + 1, sms_column::kAddress);
        else
            moveTo(list, row, nextColumn(column));
        return true;
    }
    return false;
}

void SmsWindow::editorKeyReleased(QKeyEvent* event) {
    const int list = editList_;
    if (list < 0 || !noModifier(event))
        return;
    const int column = editColumn_;
    if (event->key() == Qt::Key_Left && cellEditor_->caretPosition() == 0 && column > 1)
        moveTo(list, editRow_, previousColumn(column));
    else if (event->key() == Qt::Key_Right &&
             cellEditor_->caretPosition() == cellEditor_->toPlainText().size() &&
             column < sms_column::kValidityText)
        moveTo(list, editRow_, nextColumn(column));
}

void SmsWindow::showValidityPicker(int list) {
    hideCellEditor();
    currentSession().yield();
    RecordTable* grid = grid_[list];
    const int row = grid->currentRow();
    if (row < 1 || grid->currentColumn() != sms_column::kValidityText)
        return;
    if (validityPicker_->parentWidget() != grid->viewport())
        validityPicker_->setParent(grid->viewport());
    validityPicker_->setGeometry(grid->cellRect(row, sms_column::kValidityText));
    pickerList_ = list;
    pickerRow_ = row;
    pickerKey_ = newEditKey();
    lastKey_ = 0;
    RecordList& records = recordList(list);
    const QString code = TrimBlanks(records.Text(row, sms_column::kValidity));
    if (!code.isEmpty()) {
        // Shows the code as it stands; only moving the slider changes the message.
        const QSignalBlocker quiet(validityPicker_);
        validityPicker_->setValue(code.toInt());
        records.SetText(row, sms_column::kValidityText,
                        TrimBlanks(validityText(validityPicker_->value(), language())));
    }
    validityPicker_->show();
    validityPicker_->raise();
    validityPicker_->setFocus(Qt::OtherFocusReason);
}

void SmsWindow::setValidityFromPicker(int value) {
    const int list = pickerList_;
    if (list < 0 || lastKey_ == Qt::Key_Up || lastKey_ == Qt::Key_Down)
        return;
    RecordList& records = recordList(list);
    const int row = pickerRow_;
    if (records.Text(row, sms_column::kAddress).isEmpty() &&
        records.Text(row, sms_column::kShown).isEmpty())
        return;
    // The moves of one stay of the picker on a message are one undo step.
    const ListState before = captureList(list);
    records.SetText(row, sms_column::kValidity, QString::number(value));
    records.SetText(row, sms_column::kValidityText, TrimBlanks(validityText(value, language())));
    cellEdited(list, row);
    recordChange(list, before, pickerKey_);
}

bool SmsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cellEditor_) {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
            event->type() == QEvent::Show || event->type() == QEvent::Hide)
            updateCounter();
        return false;
    }
    if (watched != validityPicker_)
        return RecordWindow::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        validityPicker_->hide();
        pickerList_ = -1;
        return false;
    }
    if (event->type() != QEvent::KeyPress || pickerList_ < 0)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    lastKey_ = key->key();
    const int list = pickerList_;
    const int row = pickerRow_;
    if (key->key() == Qt::Key_Up) {
        moveTo(list, row - 1, sms_column::kValidityText);
        return true;
    }
    if (key->key() == Qt::Key_Down) {
        moveTo(list, row + 1, sms_column::kValidityText);
        return true;
    }
    if (isEnter(key)) {
        moveTo(list, row + 1, sms_column::kAddress);
        return true;
    }
    return false;
}

int SmsWindow::foundEditColumn(int column) const {
    if (column == sms_column::kShown)
        return 0;  // the same words as the typed text, found there already
    return column == sms_column::kText ? sms_column::kShown : column;
}

bool SmsWindow::isNumberColumn(int column) const {
    return column == sms_column::kAddress || column == sms_column::kServiceCentre;
}

// --- The SMS record text form of the clipboard ---

QString SmsWindow::clipboardText(int list) const {
    const RecordList& records = model_[list]->List();
    // A message sent in parts goes as the one message it is, with the first part's fields.
    QSet<int> folded;
    for (const JoinedMessage& message : joined_[list]) {
        for (int i = 1; i < message.rows.size(); ++i)
            folded.insert(message.rows[i]);
    }
    QString text;
    for (int row = 1; row <= usedCount(list); ++row) {
        if (!model_[list]->IsMarked(row) || folded.contains(row))
            continue;
        const auto joined = joined_[list].find(row);
        for (const int column : kClipboardColumns) {
            const int titleColumn = column == sms_column::kText ? sms_column::kShown : column;
            text += records.Text(0, titleColumn) + QStringLiteral(":") + kLineEnd;
            const bool joinedText = column == sms_column::kText && joined != joined_[list].end();
            QString value = joinedText ? joined->text : records.Text(row, column);
            if (column == sms_column::kStatus)
                value = smsStatusShown(value, language());  // in the words of the titles
            text += value + kLineEnd;
        }
    }
    return text;
}

QString SmsWindow::cellTextToCopy(int list, int row, int column) const {
    if (column != sms_column::kShown)
        return RecordWindow::cellTextToCopy(list, row, column);
    // The message as typed, not as the column wraps it; a message sent in parts whole.
    const auto joined = joined_[list].find(row);
    if (joined != joined_[list].end())
        return joined->text;
    return RecordWindow::cellTextToCopy(list, row, sms_column::kText);
}

void SmsWindow::appendClipboardRecords(int list, const QString& text, int& used) {
    RecordList& records = recordList(list);
    QStringList lines = text.split(kLineEnd);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();  // the end of the last line
    constexpr int kFields = static_cast<int>(std::size(kClipboardColumns));
    auto titleOf = [&records](int field) {
        const int column = kClipboardColumns[field];
        return records.Text(0, column == sms_column::kText ? sms_column::kShown : column) +
               QStringLiteral(":");
    };
    QStringList values;
    int current = -1;  // the field being read, -1 before the first title
    auto store = [&] {
        if (values.isEmpty() || used >= records.Rows() - 1)
            return;
        ++used;
        for (int field = 0; field < kFields; ++field)
            records.SetText(used, kClipboardColumns[field],
                            field < values.size() ? values[field] : QString());
        records.SetText(used, sms_column::kStatus,
                        smsStatusStored(records.Text(used, sms_column::kStatus)));
        const QString validity = TrimBlanks(records.Text(used, sms_column::kValidityText));
        records.SetText(used, sms_column::kValidity, {});
        for (int v = 0; v <= 255 && !validity.isEmpty(); ++v) {
            if (TrimBlanks(validityText(v, language())) == validity) {
                records.SetText(used, sms_column::kValidity, QString::number(v));
                break;
            }
        }
        values.clear();
    };
    RecordList::BulkUpdate bulk(records);
    QStringList fieldLines;
    for (const QString& line : lines) {
        const int next = current + 1 < kFields ? current + 1 : 0;
        if (line.compare(titleOf(next), Qt::CaseInsensitive) == 0) {
            if (current >= 0)
                values.append(fieldLines.join(kLineEnd));
            fieldLines.clear();
            if (next == 0)
                store();
            current = next;
            continue;
        }
        if (current >= 0)
            fieldLines.append(line);
    }
    if (current >= 0) {
        values.append(fieldLines.join(kLineEnd));
        store();
    }
}

}  // namespace pellucard
