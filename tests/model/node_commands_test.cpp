#include "model/node_commands.h"

#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace kinoloop {
namespace {

using testing::Editor;

struct AddCase {
    const char* name;
    EditResult (*command)(EditContext&);
    const char* cell;
    const char* tag;
    const char* fieldText;  // node 7 at cell 250:2
    char properties;
    const char* status;  // "" : the status line stays
    const char* hint;    // "" : no hint box
};

const AddCase kAddCases[] = {
    {"camera", AddCamera, "C", "CAM", "7:250:2:1:0:0:0:0:0:0:0:0:0:0:0", 'C',
     "Last Action: Added new camera node at cell 250:2",
     "Adjust the camera using the options in the properties panel below"},
    {"script", AddScript, "S", "SCR", "7:250:2:1:", 'S', "Last Action: Added new script node at cell 250:2",
     "Please select a script from the list in the properties panel below"},
    {"effect", AddEffect, "E", "EFF", "7:250:2:1::0:0:0:0:", 'E',
     "Last Action: Added new effect node at cell 250:2",
     "Please select an effect from the list in the properties panel below. Configure the effect using the "
     "effects "
     "panel on the right"},
    {"sound", AddSound, "T", "SND", "7:250:2:1::1", 'T', "Last Action: Added new sound node at cell 250:2",
     "Please browse for a sound using the properties panel below"},
    {"start", AddReplayStart, "G", "STT", "7:250:2:1::0:0", 'G',
     "Last Action: Added new start node at cell 250:2",
     "Please select a replay from the list in the properties panel below"},
    {"stop", AddReplayStop, "X", "STP", "7:250:2:1", 'N', "Last Action: Added new stop node at cell 250:2",
     ""},
};

TEST(AddNode, EveryKindWritesItsCellRecordStatusAndHint) {
    for (const AddCase& c : kAddCases) {
        SCOPED_TRACE(c.name);
        Editor editor;
        editor.context.prompts = true;
        editor.movie.NextNodeID = 7;
        editor.Select(250, 2);
        const EditResult result = c.command(editor.context);
        EXPECT_TRUE(result.changed);
        EXPECT_EQ(result.added, std::vector<std::int32_t>{7});
        EXPECT_EQ(editor.movie.strTimeline.Cell(250, 2), c.cell);
        ASSERT_NE(editor.At(250, 2), nullptr);
        EXPECT_EQ(editor.At(250, 2)->tag, c.tag);
        EXPECT_EQ(editor.At(250, 2)->fieldText, c.fieldText);
        EXPECT_EQ(editor.movie.txtRecords.FieldText(), c.fieldText);  // the new node is in the buffer
        EXPECT_EQ(editor.movie.NextNodeID, 8);
        EXPECT_EQ(editor.movie.header.nextIdCopy, 8);
        EXPECT_TRUE(editor.hooks.Called(std::string("properties ") + c.properties));
        EXPECT_EQ(editor.movie.lastAction, c.status);
        if (*c.hint == '\0') {
            EXPECT_TRUE(editor.notices.boxes.empty());
        } else {
            ASSERT_EQ(editor.notices.boxes.size(), 1u);
            EXPECT_EQ(editor.notices.boxes[0].text, c.hint);
            EXPECT_EQ(editor.notices.boxes[0].icon, 'I');
            EXPECT_EQ(editor.notices.boxes[0].buttons, 'O');
            EXPECT_EQ(editor.notices.boxes[0].caption, "Kinoloop");
        }
    }
}

TEST(AddNode, WithPromptsOffNoHintAndStopLeavesTheStatusLine) {
    for (const AddCase& c : kAddCases) {
        SCOPED_TRACE(c.name);
        Editor editor;
        editor.Select(250, 2);
        c.command(editor.context);
        EXPECT_TRUE(editor.notices.boxes.empty());
        EXPECT_EQ(editor.movie.strTimeline.Cell(250, 2), c.cell);
        const bool stop = std::string(c.tag) == "STP";
        EXPECT_EQ(editor.movie.lastAction, stop ? "Last Action: No Action" : c.status);
    }
}

TEST(AddNode, HeaderRowOccupiedCellAndOutsideTheGridDoNothingAndSayNothing) {
    struct Place {
        int column, row;
    };
    for (const Place p : {Place{10, 0}, Place{5, 1}, Place{20000, 1}, Place{3, 9}}) {
        Editor editor;
        editor.Select(5, 1);
        AddCamera(editor.context);  // occupies 5:1
        editor.notices.boxes.clear();
        const std::size_t records = editor.movie.nodeStore.Size();
        editor.Select(p.column, p.row);
        for (const AddCase& c : kAddCases) {
            EXPECT_FALSE(c.command(editor.context).changed) << c.name << " at " << p.column << ":" << p.row;
        }
        EXPECT_FALSE(AddReplay(editor.context).changed);
        EXPECT_EQ(editor.movie.nodeStore.Size(), records);
        EXPECT_TRUE(editor.notices.boxes.empty());
    }
}

TEST(AddNode, CameraAsksForTheSimulatorsCameraAfterShowingItsProperties) {
    Editor editor;
    editor.Select(3, 1);
    AddCamera(editor.context);
    EXPECT_EQ(editor.hooks.calls, (std::vector<std::string>{"properties C", "request camera"}));
}

TEST(AddReplay, RefusalsByColumnAndExistingReplay) {
    struct Case {
        bool replayInColumn0;
        int column, row;
        const char* message;
    };
    const Case cases[] = {
        {true, 0, 2,
         "There is already a replay at this point on the timeline. Please add your replay somewhere else"},
        {true, 40, 2,
         "There appears to be a replay already set, Kinoloop only supports one replay at the moment"},
        {false, 40, 1,
         "There appears to be no replay at the first column in the timeline. Please add one there first"},
    };
    for (const Case& c : cases) {
        Editor editor;
        if (c.replayInColumn0) {
            editor.Select(0, 1);
            editor.notices.Answer('N');
            AddReplay(editor.context);
            editor.notices.boxes.clear();
        }
        const std::size_t records = editor.movie.nodeStore.Size();
        editor.Select(c.column, c.row);
        EXPECT_FALSE(AddReplay(editor.context).changed);
        EXPECT_EQ(editor.notices.LastText(), c.message);
        EXPECT_EQ(editor.notices.boxes.back().icon, 'I');
        EXPECT_EQ(editor.movie.nodeStore.Size(), records);
        EXPECT_TRUE(editor.movie.strTimeline.Code(c.column, c.row).Empty());
    }
}

TEST(AddReplay, SpanQuestion) {
    const std::string question =
        "Would you like Kinoloop to extend the replay span over the length of the timeline. (This is "
        "recommended) ?";
    {
        Editor editor;
        editor.context.prompts = true;
        editor.Select(0, 1);
        editor.notices.Answer('Y');
        AddReplay(editor.context);
        ASSERT_EQ(editor.notices.boxes.size(), 2u);
        EXPECT_EQ(editor.notices.boxes[0].text, question);
        EXPECT_EQ(editor.notices.boxes[0].buttons, 'Y');
        EXPECT_EQ(editor.notices.boxes[1].text,
                  "Please select a replay from the list in the properties panel below");
        EXPECT_EQ(editor.Cells(1, 0, 2), "R|r|r");
        EXPECT_EQ(editor.movie.strTimeline.Cell(15000, 1), "r");
        EXPECT_EQ(editor.movie.strTimeline.Cell(15001, 1), "");
        EXPECT_EQ(editor.At(0, 1)->fieldText, "0:0:1:15000::-1");
        EXPECT_EQ(editor.movie.lastAction, "Last Action: Added new replay node at cell 0:1");
    }
    {
        Editor editor;
        editor.Select(0, 1);
        editor.notices.Answer('N');
        AddReplay(editor.context);
        EXPECT_EQ(editor.Cells(1, 0, 1), "R|");
        EXPECT_EQ(editor.At(0, 1)->fieldText, "0:0:1:1::-1");
    }
}

TEST(AddReplay, SpanStopsBeforeAnotherNodeOnItsTrack) {
    Editor editor;
    editor.Select(100, 1);
    AddCamera(editor.context);
    editor.Select(0, 1);
    editor.notices.Answer('Y');
    AddReplay(editor.context);
    EXPECT_EQ(editor.Cells(1, 98, 101), "r|r|C|");
    EXPECT_EQ(editor.At(0, 1)->fieldText, "1:0:1:99::-1");
    EXPECT_EQ(editor.At(100, 1)->tag, "CAM");
}

TEST(TimeMarker, AddsTheTrackFirstThenOneMarkerAtTheNearestFrame) {
    Editor editor(2);
    editor.Select(7, 1);
    editor.movie.CurrentFrame = 12.5f;
    EditResult result = AddTimeMarker(editor.movie);
    EXPECT_TRUE(result.tracksChanged);
    ASSERT_EQ(editor.movie.strTracks.RowCount(), 4);
    EXPECT_EQ(editor.movie.strTracks.At(3).name, "Time Markers");
    EXPECT_EQ(editor.movie.strTimeline.RowCount(), 4);
    EXPECT_EQ(editor.movie.lastAction, "Last Action: Added new track");
    EXPECT_EQ(editor.movie.strTimeline.Cell(12, 3), "M");
    ASSERT_NE(editor.At(12, 3), nullptr);
    EXPECT_EQ(editor.At(12, 3)->fieldText, "0:12:3:1");
    EXPECT_EQ(editor.At(12, 3)->tag, "MKR");

    // The second press at the same frame adds nothing; the selection and status line never move.
    result = AddTimeMarker(editor.movie);
    EXPECT_FALSE(result.changed);
    editor.movie.CurrentFrame = 13.5f;
    editor.movie.SetLastAction("x");
    AddTimeMarker(editor.movie);
    EXPECT_EQ(editor.movie.strTimeline.Cell(14, 3), "M");
    EXPECT_EQ(editor.movie.nodeStore.Size(), 2u);
    EXPECT_EQ(editor.movie.strTracks.RowCount(), 4);
    EXPECT_EQ(editor.movie.lastAction, "Last Action: x");
    EXPECT_EQ(editor.movie.SelCol, 7);
    EXPECT_EQ(editor.movie.SelRow, 1);
}

TEST(TimeMarker, UsesTheExistingTrackWhateverItsCase) {
    Editor editor(3);
    editor.movie.strTracks.At(2).name = "time MARKERS";
    editor.movie.CurrentFrame = 40;
    AddTimeMarker(editor.movie);
    EXPECT_EQ(editor.movie.strTracks.RowCount(), 4);
    EXPECT_EQ(editor.movie.strTimeline.Cell(40, 2), "M");
}

class ScriptedNoteEditor : public NoteEditor {
public:
    explicit ScriptedNoteEditor(std::string reply, std::function<void()> whileOpen = {})
        : reply_(std::move(reply)), whileOpen_(std::move(whileOpen)) {}
    std::string shown;
    std::string EditNote(const std::string& text) override {
        shown = text;
        if (whileOpen_) whileOpen_();
        return reply_;
    }

private:
    std::string reply_;
    std::function<void()> whileOpen_;
};

TEST(AddNote, FromAContinuationCellTheNodeGetsTheNoteAndItsHeadTheMark) {
    Editor editor;
    editor.Select(10, 2);
    AddSound(editor.context);
    editor.movie.strTimeline.SetCell(11, 2, "t");
    editor.movie.strTimeline.SetCell(12, 2, "t");
    editor.movie.nodeStore.Find(10, 2)->note = "old?line";
    editor.Select(12, 2);
    ScriptedNoteEditor note("one?two");
    EXPECT_TRUE(AddNote(editor.context, note).changed);
    EXPECT_EQ(note.shown, "old\nline");
    EXPECT_EQ(editor.At(10, 2)->note, "one?two");
    EXPECT_EQ(editor.Cells(2, 10, 12), "Tn|t|t");
    EXPECT_TRUE(editor.hooks.Called("tooltip one\ntwo"));

    // Again: the mark stays "Tn", an empty note is stored and the "n" stays.
    ScriptedNoteEditor empty("");
    AddNote(editor.context, empty);
    EXPECT_EQ(editor.At(10, 2)->note, "");
    EXPECT_EQ(editor.movie.strTimeline.Cell(10, 2), "Tn");
}

TEST(AddNote, LongNotesAreCutAndEmptyOrHeaderCellsDoNothing) {
    Editor editor;
    editor.Select(3, 1);
    AddCamera(editor.context);
    ScriptedNoteEditor longNote(std::string(130, 'a'));
    AddNote(editor.context, longNote);
    EXPECT_EQ(editor.At(3, 1)->note, std::string(120, 'a'));

    ScriptedNoteEditor never("x");
    for (auto [c, r] : {std::pair{4, 1}, std::pair{3, 0}}) {
        editor.Select(c, r);
        EXPECT_FALSE(AddNote(editor.context, never).changed);
    }
    EXPECT_EQ(never.shown, "");
}

TEST(AddNote, NodeDeletedWhileTheWindowWaitsIsLeftAlone) {
    Editor editor;
    editor.Select(3, 1);
    AddCamera(editor.context);
    ScriptedNoteEditor note("late", [&] {
        editor.movie.DeleteNodeRecord(3, 1);
        editor.movie.strTimeline.SetCell(3, 1, "");
    });
    EXPECT_FALSE(AddNote(editor.context, note).changed);
    EXPECT_EQ(editor.movie.strTimeline.Cell(3, 1), "");
}

}  // namespace
}  // namespace kinoloop
