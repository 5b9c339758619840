//! @file fuzz_settings_file.cpp
//! @brief Settings files (.vsf), with the IP lists they name, through the project library's reader.
#include "fuzz_acf_reader.h"
#include "fuzz_scratch.h"
#include "fuzz_targets.h"

int fuzz_settings_file(const std::uint8_t* data, std::size_t size)
{
    return fuzz_acf_file("fuzz.vsf", &ACF_SETTINGS_READER::read_settings_file, data, size);
}

VORLIN_FUZZ_ENTRY(fuzz_settings_file)
