// SPDX-License-Identifier: MIT
#pragma once

// The tempo map of a MIDI import: ticks become output frames through a tick
// duration in 1/16777216 frames that every tempo meta event (from any file
// track) replaces. A tempo change applies to the ticks that follow it; the
// ticks already counted keep the duration they were counted with.

#include "import/ScoreTime.h"

#include <cstdint>

namespace vellisto::import {

inline constexpr std::uint32_t kDefaultTempoMicros = 500000; // 120 quarter notes per minute

// floor(floor(tempo x rate x 2^24 / division) / 1000000): the product is taken
// in 128 bits (it passes 64 bits for slow tempi at high rates) and divided
// twice in this order, each time rounding down. division must not be 0.
std::uint64_t TickDurationFx24(
    std::uint32_t tempoMicros, std::uint32_t rate, std::uint32_t division);

class MidiClock {
public:
    MidiClock(std::uint32_t rate, std::uint32_t division)
        : m_rate(rate)
        , m_division(division)
        , m_tickDuration(TickDurationFx24(kDefaultTempoMicros, rate, division))
    {
    }

    void setTempo(std::uint32_t tempoMicros)
    {
        m_tickDuration = TickDurationFx24(tempoMicros, m_rate, m_division);
    }

    void advance(std::uint32_t ticks)
    {
        m_position = SaturatingAdd(m_position, SaturatingMul(ticks, m_tickDuration));
    }

    std::uint64_t tickDuration() const { return m_tickDuration; }
    TimeFx24 position() const { return m_position; }
    std::uint32_t eventTime() const { return EventTimeFromFx24(m_position); }

private:
    std::uint32_t m_rate;
    std::uint32_t m_division;
    std::uint64_t m_tickDuration;
    TimeFx24 m_position = 0;
};

} // namespace vellisto::import
