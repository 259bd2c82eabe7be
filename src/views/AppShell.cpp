// SPDX-License-Identifier: MIT
#include "views/AppShell.h"

#include "model/TextTable.h"

#include <algorithm>
#include <limits>

namespace vellisto::views {

std::string_view ShellTextOf(ShellText text)
{
    switch (text) {
    case ShellText::kReady:
        return "Ready";
    case ShellText::kViewNotAvailable:
        return "This window is not available yet.";
    case ShellText::kMixRunning:
        return "A mix is running. Please wait until it has finished, or abort it.";
    case ShellText::kSaveChanges:
        return "Save changes to %s?";
    case ShellText::kNoRecentFiles:
        return "Recent File";
    case ShellText::kAllFiles:
        return "All Files (*.*)";
    }
    return {};
}

std::vector<FileFilter> DocumentFileFilters()
{
    return {
        { std::string(Text(TextId::kSourceFileFilter)), { "*.spj", "*.mid", "*.bms", "*.bme" } },
        { std::string(ShellTextOf(ShellText::kAllFiles)), { "*" } },
    };
}

std::string MainWindowCaption(std::string_view documentTitle)
{
    std::string caption(Text(TextId::kApplicationTitle));
    if (!documentTitle.empty()) {
        caption += " - ";
        caption += documentTitle;
    }
    return caption;
}

std::string SaveChangesQuestion(std::string_view documentTitle)
{
    // The title is inserted as it is, never read as a format.
    const std::string_view format = ShellTextOf(ShellText::kSaveChanges);
    const std::size_t at = format.find("%s");
    std::string question(format.substr(0, at));
    question += documentTitle;
    question += format.substr(at + 2);
    return question;
}

ProgressSteps ScaleProgress(std::uint32_t currentFrames, std::uint32_t totalFrames)
{
    if (totalFrames == 0)
        return {};
    std::uint32_t current = std::min(currentFrames, totalFrames);
    std::uint32_t total = totalFrames;
    while (total > static_cast<std::uint32_t>(std::numeric_limits<int>::max())) {
        total >>= 1;
        current >>= 1;
    }
    return { static_cast<int>(current), static_cast<int>(total) };
}

} // namespace vellisto::views
