#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end of the test.
#include <filesystem>
#include <string>

namespace kinoloop::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Points KINOLOOP_HOME at a temporary program folder with its seven subfolders for the life of the object.
class TempProgramFolder : public TempFolder {
public:
    TempProgramFolder();
    ~TempProgramFolder();

private:
    std::string previous_;
    bool hadPrevious_ = false;
};

}  // namespace kinoloop::testing
