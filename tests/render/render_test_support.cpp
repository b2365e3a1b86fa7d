#include "render_test_support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "model/field_text.h"

namespace kinoloop::testing {

namespace fs = std::filesystem;

fs::path SourceDir() {
    const char* dir = std::getenv("KINOLOOP_SOURCE_DIR");
    return dir ? fs::path(dir) : fs::path(KL_TEST_SOURCE_DIR);
}

fs::path BuildDir() {
    const char* dir = std::getenv("KINOLOOP_BUILD_DIR");
    return dir ? fs::path(dir) : fs::path(KL_TEST_BUILD_DIR);
}

FrameImage PatternFrame(int width, int height, int seed) {
    FrameImage image = FrameImage::Blank(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = image.PixelAt(x, y);
            p[0] = static_cast<std::uint8_t>(x * 3 + seed * 7);
            p[1] = static_cast<std::uint8_t>(y * 5 + seed * 11);
            p[2] = static_cast<std::uint8_t>((x + y) * 2 + seed * 13);
        }
    }
    return image;
}

fs::path SampleEffect(const std::string& fileName) {
    return BuildDir() / "bin" / "Eff" / fileName;
}
fs::path TestEffect(const std::string& fileName) {
    return BuildDir() / "tests" / "effects" / fileName;
}

void InstallEffect(const fs::path& library, const fs::path& folder, const std::string& fileName) {
    fs::create_directories(folder);
    fs::copy_file(library, folder / fileName, fs::copy_options::overwrite_existing);
}

std::string RunCommand(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[65536];
        for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

NodeText EffectRecord(std::int32_t id, std::int32_t column, std::int32_t row, const std::string& effectName,
                      const std::string& p1, const std::string& p2, const std::string& p3,
                      const std::string& p4, const std::string& text) {
    NodeText record;
    record.id = id;
    record.tag = "EFF";
    record.column = column;
    record.row = row;
    record.fieldText = JoinFields({std::to_string(id), std::to_string(column), std::to_string(row), "1",
                                   effectName, p1, p2, p3, p4, text});
    return record;
}

}  // namespace kinoloop::testing
