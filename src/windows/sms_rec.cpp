#include "windows/sms_rec.h"

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

constexpr int kSlotColumnTwips = 450;
constexpr int kLineGapTwips = 12;
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

const RecordWindowKind& SmsKind() {
    static const RecordWindowKind kind{WindowIndex::SmsRec,
                                       MessageId::SimSmsToComputerSms,
                                       MessageId::SimCardSms,
                                       sms_column::kCount,
                                       sms_column::kMark,
                                       sms_column::kFieldCount,
                                       &kSmsFile,
                                       "Command3",
                                       "LTotal",
                                       "LNowRecord",
                                       MessageId::MaxRecord,
                                       30,
                                       QStringLiteral("SMS Record")};
    return kind;
}

bool NoModifier(const QKeyEvent* event) {
    return (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool IsEnter(const QKeyEvent* event) {
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// What one SMS holds: 160 characters of the GSM default alphabet, else 70 UTF-16 units.
int MessageRoomLeft(const QString& text) {
    const SmsTextMeasure measure = MeasureSmsText(text.toStdString());
    return measure.gsmDefault ? kSmsMaxSeptets - measure.septets
                              : kSmsMaxUcs2Bytes / 2 - measure.utf16Units;
}

// The column after or before `column` that the editor moves to; the typed text (2) is
// edited through the shown text (3).
int NextColumn(int column) {
    return column + 1 == sms_column::kText ? column + 2 : column + 1;
}
int PreviousColumn(int column) {
    return column - 1 == sms_column::kText ? column - 2 : column - 1;
}

}  // namespace

// Shows the typed line breaks of the message column and tells which parts of a
// concatenated message a row is.
class SmsListProxy final : public QIdentityProxyModel {
public:
    using RowText = std::function<QString(int row)>;
    SmsListProxy(RowText toolTip, RowText joined, QObject* parent)
        : QIdentityProxyModel(parent), toolTip_(std::move(toolTip)), joined_(std::move(joined)) {}

    QVariant data(const QModelIndex& index, int role) const override {
        const int column = index.column() + 1;
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
};

SMSRec::SMSRec(ShellHost& host, QWidget* parent) : RecordWindow(SmsKind(), host, parent) {
    setObjectName(QStringLiteral("SMSRec"));
    for (int list : {kComputerList, kSimList}) {
        proxy_[list] = new SmsListProxy(
            [this, list](int row) -> QString {
                const auto* entry = store_.Find(List(list).Tag(row));
                if (!entry || !entry->concatenation)
                    return {};
                return Text(MessageId::MessagePartOf)
                    .arg(entry->concatenation->partNumber)
                    .arg(entry->concatenation->partCount)
                    .arg(entry->concatenation->reference);
            },
            [this, list](int row) { return JoinedShownText(list, row); }, this);
        proxy_[list]->setSourceModel(model_[list]);
        grid_[list]->setModel(proxy_[list]);
    }
    Text2->installEventFilter(this);
    HScroll1 = new QScrollBar(Qt::Horizontal, grid_[kComputerList]->viewport());
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setRange(0, 255);
    HScroll1->setInvertedControls(false);  // Right and Page Down lengthen the period
    HScroll1->setFocusPolicy(Qt::StrongFocus);
    HScroll1->hide();
    HScroll1->installEventFilter(this);
    connect(HScroll1, &QScrollBar::valueChanged, this, &SMSRec::HScroll1_Change);
    counter_ = new QLabel(grid_[kComputerList]->viewport());
    counter_->setObjectName(QStringLiteral("LCharsLeft"));
    counter_->setAutoFillBackground(true);
    counter_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    counter_->hide();
    Load();
}

int SMSRec::ExtraLineHeight() const {
    return fontMetrics().height() + Twips(kLineGapTwips);
}

int SMSRec::MessageRowHeight(int lines) const {
    return MinimumRowHeight() + ExtraLineHeight() * std::clamp(lines - 1, 0, kMaxExtraLines);
}

void SMSRec::SetUpColumns(int list) {
    RecordList& records = List(list);
    for (const ShownColumn& shown : kShownColumns)
        records.SetText(0, shown.column, Text(shown.titleId));
    for (int column : {sms_column::kText, sms_column::kValidity, sms_column::kMark})
        grid_[list]->setColumnHidden(column - 1, true);
    counter_->setToolTip(Text(MessageId::CharactersLeft));
    ApplyColumnWidths(list);
}

void SMSRec::ApplyColumnWidths(int list) {
    RecordTable* grid = grid_[list];
    grid->verticalHeader()->setFixedWidth(Twips(kSlotColumnTwips));
    const QFontMetrics metrics = grid->fontMetrics();
    for (const ShownColumn& shown : kShownColumns)
        grid->setColumnWidth(shown.column - 1, metrics.horizontalAdvance(QStringLiteral("   ") +
                                                                         Text(shown.sampleId)));
}

int SMSRec::CardRecordCount() const {
    return CurrentSession().CardInfo.MaxSmsRecords.value_or(0);
}

bool SMSRec::RunRead(TransferRun& run, RecordList& list, int& doneCount) {
    return ReadSms(run, list, CardRecordCount(), doneCount, QDate::currentDate().year());
}

bool SMSRec::RunWrite(TransferRun& run, const RecordList& list, int usedCount) {
    return WriteSms(run, list, CardRecordCount(), usedCount);
}

void SMSRec::AfterRead() {
    iniMSFheight(kSimList, used_[kSimList]);
}

void SMSRec::AfterLoad(int list) {
    iniMSFheight(list, used_[list]);
}

void SMSRec::iniMSFheight(int list, int used) {
    RecordList& records = List(list);
    RecordTable* grid = grid_[list];
    const int width = grid->columnWidth(sms_column::kShown - 1) - 6;
    {
        RecordList::BulkUpdate bulk(records);
        for (int row = 1; row <= used && row < records.Rows(); ++row) {
            const QStringList lines =
                WrapMessage(records.Text(row, sms_column::kText), grid->font(), width);
            records.SetText(row, sms_column::kShown, lines.join(kLineEnd));
        }
    }
    for (int row = 1; row < records.Rows(); ++row) {
        const int lines =
            row <= used
                ? static_cast<int>(records.Text(row, sms_column::kShown).count(kLineEnd)) + 1
                : 1;
        grid->verticalHeader()->resizeSection(row - 1, MessageRowHeight(lines));
    }
    UpdateJoinedMessages(list);
    PlaceEditor();
}

void SMSRec::UpdateJoinedMessages(int list) {
    RecordTable* grid = grid_[list];
    const RecordList& records = List(list);
    const QMap<int, JoinedMessage> before = joined_[list];
    joined_[list] =
        FindJoinedMessages(records, used_[list], store_, sms_column::kAddress, sms_column::kText);
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
            FitMessageRow(list, row);
    }
    for (const int row : joined_[list].keys()) {
        const int lines = static_cast<int>(JoinedShownText(list, row).count(QLatin1Char('\n'))) + 1;
        grid->verticalHeader()->resizeSection(row - 1, MessageRowHeight(lines));
    }
    if (before.keys() != joined_[list].keys())
        List(list).Refresh(1, records.LastSlot());
}

QString SMSRec::JoinedShownText(int list, int row) const {
    const auto found = joined_[list].find(row);
    if (found == joined_[list].end())
        return {};
    const RecordTable* grid = grid_[list];
    return WrapMessage(found->Label() + QLatin1Char(' ') + found->text, grid->font(),
                       grid->columnWidth(sms_column::kShown - 1) - 6)
        .join(QLatin1Char('\n'));
}

const RecordList& SMSRec::OutputList(int list, int& used) {
    // Printing and export give a message sent in parts as the one message it is.
    used = used_[list];
    output_ = std::make_unique<RecordList>(1, Kind().columnCount);
    CopyWithJoinedMessages(List(list), used, joined_[list], {sms_column::kText, sms_column::kShown},
                           *output_);
    return *output_;
}

void SMSRec::FitMessageRow(int list, int row) {
    RecordTable* grid = grid_[list];
    const QStringList lines = WrapMessage(List(list).Text(row, sms_column::kText), grid->font(),
                                          grid->columnWidth(sms_column::kShown - 1) - 6);
    grid->verticalHeader()->resizeSection(row - 1, MessageRowHeight(lines.size()));
}

void SMSRec::initheMessage(int list, int row) {
    RecordList& records = List(list);
    records.SetText(row, sms_column::kTimeStamp, {});
    records.SetText(row, sms_column::kStatus, Text(MessageId::SmsStatusToBeSent));
    const QString centre = CurrentSession().CardInfo.ServiceCentreNumber;
    if (records.Text(row, sms_column::kServiceCentre).isEmpty() && centre != QLatin1String("-"))
        records.SetText(row, sms_column::kServiceCentre, centre);
    if (records.Text(row, sms_column::kValidity).isEmpty()) {
        records.SetText(row, sms_column::kValidity, QString::number(kNewMessageValidity));
        records.SetText(row, sms_column::kValidityText,
                        TrimBlanks(ValidityText(kNewMessageValidity, Language())));
    }
}

// --- The editors ---

void SMSRec::EditMessage(int list) {
    currentList_ = list;
    RecordTable* grid = grid_[list];
    const int row = grid->CurrentRow();
    const int column = grid->CurrentColumn();
    pressRow_[list] = row;
    pressColumn_[list] = column;
    if (row < 1 || column < 1 || column > sms_column::kValidityText)
        return;
    const RecordList& records = List(list);
    switch (column) {
        case sms_column::kAddress:
        case sms_column::kShown:
        case sms_column::kServiceCentre:
            ShowCellEditor(list);
            break;
        case sms_column::kValidityText:
            if ((!records.Text(row, sms_column::kAddress).isEmpty() ||
                 !records.Text(row, sms_column::kShown).isEmpty()) &&
                TrimBlanks(records.Text(row, sms_column::kTimeStamp)).isEmpty()) {
                ShowValidityPicker(list);
            } else {
                grid->setFocus();
                HScroll1->hide();
                pickerList_ = -1;
            }
            break;
        default:
            grid->setFocus();
            break;
    }
}

void SMSRec::SetEditorLimit(int, int column) {
    switch (column) {
        case sms_column::kAddress:
        case sms_column::kServiceCentre:
            Text2->SetLengthLimit(kNumberLimit + 1);
            break;
        case sms_column::kShown:
            Text2->SetLimitCheck([](const QString& text) { return MessageRoomLeft(text) >= 0; });
            break;
        case sms_column::kStatus:
            Text2->SetLengthLimit(4);
            break;
        default:
            Text2->SetLengthLimit(0);
            break;
    }
}

QString SMSRec::CellEditorText(int list, int row, int column) {
    return List(list).Text(row, column == sms_column::kShown ? sms_column::kText : column);
}

void SMSRec::EditorPlaced(int list, int row, int column) {
    const bool message = column == sms_column::kShown;
    Text2->SetMultiLine(message);
    if (message)
        FitMessageRow(list, row);
    if (counter_->parentWidget() != grid_[list]->viewport())
        counter_->setParent(grid_[list]->viewport());
    HScroll1->hide();
    pickerList_ = -1;
}

void SMSRec::OnEditorHidden() {
    counter_->hide();
}

QString SMSRec::CharactersLeft() const {
    if (editList_ < 0 || editColumn_ != sms_column::kShown)
        return {};
    return QString::number(MessageRoomLeft(Text2->Text()));
}

void SMSRec::UpdateCounter() {
    const QString left = CharactersLeft();
    if (left.isEmpty() || Text2->isHidden()) {
        counter_->hide();
        return;
    }
    counter_->setText(left);
    counter_->adjustSize();
    const QRect editor = Text2->geometry();
    QPoint at(editor.right() - counter_->width(), editor.bottom() + 1);
    if (at.y() + counter_->height() > counter_->parentWidget()->height())
        at.setY(editor.top() - counter_->height());
    counter_->move(at);
    counter_->show();
    counter_->raise();
}

void SMSRec::Text2_Change() {
    const int list = editList_;
    if (list < 0)
        return;
    const int row = editRow_;
    const int column = editColumn_;
    RecordList& records = List(list);
    QString text = Text2->Text();
    bool changed = false;
    // A message gets its defaults with its first character; a received message keeps its
    // status and time.
    if (!text.isEmpty() && TrimBlanks(records.Text(row, sms_column::kValidityText)).isEmpty() &&
        TrimBlanks(records.Text(row, sms_column::kTimeStamp)).isEmpty()) {
        initheMessage(list, row);
        changed = true;
    }
    const int stored = column == sms_column::kShown ? sms_column::kText : column;
    if (text != records.Text(row, stored)) {
        if (column == sms_column::kShown) {
            records.SetText(row, sms_column::kText, text);
            RecordTable* grid = grid_[list];
            records.SetText(
                row, sms_column::kShown,
                WrapMessage(text, grid->font(), grid->columnWidth(sms_column::kShown - 1) - 6)
                    .join(kLineEnd));
            FitMessageRow(list, row);
            PlaceEditor();
            changed = true;
        } else if (IsNumberColumn(column)) {
            text = FilterNumberInEditor(text);
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
        CellEdited(list, row);
    TrackLastUsedRow(records, used_[list], text, Kind().fieldCount, row);
    if (changed)
        UpdateJoinedMessages(list);  // an edited part no longer belongs to its message
    UpdateCounter();
}

void SMSRec::MoveTo(int list, int row, int column) {
    if (row < 1 || row > List(list).LastSlot())
        return;
    HideCellEditor();
    HScroll1->hide();
    pickerList_ = -1;
    RecordTable* grid = grid_[list];
    grid->SetCurrentCell(row, column);
    grid->ScrollCellIntoView(row, column);
    grid->setFocus();
    EditMessage(list);
}

bool SMSRec::Text2_KeyDown(QKeyEvent* event) {
    const int list = editList_;
    if (list < 0 || !NoModifier(event))
        return false;
    const int row = editRow_;
    const int column = editColumn_;
    RecordTable* grid = grid_[list];
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        const bool up = event->key() == Qt::Key_Up;
        if (up ? !Text2->CaretOnFirstLine() : !Text2->CaretOnLastLine())
            return false;  // the caret moves within the message
        const int target = up ? row - 1 : row + 1;
        if (target < 1 || target > List(list).LastSlot())
            return true;
        HideCellEditor();
        grid->SetCurrentCell(target, column);
        grid->ScrollCellIntoView(target, column);
        grid->setFocus();
        return true;
    }
    if (IsEnter(event)) {
        if (column == sms_column::kShown)
            return false;  // a new line of the message
        if (column >= sms_column::kValidityText)
            MoveTo(list, row + 1, sms_column::kAddress);
        else
            MoveTo(list, row, NextColumn(column));
        return true;
    }
    return false;
}

void SMSRec::Text2_KeyUp(QKeyEvent* event) {
    const int list = editList_;
    if (list < 0 || !NoModifier(event))
        return;
    const int column = editColumn_;
    if (event->key() == Qt::Key_Left && Text2->CaretPosition() == 0 && column > 1)
        MoveTo(list, editRow_, PreviousColumn(column));
    else if (event->key() == Qt::Key_Right &&
             Text2->CaretPosition() == Text2->toPlainText().size() &&
             column < sms_column::kValidityText)
        MoveTo(list, editRow_, NextColumn(column));
}

void SMSRec::ShowValidityPicker(int list) {
    HideCellEditor();
    CurrentSession().Yield();
    RecordTable* grid = grid_[list];
    const int row = grid->CurrentRow();
    if (row < 1 || grid->CurrentColumn() != sms_column::kValidityText)
        return;
    if (HScroll1->parentWidget() != grid->viewport())
        HScroll1->setParent(grid->viewport());
    HScroll1->setGeometry(grid->CellRect(row, sms_column::kValidityText));
    pickerList_ = list;
    pickerRow_ = row;
    pickerKey_ = NewEditKey();
    lastKey_ = 0;
    RecordList& records = List(list);
    const QString code = TrimBlanks(records.Text(row, sms_column::kValidity));
    if (!code.isEmpty()) {
        // Shows the code as it stands; only moving the slider changes the message.
        const QSignalBlocker quiet(HScroll1);
        HScroll1->setValue(code.toInt());
        records.SetText(row, sms_column::kValidityText,
                        TrimBlanks(ValidityText(HScroll1->value(), Language())));
    }
    HScroll1->show();
    HScroll1->raise();
    HScroll1->setFocus(Qt::OtherFocusReason);
}

void SMSRec::HScroll1_Change(int value) {
    const int list = pickerList_;
    if (list < 0 || lastKey_ == Qt::Key_Up || lastKey_ == Qt::Key_Down)
        return;
    RecordList& records = List(list);
    const int row = pickerRow_;
    if (records.Text(row, sms_column::kAddress).isEmpty() &&
        records.Text(row, sms_column::kShown).isEmpty())
        return;
    // The moves of one stay of the picker on a message are one undo step.
    const ListState before = CaptureList(list);
    records.SetText(row, sms_column::kValidity, QString::number(value));
    records.SetText(row, sms_column::kValidityText, TrimBlanks(ValidityText(value, Language())));
    CellEdited(list, row);
    RecordChange(list, before, pickerKey_);
}

bool SMSRec::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text2) {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
            event->type() == QEvent::Show || event->type() == QEvent::Hide)
            UpdateCounter();
        return false;
    }
    if (watched != HScroll1)
        return RecordWindow::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        HScroll1->hide();
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
        MoveTo(list, row - 1, sms_column::kValidityText);
        return true;
    }
    if (key->key() == Qt::Key_Down) {
        MoveTo(list, row + 1, sms_column::kValidityText);
        return true;
    }
    if (IsEnter(key)) {
        MoveTo(list, row + 1, sms_column::kAddress);
        return true;
    }
    return false;
}

int SMSRec::FoundEditColumn(int column) const {
    if (column == sms_column::kShown)
        return 0;  // the same words as the typed text, found there already
    return column == sms_column::kText ? sms_column::kShown : column;
}

bool SMSRec::IsNumberColumn(int column) const {
    return column == sms_column::kAddress || column == sms_column::kServiceCentre;
}

// --- The SMS record text form of the clipboard ---

QString SMSRec::ClipboardText(int list) const {
    const RecordList& records = model_[list]->List();
    // A message sent in parts goes as the one message it is, with the first part's fields.
    QSet<int> folded;
    for (const JoinedMessage& message : joined_[list]) {
        for (int i = 1; i < message.rows.size(); ++i)
            folded.insert(message.rows[i]);
    }
    QString text;
    for (int row = 1; row <= UsedCount(list); ++row) {
        if (!model_[list]->IsMarked(row) || folded.contains(row))
            continue;
        const auto joined = joined_[list].find(row);
        for (const int column : kClipboardColumns) {
            const int titleColumn = column == sms_column::kText ? sms_column::kShown : column;
            text += records.Text(0, titleColumn) + QStringLiteral(":") + kLineEnd;
            const bool joinedText = column == sms_column::kText && joined != joined_[list].end();
            text += (joinedText ? joined->text : records.Text(row, column)) + kLineEnd;
        }
    }
    return text;
}

void SMSRec::DisplayInGrid(int list, const QString& text, int& used) {
    RecordList& records = List(list);
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
        const QString validity = TrimBlanks(records.Text(used, sms_column::kValidityText));
        records.SetText(used, sms_column::kValidity, {});
        for (int v = 0; v <= 255 && !validity.isEmpty(); ++v) {
            if (TrimBlanks(ValidityText(v, Language())) == validity) {
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
