// SPDX-License-Identifier: MIT
#include "views/SoundEditPanel.h"

#include "audio/AudioTestUtil.h"
#include "document/Document.h"
#include "document/NameField.h"
#include "support/CountingView.h"
#include "support/NewDocument.h"

#include <gtest/gtest.h>

using namespace vellisto;
using namespace vellisto::views;
using vellisto::testing::CountingView;
using vellisto::testing::MakeNewDocument;
using vellisto::testing::ScriptedUserInterface;
using vellisto::testing::UndoSteps;

namespace {

constexpr std::uint32_t kId = 12;

class SoundEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(MakeNewDocument(doc, ui, 44100, 2));
        doc.addView(view);
        Refresh();
    }
    void TearDown() override { doc.removeView(view); }

    SoundSlot& slot() { return doc.project()->sounds[kId]; }
    void Refresh() { panel.update(&slot(), 44100); }
    SoundEditOutcome Run(SoundEditItem item)
    {
        const SoundEditOutcome outcome
            = RunSoundEditItem(item, doc, kId, ui, ui, ui, panel.modes());
        Refresh();
        return outcome;
    }
    void Enter(SoundEditItem item, const std::string& text)
    {
        ui.inputAnswers.push_back(text);
        Run(item);
    }
    std::u16string Line(SoundEditItem item) const
    {
        return panel.cells()[static_cast<std::size_t>(item)].text;
    }

    ScriptedUserInterface ui;
    Ctest122Doc doc;
    CountingView view;
    SoundEditPanel panel;
};

} // namespace

TEST_F(SoundEdit, EighteenItemsShowingAnEmptySlot)
{
    struct Expected {
        CellKind kind;
        std::int32_t left, top, right, bottom;
        std::u16string text;
    };
    const Expected expected[kSoundEditCellCount] = {
        { CellKind::kButton, 0, 0, 100, 20, u"Load" },
        { CellKind::kButton, 100, 0, 200, 20, u"Waveform" },
        { CellKind::kButton, 200, 0, 300, 20, u"Preview" },
        { CellKind::kButton, 300, 0, 400, 20, u"Clear" },
        { CellKind::kButton, 400, 0, 500, 20, u"Close" },
        { CellKind::kText, 0, 20, 640, 40, u"(No file)" },
        { CellKind::kText, 0, 40, 640, 60, u"Beginning of loop            0" },
        { CellKind::kText, 0, 60, 640, 80, u"End of loop                  0" },
        { CellKind::kText, 0, 80, 640, 100, u"Volume                  0.0000" },
        { CellKind::kText, 0, 100, 640, 120, u"Pitch                   0.0000" },
        { CellKind::kButton, 0, 120, 200, 140, u"Determine Base Frequency" },
        { CellKind::kText, 0, 140, 640, 160, u"Base frequency      " },
        { CellKind::kText, 0, 160, 640, 180, u"Stop event mode           Normal" },
        { CellKind::kText, 0, 180, 640, 200, u"Linked ID                    0" },
        { CellKind::kText, 0, 200, 640, 220, u"Linking mode              Disabled" },
        { CellKind::kText, 0, 220, 640, 240, u"Attack time                  0" },
        { CellKind::kText, 0, 240, 640, 260, u"Sustain time                 0" },
        { CellKind::kText, 0, 260, 640, 280, u"Release time                 0" },
    };
    for (std::size_t i = 0; i < kSoundEditCellCount; ++i) {
        SCOPED_TRACE(i);
        const PanelCell& cell = panel.cells()[i];
        const Expected& e = expected[i];
        EXPECT_EQ(cell.kind, e.kind);
        EXPECT_EQ(cell.left, e.left);
        EXPECT_EQ(cell.top, e.top);
        EXPECT_EQ(cell.right, e.right);
        EXPECT_EQ(cell.bottom, e.bottom);
        EXPECT_EQ(cell.text, e.text);
        EXPECT_EQ(cell.colour1, ColourFromNumber(e.kind == CellKind::kButton ? 0xC0C0C0 : 0));
        EXPECT_EQ(panel.itemOfCell(i), static_cast<SoundEditItem>(i));
    }
    EXPECT_EQ(SoundEditTitle(kId, u"a.spj"), u"Sound Settings Sound 12 [a.spj]");
}

TEST_F(SoundEdit, LinesByTimeAndBySample)
{
    SoundSlot& s = slot();
    StoreNameText(s.fileName, u"\\kit\\\u97F3.wav");
    s.setWords({ 512, 1u << 23, 0xFFFFFFFF, 65536, 3, 1023, 3, 44100, 2646000, 22, 0, 0 });
    Refresh();
    EXPECT_EQ(Line(SoundEditItem::kFileName), u"\\kit\\\u97F3.wav");
    EXPECT_EQ(Line(SoundEditItem::kLoopBegin), u"Beginning of loop   4294967295");
    EXPECT_EQ(Line(SoundEditItem::kLoopEnd), u"End of loop              65536");
    EXPECT_EQ(Line(SoundEditItem::kVolume), u"Volume                  0.5000");
    EXPECT_EQ(Line(SoundEditItem::kPitch), u"Pitch                   0.5000");
    EXPECT_EQ(Line(SoundEditItem::kBaseFrequency), u"Base frequency        880.0000");
    EXPECT_EQ(Line(SoundEditItem::kStopEventMode), u"Stop event mode           Keep loop");
    EXPECT_EQ(Line(SoundEditItem::kLinkedId), u"Linked ID                 1023");
    EXPECT_EQ(Line(SoundEditItem::kLinkingMode), u"Linking mode              Stop");
    EXPECT_EQ(Line(SoundEditItem::kAttackTime), u"Attack time              44100");

    ASSERT_TRUE(panel.runMenuCommand(kShowBySampleCommand));
    Refresh();
    EXPECT_EQ(Line(SoundEditItem::kLoopBegin), u"Beginning of loop    1623:11.548");
    EXPECT_EQ(Line(SoundEditItem::kLoopEnd), u"End of loop          00:01.486");
    EXPECT_EQ(Line(SoundEditItem::kAttackTime), u"Attack time          00:01.000");
    EXPECT_EQ(Line(SoundEditItem::kSustainTime), u"Sustain time         01:00.000");
    EXPECT_EQ(Line(SoundEditItem::kReleaseTime), u"Release time         00:00.000");
    // Volume and the modes look the same in both.
    EXPECT_EQ(Line(SoundEditItem::kVolume), u"Volume                  0.5000");
    EXPECT_FALSE(panel.runMenuCommand(1234));

    // Modes outside 0..3 (a damaged file) show their numbers.
    s.stopEventMode = 4;
    s.linkingMode = 0xFFFFFFFF;
    Refresh();
    EXPECT_EQ(Line(SoundEditItem::kStopEventMode), u"Stop event mode           4");
    EXPECT_EQ(Line(SoundEditItem::kLinkingMode), u"Linking mode              4294967295");
}

TEST_F(SoundEdit, TimeTextsAreFramesAtTheOutputRate)
{
    struct Case {
        SoundEditItem item;
        const char* typed;
        std::uint32_t SoundSlot::*field;
        std::uint32_t stored;
    };
    const Case cases[] = {
        { SoundEditItem::kLoopBegin, "1:30.5", &SoundSlot::loopBegin, 3991050 },
        { SoundEditItem::kLoopBegin, "2.25", &SoundSlot::loopBegin, 99225 },
        { SoundEditItem::kLoopBegin, "500", &SoundSlot::loopBegin, 500 },
        { SoundEditItem::kLoopEnd, "0:01", &SoundSlot::loopEnd, 44100 },
        { SoundEditItem::kAttackTime, "0.001", &SoundSlot::attackTime, 44 },
        { SoundEditItem::kSustainTime, "7", &SoundSlot::sustainTime, 7 },
        { SoundEditItem::kReleaseTime, "1.", &SoundSlot::releaseTime, 44100 },
    };
    for (const Case& c : cases) {
        Enter(c.item, c.typed);
        EXPECT_EQ(slot().*c.field, c.stored) << c.typed;
    }
    EXPECT_EQ(UndoSteps(doc), 7u);
    // Nothing readable: unchanged, no step, no message.
    Enter(SoundEditItem::kLoopBegin, "soon");
    EXPECT_EQ(slot().loopBegin, 500u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SoundEdit, DialogsOpenOnTheValueAsShown)
{
    slot().loopBegin = 66150;
    slot().volume = 512;
    slot().pitch = 1u << 25;
    slot().linkedId = 4;
    StoreNameText(slot().fileName, u"/a.wav");
    Run(SoundEditItem::kLoopBegin);
    Run(SoundEditItem::kVolume);
    Run(SoundEditItem::kPitch);
    Run(SoundEditItem::kBaseFrequency);
    Run(SoundEditItem::kLinkedId);
    Run(SoundEditItem::kFileName);
    panel.modes() = SoundEditModes { false, false };
    Run(SoundEditItem::kLoopBegin);
    Run(SoundEditItem::kVolume);
    Run(SoundEditItem::kPitch);
    slot().pitch = 0;
    Run(SoundEditItem::kBaseFrequency);
    const std::vector<std::string> expected { "66150", "0.500000", "2.000000", "220.000000", "4",
        "/a.wav", "00:01.500", "512", "33554432", "" };
    EXPECT_EQ(ui.inputRequests, expected);
    EXPECT_EQ(UndoSteps(doc), 0u); // all cancelled
}

TEST_F(SoundEdit, VolumePitchAndBaseFrequency)
{
    Enter(SoundEditItem::kVolume, "0.5");
    EXPECT_EQ(slot().volume, 512u);
    Enter(SoundEditItem::kVolume, "512");
    EXPECT_EQ(slot().volume, 512u);
    Enter(SoundEditItem::kPitch, "0x800000");
    EXPECT_EQ(slot().pitch, 0x800000u);
    Enter(SoundEditItem::kBaseFrequency, "220");
    EXPECT_EQ(slot().pitch, 33554432u);
    EXPECT_EQ(Line(SoundEditItem::kPitch), u"Pitch                   2.0000");
    EXPECT_EQ(Line(SoundEditItem::kBaseFrequency), u"Base frequency        220.0000");
    // Not above zero, or no number: unchanged.
    for (const char* text : { "0", "-5", "x" })
        Enter(SoundEditItem::kBaseFrequency, text);
    EXPECT_EQ(slot().pitch, 33554432u);
    Enter(SoundEditItem::kLinkedId, "0x3FF");
    EXPECT_EQ(slot().linkedId, 1023u);
    EXPECT_EQ(UndoSteps(doc), 5u);
}

TEST_F(SoundEdit, FourClicksOnStopEventModeReturnToNormalInOneStep)
{
    const char16_t* names[] = { u"Ignore", u"Forced", u"Keep loop", u"Normal" };
    for (const char16_t* name : names) {
        Run(SoundEditItem::kStopEventMode);
        EXPECT_EQ(Line(SoundEditItem::kStopEventMode),
            std::u16string(u"Stop event mode           ") + name);
    }
    const char16_t* links[] = { u"All events", u"Play", u"Stop", u"Disabled" };
    for (const char16_t* name : links) {
        Run(SoundEditItem::kLinkingMode);
        EXPECT_EQ(Line(SoundEditItem::kLinkingMode),
            std::u16string(u"Linking mode              ") + name);
    }
    EXPECT_EQ(UndoSteps(doc), 1u);
    EXPECT_EQ(view.updates, 8);
}

TEST_F(SoundEdit, LoadAsksForAWaveFileStartingAtTheCurrentOne)
{
    Run(SoundEditItem::kLoad); // Cancel
    EXPECT_EQ(UndoSteps(doc), 0u);
    EXPECT_EQ(view.updates, 0);
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].filters.size(), 2u);
    EXPECT_EQ(ui.fileRequests[0].filters[0].patterns, std::vector<std::string> { "*.wav" });
    EXPECT_TRUE(ui.fileRequests[0].startPath.empty()); // no file yet

    ui.fileAnswers.push_back(std::string("/samples/\xE9\x9F\xB3.wav"));
    Run(SoundEditItem::kLoad);
    EXPECT_EQ(Line(SoundEditItem::kFileName), u"/samples/\u97F3.wav");
    EXPECT_EQ(Line(SoundEditItem::kLoopBegin), u"Beginning of loop   4294967295");
    EXPECT_EQ(Line(SoundEditItem::kVolume), u"Volume                  1.0000");
    EXPECT_EQ(Line(SoundEditItem::kPitch), u"Pitch                   1.0000");
    EXPECT_EQ(UndoSteps(doc), 1u);

    Run(SoundEditItem::kLoad);
    EXPECT_EQ(ui.fileRequests[2].startPath, "/samples/\xE9\x9F\xB3.wav");
}

TEST_F(SoundEdit, ClearAndClose)
{
    StoreNameText(slot().fileName, u"/a.wav");
    slot().volume = 77;
    test::SetSamples(slot(), doc.project()->settings.outputFormat, { 1, 2 });
    EXPECT_EQ(Run(SoundEditItem::kClear), SoundEditOutcome::kNone);
    EXPECT_EQ(Line(SoundEditItem::kFileName), u"(No file)");
    EXPECT_EQ(slot().volume, 77u);
    EXPECT_EQ(slot().samples, nullptr);
    EXPECT_EQ(Run(SoundEditItem::kClose), SoundEditOutcome::kClose);
    EXPECT_EQ(UndoSteps(doc), 1u);
}

TEST_F(SoundEdit, WaveformAndPreviewOpenOnlyAPreparedSound)
{
    // No file: preparing fails and says so.
    EXPECT_EQ(Run(SoundEditItem::kWaveform), SoundEditOutcome::kNone);
    EXPECT_EQ(ui.lastMessage().text, "Failed in loading a WAVE file.");
    EXPECT_EQ(ui.lastMessage().caption, TextId::kError);
    EXPECT_EQ(Run(SoundEditItem::kPreview), SoundEditOutcome::kNone);
    EXPECT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(Run(SoundEditItem::kDetermineBaseFrequency), SoundEditOutcome::kNone);
    EXPECT_EQ(ui.messages.size(), 3u);

    // Samples already in the output format count as prepared.
    StoreNameText(slot().fileName, u"/a.wav");
    test::SetSamples(slot(), doc.project()->settings.outputFormat, { 1, 2 });
    EXPECT_EQ(Run(SoundEditItem::kWaveform), SoundEditOutcome::kOpenWaveform);
    EXPECT_EQ(Run(SoundEditItem::kPreview), SoundEditOutcome::kOpenPreview);
    EXPECT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(UndoSteps(doc), 0u);
}

TEST_F(SoundEdit, ATypedFileNameIsCutAndReleasesTheSamples)
{
    test::SetSamples(slot(), doc.project()->settings.outputFormat, { 1, 2 });
    Enter(SoundEditItem::kFileName, std::string(300, 'n') + ".wav");
    EXPECT_EQ(NameText(slot().fileName), std::u16string(259, u'n'));
    EXPECT_EQ(slot().samples, nullptr);
}
