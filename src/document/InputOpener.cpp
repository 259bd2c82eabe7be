// SPDX-License-Identifier: MIT
#include "document/InputOpener.h"

#include "import/BmsImport.h"
#include "import/MidiImport.h"
#include "mix/SoundCache.h"
#include "model/ProjectFile.h"
#include "model/ProjectImport.h"
#include "platform/ReadError.h"

#include <algorithm>
#include <new>
#include <string>
#include <utility>

namespace vellisto {

namespace {

    OpenedInput Failed(TextId message, std::string reason = {})
    {
        return { nullptr, message, std::move(reason), {}, 0 };
    }

    OpenedInput ReadProject(const std::string& path, TextId failureMessage)
    {
        auto project = CreateProject();
        if (!project)
            return Failed(TextId::kOutOfMemory);
        platform::ReadError error;
        if (!ReadProjectFile(path, *project, &error))
            return Failed(failureMessage, platform::DescribeReadError(error));
        return { std::move(project), {}, {}, {}, 0 };
    }

    OpenedInput ImportScore(const std::string& path, DocumentFileKind kind,
        const CompatibilityChoice& choice, const ImportOptions& options)
    {
        auto project = CreateProject();
        if (!project)
            return Failed(TextId::kOutOfMemory);
        ApplyCompatibilityChoice(*project, choice);
        const bool midi = kind == DocumentFileKind::kMidi;
        platform::ReadError reason;
        import::BmsImportReport report;
        if (midi ? !import::ImportMidiFile(*project, path, &reason)
                 : !import::ImportBmsFile(*project, path, options.bms, &reason, &report))
            return Failed(midi ? TextId::kFailedLoadingMidi : TextId::kFailedLoadingBms,
                platform::DescribeReadError(reason));
        OpenedInput opened { std::move(project), {}, {}, {}, report.unlisted };
        for (const import::BmsWarning& warning : report.warnings)
            opened.warnings.push_back(import::DescribeBmsWarning(warning));
        return opened;
    }

} // namespace

namespace {

    char AsciiLower(char c)
    {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
    }

    bool EndsWithExtension(std::string_view path, std::string_view extension)
    {
        if (path.size() < extension.size())
            return false;
        const std::string_view tail = path.substr(path.size() - extension.size());
        return std::equal(tail.begin(), tail.end(), extension.begin(),
            [](char a, char b) { return AsciiLower(a) == b; });
    }

} // namespace

DocumentFileKind FileKindOf(std::string_view path)
{
    if (EndsWithExtension(path, ".mid"))
        return DocumentFileKind::kMidi;
    if (EndsWithExtension(path, ".bms") || EndsWithExtension(path, ".bme"))
        return DocumentFileKind::kBms;
    return DocumentFileKind::kProject;
}

OpenedInput OpenInputFile(
    std::string_view path, const CompatibilityChoice& choice, const ImportOptions& options)
{
    const std::string nativePath(path);
    try {
        const DocumentFileKind kind = FileKindOf(path);
        if (kind == DocumentFileKind::kProject)
            return ReadProject(nativePath, TextId::kFailedLoadingProject);
        return ImportScore(nativePath, kind, choice, options);
    } catch (const std::bad_alloc&) {
        return Failed(TextId::kOutOfMemory);
    }
}

OpenedInput OpenListSource(std::string_view path)
{
    try {
        return ReadProject(std::string(path), TextId::kFailedLoading);
    } catch (const std::bad_alloc&) {
        return Failed(TextId::kOutOfMemory);
    }
}

void ApplySoundList(Project& project, const Project& source)
{
    mix::ClearCache(project);
    CopySoundList(project, source);
}

bool ApplyTrackList(Project& project, const Project& source)
{
    return CopyTrackList(project, source);
}

} // namespace vellisto
