// SPDX-License-Identifier: MIT
#include "import/BmsImport.h"

#include "import/BmsLine.h"
#include "import/BmsProject.h"
#include "import/BmsStandardImport.h"
#include "import/BmsText.h"
#include "import/ScoreTime.h"
#include "import/TrackAppender.h"
#include "model/EventList.h"
#include "model/FixedPoint.h"
#include "platform/File.h"
#include "platform/TextCodec.h"

#include <array>
#include <cmath>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>

namespace vellisto::import {

namespace {

    constexpr std::uint32_t kBackgroundChannel = 1;
    constexpr std::uint32_t kMeasureLengthChannel = 2;
    constexpr std::uint32_t kTempoChannel = 3;
    constexpr std::uint32_t kFirstKeyChannel = 10;
    constexpr std::uint32_t kLastKeyChannel = 19;
    constexpr std::uint32_t kFirstBackgroundTrack = 10;
    constexpr std::uint32_t kBackgroundTracks = kTrackCount - kFirstBackgroundTrack; // 54

    // One 4/4 measure at tempo beats per minute, in 1/16777216 frames:
    // floor(rate x 240 x 2^24 / tempo). The product stays below 2^56.
    TimeFx24 BaseMeasureDuration(std::uint32_t rate, std::uint64_t tempo)
    {
        return std::uint64_t { rate } * 240 * (std::uint64_t { 1 } << 24) / tempo;
    }

    // trunc(base x factor) in double precision. A negative factor gives
    // measures of no length and a huge one the longest measure there is.
    TimeFx24 ScaledMeasureDuration(TimeFx24 base, double factor)
    {
        const double scaled = static_cast<double>(base) * factor;
        if (!(scaled > 0.0))
            return 0;
        if (scaled >= 18446744073709551616.0) // 2^64
            return kTimeFx24Max;
        return static_cast<TimeFx24>(scaled);
    }

    class BmsImporter {
    public:
        explicit BmsImporter(Project& project)
            : m_project(project)
            , m_rate(project.settings.outputFormat.samplesPerSecond)
            , m_baseMeasure(BaseMeasureDuration(m_rate, 120))
            , m_measure(m_baseMeasure)
        {
        }

        bool begin() { return ResetBmsTracks(m_project, m_appenders); }

        bool line(std::u16string_view text)
        {
            const BmsLine line = ParseBmsLine(text);
            switch (line.kind) {
            case BmsLineKind::kIgnored:
                return true;
            case BmsLineKind::kTempo:
                setTempo(line.tempo);
                return true;
            case BmsLineKind::kSound:
                defineSound(line.soundId, line.name);
                return true;
            case BmsLineKind::kChannel:
                return channel(line);
            }
            return true;
        }

        bool finish()
        {
            // Everything stops two measures after the start of the last measure reached.
            const TimeFx24 end = SaturatingAdd(m_position, SaturatingMul(2, m_measure));
            return FinishBmsTracks(m_project, EventTimeFromFx24(end));
        }

    private:
        void setTempo(std::uint64_t tempo)
        {
            m_baseMeasure = BaseMeasureDuration(m_rate, tempo);
            m_measure = ScaledMeasureDuration(m_baseMeasure, m_factor);
        }

        void defineSound(std::uint32_t id, std::u16string_view name)
        {
            DefineBmsSound(m_project.sounds[id], name);
        }

        bool channel(const BmsLine& line)
        {
            // Lines of an earlier measure than the current one land in the
            // current measure: the clock never runs backwards.
            if (line.measure > m_currentMeasure) {
                m_position = SaturatingAdd(
                    m_position, SaturatingMul(line.measure - m_currentMeasure, m_measure));
                m_currentMeasure = line.measure;
                m_backgroundIndex = 0;
            }
            if (line.channel == kMeasureLengthChannel) {
                // The factor stays in force until the next such line.
                m_factor = ParseLeadingNumber(line.data);
                m_measure = ScaledMeasureDuration(m_baseMeasure, m_factor);
                return true;
            }
            if (line.channel == kTempoChannel) {
                // The tempo applies from the start of this measure; only two digits are read.
                if (line.data.size() >= 2) {
                    if (const auto tempo = ParseHexPair(line.data[0], line.data[1]);
                        tempo && *tempo != 0)
                        setTempo(*tempo);
                }
                return true;
            }
            std::uint32_t track = 0;
            if (line.channel == kBackgroundChannel) {
                track = kFirstBackgroundTrack + m_backgroundIndex;
                m_backgroundIndex = (m_backgroundIndex + 1) % kBackgroundTracks;
            } else if (line.channel >= kFirstKeyChannel && line.channel <= kLastKeyChannel) {
                track = line.channel - kFirstKeyChannel;
            } else {
                return true;
            }
            return notes(*m_appenders[track], line.data);
        }

        // The data is n two-character sound IDs spread evenly over the
        // measure; pairs that are not hexadecimal or name a sound that was
        // never defined (volume 0) are rests.
        bool notes(TrackAppender& appender, std::u16string_view data)
        {
            const std::size_t n = data.size() / 2;
            for (std::size_t k = 0; k < n; ++k) {
                const auto id = ParseHexPair(data[2 * k], data[2 * k + 1]);
                if (!id || m_project.sounds[*id].volume == 0)
                    continue;
                // floor(k x measure / n): k < n, so the quotient fits 64 bits.
                const auto offset = static_cast<TimeFx24>(static_cast<Uint128>(k) * m_measure / n);
                const std::uint32_t time = EventTimeFromFx24(SaturatingAdd(m_position, offset));
                const Event play { kEventExists, time, EventTypeWord(EventType::kPlay), *id,
                    static_cast<std::uint32_t>(kVolumeOne), kPitchOne };
                if (!appender.append(play))
                    return false;
            }
            return true;
        }

        Project& m_project;
        std::uint32_t m_rate;
        std::uint32_t m_currentMeasure = 0;
        std::uint32_t m_backgroundIndex = 0;
        double m_factor = 1.0; // measure length, from the last 02 line
        TimeFx24 m_baseMeasure; // one 4/4 measure at the last tempo
        TimeFx24 m_measure; // trunc(m_baseMeasure x m_factor)
        TimeFx24 m_position = 0; // start of the current measure
        TrackAppenders m_appenders;
    };

    using platform::FailRead;
    using platform::ReadError;
    using platform::ReadErrorCode;

    bool Import(Project& project, std::span<const std::uint8_t> chart,
        std::u16string_view chartPath, ReadError* reason)
    {
        const std::u16string text = DecodeBmsText(chart);
        BmsImporter importer(project);
        if (!importer.begin())
            return FailRead(reason, ReadErrorCode::kOutOfMemory);
        SetBmsSettings(project, chartPath);

        // The first line whose events could not be stored ends the import.
        std::optional<std::size_t> failedLine;
        ForEachBmsLine(text, [&](std::u16string_view line, std::size_t start) {
            if (!failedLine && !importer.line(line))
                failedLine = start;
        });
        if (failedLine)
            return FailRead(
                reason, ReadErrorCode::kOutOfMemory, BmsLineOffset(chart, text, *failedLine));
        if (!importer.finish())
            return FailRead(reason, ReadErrorCode::kOutOfMemory);
        return true;
    }

} // namespace

bool ImportBmsFile(Project& project, std::span<const std::uint8_t> chart,
    std::u16string_view chartPath, const BmsImportOptions& options, ReadError* reason,
    BmsImportReport* report)
{
    try {
        if (options.rules == BmsRules::kStandard)
            return ImportStandardBms(project, chart, chartPath, options.seed, reason, report);
        return Import(project, chart, chartPath, reason);
    } catch (const std::bad_alloc&) {
        return FailRead(reason, ReadErrorCode::kOutOfMemory);
    }
}

bool ImportBmsFile(Project& project, std::span<const std::uint8_t> chart,
    std::u16string_view chartPath, ReadError* reason)
{
    return ImportBmsFile(project, chart, chartPath, BmsImportOptions {}, reason);
}

bool ImportBmsFile(Project& project, const std::string& nativePath, const BmsImportOptions& options,
    ReadError* reason, BmsImportReport* report)
{
    try {
        const auto bytes = platform::ReadWholeFile(nativePath);
        if (!bytes)
            return FailRead(reason, ReadErrorCode::kCannotOpen);
        // The base path is a folder that sound names are resolved against
        // later, from wherever the program then runs: make it absolute.
        std::error_code error;
        std::filesystem::path path = std::filesystem::absolute(nativePath, error);
        if (error)
            path = nativePath;
        // A folder whose bytes a stored name cannot say again (not UTF-8, or
        // with a '\\', which stored names use as a separator) is left out
        // like a long one: the document's own folder, the chart's, serves.
        const std::string& text = path.native();
        const bool storable
            = platform::IsValidUtf8(
                  { reinterpret_cast<const std::uint8_t*>(text.data()), text.size() })
            && text.find('\\') == std::string::npos;
        return ImportBmsFile(project, *bytes,
            storable ? platform::Utf8ToUtf16(text) : std::u16string(), options, reason, report);
    } catch (const std::bad_alloc&) {
        return FailRead(reason, ReadErrorCode::kOutOfMemory);
    }
}

bool ImportBmsFile(Project& project, const std::string& nativePath, ReadError* reason)
{
    return ImportBmsFile(project, nativePath, BmsImportOptions {}, reason);
}

} // namespace vellisto::import
