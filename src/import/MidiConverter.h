// SPDX-License-Identifier: MIT
#pragma once

// The conversion of MIDI channel messages into events: channel c (0-15)
// feeds track c. The project's conversion mode decides a note's sound ID and
// pitch; its stopping rules, stress and pitch switches adjust or drop events.
// Per-channel program and bank state lives here for one import. Events are
// appended in the order they are converted (time order); finish() removes the
// free and dropped entries and sorts each track.

#include "import/MidiReader.h"
#include "import/TrackAppender.h"
#include "model/Project.h"

#include <array>
#include <cstdint>
#include <optional>

namespace vellisto::import {

inline constexpr std::size_t kMidiChannels = 16;

class MidiConverter {
public:
    // Reads the settings that steer the conversion; tracks are not touched yet.
    explicit MidiConverter(Project& project);

    // Gives tracks 0-15 fresh empty arrays; false when out of memory.
    bool begin();

    // Converts one channel message taking effect at time (frames); false
    // when its event could not be stored.
    bool convert(const MidiEvent& message, std::uint32_t time);

    // Removes free and dropped entries from tracks 0-15 and sorts them by
    // time (stable); false when out of memory.
    bool finish();

private:
    // The event a channel message becomes, flags included (kEventSelected
    // alone for a dropped event); nullopt for messages that make no event.
    // Program and bank messages update the channel's state.
    std::optional<Event> toEvent(const MidiEvent& message, std::uint32_t time);

    struct NoteTarget {
        std::uint32_t soundId;
        std::uint32_t pitch;
    };
    NoteTarget noteTarget(std::uint32_t channel, std::uint32_t note) const;

    Project& m_project;
    std::uint32_t m_mode;
    bool m_stopByIdOnly;
    bool m_stressEnabled;
    bool m_pitchEnabled;
    // Per channel: bits 0-7 program, 8-15 bank select LSB, 16-23 bank select MSB.
    std::array<std::uint32_t, kMidiChannels> m_channelState {};
    std::array<std::optional<TrackAppender>, kMidiChannels> m_appenders;
};

} // namespace vellisto::import
