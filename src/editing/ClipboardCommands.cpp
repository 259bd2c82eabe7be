// SPDX-License-Identifier: MIT
#include "editing/ClipboardCommands.h"

#include "audio/WaveReader.h"
#include "document/Document.h"
#include "editing/ClipboardBlocks.h"
#include "editing/EditDialogs.h"
#include "model/Clipboard.h"
#include "model/EventList.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <span>
#include <vector>

namespace vellisto::editing {

namespace {

    Track* TargetTrack(const EditContext& context)
    {
        Project* project = context.document.project();
        if (project == nullptr || context.track >= kTrackCount)
            return nullptr;
        return &project->tracks[context.track];
    }

    SoundSlot* TargetSound(Ctest122Doc& document, std::uint32_t soundId)
    {
        Project* project = document.project();
        return project ? project->findSound(soundId) : nullptr;
    }

    // The pasted list as the block holds it, flags' selected bit cleared and
    // times moved by base (modulo 2^32), sorted so that the merge sees a
    // sorted list even when the block was not. Valid blocks are sorted already.
    bool ReadPastedEvents(std::span<const std::uint8_t> block, std::uint32_t base, Track& pasted)
    {
        if (!ReadEventsBlock(block, pasted))
            return false;
        for (std::uint32_t i = 0; i < pasted.count; ++i) {
            pasted.events[i].flags &= ~kEventSelected;
            pasted.events[i].time += base;
        }
        return SortByTime(pasted);
    }

    // The common road of both event pastes: check the block, record the undo
    // step, merge. shifted selects the event views' base time and ceiling.
    void Paste(const EditContext& context, Clipboard& clipboard, bool shifted)
    {
        Track* track = TargetTrack(context);
        if (track == nullptr)
            return;
        const auto block = clipboard.block();
        if (!block || !IsEventsBlock(*block))
            return;
        RecordUndoStep(context.document, context.ui, false);

        std::uint32_t base = 0;
        if (shifted && track->count > 0) {
            const std::uint32_t index
                = context.cursor < track->count ? context.cursor : track->count - 1;
            base = track->events[index].time;
        }
        Track pasted;
        // Equal times keep the track's events first: pasted events follow existing ones.
        if (ReadPastedEvents(*block, base, pasted) && MergeEvents(*track, pasted)) {
            if (shifted)
                ApplyTimeCeiling(*track);
        } else {
            ShowError(context.ui, TextId::kOutOfMemoryDataLost);
        }
        context.document.UpdateAllViews();
    }

    // Builds a block and hands it to the clipboard. A clipboard that cannot
    // be written, or a block that cannot be built for want of memory, leaves
    // the clipboard as it was, silently.
    template <class MakeBlock> void SetBlock(Clipboard& clipboard, MakeBlock makeBlock)
    {
        try {
            clipboard.setBlock(makeBlock());
        } catch (const std::bad_alloc&) {
            // Nothing was copied; the user's data is untouched.
        }
    }

} // namespace

void CopySelectedEvents(const EditContext& context, Clipboard& clipboard)
{
    const Track* track = TargetTrack(context);
    if (track == nullptr)
        return;
    const std::span<const Event> events(track->events.get(), track->count);
    const auto wanted = [](const Event& event) {
        constexpr std::uint32_t kWanted = kEventExists | kEventSelected;
        return (event.flags & kWanted) == kWanted;
    };
    if (std::none_of(events.begin(), events.end(), wanted)) {
        ShowError(context.ui, TextId::kNoDataToCopy);
        return;
    }
    SetBlock(clipboard, [&] {
        std::vector<Event> copied;
        std::copy_if(events.begin(), events.end(), std::back_inserter(copied), wanted);
        const std::uint32_t first = copied.front().time;
        for (Event& event : copied)
            event.time -= first;
        return WriteEventsBlock(copied);
    });
}

void PasteEvents(const EditContext& context, Clipboard& clipboard)
{
    Paste(context, clipboard, true);
}

void CopyTrack(const EditContext& context, Clipboard& clipboard)
{
    const Track* track = TargetTrack(context);
    if (track == nullptr)
        return;
    if (track->count == 0) {
        ShowError(context.ui, TextId::kNoDataToCopy);
        return;
    }
    SetBlock(clipboard, [track] {
        return WriteEventsBlock({ track->events.get(), track->count });
    });
}

void PasteIntoTrack(const EditContext& context, Clipboard& clipboard)
{
    Paste(context, clipboard, false);
}

void ClearTrack(const EditContext& context)
{
    Track* track = TargetTrack(context);
    if (track == nullptr)
        return;
    RecordUndoStep(context.document, context.ui, false);
    if (!ResetEvents(*track, 0))
        ShowError(context.ui, TextId::kOutOfMemoryDataLost);
    context.document.UpdateAllViews();
}

void CopySound(Ctest122Doc& document, Clipboard& clipboard, std::uint32_t soundId)
{
    if (const SoundSlot* slot = TargetSound(document, soundId))
        SetBlock(clipboard, [slot] { return WriteSoundBlock(*slot); });
}

void PasteSound(Ctest122Doc& document, Messages& ui, Clipboard& clipboard, std::uint32_t soundId)
{
    SoundSlot* slot = TargetSound(document, soundId);
    if (slot == nullptr)
        return;
    const auto block = clipboard.block();
    const auto sound = block ? ReadSoundBlock(*block) : std::nullopt;
    if (!sound)
        return;
    RecordUndoStep(document, ui, false);
    audio::FreeSampleData(*slot);
    slot->fileName = sound->fileName;
    slot->setWords(sound->words);
    document.UpdateAllViews();
}

void ClearSound(Ctest122Doc& document, Messages& ui, std::uint32_t soundId)
{
    SoundSlot* slot = TargetSound(document, soundId);
    if (slot == nullptr)
        return;
    RecordUndoStep(document, ui, false);
    audio::FreeSampleData(*slot);
    slot->fileName = {};
    slot->setWords({});
    document.UpdateAllViews();
}

} // namespace vellisto::editing
