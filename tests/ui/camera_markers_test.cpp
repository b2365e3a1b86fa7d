// The camera-marker commands over the model, with the simulator's camera reply played by the test.
#include <gtest/gtest.h>

#include <functional>

#include "model/camera_markers.h"
#include "model/field_text.h"
#include "scripted_notices.h"

namespace kinoloop {
namespace {

// Plays the link's reply handler: writes a camera into the node in the buffer, or never answers.
class ScriptedCameraWait : public CameraWait {
public:
    explicit ScriptedCameraWait(Movie& movie) : movie_(movie) {}
    bool WaitForCamera() override {
        ++waits;
        if (!answers) return false;
        movie_.txtRecords.SetLine(field::CamX, std::to_string(replyX));
        const auto column = ParseInt(movie_.txtRecords.Line(field::Column));
        const auto row = ParseInt(movie_.txtRecords.Line(field::Row));
        if (column && row) movie_.StoreNodeText(movie_.txtRecords.FieldText(), *column, *row);
        return true;
    }
    bool answers = true;
    int replyX = 0;
    int waits = 0;

private:
    Movie& movie_;
};

class CameraMarkersTest : public ::testing::Test {
protected:
    void SetUp() override { movie.ResetTimeline(60, 25); }
    void Camera(int column, int row, const char* code = "C") {
        movie.SelCol = column;
        movie.SelRow = row;
        CameraNode camera;
        camera.x = column * 1000;
        movie.AddCameraRecord(camera);
        movie.strTimeline.SetCell(column, row, code);
    }
    void Select(int column, int row) {
        movie.SelCol = column;
        movie.SelRow = row;
        movie.selection = TimelineSelection::Cell(column, row);
    }
    std::string Field(int column, int row, int index) {
        return SplitFields(movie.nodeStore.Find(column, row)->fieldText).at(static_cast<std::size_t>(index));
    }

    Movie movie;
    testing::ScriptedNotices notices;
    EditContext context{movie, notices};
    CameraMarkers markers;
    ScriptedCameraWait wait{movie};
};

TEST_F(CameraMarkersTest, RefusalsNameWhatIsMissing) {
    Camera(10, 1, "Cn");
    Camera(30, 1);
    movie.strTimeline.InsertTrack(2);
    movie.strTracks.InsertRow(2, TrackGrid::Row{"Other", "", ""});
    Camera(40, 2);
    const struct {
        int column, row;
        bool start;
        const char* message;
    } cases[] = {
        {10, 1, true, "You can only add a marker to a camera"},  // a camera with a note does not qualify
        {20, 1, true, "You can only add a marker to a camera"},  // an empty cell
        {10, 0, true, "You can only add a marker to a camera"},  // the header row
        {30, 1, false, "You must add a start marker first"},
    };
    for (const auto& c : cases) {
        Select(c.column, c.row);
        const EditResult result = c.start ? AddCameraStartMarker(context, markers, wait)
                                          : AddCameraEndMarker(context, markers, wait);
        EXPECT_FALSE(result.changed);
        EXPECT_EQ(notices.LastText(), c.message);
    }
    markers.startColumn = 31;
    markers.startRow = 1;
    Select(40, 2);
    AddCameraEndMarker(context, markers, wait);
    EXPECT_EQ(notices.LastText(), "You must add the stop marker on the same row as the start marker");
    EXPECT_EQ(wait.waits, 0);
}

TEST_F(CameraMarkersTest, StartAndEndBuildOneCameraMoveFromStartToEnd) {
    Camera(10, 1);
    Select(10, 1);
    wait.replyX = 555;
    AddCameraStartMarker(context, markers, wait);
    EXPECT_EQ(movie.strTimeline.Cell(11, 1), "C") << "the copy stands in the next column";
    EXPECT_EQ(Field(11, 1, field::CamX), "555") << "the copy took the simulator's camera";
    EXPECT_EQ(Field(10, 1, field::CamX), "10000") << "the original is untouched";
    EXPECT_EQ(markers.startColumn, 11);
    EXPECT_EQ(movie.lastAction, "Last Action: Added camera start marker 11:1");
    EXPECT_EQ(notices.LastText(), "Start marker set, you can now resume LFS");

    Camera(20, 1);
    Select(20, 1);
    wait.replyX = 777;
    AddCameraEndMarker(context, markers, wait);
    EXPECT_EQ(movie.lastAction, "Last Action: Added camera stop marker 11:1");
    EXPECT_EQ(Field(11, 1, field::CamX), "777") << "the move ends where the simulator's camera was";
    EXPECT_EQ(Field(11, 1, field::Length), "8");
    EXPECT_EQ(Field(11, 1, field::CamTime), "8");
    EXPECT_EQ(movie.nodeStore.Find(20, 1), nullptr) << "the end camera is removed";
    for (int c = 12; c <= 20; ++c) EXPECT_EQ(movie.strTimeline.Cell(c, 1), "c") << c;
    EXPECT_EQ(movie.strTimeline.Cell(21, 1), "");
    EXPECT_FALSE(markers.HasStart());
    EXPECT_EQ(movie.txtRecords.LineCount(), 0);
}

TEST_F(CameraMarkersTest, ASilentSimulatorEndsTheCommandWithAMessage) {
    Camera(10, 1);
    Select(10, 1);
    wait.answers = false;
    AddCameraStartMarker(context, markers, wait);
    EXPECT_EQ(notices.LastText(), kCameraNoReply);
    EXPECT_EQ(movie.lastAction, "Last Action: Pasted node at cell 11:1") << "no marker status: only the paste";
    EXPECT_TRUE(markers.HasStart()) << "the pasted copy stays the start of the move";

    Camera(20, 1);
    Select(20, 1);
    AddCameraEndMarker(context, markers, wait);
    EXPECT_EQ(notices.LastText(), kCameraNoReply);
    EXPECT_NE(movie.nodeStore.Find(20, 1), nullptr) << "nothing is deleted";
    EXPECT_EQ(movie.strTimeline.Cell(12, 1), "");
    EXPECT_TRUE(markers.HasStart()) << "the user may try the end marker again";
    EXPECT_EQ(markers.endColumn, -1);
}

}  // namespace
}  // namespace kinoloop
