//! @file olt_string.cpp
//! @brief String helpers of the IP catalog.
#include <ipcatalog/olt_string.h>

bool OLT_STRING::is_blank(const std::string& text)
{
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

std::vector<std::string> OLT_STRING::simple_split(const std::string& text, const std::string& delimiters)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t at = text.find_first_of(delimiters); at != std::string::npos;
         at = text.find_first_of(delimiters, start)) {
        pieces.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

std::string OLT_STRING::trim_right(const std::string& text, const std::string& characters)
{
    const std::size_t last = text.find_last_not_of(characters);
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

std::string OLT_STRING::trim_left(const std::string& text, const std::string& characters)
{
    const std::size_t first = text.find_first_not_of(characters);
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string OLT_STRING::trim(const std::string& text, const std::string& characters)
{
    return trim_left(trim_right(text, characters), characters);
}
