#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QItemSelectionModel>
#include <QSignalSpy>

#include "records/record_copy.h"
#include "records/record_marks.h"
#include "records/record_slots.h"
#include "support/scripted_dialogs.h"
#include "windows/record_list_model.h"

namespace pellucard {
namespace {

constexpr int kMark = 26;

void Fill(RecordList& list, int row, const QString& name, const QString& number) {
    list.SetText(row, 1, name);
    list.SetText(row, 2, number);
}

// QAbstractItemModelTester ends the test at the first broken promise of the model.
TEST(RecordListModel, SatisfiesTheItemModelTesterThroughTheOperations) {
    RecordListModel model(1, 1);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    RecordList& list = model.List();

    list.SetColumns(27);
    ResetList(list, 5);
    list.SetText(0, 1, "Alias");
    Fill(list, 1, "Cid", "3");
    Fill(list, 3, "Ann", "1");
    int used = 3;
    int state = 0;
    CycleMarks(list, used, kMark, "1", state, 1);
    SortRows(list, used, state, 1);

    RecordList other(4, 27);
    Fill(other, 1, "Bob", "2");
    other.SetText(1, kMark, "1");
    ScriptedDialogs dialogs;
    CopyMarkedRows(other, 1, list, used, kMark, "1", 0);
    ResetList(list, 8);
    ResetList(list, 0);
    list.SetColumns(10);
    EXPECT_EQ(model.columnCount(), 9);
}

TEST(RecordListModel, ShowsTitlesAndSlotNumbersAsHeadersAndColoursMarkedRows) {
    RecordListModel model(4, 27);
    model.SetMarkColour(QColor(0xFF, 0xFF, 0xE1));
    RecordList& list = model.List();
    RenumberRows(list, 3);
    list.SetText(0, 2, "Phone");
    Fill(list, 2, "Ann", "123");
    list.SetTag(2, 5);

    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Phone");
    EXPECT_EQ(model.headerData(2, Qt::Vertical).toString(), "3");
    EXPECT_EQ(model.IndexOf(2, 2).data(RecordListModel::RowTagRole).toInt(), 5);

    auto colour = [&](int row) {
        return model.IndexOf(row, 1).data(Qt::BackgroundRole).value<QBrush>().color();
    };
    EXPECT_EQ(colour(2), QColor(Qt::white));
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    int state = 2;
    CycleMarks(list, 3, kMark, "1", state, 1);
    EXPECT_EQ(colour(2), QColor(0xFF, 0xFF, 0xE1));
    EXPECT_EQ(colour(1), QColor(Qt::white));
    ASSERT_EQ(changed.count(), 1);  // one repaint for the whole operation
    // The whole row changes colour, not only its mark cell.
    EXPECT_EQ(changed[0][0].toModelIndex().column(), 0);
    EXPECT_EQ(changed[0][1].toModelIndex().column(), 25);
}

TEST(RecordListModel, AViewKeepsItsCurrentCellAndSelectionAcrossOperations) {
    RecordListModel model(11, 27);
    RecordList& list = model.List();
    RenumberRows(list, 10);
    Fill(list, 1, "Cid", "3");
    Fill(list, 2, "Ann", "1");
    Fill(list, 4, "Bob", "2");
    QItemSelectionModel selection(&model);
    const QModelIndex current = model.IndexOf(3, 2);
    selection.setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
    selection.select(model.IndexOf(5, 1), QItemSelectionModel::Select);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);

    int used = 4;
    int sortState = 0;
    SortRows(list, used, sortState, 1);
    int markState = 2;
    CycleMarks(list, used, kMark, "1", markState, 1);
    ClearMarkedRows(list, used, kMark, "1");
    ResetList(list, 20);

    EXPECT_EQ(selection.currentIndex(), current);
    EXPECT_TRUE(selection.isSelected(model.IndexOf(3, 2)));
    EXPECT_TRUE(selection.isSelected(model.IndexOf(5, 1)));
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(layout.count(), 0);
}

}  // namespace
}  // namespace pellucard
