//! @file ipman_directory_walk.cpp
//! @brief Depth-first walk over a directory tree with folders identified by device and inode,
//! so that a link back up the tree ends that branch instead of the program.
#include "support/ipman_directory_walk.h"

#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

using FOLDER_IDENTITY = std::pair<dev_t, ino_t>;

bool stat_path(const std::string& path, struct stat& status)
{
    return ::stat(path.c_str(), &status) == 0;
}

}  // namespace

void ipman_walk_directory_tree(const std::string& directory,
                               const std::vector<std::string>& skipped_directories,
                               const std::function<void(const std::string&)>& on_file)
{
    // Skipped folders and folders already entered: neither is entered (again).
    std::set<FOLDER_IDENTITY> closed;
    struct stat status {};
    for (const std::string& skipped : skipped_directories)
        if (stat_path(skipped, status) && S_ISDIR(status.st_mode))
            closed.emplace(status.st_dev, status.st_ino);
    if (!stat_path(directory, status) || !S_ISDIR(status.st_mode)) return;
    if (!closed.emplace(status.st_dev, status.st_ino).second) return;

    std::error_code error;
    // One open listing per level, innermost last: the walk needs no recursion however deep.
    std::vector<fs::directory_iterator> listings;
    listings.emplace_back(directory, error);
    if (error) return;
    while (!listings.empty()) {
        fs::directory_iterator& listing = listings.back();
        if (listing == fs::directory_iterator()) {
            listings.pop_back();
            continue;
        }
        const std::string path = listing->path().string();
        // A listing that fails half way ends that folder only.
        if (listing.increment(error); error) listing = fs::directory_iterator();
        if (!stat_path(path, status)) continue;
        if (S_ISREG(status.st_mode)) {
            on_file(path);
        } else if (S_ISDIR(status.st_mode) && closed.emplace(status.st_dev, status.st_ino).second) {
            fs::directory_iterator inner(path, error);
            if (!error) listings.push_back(std::move(inner));
        }
    }
}
