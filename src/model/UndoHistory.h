// SPDX-License-Identifier: MIT
#pragma once

// The undo history of a document: up to eight snapshots of the project as it
// was before each change. Undo and redo exchange the document's current
// Project with a snapshot (a pointer swap, whatever the project's size);
// recording copies the stored parts of the project. Used on the
// user-interface thread only.
//
// Positions count recorded steps; position p lives in slot p mod 8. Steps
// oldest..cursor-1 can be undone, cursor..newest-1 redone, and always
// oldest <= cursor <= newest with newest - oldest <= 8 (unsigned, wrapping).
//
// A snapshot holds every slot's name and twelve setting words, every track's
// events and flags and the settings; no samples and conversion mode 0. A
// snapshot brought back by undo therefore holds no samples,
// and every sound is prepared again before the next mix.

#include "model/Limits.h"
#include "model/Project.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

namespace vellisto {

class UndoHistory {
public:
    enum class RecordResult {
        kRecorded, // a snapshot was taken
        kMerged, // the step already recorded covers this change
        kOutOfMemory, // no snapshot: this change cannot be undone
    };

    // Records current as the state before a change. merge asks to let a run
    // of small edits of one kind share the step recorded by the first of them.
    RecordResult record(const Project& current, bool merge);

    bool canUndo() const { return m_cursor != m_oldest; }
    bool canRedo() const { return m_cursor != m_newest; }

    // Exchange current with the neighbouring snapshot; false when there is none.
    bool undo(std::unique_ptr<Project>& current);
    bool redo(std::unique_ptr<Project>& current);

    // Drops every snapshot and resets the counters.
    void clear();

    std::uint32_t cursor() const { return m_cursor; }
    std::uint32_t oldest() const { return m_oldest; }
    std::uint32_t newest() const { return m_newest; }
    bool merging() const { return m_merge; }

    // Replaces the way empty snapshot records are made (tests use this to
    // simulate running out of memory).
    void setRecordFactory(std::function<std::unique_ptr<Project>()> factory);

private:
    std::unique_ptr<Project>& slot(std::uint32_t position)
    {
        return m_slots[position % kUndoSteps];
    }
    void releaseRedoSteps();

    std::array<std::unique_ptr<Project>, kUndoSteps> m_slots;
    std::uint32_t m_cursor = 0;
    std::uint32_t m_oldest = 0;
    std::uint32_t m_newest = 0;
    bool m_merge = false;
    std::function<std::unique_ptr<Project>()> m_factory;
};

} // namespace vellisto
