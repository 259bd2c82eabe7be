// SPDX-License-Identifier: MIT
#include "views/TextFormat.h"

#include "model/UnitText.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace vellisto::views {

namespace {

    struct Conversion {
        bool left = false;
        bool zeros = false;
        std::size_t width = 0;
        int precision = -1; // none given
        char conversion = 0;
    };

    bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    // Reads the part of a conversion after '%'; false when it does not end
    // in a known conversion letter. Widths and precisions are capped so that
    // a damaged format cannot ask for gigabytes of padding.
    bool ReadConversion(std::string_view format, std::size_t& pos, Conversion& conversion)
    {
        constexpr std::size_t kMaxWidth = 256;
        for (; pos < format.size() && (format[pos] == '-' || format[pos] == '0'); ++pos)
            (format[pos] == '-' ? conversion.left : conversion.zeros) = true;
        for (; pos < format.size() && IsDigit(format[pos]); ++pos)
            conversion.width = std::min(
                kMaxWidth, conversion.width * 10 + static_cast<std::size_t>(format[pos] - '0'));
        if (pos < format.size() && format[pos] == '.') {
            ++pos;
            conversion.precision = 0;
            for (; pos < format.size() && IsDigit(format[pos]); ++pos)
                conversion.precision
                    = std::min(64, conversion.precision * 10 + (format[pos] - '0'));
        }
        if (pos >= format.size())
            return false;
        conversion.conversion = format[pos];
        switch (conversion.conversion) {
        case 'u':
        case 'd':
        case 'i':
        case 'f':
        case 's':
            ++pos;
            return true;
        default:
            return false;
        }
    }

    double AsReal(const FormatArgument& argument)
    {
        if (const auto* real = std::get_if<double>(&argument))
            return *real;
        if (const auto* value = std::get_if<std::uint32_t>(&argument))
            return *value;
        if (const auto* value = std::get_if<std::int32_t>(&argument))
            return *value;
        return 0.0;
    }

    // The 32-bit word of an integer argument; reals are truncated toward zero.
    std::uint32_t AsWord(const FormatArgument& argument)
    {
        if (const auto* value = std::get_if<std::uint32_t>(&argument))
            return *value;
        if (const auto* value = std::get_if<std::int32_t>(&argument))
            return static_cast<std::uint32_t>(*value);
        if (const auto* real = std::get_if<double>(&argument))
            return ScaleDecimal(*real, 1.0);
        return 0;
    }

    std::string Convert(const Conversion& conversion, const FormatArgument& argument)
    {
        switch (conversion.conversion) {
        case 'u':
            return std::to_string(AsWord(argument));
        case 'd':
        case 'i':
            return std::to_string(static_cast<std::int32_t>(AsWord(argument)));
        case 'f':
            return FormatFixed(
                AsReal(argument), conversion.precision < 0 ? 6 : conversion.precision);
        default:
            if (const auto* text = std::get_if<std::string_view>(&argument))
                return std::string(*text);
            return std::to_string(AsWord(argument));
        }
    }

    void Pad(std::string& out, const Conversion& conversion, std::string value)
    {
        if (value.size() >= conversion.width) {
            out += value;
            return;
        }
        const std::size_t fill = conversion.width - value.size();
        if (conversion.left) {
            out += value;
            out.append(fill, ' ');
        } else if (conversion.zeros && conversion.conversion != 's') {
            // Zeros go between the sign and the digits.
            const std::size_t sign = !value.empty() && value[0] == '-' ? 1 : 0;
            value.insert(sign, fill, '0');
            out += value;
        } else {
            out.append(fill, ' ');
            out += value;
        }
    }

} // namespace

std::string FormatText(std::string_view format, std::initializer_list<FormatArgument> arguments)
{
    std::string out;
    const FormatArgument* next = arguments.begin();
    std::size_t pos = 0;
    while (pos < format.size()) {
        const std::size_t percent = format.find('%', pos);
        if (percent == std::string_view::npos) {
            out.append(format.substr(pos));
            break;
        }
        out.append(format.substr(pos, percent - pos));
        if (percent + 1 < format.size() && format[percent + 1] == '%') {
            out += '%';
            pos = percent + 2;
            continue;
        }
        std::size_t end = percent + 1;
        Conversion conversion;
        if (!ReadConversion(format, end, conversion) || next == arguments.end()) {
            out.append(format.substr(percent, end - percent));
            pos = end;
            continue;
        }
        Pad(out, conversion, Convert(conversion, *next++));
        pos = end;
    }
    return out;
}

} // namespace vellisto::views
