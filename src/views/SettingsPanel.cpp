// SPDX-License-Identifier: MIT
#include "views/SettingsPanel.h"

#include "document/Document.h"
#include "document/NameField.h"
#include "document/SettingsEdits.h"
#include "mix/SoundCache.h"
#include "model/TextTable.h"
#include "model/UnitText.h"
#include "platform/File.h"
#include "platform/TextCodec.h"
#include "views/TextFormat.h"
#include "views/ViewTitle.h"

namespace vellisto::views {

namespace {

    constexpr std::array<CellLayout, kSettingsCellCount> kLayout { {
        { CellKind::kButton, 0, 0, 100, 20, TextId::kClose },
        { CellKind::kButton, 100, 0, 200, 20, TextId::kDefault },
        { CellKind::kText, 0, 20, 640, 40, {} },
        { CellKind::kText, 0, 40, 640, 60, {} },
        { CellKind::kText, 0, 60, 640, 80, {} },
        { CellKind::kText, 0, 80, 640, 100, {} },
        { CellKind::kText, 0, 100, 640, 120, {} },
        { CellKind::kText, 0, 120, 640, 140, {} },
        { CellKind::kText, 0, 140, 640, 160, {} },
        { CellKind::kText, 0, 160, 640, 180, {} },
        { CellKind::kText, 0, 180, 640, 200, {} },
        { CellKind::kText, 0, 200, 640, 220, {} },
        { CellKind::kText, 0, 220, 640, 240, {} },
        { CellKind::kButton, 0, 240, 160, 260, TextId::kReferToBasePath },
        { CellKind::kText, 0, 260, 640, 280, {} },
    } };

    std::string InterpolationName(std::uint32_t value)
    {
        static constexpr std::array<TextId, 4> kNames { TextId::kInterpNone, TextId::kInterpLinear,
            TextId::kInterpSincLow, TextId::kInterpSinc };
        if (value < kNames.size())
            return std::string(Text(kNames[value]));
        return std::to_string(value);
    }

    std::string_view Choice(std::uint32_t value, TextId nonzero, TextId zero)
    {
        return Text(value != 0 ? nonzero : zero);
    }

    std::string Line(TextId format, FormatArgument value)
    {
        return FormatText(Text(format), { value });
    }

    // The "Input" dialog on initial; the parsed answer, or nothing on Cancel
    // and on text from which parse reads nothing.
    template <class Parse>
    std::optional<std::uint32_t> AskNumber(
        ValueDialogs& dialogs, const std::string& initial, Parse parse)
    {
        const auto answer = dialogs.inputText(initial);
        if (!answer)
            return std::nullopt;
        return parse(*answer);
    }

    void EditOutputFormat(Ctest122Doc& document, Messages& messages, ValueDialogs& dialogs)
    {
        const OutputFormat& format = document.project()->settings.outputFormat;
        CompatibilityChoice initial;
        initial.rateText = std::to_string(format.samplesPerSecond);
        initial.bitsText = std::to_string(format.bitsPerSample);
        initial.channelsText = std::to_string(format.channels);
        const auto choice = dialogs.chooseCompatibility(initial, true);
        if (!choice)
            return;
        // A field without a number is refused rather than guessed.
        const auto rate = ParseInteger(choice->rateText);
        const auto bits = ParseInteger(choice->bitsText);
        const auto channels = ParseInteger(choice->channelsText);
        if (rate && bits && channels)
            ChangeOutputFormatTo(document, messages, *rate, *bits, *channels);
    }

    void ChooseBaseFolder(Ctest122Doc& document, Messages& messages, FileChooser& files)
    {
        const Project& project = *document.project();
        const std::u16string_view basePath = NameText(project.settings.basePath);
        // The browser starts where relative names are looked up now.
        const std::string start = basePath.empty() ? mix::RelativeNamesFolder(document.pathName())
                                                   : platform::NativePath(basePath);
        const auto folder = files.chooseFolder(Text(TextId::kSelectSoundFolder), start);
        if (folder)
            SetBasePathFolder(document, messages, *folder);
    }

} // namespace

std::u16string SettingsTitle(std::u16string_view documentTitle)
{
    return FormatViewTitle(TextId::kSettingsTitle, documentTitle);
}

std::string SettingsLineText(SettingsItem item, const ProjectSettings& s)
{
    switch (item) {
    case SettingsItem::kOutputFormat:
        return FormatText(Text(TextId::kOutputFormatLine),
            { s.outputFormat.samplesPerSecond, std::uint32_t { s.outputFormat.bitsPerSample },
                std::uint32_t { s.outputFormat.channels } });
    case SettingsItem::kBufferLength:
        return Line(TextId::kBufferLengthLine, s.bufferLength);
    case SettingsItem::kMixingInterpolation:
        return Line(TextId::kMixingInterpolationLine, InterpolationName(s.mixingInterpolation));
    case SettingsItem::kLoadingInterpolation:
        return Line(TextId::kLoadingInterpolationLine, InterpolationName(s.loadingInterpolation));
    case SettingsItem::kSoundCountPerTrack:
        return Line(TextId::kSoundCountLine, s.soundCountPerTrack);
    case SettingsItem::kPlayingPriority:
        return Line(TextId::kPlayingPriorityLine,
            Choice(s.playingPriority, TextId::kPlayNewer, TextId::kPlayOlder));
    case SettingsItem::kStoppingRules:
        return Line(TextId::kStoppingRulesLine,
            Choice(s.stoppingRules, TextId::kStopByIdAndPitch, TextId::kStopById));
    case SettingsItem::kChangingStress:
        return Line(TextId::kChangingStressLine,
            Choice(s.changingStress, TextId::kEnabled, TextId::kDisabled));
    case SettingsItem::kChangingPitch:
        return Line(TextId::kChangingPitchLine,
            Choice(s.changingPitch, TextId::kEnabled, TextId::kDisabled));
    case SettingsItem::kMasterVolume:
        return Line(TextId::kMasterVolumeLine, s.masterVolume / 1024.0);
    case SettingsItem::kMasterBalance:
        return Line(TextId::kMasterBalanceLine, s.masterBalance / 512.0 - 1.0);
    case SettingsItem::kBasePath: {
        const std::u16string_view path = NameText(s.basePath);
        if (path.empty())
            return Line(TextId::kBasePathLine, Text(TextId::kBasePathDefault));
        return Line(TextId::kBasePathLine, std::string_view(platform::Utf16ToUtf8(path)));
    }
    default:
        return {};
    }
}

SettingsOutcome RunSettingsItem(SettingsItem item, Ctest122Doc& document, Messages& messages,
    ValueDialogs& dialogs, FileChooser& files, bool normalized)
{
    if (item == SettingsItem::kClose)
        return SettingsOutcome::kClose;
    const Project* project = document.project();
    if (project == nullptr)
        return SettingsOutcome::kNone;
    const ProjectSettings& settings = project->settings;
    const auto number = [&](SettingsNumber which, const std::string& initial, auto parse) {
        if (const auto value = AskNumber(dialogs, initial, parse))
            StoreSettingNumber(document, messages, which, *value);
    };
    const auto cycle = [&](SettingsCycle which) { CycleSetting(document, messages, which); };

    switch (item) {
    case SettingsItem::kClose:
        break;
    case SettingsItem::kDefault:
        ResetSettingsToDefault(document, messages);
        break;
    case SettingsItem::kOutputFormat:
        EditOutputFormat(document, messages, dialogs);
        break;
    case SettingsItem::kBufferLength:
        number(SettingsNumber::kBufferLength, FormatInteger(settings.bufferLength), ParseInteger);
        break;
    case SettingsItem::kMixingInterpolation:
        cycle(SettingsCycle::kMixingInterpolation);
        break;
    case SettingsItem::kLoadingInterpolation:
        cycle(SettingsCycle::kLoadingInterpolation);
        break;
    case SettingsItem::kSoundCountPerTrack:
        number(SettingsNumber::kSoundCountPerTrack, FormatInteger(settings.soundCountPerTrack),
            ParseInteger);
        break;
    case SettingsItem::kPlayingPriority:
        cycle(SettingsCycle::kPlayingPriority);
        break;
    case SettingsItem::kStoppingRules:
        cycle(SettingsCycle::kStoppingRules);
        break;
    case SettingsItem::kChangingStress:
        cycle(SettingsCycle::kChangingStress);
        break;
    case SettingsItem::kChangingPitch:
        cycle(SettingsCycle::kChangingPitch);
        break;
    case SettingsItem::kMasterVolume:
        number(SettingsNumber::kMasterVolume, FormatVolume(settings.masterVolume, normalized),
            ParseVolume);
        break;
    case SettingsItem::kMasterBalance:
        number(SettingsNumber::kMasterBalance, FormatBalance(settings.masterBalance, normalized),
            ParseBalance);
        break;
    case SettingsItem::kReferToBasePath:
        ChooseBaseFolder(document, messages, files);
        break;
    case SettingsItem::kBasePath: {
        const auto text = dialogs.inputText(platform::Utf16ToUtf8(NameText(settings.basePath)));
        if (text)
            SetBasePathText(document, messages, platform::Utf8ToUtf16(*text));
        break;
    }
    }
    return SettingsOutcome::kNone;
}

SettingsPanel::SettingsPanel() { MakeLaidOutCells(kLayout, m_cells); }

void SettingsPanel::update(const ProjectSettings* settings)
{
    for (std::size_t i = 0; i < kSettingsCellCount; ++i) {
        if (m_cells[i].kind != CellKind::kText)
            continue;
        SetCellText(m_cells[i],
            settings != nullptr ? SettingsLineText(static_cast<SettingsItem>(i), *settings)
                                : std::string());
    }
}

std::optional<SettingsItem> SettingsPanel::itemOfCell(std::size_t index) const
{
    if (index >= kSettingsCellCount)
        return std::nullopt;
    return static_cast<SettingsItem>(index);
}

} // namespace vellisto::views
