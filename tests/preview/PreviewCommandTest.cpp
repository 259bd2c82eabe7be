// SPDX-License-Identifier: MIT
// The checks made before a preview opens, and the feeder thread.

#include "preview/PreviewCommand.h"

#include "engine/EngineTestSupport.h"
#include "preview/PreviewFeeder.h"
#include "support/ScriptedUserInterface.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace vellisto::test {
namespace {

    using preview::PreparePreview;
    using preview::PreviewKind;
    using vellisto::testing::ScriptedUserInterface;

    void Name(SoundSlot& slot, std::u16string_view name)
    {
        slot.fileName = {};
        std::copy(name.begin(), name.end(), slot.fileName.begin());
    }

    TestProject ProjectWithAMissingSound()
    {
        TestProject p(2);
        p.sound(0, std::vector<std::int16_t>(200, 100));
        Name(p.project().sounds[3], u"/nonexistent-vellisto-folder/missing.wav");
        p.play(0, 0, 0).play(1, 10, 3);
        return p;
    }

    TEST(PreparePreview, RefusesWhatCannotBePlayedWithTheMessagesOfItsCallers)
    {
        struct Case {
            const char* name;
            std::function<void(TestProject&)> damage;
            PreviewKind kind;
            std::uint32_t soundId;
            std::string message;
        };
        const Case cases[] = {
            { "circular link",
                [](TestProject& p) {
                    p.project().sounds[0].linkedId = 0;
                    p.project().sounds[0].linkingMode
                        = static_cast<std::uint32_t>(LinkingMode::kAllEvents);
                },
                PreviewKind::kProject, 0, "There is a circular reference link at sound 0." },
            { "8-bit output",
                [](TestProject& p) {
                    p.settings().outputFormat.bitsPerSample = 8;
                    CompleteOutputFormat(p.settings().outputFormat);
                },
                PreviewKind::kProject, 0,
                "The output format cannot be mixed. Use 16 bits and 1 or 2 channels." },
            { "three channels",
                [](TestProject& p) {
                    p.settings().outputFormat.channels = 3;
                    CompleteOutputFormat(p.settings().outputFormat);
                },
                PreviewKind::kProject, 0,
                "The output format cannot be mixed. Use 16 bits and 1 or 2 channels." },
            { "sound without its file", [](TestProject&) {}, PreviewKind::kSound, 3,
                "Failed in loading a WAVE file." },
            { "sound ID past the table", [](TestProject&) {}, PreviewKind::kSound, 1024,
                "Failed in loading a WAVE file." },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            TestProject p = ProjectWithAMissingSound();
            c.damage(p);
            ScriptedUserInterface ui;
            EXPECT_EQ(PreparePreview(p.project(), "", ui, c.kind, c.soundId), nullptr);
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].text, c.message);
            EXPECT_EQ(ui.messages[0].caption, TextId::kError);
        }
    }

    TEST(PreparePreview, AsksAboutEachSoundThatFailsAndGivesUpOnCancel)
    {
        for (const MessageAnswer answer : { MessageAnswer::kOk, MessageAnswer::kCancel }) {
            TestProject p = ProjectWithAMissingSound();
            ScriptedUserInterface ui;
            ui.messageAnswers.push_back(answer);
            const auto player = PreparePreview(p.project(), "", ui, PreviewKind::kProject);
            ASSERT_EQ(ui.messages.size(), 1u);
            EXPECT_EQ(ui.messages[0].text, "Failed in loading sound 3. Do you want to continue?");
            EXPECT_EQ(ui.messages[0].buttons, MessageButtons::kOkCancel);
            EXPECT_EQ(player != nullptr, answer == MessageAnswer::kOk);
            if (player != nullptr) {
                EXPECT_EQ(player->kind(), PreviewKind::kProject);
                EXPECT_EQ(player->lengthFrames(), 10u);
                EXPECT_FALSE(player->loopAvailable()); // never in project mode
                EXPECT_NE(p.project().sounds[0].samples, nullptr);
            }
        }
    }

    TEST(PreparePreview, SoundModeTakesTheSoundsFormatAndLoop)
    {
        TestProject p(1);
        SoundSlot& slot = p.sound(7, std::vector<std::int16_t>(3000, 5));
        slot.loopBegin = 10;
        slot.loopEnd = 3000;
        ScriptedUserInterface ui;
        const auto player = PreparePreview(p.project(), "", ui, PreviewKind::kSound, 7);
        ASSERT_NE(player, nullptr);
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(player->lengthFrames(), 3000u);
        EXPECT_TRUE(player->loopAvailable());
        EXPECT_EQ(player->deviceFormat().channels, 1);
        EXPECT_EQ(player->deviceFormat().blockAlign, 2);
        EXPECT_EQ(player->bufferFrames(), p.settings().bufferLength);
    }

    TEST(PreviewFeeder, RunsStepsOnItsOwnThreadUntilStopped)
    {
        preview::PreviewFeeder feeder;
        std::atomic<int> steps { 0 };
        std::atomic<bool> elsewhere { true };
        const auto caller = std::this_thread::get_id();
        ASSERT_TRUE(feeder.start([&] {
            if (std::this_thread::get_id() == caller)
                elsewhere.store(false);
            steps.fetch_add(1);
        }));
        EXPECT_TRUE(feeder.running());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (steps.load() < 3 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        feeder.stop();
        EXPECT_FALSE(feeder.running());
        EXPECT_GE(steps.load(), 3);
        EXPECT_TRUE(elsewhere.load());
        EXPECT_EQ(feeder.steps(), static_cast<std::uint64_t>(steps.load()));
        const int after = steps.load();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        EXPECT_EQ(steps.load(), after) << "no step after stop";
    }

} // namespace
} // namespace vellisto::test
