// SPDX-License-Identifier: MIT
#pragma once

// Importing a BMS/BME chart into a project whose output format the
// "Compatibility and Format" choice has set. Every #WAVxx line fills sound xx;
// the notes of the background channel (01) and of the player's key channels
// (10-19) become Play events, timed from the measure, the position within the
// measure, the tempo and the measure length. Background lines of a measure go
// to tracks 10, 11, ... in turn, key channel 1d to track d. Every track that
// receives notes ends with an All Stop two measures after the last measure
// reached. Malformed lines are never errors: they are ignored. On failure the
// project may be partly filled and is to be discarded. No messages: callers
// report "Failed in loading a BM98 file.". One import per project at a time.
//
// Those are the program's own rules, and the default. The standard rules
// (BmsStandardImport.h), which charts are commonly written for, are chosen
// with BmsImportOptions; they report what they had to skip in a
// BmsImportReport.

#include "model/Project.h"
#include "platform/ReadError.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vellisto::import {

// Which rules a chart is read by.
enum class BmsRules {
    kDesign, // the program's own rules (above)
    kStandard, // the rules charts are commonly written for (BmsStandardImport.h)
};

struct BmsImportOptions {
    BmsRules rules = BmsRules::kDesign;
    // Picks the #RANDOM branches under the standard rules: the same seed
    // always gives the same branches, so a render can be made again.
    std::uint64_t seed = 0;
};

// What the standard rules skipped. Each sound, tempo or stop ID is reported
// once, at its first line.
enum class BmsWarningKind {
    kSoundBeyondTable, // value: a sound ID of 1024 or more, defined or used
    kLineTooLong, // value: the number of objects of a channel line (above 2^20)
    kUndefinedTempo, // value: a channel-08 ID without a usable #BPMxx
    kUndefinedStop, // value: a channel-09 ID without a usable #STOPxx
};

struct BmsWarning {
    BmsWarningKind kind = BmsWarningKind::kSoundBeyondTable;
    std::uint64_t offset = 0; // byte offset of the line in the chart file
    std::uint32_t value = 0;
};

inline constexpr std::size_t kMaxListedBmsWarnings = 64;

struct BmsImportReport {
    std::vector<BmsWarning> warnings; // the first kMaxListedBmsWarnings, in chart order
    std::uint64_t unlisted = 0; // warnings beyond those
};

// "byte 120: sound ZZ is beyond the 1024-sound table; skipped", and so on.
std::string DescribeBmsWarning(const BmsWarning& warning);

// Imports the bytes of a whole chart. The base path becomes the folder of
// chartPath (everything before its last '/' or '\'); a chartPath without a
// separator is taken whole, an empty one leaves the base path empty. Only
// memory can run out: a given reason then carries the byte offset of the
// line whose events could not be stored, or no offset when the failure
// belongs to no line.
bool ImportBmsFile(Project& project, std::span<const std::uint8_t> chart,
    std::u16string_view chartPath, platform::ReadError* reason = nullptr);

// Imports the chart at a native (UTF-8) path, whose absolute folder becomes
// the base path.
bool ImportBmsFile(
    Project& project, const std::string& nativePath, platform::ReadError* reason = nullptr);

// The same two under the chosen rules; a given report receives what the
// standard rules skipped (the program's own rules report nothing).
bool ImportBmsFile(Project& project, std::span<const std::uint8_t> chart,
    std::u16string_view chartPath, const BmsImportOptions& options,
    platform::ReadError* reason = nullptr, BmsImportReport* report = nullptr);
bool ImportBmsFile(Project& project, const std::string& nativePath, const BmsImportOptions& options,
    platform::ReadError* reason = nullptr, BmsImportReport* report = nullptr);

} // namespace vellisto::import
