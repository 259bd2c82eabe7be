// SPDX-License-Identifier: MIT
#pragma once

// The offline mix's worker: a thread that writes one WAVE file per life.
//
// Threads: the driver (the mix command) runs on the user-interface thread;
// the worker runs WriteWaveFile and alone uses the project's mix state
// meanwhile. They share only the five words of the progress record: abort is
// written by the user-interface side, done, result, current and total by the
// worker. The driver waits for the worker to end (quit) before it touches the
// project, the file or the record again.

#include "engine/Mixer.h"
#include "engine/WaveWriter.h"
#include "model/Project.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace vellisto::platform {
class File;
}

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

    // Hands the job to the worker and posts the start message: the prepared
    // mix of project (state, computed as setup says) is written into file,
    // open for writing, empty and at its start. Everything handed over must
    // stay valid, and the project unchanged, until quit() has returned.
    void postStart(const Project& project, MixState& state, const engine::RenderSetup& setup,
        platform::File& file, engine::ProgressRecord& record);

    // Posts the quit message and waits until the thread has ended. A mix in
    // progress finishes first (set the record's abort word to cut it short).
    void quit();

private:
    // A start message carries its job; quit carries nothing.
    struct Message {
        bool quit = false;
        const Project* project = nullptr;
        MixState* state = nullptr;
        engine::RenderSetup setup;
        platform::File* file = nullptr;
        engine::ProgressRecord* record = nullptr;
    };
    void post(Message message);
    void run();

    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Message> m_queue; // guarded by m_mutex
};

} // namespace vellisto::mix
