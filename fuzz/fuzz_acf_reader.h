//! @file fuzz_acf_reader.h
//! @brief Runs one kind of project-library file through its reader in the scratch project.
#pragma once

#include "fuzz_scratch.h"

#include <acf/acf_settings_reader.h>

#include <cstddef>
#include <cstdint>
#include <string>

//! Writes the input as file_name in the scratch project directory and hands its path to
//! read (a member of ACF_SETTINGS_READER). A refused file is an answer, not a fault.
template <typename READ>
int fuzz_acf_file(const char* file_name, READ read, const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz_write_scratch(file_name, data, size);
    ACF_SETTINGS_READER reader(fuzz_scratch_dir());
    try {
        (reader.*read)(path);
    } catch (const ACF_READ_ERROR&) {
    }
    return 0;
}
