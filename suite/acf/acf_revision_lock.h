//! @file acf_revision_lock.h
//! @brief A readers-writer lock that is re-entrant for the threads holding it; the thread
//! holding the write lock may read too, and a sole reader may take the write lock.
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

class ACF_REVISION_LOCK {
public:
    bool holds_read() const;  //!< the calling thread holds the read or the write lock
    bool holds_write() const;
    bool is_locked() const;  //!< any thread holds any lock

    bool lock_read(bool wait);
    void unlock_read();
    bool lock_write(bool wait);
    void unlock_write();

private:
    bool can_read(std::thread::id self) const;
    bool can_write(std::thread::id self) const;

    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    std::thread::id m_writer;  //!< default id when nobody writes
    int m_write_depth = 0;
    std::map<std::thread::id, int> m_readers;  //!< read holds per thread
};

//! Holds the read lock for a scope unless the thread already held it.
class ACF_SCOPED_READ {
public:
    explicit ACF_SCOPED_READ(ACF_REVISION_LOCK& lock)
        : m_lock(lock), m_taken(!lock.holds_read() && lock.lock_read(true))
    {
    }
    ~ACF_SCOPED_READ()
    {
        if (m_taken) m_lock.unlock_read();
    }
    ACF_SCOPED_READ(const ACF_SCOPED_READ&) = delete;
    ACF_SCOPED_READ& operator=(const ACF_SCOPED_READ&) = delete;

private:
    ACF_REVISION_LOCK& m_lock;
    bool m_taken;
};

//! Holds the write lock for a scope unless the thread already held it.
class ACF_SCOPED_WRITE {
public:
    explicit ACF_SCOPED_WRITE(ACF_REVISION_LOCK& lock)
        : m_lock(lock), m_taken(!lock.holds_write() && lock.lock_write(true))
    {
    }
    ~ACF_SCOPED_WRITE()
    {
        if (m_taken) m_lock.unlock_write();
    }
    ACF_SCOPED_WRITE(const ACF_SCOPED_WRITE&) = delete;
    ACF_SCOPED_WRITE& operator=(const ACF_SCOPED_WRITE&) = delete;

private:
    ACF_REVISION_LOCK& m_lock;
    bool m_taken;
};
