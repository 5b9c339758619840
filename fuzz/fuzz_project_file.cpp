//! @file fuzz_project_file.cpp
//! @brief Project files (.vpf) through the project library's reader.
#include "fuzz_acf_reader.h"
#include "fuzz_scratch.h"
#include "fuzz_targets.h"

int fuzz_project_file(const std::uint8_t* data, std::size_t size)
{
    return fuzz_acf_file("fuzz.vpf", &ACF_SETTINGS_READER::read_project_file, data, size);
}

VORLIN_FUZZ_ENTRY(fuzz_project_file)
