#include "model/track_commands.h"

#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "model/node_commands.h"

namespace kinoloop {
namespace {

using testing::Editor;

// Four tracks named A..D, with a camera on each track at column = 10 x track.
void FillFourTracks(Editor& editor) {
    for (int row = 1; row <= 4; ++row) {
        editor.movie.strTracks.At(row).name = std::string(1, static_cast<char>('A' + row - 1));
        editor.Select(10 * row, row);
        AddCamera(editor.context);
    }
    editor.movie.SetLastAction("No Action");
}

// Track names and, for each track, the row stored in its camera's record and field text.
std::string Layout(const Movie& movie) {
    std::string text;
    for (int row = 1; row < movie.strTracks.RowCount(); ++row) text += movie.strTracks.At(row).name;
    for (const NodeText& record : movie.nodeStore.Records()) {
        text += " " + std::to_string(record.id) + "@" + std::to_string(record.column) + ":" +
                std::to_string(record.row) + "/" + record.fieldText.substr(0, record.fieldText.find(':', 5));
    }
    return text;
}

TEST(Tracks, AddNewTrack) {
    Editor editor(1);
    const EditResult result = AddTrack(editor.movie);
    EXPECT_TRUE(result.tracksChanged);
    EXPECT_EQ(editor.movie.strTracks.RowCount(), 3);
    EXPECT_EQ(editor.movie.strTimeline.RowCount(), 3);
    EXPECT_EQ(editor.movie.strTracks.At(2).name, "Untitled Track");
    EXPECT_EQ(editor.movie.strTracks.At(2).lock, "");
    EXPECT_EQ(editor.movie.lastAction, "Last Action: Added new track");
}

TEST(Tracks, MoveUpAndDownSwapOnlyTheTwoTracksAndTheirNodes) {
    struct Case {
        int selected;
        EditResult (*move)(Movie&);
        const char* layout;
        int selectedAfter;
        const char* status;
    };
    const Case cases[] = {
        {3, MoveTrackUp, "ACBD 0@10:1/0:10:1 1@20:3/1:20:3 2@30:2/2:30:2 3@40:4/3:40:4", 2,
         "Last Action: Moved track C up"},
        {2, MoveTrackDown, "ACBD 0@10:1/0:10:1 1@20:3/1:20:3 2@30:2/2:30:2 3@40:4/3:40:4", 3,
         "Last Action: Moved track B down"},
    };
    for (const Case& c : cases) {
        Editor editor(4);
        FillFourTracks(editor);
        editor.movie.SelTrack = c.selected;
        c.move(editor.movie);
        EXPECT_EQ(Layout(editor.movie), c.layout);
        EXPECT_EQ(editor.movie.SelTrack, c.selectedAfter);
        EXPECT_EQ(editor.movie.lastAction, c.status);
        EXPECT_EQ(editor.movie.strTimeline.Cell(20, 3), "C");
        EXPECT_EQ(editor.movie.strTimeline.Cell(30, 2), "C");
        EXPECT_EQ(editor.movie.strTimeline.Cell(20, 2), "");
    }
}

TEST(Tracks, MovesAtTheEdgesDoNothing) {
    struct Case {
        int selected;
        EditResult (*move)(Movie&);
    };
    for (const Case c :
         {Case{1, MoveTrackUp}, Case{0, MoveTrackUp}, Case{4, MoveTrackDown}, Case{0, MoveTrackDown}}) {
        Editor editor(4);
        FillFourTracks(editor);
        const std::string before = Layout(editor.movie);
        editor.movie.SelTrack = c.selected;
        EXPECT_FALSE(c.move(editor.movie).changed);
        EXPECT_EQ(Layout(editor.movie), before);
    }
}

TEST(Tracks, TheBufferFollowsAMovedNodeSoEditingItStillReachesIt) {
    Editor editor(4);
    FillFourTracks(editor);
    editor.movie.txtRecords.Load(editor.movie.FindNodeText(true, 30, 3));
    editor.movie.SelTrack = 3;
    MoveTrackUp(editor.movie);
    editor.movie.txtRecords.SetLine(4, "999");
    editor.movie.StoreNodeText(editor.movie.txtRecords.FieldText(),
                               std::stoi(editor.movie.txtRecords.Line(1)),
                               std::stoi(editor.movie.txtRecords.Line(2)));
    EXPECT_EQ(editor.movie.nodeStore.FindById(2)->fieldText, "2:30:2:1:999:0:0:0:0:0:0:0:0:0:0");
    EXPECT_EQ(editor.movie.nodeStore.FindById(1)->fieldText, "1:20:3:1:0:0:0:0:0:0:0:0:0:0:0");
}

TEST(Tracks, DeleteAsksThenRemovesTheTrackAndMovesTheRestUp) {
    Editor editor(4);
    FillFourTracks(editor);
    editor.movie.SelTrack = 2;
    editor.notices.Answer('N');
    EXPECT_FALSE(DeleteTrack(editor.movie, editor.notices).changed);
    EXPECT_EQ(editor.notices.LastText(), "Delete Track: B?");
    EXPECT_EQ(editor.notices.boxes.back().buttons, 'Y');

    editor.notices.Answer('Y');
    const EditResult result = DeleteTrack(editor.movie, editor.notices);
    EXPECT_EQ(result.removed, std::vector<std::int32_t>{1});
    EXPECT_EQ(Layout(editor.movie), "ACD 0@10:1/0:10:1 2@30:2/2:30:2 3@40:3/3:40:3");
    EXPECT_EQ(editor.movie.strTimeline.RowCount(), 4);
    EXPECT_EQ(editor.movie.strTimeline.Cell(30, 2), "C");
    EXPECT_EQ(editor.movie.strTimeline.Cell(40, 3), "C");
    EXPECT_EQ(editor.movie.SelTrack, 0);
    EXPECT_EQ(editor.movie.SelRow, 0);
    EXPECT_EQ(editor.movie.lastAction, "Last Action: Deleted track B");
}

TEST(Tracks, DeletingTheOnlyTrackEmptiesIt) {
    Editor editor(1);
    editor.Select(5, 1);
    AddCamera(editor.context);
    editor.movie.strTracks.At(1).lock = "L";
    editor.movie.SelTrack = 1;
    editor.notices.Answer('Y');
    DeleteTrack(editor.movie, editor.notices);
    EXPECT_EQ(editor.movie.strTracks.RowCount(), 2);
    EXPECT_EQ(editor.movie.strTimeline.RowCount(), 2);
    EXPECT_EQ(editor.movie.strTracks.At(0).name, "Tracks");
    EXPECT_EQ(editor.movie.strTracks.At(1).name, "");
    EXPECT_EQ(editor.movie.strTracks.At(1).lock, "");
    EXPECT_EQ(editor.movie.strTimeline.Cell(5, 1), "");
    EXPECT_TRUE(editor.movie.nodeStore.Empty());
    EXPECT_EQ(editor.movie.lastAction, "Last Action: Deleted track Untitled Track");
}

TEST(Tracks, DeleteWithNoTrackSelectedAsksNothing) {
    Editor editor(4);
    FillFourTracks(editor);
    editor.movie.SelTrack = 0;
    EXPECT_FALSE(DeleteTrack(editor.movie, editor.notices).changed);
    EXPECT_TRUE(editor.notices.boxes.empty());
}

TEST(Tracks, LockTogglesAndReportsEachTime) {
    Editor editor(4);
    FillFourTracks(editor);
    editor.movie.SelTrack = 2;
    ToggleTrackLock(editor.movie);
    EXPECT_TRUE(editor.movie.strTracks.IsLocked(2));
    EXPECT_EQ(editor.movie.lastAction, "Last Action: Locked track B");
    editor.movie.SetLastAction("x");
    ToggleTrackLock(editor.movie);
    EXPECT_FALSE(editor.movie.strTracks.IsLocked(2));
    EXPECT_EQ(editor.movie.lastAction, "Last Action: Locked track B");
    editor.movie.SelTrack = 0;
    EXPECT_FALSE(ToggleTrackLock(editor.movie).changed);
}

TEST(Tracks, ClickingTheTrackGrid) {
    struct Case {
        int row, column;
        bool locked;
        bool accepted;
        const char* status;
    };
    const Case cases[] = {
        {3, 0, false, true, "Last Action: No Action"},   // the name: selects without lock or status
        {3, 1, false, false, "Last Action: No Action"},  // the picture column
        {3, 2, true, false, "Last Action: Locked track C"},
        {0, 2, false, false, "Last Action: No Action"},  // the header row has no lock
    };
    for (const Case& c : cases) {
        Editor editor(4);
        FillFourTracks(editor);
        const TrackClickResult click = ClickTrackGrid(editor.movie, c.row, c.column);
        EXPECT_EQ(click.acceptSelection, c.accepted);
        EXPECT_EQ(editor.movie.SelTrack, c.row);
        EXPECT_EQ(editor.movie.SelRow, c.row);
        EXPECT_EQ(editor.movie.SelTrackColumn, c.column);
        EXPECT_EQ(editor.movie.strTracks.IsLocked(c.row), c.locked);
        EXPECT_EQ(editor.movie.lastAction, c.status);
    }
}

}  // namespace
}  // namespace kinoloop
