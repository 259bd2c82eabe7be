// SPDX-License-Identifier: MIT
#include "views/ViewTitle.h"

#include "platform/TextCodec.h"

namespace vellisto::views {

namespace {

    // Replaces the first "%u" (when a number is given) and the first "%s" of
    // the format; the title is inserted as it is, never read as a format.
    std::u16string Fill(
        std::string_view format, const std::uint32_t* number, std::u16string_view documentTitle)
    {
        std::string text(format);
        std::string::size_type titleAt = text.find("%s");
        if (number != nullptr) {
            const std::string::size_type numberAt = text.find("%u");
            if (numberAt != std::string::npos) {
                const std::string digits = std::to_string(*number);
                text.replace(numberAt, 2, digits);
                if (titleAt != std::string::npos && titleAt > numberAt)
                    titleAt += digits.size() - 2;
            }
        }
        if (titleAt == std::string::npos)
            return platform::Utf8ToUtf16(text);
        std::u16string title = platform::Utf8ToUtf16(text.substr(0, titleAt));
        title += documentTitle;
        title += platform::Utf8ToUtf16(text.substr(titleAt + 2));
        return title;
    }

} // namespace

std::u16string FormatViewTitle(TextId format, std::u16string_view documentTitle)
{
    return Fill(Text(format), nullptr, documentTitle);
}

std::u16string FormatViewTitle(
    TextId format, std::uint32_t number, std::u16string_view documentTitle)
{
    return Fill(Text(format), &number, documentTitle);
}

} // namespace vellisto::views
