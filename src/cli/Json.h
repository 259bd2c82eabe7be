// SPDX-License-Identifier: MIT
#pragma once

// A small writer of indented JSON text for the command line's reports.
// Strings are UTF-8 (bytes that are not become U+FFFD); quotes, backslashes
// and control characters are escaped.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vellisto::cli {

// text as a JSON string literal, quotes included.
std::string JsonQuote(std::string_view text);

class JsonWriter {
public:
    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }
    // The key of the next member of the current object.
    void key(std::string_view name);
    void string(std::string_view utf8);
    void number(std::uint64_t value);
    void boolean(bool value);
    // A number with that many digits after the point, as printf's %.*f
    // writes it; null when it is not finite.
    void decimal(double value, int places);

    // The text written so far, with a final newline once everything is closed.
    std::string text() const { return m_levels.empty() ? m_out + "\n" : m_out; }

private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);

    std::string m_out;
    std::vector<bool> m_levels; // per open container: has it any member yet
    bool m_afterKey = false;
};

} // namespace vellisto::cli
