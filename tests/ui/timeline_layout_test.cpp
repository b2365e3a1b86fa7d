// The timeline's geometry and presentation rules, without a display.
#include <gtest/gtest.h>

#include "model/movie.h"
#include "model/property_edits.h"
#include "model/timeline_layout.h"

namespace kinoloop {
namespace {

TEST(TimelineLayout, DefaultCellsAreEightByEighteenWithOnePixelGridLines) {
    const TimelineLayout layout;
    EXPECT_EQ(layout.ColumnWidth(), 8);
    EXPECT_EQ(layout.RowHeight(), 18);
    EXPECT_EQ(layout.CellAt(0, 0), (CellRect{0, 0, 8, 18}));
    EXPECT_EQ(layout.CellAt(2, 1), (CellRect{18, 19, 26, 37}));
    EXPECT_EQ(layout.CellAt(0, 3), (CellRect{0, 57, 8, 75}));
}

TEST(TimelineLayout, ScrollingMovesCellsButKeepsTheHeaderRowOnTop) {
    TimelineLayout layout;
    layout.ScrollTo(100, 4);
    EXPECT_EQ(layout.CellAt(100, 0), (CellRect{0, 0, 8, 18}));
    EXPECT_EQ(layout.CellAt(101, 4), (CellRect{9, 19, 17, 37}));
    layout.ScrollTo(-5, 0);  // clamped to the first column and the first track
    EXPECT_EQ(layout.FirstColumn(), 0);
    EXPECT_EQ(layout.FirstTrackRow(), 1);
}

TEST(TimelineLayout, VisibleRangeCoversPartlyShownCellsAndStopsAtTheGridEdge) {
    TimelineLayout layout;
    struct Case {
        int width, height, columns, rows, firstColumn, firstRow;
        int expectFirstColumn, expectLastColumn, expectFirstRow, expectLastRow;
    };
    const Case cases[] = {
        {90, 57, 1000, 10, 0, 1, 0, 9, 1, 2},      // exactly 10 columns, 2 track rows under the header
        {91, 58, 1000, 10, 0, 1, 0, 10, 1, 3},     // one pixel more shows a part of the next
        {900, 1000, 50, 4, 0, 1, 0, 49, 1, 3},     // grid smaller than the viewport
        {90, 57, 1000, 10, 995, 9, 995, 999, 9, 9},  // scrolled to the end
        {90, 10, 1000, 10, 0, 1, 0, 9, 1, 0},      // only part of the header visible: no tracks
    };
    for (const Case& c : cases) {
        layout.ScrollTo(c.firstColumn, c.firstRow);
        const VisibleRange v = layout.Visible(c.width, c.height, c.columns, c.rows);
        EXPECT_EQ(v.firstColumn, c.expectFirstColumn) << c.width;
        EXPECT_EQ(v.lastColumn, c.expectLastColumn) << c.width;
        EXPECT_EQ(v.firstRow, c.expectFirstRow) << c.height;
        EXPECT_EQ(v.lastRow, c.expectLastRow) << c.height;
    }
}

TEST(TimelineLayout, HitTestFindsTheCellUnderThePointer) {
    TimelineLayout layout;
    layout.ScrollTo(10, 3);
    int column = -1, row = -1;
    ASSERT_TRUE(layout.HitTest(0, 0, 100, 10, column, row));
    EXPECT_EQ(column, 10);
    EXPECT_EQ(row, 0);
    ASSERT_TRUE(layout.HitTest(9 * 4 + 3, 19 + 19 + 5, 100, 10, column, row));
    EXPECT_EQ(column, 14);
    EXPECT_EQ(row, 4);
    EXPECT_FALSE(layout.HitTest(9 * 95, 20, 100, 10, column, row));  // past the last column
    EXPECT_FALSE(layout.HitTest(5, 19 * 9, 100, 10, column, row));   // past the last track
    EXPECT_FALSE(layout.HitTest(-1, 5, 100, 10, column, row));
}

TEST(TimelineLayout, WholeColumnsAndScrollLimits) {
    const TimelineLayout layout;
    EXPECT_EQ(layout.WholeColumns(90), 10);
    EXPECT_EQ(layout.WholeColumns(89), 10);  // the last column needs no grid line after it
    EXPECT_EQ(layout.WholeColumns(88), 9);
    EXPECT_EQ(layout.WholeColumns(3), 1);
    EXPECT_EQ(layout.MaxFirstColumn(15005, 900), 15005 - 100);
    EXPECT_EQ(layout.MaxFirstColumn(50, 900), 0);
    EXPECT_EQ(layout.WholeTrackRows(19 * 5), 4);
    EXPECT_EQ(layout.MaxFirstTrackRow(41, 19 * 11), 31);  // 40 tracks, 10 visible: the 31st is the last first row
    EXPECT_EQ(layout.MaxFirstTrackRow(3, 19 * 11), 1);
}

TEST(SelectionReadout, WidthAndSecondsAtTheFrameRate) {
    const struct {
        int cells, fps;
        const char* text;
    } cases[] = {
        {50, 25, "Selected 50 cells, 2.00 seconds"},
        {1, 25, "Selected 1 cells, 0.04 seconds"},
        {45, 30, "Selected 45 cells, 1.50 seconds"},
        {7, 0, "Selected 7 cells, 0.00 seconds"},
    };
    for (const auto& c : cases) EXPECT_EQ(SelectionReadout(c.cells, c.fps), c.text);
}

TEST(GridSelection, FocusStaysWhereTheMouseWentDownWhileTheOtherCornerFollows) {
    GridSelection s;
    s.Start(10, 2);
    s.Extend(4, 3);
    EXPECT_EQ(s.Left(), 4);
    EXPECT_EQ(s.Right(), 10);
    EXPECT_EQ(s.Top(), 2);
    EXPECT_EQ(s.Bottom(), 3);
    EXPECT_EQ(s.Width(), 7);
    EXPECT_TRUE(s.IsFocused(10, 2));
    EXPECT_FALSE(s.IsFocused(4, 3));
    EXPECT_TRUE(s.Contains(5, 3));
    EXPECT_FALSE(s.Contains(11, 2));
}

TEST(FollowFrame, KeepsThePlayingFrameInTheMiddle) {
    const struct {
        int frame, visible, first, expected;
    } cases[] = {
        {100, 40, 0, 80},   // frame 100, 40 columns: column 80 becomes the first
        {20, 40, 0, 0},     // not yet past the middle: stays
        {21, 40, 3, 1},
        {5, 41, 7, 7},
    };
    for (const auto& c : cases) EXPECT_EQ(FollowFrameFirstColumn(c.frame, c.visible, c.first), c.expected);
}

TEST(PlanCell, KindColoursShapesAndNotes) {
    const struct {
        const char* code;
        int column;
        bool selected;
        CellPaint::Background background;
        bool node;
        Rgb fill;
        CellPaint::Mark mark;
        bool note;
    } cases[] = {
        {"", 3, false, CellPaint::Background::White, false, {}, CellPaint::Mark::None, false},
        {"", 10, false, CellPaint::Background::FifthColumn, false, {}, CellPaint::Mark::None, false},
        {"", 10, true, CellPaint::Background::Selected, false, {}, CellPaint::Mark::None, false},
        {"C", 1, false, CellPaint::Background::White, true, {79, 128, 255}, CellPaint::Mark::HeadEllipse, false},
        {"c", 2, false, CellPaint::Background::White, true, {79, 128, 255}, CellPaint::Mark::ContinuationLine, false},
        {"Cn", 1, false, CellPaint::Background::White, true, {79, 128, 255}, CellPaint::Mark::HeadEllipse, true},
        {"R", 0, false, CellPaint::Background::FifthColumn, true, {255, 255, 204}, CellPaint::Mark::HeadEllipse, false},
        {"S", 1, false, CellPaint::Background::White, true, {204, 204, 255}, CellPaint::Mark::HeadEllipse, false},
        {"e", 1, false, CellPaint::Background::White, true, {204, 255, 204}, CellPaint::Mark::ContinuationLine, false},
        {"T", 1, false, CellPaint::Background::White, true, {255, 102, 102}, CellPaint::Mark::HeadEllipse, false},
        {"X", 1, false, CellPaint::Background::White, true, {140, 167, 177}, CellPaint::Mark::HeadEllipse, false},
        {"G", 1, false, CellPaint::Background::White, true, {255, 153, 102}, CellPaint::Mark::HeadEllipse, false},
        {"H", 1, false, CellPaint::Background::White, true, {153, 102, 255}, CellPaint::Mark::HeadEllipse, false},
        {"M", 1, true, CellPaint::Background::Selected, true, {0, 128, 128}, CellPaint::Mark::HeadEllipse, false},
        {"Q", 1, false, CellPaint::Background::White, false, {}, CellPaint::Mark::None, false},
    };
    for (const auto& c : cases) {
        const CellPaint p = PlanCell(c.code, c.column, c.selected);
        EXPECT_EQ(p.background, c.background) << c.code;
        EXPECT_EQ(p.node, c.node) << c.code;
        if (c.node) EXPECT_EQ(p.fill, c.fill) << c.code;
        EXPECT_EQ(p.mark, c.mark) << c.code;
        EXPECT_EQ(p.note, c.note) << c.code;
    }
}

TEST(PropertyEdits, ViewPlayerItemsAndFields) {
    const auto items = ViewPlayerItems();
    ASSERT_EQ(items.size(), 32u);
    EXPECT_EQ(items[0], "255 (default)");
    EXPECT_EQ(items[1], "0 (pole)");
    EXPECT_EQ(items[31], "30");
    const struct {
        const char* field;
        int index;
    } shown[] = {{"255", 0}, {"0", 1}, {"7", 8}, {"30", 31}};
    for (const auto& c : shown) EXPECT_EQ(ViewPlayerItemIndex(c.field), c.index) << c.field;
    EXPECT_FALSE(ViewPlayerItemIndex("31"));
    EXPECT_FALSE(ViewPlayerItemIndex("x"));
    EXPECT_EQ(ViewPlayerField(0), "255");
    EXPECT_EQ(ViewPlayerField(1), "0");
    EXPECT_EQ(ViewPlayerField(13), "12");
}

TEST(PropertyEdits, ReplayStartItemsRoundTrip) {
    EXPECT_EQ(ReplayStartItem("race.spr", "0", "1"), "race.spr at cell [0,1]");
    const auto choice = ParseReplayStartItem("race.spr at cell [0,1]");
    ASSERT_TRUE(choice);
    EXPECT_EQ(*choice, (ReplayStartChoice{"race.spr", "0", "1"}));
    const auto spaced = ParseReplayStartItem("my race [x].mpr at cell [12,3]");
    ASSERT_TRUE(spaced);
    EXPECT_EQ(*spaced, (ReplayStartChoice{"my race [x].mpr", "12", "3"}));
    EXPECT_FALSE(ParseReplayStartItem("race.spr"));
    EXPECT_FALSE(ParseReplayStartItem("race.spr at cell [0"));
}

TEST(PropertyEdits, ReplayStartItemsListEveryReplayInStoreOrder) {
    Movie movie;
    movie.ResetTimeline(60, 25);
    movie.SelCol = 0;
    movie.SelRow = 1;
    ReplayNode first;
    first.fileName = "race.spr";
    movie.AddReplayRecord(first);
    movie.SelCol = 40;
    movie.AddCameraRecord(CameraNode{});
    ReplayNode second;
    second.fileName = "club.mpr";
    movie.SelCol = 7;
    movie.AddReplayRecord(second);
    EXPECT_EQ(ReplayStartItems(movie), (std::vector<std::string>{"race.spr at cell [0,1]", "club.mpr at cell [7,1]"}));
}

TEST(PropertyEdits, GuardedStoreNeedsTheLineAndANodeAtTheBufferCell) {
    Movie movie;
    movie.ResetTimeline(60, 25);
    movie.SelCol = 5;
    movie.SelRow = 1;
    movie.AddScriptRecord(ScriptNode{});
    movie.txtRecords.Load(movie.FindNodeText(true, 5, 1));
    EXPECT_TRUE(SetFieldAndStore(movie, 4, "intro.kls"));
    EXPECT_EQ(movie.nodeStore.Find(5, 1)->fieldText, "0:5:1:1:intro.kls");
    EXPECT_FALSE(SetFieldAndStore(movie, 9, "nothing"));  // the script has no line 9
    movie.txtRecords.Clear();
    EXPECT_FALSE(SetFieldAndStore(movie, 4, "lost.kls"));  // an empty buffer stores nothing
    EXPECT_EQ(movie.nodeStore.Find(5, 1)->fieldText, "0:5:1:1:intro.kls");
    movie.txtRecords.Load("0:x:1:1:bad.kls");  // a column that does not parse
    EXPECT_FALSE(StoreFieldBuffer(movie));
}

TEST(PropertyEdits, CameraBarRanges) {
    const auto& bars = CameraBars();
    ASSERT_EQ(bars.size(), 7u);
    EXPECT_EQ(bars[0].minimum, -653360000);
    EXPECT_EQ(bars[1].maximum, 653360000);
    EXPECT_EQ(bars[2].maximum, 655360);
    EXPECT_EQ(bars[3].maximum, 65536);
    EXPECT_EQ(bars[6].minimum, 20);
    EXPECT_EQ(bars[6].maximum, 120);
    EXPECT_EQ(bars[6].line, 12);
}

}  // namespace
}  // namespace kinoloop
