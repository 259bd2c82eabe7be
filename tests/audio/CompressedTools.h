// SPDX-License-Identifier: MIT
#pragma once

// Compressed sound files made at test time by the Debian encoders (flac,
// oggenc, opusenc, lame) from WAVE files the tests write, so that the
// decoder is checked against files of other programs' making.

#include "audio/AudioTestUtil.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vellisto::test {

// Whether every encoder the tests use is installed (scripts/install-deps
// installs them).
inline bool HaveEncoders()
{
    return std::system("command -v flac >/dev/null 2>&1 && command -v oggenc >/dev/null 2>&1"
                       " && command -v opusenc >/dev/null 2>&1 && command -v lame >/dev/null 2>&1")
        == 0;
}

inline bool RunQuietly(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

inline std::string Quoted(const std::filesystem::path& path)
{
    std::string quoted(1, '\'');
    quoted.append(path.string());
    quoted.push_back('\'');
    return quoted;
}

// The command that encodes wave into out, by the kind out's extension names:
// .flac, .ogg (Vorbis), .opus, .mp3, or .id3.mp3 (an MP3 with an ID3v2 tag).
inline std::string EncodeCommand(
    const std::filesystem::path& wave, const std::filesystem::path& out)
{
    const std::string name = out.filename().string();
    const auto endsWith = [&](const std::string& tail) {
        return name.size() >= tail.size()
            && name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
    };
    if (endsWith(".flac"))
        return "flac -s -f --channel-map=none -o " + Quoted(out) + " " + Quoted(wave);
    if (endsWith(".ogg"))
        return "oggenc -Q -o " + Quoted(out) + " " + Quoted(wave);
    if (endsWith(".opus"))
        return "opusenc --quiet " + Quoted(wave) + " " + Quoted(out);
    if (endsWith(".id3.mp3"))
        return "lame --silent --add-id3v2 --tt tagged " + Quoted(wave) + " " + Quoted(out);
    return "lame --silent " + Quoted(wave) + " " + Quoted(out);
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// Interleaved 16-bit samples: a tone per channel (440 Hz, 660 Hz, ...) at
// half of full scale, with a little deterministic noise so that no encoder
// sees a pure tone.
inline std::vector<std::int16_t> ToneSamples(
    std::uint32_t channels, std::uint32_t rate, std::uint32_t frames)
{
    std::vector<std::int16_t> samples;
    std::uint32_t noise = 12345;
    for (std::uint32_t i = 0; i < frames; ++i) {
        for (std::uint32_t c = 0; c < channels; ++c) {
            noise = noise * 1103515245u + 12345u;
            const double tone = std::sin(2.0 * M_PI * (440.0 + 220.0 * c) * i / rate);
            const double value = 16000.0 * tone + static_cast<double>((noise >> 16) % 200) - 100.0;
            samples.push_back(static_cast<std::int16_t>(std::lround(value)));
        }
    }
    return samples;
}

// A 16-bit WAVE file of the given samples, written to path.
inline void WriteWave16(const std::filesystem::path& path, std::uint16_t channels,
    std::uint32_t rate, const std::vector<std::int16_t>& samples)
{
    WriteBytes(path, WaveBytes {}.pcm16(channels, rate, samples).file());
}

// The root mean square of a run of samples.
inline double Rms(const std::vector<int>& samples)
{
    double sum = 0.0;
    for (const int s : samples)
        sum += static_cast<double>(s) * s;
    return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

} // namespace vellisto::test
