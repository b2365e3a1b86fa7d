#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "movie_json.h"
#include "project/project_file.h"
#include "shell/file_io.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

using testing::TempFolder;

Movie SampleMovie() {
    Movie movie;
    movie.ResetTimeline(2, 25);
    movie.strTracks.At(1).name = "Caf\xE9 cam";  // a single byte above 127 (Latin-1)
    movie.strTracks.InsertRow(2, {"Second", "", "L"});
    movie.strTimeline.SetRowCount(3);
    movie.nodeStore.Append({4, "CAM", 5, 2, "4:5:2:2:1:2:3:4:5:6:255:1:72.5:1:0", "a?b"});
    movie.nodeStore.Append({9, "SND", 10, 1, "9:10:1:1:C?\\music\\x.ogg:25", ""});
    movie.nodeStore.Append({2, "SCR", 30, 1, "2:30:1:1:", ""});  // a cut record: no cells
    movie.strTimeline.SetCell(5, 2, "Cn");
    movie.strTimeline.SetCell(6, 2, "c");
    movie.strTimeline.SetCell(10, 1, "T");
    movie.header.MovieAuthor = "Me";
    movie.header.MovieTrackName = "South City";
    movie.header.IntroFile = "in.avi";
    return movie;
}

TEST(MovieJson, RoundTripKeepsEveryPartAndEveryByte) {
    const Movie movie = SampleMovie();
    const std::string json = MovieToJson(movie);
    EXPECT_NE(json.find("\"Caf\xC3\xA9 cam\""), std::string::npos) << json;
    EXPECT_NE(json.find("\"72.5\""), std::string::npos);
    Result<Movie> back = MovieFromJson(json);
    ASSERT_TRUE(back.Ok()) << back.Message();
    EXPECT_EQ(back->nodeStore.Records(), movie.nodeStore.Records());
    EXPECT_EQ(back->NextNodeID, 10);
    EXPECT_EQ(back->header.MovieAuthor, "Me");
    EXPECT_EQ(back->header.MovieTrackName, "South City");
    EXPECT_EQ(back->header.IntroFile, "in.avi");
    EXPECT_EQ(back->strTimeline.ColumnCount(), 55);
    EXPECT_EQ(back->strTimeline.Cell(15, 0), "15");
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 55; ++c) EXPECT_EQ(back->strTimeline.Cell(c, r), movie.strTimeline.Cell(c, r));
        for (int c = 0; c < 3; ++c) EXPECT_EQ(back->strTracks.Cell(c, r), movie.strTracks.Cell(c, r));
    }
    EXPECT_EQ(MovieToJson(*back), json);
}

TEST(MovieJson, BadDocumentsNameWhatIsWrong) {
    const std::string good = MovieToJson(SampleMovie());
    const auto replace = [&](const std::string& from, const std::string& to) {
        std::string json = good;
        const std::size_t at = json.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? json : json.replace(at, from.size(), to);
    };
    struct Case {
        std::string json;
        const char* message;
    };
    const Case cases[] = {
        {"{", "not valid JSON"},
        {"[]", "not a JSON object"},
        {replace("\"knloop-movie\"", "\"other\""), "movie.format"},
        {replace("\"version\" : 1", "\"version\" : 2"), "movie.version: 2 is outside 1..1"},
        {replace("\"columns\" : 55", "\"columns\" : 0"), "movie.columns: 0 is outside"},
        {replace("\"columns\" : 55", "\"columns\" : 2000000000"), "movie.columns"},
        {replace("\"columns\" : 55", "\"columns\" : \"55\""), "movie.columns: is not an integer"},
        {replace("\"author\" : \"Me\"", "\"author\" : \"" + std::string(26, 'a') + "\""),
         "header.author: is longer than 25 bytes"},
        {replace("\"Me\"", "\"\\u0100\""), "header.author: holds a character"},
        {replace("\"code\" : \"T\"", "\"code\" : \"TT\""), "cells[0].code: \"TT\" is not a cell code"},
        {replace("\"column\" : 10,", "\"column\" : 55,"), "cells[0].column: 55 is outside 0..54"},
        {replace("\"tag\" : \"CAM\"", "\"tag\" : \"ABC\""), "records[0].tag: \"ABC\" is not a node kind"},
        {replace("\"a?b\"", "\"" + std::string(121, 'n') + "\""), "records[0].note: is longer than 120"},
        {replace("\"72.5\"", "\"7:2\""), "records[0].fields[12]: contains \":\""},
        {replace("\"72.5\"", "\"" + std::string(240, '7') + "\""), "longer than 255 bytes"},
        {replace("\"locked\" : true", "\"locked\" : 1"), "tracks[1].locked: is not true or false"},
        {replace("\"id\" : 4", "\"id\" : 2147483647"), "records[0].id"},
        {replace("\"id\" : 4,", ""), "records[0]: \"id\" is missing"},
    };
    for (const Case& c : cases) {
        Result<Movie> movie = MovieFromJson(c.json);
        ASSERT_FALSE(movie.Ok()) << c.message;
        EXPECT_NE(movie.Message().find(c.message), std::string::npos) << movie.Message();
        EXPECT_EQ(movie.Message().find('\n'), std::string::npos);
    }
}

TEST(MovieJson, InfoCountsEveryKind) {
    const std::string info = MovieInfo(SampleMovie());
    EXPECT_NE(info.find("Author: Me\n"), std::string::npos);
    EXPECT_NE(info.find("Columns: 55\nTracks: 2\nNodes: 3\n"), std::string::npos) << info;
    EXPECT_NE(info.find("  CAM: 1\n  SCR: 1\n  EFF: 0\n  SND: 1\n"), std::string::npos) << info;
    EXPECT_NE(info.find("  MKR: 0\n"), std::string::npos);
}

struct ToolRun {
    int status;
    std::string out;  // standard output and standard error
};

ToolRun Tool(const std::string& arguments) {
    const std::string command = std::string("'") + KNLOOP_TOOL + "' " + arguments + " 2>&1";
    ToolRun run{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buffer;
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(KnloopTool, InfoToJsonAndFromJsonOnRealFiles) {
    TempFolder folder;
    const auto project = folder / "sample.knloop";
    ASSERT_TRUE(WriteMovie(SampleMovie(), project).Ok());

    const ToolRun info = Tool("info '" + project.string() + "'");
    EXPECT_EQ(info.status, 0) << info.out;
    EXPECT_NE(info.out.find("Movie file name: sample.knloop\n"), std::string::npos) << info.out;

    const ToolRun json = Tool("to-json '" + project.string() + "'");
    ASSERT_EQ(json.status, 0) << json.out;
    std::ofstream(folder / "sample.json") << json.out;
    const auto rebuilt = folder / "rebuilt.knloop";
    const ToolRun from =
        Tool("from-json '" + (folder / "sample.json").string() + "' '" + rebuilt.string() + "'");
    ASSERT_EQ(from.status, 0) << from.out;
    Result<Movie> back = ReadMovie(rebuilt);
    ASSERT_TRUE(back.Ok()) << back.Message();
    EXPECT_EQ(back->nodeStore.Records(), SampleMovie().nodeStore.Records());
    EXPECT_EQ(Tool("to-json '" + rebuilt.string() + "'").out, json.out);
}

TEST(KnloopTool, BadInputGivesOneLineNamingTheFileAndStatusOne) {
    TempFolder folder;
    std::ofstream(folder / "broken.knloop") << "not a project";
    std::ofstream(folder / "broken.json") << "{\"format\": \"knloop-movie\"";
    struct Case {
        std::string arguments;
        std::string file;
    };
    const Case cases[] = {
        {"info '" + (folder / "missing.knloop").string() + "'", (folder / "missing.knloop").string()},
        {"to-json '" + (folder / "broken.knloop").string() + "'", (folder / "broken.knloop").string()},
        {"from-json '" + (folder / "broken.json").string() + "' '" + (folder / "x.knloop").string() + "'",
         (folder / "broken.json").string()},
        {"from-json '" + (folder / "none.json").string() + "' '" + (folder / "x.knloop").string() + "'",
         (folder / "none.json").string()},
    };
    for (const Case& c : cases) {
        const ToolRun run = Tool(c.arguments);
        EXPECT_EQ(run.status, 1) << run.out;
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1) << run.out;
        EXPECT_NE(run.out.find(c.file), std::string::npos) << run.out;
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "x.knloop"));
    EXPECT_EQ(Tool("").status, 2);
}

}  // namespace
}  // namespace kinoloop
