// SPDX-License-Identifier: MIT
#pragma once

// The grammar of one chart line under the standard rules. Leading and
// trailing blanks (space, tab) are ignored; every line that matters starts
// with '#'. Command names are matched without regard to case; IDs are two
// base-36 characters ("0"-"9", "A"-"Z", either case: 00 to ZZ, 0 to 1295).
//
// | form                      | meaning                                      |
// |---------------------------|----------------------------------------------|
// | #mmmcc:data               | measure mmm (decimal), channel cc (base 36), |
// |                           | data up to the first blank                   |
// | #BPM value                | header tempo, a decimal number               |
// | #BPMxx value              | tempo xx for channel 08                      |
// | #STOPxx value             | stop xx for channel 09, in 1/192 measures    |
// | #WAVxx name               | the file of sound xx (blanks around trimmed) |
// | #LNOBJ xx                 | sound xx ends a long note on channels 1x, 2x |
// | #RANDOM n, #SETRANDOM n   | a random value 1..n, or n itself             |
// | #IF n, #ELSEIF n          | branches taken when the value is n           |
// | #ELSE, #ENDIF, #ENDRANDOM | the other branch; ends of blocks             |
//
// A command keyword must be followed by a blank (or, for #ELSE, #ENDIF and
// #ENDRANDOM, by a blank or the end of the line). Anything else, and any line
// that does not fit its form, is ignored. Stateless; the views returned point
// into the line.

#include <cstdint>
#include <optional>
#include <string_view>

namespace vellisto::import {

// A non-negative decimal number as written: numerator / denominator, with
// the denominator a power of ten (at most 10^6). At most 9 digits before the
// point (leading zeros aside); digits after the sixth past the point are
// dropped, so the value is exact to a millionth.
struct BmsDecimal {
    std::uint64_t numerator = 0; // below 10^15
    std::uint64_t denominator = 1; // 1, 10, ..., 10^6

    bool isZero() const { return numerator == 0; }
};

enum class BmsStandardKind {
    kIgnored,
    kChannel, // measure, channel, data
    kHeaderTempo, // number
    kExtendedTempo, // id, number
    kStop, // id, number
    kSound, // id, name
    kLongNoteEnd, // id
    kRandom, // integer (nullopt when not a number)
    kSetRandom, // integer
    kIf, // integer
    kElseIf, // integer
    kElse,
    kEndIf,
    kEndRandom,
};

struct BmsStandardLine {
    BmsStandardKind kind = BmsStandardKind::kIgnored;
    std::uint32_t measure = 0; // 0..999
    std::uint32_t channel = 0; // base 36: "01" is 1, "11" is 37, "D1" is 469
    std::u16string_view data;
    std::uint32_t id = 0; // 0..1295
    std::optional<BmsDecimal> number; // nullopt: not a usable number
    std::optional<std::uint64_t> integer; // 0..2^32 - 1; nullopt otherwise
    std::u16string_view name;
};

BmsStandardLine ParseStandardBmsLine(std::u16string_view line);

// Two base-36 characters as 0..1295.
std::optional<std::uint32_t> ParseBase36Pair(char16_t high, char16_t low);

// A decimal number filling all of text: optional '+', digits, optional
// point and digits (at least one digit in all).
std::optional<BmsDecimal> ParseBmsDecimal(std::u16string_view text);

// The two characters of a base-36 value 0..1295 ("0Z", "ZZ").
std::u16string Base36Text(std::uint32_t value);

} // namespace vellisto::import
