// SPDX-License-Identifier: MIT
#pragma once

// Copying the stored parts of one project into another, and rescaling the
// frame counts they hold when the two run at different output rates. Used by
// "Import Sound List", "Import Track List", changing the output format, the
// undo snapshots and the command line's list options. No messages: callers
// report failures.
//
// Rescaling multiplies in 64 bits and divides unsigned (value x to / from,
// truncated). Sound frame counts (loop points, envelope times) that reach
// 2^32 become 0xFFFFFFFF; event times that reach 2^31 become 0x7FFFFFFF, the
// ceiling of every edited time. A source rate of 0 (possible only in a
// damaged file) leaves values as they are instead of dividing by zero.

#include "model/Project.h"

#include <cstdint>

namespace vellisto {

std::uint32_t RescaleSoundFrames(
    std::uint32_t frames, std::uint32_t toRate, std::uint32_t fromRate);
std::uint32_t RescaleEventTime(std::uint32_t time, std::uint32_t toRate, std::uint32_t fromRate);

// Rescales loopBegin, loopEnd, attackTime, sustainTime and releaseTime.
void RescaleSoundTimes(SoundSlot& slot, std::uint32_t toRate, std::uint32_t fromRate);
// Rescales the time of every event (the order is kept: the mapping is monotonic).
void RescaleTrackTimes(Track& track, std::uint32_t toRate, std::uint32_t fromRate);

// Copies fileName and the twelve setting words; samples are left alone.
void CopySoundSettings(SoundSlot& dst, const SoundSlot& src);
// Makes dst's events an exact copy of src's (count, records, sentinel);
// false when out of memory, dst then being empty. Flags are left alone.
bool CopyTrackEvents(Track& dst, const Track& src);

// Every slot's name and settings from src, with frame counts rescaled from
// src's output rate to dst's. dst's tracks, settings and samples are untouched.
void CopySoundList(Project& dst, const Project& src);

// Every track's events from src, times rescaled from src's output rate to
// dst's. Stops with false at the first track whose array cannot be
// allocated; the tracks before it stay replaced. Track flags are untouched.
bool CopyTrackList(Project& dst, const Project& src);

// Rescales every sound frame count and event time from the project's output
// rate to newRate; the output format itself is not changed.
void RescaleProjectTimes(Project& project, std::uint32_t newRate);

// The stored parts that an undo snapshot keeps: every slot's name and
// settings, every track's events and flags, the whole settings record.
// false when out of memory (dst is then partly copied).
bool CopyStoredParts(Project& dst, const Project& src);

} // namespace vellisto
