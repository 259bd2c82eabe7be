// SPDX-License-Identifier: MIT
// vellisto-track-screens PROJECT FOLDER: opens a project file and writes
// pictures of its track views into FOLDER, off screen. Messages go to
// standard error; every dialog is answered with Cancel.

#include "document/Document.h"
#include "model/Clipboard.h"
#include "ui/TrackViewScreens.h"

#include <QApplication>
#include <cstdio>

namespace {

using namespace vellisto;

class QuietServices : public EditorUserInterface,
                      public FileChooser,
                      public ValueDialogs,
                      public ProgressDisplay,
                      public Clipboard,
                      public ui::ViewOpener {
public:
    MessageAnswer showMessage(
        std::string_view text, TextId, MessageButtons, std::string_view detail) override
    {
        std::fprintf(stderr, "%.*s %.*s\n", static_cast<int>(text.size()), text.data(),
            static_cast<int>(detail.size()), detail.data());
        return MessageAnswer::kCancel;
    }
    bool editRangeAndData(RangeEditValues&) override { return false; }
    bool editFilter(FilterEditValues&) override { return false; }
    bool editTimeStretch(TimeStretchValues&) override { return false; }
    void openSoundWindow(Ctest122Doc&, std::uint32_t) override { }
    std::optional<std::string> chooseOpenFile(const FileRequest&) override { return std::nullopt; }
    std::optional<std::string> chooseSaveFile(const FileRequest&) override { return std::nullopt; }
    std::optional<std::string> chooseFolder(std::string_view, std::string_view) override
    {
        return std::nullopt;
    }
    std::optional<CompatibilityChoice> chooseCompatibility(
        const CompatibilityChoice&, bool) override
    {
        return std::nullopt;
    }
    std::optional<std::string> inputText(std::string_view) override { return std::nullopt; }
    void runProgress(ProgressSource& source) override { source.requestAbort(); }
    bool setBlock(std::vector<std::uint8_t>) override { return false; }
    std::optional<std::vector<std::uint8_t>> block() override { return std::nullopt; }
    void openView(Ctest122Doc&, ui::ViewKind, std::uint32_t) override { }
    void openPreview(Ctest122Doc&, ui::PreviewMode, std::uint32_t) override { }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vellisto-track-screens PROJECT FOLDER\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QuietServices quiet;
    ui::ViewServices services { quiet, quiet, quiet, quiet, quiet, quiet };
    Ctest122Doc document;
    if (!document.openDocument(argv[1], quiet, quiet))
        return 1;
    // Show the selection colours: every third event of every track selected.
    for (Track& track : document.project()->tracks) {
        for (std::uint32_t i = 0; i < track.count; i += 3)
            track.events[i].flags |= kEventSelected;
    }
    const QStringList written
        = ui::WriteTrackViewScreens(document, services, QString::fromLocal8Bit(argv[2]));
    for (const QString& file : written)
        std::printf("%s\n", qPrintable(file));
    return written.size() == 4 ? 0 : 1;
}
