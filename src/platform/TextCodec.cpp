// SPDX-License-Identifier: MIT
#include "platform/TextCodec.h"

#include <cerrno>
#include <iconv.h>

namespace vellisto::platform {

namespace {

    constexpr char32_t kReplacement = 0xFFFD;

    // Decodes one UTF-8 sequence at bytes[i]; returns its length or 0 when invalid.
    std::size_t DecodeUtf8At(std::span<const std::uint8_t> bytes, std::size_t i, char32_t& out)
    {
        const std::uint8_t b0 = bytes[i];
        if (b0 < 0x80) {
            out = b0;
            return 1;
        }
        std::size_t length = 0;
        char32_t value = 0;
        char32_t minimum = 0;
        if ((b0 & 0xE0) == 0xC0) {
            length = 2;
            value = b0 & 0x1F;
            minimum = 0x80;
        } else if ((b0 & 0xF0) == 0xE0) {
            length = 3;
            value = b0 & 0x0F;
            minimum = 0x800;
        } else if ((b0 & 0xF8) == 0xF0) {
            length = 4;
            value = b0 & 0x07;
            minimum = 0x10000;
        } else {
            return 0;
        }
        if (bytes.size() - i < length)
            return 0;
        for (std::size_t k = 1; k < length; ++k) {
            const std::uint8_t b = bytes[i + k];
            if ((b & 0xC0) != 0x80)
                return 0;
            value = (value << 6) | (b & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return 0;
        out = value;
        return length;
    }

    void AppendUtf16(std::u16string& out, char32_t c)
    {
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }

    void AppendUtf8(std::string& out, char32_t c)
    {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }

    std::u16string DecodeCp932(std::span<const std::uint8_t> bytes)
    {
        std::u16string out;
        iconv_t cd = iconv_open("UTF-16LE", "CP932");
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            // Without the converter, keep ASCII and mark everything else.
            for (const std::uint8_t b : bytes)
                out.push_back(b < 0x80 ? char16_t(b) : char16_t(kReplacement));
            return out;
        }
        char* in = reinterpret_cast<char*>(const_cast<std::uint8_t*>(bytes.data()));
        std::size_t inLeft = bytes.size();
        char buffer[1024];
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
            const std::size_t produced = sizeof buffer - outLeft;
            for (std::size_t k = 0; k + 1 < produced; k += 2) {
                out.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(buffer[k])
                    | (static_cast<std::uint8_t>(buffer[k + 1]) << 8)));
            }
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
                // An invalid or cut-off sequence: mark one byte and go on after it.
                out.push_back(static_cast<char16_t>(kReplacement));
                ++in;
                --inLeft;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
            }
        }
        iconv_close(cd);
        return out;
    }

} // namespace

bool IsValidUtf8(std::span<const std::uint8_t> bytes)
{
    char32_t c = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = DecodeUtf8At(bytes, i, c);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

std::u16string DecodeAnsi(std::span<const std::uint8_t> bytes)
{
    if (!IsValidUtf8(bytes))
        return DecodeCp932(bytes);
    std::u16string out;
    out.reserve(bytes.size());
    char32_t c = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        i += DecodeUtf8At(bytes, i, c);
        AppendUtf16(out, c);
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00
            && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text)
{
    const std::span<const std::uint8_t> bytes(
        reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    std::u16string out;
    out.reserve(text.size());
    char32_t c = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t n = DecodeUtf8At(bytes, i, c);
        if (n == 0) {
            AppendUtf16(out, kReplacement);
            ++i;
        } else {
            AppendUtf16(out, c);
            i += n;
        }
    }
    return out;
}

} // namespace vellisto::platform
