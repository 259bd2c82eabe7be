// SPDX-License-Identifier: MIT
#pragma once

// The offline mix: a worker thread that writes one WAVE file per life, and
// the mix command that drives it through a UserInterface (link check, file
// choice, sound preparation, engine reset, progress display, final report).
//
// Threads: the command runs on the user-interface thread; the worker runs
// WriteWaveFile and alone uses the project's mix state meanwhile. They share
// only the five words of the progress record: abort is written by the
// user-interface side, done, result, current and total by the worker. The
// command waits for the worker to end before it returns, so the project,
// the path and the record outlive every use the worker makes of them.

#include "engine/WaveWriter.h"
#include "mix/MixReport.h"
#include "mix/SoundCache.h"
#include "model/Project.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace vellisto {
class Ctest122Doc;
class UserInterface;
} // namespace vellisto

namespace vellisto::mix {

// A worker thread with a small message queue. It serves two messages: start
// (run WriteWaveFile once with the job handed over by postStart) and quit.
// Only the first start of a life renders; later ones are ignored.
class CMixingThread {
public:
    CMixingThread() = default;
    CMixingThread(const CMixingThread&) = delete;
    CMixingThread& operator=(const CMixingThread&) = delete;
    ~CMixingThread(); // posts quit and waits for the thread

    // Creates the thread; false when the system refuses one.
    bool create();
    bool running() const { return m_thread.joinable(); }

    // Hands the job to the worker and posts the start message. The project,
    // the path and the record must stay valid until quit() has returned.
    void postStart(Project& project, const std::string& nativePath, engine::ProgressRecord& record);

    // Posts the quit message and waits until the thread has ended. A mix in
    // progress finishes first (set the record's abort word to cut it short).
    void quit();

private:
    // A start message carries its job; quit carries nothing.
    struct Message {
        bool quit = false;
        Project* project = nullptr;
        std::string path;
        engine::ProgressRecord* record = nullptr;
    };
    void post(Message message);
    void run();

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Message> m_queue; // guarded by m_mutex
};

// What the mix needs beyond the project; the defaults suit the desktop.
struct MixOptions {
    MillisecondClock clock = SteadyMilliseconds; // for the timing report
    SoundFailureReporter reportSoundFailure; // told of each sound that fails, before the question
};

// The mix command on a project: refuses a circular link ("There is a
// circular reference link at sound %u."), asks for the output file (Cancel
// stops quietly), starts the worker ("Failed in creating a thread."),
// prepares the sounds (asking about each failure), resets the engine with
// mute and solo ignored ("Failed in allocating memory space."), renders on
// the worker while ui.runProgress shows progress, and reports "Finished
// mixing..." with the time and speed, "Aborted." or "Failed in mixing.".
// A mix too long for a WAVE file's 32-bit sizes, or an output format the
// engine cannot render, is refused before any file is chosen. documentPath
// is the project's file (empty when unsaved) for the sounds' relative names.
// true when a complete WAVE file was written.
bool MixProject(Project& project, std::u16string_view documentPath, UserInterface& ui,
    const MixOptions& options = {});

// The same for a document's project; on success every view is updated.
bool MixDocument(Ctest122Doc& document, UserInterface& ui, const MixOptions& options = {});

} // namespace vellisto::mix
