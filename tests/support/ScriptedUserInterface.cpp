// SPDX-License-Identifier: MIT
#include "support/ScriptedUserInterface.h"

#include <chrono>
#include <thread>

namespace vellisto::testing {

namespace {

    template <typename T> T TakeOr(std::deque<T>& script, T fallback)
    {
        if (script.empty())
            return fallback;
        T value = std::move(script.front());
        script.pop_front();
        return value;
    }

    template <typename Values>
    bool RunScript(std::deque<std::function<bool(Values&)>>& scripts, std::vector<Values>& requests,
        Values& values)
    {
        requests.push_back(values);
        if (scripts.empty())
            return false;
        auto script = std::move(scripts.front());
        scripts.pop_front();
        return script(values);
    }

} // namespace

MessageAnswer ScriptedUserInterface::showMessage(
    std::string_view text, TextId caption, MessageButtons buttons, std::string_view detail)
{
    messages.push_back({ std::string(text), caption, buttons, std::string(detail) });
    const MessageAnswer affirmative
        = buttons == MessageButtons::kYesNo ? MessageAnswer::kYes : MessageAnswer::kOk;
    if (buttons == MessageButtons::kOk)
        return MessageAnswer::kOk;
    return TakeOr(messageAnswers, affirmative);
}

std::optional<std::string> ScriptedUserInterface::chooseOpenFile(const FileRequest& request)
{
    fileRequests.push_back(request);
    return TakeOr(fileAnswers, std::optional<std::string> {});
}

std::optional<std::string> ScriptedUserInterface::chooseSaveFile(const FileRequest& request)
{
    fileRequests.push_back(request);
    return TakeOr(fileAnswers, std::optional<std::string> {});
}

std::optional<std::string> ScriptedUserInterface::chooseFolder(
    std::string_view title, std::string_view start)
{
    folderRequests.emplace_back(title, start);
    return TakeOr(folderAnswers, std::optional<std::string> {});
}

std::optional<CompatibilityChoice> ScriptedUserInterface::chooseCompatibility(
    const CompatibilityChoice& initial, bool formatOnly)
{
    compatibilityRequests.emplace_back(initial, formatOnly);
    return TakeOr(compatibilityAnswers, std::optional<CompatibilityChoice> {});
}

std::optional<std::string> ScriptedUserInterface::inputText(std::string_view initial)
{
    inputRequests.emplace_back(initial);
    return TakeOr(inputAnswers, std::optional<std::string> {});
}

bool ScriptedUserInterface::editRangeAndData(RangeEditValues& values)
{
    return RunScript(rangeEditScripts, rangeEditRequests, values);
}

bool ScriptedUserInterface::editFilter(FilterEditValues& values)
{
    return RunScript(filterScripts, filterRequests, values);
}

bool ScriptedUserInterface::editTimeStretch(TimeStretchValues& values)
{
    return RunScript(stretchScripts, stretchRequests, values);
}

void ScriptedUserInterface::runProgress(ProgressSource& source)
{
    while (!source.done() && !source.abortRequested()) {
        if (abortAfterPolls && progressPolls >= *abortAfterPolls) {
            source.requestAbort();
            return;
        }
        ++progressPolls;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void ScriptedUserInterface::openSoundWindow(Ctest122Doc&, std::uint32_t soundId)
{
    openedSoundWindows.push_back(soundId);
}

std::vector<std::string> ScriptedUserInterface::messageTexts() const
{
    std::vector<std::string> texts;
    for (const RecordedMessage& message : messages)
        texts.push_back(message.text);
    return texts;
}

RecordedMessage ScriptedUserInterface::lastMessage() const
{
    if (messages.empty())
        return { {}, TextId::kEnglish, MessageButtons::kOk, {} };
    return messages.back();
}

} // namespace vellisto::testing
