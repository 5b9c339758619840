//! @file hdl_text_reader.cpp
//! @brief Bounded line reading of HDL text files.
#include <wizman/hdl_text_reader.h>

bool HDL_TEXT_READER::next_line(std::string& line)
{
    line.clear();
    std::streambuf* buffer = m_stream.rdbuf();
    if (!m_stream.is_open() || buffer == nullptr)
        return false;
    bool any = false;
    for (int c = buffer->sbumpc(); c != std::char_traits<char>::eof(); c = buffer->sbumpc()) {
        any = true;
        if (c == '\n')
            break;
        if (line.size() < MAX_LINE)
            line.push_back(static_cast<char>(c));
    }
    if (!any)
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    ++m_line_number;
    return true;
}
