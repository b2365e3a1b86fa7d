#include "project/project_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "model/node_records.h"
#include "project/container.h"
#include "project/grid_file.h"
#include "project/node_file.h"
#include "shell/file_io.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

using testing::TempFolder;

struct FixtureRecord {
    std::int32_t id;
    const char* tag;
    std::int32_t column, row;
    const char* fieldText;
    const char* note;
    const char* cell;  // "" : a cut record, its cells empty
};

// A node of every kind, notes, and two cut records (hidden: no cells), on three tracks.
const FixtureRecord kRecords[] = {
    {0, "REP", 0, 1, "0:0:1:4:race.spr:-1", "", "R"},
    {1, "CAM", 5, 2, "1:5:2:3:65536:-131072:196608:16384:65535:0:255:2:72.5:2:8", "wide?shot", "Cn"},
    {2, "SCR", 9, 3, "2:9:3:1:shake.script", "", "S"},
    {3, "EFF", 12, 2, "3:12:2:1:blur:1:2:3:-4:caption text", "", "E"},
    {4, "SND", 14, 3, "4:14:3:2:/music/a?b.ogg:50", "loud", "Tn"},
    {5, "STT", 2, 1, "5:2:1:1:race.spr:0:1", "", "G"},
    {6, "STP", 30, 1, "6:30:1:1", "", "X"},
    {7, "MOM", 20, 2, "7:20:2:3:12:14", "", "H"},
    {8, "MKR", 25, 3, "8:25:3:1", "   ", "M"},
    {9, "CAM", 40, 3, "9:40:3:1:0:0:0:0:0:0:0:0:0:0:0", "", ""},
    {10, "SCR", 41, 2, "10:41:2:1:", "cut?with note", ""},
};

void PutInt(std::string& bytes, std::size_t offset, std::int32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
}
void PutText(std::string& bytes, std::size_t offset, const std::string& text) {
    bytes[offset] = static_cast<char>(text.size());
    bytes.replace(offset + 1, text.size(), text);
}

// The node file as its layout defines it, byte by byte: header of 824 bytes, then 396 bytes per record.
std::string ExpectedNodeFile(const std::string& fileName) {
    std::string header(824, '\0');
    PutText(header, 0, fileName);
    PutText(header, 256, "A. Director");
    PutText(header, 282, "Blackwood");
    PutInt(header, 308, 11);
    PutText(header, 312, "intro.avi");
    PutText(header, 568, "outro.avi");
    std::string bytes = header;
    for (const FixtureRecord& r : kRecords) {
        std::string record(396, '\0');
        PutInt(record, 0, r.id);
        record.replace(4, 3, r.tag);
        PutInt(record, 8, r.column);
        PutInt(record, 12, r.row);
        PutText(record, 16, r.fieldText);
        PutText(record, 272, r.note);
        bytes += record;
    }
    return bytes;
}

Movie FixtureMovie() {
    Movie movie;
    movie.ResetTimeline(2, 25);  // 55 columns
    movie.strTracks.At(1).name = " Leading space";
    movie.strTracks.InsertRow(2, {"Cameras", "", "L"});
    movie.strTracks.InsertRow(3, {"Time Markers", "", ""});
    movie.strTimeline.SetRowCount(4);
    for (const FixtureRecord& r : kRecords) {
        movie.nodeStore.Append(NodeText{r.id, r.tag, r.column, r.row, r.fieldText, r.note});
        movie.strTimeline.SetCell(r.column, r.row, r.cell);
    }
    movie.strTimeline.SetCell(1, 1, "r");
    movie.strTimeline.SetCell(6, 2, "c");
    movie.strTimeline.SetCell(7, 2, "c");
    movie.NextNodeID = 11;
    movie.header.nextIdCopy = 11;
    movie.header.MovieAuthor = "A. Director";
    movie.header.MovieTrackName = "Blackwood";
    movie.header.IntroFile = "intro.avi";
    movie.header.OutroFile = "outro.avi";
    return movie;
}

// Runs Python's zlib over every entry of the container and writes each member into the folder.
int InflateWithPython(const std::filesystem::path& container, const std::filesystem::path& out) {
    const std::string script =
        "import sys, zlib, struct, os\n"
        "data = open(sys.argv[1], 'rb').read(); p = 0\n"
        "while p < len(data):\n"
        "    d = data[p]; p += 1 + d\n"
        "    f = data[p]; name = data[p + 1:p + 1 + f].decode('latin-1'); p += 1 + f\n"
        "    size, csize = struct.unpack('<ii', data[p:p + 8]); p += 8\n"
        "    stream = data[p:p + csize]; p += csize\n"
        "    assert stream[:2] == b'\\x78\\x9c', stream[:2]\n"
        "    z = zlib.decompressobj(15); member = z.decompress(stream)\n"
        "    assert z.eof and not z.unused_data, name\n"
        "    assert len(member) == size, (name, len(member), size)\n"
        "    open(os.path.join(sys.argv[2], name), 'wb').write(member)\n";
    std::ofstream(out / "inflate.py") << script;
    const std::string command =
        "python3 '" + (out / "inflate.py").string() + "' '" + container.string() + "' '" + out.string() + "'";
    return std::system(command.c_str());
}

TEST(ProjectFile, NodeFileIsTheLayoutByteForByteAndEveryMemberInflatesWithPythonsZlib) {
    TempFolder folder;
    const Movie movie = FixtureMovie();
    const auto path = folder / "race.knloop";
    std::vector<std::string> packed;
    ASSERT_TRUE(WriteMovie(movie, path, [&](const std::string& name) { packed.push_back(name); }).Ok());
    EXPECT_EQ(packed,
              (std::vector<std::string>{"race.knloop.nodes", "race.knloop.tracks", "race.knloop.line"}));

    std::filesystem::create_directory(folder / "out");
    ASSERT_EQ(InflateWithPython(path, folder / "out"), 0);
    EXPECT_EQ(ReadWholeFile(folder / "out" / "race.knloop.nodes"), ExpectedNodeFile("race.knloop"));
    const std::string tracks = *ReadWholeFile(folder / "out" / "race.knloop.tracks");
    EXPECT_EQ(
        tracks,
        "3\r\n4\r\nTracks\r\n Leading space\r\nCameras\r\nTime Markers\r\n\r\n\r\n\r\n\r\n\r\n\r\nL\r\n\r\n");
    const std::string line = *ReadWholeFile(folder / "out" / "race.knloop.line");
    const std::string firstColumns = "55\r\n4\r\n0\r\nR\r\n\r\n\r\n\r\nr\r\n\r\n\r\n\r\nG\r\n\r\n\r\n";
    EXPECT_EQ(line.substr(0, firstColumns.size()), firstColumns);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 2 + 55 * 4);
    // Nothing is left beside the project file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2);
}

TEST(ProjectFile, ReopensEqualWithNextIdAfterTheHighestId) {
    TempFolder folder;
    Movie movie = FixtureMovie();
    movie.NextNodeID = 3;  // the stored copy is not what opening uses
    movie.header.nextIdCopy = 3;
    ASSERT_TRUE(WriteMovie(movie, folder / "race.knloop").Ok());
    Result<Movie> back = ReadMovie(folder / "race.knloop");
    ASSERT_TRUE(back.Ok()) << back.Message();
    EXPECT_EQ(back->nodeStore.Records(), movie.nodeStore.Records());
    EXPECT_EQ(back->NextNodeID, 11);
    EXPECT_EQ(back->header.nextIdCopy, 11);
    EXPECT_EQ(back->CopiedNodeID, -1);
    EXPECT_EQ(back->header.MovieFileName, "race.knloop");
    EXPECT_EQ(back->header.MovieFolder, folder.Path().lexically_normal().string() + "/");
    EXPECT_EQ(back->header.MovieAuthor, "A. Director");
    EXPECT_EQ(back->header.MovieTrackName, "Blackwood");
    EXPECT_EQ(back->header.IntroFile, "intro.avi");
    EXPECT_EQ(back->header.OutroFile, "outro.avi");
    ASSERT_EQ(back->strTimeline.ColumnCount(), 55);
    ASSERT_EQ(back->strTimeline.RowCount(), 4);
    for (int c = 0; c < 55; ++c) {
        for (int r = 0; r < 4; ++r) EXPECT_EQ(back->strTimeline.Cell(c, r), movie.strTimeline.Cell(c, r));
    }
    ASSERT_EQ(back->strTracks.RowCount(), 4);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 3; ++c) EXPECT_EQ(back->strTracks.Cell(c, r), movie.strTracks.Cell(c, r));
    }
    EXPECT_EQ(back->strTracks.At(1).name, " Leading space");
}

TEST(ProjectFile, EmptyMovieAndLongTimeline) {
    TempFolder folder;
    Movie movie;
    movie.ResetTimeline(600, 25);
    const std::string nodes = WriteNodeFile(movie, "empty.knloop");
    EXPECT_EQ(nodes.size(), 824u);
    const std::string line = WriteGridFile(movie.strTimeline);
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 30012);

    ASSERT_TRUE(WriteMovie(movie, folder / "empty.knloop").Ok());
    Result<Movie> back = ReadMovie(folder / "empty.knloop");
    ASSERT_TRUE(back.Ok()) << back.Message();
    EXPECT_TRUE(back->nodeStore.Empty());
    EXPECT_EQ(back->NextNodeID, 1);
    EXPECT_EQ(back->strTimeline.ColumnCount(), 15005);
}

TEST(ProjectFile, AMovieKeepsItsOwnLengthWhateverTheSettingSays) {
    TempFolder folder;
    Movie five;
    five.ResetTimeline(5 * 60, 25);
    ASSERT_TRUE(WriteMovie(five, folder / "five.knloop").Ok());
    Movie current;
    current.ResetTimeline(10 * 60, 25);
    ASSERT_TRUE(OpenMovie(current, folder / "five.knloop").Ok());
    EXPECT_EQ(current.strTimeline.ColumnCount(), 7505);
}

TEST(ProjectFile, ARenamedProjectFileStillOpens) {
    TempFolder folder;
    ASSERT_TRUE(WriteMovie(FixtureMovie(), folder / "race.knloop").Ok());
    std::filesystem::rename(folder / "race.knloop", folder / "renamed.knloop");
    Result<Movie> back = ReadMovie(folder / "renamed.knloop");
    ASSERT_TRUE(back.Ok()) << back.Message();
    EXPECT_EQ(back->header.MovieFileName, "renamed.knloop");
    EXPECT_EQ(back->nodeStore.Size(), std::size(kRecords));
}

// A container from hand-made members, for the damage cases.
std::string Container(const std::vector<ContainerMember>& members) {
    return WriteContainer(members).Value();
}

std::string Entry(const std::string& name, const std::string& stream, std::int32_t size) {
    std::string entry;
    entry += '\0';
    entry += static_cast<char>(name.size());
    entry += name;
    std::string sizes(8, '\0');
    PutInt(sizes, 0, size);
    PutInt(sizes, 4, static_cast<std::int32_t>(stream.size()));
    return entry + sizes + stream;
}

TEST(ProjectFile, DamagedFilesGiveAClearErrorAndLeaveTheCurrentMovieAlone) {
    const Movie fixture = FixtureMovie();
    const std::string nodes = WriteNodeFile(fixture, "m.knloop");
    const std::string tracks = WriteGridFile(fixture.strTracks);
    const std::string line = WriteGridFile(fixture.strTimeline);
    const auto members = [&](std::string n, std::string t, std::string l) {
        return Container({{"", "m.knloop.nodes", n}, {"", "m.knloop.tracks", t}, {"", "m.knloop.line", l}});
    };
    const std::string good = members(nodes, tracks, line);
    std::string damagedStream = good;
    damagedStream[2 + 14 + 8 + 10] ^= 0x55;  // inside the first member's deflate data
    const std::string compressed = DeflateMember(nodes).Value();

    struct Case {
        const char* name;
        std::string bytes;
        const char* message;  // a part of the message
    };
    const Case cases[] = {
        {"empty file", "", "holds no node file"},
        {"cut inside an entry", good.substr(0, 40), "is cut short"},
        {"cut in its sizes", good.substr(0, 18), "is cut short"},
        {"damaged stream", damagedStream, "damaged compressed data"},
        {"stream ends early", Entry("m.knloop.nodes", compressed.substr(0, compressed.size() / 2), 5),
         "ends before"},
        {"negative size", Entry("m.knloop.nodes", compressed, -1), "negative size"},
        {"parent folder", Entry("../m.knloop.nodes", compressed, 824), "not a plain file name"},
        {"slash", Entry("a/m.knloop.nodes", compressed, 824), "not a plain file name"},
        {"backslash", Entry("a\\m.knloop.nodes", compressed, 824), "not a plain file name"},
        {"truncated record", members(nodes.substr(0, nodes.size() - 10), tracks, line),
         "ends inside node record 11"},
        {"short header", members(nodes.substr(0, 800), tracks, line), "less than its 824-byte header"},
        {"too few cells", members(nodes, tracks, line.substr(0, line.size() - 2)), "holds 219 cell lines"},
        {"too many cells", members(nodes, tracks + "x\r\n", line), "holds 13 cell lines"},
        {"count not a number", members(nodes, tracks, "x" + line), "is not a number"},
        {"rows out of step", members(nodes, "3\r\n1\r\nTracks\r\n\r\n\r\n", line), "rows but the track file"},
        {"track file of 2 columns", members(nodes, "2\r\n1\r\nTracks\r\n\r\n", line), "instead of 3"},
        {"long cell code", members(nodes, tracks, line.substr(0, 7) + "0\r\nRRR" + line.substr(12)),
         "not a cell code"},
        {"no line file", Container({{"", "m.knloop.nodes", nodes}, {"", "m.knloop.tracks", tracks}}),
         "no line file"},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = folder / "m.knloop";
        std::ofstream(path, std::ios::binary) << c.bytes;
        Movie current;
        current.ResetTimeline(1, 25);
        current.SelCol = 3;
        current.AddCameraRecord({});
        const Status status = OpenMovie(current, path);
        ASSERT_FALSE(status.Ok());
        EXPECT_NE(status.Message().find(path.string()), std::string::npos) << status.Message();
        EXPECT_NE(status.Message().find(c.message), std::string::npos) << status.Message();
        EXPECT_EQ(current.nodeStore.Size(), 1u);
        EXPECT_EQ(current.strTimeline.ColumnCount(), 30);
    }
    // The good container opens.
    std::ofstream(folder / "m.knloop", std::ios::binary) << good;
    EXPECT_TRUE(ReadMovie(folder / "m.knloop").Ok());
}

TEST(ProjectFile, AFailedSaveSaysWhatFailedAndLeavesTheOldFileWhole) {
    TempFolder folder;
    const auto path = folder / "keep.knloop";
    ASSERT_TRUE(WriteMovie(FixtureMovie(), path).Ok());
    const std::string before = *ReadWholeFile(path);

    // A name too long for the container is refused before anything is written.
    const Status tooLong = WriteMovie(Movie{}, folder / (std::string(250, 'n') + ".knloop"));
    EXPECT_FALSE(tooLong.Ok());
    EXPECT_NE(tooLong.Message().find("too long"), std::string::npos) << tooLong.Message();

    // The folder becomes read-only: the temporary file cannot be made; the old file stays.
    if (geteuid() != 0) {
        std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::remove);
        Movie other;
        other.ResetTimeline(1, 25);
        const Status failed = WriteMovie(other, path);
        std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
        EXPECT_FALSE(failed.Ok());
        EXPECT_NE(failed.Message().find("Could not save " + path.string()), std::string::npos)
            << failed.Message();
    }
    // A folder standing where the file should be cannot be replaced: the rename fails and says so.
    std::filesystem::create_directory(folder / "dir.knloop");
    std::ofstream(folder / "dir.knloop" / "inside") << "x";
    const Status blocked = WriteMovie(FixtureMovie(), folder / "dir.knloop");
    EXPECT_FALSE(blocked.Ok());
    EXPECT_NE(blocked.Message().find("cannot replace"), std::string::npos) << blocked.Message();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2);  // no temporary left
    EXPECT_EQ(*ReadWholeFile(path), before);
}

TEST(Container, MembersRoundTripAndNamesMustBePlain) {
    const std::vector<ContainerMember> members = {
        {"C:\\Kino\\Sav\\", "a.nodes", std::string(5000, 'x')}, {"", "b", ""}, {"/x/", "c..d", "abc"}};
    const std::string bytes = WriteContainer({members[0], members[1]}).Value();
    EXPECT_EQ(bytes[0], 12);
    EXPECT_EQ(bytes.substr(1, 12), "C:\\Kino\\Sav\\");
    EXPECT_EQ(ReadContainer(bytes).Value(), (std::vector<ContainerMember>{members[0], members[1]}));
    EXPECT_FALSE(WriteContainer({members[2]}).Ok());
    for (const char* name : {"", "a/b", "a\\b", "..", "x..y"}) EXPECT_FALSE(IsPlainMemberName(name)) << name;
    for (const char* name : {"a", "race.knloop.nodes", ".hidden"})
        EXPECT_TRUE(IsPlainMemberName(name)) << name;
}

TEST(GridFile, CountsIgnoreSpacesAndTheRestOfTheirLineAndLfLinesRead) {
    Result<GridText> grid = ReadGridFile(" 2 columns\n1\nTracks\nx");
    ASSERT_TRUE(grid.Ok()) << grid.Message();
    EXPECT_EQ(grid->columns, 2);
    EXPECT_EQ(grid->rows, 1);
    EXPECT_EQ(grid->At(1, 0), "x");
    EXPECT_FALSE(ReadGridFile("0\r\n5\r\n").Ok());
    EXPECT_FALSE(ReadGridFile("-1\r\n1\r\n").Ok());
}

}  // namespace
}  // namespace kinoloop
