#include "model/editing_commands.h"

#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "model/field_text.h"
#include "model/node_commands.h"
#include "model/pending_grid_op.h"

namespace kinoloop {
namespace {

using testing::Editor;

// Places a node with an add command and stretches its cells to the given length (as drawn by distributing).
void Place(Editor& editor, EditResult (*add)(EditContext&), int column, int row, int length = 1) {
    editor.Select(column, row);
    add(editor.context);
    if (length > 1) {
        editor.Drag(column, column + length - 1, row);
        if (add == AddScript) editor.notices.Answer('Y');
        DistributeOverSelectedRange(editor.context);
    }
    editor.Select(column, row);
}

TEST(Paste, NotEnoughSpaceNamesTheCellsNeeded) {
    Editor editor;
    Place(editor, AddCamera, 10, 1, 3);
    CopyNode(editor.context);
    EXPECT_EQ(editor.movie.lastAction, "Last Action: Copied node at cell 10:1");
    Place(editor, AddScript, 52, 2);
    editor.Select(50, 2);  // only 51 is free to its right
    const std::size_t records = editor.movie.nodeStore.Size();
    EXPECT_FALSE(PasteNode(editor.context).changed);
    EXPECT_EQ(editor.notices.LastText(),
              "There is not enough space to paste the copied node. The space required is 3 cells");
    EXPECT_EQ(editor.notices.boxes.back().icon, 'X');
    EXPECT_EQ(editor.movie.nodeStore.Size(), records);
    EXPECT_EQ(editor.Cells(2, 50, 52), "||S");
}

TEST(Paste, IntoAnOccupiedCellIsRefused) {
    Editor editor;
    Place(editor, AddCamera, 10, 1);
    CopyNode(editor.context);
    editor.Select(10, 1);
    EXPECT_FALSE(PasteNode(editor.context).changed);
    EXPECT_EQ(editor.notices.LastText(), "You can only paste a node into an empty cell");
}

TEST(Paste, PastWhereTheMovieEndsIsNotEnoughSpace) {
    Editor editor(2, 2, 25);  // 55 columns
    Place(editor, AddCamera, 10, 1, 4);
    CopyNode(editor.context);
    editor.Select(52, 1);
    EXPECT_FALSE(PasteNode(editor.context).changed);
    EXPECT_EQ(editor.notices.LastText(),
              "There is not enough space to paste the copied node. The space required is 4 cells");
}

TEST(Paste, CopiesFieldsNoteAndLengthWithANewIdAndKeepsTheSelection) {
    Editor editor;
    Place(editor, AddCamera, 10, 1, 3);
    editor.movie.nodeStore.Find(10, 1)->note = "look?here";
    editor.movie.strTimeline.SetCell(10, 1, "Cn");
    const std::string source = editor.At(10, 1)->fieldText;
    CopyNode(editor.context);
    editor.Select(100, 3);
    const std::int32_t id = editor.movie.NextNodeID;
    const EditResult result = PasteNode(editor.context);
    EXPECT_EQ(result.added, std::vector<std::int32_t>{id});
    EXPECT_EQ(editor.Cells(3, 100, 103), "Cn|c|c|");
    const NodeText* pasted = editor.At(100, 3);
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(pasted->id, id);
    EXPECT_EQ(pasted->note, "look?here");
    std::vector<std::string> expected = SplitFields(source);
    expected[0] = std::to_string(id);
    expected[1] = "100";
    expected[2] = "3";
    EXPECT_EQ(pasted->fieldText, JoinFields(expected));
    EXPECT_EQ(editor.movie.txtRecords.FieldText(), pasted->fieldText);
    EXPECT_EQ(editor.movie.SelCol, 100);
    EXPECT_EQ(editor.movie.SelRow, 3);
    EXPECT_EQ(editor.movie.lastAction, "Last Action: Pasted node at cell 100:3");
    EXPECT_EQ(editor.movie.header.nextIdCopy, id + 1);
}

TEST(Paste, ATimeMarkerHasNoContinuationCells) {
    Editor editor;
    editor.movie.CurrentFrame = 20;
    AddTimeMarker(editor.movie);
    const int row = editor.movie.strTracks.FindTrack("Time Markers");
    editor.Select(20, row);
    CopyNode(editor.context);
    editor.Select(30, row);
    PasteNode(editor.context);
    EXPECT_EQ(editor.Cells(row, 29, 31), "|M|");
}

TEST(CutPaste, MovesTheNodeAndKeepsTheHiddenRecord) {
    Editor editor;
    Place(editor, AddSound, 10, 1, 3);
    const std::int32_t cutId = editor.At(10, 1)->id;
    EditResult cut = CutNode(editor.context);
    EXPECT_TRUE(cut.removed.empty());
    EXPECT_EQ(editor.movie.lastAction, "Last Action: Cut node at cell 10:1");
    EXPECT_EQ(editor.movie.CopiedNodeID, cutId);
    EXPECT_EQ(editor.Cells(1, 10, 12), "||");
    editor.Select(40, 2);
    PasteNode(editor.context);
    EXPECT_EQ(editor.Cells(2, 40, 43), "T|t|t|");
    EXPECT_EQ(editor.movie.nodeStore.Size(), 2u);
    EXPECT_NE(editor.movie.nodeStore.FindById(cutId), nullptr);
    EXPECT_NE(editor.At(40, 2)->id, cutId);
}

TEST(Cut, ACameraWithANoteOfThreeCellsLosesItsCellsButNotItsRecord) {
    Editor editor;
    Place(editor, AddCamera, 10, 1, 3);
    editor.movie.strTimeline.SetCell(10, 1, "Cn");
    editor.movie.strTimeline.SetCell(13, 1, "s");  // a neighbour's continuation stays
    CutNode(editor.context);
    EXPECT_EQ(editor.Cells(1, 10, 13), "|||s");
    EXPECT_NE(editor.At(10, 1), nullptr);
}

TEST(Cut, FocusOnAContinuationCellStillTakesTheWholeNode) {
    Editor editor;
    Place(editor, AddCamera, 10, 1, 4);
    editor.Select(10, 1);
    editor.movie.selection = TimelineSelection::Cell(12, 1);  // mouse went down on a continuation cell
    CutNode(editor.context);
    EXPECT_EQ(editor.Cells(1, 10, 13), "|||");
}

TEST(Cut, AndCopyNeedAHeadWithARecord) {
    Editor editor;
    Place(editor, AddCamera, 10, 1, 3);
    editor.Select(11, 1);
    EXPECT_FALSE(CutNode(editor.context).changed);
    EXPECT_FALSE(CopyNode(editor.context).changed);
    editor.movie.strTimeline.SetCell(20, 1, "C");  // a head without a record
    editor.Select(20, 1);
    EXPECT_FALSE(CutNode(editor.context).changed);
    EXPECT_FALSE(CopyNode(editor.context).changed);
    EXPECT_EQ(editor.movie.CopiedNodeID, -1);
}

TEST(Distribute, ByKind) {
    struct Case {
        const char* name;
        EditResult (*add)(EditContext&);
        char answer;  // '\0' : no question
        const char* cells;
        int length;
        int extraField;
        const char* extra;
    };
    const Case cases[] = {
        {"replay", AddReplay, '\0', "R|r|r|r|r|", 5, -1, ""},
        {"camera", AddCamera, '\0', "C|c|c|c|c|", 5, 13, "4"},
        {"script", AddScript, 'Y', "S|s|s|s|s|", 5, -1, ""},
        {"sound", AddSound, '\0', "T|t|t|t|t|", 5, 5, "5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Editor editor;
        editor.Select(0, 1);
        if (c.add == AddReplay) editor.notices.Answer('N');
        c.add(editor.context);
        editor.Drag(0, 4, 1);
        if (c.answer != '\0') editor.notices.Answer(c.answer);
        DistributeOverSelectedRange(editor.context);
        EXPECT_EQ(editor.Cells(1, 0, 5), c.cells);
        const std::vector<std::string> fields = SplitFields(editor.At(0, 1)->fieldText);
        EXPECT_EQ(fields[3], std::to_string(c.length));
        if (c.extraField >= 0) EXPECT_EQ(fields[c.extraField], c.extra);
        EXPECT_EQ(editor.notices.UnusedAnswers(), 0u);
    }
}

TEST(Distribute, AnEffectBecomesOneNodePerColumn) {
    Editor editor;
    Place(editor, AddEffect, 20, 2);
    editor.movie.nodeStore.Find(20, 2)->fieldText = "0:20:2:1:blur:1:2:3:4:hello";
    editor.Drag(20, 23, 2);
    editor.notices.Answer('Y');
    const EditResult result = DistributeOverSelectedRange(editor.context);
    EXPECT_EQ(editor.notices.boxes.back().text,
              "Distributing an Effect will make multiple occurances not a duration. Continue?");
    EXPECT_EQ(result.added.size(), 3u);
    EXPECT_EQ(editor.Cells(2, 20, 24), "E|E|E|E|");
    for (int c = 20; c <= 23; ++c) {
        const NodeText* effect = editor.At(c, 2);
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(effect->fieldText,
                  std::to_string(effect->id) + ":" + std::to_string(c) + ":2:1:blur:1:2:3:4:hello");
    }
    EXPECT_EQ(editor.movie.nodeStore.Size(), 4u);
}

TEST(Distribute, QuestionsAndRefusals) {
    struct Case {
        EditResult (*add)(EditContext&);
        char answer;
        const char* message;
        char icon;
    };
    const Case cases[] = {
        {AddScript, 'N', "Distributing a Script will make multiple occurances not a duration. Continue?",
         'I'},
        {AddEffect, 'N', "Distributing an Effect will make multiple occurances not a duration. Continue?",
         'I'},
        {AddReplayStop, '\0', "You cannot extend a Movie Stop node", 'X'},
        {AddReplayStart, '\0', "You cannot extend a Replay Start node", 'X'},
    };
    for (const Case& c : cases) {
        Editor editor;
        Place(editor, c.add, 30, 1);
        editor.Drag(30, 33, 1);
        if (c.answer != '\0') editor.notices.Answer(c.answer);
        EXPECT_FALSE(DistributeOverSelectedRange(editor.context).changed);
        EXPECT_EQ(editor.notices.LastText(), c.message);
        EXPECT_EQ(editor.notices.boxes.back().icon, c.icon);
        EXPECT_EQ(editor.Cells(1, 31, 33), "||");
        EXPECT_EQ(editor.movie.nodeStore.Size(), 1u);
    }
}

TEST(Distribute, StopsBeforeAnotherNode) {
    Editor editor;
    Place(editor, AddCamera, 15, 1);
    Place(editor, AddCamera, 10, 1);
    editor.Drag(10, 19, 1);
    DistributeOverSelectedRange(editor.context);
    EXPECT_EQ(editor.Cells(1, 10, 16), "C|c|c|c|c|C|");
    EXPECT_EQ(SplitFields(editor.At(10, 1)->fieldText)[3], "5");
    EXPECT_EQ(editor.At(15, 1)->tag, "CAM");
}

TEST(DistributeToEnd, FillsFreeColumnsUpToTheNextNode) {
    Editor editor;
    Place(editor, AddCamera, 15, 3);
    Place(editor, AddEffect, 10, 3);
    editor.movie.txtRecords.Clear();  // a stale buffer must not matter
    const EditResult result = DistributeToEndOrNextNode(editor.context);
    EXPECT_EQ(result.added.size(), 4u);
    EXPECT_EQ(editor.Cells(3, 10, 15), "E|E|E|E|E|C");
    EXPECT_EQ(
        editor.notices.boxes.back().text,
        "This may take some time so please be patient, at times Kinoloop may appear to have crashed, it "
        "hasn't, just sit tight");
    ASSERT_EQ(editor.notices.balloons.size(), 1u);
    EXPECT_EQ(editor.notices.balloons[0].title, "Kinoloop 2");
    EXPECT_EQ(editor.notices.balloons[0].text, "Distributing Effect, Please Wait");
    EXPECT_EQ(editor.notices.balloons[0].kind, BalloonKind::Information);
    EXPECT_EQ(editor.notices.balloons[0].displayMs, 5000);
    EXPECT_EQ(editor.At(14, 3)->fieldText, std::to_string(editor.At(14, 3)->id) + ":14:3:1::0:0:0:0:");
}

TEST(DistributeToEnd, RunsToTheLastFrameAndNeedsAnEffect) {
    Editor editor(2, 2, 25);  // 55 columns, frames 0..50
    Place(editor, AddEffect, 45, 1);
    DistributeToEndOrNextNode(editor.context);
    EXPECT_EQ(editor.Cells(1, 45, 52), "E|E|E|E|E|E||");
    Place(editor, AddCamera, 3, 1);
    EXPECT_FALSE(DistributeToEndOrNextNode(editor.context).changed);
}

TEST(Delete, TheHeadRemovesTheNodeAndOnlyItsCells) {
    Editor editor;
    Place(editor, AddCamera, 10, 1, 3);
    Place(editor, AddScript, 13, 1);
    Place(editor, AddScript, 21, 1);
    Place(editor, AddCamera, 20, 1);
    editor.Select(10, 1);
    const std::int32_t id = editor.At(10, 1)->id;
    EditResult result = DeleteSelection(editor.context);
    EXPECT_EQ(result.removed, std::vector<std::int32_t>{id});
    EXPECT_EQ(editor.Cells(1, 10, 13), "|||S");
    EXPECT_EQ(editor.At(10, 1), nullptr);
    EXPECT_EQ(editor.movie.lastAction, "Last Action: Deleted node at cell 10:1");
    EXPECT_EQ(editor.movie.txtRecords.LineCount(), 0);
    EXPECT_TRUE(editor.hooks.Called("properties N"));
    EXPECT_TRUE(editor.notices.boxes.empty());

    editor.Select(20, 1);  // a one-cell node leaves the cell to its right alone
    DeleteSelection(editor.context);
    EXPECT_EQ(editor.Cells(1, 20, 21), "|S");
}

TEST(Delete, SelectedContinuationCellsShortenTheNode) {
    Editor editor;
    Place(editor, AddCamera, 10, 2, 5);
    editor.Select(10, 2);  // the head is the selected cell, the mouse went down on 13 and dragged to 14
    editor.movie.selection = {13, 2, 14, 2, 13, 2};
    DeleteSelection(editor.context);
    EXPECT_EQ(editor.Cells(2, 10, 14), "C|c|c||");
    const std::vector<std::string> fields = SplitFields(editor.At(10, 2)->fieldText);
    EXPECT_EQ(fields[3], "3");
    EXPECT_EQ(fields[13], "3");  // a camera without a note also gets the time
}

TEST(Delete, ACameraWithANoteKeepsItsTime) {
    Editor editor;
    Place(editor, AddCamera, 10, 2, 5);
    editor.movie.strTimeline.SetCell(10, 2, "Cn");
    editor.Select(10, 2);
    editor.movie.selection = {13, 2, 14, 2, 13, 2};
    DeleteSelection(editor.context);
    const std::vector<std::string> fields = SplitFields(editor.At(10, 2)->fieldText);
    EXPECT_EQ(fields[3], "3");
    EXPECT_EQ(fields[13], "4");  // as the stretch left it
}

TEST(Delete, AReplayAsksToResetTheSimulator) {
    for (char answer : {'Y', 'N'}) {
        Editor editor;
        editor.Select(0, 1);
        editor.notices.Answer('N');
        AddReplay(editor.context);
        editor.Select(0, 1);
        editor.notices.Answer(answer);
        DeleteSelection(editor.context);
        EXPECT_EQ(editor.notices.LastText(),
                  "Would you like to reset Live for Speed back to the main screen?");
        EXPECT_EQ(editor.notices.boxes.back().buttons, 'Y');
        EXPECT_EQ(editor.hooks.Called("reset simulator"), answer == 'Y');
    }
}

TEST(Delete, AnEmptyCellDoesNothing) {
    Editor editor;
    editor.Select(5, 1);
    EXPECT_FALSE(DeleteSelection(editor.context).changed);
    EXPECT_EQ(editor.movie.lastAction, "Last Action: No Action");
}

TEST(PendingGridOp, DeleteReachesTheWholeSelectionVisibleOrNot) {
    Editor editor(4);
    for (int row = 1; row <= 3; ++row) {
        for (int column : {0 + 1, 700, 4000, 9000}) Place(editor, AddScript, column, row);
    }
    Place(editor, AddScript, 9001, 2);  // outside the selection
    editor.Select(1, 1);
    editor.movie.selection = {1, 1, 9000, 3, 1, 1};
    const EditResult result = DeleteSelection(editor.context);
    EXPECT_EQ(result.removed.size(), 12u);
    EXPECT_EQ(editor.movie.nodeStore.Size(), 1u);
    EXPECT_NE(editor.At(9001, 2), nullptr);
    EXPECT_EQ(editor.movie.strTimeline.Cell(9000, 3), "");
    EXPECT_EQ(editor.movie.pendingGridOp, PendingGridOp::Null);
    EXPECT_FALSE(editor.movie.AdjustLength);
}

TEST(PendingGridOp, CutEmptiesTheWholeSelectionButKeepsRecords) {
    Editor editor(3);
    Place(editor, AddCamera, 100, 1, 2);
    Place(editor, AddScript, 5000, 2);
    editor.Select(100, 1);
    editor.movie.selection = {100, 1, 5000, 2, 100, 1};
    CutNode(editor.context);
    EXPECT_EQ(editor.Cells(1, 100, 101), "|");
    EXPECT_EQ(editor.movie.strTimeline.Cell(5000, 2), "");
    EXPECT_EQ(editor.movie.nodeStore.Size(), 2u);
}

TEST(PendingGridOp, NullDoesNothingAndHandToTimelineSetsAdjustLength) {
    Editor editor;
    Place(editor, AddCamera, 10, 1);
    editor.movie.pendingGridOp = PendingGridOp::Null;
    EXPECT_FALSE(CarryOutPendingGridOp(editor.movie).changed);
    EXPECT_EQ(editor.movie.strTimeline.Cell(10, 1), "C");

    // A length that is not a number leaves the node's text as it was, and the cells still go.
    editor.movie.nodeStore.Find(10, 1)->fieldText = "0:10:1:x";
    editor.movie.selection = {11, 1, 11, 1, 11, 1};
    editor.movie.strTimeline.SetCell(11, 1, "c");
    HandToTimeline(editor.movie, PendingGridOp::Delete);
    EXPECT_EQ(editor.At(10, 1)->fieldText, "0:10:1:x");
    EXPECT_EQ(editor.Cells(1, 10, 11), "C|");
}

TEST(NodeStore, ANodePlacedWhereACutRecordLiesIsTheOneLookupsFind) {
    Editor editor;
    Place(editor, AddCamera, 10, 1);
    CutNode(editor.context);
    Place(editor, AddScript, 10, 1);
    EXPECT_EQ(editor.At(10, 1)->tag, "SCR");
    EXPECT_EQ(editor.movie.FindNodeText(false, 10, 1), editor.At(10, 1)->fieldText);
    editor.Select(10, 1);
    DeleteSelection(editor.context);
    // The cut camera can still be pasted.
    ASSERT_NE(editor.movie.nodeStore.FindById(editor.movie.CopiedNodeID), nullptr);
    editor.Select(30, 1);
    PasteNode(editor.context);
    EXPECT_EQ(editor.At(30, 1)->tag, "CAM");
}

}  // namespace
}  // namespace kinoloop
