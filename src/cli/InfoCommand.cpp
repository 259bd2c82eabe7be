// SPDX-License-Identifier: MIT
// vellisto-cli info INPUT [--json] [IMPORT OPTIONS]: the settings, every used
// sound with its twelve setting words and every track's event count and
// length, as stable text or as JSON. Scores are shown as they import.

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Input.h"
#include "cli/Json.h"
#include "mix/SoundCache.h"
#include "model/UnitText.h"
#include "platform/TextCodec.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace vellisto::cli {

namespace {

    constexpr std::array<std::string_view, kSoundWordCount> kSoundWordNames
        = { "volume", "pitch", "loopBegin", "loopEnd", "stopEventMode", "linkedId", "linkingMode",
              "attackTime", "sustainTime", "releaseTime", "reserved1", "reserved2" };

    using NamedWords = std::vector<std::pair<std::string_view, std::uint32_t>>;

    // The numeric settings in stored order; reserved bytes, padding and the base
    // path are shown apart.
    NamedWords SettingsWords(const ProjectSettings& s)
    {
        const OutputFormat& f = s.outputFormat;
        return { { "bufferLength", s.bufferLength },
            { "mixingInterpolation", s.mixingInterpolation },
            { "loadingInterpolation", s.loadingInterpolation },
            { "soundCountPerTrack", s.soundCountPerTrack },
            { "playingPriority", s.playingPriority }, { "stoppingRules", s.stoppingRules },
            { "changingStress", s.changingStress }, { "changingPitch", s.changingPitch },
            { "positionWord", s.positionWord }, { "masterVolume", s.masterVolume },
            { "masterBalance", s.masterBalance }, { "formatTag", f.formatTag },
            { "channels", f.channels }, { "samplesPerSecond", f.samplesPerSecond },
            { "averageBytesPerSecond", f.averageBytesPerSecond }, { "blockAlign", f.blockAlign },
            { "bitsPerSample", f.bitsPerSample }, { "extraSize", f.extraSize } };
    }

    std::string NameUtf8(const Name& name)
    {
        return platform::Utf16ToUtf8({ name.data(), NameLength(name) });
    }

    // A name or path on one line of text: control characters shown as \xNN.
    std::string Printable(std::string_view text)
    {
        std::string out;
        for (const char c : text) {
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned>(c));
                out += escape;
            } else {
                out += c;
            }
        }
        return out;
    }

    std::string PrintableName(const Name& name) { return Printable(NameUtf8(name)); }

    // The time of a track's last stored event: the length of the track.
    std::uint32_t TrackLength(const Track& track) { return track.events[track.count - 1].time; }

    bool HasEvents(const Track& track) { return track.count > 0 && track.events; }

    std::string HexBytes(std::span<const std::uint8_t> bytes)
    {
        std::string out;
        for (const std::uint8_t b : bytes) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%s%02x", out.empty() ? "" : " ", b);
            out += hex;
        }
        return out;
    }

    // The file each named sound is read from, by sound ID.
    using SoundFiles = std::vector<mix::SoundFileReport>;

    const mix::SoundFileReport* FileOf(const SoundFiles& files, std::size_t id)
    {
        for (const mix::SoundFileReport& file : files)
            if (file.soundId == id)
                return &file;
        return nullptr;
    }

    // "file PATH (FORMAT)", or the one path tried when no file was found.
    std::string FileLine(const mix::SoundFileReport& file)
    {
        if (file.pathTooLong)
            return "missing: the file name is too long";
        if (!file.found)
            return "missing: " + Printable(file.path);
        return "file " + Printable(file.path) + " ("
            + std::string(audio::SoundFileFormatName(file.format)) + ")";
    }

    std::string TextReport(const Project& project, const SoundFiles& files)
    {
        const ProjectSettings& s = project.settings;
        std::string out = "settings\n";
        for (const auto& [name, value] : SettingsWords(s))
            out += "  " + std::string(name) + " " + std::to_string(value) + "\n";
        out += "  reserved " + HexBytes(s.reserved) + "\n";
        out += "  basePath \"" + PrintableName(s.basePath) + "\"\n";
        out += "  padding " + HexBytes(s.padding) + "\n";

        std::size_t used = 0;
        for (const SoundSlot& slot : project.sounds)
            used += slot.empty() ? 0 : 1;
        out += "sounds " + std::to_string(used) + "\n";
        for (std::size_t id = 0; id < kSoundCount; ++id) {
            const SoundSlot& slot = project.sounds[id];
            if (slot.empty())
                continue;
            out += "  sound " + std::to_string(id) + " \"" + PrintableName(slot.fileName) + "\"";
            const SoundWords words = slot.words();
            for (std::size_t w = 0; w < words.size(); ++w)
                out += (w == 0 ? ": " : ", ") + std::string(kSoundWordNames[w]) + " "
                    + std::to_string(words[w]);
            out += "\n";
            if (const mix::SoundFileReport* file = FileOf(files, id))
                out += "    " + FileLine(*file) + "\n";
        }

        std::size_t tracks = 0;
        for (const Track& track : project.tracks)
            tracks += HasEvents(track) ? 1 : 0;
        out += "tracks " + std::to_string(tracks) + "\n";
        for (std::size_t t = 0; t < kTrackCount; ++t) {
            const Track& track = project.tracks[t];
            if (!HasEvents(track))
                continue;
            const std::uint32_t length = TrackLength(track);
            out += "  track " + std::to_string(t) + ": " + std::to_string(track.count)
                + " events, length " + std::to_string(length) + " ("
                + FormatTime(length, s.outputFormat.samplesPerSecond) + ")\n";
        }
        return out;
    }

    std::string JsonReport(const Project& project, const SoundFiles& files)
    {
        const ProjectSettings& s = project.settings;
        JsonWriter json;
        json.beginObject();
        json.key("settings");
        json.beginObject();
        for (const auto& [name, value] : SettingsWords(s)) {
            json.key(name);
            json.number(value);
        }
        const auto byteArray = [&json](std::string_view name, std::span<const std::uint8_t> bytes) {
            json.key(name);
            json.beginArray();
            for (const std::uint8_t b : bytes)
                json.number(b);
            json.endArray();
        };
        byteArray("reserved", s.reserved);
        json.key("basePath");
        json.string(NameUtf8(s.basePath));
        byteArray("padding", s.padding);
        json.endObject();

        json.key("sounds");
        json.beginArray();
        for (std::size_t id = 0; id < kSoundCount; ++id) {
            const SoundSlot& slot = project.sounds[id];
            if (slot.empty())
                continue;
            json.beginObject();
            json.key("id");
            json.number(id);
            json.key("fileName");
            json.string(NameUtf8(slot.fileName));
            const SoundWords words = slot.words();
            for (std::size_t w = 0; w < words.size(); ++w) {
                json.key(kSoundWordNames[w]);
                json.number(words[w]);
            }
            if (const mix::SoundFileReport* file = FileOf(files, id)) {
                // The file read (or the one path tried), and its kind when found.
                json.key("file");
                json.string(file->path);
                json.key("found");
                json.boolean(file->found);
                json.key("format");
                json.string(file->found ? audio::SoundFileFormatName(file->format) : "");
            }
            json.endObject();
        }
        json.endArray();

        json.key("tracks");
        json.beginArray();
        for (std::size_t t = 0; t < kTrackCount; ++t) {
            const Track& track = project.tracks[t];
            if (!HasEvents(track))
                continue;
            json.beginObject();
            json.key("track");
            json.number(t);
            json.key("events");
            json.number(track.count);
            json.key("length");
            json.number(TrackLength(track));
            json.endObject();
        }
        json.endArray();
        json.endObject();
        return json.text();
    }

} // namespace

int RunInfo(CommandArgs args)
{
    const auto parsed = ParseOneInput(kInfoCommand, args);
    if (!parsed)
        return kExitUsage;

    const auto [project, exitCode] = OpenCommandInput(kInfoCommand, *parsed);
    if (!project)
        return exitCode;
    // Relative sound names are resolved against the input's folder, as a mix does.
    std::error_code error;
    const std::string documentPath
        = std::filesystem::absolute(std::string(parsed->positional[0]), error).string();
    const SoundFiles files = mix::DescribeSoundFiles(*project, documentPath);
    const std::string report
        = parsed->has(kJsonOption) ? JsonReport(*project, files) : TextReport(*project, files);
    std::fwrite(report.data(), 1, report.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

} // namespace vellisto::cli
