// SPDX-License-Identifier: MIT
#include "views/SoundEditPanel.h"

#include "audio/BaseFrequency.h"
#include "document/Document.h"
#include "document/NameField.h"
#include "document/SoundEdits.h"
#include "mix/SoundCache.h"
#include "model/TextTable.h"
#include "model/UnitText.h"
#include "platform/TextCodec.h"
#include "views/TextFormat.h"
#include "views/ViewTitle.h"

namespace vellisto::views {

namespace {

    constexpr std::array<CellLayout, kSoundEditCellCount> kLayout { {
        { CellKind::kButton, 0, 0, 100, 20, TextId::kLoad },
        { CellKind::kButton, 100, 0, 200, 20, TextId::kWaveform },
        { CellKind::kButton, 200, 0, 300, 20, TextId::kPreview },
        { CellKind::kButton, 300, 0, 400, 20, TextId::kClear },
        { CellKind::kButton, 400, 0, 500, 20, TextId::kClose },
        { CellKind::kText, 0, 20, 640, 40, {} },
        { CellKind::kText, 0, 40, 640, 60, {} },
        { CellKind::kText, 0, 60, 640, 80, {} },
        { CellKind::kText, 0, 80, 640, 100, {} },
        { CellKind::kText, 0, 100, 640, 120, {} },
        { CellKind::kButton, 0, 120, 200, 140, TextId::kDetermineBaseFrequency },
        { CellKind::kText, 0, 140, 640, 160, {} },
        { CellKind::kText, 0, 160, 640, 180, {} },
        { CellKind::kText, 0, 180, 640, 200, {} },
        { CellKind::kText, 0, 200, 640, 220, {} },
        { CellKind::kText, 0, 220, 640, 240, {} },
        { CellKind::kText, 0, 240, 640, 260, {} },
        { CellKind::kText, 0, 260, 640, 280, {} },
    } };

    // The frame-count and time formats of the lines that show frames.
    struct FramesLine {
        TextId frames;
        TextId time;
        SoundNumber number;
    };

    std::optional<FramesLine> FramesLineOf(SoundEditItem item)
    {
        switch (item) {
        case SoundEditItem::kLoopBegin:
            return FramesLine { TextId::kLoopBeginFrames, TextId::kLoopBeginTime,
                SoundNumber::kLoopBegin };
        case SoundEditItem::kLoopEnd:
            return FramesLine { TextId::kLoopEndFrames, TextId::kLoopEndTime,
                SoundNumber::kLoopEnd };
        case SoundEditItem::kAttackTime:
            return FramesLine { TextId::kAttackFrames, TextId::kAttackTime,
                SoundNumber::kAttackTime };
        case SoundEditItem::kSustainTime:
            return FramesLine { TextId::kSustainFrames, TextId::kSustainTime,
                SoundNumber::kSustainTime };
        case SoundEditItem::kReleaseTime:
            return FramesLine { TextId::kReleaseFrames, TextId::kReleaseTime,
                SoundNumber::kReleaseTime };
        default:
            return std::nullopt;
        }
    }

    std::uint32_t FramesOf(const SoundSlot& slot, SoundNumber number)
    {
        switch (number) {
        case SoundNumber::kLoopBegin:
            return slot.loopBegin;
        case SoundNumber::kLoopEnd:
            return slot.loopEnd;
        case SoundNumber::kAttackTime:
            return slot.attackTime;
        case SoundNumber::kSustainTime:
            return slot.sustainTime;
        default:
            return slot.releaseTime;
        }
    }

    // Minutes, seconds and milliseconds of a frame count at the rate, each
    // truncated (a rate of 0, only in a damaged file, shows zeros).
    std::string TimeLine(TextId format, std::uint32_t frames, std::uint32_t rate)
    {
        std::uint32_t minutes = 0;
        std::uint32_t seconds = 0;
        std::uint32_t milliseconds = 0;
        if (rate != 0) {
            minutes = frames / rate / 60;
            seconds = frames / rate % 60;
            milliseconds
                = static_cast<std::uint32_t>(std::uint64_t { frames % rate } * 1000 / rate);
        }
        return FormatText(Text(format), { minutes, seconds, milliseconds });
    }

    std::string ModeName(std::uint32_t value, const std::array<TextId, 4>& names)
    {
        if (value < names.size())
            return std::string(Text(names[value]));
        return std::to_string(value);
    }

    constexpr std::array<TextId, 4> kStopModeNames { TextId::kStopModeNormal,
        TextId::kStopModeIgnore, TextId::kStopModeForced, TextId::kStopModeKeepLoop };
    constexpr std::array<TextId, 4> kLinkingModeNames { TextId::kDisabled, TextId::kLinkAllEvents,
        TextId::kEventPlay, TextId::kEventStop };

    // The "Input" dialog; nothing on Cancel.
    std::optional<std::string> Ask(ValueDialogs& dialogs, const std::string& initial)
    {
        return dialogs.inputText(initial);
    }

    void LoadFile(
        Ctest122Doc& document, std::uint32_t soundId, Messages& messages, FileChooser& files)
    {
        const Project& project = *document.project();
        FileRequest request;
        request.filters = ParseFileFilter(Text(TextId::kWaveFileFilter));
        // The dialog starts at the sound's current file, where there is one.
        if (!project.sounds[soundId].empty()) {
            if (const auto path
                = mix::SoundFilePath(project, document.pathName(), project.sounds[soundId]))
                request.startPath = *path;
        }
        const auto chosen = files.chooseOpenFile(request);
        if (chosen)
            AssignSoundFile(document, messages, soundId, platform::Utf8ToUtf16(*chosen));
    }

    bool Prepare(Ctest122Doc& document, std::uint32_t soundId, Messages& messages)
    {
        if (mix::PrepareSound(*document.project(), document.pathName(), soundId))
            return true;
        ShowError(messages, TextId::kFailedLoadingWave);
        return false;
    }

} // namespace

std::u16string SoundEditTitle(std::uint32_t soundId, std::u16string_view documentTitle)
{
    return FormatViewTitle(TextId::kSoundSettingsTitle, soundId, documentTitle);
}

std::string SoundEditLineText(
    SoundEditItem item, const SoundSlot& slot, std::uint32_t samplesPerSecond, bool bySample)
{
    if (const auto line = FramesLineOf(item)) {
        const std::uint32_t frames = FramesOf(slot, line->number);
        if (bySample)
            return FormatText(Text(line->frames), { frames });
        return TimeLine(line->time, frames, samplesPerSecond);
    }
    switch (item) {
    case SoundEditItem::kFileName: {
        const std::u16string_view name = NameText(slot.fileName);
        return name.empty() ? std::string(Text(TextId::kNoFile)) : platform::Utf16ToUtf8(name);
    }
    case SoundEditItem::kVolume:
        return FormatText(Text(TextId::kVolumeLine), { slot.volume / 1024.0 });
    case SoundEditItem::kPitch:
        return FormatText(Text(TextId::kPitchLine), { slot.pitch / 16777216.0 });
    case SoundEditItem::kBaseFrequency: {
        const std::string_view format = Text(TextId::kBaseFrequencyLine);
        // No pitch, no frequency: the label alone.
        if (slot.pitch == 0)
            return std::string(format.substr(0, format.find('%')));
        return FormatText(format, { audio::kBaseFrequencyScale / slot.pitch });
    }
    case SoundEditItem::kStopEventMode:
        return FormatText(Text(TextId::kStopEventModeLine),
            { std::string_view(ModeName(slot.stopEventMode, kStopModeNames)) });
    case SoundEditItem::kLinkedId:
        return FormatText(Text(TextId::kLinkedIdLine), { slot.linkedId });
    case SoundEditItem::kLinkingMode:
        return FormatText(Text(TextId::kLinkingModeLine),
            { std::string_view(ModeName(slot.linkingMode, kLinkingModeNames)) });
    default:
        return {};
    }
}

SoundEditOutcome RunSoundEditItem(SoundEditItem item, Ctest122Doc& document, std::uint32_t soundId,
    Messages& messages, FileChooser& files, ValueDialogs& dialogs, SoundEditModes modes)
{
    if (item == SoundEditItem::kClose)
        return SoundEditOutcome::kClose;
    const Project* project = document.project();
    if (project == nullptr || project->findSound(soundId) == nullptr)
        return SoundEditOutcome::kNone;
    const SoundSlot& slot = project->sounds[soundId];
    const std::uint32_t rate = project->settings.outputFormat.samplesPerSecond;
    const auto store = [&](SoundNumber number, std::optional<std::uint32_t> value) {
        if (value)
            StoreSoundNumber(document, messages, soundId, number, *value);
    };

    if (const auto line = FramesLineOf(item)) {
        const std::uint32_t frames = FramesOf(slot, line->number);
        const auto text
            = Ask(dialogs, modes.bySample ? FormatInteger(frames) : FormatTime(frames, rate));
        if (text)
            store(line->number, ParseTime(*text, rate));
        return SoundEditOutcome::kNone;
    }
    switch (item) {
    case SoundEditItem::kLoad:
        LoadFile(document, soundId, messages, files);
        break;
    case SoundEditItem::kWaveform:
        if (Prepare(document, soundId, messages))
            return SoundEditOutcome::kOpenWaveform;
        break;
    case SoundEditItem::kPreview:
        if (Prepare(document, soundId, messages))
            return SoundEditOutcome::kOpenPreview;
        break;
    case SoundEditItem::kClear:
        ClearSoundFile(document, messages, soundId);
        break;
    case SoundEditItem::kFileName:
        if (const auto text = Ask(dialogs, platform::Utf16ToUtf8(NameText(slot.fileName))))
            RenameSoundFile(document, messages, soundId, platform::Utf8ToUtf16(*text));
        break;
    case SoundEditItem::kVolume:
        if (const auto text = Ask(dialogs, FormatVolume(slot.volume, modes.normalized)))
            store(SoundNumber::kVolume, ParseVolume(*text));
        break;
    case SoundEditItem::kPitch:
        if (const auto text = Ask(dialogs, FormatPitch(slot.pitch, modes.normalized)))
            store(SoundNumber::kPitch, ParsePitch(*text));
        break;
    case SoundEditItem::kDetermineBaseFrequency:
        MeasureBaseFrequency(document, messages, soundId);
        break;
    case SoundEditItem::kBaseFrequency: {
        const std::string initial = slot.pitch == 0
            ? std::string()
            : FormatFixed(audio::kBaseFrequencyScale / slot.pitch, 6);
        if (const auto text = Ask(dialogs, initial)) {
            std::size_t pos = 0;
            if (const auto hertz = ReadDecimalReal(*text, pos))
                SetBaseFrequency(document, messages, soundId, *hertz);
        }
        break;
    }
    case SoundEditItem::kStopEventMode:
        CycleSoundMode(document, messages, soundId, SoundCycle::kStopEventMode);
        break;
    case SoundEditItem::kLinkedId:
        if (const auto text = Ask(dialogs, FormatInteger(slot.linkedId)))
            store(SoundNumber::kLinkedId, ParseInteger(*text));
        break;
    case SoundEditItem::kLinkingMode:
        CycleSoundMode(document, messages, soundId, SoundCycle::kLinkingMode);
        break;
    default:
        break;
    }
    return SoundEditOutcome::kNone;
}

SoundEditPanel::SoundEditPanel() { MakeLaidOutCells(kLayout, m_cells); }

void SoundEditPanel::update(const SoundSlot* slot, std::uint32_t samplesPerSecond)
{
    for (std::size_t i = 0; i < kSoundEditCellCount; ++i) {
        if (m_cells[i].kind != CellKind::kText)
            continue;
        SetCellText(m_cells[i],
            slot != nullptr ? SoundEditLineText(
                static_cast<SoundEditItem>(i), *slot, samplesPerSecond, m_modes.bySample)
                            : std::string());
    }
}

bool SoundEditPanel::runMenuCommand(std::uint32_t command)
{
    if (command == kShowBySampleCommand)
        m_modes.bySample = !m_modes.bySample;
    else if (command == kShowNormalizedValuesCommand)
        m_modes.normalized = !m_modes.normalized;
    else
        return false;
    return true;
}

std::optional<SoundEditItem> SoundEditPanel::itemOfCell(std::size_t index) const
{
    if (index >= kSoundEditCellCount)
        return std::nullopt;
    return static_cast<SoundEditItem>(index);
}

} // namespace vellisto::views
