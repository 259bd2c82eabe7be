// SPDX-License-Identifier: MIT
#pragma once

// Text conversions between the stored forms (UTF-16 names, 8-bit chart and
// legacy project text) and UTF-8 used by the operating system and terminals.
// Stateless and thread-safe.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vellisto::platform {

// 8-bit text: valid UTF-8 is read as UTF-8, anything else as CP932 (the
// Shift-JIS code page of legacy charts). Bytes that decode to nothing become U+FFFD.
std::u16string DecodeAnsi(std::span<const std::uint8_t> bytes);

bool IsValidUtf8(std::span<const std::uint8_t> bytes);

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// UTF-8 to UTF-16; invalid sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

} // namespace vellisto::platform
