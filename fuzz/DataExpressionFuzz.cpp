// SPDX-License-Identifier: MIT
// Any text typed as a data expression must change the word or leave it
// exactly as it was, never crash. A text that starts with a digit always
// applies and sets the word to the integer read; an integer "+N" undone by
// "-N" gives back the original word (both wrap modulo 2^32).
//
// Input: four bytes of the word (little-endian), then the text.

#include "FuzzSupport.h"
#include "editing/DataExpression.h"
#include "model/UnitText.h"

#include <cstdint>
#include <string>

using namespace vellisto;
using namespace vellisto::editing;
using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::InputSplitter input(data, size);
    const std::uint32_t original = input.word();
    const std::string_view text = input.restText();

    std::uint32_t value = original;
    const bool applied = ApplyDataExpression(text, value);
    if (!applied)
        Check(value == original);

    // Applying the same text to the same word gives the same result.
    std::uint32_t again = original;
    Check(ApplyDataExpression(text, again) == applied && again == value);

    if (!text.empty() && text.front() >= '0' && text.front() <= '9') {
        Check(applied);
        Check(value == ParseInteger(text));
    }

    if (applied && !text.empty() && text.front() == '+' && !HasDecimalPoint(text)) {
        std::string inverse(text);
        inverse.front() = '-';
        Check(ApplyDataExpression(inverse, value));
        Check(value == original);
    }
    return 0;
}
