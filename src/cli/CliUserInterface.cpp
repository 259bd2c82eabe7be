// SPDX-License-Identifier: MIT
#include "cli/CliUserInterface.h"

#include "cli/Args.h"
#include "mix/MixReport.h"
#include "platform/TextCodec.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

namespace vellisto::cli {

namespace {

    // Set by the SIGINT handler: a lock-free atomic store is all it does.
    std::atomic<bool> g_interrupted { false };
    static_assert(std::atomic<bool>::is_always_lock_free);
    struct sigaction g_previous { };

    extern "C" void OnInterrupt(int) { g_interrupted.store(true); }

    constexpr auto kPollInterval = std::chrono::milliseconds(50);
    constexpr int kPollsPerDraw = 4; // the bar is redrawn every 200 ms
    constexpr int kBarWidth = 30;

    void DrawBar(std::uint64_t elapsedMs, std::uint32_t current, std::uint32_t total)
    {
        const std::uint64_t percent = total == 0
            ? 0
            : std::min<std::uint64_t>(100, std::uint64_t { current } * 100 / total);
        std::string bar(kBarWidth, '-');
        bar.replace(0, static_cast<std::size_t>(percent * kBarWidth / 100),
            static_cast<std::size_t>(percent * kBarWidth / 100), '#');
        const auto remaining = mix::RemainingTimeText(elapsedMs, current, total);
        std::fprintf(stderr, "\r[%s] %3u%%  %s", bar.c_str(), static_cast<unsigned>(percent),
            remaining ? remaining->c_str() : "");
        std::fflush(stderr);
    }

} // namespace

InterruptGuard::InterruptGuard()
{
    g_interrupted.store(false);
    struct sigaction action { };
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &g_previous);
}

InterruptGuard::~InterruptGuard() { ::sigaction(SIGINT, &g_previous, nullptr); }

bool Interrupted() { return g_interrupted.load(); }

CliUserInterface::CliUserInterface(CliAnswers answers)
    : m_answers(std::move(answers))
{
}

MessageAnswer CliUserInterface::showMessage(
    std::string_view text, TextId caption, MessageButtons buttons)
{
    if (buttons == MessageButtons::kOkCancel) {
        // The question after a failed sound: the caller has already said
        // which sound failed; go on unless --strict or Ctrl+C says stop.
        return m_answers.strict || Interrupted() ? MessageAnswer::kCancel : MessageAnswer::kOk;
    }
    if (caption == TextId::kInformation)
        m_notices.emplace_back(text);
    else
        Failure(text);
    return buttons == MessageButtons::kYesNo ? MessageAnswer::kYes : MessageAnswer::kOk;
}

std::optional<std::u16string> CliUserInterface::chooseSaveFile(std::string_view, std::string_view)
{
    m_output = std::make_unique<platform::AtomicFileWriter>(m_answers.outputPath);
    if (!m_output->open()) {
        Failure(Text(TextId::kFailedMixing),
            m_answers.outputPath + ": cannot create a temporary file in its folder");
        m_output.reset();
        return std::nullopt;
    }
    return platform::Utf8ToUtf16(m_output->temporaryPath());
}

void CliUserInterface::runProgress(ProgressSource& source)
{
    if (!m_answers.startLine.empty()) {
        std::printf("%s\n", m_answers.startLine.c_str());
        std::fflush(stdout);
    }
    const std::uint64_t start = mix::SteadyMilliseconds();
    bool drawn = false;
    for (int poll = 0; !source.done() && !source.abortRequested(); ++poll) {
        if (Interrupted()) {
            source.requestAbort();
            break;
        }
        if (m_answers.showProgress && poll % kPollsPerDraw == 0) {
            DrawBar(mix::SteadyMilliseconds() - start, source.currentFrame(), source.totalFrames());
            drawn = true;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    if (drawn)
        std::fputs("\r\x1b[K", stderr); // clear the bar's line
}

bool CliUserInterface::commitOutput()
{
    if (m_output && m_output->commit())
        return true;
    Failure(Text(TextId::kFailedMixing), m_answers.outputPath + ": cannot replace the file");
    return false;
}

std::optional<std::u16string> CliUserInterface::chooseOpenFile(std::string_view)
{
    return std::nullopt;
}

std::optional<std::u16string> CliUserInterface::chooseFolder(std::string_view)
{
    return std::nullopt;
}

std::optional<CompatibilityChoice> CliUserInterface::chooseCompatibility(
    const CompatibilityChoice&, bool)
{
    return std::nullopt;
}

std::optional<std::string> CliUserInterface::inputText(std::string_view) { return std::nullopt; }

bool CliUserInterface::editRangeAndData(RangeEditValues&) { return false; }

bool CliUserInterface::editFilter(FilterEditValues&) { return false; }

bool CliUserInterface::editTimeStretch(TimeStretchValues&) { return false; }

void CliUserInterface::openSoundWindow(Ctest122Doc&, std::uint32_t) { }

} // namespace vellisto::cli
