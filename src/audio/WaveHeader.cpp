// SPDX-License-Identifier: MIT
#include "audio/WaveHeader.h"

namespace vellisto::audio {

namespace {

struct ByteWriter {
    std::array<std::uint8_t, kWaveHeaderBytes>& out;
    std::size_t at = 0;

    void tag(const char (&text)[5])
    {
        for (int i = 0; i < 4; ++i)
            out[at++] = static_cast<std::uint8_t>(text[i]);
    }
    void u16(std::uint16_t v)
    {
        out[at++] = static_cast<std::uint8_t>(v);
        out[at++] = static_cast<std::uint8_t>(v >> 8);
    }
    void u32(std::uint32_t v)
    {
        u16(static_cast<std::uint16_t>(v));
        u16(static_cast<std::uint16_t>(v >> 16));
    }
};

} // namespace

std::array<std::uint8_t, kWaveHeaderBytes> MakeWaveHeader(
    const OutputFormat& format, std::uint32_t dataBytes)
{
    std::array<std::uint8_t, kWaveHeaderBytes> header {};
    ByteWriter w { header };
    w.tag("RIFF");
    w.u32(36 + dataBytes); // wraps only for data the caller has refused already
    w.tag("WAVE");
    w.tag("fmt ");
    w.u32(16);
    w.u16(format.formatTag);
    w.u16(format.channels);
    w.u32(format.samplesPerSecond);
    w.u32(format.averageBytesPerSecond);
    w.u16(format.blockAlign);
    w.u16(format.bitsPerSample);
    w.tag("data");
    w.u32(dataBytes);
    return header;
}

} // namespace vellisto::audio
