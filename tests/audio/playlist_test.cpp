#include "audio/playlist.h"

#include <gtest/gtest.h>

#include <fstream>

#include "audio/sound_formats.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

void WriteText(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
}

TEST(SoundFormats, KnownExtensionsInAnyCase) {
    const struct {
        const char* path;
        bool known;
    } cases[] = {
        {"track.Mp3", true},
        {"track.mp4", false},
        {"a.MP1", true},
        {"a.mp2", true},
        {"a.wav", true},
        {"a.OGG", true},
        {"a.mod", true},
        {"a.s3m", true},
        {"a.It", true},
        {"a.umx", true},
        {"a.mo3", true},
        {"a.mtm", true},
        {"a.xm", true},
        {"a.flac", false},
        {"mp3", false},
        {"", false},
        {"/music.mp3/track", false},
        {"C:\\music\\x.XM", true},
        {"a.xm.bak", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsKnownSoundFile(c.path), c.known) << c.path;
}

TEST(SoundFormats, InternetAddressesAndFileNames) {
    EXPECT_TRUE(IsInternetAddress("http://radio/stream"));
    EXPECT_TRUE(IsInternetAddress("FTP://host/a.mp3"));
    EXPECT_FALSE(IsInternetAddress("https://host/a.mp3"));  // as the engine always did: only the two schemes
    EXPECT_FALSE(IsInternetAddress("/music/http://x"));
    EXPECT_EQ(FileNameOf("C:\\music\\a.mp3"), "a.mp3");
    EXPECT_EQ(FileNameOf("/home/u/b.ogg"), "b.ogg");
    EXPECT_EQ(FileNameOf("plain.wav"), "plain.wav");
}

TEST(PlaylistResolution, WindowsAndLinuxEntries) {
    const struct {
        const char* entry;
        const char* base;
        const char* resolved;
    } cases[] = {
        {"music\\a.mp3", "C:\\lists\\my.pls", "C:\\lists\\music\\a.mp3"},
        {"\\music\\a.mp3", "C:\\lists\\my.pls", "C:\\music\\a.mp3"},
        {"D:\\a.mp3", "C:\\lists\\my.pls", "D:\\a.mp3"},
        {"http://radio.example/stream", "C:\\lists\\my.pls", "http://radio.example/stream"},
        {"FTP://host/a.mp3", "C:\\lists\\my.pls", "FTP://host/a.mp3"},
        {"  music\\a.mp3  ", "C:\\lists\\my.pls", "C:\\lists\\music\\a.mp3"},
        {"\\\\server\\share\\a.mp3", "C:\\lists\\my.pls", "\\\\server\\share\\a.mp3"},
        {"a.mp3", "/home/u/lists/my.m3u", "/home/u/lists/a.mp3"},
        {"music/a.mp3", "/home/u/lists/my.m3u", "/home/u/lists/music/a.mp3"},
        {"music\\a.mp3", "/home/u/lists/my.m3u", "/home/u/lists/music/a.mp3"},
        {"/srv/a.mp3", "/home/u/lists/my.m3u", "/srv/a.mp3"},
        {"\\music\\a.mp3", "/home/u/lists/my.m3u", "/music/a.mp3"},
        {"D:\\a.mp3", "/home/u/lists/my.m3u", "D:\\a.mp3"},
        {"http://radio/x", "/home/u/lists/my.m3u", "http://radio/x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResolvePlaylistEntry(c.entry, c.base), c.resolved) << c.entry << " in " << c.base;
    }
}

TEST(Playlist, AddLookUpAndBounds) {
    TPlaylist list;
    list.Add("/music/One.mp3", "One");
    list.Add("/music/two.ogg", "two");
    list.Add("/music/one.mp3", "again");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.IndexOf("/MUSIC/one.MP3"), 0);  // first match, without regard to case
    EXPECT_EQ(list.IndexOf("/music/two.ogg"), 1);
    EXPECT_EQ(list.IndexOf("/music/three.wav"), -1);
    EXPECT_EQ(list.Item(1), "/music/two.ogg");
    EXPECT_EQ(list.Title(2), "again");
    EXPECT_EQ(list.Length(0), "0");
    EXPECT_EQ(list.Item(3), "");
    EXPECT_EQ(list.Item(-1), "");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.IndexOf("/music/two.ogg"), -1);
}

TEST(Playlist, ReadsPlsEntriesTitlesAndLengths) {
    testing::TempFolder folder;
    const auto file = folder / "my.pls";
    WriteText(file,
              "[playlist]\r\n"
              "numberofentries=4\r\n"
              "File1=music/a.mp3\r\n"
              "Title1=First Song\r\n"
              "Length1=215\r\n"
              "File2 = http://radio.example/live \r\n"
              "File3=/srv/b.ogg\r\n"
              "File4=c.wav\r\n"
              "File5=beyond-the-count.wav\r\n"
              "[other]\r\nFile6=x.wav\r\n");
    TPlaylist list;
    list.Add("/kept.mp3", "kept");
    ASSERT_TRUE(list.ReadPls(file.string(), false));
    EXPECT_EQ(list.BasePath(), file.string());
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Item(0), "/kept.mp3");
    EXPECT_EQ(list.Item(1), (folder.Path() / "music/a.mp3").string());
    EXPECT_EQ(list.Title(1), "First Song");
    EXPECT_EQ(list.Length(1), "215");
    EXPECT_EQ(list.Item(2), "http://radio.example/live");
    EXPECT_EQ(list.Title(2), "live");
    EXPECT_EQ(list.Length(2), "0");
    EXPECT_EQ(list.Item(3), "/srv/b.ogg");
    EXPECT_EQ(list.Title(3), "b");
    EXPECT_EQ(list.Item(4), (folder.Path() / "c.wav").string());

    ASSERT_TRUE(list.ReadPls(file.string(), true));
    EXPECT_EQ(list.Count(), 4);
}

TEST(Playlist, PlsCountGuardsAgainstDamagedFiles) {
    testing::TempFolder folder;
    const auto file = folder / "bad.pls";
    WriteText(file, "[playlist]\nNumberOfEntries=2000000000\nFile2=b.mp3\nFile99999999999=x.mp3\n");
    TPlaylist list;
    ASSERT_TRUE(list.ReadPls(file.string(), true));
    ASSERT_EQ(list.Count(), 1);  // a missing File1 adds no folder as an item
    EXPECT_EQ(list.Item(0), (folder.Path() / "b.mp3").string());

    WriteText(file, "[playlist]\nNumberOfEntries=abc\nFile1=b.mp3\n");
    ASSERT_TRUE(list.ReadPls(file.string(), true));
    EXPECT_EQ(list.Count(), 0);
}

TEST(Playlist, ReadsM3uLinesLastLineIncluded) {
    testing::TempFolder folder;
    const auto file = folder / "list.m3u";
    WriteText(file, "one.mp3\r\ntwo.ogg\r\nsub/three.wav");  // no line break after the last line
    TPlaylist list;
    ASSERT_TRUE(list.ReadM3u(file.string(), true));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Item(2), (folder.Path() / "sub/three.wav").string());
    EXPECT_EQ(list.Title(0), "one");
}

TEST(Playlist, M3uExtendedInfoCommentsAndBlankLines) {
    testing::TempFolder folder;
    const auto file = folder / "ext.m3u";
    WriteText(file, "#EXTM3U\n#EXTINF:123,Artist - Song\n/srv/song.mp3\n\n# a comment\n  \nhttp://radio/x\n");
    TPlaylist list;
    list.Add("/old.mp3", "old");
    ASSERT_TRUE(list.ReadM3u(file.string(), true));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Item(0), "/srv/song.mp3");
    EXPECT_EQ(list.Title(0), "Artist - Song");
    EXPECT_EQ(list.Item(1), "http://radio/x");
    EXPECT_EQ(list.Title(1), "x");
}

TEST(Playlist, UnreadableFileKeepsTheListApartFromClearing) {
    testing::TempFolder folder;
    TPlaylist list;
    list.Add("/a.mp3", "a");
    EXPECT_FALSE(list.ReadM3u((folder / "missing.m3u").string(), false));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_FALSE(list.ReadPls((folder / "missing.pls").string(), true));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.BasePath(), (folder / "missing.pls").string());
}

}  // namespace
}  // namespace kinoloop
