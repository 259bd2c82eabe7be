// SPDX-License-Identifier: MIT
#include "engine/WaveWriter.h"

#include "audio/WaveHeader.h"
#include "engine/Mixer.h"
#include "platform/File.h"

#include <algorithm>
#include <bit>
#include <new>
#include <vector>

namespace vellisto::engine {

// Rendered samples go to the file as they lie in memory: 16-bit little-endian.
static_assert(std::endian::native == std::endian::little);

namespace {

    constexpr std::uint64_t kMaxRiffSize = 0xFFFFFFFFull;
    constexpr std::uint32_t kRiffOverhead
        = audio::kWaveHeaderBytes - 8; // RIFF size = data bytes + 36

    class FileSink final : public WaveSink {
    public:
        explicit FileSink(platform::File& file)
            : m_file(file)
        {
        }

        bool append(std::span<const std::uint8_t> bytes) override
        {
            return m_file.write(bytes.data(), bytes.size());
        }

        bool rewriteStart(std::span<const std::uint8_t> bytes, std::uint64_t totalBytes) override
        {
            return m_file.truncate(totalBytes) && m_file.seek(0)
                && m_file.write(bytes.data(), bytes.size()) && m_file.seek(totalBytes);
        }

    private:
        platform::File& m_file;
    };

    void Publish(ProgressRecord& progress, bool ok)
    {
        progress.result.store(ok ? 1 : 0);
        progress.done.store(1); // last: a reader that sees it also sees the result
    }

    // Renders the whole mix into the sink; the outcome is published by the caller.
    bool RenderInto(const Project& project, MixState& state, const RenderSetup& setup,
        WaveSink& sink, ProgressRecord& progress)
    {
        const OutputFormat format = state.settings.outputFormat;
        const MixPlan plan = PlanMix(project, format);
        if (!plan.ok())
            return false;
        const std::uint32_t channels = format.channels;
        const std::uint32_t block = state.settings.bufferLength;
        std::vector<std::int16_t> buffer;
        try {
            buffer.assign(std::size_t { block } * channels, 0);
        } catch (const std::bad_alloc&) {
            return false;
        }

        const auto header
            = audio::MakeWaveHeader(format, static_cast<std::uint32_t>(plan.dataBytes));
        bool ok = sink.append(header);
        progress.total.store(plan.frames);
        std::uint32_t written = 0;
        while (ok && written < plan.frames) {
            progress.current.store(written);
            if (progress.abort.load() != 0)
                break;
            const std::uint32_t n = std::min(plan.frames - written, block);
            if (!RenderMix(project, state, setup, buffer.data(), n))
                break;
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(buffer.data());
            if (!sink.append({ bytes, std::size_t { n } * channels * 2 }))
                break;
            written += n;
        }
        if (ok && written == plan.frames)
            return true;
        // Stopped early: leave a valid file of the frames actually written.
        const std::uint64_t dataBytes = std::uint64_t { written } * channels * 2;
        sink.rewriteStart(audio::MakeWaveHeader(format, static_cast<std::uint32_t>(dataBytes)),
            audio::kWaveHeaderBytes + dataBytes);
        return false;
    }

} // namespace

std::uint32_t MixLength(const Project& project)
{
    std::uint32_t length = 0;
    for (const Track& track : project.tracks) {
        if (track.count > 0 && track.events != nullptr)
            length = std::max(length, track.events[track.count - 1].time);
    }
    return length;
}

bool IsRenderableFormat(const OutputFormat& format)
{
    return format.formatTag == kFormatPcm && format.bitsPerSample == 16
        && (format.channels == 1 || format.channels == 2);
}

MixPlan PlanMix(const Project& project, const OutputFormat& format)
{
    MixPlan plan;
    plan.frames = MixLength(project);
    plan.dataBytes = std::uint64_t { plan.frames } * format.channels * 2;
    plan.formatRenderable = IsRenderableFormat(format);
    plan.fitsWaveFile = plan.dataBytes <= kMaxRiffSize - kRiffOverhead;
    return plan;
}

bool WriteWaveFile(const Project& project, MixState& state, const RenderSetup& setup,
    WaveSink& sink, ProgressRecord& progress)
{
    const bool ok = RenderInto(project, state, setup, sink, progress);
    Publish(progress, ok);
    return ok;
}

bool WriteWaveFile(const Project& project, MixState& state, const RenderSetup& setup,
    platform::File& file, ProgressRecord& progress)
{
    FileSink sink(file);
    return WriteWaveFile(project, state, setup, sink, progress);
}

bool WriteWaveFile(const Project& project, MixState& state, const RenderSetup& setup,
    const std::string& nativePath, ProgressRecord& progress)
{
    bool ok = false;
    // Refuse before creating the file, so that an existing file stays as it was.
    if (PlanMix(project, state.settings.outputFormat).ok()) {
        platform::File file;
        if (file.createForWriting(nativePath)) {
            FileSink sink(file);
            ok = RenderInto(project, state, setup, sink, progress);
            ok = file.close() && ok;
        }
    }
    Publish(progress, ok);
    return ok;
}

} // namespace vellisto::engine
