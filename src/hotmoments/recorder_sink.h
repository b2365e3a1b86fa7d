#pragma once
// The recorder as the link's car-data sink: the link's decoded car-position and player records go into
// TMoments unchanged, field for field.
#include "hotmoments/moments.h"
#include "link/link_ports.h"

namespace kinoloop {

TPlayerPos ToPlayerPos(const CarRecord& car);
CarSlots ToCarSlots(const CarRecords& cars);
PlayerPacket ToPlayerPacket(const PlayerRecord& player);

class RecorderSink : public CarDataSink {
public:
    explicit RecorderSink(TMoments& moments) : moments_(moments) {}
    std::size_t AddCarData(int frame, const CarRecords& cars) override;
    void AddPlayer(const PlayerRecord& player) override;

private:
    TMoments& moments_;
};

}  // namespace kinoloop
