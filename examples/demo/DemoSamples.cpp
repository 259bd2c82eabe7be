// SPDX-License-Identifier: MIT
#include "demo/DemoSamples.h"

#include "audio/WaveHeader.h"
#include "model/Limits.h"
#include "platform/File.h"

#include <algorithm>
#include <cstdlib>

namespace vellisto::demo {

namespace {

    // Signal values are Q15 (32768 == 1.0) held in 32-bit integers.
    constexpr std::int32_t kOne = 32768;

    // sin(2 pi phase / 2^32) in Q15: a parabola through the quarter points,
    // corrected by 0.225 (7373 / 32768) towards the true curve.
    std::int32_t Sine(std::uint32_t phase)
    {
        const std::int64_t x = static_cast<std::int32_t>(phase) >> 16; // -1..1 stands for -pi..pi
        std::int64_t y = (4 * x * (kOne - std::abs(x))) >> 15;
        y += (7373 * (((y * std::abs(y)) >> 15) - y)) >> 15;
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(y, -kOne + 1, kOne - 1));
    }

    // The phase of harmonic h at frame i of a wave whose period is a whole
    // number of frames, so that loops over whole periods join without a step.
    std::uint32_t PhaseAt(std::uint32_t i, std::uint32_t h, std::uint32_t periodFrames)
    {
        const std::uint64_t within = (static_cast<std::uint64_t>(i) * h) % periodFrames;
        return static_cast<std::uint32_t>((within << 32) / periodFrames);
    }

    // Phase step per frame of a frequency in whole hertz.
    std::uint32_t Step(std::uint32_t hertz)
    {
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(hertz) << 32) / kSampleRate);
    }

    // An exponential fall from 1.0 with time constant tauFrames, using
    // exp(-1/tau) ~ 1 - 1/tau in Q30 (close enough for tau of a few hundred frames).
    class Decay {
    public:
        explicit Decay(std::uint32_t tauFrames)
            : m_factor((std::uint64_t { 1 } << 30) - (std::uint64_t { 1 } << 30) / tauFrames)
        {
        }
        std::int32_t next()
        {
            const auto value = static_cast<std::int32_t>(m_level >> 15);
            m_level = (m_level * m_factor) >> 30;
            return value;
        }

    private:
        std::uint64_t m_level = std::uint64_t { 1 } << 30;
        std::uint64_t m_factor;
    };

    // White noise in Q15 from a 32-bit xorshift with a fixed seed.
    class Noise {
    public:
        std::int32_t next()
        {
            m_state ^= m_state << 13;
            m_state ^= m_state >> 17;
            m_state ^= m_state << 5;
            return static_cast<std::int32_t>(m_state) >> 16;
        }

    private:
        std::uint32_t m_state = 0x2545F491u;
    };

    std::int32_t Scale(std::int32_t value, std::int32_t gainQ15)
    {
        return static_cast<std::int32_t>((static_cast<std::int64_t>(value) * gainQ15) >> 15);
    }

    // Scales the signal so that its largest magnitude is peak, and fades the
    // last fadeFrames linearly to silence so that one-shots end without a click.
    std::vector<std::int16_t> Finish(
        const std::vector<std::int32_t>& signal, std::int32_t peak, std::uint32_t fadeFrames)
    {
        std::int64_t largest = 1;
        for (const std::int32_t v : signal)
            largest = std::max<std::int64_t>(largest, std::abs(static_cast<std::int64_t>(v)));
        std::vector<std::int16_t> out(signal.size());
        const std::size_t fadeStart
            = signal.size() - std::min<std::size_t>(fadeFrames, signal.size());
        for (std::size_t i = 0; i < signal.size(); ++i) {
            std::int64_t v = signal[i] * static_cast<std::int64_t>(peak) / largest;
            if (i >= fadeStart)
                v = v * static_cast<std::int64_t>(signal.size() - i)
                    / static_cast<std::int64_t>(fadeFrames);
            out[i] = static_cast<std::int16_t>(std::clamp<std::int64_t>(v, -32768, 32767));
        }
        return out;
    }

    // A sum of harmonics of a wave with a period of periodFrames, weighted in
    // percent, with a slow tremolo of the given depth (Q15) and period.
    std::vector<std::int32_t> Harmonics(std::uint32_t frames, std::uint32_t periodFrames,
        std::initializer_list<std::pair<std::uint32_t, std::int32_t>> weights,
        std::uint32_t tremoloFrames, std::int32_t tremoloDepth)
    {
        std::vector<std::int32_t> out(frames);
        for (std::uint32_t i = 0; i < frames; ++i) {
            std::int64_t sum = 0;
            for (const auto& [h, percent] : weights)
                sum += static_cast<std::int64_t>(Sine(PhaseAt(i, h, periodFrames))) * percent;
            const std::int32_t wobble = Sine(PhaseAt(i, 1, tremoloFrames)) + kOne; // 0..2
            const std::int32_t gain = kOne - Scale(wobble / 2, tremoloDepth);
            out[i] = Scale(static_cast<std::int32_t>(sum / 100), gain);
        }
        return out;
    }

    // A pitch falling quickly from 160 Hz to 45 Hz, with a click of noise.
    std::vector<std::int16_t> Kick()
    {
        std::vector<std::int32_t> out(kSampleRate * 35 / 100);
        Decay pitch(kSampleRate * 3 / 100);
        Decay level(kSampleRate * 12 / 100);
        Noise noise;
        const std::uint32_t low = Step(45);
        const std::uint32_t span = Step(160) - low;
        std::uint32_t phase = 0;
        for (std::size_t i = 0; i < out.size(); ++i) {
            phase
                += low + static_cast<std::uint32_t>((std::uint64_t { span } * pitch.next()) >> 15);
            std::int32_t v = Scale(Sine(phase), level.next());
            if (i < 64)
                v += noise.next() * static_cast<std::int32_t>(64 - i) / 64 / 3;
            out[i] = v;
        }
        return Finish(out, 24000, 441);
    }

    // Softened noise over a short 185 Hz body.
    std::vector<std::int16_t> Snare()
    {
        std::vector<std::int32_t> out(kSampleRate / 4);
        Decay noiseLevel(kSampleRate * 7 / 100);
        Decay toneLevel(kSampleRate * 4 / 100);
        Noise noise;
        std::int32_t smooth = 0;
        std::uint32_t phase = 0;
        for (std::int32_t& v : out) {
            smooth += (noise.next() - smooth) >> 1;
            phase += Step(185);
            v = Scale(smooth, noiseLevel.next()) * 3 / 5 + Scale(Sine(phase), toneLevel.next()) / 2;
        }
        return Finish(out, 18000, 441);
    }

    // High-passed noise that dies within a tenth of a second.
    std::vector<std::int16_t> Hat()
    {
        std::vector<std::int32_t> out(kSampleRate * 12 / 100);
        Decay level(kSampleRate * 2 / 100);
        Noise noise;
        std::int32_t previous = 0;
        for (std::int32_t& v : out) {
            const std::int32_t n = noise.next();
            v = Scale((n - previous) / 2, level.next());
            previous = n;
        }
        return Finish(out, 12000, 220);
    }

    // A sawtooth at A2 (110.25 Hz) through a low-pass filter that closes as the note
    // decays, over a sine at the same pitch that gives it weight.
    std::vector<std::int16_t> Bass()
    {
        constexpr std::uint32_t kPeriod = 400;
        std::vector<std::int32_t> out(kSampleRate * 3 / 2);
        Decay level(kSampleRate);
        Decay brightness(kSampleRate * 15 / 100);
        std::int32_t filtered = 0;
        for (std::uint32_t i = 0; i < out.size(); ++i) {
            const std::uint32_t phase = PhaseAt(i, 1, kPeriod);
            const std::int32_t saw = static_cast<std::int32_t>(phase) >> 16;
            const std::int32_t cutoff = 1500 + Scale(20000, brightness.next()); // Q16 coefficient
            filtered += static_cast<std::int32_t>(
                (static_cast<std::int64_t>(saw - filtered) * cutoff) >> 16);
            out[i] = Scale(filtered + Sine(phase) / 2, level.next());
        }
        return Finish(out, 18000, 441);
    }

} // namespace

std::vector<DemoSample> MakeDemoSamples()
{
    // The pad: A3 with soft upper harmonics and a 5 Hz tremolo (8800 frames);
    // its loop spans eight tremolo periods, a whole number of waves as well.
    const std::vector<std::int32_t> pad = Harmonics(
        79200, 200, { { 1, 100 }, { 2, 45 }, { 3, 25 }, { 4, 12 }, { 6, 6 } }, 8800, 4915);
    // The lead: A4 with the odd harmonics of a reed and a lighter tremolo.
    const std::vector<std::int32_t> lead = Harmonics(
        44000, 100, { { 1, 100 }, { 2, 20 }, { 3, 40 }, { 5, 18 }, { 7, 8 } }, 8800, 2621);
    return {
        { "kick.wav", Kick(), kNoLoop, kNoLoop },
        { "snare.wav", Snare(), kNoLoop, kNoLoop },
        { "hat.wav", Hat(), kNoLoop, kNoLoop },
        { "bass.wav", Bass(), kNoLoop, kNoLoop },
        { "lead.wav", Finish(lead, 14000, 0), 8800, 44000 },
        { "pad.wav", Finish(pad, 12000, 0), 8800, 79200 },
    };
}

bool WriteDemoWave(const std::string& path, const std::vector<std::int16_t>& samples)
{
    OutputFormat format { kFormatPcm, 1, kSampleRate, 0, 0, 16, 0 };
    CompleteOutputFormat(format);
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> bytes;
    const auto header = audio::MakeWaveHeader(format, dataBytes);
    bytes.assign(header.begin(), header.end());
    for (const std::int16_t s : samples) {
        const auto u = static_cast<std::uint16_t>(s);
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    platform::AtomicFileWriter writer(path);
    return writer.open() && writer.file().write(bytes.data(), bytes.size()) && writer.commit();
}

} // namespace vellisto::demo
