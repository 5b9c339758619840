//! @file ipman_input_file.h
//! @brief Reading the files a project or an installation hands the module: regular files of
//! bounded size only, with a warning naming a file that exists but cannot be used.
#pragma once

#include <cstddef>
#include <string>

//! Bounds per kind of file, far above any real file of the kind and far below what would
//! exhaust memory when a device or a runaway file stands in for one.
constexpr std::size_t IPMAN_MAX_SYSTEM_FILE_SIZE = std::size_t{64} << 20;
constexpr std::size_t IPMAN_MAX_IPXACT_FILE_SIZE = std::size_t{64} << 20;
constexpr std::size_t IPMAN_MAX_HDL_FILE_SIZE = std::size_t{256} << 20;
constexpr std::size_t IPMAN_MAX_TABLE_FILE_SIZE = std::size_t{16} << 20;

//! Reads a whole file of at most max_size bytes. A missing file answers false silently, as
//! an absent optional file is ordinary; a file that exists but is special, too large or
//! unreadable also answers false and is named in a warning: "The <what> P is not a regular
//! file; it is skipped".
bool ipman_read_input_file(const std::string& path, std::size_t max_size, const char* what,
                           std::string& content);

//! As ipman_read_input_file, except that a directory, like a missing file, answers false
//! silently. The read itself finds out: the common case asks the file system nothing more.
bool ipman_read_input_file_unless_directory(const std::string& path, std::size_t max_size, const char* what,
                                            std::string& content);

//! For files read piecewise by other readers: false, with the same warning, when an existing
//! file is not a regular file of at most max_size bytes; true otherwise (also when missing).
bool ipman_check_input_file(const std::string& path, std::size_t max_size, const char* what);
