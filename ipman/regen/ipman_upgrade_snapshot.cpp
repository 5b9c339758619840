//! @file ipman_upgrade_snapshot.cpp
//! @brief Copies of a variation's files and output directory taken before an upgrade
//! attempt, put back after a failure.
#include "regen/ipman_upgrade_snapshot.h"

#include <fio/fio.h>
#include <msg/msg.h>

#include <fmt/format.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

bool path_exists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

bool same_content(const std::string& first, const std::string& second)
{
    std::string a, b;
    return FIO_FILE_SYSTEM::read_file(first, a) && FIO_FILE_SYSTEM::read_file(second, b) && a == b;
}

bool copy_path(const std::string& from, const std::string& to)
{
    std::error_code error;
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    return !error;
}

//! Same directory, so a rename suffices; a copy covers a top-level file on another device.
bool move_back(const std::string& copy, const std::string& path)
{
    std::error_code error;
    fs::remove_all(path, error);
    fs::rename(copy, path, error);
    if (!error) return true;
    return copy_path(copy, path);
}

std::string make_store_beside(const std::string& file)
{
    std::string name = FIO_PATH(file).full_directory() + ".ipman_snapshot_XXXXXX";
    return mkdtemp(name.data()) != nullptr ? name : std::string();
}

}  // namespace

IPMAN_UPGRADE_SNAPSHOT::~IPMAN_UPGRADE_SNAPSHOT()
{
    discard();
}

IPMAN_UPGRADE_SNAPSHOT::IPMAN_UPGRADE_SNAPSHOT(IPMAN_UPGRADE_SNAPSHOT&& other) noexcept
    : m_store(std::exchange(other.m_store, std::string())), m_entries(std::move(other.m_entries))
{
}

std::vector<std::string> IPMAN_UPGRADE_SNAPSHOT::paths_written_for(const std::string& generation_file,
                                                                   const std::string& top_level_file)
{
    const FIO_PATH file(generation_file);
    const std::string stem = file.full_directory() + file.base();
    std::vector<std::string> paths{generation_file};
    const std::string output_directory = stem + "/";
    for (const std::string& path : {stem + ".tessel", stem + ".vip", stem, top_level_file}) {
        const bool inside_output = path.compare(0, output_directory.size(), output_directory) == 0;
        if (!path.empty() && !inside_output && std::find(paths.begin(), paths.end(), path) == paths.end())
            paths.push_back(path);
    }
    return paths;
}

IPMAN_UPGRADE_SNAPSHOT::STAMPS IPMAN_UPGRADE_SNAPSHOT::stamps_of(const std::string& path)
{
    STAMPS stamps;
    const auto stamp = [&stamps](const std::string& name) {
        struct stat status {};
        if (::lstat(name.c_str(), &status) != 0) return false;
        stamps[fs::path(name).lexically_normal().string()] =
            STAMP{status.st_dev,
                  status.st_ino,
                  status.st_size,
                  status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec,
                  status.st_ctim.tv_sec * 1000000000LL + status.st_ctim.tv_nsec,
                  status.st_nlink,
                  static_cast<int>(status.st_mode & S_IFMT)};
        return S_ISDIR(status.st_mode);
    };
    if (!stamp(path)) return stamps;
    std::error_code error;
    for (fs::recursive_directory_iterator it(path, error), end; !error && it != end; it.increment(error))
        stamp(it->path().string());
    return stamps;
}

std::vector<std::string> IPMAN_UPGRADE_SNAPSHOT::names_in(const std::string& directory)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

//! Writers that replace a file atomically keep their temporary beside it as ".NAME.*".
void IPMAN_UPGRADE_SNAPSHOT::remove_new_temporaries(const ENTRY& entry)
{
    const fs::path path(entry.path);
    const std::string prefix = "." + path.filename().string() + ".";
    for (const std::string& name : names_in(path.parent_path().string())) {
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        if (std::binary_search(entry.siblings.begin(), entry.siblings.end(), name)) continue;
        std::error_code ignored;
        fs::remove_all(path.parent_path() / name, ignored);
    }
}

bool IPMAN_UPGRADE_SNAPSHOT::take(const std::vector<std::string>& paths)
{
    discard();
    if (paths.empty()) return true;
    m_store = make_store_beside(paths.front());
    if (m_store.empty()) return false;
    for (const std::string& path : paths) {
        ENTRY entry{path, std::string(), stamps_of(path), names_in(fs::path(path).parent_path().string())};
        if (path_exists(path)) {
            entry.copy = fmt::format("{}/{}", m_store, m_entries.size());
            if (!copy_path(path, entry.copy)) {
                discard();
                return false;
            }
        }
        m_entries.push_back(std::move(entry));
    }
    return true;
}

void IPMAN_UPGRADE_SNAPSHOT::restore()
{
    bool all_back = true;
    for (const ENTRY& entry : m_entries) {
        std::error_code ignored;
        remove_new_temporaries(entry);
        if (unchanged(entry)) continue;
        if (entry.copy.empty()) {
            fs::remove_all(entry.path, ignored);
        } else if (!move_back(entry.copy, entry.path)) {
            all_back = false;
            msg_post_text(MSG_POST_WARNING,
                          fmt::format("{} could not be put back as it was before the upgrade; "
                                      "its earlier content is kept in {}",
                                      entry.path, entry.copy));
        }
    }
    // A copy that could not be put back is the only one left: it stays.
    if (!all_back) m_store.clear();
    discard();
}

void IPMAN_UPGRADE_SNAPSHOT::discard()
{
    if (!m_store.empty()) {
        std::error_code ignored;
        fs::remove_all(m_store, ignored);
    }
    m_store.clear();
    m_entries.clear();
}

//! Stamps alone would miss a rewrite in place within one tick of the file system clock.
bool IPMAN_UPGRADE_SNAPSHOT::unchanged(const ENTRY& entry)
{
    if (stamps_of(entry.path) != entry.stamps) return false;
    const std::size_t root = fs::path(entry.path).lexically_normal().string().size();
    for (const auto& [path, stamp] : entry.stamps) {
        if (std::get<6>(stamp) == S_IFREG && !same_content(entry.copy + path.substr(root), path))
            return false;
    }
    return true;
}

bool IPMAN_UPGRADE_SNAPSHOT::written_since_taken(const std::string& file) const
{
    const std::string key = fs::path(file).lexically_normal().string();
    const STAMPS now = stamps_of(file);
    const auto current = now.find(key);
    if (current == now.end()) return false;
    for (const ENTRY& entry : m_entries) {
        const auto before = entry.stamps.find(key);
        if (before == entry.stamps.end()) continue;
        if (before->second != current->second) return true;
        // A rewrite in place within one tick of the file system clock keeps the stamp; a
        // changed content still tells.
        const std::string relative = key.substr(fs::path(entry.path).lexically_normal().string().size());
        return !same_content(entry.copy + relative, file);
    }
    return true;
}
