#include "render/plugin_host.h"

#include <gtest/gtest.h>

#include <fstream>

#include "model/node_store.h"
#include "render/effect_chain.h"
#include "render/frame_image.h"
#include "render_test_support.h"
#include "scripted_notices.h"
#include "temp_folder.h"

namespace kinoloop {
namespace {

namespace fs = std::filesystem;
using testing::EffectRecord;
using testing::InstallEffect;
using testing::PatternFrame;
using testing::SampleEffect;
using testing::TestEffect;

std::vector<std::string> Names(const std::vector<TPlugin>& plugins) {
    std::vector<std::string> names;
    for (const TPlugin& plugin : plugins) names.push_back(plugin.name);
    return names;
}

TEST(ScanPlugins, AnEmptyOrMissingFolderGivesAnEmptyList) {
    testing::TempFolder folder;
    EXPECT_TRUE(ScanPlugins(folder.Path()).plugins.empty());
    const PluginScan missing = ScanPlugins(folder / "no-such-folder");
    EXPECT_TRUE(missing.plugins.empty());
    EXPECT_TRUE(missing.problems.empty());
}

TEST(ScanPlugins, ListsLibrariesInCaseInsensitiveOrderOfTheirFileNames) {
    testing::TempFolder eff;
    InstallEffect(SampleEffect("greyscale.so"), eff.Path(), "Beta.so");
    InstallEffect(SampleEffect("sepia.so"), eff.Path(), "alpha.so");
    InstallEffect(SampleEffect("caption.so"), eff.Path(), "charlie.SO");
    std::ofstream(eff / "readme.txt") << "not a library";

    const PluginScan scan = ScanPlugins(eff.Path());
    EXPECT_TRUE(scan.problems.empty());
    ASSERT_EQ(Names(scan.plugins), (std::vector<std::string>{"Sepia", "Greyscale", "Text Caption"}));
    for (int k = 0; k < 3; ++k) EXPECT_EQ(scan.plugins[k].index, k);
    EXPECT_EQ(scan.plugins[0].path, eff / "alpha.so");
    EXPECT_EQ(scan.plugins[1].author, "Kinoloop");
    EXPECT_NE(scan.plugins[2].notes.find("Parameter 1"), std::string::npos);
}

TEST(ScanPlugins, SkipsAndReportsLibrariesThatCannotBeUsed) {
    testing::TempFolder eff;
    InstallEffect(SampleEffect("greyscale.so"), eff.Path(), "a.so");
    InstallEffect(TestEffect("no_notes.so"), eff.Path(), "b.so");
    std::ofstream(eff / "c.so") << "this is text, not a library";
    InstallEffect(SampleEffect("sepia.so"), eff.Path(), "d.so");

    const PluginScan scan = ScanPlugins(eff.Path());
    ASSERT_EQ(Names(scan.plugins), (std::vector<std::string>{"Greyscale", "Sepia"}));
    EXPECT_EQ(scan.plugins[1].index, 1) << "entry k stays item k of the effect list";
    ASSERT_EQ(scan.problems.size(), 2u);
    EXPECT_EQ(scan.problems[0],
              "Unable to link to function _GetNotes in DLL " + (eff / "b.so").string() + "!");
    EXPECT_NE(scan.problems[1].find("c.so"), std::string::npos);

    testing::ScriptedNotices notices;
    ReportPluginProblems(scan, notices);
    ASSERT_EQ(notices.boxes.size(), 2u);
    EXPECT_EQ(notices.boxes[0].text, scan.problems[0]);
    EXPECT_EQ(notices.boxes[0].icon, icon::Error);
}

TEST(CallPluginText, CutsTextsTo255CharactersAndNamesAMissingFunction) {
    auto notes = CallPluginText(TestEffect("probe.so"), kGetNotes);
    ASSERT_TRUE(notes) << notes.error();
    EXPECT_EQ(notes.value().size(), 255u);
    auto missing = CallPluginText(TestEffect("probe.so"), "_GetVersion");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error(), LinkErrorMessage("_GetVersion", TestEffect("probe.so")));
    EXPECT_FALSE(CallPluginText("/no/such/library.so", kGetName));
}

TEST(FindPluginLibrary, MatchesNamesWithoutRegardToCaseAndTheLastMatchWins) {
    const std::vector<TPlugin> plugins = {{0, "Sepia", "", "", "/eff/a.so"},
                                          {1, "Greyscale", "", "", "/eff/b.so"},
                                          {2, "SEPIA", "", "", "/eff/c.so"}};
    EXPECT_EQ(FindPluginLibrary("sepia", plugins), fs::path("/eff/c.so"));
    EXPECT_EQ(FindPluginLibrary("GREYSCALE", plugins), fs::path("/eff/b.so"));
    EXPECT_EQ(FindPluginLibrary("Blur", plugins), std::nullopt);
    EXPECT_EQ(FindPluginLibrary("/eff/b.so", plugins), std::nullopt) << "a path is not a name";
}

TEST(CallPluginEffect, PassesParametersTextAndTheLengthBeforeInput) {
    BitmapBytes input;
    input.Assign(EncodeBmp(PatternFrame(8, 4, 0)));
    BitmapBytes output;
    ASSERT_TRUE(CallPluginEffect(TestEffect("probe.so"), kDoEffect, input, {7, 8, 9, 10, "Lap"}, output));
    EXPECT_EQ(output.size(), input.size());
    auto result = DecodeBmp(output.bytes());
    ASSERT_TRUE(result);
    const std::uint8_t* p0 = result.value().PixelAt(0, 0);
    const std::uint8_t* p1 = result.value().PixelAt(1, 0);
    const std::uint8_t* p2 = result.value().PixelAt(2, 0);
    EXPECT_EQ((std::vector<int>{p0[0], p0[1], p0[2], p1[0], p1[1], p1[2]}),
              (std::vector<int>{7, 8, 9, 10, 3, 'L'}));
    EXPECT_EQ(p2[0], 1) << "the four bytes before Input hold its length";
    EXPECT_EQ(p2[1], 0) << "Input and Output are separate buffers";

    ASSERT_TRUE(CallPluginEffectInPlace(TestEffect("probe.so"), kDoEffect, {1, 2, 3, 4, ""}, output));
    result = DecodeBmp(output.bytes());
    EXPECT_EQ(result.value().PixelAt(2, 0)[1], 1) << "one buffer";
    EXPECT_EQ(result.value().PixelAt(2, 0)[0], 1);

    auto missing = CallPluginEffect(TestEffect("no_notes.so"), "_DoNothing", input, {}, output);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error(), LinkErrorMessage("_DoNothing", TestEffect("no_notes.so")));
}

TEST(ReadEffectNode, ParametersThatAreNotIntegersAllBecomeZeroAndTheTextEmpty) {
    struct Case {
        std::string fieldText;
        std::string name;
        EffectParameters parameters;
    };
    const Case cases[] = {
        {"1:5:1:1:Sepia:10:20:30:40:Hello", "Sepia", {10, 20, 30, 40, "Hello"}},
        {"1:5:1:1:Sepia:10:20:x:40:Hello", "Sepia", {0, 0, 0, 0, ""}},
        {"1:5:1:1:Sepia:10::30:40:Hello", "Sepia", {0, 0, 0, 0, ""}},
        {"1:5:1:1:Caption:0:0:0:0:Lap 1: Start", "Caption", {0, 0, 0, 0, "Lap 1: Start"}},
        {"1:5:1:1:Caption:1:2:3:4:", "Caption", {1, 2, 3, 4, ""}},
        {"1:5:1:1:Short:1:2", "Short", {0, 0, 0, 0, ""}},
    };
    for (const Case& c : cases) {
        const EffectNodeValues values = ReadEffectNode(c.fieldText);
        EXPECT_EQ(values.effectName, c.name) << c.fieldText;
        EXPECT_EQ(values.parameters, c.parameters) << c.fieldText;
    }
}

TEST(EffectColumns, KeepStoreOrderPerColumnAndFindTheStartColumn) {
    NodeStore store;
    store.Append(EffectRecord(1, 7, 2, "B", "0", "0", "0", "0", ""));
    store.Append(EffectRecord(2, 3, 1, "X", "0", "0", "0", "0", ""));
    store.Append(EffectRecord(3, 7, 1, "A", "0", "0", "0", "0", ""));
    EXPECT_EQ(RenderStartColumn(store), 0);
    NodeText start;
    start.tag = "STT";
    start.column = 4;
    store.Append(start);
    start.column = 9;
    store.Append(start);
    const EffectColumns columns(store);
    ASSERT_EQ(columns.At(7).size(), 2u);
    EXPECT_EQ(columns.At(7)[0]->id, 1);
    EXPECT_EQ(columns.At(7)[1]->id, 3);
    EXPECT_TRUE(columns.At(8).empty());
    EXPECT_EQ(RenderStartColumn(store), 4);
}

class FrameEffectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        InstallEffect(SampleEffect("brightness_contrast.so"), eff.Path(), "brightness_contrast.so");
        InstallEffect(SampleEffect("letterbox.so"), eff.Path(), "letterbox.so");
        InstallEffect(TestEffect("bad_result.so"), eff.Path(), "bad_result.so");
        plugins = ScanPlugins(eff.Path()).plugins;
        ASSERT_EQ(plugins.size(), 3u);
    }
    std::vector<const NodeText*> Nodes() {
        std::vector<const NodeText*> pointers;
        for (const NodeText& node : store.Records()) pointers.push_back(&node);
        return pointers;
    }
    std::vector<std::uint8_t> Run(const std::vector<std::uint8_t>& captured, std::int64_t frame = 3) {
        FrameEffects effects(plugins);
        const auto nodes = Nodes();
        const FrameEffectEvents events{[&](std::int64_t i) { applying.push_back(i); },
                                       [&](const std::string& m) { failures.push_back(m); }};
        const auto result = effects.Apply(captured, nodes, frame, events);
        return {result.begin(), result.end()};
    }

    testing::TempFolder eff;
    std::vector<TPlugin> plugins;
    NodeStore store;
    std::vector<std::int64_t> applying;
    std::vector<std::string> failures;
};

TEST_F(FrameEffectsTest, ChainsEffectsInStoreOrder) {
    store.Append(EffectRecord(1, 5, 2, "brightness/contrast", "30", "0", "0", "0", ""));
    store.Append(EffectRecord(2, 5, 1, "Cinema Bars", "0", "2", "255", "0", ""));
    const FrameImage frame = PatternFrame(16, 12, 0);
    auto result = DecodeBmp(Run(EncodeBmp(frame)));
    ASSERT_TRUE(result);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(applying, (std::vector<std::int64_t>{3, 3}));
    // Bars drawn after the brightening keep their pure blue.
    for (int y : {0, 1, 10, 11}) {
        const std::uint8_t* p = result.value().PixelAt(5, y);
        EXPECT_TRUE(p[0] == 255 && p[1] == 0 && p[2] == 0) << "row " << y;
    }
    const std::uint8_t* p = result.value().PixelAt(5, 5);
    const std::uint8_t* q = frame.PixelAt(5, 5);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(p[c], std::min(255, q[c] + 30));
}

TEST_F(FrameEffectsTest, ARejectedResultLeavesTheFrameAsCapturedAndNamesTheFrame) {
    struct Case {
        const char* param;
        const char* message;
    };
    for (const Case& c : {Case{"0", "Error Applying Effect to Frame: 3, the bitmap data was corrupt"},
                          Case{"1",
                               "Error Applying Effect to Frame: 3, the plugin returned a 15 x 12 picture "
                               "instead of 16 x 12"},
                          Case{"2", "Error Applying Effect to Frame: 3, the bitmap data was corrupt"}}) {
        store.Clear();
        failures.clear();
        store.Append(EffectRecord(1, 5, 1, "Brightness/Contrast", "30", "0", "0", "0", ""));
        store.Append(EffectRecord(2, 5, 2, "Bad Result", c.param, "0", "0", "0", ""));
        store.Append(EffectRecord(3, 5, 3, "Cinema Bars", "0", "2", "255", "0", ""));
        const auto captured = EncodeBmp(PatternFrame(16, 12, 1));
        EXPECT_EQ(Run(captured), captured) << c.param;
        EXPECT_EQ(failures, (std::vector<std::string>{c.message}));
    }
}

TEST_F(FrameEffectsTest, EffectsNamingNoListedPluginAreSkippedSilently) {
    store.Append(EffectRecord(1, 5, 1, "Vignette", "1", "0", "0", "0", ""));
    store.Append(EffectRecord(2, 5, 2, SampleEffect("greyscale.so").string(), "0", "0", "0", "0", ""));
    const auto captured = EncodeBmp(PatternFrame(16, 12, 2));
    EXPECT_EQ(Run(captured), captured);
    EXPECT_TRUE(failures.empty());
}

// Every sample effect gives the same result whether it writes into a separate buffer or over its input.
TEST(SampleEffects, InPlaceAndSeparateBuffersGiveTheSameResult) {
    const EffectParameters parameters[] = {
        {0, 0, 0, 0, ""}, {40, 5, 150, 0, "Lap 3 - Spa"}, {3, 3, 65280, 4, "Go!"}};
    for (const char* library :
         {"greyscale.so", "sepia.so", "brightness_contrast.so", "letterbox.so", "caption.so", "boxblur.so"}) {
        for (const EffectParameters& p : parameters) {
            BitmapBytes input;
            input.Assign(EncodeBmp(PatternFrame(37, 23, 5)));
            BitmapBytes separate;
            ASSERT_TRUE(CallPluginEffect(SampleEffect(library), kDoEffect, input, p, separate)) << library;
            BitmapBytes inPlace = input;
            ASSERT_TRUE(CallPluginEffectInPlace(SampleEffect(library), kDoEffect, p, inPlace));
            EXPECT_TRUE(std::equal(separate.bytes().begin(), separate.bytes().end(), inPlace.bytes().begin()))
                << library << " with parameter 1 = " << p.param1;
            EXPECT_EQ(CheckEffectResult(separate.bytes(), 37, 23), "") << library;
        }
    }
}

FrameImage RunSample(const char* library, const FrameImage& frame, const EffectParameters& p) {
    BitmapBytes input;
    input.Assign(EncodeBmp(frame));
    BitmapBytes output;
    EXPECT_TRUE(CallPluginEffect(SampleEffect(library), kDoEffect, input, p, output));
    return DecodeBmp(output.bytes()).value();
}

TEST(SampleEffects, DoWhatTheirNotesSay) {
    const FrameImage frame = PatternFrame(40, 30, 7);
    {
        const FrameImage grey = RunSample("greyscale.so", frame, {});
        const std::uint8_t* p = grey.PixelAt(13, 17);
        EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]) << "grey";
    }
    {
        const FrameImage sepia = RunSample("sepia.so", frame, {});
        const std::uint8_t* p = sepia.PixelAt(13, 17);
        EXPECT_TRUE(p[2] >= p[1] && p[1] >= p[0]) << "red over green over blue";
    }
    {
        const FrameImage darker = RunSample("brightness_contrast.so", frame, {0, 50, 0, 0, ""});
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(darker.PixelAt(3, 4)[c], std::max(0, frame.PixelAt(3, 4)[c] - 50));
    }
    {
        // 40 wide at 2:1 leaves 20 rows: bars of 5 at top and bottom.
        const FrameImage bars = RunSample("letterbox.so", frame, {200, 0, 0, 0, ""});
        EXPECT_EQ(bars.PixelAt(0, 4)[1], 0);
        EXPECT_EQ(bars.PixelAt(0, 25)[1], 0);
        EXPECT_EQ(bars.PixelAt(0, 5)[1], frame.PixelAt(0, 5)[1]);
        EXPECT_EQ(bars.PixelAt(0, 24)[1], frame.PixelAt(0, 24)[1]);
    }
    {
        // "I" at size 1, top left with a margin of 2: its top bar covers x 3..5 of row 2, in red.
        const FrameImage caption =
            RunSample("caption.so", FrameImage::Blank(40, 30), {4, 1, 16711680, 2, "I"});
        const std::uint8_t* p = caption.PixelAt(4, 2);
        EXPECT_TRUE(p[0] == 0 && p[1] == 0 && p[2] == 255);
        EXPECT_EQ(caption.PixelAt(2, 2)[2], 0) << "left of the letter";
    }
    {
        FrameImage dot = FrameImage::Blank(9, 9);
        std::fill_n(dot.PixelAt(4, 4), 3, 255);
        const FrameImage blurred = RunSample("boxblur.so", dot, {1, 1, 0, 0, ""});
        // A 3 x 3 box spreads 255 into nine pixels of 255 / 9, rounded twice.
        EXPECT_EQ(blurred.PixelAt(3, 3)[0], 28);
        EXPECT_EQ(blurred.PixelAt(4, 4)[0], 28);
        EXPECT_EQ(blurred.PixelAt(2, 2)[0], 0);
    }
}

}  // namespace
}  // namespace kinoloop
