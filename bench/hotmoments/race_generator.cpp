#include "race_generator.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace kinoloop::bench {

namespace {

constexpr double kLapMetres = 4000.0;
constexpr double kRadius = kLapMetres / (2 * std::numbers::pi);
constexpr int kReportsPerSecond = 10;
constexpr double kFramesPerSecond = 25.0;

struct RaceCar {
    double distance;  // along the loop, metres
    double lane;      // metres from the racing line
    double pace;      // metres per second
    int slideLeft = 0;
    int spinLeft = 0;
};

}  // namespace

std::vector<RacePacket> GenerateRace(int cars, int seconds, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<RaceCar> field;
    for (int i = 0; i < cars; ++i) {
        // A grid two abreast, 8 m between rows.
        field.push_back(RaceCar{-8.0 * (i / 2), i % 2 == 0 ? -2.0 : 2.0, 44.0 + 4.0 * unit(random)});
    }

    std::vector<RacePacket> packets;
    const int reports = seconds * kReportsPerSecond;
    packets.reserve(static_cast<std::size_t>(reports) * ((cars + 7) / 8));
    for (int report = 0; report < reports; ++report) {
        const double time = static_cast<double>(report) / kReportsPerSecond;
        const int frame = static_cast<int>(std::nearbyint(time * kFramesPerSecond));
        for (RaceCar& car : field) {
            car.distance += (car.pace + 2.0 * std::sin(time / 7.0 + car.pace)) / kReportsPerSecond;
            car.lane = std::clamp(car.lane + (unit(random) - 0.5) * 0.4, -5.0, 5.0);
            if (car.slideLeft == 0 && car.spinLeft == 0) {
                if (unit(random) < 0.0005) car.slideLeft = 15;
                if (unit(random) < 0.0001) car.spinLeft = 8;
            }
        }
        for (int first = 0; first < cars; first += 8) {
            RacePacket packet{frame, {}};
            for (int slot = 0; slot < 8 && first + slot < cars; ++slot) {
                RaceCar& car = field[static_cast<std::size_t>(first + slot)];
                const double angle = car.distance / kRadius;
                const double radius = kRadius + car.lane;
                const auto direction = static_cast<std::uint16_t>(
                    std::lround((angle + std::numbers::pi / 2) / (2 * std::numbers::pi) * 65536.0) & 0xFFFF);
                TPlayerPos& pos = packet.cars[static_cast<std::size_t>(slot)];
                pos.PLID = static_cast<std::uint8_t>(first + slot + 1);
                pos.X = static_cast<std::int32_t>(std::lround(radius * std::cos(angle) * 65536.0));
                pos.Y = static_cast<std::int32_t>(std::lround(radius * std::sin(angle) * 65536.0));
                pos.Z = 65536;
                pos.Speed = static_cast<std::uint16_t>(car.pace * 327.68);
                pos.Direction = direction;
                pos.Heading = direction;
                pos.AngVel = static_cast<std::int16_t>(600 + static_cast<int>(unit(random) * 200));
                if (car.slideLeft > 0) {
                    pos.Heading = static_cast<std::uint16_t>(direction + 4000);
                    --car.slideLeft;
                }
                if (car.spinLeft > 0) {
                    pos.AngVel = 9000;
                    --car.spinLeft;
                }
            }
            packets.push_back(packet);
        }
    }
    return packets;
}

}  // namespace kinoloop::bench
