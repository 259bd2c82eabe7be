// SPDX-License-Identifier: MIT
#include "import/MidiConverter.h"

#include "import/ImportTables.h"
#include "model/EventList.h"
#include "model/FixedPoint.h"

namespace vellisto::import {

namespace {

    // The array grows while 64 entries are still free.
    constexpr std::uint32_t kMidiHeadroom = 64;
    constexpr std::uint32_t kDrumChannel = 9; // MIDI channel 10
    constexpr std::uint32_t kDrumBank = 127; // bank select MSB of drum sets
    constexpr std::uint32_t kDrumIdBase = 128;

    // 0..127 to the volume unit: 127 is 1024, rounded down.
    std::uint32_t Volume1024(std::uint32_t value) { return value * 1024 / 127; }

    Event MakeEvent(std::uint32_t time, EventType type, std::uint32_t data1 = 0,
        std::uint32_t data2 = 0, std::uint32_t data3 = 0)
    {
        return { kEventExists, time, EventTypeWord(type), data1, data2, data3 };
    }

    std::uint32_t Program(std::uint32_t state) { return state & 0xFF; }
    std::uint32_t BankMsb(std::uint32_t state) { return (state >> 16) & 0xFF; }

} // namespace

MidiConverter::MidiConverter(Project& project)
    : m_project(project)
    , m_mode(project.conversionMode)
    , m_stopByIdOnly(project.settings.stoppingRules == 0)
    , m_stressEnabled(project.settings.changingStress != 0)
    , m_pitchEnabled(project.settings.changingPitch != 0)
{
}

bool MidiConverter::begin()
{
    for (std::size_t c = 0; c < kMidiChannels; ++c) {
        if (!ResetEvents(m_project.tracks[c], 0))
            return false;
        m_appenders[c].emplace(m_project.tracks[c], kMidiHeadroom);
    }
    m_channelState.fill(0);
    return true;
}

MidiConverter::NoteTarget MidiConverter::noteTarget(std::uint32_t channel, std::uint32_t note) const
{
    const std::uint32_t state = m_channelState[channel];
    const bool drum = channel == kDrumChannel || BankMsb(state) == kDrumBank;
    const auto notePitch = static_cast<std::uint32_t>(NotePitch(note));
    switch (static_cast<ConversionMode>(m_mode)) {
    case ConversionMode::kDrum:
        return { note, kPitchOne };
    case ConversionMode::kAuto:
        return drum ? NoteTarget { note + kDrumIdBase, kPitchOne }
                    : NoteTarget { Program(state), notePitch };
    case ConversionMode::kAutoTrack:
        return drum ? NoteTarget { note + kDrumIdBase, kPitchOne }
                    : NoteTarget { channel, notePitch };
    case ConversionMode::kNormal:
        break;
    }
    return { Program(state), notePitch };
}

std::optional<Event> MidiConverter::toEvent(const MidiEvent& message, std::uint32_t time)
{
    const std::uint32_t channel = message.status & 0x0F;
    const std::uint32_t d1 = message.data1;
    const std::uint32_t d2 = message.data2;
    std::uint32_t& state = m_channelState[channel];
    switch (message.status & 0xF0) {
    case 0x90:
        if (d2 > 0) {
            const NoteTarget target = noteTarget(channel, d1);
            return MakeEvent(time, EventType::kPlay, target.soundId, Volume1024(d2), target.pitch);
        }
        [[fallthrough]]; // velocity 0 is a Note Off
    case 0x80: {
        const NoteTarget target = noteTarget(channel, d1);
        // "By ID" stops every voice of the sound, whatever its pitch.
        return MakeEvent(time, EventType::kStop, target.soundId, m_stopByIdOnly ? 0 : target.pitch);
    }
    case 0xB0:
        switch (d1) {
        case 0: // bank select MSB
            state = (state & 0xFF00FFFFu) | d2 << 16;
            return std::nullopt;
        case 32: // bank select LSB
            state = (state & 0xFFFF00FFu) | d2 << 8;
            return std::nullopt;
        case 7:
            return MakeEvent(time, EventType::kVolume, Volume1024(d2));
        case 10:
            return MakeEvent(time, EventType::kBalance, d2 * 8);
        case 11: {
            Event stress = MakeEvent(time, EventType::kStress, Volume1024(d2));
            if (!m_stressEnabled)
                stress.flags = kEventSelected; // dropped when the import finishes
            return stress;
        }
        case 120: // all sound off
        case 123: // all notes off
            return MakeEvent(time, EventType::kAllStop);
        default:
            return std::nullopt;
        }
    case 0xC0:
        state = (state & 0xFFFFFF00u) | d1;
        return std::nullopt;
    case 0xE0: {
        Event bend = MakeEvent(
            time, EventType::kPitch, static_cast<std::uint32_t>(BendPitch(d2 * 128 + d1)));
        if (!m_pitchEnabled)
            bend.flags = kEventSelected;
        return bend;
    }
    default: // polyphonic key pressure, channel pressure
        return std::nullopt;
    }
}

bool MidiConverter::convert(const MidiEvent& message, std::uint32_t time)
{
    const std::optional<Event> event = toEvent(message, time);
    if (!event)
        return true;
    return m_appenders[message.status & 0x0F]->append(*event);
}

bool MidiConverter::finish()
{
    for (std::size_t c = 0; c < kMidiChannels; ++c) {
        Track& track = m_project.tracks[c];
        if (!RemoveByMask(track, kEventSelected) || !SortByTime(track))
            return false;
    }
    return true;
}

} // namespace vellisto::import
