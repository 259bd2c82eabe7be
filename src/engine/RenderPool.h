// SPDX-License-Identifier: MIT
#pragma once

// Threads that render the tracks of a block side by side. Tracks are
// independent until they are added into the accumulator, and every sum wraps
// at 32 bits, so each thread renders whole tracks into an accumulator of its
// own and the accumulators are added afterwards, in any order, to the same
// bits as one thread gives.
//
// Threads: the pool starts its workers when it is made and stops them when
// it is destroyed. Between blocks they sleep on an atomic word. One thread at
// a time drives a pool (the thread that calls RenderMix), and takes part in
// every block itself. A block is handed over and collected through atomics
// only: rendering with a pool allocates nothing and takes no lock.
//
// A driver makes a pool, sizes it for the mix's blocks with reserve(), and
// names it in the render set-up it passes to RenderMix; the pool must
// outlive every render it is named in.

#include "engine/MixState.h"
#include "model/Project.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

namespace vellisto::engine {

// A loop that renders `frames` frames of one active track into acc (frames x
// channels words), advancing the track's position frame by frame. The engine
// chooses one per block and hands it to the pool.
using TrackRenderer = void (*)(const Project& project, MixState& state, const Track& list,
    TrackMixState& track, std::int32_t* acc, std::uint32_t frames);

class RenderPool {
public:
    // A pool of `threads` threads, the driving one included: threads - 1
    // workers, fewer if the system refuses to start them.
    explicit RenderPool(std::uint32_t threads);
    ~RenderPool();
    RenderPool(const RenderPool&) = delete;
    RenderPool& operator=(const RenderPool&) = delete;

    // The threads that render a block, the driving one included.
    std::uint32_t threads() const { return static_cast<std::uint32_t>(m_workers.size()) + 1; }

    // Gives every worker an accumulator of `words` words (block frames x
    // channels); false when out of memory, the pool then renders no block.
    bool reserve(std::size_t words);
    bool fits(std::size_t words) const { return words <= m_words; }

    // Renders every active track of the project's prepared mix for the block
    // of `frames` frames that ends at the mix position, with `render`, and
    // adds them into the mix's accumulator, which holds zeros on entry. The
    // block must fit (see fits).
    void renderTracks(
        const Project& project, MixState& state, TrackRenderer render, std::uint32_t frames);

private:
    struct alignas(64) Worker {
        std::thread thread;
        std::vector<std::int32_t> accumulator;
        bool used = false; // it rendered a track in the current block
    };

    void serve(Worker& worker);
    // Takes tracks until none is left; renders them into acc. With
    // clearFirst, acc is zeroed before the first track. True if any was taken.
    bool takeTracks(std::int32_t* acc, bool clearFirst);

    std::vector<std::unique_ptr<Worker>> m_workers;
    std::size_t m_words = 0;

    // The current block, written before m_generation moves on.
    const Project* m_project = nullptr;
    MixState* m_state = nullptr;
    TrackRenderer m_render = nullptr;
    std::uint32_t m_frames = 0;
    std::size_t m_blockWords = 0; // frames x channels

    alignas(64) std::atomic<std::uint32_t> m_generation { 0 }; // one step per block; wakes workers
    alignas(64) std::atomic<std::uint32_t> m_nextTrack { 0 };
    alignas(64) std::atomic<std::uint32_t> m_pending { 0 }; // workers still busy with the block
    std::atomic<bool> m_stop { false };
};

} // namespace vellisto::engine
