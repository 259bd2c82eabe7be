// SPDX-License-Identifier: MIT
#include "document/SettingsEdits.h"

#include "document/Document.h"
#include "document/NameField.h"
#include "mix/SoundCache.h"
#include "platform/TextCodec.h"

namespace vellisto {

namespace {

    constexpr std::uint32_t kInterpolationCount = 4;

    std::uint32_t Toggled(std::uint32_t value) { return value == 0 ? 1 : 0; }

    void UpdateSettingsViews(Ctest122Doc& document)
    {
        document.UpdateAllViews(UpdateHint { UpdateScope::kSettings, 0 });
    }

} // namespace

void ResetSettingsToDefault(Ctest122Doc& document, Messages& messages)
{
    Project* project = document.project();
    if (project == nullptr)
        return;
    RecordUndoStep(document, messages, false);
    const OutputFormat format = project->settings.outputFormat;
    project->settings = ProjectSettings {};
    project->settings.outputFormat = format;
    UpdateSettingsViews(document);
}

void CycleSetting(Ctest122Doc& document, Messages& messages, SettingsCycle setting)
{
    Project* project = document.project();
    if (project == nullptr)
        return;
    RecordUndoStep(document, messages, true);
    ProjectSettings& settings = project->settings;
    switch (setting) {
    case SettingsCycle::kMixingInterpolation:
        settings.mixingInterpolation = (settings.mixingInterpolation + 1) % kInterpolationCount;
        break;
    case SettingsCycle::kLoadingInterpolation:
        settings.loadingInterpolation = (settings.loadingInterpolation + 1) % kInterpolationCount;
        // The loaded sounds were converted with the old interpolation.
        mix::ClearCache(*project);
        break;
    case SettingsCycle::kPlayingPriority:
        settings.playingPriority = Toggled(settings.playingPriority);
        break;
    case SettingsCycle::kStoppingRules:
        settings.stoppingRules = Toggled(settings.stoppingRules);
        break;
    case SettingsCycle::kChangingStress:
        settings.changingStress = Toggled(settings.changingStress);
        break;
    case SettingsCycle::kChangingPitch:
        settings.changingPitch = Toggled(settings.changingPitch);
        break;
    }
    UpdateSettingsViews(document);
}

void StoreSettingNumber(
    Ctest122Doc& document, Messages& messages, SettingsNumber setting, std::uint32_t value)
{
    Project* project = document.project();
    if (project == nullptr)
        return;
    RecordUndoStep(document, messages, false);
    ProjectSettings& settings = project->settings;
    switch (setting) {
    case SettingsNumber::kBufferLength:
        settings.bufferLength = value;
        break;
    case SettingsNumber::kSoundCountPerTrack:
        settings.soundCountPerTrack = value;
        break;
    case SettingsNumber::kMasterVolume:
        settings.masterVolume = value;
        break;
    case SettingsNumber::kMasterBalance:
        settings.masterBalance = value;
        break;
    }
    ValidateSettings(settings);
    UpdateSettingsViews(document);
}

bool ChangeOutputFormatTo(Ctest122Doc& document, Messages& messages, std::uint32_t rate,
    std::uint32_t bits, std::uint32_t channels)
{
    Project* project = document.project();
    if (project == nullptr)
        return false;
    // Checked before the undo step: a refused format records and changes nothing.
    const std::uint64_t blockAlign = std::uint64_t { channels } * bits / 8;
    if (rate == 0 || rate >= kMaxSampleRate || bits == 0 || bits > 0xFFFF || channels == 0
        || channels > 0xFFFF || blockAlign > 0xFFFF || blockAlign * rate > 0xFFFFFFFFu)
        return false;
    OutputFormat format = project->settings.outputFormat;
    format.samplesPerSecond = rate;
    format.bitsPerSample = static_cast<std::uint16_t>(bits);
    format.channels = static_cast<std::uint16_t>(channels);
    format.blockAlign = static_cast<std::uint16_t>(blockAlign);
    format.averageBytesPerSecond = static_cast<std::uint32_t>(blockAlign * rate);
    RecordUndoStep(document, messages, false);
    const bool changed = document.ChangeOutputFormat(format);
    document.UpdateAllViews();
    return changed;
}

void SetBasePathText(Ctest122Doc& document, Messages& messages, std::u16string_view text)
{
    Project* project = document.project();
    if (project == nullptr)
        return;
    RecordUndoStep(document, messages, true);
    StoreNameText(project->settings.basePath, text);
    mix::ClearCache(*project);
    UpdateSettingsViews(document);
}

void SetBasePathFolder(Ctest122Doc& document, Messages& messages, std::string_view nativeFolder)
{
    Project* project = document.project();
    if (project == nullptr)
        return;
    RecordUndoStep(document, messages, false);
    StoreNameText(project->settings.basePath, platform::Utf8ToUtf16(nativeFolder));
    mix::ClearCache(*project);
    ValidateSettings(project->settings);
    UpdateSettingsViews(document);
}

} // namespace vellisto
