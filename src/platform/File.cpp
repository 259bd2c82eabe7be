// SPDX-License-Identifier: MIT
#include "platform/File.h"

#include "platform/TextCodec.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
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

    // folder + path, where the components of path that do not exist as
    // written are matched without regard to case; folder (empty, or ending
    // in '/') is taken as it is. The plain join when nothing matches.
    std::string ResolveCaseInsensitive(const std::string& folder, const std::string& path)
    {
        const std::string joined = folder + path;
        if (path.empty() || Exists(joined))
            return joined;
        std::string resolved = folder;
        std::size_t start = 0;
        if (folder.empty() && path[0] == '/') {
            resolved.assign(1, '/');
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
                        return joined;
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

namespace {

    std::string WithSlashes(std::string path)
    {
        for (char& c : path) {
            if (c == '\\')
                c = '/';
        }
        return path;
    }

} // namespace

std::string NativePath(std::string_view utf8Name)
{
    return ResolveCaseInsensitive({}, WithSlashes(std::string(utf8Name)));
}

std::string NativePath(std::u16string_view name) { return NativePath(Utf16ToUtf8(name)); }

std::string NativePathIn(std::string_view nativeFolder, std::u16string_view name)
{
    std::string folder(nativeFolder);
    std::string rest = WithSlashes(Utf16ToUtf8(name));
    if (folder.empty())
        return ResolveCaseInsensitive({}, rest);
    if (folder.back() != '/')
        folder += '/';
    while (!rest.empty() && rest.front() == '/')
        rest.erase(0, 1);
    return ResolveCaseInsensitive(folder, rest);
}

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
    return m_fd >= 0 || failed();
}

void File::adoptDescriptor(int fd)
{
    close();
    m_fd = fd;
}

bool File::failed()
{
    m_error = errno;
    return false;
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
        if (n < 0)
            return failed();
        if (n == 0) {
            m_error = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool File::seek(std::uint64_t offset)
{
    if (m_fd < 0 || offset > static_cast<std::uint64_t>(INT64_MAX))
        return false;
    return ::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) >= 0 || failed();
}

bool File::truncate(std::uint64_t length)
{
    if (m_fd < 0 || length > static_cast<std::uint64_t>(INT64_MAX))
        return false;
    return ::ftruncate(m_fd, static_cast<off_t>(length)) == 0 || failed();
}

std::optional<std::uint64_t> File::length() const
{
    struct stat st { };
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

bool File::sync() { return m_fd >= 0 && (::fsync(m_fd) == 0 || failed()); }

bool File::close()
{
    if (m_fd < 0)
        return true;
    const bool ok = ::close(m_fd) == 0 || failed();
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

namespace {

    // The process's file creation mask. It can only be read by setting it, so
    // both calls are made under one lock: two writers opened on different
    // threads at once would otherwise see 0 and leave it at 0 for the rest of
    // the process. (A file that another thread creates in that instant with
    // a wider mode than mkstemp's 0600 would still miss the mask; the mixes
    // create theirs with mkstemp.)
    mode_t FileCreationMask()
    {
        static std::mutex mutex;
        const std::lock_guard lock(mutex);
        const mode_t mask = ::umask(0);
        ::umask(mask);
        return mask;
    }

} // namespace

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

bool AtomicFileWriter::fail(int error)
{
    m_error = error;
    return false;
}

bool AtomicFileWriter::open()
{
    // An output that is a link to a file: the file it points to is replaced,
    // in its own folder, and the link stays.
    struct stat st { };
    if (::lstat(m_target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* resolved = ::realpath(m_target.c_str(), nullptr);
        if (resolved == nullptr)
            return fail(errno);
        m_target = resolved;
        std::free(resolved);
    }
    m_replacing = ::stat(m_target.c_str(), &st) == 0;
    if (m_replacing) {
        // Only a regular file is replaced: renaming over a folder, a device
        // or a pipe would destroy it instead of writing into it.
        if (!S_ISREG(st.st_mode))
            return fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        // A write-protected file is refused, though the folder would let the
        // rename replace it: one the user may not write, and one that nobody
        // may write (which even the superuser keeps).
        if (::access(m_target.c_str(), W_OK) != 0)
            return fail(errno);
        if ((st.st_mode & 0222) == 0)
            return fail(EACCES);
        m_mode = st.st_mode & 07777;
        m_owner = st.st_uid;
        m_group = st.st_gid;
    } else {
        m_mode = 0666 & ~FileCreationMask();
    }
    const std::size_t slash = m_target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : m_target.substr(0, slash + 1);
    // A name the file system cannot hold would only fail at the rename, after
    // the whole mix: refuse it now.
    const long nameMax = ::pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    if ((nameMax > 0 && m_target.size() - folder.size() > static_cast<std::size_t>(nameMax))
        || m_target.size() >= PATH_MAX)
        return fail(ENAMETOOLONG);
    std::string pattern = folder + ".vellisto-XXXXXX";
    // mkstemp creates the file exclusively (a planted link or file at the
    // name makes it pick another), and its descriptor is the one written
    // through: the file is never opened again by name.
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    m_tempPath = pattern;
    m_file.adoptDescriptor(fd);
    return true;
}

bool AtomicFileWriter::commit()
{
    if (!m_file.isOpen())
        return fail(EBADF);
    if (!m_file.sync())
        return fail(m_file.lastError());
    // The new file takes the replaced file's mode, and its owner where the
    // system permits; a new file gets the mode a created file gets.
    if (m_replacing)
        (void)!::fchown(m_file.descriptor(), m_owner, m_group); // may be refused: then ours

    if (::fchmod(m_file.descriptor(), m_mode) != 0)
        return fail(errno);
    // The name must still be the file written: anything put in its place
    // (a link to another file, say) is not moved over the target.
    struct stat written { };
    struct stat named { };
    if (::fstat(m_file.descriptor(), &written) != 0 || ::lstat(m_tempPath.c_str(), &named) != 0)
        return fail(errno);
    if (written.st_dev != named.st_dev || written.st_ino != named.st_ino) {
        m_tempPath.clear(); // not ours to remove
        return fail(EEXIST);
    }
    if (!m_file.close())
        return fail(m_file.lastError());
    if (::rename(m_tempPath.c_str(), m_target.c_str()) != 0)
        return fail(errno);
    m_committed = true;
    return true;
}

} // namespace vellisto::platform
