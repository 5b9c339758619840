//! @file proc_lines.cpp
//! @brief Output chunks to relayed lines.
#include <proc/proc_lines.h>

#include <fmt/format.h>

#include <utility>

namespace {

void remove_all(std::string& line, const std::string& tag)
{
    for (std::size_t at = line.find(tag); at != std::string::npos; at = line.find(tag, at))
        line.erase(at, tag.size());
}

}  // namespace

THR_LINE_ASSEMBLER::THR_LINE_ASSEMBLER(LINE_HANDLER handle_line, std::size_t line_limit)
    : m_handle_line(std::move(handle_line)), m_line_limit(line_limit)
{
}

void THR_LINE_ASSEMBLER::add(const char* data, std::size_t size)
{
    const char* const end = data + size;
    while (data < end) {
        const char* stop = data;
        while (stop < end && *stop != '\n' && *stop != '\r' && *stop != '\0')
            ++stop;
        const std::size_t room = m_line.size() < m_line_limit ? m_line_limit - m_line.size() : 0;
        const std::size_t length = static_cast<std::size_t>(stop - data);
        m_line.append(data, std::min(length, room));
        if (length > room) m_cut += length - room;
        if (stop == end) return;
        if (*stop != '\0') end_line();
        data = stop + 1;
    }
}

void THR_LINE_ASSEMBLER::finish()
{
    end_line();
}

void THR_LINE_ASSEMBLER::end_line()
{
    std::string line = std::move(m_line);
    m_line.clear();
    const std::size_t cut = std::exchange(m_cut, 0);
    remove_all(line, "<b>");
    remove_all(line, "</b>");
    line.erase(line.find_last_not_of(" \t") + 1);
    if (line.empty()) return;
    if (cut > 0) line += fmt::format(" ... ({} more characters not shown)", cut);
    m_handle_line(line);
}
