//! @file proc_lines.h
//! @brief Turns a child's output, read in chunks of any size, into the lines to relay.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

//! Assembles output chunks into lines in time linear in the output, whatever the length of
//! a line: each byte is looked at once. A line ends at "\n" or "\r"; zero bytes are dropped
//! so that they cannot cut off what follows. A line longer than the limit keeps its first
//! part and says how much was cut, so one runaway line can neither exhaust memory nor flood
//! the message log. Lines handed on have "<b>"/"</b>" markup and trailing blanks removed;
//! blank lines are not handed on.
class THR_LINE_ASSEMBLER {
public:
    using LINE_HANDLER = std::function<void(const std::string& line)>;
    static constexpr std::size_t DEFAULT_LINE_LIMIT = 64 * 1024;

    explicit THR_LINE_ASSEMBLER(LINE_HANDLER handle_line, std::size_t line_limit = DEFAULT_LINE_LIMIT);

    void add(const char* data, std::size_t size);
    //! A last line without a line break still counts.
    void finish();

private:
    void end_line();

    LINE_HANDLER m_handle_line;
    std::size_t m_line_limit;
    std::string m_line;
    std::size_t m_cut = 0;  //!< bytes of the current line beyond the limit
};
