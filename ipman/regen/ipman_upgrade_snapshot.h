//! @file ipman_upgrade_snapshot.h
//! @brief Everything an upgrade attempt of one variation may overwrite or create, kept
//! aside so that a failed attempt leaves the variation's files exactly as they were.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
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
    //! Puts every path back as it was: copies return, paths that did not exist are removed,
    //! and so are temporaries a writer that was stopped left beside them (".NAME.*"). A path
    //! nobody touched is left alone.
    void restore();
    //! Removes the copies.
    void discard();

    //! True when the file exists now and was created or rewritten since take(): an output
    //! left over from an earlier run does not count. Only files at or inside the taken
    //! paths are known; any other file counts when it exists.
    bool written_since_taken(const std::string& file) const;

private:
    //! What the file system shows of one entry: a rewrite or a replacement changes it.
    using STAMP = std::tuple<std::uint64_t, std::uint64_t, std::int64_t, std::int64_t, std::int64_t,
                             std::uint64_t, int>;  // device, inode, size, mtime, ctime, links, type
    using STAMPS = std::map<std::string, STAMP>;   //!< by full path, the path itself and all below it
    struct ENTRY {
        std::string path;
        std::string copy;  //!< empty when the path did not exist
        STAMPS stamps;
        std::vector<std::string> siblings;  //!< names in the path's directory before the attempt
    };
    static STAMPS stamps_of(const std::string& path);
    static std::vector<std::string> names_in(const std::string& directory);
    static void remove_new_temporaries(const ENTRY& entry);
    static bool unchanged(const ENTRY& entry);

    std::string m_store;  //!< directory holding the copies; empty when nothing is kept
    std::vector<ENTRY> m_entries;
};
