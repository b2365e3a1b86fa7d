#include "diagnostics/log_file.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <system_error>

#include "diagnostics/system_facts.h"

namespace kinoloop {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLineBreak = "\r\n";

void CreateEmptyUnlessExists(const fs::path& file) {
    std::error_code error;
    if (fs::exists(file, error)) return;
    std::ofstream created(file, std::ios::binary);
    if (!created) throw std::runtime_error("the file " + file.string() + " cannot be created");
}

// The file's lines without their line breaks (CR LF or LF); a last line break ends the last line.
std::deque<std::string> ReadLines(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("the file " + file.string() + " cannot be read");
    std::deque<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    if (in.bad()) throw std::runtime_error("the file " + file.string() + " cannot be read");
    return lines;
}

}  // namespace

std::string LogKindName(LogKind kind) {
    switch (kind) {
        case LogKind::Info:
            return "INFO  ";
        case LogKind::Error:
            return "ERROR ";
        case LogKind::Except:
            return "EXCEPT";
        case LogKind::Enter:
            return "ENTER ";
        default:
            return "";
    }
}

std::string IndentLines(const std::string& text, int leading, int afterBreak, char fill) {
    std::string result(static_cast<std::size_t>(std::max(leading, 0)), fill);
    const std::string after(static_cast<std::size_t>(std::max(afterBreak, 0)), fill);
    result.reserve(text.size() + result.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        result += text[i];
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            result += '\n';
            ++i;
            result += after;
        }
    }
    return result;
}

std::string LogSeparator() {
    return std::string(89, '-');
}

TQELLogFile::TQELLogFile(fs::path fileName, LogHooks hooks)
    : fileName_(std::move(fileName)), hooks_(std::move(hooks)) {}

TQELLogFile::~TQELLogFile() {
    if (active_) Stop();
}

std::string TQELLogFile::Now() const {
    return hooks_.now ? hooks_.now() : LocalDateTime();
}

void TQELLogFile::Active(bool on) {
    if (on == active_) return;
    if (on) {
        Start();
    } else {
        // Nothing in the program switches logging off; a caller that does ends the log properly.
        Stop();
        active_ = false;
    }
}

void TQELLogFile::Start() {
    try {
        std::error_code error;
        if (fs::exists(fileName_, error)) {
            entries_ = ReadLines(fileName_);
        } else {
            entries_.clear();
            CreateEmptyUnlessExists(fileName_);
        }
        sinceSave_ = 0;
        active_ = true;
        const LogStartFacts facts = hooks_.facts ? hooks_.facts() : ReadStartFacts(ProgramFilePath());
        const std::string separator = LogSeparator();
        WriteEntry(LogKind::Plain, separator);
        WriteEntry(LogKind::Plain, "START LOGGING : " + facts.title + " at " + Now());
        WriteEntry(LogKind::Plain, separator);
        WriteEntry(LogKind::Plain, "PROCESS  : " + facts.programPath);
        WriteEntry(LogKind::Plain, "USER     : " + facts.user);
        WriteEntry(LogKind::Plain, "COMPUTER : " + facts.computer);
        WriteEntry(LogKind::Plain, "SYSTEM   : " + facts.system);
        WriteEntry(LogKind::Plain, separator);
        // The start block goes to disk at once, so that a run that ends early still shows it began. Unlike
        // the entries that follow, a failure here is reported: the user asked for a log and would get none.
        WriteEntry(LogKind::Plain, "");
        Save();
        sinceSave_ = 0;
    } catch (const std::exception& failure) {
        active_ = false;
        entries_.clear();
        if (hooks_.startFailed) {
            hooks_.startFailed("Error on starting logging " + fileName_.string() + kLineBreak +
                               "Trace is disabled..." + kLineBreak + kLineBreak + failure.what());
        }
    }
}

void TQELLogFile::Stop() {
    try {
        const std::string separator = LogSeparator();
        WriteEntry(LogKind::Plain, "");
        WriteEntry(LogKind::Plain, separator);
        WriteEntry(LogKind::Plain, "STOP LOGGING at " + Now());
        WriteEntry(LogKind::Plain, separator);
        WriteEntry(LogKind::Plain, "");
    } catch (...) {
        // The log's end must never end the program; what could be kept is saved below.
    }
    SaveLog();
}

void TQELLogFile::WriteEntry(LogKind kind, const std::string& text, bool flush) {
    if (!active_) return;
    try {
        CreateEmptyUnlessExists(fileName_);
        std::string prefix = "# ";
        if (kind != LogKind::Plain) prefix += Now() + " [ " + LogKindName(kind) + " ] ";
        entries_.push_back(IndentLines(prefix + text, 0, static_cast<int>(prefix.size())));
        ++sinceSave_;
        while (entries_.size() > static_cast<std::size_t>(std::max(MaxEntries, 0))) entries_.pop_front();
        if (flush || sinceSave_ >= FlushEvery) {
            Save();
            sinceSave_ = 0;
        }
    } catch (...) {
        // A log entry that cannot be written must not stop the program that writes it: the entry may be lost.
    }
}

std::string TQELLogFile::Text() const {
    std::string text;
    for (const std::string& entry : entries_) {
        text += entry;
        text += kLineBreak;
    }
    return text;
}

void TQELLogFile::Save() const {
    // Written beside the log and renamed over it, so that a save that fails half-way leaves the old log
    // whole.
    fs::path temporary = fileName_;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) throw std::runtime_error("the file " + temporary.string() + " cannot be written");
        const std::string text = Text();
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.close();
        if (!out) throw std::runtime_error("the file " + temporary.string() + " cannot be written");
    }
    std::error_code error;
    fs::rename(temporary, fileName_, error);
    if (error) {
        fs::remove(temporary, error);
        throw std::runtime_error("the file " + fileName_.string() + " cannot be replaced");
    }
}

void TQELLogFile::SaveLog() {
    if (!active_) return;
    try {
        Save();
    } catch (...) {
        // Failures while writing are swallowed: the entries stay in memory for the next save.
    }
}

void TQELLogFile::ShowLog() {
    if (!active_ || hooks_.viewer == nullptr) return;
    hooks_.viewer->ShowText(Text());
}

}  // namespace kinoloop
