// SPDX-License-Identifier: MIT
#pragma once

// Builds Standard MIDI Files in memory: MidiTrack collects one track's body
// (delta times as variable-length quantities, events as raw bytes) and
// MidiBytes wraps tracks into a file with its header.

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vellisto::import::testing {

using Bytes = std::vector<std::uint8_t>;

// A variable-length quantity: 7 bits per byte, most significant first.
inline Bytes Vlq(std::uint32_t value)
{
    Bytes out { static_cast<std::uint8_t>(value & 0x7F) };
    while (value >>= 7)
        out.insert(out.begin(), static_cast<std::uint8_t>(0x80 | (value & 0x7F)));
    return out;
}

inline void AppendU32be(Bytes& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}

class MidiTrack {
public:
    // A delta time followed by raw event bytes.
    MidiTrack& at(std::uint32_t delta, std::initializer_list<std::uint8_t> event)
    {
        const Bytes d = Vlq(delta);
        body.insert(body.end(), d.begin(), d.end());
        body.insert(body.end(), event);
        return *this;
    }
    MidiTrack& raw(std::initializer_list<std::uint8_t> bytes)
    {
        body.insert(body.end(), bytes);
        return *this;
    }
    MidiTrack& noteOn(
        std::uint32_t delta, std::uint8_t channel, std::uint8_t note, std::uint8_t velocity)
    {
        return at(delta, { static_cast<std::uint8_t>(0x90 | channel), note, velocity });
    }
    MidiTrack& noteOff(std::uint32_t delta, std::uint8_t channel, std::uint8_t note)
    {
        return at(delta, { static_cast<std::uint8_t>(0x80 | channel), note, 0x40 });
    }
    MidiTrack& control(
        std::uint32_t delta, std::uint8_t channel, std::uint8_t controller, std::uint8_t value)
    {
        return at(delta, { static_cast<std::uint8_t>(0xB0 | channel), controller, value });
    }
    MidiTrack& program(std::uint32_t delta, std::uint8_t channel, std::uint8_t program)
    {
        return at(delta, { static_cast<std::uint8_t>(0xC0 | channel), program });
    }
    MidiTrack& bend(std::uint32_t delta, std::uint8_t channel, std::uint8_t lsb, std::uint8_t msb)
    {
        return at(delta, { static_cast<std::uint8_t>(0xE0 | channel), lsb, msb });
    }
    MidiTrack& tempo(std::uint32_t delta, std::uint32_t micros)
    {
        return at(delta,
            { 0xFF, 0x51, 0x03, static_cast<std::uint8_t>(micros >> 16),
                static_cast<std::uint8_t>(micros >> 8), static_cast<std::uint8_t>(micros) });
    }
    MidiTrack& end(std::uint32_t delta = 0) { return at(delta, { 0xFF, 0x2F, 0x00 }); }

    Bytes body;
};

class MidiBytes {
public:
    explicit MidiBytes(std::uint16_t division = 480, std::uint16_t format = 1)
        : m_division(division)
        , m_format(format)
    {
    }

    MidiBytes& track(const MidiTrack& track)
    {
        m_tracks.push_back(track.body);
        return *this;
    }

    // The file; trackCount overrides the count written in the header.
    Bytes bytes(int trackCount = -1) const
    {
        Bytes out { 'M', 'T', 'h', 'd' };
        AppendU32be(out, 6);
        const auto count
            = static_cast<std::uint16_t>(trackCount < 0 ? m_tracks.size() : trackCount);
        for (const std::uint16_t word : { m_format, count, m_division }) {
            out.push_back(static_cast<std::uint8_t>(word >> 8));
            out.push_back(static_cast<std::uint8_t>(word));
        }
        for (const Bytes& body : m_tracks) {
            out.insert(out.end(), { 'M', 'T', 'r', 'k' });
            AppendU32be(out, static_cast<std::uint32_t>(body.size()));
            out.insert(out.end(), body.begin(), body.end());
        }
        return out;
    }

private:
    std::uint16_t m_division;
    std::uint16_t m_format;
    std::vector<Bytes> m_tracks;
};

} // namespace vellisto::import::testing
