// SPDX-License-Identifier: MIT
#pragma once

// Files opened by the project's own names. Names are UTF-16 as stored in
// projects and charts: every '\' becomes '/', and when the exact path does not
// exist each component is matched without regard to ASCII case, since charts
// written on case-insensitive systems rely on that. A File is used by one
// thread at a time.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vellisto::platform {

// The native (UTF-8, '/'-separated) path for a stored name, resolved case-insensitively
// component by component when the exact name does not exist. Returns the
// mapped name unchanged when no match is found.
std::string NativePath(std::u16string_view name);
std::string NativePath(std::string_view utf8Name);

// A stored name (or the rest of one, after its leading backslash) inside a native
// folder: the folder's bytes are taken as they are, since they come from the
// file system or the user and need no conversion; only the stored part is
// converted and matched without regard to case.
std::string NativePathIn(std::string_view nativeFolder, std::u16string_view name);

// The folder part of a path, where both '/' and '\' separate, including the
// final separator ("a\b/c.wav" gives "a\b/"); empty when there is none.
std::u16string FolderOf(std::u16string_view path);

// The folder of the running executable, with a trailing '/'.
std::string ExecutableFolder();

class File {
public:
    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    ~File();

    // Opens an existing regular file for reading; false when it cannot be opened.
    bool openForReading(const std::string& nativePath);
    // Creates or truncates a file for writing.
    bool createForWriting(const std::string& nativePath);
    // Takes over an open descriptor (closing any file held before).
    void adoptDescriptor(int fd);
    int descriptor() const { return m_fd; }
    // The system's error number of the last failed create, write, seek,
    // truncate, sync or close (ENOSPC for a write that made no progress).
    int lastError() const { return m_error; }

    bool isOpen() const { return m_fd >= 0; }
    // Reads up to size bytes; returns the count read (short at the end of the file).
    std::size_t read(void* buffer, std::size_t size);
    // Writes all bytes; false on any error (a full disk, for one).
    bool write(const void* data, std::size_t size);
    bool seek(std::uint64_t offset);
    // Cuts or extends the file to the given length; the position is unchanged.
    bool truncate(std::uint64_t length);
    std::optional<std::uint64_t> length() const;
    // Flushes to the device; false on error.
    bool sync();
    bool close();

private:
    bool failed(); // records errno; always false

    int m_fd = -1;
    int m_error = 0;
};

// Reads a whole regular file; nullopt when it cannot be opened or read, or is
// larger than maxBytes.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(
    const std::string& nativePath, std::uint64_t maxBytes = 0xFFFFFFFFull);

// Writes a file through a temporary file in the same folder that is renamed
// over the target only when write() returned true and everything was flushed,
// so a failed write never destroys an existing file. The temporary file is
// created exclusively and written through the descriptor of its creation.
// A replaced file's mode (and owner, where permitted) carries over; a
// write-protected target is refused; a target that is a link to a file
// replaces the file it points to and leaves the link.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string targetPath);
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    ~AtomicFileWriter(); // removes the temporary file unless committed

    bool open(); // creates the temporary file
    File& file() { return m_file; }
    const std::string& temporaryPath() const { return m_tempPath; }
    bool commit(); // flush, close and rename over the target
    // The system's error number of the failed open or commit.
    int error() const { return m_error; }

private:
    bool fail(int error); // records error; always false

    std::string m_target;
    std::string m_tempPath;
    File m_file;
    bool m_committed = false;
    bool m_replacing = false;
    unsigned m_mode = 0;
    unsigned m_owner = 0;
    unsigned m_group = 0;
    int m_error = 0;
};

} // namespace vellisto::platform
