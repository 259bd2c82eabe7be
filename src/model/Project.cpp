// SPDX-License-Identifier: MIT
#include "model/Project.h"

#include <cstring>
#include <new>

namespace vellisto {

bool SameFormatKey(const OutputFormat& a, const OutputFormat& b)
{
    return a.formatTag == b.formatTag && a.channels == b.channels
        && a.samplesPerSecond == b.samplesPerSecond
        && a.averageBytesPerSecond == b.averageBytesPerSecond && a.blockAlign == b.blockAlign
        && a.bitsPerSample == b.bitsPerSample;
}

void CompleteOutputFormat(OutputFormat& format)
{
    format.blockAlign = static_cast<std::uint16_t>(format.channels * format.bitsPerSample / 8);
    format.averageBytesPerSecond = format.blockAlign * format.samplesPerSecond;
}

bool ValidateSettings(ProjectSettings& settings)
{
    const ProjectSettings before = settings;
    if (settings.bufferLength < 1024)
        settings.bufferLength = 1024;
    else if (settings.bufferLength > 65536)
        settings.bufferLength = 65536;
    else
        settings.bufferLength -= settings.bufferLength % 1024;
    if (settings.soundCountPerTrack > kVoicesPerTrack)
        settings.soundCountPerTrack = kVoicesPerTrack;
    if (settings.masterVolume > 262144)
        settings.masterVolume = 262144;
    // The balance is compared as a signed number: a typed -5 arrives as a huge word.
    const auto balance = static_cast<std::int32_t>(settings.masterBalance);
    if (balance < 0)
        settings.masterBalance = 0;
    else if (balance > 1024)
        settings.masterBalance = 1024;
    return std::memcmp(&before, &settings, sizeof settings) != 0;
}

SoundSlot::~SoundSlot() { ReleaseSampleBlock(samples); }

SoundWords SoundSlot::words() const
{
    return { volume, pitch, loopBegin, loopEnd, stopEventMode, linkedId, linkingMode, attackTime,
        sustainTime, releaseTime, reserved1, reserved2 };
}

void SoundSlot::setWords(const SoundWords& w)
{
    volume = w[0];
    pitch = w[1];
    loopBegin = w[2];
    loopEnd = w[3];
    stopEventMode = w[4];
    linkedId = w[5];
    linkingMode = w[6];
    attackTime = w[7];
    sustainTime = w[8];
    releaseTime = w[9];
    reserved1 = w[10];
    reserved2 = w[11];
}

std::uint8_t* AllocateSampleBlock(std::uint64_t sampleBytes) noexcept
{
    // Sizes come from files: refuse what a 32-bit length could not describe.
    if (sampleBytes > 0xFFFFFFFFull)
        return nullptr;
    const std::size_t total = static_cast<std::size_t>(sampleBytes) + 2 * kGuardBytes;
    auto* block = new (std::nothrow) std::uint8_t[total];
    if (block == nullptr)
        return nullptr;
    std::memset(block, 0, kGuardBytes);
    std::memset(block + kGuardBytes + sampleBytes, 0, kGuardBytes);
    return block + kGuardBytes;
}

void ReleaseSampleBlock(std::uint8_t* samples) noexcept
{
    if (samples != nullptr)
        delete[](samples - kGuardBytes);
}

std::unique_ptr<Project> CreateProject() noexcept
{
    return std::unique_ptr<Project>(new (std::nothrow) Project());
}

std::size_t NameLength(const Name& name)
{
    std::size_t n = 0;
    while (n < name.size() && name[n] != 0)
        ++n;
    return n;
}

} // namespace vellisto
