//! @file ipman_file_memo.cpp
//! @brief File stamps for the memo of what readers made of files.
#include "support/ipman_file_memo.h"

#include <sys/stat.h>

namespace {

bool same_time(const std::timespec& a, const std::timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

bool IPMAN_FILE_STAMP::operator==(const IPMAN_FILE_STAMP& other) const
{
    return device == other.device && inode == other.inode && size == other.size &&
           same_time(modified, other.modified) && same_time(changed, other.changed);
}

std::optional<IPMAN_FILE_STAMP> ipman_file_stamp(const std::string& path, std::chrono::seconds settle_time)
{
    std::timespec now{};
    // The clock is read before the file: a change after it cannot carry an older time.
    if (::clock_gettime(CLOCK_REALTIME, &now) != 0) return std::nullopt;
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    const auto settled = [&now, settle_time](const std::timespec& time) {
        return time.tv_sec + settle_time.count() < now.tv_sec;
    };
    if (!settled(info.st_mtim) || !settled(info.st_ctim)) return std::nullopt;
    IPMAN_FILE_STAMP stamp;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.modified = info.st_mtim;
    stamp.changed = info.st_ctim;
    return stamp;
}
