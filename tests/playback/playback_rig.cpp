#include "playback_rig.h"

#include <fstream>

#include "model/node_records.h"

namespace kinoloop::testing {

std::string FakeRecorder::SaveWav(const std::filesystem::path& file) const {
    log_.push_back("REC save " + file.filename().string());
    return "not written by the fake";
}

PlaybackRig::PlaybackRig() {
    movie.ResetTimeline(30, 25);
    movie.strTimeline.SetRowCount(4);
    movie.strTracks.SetRowCount(4);
    for (int row = 1; row < 4; ++row) movie.strTracks.At(row).name = "Track " + std::to_string(row);
    TransportPorts ports{&packets, &link, &scripts, &sound, &debug, &pump, &notices, &clock};
    transport = std::make_unique<Transport>(movie, modes, ports, 25);
    render = std::make_unique<RenderSession>(
        movie, modes, *transport,
        RenderPorts{&transport->Packets(), &link, &sound, &pump, &notices, &clock, &capture, &recorder, &assembler,
                    &panel, &controls});
    // The simulator reports the loaded replay running while playback waits for it.
    pump.onWait = [this] { link.ReportRunning(); };
}

void PlaybackRig::AddNode(const std::string& tag, char head, int column, int row, const std::string& fields) {
    const int id = movie.NextNodeID;
    movie.AppendRecord(tag, column, row, std::to_string(id) + ":" + std::to_string(column) + ":" +
                                             std::to_string(row) + ":" + fields);
    movie.strTimeline.SetCell(column, row, std::string(1, head));
}

void PlaybackRig::AddReplay(const std::string& name, int row) { AddNode("REP", 'R', 0, row, "1:" + name + ":-1"); }

void PlaybackRig::AddStart(int column, int row, const std::string& replay, int replayRow) {
    AddNode("STT", 'G', column, row, "1:" + replay + ":0:" + std::to_string(replayRow));
}

void PlaybackRig::AddCamera(int column, int row, int x) {
    AddNode("CAM", 'C', column, row, "1:" + std::to_string(x) + ":0:0:0:0:0:0:0:90:0:8192");
}

void PlaybackRig::AddScript(int column, int row, const std::string& file) { AddNode("SCR", 'S', column, row, "1:" + file); }

void PlaybackRig::AddSound(int column, int row, const std::string& path) {
    AddNode("SND", 'T', column, row, "1:" + path + ":1");
}

void PlaybackRig::AddStop(int column, int row) { AddNode("STP", 'X', column, row, "1"); }

int PlaybackRig::Tick(int count) {
    int made = 0;
    while (made < count && clock.active) {
        transport->tmrPlayTimer();
        ++made;
    }
    return made;
}

std::vector<std::string> PlaybackRig::Matching(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& entry : log) {
        if (entry.rfind(prefix, 0) == 0) found.push_back(entry);
    }
    return found;
}

int PlaybackRig::Find(const std::string& text, int from) const {
    for (int i = from; i < static_cast<int>(log.size()); ++i) {
        if (log[static_cast<std::size_t>(i)] == text) return i;
    }
    return -1;
}

}  // namespace kinoloop::testing
