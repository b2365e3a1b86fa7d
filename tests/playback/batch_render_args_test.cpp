// The batch render's command line: what it accepts and the reason it gives for what it refuses.
#include <gtest/gtest.h>

#include "playback/batch_render.h"

namespace kinoloop {
namespace {

TEST(BatchRenderArguments, AcceptedLines) {
    std::string why;
    const auto options = ParseBatchRenderArguments({"--render", "a.knloop", "--format", "PAL", "--audio", "--sim-sound"}, why);
    ASSERT_TRUE(options) << why;
    EXPECT_EQ(options->movieFile, "a.knloop");
    EXPECT_EQ(options->format, "PAL");
    EXPECT_TRUE(options->recordAudio);
    EXPECT_TRUE(options->recordSimSound);

    const auto plain = ParseBatchRenderArguments({"--render", "b.knloop", "--no-audio"}, why);
    ASSERT_TRUE(plain) << why;
    EXPECT_FALSE(plain->format);
    EXPECT_FALSE(plain->recordAudio);
}

TEST(BatchRenderArguments, RefusedLinesSayWhy) {
    struct Case {
        std::vector<std::string> arguments;
        std::string why;
    };
    for (const Case& c : {Case{{"--render"}, "--render needs a movie file"},
                          Case{{"--render", "a.knloop", "--format", "HD"}, "unknown format 'HD' (STD, PAL, NTSC or LRG)"},
                          Case{{"--render", "a.knloop", "--loud"}, "unknown argument '--loud'"},
                          Case{{"--render", "a.knloop", "--sim-sound"}, "--sim-sound needs --audio"}}) {
        std::string why;
        EXPECT_FALSE(ParseBatchRenderArguments(c.arguments, why));
        EXPECT_EQ(why, c.why);
    }
}

TEST(BatchRenderArguments, RecognisesTheCommand) {
    char program[] = "kinoloop", render[] = "--render", file[] = "a.knloop", other[] = "a.knloop";
    char* withRender[] = {program, render, file, nullptr};
    char* without[] = {program, other, nullptr};
    EXPECT_TRUE(IsBatchRenderCommand(3, withRender));
    EXPECT_FALSE(IsBatchRenderCommand(2, without));
}

}  // namespace
}  // namespace kinoloop
