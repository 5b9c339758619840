//! @file olt_string.h
//! @brief String helpers that travel with the IP catalog and its version type.
#pragma once

#include <string>
#include <vector>

class OLT_STRING {
public:
    //! Blanks are spaces, tabs, carriage returns and line feeds.
    static bool is_blank(const std::string& text);
    static bool is_not_blank(const std::string& text) { return !is_blank(text); }
    //! Splits at every one of the delimiter characters; empty pieces are kept, so "a\r\n"
    //! split at "\r\n" gives "a", "" and "". An empty text gives one empty piece.
    static std::vector<std::string> simple_split(const std::string& text, const std::string& delimiters);
    //! The text without the given characters at its end / start / both ends.
    static std::string trim_right(const std::string& text, const std::string& characters = " \t\r\n");
    static std::string trim_left(const std::string& text, const std::string& characters = " \t\r\n");
    static std::string trim(const std::string& text, const std::string& characters = " \t\r\n");
};
