//! @file ver.h
//! @brief Version information of the installation, read from its version.txt.
#pragma once

#include <string>

std::string ver_get_version();  //!< "24.1"
std::string ver_get_product();  //!< "Vorlin"
std::string ver_get_edition();  //!< "pro" or "standard"
bool ver_is_pro_edition();
bool ver_is_beta();
//! Product name shown in reports ("Vorlin").
std::string ver_get_oltran_product_name();
//! Version with the edition for report headers: "24.1 Pro Edition", "24.1 Standard Edition".
std::string ver_get_full_version_for_reports();
//! Re-reads version.txt of the current installation (after VORLIN_ROOTDIR changed).
void ver_reload();
