// SPDX-License-Identifier: MIT
#pragma once

// The grammar of one chart line, examined by its first characters, case
// sensitively and in this order:
//
// | begins with | form                      | meaning                              |
// |-------------|---------------------------|--------------------------------------|
// | "#BPM"      | #BPM [spaces] digits      | header tempo, beats per minute       |
// | "#WAV"      | #WAVxx [spaces] name      | the file of sound xx (hexadecimal)   |
// | "#"         | #mmmcc:data               | measure mmm (decimal), channel cc    |
// |             |                           | (00-19), data to the end of the line |
//
// Anything else, and any line that does not fit its form, is ignored: a
// chart carries many header commands that the import has no use for.
// Stateless; the views returned point into the line.

#include <cstdint>
#include <optional>
#include <string_view>

namespace vellisto::import {

enum class BmsLineKind {
    kIgnored,
    kTempo, // tempo
    kSound, // soundId, name
    kChannel, // measure, channel, data
};

struct BmsLine {
    BmsLineKind kind = BmsLineKind::kIgnored;
    std::uint64_t tempo = 0; // at most ten decimal digits, never 0
    std::uint32_t soundId = 0; // 0..255
    std::u16string_view name; // everything after the spaces, trailing characters included
    std::uint32_t measure = 0; // 0..999
    std::uint32_t channel = 0; // 0..19
    std::u16string_view data;
};

BmsLine ParseBmsLine(std::u16string_view line);

// Two hexadecimal digits ("0"-"9", "A"-"F", "a"-"f") as 0..255.
std::optional<std::uint32_t> ParseHexPair(char16_t high, char16_t low);

// The decimal floating-point number at the start of text after white space
// (optional sign, digits, decimal point, exponent); 0 when there is none.
// Numbers too large for a double give an infinity of their sign.
double ParseLeadingNumber(std::u16string_view text);

} // namespace vellisto::import
