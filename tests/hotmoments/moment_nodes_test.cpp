#include "hotmoments/moment_nodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "model/field_text.h"
#include "moment_fixtures.h"
#include "scripted_notices.h"

namespace kinoloop {

void PrintTo(const MomentListRow& row, std::ostream* out) {
    *out << "{" << row.Start << ", " << row.End << ", " << row.Duration << ", " << row.Action << ", "
         << row.Player1 << ", " << row.Player2 << ", " << row.Player1ID << ", " << row.Player2ID << "}";
}

namespace {

using testing::Car;
using testing::Packet;
using testing::Player;
using testing::ScriptedNotices;

MomentListRow Row(std::string start, std::string action, std::string player1, std::string player2,
                  std::string id1, std::string id2) {
    return MomentListRow{start, start, "0", action, player1, player2, id1, id2};
}

// A ten-second movie and a recorder holding cars 3 (Anna) and 4 (Bert) at frames 12 and 40, and car 5, of
// whom no player record came, at frame 12.
class HotMomentNodes : public ::testing::Test {
protected:
    void SetUp() override {
        movie.ResetTimeline(10, 25);
        recorder.AddPlayer(Player(3, "Anna", 30));
        recorder.AddPlayer(Player(4, "Bert", 40));
        recorder.AddCarData(12, Packet({Car(3, 1000, -2000, {.z = 300, .heading = 10000}),
                                        Car(4, 5000, 6000, {.z = 700, .heading = 40000}), Car(5, 0, 0)}));
        recorder.AddCarData(40, Packet({Car(4, 8000, 9000, {.z = 900, .heading = 123})}));
    }

    // Puts hot-moment nodes on a new track; returns its row.
    int AddMoments(const std::vector<MomentListRow>& rows) {
        const AddToTimelineResult added = AddToTimeline(movie, notices, rows);
        notices.boxes.clear();
        return added.trackRow;
    }

    std::vector<std::string> Tags() const {
        std::vector<std::string> tags;
        for (const NodeText& record : movie.nodeStore.Records()) tags.push_back(record.tag);
        return tags;
    }

    Movie movie;
    TMoments recorder;
    ScriptedNotices notices;
};

// --- the list and "Add To Timeline"
// ------------------------------------------------------------------------------

TEST_F(HotMomentNodes, ListRowsNameThePlayers) {
    recorder.AddCarData(13, Packet({Car(3, 1000, -2000, {.angVel = 5000}), Car(4, 1000 + 65536, -2000),
                                    Car(5, 90 * 65536, 0, {.speed = 900, .direction = 9000})}));
    ASSERT_TRUE(recorder.Analyse(Thresholds{}).ok);
    // Frame 40 was sampled between 12 and 13, so the pair close in both starts anew at 13.
    const std::vector<MomentListRow> expected = {
        {"12", "12", "0", "Close players", "Anna", "Bert", "3", "4"},
        {"12", "12", "0", "Close players", "Anna", "Unknown (5)", "3", "5"},
        {"12", "12", "0", "Close players", "Bert", "Unknown (5)", "4", "5"},
        {"13", "13", "0", "Drift", "Unknown (5)", "", "5", "-1"},
        {"13", "13", "0", "AngVel", "Anna", "", "3", "-1"},
        {"13", "13", "0", "Close players", "Anna", "Bert", "3", "4"},
    };
    // Frame 12's cars also come close to the empty slot's PLID 0 at 0,0; those rows are left out here.
    std::vector<MomentListRow> rows;
    for (const MomentListRow& row : MomentListRows(recorder)) {
        if (row.Player1ID != "0" && row.Player2ID != "0") rows.push_back(row);
    }
    EXPECT_EQ(rows, expected);
}

TEST_F(HotMomentNodes, NothingToAddOnlyTells) {
    const AddToTimelineResult result = AddToTimeline(movie, notices, {});
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].icon, 'I');
    EXPECT_EQ(notices.boxes[0].buttons, 'O');
    EXPECT_EQ(notices.boxes[0].text, "There are no Hot Moments to add to the timeline");
    EXPECT_EQ(result.trackRow, 0);
    EXPECT_EQ(movie.strTimeline.RowCount(), 2);
    EXPECT_EQ(movie.strTracks.RowCount(), 2);
    EXPECT_TRUE(movie.nodeStore.Empty());
    EXPECT_EQ(movie.lastAction, "Last Action: No Action");
}

TEST_F(HotMomentNodes, EachRowBecomesANodeOnANewTrack) {
    const std::vector<MomentListRow> rows = {
        Row("12", "Close players", "Anna", "Bert", "3", "4"),
        Row("12", "Drift", "Anna", "", "3", "-1"),
        Row(" 40 ", "AngVel", "", "", "4", "-1"),
    };
    const AddToTimelineResult result = AddToTimeline(movie, notices, rows);
    EXPECT_EQ(result.trackRow, 2);
    EXPECT_EQ(result.added, 3);
    ASSERT_EQ(movie.strTimeline.RowCount(), 3);
    ASSERT_EQ(movie.strTracks.RowCount(), 3);
    EXPECT_EQ(movie.strTracks.Cell(0, 2), "Hot Moments");
    EXPECT_EQ(movie.strTracks.Cell(1, 2), "");
    EXPECT_FALSE(movie.strTracks.IsLocked(2));
    EXPECT_EQ(movie.lastAction, "Last Action: Added new track");

    for (int column = 0; column < movie.strTimeline.ColumnCount(); ++column) {
        const bool head = column == 12 || column == 40;
        EXPECT_EQ(movie.strTimeline.Cell(column, 2), head ? "Hn" : "") << column;
    }

    struct Expected {
        const char* fields;
        const char* note;
    };
    const Expected expected[] = {
        {"0:12:2:1:3:4", "Hot Moment: Close players??Anna - Bert"},
        {"1:12:2:1:3:-1", "Hot Moment: Drift??Anna"},
        {"2:40:2:1:4:-1", "Hot Moment: AngVel"},
    };
    ASSERT_EQ(movie.nodeStore.Size(), 3u);
    for (std::int32_t i = 0; i < 3; ++i) {
        ASSERT_NE(movie.nodeStore.FindById(i), nullptr) << i;
        const NodeText& record = *movie.nodeStore.FindById(i);
        EXPECT_EQ(record.tag, "MOM");
        EXPECT_EQ(record.fieldText, expected[i].fields);
        EXPECT_EQ(record.note, expected[i].note);
    }
    EXPECT_EQ(movie.NextNodeID, 3);
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].icon, 'I');
    EXPECT_EQ(notices.LastText(),
              "The Hot Moments have been added to the timeline. You can view them in the Node Library");
}

TEST_F(HotMomentNodes, EveryPressAddsAnotherTrack) {
    const std::vector<MomentListRow> rows = {Row("5", "Drift", "Anna", "", "3", "-1")};
    EXPECT_EQ(AddMoments(rows), 2);
    EXPECT_EQ(AddMoments(rows), 3);
    EXPECT_EQ(movie.strTracks.Cell(0, 3), "Hot Moments");
    EXPECT_EQ(movie.strTimeline.RowCount(), movie.strTracks.RowCount());
    EXPECT_EQ(movie.nodeStore.Records()[1].fieldText, "1:5:3:1:3:-1");
}

TEST_F(HotMomentNodes, LongNotesAreCutTo120Characters) {
    const std::string longName(100, 'n');
    AddMoments({Row("5", "Close players", longName, "Bert", "3", "4")});
    const std::string note = movie.nodeStore.Records()[0].note;
    EXPECT_EQ(note.size(), 120u);
    EXPECT_EQ(note, ("Hot Moment: Close players??" + longName + " - Bert").substr(0, 120));
}

TEST_F(HotMomentNodes, RowsOutsideTheTimelineAreNotAddedAndSaidSo) {
    const int columns = movie.strTimeline.ColumnCount();
    const AddToTimelineResult result = AddToTimeline(
        movie, notices,
        {Row("5", "Drift", "Anna", "", "3", "-1"), Row(std::to_string(columns), "Drift", "", "", "3", "-1"),
         Row("-1", "Drift", "", "", "3", "-1"), Row("x", "Drift", "", "", "3", "-1")});
    EXPECT_EQ(result.added, 1);
    EXPECT_EQ(result.skipped, 3);
    EXPECT_EQ(movie.nodeStore.Size(), 1u);
    ASSERT_EQ(notices.boxes.size(), 2u);
    EXPECT_EQ(notices.boxes[0].text, kMomentsAdded);
    EXPECT_NE(notices.boxes[1].text.find("3 of the Hot Moments were not added"), std::string::npos);
}

// --- cameras
// -----------------------------------------------------------------------------------------------------

TEST_F(HotMomentNodes, BuildCameraPlacesATvCameraAtTheCar) {
    CameraNode camera;
    ASSERT_TRUE(BuildCamera(recorder, 12, 3, camera));
    EXPECT_EQ(camera.x, 1000);
    EXPECT_EQ(camera.y, -2000);
    EXPECT_EQ(camera.z, 300);
    EXPECT_EQ(camera.heading, 10000);
    EXPECT_EQ(camera.pitch, 0);
    EXPECT_EQ(camera.roll, 0);
    EXPECT_EQ(camera.viewPlayer, 30);  // the player record's byte 96
    EXPECT_EQ(camera.cameraType, 2);
    EXPECT_FLOAT_EQ(camera.fieldOfView, 80.0f);
    EXPECT_EQ(camera.time, 0);
    EXPECT_EQ(camera.flags, 0);
}

TEST_F(HotMomentNodes, BuildCameraFailsWithoutSampleCarOrPlayer) {
    struct Case {
        const char* what;
        int frame;
        int player;
    };
    const Case cases[] = {
        {"no sample at the frame", 13, 3},
        {"car not in the sample", 40, 3},
        {"no player record", 12, 5},
        {"not a player id", 12, 300},
    };
    for (const Case& c : cases) {
        CameraNode camera;
        camera.x = 77;
        EXPECT_FALSE(BuildCamera(recorder, c.frame, c.player, camera)) << c.what;
        EXPECT_EQ(camera.x, 77) << c.what;
    }
}

TEST(FinishCamera, EveryTargetAsItsTableSays) {
    struct Case {
        ConversionTarget target;
        std::uint16_t heading;
        std::int32_t x, y, z;
        std::uint16_t finishedHeading, pitch, roll;
        std::uint8_t type;
        std::uint16_t flags;
    };
    const Case cases[] = {
        {ConversionTarget::Arcade, 10000, 1, 2, 3, 10000, 5, 6, 0, 8192},
        {ConversionTarget::Helicopter, 10000, 1, 2, 3, 10000, 5, 6, 1, 8192},
        {ConversionTarget::TvCamera, 10000, 1, 2, 3, 10000, 5, 6, 2, 8192},
        {ConversionTarget::Driver, 10000, 1, 2, 3, 0, 0, 0, 3, 8192},
        {ConversionTarget::Custom, 10000, 1, 2, 3, 10000, 5, 6, 4, 8192},
        {ConversionTarget::TrackingFollow, 10000, 0, -196608, 65536, 42768, 5, 6, 2, 104},
        {ConversionTarget::TrackingFollow, 40000, 0, -196608, 65536, 7232, 5, 6, 2, 104},
        {ConversionTarget::TrackingStatic, 10000, 1, 2, 3, 42768, 5, 6, 2, 72},
        {ConversionTarget::TrackingStatic, 40000, 1, 2, 3, 7232, 5, 6, 2, 72},
        {ConversionTarget::TrackingStatic, 32768, 1, 2, 3, 0, 5, 6, 2, 72},
        {ConversionTarget::TrackingStatic, 0, 1, 2, 3, 32768, 5, 6, 2, 72},
    };
    for (const Case& c : cases) {
        CameraNode camera;
        camera.x = 1;
        camera.y = 2;
        camera.z = 3;
        camera.heading = c.heading;
        camera.pitch = 5;
        camera.roll = 6;
        camera.viewPlayer = 9;
        camera.cameraType = 2;
        camera.fieldOfView = 80.0f;
        FinishCamera(camera, c.target);
        const std::string what =
            "target " + std::to_string(static_cast<int>(c.target)) + ", heading " + std::to_string(c.heading);
        EXPECT_EQ(camera.x, c.x) << what;
        EXPECT_EQ(camera.y, c.y) << what;
        EXPECT_EQ(camera.z, c.z) << what;
        EXPECT_EQ(camera.heading, c.finishedHeading) << what;
        EXPECT_EQ(camera.pitch, c.pitch) << what;
        EXPECT_EQ(camera.roll, c.roll) << what;
        EXPECT_EQ(camera.cameraType, c.type) << what;
        EXPECT_EQ(camera.flags, c.flags) << what;
        EXPECT_EQ(camera.viewPlayer, 9) << what;
        EXPECT_FLOAT_EQ(camera.fieldOfView, 80.0f) << what;
    }
}

// --- converting nodes
// --------------------------------------------------------------------------------------------

TEST_F(HotMomentNodes, ConvertingTheSelectedNodeReplacesItWithACamera) {
    const int row =
        AddMoments({Row("12", "Drift", "Anna", "", "3", "-1"), Row("40", "Drift", "Bert", "", "4", "-1")});
    movie.SelCol = 12;
    movie.SelRow = row;
    ASSERT_TRUE(ConvertMoment(movie, recorder, ConversionTarget::TrackingStatic));

    EXPECT_EQ(movie.strTimeline.Cell(12, row), "C");
    EXPECT_EQ(Tags(), (std::vector<std::string>{"MOM", "CAM"}));
    const NodeText* camera = movie.nodeStore.Find(12, row);
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->fieldText, "2:12:2:1:1000:-2000:300:42768:0:0:30:2:80:0:72");
    EXPECT_EQ(camera->note, "");
    EXPECT_FALSE(notices.boxes.size());  // converting one node never says anything
    // The other node is untouched.
    EXPECT_EQ(movie.strTimeline.Cell(40, row), "Hn");
}

TEST_F(HotMomentNodes, ASelectedNodeThatCannotBeConvertedStaysAsItWas) {
    const int row =
        AddMoments({Row("12", "Drift", "Anna", "", "3", "-1"), Row("12", "Drift", "", "", "5", "-1"),
                    Row("40", "Drift", "Anna", "", "3", "-1")});
    struct Case {
        const char* what;
        int column;
        std::function<void()> prepare;
    };
    const Case cases[] = {
        {"empty cell", 20, [] {}},
        {"not a hot-moment cell", 13, [&] { movie.strTimeline.SetCell(13, row, "C"); }},
        {"car not in that frame's sample", 40, [] {}},
        {"moved to a frame without a sample", 13,
         [&] {
             movie.strTimeline.SetCell(12, row, "");
             movie.strTimeline.SetCell(13, row, "Hn");
             for (NodeText& record : movie.nodeStore.MutableRecords())
                 record.column = record.column == 12 ? 13 : record.column;
         }},
        {"player field not a number", 40,
         [&] { movie.nodeStore.MutableRecords()[2].fieldText = "2:40:2:1:three:-1"; }},
    };
    for (const Case& c : cases) {
        c.prepare();
        const std::vector<NodeText> records = movie.nodeStore.Records();
        const std::string cell = std::string(movie.strTimeline.Cell(c.column, row));
        movie.SelCol = c.column;
        movie.SelRow = row;
        EXPECT_FALSE(ConvertMoment(movie, recorder, ConversionTarget::Arcade)) << c.what;
        EXPECT_EQ(movie.nodeStore.Records(), records) << c.what;
        EXPECT_EQ(movie.strTimeline.Cell(c.column, row), cell) << c.what;
        EXPECT_TRUE(notices.boxes.empty()) << c.what;
    }
}

TEST_F(HotMomentNodes, ACellOfSeveralMomentsShowsTheCameraItAnnounces) {
    const int row =
        AddMoments({Row("12", "Drift", "Anna", "", "3", "-1"), Row("12", "Drift", "Bert", "", "4", "-1")});
    movie.SelCol = 12;
    movie.SelRow = row;
    ASSERT_TRUE(ConvertMoment(movie, recorder, ConversionTarget::Driver));
    EXPECT_EQ(movie.strTimeline.Cell(12, row), "C");
    std::vector<std::string> tags = Tags();
    std::sort(tags.begin(), tags.end());
    EXPECT_EQ(tags, (std::vector<std::string>{"CAM", "MOM"}));
    // The cell's first record is the camera, whichever of the two it was made from.
    const std::vector<std::string> fields = SplitFields(movie.FindNodeText(false, 12, row));
    ASSERT_EQ(fields.size(), 15u);
    EXPECT_EQ(fields[field::Id], "2");
    EXPECT_EQ(fields[field::CamType], "3");
    EXPECT_EQ(fields[field::CamHeading], "0");
    // A camera cell does not convert again; converting all takes the moment left behind it.
    EXPECT_FALSE(ConvertMoment(movie, recorder, ConversionTarget::Driver));
    EXPECT_EQ(ConvertAllMoments(movie, recorder, notices, ConversionTarget::Arcade).converted, 1);
    EXPECT_EQ(Tags(), (std::vector<std::string>{"CAM", "CAM"}));
    EXPECT_EQ(SplitFields(movie.FindNodeText(false, 12, row))[field::Id], "3");
}

TEST_F(HotMomentNodes, ConvertAllWithNoHotMomentsStillSaysComplete) {
    const ConversionResult result = ConvertAllMoments(movie, recorder, notices, ConversionTarget::Arcade);
    EXPECT_EQ(result.converted, 0);
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].icon, 'I');
    EXPECT_EQ(notices.boxes[0].text, "Conversion of all Hot Moments to Cameras is complete");
}

TEST_F(HotMomentNodes, ConvertAllConvertsWhatItCanAndSaysWhenNotAll) {
    const int row = AddMoments(
        {Row("12", "Drift", "Anna", "", "3", "-1"), Row("12", "Drift", "", "", "5", "-1"),
         Row("40", "Close players", "Bert", "Anna", "4", "3"), Row("41", "Drift", "Bert", "", "4", "-1")});
    // A node of another kind between them stays as it is.
    movie.SelCol = 60;
    movie.SelRow = 1;
    movie.AddStopRecord(BasicNode{});

    const ConversionResult result =
        ConvertAllMoments(movie, recorder, notices, ConversionTarget::TrackingFollow);
    EXPECT_EQ(result.converted, 2);
    EXPECT_EQ(result.failed, 2);
    EXPECT_EQ(Tags(), (std::vector<std::string>{"CAM", "MOM", "MOM", "STP", "CAM"}));
    EXPECT_EQ(movie.FindNodeText(false, 12, row), "5:12:2:1:0:-196608:65536:42768:0:0:30:2:80:0:104");
    EXPECT_EQ(movie.FindNodeText(false, 40, row), "6:40:2:1:0:-196608:65536:32891:0:0:40:2:80:0:104");
    EXPECT_EQ(movie.strTimeline.Cell(12, row), "C");
    EXPECT_EQ(movie.strTimeline.Cell(40, row), "C");
    EXPECT_EQ(movie.strTimeline.Cell(41, row), "Hn");  // no sample at frame 41
    EXPECT_EQ(movie.SelCol, 41);                       // the last hot-moment node walked
    ASSERT_EQ(notices.boxes.size(), 2u);
    EXPECT_EQ(notices.boxes[0].text, "Conversion of all Hot Moments to Cameras is complete");
    EXPECT_EQ(
        notices.boxes[1].text,
        "Not all Hot Moments were converted, they may be missing as a result of loading a saved replay");
    EXPECT_EQ(notices.boxes[1].icon, 'I');
}

}  // namespace
}  // namespace kinoloop
