// SPDX-License-Identifier: MIT
// The preview through the real back end: a PulseAudio daemon of the test's
// own plays into a pipe sink clocked by the system clock, the preview dialog
// plays a short project through Qt Multimedia into it, and what the sink
// wrote must be the offline render, frame for frame, apart from the silence
// before and after. Skips only when the daemon cannot start.

#include "engine/EngineTestSupport.h"
#include "preview/PreviewCommand.h"
#include "support/PulseDaemon.h"
#include "support/ScriptedUserInterface.h"
#include "ui/CPreviewDlg.h"
#include "ui/QtWaveOut.h"

#include <QApplication>
#include <QPushButton>
#include <QThread>
#include <chrono>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>

namespace vellisto::test {
namespace {

    constexpr std::uint32_t kRate = 44100;

    bool WaitFor(const std::function<bool()>& condition, std::chrono::seconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(2);
        }
        return true;
    }

    void Pause(std::chrono::milliseconds time)
    {
        WaitFor([start = std::chrono::steady_clock::now(),
                    time] { return std::chrono::steady_clock::now() - start >= time; },
            std::chrono::seconds(60));
    }

    // Frames without the all-zero frames before the first and after the last sounding one.
    std::vector<std::int16_t> Trimmed(
        const std::vector<std::int16_t>& samples, std::size_t channels)
    {
        std::size_t first = 0;
        std::size_t last = samples.size() / channels;
        auto silent = [&](std::size_t frame) {
            for (std::size_t c = 0; c < channels; ++c)
                if (samples[frame * channels + c] != 0)
                    return false;
            return true;
        };
        while (first < last && silent(first))
            ++first;
        while (last > first && silent(last - 1))
            --last;
        return { samples.begin() + static_cast<std::ptrdiff_t>(first * channels),
            samples.begin() + static_cast<std::ptrdiff_t>(last * channels) };
    }

    // First frame at which two renders differ, for the failure message.
    std::string FirstDifference(
        const std::vector<std::int16_t>& a, const std::vector<std::int16_t>& b)
    {
        const std::size_t n = std::min(a.size(), b.size());
        for (std::size_t i = 0; i < n; ++i)
            if (a[i] != b[i])
                return "first difference at sample " + std::to_string(i) + ": "
                    + std::to_string(a[i]) + " vs " + std::to_string(b[i]);
        return "lengths " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    }

    TEST(PreviewThroughPulseAudio, WhatTheSinkPlaysIsTheOfflineRender)
    {
        PulseDaemon daemon(kRate, 2);
        if (!daemon.ok())
            GTEST_SKIP() << "no PulseAudio daemon of the test's own: " << daemon.why();
        daemon.useForThisProcess();

        // About a second of sound with a sinc kernel, pitches and two tracks,
        // sounding from its first frame; the preview ends one second later.
        TestProject p(2);
        p.settings().mixingInterpolation = static_cast<std::uint32_t>(Interpolation::kSinc);
        std::vector<std::int16_t> tone(2 * 12000);
        for (std::size_t i = 0; i < tone.size(); ++i)
            tone[i] = static_cast<std::int16_t>(((i * 7919) % 20001) - 10000);
        p.sound(0, tone);
        p.sound(1, std::vector<std::int16_t>(tone.rbegin(), tone.rend()));
        p.play(0, 0, 0).play(1, 9000, 1, 700, kPitchOne + kPitchOne / 3);
        p.play(0, 20000, 1, 800, kPitchOne - kPitchOne / 5).play(1, 30000, 0, 1024);
        const std::uint32_t length = 30000;

        testing::ScriptedUserInterface messages;
        const auto player
            = preview::PreparePreview(p.project(), "", messages, preview::PreviewKind::kProject);
        ASSERT_NE(player, nullptr);
        ui::CPreviewDlg dialog(*player);
        QStringList errors;
        dialog.setErrorReporter([&](const QString& text) { errors << text; });
        ASSERT_TRUE(dialog.start()) << errors.join(' ').toStdString();
        const auto* device = dynamic_cast<const ui::QtWaveOut*>(dialog.device());
        ASSERT_NE(device, nullptr);
        dialog.show();

        dialog.playButton()->click();
        ASSERT_TRUE(player->playing());
        // It ends by itself one second past the last event; the display timer
        // completes the stop.
        ASSERT_TRUE(WaitFor([&] { return !player->playing(); }, std::chrono::seconds(30)))
            << "the preview did not end";
        Pause(std::chrono::milliseconds(300));
        EXPECT_EQ(device->underruns(), 0u);
        EXPECT_EQ(player->starvedSteps(), 0u);
        dialog.done(QDialog::Accepted);
        Pause(std::chrono::milliseconds(500)); // the sink writes what it still holds
        const std::vector<std::uint8_t> bytes = daemon.takeCapture();
        ASSERT_FALSE(bytes.empty()) << "the sink wrote nothing";

        std::vector<std::int16_t> captured(bytes.size() / 2);
        std::memcpy(captured.data(), bytes.data(), captured.size() * 2);
        captured.resize(captured.size() / 2 * 2);
        const std::vector<std::int16_t> heard = Trimmed(captured, 2);
        const std::vector<std::int16_t> expected = Trimmed(p.render(length + kRate, true), 2);
        ASSERT_FALSE(expected.empty());
        EXPECT_TRUE(heard == expected) << FirstDifference(heard, expected) << "; captured "
                                       << captured.size() / 2 << " frames";
    }

} // namespace
} // namespace vellisto::test

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
