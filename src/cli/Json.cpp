// SPDX-License-Identifier: MIT
#include "cli/Json.h"

#include "platform/TextCodec.h"

#include <cmath>
#include <cstdio>
#include <span>

namespace vellisto::cli {

std::string JsonQuote(std::string_view text)
{
    // JSON text is Unicode: bytes that are no UTF-8 (a file name in another
    // encoding) become U+FFFD, so that every reader can still parse the rest.
    std::string valid;
    if (!platform::IsValidUtf8(
            std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()))) {
        valid = platform::Utf16ToUtf8(platform::Utf8ToUtf16(text));
        text = valid;
    }
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                out += escape;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

void JsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_levels.empty())
        return;
    if (m_levels.back())
        m_out += ',';
    m_levels.back() = true;
    m_out += '\n';
    m_out.append(2 * m_levels.size(), ' ');
}

void JsonWriter::open(char bracket)
{
    beforeValue();
    m_out += bracket;
    m_levels.push_back(false);
}

void JsonWriter::close(char bracket)
{
    if (m_levels.empty())
        return;
    const bool hadMembers = m_levels.back();
    m_levels.pop_back();
    if (hadMembers) {
        m_out += '\n';
        m_out.append(2 * m_levels.size(), ' ');
    }
    m_out += bracket;
}

void JsonWriter::key(std::string_view name)
{
    beforeValue();
    m_out += JsonQuote(name);
    m_out += ": ";
    m_afterKey = true;
}

void JsonWriter::string(std::string_view utf8)
{
    beforeValue();
    m_out += JsonQuote(utf8);
}

void JsonWriter::number(std::uint64_t value)
{
    beforeValue();
    m_out += std::to_string(value);
}

void JsonWriter::boolean(bool value)
{
    beforeValue();
    m_out += value ? "true" : "false";
}

void JsonWriter::decimal(double value, int places)
{
    beforeValue();
    if (!std::isfinite(value)) {
        m_out += "null"; // JSON has no infinities
        return;
    }
    char text[400]; // %f of the largest double has 309 digits before the point
    std::snprintf(text, sizeof text, "%.*f", places, value);
    m_out += text;
}

} // namespace vellisto::cli
