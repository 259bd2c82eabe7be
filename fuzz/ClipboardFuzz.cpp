// SPDX-License-Identifier: MIT
// Any bytes on the clipboard pasted as events (into an event view and into
// the track list) and as a sound must be refused or taken whole: the tracks
// stay sorted and end with the sentinel, event-view pastes keep every time at
// most 0x7FFFFFFF, pasted events arrive unselected, a pasted name always ends
// inside its field, and undoing every step gives back the project as it was.
//
// Input: byte 0 the cursor row, byte 1 the number of events already on the
// tracks (low three bits), then the clipboard block.

#include "FuzzSupport.h"
#include "document/Document.h"
#include "editing/ClipboardBlocks.h"
#include "editing/ClipboardCommands.h"
#include "model/EventList.h"
#include "model/ProjectFile.h"

#include <cstdint>
#include <vector>

using namespace vellisto;
using namespace vellisto::editing;
using fuzz::Check;

namespace {

constexpr std::uint32_t kViewTrack = 0;
constexpr std::uint32_t kListTrack = 1;
constexpr std::uint32_t kSound = 5;

void Fill(Track& track, std::uint32_t count)
{
    Check(ResetEvents(track, count));
    for (std::uint32_t i = 0; i < count; ++i)
        track.events[i] = { kEventExists, i * 1000, 0, i, 1024, 1u << 24 };
}

bool NoneSelected(const Track& track)
{
    for (std::uint32_t i = 0; i < track.count; ++i) {
        if ((track.events[i].flags & kEventSelected) != 0)
            return false;
    }
    return true;
}

bool AllWithinEditTimes(const Track& track)
{
    for (std::uint32_t i = 0; i < track.count; ++i) {
        if (track.events[i].time > kMaxEditTime)
            return false;
    }
    return true;
}

// An event list survives a trip through an events block unchanged.
void CheckBlockRoundTrip(const Track& track)
{
    Track back;
    Check(ReadEventsBlock(WriteEventsBlock({ track.events.get(), track.count }), back));
    Check(back.count == track.count);
    for (std::uint32_t i = 0; i < track.count; ++i) {
        const Event& a = track.events[i];
        const Event& b = back.events[i];
        Check(a.flags == b.flags && a.time == b.time && a.type == b.type && a.data1 == b.data1
            && a.data2 == b.data2 && a.data3 == b.data3);
    }
}

Ctest122Doc& Document()
{
    static Ctest122Doc* const doc = [] {
        auto* made = new Ctest122Doc;
        fuzz::SilentUserInterface ui;
        Check(made->newDocument(ui));
        return made;
    }();
    return *doc;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::InputSplitter input(data, size);
    const std::uint32_t cursor = input.byte();
    const std::uint32_t existing = input.byte() & 7u;
    const std::vector<std::uint8_t> block(input.rest().begin(), input.rest().end());

    // One document for every input (a project is large); each input starts
    // from the same state: no undo steps, the two tracks filled, the sound empty.
    fuzz::SilentUserInterface ui;
    Ctest122Doc& doc = Document();
    doc.undoHistory().clear();
    Project* project = doc.project();
    Fill(project->tracks[kViewTrack], existing);
    Fill(project->tracks[kListTrack], existing);
    project->sounds[kSound].fileName = {};
    project->sounds[kSound].setWords({});
    const std::vector<std::uint8_t> before = SerializeProjectFile(*project);

    fuzz::BlockClipboard clipboard(block);
    const bool eventsBlock = IsEventsBlock(block);
    Track expected;
    const bool readable = ReadEventsBlock(block, expected);
    Check(readable == eventsBlock);
    const std::uint32_t pasted = readable ? expected.count : 0;

    PasteEvents({ doc, ui, kViewTrack, cursor }, clipboard);
    project = doc.project();
    const Track& view = project->tracks[kViewTrack];
    Check(fuzz::IsSortedWithSentinel(view));
    Check(view.count == existing + pasted);
    Check(AllWithinEditTimes(view));
    Check(NoneSelected(view));

    PasteIntoTrack({ doc, ui, kListTrack, 0 }, clipboard);
    const Track& list = project->tracks[kListTrack];
    Check(fuzz::IsSortedWithSentinel(list));
    Check(list.count == existing + pasted);
    Check(NoneSelected(list));
    CheckBlockRoundTrip(list);

    const auto soundBlock = ReadSoundBlock(block);
    PasteSound(doc, ui, clipboard, kSound);
    const SoundSlot& slot = project->sounds[kSound];
    Check(slot.fileName.back() == 0);
    if (soundBlock) {
        Check(slot.fileName == soundBlock->fileName);
        Check(slot.words() == soundBlock->words);
    } else {
        Check(slot.empty() && slot.words() == SoundWords {});
    }

    while (doc.Undo()) { }
    Check(SerializeProjectFile(*doc.project()) == before);
    return 0;
}
