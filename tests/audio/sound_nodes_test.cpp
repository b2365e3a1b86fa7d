#include "audio/sound_nodes.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "model/field_text.h"
#include "scripted_notices.h"

namespace kinoloop {
namespace {

class FixedMeasure : public SoundFileMeasure {
public:
    explicit FixedMeasure(int ms) : ms_(ms) {}
    int FileLengthMs(const std::string& path) override {
        measured.push_back(path);
        if (ms_ == kThrow) throw std::runtime_error("decoder failed");
        return ms_;
    }
    static constexpr int kThrow = -1000;
    std::vector<std::string> measured;

private:
    int ms_;
};

class SoundNodeBrowse : public ::testing::Test {
protected:
    void SetUp() override {
        movie.ResetTimeline(600, 25);
        AddSoundNode(100, 1);
    }
    void AddSoundNode(int column, int row) {
        movie.SelCol = column;
        movie.SelRow = row;
        movie.AddSoundRecord(SoundNode{});
        movie.strTimeline.SetCell(column, row, "T");
    }
    void AddCameraAt(int column, int row) {
        movie.SelCol = column;
        movie.SelRow = row;
        movie.AddCameraRecord(CameraNode{});
        movie.strTimeline.SetCell(column, row, "C");
    }
    std::vector<std::string> Fields(int column, int row) {
        return SplitFields(movie.nodeStore.Find(column, row)->fieldText);
    }
    int CoveredCells(int column, int row) {
        int count = 0;
        for (int k = column + 1; movie.strTimeline.Cell(k, row) == "t"; ++k) ++count;
        return count;
    }

    Movie movie;
    testing::ScriptedNotices notices;
};

TEST_F(SoundNodeBrowse, LengthIsWholeSecondsTimesFps) {
    const struct {
        int ms;
        int fps;
        int length;
        int covered;
    } cases[] = {
        {10900, 25, 250, 249},  // 10 whole seconds
        {500, 25, 0, 0},        // under a second: no length, no cells
        {-1, 25, 0, 0},         // cannot be opened: length 0, no message
        {1000, 25, 25, 24},    {2999, 30, 60, 59}, {0, 25, 0, 0},
    };
    for (const auto& c : cases) {
        SetUp();
        notices.boxes.clear();
        FixedMeasure measure(c.ms);
        const SoundBrowseResult result =
            BrowseSoundFile(movie, notices, measure, 100, 1, "/music/a.wav", c.fps);
        EXPECT_TRUE(result.stored) << c.ms;
        EXPECT_EQ(result.length, c.length) << c.ms;
        EXPECT_FALSE(result.truncated) << c.ms;
        EXPECT_EQ(Fields(100, 1)[field::Length], std::to_string(c.length)) << c.ms;
        EXPECT_EQ(Fields(100, 1)[field::SoundLength], std::to_string(c.length)) << c.ms;
        EXPECT_EQ(CoveredCells(100, 1), c.covered) << c.ms;
        EXPECT_TRUE(notices.boxes.empty()) << c.ms;
    }
}

TEST_F(SoundNodeBrowse, ShowsTheBalloonMeasuresAndStoresThePathWithQuestionMarks) {
    FixedMeasure measure(3000);
    BrowseSoundFile(movie, notices, measure, 100, 1, "C:\\music\\a.mp3", 25);
    ASSERT_EQ(notices.balloons.size(), 1u);
    EXPECT_EQ(notices.balloons[0].title, "Kinoloop 2");
    EXPECT_EQ(notices.balloons[0].text, "Scanning Sound File, Please Wait");
    EXPECT_EQ(notices.balloons[0].kind, BalloonKind::Information);
    EXPECT_EQ(notices.balloons[0].displayMs, 5000);
    ASSERT_EQ(measure.measured.size(), 1u);
    EXPECT_EQ(measure.measured[0], "C:\\music\\a.mp3");
    EXPECT_EQ(Fields(100, 1)[field::SoundPath], "C?\\music\\a.mp3");
    EXPECT_EQ(SoundNodePath(movie.nodeStore.Find(100, 1)->fieldText), "C:\\music\\a.mp3");
    EXPECT_EQ(movie.txtRecords.Line(field::SoundPath),
              "C?\\music\\a.mp3");  // the panel shows what was stored
    EXPECT_EQ(movie.txtRecords.Line(field::Length), "75");
}

TEST_F(SoundNodeBrowse, OccupiedCellTruncatesWithMessage) {
    AddCameraAt(105, 1);
    FixedMeasure measure(10000);
    const SoundBrowseResult result = BrowseSoundFile(movie, notices, measure, 100, 1, "/m/ten.ogg", 25);
    EXPECT_TRUE(result.truncated);
    EXPECT_EQ(result.length, 5);
    EXPECT_EQ(Fields(100, 1)[field::Length], "5");
    EXPECT_EQ(Fields(100, 1)[field::SoundLength], "5");
    for (int k = 101; k <= 104; ++k) EXPECT_EQ(movie.strTimeline.Cell(k, 1), "t") << k;
    EXPECT_EQ(movie.strTimeline.Cell(105, 1), "C");
    ASSERT_EQ(notices.boxes.size(), 1u);
    EXPECT_EQ(notices.boxes[0].icon, 'I');
    EXPECT_EQ(notices.boxes[0].buttons, 'O');
    EXPECT_EQ(notices.boxes[0].caption, "Kinoloop");
    EXPECT_EQ(notices.boxes[0].text, kSoundTruncated);
}

TEST_F(SoundNodeBrowse, OtherTracksDoNotTruncate) {
    AddCameraAt(105, 2);
    FixedMeasure measure(10000);
    EXPECT_EQ(BrowseSoundFile(movie, notices, measure, 100, 1, "/m/ten.ogg", 25).length, 250);
    EXPECT_TRUE(notices.boxes.empty());
}

TEST_F(SoundNodeBrowse, BrowsingAgainReplacesTheNodesOwnCells) {
    FixedMeasure tenSeconds(10000);
    BrowseSoundFile(movie, notices, tenSeconds, 100, 1, "/m/ten.ogg", 25);
    ASSERT_EQ(CoveredCells(100, 1), 249);

    FixedMeasure twoSeconds(2000);
    const SoundBrowseResult shorter = BrowseSoundFile(movie, notices, twoSeconds, 100, 1, "/m/two.ogg", 25);
    EXPECT_EQ(shorter.length, 50);
    EXPECT_FALSE(shorter.truncated);
    EXPECT_EQ(CoveredCells(100, 1), 49);
    EXPECT_EQ(movie.strTimeline.Cell(150, 1), "");

    const SoundBrowseResult longer = BrowseSoundFile(movie, notices, tenSeconds, 100, 1, "/m/ten.ogg", 25);
    EXPECT_EQ(longer.length, 250);
    EXPECT_TRUE(notices.boxes.empty());
}

TEST_F(SoundNodeBrowse, CellsOfANodeFurtherOnAreNotCleared) {
    // The sound node at 100 is empty; a "t" run at 101.. belongs to nobody but cannot be told apart: only the
    // run right after the head is the node's own, a node's cells after a gap are kept.
    AddCameraAt(103, 1);
    movie.strTimeline.SetCell(104, 1, "c");
    FixedMeasure measure(10000);
    EXPECT_EQ(BrowseSoundFile(movie, notices, measure, 100, 1, "/m/ten.ogg", 25).length, 3);
    EXPECT_EQ(movie.strTimeline.Cell(104, 1), "c");
}

TEST_F(SoundNodeBrowse, TimelineEndCutsTheSoundShort) {
    const int last = movie.strTimeline.ColumnCount() - 1;
    AddSoundNode(last - 10, 1);
    FixedMeasure measure(10000);
    const SoundBrowseResult result = BrowseSoundFile(movie, notices, measure, last - 10, 1, "/m/ten.ogg", 25);
    EXPECT_EQ(result.length, 11);
    EXPECT_TRUE(result.truncated);
    EXPECT_EQ(notices.LastText(), kSoundTruncated);
}

TEST_F(SoundNodeBrowse, PathTooLongForTheFieldTextIsRefused) {
    const std::string before = movie.nodeStore.Find(100, 1)->fieldText;
    FixedMeasure measure(10000);
    const std::string path = "/" + std::string(240, 'x') + ".mp3";
    const SoundBrowseResult result = BrowseSoundFile(movie, notices, measure, 100, 1, path, 25);
    EXPECT_FALSE(result.stored);
    EXPECT_EQ(movie.nodeStore.Find(100, 1)->fieldText, before);
    EXPECT_TRUE(measure.measured.empty());
    EXPECT_TRUE(notices.balloons.empty());
    EXPECT_EQ(notices.LastText(), kSoundPathTooLong);
    EXPECT_EQ(CoveredCells(100, 1), 0);

    // The longest path that still fits with the longest lengths is taken whole.
    const std::size_t room = NodeText::kFieldTextMax - std::string("0:100:1:2147483647::2147483647").size();
    const std::string fits = "/" + std::string(room - 5, 'y') + ".mp3";
    EXPECT_TRUE(BrowseSoundFile(movie, notices, measure, 100, 1, fits, 25).stored);
    EXPECT_EQ(SoundNodePath(movie.nodeStore.Find(100, 1)->fieldText), fits);
}

TEST_F(SoundNodeBrowse, FailuresGiveTheLoadingMessage) {
    FixedMeasure throwing(FixedMeasure::kThrow);
    EXPECT_FALSE(BrowseSoundFile(movie, notices, throwing, 100, 1, "/m/a.mp3", 25).stored);
    EXPECT_EQ(notices.LastText(), kSoundLoadProblem);

    FixedMeasure measure(1000);
    AddCameraAt(200, 1);
    EXPECT_FALSE(
        BrowseSoundFile(movie, notices, measure, 200, 1, "/m/a.mp3", 25).stored);  // not a sound node
    EXPECT_FALSE(BrowseSoundFile(movie, notices, measure, 300, 1, "/m/a.mp3", 25).stored);  // no node at all
    EXPECT_EQ(notices.LastText(), kSoundLoadProblem);
    EXPECT_EQ(notices.boxes.size(), 3u);
}

TEST(SoundNodePaths, StoreOrderWithColonsRestored) {
    Movie movie;
    movie.ResetTimeline(60, 25);
    const struct {
        int column;
        std::string path;
    } nodes[] = {{50, "C?\\a.mp3"}, {10, "/b.ogg"}, {30, "C?\\a.mp3"}};
    for (const auto& n : nodes) {
        movie.SelCol = n.column;
        SoundNode sound;
        sound.path = n.path;
        movie.AddSoundRecord(sound);
        movie.SelCol = n.column + 1;
        movie.AddCameraRecord(CameraNode{});
    }
    EXPECT_EQ(SoundNodePaths(movie.nodeStore),
              (std::vector<std::string>{"C:\\a.mp3", "/b.ogg", "C:\\a.mp3"}));
    EXPECT_EQ(SoundNodePath("1:2:3"), "");
    EXPECT_EQ(SoundLengthFrames(10900, 25), 250);
    EXPECT_EQ(SoundLengthFrames(5000, 0), 0);
}

}  // namespace
}  // namespace kinoloop
