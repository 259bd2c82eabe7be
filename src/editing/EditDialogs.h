// SPDX-License-Identifier: MIT
#pragma once

// The three dialogs of the event edit commands, and what the event editors
// ask of the user as a whole: messages, these dialogs and opening a sound's
// settings window. Calls are made on the user-interface thread.

#include "document/UserInterface.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellisto {

// "Set Range and Data". The range edits are disabled when upperBound <
// lowerBound; otherwise the range spins run lowerBound..upperBound. The first
// enabledDataFields of the Time, Data1, Data2, Data3 texts can be edited.
// The dialog refuses a range field that is not an unsigned integer with
// "Please enter a positive integer." and stays open.
struct RangeEditValues {
    std::uint32_t rangeBegin = 0;
    std::uint32_t rangeEnd = 0;
    std::uint32_t lowerBound = 0;
    std::uint32_t upperBound = 0;
    std::uint32_t enabledDataFields = 4;
    std::array<std::string, 4> dataTexts; // Time, Data1, Data2, Data3
};

// A range field as the dialog reads it: decimal digits (an optional '+'),
// with spaces and tabs allowed around them and nothing else, at most
// 4294967295. None for anything else, a minus sign included.
std::optional<std::uint32_t> ReadRangeField(std::string_view text);

// "Filter Events": limit texts for Time, Data1, Data2, Data3 and the event
// type index (0 "(All)", k: type k - 1).
struct FilterEditValues {
    std::array<std::string, 4> lowerTexts;
    std::array<std::string, 4> upperTexts;
    std::uint32_t typeIndex = 0;
};

// "Stretch Timelines": time texts and the "Apply This to All Tracks" box.
struct TimeStretchValues {
    std::string fromBeginText;
    std::string fromEndText;
    std::string toBeginText;
    std::string toEndText;
    bool allTracks = false;
};

class EventEditDialogs {
public:
    virtual ~EventEditDialogs() = default;
    // values hold what the dialog opens with and, on OK (true), what was
    // entered. Cancel returns false.
    virtual bool editRangeAndData(RangeEditValues& values) = 0;
    virtual bool editFilter(FilterEditValues& values) = 0;
    virtual bool editTimeStretch(TimeStretchValues& values) = 0;
};

// Everything an event editor's commands may ask.
class EditorUserInterface : public Messages, public EventEditDialogs, public WindowOpener { };

} // namespace vellisto
