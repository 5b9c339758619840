//! @file gen.h
//! @brief General utilities: installation paths and ASCII case helpers.
#pragma once

#include <string>

//! The installation directory, ending with a separator: $VORLIN_ROOTDIR, else the bundled one.
std::string gen_get_vorlin_path();
//! $IP_ROOTDIR, else the installation's ip/ directory; ends with a separator.
std::string gen_get_ip_root_path();
//! The installation's common/misc/ directory, ending with a separator.
std::string gen_get_common_misc_fullpath();

//! True when text is well-formed UTF-8: no stray or missing continuation bytes, no overlong
//! forms, no surrogates, nothing above U+10FFFF.
bool gen_is_valid_utf8(const std::string& text);
std::string gen_ascii_tolower(const std::string& text);
std::string gen_ascii_toupper(const std::string& text);
bool gen_iequals(const std::string& a, const std::string& b);
//! Case-insensitive (ASCII) three-way comparison: negative, zero or positive like strcmp.
int gen_stricmp(const std::string& a, const std::string& b);
//! True for a null pointer, an empty text or a text of blanks only.
bool gen_is_empty_string(const char* text);
bool gen_is_empty_string(const std::string& text);
//! Local date and time for reports, e.g. "Tue Mar 12 14:03:22 2024".
std::string gen_get_current_date_and_time();
