#include "hotmoments/moments.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <optional>
#include <utility>

namespace kinoloop {

namespace {

constexpr double kMapUnitsPerMetre = 65536.0;
constexpr int kFullTurn = 65536;
constexpr std::uint16_t kDriftMinSpeed = 300;

// Blanks are spaces and the control characters below them.
std::string TrimBlanks(std::string text) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!text.empty() && blank(text.back())) text.pop_back();
    std::size_t first = 0;
    while (first < text.size() && blank(text[first])) ++first;
    return text.substr(first);
}

THotMoment NewMoment(int player1, int player2, const char* what) {
    THotMoment moment;
    moment.Player1 = player1;
    moment.Player2 = player2;
    moment.Action = what;
    return moment;
}

// Distance between two cars in metres, held in single precision; height does not count.
float GroundDistance(const TPlayerPos& a, const TPlayerPos& b) {
    // Each coordinate over 65536 is exact in a double, and so is their difference.
    const double dx = a.X / kMapUnitsPerMetre - b.X / kMapUnitsPerMetre;
    const double dy = a.Y / kMapUnitsPerMetre - b.Y / kMapUnitsPerMetre;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

// Cars further apart than this along one axis (map units) are surely further apart than the threshold: the
// margin covers the rounding of the distance to single precision many times over. Nothing for thresholds that
// are not finite, which then go through the exact test alone.
std::optional<std::int64_t> AxisLimit(float threshold) {
    if (!std::isfinite(threshold)) return std::nullopt;
    if (threshold < 0) return -1;
    return static_cast<std::int64_t>(threshold * kMapUnitsPerMetre * (1.0 + 1e-5)) + 2;
}

void DetectClosePlayers(const std::vector<TPlayerPos>& cars, float threshold,
                        std::vector<THotMoment>& moments) {
    const std::optional<std::int64_t> limit = AxisLimit(threshold);
    const std::size_t count = cars.size();
    // A sample holds each PLID once and the distance is symmetric, so of the ordered pairs (A, B) and (B, A)
    // the one met first, with A earlier in Cars, is the one that is kept.
    for (std::size_t a = 0; a < count; ++a) {
        const TPlayerPos& carA = cars[a];
        for (std::size_t b = a + 1; b < count; ++b) {
            const TPlayerPos& carB = cars[b];
            if (limit) {
                if (std::llabs(std::int64_t{carA.X} - carB.X) > *limit) continue;
                if (std::llabs(std::int64_t{carA.Y} - carB.Y) > *limit) continue;
            }
            const float distance = GroundDistance(carA, carB);
            if (distance > threshold || !(distance > 0)) continue;
            moments.push_back(NewMoment(carA.PLID, carB.PLID, action::ClosePlayers));
        }
    }
}

}  // namespace

Thresholds Thresholds::FromSliders(int distanceRaw, int driftRaw, int angularVelocityRaw) {
    return Thresholds{static_cast<float>(distanceRaw / 10.0), static_cast<float>(driftRaw / 10.0),
                      static_cast<float>(angularVelocityRaw)};
}

float DriftAngle(const TPlayerPos& car) {
    if (car.Speed <= kDriftMinSpeed) return 0.0f;
    const int difference = std::abs(int{car.Direction} - int{car.Heading});
    const float angle = static_cast<float>(difference / static_cast<double>(kFullTurn) * 360.0);
    return angle > 180.0f ? std::fabs(angle - 360.0f) : angle;
}

void DetectMoments(const TMoment& sample, const Thresholds& thresholds, std::vector<THotMoment>& moments) {
    moments.clear();
    for (const TPlayerPos& car : sample.Cars) {
        if (DriftAngle(car) > thresholds.drift) moments.push_back(NewMoment(car.PLID, -1, action::Drift));
    }
    for (const TPlayerPos& car : sample.Cars) {
        if (static_cast<float>(std::abs(int{car.AngVel})) >= thresholds.angularVelocity) {
            moments.push_back(NewMoment(car.PLID, -1, action::AngVel));
        }
    }
    DetectClosePlayers(sample.Cars, thresholds.distance, moments);
}

std::vector<THotMoment> DetectMoments(const TMoment& sample, const Thresholds& thresholds) {
    std::vector<THotMoment> moments;
    DetectMoments(sample, thresholds, moments);
    return moments;
}

// Merges the moments of each sample into the moments that ran up to the sample before, and remembers enough
// of its work to take the newest sample back out, so that an analysis can go on where the last one ended.
//
// A moment still runs when its EndFrame is the previous sample's frame. Frames have one sample each, so those
// are exactly the moments created or extended at the previous sample, and one sample never yields two moments
// with the same action and players; a table of the last moment per action and players, stamped with the
// sample that touched it, therefore finds the same moment as a search of the whole list from its end.
class TMoments::Merger {
public:
    explicit Merger(const Thresholds& thresholds) : thresholds_(thresholds) {}

    const Thresholds& UsedThresholds() const { return thresholds_; }
    std::size_t Processed() const { return processed_; }

    void Merge(std::size_t index, int frame, std::vector<THotMoment>& found,
               std::vector<THotMoment>& moments) {
        undoSize_ = moments.size();
        undoEnds_.clear();
        undoKeys_.clear();
        undoValid_ = true;
        processed_ = index;  // until the sample is merged whole
        for (THotMoment& moment : found) {
            const Key key{ActionId(moment.Action), moment.Player1, moment.Player2};
            const auto [slot, added] = running_.try_emplace(key, Entry{});
            undoKeys_.emplace_back(key, added ? std::nullopt : std::optional<Entry>(slot->second));
            if (!added && index > 0 && slot->second.sample == index - 1) {
                THotMoment& runningMoment = moments[slot->second.moment];
                undoEnds_.emplace_back(slot->second.moment, runningMoment.EndFrame);
                runningMoment.EndFrame = frame;
                slot->second.sample = index;
                continue;
            }
            moment.StartFrame = frame;
            moment.EndFrame = frame;
            moments.push_back(std::move(moment));
            slot->second = Entry{index, moments.size() - 1};
        }
        processed_ = index + 1;
    }

    // Takes the newest merged sample back out; false when that cannot be done.
    bool TakeBackNewest(std::vector<THotMoment>& moments) {
        if (!undoValid_ || processed_ == 0) return false;
        for (auto it = undoKeys_.rbegin(); it != undoKeys_.rend(); ++it) {
            if (it->second) {
                running_[it->first] = *it->second;
            } else {
                running_.erase(it->first);
            }
        }
        for (auto it = undoEnds_.rbegin(); it != undoEnds_.rend(); ++it)
            moments[it->first].EndFrame = it->second;
        moments.resize(undoSize_);
        undoValid_ = false;
        --processed_;
        return true;
    }

private:
    struct Key {
        int action;
        int player1;
        int player2;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const {
            std::uint64_t h = static_cast<std::uint32_t>(key.action);
            h = h * 0x9E3779B97F4A7C15ull + static_cast<std::uint32_t>(key.player1);
            h = h * 0x9E3779B97F4A7C15ull + static_cast<std::uint32_t>(key.player2);
            return static_cast<std::size_t>(h ^ (h >> 29));
        }
    };
    struct Entry {
        std::size_t sample = 0;
        std::size_t moment = 0;
    };

    // Actions compare exactly, as text; each distinct text gets a number.
    int ActionId(const std::string& text) {
        for (std::size_t i = 0; i < actions_.size(); ++i) {
            if (actions_[i] == text) return static_cast<int>(i);
        }
        actions_.push_back(text);
        return static_cast<int>(actions_.size() - 1);
    }

    Thresholds thresholds_;
    std::size_t processed_ = 0;
    std::vector<std::string> actions_{action::Drift, action::AngVel, action::ClosePlayers};
    std::unordered_map<Key, Entry, KeyHash> running_;
    std::size_t undoSize_ = 0;
    std::vector<std::pair<std::size_t, int>> undoEnds_;
    std::vector<std::pair<Key, std::optional<Entry>>> undoKeys_;
    bool undoValid_ = false;
};

TMoments::TMoments()
    : detector_([](const TMoment& sample, const Thresholds& thresholds, std::vector<THotMoment>& moments) {
          DetectMoments(sample, thresholds, moments);
      }) {}

TMoments::~TMoments() = default;

void TMoments::AddCarData(int frame, const CarSlots& cars) {
    std::size_t index = 0;
    if (const auto found = sampleOfFrame_.find(frame); found != sampleOfFrame_.end()) {
        index = found->second;
    } else {
        index = samples_.size();
        samples_.push_back(TMoment{frame, {}});
        sampleOfFrame_.emplace(frame, index);
        Touch(index);
    }
    std::vector<TPlayerPos>& held = samples_[index].Cars;
    for (const TPlayerPos& car : cars) {
        const bool known = std::any_of(held.begin(), held.end(),
                                       [&](const TPlayerPos& other) { return other.PLID == car.PLID; });
        if (known) continue;
        held.push_back(car);
        Touch(index);
    }
}

void TMoments::AddPlayer(const PlayerPacket& packet) {
    if (FindPlayer(packet.PLID) != nullptr) return;
    const auto end = std::find(packet.PlayerName.begin(), packet.PlayerName.end(), '\0');
    TPlayerInfo player;
    player.PLID = packet.PLID;
    player.PlayerName = TrimBlanks(std::string(packet.PlayerName.begin(), end));
    player.Byte96 = packet.Byte96;
    players_.push_back(std::move(player));
}

const TPlayerInfo* TMoments::FindPlayer(int plid) const {
    const auto found = std::find_if(players_.begin(), players_.end(),
                                    [&](const TPlayerInfo& player) { return player.PLID == plid; });
    return found == players_.end() ? nullptr : &*found;
}

const TMoment* TMoments::FindSample(int frame) const {
    const auto found = sampleOfFrame_.find(frame);
    return found == sampleOfFrame_.end() ? nullptr : &samples_[found->second];
}

void TMoments::Clear() {
    samples_.clear();
    players_.clear();
    hotMoments_.clear();
    sampleOfFrame_.clear();
    merger_.reset();
    firstChanged_ = 0;
}

void TMoments::SetDetector(Detector detector) {
    detector_ = std::move(detector);
    merger_.reset();
}

void TMoments::Touch(std::size_t index) {
    firstChanged_ = std::min(firstChanged_, index);
}

AnalysisResult TMoments::Analyse(const Thresholds& thresholds) {
    // Go on from the last analysis when it used these thresholds and at most its newest sample has changed
    // since (more cars of that frame arrived); otherwise start again from the first sample.
    bool resume = merger_ && merger_->UsedThresholds() == thresholds;
    if (resume && firstChanged_ < merger_->Processed()) {
        resume = firstChanged_ + 1 == merger_->Processed() && merger_->TakeBackNewest(hotMoments_);
    }
    if (!resume) {
        hotMoments_.clear();
        merger_ = std::make_unique<Merger>(thresholds);
    }

    const std::size_t first = merger_->Processed();
    std::size_t index = first;
    try {
        std::vector<THotMoment> found;
        for (; index < samples_.size(); ++index) {
            detector_(samples_[index], thresholds, found);
            merger_->Merge(index, samples_[index].Frame, found, hotMoments_);
        }
    } catch (const std::exception& error) {
        // What was merged stays; the next analysis starts from the beginning again.
        merger_.reset();
        firstChanged_ = 0;
        return AnalysisResult{false,
                              "The hot-moment analysis stopped at sample " + std::to_string(index + 1) +
                                  " of " + std::to_string(samples_.size()) + ": " + error.what(),
                              index - first};
    }
    firstChanged_ = samples_.size();
    return AnalysisResult{true, {}, index - first};
}

}  // namespace kinoloop
