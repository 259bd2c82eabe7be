// SPDX-License-Identifier: MIT
// Any text typed into a unit field or a time field must read as a value or be
// refused, never crash. Values shown by the display forms read back to
// themselves: exactly for integers and frame counts, within the rounding of
// the six shown decimals for the normalized units, and within one shown
// millisecond for the minutes:seconds form.
//
// Input: four bytes of output rate (little-endian), then the text.

#include "FuzzSupport.h"
#include "model/FixedPoint.h"
#include "model/UnitText.h"

#include <cstdint>
#include <string>

using namespace vellisto;
using fuzz::Check;

namespace {

// Distance modulo 2^32: a shown value rounded up past the top of the word
// reads back as a small one, since only the low 32 bits are kept.
std::uint32_t Distance(std::uint32_t a, std::uint32_t b)
{
    const std::uint32_t up = a - b;
    const std::uint32_t down = b - a;
    return up < down ? up : down;
}

void CheckDisplayForms(std::uint32_t value, std::uint32_t rate)
{
    Check(ParseInteger(FormatInteger(value)) == value);
    Check(ParseVolume(FormatVolume(value, false)) == value);
    Check(ParsePitch(FormatPitch(value, false)) == value);
    Check(ParseTime(FormatFrames(value, false), rate) == value);
    Check(ParseTime(FormatFrames(value, true), rate) == value);

    // Six decimals of value / 1024 are within 5e-7 of it: less than one step
    // of 1/1024 once scaled and truncated.
    const auto volume = ParseVolume(FormatVolume(value, true));
    Check(volume && Distance(*volume, value) <= 1);
    // The same error scaled by 2^24 is at most about 8.4 steps.
    const auto pitch = ParsePitch(FormatPitch(value, true));
    Check(pitch && Distance(*pitch, value) <= 9);
    if (value <= kBalanceMax) {
        const auto balance = ParseBalance(FormatBalance(value, true));
        Check(balance && Distance(*balance, value) <= 1);
    }

    if (rate == 0)
        return;
    // Milliseconds are truncated on the way out and frames on the way in:
    // the time read back is never later, and less than a millisecond earlier.
    const auto time = ParseTime(FormatTime(value, rate), rate);
    Check(time && *time <= value && value - *time <= rate / 1000 + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::InputSplitter input(data, size);
    // Writers keep rates below 2^24, but a damaged project may carry any word.
    const std::uint32_t rate = input.word();
    const std::string_view text = input.restText();

    for (const auto parse : { &ParseVolume, &ParsePitch, &ParseInteger }) {
        if (const auto value = parse(text))
            CheckDisplayForms(*value, rate);
    }
    if (const auto balance = ParseBalance(text))
        Check(*balance <= kBalanceMax);
    if (const auto time = ParseTime(text, rate))
        CheckDisplayForms(*time, rate);

    // The number readers report where they stopped, never past the text.
    std::size_t pos = 0;
    if (ReadUnsignedInteger(text, pos))
        Check(pos > 0 && pos <= text.size());
    pos = 0;
    if (ReadDecimalReal(text, pos))
        Check(pos > 0 && pos <= text.size());
    pos = 0;
    if (ReadDecimalDigits(text, pos))
        Check(pos > 0 && pos <= text.size());
    return 0;
}
