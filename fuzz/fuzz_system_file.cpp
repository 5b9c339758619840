//! @file fuzz_system_file.cpp
//! @brief System files (.tessel) through the module's reader.
#include "fuzz_scratch.h"
#include "fuzz_targets.h"

#include "discovery/ipman_system_file_reader.h"

int fuzz_system_file(const std::uint8_t* data, std::size_t size)
{
    fuzz_use_bundled_installation();
    ipman_read_system_file(fuzz_write_scratch("system.tessel", data, size));
    return 0;
}

VORLIN_FUZZ_ENTRY(fuzz_system_file)
