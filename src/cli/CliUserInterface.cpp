// SPDX-License-Identifier: MIT
#include "cli/CliUserInterface.h"

#include "cli/Args.h"
#include "mix/MixReport.h"
#include "platform/TextCodec.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <thread>

namespace vellisto::cli {

namespace {

    // Set by the signal handler: a lock-free atomic store is all it does.
    std::atomic<bool> g_interrupted { false };
    static_assert(std::atomic<bool>::is_always_lock_free);
    constexpr int kCaught[] = { SIGINT, SIGTERM, SIGHUP };
    struct sigaction g_previous[std::size(kCaught)] {};
    std::mutex g_guardMutex; // guards g_guards and the handlers' installation
    int g_guards = 0; // InterruptGuards alive

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
    const std::lock_guard lock(g_guardMutex);
    if (g_guards++ > 0)
        return;
    g_interrupted.store(false);
    for (std::size_t i = 0; i < std::size(kCaught); ++i) {
        struct sigaction action { };
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        ::sigaction(kCaught[i], &action, &g_previous[i]);
    }
}

InterruptGuard::~InterruptGuard()
{
    const std::lock_guard lock(g_guardMutex);
    if (--g_guards > 0)
        return;
    for (std::size_t i = 0; i < std::size(kCaught); ++i)
        ::sigaction(kCaught[i], &g_previous[i], nullptr);
}

const std::atomic<bool>& InterruptFlag() { return g_interrupted; }

CliUserInterface::CliUserInterface(CliAnswers answers)
    : m_answers(std::move(answers))
{
}

MessageAnswer CliUserInterface::showMessage(
    std::string_view text, TextId caption, MessageButtons buttons, std::string_view detail)
{
    if (buttons == MessageButtons::kOkCancel) {
        // The question after a failed sound: the caller has already said
        // which sound failed; go on unless --strict or an interrupt says stop.
        return m_answers.strict || g_interrupted.load() ? MessageAnswer::kCancel
                                                        : MessageAnswer::kOk;
    }
    if (caption == TextId::kInformation)
        m_notices.push_back(
            detail.empty() ? std::string(text) : std::string(text) + '\n' + std::string(detail));
    else
        Failure(text, detail);
    return buttons == MessageButtons::kYesNo ? MessageAnswer::kYes : MessageAnswer::kOk;
}

std::optional<std::string> CliUserInterface::chooseSaveFile(const FileRequest&)
{
    return m_answers.outputPath;
}

std::optional<std::string> CliUserInterface::chooseOpenFile(const FileRequest&)
{
    return std::nullopt;
}

std::optional<std::string> CliUserInterface::chooseFolder(std::string_view, std::string_view)
{
    return std::nullopt;
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
        if (m_answers.showProgress && poll % kPollsPerDraw == 0) {
            DrawBar(mix::SteadyMilliseconds() - start, source.currentFrame(), source.totalFrames());
            drawn = true;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    if (drawn)
        std::fputs("\r\x1b[K", stderr); // clear the bar's line
}

} // namespace vellisto::cli
