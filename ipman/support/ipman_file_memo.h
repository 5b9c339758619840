//! @file ipman_file_memo.h
//! @brief What a reader made of each file, kept from one collection to the next, so that a
//! load after a load reads again only the files that changed.
#pragma once

#include <chrono>
#include <ctime>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

//! What tells a file's content apart without reading it. Any write changes the change time,
//! and replacing the file changes the inode, so equal stamps mean the same content, as long
//! as the file was last changed well before the stamp was taken (see ipman_file_stamp).
struct IPMAN_FILE_STAMP {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    long long size = 0;
    std::timespec modified{};
    std::timespec changed{};

    bool operator==(const IPMAN_FILE_STAMP& other) const;
};

//! The stamp of the regular file at path, or nothing: a file that is missing or not regular,
//! or was changed less than settle_time before now. File times tick coarsely, so a file
//! written twice within one tick can keep its stamp; only a stamp old enough is trusted.
std::optional<IPMAN_FILE_STAMP> ipman_file_stamp(const std::string& path, std::chrono::seconds settle_time);

//! Values read from files by path. Each collection begins with begin(); get() reads a file
//! once per collection and reuses the last collection's value while the file's stamp is the
//! same. Only values that were read (an engaged optional) are reused.
template <typename T>
class IPMAN_FILE_MEMO {
public:
    explicit IPMAN_FILE_MEMO(std::chrono::seconds settle_time = std::chrono::seconds(2))
        : m_settle_time(settle_time)
    {
    }

    //! Starts a collection: values its files do not ask for again are dropped with the next.
    void begin()
    {
        m_previous = std::move(m_current);
        m_current.clear();
        // A collection mostly asks for the files the last one did: room for them at once.
        m_current.reserve(m_previous.size());
    }

    //! Drops every value.
    void clear()
    {
        m_previous.clear();
        m_current.clear();
    }

    //! read(path), or the value the last collection read from the unchanged file.
    template <typename READ>
    const std::optional<T>& get(const std::string& path, READ&& read)
    {
        const auto [slot, fresh] = m_current.try_emplace(path);
        ENTRY& entry = slot->second;
        if (!fresh) return entry.value;
        const std::optional<IPMAN_FILE_STAMP> stamp = ipman_file_stamp(path, m_settle_time);
        const auto kept = m_previous.find(path);
        if (stamp && kept != m_previous.end() && kept->second.value && kept->second.stamp == stamp) {
            entry = std::move(kept->second);
            m_previous.erase(kept);
            return entry.value;
        }
        entry.stamp = stamp;
        entry.value = read(path);
        return entry.value;
    }

    //! True when this collection has a value for the file at path.
    bool has_value(const std::string& path) const
    {
        const auto found = m_current.find(path);
        return found != m_current.end() && found->second.value.has_value();
    }

private:
    struct ENTRY {
        std::optional<IPMAN_FILE_STAMP> stamp;  //!< taken before the value was read
        std::optional<T> value;
    };

    std::chrono::seconds m_settle_time;
    std::unordered_map<std::string, ENTRY> m_current;
    std::unordered_map<std::string, ENTRY> m_previous;
};
