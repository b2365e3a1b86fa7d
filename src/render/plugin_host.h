#pragma once
// Effect plug-ins: shared libraries in Eff/ with the exports of include/kinoloop/effect_plugin.h. Every call
// loads the library, calls one function and unloads it again; nothing of a plug-in stays in memory between
// calls.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "render/result.h"
#include "shell/notices.h"

namespace kinoloop {

inline constexpr const char* kGetName = "_GetName";
inline constexpr const char* kGetAuthor = "_GetAuthor";
inline constexpr const char* kGetNotes = "_GetNotes";
inline constexpr const char* kDoEffect = "_DoEffect";
inline constexpr std::size_t kPluginTextMax = 255;

// "Unable to link to function %s in DLL %s!" filled in.
std::string LinkErrorMessage(const std::string& function, const std::filesystem::path& library);

struct TPlugin {
    int index = 0;  // position in the scan, from 0
    std::string name;
    std::string author;
    std::string notes;
    std::filesystem::path path;
    bool operator==(const TPlugin&) const = default;
};

// `TBitmapBytes`: one BMP file image, with its 32-bit length also stored in the four bytes before the first
// byte.
class BitmapBytes {
public:
    BitmapBytes() { Resize(0); }
    // Makes it `size` bytes long, all zero.
    void Resize(std::size_t size);
    void Assign(std::span<const std::uint8_t> bytes);
    std::uint8_t* data() { return storage_.data() + kPrefix; }
    const std::uint8_t* data() const { return storage_.data() + kPrefix; }
    std::size_t size() const { return storage_.size() - kPrefix; }
    std::span<const std::uint8_t> bytes() const { return {data(), size()}; }

private:
    static constexpr std::size_t kPrefix = 4;
    std::vector<std::uint8_t> storage_;
};

struct EffectParameters {
    std::int32_t param1 = 0, param2 = 0, param3 = 0, param4 = 0;
    std::string text;
    bool operator==(const EffectParameters&) const = default;
};

// Calls one of the three text functions; at most 255 characters of its result. Fails when the library cannot
// be loaded (the loader's message) or lacks the function (LinkErrorMessage).
render::Result<std::string> CallPluginText(const std::filesystem::path& library, const char* function);

// Calls `function` (normally _DoEffect) with the frame. Output must be input.size() bytes long; it may be the
// same memory as input. Fails when the library cannot be loaded or lacks the function.
render::Status CallPluginEffect(const std::filesystem::path& library, const char* function,
                                const BitmapBytes& input, const EffectParameters& parameters,
                                BitmapBytes& output);
// The same with Input and Output one buffer, as for the second and later effects of a frame.
render::Status CallPluginEffectInPlace(const std::filesystem::path& library, const char* function,
                                       const EffectParameters& parameters, BitmapBytes& frame);

struct PluginScan {
    std::vector<TPlugin> plugins;       // `PluginList`
    std::vector<std::string> problems;  // one message for every library that was skipped
};

// Lists the libraries (*.so, any letter case) of the folder in case-insensitive alphabetical order of their
// file names and asks each for its name, author and notes. A library that cannot be loaded or lacks a text
// function is skipped and its problem listed; indexes count the listed plug-ins only, so entry k is item k of
// the effect list.
PluginScan ScanPlugins(const std::filesystem::path& effFolder);

// Tells the user of every library the scan skipped, one error message box each; start-up goes on afterwards.
void ReportPluginProblems(const PluginScan& scan, Notices& notices);

// The library of the plug-in whose name equals the effect name without regard to case (the last such plug-in
// in the list); nothing when none does.
std::optional<std::filesystem::path> FindPluginLibrary(const std::string& effectName,
                                                       const std::vector<TPlugin>& plugins);

}  // namespace kinoloop
