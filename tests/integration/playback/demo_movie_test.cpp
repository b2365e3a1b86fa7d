// The demo movie that the build writes into the program folder: it opens, and it holds what the demo promises.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "model/field_text.h"
#include "model/node_records.h"
#include "project/project_file.h"

namespace kinoloop::testing {
namespace {

TEST(DemoMovie, OpensWithEveryKindOfNodeOnTheDemoReplay) {
    const char* build = std::getenv("KINOLOOP_BUILD_DIR");
    ASSERT_NE(build, nullptr);
    const std::filesystem::path file = std::filesystem::path(build) / "bin" / "Sav" / "demo.knloop";
    const Result<Movie> read = ReadMovie(file);
    ASSERT_TRUE(read) << read.Message();
    const Movie& movie = read.Value();

    std::map<std::string, int> kinds;
    for (const NodeText& record : movie.nodeStore.Records()) ++kinds[record.tag];
    EXPECT_EQ(kinds["REP"], 1);
    EXPECT_EQ(kinds["STT"], 1);
    EXPECT_EQ(kinds["STP"], 1);
    EXPECT_GE(kinds["CAM"], 3);
    EXPECT_EQ(kinds["SCR"], 1);
    EXPECT_EQ(kinds["EFF"], 1);
    EXPECT_EQ(kinds["SND"], 1);
    EXPECT_EQ(kinds["MKR"], 1);

    const NodeText* replay = movie.nodeStore.Find(0, 1);
    ASSERT_NE(replay, nullptr);
    EXPECT_EQ(replay->tag, "REP");
    EXPECT_NE(replay->fieldText.find(":demo.spr:"), std::string::npos);
    int start = -1, stop = -1;
    bool note = false, move = false;
    for (const NodeText& record : movie.nodeStore.Records()) {
        if (record.tag == "STT") {
            start = record.column;
            // It belongs to the replay node (name, column, row), so that playback starts there.
            const std::vector<std::string> fields = SplitFields(record.fieldText);
            EXPECT_EQ(fields.at(field::StartReplayFile), "demo.spr");
            EXPECT_EQ(fields.at(field::StartReplayColumn), "0");
            EXPECT_EQ(fields.at(field::StartReplayRow), std::to_string(replay->row));
        }
        if (record.tag == "STP") stop = record.column;
        note |= record.HasNote() && movie.strTimeline.Cell(record.column, record.row) == "Cn";
        if (record.tag == "CAM") {
            const std::vector<std::string> fields = SplitFields(record.fieldText);
            const int length = std::stoi(fields.at(field::Length));
            move |= length > 1 && fields.at(field::CamTime) == std::to_string(length) &&
                    movie.strTimeline.Cell(record.column + length, record.row) == "c";
        }
    }
    EXPECT_EQ(start, 250);
    EXPECT_EQ(stop - start, 20 * 25) << "the stop node 20 s after the start";
    EXPECT_TRUE(note) << "a node with a note";
    EXPECT_TRUE(move) << "a camera move as the markers build it";
}

}  // namespace
}  // namespace kinoloop::testing
