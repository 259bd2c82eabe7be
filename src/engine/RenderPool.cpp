// SPDX-License-Identifier: MIT
#include "engine/RenderPool.h"

#include "engine/detail/TrackRenderer.h"

#include <algorithm>
#include <new>
#include <system_error>

namespace vellisto::engine {

RenderPool::RenderPool(std::uint32_t threads)
{
    const std::uint32_t workers = threads > 1 ? threads - 1 : 0;
    try {
        m_workers.reserve(workers); // so that adding a started worker cannot throw
        for (std::uint32_t i = 0; i < workers; ++i) {
            auto worker = std::make_unique<Worker>();
            Worker& w = *worker;
            w.thread = std::thread([this, &w] { serve(w); });
            m_workers.push_back(std::move(worker));
        }
    } catch (const std::system_error&) {
        // Fewer threads than asked for: the mix runs on those that started.
    } catch (const std::bad_alloc&) {
        // The same.
    }
}

RenderPool::~RenderPool()
{
    m_stop.store(true, std::memory_order_relaxed);
    m_generation.fetch_add(1, std::memory_order_release);
    m_generation.notify_all();
    for (const auto& worker : m_workers)
        worker->thread.join();
}

bool RenderPool::reserve(std::size_t words)
{
    m_words = 0;
    try {
        for (const auto& worker : m_workers)
            worker->accumulator.assign(words, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_words = words;
    return true;
}

bool RenderPool::takeTracks(std::int32_t* acc, bool clearFirst)
{
    bool used = false;
    for (;;) {
        const std::uint32_t t = m_nextTrack.fetch_add(1, std::memory_order_relaxed);
        if (t >= kTrackCount)
            return used;
        if (m_state->tracks[t].active == 0)
            continue;
        if (!used && clearFirst)
            std::fill_n(acc, m_blockWords, 0);
        used = true;
        RenderTrackOfBlock(*m_project, *m_state, t, m_render, acc, m_frames);
    }
}

void RenderPool::serve(Worker& worker)
{
    std::uint32_t seen = 0;
    for (;;) {
        m_generation.wait(seen, std::memory_order_acquire);
        seen = m_generation.load(std::memory_order_acquire);
        if (m_stop.load(std::memory_order_relaxed))
            return;
        worker.used = takeTracks(worker.accumulator.data(), true);
        // The last worker to finish wakes the driving thread.
        if (m_pending.fetch_sub(1, std::memory_order_acq_rel) == 1)
            m_pending.notify_one();
    }
}

void RenderPool::renderTracks(
    const Project& project, MixState& state, TrackRenderer render, std::uint32_t frames)
{
    m_project = &project;
    m_state = &state;
    m_render = render;
    m_frames = frames;
    m_blockWords = std::size_t { frames } * state.settings.outputFormat.channels;
    m_nextTrack.store(0, std::memory_order_relaxed);
    m_pending.store(static_cast<std::uint32_t>(m_workers.size()), std::memory_order_relaxed);
    m_generation.fetch_add(1, std::memory_order_release);
    m_generation.notify_all();

    std::int32_t* acc = state.accumulator.data();
    takeTracks(acc, false);
    for (std::uint32_t busy = m_pending.load(std::memory_order_acquire); busy != 0;
         busy = m_pending.load(std::memory_order_acquire))
        m_pending.wait(busy, std::memory_order_acquire);

    // Wrapping adds: the order of the threads makes no difference.
    for (const auto& worker : m_workers) {
        if (!worker->used)
            continue;
        const std::int32_t* part = worker->accumulator.data();
        for (std::size_t i = 0; i < m_blockWords; ++i)
            acc[i] = AddWrap(acc[i], part[i]);
    }
}

} // namespace vellisto::engine
