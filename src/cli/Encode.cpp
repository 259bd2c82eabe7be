// SPDX-License-Identifier: MIT
#include "cli/Encode.h"

#include "audio/SoundFileReader.h"
#include "platform/File.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sndfile.h>
#include <unistd.h>
#include <vector>

namespace vellisto::cli {

namespace {

    bool EndsWithNoCase(std::string_view text, std::string_view suffix)
    {
        if (text.size() < suffix.size())
            return false;
        const std::string_view tail = text.substr(text.size() - suffix.size());
        for (std::size_t i = 0; i < suffix.size(); ++i) {
            char c = tail[i];
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
            if (c != suffix[i])
                return false;
        }
        return true;
    }

    int SndFileFormat(OutputEncoding encoding)
    {
        switch (encoding) {
        case OutputEncoding::kFlac:
            return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        case OutputEncoding::kVorbis:
            return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
        case OutputEncoding::kOpus:
            return SF_FORMAT_OGG | SF_FORMAT_OPUS;
        case OutputEncoding::kWave:
            break;
        }
        return 0;
    }

    std::uint32_t Le(const unsigned char* bytes, int count)
    {
        std::uint32_t value = 0;
        for (int i = count - 1; i >= 0; --i)
            value = (value << 8) | bytes[i];
        return value;
    }

} // namespace

OutputEncoding EncodingOf(std::string_view path)
{
    if (EndsWithNoCase(path, ".flac"))
        return OutputEncoding::kFlac;
    if (EndsWithNoCase(path, ".ogg"))
        return OutputEncoding::kVorbis;
    if (EndsWithNoCase(path, ".opus"))
        return OutputEncoding::kOpus;
    return OutputEncoding::kWave;
}

std::optional<std::string> CreateFileBeside(const std::string& target, std::string_view suffix)
{
    namespace fs = std::filesystem;
    const fs::path path(target);
    std::string name(".");
    name.append(path.filename().string());
    name.append(".XXXXXX");
    std::string pattern = (path.parent_path() / name).string();
    pattern.append(suffix);
    const int fd = ::mkstemps(pattern.data(), static_cast<int>(suffix.size()));
    if (fd < 0)
        return std::nullopt;
    ::close(fd);
    return pattern;
}

std::optional<std::string> EncodingRefusal(const std::string& target, OutputEncoding encoding,
    std::uint32_t samplesPerSecond, std::uint32_t channels)
{
    SF_INFO info {};
    info.samplerate = static_cast<int>(std::min<std::uint32_t>(samplesPerSecond, INT32_MAX));
    info.channels = static_cast<int>(std::min<std::uint32_t>(channels, INT32_MAX));
    info.format = SndFileFormat(encoding);
    // The library's check passes any rate for Opus, whose encoder then refuses
    // all but these when the file is opened.
    constexpr std::uint32_t kOpusRates[] = { 8000, 12000, 16000, 24000, 48000 };
    const bool rateTaken = encoding != OutputEncoding::kOpus
        || std::find(std::begin(kOpusRates), std::end(kOpusRates), samplesPerSecond)
            != std::end(kOpusRates);
    if (encoding == OutputEncoding::kWave || (rateTaken && sf_format_check(&info) != 0))
        return std::nullopt;
    return target + ": this encoding cannot store " + std::to_string(samplesPerSecond) + " Hz with "
        + std::to_string(channels) + " channels"
        + (encoding == OutputEncoding::kOpus ? " (Opus takes 8000, 12000, 16000, 24000 or 48000 Hz)"
                                             : "");
}

bool EncodeWaveFile(const std::string& wavePath, const std::string& target, OutputEncoding encoding,
    const std::atomic<bool>& interrupt, std::string& reason)
{
    std::ifstream in(wavePath, std::ios::binary);
    std::array<unsigned char, 44> header {};
    if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) {
        reason = wavePath + ": cannot read the mix back";
        return false;
    }
    SF_INFO info {};
    info.channels = static_cast<int>(Le(&header[22], 2));
    info.samplerate = static_cast<int>(Le(&header[24], 4));
    info.format = SndFileFormat(encoding);
    std::uint64_t remaining = Le(&header[40], 4);
    if (info.channels < 1 || info.channels > 2 || Le(&header[34], 2) != 16) {
        reason = wavePath + ": not a 16-bit mix";
        return false;
    }
    if (auto refusal
        = EncodingRefusal(target, encoding, static_cast<std::uint32_t>(info.samplerate),
            static_cast<std::uint32_t>(info.channels))) {
        reason = std::move(*refusal);
        return false;
    }

    platform::AtomicFileWriter writer(target);
    if (!writer.open()) {
        reason = target + ": " + std::strerror(writer.error());
        return false;
    }
    SNDFILE* out = nullptr;
    {
        const std::lock_guard lock(audio::SndFileOpenMutex());
        out = sf_open_fd(writer.file().descriptor(), SFM_WRITE, &info, SF_FALSE);
        if (out == nullptr) {
            reason = target + ": " + sf_strerror(nullptr);
            return false;
        }
    }
    const std::size_t frameBytes = static_cast<std::size_t>(info.channels) * 2;
    const std::size_t blockFrames = 16384;
    std::vector<char> bytes(blockFrames * frameBytes);
    std::vector<short> samples(blockFrames * static_cast<std::size_t>(info.channels));
    bool ok = true;
    while (ok && remaining >= frameBytes) {
        if (interrupt.load()) {
            reason = "interrupted";
            ok = false;
            break;
        }
        const std::size_t frames = static_cast<std::size_t>(
            std::min<std::uint64_t>(remaining / frameBytes, blockFrames));
        if (!in.read(bytes.data(), static_cast<std::streamsize>(frames * frameBytes))) {
            reason = wavePath + ": cannot read the mix back";
            ok = false;
            break;
        }
        const std::size_t count = frames * static_cast<std::size_t>(info.channels);
        for (std::size_t i = 0; i < count; ++i)
            samples[i] = static_cast<short>(static_cast<std::int16_t>(
                static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[2 * i])
                    | (static_cast<unsigned char>(bytes[2 * i + 1]) << 8))));
        if (sf_writef_short(out, samples.data(), static_cast<sf_count_t>(frames))
            != static_cast<sf_count_t>(frames)) {
            reason = target + ": " + sf_strerror(out);
            ok = false;
        }
        remaining -= frames * frameBytes;
    }
    if (sf_close(out) != 0 && ok) {
        reason = target + ": encoding failed";
        ok = false;
    }
    if (!ok)
        return false;
    if (!writer.commit()) {
        reason = target + ": " + std::strerror(writer.error());
        return false;
    }
    return true;
}

} // namespace vellisto::cli
