#include "hotmoments/recorder_sink.h"

#include <algorithm>

namespace kinoloop {

static_assert(kCarsPerPacket == packet::kCarsPerMci);
static_assert(kPlayerNameSize == packet::npl::PlayerNameSize);

TPlayerPos ToPlayerPos(const CarRecord& car) {
    TPlayerPos pos;
    pos.Node = car.node;
    pos.Lap = car.lap;
    pos.PLID = car.plid;
    pos.X = car.x;
    pos.Y = car.y;
    pos.Z = car.z;
    pos.Speed = car.speed;
    pos.Direction = car.direction;
    pos.Heading = car.heading;
    pos.AngVel = car.angVel;
    return pos;
}

CarSlots ToCarSlots(const CarRecords& cars) {
    CarSlots slots;
    std::transform(cars.begin(), cars.end(), slots.begin(), ToPlayerPos);
    return slots;
}

PlayerPacket ToPlayerPacket(const PlayerRecord& player) {
    PlayerPacket packet;
    packet.PlayerName = player.playerName;
    packet.PLID = player.plid;
    packet.Byte96 = player.byte96;
    return packet;
}

std::size_t RecorderSink::AddCarData(int frame, const CarRecords& cars) {
    moments_.AddCarData(frame, ToCarSlots(cars));
    return moments_.SampleCount();
}

void RecorderSink::AddPlayer(const PlayerRecord& player) {
    moments_.AddPlayer(ToPlayerPacket(player));
}

}  // namespace kinoloop
