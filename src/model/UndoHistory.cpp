// SPDX-License-Identifier: MIT
#include "model/UndoHistory.h"

#include "model/ProjectImport.h"

#include <utility>

namespace vellisto {

UndoHistory::RecordResult UndoHistory::record(const Project& current, bool merge)
{
    if (merge && m_merge)
        return RecordResult::kMerged;

    // Free the slot first: under memory pressure its snapshot is what makes room.
    slot(m_cursor).reset();
    std::unique_ptr<Project> snapshot = m_factory ? m_factory() : CreateProject();
    if (!snapshot || !CopyStoredParts(*snapshot, current)) {
        // The freed slot held either the oldest undo step (full ring) or the
        // first redo step. Neither may be reached again through an empty slot.
        if (m_cursor - m_oldest == kUndoSteps)
            ++m_oldest;
        m_newest = m_cursor;
        releaseRedoSteps();
        m_merge = false;
        return RecordResult::kOutOfMemory;
    }

    slot(m_cursor) = std::move(snapshot);
    ++m_cursor;
    m_newest = m_cursor;
    if (m_cursor - m_oldest > kUndoSteps)
        m_oldest = m_cursor - kUndoSteps;
    releaseRedoSteps();
    m_merge = merge;
    return RecordResult::kRecorded;
}

void UndoHistory::releaseRedoSteps()
{
    // Positions cursor .. oldest + 7 hold no undo step; with a full ring there are none.
    for (std::uint32_t position = m_cursor; position != m_oldest + kUndoSteps; ++position)
        slot(position).reset();
}

bool UndoHistory::undo(std::unique_ptr<Project>& current)
{
    if (!canUndo() || !current || !slot(m_cursor - 1))
        return false;
    --m_cursor;
    std::swap(current, slot(m_cursor));
    m_merge = false;
    return true;
}

bool UndoHistory::redo(std::unique_ptr<Project>& current)
{
    if (!canRedo() || !current || !slot(m_cursor))
        return false;
    std::swap(current, slot(m_cursor));
    ++m_cursor;
    m_merge = false;
    return true;
}

void UndoHistory::clear()
{
    for (auto& snapshot : m_slots)
        snapshot.reset();
    m_cursor = m_oldest = m_newest = 0;
    m_merge = false;
}

void UndoHistory::setRecordFactory(std::function<std::unique_ptr<Project>()> factory)
{
    m_factory = std::move(factory);
}

} // namespace vellisto
