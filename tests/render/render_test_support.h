#pragma once
// Pictures, plug-in folders and effect nodes for the rendering tests.
#include <cstdint>
#include <filesystem>
#include <string>

#include "model/node_text.h"
#include "render/frame_image.h"

namespace kinoloop::testing {

// A picture whose every pixel differs from its neighbours and from the same pixel of other seeds.
FrameImage PatternFrame(int width, int height, int seed);

// The source tree (for shipped assets) and the build tree.
std::filesystem::path SourceDir();
std::filesystem::path BuildDir();

// The sample effects (build/bin/Eff) and the test effects (build/tests/effects).
std::filesystem::path SampleEffect(const std::string& fileName);
std::filesystem::path TestEffect(const std::string& fileName);
// Copies a library into a folder under another file name.
void InstallEffect(const std::filesystem::path& library, const std::filesystem::path& folder,
                   const std::string& fileName);

// Runs a shell command and returns what it wrote to its standard output.
std::string RunCommand(const std::string& command);

// An effect node record ("EFF") with its field text.
NodeText EffectRecord(std::int32_t id, std::int32_t column, std::int32_t row, const std::string& effectName,
                      const std::string& p1, const std::string& p2, const std::string& p3,
                      const std::string& p4, const std::string& text);

}  // namespace kinoloop::testing
