//! @file ipman_upgrade_snapshot.h
//! @brief Everything an upgrade attempt of one variation may overwrite or create, kept
//! aside so that a failed attempt leaves the variation's files exactly as they were.
#pragma once

#include <string>
#include <vector>

//! Taken before an attempt; restore() after a failure, discard() after a success. The
//! copies live in a hidden directory beside the generation file and are removed either
//! way; a snapshot neither restored nor discarded discards itself.
class IPMAN_UPGRADE_SNAPSHOT {
public:
    IPMAN_UPGRADE_SNAPSHOT() = default;
    ~IPMAN_UPGRADE_SNAPSHOT();
    IPMAN_UPGRADE_SNAPSHOT(const IPMAN_UPGRADE_SNAPSHOT&) = delete;
    IPMAN_UPGRADE_SNAPSHOT& operator=(const IPMAN_UPGRADE_SNAPSHOT&) = delete;
    IPMAN_UPGRADE_SNAPSHOT(IPMAN_UPGRADE_SNAPSHOT&& other) noexcept;
    IPMAN_UPGRADE_SNAPSHOT& operator=(IPMAN_UPGRADE_SNAPSHOT&&) = delete;

    //! The paths the generators may write for generation file DIR/BASE.ext: the file itself,
    //! DIR/BASE.tessel, DIR/BASE.vip, the output directory DIR/BASE/ and the top-level file
    //! (when it lies outside that directory). All absolute; the generation file first, since
    //! the copies are kept beside the first path.
    static std::vector<std::string> paths_written_for(const std::string& generation_file,
                                                      const std::string& top_level_file);

    //! Copies every path that exists and notes the ones that do not. False when a copy could
    //! not be made; nothing is kept then.
    bool take(const std::vector<std::string>& paths);
    //! Puts every path back as it was: copies return, paths that did not exist are removed.
    void restore();
    //! Removes the copies.
    void discard();

private:
    struct ENTRY {
        std::string path;
        std::string copy;  //!< empty when the path did not exist
    };
    std::string m_store;  //!< directory holding the copies; empty when nothing is kept
    std::vector<ENTRY> m_entries;
};
