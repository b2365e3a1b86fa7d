#include "audio/pulse_mixer.h"

#include <algorithm>
#include <cmath>

#include "audio/pulse_connection.h"

namespace kinoloop {
namespace {

int ToPercent(pa_volume_t volume) {
    const double percent = std::round(static_cast<double>(volume) * 100.0 / PA_VOLUME_NORM);
    return static_cast<int>(std::clamp(percent, 0.0, 100.0));
}

struct ListState {
    const PulseConnection* connection;
    std::vector<RecordingSource>* sources;
};

void OnSource(pa_context*, const pa_source_info* info, int eol, void* userdata) {
    auto* state = static_cast<ListState*>(userdata);
    if (eol != 0 || info == nullptr) {
        state->connection->Signal();
        return;
    }
    RecordingSource source;
    source.name = info->name != nullptr ? info->name : "";
    source.description = info->description != nullptr ? info->description : source.name;
    for (std::uint32_t i = 0; i < info->n_ports; ++i) {
        const pa_source_port_info* port = info->ports[i];
        source.portNames.emplace_back(port->name);
        source.portDescriptions.emplace_back(port->description != nullptr ? port->description : port->name);
        if (info->active_port == port) source.activePort = static_cast<int>(i);
    }
    source.volumePercent = ToPercent(pa_cvolume_avg(&info->volume));
    source.channels = info->volume.channels;
    source.monitor = info->monitor_of_sink != PA_INVALID_INDEX;
    state->sources->push_back(std::move(source));
}

struct SuccessState {
    const PulseConnection* connection;
    bool success = false;
};

void OnSuccess(pa_context*, int success, void* userdata) {
    auto* state = static_cast<SuccessState*>(userdata);
    state->success = success != 0;
    state->connection->Signal();
}

}  // namespace

PulseMixer::PulseMixer() = default;
PulseMixer::~PulseMixer() = default;

PulseConnection& PulseMixer::Connection() {
    if (connection_ && connection_->Alive()) return *connection_;
    connection_.reset();
    std::string error;
    connection_ = PulseConnection::Connect("Kinoloop mixer", error);
    if (!connection_) throw MixerError(error);
    return *connection_;
}

std::vector<RecordingSource> PulseMixer::Sources() {
    PulseConnection& connection = Connection();
    std::vector<RecordingSource> sources;
    ListState state{&connection, &sources};
    PulseConnection::Lock lock(connection);
    if (!connection.Wait(pa_context_get_source_info_list(connection.Context(), OnSource, &state))) {
        throw MixerError("The sound server did not list its recording sources: " + connection.LastError() +
                         ".");
    }
    return sources;
}

int PulseMixer::DestinationCount() {
    return static_cast<int>(Sources().size());
}

int PulseMixer::CurrentDestination() {
    if (selected_ >= 0) return selected_;
    PulseConnection& connection = Connection();
    std::string defaultSource;
    {
        PulseConnection::Lock lock(connection);
        struct Answer {
            const PulseConnection* connection;
            std::string* name;
        } answer{&connection, &defaultSource};
        pa_operation* operation = pa_context_get_server_info(
            connection.Context(),
            [](pa_context*, const pa_server_info* info, void* userdata) {
                auto* answer = static_cast<Answer*>(userdata);
                if (info != nullptr && info->default_source_name != nullptr)
                    *answer->name = info->default_source_name;
                answer->connection->Signal();
            },
            &answer);
        if (!connection.Wait(operation)) throw MixerError("The sound server did not answer.");
    }
    const std::vector<RecordingSource> sources = Sources();
    for (std::size_t i = 0; i < sources.size(); ++i) {
        if (sources[i].name == defaultSource) return static_cast<int>(i);
    }
    if (sources.empty()) throw MixerError("The sound server has no recording source.");
    return 0;
}

void PulseMixer::SelectDestination(int index) {
    if (index < 0 || index >= DestinationCount()) {
        throw MixerError("There is no recording device number " + std::to_string(index) + ".");
    }
    selected_ = index;
}

RecordingSource PulseMixer::Current() {
    const int index = CurrentDestination();
    std::vector<RecordingSource> sources = Sources();
    // Sources may have gone since the selection was made.
    if (index < 0 || index >= static_cast<int>(sources.size())) {
        throw MixerError("The selected recording device is no longer there.");
    }
    return sources[static_cast<std::size_t>(index)];
}

std::string PulseMixer::DestinationName() {
    return Current().description;
}

std::string PulseMixer::SourceName() {
    return Current().name;
}

int PulseMixer::LineCount() {
    const RecordingSource source = Current();
    return source.portNames.empty() ? 1 : static_cast<int>(source.portNames.size());
}

void PulseMixer::CheckLine(const RecordingSource& source, int index) const {
    const int count = source.portNames.empty() ? 1 : static_cast<int>(source.portNames.size());
    if (index < 0 || index >= count) {
        throw MixerError("The recording device \"" + source.description + "\" has no line number " +
                         std::to_string(index) + ".");
    }
}

std::string PulseMixer::LineName(int index) {
    const RecordingSource source = Current();
    CheckLine(source, index);
    return source.portNames.empty() ? source.description
                                    : source.portDescriptions[static_cast<std::size_t>(index)];
}

int PulseMixer::SelectedLine() {
    const RecordingSource source = Current();
    return source.activePort < 0 ? 0 : source.activePort;
}

void PulseMixer::SelectLine(int index) {
    const RecordingSource source = Current();
    CheckLine(source, index);
    if (source.portNames.empty()) return;  // the source itself is its only line
    PulseConnection& connection = Connection();
    SuccessState state{&connection};
    PulseConnection::Lock lock(connection);
    const bool done = connection.Wait(pa_context_set_source_port_by_name(
        connection.Context(), source.name.c_str(), source.portNames[static_cast<std::size_t>(index)].c_str(),
        OnSuccess, &state));
    if (!done || !state.success) {
        throw MixerError("Cannot select the line \"" +
                         source.portDescriptions[static_cast<std::size_t>(index)] +
                         "\": " + connection.LastError() + ".");
    }
}

int PulseMixer::LineVolume(int index) {
    const RecordingSource source = Current();
    CheckLine(source, index);
    return source.volumePercent;
}

void PulseMixer::SetLineVolume(int index, int percent) {
    const RecordingSource source = Current();
    CheckLine(source, index);
    const int clamped = std::clamp(percent, 0, 100);
    pa_cvolume volume;
    pa_cvolume_set(
        &volume, source.channels == 0 ? 2 : source.channels,
        static_cast<pa_volume_t>(std::lround(clamped * static_cast<double>(PA_VOLUME_NORM) / 100.0)));
    PulseConnection& connection = Connection();
    SuccessState state{&connection};
    PulseConnection::Lock lock(connection);
    const bool done = connection.Wait(pa_context_set_source_volume_by_name(
        connection.Context(), source.name.c_str(), &volume, OnSuccess, &state));
    if (!done || !state.success) {
        throw MixerError("Cannot set the volume of \"" + source.description +
                         "\": " + connection.LastError() + ".");
    }
}

}  // namespace kinoloop
