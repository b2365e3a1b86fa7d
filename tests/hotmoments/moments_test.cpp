#include "hotmoments/moments.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <stdexcept>

#include "moment_fixtures.h"

namespace kinoloop {
namespace {

using testing::Car;
using testing::Packet;

constexpr std::int32_t kMetre = 65536;

// --- drift angle
// -------------------------------------------------------------------------------------------------

struct DriftCase {
    const char* what;
    std::uint16_t speed, direction, heading;
    float angle;
};

TEST(DriftAngle, FoldsTheDifferenceIntoHalfATurn) {
    const DriftCase cases[] = {
        {"standing car", 0, 16384, 0, 0.0f},
        {"at 300 never drifts", 300, 32768, 0, 0.0f},
        {"just faster", 301, 16384, 0, 90.0f},
        {"direction past heading", 1000, 8192, 0, 45.0f},
        {"heading past direction", 1000, 0, 8192, 45.0f},
        {"across zero folds", 1000, 65000, 500, 5.69091796875f},
        {"across zero, other way", 1000, 500, 65000, 5.69091796875f},
        {"half a turn", 1000, 32768, 0, 180.0f},
        {"three quarters fold to one", 1000, 49152, 0, 90.0f},
        {"almost a full turn", 1000, 65535, 0, 0.0054931640625f},
        {"pointing where it goes", 5000, 12345, 12345, 0.0f},
    };
    for (const DriftCase& c : cases) {
        const TPlayerPos car =
            Car(1, 0, 0, {.speed = c.speed, .direction = c.direction, .heading = c.heading});
        EXPECT_FLOAT_EQ(DriftAngle(car), c.angle) << c.what;
    }
    // The example of a difference of 64500: 354.3 degrees, folded to 5.7.
    EXPECT_NEAR(DriftAngle(Car(1, 0, 0, {.speed = 1000, .direction = 65000, .heading = 500})), 5.7, 0.02);
}

// --- detectors
// ---------------------------------------------------------------------------------------------------

std::vector<THotMoment> Detect(std::vector<TPlayerPos> cars, Thresholds thresholds = {}) {
    return DetectMoments(TMoment{0, std::move(cars)}, thresholds);
}

struct ThresholdCase {
    const char* what;
    TPlayerPos car;
    Thresholds thresholds;
    bool detected;
};

TEST(DetectMoments, DriftIsStrictlyAboveItsThreshold) {
    const TPlayerPos slide45 = Car(7, 0, 0, {.speed = 2000, .direction = 8192, .heading = 0});
    const TPlayerPos slide57 = Car(7, 0, 0, {.speed = 2000, .direction = 65000, .heading = 500});
    const ThresholdCase cases[] = {
        {"45 degrees at a 45.0 threshold", slide45, Thresholds::FromSliders(60, 450, 4000), false},
        {"45 degrees at a 44.9 threshold", slide45, Thresholds::FromSliders(60, 449, 4000), true},
        {"5.7 degrees at the default", slide57, Thresholds::FromSliders(60, 100, 4000), false},
        {"5.7 degrees at 5.0", slide57, Thresholds::FromSliders(60, 50, 4000), true},
        {"slow car sideways", Car(7, 0, 0, {.speed = 300, .direction = 16384}),
         Thresholds::FromSliders(60, 5, 4000), false},
    };
    for (const ThresholdCase& c : cases) {
        const auto found = Detect({c.car}, c.thresholds);
        const bool drift = !found.empty() && found[0].Action == "Drift";
        EXPECT_EQ(drift, c.detected) << c.what;
        if (drift) {
            EXPECT_EQ(found[0].Player1, 7);
            EXPECT_EQ(found[0].Player2, -1);
        }
    }
}

TEST(DetectMoments, AngularVelocityCountsFromItsThreshold) {
    const Thresholds defaults = Thresholds::FromSliders(60, 100, 4000);
    const ThresholdCase cases[] = {
        {"exactly the threshold", Car(3, 0, 0, {.angVel = 4000}), defaults, true},
        {"exactly minus the threshold", Car(3, 0, 0, {.angVel = -4000}), defaults, true},
        {"just below", Car(3, 0, 0, {.angVel = 3999}), defaults, false},
        {"just below, turning the other way", Car(3, 0, 0, {.angVel = -3999}), defaults, false},
        {"the lowest value", Car(3, 0, 0, {.angVel = std::numeric_limits<std::int16_t>::min()}), defaults,
         true},
        {"a lower threshold", Car(3, 0, 0, {.angVel = 600}), Thresholds::FromSliders(60, 100, 500), true},
    };
    for (const ThresholdCase& c : cases) {
        const auto found = Detect({c.car}, c.thresholds);
        ASSERT_EQ(found.size(), c.detected ? 1u : 0u) << c.what;
        if (c.detected) {
            EXPECT_EQ(found[0], (THotMoment{0, 0, 3, -1, "AngVel"})) << c.what;
        }
    }
}

struct DistanceCase {
    const char* what;
    std::int32_t bx, by, bz;
    int distanceRaw;
    bool close;
};

TEST(DetectMoments, ClosePlayersByGroundDistance) {
    const DistanceCase cases[] = {
        {"same place is not close", 0, 0, 0, 60, false},
        {"same place at another height is not close", 0, 0, 50 * kMetre, 60, false},
        {"exactly 6.0 m along X", 393216, 0, 0, 60, true},
        {"exactly 6.0 m along Y, behind", 0, -393216, 0, 60, true},
        {"one map unit past 6.0 m", 393217, 0, 0, 60, false},
        {"height does not count", 3 * kMetre, 0, 100 * kMetre, 60, true},
        {"3-4-5 triangle at 5.0 m", 3 * kMetre, 4 * kMetre, 0, 50, true},
        {"3-4-5 triangle at 4.9 m", 3 * kMetre, 4 * kMetre, 0, 49, false},
        {"one map unit apart", 1, 0, 0, 60, true},
        {"threshold 0 finds nobody", 1, 0, 0, 0, false},
        {"20 m threshold", 20 * kMetre, 0, 0, 200, true},
    };
    for (const DistanceCase& c : cases) {
        const auto found = Detect({Car(1, 0, 0), Car(2, c.bx, c.by, {.z = c.bz})},
                                  Thresholds::FromSliders(c.distanceRaw, 100, 4000));
        ASSERT_EQ(found.size(), c.close ? 1u : 0u) << c.what;
        if (c.close) {
            EXPECT_EQ(found[0], (THotMoment{0, 0, 1, 2, "Close players"})) << c.what;
        }
    }
}

TEST(DetectMoments, FarApartCoordinatesDoNotOverflow) {
    const auto found =
        Detect({Car(1, std::numeric_limits<std::int32_t>::min(), 0),
                Car(2, std::numeric_limits<std::int32_t>::max(), 0),
                Car(3, std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::min())},
               Thresholds{1e9f, 10, 4000});
    EXPECT_EQ(found.size(), 3u);  // a huge threshold takes every pair
    EXPECT_TRUE(Detect({Car(1, std::numeric_limits<std::int32_t>::min(), 0),
                        Car(2, std::numeric_limits<std::int32_t>::max(), 0)})
                    .empty());
}

TEST(DetectMoments, EachClosePairOnceWithTheEarlierCarFirst) {
    // Three cars within a metre of each other, listed 9, 4, 6.
    const auto found = Detect({Car(9, 0, 0), Car(4, kMetre / 2, 0), Car(6, 0, kMetre / 2)});
    const std::vector<THotMoment> expected = {
        {0, 0, 9, 4, "Close players"},
        {0, 0, 9, 6, "Close players"},
        {0, 0, 4, 6, "Close players"},
    };
    EXPECT_EQ(found, expected);
}

TEST(DetectMoments, DriftsThenRatesOfTurnThenPairs) {
    const auto found = Detect({
        Car(5, 0, 0, {.angVel = -5000}),
        Car(3, kMetre, 0, {.speed = 900, .direction = 16384, .heading = 0, .angVel = 4500}),
        Car(8, 100 * kMetre, 0, {.speed = 900, .direction = 0, .heading = 60000}),
    });
    const std::vector<THotMoment> expected = {
        {0, 0, 3, -1, "Drift"},  {0, 0, 8, -1, "Drift"},        {0, 0, 5, -1, "AngVel"},
        {0, 0, 3, -1, "AngVel"}, {0, 0, 5, 3, "Close players"},
    };
    EXPECT_EQ(found, expected);
}

// --- recording
// ---------------------------------------------------------------------------------------------------

TEST(AddCarData, RecordsAllEightSlotsAsTheyAre) {
    TMoments moments;
    moments.AddCarData(40, Packet({Car(3, kMetre, 2 * kMetre), Car(5, 7, 8)}));
    ASSERT_EQ(moments.SampleCount(), 1u);
    const TMoment* sample = moments.FindSample(40);
    ASSERT_NE(sample, nullptr);
    EXPECT_EQ(sample->Frame, 40);
    // The six empty slots become one car with PLID 0 at position 0.
    ASSERT_EQ(sample->Cars.size(), 3u);
    EXPECT_EQ(sample->Cars[0], Car(3, kMetre, 2 * kMetre));
    EXPECT_EQ(sample->Cars[1], Car(5, 7, 8));
    EXPECT_EQ(sample->Cars[2], TPlayerPos{});
}

TEST(AddCarData, PacketsOfOneFrameMergeAndTheFirstPositionStays) {
    TMoments moments;
    moments.AddCarData(10, Packet({Car(1, 100, 0), Car(2, 200, 0), Car(3, 300, 0), Car(4, 400, 0),
                                   Car(5, 500, 0), Car(6, 600, 0), Car(7, 700, 0), Car(8, 800, 0)}));
    moments.AddCarData(10, Packet({Car(9, 900, 0), Car(2, -1, -1), Car(10, 1000, 0), Car(11, 1100, 0),
                                   Car(12, 1200, 0), Car(13, 1300, 0), Car(14, 1400, 0), Car(15, 1500, 0)}));
    moments.AddCarData(12, Packet({Car(2, 222, 0)}));
    moments.AddCarData(10, Packet({Car(16, 1600, 0)}));  // the frame again, after another one

    ASSERT_EQ(moments.SampleCount(), 2u);
    const TMoment* ten = moments.FindSample(10);
    ASSERT_NE(ten, nullptr);
    // 1..8, then 9 and 10..15 (2 again skipped), then 16 and the empty slot's PLID 0.
    ASSERT_EQ(ten->Cars.size(), 17u);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(ten->Cars[i].PLID, i + 1) << i;
    EXPECT_EQ(ten->Cars[1].X, 200);  // the second report of PLID 2 in frame 10 is ignored
    EXPECT_EQ(ten->Cars[16].PLID, 0);
    EXPECT_EQ(moments.FindSample(12)->Cars[0].X, 222);
    EXPECT_EQ(moments.FindSample(11), nullptr);
    EXPECT_EQ(moments.Samples()[0].Frame, 10);
    EXPECT_EQ(moments.Samples()[1].Frame, 12);
}

TEST(AddPlayer, NameEndsAtZeroAndLosesSurroundingBlanks) {
    struct Case {
        const char* what;
        std::string bytes;  // the 24 name bytes, zero-filled past the text
        std::string name;
    };
    const Case cases[] = {
        {"plain", "Anna", "Anna"},
        {"surrounding blanks", "  Bert Berg \t", "Bert Berg"},
        {"text after the zero byte", std::string("Cleo\0junk", 9), "Cleo"},
        {"all 24 used", "ABCDEFGHIJKLMNOPQRSTUVWX", "ABCDEFGHIJKLMNOPQRSTUVWX"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        TMoments moments;
        moments.AddPlayer(testing::Player(17, c.bytes, 33));
        const TPlayerInfo* player = moments.FindPlayer(17);
        ASSERT_NE(player, nullptr) << c.what;
        EXPECT_EQ(player->PlayerName, c.name) << c.what;
        EXPECT_EQ(player->Byte96, 33) << c.what;
    }
}

TEST(AddPlayer, AKnownPlayerStaysAsFirstAdded) {
    TMoments moments;
    moments.AddPlayer(testing::Player(4, "First", 1));
    moments.AddPlayer(testing::Player(9, "Other", 2));
    moments.AddPlayer(testing::Player(4, "Second", 3));
    ASSERT_EQ(moments.Players().size(), 2u);
    EXPECT_EQ(moments.FindPlayer(4)->PlayerName, "First");
    EXPECT_EQ(moments.FindPlayer(4)->Byte96, 1);
    EXPECT_EQ(moments.FindPlayer(5), nullptr);
}

TEST(TMoments, ClearEmptiesSamplesPlayersAndHotMoments) {
    TMoments moments;
    moments.AddPlayer(testing::Player(1, "Anna", 0));
    moments.AddCarData(5, Packet({Car(1, 0, 0, {.angVel = 9000})}));
    ASSERT_TRUE(moments.Analyse(Thresholds{}).ok);
    ASSERT_EQ(moments.HotMoments().size(), 1u);
    moments.Clear();
    EXPECT_EQ(moments.SampleCount(), 0u);
    EXPECT_TRUE(moments.Players().empty());
    EXPECT_TRUE(moments.HotMoments().empty());
    EXPECT_EQ(moments.FindSample(5), nullptr);
    // Recording starts afresh: frame 5 is a new sample with only the new car.
    moments.AddCarData(5, Packet({Car(2, 0, 0)}));
    EXPECT_EQ(moments.FindSample(5)->Cars[0].PLID, 2);
}

// --- analysis
// ----------------------------------------------------------------------------------------------------

TEST(Analyse, NoSamplesNoMoments) {
    TMoments moments;
    EXPECT_TRUE(moments.Analyse(Thresholds{}).ok);
    EXPECT_TRUE(moments.HotMoments().empty());
}

TEST(Analyse, AGapEndsAMomentAndARecurrenceStartsANewOne) {
    TMoments moments;
    const TPlayerPos drifting = Car(6, 0, 0, {.speed = 1000, .direction = 10000, .heading = 0});
    const TPlayerPos straight = Car(6, 0, 0, {.speed = 1000});
    const int frames[] = {10, 12, 15, 17, 20};
    const TPlayerPos* cars[] = {&drifting, &drifting, &drifting, &straight, &drifting};
    for (int i = 0; i < 5; ++i) moments.AddCarData(frames[i], Packet({Car(9, 500 * kMetre, 0), *cars[i]}));
    ASSERT_TRUE(moments.Analyse(Thresholds{}).ok);
    const std::vector<THotMoment> expected = {{10, 15, 6, -1, "Drift"}, {20, 20, 6, -1, "Drift"}};
    EXPECT_EQ(moments.HotMoments(), expected);
    EXPECT_EQ(moments.HotMoments()[0].Duration(), 5);
    EXPECT_EQ(moments.HotMoments()[1].Duration(), 0);
}

TEST(Analyse, ACarMissingFromASampleEndsItsMoment) {
    TMoments moments;
    const TPlayerPos spinning = Car(6, 0, 0, {.angVel = 8000});
    moments.AddCarData(1, Packet({spinning}));
    moments.AddCarData(2, Packet({Car(7, 0, 0)}));
    moments.AddCarData(3, Packet({spinning}));
    ASSERT_TRUE(moments.Analyse(Thresholds{}).ok);
    const std::vector<THotMoment> expected = {{1, 1, 6, -1, "AngVel"}, {3, 3, 6, -1, "AngVel"}};
    EXPECT_EQ(moments.HotMoments(), expected);
}

TEST(Analyse, OrderedByStartThenKindAndPairsRunOn) {
    TMoments moments;
    // Far from the empty slots' PLID 0 at 0,0. Frame 1: cars 1 and 2 close. Frame 2: still close; car 3
    // drifts and spins. Frame 3: the pair listed the other way round, which is another pair and so a new
    // moment.
    const std::int32_t away = 1000 * kMetre;
    moments.AddCarData(1, Packet({Car(1, away, 0), Car(2, away + kMetre, 0), Car(3, away + 90 * kMetre, 0)}));
    moments.AddCarData(
        2, Packet({Car(1, away, 0), Car(2, away + kMetre, 0),
                   Car(3, away + 90 * kMetre, 0, {.speed = 900, .direction = 20000, .angVel = 5000})}));
    moments.AddCarData(3, Packet({Car(2, away + kMetre, 0), Car(1, away, 0), Car(3, away + 90 * kMetre, 0)}));
    ASSERT_TRUE(moments.Analyse(Thresholds{}).ok);
    const std::vector<THotMoment> expected = {
        {1, 2, 1, 2, "Close players"},
        {2, 2, 3, -1, "Drift"},
        {2, 2, 3, -1, "AngVel"},
        {3, 3, 2, 1, "Close players"},
    };
    EXPECT_EQ(moments.HotMoments(), expected);
}

TEST(Analyse, ActionsMatchExactlyWithCase) {
    TMoments moments;
    for (int frame = 1; frame <= 4; ++frame) moments.AddCarData(frame, Packet({Car(1, 0, 0)}));
    // A detector that names the same event differently in alternate samples.
    moments.SetDetector([](const TMoment& sample, const Thresholds&, std::vector<THotMoment>& found) {
        found.clear();
        THotMoment moment;
        moment.Player1 = 1;
        moment.Action = sample.Frame <= 2 ? "Drift" : "drift";
        found.push_back(moment);
    });
    ASSERT_TRUE(moments.Analyse(Thresholds{}).ok);
    const std::vector<THotMoment> expected = {{1, 2, 1, -1, "Drift"}, {3, 4, 1, -1, "drift"}};
    EXPECT_EQ(moments.HotMoments(), expected);
}

TEST(Analyse, ThresholdsAreReadAtEachAnalysis) {
    TMoments moments;
    for (int frame = 0; frame < 6; ++frame) {
        moments.AddCarData(frame, Packet({Car(4, 0, 0, {.speed = 800, .direction = 2000})}));  // 11 degrees
    }
    ASSERT_TRUE(moments.Analyse(Thresholds::FromSliders(60, 100, 4000)).ok);
    EXPECT_EQ(moments.HotMoments(), (std::vector<THotMoment>{{0, 5, 4, -1, "Drift"}}));
    ASSERT_TRUE(moments.Analyse(Thresholds::FromSliders(60, 120, 4000)).ok);
    EXPECT_TRUE(moments.HotMoments().empty());
    ASSERT_TRUE(moments.Analyse(Thresholds::FromSliders(60, 100, 4000)).ok);
    EXPECT_EQ(moments.HotMoments().size(), 1u);
}

TEST(Analyse, AFailureKeepsWhatWasFoundAndIsReported) {
    TMoments moments;
    for (int frame = 1; frame <= 5; ++frame)
        moments.AddCarData(frame, Packet({Car(2, 0, 0, {.angVel = 7000})}));
    moments.SetDetector(
        [](const TMoment& sample, const Thresholds& thresholds, std::vector<THotMoment>& found) {
            if (sample.Frame == 4) throw std::runtime_error("detector broke");
            DetectMoments(sample, thresholds, found);
        });
    const AnalysisResult failed = moments.Analyse(Thresholds{});
    EXPECT_FALSE(failed.ok);
    EXPECT_NE(failed.message.find("detector broke"), std::string::npos) << failed.message;
    EXPECT_NE(failed.message.find("sample 4 of 5"), std::string::npos) << failed.message;
    EXPECT_EQ(moments.HotMoments(), (std::vector<THotMoment>{{1, 3, 2, -1, "AngVel"}}));
    EXPECT_EQ(moments.SampleCount(), 5u);  // the samples are kept

    // Mended, the next analysis covers every sample again.
    moments.SetDetector([](const TMoment& sample, const Thresholds& thresholds,
                           std::vector<THotMoment>& found) { DetectMoments(sample, thresholds, found); });
    EXPECT_TRUE(moments.Analyse(Thresholds{}).ok);
    EXPECT_EQ(moments.HotMoments(), (std::vector<THotMoment>{{1, 5, 2, -1, "AngVel"}}));
}

}  // namespace
}  // namespace kinoloop
