// SPDX-License-Identifier: MIT
#pragma once

// A document with a new project and helpers to fill and read one track, for
// the edit command tests.

#include "document/Document.h"
#include "editing/EditOperations.h"
#include "model/EventList.h"
#include "support/FakeClipboard.h"
#include "support/ScriptedUserInterface.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

namespace vellisto::testing {

struct EventSpec {
    std::uint32_t time;
    std::uint32_t data1 = 0;
    bool selected = false;
    std::uint32_t type = 0;
};

class EditingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CompatibilityChoice choice;
        choice.rateText = "44100";
        ui.compatibilityAnswers.push_back(choice);
        ASSERT_TRUE(doc.newDocument(ui));
    }

    void SetRate(std::uint32_t rate)
    {
        doc.project()->settings.outputFormat.samplesPerSecond = rate;
        CompleteOutputFormat(doc.project()->settings.outputFormat);
    }

    Track& TrackAt(std::uint32_t index) { return doc.project()->tracks[index]; }

    void Fill(std::uint32_t index, const std::vector<EventSpec>& events)
    {
        Track& track = TrackAt(index);
        ASSERT_TRUE(ResetEvents(track, static_cast<std::uint32_t>(events.size())));
        for (std::size_t i = 0; i < events.size(); ++i) {
            const EventSpec& e = events[i];
            track.events[i] = { kEventExists | (e.selected ? kEventSelected : 0u), e.time, e.type,
                e.data1, 1024, 1u << 24 };
        }
    }

    // One word of every event of a track, in list order.
    std::vector<std::uint32_t> Column(std::uint32_t index, std::uint32_t Event::*word)
    {
        std::vector<std::uint32_t> values;
        const Track& track = TrackAt(index);
        for (std::uint32_t i = 0; i < track.count; ++i)
            values.push_back(track.events[i].*word);
        return values;
    }
    std::vector<std::uint32_t> Times(std::uint32_t index) { return Column(index, &Event::time); }
    std::vector<std::uint32_t> Data1(std::uint32_t index) { return Column(index, &Event::data1); }

    std::vector<bool> Selected(std::uint32_t index)
    {
        std::vector<bool> flags;
        const Track& track = TrackAt(index);
        for (std::uint32_t i = 0; i < track.count; ++i)
            flags.push_back((track.events[i].flags & kEventSelected) != 0);
        return flags;
    }

    std::uint32_t UndoSteps() { return doc.undoHistory().cursor() - doc.undoHistory().oldest(); }

    editing::EditContext Context(std::uint32_t track, std::uint32_t cursor = 0)
    {
        return { doc, ui, track, cursor };
    }

    ScriptedUserInterface ui;
    FakeClipboard clipboard;
    Ctest122Doc doc;
};

} // namespace vellisto::testing
