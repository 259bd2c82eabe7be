// SPDX-License-Identifier: MIT
#pragma once

// Making sounds playable: reading a sound's file (WAVE, or a compressed
// format that is decoded to 16-bit PCM first) and converting it to the
// project's output format with the loading interpolation. The converted
// samples stay in the slot and serve as a cache, valid while the slot's
// dataFormat has the same 16-byte format key as the output format.
//
// Names that begin with '\' are relative to the base directory: the
// project's basePath exactly as stored, else the folder of the document's
// path, else (an unsaved project) the folder of the program itself. The
// stored names are never rewritten: relative names stay relative.
//
// When the file a name gives does not exist, the same name with its
// extension replaced by .ogg, .flac, .opus, .mp3 and .wav, in that order, is
// tried (charts name ".wav" files that were shipped compressed). Whatever
// file is found this way is the sound's file everywhere: it is read, its path
// is reported, and a mix refuses to write its output over it.
//
// Used on the user-interface thread, never while a mix or preview reads the
// project.

#include "audio/SoundFileFormat.h"
#include "audio/WaveReader.h"
#include "model/Project.h"
#include "platform/ReadError.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellisto::mix {

// Why a sound could not be prepared, for callers that say more than the
// system's question (the command line names the file and the reason).
enum class SoundFailureKind {
    kNone,
    kNoSound, // a sound ID of 1024 or more
    kPathTooLong, // base directory and name make 260 characters or more
    kUnreadable, // the WAVE reader refused the file (see read)
    kUnconvertible, // the samples cannot be brought to the output format
    kOutOfMemory, // the converted samples' block could not be allocated
};

struct SoundFailure {
    SoundFailureKind kind = SoundFailureKind::kNone;
    std::string path; // the native path tried (base directory + name for a relative name)
    platform::ReadError read; // the reader's reason for kUnreadable
};

// One line describing a failure ("cannot open the file", ...), without the path.
std::string DescribeSoundFailure(const SoundFailure& failure);

// The native folder that relative names are looked up in when the project
// has no base path: the folder of documentPath (the document's native path),
// else, for an unsaved project, the folder of the program itself; without a
// trailing '/'.
std::string RelativeNamesFolder(std::string_view documentPath);

// The file a slot's name leads to.
struct ResolvedSoundFile {
    std::string path; // native path
    bool exists = false; // something exists at path (it may still fail to read)
    bool substituted = false; // found by replacing the name's extension
};

// Resolves a slot's name: for a name beginning with '\' the base directory
// (the project's stored base path, else RelativeNamesFolder) followed by the
// name, the name itself otherwise; stored parts are converted and matched
// without regard to case. When nothing exists there, the first of the
// substitute extensions that exists; when none does, the name's own path
// (exists false). nullopt when the full name would be 260 characters or
// longer; a substitute that long is passed over.
std::optional<ResolvedSoundFile> ResolveSoundFile(
    const Project& project, std::string_view documentPath, const SoundSlot& slot);

// The native path a slot's file is read from: ResolveSoundFile's path.
std::optional<std::string> SoundFilePath(
    const Project& project, std::string_view documentPath, const SoundSlot& slot);

// What the sound table's names lead to, for reports ("info"): one entry per
// slot with a name, in sound-ID order. Reads at most the first few hundred
// bytes of each file found; decodes nothing and changes nothing.
struct SoundFileReport {
    std::uint32_t soundId = 0;
    std::string storedName; // the slot's name as stored (UTF-8)
    std::string path; // the file used, or the path tried when none was found
    bool pathTooLong = false; // the name cannot be resolved at all (path is empty)
    bool found = false; // a regular file is at path and can be opened
    bool substituted = false; // path has another extension than the stored name
    audio::SoundFileFormat format = audio::SoundFileFormat::kUnknown; // when found
};
std::vector<SoundFileReport> DescribeSoundFiles(
    const Project& project, std::string_view documentPath);

// Reads the sound file at nativePath into the slot, which must hold no
// samples, and converts it to format with the given loading interpolation
// unless it is already in that format. On failure the slot holds no samples.
bool LoadSoundFile(const std::string& nativePath, const OutputFormat& format,
    std::uint32_t loadingInterpolation, SoundSlot& slot, SoundFailure* failure = nullptr);

// Makes sound soundId playable in the output format: keeps cached samples of
// the right format, otherwise releases them and reads and converts the file.
// On failure the slot holds no samples and keeps its name.
bool PrepareSound(Project& project, std::string_view documentPath, std::uint32_t soundId,
    SoundFailure* failure = nullptr);

// Told of each sound that fails; returns whether to go on without it.
using SoundFailureHandler = std::function<bool(std::uint32_t soundId, const SoundFailure&)>;

// Prepares every sound in ID order; empty slots just lose any samples they
// still hold. A sound that fails stays silent if onFailure says to go on;
// otherwise preparation stops and the result is false. stopRequested, when
// given, is asked before each sound and stops preparation (false) when true.
bool PrepareAllSounds(Project& project, std::string_view documentPath,
    const SoundFailureHandler& onFailure, const std::function<bool()>& stopRequested = {});

// Releases the samples of all 1024 slots (samples null, sampleBytes 0), so
// that the next mix or preview reads and converts every sound again.
void ClearCache(Project& project);

} // namespace vellisto::mix
