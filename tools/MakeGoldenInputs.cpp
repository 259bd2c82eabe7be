// SPDX-License-Identifier: MIT
// Writes the inputs of the golden renders: five short WAVE sounds (8 and
// 16 bits, mono and stereo, at rates that the loading conversion must change),
// project files that exercise every mixing kernel in mono and stereo output,
// the envelopes and stop modes, every event type, links and both playing
// priorities, a BMS chart, and a MIDI file with the sound list that goes with
// it. Usage: vellisto-make-golden-inputs OUT_FOLDER
//
// The files are committed under tests/data/golden/, and tools/update-goldens
// runs this with --inputs. Every sample is made with integer arithmetic, so
// the same source always writes the same bytes. Sound names begin with '\':
// they are found in the folder of the project, chart or song.

#include "audio/WaveHeader.h"
#include "import/MidiBytes.h"
#include "model/EventList.h"
#include "model/ProjectFile.h"
#include "platform/File.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace vellisto;

namespace {

constexpr std::uint32_t kUnity = 1u << 24; // pitch unit
constexpr std::uint32_t kFull = 1024; // volume unit

// ---------------------------------------------------------------- sounds

struct WaveShape {
    const char* fileName;
    std::uint16_t channels;
    std::uint16_t bits; // 8: unsigned bytes, 16: signed little-endian words
    std::uint32_t rate;
    std::uint32_t frames;
    // Value of channel c at frame i, in 16-bit range (8-bit files keep the top byte).
    std::function<std::int32_t(std::uint32_t i, std::uint32_t c)> value;
};

// A deterministic noise source (a 32-bit linear congruential generator).
std::int32_t Noise(std::uint32_t i, std::uint32_t seed)
{
    std::uint32_t x = i * 2654435761u + seed * 40503u + 12345u;
    x = x * 1664525u + 1013904223u;
    return static_cast<std::int32_t>(x >> 16) - 32768;
}

// Fades linearly from full at frame 0 to silence at frame `frames`.
std::int32_t Fade(std::int32_t value, std::uint32_t i, std::uint32_t frames)
{
    return static_cast<std::int32_t>(
        static_cast<std::int64_t>(value) * static_cast<std::int64_t>(frames - i) / frames);
}

const std::vector<WaveShape>& Sounds()
{
    static const std::vector<WaveShape> sounds {
        // A sawtooth of 50 frames (441 Hz) with a weaker octave: 1100 frames.
        { "saw-16-mono.wav", 1, 16, 22050, 1100,
            [](std::uint32_t i, std::uint32_t) {
                const auto saw = static_cast<std::int32_t>(i % 50) * 480 - 12000;
                const auto octave = static_cast<std::int32_t>(i % 25) * 320 - 4000;
                return saw + octave;
            } },
        // A square of 25 frames (441 Hz) fading out, unsigned 8-bit: 550 frames.
        { "square-8-mono.wav", 1, 8, 11025, 550,
            [](std::uint32_t i, std::uint32_t) {
                return Fade(i % 25 < 12 ? 20000 : -20000, i, 550);
            } },
        // A triangle on the left and a sawtooth on the right, so that swapped
        // or mixed channels show: 800 frames at the kernel projects' rate.
        { "duo-16-stereo.wav", 2, 16, 32000, 800,
            [](std::uint32_t i, std::uint32_t c) {
                if (c == 0) {
                    const auto t = static_cast<std::int32_t>(i % 64);
                    return (t < 32 ? t : 64 - t) * 900 - 14400;
                }
                return static_cast<std::int32_t>(i % 40) * 700 - 14000;
            } },
        // Decaying noise, different on each side, unsigned 8-bit: 660 frames.
        { "noise-8-stereo.wav", 2, 8, 22050, 660,
            [](std::uint32_t i, std::uint32_t c) { return Fade(Noise(i, c) / 2, i, 660); } },
        // Full-scale alternating clicks at the usual output rate: 256 frames.
        { "click-16-mono.wav", 1, 16, 44100, 256,
            [](std::uint32_t i, std::uint32_t) {
                if (i < 8)
                    return i % 2 == 0 ? 32767 : -32768;
                return Fade(i % 4 < 2 ? 16000 : -16000, i, 256);
            } },
    };
    return sounds;
}

bool WriteWave(const std::string& path, const WaveShape& shape)
{
    OutputFormat format { kFormatPcm, shape.channels, shape.rate, 0, 0, shape.bits, 0 };
    CompleteOutputFormat(format);
    const std::uint32_t dataBytes = shape.frames * format.blockAlign;
    const auto header = audio::MakeWaveHeader(format, dataBytes);
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    for (std::uint32_t i = 0; i < shape.frames; ++i) {
        for (std::uint32_t c = 0; c < shape.channels; ++c) {
            const std::int32_t v = std::clamp(shape.value(i, c), -32768, 32767);
            const auto word = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
            if (shape.bits == 8) {
                bytes.push_back(static_cast<std::uint8_t>((word >> 8) ^ 0x80));
            } else {
                bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
                bytes.push_back(static_cast<std::uint8_t>(word >> 8));
            }
        }
    }
    platform::AtomicFileWriter writer(path);
    return writer.open() && writer.file().write(bytes.data(), bytes.size()) && writer.commit();
}

// Sound files in the order of Sounds().
enum SoundFile : std::size_t { kSaw, kSquare, kDuo, kNoise, kClick };

// ---------------------------------------------------------------- projects

struct SlotSetup {
    SoundFile file;
    std::uint32_t volume = kFull;
    std::uint32_t pitch = kUnity;
    std::uint32_t loopBegin = kNoLoop;
    std::uint32_t loopEnd = kNoLoop;
    StopEventMode stopMode = StopEventMode::kNormal;
    std::uint32_t attack = 0;
    std::uint32_t sustain = 0;
    std::uint32_t release = 0;
    std::uint32_t linkedId = 0;
    LinkingMode linking = LinkingMode::kDisabled;
};

void SetName(Name& name, std::u16string_view text)
{
    name = {};
    std::copy(text.begin(), text.end(), name.begin());
}

void SetSlot(Project& project, std::uint32_t id, const SlotSetup& setup)
{
    SoundSlot& slot = project.sounds[id];
    SetName(slot.fileName, u"\\" + platform::Utf8ToUtf16(Sounds()[setup.file].fileName));
    slot.volume = setup.volume;
    slot.pitch = setup.pitch;
    slot.loopBegin = setup.loopBegin;
    slot.loopEnd = setup.loopEnd;
    slot.stopEventMode = static_cast<std::uint32_t>(setup.stopMode);
    slot.attackTime = setup.attack;
    slot.sustainTime = setup.sustain;
    slot.releaseTime = setup.release;
    slot.linkedId = setup.linkedId;
    slot.linkingMode = static_cast<std::uint32_t>(setup.linking);
}

// The events of every track, in the order they were added; SetTracks sorts
// them by time, and events of equal time keep that order.
class Score {
public:
    Score& event(std::uint32_t track, std::uint32_t time, EventType type, std::uint32_t d1 = 0,
        std::uint32_t d2 = 0, std::uint32_t d3 = 0)
    {
        return raw(track, { kEventExists, time, EventTypeWord(type), d1, d2, d3 });
    }
    Score& play(std::uint32_t track, std::uint32_t time, std::uint32_t id,
        std::uint32_t volume = kFull, std::uint32_t pitch = kUnity)
    {
        return event(track, time, EventType::kPlay, id, volume, pitch);
    }
    Score& stop(std::uint32_t track, std::uint32_t time, std::uint32_t id, std::uint32_t pitch = 0)
    {
        return event(track, time, EventType::kStop, id, pitch);
    }
    Score& raw(std::uint32_t track, const Event& e)
    {
        m_tracks[track].push_back(e);
        return *this;
    }

    bool setTracks(Project& project) const
    {
        for (std::size_t t = 0; t < kTrackCount; ++t) {
            const std::vector<Event>& events = m_tracks[t];
            if (events.empty())
                continue;
            Track& track = project.tracks[t];
            if (!ResetEvents(track, static_cast<std::uint32_t>(events.size())))
                return false;
            std::copy(events.begin(), events.end(), track.events.get());
            if (!SortByTime(track))
                return false;
        }
        return true;
    }

private:
    std::array<std::vector<Event>, kTrackCount> m_tracks;
};

void SetOutput(Project& project, std::uint16_t channels, std::uint32_t rate)
{
    OutputFormat& format = project.settings.outputFormat;
    format.channels = channels;
    format.samplesPerSecond = rate;
    CompleteOutputFormat(format);
}

// 2^(k/12) in 8.24 for k = 0..11.
constexpr std::uint32_t kSemitones[12] = { 16777216, 17774841, 18831788, 19951585, 21137968,
    22394897, 23726566, 25137421, 26632170, 28215802, 29893600, 31671166 };

// The kernel projects: at 32000 Hz every sound but one is converted on
// loading, and voices play at steps whose fractions reach every phase, near
// the ends of their samples (where the kernels read the guard zones) and
// across loop ends. The same score is mixed with each of the four kernels.
void KernelScore(Project& project)
{
    SetSlot(project, 0, { .file = kSaw, .loopBegin = 400, .loopEnd = 1500 });
    SetSlot(project, 1, { .file = kSquare, .volume = 900 });
    SetSlot(project, 2, { .file = kDuo, .loopBegin = 100, .loopEnd = 700 });
    SetSlot(project, 3, { .file = kNoise, .pitch = kUnity / 4 * 5 });
    SetSlot(project, 4, { .file = kClick, .volume = 700 });

    Score score;
    // Track 0: the looping saw at 1.0, 1.5 and 1/sqrt(2), then a vibrato of Pitch events.
    score.play(0, 0, 0).stop(0, 3000, 0);
    score.play(0, 4000, 0, kFull, kUnity / 2 * 3).stop(0, 7000, 0);
    score.play(0, 8000, 0, 900, 11863283).event(0, 8000, EventType::kPitch, kUnity);
    for (std::uint32_t i = 0; i < 16; ++i) {
        const std::uint32_t pitch = i % 2 == 0 ? kSemitones[1] : kUnity - (kUnity >> 5);
        score.event(0, 12000 + 500 * i, EventType::kPitch, pitch);
    }
    score.stop(0, 21000, 0).event(0, 32000, EventType::kAllStop);
    // Track 1: the 8-bit square a fifth up, every 3000 frames.
    for (std::uint32_t t = 1000; t < 31000; t += 3000)
        score.play(1, t, 1, t % 2 == 0 ? kFull : 700, kSemitones[7]);
    // Track 2: the stereo pair at half speed (step 0x800000), looping, while
    // Balance events sweep across.
    score.play(2, 2000, 2, kFull, kUnity / 2);
    for (std::uint32_t i = 0; i <= 8; ++i)
        score.event(2, 2000 + 2000 * i, EventType::kBalance, 128 * i);
    score.stop(2, 20000, 2);
    // Track 3: noise and clicks played fast: their taps reach the guard zones.
    for (std::uint32_t t = 500; t < 30000; t += 2300) {
        score.play(3, t, 3);
        score.play(3, t + 700, 4, kFull, 55364812); // 3.3
    }
    // Track 4: the saw crawling (0.01), so that the fraction walks through
    // every phase of the sinc tables.
    score.play(4, 0, 0, 600, 167772).event(4, 16000, EventType::kVolume, 1400);
    score.setTracks(project);
}

// Envelopes, loops and the four stop modes, stereo at 44100 Hz. The saw
// lasts 2200 frames at this rate and loops from 400 to 2000.
void EnvelopeScore(Project& project)
{
    constexpr std::uint32_t kBegin = 400;
    constexpr std::uint32_t kEnd = 2000;
    // A Stop during the attack starts the release from the level reached.
    SetSlot(project, 0,
        { .file = kSaw, .loopBegin = kBegin, .loopEnd = kEnd, .attack = 2000, .release = 3000 });
    // Normal, no release: the Stop cancels the loop; the voice plays to the end of its samples.
    SetSlot(project, 1, { .file = kSaw, .loopBegin = kBegin, .loopEnd = kEnd });
    // Keep loop, no release, stopped in the attack: frozen at the level
    // reached, looping until an All Stop.
    SetSlot(project, 2,
        { .file = kSaw,
            .loopBegin = kBegin,
            .loopEnd = kEnd,
            .stopMode = StopEventMode::kKeepLoop,
            .attack = 3000 });
    // Keep loop with a release: fades out while still looping.
    SetSlot(project, 3,
        { .file = kSaw,
            .loopBegin = kBegin,
            .loopEnd = kEnd,
            .stopMode = StopEventMode::kKeepLoop,
            .release = 4000 });
    // Ignore: the Stop leaves it sounding but passes on to sound 5.
    SetSlot(project, 4,
        { .file = kSquare,
            .stopMode = StopEventMode::kIgnore,
            .linkedId = 5,
            .linking = LinkingMode::kStop });
    // Forced: ends at once, release or not.
    SetSlot(project, 5,
        { .file = kSaw,
            .loopBegin = kBegin,
            .loopEnd = kEnd,
            .stopMode = StopEventMode::kForced,
            .release = 5000 });
    // Attack, then a sustain fade that ends the voice; stopped in the sustain it releases.
    SetSlot(project, 6,
        { .file = kSaw,
            .loopBegin = kBegin,
            .loopEnd = kEnd,
            .attack = 1000,
            .sustain = 6000,
            .release = 2000 });
    // Loop begin past loop end: plays to the loop end and stops there.
    SetSlot(project, 7, { .file = kSaw, .loopBegin = 1500, .loopEnd = 900 });
    // Loop end past the samples: plays once.
    SetSlot(project, 8, { .file = kSaw, .loopBegin = 0, .loopEnd = 0xFFFFFFF0u });
    // Not looping, no release: a Stop ends it at once.
    SetSlot(project, 9, { .file = kDuo });
    // Stopped while holding after its attack: the release starts from full.
    SetSlot(project, 10,
        { .file = kSaw, .loopBegin = kBegin, .loopEnd = kEnd, .attack = 500, .release = 1500 });
    // Normal, no release, stopped in the attack: frozen, loop cancelled.
    SetSlot(project, 11, { .file = kSaw, .loopBegin = kBegin, .loopEnd = kEnd, .attack = 2000 });

    Score score;
    score.play(0, 0, 0).stop(0, 1000, 0);
    score.play(1, 2000, 1, kFull, kSemitones[3]).stop(1, 6000, 1);
    score.play(2, 4000, 2).stop(2, 5500, 2).stop(2, 7000, 2).event(2, 30000, EventType::kAllStop);
    score.play(3, 8000, 3, kFull, kSemitones[5]).stop(3, 12000, 3);
    score.play(4, 10000, 4).play(4, 10000, 5, 800).stop(4, 10500, 4);
    score.play(5, 14000, 6).play(5, 24000, 6, 900, kSemitones[2]).stop(5, 28000, 6);
    score.play(6, 16000, 7).play(6, 19000, 8, kFull, kSemitones[9]);
    score.play(7, 20000, 9).stop(7, 20300, 9);
    score.play(8, 31000, 10).stop(8, 33000, 10);
    score.play(9, 36000, 11, kFull, kSemitones[4]).stop(9, 37000, 11);
    score.event(9, 52000, EventType::kAllStop);
    score.setTracks(project);
}

// Every event type, links, "Play newer" replacement and the pitch filter of
// "By ID and by pitch"; stereo at 44100 Hz with master volume and balance
// off their defaults. The clicks of track 4 sum past full scale and clip.
void NewerScore(Project& project)
{
    constexpr std::uint32_t kLow = kUnity - (kUnity >> 3); // 0.875
    constexpr std::uint32_t kHigh = kUnity + (kUnity >> 2); // 1.25
    SetSlot(project, 0, { .file = kSaw, .loopBegin = 400, .loopEnd = 2000, .release = 3000 });
    SetSlot(project, 1, { .file = kSquare });
    SetSlot(project, 2, { .file = kDuo, .loopBegin = 0, .loopEnd = 1000 });
    SetSlot(project, 3, { .file = kNoise });
    SetSlot(project, 4, { .file = kClick });
    // A chain of links: 5 passes Play and Stop to 6, 6 only Play to 7, 7
    // passes both to a sound ID that names no sound.
    SetSlot(project, 5,
        { .file = kSaw,
            .loopBegin = 400,
            .loopEnd = 2000,
            .linkedId = 6,
            .linking = LinkingMode::kAllEvents });
    SetSlot(project, 6,
        { .file = kDuo,
            .loopBegin = 0,
            .loopEnd = 1000,
            .linkedId = 7,
            .linking = LinkingMode::kPlay });
    SetSlot(project, 7,
        { .file = kSquare,
            .volume = 700,
            .loopBegin = 100,
            .loopEnd = 2000,
            .linkedId = 2000,
            .linking = LinkingMode::kAllEvents });
    // Passes only its Stops on, to the looping saw on the same track.
    SetSlot(project, 8, { .file = kNoise, .linkedId = 0, .linking = LinkingMode::kStop });
    // A link that is switched off.
    SetSlot(project, 9, { .file = kClick, .linkedId = 1, .linking = LinkingMode::kDisabled });

    Score score;
    // Track 0, three voices at most: a fourth Play replaces the voice furthest
    // into its samples, a fifth after a Stop replaces the released voice.
    score.play(0, 0, 0, 600, kLow).play(0, 300, 0, 600).play(0, 600, 0, 600, kHigh);
    score.play(0, 3000, 0, 600, kSemitones[7]); // replaces the 1.25 voice, furthest into its loop
    score.stop(0, 4000, 0, kLow).play(0, 4500, 0, 600, kSemitones[4]);
    score.stop(0, 6000, 0, kSemitones[11]); // matches no held voice: stops nothing
    score.stop(0, 7000, 0, kSemitones[7]);
    score.stop(0, 9000, 0); // pitch 0 matches every held voice
    // Track 1: Volume, Balance, Stress and Pitch on held and released voices.
    score.play(1, 10000, 0, 600, kSemitones[2]).play(1, 10000, 2, 500);
    score.event(1, 11000, EventType::kVolume, 1300).event(1, 12000, EventType::kBalance, 0);
    score.event(1, 13000, EventType::kBalance, 1024).event(1, 14000, EventType::kStress, 400);
    score.stop(1, 15000, 0).event(1, 16000, EventType::kStress, 1800);
    score.event(1, 16500, EventType::kPitch, kSemitones[5])
        .event(1, 17000, EventType::kVolume, 300);
    score.event(1, 18000, EventType::kBalance, 256).event(1, 20000, EventType::kAllStop);
    // Track 2: the link chain, then Stops passed on.
    score.play(2, 21000, 5).stop(2, 25000, 5).stop(2, 27000, 7);
    score.play(2, 28000, 0, 700).play(2, 28500, 8).stop(2, 29000, 8);
    score.play(2, 30000, 9).event(2, 34000, EventType::kAllStop);
    // Track 3: events the engine skips: sound IDs that name no sound or an
    // empty slot, an event without the exists flag and an unknown type; two
    // Plays at the same time.
    score.play(3, 22000, 5000).play(3, 22000, 100);
    score.raw(3, { 0, 22500, EventTypeWord(EventType::kPlay), 1, kFull, kUnity });
    score.raw(3, { kEventExists, 22500, 9, 1, kFull, kUnity });
    score.play(3, 23000, 1, 600).play(3, 23000, 1, 500, kSemitones[4]);
    // Track 4: loud clicks together, past full scale.
    for (std::uint32_t t = 35000; t < 50000; t += 3000)
        score.play(4, t, 4, 3000).play(4, t, 4, 3000, kSemitones[1]).play(4, t + 5, 3, 2500);
    score.event(4, 53000, EventType::kAllStop);
    score.setTracks(project);
}

// "Play older", "By ID", Stress and Pitch switched off, two voices per
// track; mono at 22050 Hz (Balance has no effect) in one block of 65536 frames.
void OlderScore(Project& project)
{
    SetSlot(project, 0, { .file = kSaw, .loopBegin = 200, .loopEnd = 1000, .release = 800 });
    SetSlot(project, 1,
        { .file = kDuo,
            .loopBegin = 0,
            .loopEnd = 500,
            .linkedId = 2,
            .linking = LinkingMode::kAllEvents });
    SetSlot(project, 2, { .file = kSquare });
    SetSlot(project, 3, { .file = kNoise });

    Score score;
    // Track 0: a third Play while two voices sound is dropped, with its link.
    score.play(0, 0, 0, 700).play(0, 1000, 0, 700, kSemitones[7]).play(0, 2000, 1);
    score.stop(0, 5000, 0, 12345); // "By ID": the pitch is not looked at
    score.play(0, 6000, 1).stop(0, 9000, 1);
    // Track 1: Stress and Pitch events are switched off, and Balance has no
    // effect on a mono output; Volume still counts.
    score.play(1, 1000, 2, kFull, kSemitones[5]).event(1, 1200, EventType::kStress, 100);
    score.event(1, 1400, EventType::kPitch, kUnity * 2).event(1, 1600, EventType::kBalance, 0);
    score.event(1, 1800, EventType::kVolume, 500).play(1, 4000, 3, kFull, kSemitones[10]);
    score.play(1, 4000, 3, 900).play(1, 4000, 3, 800); // the third is dropped
    score.event(1, 12000, EventType::kAllStop);
    score.setTracks(project);
}

using ScoreMaker = void (*)(Project&);

struct ProjectRecipe {
    const char* fileName;
    ScoreMaker score;
    std::uint16_t channels;
    std::uint32_t rate;
    Interpolation mixing;
    Interpolation loading;
    // Headroom: only the loud clicks of events-newer are meant to clip, since
    // a clipped sample would hide a change in what was summed into it.
    std::uint32_t masterVolume = 1024;
    std::uint32_t bufferLength = 4096;
    std::function<void(ProjectSettings&)> settings = nullptr;
};

const std::vector<ProjectRecipe>& Projects()
{
    using I = Interpolation;
    static const std::vector<ProjectRecipe> projects {
        { "kernels-none-mono.spj", KernelScore, 1, 32000, I::kNone, I::kSinc, 640 },
        { "kernels-linear-mono.spj", KernelScore, 1, 32000, I::kLinear, I::kSincLow, 640 },
        { "kernels-sinc-low-mono.spj", KernelScore, 1, 32000, I::kSincLow, I::kLinear, 640 },
        { "kernels-sinc-mono.spj", KernelScore, 1, 32000, I::kSinc, I::kNone, 640, 1024 },
        { "kernels-none-stereo.spj", KernelScore, 2, 32000, I::kNone, I::kNone, 640 },
        { "kernels-linear-stereo.spj", KernelScore, 2, 32000, I::kLinear, I::kLinear, 640 },
        { "kernels-sinc-low-stereo.spj", KernelScore, 2, 32000, I::kSincLow, I::kSincLow, 640 },
        { "kernels-sinc-stereo.spj", KernelScore, 2, 32000, I::kSinc, I::kSinc, 640, 1024 },
        { "envelopes.spj", EnvelopeScore, 2, 44100, I::kSincLow, I::kSinc, 800 },
        { "events-newer.spj", NewerScore, 2, 44100, I::kLinear, I::kSinc, 800, 1024,
            [](ProjectSettings& s) {
                s.soundCountPerTrack = 3;
                s.masterBalance = 440;
            } },
        { "events-older.spj", OlderScore, 1, 22050, I::kSinc, I::kLinear, 800, 65536,
            [](ProjectSettings& s) {
                s.soundCountPerTrack = 2;
                s.playingPriority = 0;
                s.stoppingRules = 0;
                s.changingStress = 0;
                s.changingPitch = 0;
            } },
    };
    return projects;
}

bool WriteProject(const std::string& path, const ProjectRecipe& recipe)
{
    auto project = CreateProject();
    if (!project)
        return false;
    SetOutput(*project, recipe.channels, recipe.rate);
    ProjectSettings& settings = project->settings;
    settings.mixingInterpolation = static_cast<std::uint32_t>(recipe.mixing);
    settings.loadingInterpolation = static_cast<std::uint32_t>(recipe.loading);
    settings.masterVolume = recipe.masterVolume;
    settings.bufferLength = recipe.bufferLength;
    if (recipe.settings)
        recipe.settings(settings);
    recipe.score(*project);
    return WriteProjectFile(*project, path) == ProjectWriteResult::kOk;
}

// ---------------------------------------------------------------- chart

// 300 beats per minute (0.8 s a measure); measure 1 is halved and switches
// to 240 beats per minute, so measures 1 and 2 last 0.5 s. Background lines
// take tracks 10 and 11, key channels tracks 1, 2 and 6; sound 0b is
// written in lower case.
constexpr char kChart[] = "#PLAYER 1\r\n"
                          "#TITLE golden chart\r\n"
                          "#BPM 300\r\n"
                          "#WAV01 saw-16-mono.wav\r\n"
                          "#WAV02 square-8-mono.wav\r\n"
                          "#WAV03 noise-8-stereo.wav\r\n"
                          "#WAV0A click-16-mono.wav\r\n"
                          "#WAV0b duo-16-stereo.wav\r\n"
                          "#00011:01020300\r\n"
                          "#00012:0A000A0A\r\n"
                          "#00001:0B00\r\n"
                          "#00001:00000300\r\n"
                          "#00102:0.5\r\n"
                          "#00103:F0\r\n"
                          "#00111:0102\r\n"
                          "#00116:0A0B0A\r\n"
                          "#00201:0A0A0A0A\r\n"
                          "#00212:01\r\n";

bool WriteText(const std::string& path, const void* data, std::size_t size)
{
    platform::AtomicFileWriter writer(path);
    return writer.open() && writer.file().write(data, size) && writer.commit();
}

// ---------------------------------------------------------------- song

using import::testing::Bytes;
using import::testing::MidiBytes;
using import::testing::MidiTrack;

// A format-1 song of 480 ticks a quarter note: a tempo map (120 quarter notes
// a minute, 200 from the third beat), drums on channel 10, a bass (program
// 33) with volume, pan and expression, a lead (program 81) that bends into its
// notes and uses running status with velocity-0 note offs, and a chord
// (program 89) cut by "All Notes Off". About 1.6 seconds.
Bytes Song()
{
    const MidiTrack tempo = MidiTrack().tempo(0, 500000).tempo(960, 300000).end();

    MidiTrack drums;
    const std::uint8_t kit[8] = { 36, 42, 38, 42, 36, 36, 38, 42 };
    for (std::uint32_t i = 0; i < 8; ++i) {
        drums.noteOn(i == 0 ? 0 : 180, 9, kit[i], static_cast<std::uint8_t>(127 - 8 * i));
        drums.noteOff(60, 9, kit[i]);
    }
    drums.end(100);

    const MidiTrack bass = MidiTrack()
                               .program(0, 0, 33)
                               .control(0, 0, 7, 110)
                               .control(0, 0, 10, 20)
                               .noteOn(0, 0, 33, 120)
                               .control(240, 0, 11, 60)
                               .noteOff(240, 0, 33)
                               .noteOn(0, 0, 40, 100)
                               .control(480, 0, 10, 127)
                               .noteOff(240, 0, 40)
                               .noteOn(0, 0, 45, 127)
                               .noteOff(480, 0, 45)
                               .end();

    const MidiTrack lead = MidiTrack()
                               .program(0, 1, 81)
                               .bend(0, 1, 0, 0x30) // a whole tone down
                               .noteOn(0, 1, 69, 100)
                               .raw({ 0x00, 72, 90 }) // running status: a second note
                               .bend(120, 1, 0, 0x40) // centre
                               .noteOn(120, 1, 69, 0) // velocity 0: a Stop
                               .raw({ 0x00, 72, 0 }) // running status: a second Stop
                               .bend(0, 1, 0x7F, 0x7F) // the top of the range
                               .noteOn(0, 1, 76, 110)
                               .bend(240, 1, 0, 0x40)
                               .noteOff(480, 1, 76)
                               .end(240);

    const MidiTrack pad = MidiTrack()
                              .program(0, 2, 89)
                              .noteOn(480, 2, 57, 80)
                              .noteOn(0, 2, 60, 80)
                              .noteOn(0, 2, 64, 80)
                              .control(960, 2, 123, 0)
                              .end(480);

    return MidiBytes(480).track(tempo).track(drums).track(bass).track(lead).track(pad).bytes();
}

// The sounds the song asks for: "Auto Mode" plays drums as note + 128 and
// other notes as their program; "Auto Track Mode" plays other notes as their
// channel. One sound list serves both.
bool WriteKit(const std::string& path)
{
    auto project = CreateProject();
    if (!project)
        return false;
    SetSlot(*project, 36 + 128, { .file = kClick, .volume = 800 });
    SetSlot(*project, 38 + 128, { .file = kNoise, .volume = 900 });
    SetSlot(*project, 42 + 128, { .file = kSquare, .volume = 500, .pitch = kUnity * 2 });
    SetSlot(*project, 33,
        { .file = kSaw, .volume = 700, .loopBegin = 400, .loopEnd = 2000, .release = 1500 });
    SetSlot(*project, 81,
        { .file = kDuo,
            .volume = 600,
            .loopBegin = 0,
            .loopEnd = 1600,
            .stopMode = StopEventMode::kKeepLoop,
            .attack = 400,
            .release = 2000 });
    SetSlot(*project, 89,
        { .file = kSaw,
            .volume = 400,
            .loopBegin = 400,
            .loopEnd = 2000,
            .attack = 3000,
            .sustain = 20000 });
    SetSlot(*project, 0, { .file = kSaw, .loopBegin = 400, .loopEnd = 2000, .release = 500 });
    SetSlot(*project, 1,
        { .file = kDuo, .loopBegin = 0, .loopEnd = 1600, .stopMode = StopEventMode::kForced });
    SetSlot(*project, 2, { .file = kSquare, .loopBegin = 0, .loopEnd = 2000, .attack = 1000 });
    return WriteProjectFile(*project, path) == ProjectWriteResult::kOk;
}

bool Report(bool ok, const std::string& path)
{
    if (!ok)
        std::fprintf(stderr, "vellisto-make-golden-inputs: cannot write %s\n", path.c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: vellisto-make-golden-inputs OUT_FOLDER\n", stderr);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    bool ok = true;
    for (const WaveShape& sound : Sounds())
        ok = Report(WriteWave(folder + sound.fileName, sound), folder + sound.fileName) && ok;
    for (const ProjectRecipe& project : Projects())
        ok = Report(WriteProject(folder + project.fileName, project), folder + project.fileName)
            && ok;
    ok = Report(WriteText(folder + "chart.bms", kChart, sizeof kChart - 1), folder + "chart.bms")
        && ok;
    const Bytes song = Song();
    ok = Report(WriteText(folder + "song.mid", song.data(), song.size()), folder + "song.mid")
        && ok;
    ok = Report(WriteKit(folder + "kit.spj"), folder + "kit.spj") && ok;
    return ok ? 0 : 1;
}
