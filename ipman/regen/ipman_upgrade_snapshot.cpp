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

namespace fs = std::filesystem;

namespace {

bool path_exists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
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

bool IPMAN_UPGRADE_SNAPSHOT::take(const std::vector<std::string>& paths)
{
    discard();
    if (paths.empty()) return true;
    m_store = make_store_beside(paths.front());
    if (m_store.empty()) return false;
    for (const std::string& path : paths) {
        ENTRY entry{path, std::string()};
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
