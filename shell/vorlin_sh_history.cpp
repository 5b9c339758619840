//! @file vorlin_sh_history.cpp
//! @brief The prompt's history file.
#include "vorlin_sh_history.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

#include <readline/history.h>

namespace {

//! $HOME/.vorlin/history when it is, or can be, a regular file of ours; else "".
std::string usable_history_path()
{
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') return "";
    const std::string directory = std::string(home) + "/.vorlin";
    if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) return "";
    const std::string path = directory + "/history";
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return errno == ENOENT ? path : "";
    if (!S_ISREG(info.st_mode) || info.st_size > VORLIN_SH_HISTORY::MAX_FILE_SIZE) {
        std::fprintf(stderr, "Warning: %s is not a history file of a usable size; history is not kept.\n",
                     path.c_str());
        return "";
    }
    return path;
}

}  // namespace

VORLIN_SH_HISTORY::VORLIN_SH_HISTORY()
{
    using_history();
    // Time stamps ("#" lines) mark where an entry starts, so multi-line commands come back whole.
    history_comment_char = '#';
    history_write_timestamps = 1;
    history_multiline_entries = 1;
    stifle_history(MAX_ENTRIES);
    m_path = usable_history_path();
    if (m_path.empty()) return;
    read_history(m_path.c_str());
    // Rewritten (through a temporary file) to the bounded list, so the file never grows
    // beyond one session's worth of commands past the bound.
    if (history_length > 0) write_history(m_path.c_str());
}

void VORLIN_SH_HISTORY::add(const std::string& command)
{
    if (command.find_first_not_of(" \t\n") == std::string::npos) return;
    const HIST_ENTRY* last = history_length > 0 ? history_get(history_base + history_length - 1) : nullptr;
    if (last != nullptr && command == last->line) return;
    add_history(command.c_str());
    if (m_path.empty()) return;
    if (++m_appended % MAX_ENTRIES == 0) {
        write_history(m_path.c_str());
    } else if (append_history(1, m_path.c_str()) == ENOENT) {
        write_history(m_path.c_str());  // the first entry of a new file
    }
}
