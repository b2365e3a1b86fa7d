#include "shell/settings.h"

#include <gtest/gtest.h>

#include <fstream>

#include "shell/file_io.h"
#include "shell/ini_file.h"
#include "shell/mixer.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

using testing::TempFolder;

void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

std::string ReadFile(const std::filesystem::path& file) {
    return ReadWholeFile(file).value_or("<missing>");
}

const char* const kAllDefaults =
    "[settings]\r\nfirstrun=1\r\nlfspath=c:\\\r\nexeoverride=LFS.exe\r\nwindowname=live for "
    "speed\r\ntimeline=10\r\n"
    "watermark=1\r\nscale=0\r\nprompts=1\r\nautosave=0\r\npriority=1\r\naudiodevice=0\r\naudiochannel=0\r\n"
    "audiovolume=0\r\n[record]\r\nformat=STD\r\nfps=25\r\n[insim]\r\nhost=127.0.0.1\r\nlocalport=7001\r\n"
    "remoteport=7000\r\nadmin=\r\n";

// A mixer whose answers and failures a test sets.
class FakeMixer : public Mixer {
public:
    int destination = 2, line = 3, volume = 64;
    bool failDestination = false, failLine = false, failVolume = false;
    int DestinationCount() override { return 3; }
    int CurrentDestination() override {
        if (failDestination) throw MixerError("no destination");
        return destination;
    }
    void SelectDestination(int) override {}
    std::string DestinationName() override { return "d"; }
    int LineCount() override { return 4; }
    std::string LineName(int) override { return "l"; }
    int SelectedLine() override {
        if (failLine) throw MixerError("no line");
        return line;
    }
    void SelectLine(int) override {}
    int LineVolume(int index) override {
        if (failVolume || index != line) throw MixerError("no volume");
        return volume;
    }
    void SetLineVolume(int, int) override {}
};

TEST(Settings, MissingOrEmptyFileGivesEveryDefaultAndTheFirstSaveWritesAllNineteenKeys) {
    TempFolder folder;
    for (bool exists : {false, true}) {
        const auto ini = folder / (exists ? "empty.ini" : "missing.ini");
        if (exists) WriteFile(ini, "");
        const TSettings loaded = LoadSettings(ini, nullptr);
        const TSettings defaults;
        EXPECT_EQ(loaded.firstrun, 1);
        EXPECT_EQ(loaded.lfspath, "c:\\");
        EXPECT_EQ(loaded.exeoverride, "LFS.exe");
        EXPECT_EQ(loaded.windowname, "live for speed");
        EXPECT_EQ(loaded.timeline, 10);
        EXPECT_EQ(loaded.watermark, 1);
        EXPECT_EQ(loaded.scale, 0);
        EXPECT_EQ(loaded.prompts, 1);
        EXPECT_EQ(loaded.autosave, 0);
        EXPECT_EQ(loaded.priority, 1);
        EXPECT_EQ(loaded.format, "STD");
        EXPECT_EQ(loaded.fps, 25);
        EXPECT_EQ(loaded.host, "127.0.0.1");
        EXPECT_EQ(loaded.localport, 7001);
        EXPECT_EQ(loaded.remoteport, 7000);
        EXPECT_EQ(loaded.admin, "");
        EXPECT_EQ(SaveSettings(ini, loaded), "");
        EXPECT_EQ(ReadFile(ini), kAllDefaults);
    }
}

TEST(Settings, IntegerKeysThatAreNotNumbersOrOutOfRangeReadAsDefaults) {
    struct Case {
        const char* line;
        int TSettings::*field;
        int expected;
    };
    const Case cases[] = {
        {"[record]\nfps=abc", &TSettings::fps, 25},
        {"[record]\nfps=0", &TSettings::fps, 25},
        {"[record]\nfps=-5", &TSettings::fps, 25},
        {"[record]\nfps= 30 ", &TSettings::fps, 30},
        {"[record]\nfps=30fps", &TSettings::fps, 25},
        {"[settings]\ntimeline=0", &TSettings::timeline, 10},
        {"[settings]\ntimeline=5", &TSettings::timeline, 5},
        {"[settings]\ntimeline=99999999999", &TSettings::timeline, 10},
        {"[settings]\nprompts=", &TSettings::prompts, 1},
        {"[settings]\nscale=-1", &TSettings::scale, -1},
        {"[insim]\nlocalport=+7100", &TSettings::localport, 7100},
        {"[insim]\nremoteport=7.0", &TSettings::remoteport, 7000},
        {"[SETTINGS]\nWaterMark=0", &TSettings::watermark, 0},
        {"[record]\nwatermark=0", &TSettings::watermark, 1},  // the key of another section
    };
    TempFolder folder;
    for (const Case& c : cases) {
        WriteFile(folder / "settings.ini", c.line);
        EXPECT_EQ(LoadSettings(folder / "settings.ini", nullptr).*c.field, c.expected) << c.line;
    }
}

TEST(Settings, ReadsCrLfAndLfFilesAndKeepsTextValuesByteForByte) {
    TempFolder folder;
    for (const char* end : {"\r\n", "\n"}) {
        std::string text = std::string("; comment") + end + "[settings]" + end + "lfspath= /home/me/lfs/ " +
                           end + "windowname=Live For Speed=X" + end + "priority=3" + end + "[insim]" + end +
                           "admin=p\xE4ss;#" + end + "host=" + end + "[record]" + end +
                           "format=PAL";  // no final end
        WriteFile(folder / "settings.ini", text);
        const TSettings s = LoadSettings(folder / "settings.ini", nullptr);
        EXPECT_EQ(s.lfspath, " /home/me/lfs/ ");
        EXPECT_EQ(s.windowname, "Live For Speed=X");
        EXPECT_EQ(s.priority, 3);
        EXPECT_EQ(s.admin, "p\xE4ss;#");
        EXPECT_EQ(s.host, "");
        EXPECT_EQ(s.format, "PAL");
        // Written back and read again, every text is the same.
        ASSERT_EQ(SaveSettings(folder / "settings.ini", s), "");
        const TSettings again = LoadSettings(folder / "settings.ini", nullptr);
        EXPECT_EQ(again.lfspath, s.lfspath);
        EXPECT_EQ(again.windowname, s.windowname);
        EXPECT_EQ(again.admin, s.admin);
        EXPECT_EQ(again.format, "PAL");
        const std::string saved = ReadFile(folder / "settings.ini");
        EXPECT_EQ(saved.rfind("; comment\r\n[settings]\r\nlfspath= /home/me/lfs/ \r\n", 0), 0u) << saved;
        EXPECT_EQ(saved.find("\n\n"), std::string::npos);
    }
}

TEST(Settings, AudioKeysComeFromTheFileOrTheMixerEachInItsOwnGuard) {
    struct Case {
        const char* name;
        const char* file;
        bool failDestination, failLine, failVolume, noMixer;
        int device, channel, volume;
    };
    // The start values 11, 12, 13 stand for what the fields held before reading.
    const Case cases[] = {
        {"from the file", "[settings]\naudiodevice=1\naudiochannel=0\naudiovolume=80", true, true, true,
         false, 1, 0, 80},
        {"from the mixer", "", false, false, false, false, 2, 3, 64},
        {"not numbers use the mixer", "[settings]\naudiodevice=x\naudiovolume=", false, false, false, false,
         2, 3, 64},
        {"destination fails", "", true, false, false, false, 11, 3, 64},
        {"line fails", "", false, true, false, false, 2, 12, 13},
        {"volume fails", "", false, false, true, false, 2, 3, 13},
        {"no mixer", "", false, false, false, true, 11, 12, 13},
    };
    TempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(folder / "settings.ini", c.file);
        FakeMixer mixer;
        mixer.failDestination = c.failDestination;
        mixer.failLine = c.failLine;
        mixer.failVolume = c.failVolume;
        TSettings start;
        start.audiodevice = 11;
        start.audiochannel = 12;
        start.audiovolume = 13;
        const TSettings s = LoadSettings(folder / "settings.ini", c.noMixer ? nullptr : &mixer, start);
        EXPECT_EQ(s.audiodevice, c.device);
        EXPECT_EQ(s.audiochannel, c.channel);
        EXPECT_EQ(s.audiovolume, c.volume);
        EXPECT_EQ(s.format, "STD");  // reading goes on after a failure
    }
}

TEST(Settings, SaveKeepsOtherKeysAndSectionsAndChangesOnlyOurs) {
    TempFolder folder;
    WriteFile(folder / "settings.ini",
              "[other]\nkeep=me\n\n[record]\nfps=30\nextra=1\n\n[settings]\nfirstrun=1\n");
    TSettings s = LoadSettings(folder / "settings.ini", nullptr);
    EXPECT_EQ(s.fps, 30);
    s.firstrun = 0;
    s.fps = 50;
    ASSERT_EQ(SaveSettings(folder / "settings.ini", s), "");
    const std::string saved = ReadFile(folder / "settings.ini");
    EXPECT_EQ(
        saved.rfind(
            "[other]\r\nkeep=me\r\n\r\n[record]\r\nfps=50\r\nextra=1\r\nformat=STD\r\n\r\n[settings]\r\n"
            "firstrun=0\r\nlfspath=c:\\\r\n",
            0),
        0u)
        << saved;
    EXPECT_NE(saved.find("[insim]\r\nhost=127.0.0.1\r\n"), std::string::npos);
}

TEST(Settings, SaveFailuresSayWhatFailedAndLeaveTheOldFile) {
    TempFolder folder;
    WriteFile(folder / "settings.ini", "[record]\nfps=30\n");
    TSettings s;
    s.admin = "two\nlines";
    const std::string message = SaveSettings(folder / "settings.ini", s);
    EXPECT_NE(message.find("admin"), std::string::npos) << message;
    EXPECT_EQ(ReadFile(folder / "settings.ini"), "[record]\nfps=30\n");

    // The folder cannot be written: a file stands where the folder should be.
    WriteFile(folder / "Opt", "not a folder");
    const std::string blocked = SaveSettings(folder / "Opt" / "settings.ini", TSettings{});
    EXPECT_NE(blocked.find("settings.ini"), std::string::npos) << blocked;
}

TEST(IniFile, FirstSectionAndFirstKeyWinAndSetAddsMissingSections) {
    IniFile ini = IniFile::Parse("[a]\nk=1\nk=2\n[b]\nk=3\n[a]\nk=4\n");
    EXPECT_EQ(ini.Get("a", "k"), "1");
    EXPECT_EQ(ini.Get("A", "K"), "1");
    EXPECT_EQ(ini.Get("b", "k"), "3");
    EXPECT_FALSE(ini.Get("c", "k"));
    EXPECT_TRUE(ini.Set("c", "new", "v"));
    EXPECT_TRUE(ini.Set("a", "k", "9"));
    EXPECT_FALSE(ini.Set("a", "k", "x\ry"));
    EXPECT_EQ(ini.Text(), "[a]\r\nk=9\r\nk=2\r\n[b]\r\nk=3\r\n[a]\r\nk=4\r\n[c]\r\nnew=v\r\n");
}

}  // namespace
}  // namespace kinoloop
