// SPDX-License-Identifier: MIT
#include "model/UndoHistory.h"

#include "document/Document.h"
#include "model/EventList.h"
#include "support/CountingView.h"
#include "support/ScriptedUserInterface.h"

#include <gtest/gtest.h>

using namespace vellisto;
using vellisto::testing::CountingView;
using vellisto::testing::ScriptedUserInterface;

namespace {

class UndoHistoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui.compatibilityAnswers.push_back(DefaultCompatibilityChoice());
        ASSERT_TRUE(doc.newDocument(ui));
    }

    // One plain edit: record, then change the master volume.
    void Edit(std::uint32_t volume, bool merge = false)
    {
        RecordUndoStep(doc, ui, merge);
        doc.project()->settings.masterVolume = volume;
    }

    std::uint32_t Volume() const { return doc.project()->settings.masterVolume; }

    ScriptedUserInterface ui;
    Ctest122Doc doc;
};

} // namespace

TEST_F(UndoHistoryTest, EightOfNineEditsCanBeUndone)
{
    for (std::uint32_t i = 1; i <= 9; ++i)
        Edit(i);
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(doc.canUndo());
        EXPECT_TRUE(doc.Undo());
    }
    EXPECT_FALSE(doc.canUndo());
    EXPECT_FALSE(doc.Undo());
    EXPECT_EQ(Volume(), 1u); // the state after the first edit
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(doc.Redo());
    EXPECT_FALSE(doc.canRedo());
    EXPECT_EQ(Volume(), 9u);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(UndoHistoryTest, NewEditAfterUndoDropsTheRedoSteps)
{
    Edit(1);
    Edit(2);
    EXPECT_FALSE(doc.canRedo());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Volume(), 1u);
    EXPECT_TRUE(doc.canRedo());

    Edit(3);
    EXPECT_FALSE(doc.canRedo());
    EXPECT_FALSE(doc.Redo());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Volume(), 1u);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Volume(), 1024u);
    EXPECT_FALSE(doc.canUndo());
    ASSERT_TRUE(doc.Redo());
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(Volume(), 3u); // the undone 2 is gone
}

TEST_F(UndoHistoryTest, MergingClicksShareOneStepUntilAnotherEditIntervenes)
{
    ProjectSettings& settings = doc.project()->settings;
    ASSERT_EQ(settings.mixingInterpolation, 1u);
    for (int click = 0; click < 3; ++click) {
        RecordUndoStep(doc, ui, true);
        doc.project()->settings.mixingInterpolation
            = (doc.project()->settings.mixingInterpolation + 1) % 4;
    }
    EXPECT_EQ(doc.project()->settings.mixingInterpolation, 0u);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.project()->settings.mixingInterpolation, 1u);
    EXPECT_FALSE(doc.canUndo());

    // A plain step ends the run, and so does an undo.
    Edit(5, true);
    Edit(6, false);
    Edit(7, true);
    Edit(8, true);
    EXPECT_EQ(doc.undoHistory().cursor() - doc.undoHistory().oldest(), 3u);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Volume(), 6u);
    Edit(9, true);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Volume(), 6u);
}

TEST_F(UndoHistoryTest, SnapshotsKeepTrackFlagsButNotSamplesOrConversionMode)
{
    Project& before = *doc.project();
    before.tracks[3].flags = kTrackSolo;
    ASSERT_TRUE(InsertSorted(before.tracks[3], { kEventExists, 100, 0, 1, 1024, 1u << 24 }));
    before.conversionMode = 2;
    before.sounds[4].samples = AllocateSampleBlock(16);
    before.sounds[4].sampleBytes = 16;
    before.sounds[4].fileName[0] = u'a';

    RecordUndoStep(doc, ui, false);
    doc.project()->tracks[3].flags = kTrackMuted;
    ASSERT_TRUE(ResetEvents(doc.project()->tracks[3], 0));
    doc.project()->sounds[4].fileName[0] = u'b';

    ASSERT_TRUE(doc.Undo());
    const Project& restored = *doc.project();
    EXPECT_EQ(restored.tracks[3].flags, kTrackSolo);
    ASSERT_EQ(restored.tracks[3].count, 1u);
    EXPECT_EQ(restored.tracks[3].events[0].time, 100u);
    EXPECT_EQ(restored.sounds[4].fileName[0], u'a');
    EXPECT_EQ(restored.sounds[4].samples, nullptr);
    EXPECT_EQ(restored.sounds[4].sampleBytes, 0u);
    EXPECT_EQ(restored.conversionMode, 0u);

    // Redo brings back the very record that was current, samples and all.
    ASSERT_TRUE(doc.Redo());
    EXPECT_NE(doc.project()->sounds[4].samples, nullptr);
    EXPECT_EQ(doc.project()->sounds[4].fileName[0], u'b');
}

TEST_F(UndoHistoryTest, UndoAndRedoMarkModifiedAndUpdateViews)
{
    CountingView view;
    doc.addView(view);
    Edit(1);
    doc.setModified(false);
    ASSERT_TRUE(doc.Undo());
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(view.updates, 1);
    doc.setModified(false);
    ASSERT_TRUE(doc.Redo());
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(view.updates, 2);
    doc.removeView(view);
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(view.updates, 2);
}

TEST_F(UndoHistoryTest, MergedStepAfterSaveStillMarksTheDocumentModified)
{
    Edit(1, true);
    doc.setModified(false); // as a save does
    Edit(2, true);
    EXPECT_TRUE(doc.isModified());
}

TEST_F(UndoHistoryTest, OutOfMemoryReportsAndLetsTheEditGoOn)
{
    Edit(1);
    doc.undoHistory().setRecordFactory([] { return std::unique_ptr<Project> {}; });
    doc.setModified(false);
    EXPECT_FALSE(RecordUndoStep(doc, ui, false));
    doc.project()->settings.masterVolume = 2;

    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
        "Failed in allocating memory space. Undo of this operation does not work.");
    EXPECT_EQ(ui.messages[0].caption, TextId::kError);
    EXPECT_TRUE(doc.isModified());
    // The earlier step is still there and leads back past the unrecorded edit.
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(Volume(), 1024u);
}

TEST_F(UndoHistoryTest, OutOfMemoryNeverLeavesAnEmptySlotReachable)
{
    // A full ring: the slot freed for the failed step held the oldest step.
    for (std::uint32_t i = 1; i <= 8; ++i)
        Edit(i);
    doc.undoHistory().setRecordFactory([] { return std::unique_ptr<Project> {}; });
    Edit(100);
    int undos = 0;
    while (doc.Undo())
        ++undos;
    EXPECT_EQ(undos, 7);
    EXPECT_EQ(Volume(), 1u);
    ASSERT_NE(doc.project(), nullptr);

    // With redo steps: the freed slot held the first of them.
    doc.undoHistory().setRecordFactory(nullptr);
    Edit(200);
    Edit(201);
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.Undo());
    ASSERT_TRUE(doc.canRedo());
    doc.undoHistory().setRecordFactory([] { return std::unique_ptr<Project> {}; });
    Edit(300);
    EXPECT_FALSE(doc.canRedo());
    EXPECT_FALSE(doc.Redo());
    EXPECT_EQ(Volume(), 300u);
}
