// SPDX-License-Identifier: MIT
#include "audio/BaseFrequency.h"

#include <algorithm>
#include <cmath>

namespace vellisto::audio {

namespace {

    // The cycle counter. A frame's value x is the sum of its channel samples. It
    // tracks the highest (hi) and lowest (lo) values and alternates between
    // waiting for a fall of more than three quarters of hi - lo and waiting for a
    // rise of as much; each rise counts one cycle. A run of cycles ends when the
    // peak-to-peak amplitude grows by more than a third over the reference taken
    // at the last turn, so a decaying note forms one long run while an attack or
    // a louder passage starts a new one. The longest run decides the result.
    //
    // All divisions truncate toward zero and all comparisons are signed. Values
    // are kept in 64 bits so that frames of many channels cannot overflow; for
    // one or two channels every value fits 32 bits and the results are the same.
    class CycleCounter {
    public:
        // Feeds frame i (relative to the start of the range); false once a run of
        // more than 100 rises has been closed and the scan may stop.
        bool feed(std::int64_t x, std::int64_t i)
        {
            m_hi = std::max(m_hi, x);
            m_lo = std::min(m_lo, x);
            // The two waits are not alternatives: when a fall switches to waiting
            // for a rise, the rise step runs for the same frame.
            if (!m_waitingForRise) {
                if (m_hi - m_lo > (m_refHigh - m_lo) * 4 / 3) {
                    if (!closeRun())
                        return false;
                    m_refHigh = m_hi;
                }
                if (x - m_hi < (m_lo - m_hi) * 3 / 4) {
                    m_lo = x;
                    m_refHigh = m_hi;
                    m_waitingForRise = true;
                }
            }
            if (m_waitingForRise) {
                const std::int64_t d = m_hi - m_lo; // before the growth test
                if (d > (m_hi - m_refLow) * 4 / 3) {
                    if (!closeRun())
                        return false;
                    m_refLow = m_lo;
                }
                if (x - m_lo > d * 3 / 4) {
                    // A cycle begins here; the run's span starts at its second rise.
                    if (m_count == 1)
                        m_first = i;
                    m_last = i;
                    ++m_count;
                    m_hi = x;
                    m_refLow = m_lo;
                    m_waitingForRise = false;
                }
            }
            return true;
        }

        // Ends the scan, keeping the current run if it is the longest.
        void finish() { keepIfLongest(); }

        std::uint64_t best() const { return m_best; }
        std::int64_t span() const { return m_span; }

    private:
        void keepIfLongest()
        {
            if (m_count > m_best) {
                m_best = m_count;
                m_span = m_last - m_first;
            }
        }

        // Closes the current run and starts a new one; false when the longest run
        // so far has more than 100 rises.
        bool closeRun()
        {
            keepIfLongest();
            if (m_best > 100)
                return false;
            m_count = 0;
            m_first = 0;
            m_last = 0;
            return true;
        }

        std::int64_t m_hi = 0;
        std::int64_t m_lo = 0;
        std::int64_t m_refHigh = 0;
        std::int64_t m_refLow = 0;
        bool m_waitingForRise = false;
        std::uint64_t m_count = 0; // rises in the current run
        std::int64_t m_first = 0; // frame of the run's second rise
        std::int64_t m_last = 0; // frame of the run's latest rise
        std::uint64_t m_best = 0; // longest run so far
        std::int64_t m_span = 0; // last - first of that run
    };

    std::int64_t FrameSum(const std::uint8_t* frame, std::uint32_t channels)
    {
        std::int64_t sum = 0;
        for (std::uint32_t c = 0; c < channels; ++c) {
            const std::uint8_t* p = frame + 2 * c;
            sum += static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
        }
        return sum;
    }

} // namespace

std::uint32_t DetermineBaseFrequency(
    const SoundSlot& sound, std::uint32_t loopBegin, std::uint32_t loopEnd)
{
    const OutputFormat& format = sound.dataFormat;
    if (sound.samples == nullptr || format.bitsPerSample != 16 || format.samplesPerSecond == 0)
        return 0;
    if (format.blockAlign == 0)
        return 0;
    const std::uint32_t frames = sound.sampleBytes / format.blockAlign;
    const std::uint32_t end = std::min(loopEnd, frames);
    if (end == 0)
        return 0;
    const std::uint32_t start = loopBegin >= end ? 0 : loopBegin;
    // Every channel of a frame must lie inside the frame's block align.
    if (format.channels == 0 || format.blockAlign < 2u * format.channels)
        return 0;

    CycleCounter counter;
    for (std::uint32_t frame = start; frame < end; ++frame) {
        const std::uint8_t* p = sound.samples + std::size_t { frame } * format.blockAlign;
        if (!counter.feed(FrameSum(p, format.channels), frame - start))
            break;
    }
    counter.finish();
    if (counter.span() == 0 || counter.best() <= 1)
        return 0;

    // Double precision, evaluated left to right: span x 440 x 2^24 / (best - 1) / rate.
    const double pitch = static_cast<double>(counter.span()) * kBaseFrequencyScale
        / static_cast<double>(counter.best() - 1) / static_cast<double>(format.samplesPerSecond);
    const double truncated = std::trunc(pitch);
    if (truncated >= 4294967296.0)
        return 0; // a fundamental too low to express as a pitch
    return static_cast<std::uint32_t>(truncated);
}

} // namespace vellisto::audio
