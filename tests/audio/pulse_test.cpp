// The recorder and the recording mixer against the real PulseAudio daemon with the null sink kl_sink that
// scripts/test-env.sh starts; the sound engine plays into that sink through SDL's PulseAudio driver.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <thread>

#include "audio/audio_engine.h"
#include "audio/pulse_mixer.h"
#include "audio/wave_file.h"
#include "audio/wave_recorder.h"
#include "audio_test_support.h"

namespace kinoloop {
namespace {

using testing::SoundFiles;

constexpr const char* kMonitor = "kl_sink.monitor";

class Pulse : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        testing::UseTestAudioDriver();
        testing::TestApp();
        SoundFiles::Get();
    }
    void SetUp() override {
        if (!testing::PulseAvailable()) GTEST_SKIP() << "needs the PulseAudio daemon of scripts/test-env.sh";
    }
};

// Left channel of 16-bit stereo samples, as doubles.
std::vector<double> LeftChannel(const std::vector<std::uint8_t>& samples, std::size_t first,
                                std::size_t count) {
    std::vector<double> left;
    for (std::size_t frame = first; frame < first + count && (frame + 1) * 4 <= samples.size(); ++frame) {
        const auto value = static_cast<std::int16_t>(samples[frame * 4] | (samples[frame * 4 + 1] << 8));
        left.push_back(value);
    }
    return left;
}

// Frequency of the strongest component between 50 Hz and 5 kHz, found by a plain DFT at 1 Hz steps.
double DominantFrequency(const std::vector<double>& signal, double rate) {
    double best = 0;
    double bestPower = -1;
    for (double f = 50; f <= 5000; f += 1) {
        std::complex<double> sum = 0;
        const double step = -2.0 * M_PI * f / rate;
        for (std::size_t n = 0; n < signal.size(); ++n) sum += signal[n] * std::polar(1.0, step * n);
        if (std::norm(sum) > bestPower) {
            bestPower = std::norm(sum);
            best = f;
        }
    }
    return best;
}

double Rms(const std::vector<double>& signal) {
    double sum = 0;
    for (double v : signal) sum += v * v;
    return signal.empty() ? 0 : std::sqrt(sum / signal.size());
}

TEST_F(Pulse, MixerListsTheMonitorSourceAndSetsItsVolume) {
    PulseMixer mixer;
    const int count = mixer.DestinationCount();
    ASSERT_GE(count, 1);
    int monitor = -1;
    const std::vector<RecordingSource> sources = mixer.Sources();
    for (int i = 0; i < count; ++i) {
        if (sources[static_cast<std::size_t>(i)].name == kMonitor) monitor = i;
    }
    ASSERT_NE(monitor, -1);
    EXPECT_TRUE(sources[static_cast<std::size_t>(monitor)].monitor);
    EXPECT_EQ(mixer.CurrentDestination(), monitor);  // test-env makes it the default source

    mixer.SelectDestination(monitor);
    EXPECT_EQ(mixer.SourceName(), kMonitor);
    EXPECT_FALSE(mixer.DestinationName().empty());
    // A null sink's monitor has no ports: it is its own single line.
    ASSERT_EQ(mixer.LineCount(), 1);
    EXPECT_EQ(mixer.LineName(0), mixer.DestinationName());
    EXPECT_EQ(mixer.SelectedLine(), 0);
    mixer.SelectLine(0);

    const struct {
        int set;
        int read;
    } volumes[] = {{40, 40}, {100, 100}, {150, 100}, {-5, 0}, {73, 73}};
    for (const auto& v : volumes) {
        mixer.SetLineVolume(0, v.set);
        EXPECT_EQ(mixer.LineVolume(0), v.read) << v.set;
        PulseMixer other;  // another client sees the server's value
        other.SelectDestination(monitor);
        EXPECT_EQ(other.LineVolume(0), v.read) << v.set;
    }
    mixer.SetLineVolume(0, 100);

    EXPECT_THROW(mixer.SelectDestination(count), MixerError);
    EXPECT_THROW(mixer.LineName(1), MixerError);
    EXPECT_THROW(mixer.SelectLine(-1), MixerError);
    EXPECT_THROW(mixer.LineVolume(2), MixerError);
}

TEST_F(Pulse, ToneThroughTheEngineIsRecordedFromTheMonitor) {
    WaveRecorder recorder;
    recorder.SetSource(kMonitor);
    ASSERT_EQ(recorder.Start(), "");
    QElapsedTimer wall;
    wall.start();
    ASSERT_TRUE(recorder.Recording());

    TAudioObject audio;
    ASSERT_EQ(audio.OutputDriver(), "pulseaudio");
    testing::SpinFor(300);
    ASSERT_TRUE(audio.Play(SoundFiles::Get().tone1k.string()));
    ASSERT_TRUE(testing::SpinUntil([&] { return audio.State() == TAudioEngine::kEnded; }, 6000));
    testing::SpinFor(300);
    recorder.Stop();
    const double wallMs = static_cast<double>(wall.elapsed());
    EXPECT_FALSE(recorder.Recording());

    testing::TempFolder folder;
    const auto file = folder / "track.wav";
    ASSERT_EQ(recorder.SaveWav(file), "");
    WaveData wave;
    ASSERT_EQ(ReadWaveFile(file, wave), "");
    EXPECT_EQ(wave.format.sampleRate, 22050u);
    EXPECT_EQ(wave.format.bitsPerSample, 16u);
    EXPECT_EQ(wave.format.channels, 2u);
    const double recordedMs = wave.samples.size() / 4 * 1000.0 / 22050;
    EXPECT_NEAR(recordedMs, wallMs, wallMs * 0.05);
    EXPECT_NEAR(static_cast<double>(recorder.LengthMs()), recordedMs, 1);

    // The middle of the tone: 0.3 s of it from 1.3 s after its start.
    const std::vector<double> middle =
        LeftChannel(wave.samples, static_cast<std::size_t>(22050 * 1.6), 22050 * 3 / 10);
    ASSERT_GT(Rms(middle), 1000) << "the tone did not reach the recording";
    EXPECT_NEAR(DominantFrequency(middle, 22050), 1000, 20);
}

TEST_F(Pulse, RecordingWhileNothingPlaysHoldsItsWallTime) {
    WaveRecorder recorder;  // the default source: the monitor of the idle null sink
    ASSERT_EQ(recorder.Start(), "");
    const auto started = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    recorder.Stop();
    const double wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
    EXPECT_NEAR(static_cast<double>(recorder.LengthMs()), wallMs, 100);
    EXPECT_GE(recorder.LengthMs() / 1000, 4);
    const std::vector<double> all =
        LeftChannel(recorder.Samples(), 0, static_cast<std::size_t>(recorder.FrameCount()));
    EXPECT_LT(Rms(all), 1.0);  // silence

    recorder.Clear();
    EXPECT_EQ(recorder.LengthMs(), 0);
}

TEST_F(Pulse, PreparedRecorderStartsAtOnceAndStartsAgainEmpty) {
    WaveRecorder recorder;
    recorder.SetSource(kMonitor);
    ASSERT_EQ(recorder.Prepare(), "");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(recorder.LengthMs(), 0);  // nothing is kept before Start
    const auto before = std::chrono::steady_clock::now();
    ASSERT_EQ(recorder.Start(), "");
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(200));
    std::this_thread::sleep_for(std::chrono::seconds(1));
    recorder.Stop();
    EXPECT_NEAR(static_cast<double>(recorder.LengthMs()), 1000, 60);

    ASSERT_EQ(recorder.Start(), "");
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    recorder.Stop();
    EXPECT_NEAR(static_cast<double>(recorder.LengthMs()), 500, 60);
}

TEST_F(Pulse, UnknownSourceIsReported) {
    WaveRecorder recorder;
    recorder.SetSource("no_such_source");
    const std::string error = recorder.Start();
    EXPECT_NE(error.find("no_such_source"), std::string::npos) << error;
    EXPECT_FALSE(recorder.Recording());
}

TEST(NoSoundServer, EverythingFailsAndTheProgramGoesOn) {
    // A server address where nobody listens stands for a machine without a sound server.
    const char* previous = std::getenv("PULSE_SERVER");
    const std::string kept = previous != nullptr ? previous : "";
    setenv("PULSE_SERVER", "unix:/nonexistent/kinoloop-no-server", 1);
    PulseMixer mixer;
    EXPECT_THROW(mixer.DestinationCount(), MixerError);
    EXPECT_THROW(mixer.SetLineVolume(0, 50), MixerError);
    WaveRecorder recorder;
    EXPECT_NE(recorder.Start(), "");
    EXPECT_FALSE(recorder.Recording());
    EXPECT_EQ(recorder.LengthMs(), 0);

    // The engine asked for PulseAudio gets none: it plays into a silent output, and measuring, playing and
    // the end timer go on working.
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    const std::string keptDriver = driver != nullptr ? driver : "";
    setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    testing::TestApp();
    {
        TAudioObject audio;
        EXPECT_FALSE(audio.HasOutputDevice());
        EXPECT_EQ(audio.OutputDriver(), "dummy");
        const auto& wav = SoundFiles::Get().wav;
        EXPECT_NEAR(audio.FileLengthMs(wav.string()), 1300, 50);
        ASSERT_TRUE(audio.Play(wav.string()));
        EXPECT_TRUE(testing::SpinUntil([&] { return audio.State() == TAudioEngine::kEnded; }, 4000));
    }
    setenv("SDL_AUDIODRIVER", keptDriver.c_str(), 1);
    if (previous != nullptr) {
        setenv("PULSE_SERVER", kept.c_str(), 1);
    } else {
        unsetenv("PULSE_SERVER");
    }
}

}  // namespace
}  // namespace kinoloop
