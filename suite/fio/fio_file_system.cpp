//! @file fio_file_system.cpp
//! @brief FIO_FILE_SYSTEM: existence tests, copies, whole-file reads and atomic replacement.
#include <fio/fio.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

//! Owns a POSIX file descriptor.
class UNIQUE_FD {
public:
    explicit UNIQUE_FD(int fd = -1) : m_fd(fd) {}
    ~UNIQUE_FD() { reset(); }
    UNIQUE_FD(const UNIQUE_FD&) = delete;
    UNIQUE_FD& operator=(const UNIQUE_FD&) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    //! Closes now and reports whether the close succeeded (late write errors show here).
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }
    void reset(int fd = -1)
    {
        close();
        m_fd = fd;
    }

private:
    int m_fd;
};

bool stat_path(const std::string& path, struct stat& info)
{
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

bool write_all(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

//! Reads everything from fd and hands each chunk to sink; false on a read or sink failure.
template <typename SINK>
bool read_all(int fd, SINK&& sink)
{
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (!sink(buffer, static_cast<std::size_t>(got))) return false;
    }
}

//! Reads the regular file fd of size bytes (as fstat saw it) into content, at most max_size
//! bytes: false on a read error, or with more than max_size bytes in content when the file
//! grew past the bound while it was read. A read that returns less than it asked for and ends
//! exactly at the size seen is the end of the file, so a file read whole needs no further call.
bool read_regular_file(int fd, std::size_t size, std::size_t max_size, std::string& content)
{
    std::size_t filled = 0;
    content.resize(std::min(size, max_size) + 1);
    for (;;) {
        if (filled == content.size()) {
            if (filled > max_size) return false;
            content.resize(std::min(std::max(filled * 2, std::size_t{65536}), max_size + 1));
        }
        const std::size_t asked = content.size() - filled;
        const ssize_t got = ::read(fd, &content[filled], asked);
        if (got < 0) {
            if (errno == EINTR) continue;
            content.resize(filled);
            return false;
        }
        filled += static_cast<std::size_t>(got);
        if (got == 0 || (static_cast<std::size_t>(got) < asked && filled == size)) break;
    }
    content.resize(filled);
    return true;
}

//! The file a write to path really changes: a symbolic link is followed so that replacing
//! the file does not replace the link itself.
std::string replacement_target(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        std::error_code error;
        const auto resolved = std::filesystem::canonical(path, error);
        if (!error) return resolved.string();
    }
    return path;
}

//! Builds a new file beside a target and renames it over the target on commit. Until
//! then the target is untouched; an uncommitted temporary is removed on destruction.
class ATOMIC_REPLACEMENT {
public:
    explicit ATOMIC_REPLACEMENT(const std::string& target) : m_target(target)
    {
        const FIO_PATH target_path(target);
        m_directory = target_path.directory().empty() ? "." : target_path.directory();
        // The name is shortened so that a long target name still leaves room for the suffix.
        const std::string prefix = "." + target_path.filename().substr(0, 200) + ".tmp";
        remove_abandoned_temporaries(prefix);
        for (int attempt = 0; attempt < 100; ++attempt) {
            m_temporary = FIO_PATH(m_directory,
                                   prefix + std::to_string(::getpid()) + "_" + std::to_string(next_serial()))
                              .fullpath();
            m_file.reset(::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
            if (m_file.valid()) break;
            const bool name_taken = errno == EEXIST;
            m_temporary.clear();  // never remove a file this object did not create
            if (!name_taken) break;
        }
    }
    ~ATOMIC_REPLACEMENT()
    {
        m_file.reset();
        if (!m_committed && !m_temporary.empty()) ::unlink(m_temporary.c_str());
    }
    ATOMIC_REPLACEMENT(const ATOMIC_REPLACEMENT&) = delete;
    ATOMIC_REPLACEMENT& operator=(const ATOMIC_REPLACEMENT&) = delete;

    bool valid() const { return m_file.valid(); }
    int fd() const { return m_file.get(); }

    //! Gives the new file the permission bits of `like`, and with keep_owner also its owner
    //! where allowed: a superuser rewriting a user's file must not take it over.
    bool adopt_attributes(const struct stat& like, bool keep_owner)
    {
        if (keep_owner && ::fchown(m_file.get(), like.st_uid, like.st_gid) != 0) {
            // Ordinary users may not give files away; the new file stays theirs.
        }
        return ::fchmod(m_file.get(), like.st_mode & 07777) == 0;
    }

    //! Flushes the new file to disk, renames it over the target and syncs the directory.
    bool commit()
    {
        if (!valid() || ::fsync(m_file.get()) != 0 || !m_file.close()) return false;
        if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) return false;
        m_committed = true;
        // The rename is done; a directory that cannot be synced does not undo it.
        UNIQUE_FD directory(::open(m_directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (directory.valid()) ::fsync(directory.get());
        return true;
    }

private:
    //! A writer killed between creating its temporary and the rename leaves the temporary
    //! behind; the next replacement of the same file removes those whose process is gone.
    void remove_abandoned_temporaries(const std::string& prefix) const
    {
        std::error_code error;
        for (std::filesystem::directory_iterator entry(m_directory, error), end; !error && entry != end;
             entry.increment(error)) {
            const std::string name = entry->path().filename().string();
            if (name.compare(0, prefix.size(), prefix) != 0) continue;
            char* after = nullptr;
            const long pid = std::strtol(name.c_str() + prefix.size(), &after, 10);
            if (pid <= 0 || *after != '_' || pid == ::getpid()) continue;
            if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) ::unlink(entry->path().c_str());
        }
    }

    static unsigned next_serial()
    {
        static std::atomic<unsigned> serial{0};
        return ++serial;
    }

    std::string m_target;
    std::string m_directory;
    std::string m_temporary;
    UNIQUE_FD m_file;
    bool m_committed = false;
};

//! A write-protected file is not replaced behind its owner's back. (A directory is
//! refused by the rename itself.)
bool may_replace(const std::string& target)
{
    return ::access(target.c_str(), W_OK) == 0;
}

}  // namespace

bool FIO_FILE_SYSTEM::exists(const FIO_PATH& path)
{
    struct stat info {};
    return stat_path(path.fullpath(), info);
}

bool FIO_FILE_SYSTEM::is_directory(const FIO_PATH& path)
{
    struct stat info {};
    return stat_path(path.fullpath(), info) && S_ISDIR(info.st_mode);
}

bool FIO_FILE_SYSTEM::is_writable(const FIO_PATH& path)
{
    const std::string full = path.fullpath();
    if (full.empty()) return false;
    if (exists(path)) return ::access(full.c_str(), W_OK) == 0;
    // A file that does not exist yet is writable when its directory is.
    const std::string directory = path.directory().empty() ? "." : path.directory();
    return ::access(directory.c_str(), W_OK) == 0;
}

bool FIO_FILE_SYSTEM::copy(const FIO_PATH& from, const FIO_PATH& to, bool overwrite, bool keep_times)
{
    struct stat source_info {};
    if (!stat_path(from.fullpath(), source_info) || !S_ISREG(source_info.st_mode)) return false;
    const std::string target = replacement_target(to.fullpath());
    if (target.empty()) return false;
    struct stat target_info {};
    const bool target_exists = stat_path(target, target_info);
    if (target_exists) {
        if (source_info.st_dev == target_info.st_dev && source_info.st_ino == target_info.st_ino)
            return true;  // copying a file onto itself: it already holds the content
        if (!overwrite || !may_replace(target)) return false;
    }

    UNIQUE_FD source(::open(from.fullpath().c_str(), O_RDONLY | O_CLOEXEC));
    ATOMIC_REPLACEMENT replacement(target);
    if (!source.valid() || !replacement.valid()) return false;
    const int out = replacement.fd();
    if (!read_all(source.get(),
                  [out](const char* data, std::size_t size) { return write_all(out, data, size); }))
        return false;
    if (!replacement.adopt_attributes(target_exists ? target_info : source_info, target_exists)) return false;
    if (keep_times) {
        const struct timespec times[2] = {source_info.st_atim, source_info.st_mtim};
        if (::futimens(out, times) != 0) return false;
    }
    return replacement.commit();
}

bool FIO_FILE_SYSTEM::remove_if_exists(const FIO_PATH& path)
{
    const std::string full = path.fullpath();
    if (full.empty()) return true;
    struct stat info {};
    if (::lstat(full.c_str(), &info) != 0) return errno == ENOENT;
    return (S_ISDIR(info.st_mode) ? ::rmdir(full.c_str()) : ::unlink(full.c_str())) == 0;
}

bool FIO_FILE_SYSTEM::make_directories(const FIO_PATH& directory)
{
    if (directory.empty()) return false;
    std::error_code error;
    std::filesystem::create_directories(directory.fullpath(), error);
    return !error && is_directory(directory);
}

FILE* FIO_FILE_SYSTEM::fopen(const FIO_PATH& path, const char* mode)
{
    const std::string full = path.fullpath();
    if (full.empty() || mode == nullptr) return nullptr;
    // Generators are spawned from this process; they must not inherit open files.
    std::string close_on_exec_mode(mode);
    if (close_on_exec_mode.find('e') == std::string::npos) close_on_exec_mode += 'e';
    return std::fopen(full.c_str(), close_on_exec_mode.c_str());
}

bool FIO_FILE_SYSTEM::read_file(const FIO_PATH& path, std::string& content, std::size_t max_size,
                                std::string* problem)
{
    std::string ignored;
    std::string& why = problem != nullptr ? *problem : ignored;
    const std::string full = path.fullpath();
    if (full.empty()) {
        why = "has no name";
        return false;
    }
    // Non-blocking, so that a FIFO without a writer cannot hang the open; it is refused
    // right after, with every other file that is not a regular one.
    UNIQUE_FD file(::open(full.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.valid()) {
        why = errno == ENOENT ? "does not exist" : std::string("cannot be opened: ") + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        why = S_ISDIR(info.st_mode) ? "is a directory" : "is not a regular file";
        return false;
    }
    const auto too_large = [&why, max_size] {
        why = "is larger than " + std::to_string(max_size) + " bytes";
        return false;
    };
    const auto size = static_cast<unsigned long long>(info.st_size);
    if (size > max_size) return too_large();
    std::string read;
    if (!read_regular_file(file.get(), static_cast<std::size_t>(size), max_size, read)) {
        if (read.size() > max_size) return too_large();
        why = std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    content.swap(read);
    return true;
}

bool FIO_FILE_SYSTEM::write_file_atomically(const FIO_PATH& path, const std::string& content)
{
    const std::string target = replacement_target(path.fullpath());
    if (target.empty()) return false;
    struct stat target_info {};
    const bool target_exists = stat_path(target, target_info);
    if (target_exists && !may_replace(target)) return false;

    ATOMIC_REPLACEMENT replacement(target);
    if (!replacement.valid() || !write_all(replacement.fd(), content.data(), content.size())) return false;
    if (target_exists && !replacement.adopt_attributes(target_info, true)) return false;
    return replacement.commit();
}

std::string FIO_FILE_SYSTEM::current_directory()
{
    std::error_code error;
    const auto directory = std::filesystem::current_path(error);
    return error ? std::string() : directory.string();
}
