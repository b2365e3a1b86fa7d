#pragma once
// Fakes of playback's ports that write what happens into one shared log, and a rig that wires them to a real
// transport and render session over a real movie.
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "model/movie.h"
#include "playback/ports.h"
#include "playback/render_session.h"
#include "playback/transport.h"
#include "scripted_notices.h"

namespace kinoloop::testing {

using EventLog = std::vector<std::string>;

class FakePackets : public SimulatorPackets {
public:
    explicit FakePackets(EventLog& log) : log_(log) {}
    void SendValuePacket(const std::string& tag, int value) override { log_.push_back(tag + " " + std::to_string(value)); }
    void SendMessagePacket(const std::string& text) override { log_.push_back("MST " + text); }
    void SendKeyPacket(char key, int flags) override {
        log_.push_back(std::string("KEY ") + key + " " + std::to_string(flags));
    }
    void SendStateFlagPacket(int flag, int value) override {
        log_.push_back("SFP " + std::to_string(flag) + " " + std::to_string(value));
    }
    // The camera's x field names it in the log.
    void SendCameraPacket(const FieldBuffer& fields) override { log_.push_back("CPP " + fields.Line(4)); }

private:
    EventLog& log_;
};

class FakeClock : public FrameClockControl {
public:
    void Start() override { active = true; }
    void Stop() override { active = false; }
    bool IsActive() const override { return active; }
    void SetExactPeriod(bool on) override { exact = on; }
    bool active = false;
    bool exact = false;
};

class FakeLink : public ReplayLink {
public:
    FakeLink(EventLog& log, FakeClock& clock) : log_(log), clock_(clock) {}
    bool SimulatorFound() const override { return found; }
    bool Playing() const override { return playing; }
    bool ReplayRequested() const override { return requested; }
    bool ReplayFileExists(const std::string& name) const override { return files.count(name) > 0; }
    void LoadReplay(const std::string& name, bool endFirst) override {
        log_.push_back("LOAD " + name + (endFirst ? " end-first" : ""));
        requested = true;
        loaded = true;
    }
    // What the link's state handling does when the simulator reports the loaded replay running.
    void ReportRunning() {
        if (!loaded || !reports) return;
        playing = true;
        log_.push_back("TMS 1");
        clock_.Start();
    }
    bool found = true;
    bool playing = false;
    bool requested = false;
    bool loaded = false;
    bool reports = true;  // the simulator answers the load
    std::set<std::string> files{"race.spr"};

private:
    EventLog& log_;
    FakeClock& clock_;
};

class FakePump : public PlaybackPump {
public:
    void ProcessEvents() override { ++processed; }
    void Sleep(int ms) override { now += ms; }
    void Block(int ms) override {
        now += ms;
        blocked += ms;
    }
    bool WaitUntil(const std::function<bool()>& condition, int) override {
        if (onWait) onWait();
        return condition();
    }
    std::int64_t NowMs() const override { return now; }
    std::function<void()> onWait;
    std::int64_t now = 0;
    int processed = 0;
    int blocked = 0;
};

class FakeScripts : public ScriptNodeRunner {
public:
    explicit FakeScripts(EventLog& log) : log_(log) {}
    void Run(const std::vector<std::string>& lines) override {
        programs.push_back(lines);
        held = true;
        log_.push_back("SCRIPT");
        if (onRun) onRun();
    }
    bool HoldsProgram() const override { return held; }
    bool Running() const override { return running; }
    void KillScript() override { log_.push_back("KILL"); }
    std::vector<std::vector<std::string>> programs;
    bool held = false;
    bool running = false;
    std::function<void()> onRun;

private:
    EventLog& log_;
};

class FakeSound : public SoundPlayer {
public:
    explicit FakeSound(EventLog& log) : log_(log) {}
    void Stop() override { log_.push_back("SOUND stop"); }
    void PreparePlaylist(Movie&) override { log_.push_back("PLAYLIST"); }
    bool StartSoundNode(const std::string& fieldText) override {
        log_.push_back("SOUND " + fieldText);
        return true;
    }

private:
    EventLog& log_;
};

class FakeDebug : public DebugLog {
public:
    struct Row {
        std::string action, track;
        int frame;
        bool operator==(const Row&) const = default;
    };
    void AddRow(const std::string& action, const std::string& track, int frame) override {
        rows.push_back({action, track, frame});
    }
    void SetShown(bool on) override { shown = on; }
    std::vector<Row> rows;
    bool shown = false;
};

class FakeCapture : public RenderCapture {
public:
    explicit FakeCapture(EventLog& log) : log_(log) {}
    std::string Start(const std::filesystem::path&) override {
        log_.push_back("TEMP open");
        return startError;
    }
    bool CaptureFrame() override {
        log_.push_back("CAPTURE");
        ++count;
        return true;
    }
    void Stop() override { log_.push_back("TEMP close"); }
    std::int64_t CapturedFrameSize() const override { return 230454; }
    std::int64_t CapturedFrameCount() const override { return count; }
    std::int64_t WallClockMilliseconds() const override { return count * 40; }
    std::int64_t count = 0;
    std::string startError;

private:
    EventLog& log_;
};

class FakeRecorder : public SoundRecorder {
public:
    explicit FakeRecorder(EventLog& log) : log_(log) {}
    std::string Prepare() override { return {}; }
    std::string Start() override {
        log_.push_back("REC start");
        recording = true;
        return {};
    }
    void Stop() override {
        log_.push_back("REC stop");
        recording = false;
    }
    bool Recording() const override { return recording; }
    std::int64_t LengthMs() const override { return 10000; }
    std::string SaveWav(const std::filesystem::path& file) const override;
    void Clear() override { log_.push_back("REC clear"); }
    int PlayToRecordDelayMs() const override { return 0; }
    bool recording = false;

private:
    EventLog& log_;
};

class FakeAssembler : public FilmAssembler {
public:
    explicit FakeAssembler(EventLog& log) : log_(log) {}
    FilmResult Assemble(const FilmJob& job) override {
        log_.push_back("ASSEMBLE " + std::to_string(job.CapturedFrameCount));
        jobs.push_back(job);
        if (onAssemble) onAssemble();
        return {true, job.movFolder / "film.avi", ""};
    }
    std::vector<FilmJob> jobs;
    std::function<void()> onAssemble;  // what assembling does meanwhile (time passing)

private:
    EventLog& log_;
};

class FakePanel : public RenderPanel {
public:
    explicit FakePanel(EventLog& log) : log_(log) {}
    void SetRenderSize(int w, int h) override {
        log_.push_back("PANEL " + std::to_string(w) + "x" + std::to_string(h));
    }
    void RestoreSize() override { log_.push_back("PANEL back"); }

private:
    EventLog& log_;
};

class FakeControls : public InterfaceLock {
public:
    explicit FakeControls(EventLog& log) : log_(log) {}
    void SetControlsEnabled(bool on) override { log_.push_back(on ? "UNLOCK" : "LOCK"); }

private:
    EventLog& log_;
};

// A movie of 30 s at 25 fps with three tracks ("Track 1" ...) and helpers to place nodes.
struct PlaybackRig {
    PlaybackRig();

    void AddReplay(const std::string& name = "race.spr", int row = 1);
    void AddStart(int column, int row = 2, const std::string& replay = "race.spr", int replayRow = 1);
    void AddCamera(int column, int row, int x);
    void AddScript(int column, int row, const std::string& file);
    void AddSound(int column, int row, const std::string& path);
    void AddStop(int column, int row = 2);
    void AddNode(const std::string& tag, char head, int column, int row, const std::string& fields);

    // Ticks until the clock stops or the count runs out; returns the ticks made.
    int Tick(int count);
    // Entries of the log that begin with the prefix.
    std::vector<std::string> Matching(const std::string& prefix) const;
    // Position of the first entry equal to the text at or after `from`; -1 when none.
    int Find(const std::string& text, int from = 0) const;

    EventLog log;
    Movie movie;
    PlaybackModes modes;
    ScriptedNotices notices;
    FakeClock clock;
    FakePackets packets{log};
    FakeLink link{log, clock};
    FakePump pump;
    FakeScripts scripts{log};
    FakeSound sound{log};
    FakeDebug debug;
    FakeCapture capture{log};
    FakeRecorder recorder{log};
    FakeAssembler assembler{log};
    FakePanel panel{log};
    FakeControls controls{log};
    std::unique_ptr<Transport> transport;
    std::unique_ptr<RenderSession> render;
};

}  // namespace kinoloop::testing
