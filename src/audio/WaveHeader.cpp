// SPDX-License-Identifier: MIT
#include "audio/WaveHeader.h"

#include "platform/ByteWriter.h"

#include <algorithm>

namespace vellisto::audio {

namespace {

    void AppendTag(platform::ByteWriter& w, const char (&text)[5])
    {
        for (int i = 0; i < 4; ++i)
            w.appendU8(static_cast<std::uint8_t>(text[i]));
    }

} // namespace

std::array<std::uint8_t, kWaveHeaderBytes> MakeWaveHeader(
    const OutputFormat& format, std::uint32_t dataBytes)
{
    platform::ByteWriter w;
    w.reserve(kWaveHeaderBytes);
    AppendTag(w, "RIFF");
    w.appendU32le(36 + dataBytes); // wraps only for data the caller has refused already
    AppendTag(w, "WAVE");
    AppendTag(w, "fmt ");
    w.appendU32le(16);
    AppendFormatKey(w, format);
    AppendTag(w, "data");
    w.appendU32le(dataBytes);
    std::array<std::uint8_t, kWaveHeaderBytes> header {};
    std::copy_n(w.bytes().begin(), kWaveHeaderBytes, header.begin());
    return header;
}

} // namespace vellisto::audio
