// SPDX-License-Identifier: MIT
#pragma once

// A document holding a new project in a chosen output format, and the
// number of undo steps it can take back: for the tests of the views and the
// edits they make.

#include "document/Document.h"
#include "support/ScriptedUserInterface.h"

#include <cstdint>
#include <string>

namespace vellisto::testing {

// Makes document new through its "Compatibility and Format" choice; false
// when that failed.
inline bool MakeNewDocument(Ctest122Doc& document, ScriptedUserInterface& ui,
    std::uint32_t rate = 44100, std::uint32_t channels = 2)
{
    CompatibilityChoice choice;
    choice.rateText = std::to_string(rate);
    choice.channelsText = std::to_string(channels);
    ui.compatibilityAnswers.push_back(choice);
    return document.newDocument(ui);
}

inline std::uint32_t UndoSteps(Ctest122Doc& document)
{
    return document.undoHistory().cursor() - document.undoHistory().oldest();
}

} // namespace vellisto::testing
