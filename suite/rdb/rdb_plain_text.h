//! @file rdb_plain_text.h
//! @brief Turning stored texts into plain terminal text for the report's text copy.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

//! The text on one line: control characters (line breaks and escapes included) become
//! blanks, so a stored value can neither break the layout nor drive the terminal.
std::string rdb_one_line(const std::string& text);
//! The text's lines, each cleaned as by rdb_one_line.
std::vector<std::string> rdb_lines(const std::string& text);
//! Columns a text takes in a terminal: UTF-8 characters, not bytes.
std::size_t rdb_display_width(const std::string& text);
//! Markup removed: tags dropped (line-breaking ones become line breaks), the common
//! character references decoded, runs of blank lines and trailing blanks removed.
std::string rdb_strip_html(const std::string& html);
//! Words of each line refilled to at most width columns (longer words stand alone).
std::vector<std::string> rdb_wrap(const std::string& text, std::size_t width);
