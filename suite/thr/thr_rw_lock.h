//! @file thr_rw_lock.h
//! @brief The suite's readers-writer lock, re-entrant for the threads holding it: a thread
//! nests reads and writes inside its own holds, the writer may read too, and a sole reader
//! may take the write lock. Owners add their own rules on top.
#pragma once

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

class THR_RW_LOCK {
public:
    //! owner_tag names the owning library in internal-error reports of unbalanced releases.
    explicit THR_RW_LOCK(const char* owner_tag) : m_owner_tag(owner_tag) {}
    THR_RW_LOCK(const THR_RW_LOCK&) = delete;
    THR_RW_LOCK& operator=(const THR_RW_LOCK&) = delete;

    bool holds_read() const;  //!< the calling thread holds the read or the write lock
    bool holds_write() const;
    bool is_locked() const;  //!< any thread holds any lock

    //! Without wait, false instead of waiting for another thread to let go.
    bool lock_read(bool wait);
    void unlock_read();
    bool lock_write(bool wait);
    void unlock_write();

private:
    bool can_read(std::thread::id self) const;
    bool can_write(std::thread::id self) const;

    const char* const m_owner_tag;
    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    std::thread::id m_writer;  //!< default id when nobody writes
    int m_write_depth = 0;
    std::map<std::thread::id, int> m_readers;  //!< read holds per thread
};

//! Holds the read lock for a scope unless the thread already held it.
class THR_SCOPED_READ {
public:
    explicit THR_SCOPED_READ(THR_RW_LOCK& lock)
        : m_lock(lock), m_taken(!lock.holds_read() && lock.lock_read(true))
    {
    }
    ~THR_SCOPED_READ()
    {
        if (m_taken) m_lock.unlock_read();
    }
    THR_SCOPED_READ(const THR_SCOPED_READ&) = delete;
    THR_SCOPED_READ& operator=(const THR_SCOPED_READ&) = delete;

private:
    THR_RW_LOCK& m_lock;
    bool m_taken;
};

//! Holds the write lock for a scope unless the thread already held it.
class THR_SCOPED_WRITE {
public:
    explicit THR_SCOPED_WRITE(THR_RW_LOCK& lock)
        : m_lock(lock), m_taken(!lock.holds_write() && lock.lock_write(true))
    {
    }
    ~THR_SCOPED_WRITE()
    {
        if (m_taken) m_lock.unlock_write();
    }
    THR_SCOPED_WRITE(const THR_SCOPED_WRITE&) = delete;
    THR_SCOPED_WRITE& operator=(const THR_SCOPED_WRITE&) = delete;

private:
    THR_RW_LOCK& m_lock;
    bool m_taken;
};
