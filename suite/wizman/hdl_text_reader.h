//! @file hdl_text_reader.h
//! @brief Line-by-line reading of HDL text files that may turn out to be anything (binary,
//! endless lines, a directory): files are bounded in size, so junk never costs more than the
//! size limit, lines of any length within it are read whole, and read errors end the file
//! instead of throwing.
#pragma once

#include <array>
#include <cstddef>
#include <string>

class HDL_TEXT_READER {
public:
    //! Largest file read; a variation file is a few kilobytes, generated netlists stay far below.
    static constexpr long long MAX_FILE_SIZE = 256LL * 1024 * 1024;

    //! Opens regular files of at most MAX_FILE_SIZE bytes only; anything else reads as an
    //! empty file that is not open.
    explicit HDL_TEXT_READER(const std::string& path);
    ~HDL_TEXT_READER();
    HDL_TEXT_READER(const HDL_TEXT_READER&) = delete;
    HDL_TEXT_READER& operator=(const HDL_TEXT_READER&) = delete;

    bool is_open() const { return m_fd >= 0; }
    //! The next line without its line feed (a carriage return before it is dropped too);
    //! false at the end of the file or on a read error.
    bool next_line(std::string& line);
    //! 1-based number of the line last read.
    int line_number() const { return m_line_number; }

private:
    //! The next byte, or -1 at the end of the file or after a read error (which closes it).
    int next_byte()
    {
        if (m_next == m_end && !refill()) return -1;
        return static_cast<unsigned char>(m_buffer[m_next++]);
    }
    bool refill();
    void close();

    int m_fd = -1;
    bool m_at_end = false;
    long long m_size = 0;  //!< as fstat saw it at the open
    long long m_read = 0;
    int m_line_number = 0;
    std::size_t m_next = 0;
    std::size_t m_end = 0;
    std::array<char, 8192> m_buffer;
};
