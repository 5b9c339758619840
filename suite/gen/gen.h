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

std::string gen_ascii_tolower(const std::string& text);
std::string gen_ascii_toupper(const std::string& text);
bool gen_iequals(const std::string& a, const std::string& b);
