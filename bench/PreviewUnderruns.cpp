// SPDX-License-Identifier: MIT
// Underruns of the preview through a real sound server, run by hand:
//
//   vellisto-preview-underruns [SECONDS [BUFFER_FRAMES [INTERPOLATION]]]
//
// Starts a PulseAudio daemon of its own whose pipe sink plays at the pace of
// the system clock, plays the benchmarks' heaviest project (64 tracks of 16
// looping voices, "Use sinc", stereo, 44100 Hz) through the Qt Multimedia
// device for SECONDS seconds (default 60) with buffers of BUFFER_FRAMES
// frames (default 4096) and the mixing interpolation INTERPOLATION (0 none,
// 1 linear, 2 sinc low, 3 sinc: the default), and reports the underruns the server saw, the
// feeder steps that found the device dry, the feeder's longest step, and
// whether what the sink wrote equals the offline render up to where the
// preview stopped (a gap anywhere shows there). Exit status 0 when there
// were no underruns and the sound was exact, 1 otherwise, 2 when it could
// not run.

#include "BenchProject.h"
#include "audio/SincTables.h"
#include "engine/Mixer.h"
#include "preview/PreviewFeeder.h"
#include "preview/PreviewPlayer.h"
#include "support/PulseDaemon.h"
#include "ui/QtWaveOut.h"

#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using namespace vellisto;
using Clock = std::chrono::steady_clock;

void RunEvents(std::chrono::milliseconds time)
{
    const auto end = Clock::now() + time;
    while (Clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
}

// The index of the first frame with a nonzero sample.
std::size_t FirstSounding(const std::vector<std::int16_t>& samples)
{
    std::size_t i = 0;
    while (i < samples.size() && samples[i] == 0)
        ++i;
    return i / 2;
}

} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const auto bufferFrames = static_cast<std::uint32_t>(argc > 2 ? std::atoi(argv[2]) : 4096);
    if (seconds <= 0) {
        std::fprintf(stderr,
            "usage: vellisto-preview-underruns [SECONDS [BUFFER_FRAMES [INTERPOLATION]]]\n");
        return 2;
    }
    constexpr std::uint32_t kRate = 44100;
    test::PulseDaemon daemon(kRate, 2);
    if (!daemon.ok()) {
        std::fprintf(stderr, "cannot start PulseAudio: %s\n", daemon.why().c_str());
        return 2;
    }
    daemon.useForThisProcess();
    QCoreApplication app(argc, argv);
    audio::BuildSincTables();

    const auto interpolation = static_cast<Interpolation>(argc > 3 ? std::atoi(argv[3]) : 3);
    std::unique_ptr<Project> project = bench::MakeMixProject(2, interpolation);
    project->settings.bufferLength = bufferFrames;
    preview::PreviewPlayer player(*project, preview::PreviewKind::kProject);
    ui::QtWaveOut device;
    if (!player.prepare() || !device.open(player.deviceFormat(), player.bufferFrames())
        || !player.attach(device)) {
        std::fprintf(stderr, "cannot open the preview\n");
        return 2;
    }
    preview::PreviewFeeder feeder;
    player.play();
    feeder.start([&] { player.tick(); });
    RunEvents(std::chrono::seconds(seconds));
    feeder.stop();
    const std::uint32_t starved = player.starvedSteps();
    player.detach();
    RunEvents(std::chrono::milliseconds(300)); // the last state changes arrive
    const std::uint32_t underruns = device.underruns();
    const std::size_t sinkBytes = device.sinkBufferBytes();
    device.close();
    RunEvents(std::chrono::milliseconds(500));
    const std::vector<std::uint8_t> bytes = daemon.takeCapture();

    std::printf("played %d s, buffers of %u frames, server buffer %zu frames\n", seconds,
        player.bufferFrames(), sinkBytes / 4);
    std::printf("feeder: %llu steps, longest %.2f ms, priority %s\n",
        static_cast<unsigned long long>(feeder.steps()),
        static_cast<double>(feeder.longestStepNanoseconds()) / 1e6,
        feeder.priority() == preview::FeederPriority::kRealTime   ? "real-time"
            : feeder.priority() == preview::FeederPriority::kNice ? "raised nice"
                                                                  : "normal");
    std::printf("underruns reported by the server: %u\n", underruns);
    std::printf("feeder steps that found the device dry: %u\n", starved);

    // The capture from its first sounding frame against the offline render.
    std::vector<std::int16_t> captured(bytes.size() / 4 * 2);
    std::memcpy(captured.data(), bytes.data(), captured.size() * 2);
    const std::size_t from = FirstSounding(captured);
    const std::size_t frames = captured.size() / 2 - from;
    auto mix = std::make_unique<MixState>();
    engine::PrepareMix(*project, *mix, true);
    engine::SeekMix(*project, *mix, 0);
    const engine::RenderSetup setup = engine::ChooseRenderSetup(mix->settings);
    std::vector<std::int16_t> expected(frames * 2);
    engine::RenderMix(*project, *mix, setup, expected.data(), static_cast<std::uint32_t>(frames));
    // Walk both: a run of silence in the capture after which the sound goes on
    // where it stopped is a gap the listener heard (an underrun).
    std::size_t i = from;
    std::size_t j = 0;
    std::size_t gaps = 0;
    std::size_t silentFrames = 0;
    bool lost = false;
    auto same = [&](std::size_t c, std::size_t e) {
        return captured[2 * c] == expected[2 * e] && captured[2 * c + 1] == expected[2 * e + 1];
    };
    while (i < captured.size() / 2 && j < frames) {
        if (same(i, j)) {
            ++i;
            ++j;
            continue;
        }
        std::size_t zeros = 0;
        while (i + zeros < captured.size() / 2 && captured[2 * (i + zeros)] == 0
            && captured[2 * (i + zeros) + 1] == 0)
            ++zeros;
        if (i + zeros == captured.size() / 2)
            break; // the silence after the stop
        if (zeros == 0 || !same(i + zeros, j)) {
            std::printf("sound: differs from the offline render at %.3f s other than by a gap\n",
                static_cast<double>(j) / kRate);
            lost = true;
            break;
        }
        gaps += 1;
        silentFrames += zeros;
        if (gaps <= 10)
            std::printf("gap of %.3f s at %.3f s of the sound\n",
                static_cast<double>(zeros) / kRate, static_cast<double>(j) / kRate);
        i += zeros;
    }
    // The stop drops what the server still held, so the capture may end early;
    // whatever it did write must match.
    const bool exact = !lost && gaps == 0;
    std::printf(
        "sound: %.1f s compared with the offline render, %zu gaps of silence (%.3f s in all)\n",
        static_cast<double>(j) / kRate, gaps, static_cast<double>(silentFrames) / kRate);
    return underruns == 0 && starved == 0 && exact ? 0 : 1;
}
