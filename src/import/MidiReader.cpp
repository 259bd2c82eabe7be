// SPDX-License-Identifier: MIT
#include "import/MidiReader.h"

#include "platform/ByteCursor.h"

#include <algorithm>
#include <cstring>

namespace vellisto::import {

// Standard MIDI File, all numbers big-endian:
//
// | offset | size | field        | meaning                                        |
// |--------|------|--------------|------------------------------------------------|
// | 0      | 4    | "MThd"       | header chunk                                   |
// | 4      | 4    | length       | must be 6                                      |
// | 8      | 2    | format       | ignored                                        |
// | 10     | 2    | track count  | number of "MTrk" chunks that follow            |
// | 12     | 2    | division     | ticks per quarter note (unsigned, 0 refused)   |
// | 14     | 4    | "MTrk"       | first track chunk, then its 4-byte length and  |
// |        |      |              | that many bytes of events; more chunks follow  |
//
// A track's body is a run of (delta time, event) pairs. Delta times are
// variable-length quantities of ticks.

namespace {

    using platform::FailRead;
    using platform::ReadErrorCode;

    bool IsTag(std::span<const std::uint8_t> bytes, const char (&tag)[5])
    {
        return std::memcmp(bytes.data(), tag, 4) == 0;
    }

} // namespace

bool ReadMidiLayout(
    std::span<const std::uint8_t> file, MidiFileLayout& layout, platform::ReadError* reason)
{
    platform::ByteCursor cursor(file);
    const auto magic = cursor.take(4);
    if (!magic)
        return FailRead(reason, ReadErrorCode::kTruncated, file.size());
    if (!IsTag(*magic, "MThd"))
        return FailRead(reason, ReadErrorCode::kNotMidi, 0);
    const auto headerLength = cursor.readU32be();
    if (!headerLength)
        return FailRead(reason, ReadErrorCode::kTruncated, file.size());
    if (*headerLength != 6)
        return FailRead(reason, ReadErrorCode::kBadHeaderLength, 4);
    const auto format = cursor.readU16be();
    const auto trackCount = cursor.readU16be();
    const auto division = cursor.readU16be();
    if (!format || !trackCount || !division)
        return FailRead(reason, ReadErrorCode::kTruncated, file.size());
    // Ticks are divided by the division: a zero would divide by zero.
    if (*division == 0)
        return FailRead(reason, ReadErrorCode::kZeroDivision, 12);
    layout.format = *format;
    layout.trackCount = *trackCount;
    layout.division = *division;

    layout.tracks.clear();
    // Room only for the chunks whose headers the file can hold: the count is a claim.
    layout.tracks.reserve(std::min<std::size_t>(*trackCount, cursor.remaining() / 8));
    for (std::uint32_t i = 0; i < *trackCount; ++i) {
        const std::size_t chunkStart = cursor.offset();
        const auto tag = cursor.take(4);
        const auto length = cursor.readU32be();
        if (!tag || !length)
            return FailRead(reason, ReadErrorCode::kMissingTrack, chunkStart);
        if (!IsTag(*tag, "MTrk"))
            return FailRead(reason, ReadErrorCode::kNotTrackChunk, chunkStart);
        const auto body = cursor.take(*length);
        if (!body)
            return FailRead(reason, ReadErrorCode::kChunkPastEnd, chunkStart);
        layout.tracks.push_back(*body);
    }
    return true;
}

bool MidiTrackReader::skip(std::uint64_t n)
{
    if (n > m_bytes.size() - m_pos) {
        endTrack();
        return false;
    }
    m_pos += static_cast<std::size_t>(n);
    return true;
}

MidiEvent MidiTrackReader::readEvent()
{
    MidiEvent event;
    if (atEnd())
        return event;
    std::uint8_t status = m_bytes[m_pos];
    if (status >= 0x80) {
        // F4, F5 and FD are left unread: the next delta time starts at them.
        if (status != 0xF4 && status != 0xF5 && status != 0xFD)
            ++m_pos;
    } else if (m_runningStatus != 0) {
        status = m_runningStatus; // the byte is the first data byte
    } else {
        return event; // nothing read; the byte begins the next delta time
    }

    const std::size_t left = m_bytes.size() - m_pos;
    if (status < 0xF0) {
        const std::size_t dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2; // Cx, Dx take one
        if (left < dataBytes) {
            endTrack();
            return event;
        }
        event.kind = MidiEventKind::kChannel;
        event.status = status;
        // Data bytes of a damaged file may have the top bit set: keep 7 bits.
        event.data1 = static_cast<std::uint8_t>(m_bytes[m_pos] & 0x7F);
        event.data2 = static_cast<std::uint8_t>(dataBytes == 2 ? m_bytes[m_pos + 1] & 0x7F : 0);
        m_pos += dataBytes;
    } else {
        switch (status) {
        case 0xF0:
        case 0xF7: {
            std::uint32_t length = 0;
            if (!readVlq(length) || !skip(length))
                return event;
            break;
        }
        case 0xF1:
        case 0xF3:
            if (!skip(1))
                return event;
            break;
        case 0xF2:
            if (!skip(2))
                return event;
            break;
        case 0xFF: {
            if (atEnd())
                return event;
            const std::uint8_t type = m_bytes[m_pos++];
            std::uint32_t length = 0;
            if (!readVlq(length))
                return event;
            const std::size_t dataStart = m_pos;
            if (!skip(length))
                return event;
            // A tempo needs its three bytes; a shorter one is skipped.
            if (type == 0x51 && length >= 3) {
                event.kind = MidiEventKind::kTempo;
                event.status = status;
                event.tempoMicros = std::uint32_t { m_bytes[dataStart] } << 16
                    | std::uint32_t { m_bytes[dataStart + 1] } << 8 | m_bytes[dataStart + 2];
            }
            break;
        }
        default: // F4-F6 and F8-FE carry no data
            break;
        }
    }
    // System real-time and undefined statuses cancel running status; every
    // other status, system exclusive and meta events included, sets it.
    const bool cancels = (status >= 0xF4 && status <= 0xF6) || (status >= 0xF8 && status <= 0xFE);
    m_runningStatus = cancels ? 0 : status;
    return event;
}

} // namespace vellisto::import
