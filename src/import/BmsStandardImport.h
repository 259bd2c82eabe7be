// SPDX-License-Identifier: MIT
#pragma once

// Importing a BMS/BME chart by the rules charts are commonly written for,
// chosen with BmsRules::kStandard. The text is decoded and split into lines
// as under the program's own rules (BmsText.h); the lines are read by the
// grammar of BmsStandardLine.h, the #RANDOM blocks decided by
// BmsControlFlow.h with the import's seed, and then, unlike the program's
// own rules, the whole chart is gathered before any time is computed, so
// that lines may come in any order and a header may follow the notes.
//
// Objects. Each channel line spreads its n two-character values evenly over
// its measure; "00" and values that are not base 36 are rests. A later object
// on the same channel at the same position replaces the earlier one, except
// on the background channel 01, where every line is a layer of its own.
//
// Time. A 4/4 measure lasts 240 / tempo seconds; channel 02 scales its own
// measure only (a decimal factor; 0 or a bad number leaves it 1). The tempo
// starts at #BPM (decimal; 130 without one) and changes where channel 03
// (hexadecimal 01-FF) or channel 08 (#BPMxx) objects stand; channel 09 stops
// the clock for #STOPxx 192nds of a 4/4 measure at the tempo in force there.
// At one position, notes sound first, then the tempo changes (03, then 08),
// then the stop. Every time is computed exactly (FrameClock.h) and an event
// lies at the whole frame at or before its true time.
//
// Tracks. Each key keeps its sounds on one track, long notes included; the
// background lines of a measure rotate over the tracks after the keys:
//
// | channels                 | meaning                            | track          |
// |--------------------------|------------------------------------|----------------|
// | 10-19, 51-59             | first player's keys and long notes | second digit   |
// | 21-29, 61-69             | second player's keys, long notes   | 10 + digit     |
// | 01                       | background, k-th line of a measure | 10 + k mod 54, |
// |                          |                                    | or 20 + k mod 44 with a second
// player | | 31-39, 41-49, D1-D9, E1-E9 | invisible notes and mines        | none (silent)  |
//
// A chart without second-player notes thus gets the tracks the program's own
// rules give. A long note (51-59, 61-69) sounds at its start; the next object
// on its channel ends it without a sound, as does an object of a #LNOBJ
// sound on channels 1x and 2x. Sounds are numbered 00-ZZ in base 36; IDs of
// 1024 and above do not fit the sound table and are reported and skipped.
// Every track that received notes ends with an All Stop at the start of the
// second measure after the last measure any channel line names.
//
// Settings written are those of the program's own rules (BmsProject.h).

#include "import/BmsImport.h"
#include "model/Project.h"
#include "platform/ReadError.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace vellisto::import {

// Imports the bytes of a whole chart by the standard rules. Only memory can
// run out: a given reason then carries the byte offset of the line whose
// events could not be stored, when there is one. A given report receives
// what was skipped.
bool ImportStandardBms(Project& project, std::span<const std::uint8_t> chart,
    std::u16string_view chartPath, std::uint64_t seed, platform::ReadError* reason,
    BmsImportReport* report);

} // namespace vellisto::import
