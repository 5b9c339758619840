//! @file ipman_input_file.cpp
//! @brief Checked reads of project and installation files.
#include "support/ipman_input_file.h"

#include <fio/fio.h>
#include <msg/msg.h>

#include <fmt/format.h>

#include <sys/stat.h>

namespace {

void warn_skipped(const std::string& path, const char* what, const std::string& problem)
{
    msg_post_text(MSG_POST_WARNING, fmt::format("The {} {} {}; it is skipped", what, path, problem));
}

bool read_input_file(const std::string& path, std::size_t max_size, const char* what, std::string& content,
                     bool directory_is_silent)
{
    if (path.empty()) return false;
    std::string problem;
    if (FIO_FILE_SYSTEM::read_file(path, content, max_size, &problem)) return true;
    if (directory_is_silent && FIO_FILE_SYSTEM::is_directory(path)) return false;
    // lstat: a dangling link is a file that exists but cannot be used.
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) warn_skipped(path, what, problem);
    return false;
}

}  // namespace

bool ipman_read_input_file(const std::string& path, std::size_t max_size, const char* what,
                           std::string& content)
{
    return read_input_file(path, max_size, what, content, false);
}

bool ipman_read_input_file_unless_directory(const std::string& path, std::size_t max_size, const char* what,
                                            std::string& content)
{
    return read_input_file(path, max_size, what, content, true);
}

bool ipman_check_input_file(const std::string& path, std::size_t max_size, const char* what)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return true;
    if (!S_ISREG(info.st_mode)) {
        warn_skipped(path, what, S_ISDIR(info.st_mode) ? "is a directory" : "is not a regular file");
        return false;
    }
    if (static_cast<unsigned long long>(info.st_size) > max_size) {
        warn_skipped(path, what, fmt::format("is larger than {} bytes", max_size));
        return false;
    }
    return true;
}
