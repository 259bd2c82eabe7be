// SPDX-License-Identifier: MIT
#pragma once

// Text forms of the project's units, shared by every editor, dialog and the
// command line: the volume unit (1024 == 1.0), the pitch unit (2^24 == 1.0),
// the balance unit (0..1024, 512 == centre, shown as value / 512 - 1), plain
// integers and the time text (frames, seconds, or minutes:seconds at the
// output rate). Stateless and thread-safe.
//
// Reading rules common to all parsers:
// - Leading spaces and tabs are skipped; whatever follows the number that
//   was read is ignored. Text from which no number can be read is rejected
//   (nullopt).
// - Integers are written in decimal, in hexadecimal with a 0x prefix or in
//   octal with a leading 0, with an optional sign; a minus sign wraps modulo
//   2^32 and a value past 32 bits reads as 0xFFFFFFFF.
// - A decimal number (text holding a '.') is scaled by its unit and truncated
//   toward zero. When the scaled value does not fit a signed 64-bit integer
//   the result is 0; otherwise its low 32 bits are kept.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellisto {

// Number readers, the building blocks of the parsers below and of the data
// expressions of the editors. Each starts at pos (after skipping spaces and
// tabs) and, on success, moves pos past the characters it used; on failure
// pos is left unchanged.

// An integer in decimal, 0x hexadecimal or leading-0 octal, optionally signed.
std::optional<std::uint32_t> ReadUnsignedInteger(std::string_view text, std::size_t& pos);

// A decimal real such as "1.5", "-.25" or "2e3", optionally signed.
std::optional<double> ReadDecimalReal(std::string_view text, std::size_t& pos);

// Decimal digits only, no sign or prefix; a value past 64 bits reads as
// UINT64_MAX (all its digits are still consumed).
std::optional<std::uint64_t> ReadDecimalDigits(std::string_view text, std::size_t& pos);

// True when the text is to be read as a decimal number rather than an integer.
bool HasDecimalPoint(std::string_view text);

// x times scale truncated toward zero; 0 when that does not fit a signed
// 64-bit integer (NaN included); otherwise its low 32 bits.
std::uint32_t ScaleDecimal(double x, double scale);

// Balance words are compared as signed numbers: below 0 becomes 0, above
// 1024 becomes 1024.
std::uint32_t ClampBalance(std::uint32_t balance512);

// Parsers of the unit text forms.
std::optional<std::uint32_t> ParseVolume(std::string_view text);
std::optional<std::uint32_t> ParsePitch(std::string_view text);
std::optional<std::uint32_t> ParseBalance(std::string_view text);
std::optional<std::uint32_t> ParseInteger(std::string_view text);

// Time text at the given output rate: "N" is N frames, "S.F" is seconds and
// "M:S" or "M:S.F" minutes and seconds. All parts are decimal. Of the
// fraction at most nine digits count; its frames are digits x rate /
// 10^digits, truncated. The total is computed in 64 bits: when it passes the
// signed 64-bit range the result is 0, otherwise its low 32 bits are kept.
std::optional<std::uint32_t> ParseTime(std::string_view text, std::uint32_t samplesPerSecond);

// Display forms. normalized selects value / unit with six decimals ("%f"),
// otherwise the raw word ("%u").
std::string FormatVolume(std::uint32_t gain1024, bool normalized);
std::string FormatPitch(std::uint32_t pitchFx24, bool normalized);
std::string FormatBalance(std::uint32_t balance512, bool normalized);
std::string FormatInteger(std::uint32_t value); // "%u"

// value with the given number of decimals ("%.*f"), always with a '.' whatever
// the process locale.
std::string FormatFixed(double value, int digits);

// Frame counts as "%u", or right-aligned in ten columns ("%10u").
std::string FormatFrames(std::uint32_t frames, bool padded);

// "%02u:%02u.%03u": minutes, seconds and milliseconds at the output rate, all
// truncated. A rate of 0 (possible only in a damaged project) shows 00:00.000.
std::string FormatTime(std::uint32_t frames, std::uint32_t samplesPerSecond);

} // namespace vellisto
