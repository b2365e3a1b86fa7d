#include "hotmoments/moment_nodes.h"

#include <algorithm>
#include <optional>

#include "model/field_text.h"
#include "model/node_kind.h"
#include "model/track_commands.h"

namespace kinoloop {

namespace {

constexpr std::int32_t kHalfTurn = 32768;
constexpr float kBuiltFieldOfView = 80.0f;
constexpr std::uint8_t kTvCamera = 2;
constexpr std::uint16_t kViewOverride = 8192;
constexpr std::uint16_t kShiftUFollow = 8 + 32 + 64;
constexpr std::uint16_t kShiftUStatic = 8 + 64;
constexpr std::int32_t kFollowX = 0;
constexpr std::int32_t kFollowY = -3 * 65536;  // 3 m behind the car
constexpr std::int32_t kFollowZ = 65536;       // 1 m up

std::string PlayerNameOf(const TMoments& moments, int plid) {
    const TPlayerInfo* player = moments.FindPlayer(plid);
    return player != nullptr ? player->PlayerName : "Unknown (" + std::to_string(plid) + ")";
}

std::string TrimmedSpaces(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsMoment(const NodeText& record) {
    return record.tag == KindInfo(NodeKind::HotMoment).tag;
}

std::string CellCodeText(NodeKind kind, bool withNote) {
    std::string code(1, KindInfo(kind).head);
    if (withNote) code += kNoteMark;
    return code;
}

// Builds the camera of one hot-moment record; the record's fields go into the node field buffer on the way.
std::optional<CameraNode> CameraForMoment(Movie& movie, const TMoments& moments, const NodeText& record,
                                          int frame, ConversionTarget target) {
    movie.txtRecords.Load(record.fieldText);
    const std::optional<std::int32_t> player1 = ParseInt(movie.txtRecords.Line(field::MomentPlayer1));
    if (!player1) return std::nullopt;
    CameraNode camera;
    camera.length = 1;
    if (!BuildCamera(moments, frame, *player1, camera)) return std::nullopt;
    FinishCamera(camera, target);
    return camera;
}

// Replaces the hot-moment record at `index` by the camera, at the selected cell and ahead of every other
// record of that cell, so that the cell's first record, which the editors read, is the camera its code
// announces.
void ReplaceWithCamera(Movie& movie, std::size_t index, const CameraNode& camera) {
    std::vector<NodeText>& records = movie.nodeStore.MutableRecords();
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(index));
    const std::int32_t id = movie.AddCameraRecord(camera);
    const auto atCell = [&](const NodeText& record) {
        return record.column == movie.SelCol && record.row == movie.SelRow;
    };
    const auto added = std::find_if(records.begin(), records.end(), [&](const NodeText& record) {
        return record.id == id && atCell(record) && record.tag == KindInfo(NodeKind::Camera).tag;
    });
    const auto first = std::find_if(records.begin(), records.end(), atCell);
    if (added != records.end()) std::rotate(first, added, added + 1);
    movie.strTimeline.SetCell(movie.SelCol, movie.SelRow, CellCodeText(NodeKind::Camera, false));
}

// Position of the first hot-moment record with this id, or nothing.
std::optional<std::size_t> FindMoment(const Movie& movie, std::int32_t id) {
    const std::vector<NodeText>& records = movie.nodeStore.Records();
    const auto found = std::find_if(records.begin(), records.end(), [&](const NodeText& record) {
        return record.id == id && IsMoment(record);
    });
    if (found == records.end()) return std::nullopt;
    return static_cast<std::size_t>(found - records.begin());
}

}  // namespace

std::vector<MomentListRow> MomentListRows(const TMoments& moments) {
    std::vector<MomentListRow> rows;
    rows.reserve(moments.HotMoments().size());
    for (const THotMoment& moment : moments.HotMoments()) {
        MomentListRow row;
        row.Start = std::to_string(moment.StartFrame);
        row.End = std::to_string(moment.EndFrame);
        row.Duration = std::to_string(moment.Duration());
        row.Action = moment.Action;
        row.Player1 = PlayerNameOf(moments, moment.Player1);
        row.Player2 = moment.Player2 == -1 ? std::string() : PlayerNameOf(moments, moment.Player2);
        row.Player1ID = std::to_string(moment.Player1);
        row.Player2ID = std::to_string(moment.Player2);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string MomentNote(const MomentListRow& row) {
    std::string note = "Hot Moment: " + row.Action;
    if (!row.Player1.empty()) note += "??" + row.Player1;
    if (!row.Player2.empty()) note += " - " + row.Player2;
    return note;
}

AddToTimelineResult AddToTimeline(Movie& movie, Notices& notices, const std::vector<MomentListRow>& rows) {
    AddToTimelineResult result;
    if (rows.empty()) {
        notices.Inform(kNoMomentsToAdd);
        return result;
    }

    const int row = AppendTrack(movie, TrackGrid::kHotMomentsTrack);
    result.trackRow = row;
    movie.SetLastAction("Added new track");

    const std::string code = CellCodeText(NodeKind::HotMoment, true);
    for (const MomentListRow& listRow : rows) {
        const std::optional<std::int32_t> column = ParseInt(TrimmedSpaces(listRow.Start));
        const std::optional<std::int32_t> player1 = ParseInt(listRow.Player1ID);
        const std::optional<std::int32_t> player2 = ParseInt(listRow.Player2ID);
        // A node outside the grid could never be seen, selected or removed.
        if (!column || !player1 || !player2 || !movie.strTimeline.Contains(*column, row)) {
            ++result.skipped;
            continue;
        }
        movie.strTimeline.SetCell(*column, row, code);
        MomentNode node;
        node.column = *column;
        node.row = row;
        node.length = 1;
        node.player1 = *player1;
        node.player2 = *player2;
        const std::int32_t id = movie.AddMomentRecord(node);
        if (NodeText* added = movie.nodeStore.FindById(id)) {
            added->note = MomentNote(listRow).substr(0, NodeText::kNoteMax);
        }
        ++result.added;
    }

    notices.Inform(kMomentsAdded);
    if (result.skipped > 0) {
        notices.Refuse(std::to_string(result.skipped) +
                       " of the Hot Moments were not added: their start frame " +
                       "lies outside the timeline or their list row could not be read");
    }
    return result;
}

bool BuildCamera(const TMoments& moments, int frame, int player1, CameraNode& camera) {
    const TMoment* sample = moments.FindSample(frame);
    if (sample == nullptr) return false;
    const auto car = std::find_if(sample->Cars.begin(), sample->Cars.end(),
                                  [&](const TPlayerPos& pos) { return pos.PLID == player1; });
    if (car == sample->Cars.end()) return false;
    const TPlayerInfo* player = moments.FindPlayer(player1);
    if (player == nullptr) return false;

    camera.x = car->X;
    camera.y = car->Y;
    camera.z = car->Z;
    camera.heading = car->Heading;
    camera.pitch = 0;
    camera.roll = 0;
    camera.viewPlayer = static_cast<std::uint8_t>(player->Byte96);
    camera.cameraType = kTvCamera;
    camera.fieldOfView = kBuiltFieldOfView;
    camera.time = 0;
    camera.flags = 0;
    return true;
}

void FinishCamera(CameraNode& camera, ConversionTarget target) {
    const auto turnedHalf = [](std::uint16_t heading) {
        return static_cast<std::uint16_t>((std::int32_t{heading} - kHalfTurn) & 0xFFFF);
    };
    switch (target) {
        case ConversionTarget::Arcade:
        case ConversionTarget::Helicopter:
        case ConversionTarget::TvCamera:
        case ConversionTarget::Custom:
            camera.cameraType = static_cast<std::uint8_t>(target);
            camera.flags = kViewOverride;
            break;
        case ConversionTarget::Driver:
            camera.cameraType = static_cast<std::uint8_t>(target);
            camera.heading = 0;
            camera.pitch = 0;
            camera.roll = 0;
            camera.flags = kViewOverride;
            break;
        case ConversionTarget::TrackingFollow:
            camera.x = kFollowX;
            camera.y = kFollowY;
            camera.z = kFollowZ;
            camera.heading = turnedHalf(camera.heading);
            camera.flags = kShiftUFollow;
            break;
        case ConversionTarget::TrackingStatic:
            camera.heading = turnedHalf(camera.heading);
            camera.flags = kShiftUStatic;
            break;
    }
}

bool ConvertMoment(Movie& movie, const TMoments& moments, ConversionTarget target) {
    const CellCode code = movie.strTimeline.Code(movie.SelCol, movie.SelRow);
    if (code.Empty() || code.First() != KindInfo(NodeKind::HotMoment).head) return false;

    const std::vector<NodeText>& records = movie.nodeStore.Records();
    const auto record = std::find_if(records.begin(), records.end(), [&](const NodeText& candidate) {
        return IsMoment(candidate) && candidate.column == movie.SelCol && candidate.row == movie.SelRow;
    });
    if (record == records.end()) return false;

    const std::size_t index = static_cast<std::size_t>(record - records.begin());
    const std::optional<CameraNode> camera = CameraForMoment(movie, moments, *record, movie.SelCol, target);
    if (!camera) return false;
    ReplaceWithCamera(movie, index, *camera);
    return true;
}

ConversionResult ConvertAllMoments(Movie& movie, const TMoments& moments, Notices& notices,
                                   ConversionTarget target) {
    // The hot-moment records in store order; the cameras that replace them are never walked.
    std::vector<std::int32_t> ids;
    for (const NodeText& record : movie.nodeStore.Records()) {
        if (IsMoment(record)) ids.push_back(record.id);
    }

    ConversionResult result;
    for (const std::int32_t id : ids) {
        const std::optional<std::size_t> index = FindMoment(movie, id);
        if (!index) continue;
        const NodeText record = movie.nodeStore.Records()[*index];
        movie.SelCol = record.column;
        movie.SelRow = record.row;
        const std::optional<CameraNode> camera =
            CameraForMoment(movie, moments, record, record.column, target);
        if (!camera) {
            ++result.failed;
            continue;
        }
        ReplaceWithCamera(movie, *index, *camera);
        ++result.converted;
    }

    notices.Inform(kConversionComplete);
    if (result.failed > 0) notices.Inform(kNotAllConverted);
    return result;
}

}  // namespace kinoloop
