//! @file fuzz_ipxact.cpp
//! @brief IP-XACT component files (.gwip) through the module's reader.
#include "fuzz_scratch.h"
#include "fuzz_targets.h"

#include "discovery/ipman_ip_file_reader.h"

int fuzz_ipxact(const std::uint8_t* data, std::size_t size)
{
    fuzz_use_bundled_installation();
    ipman_read_ip_file_info(fuzz_write_scratch("component.gwip", data, size));
    return 0;
}

VORLIN_FUZZ_ENTRY(fuzz_ipxact)
