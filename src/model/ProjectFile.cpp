// SPDX-License-Identifier: MIT
#include "model/ProjectFile.h"

#include "model/EventList.h"
#include "model/ProjectRecords.h"
#include "platform/ByteCursor.h"
#include "platform/ByteWriter.h"
#include "platform/File.h"
#include "platform/ReadError.h"

#include <algorithm>
#include <new>
#include <optional>

namespace vellisto {

namespace {

    using platform::ByteCursor;
    using platform::ReadError;
    using platform::ReadErrorCode;
    using projectfile::LayoutForVersion;

    enum ChunkType : std::uint32_t {
        kChunkSkip = 0,
        kChunkVersion = 1,
        kChunkEnd = 2,
        kChunkSettings = 3,
        kChunkSound = 4,
        kChunkTrack = 5,
    };

    constexpr std::uint8_t kMagicWritten[4] = { 'S', 'P', 'R', 'U' };
    constexpr std::uint8_t kMagicOld[4] = { 'S', 'P', 'R', 'J' }; // read identically
    constexpr std::size_t kEventBytes = 24;

    // The state of one read: where the stream is, the layout version that the
    // last version chunk set, and the first failure.
    class ChunkReader {
    public:
        ChunkReader(std::span<const std::uint8_t> bytes, Project& project)
            : m_cursor(bytes)
            , m_project(project)
        {
        }

        // Reads chunks until the end chunk; false at the first failure.
        bool run();
        const ReadError& error() const { return m_error; }

    private:
        bool fail(ReadErrorCode code, std::size_t offset)
        {
            return platform::FailRead(&m_error, code, offset);
        }
        // A word of the stream, or a truncation failure at its offset.
        std::optional<std::uint32_t> word();
        // The layout version for a chunk whose record depends on it.
        std::uint32_t version();

        bool readSkip();
        bool readVersion();
        bool readSettings();
        bool readSound();
        bool readTrack();

        ByteCursor m_cursor;
        Project& m_project;
        std::uint32_t m_version = 0;
        bool m_versionSeen = false;
        ReadError m_error;
    };

    std::optional<std::uint32_t> ChunkReader::word()
    {
        const auto value = m_cursor.readU32le();
        if (!value)
            fail(ReadErrorCode::kTruncated, m_cursor.offset());
        return value;
    }

    std::uint32_t ChunkReader::version()
    {
        // Files always carry the version chunk first; a record before any version
        // chunk is read as the oldest layout, as if its version chunk had been read.
        if (!m_versionSeen) {
            m_versionSeen = true;
            m_version = kOldestProjectVersion;
            projectfile::ApplyVersionUpgrade(m_version, m_project.settings);
        }
        return m_version;
    }

    // Chunk stream after the 4-byte magic ("SPRU" written, "SPRJ" also read):
    // | Type | Body                                                        |
    // |    0 | u32 length L, then L bytes skipped                          |
    // |    1 | u32 layout version, at most 0x20002                         |
    // |    2 | none: reading ends with success; later bytes are ignored     |
    // |    3 | settings record of the current layout                       |
    // |    4 | u32 sound index (< 1024), sound record of the current layout |
    // |    5 | u32 track index (< 64), u32 count N, N events of 24 bytes    |
    bool ChunkReader::run()
    {
        for (;;) {
            const std::size_t at = m_cursor.offset();
            if (m_cursor.atEnd())
                return fail(ReadErrorCode::kMissingEnd, at);
            const auto type = word();
            if (!type)
                return false;
            bool ok = false;
            switch (*type) {
            case kChunkSkip:
                ok = readSkip();
                break;
            case kChunkVersion:
                ok = readVersion();
                break;
            case kChunkEnd:
                return true;
            case kChunkSettings:
                ok = readSettings();
                break;
            case kChunkSound:
                ok = readSound();
                break;
            case kChunkTrack:
                ok = readTrack();
                break;
            default:
                return fail(ReadErrorCode::kUnknownChunk, at);
            }
            if (!ok)
                return false;
        }
    }

    bool ChunkReader::readSkip()
    {
        const auto length = word();
        if (!length)
            return false;
        const std::size_t at = m_cursor.offset();
        if (!m_cursor.skip(*length))
            return fail(ReadErrorCode::kChunkPastEnd, at);
        return true;
    }

    bool ChunkReader::readVersion()
    {
        const std::size_t at = m_cursor.offset();
        const auto value = word();
        if (!value)
            return false;
        if (*value > kProjectVersion)
            return fail(ReadErrorCode::kVersionTooNew, at);
        m_version = *value;
        m_versionSeen = true;
        projectfile::ApplyVersionUpgrade(*value, m_project.settings);
        return true;
    }

    bool ChunkReader::readSettings()
    {
        const auto& layout = LayoutForVersion(version());
        const std::size_t at = m_cursor.offset();
        const auto record = m_cursor.take(layout.settingsBytes);
        if (!record)
            return fail(ReadErrorCode::kTruncated, at);
        layout.readSettings(*record, m_project.settings);
        return true;
    }

    bool ChunkReader::readSound()
    {
        const auto& layout = LayoutForVersion(version());
        const std::size_t at = m_cursor.offset();
        const auto index = word();
        if (!index)
            return false;
        if (*index >= kSoundCount)
            return fail(ReadErrorCode::kBadSoundIndex, at);
        const std::size_t recordAt = m_cursor.offset();
        const auto record = m_cursor.take(layout.soundBytes);
        if (!record)
            return fail(ReadErrorCode::kTruncated, recordAt);
        layout.readSound(*record, m_project.sounds[*index]);
        return true;
    }

    bool ChunkReader::readTrack()
    {
        version(); // events have one layout, but the chunk still fixes an unset version
        const std::size_t at = m_cursor.offset();
        const auto index = word();
        if (!index)
            return false;
        if (*index >= kTrackCount)
            return fail(ReadErrorCode::kBadTrackIndex, at);
        const std::size_t countAt = m_cursor.offset();
        const auto count = word();
        if (!count)
            return false;
        // Check the claim against the data before allocating anything for it.
        if (std::uint64_t { *count } * kEventBytes > m_cursor.remaining())
            return fail(ReadErrorCode::kEventsPastEnd, countAt);
        Track& track = m_project.tracks[*index];
        if (!ResetEvents(track, *count))
            return fail(ReadErrorCode::kOutOfMemory, countAt);
        // Events are taken as stored, flags included: neither sorted nor checked.
        for (std::uint32_t i = 0; i < *count; ++i) {
            Event& e = track.events[i];
            e.flags = *m_cursor.readU32le();
            e.time = *m_cursor.readU32le();
            e.type = *m_cursor.readU32le();
            e.data1 = *m_cursor.readU32le();
            e.data2 = *m_cursor.readU32le();
            e.data3 = *m_cursor.readU32le();
        }
        return true;
    }

    bool ParseChunks(std::span<const std::uint8_t> bytes, Project& project, ReadError& error)
    {
        ByteCursor magicCursor(bytes);
        const auto magic = magicCursor.take(4);
        if (!magic
            || (!std::equal(magic->begin(), magic->end(), kMagicWritten)
                && !std::equal(magic->begin(), magic->end(), kMagicOld))) {
            return platform::FailRead(&error, ReadErrorCode::kNotProject, 0);
        }
        project.settings = ProjectSettings {};
        ChunkReader reader(bytes.subspan(4), project);
        const bool ok = reader.run();
        error = reader.error();
        if (error.offset)
            *error.offset += 4; // the chunk reader counts from after the magic
        return ok;
    }

    // Writes the whole file through a sink with appendU16le, appendU32le and
    // appendBytes: a ByteWriter for memory, a BufferedSink for a file.
    //
    // Output, in this order:
    // | Bytes | Content                                                        |
    // |     4 | "SPRU"                                                         |
    // |     8 | u32 1, u32 0x20002 (version chunk)                             |
    // |   596 | u32 3, settings record, layout 592                             |
    // | 572 n | per sound with a name, by index: u32 4, u32 index, 520-byte    |
    // |       | fileName, 12 words                                             |
    // |       | per track with events, by index: u32 5, u32 index, u32 count,  |
    // |       | count events of 24 bytes (no sentinel)                         |
    // |     4 | u32 2 (end chunk)                                              |
    template <class Sink> void WriteNameField(Sink& sink, const Name& name)
    {
        for (const char16_t unit : name)
            sink.appendU16le(static_cast<std::uint16_t>(unit));
    }

    template <class Sink> void WriteProject(Sink& sink, const Project& project)
    {
        sink.appendBytes(kMagicWritten);
        sink.appendU32le(kChunkVersion);
        sink.appendU32le(kProjectVersion);

        const ProjectSettings& s = project.settings;
        sink.appendU32le(kChunkSettings);
        for (const std::uint32_t w :
            { s.bufferLength, s.mixingInterpolation, s.loadingInterpolation, s.soundCountPerTrack,
                s.playingPriority, s.stoppingRules, s.changingStress, s.changingPitch,
                s.positionWord, s.masterVolume, s.masterBalance })
            sink.appendU32le(w);
        sink.appendBytes(s.reserved);
        const OutputFormat& f = s.outputFormat;
        AppendFormatKey(sink, f);
        sink.appendU16le(f.extraSize);
        WriteNameField(sink, s.basePath);
        sink.appendBytes(s.padding);

        for (std::uint32_t i = 0; i < kSoundCount; ++i) {
            const SoundSlot& slot = project.sounds[i];
            if (slot.empty())
                continue; // a slot without a name is not stored, whatever its words
            sink.appendU32le(kChunkSound);
            sink.appendU32le(i);
            WriteNameField(sink, slot.fileName);
            for (const std::uint32_t w : slot.words())
                sink.appendU32le(w);
        }

        for (std::uint32_t i = 0; i < kTrackCount; ++i) {
            const Track& track = project.tracks[i];
            if (track.count == 0 || !track.events)
                continue;
            sink.appendU32le(kChunkTrack);
            sink.appendU32le(i);
            sink.appendU32le(track.count);
            for (std::uint32_t k = 0; k < track.count; ++k) {
                const Event& e = track.events[k];
                for (const std::uint32_t w : { e.flags, e.time, e.type, e.data1, e.data2, e.data3 })
                    sink.appendU32le(w);
            }
        }
        sink.appendU32le(kChunkEnd);
    }

    // Collects bytes in memory and passes them to a file in blocks, so that a
    // large project is never held twice. Remembers the first write failure.
    class BufferedSink {
    public:
        explicit BufferedSink(platform::File& file)
            : m_file(file)
        {
            m_buffer.reserve(kBlockBytes + 64);
        }
        void appendU16le(std::uint16_t v)
        {
            m_buffer.appendU16le(v);
            drainIfFull();
        }
        void appendU32le(std::uint32_t v)
        {
            m_buffer.appendU32le(v);
            drainIfFull();
        }
        void appendBytes(std::span<const std::uint8_t> bytes)
        {
            m_buffer.appendBytes(bytes);
            drainIfFull();
        }
        bool finish()
        {
            drain();
            return m_ok;
        }

    private:
        static constexpr std::size_t kBlockBytes = 1 << 16;
        void drainIfFull()
        {
            if (m_buffer.size() >= kBlockBytes)
                drain();
        }
        void drain()
        {
            if (m_ok && m_buffer.size() > 0)
                m_ok = m_file.write(m_buffer.bytes().data(), m_buffer.size());
            m_buffer.clear();
        }

        platform::File& m_file;
        platform::ByteWriter m_buffer;
        bool m_ok = true;
    };

    void ClearTail(Name& name)
    {
        const std::size_t length = NameLength(name);
        if (length > 0 && length < name.size())
            std::fill(name.begin() + static_cast<std::ptrdiff_t>(length), name.end(), u'\0');
    }

} // namespace

bool ParseProjectFile(
    std::span<const std::uint8_t> bytes, Project& project, platform::ReadError* reason)
{
    ReadError error;
    bool ok = false;
    try {
        ok = ParseChunks(bytes, project, error);
    } catch (const std::bad_alloc&) {
        platform::FailRead(&error, ReadErrorCode::kOutOfMemory);
    }
    if (reason != nullptr)
        *reason = ok ? ReadError {} : error;
    return ok;
}

bool ReadProjectFile(const std::string& nativePath, Project& project, platform::ReadError* reason)
{
    std::optional<std::vector<std::uint8_t>> bytes;
    try {
        bytes = platform::ReadWholeFile(nativePath);
    } catch (const std::bad_alloc&) {
        return platform::FailRead(reason, ReadErrorCode::kOutOfMemory);
    }
    if (!bytes)
        return platform::FailRead(reason, ReadErrorCode::kCannotOpen);
    return ParseProjectFile(*bytes, project, reason);
}

std::vector<std::uint8_t> SerializeProjectFile(const Project& project)
{
    platform::ByteWriter writer;
    WriteProject(writer, project);
    return std::move(writer).bytes();
}

ProjectWriteResult WriteProjectFile(const Project& project, const std::string& nativePath)
{
    try {
        platform::AtomicFileWriter writer(nativePath);
        if (!writer.open())
            return ProjectWriteResult::kCannotCreate;
        BufferedSink sink(writer.file());
        WriteProject(sink, project);
        if (!sink.finish() || !writer.commit())
            return ProjectWriteResult::kWriteError;
        return ProjectWriteResult::kOk;
    } catch (const std::bad_alloc&) {
        return ProjectWriteResult::kWriteError;
    }
}

void ClearNameTails(Project& project)
{
    for (SoundSlot& slot : project.sounds)
        ClearTail(slot.fileName);
    ClearTail(project.settings.basePath);
}

} // namespace vellisto
