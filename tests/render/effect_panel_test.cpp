#include "render/effect_panel.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "render_test_support.h"
#include "scripted_notices.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

namespace fs = std::filesystem;
using testing::EffectRecord;
using testing::ScriptedNotices;
using testing::TestEffect;

fs::path ShippedTestImage() {
    return testing::SourceDir() / "assets" / "Img" / kTestImageFileName;
}

class TestEffectCommand : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy_file(ShippedTestImage(), img / kTestImageFileName);
        plugins = {{0, "Probe", "", "", TestEffect("probe.so")},
                   {1, "Bad Result", "", "", TestEffect("bad_result.so")}};
    }
    testing::TempFolder img;
    std::vector<TPlugin> plugins;
    ScriptedNotices notices;
};

TEST_F(TestEffectCommand, TheShippedTestPictureIs320By240At24Bits) {
    EXPECT_EQ(fs::file_size(ShippedTestImage()), 230454u);
    auto picture = ReadBmpFile(ShippedTestImage());
    ASSERT_TRUE(picture) << picture.error();
    EXPECT_EQ(picture.value().width, 320);
    EXPECT_EQ(picture.value().height, 240);
}

TEST_F(TestEffectCommand, RunsTheChosenEffectOnTheTestPicture) {
    const TestEffectOutcome outcome = TestEffect({0, {"5", "", "7", ""}, "Hi"}, plugins, img.Path(), notices);
    EXPECT_TRUE(notices.boxes.empty());
    ASSERT_TRUE(outcome.showPreview);
    EXPECT_EQ(outcome.params, (std::array<std::string, 4>{"5", "0", "7", "0"}));
    const std::uint8_t* p = outcome.preview.PixelAt(0, 0);
    const std::uint8_t* q = outcome.preview.PixelAt(1, 0);
    EXPECT_EQ((std::vector<int>{p[0], p[1], p[2], q[0], q[1], q[2]}), (std::vector<int>{5, 0, 7, 0, 2, 'H'}));
}

TEST_F(TestEffectCommand, RefusesAndReportsWithTheProgramsTexts) {
    struct Case {
        const char* what;
        EffectPanelValues values;
        bool removeTestImage;
        const char* message;
        bool preview;
    };
    const Case cases[] = {
        {"no effect node",
         {-1, {}, ""},
         false,
         "No Effect Node is selected. Select or Add an Effect Node first",
         false},
        {"no test picture",
         {0, {}, ""},
         true,
         "No testimage.bmp file was found in the Img folder, the test cannot continue",
         false},
        {"not an integer",
         {0, {"1", "2x", "3", "4"}, ""},
         false,
         "An error occured when making the call to the plugin",
         true},
        {"a corrupt result",
         {1, {"0", "0", "0", "0"}, ""},
         false,
         "Could not create a preview image, the data is corrupt",
         true},
        {"a result of another size",
         {1, {"1", "0", "0", "0"}, ""},
         false,
         "Could not create a preview image, the data is corrupt",
         true},
    };
    const FrameImage picture = ReadBmpFile(ShippedTestImage()).value();
    for (const Case& c : cases) {
        ScriptedNotices told;
        if (c.removeTestImage) fs::remove(img / kTestImageFileName);
        const TestEffectOutcome outcome = TestEffect(c.values, plugins, img.Path(), told);
        ASSERT_EQ(told.boxes.size(), 1u) << c.what;
        EXPECT_EQ(told.boxes[0].text, c.message) << c.what;
        EXPECT_EQ(told.boxes[0].caption, "Kinoloop");
        EXPECT_EQ(outcome.showPreview, c.preview) << c.what;
        if (c.preview)
            EXPECT_EQ(outcome.preview, picture) << c.what << ": the test picture is shown unchanged";
        if (c.removeTestImage) fs::copy_file(ShippedTestImage(), img / kTestImageFileName);
    }
}

TEST(ApplyEffectPanel, StoresParametersAndTextIntoTheSelectedNode) {
    Movie movie;
    movie.nodeStore.Append(EffectRecord(4, 12, 2, "Sepia", "0", "0", "0", "0", ""));
    ScriptedNotices notices;
    ASSERT_TRUE(ApplyEffectPanel({0, {"50", "", "3", "4"}, "Lap 2: Eau Rouge"}, 12, 2, movie, notices));
    EXPECT_EQ(movie.nodeStore.Find(12, 2)->fieldText, "4:12:2:1:Sepia:50:0:3:4:Lap 2: Eau Rouge");
    EXPECT_TRUE(notices.boxes.empty());
}

TEST(ApplyEffectPanel, RefusesWithoutAnEffectNodeOrWhenTheTextDoesNotFit) {
    Movie movie;
    movie.nodeStore.Append(EffectRecord(4, 12, 2, "Sepia", "0", "0", "0", "0", ""));
    const std::string before = movie.nodeStore.Find(12, 2)->fieldText;
    ScriptedNotices notices;
    EXPECT_FALSE(ApplyEffectPanel({-1, {}, ""}, 12, 2, movie, notices));
    EXPECT_FALSE(ApplyEffectPanel({0, {}, ""}, 13, 2, movie, notices)) << "no node at the cell";
    EXPECT_FALSE(ApplyEffectPanel({0, {"1", "1", "1", "1"}, std::string(250, 'a')}, 12, 2, movie, notices));
    ASSERT_EQ(notices.boxes.size(), 3u);
    EXPECT_EQ(notices.boxes[0].text, "No Effect Node is selected. Select or Add an Effect Node first");
    EXPECT_EQ(notices.boxes[1].text, notices.boxes[0].text);
    EXPECT_NE(notices.boxes[2].text.find("shorten the text by 18 characters"), std::string::npos)
        << notices.boxes[2].text;
    EXPECT_EQ(movie.nodeStore.Find(12, 2)->fieldText, before);
}

}  // namespace
}  // namespace kinoloop
