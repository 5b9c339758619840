//! @file vorlin_sh_history.h
//! @brief The prompt's history file, $HOME/.vorlin/history: read at start, bounded, and
//! extended after every command so that `exit` or a crash loses nothing.
#pragma once

#include <string>

class VORLIN_SH_HISTORY {
public:
    //! Entries kept in memory and in the file.
    static constexpr int MAX_ENTRIES = 1000;
    //! A file larger than this is not ours to read (it is left alone).
    static constexpr long long MAX_FILE_SIZE = 4 << 20;

    //! Loads the history file when it is usable; without HOME the history lives in memory only.
    VORLIN_SH_HISTORY();
    //! Adds one command (a multi-line one stays one entry) unless it is blank or repeats the last.
    void add(const std::string& command);

private:
    std::string m_path;  //!< empty: no history file
    int m_appended = 0;
};
