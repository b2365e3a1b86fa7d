#include <gtest/gtest.h>

#include "model/field_text.h"
#include "model/movie.h"
#include "model/node_records.h"
#include "model/node_text.h"

namespace kinoloop {
namespace {

TEST(NodeText, BytesFollowTheRecordLayout) {
    NodeText record{.id = 0x01020304, .tag = "CAM", .column = -2, .row = 3, .fieldText = "7:250", .note = "a?b"};
    const auto bytes = record.ToBytes();
    ASSERT_EQ(bytes.size(), 396u);
    EXPECT_EQ(bytes[0], 0x04);
    EXPECT_EQ(bytes[3], 0x01);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[4]), 3), "CAM");
    EXPECT_EQ(bytes[7], 0);
    EXPECT_EQ(bytes[8], 0xFE);  // -2 little-endian
    EXPECT_EQ(bytes[11], 0xFF);
    EXPECT_EQ(bytes[12], 3);
    EXPECT_EQ(bytes[16], 5);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[17]), 5), "7:250");
    EXPECT_EQ(bytes[22], 0);  // slack after the string is written 0
    EXPECT_EQ(bytes[272], 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[273]), 3), "a?b");
    EXPECT_EQ(bytes[393], 0);
    EXPECT_EQ(NodeText::FromBytes(bytes), record);
}

TEST(NodeText, LongTextsAreCutToTheirFields) {
    NodeText record{.id = 1, .tag = "SND", .fieldText = std::string(300, 'a'), .note = std::string(200, 'b')};
    const NodeText back = NodeText::FromBytes(record.ToBytes());
    EXPECT_EQ(back.fieldText.size(), 255u);
    EXPECT_EQ(back.note.size(), 120u);
}

TEST(NodeText, BlankNoteCountsAsNone) {
    EXPECT_FALSE(NodeText{.note = ""}.HasNote());
    EXPECT_FALSE(NodeText{.note = "   "}.HasNote());
    EXPECT_TRUE(NodeText{.note = " x "}.HasNote());
}

TEST(FieldText, SplitKeepsAnEmptyLastField) {
    EXPECT_EQ(SplitFields("1:2:"), (std::vector<std::string>{"1", "2", ""}));
    EXPECT_EQ(JoinFields(SplitFields("3:0:2:1::0")), "3:0:2:1::0");
    EXPECT_EQ(SplitFields(""), (std::vector<std::string>{""}));
}

TEST(FieldText, WorkedExamplesComeOutAsWritten) {
    Movie movie;
    movie.ResetTimeline(600, 25);
    movie.NextNodeID = 7;
    movie.SelCol = 250;
    movie.SelRow = 2;
    movie.AddCameraRecord({});
    EXPECT_EQ(movie.nodeStore.Records().back().fieldText, "7:250:2:1:0:0:0:0:0:0:0:0:0:0:0");
    EXPECT_EQ(movie.NextNodeID, 8);
    EXPECT_EQ(movie.header.nextIdCopy, 8);

    StartNode start;
    start.id = 3;
    start.row = 2;
    start.replayFileName = "race.spr";
    start.replayRow = 1;
    EXPECT_EQ(FieldText(start), "3:0:2:1:race.spr:0:1");
}

TEST(FieldText, FieldOfViewIsGeneralDecimalText) {
    struct Case {
        float value;
        const char* text;
    };
    for (const Case& c : {Case{90.0f, "90"}, Case{72.5f, "72.5"}, Case{0.0f, "0"}, Case{-1.25f, "-1.25"}}) {
        EXPECT_EQ(FormatFieldOfView(c.value), c.text);
    }
    EXPECT_EQ(ParseFieldOfView("72,5"), 72.5f);
    EXPECT_EQ(ParseFieldOfView("72.5"), 72.5f);
    EXPECT_FALSE(ParseFieldOfView("abc"));
    EXPECT_FALSE(ParseFieldOfView(""));
}

TEST(FieldText, IntegersParseStrictly) {
    EXPECT_EQ(ParseInt("-12"), -12);
    EXPECT_EQ(ParseInt(" 5 "), 5);
    EXPECT_FALSE(ParseInt("5a"));
    EXPECT_FALSE(ParseInt(""));
    EXPECT_FALSE(ParseInt("99999999999"));
}

TEST(FieldText, PathsAndNotesEscape) {
    EXPECT_EQ(PathToField("C:\\music\\a.mp3"), "C?\\music\\a.mp3");
    EXPECT_EQ(FieldToPath("C?\\music\\a.mp3"), "C:\\music\\a.mp3");
    EXPECT_EQ(NoteToStored("one\r\ntwo\nthree"), "one?two?three");
    EXPECT_EQ(StoredToNote("one?two"), "one\ntwo");
}

TEST(Movie, DefaultMovieHas15005ColumnsWithLabelsEveryFifth) {
    Movie movie;
    movie.ResetTimeline(10 * 60, 25);
    EXPECT_EQ(movie.strTimeline.ColumnCount(), 15005);
    EXPECT_EQ(movie.strTimeline.RowCount(), 2);
    EXPECT_EQ(movie.strTimeline.Cell(0, 0), "0");
    EXPECT_EQ(movie.strTimeline.Cell(4, 0), "");
    EXPECT_EQ(movie.strTimeline.Cell(15000, 0), "15000");
    EXPECT_EQ(movie.strTracks.At(1).name, "Untitled Track");
    EXPECT_EQ(movie.strTracks.At(0).name, "Tracks");
    EXPECT_EQ(movie.lastAction, "Last Action: No Action");
}

TEST(Movie, LookupsReachOnlyTheFirstRecordOfACell) {
    Movie movie;
    movie.ResetTimeline(10, 25);
    movie.SelCol = 5;
    movie.AddScriptRecord({.scriptName = "a"});
    movie.AddScriptRecord({.scriptName = "b"});
    movie.StoreNodeText("changed", 5, 1);
    EXPECT_EQ(movie.nodeStore.Records()[0].fieldText, "changed");
    EXPECT_EQ(movie.nodeStore.Records()[1].fieldText, "1:5:1:1:b");
    movie.DeleteNodeRecord(5, 1);
    EXPECT_EQ(movie.FindNodeText(false, 5, 1), "1:5:1:1:b");
}

TEST(Movie, StoringACameraSendsTheBufferedCamera) {
    struct Recorder : CameraSender {
        std::vector<std::string> sent;
        void SendCamera(const FieldBuffer& fields) override { sent.push_back(fields.FieldText()); }
    } recorder;
    Movie movie;
    movie.ResetTimeline(10, 25);
    movie.SetCameraSender(&recorder);
    movie.AddCameraRecord({});
    movie.AddScriptRecord({});  // same cell, second in store order
    movie.txtRecords.Load("0:0:1:1:1:2:3:4:5:6:7:8:90:0:0");
    movie.StoreNodeText(movie.txtRecords.FieldText(), 0, 1);
    ASSERT_EQ(recorder.sent.size(), 1u);
    EXPECT_EQ(recorder.sent[0], "0:0:1:1:1:2:3:4:5:6:7:8:90:0:0");
}

TEST(FrameInfo, LabelsUnderTheTimeline) {
    const FrameInfo info = ShowFrameInfo(250.5f, "STD", 25);
    EXPECT_EQ(info.currentFrame, "Frame: 250");  // halves to even
    EXPECT_EQ(info.fps, "25fps");
    EXPECT_EQ(info.time, "10.02s");
    EXPECT_EQ(ShowFrameInfo(251.5f, "PAL", 25).currentFrame, "Frame: 252");
}

}  // namespace
}  // namespace kinoloop
