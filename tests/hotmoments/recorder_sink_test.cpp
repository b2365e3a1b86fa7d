// The link's decoded records reach the recorder field for field.
#include "hotmoments/recorder_sink.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kinoloop {
namespace {

void Put(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

TEST(RecorderSink, CarPacketBytesBecomeTheSampleUnchanged) {
    // A car-position datagram built by hand: two cars in slots 0 and 1, the rest empty.
    std::vector<std::uint8_t> mci(204, 0);
    std::memcpy(mci.data(), "MCI", 3);
    const std::size_t first = 12, second = 36;
    Put(mci, first + 0, 0x1234, 2);      // Node
    Put(mci, first + 2, 3, 1);           // Lap
    Put(mci, first + 3, 7, 1);           // PLID
    Put(mci, first + 4, 0xFFFF0000, 4);  // X = -65536
    Put(mci, first + 8, 131072, 4);      // Y
    Put(mci, first + 12, 5, 4);          // Z
    Put(mci, first + 16, 901, 2);        // Speed
    Put(mci, first + 18, 65000, 2);      // Direction
    Put(mci, first + 20, 500, 2);        // Heading
    Put(mci, first + 22, 0xF060, 2);     // AngVel = -4000
    Put(mci, second + 3, 9, 1);

    TMoments moments;
    RecorderSink sink(moments);
    EXPECT_EQ(sink.AddCarData(40, DecodeCars(mci)), 1u);
    const TMoment* sample = moments.FindSample(40);
    ASSERT_NE(sample, nullptr);
    ASSERT_EQ(sample->Cars.size(), 3u);  // cars 7 and 9, and the empty slots' PLID 0 once
    const TPlayerPos& car = sample->Cars[0];
    EXPECT_EQ(car.Node, 0x1234);
    EXPECT_EQ(car.Lap, 3);
    EXPECT_EQ(car.PLID, 7);
    EXPECT_EQ(car.X, -65536);
    EXPECT_EQ(car.Y, 131072);
    EXPECT_EQ(car.Z, 5);
    EXPECT_EQ(car.Speed, 901);
    EXPECT_EQ(car.Direction, 65000);
    EXPECT_EQ(car.Heading, 500);
    EXPECT_EQ(car.AngVel, -4000);
    EXPECT_EQ(sample->Cars[1].PLID, 9);
    EXPECT_EQ(sample->Cars[2], TPlayerPos{});
    // The car slides 5.7 degrees (no drift) and turns at exactly the default threshold; then the close pairs
    // with car 9 and with the empty slots' car at 0,0, both about 2.2 m away.
    ASSERT_TRUE(moments.Analyse(Thresholds{}).ok);
    const std::vector<THotMoment> expected = {
        {40, 40, 7, -1, "AngVel"}, {40, 40, 7, 9, "Close players"}, {40, 40, 7, 0, "Close players"}};
    EXPECT_EQ(moments.HotMoments(), expected);
}

TEST(RecorderSink, PlayerPacketBytesBecomeAPlayer) {
    std::vector<std::uint8_t> npl(100, 0);
    std::memcpy(npl.data(), "NPL", 3);
    std::memcpy(npl.data() + 4, "  Eva Line  ", 12);
    std::memcpy(npl.data() + 28, "XRT", 3);  // the car's name: kept by the packet only
    npl[95] = 12;
    npl[96] = 44;
    TMoments moments;
    RecorderSink sink(moments);
    sink.AddPlayer(DecodePlayer(npl));
    const TPlayerInfo* player = moments.FindPlayer(12);
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->PlayerName, "Eva Line");
    EXPECT_EQ(player->Byte96, 44);
}

}  // namespace
}  // namespace kinoloop
