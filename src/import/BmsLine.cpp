// SPDX-License-Identifier: MIT
#include "import/BmsLine.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

namespace vellisto::import {

namespace {

    bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
    bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f'; }

    std::optional<std::uint32_t> HexDigit(char16_t c)
    {
        if (c >= u'0' && c <= u'9')
            return c - u'0';
        if (c >= u'A' && c <= u'F')
            return c - u'A' + 10;
        if (c >= u'a' && c <= u'f')
            return c - u'a' + 10;
        return std::nullopt;
    }

    std::size_t SkipSpaces(std::u16string_view text, std::size_t at)
    {
        while (at < text.size() && text[at] == u' ')
            ++at;
        return at;
    }

    // "#BPMxx value" defines an extended tempo xx for use elsewhere in the
    // chart; it is not the header tempo, and reading its leading digits as
    // one would set the whole chart to a nonsense tempo.
    bool IsExtendedTempoDefinition(std::u16string_view line)
    {
        if (line.size() < 8 || IsBlank(line[4]) || IsBlank(line[5]) || !IsBlank(line[6]))
            return false;
        std::size_t at = 6;
        while (at < line.size() && IsBlank(line[at]))
            ++at;
        return at < line.size();
    }

    BmsLine ParseTempo(std::u16string_view line)
    {
        BmsLine result;
        if (IsExtendedTempoDefinition(line))
            return result;
        std::size_t at = SkipSpaces(line, 4);
        std::uint64_t tempo = 0;
        for (int digits = 0; digits < 10 && at < line.size() && IsDigit(line[at]); ++digits, ++at)
            tempo = tempo * 10 + (line[at] - u'0');
        if (tempo != 0) {
            result.kind = BmsLineKind::kTempo;
            result.tempo = tempo;
        }
        return result;
    }

    BmsLine ParseSound(std::u16string_view line)
    {
        BmsLine result;
        if (line.size() < 6)
            return result;
        const auto id = ParseHexPair(line[4], line[5]);
        if (!id)
            return result;
        result.kind = BmsLineKind::kSound;
        result.soundId = *id;
        result.name = line.substr(SkipSpaces(line, 6));
        return result;
    }

    BmsLine ParseChannel(std::u16string_view line)
    {
        BmsLine result;
        if (line.size() < 7 || !IsDigit(line[1]) || !IsDigit(line[2]) || !IsDigit(line[3])
            || (line[4] != u'0' && line[4] != u'1') || !IsDigit(line[5]) || line[6] != u':')
            return result;
        result.kind = BmsLineKind::kChannel;
        result.measure = (line[1] - u'0') * 100u + (line[2] - u'0') * 10u + (line[3] - u'0');
        result.channel = (line[4] - u'0') * 10u + (line[5] - u'0');
        result.data = line.substr(7);
        return result;
    }

    // The power of ten of the first significant digit of a decimal mantissa,
    // plus the exponent: positive for numbers of at least 10.
    long long DecimalMagnitude(std::string_view number)
    {
        std::size_t at = 0;
        if (at < number.size() && (number[at] == '-' || number[at] == '+'))
            ++at;
        long long integerDigits = 0;
        long long magnitude = 0;
        bool found = false;
        for (; at < number.size() && number[at] >= '0' && number[at] <= '9'; ++at) {
            if (found || number[at] != '0') {
                found = true;
                ++integerDigits;
            }
        }
        if (found) {
            magnitude = integerDigits - 1;
        } else if (at < number.size() && number[at] == '.') {
            for (++at; at < number.size() && number[at] == '0'; ++at)
                --magnitude;
            --magnitude;
        }
        while (at < number.size() && number[at] != 'e' && number[at] != 'E')
            ++at;
        if (at < number.size()) {
            ++at;
            const bool negative = at < number.size() && number[at] == '-';
            if (at < number.size() && (number[at] == '-' || number[at] == '+'))
                ++at;
            long long exponent = 0;
            for (; at < number.size(); ++at)
                exponent = std::min(exponent * 10 + (number[at] - '0'), 1000000LL);
            magnitude += negative ? -exponent : exponent;
        }
        return magnitude;
    }

} // namespace

std::optional<std::uint32_t> ParseHexPair(char16_t high, char16_t low)
{
    const auto h = HexDigit(high);
    const auto l = HexDigit(low);
    if (!h || !l)
        return std::nullopt;
    return *h * 16 + *l;
}

double ParseLeadingNumber(std::u16string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at]))
        ++at;
    // Collect the longest prefix of the form [sign] digits [. digits] [e [sign] digits].
    std::string number;
    const auto take = [&](auto accept) {
        while (at < text.size() && accept(text[at]))
            number.push_back(static_cast<char>(text[at++]));
    };
    const bool negative = at < text.size() && text[at] == u'-';
    if (at < text.size() && (text[at] == u'-' || text[at] == u'+'))
        ++at;
    const std::size_t mantissaStart = number.size();
    take(IsDigit);
    if (at < text.size() && text[at] == u'.') {
        number.push_back('.');
        ++at;
        take(IsDigit);
    }
    const bool hasDigits = number.find_first_of("0123456789", mantissaStart) != std::string::npos;
    if (!hasDigits)
        return 0.0;
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        std::size_t exponentAt = at + 1;
        if (exponentAt < text.size() && (text[exponentAt] == u'-' || text[exponentAt] == u'+'))
            ++exponentAt;
        if (exponentAt < text.size() && IsDigit(text[exponentAt])) {
            number.push_back('e');
            if (text[at + 1] == u'-')
                number.push_back('-');
            at = exponentAt;
            take(IsDigit);
        }
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range)
        value = DecimalMagnitude(number) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
}

BmsLine ParseBmsLine(std::u16string_view line)
{
    if (line.starts_with(u"#BPM"))
        return ParseTempo(line);
    if (line.starts_with(u"#WAV"))
        return ParseSound(line);
    if (line.starts_with(u"#"))
        return ParseChannel(line);
    return {};
}

} // namespace vellisto::import
