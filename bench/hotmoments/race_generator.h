#pragma once
// A synthetic race for measuring the analysis: cars lapping a 4 km loop at 10 reports per second, bunching
// and passing, with an occasional slide or spin, reported in car-position packets of eight cars.
#include <vector>

#include "hotmoments/moments.h"

namespace kinoloop::bench {

struct RacePacket {
    int frame;
    CarSlots cars;
};

// The packets of `seconds` of racing with `cars` cars, in arrival order; frames at 25 per second.
std::vector<RacePacket> GenerateRace(int cars, int seconds, unsigned seed = 1);

}  // namespace kinoloop::bench
