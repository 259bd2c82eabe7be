// SPDX-License-Identifier: MIT
#pragma once

// Helpers shared by the fuzz targets: a user interface that answers every
// question with its default, a clipboard that holds one block, splitting the
// input into a few control bytes and a payload, and the invariant checks that
// several readers share (among them the reason a refusing reader gives). A
// failed check aborts, which the fuzzer reports.

#include "editing/EditDialogs.h"
#include "model/Clipboard.h"
#include "model/Project.h"
#include "platform/ReadError.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vellisto::fuzz {

inline void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// Message boxes answer OK, the "Compatibility and Format" choice keeps what it
// opened with, and every other dialog is cancelled.
class SilentUserInterface : public EditorUserInterface, public ValueDialogs {
public:
    MessageAnswer showMessage(std::string_view, TextId, MessageButtons, std::string_view) override
    {
        return MessageAnswer::kOk;
    }
    std::optional<CompatibilityChoice> chooseCompatibility(
        const CompatibilityChoice& initial, bool) override
    {
        return initial;
    }
    std::optional<std::string> inputText(std::string_view) override { return {}; }
    bool editRangeAndData(RangeEditValues&) override { return false; }
    bool editFilter(FilterEditValues&) override { return false; }
    bool editTimeStretch(TimeStretchValues&) override { return false; }
    void openSoundWindow(Ctest122Doc&, std::uint32_t) override { }
};

// A clipboard holding exactly the bytes it was given.
class BlockClipboard : public Clipboard {
public:
    explicit BlockClipboard(std::vector<std::uint8_t> block)
        : m_block(std::move(block))
    {
    }
    bool setBlock(std::vector<std::uint8_t> block) override
    {
        m_block = std::move(block);
        return true;
    }
    std::optional<std::vector<std::uint8_t>> block() override { return m_block; }

private:
    std::vector<std::uint8_t> m_block;
};

// Takes control bytes off the front of the input; missing bytes read as 0.
class InputSplitter {
public:
    InputSplitter(const std::uint8_t* data, std::size_t size)
        : m_rest(data, size)
    {
    }
    std::uint8_t byte()
    {
        if (m_rest.empty())
            return 0;
        const std::uint8_t value = m_rest.front();
        m_rest = m_rest.subspan(1);
        return value;
    }
    std::uint32_t word()
    {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8)
            value |= std::uint32_t { byte() } << shift;
        return value;
    }
    std::span<const std::uint8_t> rest() const { return m_rest; }
    std::string_view restText() const
    {
        return { reinterpret_cast<const char*>(m_rest.data()), m_rest.size() };
    }

private:
    std::span<const std::uint8_t> m_rest;
};

// A new, empty project in storage that stays mapped from one input to the
// next. The address sanitizer gives every large allocation fresh pages, and
// clearing a megabyte of them per input made the project targets spend most
// of their time in page faults. Slot tells apart projects used side by side.
template <int Slot> Project& ReusedProject()
{
    static std::optional<Project> project;
    project.reset();
    project.emplace();
    return *project;
}

// A track's array is sorted by time and ends with the sentinel; an empty
// track may have no array at all.
inline bool IsSortedWithSentinel(const Track& track)
{
    if (!track.events)
        return track.count == 0;
    for (std::uint32_t i = 1; i < track.count; ++i) {
        if (track.events[i].time < track.events[i - 1].time)
            return false;
    }
    return track.events[track.count].time == kSentinelTime;
}

// A reader that refused an input of size bytes says why, and any offset it
// gives lies within the input.
inline void CheckReason(const platform::ReadError& reason, std::size_t size)
{
    Check(reason.code != platform::ReadErrorCode::kNone);
    Check(!reason.offset || *reason.offset <= size);
    Check(!platform::DescribeReadError(reason).empty());
}

// Both zero guard zones of a sample block are intact.
inline bool GuardZonesAreZero(const SoundSlot& sound)
{
    if (sound.samples == nullptr)
        return sound.sampleBytes == 0;
    for (std::size_t i = 1; i <= kGuardBytes; ++i) {
        if (sound.samples[-static_cast<std::ptrdiff_t>(i)] != 0
            || sound.samples[sound.sampleBytes + i - 1] != 0)
            return false;
    }
    return true;
}

} // namespace vellisto::fuzz
