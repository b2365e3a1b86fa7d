#pragma once
// Small builders for cars, packets and players in the hot-moment tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "hotmoments/moments.h"

namespace kinoloop::testing {

struct Motion {
    std::int32_t z = 0;
    std::uint16_t speed = 0;
    std::uint16_t direction = 0;
    std::uint16_t heading = 0;
    std::int16_t angVel = 0;
};

inline TPlayerPos Car(int plid, std::int32_t x, std::int32_t y, Motion motion = {}) {
    TPlayerPos car;
    car.PLID = static_cast<std::uint8_t>(plid);
    car.X = x;
    car.Y = y;
    car.Z = motion.z;
    car.Speed = motion.speed;
    car.Direction = motion.direction;
    car.Heading = motion.heading;
    car.AngVel = motion.angVel;
    return car;
}

// A car-position packet's eight slots; slots past the given cars stay zero, as in a packet with fewer cars.
inline CarSlots Packet(const std::vector<TPlayerPos>& cars) {
    EXPECT_LE(cars.size(), kCarsPerPacket);
    CarSlots slots{};
    std::copy_n(cars.begin(), std::min(cars.size(), kCarsPerPacket), slots.begin());
    return slots;
}

inline PlayerPacket Player(int plid, const std::string& nameBytes, int byte96) {
    PlayerPacket packet;
    std::copy_n(nameBytes.begin(), std::min(nameBytes.size(), kPlayerNameSize), packet.PlayerName.begin());
    packet.PLID = static_cast<std::uint8_t>(plid);
    packet.Byte96 = static_cast<std::uint8_t>(byte96);
    return packet;
}

}  // namespace kinoloop::testing
