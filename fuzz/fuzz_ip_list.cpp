//! @file fuzz_ip_list.cpp
//! @brief IP list files (.vip) through the project library's reader.
#include "fuzz_acf_reader.h"
#include "fuzz_scratch.h"
#include "fuzz_targets.h"

int fuzz_ip_list(const std::uint8_t* data, std::size_t size)
{
    return fuzz_acf_file("fuzz.vip", &ACF_SETTINGS_READER::read_ip_list_file, data, size);
}

VORLIN_FUZZ_ENTRY(fuzz_ip_list)
