// SPDX-License-Identifier: MIT
#include "mix/SoundCache.h"

#include "audio/ConvertSound.h"
#include "model/TextTable.h"
#include "model/UserInterface.h"
#include "platform/File.h"
#include "platform/TextCodec.h"

#include <cstdio>

namespace vellisto::mix {

namespace {

    constexpr char16_t kRelativeMark = u'\\'; // a name beginning with it is relative

    bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

    std::u16string_view StoredName(const Name& name) { return { name.data(), NameLength(name) }; }

    // A path up to, not including, its last separator; nullopt when it has none.
    std::optional<std::u16string> FolderWithoutSeparator(std::u16string_view path)
    {
        for (std::size_t i = path.size(); i > 0; --i) {
            if (IsSeparator(path[i - 1]))
                return std::u16string(path.substr(0, i - 1));
        }
        return std::nullopt;
    }

    void Report(SoundFailure* failure, SoundFailureKind kind, std::u16string path = {})
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
    }
    return {};
}

std::u16string BaseDirectory(const Project& project, std::u16string_view documentPath)
{
    const Name& basePath = project.settings.basePath;
    if (basePath[0] != 0)
        return std::u16string(StoredName(basePath)); // exactly as stored: nothing added or removed
    if (auto folder = FolderWithoutSeparator(documentPath))
        return *folder;
    // An unsaved project: the program's own folder, cut the same way.
    const std::u16string program = platform::Utf8ToUtf16(platform::ExecutableFolder());
    return FolderWithoutSeparator(program).value_or(u".");
}

std::optional<std::u16string> SoundFilePath(
    const Project& project, std::u16string_view documentPath, const SoundSlot& slot)
{
    const std::u16string_view name = StoredName(slot.fileName);
    std::u16string path;
    if (!name.empty() && name[0] == kRelativeMark)
        path = BaseDirectory(project, documentPath);
    path += name;
    if (path.size() >= kNameUnits)
        return std::nullopt;
    return path;
}

bool LoadSoundFile(const std::string& nativePath, const OutputFormat& format,
    std::uint32_t loadingInterpolation, SoundSlot& slot, SoundFailure* failure)
{
    platform::ReadError reason;
    if (!audio::ReadWaveFileAt(nativePath, slot, &reason)) {
        audio::FreeSampleData(slot);
        if (failure != nullptr) {
            failure->kind = SoundFailureKind::kUnreadable;
            failure->read = reason;
        }
        return false;
    }
    if (SameFormatKey(slot.dataFormat, format))
        return true; // already in the output format: used exactly as read
    if (!audio::ConvertSound(slot, format, loadingInterpolation)) {
        audio::FreeSampleData(slot);
        if (failure != nullptr)
            failure->kind = SoundFailureKind::kUnconvertible;
        return false;
    }
    return true;
}

bool PrepareSound(Project& project, std::u16string_view documentPath, std::uint32_t soundId,
    SoundFailure* failure)
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
        Report(failure, SoundFailureKind::kPathTooLong, std::u16string(StoredName(slot->fileName)));
        return false;
    }
    if (failure != nullptr)
        failure->path = *path;
    // The slot's stored name is left as it is: the full path is only used to open the file.
    return LoadSoundFile(
        platform::NativePath(*path), format, project.settings.loadingInterpolation, *slot, failure);
}

bool PrepareAllSounds(Project& project, std::u16string_view documentPath, UserInterface& ui,
    const SoundFailureReporter& reportFailure)
{
    for (std::uint32_t id = 0; id < kSoundCount; ++id) {
        SoundSlot& slot = project.sounds[id];
        if (slot.empty()) {
            audio::FreeSampleData(slot);
            continue;
        }
        SoundFailure failure;
        if (PrepareSound(project, documentPath, id, &failure))
            continue;
        if (reportFailure)
            reportFailure(id, failure);
        char text[128];
        std::snprintf(
            text, sizeof text, Text(TextId::kFailedLoadingSound).data(), static_cast<unsigned>(id));
        if (ui.showMessage(text, TextId::kError, MessageButtons::kOkCancel) != MessageAnswer::kOk)
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
