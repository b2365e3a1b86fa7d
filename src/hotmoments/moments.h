#pragma once
// The hot-moment recorder: the cars of a replay as the simulator reports them, sampled per timeline frame,
// and the analysis that finds drifts, hard rates of turn and cars close together in those samples.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace kinoloop {

// One car in one sample: the 24-byte car record of a car-position ("MCI") packet, field for field.
struct TPlayerPos {
    std::uint16_t Node = 0;  // carried, not used
    std::uint8_t Lap = 0;    // carried, not used
    std::uint8_t PLID = 0;
    std::int32_t X = 0;  // map units, 65536 = 1 m
    std::int32_t Y = 0;
    std::int32_t Z = 0;
    std::uint16_t Speed = 0;
    std::uint16_t Direction = 0;  // of motion; 65536 = a full turn
    std::uint16_t Heading = 0;    // where the car points; 65536 = a full turn
    std::int16_t AngVel = 0;
    bool operator==(const TPlayerPos&) const = default;
};

// The eight car slots of one car-position packet, in packet order. A packet with fewer cars has all-zero
// slots.
inline constexpr std::size_t kCarsPerPacket = 8;
using CarSlots = std::array<TPlayerPos, kCarsPerPacket>;

// The fields of a new-player ("NPL") packet that the recorder keeps.
inline constexpr std::size_t kPlayerNameSize = 24;
struct PlayerPacket {
    std::array<char, kPlayerNameSize> PlayerName{};  // offset 4, as received: ends at a zero byte or after 24
    std::uint8_t PLID = 0;                           // offset 95
    std::uint8_t Byte96 = 0;                         // offset 96
};

struct TPlayerInfo {
    int PLID = 0;
    std::string PlayerName;  // without surrounding blanks
    int Byte96 = 0;          // the camera's view player when a hot moment becomes a camera
};

// One sample: the cars reported while the timeline stood at Frame, at most one per PLID, first arrival first.
struct TMoment {
    int Frame = 0;
    std::vector<TPlayerPos> Cars;
};

namespace action {
inline constexpr const char* None = "None";
inline constexpr const char* Drift = "Drift";
inline constexpr const char* AngVel = "AngVel";
inline constexpr const char* ClosePlayers = "Close players";
}  // namespace action

struct THotMoment {
    int StartFrame = 0;
    int EndFrame = 0;
    int Player1 = -1;
    int Player2 = -1;  // -1 when the action concerns one car
    std::string Action = action::None;

    int Duration() const { return EndFrame - StartFrame; }
    bool operator==(const THotMoment&) const = default;
};

// The three detection thresholds in the units the analysis uses.
struct Thresholds {
    float distance = 6.0f;            // metres
    float drift = 10.0f;              // degrees
    float angularVelocity = 4000.0f;  // the simulator's units of AngVel

    // From the hot-moments window's slider positions: distance and drift are tenths.
    static Thresholds FromSliders(int distanceRaw, int driftRaw, int angularVelocityRaw);
    bool operator==(const Thresholds&) const = default;
};

// Degrees between where a car moves and where it points, folded into 0..180; 0 at 300 speed units or less.
float DriftAngle(const TPlayerPos& car);

// The hot moments of one sample, each with StartFrame and EndFrame 0: drifts, then rates of turn, then close
// pairs, each in the order of the sample's cars. `moments` is emptied first.
void DetectMoments(const TMoment& sample, const Thresholds& thresholds, std::vector<THotMoment>& moments);
std::vector<THotMoment> DetectMoments(const TMoment& sample, const Thresholds& thresholds);

// What an analysis reports: a failure stops it; the hot moments found before it stay.
struct AnalysisResult {
    bool ok = true;
    std::string message;       // why it stopped, when it failed
    std::size_t examined = 0;  // samples detected in this analysis; the others were carried over
};

class TMoments {
public:
    // Detection of one sample; replaceable so that a failure part-way through an analysis can be reproduced.
    using Detector = std::function<void(const TMoment&, const Thresholds&, std::vector<THotMoment>&)>;

    TMoments();
    ~TMoments();
    TMoments(const TMoments&) = delete;
    TMoments& operator=(const TMoments&) = delete;

    // Records one car-position packet as (part of) the sample of `frame`. Pointers to samples obtained before
    // may be invalidated.
    void AddCarData(int frame, const CarSlots& cars);
    std::size_t SampleCount() const { return samples_.size(); }

    // Adds the player unless one with its PLID is known.
    void AddPlayer(const PlayerPacket& packet);
    const TPlayerInfo* FindPlayer(int plid) const;
    // The newest sample of `frame`, or nothing.
    const TMoment* FindSample(int frame) const;

    void Clear();

    // Rebuilds HotMoments from every sample. Samples that were analysed before with the same thresholds and
    // have not changed since are not examined again; the result is the same as from a fresh analysis.
    AnalysisResult Analyse(const Thresholds& thresholds);
    AnalysisResult Analyse(float distance, float drift, float angularVelocity) {
        return Analyse(Thresholds{distance, drift, angularVelocity});
    }

    const std::vector<TMoment>& Samples() const { return samples_; }
    const std::vector<TPlayerInfo>& Players() const { return players_; }
    const std::vector<THotMoment>& HotMoments() const { return hotMoments_; }

    void SetDetector(Detector detector);

private:
    class Merger;

    // Marks the sample at `index` as changed since the last analysis.
    void Touch(std::size_t index);
    void Restart();

    std::vector<TMoment> samples_;
    std::vector<TPlayerInfo> players_;
    std::vector<THotMoment> hotMoments_;
    std::unordered_map<int, std::size_t> sampleOfFrame_;  // a frame has at most one sample
    Detector detector_;
    std::unique_ptr<Merger> merger_;
    std::size_t firstChanged_ = 0;  // samples from here on differ from what the last analysis saw
};

}  // namespace kinoloop
