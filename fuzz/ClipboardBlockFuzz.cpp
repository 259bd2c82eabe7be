// SPDX-License-Identifier: MIT
// Any bytes on the clipboard read as an events block and as a sound block:
// the events reader accepts exactly the blocks the kind check calls events
// blocks, and what it reads survives a trip back through the writer; a sound
// block that reads has a name that ends inside its field and writes back to a
// block that reads the same. Reading only: pasting into a document (with an
// undo snapshot per paste) is the clipboard target's.

#include "FuzzSupport.h"
#include "editing/ClipboardBlocks.h"

#include <cstdint>

using namespace vellisto;
using namespace vellisto::editing;
using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> block(data, size);
    Track events;
    const bool readable = ReadEventsBlock(block, events);
    Check(readable == IsEventsBlock(block));
    if (readable) {
        Check(events.count <= size / sizeof(Event));
        Track back;
        Check(ReadEventsBlock(WriteEventsBlock({ events.events.get(), events.count }), back));
        Check(back.count == events.count);
        for (std::uint32_t i = 0; i < events.count; ++i) {
            const Event& a = events.events[i];
            const Event& b = back.events[i];
            Check(a.flags == b.flags && a.time == b.time && a.type == b.type && a.data1 == b.data1
                && a.data2 == b.data2 && a.data3 == b.data3);
        }
    }
    if (const auto sound = ReadSoundBlock(block)) {
        Check(sound->fileName.back() == 0);
        SoundSlot slot;
        slot.fileName = sound->fileName;
        slot.setWords(sound->words);
        const auto again = ReadSoundBlock(WriteSoundBlock(slot));
        Check(again && again->fileName == sound->fileName && again->words == sound->words);
    }
    return 0;
}
