// SPDX-License-Identifier: MIT
#pragma once

// Builders shared by the sound input tests: WAVE files in memory and sound
// slots holding given samples.

#include "model/Limits.h"
#include "model/Project.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace vellisto::test {

// A WAVE file in memory: "RIFF", size, "WAVE" and the chunks added in order.
// The RIFF size is the true body size unless set with riffSize().
class WaveBytes {
public:
    WaveBytes& u16(std::uint32_t v)
    {
        m_chunks.push_back(static_cast<std::uint8_t>(v));
        m_chunks.push_back(static_cast<std::uint8_t>(v >> 8));
        return *this;
    }
    WaveBytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    WaveBytes& tag(const std::string& id)
    {
        for (const char c : id)
            m_chunks.push_back(static_cast<std::uint8_t>(c));
        return *this;
    }
    WaveBytes& bytes(const std::vector<std::uint8_t>& data)
    {
        for (const std::uint8_t b : data)
            m_chunks.push_back(b);
        return *this;
    }
    // A chunk with its true size and a pad byte after an odd body.
    WaveBytes& chunk(const std::string& id, const std::vector<std::uint8_t>& body)
    {
        tag(id).u32(static_cast<std::uint32_t>(body.size())).bytes(body);
        if (body.size() % 2 != 0)
            m_chunks.push_back(0);
        return *this;
    }
    // A "fmt " chunk; extraBytes > 0 adds a size word and extension bytes.
    WaveBytes& fmt(std::uint16_t formatTag, std::uint16_t channels, std::uint32_t rate,
        std::uint16_t bits, std::uint16_t extraBytes = 0)
    {
        const std::uint32_t blockAlign = channels * bits / 8u;
        tag("fmt ").u32(extraBytes == 0 ? 16u : 18u + extraBytes);
        u16(formatTag).u16(channels).u32(rate).u32(rate * blockAlign).u16(blockAlign).u16(bits);
        if (extraBytes != 0) {
            u16(extraBytes);
            bytes(std::vector<std::uint8_t>(extraBytes, 0xAB));
        }
        return *this;
    }
    WaveBytes& data(const std::vector<std::uint8_t>& body) { return chunk("data", body); }
    WaveBytes& data16(const std::vector<std::int16_t>& samples)
    {
        std::vector<std::uint8_t> body;
        for (const std::int16_t s : samples) {
            body.push_back(static_cast<std::uint8_t>(s & 0xFF));
            body.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
        }
        return data(body);
    }
    WaveBytes& pcm16(
        std::uint16_t channels, std::uint32_t rate, const std::vector<std::int16_t>& samples)
    {
        return fmt(1, channels, rate, 16).data16(samples);
    }
    WaveBytes& pcm8(
        std::uint16_t channels, std::uint32_t rate, const std::vector<std::uint8_t>& samples)
    {
        return fmt(1, channels, rate, 8).data(samples);
    }
    WaveBytes& riffSize(std::uint32_t size)
    {
        m_riffSize = size;
        m_riffSizeSet = true;
        return *this;
    }
    WaveBytes& formType(const std::string& id)
    {
        m_formType = id;
        return *this;
    }

    std::vector<std::uint8_t> file() const
    {
        WaveBytes out;
        const auto body = static_cast<std::uint32_t>(4 + m_chunks.size());
        out.tag("RIFF").u32(m_riffSizeSet ? m_riffSize : body).tag(m_formType).bytes(m_chunks);
        return out.m_chunks;
    }

private:
    std::vector<std::uint8_t> m_chunks;
    std::string m_formType = "WAVE";
    std::uint32_t m_riffSize = 0;
    bool m_riffSizeSet = false;
};

inline OutputFormat PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits)
{
    OutputFormat f { 1, channels, rate, 0, 0, bits, 0 };
    CompleteOutputFormat(f);
    return f;
}

// Puts samples into a slot as the reader would hold them: 16-bit little-endian,
// or 8-bit stored signed (one value per byte, -128..127).
inline void SetSamples(SoundSlot& sound, const OutputFormat& format, const std::vector<int>& values)
{
    ReleaseSampleBlock(sound.samples);
    const std::uint32_t width = format.bitsPerSample / 8u;
    sound.dataFormat = format;
    sound.sampleBytes = static_cast<std::uint32_t>(values.size() * width);
    sound.samples = AllocateSampleBlock(sound.sampleBytes);
    for (std::size_t i = 0; i < values.size(); ++i) {
        sound.samples[i * width] = static_cast<std::uint8_t>(values[i] & 0xFF);
        if (width == 2)
            sound.samples[i * width + 1] = static_cast<std::uint8_t>((values[i] >> 8) & 0xFF);
    }
}

// The slot's samples read as 16-bit little-endian values.
inline std::vector<int> Samples16(const SoundSlot& sound)
{
    std::vector<int> out;
    for (std::uint32_t i = 0; i + 1 < sound.sampleBytes; i += 2)
        out.push_back(static_cast<std::int16_t>(sound.samples[i] | (sound.samples[i + 1] << 8)));
    return out;
}

// True when both guard zones around the slot's samples are zero.
inline bool GuardZonesZero(const SoundSlot& sound)
{
    if (sound.samples == nullptr)
        return false;
    for (std::size_t i = 1; i <= kGuardBytes; ++i) {
        if (sound.samples[-static_cast<std::ptrdiff_t>(i)] != 0)
            return false;
    }
    for (std::size_t i = 0; i < kGuardBytes; ++i) {
        if (sound.samples[sound.sampleBytes + i] != 0)
            return false;
    }
    return true;
}

} // namespace vellisto::test
