// SPDX-License-Identifier: MIT
#include "document/SoundEdits.h"

#include "audio/BaseFrequency.h"
#include "audio/WaveReader.h"
#include "document/Document.h"
#include "document/NameField.h"
#include "mix/SoundCache.h"
#include "model/FixedPoint.h"

#include <cmath>

namespace vellisto {

namespace {

    constexpr std::uint32_t kModeCount = 4;

    SoundSlot* Slot(Ctest122Doc& document, std::uint32_t soundId)
    {
        Project* project = document.project();
        return project != nullptr ? project->findSound(soundId) : nullptr;
    }

    void UpdateSoundViews(Ctest122Doc& document, std::uint32_t soundId)
    {
        document.UpdateAllViews(UpdateHint { UpdateScope::kSound, soundId });
    }

    std::uint32_t& Field(SoundSlot& slot, SoundNumber number)
    {
        switch (number) {
        case SoundNumber::kLoopBegin:
            return slot.loopBegin;
        case SoundNumber::kLoopEnd:
            return slot.loopEnd;
        case SoundNumber::kVolume:
            return slot.volume;
        case SoundNumber::kPitch:
            return slot.pitch;
        case SoundNumber::kLinkedId:
            return slot.linkedId;
        case SoundNumber::kAttackTime:
            return slot.attackTime;
        case SoundNumber::kSustainTime:
            return slot.sustainTime;
        case SoundNumber::kReleaseTime:
            break;
        }
        return slot.releaseTime;
    }

} // namespace

void AssignSoundFile(
    Ctest122Doc& document, Messages& messages, std::uint32_t soundId, std::u16string_view name)
{
    SoundSlot* slot = Slot(document, soundId);
    if (slot == nullptr)
        return;
    RecordUndoStep(document, messages, false);
    audio::FreeSampleData(*slot);
    StoreNameText(slot->fileName, name);
    // A new file starts plain: its own pitch, full volume, no loop.
    slot->loopBegin = kNoLoop;
    slot->loopEnd = kNoLoop;
    slot->volume = static_cast<std::uint32_t>(kVolumeOne);
    slot->pitch = kPitchOne;
    UpdateSoundViews(document, soundId);
}

void ClearSoundFile(Ctest122Doc& document, Messages& messages, std::uint32_t soundId)
{
    SoundSlot* slot = Slot(document, soundId);
    if (slot == nullptr)
        return;
    RecordUndoStep(document, messages, false);
    audio::FreeSampleData(*slot);
    slot->fileName = {};
    UpdateSoundViews(document, soundId);
}

void RenameSoundFile(
    Ctest122Doc& document, Messages& messages, std::uint32_t soundId, std::u16string_view name)
{
    SoundSlot* slot = Slot(document, soundId);
    if (slot == nullptr)
        return;
    RecordUndoStep(document, messages, false);
    audio::FreeSampleData(*slot);
    StoreNameText(slot->fileName, name);
    UpdateSoundViews(document, soundId);
}

void StoreSoundNumber(Ctest122Doc& document, Messages& messages, std::uint32_t soundId,
    SoundNumber number, std::uint32_t value)
{
    SoundSlot* slot = Slot(document, soundId);
    if (slot == nullptr)
        return;
    RecordUndoStep(document, messages, false);
    Field(*slot, number) = value;
    UpdateSoundViews(document, soundId);
}

void CycleSoundMode(
    Ctest122Doc& document, Messages& messages, std::uint32_t soundId, SoundCycle mode)
{
    SoundSlot* slot = Slot(document, soundId);
    if (slot == nullptr)
        return;
    RecordUndoStep(document, messages, true);
    std::uint32_t& value
        = mode == SoundCycle::kStopEventMode ? slot->stopEventMode : slot->linkingMode;
    value = (value + 1) % kModeCount;
    UpdateSoundViews(document, soundId);
}

bool PitchForBaseFrequency(double hertz, std::uint32_t& pitch)
{
    if (!(hertz > 0.0))
        return false;
    const double quotient = std::trunc(audio::kBaseFrequencyScale / hertz);
    // 2^64 is exact in a double; anything from there on has no low 32 bits to keep.
    if (!(quotient < 18446744073709551616.0))
        return false;
    pitch = static_cast<std::uint32_t>(static_cast<std::uint64_t>(quotient));
    return true;
}

bool SetBaseFrequency(
    Ctest122Doc& document, Messages& messages, std::uint32_t soundId, double hertz)
{
    SoundSlot* slot = Slot(document, soundId);
    std::uint32_t pitch = 0;
    if (slot == nullptr || !PitchForBaseFrequency(hertz, pitch))
        return false;
    RecordUndoStep(document, messages, false);
    slot->pitch = pitch;
    UpdateSoundViews(document, soundId);
    return true;
}

bool MeasureBaseFrequency(Ctest122Doc& document, Messages& messages, std::uint32_t soundId)
{
    Project* project = document.project();
    if (project == nullptr || project->findSound(soundId) == nullptr)
        return false;
    if (!mix::PrepareSound(*project, document.pathName(), soundId)) {
        ShowError(messages, TextId::kFailedLoadingWave);
        return false;
    }
    SoundSlot& slot = project->sounds[soundId];
    const std::uint32_t pitch = audio::DetermineBaseFrequency(slot, slot.loopBegin, slot.loopEnd);
    if (pitch == 0) {
        ShowError(messages, TextId::kFailedBaseFrequency);
        return false;
    }
    RecordUndoStep(document, messages, false);
    slot.pitch = pitch;
    UpdateSoundViews(document, soundId);
    return true;
}

} // namespace vellisto
