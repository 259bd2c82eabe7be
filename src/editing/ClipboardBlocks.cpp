// SPDX-License-Identifier: MIT
#include "editing/ClipboardBlocks.h"

#include "model/Clipboard.h"
#include "model/EventList.h"
#include "platform/ByteCursor.h"
#include "platform/ByteWriter.h"

namespace vellisto::editing {

namespace {

    constexpr std::size_t kEventBytes = 24;
    constexpr std::size_t kHeaderBytes = 8;
    constexpr std::size_t kTailBytes = 8;

    constexpr std::uint32_t KindWord(ClipboardBlockKind kind)
    {
        return static_cast<std::uint32_t>(kind);
    }

    // The record count of an events block whose records are all present.
    std::optional<std::uint32_t> EventsBlockCount(std::span<const std::uint8_t> block)
    {
        platform::ByteCursor cursor(block);
        const auto kind = cursor.readU32le();
        const auto n = cursor.readU32le();
        if (!kind || *kind != KindWord(ClipboardBlockKind::kEvents) || !n)
            return std::nullopt;
        if (cursor.remaining() / kEventBytes < *n)
            return std::nullopt;
        return *n;
    }

} // namespace

std::vector<std::uint8_t> WriteEventsBlock(std::span<const Event> events)
{
    platform::ByteWriter writer;
    writer.reserve(kHeaderBytes + kEventBytes * events.size() + kTailBytes);
    writer.appendU32le(KindWord(ClipboardBlockKind::kEvents));
    writer.appendU32le(static_cast<std::uint32_t>(events.size()));
    for (const Event& event : events) {
        for (std::uint32_t word :
            { event.flags, event.time, event.type, event.data1, event.data2, event.data3 })
            writer.appendU32le(word);
    }
    writer.appendU32le(0);
    writer.appendU32le(0);
    return std::move(writer).bytes();
}

bool IsEventsBlock(std::span<const std::uint8_t> block)
{
    return EventsBlockCount(block).has_value();
}

bool ReadEventsBlock(std::span<const std::uint8_t> block, Track& events)
{
    const auto n = EventsBlockCount(block);
    if (!n || !ResetEvents(events, *n))
        return false;
    platform::ByteCursor cursor(block);
    cursor.skip(kHeaderBytes);
    for (std::uint32_t i = 0; i < *n; ++i) {
        // The length was checked above: every read fits.
        Event& event = events.events[i];
        for (std::uint32_t* word :
            { &event.flags, &event.time, &event.type, &event.data1, &event.data2, &event.data3 })
            *word = cursor.readU32le().value_or(0);
    }
    return true;
}

std::vector<std::uint8_t> WriteSoundBlock(const SoundSlot& slot)
{
    platform::ByteWriter writer;
    writer.reserve(kSoundBlockBytes);
    writer.appendU32le(KindWord(ClipboardBlockKind::kSound));
    for (char16_t unit : slot.fileName)
        writer.appendU16le(static_cast<std::uint16_t>(unit));
    for (std::uint32_t word : slot.words())
        writer.appendU32le(word);
    writer.appendU32le(0);
    writer.appendU32le(0);
    return std::move(writer).bytes();
}

std::optional<SoundBlock> ReadSoundBlock(std::span<const std::uint8_t> block)
{
    if (block.size() < kSoundBlockNeeded)
        return std::nullopt;
    platform::ByteCursor cursor(block);
    if (cursor.readU32le() != KindWord(ClipboardBlockKind::kSound))
        return std::nullopt;
    SoundBlock sound;
    for (char16_t& unit : sound.fileName)
        unit = static_cast<char16_t>(cursor.readU16le().value_or(0));
    for (std::uint32_t& word : sound.words)
        word = cursor.readU32le().value_or(0);
    sound.fileName.back() = 0;
    return sound;
}

} // namespace vellisto::editing
