//! @file ipcatalog_manager.cpp
//! @brief The process-wide IP catalog: its files, their refresh, the indexes and the lock.
#include <ipcatalog/ipcatalog.h>
#include <ipcatalog/ipcatalog_reader.h>
#include <ipcatalog/olt_string.h>

#include <fio/fio.h>
#include <gen/gen.h>
#include <msg/msg.h>
#include <thr/thr_rw_lock.h>

#include <fmt/format.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <unordered_map>

namespace {

const char* const MODULE = "IPCATALOG";
//! Far above a real catalog file, far below a device standing in for one.
constexpr std::size_t max_catalog_file_size = std::size_t{64} << 20;

//! What tells that a catalog file changed since it was read.
struct FILE_STAMP {
    long long mtime_ns = 0;
    long long size = -1;
    std::size_t content_hash = 0;
};

bool stat_file(const std::string& path, FILE_STAMP& stamp)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    stamp.mtime_ns = static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
    stamp.size = static_cast<long long>(info.st_size);
    return true;
}

//! The *.xml files of a directory, sorted by name; empty when the directory cannot be listed.
std::vector<std::string> list_catalog_files(const std::string& directory)
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code error;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        // Special files are listed too, so that refreshing names them instead of passing over them.
        if (gen_iequals(path.extension().string(), ".xml") && !it->is_directory(error))
            files.push_back(path.string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

//! One catalog file as last read.
struct CATALOG_FILE {
    FILE_STAMP stamp;
    IPCATALOG_FILE_CONTENT content;
};

}  // namespace

struct IPCATALOG_VORLIN_IP_CATALOG_MANAGER::STATE {
    // Many readers or one writer; a thread may nest holds inside its own, but a write never
    // inside its own read (cards would change under the reader).
    THR_RW_LOCK lock{MODULE};

    std::once_flag first_load;
    std::string directory;
    std::map<std::string, CATALOG_FILE> files;  // by full path, so in name order

    // Indexes over every file, rebuilt after each change.
    std::vector<const IPCATALOG_CARD*> cards;
    //! Lower-case name, alias or matching name -> positions in cards of the cards that carry
    //! it, ascending: the analysis asks for the cards of a name once per record.
    std::unordered_map<std::string, std::vector<std::size_t>> positions_by_lower_name;
    std::map<std::string, std::vector<std::string>> upgrade_index;
    std::map<std::string, const IPCATALOG_OUTDATED_IP_INFO*> outdated;

    void rebuild_indexes();
    //! Reads one file into the catalog when it changed; true when its content was replaced.
    bool refresh_file(const std::string& path, int change_check, bool force);
};

void IPCATALOG_VORLIN_IP_CATALOG_MANAGER::STATE::rebuild_indexes()
{
    cards.clear();
    positions_by_lower_name.clear();
    upgrade_index.clear();
    outdated.clear();
    const auto index_name = [this](const std::string& name) {
        std::vector<std::size_t>& positions = positions_by_lower_name[gen_ascii_tolower(name)];
        if (positions.empty() || positions.back() != cards.size() - 1) positions.push_back(cards.size() - 1);
    };
    for (auto& [path, file] : files) {
        for (const auto& card : file.content.cards) {
            cards.push_back(card.get());
            index_name(card->get_name());
            for (const std::string& alias : card->const_aliases())
                index_name(alias);
            for (const std::string& matching : card->get_matching_names())
                index_name(matching);
        }
        for (const auto& info : file.content.outdated)
            if (!outdated.emplace(info->get_ip_name(), info.get()).second)
                msg_local_debug(MODULE, 2,
                                fmt::format("{}: outdated information of {} given before; ignored", path,
                                            info->get_ip_name()));
    }
    for (auto& [path, file] : files) {
        for (auto& card : file.content.cards) {
            card->m_matching_cards.clear();
            for (const std::string& name : card->m_matching_names)
                for (const IPCATALOG_CARD* other : cards)
                    if (other != card.get() && other->get_name() == name)
                        card->m_matching_cards.push_back(other);
            for (const IPCATALOG_UPGRADEABLE_FROM_INFO& from : card->m_upgradeable_from) {
                std::vector<std::string>& upgraders = upgrade_index[from.name];
                if (std::find(upgraders.begin(), upgraders.end(), card->get_name()) == upgraders.end())
                    upgraders.push_back(card->get_name());
            }
        }
    }
}

bool IPCATALOG_VORLIN_IP_CATALOG_MANAGER::STATE::refresh_file(const std::string& path, int change_check,
                                                              bool force)
{
    FILE_STAMP stamp;
    if (!stat_file(path, stamp)) {
        if (FIO_FILE_SYSTEM::exists(path))
            msg_post_text(MSG_POST_WARNING,
                          fmt::format("The IP catalog file {} is not a regular file; it is skipped", path));
        return files.erase(path) > 0;
    }
    auto known = files.find(path);
    const bool is_new = known == files.end();
    bool changed = force || is_new || stamp.mtime_ns != known->second.stamp.mtime_ns ||
                   (change_check >= IPCATALOG_CHECK_TIME_AND_SIZE && stamp.size != known->second.stamp.size);
    if (!changed && change_check < IPCATALOG_CHECK_CONTENT) return false;
    std::string text;
    std::string problem;
    if (!FIO_FILE_SYSTEM::read_file(path, text, max_catalog_file_size, &problem)) {
        msg_post_text(MSG_POST_WARNING,
                      fmt::format("The IP catalog file {} {}; it is skipped", path, problem));
        return files.erase(path) > 0;
    }
    // The generators read the catalog too; both sides skip what is not UTF-8 rather than
    // each making its own sense of it.
    if (!gen_is_valid_utf8(text)) {
        msg_post_text(MSG_POST_WARNING,
                      fmt::format("The IP catalog file {} is not valid UTF-8; it is skipped", path));
        return files.erase(path) > 0;
    }
    stamp.content_hash = std::hash<std::string>()(text);
    if (!changed && stamp.content_hash == known->second.stamp.content_hash) return false;
    // A file that no longer parses contributes nothing; the rest of the catalog stays.
    CATALOG_FILE& file = files[path];
    file.stamp = stamp;
    IPCATALOG_FILE_READER::read(path, text, file.content);
    return true;
}

IPCATALOG_VORLIN_IP_CATALOG_MANAGER::IPCATALOG_VORLIN_IP_CATALOG_MANAGER()
    : m_state(std::make_unique<STATE>())
{
}

IPCATALOG_VORLIN_IP_CATALOG_MANAGER::~IPCATALOG_VORLIN_IP_CATALOG_MANAGER() = default;

IPCATALOG_VORLIN_IP_CATALOG_MANAGER* IPCATALOG_VORLIN_IP_CATALOG_MANAGER::instance(bool reload)
{
    // Derived only to reach the protected constructor; the catalog is this one object.
    struct PROCESS_CATALOG : IPCATALOG_VORLIN_IP_CATALOG_MANAGER {};
    static PROCESS_CATALOG catalog;
    bool loaded_now = false;
    std::call_once(catalog.m_state->first_load, [&] {
        catalog.update(IPCATALOG_CHECK_TIME_AND_SIZE, true, true);
        loaded_now = true;
    });
    if (reload && !loaded_now) catalog.update(IPCATALOG_CHECK_TIME_AND_SIZE, true, true);
    return &catalog;
}

int IPCATALOG_VORLIN_IP_CATALOG_MANAGER::update(int change_check, bool force_reread, bool rescan_directory)
{
    IPCATALOG_SCOPED_READ_WRITE_MUTEX lock(this, true);
    STATE& state = *m_state;
    int touched = 0;
    const std::string directory = gen_get_ip_root_path() + "catalog/";
    if (directory != state.directory) {
        touched += static_cast<int>(state.files.size());
        state.files.clear();
        state.directory = directory;
        rescan_directory = true;
    }
    std::vector<std::string> paths;
    if (rescan_directory) {
        paths = list_catalog_files(directory);
        for (auto it = state.files.begin(); it != state.files.end();) {
            if (std::binary_search(paths.begin(), paths.end(), it->first)) {
                ++it;
            } else {
                it = state.files.erase(it);
                ++touched;
            }
        }
    } else {
        for (const auto& entry : state.files)
            paths.push_back(entry.first);
    }
    for (const std::string& path : paths)
        if (state.refresh_file(path, change_check, force_reread)) ++touched;
    if (touched > 0) state.rebuild_indexes();
    msg_local_debug(MODULE, 2,
                    fmt::format("catalog {}: {} file(s) read or dropped, {} card(s)", directory, touched,
                                state.cards.size()));
    return touched;
}

namespace {

bool names_equal(const std::string& a, const std::string& b, unsigned flags)
{
    return (flags & IPCATALOG_QUERY_IGNORE_CASE) ? gen_iequals(a, b) : a == b;
}

bool any_name_equal(const std::vector<std::string>& names, const std::string& name, unsigned flags)
{
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& candidate) { return names_equal(candidate, name, flags); });
}

//! One "key=value" term of a card filter.
using CARD_TEST = std::function<bool(const IPCATALOG_CARD&)>;

bool make_card_test(const std::string& term, CARD_TEST& test)
{
    const auto equals = term.find('=');
    if (equals == std::string::npos) return false;
    const std::string key = gen_ascii_tolower(term.substr(0, equals));
    const std::string value = term.substr(equals + 1);
    if (key == "type") {
        IPCATALOG_IP_TYPE type;
        if (gen_iequals(value, "standalone") || value == "0")
            type = IPCATALOG_IP_TYPE_STANDALONE;
        else if (gen_iequals(value, "legacy") || value == "1")
            type = IPCATALOG_IP_TYPE_LEGACY;
        else
            return false;
        test = [type](const IPCATALOG_CARD& card) { return card.get_ip_type() == type; };
    } else if (key == "name") {
        test = [value](const IPCATALOG_CARD& card) { return gen_iequals(card.get_name(), value); };
    } else if (key == "author") {
        test = [value](const IPCATALOG_CARD& card) { return gen_iequals(card.get_author(), value); };
    } else if (key == "family") {
        const DEV_FAMILY_ENUM family = ipcatalog_family_of(value);
        if (family == DEV_FAMILY_NONE) return false;
        test = [family](const IPCATALOG_CARD& card) { return card.supports_family(family); };
    } else {
        return false;
    }
    return true;
}

}  // namespace

std::vector<const IPCATALOG_CARD*>
IPCATALOG_VORLIN_IP_CATALOG_MANAGER::get_ip_cards_by_name(const std::string& name, unsigned flags) const
{
    IPCATALOG_SCOPED_READ_WRITE_MUTEX lock(this);
    std::vector<const IPCATALOG_CARD*> found;
    // Only cards that carry the name in some case can answer; the test decides which do.
    const auto candidates = m_state->positions_by_lower_name.find(gen_ascii_tolower(name));
    if (candidates == m_state->positions_by_lower_name.end()) return found;
    for (const std::size_t position : candidates->second) {
        const IPCATALOG_CARD* card = m_state->cards[position];
        if (names_equal(card->get_name(), name, flags) ||
            ((flags & IPCATALOG_QUERY_ALIASES) && any_name_equal(card->const_aliases(), name, flags)) ||
            ((flags & IPCATALOG_QUERY_MATCHING) && any_name_equal(card->get_matching_names(), name, flags)))
            found.push_back(card);
    }
    return found;
}

std::vector<const IPCATALOG_CARD*>
IPCATALOG_VORLIN_IP_CATALOG_MANAGER::get_ip_cards_by_filter(const std::string& filter) const
{
    std::vector<CARD_TEST> tests;
    std::istringstream terms(filter);
    for (std::string term; std::getline(terms, term, ';');) {
        term = OLT_STRING::trim(term);
        if (term.empty()) continue;
        CARD_TEST test;
        if (!make_card_test(term, test)) {
            msg_local_debug(MODULE, 2, fmt::format("catalog filter term \"{}\" not understood", term));
            return {};
        }
        tests.push_back(test);
    }
    IPCATALOG_SCOPED_READ_WRITE_MUTEX lock(this);
    std::vector<const IPCATALOG_CARD*> found;
    for (const IPCATALOG_CARD* card : m_state->cards)
        if (std::all_of(tests.begin(), tests.end(), [card](const CARD_TEST& test) { return test(*card); }))
            found.push_back(card);
    return found;
}

std::vector<const IPCATALOG_CARD*> IPCATALOG_VORLIN_IP_CATALOG_MANAGER::get_all_ip_cards() const
{
    IPCATALOG_SCOPED_READ_WRITE_MUTEX lock(this);
    return m_state->cards;
}

const std::map<std::string, std::vector<std::string>>&
IPCATALOG_VORLIN_IP_CATALOG_MANAGER::get_upgrade_index() const
{
    return m_state->upgrade_index;
}

const IPCATALOG_OUTDATED_IP_INFO*
IPCATALOG_VORLIN_IP_CATALOG_MANAGER::get_outdated_ip_info(const std::string& name) const
{
    IPCATALOG_SCOPED_READ_WRITE_MUTEX lock(this);
    auto found = m_state->outdated.find(name);
    return found == m_state->outdated.end() ? nullptr : found->second;
}

std::string IPCATALOG_VORLIN_IP_CATALOG_MANAGER::get_catalog_directory() const
{
    IPCATALOG_SCOPED_READ_WRITE_MUTEX lock(this);
    return m_state->directory;
}

std::vector<std::string> IPCATALOG_VORLIN_IP_CATALOG_MANAGER::get_catalog_files() const
{
    IPCATALOG_SCOPED_READ_WRITE_MUTEX lock(this);
    std::vector<std::string> paths;
    for (const auto& entry : m_state->files)
        paths.push_back(entry.first);
    return paths;
}

void IPCATALOG_VORLIN_IP_CATALOG_MANAGER::lock_read() const
{
    m_state->lock.lock_read(true);
}

void IPCATALOG_VORLIN_IP_CATALOG_MANAGER::lock_write() const
{
    MSG_INTERNAL_ERROR_IF(m_state->lock.holds_read() && !m_state->lock.holds_write(), MODULE);
    m_state->lock.lock_write(true);
}

void IPCATALOG_VORLIN_IP_CATALOG_MANAGER::unlock_read() const
{
    m_state->lock.unlock_read();
}

void IPCATALOG_VORLIN_IP_CATALOG_MANAGER::unlock_write() const
{
    m_state->lock.unlock_write();
}

IPCATALOG_SCOPED_READ_WRITE_MUTEX::IPCATALOG_SCOPED_READ_WRITE_MUTEX(
    const IPCATALOG_VORLIN_IP_CATALOG_MANAGER* catalog, bool write)
    : m_catalog(catalog), m_write(write)
{
    if (m_catalog == nullptr) return;
    if (m_write)
        m_catalog->lock_write();
    else
        m_catalog->lock_read();
}

IPCATALOG_SCOPED_READ_WRITE_MUTEX::~IPCATALOG_SCOPED_READ_WRITE_MUTEX()
{
    if (m_catalog == nullptr) return;
    if (m_write)
        m_catalog->unlock_write();
    else
        m_catalog->unlock_read();
}
