// SPDX-License-Identifier: MIT
#include "editing/DataExpression.h"

#include "model/UnitText.h"

#include <optional>

namespace vellisto::editing {

namespace {

    std::optional<std::uint32_t> ReadInteger(std::string_view text)
    {
        std::size_t pos = 0;
        return ReadUnsignedInteger(text, pos);
    }

    std::optional<double> ReadReal(std::string_view text)
    {
        std::size_t pos = 0;
        return ReadDecimalReal(text, pos);
    }

} // namespace

bool ApplyDataExpression(std::string_view text, std::uint32_t& value)
{
    if (text.empty())
        return false;
    const char op = text.front();
    if (op >= '0' && op <= '9') {
        value = *ReadInteger(text); // a leading digit always reads
        return true;
    }
    const std::string_view operand = text.substr(1);
    const bool real = (op == '*' || op == '/') && HasDecimalPoint(operand);
    if (real) {
        const auto x = ReadReal(operand);
        if (!x)
            return false;
        if (op == '*') {
            value = ScaleDecimal(*x, static_cast<double>(value));
            return true;
        }
        // A zero divisor leaves the value as it was.
        if (*x == 0.0)
            return false;
        value = ScaleDecimal(static_cast<double>(value) / *x, 1.0);
        return true;
    }
    const auto n = ReadInteger(operand);
    if (!n)
        return false;
    switch (op) {
    case '+':
        value += *n;
        return true;
    case '-':
        value -= *n;
        return true;
    case '*':
        value *= *n;
        return true;
    case '/':
        if (*n == 0)
            return false;
        value /= *n;
        return true;
    default:
        return false;
    }
}

} // namespace vellisto::editing
