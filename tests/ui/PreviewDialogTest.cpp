// SPDX-License-Identifier: MIT
// The preview dialog's wiring, over a fake device: its controls, Play and
// Stop reaching the player and its feeder thread, the slider while stopped,
// the loop box, the device's failures and closing while playing. Runs under
// Qt's off-screen platform.

#include "engine/EngineTestSupport.h"
#include "preview/FakeWaveOut.h"
#include "preview/PreviewPlayer.h"
#include "ui/CPreviewDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QThread>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>

namespace vellisto::test {
namespace {

    using preview::PreviewKind;
    using preview::PreviewPlayer;
    using ui::CPreviewDlg;

    // Runs the event loop until the condition holds; false after 20 s.
    bool WaitFor(const std::function<bool()>& condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(2);
        }
        return true;
    }

    // Lends the dialog a fake the test keeps, so that it can be looked at
    // after the dialog has closed its device.
    class LentDevice final : public preview::WaveOut {
    public:
        explicit LentDevice(FakeWaveOut& fake)
            : m_fake(fake)
        {
        }
        bool write(const std::uint8_t* data, std::size_t bytes) override
        {
            return m_fake.write(data, bytes);
        }
        std::size_t freeBytes() override { return m_fake.freeBytes(); }
        std::uint64_t framesPlayed() override { return m_fake.framesPlayed(); }
        void pause() override { m_fake.pause(); }
        bool restart() override { return m_fake.restart(); }
        bool reset() override { return m_fake.reset(); }
        void close() override { m_fake.close(); }

    private:
        FakeWaveOut& m_fake;
    };

    ui::WaveOutOpener Lend(FakeWaveOut& fake, OutputFormat* opened = nullptr)
    {
        return [&fake, opened](const OutputFormat& format, std::uint32_t) {
            if (opened != nullptr)
                *opened = format;
            return std::make_unique<LentDevice>(fake);
        };
    }

    TestProject LongProject()
    {
        TestProject p(2);
        p.settings().bufferLength = 1024;
        p.sound(0, std::vector<std::int16_t>(2 * 200000, 1000));
        p.play(0, 0, 0).event(1, 441000, EventType::kAllStop); // ten seconds
        return p;
    }

    TEST(PreviewDialog, ShowsItsControlsAndPlaysAndStopsThroughTheFeeder)
    {
        TestProject p = LongProject();
        PreviewPlayer player(p.project(), PreviewKind::kProject);
        ASSERT_TRUE(player.prepare());
        FakeWaveOut fake(4);
        OutputFormat opened {};
        CPreviewDlg dialog(player, nullptr, Lend(fake, &opened));
        ASSERT_TRUE(dialog.start());
        dialog.show();

        EXPECT_EQ(dialog.windowTitle(), "Preview");
        EXPECT_TRUE(dialog.playButton()->isDefault());
        EXPECT_EQ(dialog.stopButton()->text(), "Stop");
        EXPECT_EQ(dialog.loopBox()->text(), "Enable the Loop");
        EXPECT_FALSE(dialog.loopBox()->isEnabled()) << "no loop in project mode";
        EXPECT_EQ(dialog.slider()->minimum(), 0);
        EXPECT_EQ(dialog.slider()->maximum(), 0x7FFF);
        EXPECT_TRUE(QFontInfo(dialog.status()->font()).fixedPitch());
        EXPECT_EQ(dialog.status()->text(),
            "Time 00:00.000 / 00:10.000\nActive track    0\nPolyphony       0");
        EXPECT_EQ(opened.channels, 2);
        EXPECT_EQ(opened.samplesPerSecond, 44100u);

        // Play: the feeder thread queues two buffers (the fake plays nothing)
        // and the display timer shows the live counters.
        dialog.playButton()->click();
        EXPECT_TRUE(player.playing());
        ASSERT_TRUE(WaitFor([&] { return fake.writes.load() >= 2; }));
        ASSERT_TRUE(WaitFor([&] { return dialog.status()->text().contains("Active track    1"); }))
            << dialog.status()->text().toStdString();

        dialog.stopButton()->click();
        EXPECT_FALSE(player.playing());
        EXPECT_EQ(fake.pauses, 1);
        EXPECT_EQ(fake.queuedFrames(), 0u) << "reset on Stop";

        // Stopped: the user's slider sets the time shown at the next update.
        dialog.slider()->setValue(0x7FFF / 2);
        ASSERT_TRUE(WaitFor([&] { return dialog.status()->text().startsWith("Time 00:04.999"); }))
            << dialog.status()->text().toStdString();
        // Stop again rewinds and moves the slider home.
        dialog.stopButton()->click();
        EXPECT_EQ(dialog.slider()->value(), 0);
        EXPECT_TRUE(dialog.status()->text().startsWith("Time 00:00.000"));

        // Closing while playing ends the feeder and hands the device back closed.
        dialog.playButton()->click();
        ASSERT_TRUE(WaitFor([&] { return fake.writes.load() >= 4; }));
        dialog.done(QDialog::Rejected);
        EXPECT_FALSE(dialog.feeder().running());
        EXPECT_TRUE(fake.closed);
        EXPECT_FALSE(player.playing());
        const int writes = fake.writes.load();
        QThread::msleep(40);
        EXPECT_EQ(fake.writes.load(), writes);
    }

    TEST(PreviewDialog, OffersTheLoopOnlyForASoundWithAPlayableLoop)
    {
        for (const bool playable : { true, false }) {
            TestProject p(1);
            SoundSlot& slot = p.sound(4, std::vector<std::int16_t>(5000, 10));
            slot.loopBegin = 100;
            slot.loopEnd = playable ? 5000 : 5001;
            PreviewPlayer player(p.project(), PreviewKind::kSound, 4);
            ASSERT_TRUE(player.prepare());
            FakeWaveOut fake(2);
            CPreviewDlg dialog(player, nullptr, Lend(fake));
            ASSERT_TRUE(dialog.start());
            EXPECT_EQ(dialog.loopBox()->isEnabled(), playable);
            EXPECT_FALSE(dialog.loopBox()->isChecked());
            EXPECT_TRUE(dialog.status()->text().endsWith(
                QString("\nPosition          0\nLoop 100 - %1").arg(slot.loopEnd)))
                << dialog.status()->text().toStdString();
        }
    }

    TEST(PreviewDialog, SaysWhichPartOfTheDeviceFailed)
    {
        TestProject p = LongProject();
        {
            PreviewPlayer player(p.project(), PreviewKind::kProject);
            ASSERT_TRUE(player.prepare());
            CPreviewDlg dialog(player, nullptr, [](const OutputFormat&, std::uint32_t) {
                return std::unique_ptr<preview::WaveOut>();
            });
            QStringList shown;
            dialog.setErrorReporter([&](const QString& text) { shown << text; });
            EXPECT_FALSE(dialog.start());
            EXPECT_EQ(shown, QStringList { "WAVE出力のオープンに失敗しました。" });
            EXPECT_EQ(CPreviewDlg::kErrorCaption, "エラー");
        }
        {
            // A sound whose frames have no bytes leaves nothing to allocate buffers for.
            SoundSlot& slot = p.sound(9, std::vector<std::int16_t>(100, 1));
            slot.dataFormat.blockAlign = 0;
            PreviewPlayer player(p.project(), PreviewKind::kSound, 9);
            ASSERT_TRUE(player.prepare());
            FakeWaveOut fake(1);
            CPreviewDlg dialog(player, nullptr, Lend(fake));
            QStringList shown;
            dialog.setErrorReporter([&](const QString& text) { shown << text; });
            EXPECT_FALSE(dialog.start());
            EXPECT_EQ(shown, QStringList { "バッファメモリの割り当てに失敗しました。" });
            EXPECT_TRUE(fake.closed);
        }
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
