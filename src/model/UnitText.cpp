// SPDX-License-Identifier: MIT
#include "model/UnitText.h"

#include "model/FixedPoint.h"

#include <charconv>
#include <cstdio>
#include <limits>

namespace vellisto {

namespace {

    constexpr std::size_t kMaxFractionDigits = 9; // further fraction digits of a time are ignored

    bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    int HexDigitValue(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    std::size_t SkipBlanks(std::string_view text, std::size_t pos)
    {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        return pos;
    }

    // A sign at pos: advances past it and tells whether it was a minus.
    bool ReadSign(std::string_view text, std::size_t& pos)
    {
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            return text[pos++] == '-';
        return false;
    }

    // The value of a decimal literal that the converter reported out of range:
    // infinite when its magnitude is large, zero when it is tiny. The magnitude
    // is judged by the position of the first significant digit plus the exponent.
    double OutOfRangeValue(std::string_view literal)
    {
        std::int64_t leadingExponent = 0; // decimal exponent of the first nonzero digit, roughly
        bool seenPoint = false;
        bool seenNonZero = false;
        std::size_t i = 0;
        for (; i < literal.size() && literal[i] != 'e' && literal[i] != 'E'; ++i) {
            const char c = literal[i];
            if (c == '.') {
                seenPoint = true;
            } else if (!seenNonZero) {
                if (c != '0')
                    seenNonZero = true;
                else if (seenPoint)
                    --leadingExponent;
            } else if (!seenPoint && leadingExponent < 100000) {
                ++leadingExponent;
            }
        }
        std::int64_t exponent = 0;
        bool negativeExponent = false;
        if (i < literal.size()) {
            ++i;
            negativeExponent = ReadSign(literal, i);
            for (; i < literal.size() && exponent < 100000; ++i)
                exponent = exponent * 10 + (literal[i] - '0');
        }
        leadingExponent += negativeExponent ? -exponent : exponent;
        return leadingExponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }

    // The 64-bit total of a time: 0 when it passed the signed 64-bit range,
    // otherwise its low 32 bits.
    std::uint32_t LowWordOrZero(std::uint64_t value, bool overflowed)
    {
        if (overflowed
            || value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            return 0;
        return static_cast<std::uint32_t>(value);
    }

    std::optional<std::uint32_t> ParseScaled(std::string_view text, double scale)
    {
        std::size_t pos = 0;
        if (HasDecimalPoint(text)) {
            const auto x = ReadDecimalReal(text, pos);
            if (!x)
                return std::nullopt;
            return ScaleDecimal(*x, scale);
        }
        return ReadUnsignedInteger(text, pos);
    }

} // namespace

std::optional<std::uint32_t> ReadUnsignedInteger(std::string_view text, std::size_t& pos)
{
    std::size_t at = SkipBlanks(text, pos);
    const bool negative = ReadSign(text, at);
    unsigned base = 10;
    if (at + 2 < text.size() && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')
        && HexDigitValue(text[at + 2]) >= 0) {
        base = 16;
        at += 2;
    } else if (at < text.size() && text[at] == '0') {
        base = 8; // the leading 0 itself is an octal digit
    }
    const std::size_t first = at;
    std::uint64_t value = 0;
    bool saturated = false;
    for (; at < text.size(); ++at) {
        const int digit = HexDigitValue(text[at]);
        if (digit < 0 || static_cast<unsigned>(digit) >= base)
            break;
        value = value * base + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFull) {
            saturated = true;
            value = 0xFFFFFFFFull; // keep consuming digits; the result stays saturated
        }
    }
    if (at == first)
        return std::nullopt;
    pos = at;
    auto result = static_cast<std::uint32_t>(value);
    // A minus wraps like unsigned negation; an overflowed value stays at the top.
    if (negative && !saturated)
        result = 0u - result;
    return result;
}

std::optional<double> ReadDecimalReal(std::string_view text, std::size_t& pos)
{
    std::size_t at = SkipBlanks(text, pos);
    const bool negative = ReadSign(text, at);
    // Only digits or a point followed by a digit start a number: no "inf" or "nan".
    const bool startsNumber = at < text.size()
        && (IsDigit(text[at])
            || (text[at] == '.' && at + 1 < text.size() && IsDigit(text[at + 1])));
    if (!startsNumber)
        return std::nullopt;
    double value = 0;
    const char* begin = text.data() + at;
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (error == std::errc::invalid_argument)
        return std::nullopt;
    if (error == std::errc::result_out_of_range)
        value = OutOfRangeValue({ begin, static_cast<std::size_t>(end - begin) });
    pos = static_cast<std::size_t>(end - text.data());
    return negative ? -value : value;
}

std::optional<std::uint64_t> ReadDecimalDigits(std::string_view text, std::size_t& pos)
{
    std::size_t at = SkipBlanks(text, pos);
    const std::size_t first = at;
    std::uint64_t value = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        const auto digit = static_cast<std::uint64_t>(text[at] - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10)
            value = std::numeric_limits<std::uint64_t>::max();
        else
            value = value * 10 + digit;
    }
    if (at == first)
        return std::nullopt;
    pos = at;
    return value;
}

bool HasDecimalPoint(std::string_view text) { return text.find('.') != std::string_view::npos; }

std::uint32_t ScaleDecimal(double x, double scale)
{
    const double scaled = x * scale;
    // 2^63 is exact in a double; the negated test also catches NaN.
    constexpr double kLimit = 9223372036854775808.0;
    if (!(scaled >= -kLimit && scaled < kLimit))
        return 0;
    return static_cast<std::uint32_t>(
        static_cast<std::uint64_t>(static_cast<std::int64_t>(scaled)));
}

std::uint32_t ClampBalance(std::uint32_t balance512)
{
    const auto signedValue = static_cast<std::int32_t>(balance512);
    if (signedValue < 0)
        return 0;
    if (signedValue > static_cast<std::int32_t>(kBalanceMax))
        return kBalanceMax;
    return balance512;
}

std::optional<std::uint32_t> ParseVolume(std::string_view text)
{
    return ParseScaled(text, static_cast<double>(kVolumeOne));
}

std::optional<std::uint32_t> ParsePitch(std::string_view text)
{
    return ParseScaled(text, static_cast<double>(kPitchOne));
}

std::optional<std::uint32_t> ParseBalance(std::string_view text)
{
    std::size_t pos = 0;
    std::optional<std::uint32_t> raw;
    if (HasDecimalPoint(text)) {
        // -1.0 is the left end (0), +1.0 the right end (1024).
        const auto x = ReadDecimalReal(text, pos);
        if (x)
            raw = ScaleDecimal(*x + 1.0, static_cast<double>(kBalanceCentre));
    } else {
        raw = ReadUnsignedInteger(text, pos);
    }
    if (!raw)
        return std::nullopt;
    return ClampBalance(*raw);
}

std::optional<std::uint32_t> ParseInteger(std::string_view text)
{
    std::size_t pos = 0;
    return ReadUnsignedInteger(text, pos);
}

std::optional<std::uint32_t> ParseTime(std::string_view text, std::uint32_t samplesPerSecond)
{
    std::size_t pos = 0;
    const auto lead = ReadDecimalDigits(text, pos);
    if (!lead)
        return std::nullopt;
    const bool hasColon = pos < text.size() && text[pos] == ':';
    const bool hasPoint = !hasColon && pos < text.size() && text[pos] == '.';
    if (!hasColon && !hasPoint)
        return LowWordOrZero(*lead, false); // a plain frame count
    std::uint64_t seconds = *lead;
    bool overflowed = false;
    // A fraction follows the seconds: "1.5", "1:02.5"; after a colon with no
    // seconds ("1:.5") nothing more is read, so that is one minute.
    bool fractionAllowed = true;
    if (hasColon) {
        ++pos;
        // Digits right after the colon only: "1:" is one minute.
        std::uint64_t secondsPart = 0;
        fractionAllowed = pos < text.size() && IsDigit(text[pos]);
        if (fractionAllowed)
            secondsPart = *ReadDecimalDigits(text, pos);
        overflowed |= __builtin_mul_overflow(*lead, std::uint64_t { 60 }, &seconds);
        overflowed |= __builtin_add_overflow(seconds, secondsPart, &seconds);
    }
    std::uint64_t fractionFrames = 0;
    if (fractionAllowed && pos < text.size() && text[pos] == '.') {
        ++pos;
        std::uint64_t digits = 0;
        std::uint64_t divisor = 1;
        for (std::size_t n = 0; pos < text.size() && IsDigit(text[pos]); ++pos, ++n) {
            if (n < kMaxFractionDigits) {
                digits = digits * 10 + static_cast<std::uint64_t>(text[pos] - '0');
                divisor *= 10;
            }
        }
        // digits < 10^9 and rate < 2^32: the product fits 64 bits.
        fractionFrames = digits * samplesPerSecond / divisor;
    }
    std::uint64_t frames = 0;
    overflowed |= __builtin_mul_overflow(seconds, std::uint64_t { samplesPerSecond }, &frames);
    overflowed |= __builtin_add_overflow(frames, fractionFrames, &frames);
    return LowWordOrZero(frames, overflowed);
}

std::string FormatVolume(std::uint32_t gain1024, bool normalized)
{
    if (!normalized)
        return FormatInteger(gain1024);
    return FormatFixed(gain1024 / static_cast<double>(kVolumeOne), 6);
}

std::string FormatPitch(std::uint32_t pitchFx24, bool normalized)
{
    if (!normalized)
        return FormatInteger(pitchFx24);
    return FormatFixed(pitchFx24 / static_cast<double>(kPitchOne), 6);
}

std::string FormatBalance(std::uint32_t balance512, bool normalized)
{
    if (!normalized)
        return FormatInteger(balance512);
    return FormatFixed(balance512 / static_cast<double>(kBalanceCentre) - 1.0, 6);
}

std::string FormatInteger(std::uint32_t value) { return std::to_string(value); }

std::string FormatFixed(double value, int digits)
{
    // to_chars, unlike printf, ignores the process locale: the point stays a point.
    char buffer[400]; // any finite double in fixed notation fits
    const auto [end, error]
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, digits);
    if (error != std::errc {})
        return {};
    return std::string(buffer, end);
}

std::string FormatFrames(std::uint32_t frames, bool padded)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, padded ? "%10u" : "%u", static_cast<unsigned>(frames));
    return buffer;
}

std::string FormatTime(std::uint32_t frames, std::uint32_t samplesPerSecond)
{
    unsigned minutes = 0;
    unsigned seconds = 0;
    unsigned milliseconds = 0;
    if (samplesPerSecond != 0) {
        minutes = frames / samplesPerSecond / 60;
        seconds = frames / samplesPerSecond % 60;
        // 64 bits: the remainder times 1000 passes 32 bits at high rates.
        milliseconds = static_cast<unsigned>(
            std::uint64_t { frames % samplesPerSecond } * 1000 / samplesPerSecond);
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02u:%02u.%03u", minutes, seconds, milliseconds);
    return buffer;
}

} // namespace vellisto
