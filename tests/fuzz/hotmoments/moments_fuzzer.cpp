// Packets, players and analyses in any order and with any bytes: nothing may crash, and an analysis that goes
// on from the last one must give what a fresh recorder analysing the same packets once gives.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "hotmoments/moments.h"

namespace {

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    template <typename T>
    T Take() {
        T value{};
        const std::size_t n = std::min(sizeof(T), size_ - std::min(at_, size_));
        std::memcpy(&value, data_ + at_, n);
        at_ += sizeof(T);
        return value;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

kinoloop::TPlayerPos TakeCar(Reader& in) {
    kinoloop::TPlayerPos car;
    car.PLID = in.Take<std::uint8_t>() % 12;  // few ids, so that cars meet again
    car.X = in.Take<std::int16_t>() * 4096;   // within a few hundred metres, so that pairs come close
    car.Y = in.Take<std::int16_t>() * 4096;
    car.Z = in.Take<std::int32_t>();
    car.Speed = in.Take<std::uint16_t>();
    car.Direction = in.Take<std::uint16_t>();
    car.Heading = in.Take<std::uint16_t>();
    car.AngVel = in.Take<std::int16_t>();
    return car;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    kinoloop::TMoments moments;
    std::vector<std::pair<int, kinoloop::CarSlots>> packets;
    int frame = 0;
    while (!in.Empty()) {
        const std::uint8_t op = in.Take<std::uint8_t>();
        if (op < 200) {
            frame += static_cast<std::int8_t>(op) % 4;  // forward, repeated, now and then back
            kinoloop::CarSlots slots{};
            const int cars = op % 9;
            for (int i = 0; i < cars; ++i) slots[static_cast<std::size_t>(i)] = TakeCar(in);
            moments.AddCarData(frame, slots);
            packets.emplace_back(frame, slots);
        } else if (op < 220) {
            kinoloop::PlayerPacket player;
            for (char& c : player.PlayerName) c = static_cast<char>(in.Take<std::uint8_t>());
            player.PLID = in.Take<std::uint8_t>();
            player.Byte96 = in.Take<std::uint8_t>();
            moments.AddPlayer(player);
        } else {
            const kinoloop::Thresholds thresholds = kinoloop::Thresholds::FromSliders(
                in.Take<std::uint8_t>() % 201, 5 + in.Take<std::uint16_t>() % 1796,
                500 + in.Take<std::uint16_t>() % 19501);
            if (!moments.Analyse(thresholds).ok) std::abort();
            kinoloop::TMoments fresh;
            for (const auto& [at, slots] : packets) fresh.AddCarData(at, slots);
            if (!fresh.Analyse(thresholds).ok || fresh.HotMoments() != moments.HotMoments()) std::abort();
        }
    }
    return 0;
}
