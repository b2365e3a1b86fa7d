#include "shell/settings.h"

#include <functional>
#include <string_view>

#include "shell/file_io.h"
#include "shell/ini_file.h"
#include "shell/mixer.h"

namespace kinoloop {

namespace {

constexpr std::string_view kSettings = "settings";
constexpr std::string_view kRecord = "record";
constexpr std::string_view kInsim = "insim";

// Decimal integer with optional sign and surrounding spaces; anything else is not a number.
std::optional<int> ParseInteger(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    std::string_view digits = *text;
    while (!digits.empty() && (digits.front() == ' ' || digits.front() == '\t')) digits.remove_prefix(1);
    while (!digits.empty() && (digits.back() == ' ' || digits.back() == '\t')) digits.remove_suffix(1);
    bool negative = false;
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || digits.size() > 10) return std::nullopt;
    long long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int>(value);
}

// An audio key: the file's number, else the mixer's default. Computing the default needs the mixer; when that
// fails the field keeps the value it had and reading goes on with the next key.
void ReadAudioKey(const IniFile& ini, std::string_view key, int& field, Mixer* mixer,
                  const std::function<int(Mixer&)>& mixerDefault) {
    if (const auto value = ParseInteger(ini.Get(kSettings, key))) {
        field = *value;
        return;
    }
    if (mixer == nullptr) return;
    try {
        field = mixerDefault(*mixer);
    } catch (const std::exception&) {
        // No sound server or no such line: the field keeps its value, as designed.
    }
}

}  // namespace

TSettings LoadSettings(const std::filesystem::path& iniFile, Mixer* mixer, TSettings start) {
    const IniFile ini = IniFile::Parse(ReadWholeFile(iniFile).value_or(std::string()));
    TSettings s = std::move(start);
    const TSettings defaults;
    const auto integer = [&](std::string_view section, std::string_view key, int fallback) {
        return ParseInteger(ini.Get(section, key)).value_or(fallback);
    };
    const auto text = [&](std::string_view section, std::string_view key, const std::string& fallback) {
        return ini.Get(section, key).value_or(fallback);
    };

    s.firstrun = integer(kSettings, "firstrun", defaults.firstrun);
    s.lfspath = text(kSettings, "lfspath", defaults.lfspath);
    s.exeoverride = text(kSettings, "exeoverride", defaults.exeoverride);
    s.windowname = text(kSettings, "windowname", defaults.windowname);
    s.timeline = integer(kSettings, "timeline", defaults.timeline);
    if (s.timeline < 1) s.timeline = defaults.timeline;  // it sizes the timeline
    s.watermark = integer(kSettings, "watermark", defaults.watermark);
    s.scale = integer(kSettings, "scale", defaults.scale);
    s.prompts = integer(kSettings, "prompts", defaults.prompts);
    s.autosave = integer(kSettings, "autosave", defaults.autosave);
    s.priority = static_cast<std::uint8_t>(integer(kSettings, "priority", defaults.priority));
    ReadAudioKey(ini, "audiodevice", s.audiodevice, mixer, [](Mixer& m) { return m.CurrentDestination(); });
    ReadAudioKey(ini, "audiochannel", s.audiochannel, mixer, [](Mixer& m) { return m.SelectedLine(); });
    ReadAudioKey(ini, "audiovolume", s.audiovolume, mixer,
                 [](Mixer& m) { return m.LineVolume(m.SelectedLine()); });
    s.format = text(kRecord, "format", defaults.format);
    s.fps = integer(kRecord, "fps", defaults.fps);
    if (s.fps < 1) s.fps = defaults.fps;  // it divides 1000 and sizes the timeline
    s.host = text(kInsim, "host", defaults.host);
    s.localport = integer(kInsim, "localport", defaults.localport);
    s.remoteport = integer(kInsim, "remoteport", defaults.remoteport);
    s.admin = text(kInsim, "admin", defaults.admin);
    return s;
}

std::string SaveSettings(const std::filesystem::path& iniFile, const TSettings& s) {
    // Keys of other programs or of later versions, and comments, stay in the file.
    std::string readError;
    std::optional<std::string> old = ReadWholeFile(iniFile, &readError);
    if (!old && std::filesystem::exists(iniFile)) return readError;
    IniFile ini = IniFile::Parse(old.value_or(std::string()));

    struct Key {
        std::string_view section, key;
        std::string value;
    };
    const Key keys[] = {
        {kSettings, "firstrun", std::to_string(s.firstrun)},
        {kSettings, "lfspath", s.lfspath},
        {kSettings, "exeoverride", s.exeoverride},
        {kSettings, "windowname", s.windowname},
        {kSettings, "timeline", std::to_string(s.timeline)},
        {kSettings, "watermark", std::to_string(s.watermark)},
        {kSettings, "scale", std::to_string(s.scale)},
        {kSettings, "prompts", std::to_string(s.prompts)},
        {kSettings, "autosave", std::to_string(s.autosave)},
        {kSettings, "priority", std::to_string(s.priority)},
        {kSettings, "audiodevice", std::to_string(s.audiodevice)},
        {kSettings, "audiochannel", std::to_string(s.audiochannel)},
        {kSettings, "audiovolume", std::to_string(s.audiovolume)},
        {kRecord, "format", s.format},
        {kRecord, "fps", std::to_string(s.fps)},
        {kInsim, "host", s.host},
        {kInsim, "localport", std::to_string(s.localport)},
        {kInsim, "remoteport", std::to_string(s.remoteport)},
        {kInsim, "admin", s.admin},
    };
    for (const Key& key : keys) {
        if (!ini.Set(key.section, key.key, key.value)) {
            return "cannot save the setting \"" + std::string(key.key) + "\": its value holds a line break";
        }
    }
    std::error_code error;
    std::filesystem::create_directories(iniFile.parent_path(), error);
    return WriteFileReplacing(iniFile, ini.Text());
}

}  // namespace kinoloop
