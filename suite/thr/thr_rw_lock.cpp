//! @file thr_rw_lock.cpp
//! @brief The re-entrant readers-writer lock.
#include "thr_rw_lock.h"

#include <msg/msg.h>

bool THR_RW_LOCK::holds_read() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    const std::thread::id self = std::this_thread::get_id();
    return m_writer == self || m_readers.count(self) != 0;
}

bool THR_RW_LOCK::holds_write() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_writer == std::this_thread::get_id();
}

bool THR_RW_LOCK::is_locked() const
{
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_write_depth > 0 || !m_readers.empty();
}

bool THR_RW_LOCK::can_read(std::thread::id self) const
{
    return m_write_depth == 0 || m_writer == self;
}

bool THR_RW_LOCK::can_write(std::thread::id self) const
{
    if (m_write_depth > 0) return m_writer == self;
    // Readers other than the caller block a writer; the caller's own reads do not.
    return m_readers.empty() || (m_readers.size() == 1 && m_readers.count(self) != 0);
}

bool THR_RW_LOCK::lock_read(bool wait)
{
    std::unique_lock<std::mutex> guard(m_mutex);
    const std::thread::id self = std::this_thread::get_id();
    if (!can_read(self)) {
        if (!wait) return false;
        m_released.wait(guard, [&] { return can_read(self); });
    }
    ++m_readers[self];
    return true;
}

void THR_RW_LOCK::unlock_read()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    const auto it = m_readers.find(std::this_thread::get_id());
    MSG_INTERNAL_ERROR_IF(it == m_readers.end(), m_owner_tag);
    if (--it->second == 0) {
        m_readers.erase(it);
        m_released.notify_all();
    }
}

bool THR_RW_LOCK::lock_write(bool wait)
{
    std::unique_lock<std::mutex> guard(m_mutex);
    const std::thread::id self = std::this_thread::get_id();
    if (!can_write(self)) {
        if (!wait) return false;
        m_released.wait(guard, [&] { return can_write(self); });
    }
    m_writer = self;
    ++m_write_depth;
    return true;
}

void THR_RW_LOCK::unlock_write()
{
    std::lock_guard<std::mutex> guard(m_mutex);
    MSG_INTERNAL_ERROR_IF(m_write_depth == 0 || m_writer != std::this_thread::get_id(), m_owner_tag);
    if (--m_write_depth == 0) {
        m_writer = std::thread::id();
        m_released.notify_all();
    }
}
