//! @file hdl_text_reader.cpp
//! @brief Line reading of HDL text files of bounded size.
#include <wizman/hdl_text_reader.h>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

HDL_TEXT_READER::HDL_TEXT_READER(const std::string& path)
{
    // Non-blocking, so that a FIFO in place of a file cannot hang the open; it is refused
    // right after, with everything else that is not a regular file.
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    if (m_fd >= 0 && (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > MAX_FILE_SIZE))
        close();
    m_size = info.st_size;
}

HDL_TEXT_READER::~HDL_TEXT_READER()
{
    close();
}

void HDL_TEXT_READER::close()
{
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_next = m_end = 0;
}

bool HDL_TEXT_READER::refill()
{
    while (m_fd >= 0 && !m_at_end) {
        const ssize_t count = ::read(m_fd, m_buffer.data(), m_buffer.size());
        if (count > 0) {
            m_next = 0;
            m_end = static_cast<std::size_t>(count);
            m_read += count;
            // A short read that reaches the size seen at the open is the end: no call to confirm it.
            m_at_end = m_end < m_buffer.size() && m_read == m_size;
            return true;
        }
        if (count == 0)
            m_at_end = true;
        else if (errno != EINTR)
            close();  // a file gone bad under us ends like a short file
    }
    return false;
}

bool HDL_TEXT_READER::next_line(std::string& line)
{
    line.clear();
    bool any = false;
    for (int c = next_byte(); c >= 0; c = next_byte()) {
        any = true;
        if (c == '\n') break;
        line.push_back(static_cast<char>(c));
    }
    if (!any) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ++m_line_number;
    return true;
}
