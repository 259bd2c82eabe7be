// SPDX-License-Identifier: MIT
#pragma once

// The command line's answers to the mix command's questions: the output file
// comes from the options, the question after a failed sound is answered from
// --strict, errors go to standard error at once (detail on a second line),
// notices are kept for the command to print, and the mix progress is a bar on
// standard error when that is a terminal. Interrupts (Ctrl+C, SIGTERM,
// SIGHUP), caught while an InterruptGuard lives, abort the mix.

#include "document/UserInterface.h"

#include <atomic>
#include <optional>
#include <string>
#include <vector>

namespace vellisto::cli {

// Catches SIGINT, SIGTERM and SIGHUP while it lives: they only set the flag
// that InterruptFlag() holds, so that the mix stops cleanly and removes its
// temporary file. Guards nest, on any threads: only the outermost one clears
// the flag and installs the handlers, and the last one to end restores the
// previous handlers, so that a batch's guard covers every mix in it and a
// mix that starts later never clears an interrupt that already came.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
};
const std::atomic<bool>& InterruptFlag();

struct CliAnswers {
    std::string outputPath; // the file the mix is meant for
    bool strict = false; // a sound that fails stops the mix
    bool showProgress = false; // draw the progress bar
    std::string startLine; // printed on standard output as rendering starts (empty: none)
};

class CliUserInterface final : public Messages, public FileChooser, public ProgressDisplay {
public:
    explicit CliUserInterface(CliAnswers answers);

    MessageAnswer showMessage(std::string_view text, TextId caption, MessageButtons buttons,
        std::string_view detail) override;
    // The output path given on the command line.
    std::optional<std::string> chooseSaveFile(const FileRequest& request) override;
    // Not asked by the commands that use this interface: cancelled.
    std::optional<std::string> chooseOpenFile(const FileRequest& request) override;
    std::optional<std::string> chooseFolder(
        std::string_view title, std::string_view start) override;
    void runProgress(ProgressSource& source) override;

    // The notices (caption "Information") shown so far, in order.
    const std::vector<std::string>& notices() const { return m_notices; }

private:
    CliAnswers m_answers;
    std::vector<std::string> m_notices;
};

} // namespace vellisto::cli
