#pragma once
// The datagrams exchanged with the simulator: early-InSim packets (four-byte tag of three capital letters and a
// zero byte) and the untagged OutSim motion packet. Builders for everything Kinoloop sends, and the classifier
// and copier for everything it receives. All layouts are packed little-endian; offsets are named below.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kinoloop {

class FieldBuffer;

using Datagram = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

namespace packet {
inline constexpr std::size_t kTagSize = 4;

// Value packet ("SST", "SCP", "TMS", "STP", "SSP", "NLI", "NPL", "ACK", "VER", "ISC" out).
inline constexpr std::size_t kValueSize = 8;
inline constexpr std::size_t kValueOffset = 4;

// "ISI"
inline constexpr std::size_t kIsiSize = 24;
inline constexpr std::size_t kIsiPortOffset = 4;
inline constexpr std::size_t kIsiOptionOffset = 6;
inline constexpr std::size_t kIsiOption2Offset = 7;
inline constexpr std::size_t kIsiAdminOffset = 8;
inline constexpr std::size_t kIsiAdminSize = 16;
inline constexpr std::uint8_t kIsiOptions = 0x3B;

// "CPP", both directions; the 28 bytes after the tag are `CameraPosition`.
inline constexpr std::size_t kCppSize = 32;
namespace cpp {
inline constexpr std::size_t X = 4, Y = 8, Z = 12, Heading = 16, Pitch = 18, Roll = 20, ViewPlayer = 22,
                             CameraType = 23, Fov = 24, Time = 28, Flags = 30;
}

// "MST"
inline constexpr std::size_t kMstSize = 68;
inline constexpr std::size_t kMstTextOffset = 4;
inline constexpr std::size_t kMstTextSize = 64;

// "SCH"
inline constexpr std::size_t kSchSize = 8;
inline constexpr std::size_t kSchKeyOffset = 4;
inline constexpr std::size_t kSchFlagsOffset = 5;

// "SFP"
inline constexpr std::size_t kSfpSize = 8;
inline constexpr std::size_t kSfpFlagOffset = 4;
inline constexpr std::size_t kSfpOnOffOffset = 6;

// "STA"
inline constexpr std::size_t kStaSize = 28;
namespace sta {
inline constexpr std::size_t Flags = 8, NumPlayers = 12, NumConnections = 13, NumFinished = 14, RaceProgress = 15,
                             QualMins = 16, RaceLaps = 17, Track = 20, TrackSize = 6, Weather = 26, Wind = 27;
}

// "MCI": eight 24-byte car records from offset 12.
inline constexpr std::size_t kMciSize = 204;
inline constexpr std::size_t kMciFirstCar = 12;
inline constexpr std::size_t kCarRecordSize = 24;
inline constexpr std::size_t kCarsPerMci = 8;
namespace car {
inline constexpr std::size_t Node = 0, Lap = 2, PLID = 3, X = 4, Y = 8, Z = 12, Speed = 16, Direction = 18,
                             Heading = 20, AngVel = 22;
}

// "NPL"
inline constexpr std::size_t kNplSize = 100;
namespace npl {
inline constexpr std::size_t PlayerName = 4, PlayerNameSize = 24, Text2 = 28, Text2Size = 24, Text3 = 52,
                             Text3Size = 8, Text4 = 60, Text4Size = 32, PLID = 95, Byte96 = 96, RequestWord = 98;
}

inline constexpr std::size_t kOutSimSize = 64;
inline constexpr std::size_t kRstSize = 20;
inline constexpr std::size_t kVerSize = 20;

// State flag bits (STA offset 8, CPP offset 30).
namespace flag {
inline constexpr std::uint16_t InGame = 1, Replay = 2, Paused = 4, ShiftU = 8, ShiftUHigh = 16, ShiftUFollow = 32,
                               ShiftUBuilt = 64, Show2D = 128, FrontEnd = 256, SoundMute = 4096,
                               ViewOverride = 8192;
}

// Keys Kinoloop presses.
inline constexpr std::uint8_t kKeyPause = 'p';
inline constexpr std::uint8_t kKey2D = 'f';
}  // namespace packet

// Little-endian access to packed records; reads past the end give zero, writes past it do nothing.
std::uint16_t ReadWord(ByteView bytes, std::size_t offset);
std::int16_t ReadShort(ByteView bytes, std::size_t offset);
std::int32_t ReadInt(ByteView bytes, std::size_t offset);
std::uint32_t ReadUInt(ByteView bytes, std::size_t offset);
float ReadFloat(ByteView bytes, std::size_t offset);
void WriteWord(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value);
void WriteInt(std::span<std::uint8_t> bytes, std::size_t offset, std::int32_t value);
void WriteFloat(std::span<std::uint8_t> bytes, std::size_t offset, float value);
// A fixed text field: up to the first zero byte or the end of the field.
std::string ReadText(ByteView bytes, std::size_t offset, std::size_t size);

// The body of a camera-position packet.
struct CameraPosition {
    std::int32_t x = 0, y = 0, z = 0;
    std::uint16_t heading = 0, pitch = 0, roll = 0;
    std::uint8_t viewPlayer = 255;
    std::uint8_t cameraType = 0;
    float fieldOfView = 0;
    std::uint16_t timeMs = 0;
    std::uint16_t flags = 0;
    bool operator==(const CameraPosition&) const = default;
};
CameraPosition DecodeCamera(ByteView packet);

// Builders: each returns the whole datagram in a zeroed buffer with the tag's characters copied in.
Datagram BuildValuePacket(std::string_view tag, std::int32_t value);
Datagram BuildInSimInit(int localPort, std::string_view admin);
Datagram BuildCameraPacket(const CameraPosition& camera);
Datagram BuildMessagePacket(std::string_view tag, std::string_view text);
Datagram BuildKeyPacket(std::uint8_t key, std::uint8_t flags);
Datagram BuildStateFlagPacket(std::string_view tag, std::uint16_t flag, std::uint8_t onOff);

// Camera time in milliseconds from frames: frames x (1 / fps) x 1000 in single precision, nearest integer with
// halves to even. 25 frames give 1000 at 25 fps and 833 at 30 fps.
std::uint16_t CameraTimeMs(std::int32_t frames, int fps);
// The camera of a camera node's field lines (4 to 14); nothing when a line does not convert or fps < 1.
std::optional<CameraPosition> CameraFromFieldLines(const FieldBuffer& lines, int fps);

// What an incoming datagram is. `Dropped` for shorter than a tag or an unknown tag.
enum class Received : std::uint8_t {
    Dropped, OutSim, RTP, VER, STA, SFP, CPP, ACK, ISM, MPE, MCI, LAP, SP, RST, REN, CNL, NPL, PLP, NCN, PLL, RES
};
const char* ReceivedName(Received kind);

// The tag rules alone, in their fixed order.
Received Classify(ByteView datagram);

// Size of the zero-filled record a received kind is copied into (0 for none); for acknowledged kinds the
// request word is its last two bytes.
std::size_t RecordSize(Received kind);
bool NeedsAcknowledgement(Received kind);

// Classifies a datagram and copies it into the record of its kind. Records are zero-filled before each copy,
// except the "RST" record, which keeps the bytes of earlier packets past the end of a short one.
class ReceivedRecords {
public:
    static constexpr std::size_t kLargestRecord = packet::kMciSize;

    Received Copy(ByteView datagram);

    // The record of the last copied datagram (its kind's size).
    ByteView Record() const { return {current_.data(), currentSize_}; }
    // The request word at the end of the last record (0 when the kind has none).
    std::uint16_t RequestWord() const;
    const std::array<std::uint8_t, packet::kRstSize>& Rst() const { return rst_; }

private:
    std::array<std::uint8_t, kLargestRecord> current_{};
    std::size_t currentSize_ = 0;
    Received kind_ = Received::Dropped;
    std::array<std::uint8_t, packet::kRstSize> rst_{};
};

// Decoded received records.
struct StateReport {
    std::uint16_t flags = 0;
    std::uint8_t numPlayers = 0, numConnections = 0, numFinished = 0, raceProgress = 0, qualMins = 0,
                 raceLaps = 0;
    std::string track;
    std::uint8_t weather = 0, wind = 0;
    std::array<std::uint8_t, packet::kStaSize> raw{};
};
StateReport DecodeState(ByteView record);

struct CarRecord {
    std::uint16_t node = 0;
    std::uint8_t lap = 0;
    std::uint8_t plid = 0;
    std::int32_t x = 0, y = 0, z = 0;
    std::uint16_t speed = 0;
    std::uint16_t direction = 0;
    std::uint16_t heading = 0;
    std::int16_t angVel = 0;
    bool operator==(const CarRecord&) const = default;
};
using CarRecords = std::array<CarRecord, packet::kCarsPerMci>;
CarRecords DecodeCars(ByteView record);

struct PlayerRecord {
    std::array<char, packet::npl::PlayerNameSize> playerName{};  // as received
    std::uint8_t plid = 0;
    std::uint8_t byte96 = 0;
    std::uint16_t requestWord = 0;
};
PlayerRecord DecodePlayer(ByteView record);

}  // namespace kinoloop
