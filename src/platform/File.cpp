// SPDX-License-Identifier: MIT
#include "platform/File.h"

#include "platform/TextCodec.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellisto::platform {

namespace {

    bool Exists(const std::string& path)
    {
        struct stat st { };
        return ::stat(path.c_str(), &st) == 0;
    }

    // Finds an entry of folder whose name equals component without regard to ASCII case.
    std::optional<std::string> MatchComponent(
        const std::string& folder, const std::string& component)
    {
        DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
        if (dir == nullptr)
            return std::nullopt;
        std::optional<std::string> found;
        while (const dirent* entry = ::readdir(dir)) {
            if (::strcasecmp(entry->d_name, component.c_str()) == 0) {
                found = entry->d_name;
                break;
            }
        }
        ::closedir(dir);
        return found;
    }

    std::string ResolveCaseInsensitive(const std::string& path)
    {
        if (path.empty() || Exists(path))
            return path;
        std::string resolved;
        std::size_t start = 0;
        if (path[0] == '/') {
            resolved = "/";
            start = 1;
        }
        while (start <= path.size()) {
            std::size_t end = path.find('/', start);
            if (end == std::string::npos)
                end = path.size();
            const std::string component = path.substr(start, end - start);
            if (!component.empty()) {
                std::string candidate = resolved + component;
                if (!Exists(candidate)) {
                    const auto match = MatchComponent(resolved, component);
                    if (!match)
                        return path;
                    candidate = resolved + *match;
                }
                resolved = candidate;
            }
            if (end < path.size())
                resolved += '/';
            start = end + 1;
        }
        return resolved;
    }

} // namespace

std::string NativePath(std::string_view utf8Name)
{
    std::string path(utf8Name);
    for (char& c : path) {
        if (c == '\\')
            c = '/';
    }
    return ResolveCaseInsensitive(path);
}

std::string NativePath(std::u16string_view name) { return NativePath(Utf16ToUtf8(name)); }

std::u16string FolderOf(std::u16string_view path)
{
    const std::size_t at = path.find_last_of(u"/\\");
    if (at == std::u16string_view::npos)
        return {};
    return std::u16string(path.substr(0, at + 1));
}

std::string ExecutableFolder()
{
    std::string buffer(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size())
        return "./";
    buffer.resize(static_cast<std::size_t>(n));
    const std::size_t slash = buffer.rfind('/');
    return slash == std::string::npos ? "./" : buffer.substr(0, slash + 1);
}

File::File(File&& other) noexcept
    : m_fd(other.m_fd)
{
    other.m_fd = -1;
}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        close();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

File::~File() { close(); }

bool File::openForReading(const std::string& nativePath)
{
    close();
    // Opened without blocking: a named pipe (which a stored sound name may
    // reach) would otherwise wait here for a writer that never comes.
    m_fd = ::open(nativePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (m_fd < 0)
        return false;
    struct stat st { };
    // A folder opens for reading on Linux; refuse anything but a regular file.
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close();
        return false;
    }
    const int flags = ::fcntl(m_fd, F_GETFL);
    if (flags < 0 || ::fcntl(m_fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close();
        return false;
    }
    return true;
}

bool File::createForWriting(const std::string& nativePath)
{
    close();
    m_fd = ::open(nativePath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return m_fd >= 0;
}

std::size_t File::read(void* buffer, std::size_t size)
{
    std::size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (m_fd >= 0 && done < size) {
        const ssize_t n = ::read(m_fd, out + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool File::write(const void* data, std::size_t size)
{
    std::size_t done = 0;
    const auto* in = static_cast<const char*>(data);
    while (done < size) {
        if (m_fd < 0)
            return false;
        const ssize_t n = ::write(m_fd, in + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool File::seek(std::uint64_t offset)
{
    if (m_fd < 0 || offset > static_cast<std::uint64_t>(INT64_MAX))
        return false;
    return ::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

bool File::truncate(std::uint64_t length)
{
    if (m_fd < 0 || length > static_cast<std::uint64_t>(INT64_MAX))
        return false;
    return ::ftruncate(m_fd, static_cast<off_t>(length)) == 0;
}

std::optional<std::uint64_t> File::length() const
{
    struct stat st { };
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

bool File::sync() { return m_fd >= 0 && ::fsync(m_fd) == 0; }

bool File::close()
{
    if (m_fd < 0)
        return true;
    const bool ok = ::close(m_fd) == 0;
    m_fd = -1;
    return ok;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(
    const std::string& nativePath, std::uint64_t maxBytes)
{
    File file;
    if (!file.openForReading(nativePath))
        return std::nullopt;
    const auto size = file.length();
    if (!size || *size > maxBytes)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(*size));
    if (file.read(bytes.data(), bytes.size()) != bytes.size())
        return std::nullopt;
    return bytes;
}

AtomicFileWriter::AtomicFileWriter(std::string targetPath)
    : m_target(std::move(targetPath))
{
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (!m_committed && !m_tempPath.empty()) {
        m_file.close();
        ::unlink(m_tempPath.c_str());
    }
}

bool AtomicFileWriter::open()
{
    // Only a regular file (or nothing) is replaced: renaming over a folder, a
    // device or a pipe would destroy it instead of writing into it.
    struct stat st { };
    if (::stat(m_target.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return false;
    const std::size_t slash = m_target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : m_target.substr(0, slash + 1);
    std::string pattern = folder + ".vellisto-XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return false;
    ::close(fd);
    m_tempPath = pattern;
    return m_file.createForWriting(m_tempPath);
}

bool AtomicFileWriter::commit()
{
    if (!m_file.isOpen())
        return false;
    const bool flushed = m_file.sync();
    const bool closed = m_file.close();
    if (!flushed || !closed)
        return false;
    // mkstemp makes the file 0600; give it the permissions a created file gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(m_tempPath.c_str(), 0666 & ~mask);
    if (::rename(m_tempPath.c_str(), m_target.c_str()) != 0)
        return false;
    m_committed = true;
    return true;
}

} // namespace vellisto::platform
