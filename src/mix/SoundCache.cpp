// SPDX-License-Identifier: MIT
#include "mix/SoundCache.h"

#include "audio/ConvertSound.h"
#include "audio/SoundFileReader.h"
#include "platform/File.h"
#include "platform/TextCodec.h"

#include <array>
#include <sys/stat.h>

namespace vellisto::mix {

namespace {

    constexpr char16_t kRelativeMark = u'\\'; // a name beginning with it is relative

    std::u16string_view StoredName(const Name& name) { return { name.data(), NameLength(name) }; }

    // Tried in this order when the named file does not exist.
    constexpr std::array<std::u16string_view, 5> kSubstituteExtensions
        = { u".ogg", u".flac", u".opus", u".mp3", u".wav" };

    bool Exists(const std::string& path)
    {
        struct stat st { };
        return ::stat(path.c_str(), &st) == 0;
    }

    // The name with the extension of its last component (from its last '.')
    // replaced, or the extension appended when it has none.
    std::u16string WithExtension(std::u16string_view name, std::u16string_view extension)
    {
        const std::size_t component = name.find_last_of(u"\\/");
        const std::size_t dot = name.rfind(u'.');
        const bool hasExtension = dot != std::u16string_view::npos
            && (component == std::u16string_view::npos || dot > component);
        std::u16string result(hasExtension ? name.substr(0, dot) : name);
        result += extension;
        return result;
    }

    // The native path for a stored name (not for a substitute yet); nullopt
    // when base directory and name make 260 characters or more.
    std::optional<std::string> PathForName(
        const Project& project, std::string_view documentPath, std::u16string_view name)
    {
        if (name.empty() || name[0] != kRelativeMark)
            return name.size() >= kNameUnits ? std::nullopt
                                             : std::optional(platform::NativePath(name));
        const Name& basePath = project.settings.basePath;
        if (basePath[0] != 0) {
            // Exactly as stored, nothing added or removed: both parts are stored names.
            std::u16string path(StoredName(basePath));
            path += name;
            if (path.size() >= kNameUnits)
                return std::nullopt;
            return platform::NativePath(path);
        }
        // The folder is native and joins the stored part without conversion; the
        // limit counts its characters as the stored form would.
        const std::string folder = RelativeNamesFolder(documentPath);
        if (platform::Utf8ToUtf16(folder).size() + name.size() >= kNameUnits)
            return std::nullopt;
        return platform::NativePathIn(folder, name);
    }

    void Report(SoundFailure* failure, SoundFailureKind kind, std::string path = {})
    {
        if (failure == nullptr)
            return;
        failure->kind = kind;
        failure->path = std::move(path);
    }

} // namespace

std::string DescribeSoundFailure(const SoundFailure& failure)
{
    switch (failure.kind) {
    case SoundFailureKind::kNone:
        return "no failure";
    case SoundFailureKind::kNoSound:
        return "no such sound ID";
    case SoundFailureKind::kPathTooLong:
        return "the full file name is 260 characters or longer";
    case SoundFailureKind::kUnreadable:
        return platform::DescribeReadError(failure.read);
    case SoundFailureKind::kUnconvertible:
        return "its format cannot be converted to the output format";
    case SoundFailureKind::kOutOfMemory:
        return "out of memory while converting it to the output format";
    }
    return {};
}

std::string RelativeNamesFolder(std::string_view documentPath)
{
    const std::size_t slash = documentPath.rfind('/');
    if (slash == 0)
        return "/";
    if (slash != std::string_view::npos)
        return std::string(documentPath.substr(0, slash));
    // An unsaved project: the program's own folder, cut the same way.
    std::string program = platform::ExecutableFolder();
    program.pop_back();
    return program.empty() ? "." : program;
}

std::optional<ResolvedSoundFile> ResolveSoundFile(
    const Project& project, std::string_view documentPath, const SoundSlot& slot)
{
    const std::u16string_view name = StoredName(slot.fileName);
    const auto path = PathForName(project, documentPath, name);
    if (!path)
        return std::nullopt;
    if (Exists(*path))
        return ResolvedSoundFile { *path, true, false };
    // Only where the named file is missing: an existing file is always the
    // one used, whatever it holds.
    for (const std::u16string_view extension : kSubstituteExtensions) {
        const auto substitute = PathForName(project, documentPath, WithExtension(name, extension));
        if (substitute && Exists(*substitute))
            return ResolvedSoundFile { *substitute, true, true };
    }
    return ResolvedSoundFile { *path, false, false };
}

std::optional<std::string> SoundFilePath(
    const Project& project, std::string_view documentPath, const SoundSlot& slot)
{
    auto resolved = ResolveSoundFile(project, documentPath, slot);
    if (!resolved)
        return std::nullopt;
    return std::move(resolved->path);
}

std::vector<SoundFileReport> DescribeSoundFiles(
    const Project& project, std::string_view documentPath)
{
    std::vector<SoundFileReport> reports;
    for (std::uint32_t id = 0; id < kSoundCount; ++id) {
        const SoundSlot& slot = project.sounds[id];
        if (slot.empty())
            continue;
        SoundFileReport report;
        report.soundId = id;
        report.storedName = platform::Utf16ToUtf8(StoredName(slot.fileName));
        if (const auto resolved = ResolveSoundFile(project, documentPath, slot)) {
            report.path = resolved->path;
            report.substituted = resolved->substituted;
            if (const auto format = audio::SniffSoundFile(resolved->path)) {
                report.found = true;
                report.format = *format;
            }
        } else {
            report.pathTooLong = true;
        }
        reports.push_back(std::move(report));
    }
    return reports;
}

bool LoadSoundFile(const std::string& nativePath, const OutputFormat& format,
    std::uint32_t loadingInterpolation, SoundSlot& slot, SoundFailure* failure)
{
    platform::ReadError reason;
    if (!audio::ReadSoundFileAt(nativePath, slot, &reason)) {
        audio::FreeSampleData(slot);
        if (failure != nullptr) {
            failure->kind = SoundFailureKind::kUnreadable;
            failure->read = reason;
        }
        return false;
    }
    if (SameFormatKey(slot.dataFormat, format))
        return true; // already in the output format: used exactly as read
    const bool plannable
        = audio::PlanConversion(slot.dataFormat, slot.sampleBytes, format, loadingInterpolation)
              .has_value();
    if (!plannable || !audio::ConvertSound(slot, format, loadingInterpolation)) {
        audio::FreeSampleData(slot);
        // A conversion that can be planned fails only when its block cannot be had.
        if (failure != nullptr)
            failure->kind
                = plannable ? SoundFailureKind::kOutOfMemory : SoundFailureKind::kUnconvertible;
        return false;
    }
    return true;
}

bool PrepareSound(
    Project& project, std::string_view documentPath, std::uint32_t soundId, SoundFailure* failure)
{
    SoundSlot* slot = project.findSound(soundId);
    if (slot == nullptr) {
        Report(failure, SoundFailureKind::kNoSound);
        return false;
    }
    const OutputFormat& format = project.settings.outputFormat;
    // A 16-byte key compare decides whether the cached samples still fit.
    if (slot->samples != nullptr && SameFormatKey(slot->dataFormat, format))
        return true;
    audio::FreeSampleData(*slot);

    const auto path = SoundFilePath(project, documentPath, *slot);
    if (!path) {
        Report(failure, SoundFailureKind::kPathTooLong,
            platform::Utf16ToUtf8(StoredName(slot->fileName)));
        return false;
    }
    if (failure != nullptr)
        failure->path = *path;
    // The slot's stored name is left as it is: the full path is only used to open the file.
    return LoadSoundFile(*path, format, project.settings.loadingInterpolation, *slot, failure);
}

bool PrepareAllSounds(Project& project, std::string_view documentPath,
    const SoundFailureHandler& onFailure, const std::function<bool()>& stopRequested)
{
    for (std::uint32_t id = 0; id < kSoundCount; ++id) {
        if (stopRequested && stopRequested())
            return false;
        SoundSlot& slot = project.sounds[id];
        if (slot.empty()) {
            audio::FreeSampleData(slot);
            continue;
        }
        SoundFailure failure;
        if (!PrepareSound(project, documentPath, id, &failure) && !onFailure(id, failure))
            return false;
    }
    return true;
}

void ClearCache(Project& project)
{
    for (SoundSlot& slot : project.sounds)
        audio::FreeSampleData(slot);
}

} // namespace vellisto::mix
