// SPDX-License-Identifier: MIT
#pragma once

// A UserInterface for tests: it records every message, question and dialog
// request and answers from scripts queued beforehand. When a script runs dry,
// message boxes answer OK (or Yes) and every other dialog is cancelled.

#include "document/UserInterface.h"
#include "editing/EditDialogs.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vellisto::testing {

struct RecordedMessage {
    std::string text;
    TextId caption;
    MessageButtons buttons;
    std::string detail;
};

class ScriptedUserInterface : public EditorUserInterface,
                              public FileChooser,
                              public ValueDialogs,
                              public ProgressDisplay {
public:
    // Scripts, consumed front first.
    std::deque<MessageAnswer> messageAnswers;
    std::deque<std::optional<std::string>> fileAnswers; // open and save choices
    std::deque<std::optional<std::string>> folderAnswers;
    std::deque<std::optional<CompatibilityChoice>> compatibilityAnswers;
    std::deque<std::optional<std::string>> inputAnswers;
    // A dialog script edits the values it is given and returns OK (true) or Cancel.
    std::deque<std::function<bool(RangeEditValues&)>> rangeEditScripts;
    std::deque<std::function<bool(FilterEditValues&)>> filterScripts;
    std::deque<std::function<bool(TimeStretchValues&)>> stretchScripts;
    // runProgress polls until the source is done; with a value it presses
    // "Abort" after that many polls instead.
    std::optional<std::uint32_t> abortAfterPolls;

    // What was shown and asked.
    std::vector<RecordedMessage> messages;
    std::vector<FileRequest> fileRequests; // one per file choice, open and save
    std::vector<std::pair<std::string, std::string>> folderRequests; // title, start
    std::vector<std::pair<CompatibilityChoice, bool>> compatibilityRequests; // initial, formatOnly
    std::vector<std::string> inputRequests;
    std::vector<RangeEditValues> rangeEditRequests; // values as the dialog opened
    std::vector<FilterEditValues> filterRequests;
    std::vector<TimeStretchValues> stretchRequests;
    std::uint32_t progressPolls = 0;
    std::vector<std::uint32_t> openedSoundWindows;

    MessageAnswer showMessage(std::string_view text, TextId caption, MessageButtons buttons,
        std::string_view detail) override;
    std::optional<std::string> chooseOpenFile(const FileRequest& request) override;
    std::optional<std::string> chooseSaveFile(const FileRequest& request) override;
    std::optional<std::string> chooseFolder(
        std::string_view title, std::string_view start) override;
    std::optional<CompatibilityChoice> chooseCompatibility(
        const CompatibilityChoice& initial, bool formatOnly) override;
    std::optional<std::string> inputText(std::string_view initial) override;
    bool editRangeAndData(RangeEditValues& values) override;
    bool editFilter(FilterEditValues& values) override;
    bool editTimeStretch(TimeStretchValues& values) override;
    void runProgress(ProgressSource& source) override;
    void openSoundWindow(Ctest122Doc& document, std::uint32_t soundId) override;

    // The texts of the recorded messages, in order.
    std::vector<std::string> messageTexts() const;
    // The last message's text and caption; empty text when none was shown.
    RecordedMessage lastMessage() const;
};

} // namespace vellisto::testing
