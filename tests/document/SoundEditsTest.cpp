// SPDX-License-Identifier: MIT
#include "document/SoundEdits.h"

#include "audio/AudioTestUtil.h"
#include "audio/WaveReader.h"
#include "document/Document.h"
#include "document/NameField.h"
#include "support/CountingView.h"
#include "support/NewDocument.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace vellisto;
using vellisto::testing::CountingView;
using vellisto::testing::MakeNewDocument;
using vellisto::testing::ScriptedUserInterface;
using vellisto::testing::UndoSteps;

namespace {

constexpr std::uint32_t kId = 7;

class SoundEdits : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MakeNewDocument(doc, ui, 44100, 1));
        doc.addView(view);
        SoundSlot& s = slot();
        StoreNameText(s.fileName, u"\\drums\\kick.wav");
        s.setWords({ 700, 3u << 23, 100, 200, 2, 9, 1, 10, 20, 30, 40, 50 });
        Load();
    }
    void TearDown() override { doc.removeView(view); }

    SoundSlot& slot() { return doc.project()->sounds[kId]; }
    void Load() { test::SetSamples(slot(), doc.project()->settings.outputFormat, { 1, 2, 3 }); }

    ScriptedUserInterface ui;
    Ctest122Doc doc;
    CountingView view;
};

} // namespace

TEST_F(SoundEdits, LoadStartsThePlainSettingsOfANewFile)
{
    AssignSoundFile(doc, ui, kId, u"/samples/snare.wav");
    const SoundSlot& s = slot();
    EXPECT_EQ(NameText(s.fileName), u"/samples/snare.wav");
    EXPECT_EQ(s.loopBegin, 0xFFFFFFFFu);
    EXPECT_EQ(s.loopEnd, 0xFFFFFFFFu);
    EXPECT_EQ(s.volume, 1024u);
    EXPECT_EQ(s.pitch, 0x1000000u);
    // The rest of the settings stay as they were.
    EXPECT_EQ(s.stopEventMode, 2u);
    EXPECT_EQ(s.linkedId, 9u);
    EXPECT_EQ(s.releaseTime, 30u);
    EXPECT_EQ(s.reserved2, 50u);
    EXPECT_EQ(s.samples, nullptr);
    EXPECT_EQ(s.sampleBytes, 0u);
    EXPECT_EQ(UndoSteps(doc), 1u);
    EXPECT_EQ(view.updates, 1);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(NameText(slot().fileName), u"\\drums\\kick.wav");
    EXPECT_EQ(slot().volume, 700u);
}

TEST_F(SoundEdits, ClearTouchesTheNameOnly)
{
    const SoundWords before = slot().words();
    ClearSoundFile(doc, ui, kId);
    EXPECT_TRUE(slot().empty());
    EXPECT_EQ(slot().fileName, Name {});
    EXPECT_EQ(slot().words(), before);
    EXPECT_EQ(slot().samples, nullptr);
    EXPECT_EQ(UndoSteps(doc), 1u);
}

TEST_F(SoundEdits, TypedNamesAreStoredAsTheyAreButCut)
{
    const SoundWords before = slot().words();
    RenameSoundFile(doc, ui, kId, u"no such file.wav");
    EXPECT_EQ(NameText(slot().fileName), u"no such file.wav");
    EXPECT_EQ(slot().words(), before);
    EXPECT_EQ(slot().samples, nullptr);

    const std::u16string longName(400, u'x');
    RenameSoundFile(doc, ui, kId, longName);
    EXPECT_EQ(NameText(slot().fileName).size(), 259u);
    EXPECT_EQ(slot().fileName[259], 0);
    // An embedded zero ends the name.
    RenameSoundFile(doc, ui, kId, std::u16string(u"a\0b", 3));
    EXPECT_EQ(NameText(slot().fileName), u"a");
    EXPECT_EQ(slot().fileName[2], 0);
}

TEST_F(SoundEdits, NumbersGoToTheirOwnFields)
{
    struct Case {
        SoundNumber number;
        std::uint32_t SoundSlot::*field;
    };
    const Case cases[] = {
        { SoundNumber::kLoopBegin, &SoundSlot::loopBegin },
        { SoundNumber::kLoopEnd, &SoundSlot::loopEnd },
        { SoundNumber::kVolume, &SoundSlot::volume },
        { SoundNumber::kPitch, &SoundSlot::pitch },
        { SoundNumber::kLinkedId, &SoundSlot::linkedId },
        { SoundNumber::kAttackTime, &SoundSlot::attackTime },
        { SoundNumber::kSustainTime, &SoundSlot::sustainTime },
        { SoundNumber::kReleaseTime, &SoundSlot::releaseTime },
    };
    std::uint32_t value = 1000;
    for (const Case& c : cases) {
        const SoundWords expected = slot().words();
        StoreSoundNumber(doc, ui, kId, c.number, value);
        EXPECT_EQ(slot().*c.field, value);
        // Every other word is unchanged.
        const SoundWords after = slot().words();
        std::size_t changed = 0;
        for (std::size_t i = 0; i < after.size(); ++i)
            changed += after[i] != expected[i];
        EXPECT_EQ(changed, 1u) << static_cast<int>(c.number);
        ++value;
    }
    // Numbers leave the samples alone: only the file and the format matter to them.
    EXPECT_NE(slot().samples, nullptr);
    StoreSoundNumber(doc, ui, 1024, SoundNumber::kVolume, 1);
    EXPECT_EQ(UndoSteps(doc), 8u);
}

TEST_F(SoundEdits, ModesCycleThroughFourWithMergingSteps)
{
    slot().stopEventMode = 0;
    slot().linkingMode = 7; // only a damaged file holds this
    for (int i = 0; i < 4; ++i)
        CycleSoundMode(doc, ui, kId, SoundCycle::kStopEventMode);
    EXPECT_EQ(slot().stopEventMode, 0u);
    CycleSoundMode(doc, ui, kId, SoundCycle::kLinkingMode);
    EXPECT_EQ(slot().linkingMode, 0u);
    EXPECT_EQ(UndoSteps(doc), 1u);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(slot().linkingMode, 7u);
}

TEST(BaseFrequency, PitchIsTheTruncatedQuotientOrNothing)
{
    struct Case {
        double hertz;
        bool accepted;
        std::uint32_t pitch;
    };
    const Case cases[] = {
        { 440.0, true, 16777216 }, { 220.0, true, 33554432 }, { 880.0, true, 8388608 },
        { 1000.0, true, 7381975 }, // truncated
        { 1.0, true, static_cast<std::uint32_t>(7381975040ull & 0xFFFFFFFF) }, // low 32 bits
        { 0.0, false, 0 }, { -440.0, false, 0 }, { std::nan(""), false, 0 },
        { 1e-300, false, 0 }, // the quotient has no 64-bit value
    };
    for (const Case& c : cases) {
        std::uint32_t pitch = 0;
        EXPECT_EQ(PitchForBaseFrequency(c.hertz, pitch), c.accepted) << c.hertz;
        if (c.accepted) {
            EXPECT_EQ(pitch, c.pitch) << c.hertz;
        }
    }
}

TEST_F(SoundEdits, TypedBaseFrequencySetsThePitch)
{
    EXPECT_TRUE(SetBaseFrequency(doc, ui, kId, 220.0));
    EXPECT_EQ(slot().pitch, 33554432u);
    EXPECT_FALSE(SetBaseFrequency(doc, ui, kId, 0.0));
    EXPECT_EQ(slot().pitch, 33554432u);
    EXPECT_EQ(UndoSteps(doc), 1u);
}

TEST_F(SoundEdits, MeasuredBaseFrequencyBecomesThePitch)
{
    // Two seconds of a 441 Hz sine at 44100 Hz, as the preparation leaves it.
    std::vector<int> sine;
    for (int i = 0; i < 88200; ++i)
        sine.push_back(static_cast<int>(std::lround(20000.0 * std::sin(2 * M_PI * i / 100.0))));
    test::SetSamples(slot(), doc.project()->settings.outputFormat, sine);
    slot().loopBegin = slot().loopEnd = 0xFFFFFFFF;

    ASSERT_TRUE(MeasureBaseFrequency(doc, ui, kId));
    EXPECT_TRUE(ui.messages.empty());
    const double hertz = 7381975040.0 / slot().pitch;
    EXPECT_NEAR(hertz, 441.0, 1.0);
    EXPECT_EQ(UndoSteps(doc), 1u);
}

TEST_F(SoundEdits, MeasuringFailuresOnlyShowTheirMessage)
{
    // Silence: no cycles to count.
    test::SetSamples(slot(), doc.project()->settings.outputFormat, std::vector<int>(4000, 0));
    EXPECT_FALSE(MeasureBaseFrequency(doc, ui, kId));
    EXPECT_EQ(ui.lastMessage().text, "Failed in determining base frequency.");
    EXPECT_EQ(ui.lastMessage().caption, TextId::kError);

    // A file that cannot be read.
    audio::FreeSampleData(slot());
    StoreNameText(slot().fileName, u"/nonexistent/vellisto/a.wav");
    EXPECT_FALSE(MeasureBaseFrequency(doc, ui, kId));
    EXPECT_EQ(ui.lastMessage().text, "Failed in loading a WAVE file.");
    EXPECT_EQ(slot().pitch, 3u << 23);
    EXPECT_EQ(UndoSteps(doc), 0u);
    EXPECT_EQ(view.updates, 0);
}
