//! @file fuzz_system_file.cpp
//! @brief System files (.tessel) through the collector and its system file reader: whatever a
//! file holds, a record made of it is well formed.
#include "fuzz_scratch.h"
#include "fuzz_targets.h"

#include "discovery/ipman_acf_ip_collector.h"

#include <fio/fio.h>

int fuzz_system_file(const std::uint8_t* data, std::size_t size)
{
    fuzz_use_bundled_installation();
    const std::string path = fuzz_write_scratch("system.tessel", data, size);
    IPMAN_ACF_IP_COLLECTOR collector;
    collector.set_is_pro_version(true);
    const auto record = collector.system_file_record(path, path);
    if (!record) return 0;
    FUZZ_CHECK(!record->entities.empty());
    FUZZ_CHECK(record->main_file == FIO_PATH(path).flatten().fullpath());
    FUZZ_CHECK(record->supported_families.size() <= 1);
    FUZZ_CHECK(record->entity_index.size() == record->entities.size());
    for (std::size_t i = 0; i < record->entities.size(); ++i)
        FUZZ_CHECK(record->find_entity(record->entities[i].entity, record->entities[i].library) == i);
    return 0;
}

VORLIN_FUZZ_ENTRY(fuzz_system_file)
