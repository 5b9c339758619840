//! @file fuzz_ipxact.cpp
//! @brief IP-XACT component files (.gwip) through the module's reader; the file information
//! agrees with the reader whether it reads the file or refuses it.
#include "fuzz_scratch.h"
#include "fuzz_targets.h"

#include "discovery/ipman_ip_file_reader.h"

int fuzz_ipxact(const std::uint8_t* data, std::size_t size)
{
    fuzz_use_bundled_installation();
    const std::string path = fuzz_write_scratch("component.gwip", data, size);
    const IPMAN_IP_FILE_INFO info = ipman_read_ip_file_info(path);
    IPMAN_IPXACT_READER reader(path);
    if (reader.read()) {
        FUZZ_CHECK(reader.get_schema() != IPMAN_IPXACT_SCHEMA_UNKNOWN);
        FUZZ_CHECK(!reader.get_name().empty() && !reader.get_vendor().empty() &&
                   !reader.get_version().empty());
        FUZZ_CHECK(info.get_name() == reader.get_name());
        FUZZ_CHECK(info.get_ipxact_version() == reader.get_schema_version_text());
    } else {
        FUZZ_CHECK(info.get_ipxact_version().empty() && info.get_name().empty() && info.get_vendor().empty());
    }
    return 0;
}

VORLIN_FUZZ_ENTRY(fuzz_ipxact)
