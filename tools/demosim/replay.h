#pragma once
// Demo replays: the file format of the demo simulator and the two demo races it ships.
//
// File layout (little-endian):
//   0   16 bytes  magic "DEMOSIM REPLAY" zero-filled
//   16  uint32    format version (1)
//   20  uint32    number of cars C (1..8)
//   24  uint32    hundredths of a second between samples (10)
//   28  uint32    number of samples S
//   32  32 bytes  track name (single-player files)      | multiplayer: 8 bytes "MULTI", track name at 40
//   72  C x 28    cars: 24-byte name, PLID byte, 3 bytes zero
//   ..  S x C x 20 samples: int32 X, Y, Z (map units), uint16 heading, direction, speed, int16 angular velocity
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace demosim {

struct CarSample {
    std::int32_t x = 0, y = 0, z = 0;
    std::uint16_t heading = 0, direction = 0, speed = 0;
    std::int16_t angVel = 0;
};

struct Replay {
    std::string track;
    bool multiplayer = false;
    std::vector<std::string> names;
    std::vector<std::uint8_t> plids;
    std::uint32_t sampleHundredths = 10;
    std::vector<std::vector<CarSample>> samples;  // [sample][car]

    std::uint32_t LengthHundredths() const {
        return samples.empty() ? 0 : static_cast<std::uint32_t>((samples.size() - 1) * sampleHundredths);
    }
    // The car at a replay time, between samples by linear steps (angles by the shorter way).
    CarSample CarAt(std::size_t car, std::uint32_t hundredths) const;
};

inline constexpr std::size_t kHeaderSize = 72;
inline constexpr std::size_t kCarEntrySize = 28;
inline constexpr std::size_t kSampleSize = 20;

std::vector<std::uint8_t> EncodeReplay(const Replay& replay);
// Nothing and a reason when the bytes are not a demo replay.
std::optional<Replay> DecodeReplay(const std::vector<std::uint8_t>& bytes, std::string& why);
std::optional<Replay> LoadReplayFile(const std::string& path, std::string& why);

inline constexpr int kDemoReplaySeconds = 70;

// The two shipped races: single-player (6 cars) and multiplayer (8 cars), 70 s each, with a drift, a spin and
// two cars side by side. Longer races (for long renders) go on lapping after the last of these moments.
Replay MakeDemoReplay(bool multiplayer, int seconds = kDemoReplaySeconds);
// Writes data/spr/demo.spr and data/mpr/demo.mpr under `folder`. Returns "" or what failed.
std::string WriteDemoReplays(const std::string& folder, int seconds = kDemoReplaySeconds);

}  // namespace demosim
