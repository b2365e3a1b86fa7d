#pragma once
// `TQELLogFile`: the plain-text log of a run, written beside the program file when the user asks for it on
// the command line. Entries are kept in memory (at most MaxEntries) and the whole list is written to the file
// every FlushEvery entries, on a flushed entry and when the log ends.
#include <deque>
#include <filesystem>
#include <functional>
#include <string>

namespace kinoloop {

// Entry kinds; every kind but Plain puts the date, the time and its six-character name before the text.
enum class LogKind : int { Plain = 0, Info = 1, Error = 2, Except = 3, Enter = 4 };

// "INFO  ", "ERROR ", "EXCEPT", "ENTER " for the kinds 1 to 4; "" for Plain and for numbers without a name.
std::string LogKindName(LogKind kind);

// Puts `leading` fill characters before the text and `afterBreak` after every CR LF in it, so that the
// continuation lines of an entry line up under its first line's text.
std::string IndentLines(const std::string& text, int leading, int afterBreak, char fill = ' ');

// The separator line of the start and stop blocks: 89 '-'.
std::string LogSeparator();

// What the start block names: the title, the program file, the user, the computer and the system.
struct LogStartFacts {
    std::string title;
    std::string programPath;
    std::string user;
    std::string computer;
    std::string system;
};

// Shows the kept entries (the log window).
class LogViewer {
public:
    virtual ~LogViewer() = default;
    virtual void ShowText(const std::string& text) = 0;
};

struct LogHooks {
    std::function<std::string()> now;                     // "short date long time"; by default the locale's
    std::function<LogStartFacts()> facts;                 // by default read from the system
    std::function<void(const std::string&)> startFailed;  // tells the user that logging could not start
    LogViewer* viewer = nullptr;                          // the log window
};

class TQELLogFile {
public:
    static constexpr int kMaxEntries = 5000;
    static constexpr int kFlushEvery = 100;

    explicit TQELLogFile(std::filesystem::path fileName, LogHooks hooks = {});
    // Ends the log with the stop block and a last save when logging is on.
    ~TQELLogFile();
    TQELLogFile(const TQELLogFile&) = delete;
    TQELLogFile& operator=(const TQELLogFile&) = delete;

    bool Active() const { return active_; }
    // Switching on continues an existing file and writes the start block; a failure leaves logging off and is
    // told through `startFailed`. Setting the present value does nothing.
    void Active(bool on);

    // Appends one entry (nothing while logging is off). `flush` saves at once.
    void WriteEntry(LogKind kind, const std::string& text, bool flush = false);
    void WriteEntry(int kind, const std::string& text, bool flush = false) {
        WriteEntry(static_cast<LogKind>(kind), text, flush);
    }
    // Writes every kept entry to the file, replacing its content (nothing while logging is off).
    void SaveLog();
    // Hands a copy of the kept entries to the log window (nothing while logging is off).
    void ShowLog();

    const std::filesystem::path& FileName() const { return fileName_; }
    const std::deque<std::string>& Entries() const { return entries_; }
    int EntriesSinceSave() const { return sinceSave_; }
    // The kept entries as the file holds them: each followed by CR LF.
    std::string Text() const;

    int MaxEntries = kMaxEntries;
    int FlushEvery = kFlushEvery;

private:
    void Start();
    void Stop();
    // Throws on failure; WriteEntry and SaveLog swallow, Start reports.
    void Save() const;
    std::string Now() const;

    std::filesystem::path fileName_;
    LogHooks hooks_;
    std::deque<std::string> entries_;
    bool active_ = false;
    int sinceSave_ = 0;
};

}  // namespace kinoloop
