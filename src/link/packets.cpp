#include "link/packets.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "model/field_buffer.h"
#include "model/field_text.h"
#include "model/node_records.h"

namespace kinoloop {

std::uint16_t ReadWord(ByteView bytes, std::size_t offset) {
    if (offset + 2 > bytes.size()) return 0;
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::int16_t ReadShort(ByteView bytes, std::size_t offset) {
    return static_cast<std::int16_t>(ReadWord(bytes, offset));
}

std::uint32_t ReadUInt(ByteView bytes, std::size_t offset) {
    if (offset + 4 > bytes.size()) return 0;
    return static_cast<std::uint32_t>(bytes[offset]) | (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

std::int32_t ReadInt(ByteView bytes, std::size_t offset) { return static_cast<std::int32_t>(ReadUInt(bytes, offset)); }

float ReadFloat(ByteView bytes, std::size_t offset) { return std::bit_cast<float>(ReadUInt(bytes, offset)); }

void WriteWord(std::span<std::uint8_t> bytes, std::size_t offset, std::uint16_t value) {
    if (offset + 2 > bytes.size()) return;
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void WriteInt(std::span<std::uint8_t> bytes, std::size_t offset, std::int32_t value) {
    if (offset + 4 > bytes.size()) return;
    const auto u = static_cast<std::uint32_t>(value);
    for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<std::uint8_t>(u >> (8 * i));
}

void WriteFloat(std::span<std::uint8_t> bytes, std::size_t offset, float value) {
    WriteInt(bytes, offset, std::bit_cast<std::int32_t>(value));
}

std::string ReadText(ByteView bytes, std::size_t offset, std::size_t size) {
    std::string text;
    for (std::size_t i = offset; i < offset + size && i < bytes.size() && bytes[i] != 0; ++i) {
        text.push_back(static_cast<char>(bytes[i]));
    }
    return text;
}

namespace {

Datagram Zeroed(std::string_view tag, std::size_t size) {
    Datagram bytes(size, 0);
    const std::size_t n = std::min(tag.size(), packet::kTagSize);
    std::memcpy(bytes.data(), tag.data(), n);
    return bytes;
}

void CopyText(Datagram& bytes, std::size_t offset, std::size_t size, std::string_view text) {
    const std::size_t n = std::min(text.size(), size);
    std::memcpy(bytes.data() + offset, text.data(), n);
}

}  // namespace

CameraPosition DecodeCamera(ByteView p) {
    using namespace packet;
    CameraPosition c;
    c.x = ReadInt(p, cpp::X);
    c.y = ReadInt(p, cpp::Y);
    c.z = ReadInt(p, cpp::Z);
    c.heading = ReadWord(p, cpp::Heading);
    c.pitch = ReadWord(p, cpp::Pitch);
    c.roll = ReadWord(p, cpp::Roll);
    c.viewPlayer = cpp::ViewPlayer < p.size() ? p[cpp::ViewPlayer] : 0;
    c.cameraType = cpp::CameraType < p.size() ? p[cpp::CameraType] : 0;
    c.fieldOfView = ReadFloat(p, cpp::Fov);
    c.timeMs = ReadWord(p, cpp::Time);
    c.flags = ReadWord(p, cpp::Flags);
    return c;
}

Datagram BuildValuePacket(std::string_view tag, std::int32_t value) {
    Datagram bytes = Zeroed(tag, packet::kValueSize);
    WriteInt(bytes, packet::kValueOffset, value);
    return bytes;
}

Datagram BuildInSimInit(int localPort, std::string_view admin) {
    using namespace packet;
    Datagram bytes = Zeroed("ISI", kIsiSize);
    WriteWord(bytes, kIsiPortOffset, static_cast<std::uint16_t>(localPort & 0xFFFF));
    bytes[kIsiOptionOffset] = kIsiOptions;
    bytes[kIsiOption2Offset] = 0;
    CopyText(bytes, kIsiAdminOffset, kIsiAdminSize, admin);
    return bytes;
}

Datagram BuildCameraPacket(const CameraPosition& c) {
    using namespace packet;
    Datagram bytes = Zeroed("CPP", kCppSize);
    WriteInt(bytes, cpp::X, c.x);
    WriteInt(bytes, cpp::Y, c.y);
    WriteInt(bytes, cpp::Z, c.z);
    WriteWord(bytes, cpp::Heading, c.heading);
    WriteWord(bytes, cpp::Pitch, c.pitch);
    WriteWord(bytes, cpp::Roll, c.roll);
    bytes[cpp::ViewPlayer] = c.viewPlayer;
    bytes[cpp::CameraType] = c.cameraType;
    WriteFloat(bytes, cpp::Fov, c.fieldOfView);
    WriteWord(bytes, cpp::Time, c.timeMs);
    WriteWord(bytes, cpp::Flags, c.flags);
    return bytes;
}

Datagram BuildMessagePacket(std::string_view tag, std::string_view text) {
    Datagram bytes = Zeroed(tag, packet::kMstSize);
    CopyText(bytes, packet::kMstTextOffset, packet::kMstTextSize, text);
    return bytes;
}

Datagram BuildKeyPacket(std::uint8_t key, std::uint8_t flags) {
    Datagram bytes = Zeroed("SCH", packet::kSchSize);
    bytes[packet::kSchKeyOffset] = key;
    bytes[packet::kSchFlagsOffset] = flags;
    return bytes;
}

Datagram BuildStateFlagPacket(std::string_view tag, std::uint16_t flag, std::uint8_t onOff) {
    Datagram bytes = Zeroed(tag, packet::kSfpSize);
    WriteWord(bytes, packet::kSfpFlagOffset, flag);
    bytes[packet::kSfpOnOffOffset] = onOff;
    return bytes;
}

std::uint16_t CameraTimeMs(std::int32_t frames, int fps) {
    const float perFrame = 1.0f / static_cast<float>(fps);
    const float ms = static_cast<float>(frames) * perFrame * 1000.0f;
    // nearbyint rounds halves to even in the default rounding mode.
    return static_cast<std::uint16_t>(static_cast<std::int64_t>(std::nearbyint(ms)));
}

std::optional<CameraPosition> CameraFromFieldLines(const FieldBuffer& lines, int fps) {
    if (fps < 1) return std::nullopt;
    std::int32_t n[field::CamFlags + 1] = {};
    for (int i = field::CamX; i <= field::CamFlags; ++i) {
        if (i == field::CamFov) continue;
        const std::optional<std::int32_t> value = ParseInt(lines.Line(i));
        if (!value) return std::nullopt;
        n[i] = *value;
    }
    const std::optional<float> fov = ParseFieldOfView(lines.Line(field::CamFov));
    if (!fov) return std::nullopt;
    CameraPosition c;
    c.x = n[field::CamX];
    c.y = n[field::CamY];
    c.z = n[field::CamZ];
    c.heading = static_cast<std::uint16_t>(n[field::CamHeading]);
    c.pitch = static_cast<std::uint16_t>(n[field::CamPitch]);
    c.roll = static_cast<std::uint16_t>(n[field::CamRoll]);
    c.viewPlayer = static_cast<std::uint8_t>(n[field::CamViewPlayer]);
    c.cameraType = static_cast<std::uint8_t>(n[field::CamType]);
    c.fieldOfView = *fov;
    c.timeMs = CameraTimeMs(n[field::CamTime], fps);
    c.flags = static_cast<std::uint16_t>(n[field::CamFlags]);
    return c;
}

namespace {

struct TagRule {
    const char* tag;
    Received kind;
};
// The order decides: the first match wins. "SP" stands between "LAP" and "RST" and matches on two letters.
constexpr TagRule kRulesBeforeSp[] = {{"RTP", Received::RTP}, {"VER", Received::VER}, {"STA", Received::STA},
                                      {"SFP", Received::SFP}, {"CPP", Received::CPP}, {"ACK", Received::ACK},
                                      {"ISM", Received::ISM}, {"MPE", Received::MPE}, {"MCI", Received::MCI},
                                      {"LAP", Received::LAP}};
constexpr TagRule kRulesAfterSp[] = {{"RST", Received::RST}, {"REN", Received::REN}, {"CNL", Received::CNL},
                                     {"NPL", Received::NPL}, {"PLP", Received::PLP}, {"NCN", Received::NCN},
                                     {"PLL", Received::PLL}, {"RES", Received::RES}};

}  // namespace

const char* ReceivedName(Received kind) {
    switch (kind) {
        case Received::Dropped: return "dropped";
        case Received::OutSim: return "OutSim";
        case Received::SP: return "SP";
        default: break;
    }
    for (const TagRule& r : kRulesBeforeSp)
        if (r.kind == kind) return r.tag;
    for (const TagRule& r : kRulesAfterSp)
        if (r.kind == kind) return r.tag;
    return "?";
}

Received Classify(ByteView datagram) {
    if (datagram.size() == packet::kOutSimSize) return Received::OutSim;
    if (datagram.size() < packet::kTagSize) return Received::Dropped;
    const std::string tag = ReadText(datagram, 0, packet::kTagSize);
    for (const TagRule& r : kRulesBeforeSp)
        if (tag == r.tag) return r.kind;
    if (tag.size() >= 2 && tag[0] == 'S' && tag[1] == 'P') return Received::SP;
    for (const TagRule& r : kRulesAfterSp)
        if (tag == r.tag) return r.kind;
    return Received::Dropped;
}

std::size_t RecordSize(Received kind) {
    switch (kind) {
        case Received::OutSim: return packet::kOutSimSize;
        case Received::RTP: return 8;
        case Received::VER: return packet::kVerSize;
        case Received::STA: return packet::kStaSize;
        case Received::SFP: return packet::kSfpSize;
        case Received::CPP: return packet::kCppSize;
        case Received::MCI: return packet::kMciSize;
        case Received::LAP: return 92;
        case Received::SP: return 12;
        case Received::RST: return packet::kRstSize;
        case Received::REN: return 8;
        case Received::CNL: return 56;
        case Received::NPL: return packet::kNplSize;
        case Received::PLP:
        case Received::NCN:
        case Received::PLL: return 60;
        case Received::RES: return 108;
        case Received::Dropped:
        case Received::ACK:
        case Received::ISM:
        case Received::MPE: return 0;
    }
    return 0;
}

bool NeedsAcknowledgement(Received kind) {
    switch (kind) {
        case Received::LAP:
        case Received::SP:
        case Received::RST:
        case Received::REN:
        case Received::CNL:
        case Received::NPL:
        case Received::PLP:
        case Received::NCN:
        case Received::PLL:
        case Received::RES: return true;
        default: return false;
    }
}

Received ReceivedRecords::Copy(ByteView datagram) {
    kind_ = Classify(datagram);
    currentSize_ = RecordSize(kind_);
    const std::size_t n = std::min(datagram.size(), currentSize_);
    if (kind_ == Received::RST) {
        // The hot-moments window keeps this record between packets: bytes past a short packet stay.
        std::copy_n(datagram.begin(), n, rst_.begin());
        std::copy(rst_.begin(), rst_.end(), current_.begin());
    } else {
        std::fill(current_.begin(), current_.end(), 0);
        std::copy_n(datagram.begin(), n, current_.begin());
    }
    return kind_;
}

std::uint16_t ReceivedRecords::RequestWord() const {
    if (!NeedsAcknowledgement(kind_) || currentSize_ < 2) return 0;
    return ReadWord(Record(), currentSize_ - 2);
}

StateReport DecodeState(ByteView r) {
    using namespace packet;
    StateReport s;
    auto byte = [&](std::size_t o) -> std::uint8_t { return o < r.size() ? r[o] : 0; };
    s.flags = ReadWord(r, sta::Flags);
    s.numPlayers = byte(sta::NumPlayers);
    s.numConnections = byte(sta::NumConnections);
    s.numFinished = byte(sta::NumFinished);
    s.raceProgress = byte(sta::RaceProgress);
    s.qualMins = byte(sta::QualMins);
    s.raceLaps = byte(sta::RaceLaps);
    s.track = ReadText(r, sta::Track, sta::TrackSize);
    s.weather = byte(sta::Weather);
    s.wind = byte(sta::Wind);
    std::copy_n(r.begin(), std::min(r.size(), s.raw.size()), s.raw.begin());
    return s;
}

CarRecords DecodeCars(ByteView r) {
    using namespace packet;
    CarRecords cars{};
    for (std::size_t i = 0; i < kCarsPerMci; ++i) {
        const std::size_t b = kMciFirstCar + i * kCarRecordSize;
        CarRecord& c = cars[i];
        c.node = ReadWord(r, b + car::Node);
        c.lap = b + car::Lap < r.size() ? r[b + car::Lap] : 0;
        c.plid = b + car::PLID < r.size() ? r[b + car::PLID] : 0;
        c.x = ReadInt(r, b + car::X);
        c.y = ReadInt(r, b + car::Y);
        c.z = ReadInt(r, b + car::Z);
        c.speed = ReadWord(r, b + car::Speed);
        c.direction = ReadWord(r, b + car::Direction);
        c.heading = ReadWord(r, b + car::Heading);
        c.angVel = ReadShort(r, b + car::AngVel);
    }
    return cars;
}

PlayerRecord DecodePlayer(ByteView r) {
    using namespace packet;
    PlayerRecord p;
    for (std::size_t i = 0; i < npl::PlayerNameSize && npl::PlayerName + i < r.size(); ++i) {
        p.playerName[i] = static_cast<char>(r[npl::PlayerName + i]);
    }
    p.plid = npl::PLID < r.size() ? r[npl::PLID] : 0;
    p.byte96 = npl::Byte96 < r.size() ? r[npl::Byte96] : 0;
    p.requestWord = ReadWord(r, npl::RequestWord);
    return p;
}

}  // namespace kinoloop
