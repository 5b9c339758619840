//! @file proc_process.cpp
//! @brief Child processes through posix_spawn: pipes for the output, the working directory
//! set in the child, a clean descriptor table and signal state, and reaping on free.
#include <proc/proc.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

struct THR_PIPE {
    int fd = -1;
};

struct THR_PROCESS {
    pid_t pid = -1;
    bool reaped = false;
    int32_t status[2] = {0, 0};
};

namespace {

//! Owns a file descriptor.
class UNIQUE_FD {
public:
    explicit UNIQUE_FD(int fd = -1) : m_fd(fd) {}
    ~UNIQUE_FD() { reset(); }
    UNIQUE_FD(UNIQUE_FD&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UNIQUE_FD& operator=(UNIQUE_FD&& other) noexcept
    {
        reset(std::exchange(other.m_fd, -1));
        return *this;
    }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1)
    {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

//! One pipe whose ends are close-on-exec and never 0, 1 or 2: duplicating a descriptor
//! onto itself would keep its close-on-exec flag and lose the stream in the child.
struct PIPE_ENDS {
    UNIQUE_FD read_end;
    UNIQUE_FD write_end;
};

int above_standard_streams(int fd)
{
    if (fd > STDERR_FILENO) return fd;
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    const int saved_errno = errno;
    ::close(fd);
    errno = saved_errno;
    return moved;
}

bool make_pipe(PIPE_ENDS& ends)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    ends.read_end.reset(above_standard_streams(fds[0]));
    ends.write_end.reset(above_standard_streams(fds[1]));
    return ends.read_end.get() >= 0 && ends.write_end.get() >= 0;
}

class SPAWN_ACTIONS {
public:
    SPAWN_ACTIONS() { posix_spawn_file_actions_init(&m_actions); }
    ~SPAWN_ACTIONS() { posix_spawn_file_actions_destroy(&m_actions); }
    SPAWN_ACTIONS(const SPAWN_ACTIONS&) = delete;
    SPAWN_ACTIONS& operator=(const SPAWN_ACTIONS&) = delete;
    posix_spawn_file_actions_t* get() { return &m_actions; }

private:
    posix_spawn_file_actions_t m_actions;
};

class SPAWN_ATTRIBUTES {
public:
    SPAWN_ATTRIBUTES() { posix_spawnattr_init(&m_attributes); }
    ~SPAWN_ATTRIBUTES() { posix_spawnattr_destroy(&m_attributes); }
    SPAWN_ATTRIBUTES(const SPAWN_ATTRIBUTES&) = delete;
    SPAWN_ATTRIBUTES& operator=(const SPAWN_ATTRIBUTES&) = delete;
    posix_spawnattr_t* get() { return &m_attributes; }

private:
    posix_spawnattr_t m_attributes;
};

//! A program word with a "/" is a path; a relative one is meant from the caller's
//! directory, not from the child's working directory.
std::string program_path(const std::string& word)
{
    if (word.find('/') == std::string::npos || word.front() == '/') return word;
    std::error_code error;
    const auto absolute = std::filesystem::absolute(word, error);
    return error ? word : absolute.string();
}

//! The child starts with default signal handling and nothing blocked, whatever the host
//! ignores (an ignored SIGPIPE would survive exec).
int set_clean_signal_state(SPAWN_ATTRIBUTES& attributes)
{
    sigset_t all;
    sigset_t none;
    sigfillset(&all);
    sigemptyset(&none);
    int rc = posix_spawnattr_setsigdefault(attributes.get(), &all);
    if (rc == 0) rc = posix_spawnattr_setsigmask(attributes.get(), &none);
    if (rc == 0)
        rc = posix_spawnattr_setflags(attributes.get(), POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    return rc;
}

int add_stream_actions(SPAWN_ACTIONS& actions, const PIPE_ENDS* out, const PIPE_ENDS* err,
                       const std::string& working_directory)
{
    int rc = posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (rc == 0 && out)
        rc = posix_spawn_file_actions_adddup2(actions.get(), out->write_end.get(), STDOUT_FILENO);
    if (rc == 0 && err)
        rc = posix_spawn_file_actions_adddup2(actions.get(), err->write_end.get(), STDERR_FILENO);
    if (rc == 0 && !working_directory.empty())
        rc = posix_spawn_file_actions_addchdir_np(actions.get(), working_directory.c_str());
    // Descriptors the host opened without close-on-exec must not leak into the child.
    if (rc == 0) rc = posix_spawn_file_actions_addclosefrom_np(actions.get(), STDERR_FILENO + 1);
    return rc;
}

THR_PIPE* new_pipe(PIPE_ENDS& ends)
{
    auto* pipe = new THR_PIPE;
    pipe->fd = ends.read_end.release();
    return pipe;
}

void record_status(THR_PROCESS& process, int wait_status)
{
    process.reaped = true;
    if (WIFSIGNALED(wait_status)) {
        process.status[0] = WTERMSIG(wait_status);
        process.status[1] = 128 + WTERMSIG(wait_status);
    } else {
        process.status[0] = 0;
        process.status[1] = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 0;
    }
}

//! waitpid that survives signals; answers its result.
pid_t wait_for(pid_t pid, int& wait_status, int options)
{
    for (;;) {
        const pid_t result = ::waitpid(pid, &wait_status, options);
        if (result >= 0 || errno != EINTR) return result;
    }
}

}  // namespace

THR_PROCESS* thr_process_create_words(const std::vector<std::string>& words,
                                      const std::string& working_directory, THR_PIPE** out_pipe,
                                      THR_PIPE** err_pipe)
{
    if (out_pipe) *out_pipe = nullptr;
    if (err_pipe) *err_pipe = nullptr;
    if (words.empty() || words.front().empty()) {
        errno = ENOENT;
        return nullptr;
    }
    const bool shared = out_pipe != nullptr && out_pipe == err_pipe;
    PIPE_ENDS out;
    PIPE_ENDS err;
    if ((out_pipe && !make_pipe(out)) || (err_pipe && !shared && !make_pipe(err))) return nullptr;

    SPAWN_ACTIONS actions;
    SPAWN_ATTRIBUTES attributes;
    const PIPE_ENDS* err_target = shared ? &out : (err_pipe ? &err : nullptr);
    int rc = add_stream_actions(actions, out_pipe ? &out : nullptr, err_target, working_directory);
    if (rc == 0) rc = set_clean_signal_state(attributes);

    const std::string program = program_path(words.front());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (std::size_t i = 1; i < words.size(); ++i)
        argv.push_back(const_cast<char*>(words[i].c_str()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    if (rc == 0) {
        // glibc reports a failed chdir or exec as the spawn's own error, so a missing
        // program never becomes a running child.
        const bool search_path = program.find('/') == std::string::npos;
        rc = search_path
                 ? posix_spawnp(&pid, program.c_str(), actions.get(), attributes.get(), argv.data(), environ)
                 : posix_spawn(&pid, program.c_str(), actions.get(), attributes.get(), argv.data(), environ);
    }
    if (rc != 0) {
        errno = rc;
        return nullptr;
    }

    auto* process = new THR_PROCESS;
    process->pid = pid;
    if (out_pipe) *out_pipe = new_pipe(out);
    if (err_pipe && !shared) *err_pipe = new_pipe(err);
    // The write ends close here, so the parent sees the end of output when the child ends.
    return process;
}

THR_PROCESS* thr_process_create(const std::string& command, const std::string& working_directory,
                                THR_PIPE** out_pipe, THR_PIPE** err_pipe, void*, void*)
{
    return thr_process_create_words(thr_split_command_line(command), working_directory, out_pipe, err_pipe);
}

int thr_process_read(THR_PIPE* pipe, char* buffer, std::size_t size, std::size_t* count)
{
    if (count == nullptr) return -1;
    *count = 0;
    if (pipe == nullptr || pipe->fd < 0 || buffer == nullptr) return -1;
    if (size == 0) return 0;
    for (;;) {
        const ssize_t got = ::read(pipe->fd, buffer, size);
        if (got > 0) {
            *count = static_cast<std::size_t>(got);
            return 0;
        }
        if (got == 0) return 1;
        if (errno != EINTR) return -1;
    }
}

int thr_process_read_within(THR_PIPE* pipe, char* buffer, std::size_t size, std::size_t* count,
                            int timeout_ms)
{
    if (count == nullptr) return -1;
    *count = 0;
    if (pipe == nullptr || pipe->fd < 0) return -1;
    pollfd ready{pipe->fd, POLLIN, 0};
    for (;;) {
        const int polled = ::poll(&ready, 1, timeout_ms < 0 ? 0 : timeout_ms);
        if (polled == 0) return 2;
        if (polled > 0) break;
        if (errno != EINTR) return -1;
    }
    return thr_process_read(pipe, buffer, size, count);
}

int thr_process_wait(THR_PROCESS* process, int32_t status[2], int flags)
{
    if (process == nullptr || status == nullptr) return -1;
    if (!process->reaped) {
        int wait_status = 0;
        const pid_t result = wait_for(process->pid, wait_status, (flags & THR_WAIT_NO_HANG) ? WNOHANG : 0);
        if (result < 0) return -1;
        if (result == 0) return 1;
        record_status(*process, wait_status);
    }
    status[0] = process->status[0];
    status[1] = process->status[1];
    return 0;
}

int thr_process_kill(THR_PROCESS* process)
{
    if (process == nullptr) return -1;
    if (process->reaped) return 0;
    // Not reaped: the pid is still this child's, never a recycled one.
    return ::kill(process->pid, SIGKILL) == 0 || errno == ESRCH ? 0 : -1;
}

long thr_process_id(const THR_PROCESS* process)
{
    return process ? static_cast<long>(process->pid) : -1;
}

void thr_process_close_pipe(THR_PIPE* pipe)
{
    if (pipe == nullptr) return;
    if (pipe->fd >= 0) ::close(pipe->fd);
    delete pipe;
}

void thr_process_free(THR_PROCESS* process)
{
    if (process == nullptr) return;
    if (!process->reaped) {
        int wait_status = 0;
        if (wait_for(process->pid, wait_status, 0) == process->pid) record_status(*process, wait_status);
    }
    delete process;
}
