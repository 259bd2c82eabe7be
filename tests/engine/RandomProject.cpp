// SPDX-License-Identifier: MIT
#include "RandomProject.h"

#include <array>
#include <vector>

namespace vellisto::test {

namespace {

    class Dice {
    public:
        explicit Dice(std::mt19937& rng)
            : m_rng(rng)
        {
        }

        std::uint32_t word() { return static_cast<std::uint32_t>(m_rng()); }
        std::uint32_t below(std::uint32_t n) { return n == 0 ? 0 : word() % n; }
        bool chance(std::uint32_t percent) { return below(100) < percent; }
        template <typename T, std::size_t N> T pick(const std::array<T, N>& values)
        {
            return values[below(N)];
        }

        // Volumes: mostly musical, sometimes anything at all.
        std::uint32_t volume()
        {
            return pick(
                std::array<std::uint32_t, 6> { 1024, 1024, 512, below(3000), 262144, word() });
        }
        // Pitches: mostly 1/4..4, sometimes 0, huge, or steps whose 32-bit fraction sum wraps.
        std::uint32_t pitch()
        {
            return pick(std::array<std::uint32_t, 8> { kPitchOne, kPitchOne,
                kPitchOne / 4 + below(kPitchOne * 3), kPitchOne / 2, 0, 0xFF800000u, 0xFFFFFFFFu,
                word() });
        }
        std::uint32_t length()
        {
            return pick(std::array<std::uint32_t, 5> { 0, 0, below(40), below(300), 0xFFFFFFFFu });
        }

    private:
        std::mt19937& m_rng;
    };

} // namespace

TestProject RandomProject(std::mt19937& rng, const RandomProjectShape& shape)
{
    Dice dice(rng);
    TestProject p(static_cast<std::uint16_t>(1 + dice.below(2)));
    ProjectSettings& s = p.settings();
    s.mixingInterpolation = dice.below(4);
    s.bufferLength = 1024 * (1 + dice.below(3));
    s.soundCountPerTrack = shape.crowded
        ? dice.pick(std::array<std::uint32_t, 3> { 16, 64, 100 })
        : dice.pick(std::array<std::uint32_t, 8> { 0, 1, 2, 3, 4, 8, 64, 100 });
    s.playingPriority = dice.below(2);
    s.stoppingRules = dice.below(2);
    s.changingStress = dice.below(2);
    s.changingPitch = dice.below(2);
    s.masterVolume = dice.volume();
    s.masterBalance
        = dice.pick(std::array<std::uint32_t, 5> { 512, 0, 1024, dice.below(1025), dice.word() });

    // Sounds at scattered IDs; links point among them, outside the table, or at empty slots.
    std::vector<std::uint32_t> ids;
    const std::uint32_t soundCount = 1 + dice.below(6);
    for (std::uint32_t n = 0; n < soundCount; ++n)
        ids.push_back(dice.below(2) == 0 ? n : 1000 + n);
    const std::uint32_t channels = s.outputFormat.channels;
    for (std::uint32_t id : ids) {
        const std::uint32_t frames = dice.below(shape.maxSoundFrames + 1);
        std::vector<std::int16_t> samples(frames * channels);
        for (std::int16_t& v : samples)
            v = static_cast<std::int16_t>(dice.chance(10)
                    ? dice.pick(std::array<int, 2> { 32767, -32768 })
                    : static_cast<int>(dice.below(20001)) - 10000);
        SoundSlot& sound = p.sound(id, samples);
        sound.volume = dice.volume();
        sound.pitch = dice.pitch();
        switch (dice.below(shape.longSounds ? 3 : 5)) {
        case 0:
        case 1: // a loop inside the samples
            sound.loopBegin = dice.below(frames + 1);
            sound.loopEnd = sound.loopBegin + 1 + dice.below(frames - sound.loopBegin + 1);
            break;
        case 2: // begin not before end
            sound.loopEnd = dice.below(frames + 1);
            sound.loopBegin = sound.loopEnd + dice.below(3);
            break;
        case 3: // end beyond the samples
            sound.loopBegin = dice.below(frames + 1);
            sound.loopEnd = frames + 1 + dice.below(5);
            break;
        default: // no loop
            break;
        }
        sound.stopEventMode = dice.below(5);
        sound.linkingMode = dice.below(5);
        sound.linkedId = dice.chance(80) ? ids[dice.below(soundCount)]
                                         : dice.pick(std::array<std::uint32_t, 2> { 7, 5000 });
        sound.attackTime = dice.length();
        sound.sustainTime = dice.length();
        sound.releaseTime = dice.length();
    }

    const std::uint32_t trackCount = 1 + dice.below(4);
    for (std::uint32_t n = 0; n < trackCount; ++n) {
        const std::uint32_t track = dice.below(kTrackCount);
        const std::uint32_t events = 1 + dice.below(shape.maxEventsPerTrack);
        for (std::uint32_t e = 0; e < events; ++e) {
            const std::uint32_t time = dice.below(shape.maxTime + 1);
            const std::uint32_t flags = dice.chance(92) ? kEventExists : kEventSelected;
            const std::uint32_t id
                = dice.chance(95) ? ids[dice.below(soundCount)] : 1024 + dice.below(3);
            const std::uint32_t roll = dice.below(100);
            if (roll < (shape.crowded ? 60u : 40u))
                p.event(track, time, EventType::kPlay, id, dice.volume(), dice.pitch(), flags);
            else if (roll < 65)
                p.event(track, time, EventType::kStop, id, dice.chance(50) ? 0 : dice.pitch(), 0,
                    flags);
            else if (roll < 70)
                p.event(track, time, EventType::kAllStop, 0, 0, 0, flags);
            else if (roll < 76)
                p.event(track, time, EventType::kVolume, dice.volume(), 0, 0, flags);
            else if (roll < 82)
                p.event(track, time, EventType::kBalance,
                    dice.chance(80) ? dice.below(1025) : dice.word(), 0, 0, flags);
            else if (roll < 89)
                p.event(track, time, EventType::kStress, dice.volume(), 0, 0, flags);
            else if (roll < 97)
                p.event(track, time, EventType::kPitch, dice.pitch(), 0, 0, flags);
            else
                p.event(track, time, static_cast<EventType>(7 + dice.below(100)), id, 0, 0, flags);
        }
        p.project().tracks[track].flags = dice.below(4); // muted and solo flags
    }
    return p;
}

} // namespace vellisto::test
