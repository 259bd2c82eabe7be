// SPDX-License-Identifier: MIT
#pragma once

// The fixed-size records inside project file chunks, one reader per stored
// layout: the settings records of 308, 328, 332 and 592 bytes and the four
// sound record forms. A chunk reader takes exactly the record's bytes from the
// stream and hands them to the reader that the layout version selects, so the
// readers themselves cannot run past their data. Used only by ProjectFile.

#include "model/Project.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace vellisto::projectfile {

using Record = std::span<const std::uint8_t>;

// How the records of one layout version are stored.
struct RecordLayout {
    std::size_t settingsBytes;
    void (*readSettings)(Record record, ProjectSettings& settings);
    std::size_t soundBytes; // after the sound index
    void (*readSound)(Record record, SoundSlot& slot);
};

// The record layout of a layout version (at most 0x20002; older versions
// below 0x10000 read as 0x10000).
const RecordLayout& LayoutForVersion(std::uint32_t version);

// The settings that a version chunk sets because its layout lacks them.
void ApplyVersionUpgrade(std::uint32_t version, ProjectSettings& settings);

// A stored 260-unit UTF-16 field, kept as held (text and the units after its
// terminator). A field without any zero unit is cut to 259 units so that
// every name in memory ends with a terminator.
Name ReadUtf16Name(Record field);

// 260 bytes of 8-bit text up to its first zero byte (all 260 when there is
// none), decoded and cut to 259 UTF-16 units.
Name ReadAnsiName(Record field);

} // namespace vellisto::projectfile
