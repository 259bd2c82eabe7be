// SPDX-License-Identifier: MIT
#include "import/BmsStandardImport.h"

#include "import/BmsControlFlow.h"
#include "import/BmsProject.h"
#include "import/BmsStandardLine.h"
#include "import/BmsText.h"
#include "import/FrameClock.h"
#include "model/FixedPoint.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

namespace vellisto::import {

namespace {

    using platform::FailRead;
    using platform::ReadError;
    using platform::ReadErrorCode;

    constexpr std::uint32_t kIdCount = 36 * 36; // 00-ZZ
    constexpr std::uint32_t kMeasureCount = 1000;
    // A line of more objects is skipped: positions then keep within 20 bits,
    // which the exact time arithmetic relies on.
    constexpr std::size_t kMaxObjectsPerLine = std::size_t { 1 } << 20;
    constexpr BmsDecimal kDefaultTempo { 130, 1 };
    constexpr BmsDecimal kWholeMeasure { 1, 1 };

    constexpr std::uint32_t kFirstBackgroundTrack = 10;
    constexpr std::uint32_t kFirstBackgroundTrackWithSecondPlayer = 20;
    constexpr std::uint32_t kSecondPlayerTrackBase = 10;

    enum class Role : std::uint8_t {
        kIgnored,
        kBackground, // 01
        kMeasureLength, // 02
        kKey, // 10-19, 21-29
        kLongNote, // 51-59, 61-69
        kTempo, // 03
        kExtendedTempo, // 08
        kStop, // 09
    };

    Role RoleOf(std::uint32_t channel)
    {
        const std::uint32_t high = channel / 36;
        const std::uint32_t low = channel % 36;
        switch (channel) {
        case 1:
            return Role::kBackground;
        case 2:
            return Role::kMeasureLength;
        case 3:
            return Role::kTempo;
        case 8:
            return Role::kExtendedTempo;
        case 9:
            return Role::kStop;
        default:
            break;
        }
        if ((high == 1 && low <= 9) || (high == 2 && low >= 1 && low <= 9))
            return Role::kKey;
        if ((high == 5 || high == 6) && low >= 1 && low <= 9)
            return Role::kLongNote;
        return Role::kIgnored; // invisible notes, mines, images and the rest
    }

    bool IsSecondPlayer(std::uint32_t channel) { return channel / 36 == 2 || channel / 36 == 6; }

    // A position within a measure: a reduced fraction below 1, denominator at most 2^20.
    struct Position {
        std::uint32_t numerator = 0;
        std::uint32_t denominator = 1;
    };
    bool operator<(Position a, Position b)
    {
        return std::uint64_t { a.numerator } * b.denominator
            < std::uint64_t { b.numerator } * a.denominator;
    }
    bool operator==(Position a, Position b)
    {
        return a.numerator == b.numerator && a.denominator == b.denominator;
    }

    struct ChannelLine {
        std::uint32_t measure;
        std::uint32_t channel;
        std::u16string_view data;
        std::size_t textStart; // for offsets in reports
    };

    struct Object {
        std::uint32_t measure;
        std::uint32_t channel;
        Position position;
        std::uint32_t value; // 1..1295
        std::uint32_t sequence; // chart order
        std::uint32_t line; // index into the channel lines
        std::uint32_t layer; // which 01 line of its measure
        Role role;
    };

    // Objects at one position are taken in this order: notes sound before
    // the tempo changes there, and the stop comes last, at the new tempo.
    int Rank(Role role)
    {
        switch (role) {
        case Role::kTempo:
            return 1;
        case Role::kExtendedTempo:
            return 2;
        case Role::kStop:
            return 3;
        default:
            return 0;
        }
    }

    // One measure's length at a tempo, in frames: whole + rest / denominator.
    struct MeasureFrames {
        Uint128 whole;
        Uint128 rest;
        Uint128 denominator;
    };

    // 240 x rate x factor / tempo frames. The numerator stays below 2^110 and
    // the denominator below 2^70 by the bounds of BmsDecimal.
    MeasureFrames MeasureLength(std::uint32_t rate, BmsDecimal factor, BmsDecimal tempo)
    {
        Uint128 numerator = Uint128 { 240 } * rate * factor.numerator * tempo.denominator;
        Uint128 denominator = Uint128 { factor.denominator } * tempo.numerator;
        const Uint128 g = Gcd128(numerator, denominator);
        numerator /= g;
        denominator /= g;
        return { numerator / denominator, numerator % denominator, denominator };
    }

    // Moves the clock over the part of a measure from one position to a later one.
    void Advance(FrameClock& clock, const MeasureFrames& length, Position from, Position to)
    {
        // to - from = span / parts, both below 2^40.
        const std::uint64_t parts = std::uint64_t { from.denominator } * to.denominator;
        const std::uint64_t span = std::uint64_t { to.numerator } * from.denominator
            - std::uint64_t { from.numerator } * to.denominator;
        if (length.whole >> 64 != 0) {
            clock.add(length.whole, 1); // a measure this long is past every event time anyway
            return;
        }
        clock.add(length.whole * span, parts);
        clock.add(length.rest * span, length.denominator * parts);
    }

    // count / 192 of a 4/4 measure at the tempo: 240 x rate x count / (192 x tempo) frames.
    void AddStop(FrameClock& clock, std::uint32_t rate, BmsDecimal count, BmsDecimal tempo)
    {
        clock.add(Uint128 { 240 } * rate * count.numerator * tempo.denominator,
            Uint128 { 192 } * count.denominator * tempo.numerator);
    }

    // Warnings for the report, each ID of a kind once.
    class Warnings {
    public:
        Warnings(
            BmsImportReport* report, std::span<const std::uint8_t> chart, std::u16string_view text)
            : m_report(report)
            , m_chart(chart)
            , m_text(text)
        {
        }

        void add(BmsWarningKind kind, std::size_t textStart, std::uint32_t value)
        {
            if (m_report == nullptr)
                return;
            if (m_report->warnings.size() < kMaxListedBmsWarnings)
                m_report->warnings.push_back(
                    { kind, BmsLineOffset(m_chart, m_text, textStart), value });
            else
                ++m_report->unlisted;
        }

        void once(BmsWarningKind kind, std::size_t textStart, std::uint32_t id)
        {
            auto& seen = m_seen[static_cast<std::size_t>(kind)];
            if (id < kIdCount && !seen.test(id)) {
                seen.set(id);
                add(kind, textStart, id);
            }
        }

    private:
        BmsImportReport* m_report;
        std::span<const std::uint8_t> m_chart;
        std::u16string_view m_text;
        std::array<std::bitset<kIdCount>, 4> m_seen;
    };

    class StandardImporter {
    public:
        StandardImporter(Project& project, std::uint64_t seed, Warnings& warnings)
            : m_project(project)
            , m_rate(project.settings.outputFormat.samplesPerSecond)
            , m_flow(seed)
            , m_warnings(warnings)
        {
        }

        bool begin() { return ResetBmsTracks(m_project, m_appenders); }

        void line(std::u16string_view text, std::size_t textStart)
        {
            const BmsStandardLine line = ParseStandardBmsLine(text);
            switch (line.kind) {
            case BmsStandardKind::kRandom:
                return m_flow.random(line.integer);
            case BmsStandardKind::kSetRandom:
                return m_flow.setRandom(line.integer);
            case BmsStandardKind::kIf:
                return m_flow.ifBranch(line.integer);
            case BmsStandardKind::kElseIf:
                return m_flow.elseIfBranch(line.integer);
            case BmsStandardKind::kElse:
                return m_flow.elseBranch();
            case BmsStandardKind::kEndIf:
                return m_flow.endIf();
            case BmsStandardKind::kEndRandom:
                return m_flow.endRandom();
            default:
                break;
            }
            if (m_flow.active())
                define(line, textStart);
        }

        // Everything gathered: objects, times and events.
        bool finish(std::size_t& failedLine)
        {
            gatherObjects();
            keepLatestObjects();
            std::sort(m_objects.begin(), m_objects.end(), [](const Object& a, const Object& b) {
                if (a.measure != b.measure)
                    return a.measure < b.measure;
                if (!(a.position == b.position))
                    return a.position < b.position;
                if (Rank(a.role) != Rank(b.role))
                    return Rank(a.role) < Rank(b.role);
                return a.sequence < b.sequence;
            });
            const bool secondPlayer
                = std::any_of(m_objects.begin(), m_objects.end(), [](const Object& o) {
                      return o.role != Role::kBackground && IsSecondPlayer(o.channel);
                  });
            m_firstBackgroundTrack
                = secondPlayer ? kFirstBackgroundTrackWithSecondPlayer : kFirstBackgroundTrack;
            const std::uint32_t end = walk(failedLine);
            if (failedLine != kNoLine)
                return false;
            return FinishBmsTracks(m_project, end);
        }

        static constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);

    private:
        void define(const BmsStandardLine& line, std::size_t textStart)
        {
            switch (line.kind) {
            case BmsStandardKind::kChannel:
                m_lastMeasure = std::max(m_lastMeasure, line.measure);
                if (line.channel == 2) {
                    // Its own measure only; a later line replaces an earlier one.
                    if (const auto factor = ParseBmsDecimal(line.data); factor && !factor->isZero())
                        m_factors[line.measure] = *factor;
                } else if (RoleOf(line.channel) != Role::kIgnored) {
                    m_lines.push_back({ line.measure, line.channel, line.data, textStart });
                }
                return;
            case BmsStandardKind::kHeaderTempo:
                if (line.number && !line.number->isZero())
                    m_headerTempo = *line.number;
                return;
            case BmsStandardKind::kExtendedTempo:
                m_tempos[line.id] = line.number;
                return;
            case BmsStandardKind::kStop:
                m_stops[line.id] = line.number;
                return;
            case BmsStandardKind::kLongNoteEnd:
                m_longNoteEnds.set(line.id);
                return;
            case BmsStandardKind::kSound:
                if (line.id >= kSoundCount)
                    m_warnings.once(BmsWarningKind::kSoundBeyondTable, textStart, line.id);
                else
                    DefineBmsSound(m_project.sounds[line.id], line.name);
                return;
            default:
                return;
            }
        }

        void gatherObjects()
        {
            std::array<std::uint32_t, kMeasureCount> layers {};
            std::uint32_t sequence = 0;
            for (std::uint32_t i = 0; i < m_lines.size(); ++i) {
                const ChannelLine& line = m_lines[i];
                const std::size_t n = line.data.size() / 2;
                if (n == 0)
                    continue;
                if (n > kMaxObjectsPerLine) {
                    m_warnings.add(BmsWarningKind::kLineTooLong, line.textStart,
                        static_cast<std::uint32_t>(std::min<std::size_t>(n, 0xFFFFFFFFu)));
                    continue;
                }
                const Role role = RoleOf(line.channel);
                // Each 01 line of a measure is the next layer, even one of rests.
                const std::uint32_t layer = role == Role::kBackground ? layers[line.measure]++ : 0;
                for (std::size_t k = 0; k < n; ++k) {
                    const auto value = ParseBase36Pair(line.data[2 * k], line.data[2 * k + 1]);
                    if (!value || *value == 0)
                        continue;
                    const std::size_t g = std::gcd(k, n);
                    const Position position { static_cast<std::uint32_t>(k / g),
                        static_cast<std::uint32_t>(n / g) };
                    m_objects.push_back({ line.measure, line.channel, position, *value, sequence++,
                        i, layer, role });
                }
            }
        }

        // A later object on a channel at the same position replaces the
        // earlier one; background objects are all kept.
        void keepLatestObjects()
        {
            const auto samePlace = [](const Object& a, const Object& b) {
                return a.channel == b.channel && a.measure == b.measure && a.position == b.position;
            };
            std::stable_sort(
                m_objects.begin(), m_objects.end(), [](const Object& a, const Object& b) {
                    if (a.channel != b.channel)
                        return a.channel < b.channel;
                    if (a.measure != b.measure)
                        return a.measure < b.measure;
                    return a.position < b.position;
                });
            std::size_t kept = 0;
            for (std::size_t i = 0; i < m_objects.size(); ++i) {
                const bool replaced = i + 1 < m_objects.size()
                    && m_objects[i].role != Role::kBackground
                    && samePlace(m_objects[i], m_objects[i + 1]);
                if (!replaced)
                    m_objects[kept++] = m_objects[i];
            }
            m_objects.resize(kept);
        }

        // Runs the clock through every measure up to two past the last one
        // named, placing the objects; returns the end time.
        std::uint32_t walk(std::size_t& failedLine)
        {
            FrameClock clock;
            BmsDecimal tempo = m_headerTempo.value_or(kDefaultTempo);
            std::size_t next = 0;
            for (std::uint32_t measure = 0; measure <= m_lastMeasure + 1; ++measure) {
                const BmsDecimal factor = measure < kMeasureCount && m_factors[measure]
                    ? *m_factors[measure]
                    : kWholeMeasure;
                MeasureFrames length = MeasureLength(m_rate, factor, tempo);
                Position at;
                for (; next < m_objects.size() && m_objects[next].measure == measure; ++next) {
                    const Object& o = m_objects[next];
                    if (at < o.position) {
                        Advance(clock, length, at, o.position);
                        at = o.position;
                    }
                    if (o.role == Role::kTempo || o.role == Role::kExtendedTempo) {
                        if (const auto changed = tempoOf(o)) {
                            tempo = *changed;
                            length = MeasureLength(m_rate, factor, tempo);
                        }
                    } else if (o.role == Role::kStop) {
                        const auto& stop = m_stops[o.value];
                        if (!stop)
                            m_warnings.once(
                                BmsWarningKind::kUndefinedStop, m_lines[o.line].textStart, o.value);
                        else if (!stop->isZero())
                            AddStop(clock, m_rate, *stop, tempo);
                    } else if (!note(o, clock.eventTime())) {
                        failedLine = m_lines[o.line].textStart;
                        return 0;
                    }
                }
                Advance(clock, length, at, { 1, 1 });
            }
            return clock.eventTime();
        }

        std::optional<BmsDecimal> tempoOf(const Object& o)
        {
            if (o.role == Role::kTempo) {
                // Hexadecimal 01-FF: both characters must be hexadecimal digits.
                const std::uint32_t high = o.value / 36;
                const std::uint32_t low = o.value % 36;
                if (high >= 16 || low >= 16)
                    return std::nullopt;
                return BmsDecimal { high * 16 + low, 1 };
            }
            const auto& tempo = m_tempos[o.value];
            if (!tempo || tempo->isZero()) {
                m_warnings.once(
                    BmsWarningKind::kUndefinedTempo, m_lines[o.line].textStart, o.value);
                return std::nullopt;
            }
            return tempo;
        }

        // The Play event of a note, if it sounds; false when memory runs out.
        bool note(const Object& o, std::uint32_t time)
        {
            const std::uint32_t digit = o.channel % 36;
            std::uint32_t track = 0;
            if (o.role == Role::kBackground) {
                const std::uint32_t tracks = kTrackCount - m_firstBackgroundTrack;
                track = m_firstBackgroundTrack + o.layer % tracks;
            } else {
                track = IsSecondPlayer(o.channel) ? kSecondPlayerTrackBase + digit : digit;
                if (o.role == Role::kLongNote) {
                    // Start and end alternate; the end is silent.
                    const bool ending = m_openLongNotes.test(o.channel);
                    m_openLongNotes.flip(o.channel);
                    if (ending)
                        return true;
                } else if (m_longNoteEnds.test(o.value)) {
                    return true;
                }
            }
            if (o.value >= kSoundCount) {
                m_warnings.once(
                    BmsWarningKind::kSoundBeyondTable, m_lines[o.line].textStart, o.value);
                return true;
            }
            if (m_project.sounds[o.value].volume == 0)
                return true; // never defined
            const Event play { kEventExists, time, EventTypeWord(EventType::kPlay), o.value,
                static_cast<std::uint32_t>(kVolumeOne), kPitchOne };
            return m_appenders[track]->append(play);
        }

        Project& m_project;
        std::uint32_t m_rate;
        BmsControlFlow m_flow;
        Warnings& m_warnings;
        std::optional<BmsDecimal> m_headerTempo;
        std::array<std::optional<BmsDecimal>, kIdCount> m_tempos {};
        std::array<std::optional<BmsDecimal>, kIdCount> m_stops {};
        std::bitset<kIdCount> m_longNoteEnds;
        std::bitset<kIdCount> m_openLongNotes; // by channel
        std::array<std::optional<BmsDecimal>, kMeasureCount> m_factors {};
        std::uint32_t m_lastMeasure = 0;
        std::uint32_t m_firstBackgroundTrack = kFirstBackgroundTrack;
        std::vector<ChannelLine> m_lines;
        std::vector<Object> m_objects;
        TrackAppenders m_appenders;
    };

} // namespace

bool ImportStandardBms(Project& project, std::span<const std::uint8_t> chart,
    std::u16string_view chartPath, std::uint64_t seed, ReadError* reason, BmsImportReport* report)
{
    const std::u16string text = DecodeBmsText(chart);
    Warnings warnings(report, chart, text);
    // Large tables: kept off the stack.
    auto importer = std::make_unique<StandardImporter>(project, seed, warnings);
    if (!importer->begin())
        return FailRead(reason, ReadErrorCode::kOutOfMemory);
    SetBmsSettings(project, chartPath);
    ForEachBmsLine(
        text, [&](std::u16string_view line, std::size_t start) { importer->line(line, start); });
    std::size_t failedLine = StandardImporter::kNoLine;
    if (!importer->finish(failedLine)) {
        if (failedLine != StandardImporter::kNoLine)
            return FailRead(
                reason, ReadErrorCode::kOutOfMemory, BmsLineOffset(chart, text, failedLine));
        return FailRead(reason, ReadErrorCode::kOutOfMemory);
    }
    return true;
}

std::string DescribeBmsWarning(const BmsWarning& warning)
{
    const std::string id = platform::Utf16ToUtf8(Base36Text(warning.value));
    std::string text = "byte " + std::to_string(warning.offset) + ": ";
    switch (warning.kind) {
    case BmsWarningKind::kSoundBeyondTable:
        return text + "sound " + id + " is beyond the " + std::to_string(kSoundCount)
            + "-sound table; skipped";
    case BmsWarningKind::kLineTooLong:
        return text + "a channel line of " + std::to_string(warning.value)
            + " objects is too long; skipped";
    case BmsWarningKind::kUndefinedTempo:
        return text + "tempo " + id + " is not defined by a usable #BPM" + id + "; ignored";
    case BmsWarningKind::kUndefinedStop:
        return text + "stop " + id + " is not defined by a usable #STOP" + id + "; ignored";
    }
    return text + "unknown warning";
}

} // namespace vellisto::import
