// SPDX-License-Identifier: MIT
#pragma once

// The command line's answers to the core's questions: the output file comes
// from the options (written through a temporary file that replaces it only
// on success), the question after a failed sound is answered from --strict,
// errors go to standard error at once, notices are kept for the command to
// print, and the mix progress is a bar on standard error when that is a
// terminal. Ctrl+C, caught while an InterruptGuard lives, aborts the mix.

#include "model/UserInterface.h"
#include "platform/File.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vellisto::cli {

// Catches SIGINT while it lives: the first Ctrl+C only sets a flag that
// Interrupted() reports, so the mix can stop cleanly and remove its
// temporary file. The previous handler is restored at the end.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
};
bool Interrupted();

struct CliAnswers {
    std::string outputPath; // the file the mix is meant for
    bool strict = false; // a sound that fails stops the mix
    bool showProgress = false; // draw the progress bar
    std::string startLine; // printed on standard output as rendering starts (empty: none)
};

class CliUserInterface final : public UserInterface {
public:
    explicit CliUserInterface(CliAnswers answers);

    MessageAnswer showMessage(
        std::string_view text, TextId caption, MessageButtons buttons) override;
    // Creates the temporary file beside the output and names it; nullopt
    // (after a message) when it cannot be created.
    std::optional<std::u16string> chooseSaveFile(
        std::string_view filter, std::string_view defaultExtension) override;
    void runProgress(ProgressSource& source) override;

    // Not asked by the commands that use this interface: all cancelled.
    std::optional<std::u16string> chooseOpenFile(std::string_view filter) override;
    std::optional<std::u16string> chooseFolder(std::string_view title) override;
    std::optional<CompatibilityChoice> chooseCompatibility(
        const CompatibilityChoice& initial, bool formatOnly) override;
    std::optional<std::string> inputText(std::string_view initial) override;
    bool editRangeAndData(RangeEditValues& values) override;
    bool editFilter(FilterEditValues& values) override;
    bool editTimeStretch(TimeStretchValues& values) override;
    void openSoundWindow(Ctest122Doc& document, std::uint32_t soundId) override;

    // Renames the finished temporary file over the output; false after a message.
    bool commitOutput();
    // The notices (caption "Information") shown so far, in order.
    const std::vector<std::string>& notices() const { return m_notices; }

private:
    CliAnswers m_answers;
    std::unique_ptr<platform::AtomicFileWriter> m_output;
    std::vector<std::string> m_notices;
};

} // namespace vellisto::cli
