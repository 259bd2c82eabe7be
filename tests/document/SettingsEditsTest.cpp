// SPDX-License-Identifier: MIT
#include "document/SettingsEdits.h"

#include "audio/AudioTestUtil.h"
#include "document/Document.h"
#include "document/NameField.h"
#include "support/CountingView.h"
#include "support/NewDocument.h"

#include <gtest/gtest.h>
#include <string>

using namespace vellisto;
using vellisto::testing::CountingView;
using vellisto::testing::MakeNewDocument;
using vellisto::testing::ScriptedUserInterface;
using vellisto::testing::UndoSteps;

namespace {

class SettingsEdits : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MakeNewDocument(doc, ui));
        doc.addView(view);
    }
    void TearDown() override { doc.removeView(view); }

    ProjectSettings& settings() { return doc.project()->settings; }

    // Gives sound 3 samples in the output format, as a mix would leave them.
    void LoadSound()
    {
        test::SetSamples(doc.project()->sounds[3], settings().outputFormat, { 1, 2, 3, 4 });
    }
    bool SoundLoaded() { return doc.project()->sounds[3].samples != nullptr; }

    ScriptedUserInterface ui;
    Ctest122Doc doc;
    CountingView view;
};

} // namespace

TEST_F(SettingsEdits, DefaultKeepsTheWholeOutputFormatAndTheLoadedSounds)
{
    ASSERT_TRUE(ChangeOutputFormatTo(doc, ui, 22050, 16, 1));
    OutputFormat& format = settings().outputFormat;
    format.extraSize = 7; // a field the dialog never shows
    ProjectSettings& s = settings();
    s.bufferLength = 8192;
    s.mixingInterpolation = 3;
    s.loadingInterpolation = 0;
    s.soundCountPerTrack = 2;
    s.playingPriority = 0;
    s.stoppingRules = 0;
    s.changingStress = 0;
    s.changingPitch = 0;
    s.positionWord = 99;
    s.masterVolume = 3;
    s.masterBalance = 0;
    s.reserved[0] = 5;
    StoreNameText(s.basePath, u"/kits");
    LoadSound();
    const std::uint32_t steps = UndoSteps(doc);
    const int updates = view.updates;

    ResetSettingsToDefault(doc, ui);

    const ProjectSettings defaults;
    EXPECT_EQ(s.bufferLength, 4096u);
    EXPECT_EQ(s.mixingInterpolation, 1u);
    EXPECT_EQ(s.loadingInterpolation, 3u);
    EXPECT_EQ(s.soundCountPerTrack, 16u);
    EXPECT_EQ(s.playingPriority, 1u);
    EXPECT_EQ(s.stoppingRules, 1u);
    EXPECT_EQ(s.changingStress, 1u);
    EXPECT_EQ(s.changingPitch, 1u);
    EXPECT_EQ(s.positionWord, 0u);
    EXPECT_EQ(s.masterVolume, 1024u);
    EXPECT_EQ(s.masterBalance, 512u);
    EXPECT_EQ(s.reserved, defaults.reserved);
    EXPECT_TRUE(NameText(s.basePath).empty());
    EXPECT_EQ(format.samplesPerSecond, 22050u);
    EXPECT_EQ(format.channels, 1u);
    EXPECT_EQ(format.bitsPerSample, 16u);
    EXPECT_EQ(format.blockAlign, 2u);
    EXPECT_EQ(format.averageBytesPerSecond, 44100u);
    EXPECT_EQ(format.extraSize, 7u);
    EXPECT_TRUE(SoundLoaded()); // the cache is not cleared
    EXPECT_EQ(UndoSteps(doc), steps + 1);
    EXPECT_EQ(view.updates, updates + 1);

    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.project()->settings.bufferLength, 8192u);
    EXPECT_EQ(NameText(doc.project()->settings.basePath), u"/kits");
}

TEST_F(SettingsEdits, ClicksCycleAndAreUndoneTogether)
{
    struct Case {
        SettingsCycle cycle;
        std::uint32_t ProjectSettings::*field;
        std::uint32_t period; // clicks until the first value returns
    };
    const Case cases[] = {
        { SettingsCycle::kMixingInterpolation, &ProjectSettings::mixingInterpolation, 4 },
        { SettingsCycle::kLoadingInterpolation, &ProjectSettings::loadingInterpolation, 4 },
        { SettingsCycle::kPlayingPriority, &ProjectSettings::playingPriority, 2 },
        { SettingsCycle::kStoppingRules, &ProjectSettings::stoppingRules, 2 },
        { SettingsCycle::kChangingStress, &ProjectSettings::changingStress, 2 },
        { SettingsCycle::kChangingPitch, &ProjectSettings::changingPitch, 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.cycle));
        ASSERT_TRUE(MakeNewDocument(doc, ui));
        const std::uint32_t first = settings().*c.field;
        CycleSetting(doc, ui, c.cycle);
        EXPECT_NE(settings().*c.field, first);
        for (std::uint32_t i = 1; i < c.period; ++i)
            CycleSetting(doc, ui, c.cycle);
        EXPECT_EQ(settings().*c.field, first);
        CycleSetting(doc, ui, c.cycle); // one past the start
        EXPECT_EQ(UndoSteps(doc), 1u);
        ASSERT_TRUE(doc.Undo());
        EXPECT_EQ(settings().*c.field, first);
        EXPECT_FALSE(doc.canUndo());
    }
}

TEST_F(SettingsEdits, APlainStepEndsARunOfClicks)
{
    CycleSetting(doc, ui, SettingsCycle::kMixingInterpolation);
    StoreSettingNumber(doc, ui, SettingsNumber::kSoundCountPerTrack, 8);
    CycleSetting(doc, ui, SettingsCycle::kMixingInterpolation);
    CycleSetting(doc, ui, SettingsCycle::kMixingInterpolation);
    EXPECT_EQ(UndoSteps(doc), 3u);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(settings().mixingInterpolation, 2u);
    EXPECT_EQ(settings().soundCountPerTrack, 8u);
}

TEST_F(SettingsEdits, OnlyLoadingInterpolationAndBasePathClearTheCache)
{
    LoadSound();
    CycleSetting(doc, ui, SettingsCycle::kMixingInterpolation);
    StoreSettingNumber(doc, ui, SettingsNumber::kBufferLength, 8192);
    EXPECT_TRUE(SoundLoaded());
    CycleSetting(doc, ui, SettingsCycle::kLoadingInterpolation);
    EXPECT_FALSE(SoundLoaded());
    LoadSound();
    SetBasePathText(doc, ui, u"kits");
    EXPECT_FALSE(SoundLoaded());
    LoadSound();
    SetBasePathFolder(doc, ui, "/home/someone/kits");
    EXPECT_FALSE(SoundLoaded());
}

TEST_F(SettingsEdits, NumbersAreValidatedAfterStoring)
{
    struct Case {
        SettingsNumber number;
        std::uint32_t value;
        std::uint32_t stored;
    };
    const Case cases[] = {
        { SettingsNumber::kBufferLength, 5000, 4096 },
        { SettingsNumber::kBufferLength, 0x2000, 8192 },
        { SettingsNumber::kBufferLength, 0, 1024 },
        { SettingsNumber::kBufferLength, 70000, 65536 },
        { SettingsNumber::kSoundCountPerTrack, 0, 0 }, // kept: every track stays silent
        { SettingsNumber::kSoundCountPerTrack, 65, 64 },
        { SettingsNumber::kMasterVolume, 2, 2 },
        { SettingsNumber::kMasterVolume, 300000, 262144 },
        { SettingsNumber::kMasterBalance, 0xFFFFFFFB, 0 }, // -5
        { SettingsNumber::kMasterBalance, 2000, 1024 },
    };
    for (const Case& c : cases) {
        StoreSettingNumber(doc, ui, c.number, c.value);
        const ProjectSettings& s = settings();
        const std::uint32_t stored = c.number == SettingsNumber::kBufferLength ? s.bufferLength
            : c.number == SettingsNumber::kSoundCountPerTrack ? s.soundCountPerTrack
            : c.number == SettingsNumber::kMasterVolume       ? s.masterVolume
                                                              : s.masterBalance;
        EXPECT_EQ(stored, c.stored) << c.value;
    }
    EXPECT_EQ(UndoSteps(doc), 8u); // one plain step each, eight kept
}

TEST_F(SettingsEdits, OutputFormatRescalesTimesOrIsRefusedWithoutAStep)
{
    doc.project()->sounds[0].loopBegin = 44100;
    LoadSound();
    ASSERT_TRUE(ChangeOutputFormatTo(doc, ui, 22050, 8, 1));
    const OutputFormat& format = settings().outputFormat;
    EXPECT_EQ(format.samplesPerSecond, 22050u);
    EXPECT_EQ(format.bitsPerSample, 8u);
    EXPECT_EQ(format.channels, 1u);
    EXPECT_EQ(format.blockAlign, 1u);
    EXPECT_EQ(format.averageBytesPerSecond, 22050u);
    EXPECT_EQ(format.formatTag, kFormatPcm);
    EXPECT_EQ(doc.project()->sounds[0].loopBegin, 22050u);
    EXPECT_FALSE(SoundLoaded());
    EXPECT_EQ(UndoSteps(doc), 1u);

    struct Refused {
        std::uint32_t rate, bits, channels;
    };
    for (const Refused r : { Refused { 0, 16, 2 }, Refused { 16777216, 16, 2 },
             Refused { 44100, 0, 2 }, Refused { 44100, 16, 0 }, Refused { 44100, 65536, 1 },
             Refused { 44100, 16, 70000 }, Refused { 16777215, 16, 65535 } }) {
        EXPECT_FALSE(ChangeOutputFormatTo(doc, ui, r.rate, r.bits, r.channels))
            << r.rate << " " << r.bits << " " << r.channels;
    }
    EXPECT_EQ(format.samplesPerSecond, 22050u);
    EXPECT_EQ(UndoSteps(doc), 1u);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.project()->settings.outputFormat.samplesPerSecond, 44100u);
    EXPECT_EQ(doc.project()->sounds[0].loopBegin, 44100u);
}

TEST_F(SettingsEdits, BasePathIsCutTo259UnitsAtACharacterBoundary)
{
    const std::u16string longPath(300, u'a');
    SetBasePathText(doc, ui, longPath);
    EXPECT_EQ(NameText(settings().basePath), longPath.substr(0, 259));
    EXPECT_EQ(settings().basePath[259], 0);

    // A character of two units that would be split at 259 is left out whole.
    std::u16string pair(258, u'b');
    pair += u"\U0001F3B5tail";
    SetBasePathFolder(doc, ui, "/x"); // a plain step between the merging ones
    SetBasePathText(doc, ui, pair);
    EXPECT_EQ(NameText(settings().basePath), pair.substr(0, 258));

    SetBasePathFolder(doc, ui, "/home/\xE9\x9F\xB3/kits");
    EXPECT_EQ(NameText(settings().basePath), u"/home/\u97F3/kits");
}

TEST_F(SettingsEdits, TypedBasePathsMergeChosenFoldersDoNot)
{
    SetBasePathText(doc, ui, u"a");
    SetBasePathText(doc, ui, u"b");
    EXPECT_EQ(UndoSteps(doc), 1u);
    SetBasePathFolder(doc, ui, "/c");
    SetBasePathFolder(doc, ui, "/d");
    EXPECT_EQ(UndoSteps(doc), 3u);
}

TEST(SettingsEditsWithoutProject, ChangeNothing)
{
    ScriptedUserInterface ui;
    Ctest122Doc doc;
    ResetSettingsToDefault(doc, ui);
    CycleSetting(doc, ui, SettingsCycle::kChangingPitch);
    StoreSettingNumber(doc, ui, SettingsNumber::kBufferLength, 1);
    EXPECT_FALSE(ChangeOutputFormatTo(doc, ui, 44100, 16, 2));
    SetBasePathText(doc, ui, u"x");
    SetBasePathFolder(doc, ui, "x");
    EXPECT_FALSE(doc.isModified());
    EXPECT_TRUE(ui.messages.empty());
}
