// SPDX-License-Identifier: MIT
#pragma once

// The byte level of a Standard MIDI File: the header and track chunks, and
// the events of one track read one at a time with running status. Nothing is
// ever read past the end of a chunk: a variable-length quantity or an event
// cut off by the chunk's end ends that track. No allocation per event; a
// reader works on bytes its caller keeps alive and is used by one thread.

#include "platform/ReadError.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace vellisto::import {

// The header and the bodies of the announced track chunks, as views into the
// file's bytes.
struct MidiFileLayout {
    std::uint16_t format = 0; // read, not used
    std::uint16_t trackCount = 0;
    std::uint16_t division = 0; // ticks per quarter note; a set top bit is still a tick count
    std::vector<std::span<const std::uint8_t>> tracks;
};

// Checks the header and walks exactly trackCount chunks. Bytes after the last
// announced chunk are not looked at. On failure a given reason says why, with
// the offset of the header or chunk at fault.
bool ReadMidiLayout(std::span<const std::uint8_t> file, MidiFileLayout& layout,
    platform::ReadError* reason = nullptr);

enum class MidiEventKind : std::uint8_t {
    kNothing, // skipped, or no event could be read
    kChannel, // a channel message: status 0x80..0xEF with its data bytes
    kTempo, // a tempo meta event
};

struct MidiEvent {
    MidiEventKind kind = MidiEventKind::kNothing;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0; // masked to 7 bits
    std::uint8_t data2 = 0; // masked to 7 bits; 0 for one-byte messages
    std::uint32_t tempoMicros = 0; // microseconds per quarter note, kTempo only
};

class MidiTrackReader {
public:
    explicit MidiTrackReader(std::span<const std::uint8_t> chunk)
        : m_bytes(chunk)
    {
    }

    bool atEnd() const { return m_pos >= m_bytes.size(); }
    std::size_t position() const { return m_pos; }

    // The next delta time in ticks; nullopt when the chunk ends inside it,
    // which ends the track.
    std::optional<std::uint32_t> readDelta()
    {
        std::uint32_t value = 0;
        if (!readVlq(value))
            return std::nullopt;
        return value;
    }

    // Reads one event at the current position and updates running status.
    // A data byte with no running status reads nothing (the next delta time
    // starts at it); an event cut off by the chunk's end ends the track.
    MidiEvent readEvent();

private:
    // A variable-length quantity: 7 bits per byte, most significant first,
    // the top bit set on every byte but the last. Longer runs than the usual
    // four bytes keep shifting (only the low 32 bits stay).
    bool readVlq(std::uint32_t& value)
    {
        std::uint32_t result = 0;
        while (m_pos < m_bytes.size()) {
            const std::uint8_t b = m_bytes[m_pos++];
            result = (result << 7) | (b & 0x7Fu);
            if ((b & 0x80) == 0) {
                value = result;
                return true;
            }
        }
        return false;
    }

    // Skips n bytes; false (and the track ended) when they run past the end.
    bool skip(std::uint64_t n);
    void endTrack() { m_pos = m_bytes.size(); }

    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    std::uint8_t m_runningStatus = 0; // 0: none
};

} // namespace vellisto::import
