// The analysis goes on from where the previous one ended. These tests hold it against the analysis written as
// plainly as possible, from scratch each time, over random races recorded and analysed in random turns.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "hotmoments/moments.h"
#include "moment_fixtures.h"

namespace kinoloop {
namespace {

using testing::Car;
using testing::Packet;

// Every ordered pair of cars, and the list searched for the same pair the other way round.
std::vector<THotMoment> PlainDetect(const TMoment& sample, const Thresholds& thresholds) {
    std::vector<THotMoment> found;
    for (const TPlayerPos& car : sample.Cars) {
        if (DriftAngle(car) > thresholds.drift) found.push_back({0, 0, car.PLID, -1, "Drift"});
    }
    for (const TPlayerPos& car : sample.Cars) {
        if (std::abs(car.AngVel) >= thresholds.angularVelocity)
            found.push_back({0, 0, car.PLID, -1, "AngVel"});
    }
    std::vector<THotMoment> pairs;
    for (std::size_t a = 0; a < sample.Cars.size(); ++a) {
        for (std::size_t b = 0; b < sample.Cars.size(); ++b) {
            if (a == b) continue;
            const TPlayerPos& A = sample.Cars[a];
            const TPlayerPos& B = sample.Cars[b];
            const double dx = A.X / 65536.0 - B.X / 65536.0;
            const double dy = A.Y / 65536.0 - B.Y / 65536.0;
            const float distance = static_cast<float>(std::sqrt(dx * dx + dy * dy));
            if (distance > thresholds.distance || !(distance > 0)) continue;
            bool seen = false;
            for (const THotMoment& m : pairs) seen = seen || (m.Player1 == B.PLID && m.Player2 == A.PLID);
            if (!seen) pairs.push_back({0, 0, A.PLID, B.PLID, "Close players"});
        }
    }
    found.insert(found.end(), pairs.begin(), pairs.end());
    return found;
}

// Each sample's moments merged by searching all moments from the last for one that ended at the previous
// sample.
std::vector<THotMoment> PlainAnalyse(const std::vector<TMoment>& samples, const Thresholds& thresholds) {
    std::vector<THotMoment> moments;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        for (THotMoment n : PlainDetect(samples[i], thresholds)) {
            bool merged = false;
            if (i > 0) {
                for (std::size_t r = moments.size(); r-- > 0;) {
                    THotMoment& R = moments[r];
                    if (R.EndFrame == samples[i - 1].Frame && R.Player1 == n.Player1 &&
                        R.Player2 == n.Player2 && R.Action == n.Action) {
                        R.EndFrame = samples[i].Frame;
                        merged = true;
                        break;
                    }
                }
            }
            if (!merged) {
                n.StartFrame = n.EndFrame = samples[i].Frame;
                moments.push_back(n);
            }
        }
    }
    return moments;
}

// A pack of cars on a short straight, bunched so that they come close, slide and spin now and then.
class RandomRace {
public:
    explicit RandomRace(unsigned seed, int cars) : random_(seed) {
        for (int i = 0; i < cars; ++i) {
            cars_.push_back(Car(i + 1, Uniform(0, 40) * 65536 / 4, Uniform(0, 16) * 65536 / 4));
        }
    }

    CarSlots NextPacket() {
        std::vector<TPlayerPos> slots;
        const int count = Uniform(1, 8);
        for (int i = 0; i < count; ++i) {
            TPlayerPos& car = cars_[static_cast<std::size_t>(Uniform(0, static_cast<int>(cars_.size()) - 1))];
            car.X += Uniform(-2, 2) * 65536;
            car.Y += Uniform(-1, 1) * 65536;
            car.Speed = static_cast<std::uint16_t>(Uniform(200, 1500));
            car.Heading = static_cast<std::uint16_t>(Uniform(0, 65535));
            car.Direction = static_cast<std::uint16_t>(
                car.Heading + (Chance(8) ? Uniform(-9000, 9000) : Uniform(-600, 600)));
            car.AngVel = static_cast<std::int16_t>(Chance(10) ? Uniform(-9000, 9000) : Uniform(-2000, 2000));
            slots.push_back(car);
        }
        return Packet(slots);
    }

    int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool Chance(int oneIn) { return Uniform(1, oneIn) == 1; }

private:
    std::mt19937 random_;
    std::vector<TPlayerPos> cars_;
};

TEST(AnalysisEquivalence, GoingOnMatchesAFreshAnalysisAfterEveryTurn) {
    const Thresholds usual = Thresholds::FromSliders(60, 100, 4000);
    const Thresholds other = Thresholds::FromSliders(35, 60, 2500);
    std::size_t carriedOver = 0;
    std::size_t analyses = 0;
    for (unsigned seed = 1; seed <= 40; ++seed) {
        RandomRace race(seed, 4 + static_cast<int>(seed % 12));
        TMoments moments;
        int frame = 0;
        for (int packet = 0; packet < 400; ++packet) {
            // Mostly forward; several packets in one frame; now and then back to a frame already sampled.
            if (race.Chance(10) && frame > 10) {
                moments.AddCarData(frame - race.Uniform(1, 10), race.NextPacket());
            } else {
                if (race.Chance(2)) frame += race.Uniform(1, 3);
                moments.AddCarData(frame, race.NextPacket());
            }
            if (!race.Chance(6)) continue;
            const Thresholds& thresholds = race.Chance(8) ? other : usual;
            const std::size_t before = moments.SampleCount();
            const AnalysisResult result = moments.Analyse(thresholds);
            ASSERT_TRUE(result.ok) << result.message;
            ASSERT_EQ(moments.HotMoments(), PlainAnalyse(moments.Samples(), thresholds))
                << "seed " << seed << ", packet " << packet;
            ++analyses;
            if (result.examined < before) ++carriedOver;
        }
    }
    // Most analyses must really have gone on from the previous one for this to prove anything.
    EXPECT_GT(carriedOver, analyses / 2) << carriedOver << " of " << analyses;
}

TEST(AnalysisEquivalence, OnlyNewAndChangedSamplesAreExamined) {
    TMoments moments;
    RandomRace race(7, 20);
    for (int frame = 0; frame < 100; ++frame) moments.AddCarData(frame, race.NextPacket());
    EXPECT_EQ(moments.Analyse(Thresholds{}).examined, 100u);
    EXPECT_EQ(moments.Analyse(Thresholds{}).examined, 0u);
    moments.AddCarData(99, race.NextPacket());  // more cars of the newest frame
    moments.AddCarData(100, race.NextPacket());
    EXPECT_EQ(moments.Analyse(Thresholds{}).examined, 2u);
    moments.AddCarData(50, race.NextPacket());  // an old frame changed: everything again
    EXPECT_EQ(moments.Analyse(Thresholds{}).examined, 101u);
    EXPECT_EQ(moments.Analyse(Thresholds::FromSliders(61, 100, 4000)).examined, 101u);
    EXPECT_EQ(moments.HotMoments(), PlainAnalyse(moments.Samples(), Thresholds::FromSliders(61, 100, 4000)));
}

TEST(AnalysisEquivalence, DetectionMatchesThePlainDetection) {
    const Thresholds thresholds[] = {Thresholds{}, Thresholds::FromSliders(200, 5, 500),
                                     Thresholds::FromSliders(1, 1800, 20000), Thresholds{-1.0f, 10, 4000},
                                     Thresholds{NAN, 10, 4000}};
    RandomRace race(99, 16);
    for (int round = 0; round < 300; ++round) {
        TMoment sample{round, {}};
        for (const TPlayerPos& car : race.NextPacket()) {
            bool known = false;
            for (const TPlayerPos& held : sample.Cars) known = known || held.PLID == car.PLID;
            if (!known) sample.Cars.push_back(car);
        }
        for (const Thresholds& t : thresholds)
            ASSERT_EQ(DetectMoments(sample, t), PlainDetect(sample, t)) << round;
    }
}

}  // namespace
}  // namespace kinoloop
