#include "model/movie.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "model/node_kind.h"

namespace kinoloop {

std::int64_t RoundHalfEven(double value) { return static_cast<std::int64_t>(std::nearbyint(value)); }

std::string Movie::FindNodeText(bool select, std::int32_t column, std::int32_t row) {
    const NodeText* record = nodeStore.Find(column, row);
    if (record == nullptr) return {};
    if (select) {
        SelCol = column;
        SelRow = row;
    }
    return record->fieldText;
}

void Movie::DeleteNodeRecord(std::int32_t column, std::int32_t row) { nodeStore.Remove(column, row); }

void Movie::StoreNodeText(const std::string& fieldText, std::int32_t column, std::int32_t row) {
    NodeText* record = nodeStore.Find(column, row);
    if (record == nullptr) return;
    record->fieldText = fieldText.substr(0, NodeText::kFieldTextMax);
    if (record->tag == KindInfo(NodeKind::Camera).tag && cameraSender_ != nullptr) {
        cameraSender_->SendCamera(txtRecords);
    }
}

std::int32_t Movie::Append(const char* tag, std::int32_t column, std::int32_t row, NodeHeader& node,
                           const std::function<std::string()>& fieldText) {
    node.id = NextNodeID;
    node.column = column;
    node.row = row;
    return AppendRecord(tag, column, row, fieldText());
}

std::int32_t Movie::AppendRecord(const std::string& tag, std::int32_t column, std::int32_t row,
                                 std::string fieldText, std::string note) {
    NodeText record;
    record.id = NextNodeID;
    record.tag = tag;
    record.column = column;
    record.row = row;
    fieldText.resize(std::min(fieldText.size(), NodeText::kFieldTextMax));
    record.fieldText = std::move(fieldText);
    note.resize(std::min(note.size(), NodeText::kNoteMax));
    record.note = std::move(note);
    nodeStore.Append(std::move(record));
    const std::int32_t id = NextNodeID++;
    header.nextIdCopy = NextNodeID;
    return id;
}

#define KL_ADD_AT_SELECTION(Name, Type, Kind)                                                             \
    std::int32_t Movie::Name(Type node) {                                                                 \
        return Append(KindInfo(NodeKind::Kind).tag, SelCol, SelRow, node, [&] { return FieldText(node); }); \
    }
KL_ADD_AT_SELECTION(AddReplayRecord, ReplayNode, Replay)
KL_ADD_AT_SELECTION(AddCameraRecord, CameraNode, Camera)
KL_ADD_AT_SELECTION(AddScriptRecord, ScriptNode, Script)
KL_ADD_AT_SELECTION(AddEffectRecord, EffectNode, Effect)
KL_ADD_AT_SELECTION(AddSoundRecord, SoundNode, Sound)
KL_ADD_AT_SELECTION(AddStartRecord, StartNode, ReplayStart)
KL_ADD_AT_SELECTION(AddStopRecord, BasicNode, ReplayStop)
#undef KL_ADD_AT_SELECTION

std::int32_t Movie::AddMomentRecord(MomentNode node) {
    return Append(KindInfo(NodeKind::HotMoment).tag, node.column, node.row, node, [&] { return FieldText(node); });
}

std::int32_t Movie::AddMarkerRecord(BasicNode node) {
    return Append(KindInfo(NodeKind::TimeMarker).tag, node.column, node.row, node,
                  [&] { return FieldText(node); });
}

void Movie::ResetTimeline(int seconds, int framesPerSecond) {
    strTimeline.SetColumnCount(seconds * framesPerSecond + 5);
    CurrentFrame = 0;
    pendingGridOp = PendingGridOp::Null;
    SelRow = 1;
    SelCol = 0;
    SelTrack = 1;
    SelTrackColumn = 0;
    selection = TimelineSelection::Cell(0, 1);
    nodeStore.Clear();
    strTimeline.SetRowCount(2);
    strTimeline.ClearTrack(1);
    strTracks.SetRowCount(2);
    strTracks.At(0) = TrackGrid::Row{TrackGrid::kHeader, "", ""};
    strTracks.At(1) = TrackGrid::Row{TrackGrid::kNewTrackName, "", ""};
    SetLastAction("No Action");
    strTimeline.WriteHeaderLabels();
}

void Movie::ReplaceMovie(Movie&& fresh) {
    auto listener = std::move(onLastAction);
    CameraSender* sender = cameraSender_;
    *this = std::move(fresh);
    onLastAction = std::move(listener);
    cameraSender_ = sender;
}

void Movie::SetLastAction(const std::string& text) {
    lastAction = "Last Action: " + text;
    if (onLastAction) onLastAction(lastAction);
}

bool Movie::FindHeadCell(int column, int row, int& headColumn) const {
    for (int c = column; c >= 0; --c) {
        const CellCode code = strTimeline.Code(c, row);
        if (!code.Empty() && IsHeadCode(code.First())) {
            headColumn = c;
            return true;
        }
    }
    return false;
}

FrameInfo ShowFrameInfo(float currentFrame, const std::string& format, int fps) {
    FrameInfo info;
    info.currentFrame = "Frame: " + std::to_string(RoundHalfEven(currentFrame));
    info.format = format;
    info.fps = std::to_string(fps) + "fps";
    char time[64];
    std::snprintf(time, sizeof time, "%.2fs", fps > 0 ? static_cast<double>(currentFrame) / fps : 0.0);
    info.time = time;
    return info;
}

}  // namespace kinoloop
