// SPDX-License-Identifier: MIT
#include "preview/PreviewCommand.h"

#include "engine/WaveWriter.h"
#include "mix/LinkCycle.h"
#include "mix/SoundCache.h"

#include <cstdio>
#include <new>

namespace vellisto::preview {

namespace {

    std::string Numbered(TextId text, std::uint32_t number)
    {
        char message[160];
        std::snprintf(message, sizeof message, Text(text).data(), static_cast<unsigned>(number));
        return message;
    }

    bool PrepareProjectSounds(Project& project, std::string_view documentPath, Messages& messages)
    {
        return mix::PrepareAllSounds(
            project, documentPath, [&](std::uint32_t id, const mix::SoundFailure&) {
                return messages.showMessage(Numbered(TextId::kFailedLoadingSound, id),
                           TextId::kError, MessageButtons::kOkCancel, {})
                    == MessageAnswer::kOk;
            });
    }

} // namespace

std::unique_ptr<PreviewPlayer> PreparePreview(Project& project, std::string_view documentPath,
    Messages& messages, PreviewKind kind, std::uint32_t soundId)
{
    if (kind == PreviewKind::kProject) {
        if (const auto cycle = mix::FindLinkCycle(project)) {
            ShowError(messages, Numbered(TextId::kCircularLink, *cycle));
            return nullptr;
        }
        // The engine writes 16-bit frames of one or two channels; any other
        // output would not match the device's frames.
        if (!engine::IsRenderableFormat(project.settings.outputFormat)) {
            ShowError(messages, TextId::kUnmixableFormat);
            return nullptr;
        }
        if (!PrepareProjectSounds(project, documentPath, messages))
            return nullptr;
    } else if (!mix::PrepareSound(project, documentPath, soundId)) {
        ShowError(messages, TextId::kFailedLoadingWave);
        return nullptr;
    }
    std::unique_ptr<PreviewPlayer> player(new (std::nothrow) PreviewPlayer(project, kind, soundId));
    if (player == nullptr || !player->prepare()) {
        ShowError(messages, TextId::kOutOfMemory);
        return nullptr;
    }
    return player;
}

} // namespace vellisto::preview
