#include "link/link_handler.h"

#include <cmath>
#include <exception>

#include "model/field_text.h"
#include "model/node_records.h"

namespace kinoloop {

int StepHundredthsFor(int fps) {
    if (fps < 1) return 0;
    const float step = (1.0f / static_cast<float>(fps)) * 100.0f;
    return static_cast<int>(std::nearbyint(step));
}

LinkHandler::LinkHandler(Movie& movie, const TSettings& settings, DatagramSender& sender, const LinkPorts& ports)
    : movie_(movie), settings_(settings), sender_(sender) {
    SetPorts(ports);
    movie_.SetCameraSender(this);
}

LinkHandler::~LinkHandler() { movie_.SetCameraSender(nullptr); }

void LinkHandler::SetPorts(const LinkPorts& ports) { ports_ = ports.WithDefaults(ownClock_, ownPoller_); }

void LinkHandler::SendValuePacket(std::string_view tag, std::int32_t value) { Send(BuildValuePacket(tag, value)); }

void LinkHandler::SendInSimInit() { Send(BuildInSimInit(settings_.localport, settings_.admin)); }

void LinkHandler::SendCameraPacket() { SendCamera(movie_.txtRecords); }

void LinkHandler::SendCamera(const FieldBuffer& fields) {
    const std::optional<CameraPosition> camera = CameraFromFieldLines(fields, settings_.fps);
    if (!camera) return;  // a line that does not convert abandons the packet
    Send(BuildCameraPacket(*camera));
}

void LinkHandler::SendMessagePacket(std::string_view tag, std::string_view text) {
    Send(BuildMessagePacket(tag, text));
}

void LinkHandler::SendKeyPacket(std::uint8_t key, std::uint8_t flags) { Send(BuildKeyPacket(key, flags)); }

void LinkHandler::SendStateFlagPacket(std::string_view tag, std::uint16_t flag, std::uint8_t onOff) {
    Send(BuildStateFlagPacket(tag, flag, onOff));
}

void LinkHandler::SendLastCameraPacket() {
    sender_.SendDatagram(ByteView(state.LastCameraPacket.data(), state.LastCameraPacket.size()));
}

void LinkHandler::AckPacket(std::uint16_t value) { SendValuePacket("ACK", value); }

void LinkHandler::RequestPlayers() {
    for (int id = 0; id <= 255; ++id) SendValuePacket("NPL", id);
}

void LinkHandler::ResumePlayback() {
    SendValuePacket("TMS", 1);
    ports_.panel->SetPropertiesLabel(kPropertiesLabel);
    ports_.timeline->Repaint();
    ports_.frameClock->Start();
}

void LinkHandler::HaltPlayback() {
    ports_.frameClock->Stop();
    SendValuePacket("TMS", 0);
    ports_.panel->SetPropertiesLabel(kPropertiesLabel);
}

void LinkHandler::StepSimulator(int hundredths) {
    SendValuePacket("STP", hundredths);
    ports_.panel->SetPropertiesLabel(kPropertiesLabel);
}

void LinkHandler::PollCamera() {
    SendValuePacket("SCP", 0);
    ports_.panel->SetPropertiesLabel(kPropertiesLabel);
}

Received LinkHandler::UdpServerRead(ByteView datagram) {
    const Received kind = records_.Copy(datagram);
    const ByteView record = records_.Record();
    // An error inside one branch ends the handling of this datagram only; the listening goes on.
    try {
        switch (kind) {
            case Received::OutSim:
                std::copy(record.begin(), record.end(), state.OutSimData.begin());
                break;
            case Received::ACK: AckPacket(0); break;
            case Received::MCI:
                if (ports_.hotMoments->ScanRunning()) {
                    const auto frame = static_cast<int>(RoundHalfEven(movie_.CurrentFrame));
                    const std::size_t count = ports_.carData->AddCarData(frame, DecodeCars(record));
                    ports_.hotMoments->ShowScanCount("Scans : " + std::to_string(count));
                }
                break;
            case Received::LAP:
            case Received::SP:
            case Received::CNL:
            case Received::PLP:
            case Received::NCN:
            case Received::PLL:
            case Received::RES: AckPacket(records_.RequestWord()); break;
            case Received::RST:
                ports_.hotMoments->StoreRst(records_.Rst());
                AckPacket(records_.RequestWord());
                RequestPlayers();
                break;
            case Received::REN:
                AckPacket(records_.RequestWord());
                ports_.hotMoments->StopScan();
                break;
            case Received::NPL:
                AckPacket(records_.RequestWord());
                ports_.carData->AddPlayer(DecodePlayer(record));
                break;
            case Received::STA: HandleState(record); break;
            case Received::CPP: HandleCamera(record); break;
            case Received::RTP:
            case Received::VER:
            case Received::SFP:
            case Received::ISM:
            case Received::MPE:
            case Received::Dropped: break;
        }
    } catch (const std::exception&) {
        // Deliberately ignored: a fault in one packet's handling must not stop the conversation.
    }
    return kind;
}

void LinkHandler::HandleState(ByteView record) {
    const StateReport report = DecodeState(record);
    if (ports_.hotMoments->IsVisible()) ports_.hotMoments->ShowRaceInfo(report);
    const std::uint16_t f = report.flags;

    if (f & packet::flag::FrontEnd) {
        if (FrameIsRequested()) return;
        ports_.cameraPoller->Stop();
        state.Playing = false;
        ports_.frameClock->Stop();
        HaltPlayback();
        movie_.CurrentFrame = 0;
        return;
    }

    const bool shown2D = (f & packet::flag::Show2D) != 0;
    const bool paused = (f & packet::flag::Paused) != 0;
    if (paused) {
        if (!FrameIsRequested()) {
            state.Playing = false;
            ports_.frameClock->Stop();
            ports_.sound->StopSound();
            HaltPlayback();
            if (!shown2D) SendKeyPacket(packet::kKey2D, 1);
            return;
        }
    } else {
        ports_.cameraPoller->Stop();
        if (ports_.panel->CameraPanelVisible()) ports_.panel->ShowNodeProperties('N');
        if (shown2D) SendKeyPacket(packet::kKey2D, 1);
    }

    if ((f & (packet::flag::Replay | packet::flag::InGame)) == 0) return;
    if (!state.Playing && !paused) state.Playing = true;
    if (state.ReplayRequested && FrameIsRequested()) {
        if (paused) SendKeyPacket(packet::kKeyPause, 0);
        ResumePlayback();
    } else if (state.ReplayRequested && !paused) {
        ResumePlayback();
    }
}

void LinkHandler::HandleCamera(ByteView record) {
    std::copy(record.begin(), record.end(), state.LastCameraPacket.begin());
    const CameraPosition camera = DecodeCamera(record);
    const std::uint16_t f = camera.flags;

    std::int32_t keep = 0;
    if (ports_.panel->CameraPanelVisible()) {
        for (std::uint16_t bit : {128, 64, 32, 16, 8}) {
            if (f & bit) keep += bit;
        }
    }
    if ((f & packet::flag::Paused) == 0) {
        ports_.cameraPoller->Stop();
        if (ports_.panel->CameraPanelVisible()) ports_.panel->ShowNodeProperties('N');
    }
    const bool inGame = (f & (packet::flag::Replay | packet::flag::InGame)) != 0;
    if (!ports_.panel->CameraPanelVisible() || !inGame) return;

    keep += packet::flag::ViewOverride;
    FieldBuffer& lines = movie_.txtRecords;
    // A field of view that is not a finite number leaves the node as it was.
    if (!std::isfinite(camera.fieldOfView) || std::fabs(camera.fieldOfView) > 2.0e9f) return;
    lines.SetLine(field::CamX, std::to_string(camera.x));
    lines.SetLine(field::CamY, std::to_string(camera.y));
    lines.SetLine(field::CamZ, std::to_string(camera.z));
    lines.SetLine(field::CamHeading, std::to_string(camera.heading));
    lines.SetLine(field::CamPitch, std::to_string(camera.pitch));
    lines.SetLine(field::CamRoll, std::to_string(camera.roll));
    lines.SetLine(field::CamViewPlayer, std::to_string(camera.viewPlayer));
    lines.SetLine(field::CamType, std::to_string(camera.cameraType));
    lines.SetLine(field::CamFov, std::to_string(RoundHalfEven(camera.fieldOfView)));
    lines.SetLine(field::CamFlags, std::to_string(keep));

    const std::optional<std::int32_t> column = ParseInt(lines.Line(field::Column));
    const std::optional<std::int32_t> row = ParseInt(lines.Line(field::Row));
    if (!column || !row) return;
    movie_.StoreNodeText(lines.FieldText(), *column, *row);
    ports_.panel->ShowNodeProperties('C');
    if (state.AwaitingCamera) state.AwaitingCamera = false;
}

}  // namespace kinoloop
