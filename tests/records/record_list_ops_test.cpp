#include <gtest/gtest.h>
#include <QCollator>
#include <QLocale>

#include <tuple>

#include "records/number_filter.h"
#include "records/record_copy.h"
#include "records/record_find.h"
#include "records/record_marks.h"
#include "records/record_slots.h"
#include "support/scripted_dialogs.h"

namespace pellucard {
namespace {

constexpr int kMark = 26;
const QString kMarked = QStringLiteral("1");

// A phone book list (27 columns, mark column 26) of `slotCount` numbered slots whose slot i
// holds the name and number given for it; an empty name and number leave it empty.
struct PhoneList {
    explicit PhoneList(int slotCount, QList<std::pair<QString, QString>> entries = {})
        : list(slotCount + 1, 27) {
        RenumberRows(list, slotCount);
        for (int i = 0; i < entries.size(); ++i) {
            list.SetText(i + 1, 1, entries[i].first);
            list.SetText(i + 1, 2, entries[i].second);
        }
    }
    void Mark(std::initializer_list<int> rows) {
        for (int row : rows) {
            list.SetText(row, kMark, kMarked);
        }
    }
    QList<int> Marked() const {
        QList<int> rows;
        for (int row = 1; row <= list.LastSlot(); ++row) {
            if (list.Text(row, kMark) == kMarked) {
                rows.append(row);
            }
        }
        return rows;
    }
    QStringList Names(int count) const {
        QStringList names;
        for (int row = 1; row <= count; ++row) {
            names.append(list.Text(row, 1));
        }
        return names;
    }
    RecordList list;
};

TEST(CycleMarks, CornerClicksInvertInvertBackMarkAllInvert) {
    PhoneList phone(4, {{"Ann", "1"}, {"", ""}, {"Cid", "3"}});
    phone.Mark({2});  // an empty slot never keeps a mark
    int state = 0;
    for (int round = 0; round < 2; ++round) {
        CycleMarks(phone.list, 3, kMark, kMarked, state, 1);
        EXPECT_EQ(phone.Marked(), (QList<int>{1, 3}));
        EXPECT_EQ(state, 1);
        CycleMarks(phone.list, 3, kMark, kMarked, state, 1);
        EXPECT_EQ(phone.Marked(), QList<int>{});
        EXPECT_EQ(state, 2);
    }

    phone.Mark({1});
    state = 100;
    CycleMarks(phone.list, 3, kMark, kMarked, state, 1);
    EXPECT_EQ(phone.Marked(), QList<int>{});
    EXPECT_EQ(state, 1);
}

TEST(MarkRange, MarksInsideTheBlockAndUnmarksOutsideExceptTheExcludedRow) {
    PhoneList phone(6);
    phone.Mark({1, 2, 6});
    MarkRange(phone.list, 6, kMark, kMarked, 1, 4, 3, 6);  // block given bottom-up
    EXPECT_EQ(phone.Marked(), (QList<int>{3, 4, 6}));
}

TEST(CopyMarkedRows, RefusesDuplicatesIgnoringCaseNeverEmptyRowsAndPasteFollowsTheSameRule) {
    ScriptedDialogs dialogs;
    PhoneList sim(5, {{"Ann", "111"}, {"", ""}, {"bob", "222"}, {"Cid", "333"}});
    sim.list.SetTag(4, 77);
    sim.Mark({1, 2, 3, 4});
    PhoneList computer(8, {{"BOB", "222"}});
    int used = 1;
    const CopyMarkedResult result =
        CopyMarkedRows(sim.list, 4, computer.list, used, kMark, kMarked, 0);
    EXPECT_EQ(used, 4);  // Ann, the empty row and Cid
    EXPECT_EQ(computer.Names(5), (QStringList{"BOB", "Ann", "", "Cid", ""}));
    EXPECT_EQ(computer.list.Tag(4), 77);
    EXPECT_EQ(result.duplicates, QList<int>{3});
    EXPECT_TRUE(result.notCopied.isEmpty());
    EXPECT_TRUE(sim.Marked().isEmpty());
    ASSERT_EQ(dialogs.MessageIds(), MessageIdList{MessageId::SameRecordNumber});
    EXPECT_EQ(dialogs.LastMessage().text, "You have same record Number 3 in destination list");

    // Rows a paste added: the same rule, against the records before them and each other.
    dialogs.Clear();
    for (const auto& [row, name] : {std::pair{5, "ANN"}, {6, "Dan"}, {7, "dan"}, {8, "Eve"}})
        computer.list.SetText(row, 1, name);
    computer.list.SetText(5, 2, "111");
    used = 8;
    EXPECT_EQ(DropPastedDuplicates(computer.list, 5, used, kMark, 0), (QList<int>{1, 3}));
    EXPECT_EQ(used, 6);
    EXPECT_EQ(computer.Names(8), (QStringList{"BOB", "Ann", "", "Cid", "Dan", "Eve", "", ""}));
    EXPECT_EQ(dialogs.MessageIds().size(), 2);
}

TEST(CopyMarkedRows, StopsAtTheLastSlotAndKeepsTheRestMarked) {
    ScriptedDialogs dialogs;
    PhoneList sim(4, {{"Ann", "1"}, {"Bob", "2"}, {"Cid", "3"}});
    sim.Mark({1, 2, 3});
    PhoneList computer(3, {{"Dan", "4"}, {"Eve", "5"}});
    int used = 2;

    const CopyMarkedResult result =
        CopyMarkedRows(sim.list, 3, computer.list, used, kMark, kMarked, 0);

    EXPECT_EQ(used, 3);
    EXPECT_EQ(computer.list.Rows(), 4);
    EXPECT_EQ(computer.Names(3), (QStringList{"Dan", "Eve", "Ann"}));
    EXPECT_EQ(result.notCopied, (QList<int>{2, 3}));
    EXPECT_EQ(sim.Marked(), (QList<int>{2, 3}));
    EXPECT_TRUE(dialogs.Calls().isEmpty());
}

TEST(ClearMarkedRows, EmptiesSlotsInPlaceAndTheUsedCountFollowsTheLastRecord) {
    PhoneList phone(5, {{"Ann", "1"}, {"Bob", "2"}, {"Cid", "3"}});
    phone.list.SetTag(2, 9);
    phone.Mark({2});
    EXPECT_TRUE(ClearMarkedRows(phone.list, 3, kMark, kMarked));
    EXPECT_EQ(phone.Names(3), (QStringList{"Ann", "", "Cid"}));
    EXPECT_EQ(phone.list.Tag(2), 0);
    EXPECT_EQ(FindLastUsedRow(phone.list, 3, 2), 3);

    phone.Mark({3});
    EXPECT_TRUE(ClearMarkedRows(phone.list, 3, kMark, kMarked));
    EXPECT_EQ(FindLastUsedRow(phone.list, 3, 2), 1);
    EXPECT_FALSE(ClearMarkedRows(phone.list, 3, kMark, kMarked));
}

TEST(CopyList, ReplacesTheDestinationAndEmptiesItsOldRecords) {
    PhoneList sim(5, {{"Ann", "1"}, {"Bob", "2"}});
    sim.list.SetText(0, 1, QStringLiteral("Alias"));
    sim.Mark({1});
    PhoneList computer(5, {{"a", ""}, {"b", ""}, {"c", ""}, {"d", ""}});
    int used = 4;
    EXPECT_EQ(CopyList(computer.list, used, sim.list, 2, 2), 0);
    EXPECT_EQ(used, 2);
    EXPECT_EQ(computer.Names(4), (QStringList{"Ann", "Bob", "", ""}));
    EXPECT_EQ(computer.list.Text(0, 1), "Alias");
    EXPECT_TRUE(computer.Marked().isEmpty());

    PhoneList small(1);
    used = 0;
    EXPECT_EQ(CopyList(small.list, used, sim.list, 2, 2), 1);
    EXPECT_EQ(used, 1);
    EXPECT_EQ(small.Names(1), QStringList{"Ann"});
}

TEST(SortRows, AlternatesAscendingAndDescendingAndPacksTheGaps) {
    PhoneList phone(6, {{"cid", "3"}, {"", ""}, {"Bob", "2"}, {"adam", "1"}});
    phone.list.SetTag(4, 44);
    int used = 4;
    int sortState = 0;
    SortRows(phone.list, used, sortState, 1);
    EXPECT_EQ(sortState, 1);
    EXPECT_EQ(used, 3);
    // Case counts: capitals sort before small letters.
    EXPECT_EQ(phone.Names(4), (QStringList{"Bob", "adam", "cid", ""}));
    EXPECT_EQ(phone.list.Tag(2), 44);
    for (int row = 1; row <= 6; ++row) {
        EXPECT_EQ(phone.list.Text(row, 0), QString::number(row));
    }

    SortRows(phone.list, used, sortState, 1);
    EXPECT_EQ(sortState, 2);
    EXPECT_EQ(phone.Names(3), (QStringList{"cid", "adam", "Bob"}));
}

// The collator of the user's language puts letters with accents where that language does,
// and numbers by their value.
TEST(SortRows, FollowsTheLanguageOfTheUser) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    PhoneList phone(6, {{"Office", "10"}, {"Åsa", "9"}, {"zoe", "100"}, {"Bob", "2"}});
    int used = 4;
    int sortState = 0;
    QCollator collator = ListCollator();
    SortRows(phone.list, used, sortState, 1, &collator);
    EXPECT_EQ(phone.Names(4), (QStringList{"Åsa", "Bob", "Office", "zoe"}));
    sortState = 0;
    SortRows(phone.list, used, sortState, 2, &collator);
    EXPECT_EQ(phone.Names(4), (QStringList{"Bob", "Åsa", "Office", "zoe"}));

    // Swedish puts Å after Z.
    QLocale::setDefault(QLocale(QLocale::Swedish, QLocale::Sweden));
    collator = ListCollator();
    sortState = 0;
    SortRows(phone.list, used, sortState, 1, &collator);
    EXPECT_EQ(phone.Names(4), (QStringList{"Bob", "Office", "zoe", "Åsa"}));
    QLocale::setDefault(previous);
}

TEST(CountFilledRows, LeavesOutEmptySlotsAndTheMarkColumn) {
    PhoneList phone(6, {{"Ann", ""}, {"", ""}, {"", "112"}, {"  ", ""}});
    phone.Mark({2});
    EXPECT_EQ(CountFilledRows(phone.list, 4, 2), 2);
    EXPECT_EQ(CountFilledRows(phone.list, 2, 2), 1);
    EXPECT_EQ(CountFilledRows(phone.list, 99, 2), 2);
}

TEST(PackRows, KeepsARowThatHoldsOnlyItsMark) {
    PhoneList phone(5, {{"", ""}, {"Ann", "1"}, {"", ""}, {"Bob", "2"}});
    phone.Mark({3});
    int used = 4;
    PackRows(phone.list, used);
    EXPECT_EQ(used, 3);
    EXPECT_EQ(phone.Names(4), (QStringList{"Ann", "", "Bob", ""}));
    EXPECT_EQ(phone.Marked(), QList<int>{2});
}

TEST(TrackLastUsedRow, FollowsEditsAtTheEndOfTheUsedSlots) {
    PhoneList phone(6, {{"Ann", "1"}, {"", ""}, {"Cid", "3"}});
    int used = 3;
    phone.list.SetText(5, 1, "Eve");
    TrackLastUsedRow(phone.list, used, "Eve", 2, 5);
    EXPECT_EQ(used, 5);
    phone.list.SetText(5, 1, "  ");
    TrackLastUsedRow(phone.list, used, "  ", 2, 5);  // blanks count as empty
    EXPECT_EQ(used, 3);
}

TEST(MatchWords, WildcardsSkipLettersOrMatchAnywhere) {
    const struct {
        const char* pattern;
        bool found;
        int position;  // one past the match's first character
        int length;    // of the marked text; -1: not looked at
    } cases[] = {{"jo", true, 7, 2},     {"?o", true, 8, 1},      {" *SON ", true, 11, 3},
                 {"?*son", true, 11, 3}, {"*?son", false, 0, -1}, {"*?*", false, 0, 0}};
    for (const auto& c : cases) {
        int position = 0;
        int length = 0;
        EXPECT_EQ(MatchWords(c.pattern, "Mary Johnson", position, length), c.found) << c.pattern;
        EXPECT_EQ(position, c.found ? c.position : 0) << c.pattern;
        if (c.length >= 0) {
            EXPECT_EQ(length, c.length) << c.pattern;
        }
    }

    // The next search skips the word it matched, and double blanks hold empty words.
    int position = 0;
    int length = 0;
    EXPECT_TRUE(MatchWords("*a", "banana  cab", position, length));
    EXPECT_EQ(position, 3);
    EXPECT_TRUE(MatchWords("*a", "banana  cab", position, length));
    EXPECT_EQ(position, 11);
    EXPECT_FALSE(MatchWords("*a", "banana  cab", position, length));
}

TEST(FindNextCell, GoesOnBehindTheLastMatchThenWrapsToTheTop) {
    PhoneList phone(3, {{"Jo Jones", "1"}, {"", ""}, {"Joan", "2"}});
    FindState state;
    ASSERT_TRUE(FindNextCell(phone.list, state, "jo", 2));
    EXPECT_EQ(std::tuple(state.row, state.column, state.position), std::tuple(1, 1, 2));
    ASSERT_TRUE(FindNextCell(phone.list, state, "jo", 2));
    EXPECT_EQ(std::tuple(state.row, state.column, state.position), std::tuple(1, 1, 5));
    ASSERT_TRUE(FindNextCell(phone.list, state, "jo", 2));
    EXPECT_EQ(std::tuple(state.row, state.column, state.position), std::tuple(3, 1, 2));
    EXPECT_FALSE(FindNextCell(phone.list, state, "jo", 2));
    EXPECT_EQ(std::tuple(state.row, state.column, state.position), std::tuple(0, 0, 0));
    ASSERT_TRUE(FindNextCell(phone.list, state, "jo", 2));
    EXPECT_EQ(state.row, 1);

    state = FindState{3, 1, 2, 2};
    EXPECT_TRUE(FindNextCellWrapping(phone.list, state, "jo", 2));
    EXPECT_EQ(std::tuple(state.row, state.position), std::tuple(1, 2));
    EXPECT_FALSE(FindNextCellWrapping(phone.list, state, "zz", 2));
}

TEST(FilterNumber, KeepsALeadingPlusAndWarnsOfOtherCharacters) {
    FilteredNumber filtered = FilterNumber("+12a+3b", 20);
    EXPECT_EQ(filtered.text, "+123");
    EXPECT_TRUE(filtered.invalidCharacter);
    EXPECT_EQ(filtered.lengthLimit, 21);

    filtered = FilterNumber("12+3#*pP", 20);  // a later plus goes without a word
    EXPECT_EQ(filtered.text, "123#*pP");
    EXPECT_FALSE(filtered.invalidCharacter);
    EXPECT_EQ(filtered.lengthLimit, 20);

    filtered = FilterNumber("x+1", 20);  // still the first character of the result
    EXPECT_EQ(filtered.text, "+1");
    EXPECT_EQ(filtered.lengthLimit, 21);
}

}  // namespace
}  // namespace pellucard
