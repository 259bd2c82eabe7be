// SPDX-License-Identifier: MIT
#include "mix/MixingThread.h"

#include "engine/WaveWriter.h"

#include <system_error>

namespace vellisto::mix {

CMixingThread::~CMixingThread() { quit(); }

bool CMixingThread::create()
{
    if (running())
        return true;
    m_queue.clear();
    try {
        m_thread = std::thread(&CMixingThread::run, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CMixingThread::postStart(const Project& project, MixState& state,
    const engine::RenderSetup& setup, platform::File& file, engine::ProgressRecord& record)
{
    post({ false, &project, &state, setup, &file, &record });
}

void CMixingThread::quit()
{
    if (!running())
        return;
    post({ true, nullptr, nullptr, {}, nullptr, nullptr });
    m_thread.join();
}

void CMixingThread::post(Message message)
{
    {
        const std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(message));
    }
    m_wake.notify_one();
}

void CMixingThread::run()
{
    bool rendered = false;
    for (;;) {
        Message message;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_queue.empty(); });
            message = std::move(m_queue.front());
            m_queue.pop_front();
        }
        if (message.quit)
            return;
        if (rendered)
            continue; // one mix per life
        rendered = true;
        engine::ProgressRecord& record = *message.record;
        bool ok = false;
        try {
            ok = engine::WriteWaveFile(
                *message.project, *message.state, message.setup, *message.file, record);
        } catch (...) {
            // Nothing may leave the worker: the waiting side relies on the
            // done word, so a failure of any kind ends as result 0.
            ok = false;
        }
        if (record.done.load() == 0) {
            record.result.store(ok ? 1 : 0);
            record.done.store(1);
        }
    }
}

} // namespace vellisto::mix
