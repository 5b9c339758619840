//! @file hdl_text_reader.cpp
//! @brief Bounded line reading of HDL text files.
#include <wizman/hdl_text_reader.h>

#include <sys/stat.h>

HDL_TEXT_READER::HDL_TEXT_READER(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        m_stream.open(path, std::ios::binary);
}

bool HDL_TEXT_READER::next_line(std::string& line)
{
    line.clear();
    std::streambuf* buffer = m_stream.rdbuf();
    if (!m_stream.is_open() || buffer == nullptr)
        return false;
    bool any = false;
    try {
        for (int c = buffer->sbumpc(); c != std::char_traits<char>::eof(); c = buffer->sbumpc()) {
            any = true;
            if (c == '\n')
                break;
            if (line.size() < MAX_LINE)
                line.push_back(static_cast<char>(c));
        }
    } catch (const std::exception&) {
        // The file buffer reports read errors (a file gone bad under us) by throwing.
        m_stream.close();
    }
    if (!any)
        return false;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    ++m_line_number;
    return true;
}
