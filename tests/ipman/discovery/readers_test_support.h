//! @file readers_test_support.h
//! @brief Helpers of the reader tests: the IP-XACT samples and text edits on them.
#pragma once

#include "support/test_support.h"

inline std::string ipxact_data_file(const std::string& name)
{
    return test_data("ipxact/" + name);
}

//! Replaces the first occurrence of from; an absent pattern fails loudly in the caller.
inline bool replace_once(std::string& text, const std::string& from, const std::string& to)
{
    const auto at = text.find(from);
    if (at == std::string::npos) return false;
    text.replace(at, from.size(), to);
    return true;
}
