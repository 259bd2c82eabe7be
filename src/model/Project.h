// SPDX-License-Identifier: MIT
#pragma once

// The project record and its parts: settings, output format, sound slots,
// tracks and events. A document owns one Project through a pointer; every
// view, importer, file reader and the engine work on it. Not thread-safe: the
// user-interface thread owns it, and a running mix only reads it.

#include "model/Limits.h"
#include "model/ProjectSettings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace vellisto {

enum class StopEventMode : std::uint32_t { kNormal = 0, kIgnore = 1, kForced = 2, kKeepLoop = 3 };
enum class LinkingMode : std::uint32_t { kDisabled = 0, kAllEvents = 1, kPlay = 2, kStop = 3 };

// The twelve stored setting words of a sound, in stored order.
inline constexpr std::size_t kSoundWordCount = 12;
using SoundWords = std::array<std::uint32_t, kSoundWordCount>;

// One entry of the sound table. Owns its sample block: `samples` points
// kGuardBytes into a block of sampleBytes + 2 * kGuardBytes bytes whose guard
// zones are zero.
struct SoundSlot {
    Name fileName {}; // empty: empty slot; a leading '\' is relative to the base directory
    OutputFormat dataFormat {}; // format of the samples held
    std::uint32_t volume = 0; // volume unit
    std::uint32_t pitch = 0; // pitch unit
    std::uint32_t loopBegin = 0; // frames, kNoLoop: no loop
    std::uint32_t loopEnd = 0; // frames, kNoLoop: no loop
    std::uint32_t stopEventMode = 0; // StopEventMode
    std::uint32_t linkedId = 0; // any value; 1024 and above name no sound
    std::uint32_t linkingMode = 0; // LinkingMode
    std::uint32_t attackTime = 0; // frames
    std::uint32_t sustainTime = 0; // frames
    std::uint32_t releaseTime = 0; // frames
    std::uint32_t reserved1 = 0;
    std::uint32_t reserved2 = 0;
    std::uint8_t* samples = nullptr; // first sample, or null
    std::uint32_t sampleBytes = 0;

    SoundSlot() = default;
    SoundSlot(const SoundSlot&) = delete;
    SoundSlot& operator=(const SoundSlot&) = delete;
    ~SoundSlot();

    SoundWords words() const;
    void setWords(const SoundWords& words);
    bool empty() const { return fileName[0] == 0; }
};

// Sample blocks with their guard zones. Allocate returns the sample pointer
// (guard zones zeroed, samples uninitialised) or null when out of memory or
// when the size cannot be represented.
std::uint8_t* AllocateSampleBlock(std::uint64_t sampleBytes) noexcept;
void ReleaseSampleBlock(std::uint8_t* samples) noexcept;

// Event words, 24 bytes in stored order.
struct Event {
    std::uint32_t flags;
    std::uint32_t time;
    std::uint32_t type;
    std::uint32_t data1;
    std::uint32_t data2;
    std::uint32_t data3;
};
static_assert(sizeof(Event) == 24);

enum class EventType : std::uint32_t {
    kPlay = 0,
    kStop = 1,
    kAllStop = 2,
    kVolume = 3,
    kBalance = 4,
    kStress = 5,
    kPitch = 6,
};
inline constexpr std::uint32_t EventTypeWord(EventType type)
{
    return static_cast<std::uint32_t>(type);
}

inline constexpr std::uint32_t kEventExists = 1; // the engine applies only these
inline constexpr std::uint32_t kEventSelected = 2; // selection; importers mark removals with it

// A time-sorted event array of count + 1 entries, the last being the sentinel
// (time kSentinelTime). Null while the track has never held events. Only the
// list primitives change its length.
struct Track {
    std::unique_ptr<Event[]> events;
    std::uint32_t count = 0;
    std::uint32_t flags = 0; // kTrackMuted, kTrackSolo; not stored in files
};
inline constexpr std::uint32_t kTrackMuted = 1;
inline constexpr std::uint32_t kTrackSolo = 2;

enum class ConversionMode : std::uint32_t { kNormal = 0, kDrum = 1, kAuto = 2, kAutoTrack = 3 };

struct Project {
    std::array<SoundSlot, kSoundCount> sounds;
    std::array<Track, kTrackCount> tracks;
    ProjectSettings settings;
    std::uint32_t conversionMode = 0; // ConversionMode; read only by the MIDI importer

    // Sound IDs come from files and events unchecked: 1024 and above name no sound.
    SoundSlot* findSound(std::uint32_t id) { return id < kSoundCount ? &sounds[id] : nullptr; }
    const SoundSlot* findSound(std::uint32_t id) const
    {
        return id < kSoundCount ? &sounds[id] : nullptr;
    }
};

// A new, empty project with default settings; null when out of memory.
std::unique_ptr<Project> CreateProject() noexcept;

// Length of a zero-terminated name in units (at most kNameUnits).
std::size_t NameLength(const Name& name);

} // namespace vellisto
