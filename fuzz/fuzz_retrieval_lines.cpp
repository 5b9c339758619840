//! @file fuzz_retrieval_lines.cpp
//! @brief Retrieval-information lines of legacy variation files through the module's reader,
//! for a core whose family comes from the device-family line and for a legacy product core: at most one
//! family is found, and a known one.
#include "fuzz_scratch.h"
#include "fuzz_targets.h"

#include "discovery/ipman_legacy_variation_reader.h"

#include <dev/dev.h>

int fuzz_retrieval_lines(const std::uint8_t* data, std::size_t size)
{
    fuzz_use_bundled_installation();
    const std::string path = fuzz_write_scratch("variation.v", data, size);
    std::vector<DEV_FAMILY_ENUM> families;
    read_retrieval_info_family(nullptr, "kv_counter", path, families);
    FUZZ_CHECK(families.size() <= 1);
    FUZZ_CHECK(families.empty() || dstr_is_valid_dev_family_enum(families.front()));
    DEV_FAMILY_ENUM family = DEV_FAMILY_NONE;
    if (read_legacy_product_family(path, "fir_core", family))
        FUZZ_CHECK(dstr_is_valid_dev_family_enum(family));
    return 0;
}

VORLIN_FUZZ_ENTRY(fuzz_retrieval_lines)
