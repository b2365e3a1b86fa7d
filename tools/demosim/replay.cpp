#include "replay.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "wire.h"

namespace demosim {

namespace {
constexpr char kMagic[] = "DEMOSIM REPLAY";
constexpr double kPi = 3.14159265358979323846;
constexpr double kMapUnits = 65536.0;

std::uint16_t Lerp16(std::uint16_t a, std::uint16_t b, double f) {
    return static_cast<std::uint16_t>(std::lround(a + (static_cast<double>(b) - a) * f));
}
std::uint16_t LerpAngle(std::uint16_t a, std::uint16_t b, double f) {
    const auto diff = static_cast<std::int16_t>(static_cast<std::uint16_t>(b - a));  // shorter way round
    return static_cast<std::uint16_t>(a + static_cast<int>(std::lround(diff * f)));
}
}  // namespace

CarSample Replay::CarAt(std::size_t car, std::uint32_t hundredths) const {
    if (samples.empty() || car >= names.size()) return {};
    const std::uint32_t last = static_cast<std::uint32_t>(samples.size() - 1);
    const std::uint32_t index = std::min(hundredths / sampleHundredths, last);
    if (index == last) return samples[last][car];
    const double f = static_cast<double>(hundredths - index * sampleHundredths) / sampleHundredths;
    const CarSample& a = samples[index][car];
    const CarSample& b = samples[index + 1][car];
    CarSample c;
    c.x = static_cast<std::int32_t>(std::lround(a.x + (static_cast<double>(b.x) - a.x) * f));
    c.y = static_cast<std::int32_t>(std::lround(a.y + (static_cast<double>(b.y) - a.y) * f));
    c.z = static_cast<std::int32_t>(std::lround(a.z + (static_cast<double>(b.z) - a.z) * f));
    c.heading = LerpAngle(a.heading, b.heading, f);
    c.direction = LerpAngle(a.direction, b.direction, f);
    c.speed = Lerp16(a.speed, b.speed, f);
    c.angVel = static_cast<std::int16_t>(std::lround(a.angVel + (b.angVel - a.angVel) * f));
    return c;
}

std::vector<std::uint8_t> EncodeReplay(const Replay& r) {
    const std::size_t cars = r.names.size();
    Writer w(kHeaderSize + cars * kCarEntrySize + r.samples.size() * cars * kSampleSize);
    w.Text(0, 16, kMagic).I32(16, 1).I32(20, static_cast<std::int32_t>(cars))
        .I32(24, static_cast<std::int32_t>(r.sampleHundredths)).I32(28, static_cast<std::int32_t>(r.samples.size()));
    if (r.multiplayer) {
        w.Text(32, 8, "MULTI").Text(40, 32, r.track);
    } else {
        w.Text(32, 32, r.track);
    }
    for (std::size_t c = 0; c < cars; ++c) {
        const std::size_t at = kHeaderSize + c * kCarEntrySize;
        w.Text(at, 24, r.names[c]).U8(at + 24, r.plids[c]);
    }
    std::size_t at = kHeaderSize + cars * kCarEntrySize;
    for (const auto& sample : r.samples) {
        for (const CarSample& s : sample) {
            w.I32(at, s.x).I32(at + 4, s.y).I32(at + 8, s.z).U16(at + 12, s.heading).U16(at + 14, s.direction)
                .U16(at + 16, s.speed).U16(at + 18, static_cast<std::uint16_t>(s.angVel));
            at += kSampleSize;
        }
    }
    return w.bytes();
}

std::optional<Replay> DecodeReplay(const std::vector<std::uint8_t>& b, std::string& why) {
    if (b.size() < kHeaderSize || GetText(b, 0, 16) != kMagic) {
        why = "not a demo replay (no header)";
        return std::nullopt;
    }
    if (GetI32(b, 16) != 1) {
        why = "unknown demo replay version " + std::to_string(GetI32(b, 16));
        return std::nullopt;
    }
    const std::int32_t cars = GetI32(b, 20);
    const std::int32_t step = GetI32(b, 24);
    const std::int32_t count = GetI32(b, 28);
    if (cars < 1 || cars > 8 || step < 1 || count < 1 || count > 1000000) {
        why = "damaged demo replay header";
        return std::nullopt;
    }
    const std::size_t need = kHeaderSize + static_cast<std::size_t>(cars) * kCarEntrySize +
                             static_cast<std::size_t>(count) * static_cast<std::size_t>(cars) * kSampleSize;
    if (b.size() < need) {
        why = "demo replay is cut short";
        return std::nullopt;
    }
    Replay r;
    r.multiplayer = GetText(b, 32, 8) == "MULTI";
    r.track = r.multiplayer ? GetText(b, 40, 32) : GetText(b, 32, 32);
    r.sampleHundredths = static_cast<std::uint32_t>(step);
    for (std::int32_t c = 0; c < cars; ++c) {
        const std::size_t at = kHeaderSize + static_cast<std::size_t>(c) * kCarEntrySize;
        r.names.push_back(GetText(b, at, 24));
        r.plids.push_back(GetU8(b, at + 24));
    }
    std::size_t at = kHeaderSize + static_cast<std::size_t>(cars) * kCarEntrySize;
    r.samples.resize(static_cast<std::size_t>(count));
    for (auto& sample : r.samples) {
        sample.resize(static_cast<std::size_t>(cars));
        for (CarSample& s : sample) {
            s.x = GetI32(b, at);
            s.y = GetI32(b, at + 4);
            s.z = GetI32(b, at + 8);
            s.heading = GetU16(b, at + 12);
            s.direction = GetU16(b, at + 14);
            s.speed = GetU16(b, at + 16);
            s.angVel = static_cast<std::int16_t>(GetU16(b, at + 18));
            at += kSampleSize;
        }
    }
    return r;
}

std::optional<Replay> LoadReplayFile(const std::string& path, std::string& why) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        why = "cannot open " + path;
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return DecodeReplay(bytes, why);
}

namespace {

// The demo circuit: two 300 m straights joined by half circles of 80 m radius, driven anticlockwise.
constexpr double kStraight = 300.0;
constexpr double kRadius = 80.0;
constexpr double kLap = 2 * kStraight + 2 * kPi * kRadius;
constexpr double kSpeed = 35.0;    // metres per second
constexpr double kSpacing = 40.0;  // metres between cars at the start

struct Point {
    double x, y;
};

// Centre line at distance s, moved `lateral` metres to the outside.
Point TrackPoint(double s, double lateral) {
    s = std::fmod(s, kLap);
    if (s < 0) s += kLap;
    double px, py, tx, ty;
    if (s < kStraight) {
        px = kRadius, py = s, tx = 0, ty = 1;
    } else if (s < kStraight + kPi * kRadius) {
        const double a = (s - kStraight) / kRadius;
        px = kRadius * std::cos(a), py = kStraight + kRadius * std::sin(a), tx = -std::sin(a), ty = std::cos(a);
    } else if (s < 2 * kStraight + kPi * kRadius) {
        px = -kRadius, py = kStraight - (s - kStraight - kPi * kRadius), tx = 0, ty = -1;
    } else {
        const double a = kPi + (s - 2 * kStraight - kPi * kRadius) / kRadius;
        px = kRadius * std::cos(a), py = kRadius * std::sin(a), tx = -std::sin(a), ty = std::cos(a);
    }
    return {px + ty * lateral, py - tx * lateral};
}

double Smooth(double edge0, double edge1, double t) {
    const double x = std::clamp((t - edge0) / (edge1 - edge0), 0.0, 1.0);
    return x * x * (3 - 2 * x);
}
// 0 before `start`, rising to 1 over `ramp` seconds, 1 until `end`, falling to 0 over `ramp`.
double Envelope(double start, double end, double ramp, double t) {
    return Smooth(start, start + ramp, t) * (1.0 - Smooth(end, end + ramp, t));
}

struct Script {
    bool multiplayer;
    // Car 1 comes up beside car 0 from 38 s to 52 s; car 2 drifts from 15 s; car 3 spins at 30 s.
    Point Position(int car, double t) const {
        double s = -kSpacing * car + kSpeed * t;
        double lateral = 0;
        if (car == 1) {
            const double beside = Envelope(38.0, 49.0, 3.0, t);
            s += kSpacing * beside;
            lateral = 3.5 * beside;
        }
        if (multiplayer && car == 5) lateral = -1.0;  // a different line, for variety
        return TrackPoint(s, lateral);
    }
    // Extra heading beyond the direction of motion, in degrees.
    double Yaw(int car, double t) const {
        if (car == 2) return 25.0 * Envelope(15.0, 20.0, 1.0, t);
        if (car == 3) return 360.0 * Smooth(30.0, 32.5, t);
        return 0;
    }
};

std::uint16_t AngleWord(double radians) {
    double turns = radians / (2 * kPi);
    turns -= std::floor(turns);
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(std::lround(turns * 65536.0)) & 0xFFFF);
}

// Heading word convention: 0 points along +Y, angles grow anticlockwise; the motion (dx, dy) has angle
// atan2(-dx, dy).
double MotionAngle(Point a, Point b) { return std::atan2(-(b.x - a.x), b.y - a.y); }

CarSample SampleOf(const Script& script, int car, double t) {
    constexpr double dt = 0.05;
    const Point here = script.Position(car, t);
    const Point before = script.Position(car, t - dt);
    const Point after = script.Position(car, t + dt);
    const double direction = MotionAngle(before, after);
    const double speed = std::hypot(after.x - before.x, after.y - before.y) / (2 * dt);
    const double heading = direction + script.Yaw(car, t) * kPi / 180.0;
    const double headingBefore =
        MotionAngle(script.Position(car, t - 2 * dt), here) + script.Yaw(car, t - dt) * kPi / 180.0;
    const double headingAfter =
        MotionAngle(here, script.Position(car, t + 2 * dt)) + script.Yaw(car, t + dt) * kPi / 180.0;
    double turn = headingAfter - headingBefore;
    while (turn > kPi) turn -= 2 * kPi;
    while (turn < -kPi) turn += 2 * kPi;
    const double degreesPerSecond = turn / (2 * dt) * 180.0 / kPi;

    CarSample s;
    s.x = static_cast<std::int32_t>(std::lround(here.x * kMapUnits));
    s.y = static_cast<std::int32_t>(std::lround(here.y * kMapUnits));
    s.z = static_cast<std::int32_t>(std::lround(0.5 * kMapUnits));
    s.heading = AngleWord(heading);
    s.direction = AngleWord(direction);
    s.speed = static_cast<std::uint16_t>(std::lround(std::min(speed * 327.68, 65535.0)));
    // 16384 = 360 degrees per second.
    s.angVel = static_cast<std::int16_t>(std::clamp(std::lround(degreesPerSecond * 16384.0 / 360.0), -32767L, 32767L));
    return s;
}

}  // namespace

Replay MakeDemoReplay(bool multiplayer, int seconds) {
    static const char* const kNames[] = {"Ana Fast", "Ben Brake", "Cleo Slide", "Dan Spin",
                                         "Eva Line", "Finn Late", "Gus Apex", "Hana Kerb"};
    Replay r;
    r.multiplayer = multiplayer;
    r.track = multiplayer ? "DEMO2" : "DEMO1";
    const int cars = multiplayer ? 8 : 6;
    for (int c = 0; c < cars; ++c) {
        r.names.push_back(kNames[c]);
        r.plids.push_back(static_cast<std::uint8_t>(c + 1));
    }
    r.sampleHundredths = 10;
    const int samples = seconds * 100 / 10 + 1;
    const Script script{multiplayer};
    for (int i = 0; i < samples; ++i) {
        const double t = i * r.sampleHundredths / 100.0;
        std::vector<CarSample> sample;
        for (int c = 0; c < cars; ++c) sample.push_back(SampleOf(script, c, t));
        r.samples.push_back(std::move(sample));
    }
    return r;
}

std::string WriteDemoReplays(const std::string& folder, int seconds) {
    for (const bool multiplayer : {false, true}) {
        const std::filesystem::path dir = std::filesystem::path(folder) / "data" / (multiplayer ? "mpr" : "spr");
        std::error_code ec;
        std::filesystem::create_directories(dir, ec);
        const std::filesystem::path file = dir / (multiplayer ? "demo.mpr" : "demo.spr");
        const std::vector<std::uint8_t> bytes = EncodeReplay(MakeDemoReplay(multiplayer, seconds));
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) return "cannot write " + file.string();
    }
    return {};
}

}  // namespace demosim
