// SPDX-License-Identifier: MIT
#include "import/BmsStandardLine.h"

#include <string>

namespace vellisto::import {

namespace {

    constexpr std::uint64_t kMaxIntegerDigits = 9;
    constexpr std::uint64_t kMaxFractionDigits = 6;
    constexpr std::uint64_t kMaxControlValue = 0xFFFFFFFFu;

    bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
    bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

    char16_t Upper(char16_t c)
    {
        return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
    }

    std::optional<std::uint32_t> Base36Digit(char16_t c)
    {
        if (c >= u'0' && c <= u'9')
            return c - u'0';
        const char16_t upper = Upper(c);
        if (upper >= u'A' && upper <= u'Z')
            return upper - u'A' + 10;
        return std::nullopt;
    }

    std::u16string_view Trim(std::u16string_view text)
    {
        while (!text.empty() && IsBlank(text.front()))
            text.remove_prefix(1);
        while (!text.empty() && IsBlank(text.back()))
            text.remove_suffix(1);
        return text;
    }

    // Whether body starts with keyword, without regard to case.
    bool HasKeyword(std::u16string_view body, std::u16string_view keyword)
    {
        if (body.size() < keyword.size())
            return false;
        for (std::size_t i = 0; i < keyword.size(); ++i) {
            if (Upper(body[i]) != keyword[i])
                return false;
        }
        return true;
    }

    // The keyword followed by a blank: the rest after the blanks. nullopt
    // when the keyword is not there or is followed by something else.
    std::optional<std::u16string_view> ValueAfter(
        std::u16string_view body, std::u16string_view keyword)
    {
        if (!HasKeyword(body, keyword) || body.size() == keyword.size()
            || !IsBlank(body[keyword.size()]))
            return std::nullopt;
        return Trim(body.substr(keyword.size()));
    }

    // The keyword alone, or followed by a blank and anything (a comment).
    bool IsBareKeyword(std::u16string_view body, std::u16string_view keyword)
    {
        return HasKeyword(body, keyword)
            && (body.size() == keyword.size() || IsBlank(body[keyword.size()]));
    }

    // The keyword, a base-36 ID and a blank: the ID and the rest after the blanks.
    std::optional<std::pair<std::uint32_t, std::u16string_view>> IdAndValue(
        std::u16string_view body, std::u16string_view keyword)
    {
        const std::size_t at = keyword.size();
        if (!HasKeyword(body, keyword) || body.size() < at + 3 || !IsBlank(body[at + 2]))
            return std::nullopt;
        const auto id = ParseBase36Pair(body[at], body[at + 1]);
        if (!id)
            return std::nullopt;
        return std::pair { *id, Trim(body.substr(at + 2)) };
    }

    // A decimal integer filling all of text, at most kMaxControlValue.
    std::optional<std::uint64_t> ParseInteger(std::u16string_view text)
    {
        if (text.empty() || text.size() > 10)
            return std::nullopt;
        std::uint64_t value = 0;
        for (const char16_t c : text) {
            if (!IsDigit(c))
                return std::nullopt;
            value = value * 10 + (c - u'0');
        }
        if (value > kMaxControlValue)
            return std::nullopt;
        return value;
    }

    BmsStandardLine ParseChannel(std::u16string_view body)
    {
        BmsStandardLine result;
        if (body.size() < 6 || !IsDigit(body[0]) || !IsDigit(body[1]) || !IsDigit(body[2])
            || body[5] != u':')
            return result;
        const auto channel = ParseBase36Pair(body[3], body[4]);
        if (!channel)
            return result;
        result.kind = BmsStandardKind::kChannel;
        result.measure = (body[0] - u'0') * 100u + (body[1] - u'0') * 10u + (body[2] - u'0');
        result.channel = *channel;
        std::u16string_view data = body.substr(6);
        std::size_t end = 0;
        while (end < data.size() && !IsBlank(data[end]))
            ++end;
        result.data = data.substr(0, end);
        return result;
    }

    BmsStandardLine ParseCommand(std::u16string_view body)
    {
        BmsStandardLine result;
        const auto control = [&](BmsStandardKind kind, std::u16string_view value) {
            result.kind = kind;
            result.integer = ParseInteger(value);
            return result;
        };
        if (const auto value = ValueAfter(body, u"SETRANDOM"))
            return control(BmsStandardKind::kSetRandom, *value);
        if (const auto value = ValueAfter(body, u"RANDOM"))
            return control(BmsStandardKind::kRandom, *value);
        if (const auto value = ValueAfter(body, u"ELSEIF"))
            return control(BmsStandardKind::kElseIf, *value);
        if (const auto value = ValueAfter(body, u"IF"))
            return control(BmsStandardKind::kIf, *value);
        if (IsBareKeyword(body, u"ELSE"))
            result.kind = BmsStandardKind::kElse;
        else if (IsBareKeyword(body, u"ENDIF"))
            result.kind = BmsStandardKind::kEndIf;
        else if (IsBareKeyword(body, u"ENDRANDOM"))
            result.kind = BmsStandardKind::kEndRandom;
        if (result.kind != BmsStandardKind::kIgnored)
            return result;

        if (const auto value = ValueAfter(body, u"LNOBJ")) {
            if (value->size() == 2) {
                if (const auto id = ParseBase36Pair((*value)[0], (*value)[1])) {
                    result.kind = BmsStandardKind::kLongNoteEnd;
                    result.id = *id;
                }
            }
            return result;
        }
        // "#BPM 150" is the header tempo, "#BPM01 150" tempo 01.
        if (const auto value = ValueAfter(body, u"BPM")) {
            result.kind = BmsStandardKind::kHeaderTempo;
            result.number = ParseBmsDecimal(*value);
            return result;
        }
        const auto withId = [&](BmsStandardKind kind, std::u16string_view keyword) {
            const auto found = IdAndValue(body, keyword);
            if (!found)
                return false;
            result.kind = kind;
            result.id = found->first;
            result.number = ParseBmsDecimal(found->second);
            result.name = found->second;
            return true;
        };
        if (withId(BmsStandardKind::kExtendedTempo, u"BPM")
            || withId(BmsStandardKind::kStop, u"STOP"))
            return result;
        if (withId(BmsStandardKind::kSound, u"WAV") && result.name.empty())
            result.kind = BmsStandardKind::kIgnored;
        return result;
    }

} // namespace

std::optional<std::uint32_t> ParseBase36Pair(char16_t high, char16_t low)
{
    const auto h = Base36Digit(high);
    const auto l = Base36Digit(low);
    if (!h || !l)
        return std::nullopt;
    return *h * 36 + *l;
}

std::u16string Base36Text(std::uint32_t value)
{
    constexpr std::u16string_view kDigits = u"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    return { kDigits[(value / 36) % 36], kDigits[value % 36] };
}

std::optional<BmsDecimal> ParseBmsDecimal(std::u16string_view text)
{
    std::size_t at = 0;
    if (at < text.size() && text[at] == u'+')
        ++at;
    std::uint64_t integer = 0;
    std::uint64_t significant = 0;
    bool anyDigit = false;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        anyDigit = true;
        if (significant > 0 || text[at] != u'0')
            ++significant;
        if (significant > kMaxIntegerDigits)
            return std::nullopt;
        integer = integer * 10 + (text[at] - u'0');
    }
    std::uint64_t fraction = 0;
    std::uint64_t denominator = 1;
    if (at < text.size() && text[at] == u'.') {
        std::uint64_t digits = 0;
        for (++at; at < text.size() && IsDigit(text[at]); ++at, ++digits) {
            anyDigit = true;
            if (digits < kMaxFractionDigits) { // a millionth is the finest step kept
                fraction = fraction * 10 + (text[at] - u'0');
                denominator *= 10;
            }
        }
    }
    if (!anyDigit || at != text.size())
        return std::nullopt;
    return BmsDecimal { integer * denominator + fraction, denominator };
}

BmsStandardLine ParseStandardBmsLine(std::u16string_view line)
{
    const std::u16string_view trimmed = Trim(line);
    if (trimmed.size() < 2 || trimmed[0] != u'#')
        return {};
    const std::u16string_view body = trimmed.substr(1);
    if (IsDigit(body[0]))
        return ParseChannel(body);
    return ParseCommand(body);
}

} // namespace vellisto::import
