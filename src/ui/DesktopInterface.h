// SPDX-License-Identifier: MIT
#pragma once

// The core's user-interface interfaces answered with real dialogs: message
// boxes with the text table's captions, file and folder choice, the
// "Compatibility and Format" and "Input" dialogs, and the mix progress
// dialog. Each dialog is modal over the given parent window and returns when
// the user has answered.

#include "document/UserInterface.h"
#include "mix/MixReport.h"

class QWidget;

namespace vellisto::ui {

class MessageBoxes final : public Messages {
public:
    explicit MessageBoxes(QWidget* parent)
        : m_parent(parent)
    {
    }
    MessageAnswer showMessage(std::string_view text, TextId caption, MessageButtons buttons,
        std::string_view detail) override;

private:
    QWidget* m_parent;
};

// The toolkit's file dialog. Paths go out as native bytes; "*.*" patterns
// match every name, with or without a dot.
class FileDialogs final : public FileChooser {
public:
    explicit FileDialogs(QWidget* parent)
        : m_parent(parent)
    {
    }
    std::optional<std::string> chooseOpenFile(const FileRequest& request) override;
    std::optional<std::string> chooseSaveFile(const FileRequest& request) override;
    std::optional<std::string> chooseFolder(
        std::string_view title, std::string_view start) override;

private:
    QWidget* m_parent;
};

class DesktopValueDialogs final : public ValueDialogs {
public:
    explicit DesktopValueDialogs(QWidget* parent)
        : m_parent(parent)
    {
    }
    std::optional<CompatibilityChoice> chooseCompatibility(
        const CompatibilityChoice& initial, bool formatOnly) override;
    std::optional<std::string> inputText(std::string_view initial) override;

private:
    QWidget* m_parent;
};

// The modal progress dialog of a mix; the clock times the remaining-time
// estimate.
class DesktopProgress final : public ProgressDisplay {
public:
    explicit DesktopProgress(QWidget* parent, mix::MillisecondClock clock = mix::SteadyMilliseconds)
        : m_parent(parent)
        , m_clock(std::move(clock))
    {
    }
    void runProgress(ProgressSource& source) override;

private:
    QWidget* m_parent;
    mix::MillisecondClock m_clock;
};

} // namespace vellisto::ui
