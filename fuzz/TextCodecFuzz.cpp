// SPDX-License-Identifier: MIT
// Decoding 8-bit text must accept any bytes, and UTF-8 produced from its result
// must read back to the same UTF-16 text.

#include "platform/TextCodec.h"

#include <cstdint>
#include <cstdlib>

using namespace vellisto::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::u16string decoded = DecodeAnsi({ data, size });
    const std::string utf8 = Utf16ToUtf8(decoded);
    if (Utf8ToUtf16(utf8) != decoded)
        std::abort();
    return 0;
}
